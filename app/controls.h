// The behaviour of the four configuration pages as handlers the platform
// calls from its page procedures or widget signals: initialisation,
// activation, a command on a control, help. The handlers reach the dialog
// only through platform/pagecontrols.h and write every change to its setting
// at once; the sheet itself is the backend's.
#pragma once

#include <cstdint>

#include "platform/pagecontrols.h"

enum class ConfigurePage : int32_t {
    Introduction = 0,
    Music = 1,
    StandardControls = 2,
    CustomControls = 3,
};
inline constexpr int kConfigurePageCount = 4;

// Control ids of the pages; the templates of both platforms use the same.
namespace ControlId {
// Introduction
inline constexpr int kVersion = 1074;
inline constexpr int kCopyright = 1153;
inline constexpr int kWebLink = 1011;
inline constexpr int kMailLink = 1012;
inline constexpr int kPicture = 1158;
// Music
inline constexpr int kPlayMusic = 1095;
inline constexpr int kMusicFile = 1096;
inline constexpr int kBrowseMusic = 1097;
// Standard Controls
inline constexpr int kShowTime = 1154;
inline constexpr int kShowFramerate = 1027;
inline constexpr int kSyncClock = 1161;
inline constexpr int kPermitMonitorPowerSaving = 1157;
inline constexpr int kPrimaryMonitorOnly = 1158;
inline constexpr int kLowDetail = 1028;
inline constexpr int kFrameBlending = 1005;
inline constexpr int kRestoreDefaults = 1159;
inline constexpr int kPreview = 1160;
// Custom Controls
inline constexpr int kMovingViewpoint = 1012;
inline constexpr int kWireframe = 1016;
inline constexpr int kTimeFormatFirst = 1002;  // 1002..1004: TimeFormatEnum 0..2
inline constexpr int kTimeFormatLast = 1004;
inline constexpr int kColourFirst = 1006;      // 1006..1009: TextColorEnum 0..3
inline constexpr int kColourChoose = 1009;
inline constexpr int kFontRandom = 1013;       // FontEnum 0
inline constexpr int kFontChoose = 1014;       // FontEnum 1
inline constexpr int kFontComment = 1017;
inline constexpr int kSwatch = 1018;
}  // namespace ControlId

// Sheet and dialog-template ids.
inline constexpr int kIntroductionTemplate = 119;
inline constexpr int kMusicTemplate = 196;
inline constexpr int kStandardControlsTemplate = 2004;
inline constexpr int kCustomControlsTemplate = 105;
inline constexpr int kFrameworkConfigureTemplate = 2003;

struct ConfigurePageInfo {
    const char* title;          // three spaces before and after the words
    int templateId;
    bool inCompanionLibrary;    // else in the saver's own resources
};
extern const ConfigurePageInfo kConfigurePages[kConfigurePageCount];

// The page the sheet opens on: CurrentConfigureSheet, or the first page for
// a value no page has (nothing is written).
int ConfigureStartPage();

// "Quillmere Chronovale Mutex": the name of the one-configuration guard.
void FormatConfigureMutexName(char* buffer, size_t size);

// The page handlers. Init fills the page's controls where the page does it
// on creation; Activate runs each time the page is shown (it stores the
// page's index and refreshes Custom Controls); Command reports whether the
// control was one of the page's own (the platform then answers "handled").
void PageOnInit(ConfigurePage page, PageWindow window);
void PageOnActivate(ConfigurePage page, PageWindow window);
bool PageOnCommand(ConfigurePage page, PageWindow window, int control);
// The sheet's Help button, the same on every page.
void PageOnHelp();

// Resets the Custom Controls settings without touching the page.
void ApplyCustomDefaults();

// The colour the swatch 1018 shows (TextColor, 0x00BBGGRR).
uint32_t CustomSwatchColour();

// The Introduction page's link targets, filled by its initialisation.
const char* WebLinkTarget();
const char* MailLinkTarget();
