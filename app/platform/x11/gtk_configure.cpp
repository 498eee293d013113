// Configuration mode on Linux: start-up, the display, the single-instance
// lock and the settings dialog (gtk_pages.cpp). A second start finds the
// lock held, brings the open dialog forward and ends with 0 and no window
// of its own. This file also holds the desktop module's exported
// entries (desktop_module.h).

// The core headers come before Xlib's, whose macros clash with their names.
#include "controls.h"
#include "main.h"
#include "platform/pagecontrols.h"
#include "product.h"
#include "x11_backend.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <type_traits>

#include "desktop_module.h"
#include "gtk_dialogs.h"
#include "gtk_pages.h"
#include "posix_config_lock.h"

namespace {
constexpr size_t kLockNameSize = 128;
constexpr long kSourceIsApplication = 1;

ConfigureLock configureLock;

void OnDialogMapped(GtkWidget* dialog, gpointer) {
    GdkWindow* window = gtk_widget_get_window(dialog);
    if (window && GDK_IS_X11_WINDOW(window))
        RecordConfigureWindow(configureLock, GDK_WINDOW_XID(window));
}

// Raises the window the lock's holder recorded and asks the window manager
// to activate it. An id that names no window any more is ignored.
void BringForward(uint64_t id) {
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    if (id == 0 || !gdkDisplay || !GDK_IS_X11_DISPLAY(gdkDisplay)) return;
    Display* display = GDK_DISPLAY_XDISPLAY(gdkDisplay);
    Window window = static_cast<Window>(id);
    gdk_x11_display_error_trap_push(gdkDisplay);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = kSourceIsApplication;
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, attributes.root, False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XRaiseWindow(display, window);
    }
    XSync(display, False);
    gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
}

void BeepDialogDisplay() {
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_beep(display);
}

int DialogMonitorCount() {
    GdkDisplay* display = gdk_display_get_default();
    return display ? gdk_display_get_n_monitors(display) : 1;
}
}  // namespace

int RunConfigureDialog(uint64_t) {
    // Start-up first: a missing companion library is reported (on standard
    // error, and in a box when a display is there) and ends with 1.
    RunStartup();
    // The dialog is GTK's; no Wayland or other backend plays the X11 saver.
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr)) {
        fprintf(stderr, "%s: the settings dialog needs a display, and none can be opened "
                "(is DISPLAY set?)\n", kProduct.productName);
        return 1;
    }
    dialogDisplay.beep = BeepDialogDisplay;
    dialogDisplay.monitorCount = DialogMonitorCount;
    char lockName[kLockNameSize];
    FormatConfigureMutexName(lockName, sizeof lockName);
    switch (AcquireConfigureLock(lockName, &configureLock)) {
    case ConfigureLockResult::HeldElsewhere:
        BringForward(ReadConfigureWindow(lockName));
        return 0;
    case ConfigureLockResult::Unavailable:
        // As when the mutex cannot be made: no dialog, nothing to report
        // but a note for whoever started it from a terminal.
        fprintf(stderr,
                "%s: cannot create the lock file \"%s\"; the settings dialog is not shown\n",
                kProduct.productName, lockName);
        return 0;
    case ConfigureLockResult::Acquired:
        break;
    }
    // The dialog has no owner: an id from the command line names no window
    // of this desktop's settings program.
    bool shown = RunSettingsDialog(ConfigureStartPage(), G_CALLBACK(OnDialogMapped));
    ReleaseConfigureLock(&configureLock);
    return shown ? 0 : 1;
}

extern "C" __attribute__((visibility("default"))) int ChronovaleDesktopRunSettings(
    uint64_t ownerWindow, void (*firstFrameObserver)()) {
    settingsDialogFirstFrameObserver = firstFrameObserver;
    return RunConfigureDialog(ownerWindow);
}

extern "C" __attribute__((visibility("default"))) void ChronovaleDesktopShowMessage(
    const char* body, const char* title, int icon, int topmost) {
    ShowMessageDialog(body, title, static_cast<MessageIcon>(icon), topmost != 0);
}

// The entries have the types the saver calls them through.
static_assert(std::is_same_v<decltype(&ChronovaleDesktopRunSettings), DesktopRunSettingsEntry>);
static_assert(std::is_same_v<decltype(&ChronovaleDesktopShowMessage), DesktopShowMessageEntry>);
