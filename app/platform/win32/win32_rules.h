// The screensaver framework's decisions as pure functions of a message and
// a few facts: which messages the framework filters before the saver sees
// them, which input closes a full-screen saver, and the small text and number
// rules of the Windows backend. win32_framework.cpp applies them to windows.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

// The pointer must travel further than this (horizontal plus vertical
// distance) from where it was when the saver window appeared.
inline constexpr long kMouseMoveTolerance = 4;

// The version classes of the 9x family (see GetOsVersionClass).
inline constexpr int kFirstNineXClass = 2;
inline constexpr int kLastNineXClass = 5;
bool IsNineXClass(int versionClass);

// What the framework does with a message before the saver's own procedure.
enum class FilterAction {
    PassOn,           // to SaverWindowProc
    Swallow,          // answered with 0, the saver never sees it
    PlatformDefault,  // DefWindowProcA: the saver is already closing
    Drop,             // timer message after the close was confirmed
    YieldThenPassOn,  // timer message: give up the time slice once first
    CloseThenPassOn,  // request a close, then let the saver see it
    ForwardToOwner,   // preview: the display settings answer help requests
    QuitThenPassOn,   // window destruction: end the message loop
};

FilterAction FilterFrameworkMessage(UINT message, WPARAM wParam, bool previewMode,
                                    bool closeConfirmed);

// A key, system key or mouse-button press, deactivation of the application or
// a critical resume: in full screen each of these closes the saver.
bool InputClosesSaver(UINT message, WPARAM wParam);

bool MouseMoveCloses(POINT recorded, POINT now);

// A power broadcast closes the saver, except a resume flagged as a resume
// from a failure and a power-status change that left the mains state as it
// was. The AC line states are those of SYSTEM_POWER_STATUS.
bool PowerBroadcastCloses(WPARAM event, LPARAM data, BYTE acLineRecorded, BYTE acLineNow);

// True when the blank-separated list (an OpenGL or WGL extension string)
// holds name as a whole word. A null list holds nothing.
bool ExtensionListHas(const char* list, const char* name);

// The text of a registry value read with a kRegistryTextSize buffer: data of
// size bytes of the given type. A REG_DWORD becomes its signed decimal text;
// any other type is taken byte for byte and terminated. False when the data
// with its terminator does not fit the buffer.
bool RegistryDataToText(DWORD type, const unsigned char* data, DWORD size, char* buffer);

// The number of a registry value read with a 4-byte buffer: true only for a
// REG_DWORD or REG_BINARY of exactly four bytes (little-endian).
bool RegistryDataToNumber(DWORD type, const unsigned char* data, DWORD size, int32_t* number);

// Strips the line break and blanks the system's message texts end with.
void TrimTrailingLineBreak(char* text);

// The wait after a frame: a negative setting counts as 0 rather than as an
// endless sleep.
DWORD FrameSleepMilliseconds(int32_t setting);
