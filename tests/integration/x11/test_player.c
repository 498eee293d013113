/* Test tool standing in for a program the desktop starts: a music player, a
   browser, the saver started by the launcher. It appends what it sees to the
   file named by CHRONOVALE_TEST_LOG, one line per event, written at once:
     pid N                 its process id
     arg VALUE             one line per argument, in order
     close N               window N received WM_DELETE_WINDOW (and closes)
     ignored N             window N received it and stays (mode "ignore")
     term                  SIGTERM arrived (the program then ends)
   CHRONOVALE_TEST_PLAYER_WINDOWS: top-level windows to map (default 0), each
   with _NET_WM_PID and WM_DELETE_WINDOW, titled "Test Player N".
   CHRONOVALE_TEST_PLAYER_MODE: "stay" keeps a windowless player running until
   SIGTERM, "ignore" ignores close requests; otherwise a windowless player
   ends at once and a windowed one when its last window closed. Every player
   ends by itself after two minutes, so none outlives a broken test. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define MAX_WINDOWS 8
#define LIFETIME_SECONDS 120

static int logFile = -1;
static volatile sig_atomic_t termReceived = 0;

static void LogLine(const char* kind, const char* text) {
    char line[16384];
    int length = snprintf(line, sizeof line, "%s %s\n", kind, text);
    if (length < 0) return;
    if (length >= (int)sizeof line) length = sizeof line - 1;
    if (logFile >= 0 && write(logFile, line, (size_t)length) < 0) {
        /* Nothing to do: the test sees the missing line. */
    }
}

static void OnTerm(int signalNumber) {
    (void)signalNumber;
    termReceived = 1;
}

static int Expired(time_t start) { return time(NULL) - start >= LIFETIME_SECONDS; }

int main(int argc, char** argv) {
    time_t start = time(NULL);
    const char* logPath = getenv("CHRONOVALE_TEST_LOG");
    if (logPath) logFile = open(logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    char pidText[32];
    snprintf(pidText, sizeof pidText, "%ld", (long)getpid());
    LogLine("pid", pidText);
    for (int i = 1; i < argc; ++i) LogLine("arg", argv[i]);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = OnTerm;
    sigaction(SIGTERM, &action, NULL);

    const char* windowsText = getenv("CHRONOVALE_TEST_PLAYER_WINDOWS");
    const char* mode = getenv("CHRONOVALE_TEST_PLAYER_MODE");
    int windowCount = windowsText ? atoi(windowsText) : 0;
    if (windowCount < 0) windowCount = 0;
    if (windowCount > MAX_WINDOWS) windowCount = MAX_WINDOWS;
    int ignore = mode && strcmp(mode, "ignore") == 0;

    if (windowCount == 0) {
        if (!(mode && strcmp(mode, "stay") == 0)) return 0;
        while (!termReceived && !Expired(start)) poll(NULL, 0, 50);
        if (termReceived) LogLine("term", "");
        return 0;
    }

    Display* display = XOpenDisplay(NULL);
    if (!display) return 2;
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    long pid = (long)getpid();
    Window windows[MAX_WINDOWS];
    int open = windowCount;
    int screen = DefaultScreen(display);
    for (int i = 0; i < windowCount; ++i) {
        windows[i] = XCreateSimpleWindow(display, RootWindow(display, screen), 20 + 30 * i,
                                         20 + 30 * i, 120, 80, 0, BlackPixel(display, screen),
                                         WhitePixel(display, screen));
        char title[32];
        snprintf(title, sizeof title, "Test Player %d", i);
        XStoreName(display, windows[i], title);
        XChangeProperty(display, windows[i], pidAtom, XA_CARDINAL, 32, PropModeReplace,
                        (unsigned char*)&pid, 1);
        XSetWMProtocols(display, windows[i], &deleteWindow, 1);
        XMapWindow(display, windows[i]);
    }
    XFlush(display);

    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    while (open > 0 && !termReceived && !Expired(start)) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != ClientMessage || event.xclient.message_type != protocols ||
                (Atom)event.xclient.data.l[0] != deleteWindow)
                continue;
            for (int i = 0; i < windowCount; ++i) {
                if (windows[i] != event.xclient.window) continue;
                char number[16];
                snprintf(number, sizeof number, "%d", i);
                LogLine(ignore ? "ignored" : "close", number);
                if (!ignore) {
                    XDestroyWindow(display, windows[i]);
                    windows[i] = None;
                    --open;
                }
            }
        }
        XFlush(display);
        poll(&connection, 1, 100);
    }
    if (termReceived) LogLine("term", "");
    XCloseDisplay(display);
    return 0;
}
