// What the saver needs of the desktop's libraries lives in two modules beside
// it, which the saver loads with dlopen the first time it needs one of them:
// chronovale-desktop.so holds the GTK settings dialog and message dialog,
// chronovale-gio.so the start of a document's default application through
// GIO, which needs no toolkit. Full-screen, preview and hosted runs
// therefore load neither GTK nor GLib, and a run that plays music loads GIO
// alone; they start faster and keep less memory. The desktop module carries
// its own copy of the core and exports only the entries below, so
// configuration mode runs wholly inside it.
#pragma once

#include <cstdint>

constexpr char kDesktopModuleName[] = "chronovale-desktop.so";

// int (uint64_t ownerWindow, void (*firstFrameObserver)()): configuration
// mode, as RunConfigureDialog; the observer (may be nullptr) runs once the
// dialog's first frame is painted.
constexpr char kDesktopRunSettingsEntry[] = "ChronovaleDesktopRunSettings";
using DesktopRunSettingsEntry = int (*)(uint64_t, void (*)());

// void (const char* body, const char* title, int icon, int topmost): a modal
// GTK message dialog when a display can be opened; the caller has already
// written the text to standard error. icon is a MessageIcon value.
constexpr char kDesktopShowMessageEntry[] = "ChronovaleDesktopShowMessage";
using DesktopShowMessageEntry = void (*)(const char*, const char*, int, int);

constexpr char kGioModuleName[] = "chronovale-gio.so";

// In the GIO module, int (const char* document): starts the desktop's
// default application for the document as a child of this process that the
// caller reaps; its process id, or 0 when nothing was started.
constexpr char kGioLaunchDefaultEntry[] = "ChronovaleGioLaunchDefault";
using GioLaunchDefaultEntry = int (*)(const char*);

// Look an entry of the desktop module or of the GIO module up, loading the
// module on first use; nullptr when the module or the entry is missing (the
// module's first failure is said on standard error).
void* DesktopEntry(const char* name);
void* GioEntry(const char* name);

// Called once, after the settings dialog's first frame has been painted;
// empty in the saver, set by the measuring build before configuration mode.
extern void (*dialogFirstFrameObserver)();
