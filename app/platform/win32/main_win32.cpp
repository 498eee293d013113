// The program entry of Chronovale.scr: hands the command line to the saver's
// screensaver framework and returns its exit code.
#include <windows.h>

#include "win32_framework.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunSaverFramework(instance, GetCommandLineA());
}
