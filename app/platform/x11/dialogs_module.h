// The saver's GTK windows (the settings dialog and the message dialog) live
// in a module of their own, chronovale-dialogs.so beside the saver, which the
// saver loads with dlopen the first time it needs one of them. Full-screen,
// preview and hosted runs therefore neither load nor initialise GTK; they
// start faster and keep less memory. The module carries its own copy of the
// core and exports only the two entries below, so configuration mode runs
// wholly inside it.
#pragma once

#include <cstdint>

constexpr char kDialogsModuleName[] = "chronovale-dialogs.so";

// int (uint64_t ownerWindow, void (*firstFrameObserver)()): configuration
// mode, as RunConfigureDialog; the observer (may be nullptr) runs once the
// dialog's first frame is painted.
constexpr char kDialogsRunSettingsEntry[] = "ChronovaleDialogsRunSettings";
using DialogsRunSettingsEntry = int (*)(uint64_t, void (*)());

// void (const char* body, const char* title, int icon, int topmost): a modal
// GTK message dialog when a display can be opened; the caller has already
// written the text to standard error. icon is a MessageIcon value.
constexpr char kDialogsShowMessageEntry[] = "ChronovaleDialogsShowMessage";
using DialogsShowMessageEntry = void (*)(const char*, const char*, int, int);

// Called once, after the settings dialog's first frame has been painted;
// empty in the saver, set by the measuring build before configuration mode.
extern void (*dialogFirstFrameObserver)();
