// The four configuration pages: what each control shows and what a click on
// it writes. Every change is written to its setting at once, so the sheet
// needs no Apply button and closing it saves nothing.
#include "controls.h"

#include <cstdio>
#include <cstring>

#include "apputility.h"
#include "main.h"
#include "platform/process.h"
#include "platform/saverhost.h"
#include "product.h"
#include "settings_catalogue.h"

const ConfigurePageInfo kConfigurePages[kConfigurePageCount] = {
    {"   Introduction   ", kIntroductionTemplate, true},
    {"   Music   ", kMusicTemplate, true},
    {"   Standard Controls   ", kStandardControlsTemplate, true},
    {"   Custom Controls   ", kCustomControlsTemplate, false},
};

namespace {
using namespace ControlId;

// The Introduction page's link targets; the page fills them on creation.
struct IntroductionLinks {
    char web[kShellTargetSize];
    char mail[kShellTargetSize];
};
IntroductionLinks introductionLinks;

constexpr char kSyncClockCaption[] = "About clock synchronization...";
constexpr char kSyncClockText[] =
    "This option is suitable for computers which have non-dialup connections to the Internet.\r\n"
    "Each time the screensaver runs it will query an Internet time server and correct your "
    "system clock.\r\n"
    "Please note that if you have a firewall you may be prompted to give permission for this "
    "network traffic.";

constexpr FileFilter kMusicFilters[] = {
    {"Music Playlists (*.m3u; *.pls; *.ram; *.m2a; *.kpl; *.b4s)",
     "*.m3u;*.pls;*.ram;*.m2a;*.kpl;*.b4s"},
    {"Music Files (*.mp3; *.ogg; *.wav; *.wma; *.ra; *.mid; *.midi; *.rmi)",
     "*.mp3;*.ogg;*.wav;*.wma;*.ra;*.mid;*.midi;*.rmi"},
    {"All Files (*.*)", "*.*"},
};
constexpr FileChooserRequest kMusicChooser = {
    "Select a music file or playlist", kMusicFilters,
    static_cast<int>(sizeof kMusicFilters / sizeof kMusicFilters[0]), 0};

constexpr size_t kChosenFaceSize = 32;  // the platform's face-name limit

struct BoxSetting {
    int control;
    BoolSetting* setting;
};
// The seven boxes of Standard Controls, in restore-defaults order.
const BoxSetting kStandardBoxes[] = {
    {kShowTime, &ShowTime},
    {kShowFramerate, &ShowFramerate},
    {kSyncClock, &SyncClock},
    {kPermitMonitorPowerSaving, &PermitMonitorPowerSaving},
    {kPrimaryMonitorOnly, &PrimaryMonitorOnly},
    {kLowDetail, &LowDetail},
    {kFrameBlending, &FrameBlending},
};

// The radio button for value within first..last, or 0 when a hand-edited
// value has none: the page then selects nothing and writes nothing.
int RadioFor(int32_t value, int first, int last) {
    if (value < 0 || value > last - first) return 0;
    return first + value;
}

void StoreBox(PageWindow window, int control, BoolSetting& setting) {
    setting.Set(PageIsChecked(window, control) ? 1 : 0);
}

// Introduction -------------------------------------------------------------

void InitIntroduction(PageWindow window) {
    char text[kPageTextSize];
    FormatVersionLine(text, sizeof text);
    PageSetText(window, kVersion, text);
    FormatCopyrightLine(text, sizeof text);
    PageSetText(window, kCopyright, text);

    FormatWebLinkText(text, sizeof text);
    PageSetText(window, kWebLink, text);
    FormatWebLinkTarget(introductionLinks.web, sizeof introductionLinks.web);
    PageMakeLink(window, kWebLink);

    FormatMailLinkText(text, sizeof text);
    PageSetText(window, kMailLink, text);
    FormatMailLinkTarget(introductionLinks.mail, sizeof introductionLinks.mail);
    PageMakeLink(window, kMailLink);
}

bool IntroductionCommand(int control) {
    if (control == kWebLink) {
        OpenWithShell(introductionLinks.web);
        return true;
    }
    if (control == kMailLink) {
        OpenWithShell(introductionLinks.mail);
        return true;
    }
    return false;
}

// Music --------------------------------------------------------------------

void InitMusic(PageWindow window) {
    PageSetChecked(window, kPlayMusic, PlayMusic.IsOn());
    PageSetText(window, kMusicFile, MusicFilename.Get());
}

void BrowseForMusic(PageWindow window) {
    char path[kShellTargetSize] = "";
    if (!ChooseFile(window, kMusicChooser, path, sizeof path)) return;
    // A path the setting cannot hold whole would name another file.
    if (strlen(path) >= kSettingTextSize) {
        PlatformBeep(BeepKind::Default);
        return;
    }
    MusicFilename.Set(path);
    InitMusic(window);
}

bool MusicCommand(PageWindow window, int control) {
    if (control == kPlayMusic) {
        StoreBox(window, control, PlayMusic);
        return true;
    }
    if (control == kBrowseMusic) {
        BrowseForMusic(window);
        return true;
    }
    return false;
}

// Standard Controls ---------------------------------------------------------

void InitStandardControls(PageWindow window) {
    for (const BoxSetting& box : kStandardBoxes)
        PageSetChecked(window, box.control, box.setting->IsOn());
    PageEnable(window, kPrimaryMonitorOnly, GetMonitorCount() >= 2);
    PageEnable(window, kLowDetail, !LowDetail.IsLocked());
    PageEnable(window, kFrameBlending, !FrameBlending.IsLocked());
}

void RestoreStandardDefaults(PageWindow window) {
    for (const BoxSetting& box : kStandardBoxes) box.setting->ResetToDefault();
    InitStandardControls(window);
    ApplyCustomDefaults();
}

bool StandardControlsCommand(PageWindow window, int control) {
    for (const BoxSetting& box : kStandardBoxes) {
        if (box.control != control) continue;
        StoreBox(window, control, *box.setting);
        if (control == kSyncClock && SyncClock.IsOn())
            PageShowInformation(window, kSyncClockText, kSyncClockCaption);
        return true;
    }
    if (control == kRestoreDefaults) {
        RestoreStandardDefaults(window);
        return true;
    }
    if (control == kPreview) {
        RunSaverForPreview();
        return true;
    }
    return false;
}

// Custom Controls -----------------------------------------------------------

void RefreshCustomControls(PageWindow window) {
    PageSetChecked(window, kMovingViewpoint, MovingViewpoint.IsOn());
    PageSetChecked(window, kWireframe, Wireframe.IsOn());
    PageSelectRadio(window, kTimeFormatFirst, kTimeFormatLast,
                    RadioFor(TimeFormatEnum.Get(), kTimeFormatFirst, kTimeFormatLast));
    PageSelectRadio(window, kColourFirst, kColourChoose,
                    RadioFor(TextColorEnum.Get(), kColourFirst, kColourChoose));
    PageSelectRadio(window, kFontRandom, kFontChoose,
                    RadioFor(FontEnum.Get(), kFontRandom, kFontChoose));
    char comment[kPageTextSize];
    FormatFontComment(comment, sizeof comment, FaceName.Get());
    PageSetText(window, kFontComment, comment);
}

void ChooseColourForText(PageWindow window) {
    TextColorEnum.Set(kColourChoose - kColourFirst);
    uint32_t chosen = 0;
    if (!ChooseTextColor(window, static_cast<uint32_t>(TextColor.Get()), &chosen)) return;
    TextColor.Set(static_cast<int32_t>(chosen));
    PageRepaintSwatch(window, kSwatch);
}

void ChooseFaceForText(PageWindow window) {
    FontEnum.Set(kFontChoose - kFontRandom);
    char face[kChosenFaceSize] = "";
    if (!ChooseFaceName(window, FaceName.Get(), face, sizeof face)) return;
    FaceName.Set(face);
    RefreshCustomControls(window);
}

bool CustomControlsCommand(PageWindow window, int control) {
    switch (control) {
    case kTimeFormatFirst:
    case kTimeFormatFirst + 1:
    case kTimeFormatLast:
        TimeFormatEnum.Set(control - kTimeFormatFirst);
        return true;
    case kColourFirst:
    case kColourFirst + 1:
    case kColourFirst + 2:
        TextColorEnum.Set(control - kColourFirst);
        return true;
    case kColourChoose:
        ChooseColourForText(window);
        return true;
    case kMovingViewpoint:
        StoreBox(window, control, MovingViewpoint);
        return true;
    case kWireframe:
        StoreBox(window, control, Wireframe);
        return true;
    case kFontRandom:
        FontEnum.Set(0);
        return true;
    case kFontChoose:
        ChooseFaceForText(window);
        return true;
    default:
        return false;
    }
}
}  // namespace

int ConfigureStartPage() {
    int32_t stored = CurrentConfigureSheet.Get();
    return (stored >= 0 && stored < kConfigurePageCount) ? stored : 0;
}

void FormatConfigureMutexName(char* buffer, size_t size) {
    snprintf(buffer, size, "%s %s Mutex", kProduct.companyName, kProduct.productName);
}

void PageOnInit(ConfigurePage page, PageWindow window) {
    switch (page) {
    case ConfigurePage::Introduction:
        InitIntroduction(window);
        break;
    case ConfigurePage::Music:
        InitMusic(window);
        break;
    case ConfigurePage::StandardControls:
        InitStandardControls(window);
        break;
    case ConfigurePage::CustomControls:
        break;  // filled each time it is shown
    }
}

void PageOnActivate(ConfigurePage page, PageWindow window) {
    CurrentConfigureSheet.Set(static_cast<int32_t>(page));
    if (page == ConfigurePage::CustomControls) RefreshCustomControls(window);
}

bool PageOnCommand(ConfigurePage page, PageWindow window, int control) {
    switch (page) {
    case ConfigurePage::Introduction:
        return IntroductionCommand(control);
    case ConfigurePage::Music:
        return MusicCommand(window, control);
    case ConfigurePage::StandardControls:
        return StandardControlsCommand(window, control);
    case ConfigurePage::CustomControls:
        return CustomControlsCommand(window, control);
    }
    return false;
}

void PageOnHelp() { RunHelpAction(); }

void ApplyCustomDefaults() {
    MovingViewpoint.ResetToDefault();
    Wireframe.ResetToDefault();
    TimeFormatEnum.ResetToDefault();
    TextColorEnum.ResetToDefault();
    TextColor.ResetToDefault();
    FontEnum.ResetToDefault();
    FaceName.ResetToDefault();
}

uint32_t CustomSwatchColour() { return static_cast<uint32_t>(TextColor.Get()); }

const char* WebLinkTarget() { return introductionLinks.web; }
const char* MailLinkTarget() { return introductionLinks.mail; }
