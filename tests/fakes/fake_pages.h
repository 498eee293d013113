// A recording stand-in for the configuration dialog's page controls: every
// control of a page keeps its tick, text, enabled state and radio selection
// as a real dialog would, the choosers answer from a script, and every call
// is logged so a test can see what the page handlers asked for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/pagecontrols.h"

namespace fake {

struct Control {
    bool ticked = false;
    bool enabled = true;
    bool link = false;
    std::string text;
};

struct ChooserAnswer {
    bool confirm = false;
    uint32_t colour = 0;
    std::string text;  // face name or file path
};

struct Pages {
    // Controls by (page window, id); a radio group is a set of ticked ids.
    std::map<std::pair<PageWindow, int>, Control> controls;
    std::vector<std::string> calls;       // "SetText 1017", "ChooseTextColor", ...
    std::vector<std::string> information;  // caption + "|" + text of each message
    std::vector<int> swatchRepaints;
    int previewRuns = 0;

    // What the next chooser returns, and what it was opened with.
    ChooserAnswer colourAnswer, fontAnswer, fileAnswer;
    uint32_t colourOpenedWith = 0;
    std::string fontOpenedWith;
    FileChooserRequest fileRequest = {};

    // FindHelpPage: the folder that exists and whether it has the page.
    std::string helpFolder;
    bool helpFolderHasPage = true;

    Control& At(PageWindow page, int control) { return controls[{page, control}]; }
    // The user's click: an automatic check box flips, an automatic radio
    // button selects itself alone within first..last.
    void ClickBox(PageWindow page, int control);
    void ClickRadio(PageWindow page, int control, int first, int last);
    int SelectedRadio(PageWindow page, int first, int last);  // 0 when none
    int Count(const std::string& call) const;
};

Pages& FakePages();
void ResetPages();

}  // namespace fake
