// Recording stand-ins for every platform service the core calls, so the
// portable handlers run in a unit test without a window, a display or a
// registry. ExitProgram throws ProgramExit, which the tests catch.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"
#include "platform/saverhost.h"
#include "platform/types.h"

namespace fake {

struct ProgramExit {
    int code;
};

struct MessageBoxCall {
    std::string text;
    std::string caption;  // "<none>" for the platform's default caption
    int icon;             // MessageIcon as int
    bool topmost;
};

struct Platform {
    // Inputs the test sets.
    std::string programPath = "C:\\Savers\\Chronovale.scr";
    bool programPathFails = false;
    bool libraryLoads = true;
    OsVersionFields osVersion = {PlatformFamily::WindowsNT, 10, 0, 19045};
    bool osQueryFails = false;
    uint32_t lastError = 5;
    std::string errorText = "Access is denied.";
    int monitorCount = 1;
    int clientWidth = 1024, clientHeight = 768;
    int primaryLeft = 0, primaryTop = 0;
    int primaryWidth = 1024, primaryHeight = 768;
    int colorDepth = 32;
    bool powerOffActive = true;
    bool lowPowerActive = true;
    bool swapControlAvailable = true;
    int refreshRateHz = 0;  // what DisplayRefreshRateHz answers; 0: unknown
    // Resources of the loaded library, by (type, id).
    std::map<std::pair<std::string, int>, std::vector<unsigned char>> resources;

    // What the core did, in order.
    std::vector<std::string> calls;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<std::string> loadedLibraries;
    std::vector<std::string> currentDirs;
    std::vector<std::string> shellRequests;
    std::vector<BeepKind> beeps;
    std::vector<ViewRect> glViews;
    // Files: names some other program creates between the existence check
    // and the creation, a program folder that takes no files, the pictures
    // folder; every file created (written to a nameless temporary file).
    std::vector<std::string> takenAtCreation;
    bool programFolderRefuses = false;
    std::string picturesFolder = "/home/user/Pictures/";
    std::vector<std::string> createdFiles;
    // Music: the process id a start returns (0: nothing associated), the
    // documents started and the process ids asked to close.
    uint32_t musicPlayerId = 4242;
    std::vector<std::string> musicStarts;
    std::vector<uint32_t> musicCloses;
    int closeRequests = 0;
    int quitCode = -12345;

    bool Called(const std::string& name) const;
    // Position of the first call with this name in calls, or -1.
    int IndexOf(const std::string& name) const;
};

Platform& Fake();

// Back to a fresh platform, fresh memory registry and fresh core records.
void ResetAll();

}  // namespace fake
