// The page texts built from the product record and the clock, and the help
// action.
#include "apputility.h"

#include <cstdio>
#include <ctime>

#include "clock.h"
#include "main.h"
#include "platform/pagecontrols.h"
#include "platform/process.h"
#include "product.h"
#include "settings_catalogue.h"

namespace {
constexpr char kCopyrightSign = '\xA9';  // in the ANSI code page
constexpr int kFirstPossibleYear = 1900;
}  // namespace

void FormatVersionLine(char* buffer, size_t size) {
    snprintf(buffer, size, "Version %s  -  %s", kProduct.versionText, kProduct.buildDate);
}

void FormatCopyrightYears(char* buffer, size_t size, int currentYear) {
    // A clock set before the first year still shows the first year alone
    // rather than a backwards range.
    if (currentYear <= kProduct.firstCopyrightYear)
        snprintf(buffer, size, "%d", kProduct.firstCopyrightYear);
    else
        snprintf(buffer, size, "%d-%d", kProduct.firstCopyrightYear, currentYear);
}

void FormatCopyrightLine(char* buffer, size_t size) {
    char years[32];
    FormatCopyrightYears(years, sizeof years, CurrentLocalYear());
    snprintf(buffer, size, "Copyright %c %s %s", kCopyrightSign, years, kProduct.companyName);
}

void FormatWebLinkText(char* buffer, size_t size) {
    snprintf(buffer, size, "www.%s", kProduct.webDomain);
}

void FormatWebLinkTarget(char* buffer, size_t size) {
    snprintf(buffer, size, "http://www.%s/", kProduct.webDomain);
}

void FormatMailLinkText(char* buffer, size_t size) {
    snprintf(buffer, size, "%s", kProduct.supportEmail);
}

void FormatMailLinkTarget(char* buffer, size_t size) {
    snprintf(buffer, size, "mailto:%s", kProduct.supportEmail);
}

void FormatFontComment(char* buffer, size_t size, const char* faceName) {
    snprintf(buffer, size, "(Current font is %s)", faceName);
}

int CurrentLocalYear() {
    std::time_t now = static_cast<std::time_t>(ActiveClock().CalendarTime());
    const std::tm* local = std::localtime(&now);
    return local ? local->tm_year + kFirstPossibleYear : kProduct.firstCopyrightYear;
}

void RunHelpAction() {
    // A relative AppDir names a folder beside the saver.
    SetDirToProgramFolder();
    char path[kShellTargetSize] = "";
    switch (FindHelpPage(AppDir.Get(), path, sizeof path)) {
    case HelpPageLookup::NoFolder:
        PlatformBeep(BeepKind::Default);
        return;
    case HelpPageLookup::Missing:
        return;
    case HelpPageLookup::Found:
        OpenWithShell(path);
        return;
    }
}
