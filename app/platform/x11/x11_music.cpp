// The music player on Linux: the desktop's default application for the
// document's type (shared MIME database and desktop entries, through GIO in
// the desktop module, gio_launch.cpp), started as a child of the saver in
// full-screen runs only, and waited for until it maps a window or
// kPlayerStartLimitMs pass. At the end every
// top-level window whose _NET_WM_PID is that child gets WM_DELETE_WINDOW; a
// child still running without any window (many players play unseen) gets
// SIGTERM, so the music does not play on after the user came back. The child
// is reaped as soon as it ends.
#include "x11_backend.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <X11/Xatom.h>

#include <cerrno>
#include <vector>

#include "desktop_module.h"
#include "platform/musicplayer.h"

namespace {
constexpr int kPlayerStartLimitMs = 5000;
constexpr int kPollIntervalMs = 50;

// The one player a run starts; its state is also read by the SIGCHLD handler.
struct MusicPlayerRecord {
    volatile sig_atomic_t processId = 0;
    volatile sig_atomic_t ended = 0;  // exited and reaped: the id may be reused
};
MusicPlayerRecord musicPlayer;

// Reaps the player alone, so that no other child's status is taken from the
// code that waits for it.
void OnChildEnded(int) {
    int savedErrno = errno;
    pid_t player = musicPlayer.processId;
    if (player > 0 && !musicPlayer.ended && waitpid(player, nullptr, WNOHANG) == player)
        musicPlayer.ended = 1;
    errno = savedErrno;
}

void ReapWhenEnded() {
    struct sigaction action = {};
    action.sa_handler = OnChildEnded;
    action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    sigemptyset(&action.sa_mask);
    sigaction(SIGCHLD, &action, nullptr);
}

// SIGCHLD held back while the player's id is recorded or used, so the
// reaping handler cannot run in between; returns the mask to restore.
sigset_t HoldChildSignal() {
    sigset_t childSignal, previous;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childSignal, &previous);
    return previous;
}

void RestoreSignals(const sigset_t& previous) { sigprocmask(SIG_SETMASK, &previous, nullptr); }

void SleepMs(int milliseconds) {
    timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

bool PidOfWindowIs(Display* display, Window window, Atom pidAtom, pid_t processId) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    bool match = false;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &left, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && count == 1)
        match = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == processId;
    if (data) XFree(data);
    return match;
}

// The top-level windows of a process: children of the root, or, under a
// window manager that frames them, children of those frames.
std::vector<Window> ProcessWindows(Display* display, pid_t processId, bool mappedOnly) {
    std::vector<Window> found;
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    BeginX11ErrorTrap(display);
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            std::vector<Window> candidates = {children[i]};
            Window* inner = nullptr;
            unsigned innerCount = 0;
            if (XQueryTree(display, children[i], &rootReturn, &parent, &inner, &innerCount)) {
                for (unsigned j = 0; j < innerCount; ++j) candidates.push_back(inner[j]);
                if (inner) XFree(inner);
            }
            for (Window window : candidates) {
                if (!PidOfWindowIs(display, window, pidAtom, processId)) continue;
                XWindowAttributes attributes;
                if (mappedOnly && (!XGetWindowAttributes(display, window, &attributes) ||
                                   attributes.map_state != IsViewable))
                    continue;
                found.push_back(window);
            }
        }
        if (children) XFree(children);
    }
    EndX11ErrorTrap(display);
    return found;
}

// Starts the default application for document through the GIO module; its
// process id or 0.
pid_t LaunchDefaultApplication(const char* document) {
    auto launch = reinterpret_cast<GioLaunchDefaultEntry>(GioEntry(kGioLaunchDefaultEntry));
    return launch ? static_cast<pid_t>(launch(document)) : 0;
}
}  // namespace

uint32_t StartMusicPlayer(const char* document) {
    // Music plays in full-screen runs only, never in a window of another
    // program or an ordinary window.
    if (x11Saver.mode != SaverMode::FullScreen || musicPlayer.processId != 0) return 0;
    struct stat info;
    if (!document || stat(document, &info) != 0 || S_ISDIR(info.st_mode)) return 0;

    // Held until the id is recorded, so an at-once exit is reaped too.
    sigset_t previous = HoldChildSignal();
    ReapWhenEnded();
    pid_t player = LaunchDefaultApplication(document);
    musicPlayer.processId = player;
    RestoreSignals(previous);
    if (player <= 0) {
        musicPlayer.processId = 0;
        return 0;
    }

    Display* display = SaverDisplay();
    for (int waited = 0; waited < kPlayerStartLimitMs; waited += kPollIntervalMs) {
        if (musicPlayer.ended) break;
        if (display && !ProcessWindows(display, player, true).empty()) break;
        SleepMs(kPollIntervalMs);
    }
    return static_cast<uint32_t>(player);
}

void CloseMusicPlayer(uint32_t processId) {
    pid_t player = static_cast<pid_t>(processId);
    // Only the child this run started, and only while its id is still its own.
    if (player <= 0 || player != musicPlayer.processId || musicPlayer.ended) return;
    Display* display = SaverDisplay();
    if (!display) return;
    std::vector<Window> windows = ProcessWindows(display, player, false);
    for (Window window : windows) {
        XEvent request = {};
        request.xclient.type = ClientMessage;
        request.xclient.window = window;
        request.xclient.message_type = x11Saver.wmProtocols;
        request.xclient.format = 32;
        request.xclient.data.l[0] = static_cast<long>(x11Saver.wmDeleteWindow);
        request.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &request);
    }
    XFlush(display);
    if (!windows.empty()) return;
    // With the reaping held off, a child that ended meanwhile is a zombie
    // that still owns its id, so the signal can reach no other process.
    sigset_t previous = HoldChildSignal();
    if (!musicPlayer.ended) kill(player, SIGTERM);
    RestoreSignals(previous);
}
