// The part of a message box that needs no window: the text, with plain line
// feeds, written to standard error where it is seen even when no dialog can
// be shown (and while one waits).
#pragma once

#include <string>

struct MessageReport {
    std::string title;
    std::string body;
};

// Writes "title: body" to standard error and returns both; caption nullptr
// is the default caption.
MessageReport ReportMessage(const char* text, const char* caption);
