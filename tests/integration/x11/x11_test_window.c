/* Test tool for the Linux integration tests: plays a host window for the
   saver (the display settings' preview box, a screensaver daemon's window)
   and sends window-manager close requests, which no installed tool does.
     x11_test_window create WIDTH HEIGHT TITLE   prints the id, runs until SIGTERM
     x11_test_window delete ID                   sends WM_DELETE_WINDOW to ID */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static volatile sig_atomic_t stopRequested = 0;

static void OnStop(int signalNumber) {
    (void)signalNumber;
    stopRequested = 1;
}

static int CreateAndWait(Display* display, unsigned width, unsigned height, const char* title) {
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, width,
                                        height, 0, WhitePixel(display, screen),
                                        WhitePixel(display, screen));
    XStoreName(display, window, title);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }
    printf("%lu\n", (unsigned long)window);
    fflush(stdout);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = OnStop;
    sigaction(SIGTERM, &action, NULL);
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    while (!stopRequested) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        poll(&connection, 1, 100);
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    return 0;
}

static int SendDelete(Display* display, Window window) {
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "x11_test_window: no display\n");
        return 2;
    }
    int result = 2;
    if (argc == 5 && strcmp(argv[1], "create") == 0)
        result = CreateAndWait(display, (unsigned)atoi(argv[2]), (unsigned)atoi(argv[3]), argv[4]);
    else if (argc == 3 && strcmp(argv[1], "delete") == 0)
        result = SendDelete(display, (Window)strtoul(argv[2], NULL, 0));
    else
        fprintf(stderr, "usage: x11_test_window create W H TITLE | delete ID\n");
    XCloseDisplay(display);
    return result;
}
