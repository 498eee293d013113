// The Windows framework's pure decisions, run under Wine: message filtering,
// the closing rules, the power broadcasts, the extension-list match and the
// registry data rules. A plain program: each failed check prints its line,
// and the exit code is the number of failures.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/registry.h"
#include "win32_rules.h"

namespace {
int failures = 0;

#define CHECK(condition)                                                       \
    do {                                                                       \
        if (!(condition)) {                                                    \
            ++failures;                                                        \
            printf("%s:%d: FAILED: %s\n", __FILE__, __LINE__, #condition);     \
        }                                                                      \
    } while (0)

void input_and_deactivation_close_the_saver() {
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN})
        CHECK(InputClosesSaver(message, 0));
    CHECK(InputClosesSaver(WM_ACTIVATEAPP, FALSE));
    CHECK(!InputClosesSaver(WM_ACTIVATEAPP, TRUE));
    CHECK(InputClosesSaver(WM_POWER, PWR_CRITICALRESUME));
    CHECK(!InputClosesSaver(WM_POWER, PWR_SUSPENDREQUEST));
    // Releases, characters and the passive messages keep it running.
    for (UINT message : {WM_KEYUP, WM_SYSKEYUP, WM_CHAR, WM_LBUTTONUP, WM_MOUSEWHEEL, WM_PAINT,
                         WM_TIMER, WM_SIZE, WM_ACTIVATE, WM_SETCURSOR})
        CHECK(!InputClosesSaver(message, 0));
}

void mouse_must_travel_more_than_four_pixels() {
    POINT start = {100, 100};
    CHECK(!MouseMoveCloses(start, {100, 100}));
    CHECK(!MouseMoveCloses(start, {104, 100}));
    CHECK(!MouseMoveCloses(start, {98, 102}));  // 2 + 2: the distances add up
    CHECK(MouseMoveCloses(start, {103, 102}));
    CHECK(MouseMoveCloses(start, {95, 100}));
    CHECK(MouseMoveCloses(start, {106, 100}));
    // Far-apart monitors must not overflow the sum.
    CHECK(MouseMoveCloses({LONG_MIN + 1, 0}, {LONG_MAX, 0}));
}

void power_broadcasts_close_unless_nothing_changed() {
    constexpr BYTE kOnline = 1, kOffline = 0;
    CHECK(PowerBroadcastCloses(PBT_APMSUSPEND, 0, kOnline, kOnline));
    CHECK(PowerBroadcastCloses(PBT_APMQUERYSUSPEND, 0, kOnline, kOnline));
    CHECK(PowerBroadcastCloses(PBT_APMBATTERYLOW, 0, kOnline, kOnline));
    CHECK(PowerBroadcastCloses(PBT_APMRESUMESUSPEND, 0, kOnline, kOnline));
    CHECK(PowerBroadcastCloses(PBT_APMRESUMEAUTOMATIC, 0, kOnline, kOnline));
    // A resume after a failed suspend is no reason to stop.
    CHECK(!PowerBroadcastCloses(PBT_APMRESUMEAUTOMATIC, PBTF_APMRESUMEFROMFAILURE, kOnline,
                                kOnline));
    CHECK(!PowerBroadcastCloses(PBT_APMRESUMESUSPEND, PBTF_APMRESUMEFROMFAILURE, kOnline,
                                kOnline));
    CHECK(!PowerBroadcastCloses(PBT_APMRESUMECRITICAL, PBTF_APMRESUMEFROMFAILURE, kOnline,
                                kOnline));
    // The flag means nothing on an event that is not a resume.
    CHECK(PowerBroadcastCloses(PBT_APMSUSPEND, PBTF_APMRESUMEFROMFAILURE, kOnline, kOnline));
    // A status change closes only when the mains state moved.
    CHECK(!PowerBroadcastCloses(PBT_APMPOWERSTATUSCHANGE, 0, kOnline, kOnline));
    CHECK(PowerBroadcastCloses(PBT_APMPOWERSTATUSCHANGE, 0, kOnline, kOffline));
    CHECK(PowerBroadcastCloses(PBT_APMPOWERSTATUSCHANGE, 0, kOffline, kOnline));
}

void framework_filters_before_the_saver() {
    const bool fullScreen = false, preview = true;
    CHECK(FilterFrameworkMessage(WM_SETTEXT, 0, fullScreen, false) == FilterAction::Swallow);
    CHECK(FilterFrameworkMessage(WM_SETTEXT, 0, preview, false) == FilterAction::Swallow);
    CHECK(FilterFrameworkMessage(WM_TIMER, 1, fullScreen, false) == FilterAction::YieldThenPassOn);
    CHECK(FilterFrameworkMessage(WM_TIMER, 1, fullScreen, true) == FilterAction::Drop);
    CHECK(FilterFrameworkMessage(WM_DESTROY, 0, fullScreen, false) == FilterAction::QuitThenPassOn);
    CHECK(FilterFrameworkMessage(WM_CREATE, 0, fullScreen, false) == FilterAction::PassOn);
    CHECK(FilterFrameworkMessage(WM_KEYDOWN, VK_SPACE, fullScreen, false) == FilterAction::PassOn);

    // System commands: only in full screen, and with the system's low bits set.
    CHECK(FilterFrameworkMessage(WM_SYSCOMMAND, SC_SCREENSAVE, fullScreen, false) ==
          FilterAction::Swallow);
    CHECK(FilterFrameworkMessage(WM_SYSCOMMAND, SC_NEXTWINDOW, fullScreen, false) ==
          FilterAction::Swallow);
    CHECK(FilterFrameworkMessage(WM_SYSCOMMAND, SC_PREVWINDOW | 0x3, fullScreen, false) ==
          FilterAction::Swallow);
    CHECK(FilterFrameworkMessage(WM_SYSCOMMAND, SC_MONITORPOWER | 0x2, fullScreen, false) ==
          FilterAction::CloseThenPassOn);
    CHECK(FilterFrameworkMessage(WM_SYSCOMMAND, SC_CLOSE, fullScreen, false) ==
          FilterAction::PassOn);
    CHECK(FilterFrameworkMessage(WM_SYSCOMMAND, SC_SCREENSAVE, preview, false) ==
          FilterAction::PassOn);

    // Help requests belong to the display settings around a preview.
    CHECK(FilterFrameworkMessage(WM_HELP, 0, preview, false) == FilterAction::ForwardToOwner);
    CHECK(FilterFrameworkMessage(WM_CONTEXTMENU, 0, preview, false) ==
          FilterAction::ForwardToOwner);
    CHECK(FilterFrameworkMessage(WM_CONTEXTMENU, 0, fullScreen, false) == FilterAction::PassOn);

    // Once the close is confirmed, input and painting no longer reach the saver.
    for (UINT message : {WM_KEYDOWN, WM_CHAR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEWHEEL, WM_PAINT})
        CHECK(FilterFrameworkMessage(message, 0, fullScreen, true) ==
              FilterAction::PlatformDefault);
    CHECK(FilterFrameworkMessage(WM_DESTROY, 0, fullScreen, true) == FilterAction::QuitThenPassOn);
}

void extension_names_match_whole_words() {
    const char* list = "WGL_ARB_pixel_format WGL_EXT_swap_control_tear WGL_ARB_create_context";
    CHECK(!ExtensionListHas(list, "WGL_EXT_swap_control"));
    CHECK(ExtensionListHas(list, "WGL_EXT_swap_control_tear"));
    CHECK(ExtensionListHas(list, "WGL_ARB_pixel_format"));
    CHECK(ExtensionListHas(list, "WGL_ARB_create_context"));
    CHECK(ExtensionListHas("GL_ARB_multitexture WGL_EXT_swap_control ", "WGL_EXT_swap_control"));
    CHECK(ExtensionListHas("WGL_EXT_swap_control", "WGL_EXT_swap_control"));
    CHECK(!ExtensionListHas("XWGL_EXT_swap_control", "WGL_EXT_swap_control"));
    CHECK(!ExtensionListHas(nullptr, "WGL_EXT_swap_control"));
    CHECK(!ExtensionListHas("", "WGL_EXT_swap_control"));
    CHECK(!ExtensionListHas(list, ""));
}

std::string TextOf(DWORD type, const std::string& data, bool* ok) {
    char buffer[kRegistryTextSize];
    memset(buffer, 'X', sizeof buffer);
    *ok = RegistryDataToText(type, reinterpret_cast<const unsigned char*>(data.data()),
                             static_cast<DWORD>(data.size()), buffer);
    if (!*ok) return "";
    // The result must be terminated inside the buffer.
    if (!memchr(buffer, 0, sizeof buffer)) {
        ++failures;
        printf("unterminated text for data of %u bytes\n", static_cast<unsigned>(data.size()));
        return "";
    }
    return buffer;
}

void registry_text_is_always_terminated() {
    bool ok = false;
    CHECK(TextOf(REG_SZ, std::string("Arial\0", 6), &ok) == "Arial" && ok);
    CHECK(TextOf(REG_SZ, "", &ok).empty() && ok);
    // A text stored without its terminator still ends where its data ends.
    CHECK(TextOf(REG_SZ, "abc", &ok) == "abc" && ok);
    CHECK(TextOf(REG_BINARY, "raw", &ok) == "raw" && ok);
    CHECK(TextOf(REG_DWORD, std::string("\x2a\0\0\0", 4), &ok) == "42" && ok);
    CHECK(TextOf(REG_DWORD, std::string("\xfb\xff\xff\xff", 4), &ok) == "-5" && ok);
    CHECK(TextOf(REG_DWORD, std::string("\0\0\0\x80", 4), &ok) == "-2147483648" && ok);

    std::string longest(kRegistryTextSize - 1, 'a');
    CHECK(TextOf(REG_SZ, longest + '\0', &ok) == longest && ok);
    // 500 characters without room for the terminator fail instead of being
    // read unterminated.
    std::string full(kRegistryTextSize, 'b');
    TextOf(REG_SZ, full, &ok);
    CHECK(!ok);
    TextOf(REG_BINARY, full, &ok);
    CHECK(!ok);
    // Data of the full size that brings its own terminator is fine.
    CHECK(TextOf(REG_SZ, std::string(kRegistryTextSize - 1, 'c') + '\0', &ok).size() ==
              kRegistryTextSize - 1 && ok);
}

void registry_numbers_need_four_bytes() {
    int32_t number = 7;
    const unsigned char little[4] = {0x78, 0x56, 0x34, 0x12};
    CHECK(RegistryDataToNumber(REG_BINARY, little, 4, &number) && number == 0x12345678);
    const unsigned char minusOne[4] = {0xff, 0xff, 0xff, 0xff};
    CHECK(RegistryDataToNumber(REG_DWORD, minusOne, 4, &number) && number == -1);
    number = 7;
    CHECK(!RegistryDataToNumber(REG_SZ, reinterpret_cast<const unsigned char*>("5\0\0"), 4,
                                &number));
    CHECK(!RegistryDataToNumber(REG_BINARY, little, 3, &number));
    CHECK(!RegistryDataToNumber(REG_DWORD, little, 0, &number));
    CHECK(number == 7);  // untouched by the failed reads
}

void small_rules() {
    char text[] = "The operation completed successfully.\r\n";
    TrimTrailingLineBreak(text);
    CHECK(strcmp(text, "The operation completed successfully.") == 0);
    char empty[] = "\r\n";
    TrimTrailingLineBreak(empty);
    CHECK(empty[0] == '\0');

    CHECK(FrameSleepMilliseconds(0) == 0);
    CHECK(FrameSleepMilliseconds(15) == 15);
    CHECK(FrameSleepMilliseconds(-1) == 0);  // not INFINITE

    CHECK(!IsNineXClass(0) && !IsNineXClass(1));
    CHECK(IsNineXClass(2) && IsNineXClass(5));
    CHECK(!IsNineXClass(6) && !IsNineXClass(8));
}
}  // namespace

int main() {
    input_and_deactivation_close_the_saver();
    mouse_must_travel_more_than_four_pixels();
    power_broadcasts_close_unless_nothing_changed();
    framework_filters_before_the_saver();
    extension_names_match_whole_words();
    registry_text_is_always_terminated();
    registry_numbers_need_four_bytes();
    small_rules();
    printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
