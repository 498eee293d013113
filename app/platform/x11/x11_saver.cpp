// Plays the screensaver framework's part on X11: the saver window of each
// mode, one full-screen saver at a time, the grabs, the frame loop and the
// road to the teardown. The closing rules are x11_input.cpp's; the OpenGL
// window and its frames are glx_view.cpp's; the behaviour is the core's.
#include "x11_saver.h"
#include "x11_backend.h"
#include "fontconfig_faces.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "platform/messagebox.h"
#include "platform/saverhost.h"
#include "framepacing.h"
#include "product.h"
#include "saverwindow.h"

namespace {
constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr char kSaverClass[] = "WindowsScreenSaverClass";
constexpr char kPreviewTitle[] = "Preview";
constexpr char kHostedTitle[] = "Chronovale";
constexpr char kWindowedTitle[] = "Chronovale";
constexpr char kWindowedClass[] = "Chronovale";
// The running full-screen saver owns this selection; its owner window is the
// saver window, so a second start can find and raise it.
constexpr char kInstanceSelectionFormat[] = "_CHRONOVALE_SAVER_S%d";
constexpr int kWindowedWidth = 800;
constexpr int kWindowedHeight = 600;
constexpr int kGrabAttempts = 50;
constexpr long kGrabRetryNanoseconds = 20 * 1000 * 1000;
constexpr int kExitNoWindow = -1;
constexpr int kExitFailure = 1;
// X window ids use at most 29 bits; anything wider names no window (and must
// not be cut down to one that happens to exist).
constexpr uint64_t kWindowIdMask = 0x1FFFFFFFu;

constexpr long kFullScreenEvents = KeyPressMask | ButtonPressMask | PointerMotionMask |
                                   FocusChangeMask | StructureNotifyMask | VisibilityChangeMask;
constexpr long kWindowedEvents = KeyPressMask | StructureNotifyMask;
constexpr long kEmbeddedEvents = StructureNotifyMask;

volatile sig_atomic_t stopSignalled = 0;
volatile sig_atomic_t stopSignalsArmed = 0;

void OnStopSignal(int signalNumber) {
    if (!stopSignalsArmed) {
        // Nothing to undo yet: end the way the signal would have.
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        return;
    }
    stopSignalled = 1;
}

void InstallStopSignalHandlers() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // SIGHUP comes when the terminal the saver was started from closes,
    // SIGQUIT from its quit key: both end the saver with its teardown too,
    // so the monitor's power saving is given back.
    for (int stop : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaction(stop, &action, nullptr);
}

void SleepNanoseconds(long nanoseconds) {
    timespec delay = {0, nanoseconds};
    nanosleep(&delay, nullptr);
}

bool IsExistingWindow(Display* display, uint64_t id, XWindowAttributes* attributes) {
    if (id == 0 || (id & ~kWindowIdMask) != 0) return false;
    BeginX11ErrorTrap(display);
    Status ok = XGetWindowAttributes(display, static_cast<Window>(id), attributes);
    return EndX11ErrorTrap(display) == 0 && ok;
}

Cursor CreateBlankCursor(Display* display, Window window) {
    static const char kNoBits[1] = {0};
    Pixmap bitmap = XCreateBitmapFromData(display, window, kNoBits, 1, 1);
    XColor black = {};
    Cursor cursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(display, bitmap);
    return cursor;
}

Window CreateChildWindow(Display* display, Window parent, int x, int y, int width, int height,
                         long eventMask, bool overrideRedirect) {
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(display, x11Saver.screen);
    attributes.event_mask = eventMask;
    attributes.override_redirect = overrideRedirect ? True : False;
    unsigned long valueMask = CWBackPixel | CWEventMask | CWOverrideRedirect;
    BeginX11ErrorTrap(display);
    Window window = XCreateWindow(display, parent, x, y, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                  CopyFromParent, valueMask, &attributes);
    if (EndX11ErrorTrap(display) != 0) return 0;
    return window;
}

// Takes the instance selection for window; returns the window of the saver
// that holds it already, or 0 when it is now ours. The server grab makes the
// look and the take one step, so two savers started together cannot both win.
Window TakeInstanceSelection(Display* display, Window window) {
    char name[64];
    snprintf(name, sizeof name, kInstanceSelectionFormat, x11Saver.screen);
    Atom selection = XInternAtom(display, name, False);
    XGrabServer(display);
    Window owner = XGetSelectionOwner(display, selection);
    if (owner == None) XSetSelectionOwner(display, selection, window, CurrentTime);
    XUngrabServer(display);
    XSync(display, False);
    if (owner != None) return owner;
    // Lost to a client that ignored the grab: let that one run.
    Window now = XGetSelectionOwner(display, selection);
    return now == window ? 0 : now;
}

void BringToFront(Display* display, Window window) {
    BeginX11ErrorTrap(display);
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    EndX11ErrorTrap(display);
}

void ReportNoDisplay() {
    ShowMessageBox("Chronovale can not open the X display named by the DISPLAY variable.",
                   nullptr, MessageIcon::Error, false);
}
// A window id that names no window on this display ends the start with the
// refusal code, and says so once on standard error.
int NoSuchWindow(uint64_t id) {
    fprintf(stderr, "%s: 0x%llx is not a window on this display\n", kProduct.productName,
            static_cast<unsigned long long>(id));
    return kExitNoWindow;
}

// The saver window of each mode; returns 0 and sets x11Saver.saverWindow, or
// an exit code for a start that ends here.
int CreateSaverWindow(const SaverCommand& command, bool* alreadyRunning) {
    Display* display = x11Saver.display;
    Window root = x11Saver.root;
    XWindowAttributes host = {};
    Window window = 0;
    switch (command.mode) {
    case SaverMode::FullScreen: {
        XGetWindowAttributes(display, root, &host);
        window = CreateChildWindow(display, root, 0, 0, host.width, host.height,
                                   kFullScreenEvents, true);
        if (!window) return kExitFailure;
        SetWindowNames(display, window, kFullScreenTitle, kSaverClass);
        Window running = TakeInstanceSelection(display, window);
        if (running) {
            BringToFront(display, running);
            XDestroyWindow(display, window);
            *alreadyRunning = true;
            return 0;
        }
        break;
    }
    case SaverMode::Preview:
        if (!IsExistingWindow(display, command.window, &host)) return NoSuchWindow(command.window);
        x11Saver.hostWindow = static_cast<Window>(command.window);
        window = CreateChildWindow(display, x11Saver.hostWindow, 0, 0, host.width, host.height,
                                   kEmbeddedEvents, false);
        if (!window) return kExitNoWindow;
        SetWindowNames(display, window, kPreviewTitle, kSaverClass);
        break;
    case SaverMode::Hosted: {
        bool onRoot = command.window == 0 || command.window == root;
        if (onRoot) {
            XGetWindowAttributes(display, root, &host);
            x11Saver.hostWindow = root;
        } else {
            if (!IsExistingWindow(display, command.window, &host)) return NoSuchWindow(command.window);
            x11Saver.hostWindow = static_cast<Window>(command.window);
        }
        // On the root the saver stays below every other window, as a desktop
        // background; no window manager may frame it.
        window = CreateChildWindow(display, x11Saver.hostWindow, 0, 0, host.width, host.height,
                                   kEmbeddedEvents, onRoot);
        if (!window) return kExitNoWindow;
        SetWindowNames(display, window, kHostedTitle, kSaverClass);
        break;
    }
    case SaverMode::Windowed: {
        int width = DisplayWidth(display, x11Saver.screen);
        int height = DisplayHeight(display, x11Saver.screen);
        window = CreateChildWindow(display, root, 0, 0, width < kWindowedWidth ? width : kWindowedWidth,
                                   height < kWindowedHeight ? height : kWindowedHeight,
                                   kWindowedEvents, false);
        if (!window) return kExitFailure;
        SetWindowNames(display, window, kWindowedTitle, kWindowedClass);
        XSetWMProtocols(display, window, &x11Saver.wmDeleteWindow, 1);
        break;
    }
    default:
        return kExitNoWindow;
    }
    if (x11Saver.hostWindow && x11Saver.hostWindow != root) {
        // Follow the host window's size and notice its end.
        XSelectInput(display, x11Saver.hostWindow, StructureNotifyMask);
    }
    x11Saver.saverWindow = window;
    x11Saver.saverWindowAlive = true;
    return 0;
}

void RecordPointerPosition() {
    Window rootReturn, childReturn;
    int winX, winY;
    unsigned mask;
    XQueryPointer(x11Saver.display, x11Saver.root, &rootReturn, &childReturn,
                  &x11Saver.referenceX, &x11Saver.referenceY, &winX, &winY, &mask);
}

// Keyboard and pointer to the saver: another client may hold a grab for a
// moment (a menu, a drag), so try for about a second.
void GrabInput(Display* display, Window window) {
    bool keyboard = false, pointer = false;
    for (int attempt = 0; attempt < kGrabAttempts && !(keyboard && pointer); ++attempt) {
        if (!keyboard)
            keyboard = XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync,
                                     CurrentTime) == GrabSuccess;
        if (!pointer)
            pointer = XGrabPointer(display, window, True, ButtonPressMask | PointerMotionMask,
                                   GrabModeAsync, GrabModeAsync, None, x11Saver.blankCursor,
                                   CurrentTime) == GrabSuccess;
        if (!(keyboard && pointer)) SleepNanoseconds(kGrabRetryNanoseconds);
    }
}

void ShowSaverWindow() {
    Display* display = x11Saver.display;
    Window window = x11Saver.saverWindow;
    switch (x11Saver.mode) {
    case SaverMode::FullScreen:
        x11Saver.blankCursor = CreateBlankCursor(display, window);
        XDefineCursor(display, window, x11Saver.blankCursor);
        XMapRaised(display, window);
        XSync(display, False);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        GrabInput(display, window);
        break;
    case SaverMode::Hosted:
        // Lowered before it shows, so it never appears above other windows.
        if (x11Saver.hostWindow == x11Saver.root) XLowerWindow(display, window);
        XMapWindow(display, window);
        break;
    default:
        XMapWindow(display, window);
        break;
    }
    XFlush(display);
}

void ResizeToHost(int width, int height) {
    XResizeWindow(x11Saver.display, x11Saver.saverWindow, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
}

void HandleSaverWindowEvent(const XEvent& event) {
    switch (event.type) {
    case KeyPress: {
        XKeyEvent key = event.xkey;
        unsigned virtualKey = VirtualKeyFromKeysym(XLookupKeysym(&key, 0));
        if (SaverOnKeyDown(virtualKey) == KeyOutcome::PassOn) DefaultSaverEvent(event);
        break;
    }
    case ConfigureNotify: {
        ViewRect view = ChooseViewRect(saverState.previewMode, GetMonitorCount(),
                                       PrimaryMonitorOnly.Get() != 0, event.xconfigure.width,
                                       event.xconfigure.height, GetPrimaryDisplayRect());
        PlaceGlView(view);
        break;
    }
    case VisibilityNotify:
        // Topmost: whatever is raised over the full-screen saver goes under again.
        if (x11Saver.mode == SaverMode::FullScreen &&
            event.xvisibility.state != VisibilityUnobscured)
            XRaiseWindow(x11Saver.display, x11Saver.saverWindow);
        break;
    case DestroyNotify:
        x11Saver.saverWindowAlive = false;
        CloseSaver();
        break;
    default:
        DefaultSaverEvent(event);
        break;
    }
}

void HandleHostWindowEvent(const XEvent& event) {
    if (event.type == ConfigureNotify && x11Saver.saverWindowAlive)
        ResizeToHost(event.xconfigure.width, event.xconfigure.height);
    // The host's destruction reaches the saver through its own windows,
    // which the server destroys first.
}

void DispatchEvent(const XEvent& event) {
    Window window = event.xany.window;
    if (IsGlViewWindow(window))
        HandleGlViewEvent(event);
    else if (window == x11Saver.saverWindow && x11Saver.saverWindowAlive)
        HandleSaverWindowEvent(event);
    else if (window == x11Saver.hostWindow)
        HandleHostWindowEvent(event);
}

// Applies what arrived from outside an event: a stop signal, a close request.
void ApplyRequests() {
    if (stopSignalled || x11Saver.closeRequested) {
        x11Saver.closeRequested = false;
        CloseSaver();
    }
}

void HandlePendingEvents() {
    Display* display = x11Saver.display;
    while (!x11Saver.quitRequested && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        DispatchEvent(event);
    }
}

int64_t MonotonicMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool FrameLoopInterrupted() {
    return x11Saver.quitRequested || stopSignalled || x11Saver.closeRequested;
}

// Waits up to the given time for the X connection, handling what arrives.
void WaitForEvents(int64_t microseconds) {
    pollfd connection = {ConnectionNumber(x11Saver.display), POLLIN, 0};
    timespec timeout = {static_cast<time_t>(microseconds / 1000000),
                        static_cast<long>(microseconds % 1000000) * 1000};
    if (ppoll(&connection, 1, &timeout, nullptr) > 0) HandlePendingEvents();
}

// FrameSleepTimeMs between frames, then whatever the frame pacing still
// asks for; input that arrives meanwhile is handled at once rather than
// after the pause.
void PauseBetweenFrames() {
    int32_t pauseMs = FrameSleepTimeMs.Get();
    if (pauseMs > 0) {
        int64_t deadline = MonotonicMs() + pauseMs;
        for (;;) {
            int64_t left = deadline - MonotonicMs();
            if (left <= 0 || FrameLoopInterrupted()) break;
            WaitForEvents(left * 1000);
        }
    }
    bool waited = false;
    for (int64_t wait; (wait = FramePacingWaitMicroseconds()) > 0;) {
        if (FrameLoopInterrupted()) return;
        WaitForEvents(wait);
        waited = true;
    }
    if (pauseMs <= 0 && !waited) sched_yield();
}

void RunFrameLoop() {
    for (;;) {
        ApplyRequests();
        if (x11Saver.quitRequested) break;
        if (!GlViewExists()) {
            PostQuit(0);
            break;
        }
        PaintGlView();
        HandlePendingEvents();
        ApplyRequests();
        if (x11Saver.quitRequested) break;
        PauseBetweenFrames();
    }
}

void CloseDisplay() {
    if (!x11Saver.display) return;
    if (x11Saver.blankCursor) XFreeCursor(x11Saver.display, x11Saver.blankCursor);
    XCloseDisplay(x11Saver.display);
    x11Saver = X11SaverRecord();
}
}  // namespace

void ArmStopSignals() { stopSignalsArmed = 1; }

int RunSaver(const SaverCommand& command) {
    // Joined on every way out of this function.
    struct FontconfigReady {
        FontconfigReady() { StartFontconfigWarmUp(); }
        ~FontconfigReady() { FinishFontconfigWarmUp(); }
    } fontconfigReady;
    InstallStopSignalHandlers();
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        ReportNoDisplay();
        return kExitFailure;
    }
    InstallX11ErrorHandlers();
    x11Saver.display = display;
    x11Saver.screen = DefaultScreen(display);
    x11Saver.root = RootWindow(display, x11Saver.screen);
    x11Saver.mode = command.mode;
    x11Saver.wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    x11Saver.wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    RecordPointerPosition();
    bool alreadyRunning = false;
    int result = CreateSaverWindow(command, &alreadyRunning);
    if (result != 0 || alreadyRunning) {
        CloseDisplay();
        return result;
    }

    SetToolWindowStyle(x11Saver.saverWindow);
    if (SaverOnCreate(x11Saver.saverWindow, x11Saver.mode == SaverMode::Preview) == -1) {
        // The refused window: nothing was drawn, and the start still ends well.
        XDestroyWindow(display, x11Saver.saverWindow);
        CloseDisplay();
        return 0;
    }
    ShowSaverWindow();
    RunFrameLoop();
    int exitCode = x11Saver.quitCode;
    CloseDisplay();
    return exitCode;
}

void CloseSaver() {
    Display* display = x11Saver.display;
    if (!display) return;
    if (GlViewExists()) DestroyGlView();
    if (x11Saver.saverWindowAlive) {
        x11Saver.saverWindowAlive = false;
        XUngrabKeyboard(display, CurrentTime);
        XUngrabPointer(display, CurrentTime);
        BeginX11ErrorTrap(display);
        XDestroyWindow(display, x11Saver.saverWindow);
        EndX11ErrorTrap(display);
    }
    // The saver window's end ends the loop, as the framework's quit does.
    if (!x11Saver.quitRequested) PostQuit(0);
}

void SetToolWindowStyle(NativeWindow saverWindow) {
    // Only the full-screen window stands for a tool window: no taskbar or
    // pager entry. The ordinary window of -window keeps its entry.
    if (x11Saver.mode != SaverMode::FullScreen) return;
    Display* display = x11Saver.display;
    Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom skip[2] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                    XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
    XChangeProperty(display, static_cast<Window>(saverWindow), state, XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(skip), 2);
}

void PostCloseToSaverWindow() { x11Saver.closeRequested = true; }

void PostQuit(int exitCode) {
    x11Saver.quitRequested = true;
    x11Saver.quitCode = exitCode;
}
