// Message texts on standard error, shared by the saver's message box and the
// desktop module's.
#include "message_report.h"

#include <cstdio>

namespace {
constexpr char kDefaultCaption[] = "Error";

// The texts keep Windows line ends; both outputs want plain line feeds.
std::string WithLineFeeds(const char* text) {
    std::string result;
    for (const char* p = text; *p; ++p)
        if (!(p[0] == '\r' && p[1] == '\n')) result += *p;
    return result;
}
}  // namespace

MessageReport ReportMessage(const char* text, const char* caption) {
    MessageReport report{caption ? caption : kDefaultCaption, WithLineFeeds(text ? text : "")};
    fprintf(stderr, "%s: %s\n", report.title.c_str(), report.body.c_str());
    fflush(stderr);
    return report;
}
