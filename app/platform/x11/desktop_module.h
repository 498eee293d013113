// What the saver needs of the desktop's toolkit (GTK for the settings dialog
// and the message dialog, GIO for the document's default application) lives
// in a module of its own, chronovale-desktop.so beside the saver, which the
// saver loads with dlopen the first time it needs one of them. Full-screen,
// preview and hosted runs therefore load neither GTK nor GLib unless music
// is to play; they start faster and keep less memory. The module carries its
// own copy of the core and exports only the entries below, so configuration
// mode runs wholly inside it.
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

// int (const char* document): starts the desktop's default application for
// the document as a child of this process that the caller reaps; its
// process id, or 0 when nothing was started.
constexpr char kDesktopLaunchDefaultEntry[] = "ChronovaleDesktopLaunchDefault";
using DesktopLaunchDefaultEntry = int (*)(const char*);

// Looks an entry up, loading the module on first use; nullptr when the
// module or the entry is missing (the first failure is said on standard
// error).
void* DesktopEntry(const char* name);

// Called once, after the settings dialog's first frame has been painted;
// empty in the saver, set by the measuring build before configuration mode.
extern void (*dialogFirstFrameObserver)();
