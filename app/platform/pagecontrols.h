// What the configuration pages' portable handlers (controls.h) need from the
// dialog: the controls of one page addressed by their numeric ids, the
// choosers, and the information message. Windows plays it with dialog
// controls and the common dialogs, Linux with the GTK widgets of the same ids.
// The configuration dialog itself (single instance, the tabbed sheet, page
// switching) is the backend's; it calls the handlers of controls.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "types.h"

// Runs configuration mode from start to end: start-up, the single-instance
// guard and the modal sheet of the four pages. Returns the exit code.
int RunConfigureDialog(uint64_t ownerWindow);

// A page is the window (dialog, or the widget holding the page's controls)
// the platform handed to the handlers.
using PageWindow = NativeWindow;

void PageSetChecked(PageWindow page, int control, bool ticked);
bool PageIsChecked(PageWindow page, int control);
// Selects radio button selected and clears the others of first..last; a
// selected of 0 clears them all.
void PageSelectRadio(PageWindow page, int first, int last, int selected);
void PageSetText(PageWindow page, int control, const char* text);
void PageEnable(PageWindow page, int control, bool enabled);
// Asks for the colour swatch to be painted again; the paint reads
// CustomSwatchColour().
void PageRepaintSwatch(PageWindow page, int control);
// Shows control as a hyperlink (blue, underlined, hand cursor); its clicks
// arrive as commands on its id.
void PageMakeLink(PageWindow page, int control);

// A modal information message owned by the page, with one OK button.
void PageShowInformation(PageWindow page, const char* text, const char* caption);

// The colour chooser opened on start (0x00BBGGRR); true and *chosen when the
// user confirms.
bool ChooseTextColor(PageWindow owner, uint32_t start, uint32_t* chosen);
// The font chooser (outline faces only) opened on face; true and the chosen
// face name, cut to fit, when the user confirms. Size and style are dropped.
bool ChooseFaceName(PageWindow owner, const char* face, char* chosen, size_t size);

struct FileFilter {
    const char* name;     // "Music Files (*.mp3; ...)"
    const char* pattern;  // "*.mp3;*.ogg"
};
struct FileChooserRequest {
    const char* title;
    const FileFilter* filters;
    int filterCount;
    int initialFilter;  // 0-based index into filters
};
// An open-file chooser for an existing file; true and the full path when
// the user confirms one that fits in size.
bool ChooseFile(PageWindow owner, const FileChooserRequest& request, char* path, size_t size);

// Starts the saver full screen in a separate process with the stored
// settings; false when the platform refused.
bool RunSaverForPreview();

enum class HelpPageLookup {
    NoFolder,  // nothing to open: the caller beeps
    Missing,   // the folder exists but holds no help page: nothing happens
    Found,     // path holds the page to open
};
// The help page for the installation folder appDir (the AppDir setting).
HelpPageLookup FindHelpPage(const char* appDir, char* path, size_t size);
