// Test tool: posts one key press to the full-screen saver's window, as the
// keyboard would deliver it. Wine reads X input only now and then while a
// program keeps painting, which with slow frames delays xdotool's keys by
// minutes; a posted message arrives with the next message the saver reads.
//   post_key VK     VK in decimal (116 is F5); exit code 0 when posted
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    if (!saver) return 2;
    WPARAM key = static_cast<WPARAM>(strtoul(commandLine, nullptr, 10));
    return PostMessageA(saver, WM_KEYDOWN, key, 1) ? 0 : 3;
}
