// The recording platform. Each service appends its name to calls so the
// tests can check the order of the start-up and teardown steps.
#include "fake_platform.h"

#include <algorithm>
#include <cstring>

#include "glview.h"
#include "main.h"
#include "memory_registry.h"
#include "platform/glcontext.h"
#include "platform/messagebox.h"
#include "platform/musicplayer.h"
#include "platform/power.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/systemclock.h"
#include "platform/userfiles.h"
#include "saverwindow.h"
#include "screenshot.h"
#include "settings.h"
#include "textutil.h"

namespace fake {

Platform& Fake() {
    static Platform platform;
    return platform;
}

bool Platform::Called(const std::string& name) const { return IndexOf(name) >= 0; }

int Platform::IndexOf(const std::string& name) const {
    auto it = std::find(calls.begin(), calls.end(), name);
    return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
}

void ResetAll() {
    Fake() = Platform();
    Registry().Clear();
    ResetGlViewState();
    ResetScreenshotState();
    saverState = SaverState();
    resourceLibrary = nullptr;
}

}  // namespace fake

using fake::Fake;

namespace {
int libraryToken;  // the loaded "library" is the address of this object
}

bool GetProgramPath(char* buffer, size_t size) {
    if (Fake().programPathFails || Fake().programPath.size() + 1 > size) return false;
    memcpy(buffer, Fake().programPath.c_str(), Fake().programPath.size() + 1);
    return true;
}

void ExitProgram(int exitCode) {
    Fake().calls.push_back("ExitProgram");
    throw fake::ProgramExit{exitCode};
}

bool SetCurrentDir(const char* path) {
    Fake().currentDirs.push_back(path);
    return true;
}

void PlatformBeep(BeepKind kind) { Fake().beeps.push_back(kind); }

uint32_t LastPlatformError() { return Fake().lastError; }

void PlatformErrorText(uint32_t, char* buffer, size_t size) {
    CopyText(buffer, size, Fake().errorText.c_str());
}

bool QueryOsVersion(OsVersionFields* fields) {
    if (Fake().osQueryFails) {
        *fields = {PlatformFamily::Win32s, 0, 0, 0};
        return false;
    }
    *fields = Fake().osVersion;
    return true;
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon, bool topmost) {
    Fake().calls.push_back("ShowMessageBox");
    Fake().messageBoxes.push_back({text, caption ? caption : "<none>", static_cast<int>(icon), topmost});
}

bool CompanionLibraryPath(const char* programPath, char* buffer, size_t size) {
    return ScrPathToDllPath(programPath, buffer, size);
}

NativeModule LoadResourceLibrary(const char* path) {
    Fake().calls.push_back("LoadResourceLibrary");
    Fake().loadedLibraries.push_back(path);
    return Fake().libraryLoads ? &libraryToken : nullptr;
}

void FreeResourceLibrary(NativeModule) { Fake().calls.push_back("FreeResourceLibrary"); }

bool FindResourceBytes(NativeModule library, const char* type, int id,
                       const unsigned char** data, size_t* size) {
    if (library != &libraryToken) return false;
    auto found = Fake().resources.find({type, id});
    if (found == Fake().resources.end()) return false;
    *data = found->second.data();
    *size = found->second.size();
    return true;
}

bool ShellOpen(const char* target) {
    Fake().shellRequests.push_back(std::string("open ") + target);
    return true;
}

bool ShellConfigure(const char* saverFile) {
    Fake().shellRequests.push_back(std::string("config ") + saverFile);
    return true;
}

bool MonitorPowerOffActive() { return Fake().powerOffActive; }
void SetMonitorPowerOffActive(bool active) {
    Fake().calls.push_back(active ? "PowerOffOn" : "PowerOffOff");
    Fake().powerOffActive = active;
}
bool MonitorLowPowerActive() { return Fake().lowPowerActive; }
void SetMonitorLowPowerActive(bool active) {
    Fake().calls.push_back(active ? "LowPowerOn" : "LowPowerOff");
    Fake().lowPowerActive = active;
}

void SetToolWindowStyle(NativeWindow) { Fake().calls.push_back("SetToolWindowStyle"); }
void GetClientSize(NativeWindow, int* width, int* height) {
    *width = Fake().clientWidth;
    *height = Fake().clientHeight;
}
int GetMonitorCount() { return Fake().monitorCount; }
ViewRect GetPrimaryDisplayRect() {
    return {Fake().primaryLeft, Fake().primaryTop, Fake().primaryWidth, Fake().primaryHeight};
}
int GetColorDepth(NativeWindow) { return Fake().colorDepth; }
void CreateGlView(NativeWindow, const ViewRect& view) {
    Fake().calls.push_back("CreateGlView");
    Fake().glViews.push_back(view);
}
void PostCloseToSaverWindow() {
    Fake().calls.push_back("PostCloseToSaverWindow");
    ++Fake().closeRequests;
}
void PostQuit(int exitCode) {
    Fake().calls.push_back("PostQuit");
    Fake().quitCode = exitCode;
}

FILE* CreateNewFile(const char* path, NewFileResult* result) {
    std::string name(path);
    auto& fake = Fake();
    bool inPictures = !fake.picturesFolder.empty() &&
                      name.compare(0, fake.picturesFolder.size(), fake.picturesFolder) == 0;
    if (std::find(fake.takenAtCreation.begin(), fake.takenAtCreation.end(), name) !=
        fake.takenAtCreation.end()) {
        *result = NewFileResult::NameTaken;
        return nullptr;
    }
    if (fake.programFolderRefuses && !inPictures) {
        *result = NewFileResult::FolderRefused;
        return nullptr;
    }
    fake.createdFiles.push_back(name);
    *result = NewFileResult::Created;
    return tmpfile();
}

bool GetPicturesFolder(char* buffer, size_t size) {
    if (Fake().picturesFolder.empty()) return false;
    CopyText(buffer, size, Fake().picturesFolder.c_str());
    return true;
}

uint32_t StartMusicPlayer(const char* document) {
    Fake().calls.push_back("StartMusicPlayer");
    Fake().musicStarts.push_back(document);
    return Fake().musicPlayerId;
}

void CloseMusicPlayer(uint32_t processId) {
    Fake().calls.push_back("CloseMusicPlayer");
    Fake().musicCloses.push_back(processId);
}

bool SwitchOffSwapWait() {
    Fake().calls.push_back("SwitchOffSwapWait");
    return Fake().swapControlAvailable;
}
int DisplayRefreshRateHz() { return Fake().refreshRateHz; }
void RestoreDisplayMode() { Fake().calls.push_back("RestoreDisplayMode"); }
void ReleaseGlContext() { Fake().calls.push_back("ReleaseGlContext"); }

namespace {
// Unit tests always install a manual clock; this one only answers if a test
// forgot to, with a clock that never moves.
class FrozenClock : public Clock {
public:
    int64_t PerformanceCounter() override { return 0; }
    int64_t PerformanceFrequency() override { return 1000; }
    uint32_t TickMs() override { return 0; }
    int64_t CalendarTime() override { return 0; }
};
}  // namespace

Clock& SystemClock() {
    static FrozenClock clock;
    return clock;
}
