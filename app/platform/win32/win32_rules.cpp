// The framework's message decisions and the backend's small data rules,
// kept free of window handles and system state so that they can be tested
// without a desktop.
#include "win32_rules.h"

#include <cstdio>
#include <cstring>

#include "platform/registry.h"

namespace {
// The system-command codes keep their low four bits for the system's own use.
constexpr WPARAM kSystemCommandMask = 0xFFF0;

bool IsInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

bool IsResumeEvent(WPARAM event) {
    return event == PBT_APMRESUMECRITICAL || event == PBT_APMRESUMESUSPEND ||
           event == PBT_APMRESUMESTANDBY || event == PBT_APMRESUMEAUTOMATIC;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

bool IsNineXClass(int versionClass) {
    return versionClass >= kFirstNineXClass && versionClass <= kLastNineXClass;
}

FilterAction FilterFrameworkMessage(UINT message, WPARAM wParam, bool previewMode,
                                    bool closeConfirmed) {
    if (closeConfirmed && (IsInputMessage(message) || message == WM_PAINT))
        return FilterAction::PlatformDefault;
    switch (message) {
    case WM_TIMER:
        return closeConfirmed ? FilterAction::Drop : FilterAction::YieldThenPassOn;
    case WM_SETTEXT:
        return FilterAction::Swallow;
    case WM_SYSCOMMAND:
        if (previewMode) return FilterAction::PassOn;
        switch (wParam & kSystemCommandMask) {
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
        case SC_SCREENSAVE:
            return FilterAction::Swallow;
        case SC_MONITORPOWER:
            return FilterAction::CloseThenPassOn;
        default:
            return FilterAction::PassOn;
        }
    case WM_HELP:
    case WM_CONTEXTMENU:
        return previewMode ? FilterAction::ForwardToOwner : FilterAction::PassOn;
    case WM_DESTROY:
        return FilterAction::QuitThenPassOn;
    default:
        return FilterAction::PassOn;
    }
}

bool InputClosesSaver(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    case WM_ACTIVATEAPP:
        return wParam == FALSE;
    case WM_POWER:  // the older power message, still sent for a critical resume
        return wParam == PWR_CRITICALRESUME;
    default:
        return false;
    }
}

bool MouseMoveCloses(POINT recorded, POINT now) {
    // Widened before subtracting: screen coordinates of far-apart monitors
    // must not overflow.
    long long dx = static_cast<long long>(now.x) - recorded.x;
    long long dy = static_cast<long long>(now.y) - recorded.y;
    if (dx < 0) dx = -dx;
    if (dy < 0) dy = -dy;
    return dx + dy > kMouseMoveTolerance;
}

bool PowerBroadcastCloses(WPARAM event, LPARAM data, BYTE acLineRecorded, BYTE acLineNow) {
    if (IsResumeEvent(event) && (data & PBTF_APMRESUMEFROMFAILURE)) return false;
    if (event == PBT_APMPOWERSTATUSCHANGE) return acLineNow != acLineRecorded;
    return true;
}

bool ExtensionListHas(const char* list, const char* name) {
    if (!list || !name || !*name) return false;
    size_t length = strlen(name);
    for (const char* p = list; (p = strstr(p, name)) != nullptr; p += length) {
        bool startsWord = p == list || IsBlank(p[-1]);
        bool endsWord = p[length] == '\0' || IsBlank(p[length]);
        if (startsWord && endsWord) return true;
    }
    return false;
}

bool RegistryDataToText(DWORD type, const unsigned char* data, DWORD size, char* buffer) {
    if (type == REG_DWORD && size == sizeof(int32_t)) {
        int32_t number;
        memcpy(&number, data, sizeof number);
        snprintf(buffer, kRegistryTextSize, "%d", static_cast<int>(number));
        return true;
    }
    if (size > kRegistryTextSize) return false;
    const void* zero = memchr(data, 0, size);
    // Data that fills the whole buffer with no terminator of its own would
    // need one byte more than there is.
    if (!zero && size == kRegistryTextSize) return false;
    if (buffer != reinterpret_cast<const char*>(data)) memmove(buffer, data, size);
    if (!zero) buffer[size] = '\0';
    return true;
}

bool RegistryDataToNumber(DWORD type, const unsigned char* data, DWORD size, int32_t* number) {
    if (type != REG_DWORD && type != REG_BINARY) return false;
    // A shorter value would leave part of the number undefined.
    if (size != sizeof(int32_t)) return false;
    memcpy(number, data, sizeof *number);
    return true;
}

void TrimTrailingLineBreak(char* text) {
    size_t length = strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) text[--length] = '\0';
}

DWORD FrameSleepMilliseconds(int32_t setting) {
    return setting > 0 ? static_cast<DWORD>(setting) : 0;
}
