// Texts of the configuration pages that depend on the product record or the
// clock, and the help action. The pages in controls.cpp put them on the
// screen; keeping them here lets both platforms and the tests share them.
#pragma once

#include <cstddef>

inline constexpr size_t kShellTargetSize = 1000;
inline constexpr size_t kPageTextSize = 1000;

// "Version 1.1  -  Jul 15 2004".
void FormatVersionLine(char* buffer, size_t size);
// "2004" in the first year, else "2004-<year>".
void FormatCopyrightYears(char* buffer, size_t size, int currentYear);
// "Copyright \xA9 <years> Quillmere" for the local year of the active clock.
void FormatCopyrightLine(char* buffer, size_t size);
// "www.<domain>" and "http://www.<domain>/"; the support address and
// "mailto:<address>".
void FormatWebLinkText(char* buffer, size_t size);
void FormatWebLinkTarget(char* buffer, size_t size);
void FormatMailLinkText(char* buffer, size_t size);
void FormatMailLinkTarget(char* buffer, size_t size);
// "(Current font is <face>)".
void FormatFontComment(char* buffer, size_t size, const char* faceName);

// The local calendar year of the active clock.
int CurrentLocalYear();

// Opens the help page of the AppDir folder: a beep when there is no folder,
// nothing when the folder has no help page.
void RunHelpAction();
