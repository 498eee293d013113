// The recording page controls and scripted choosers.
#include "fake_pages.h"

#include <algorithm>
#include <cstring>

#include "settings.h"
#include "textutil.h"

namespace fake {

Pages& FakePages() {
    static Pages pages;
    return pages;
}

void ResetPages() { FakePages() = Pages(); }

void Pages::ClickBox(PageWindow page, int control) {
    Control& box = At(page, control);
    box.ticked = !box.ticked;
}

void Pages::ClickRadio(PageWindow page, int control, int first, int last) {
    for (int id = first; id <= last; ++id) At(page, id).ticked = id == control;
}

int Pages::SelectedRadio(PageWindow page, int first, int last) {
    int selected = 0;
    for (int id = first; id <= last; ++id)
        if (At(page, id).ticked) selected = selected ? -1 : id;  // -1: two at once
    return selected;
}

int Pages::Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

}  // namespace fake

using fake::FakePages;

int RunConfigureDialog(uint64_t) {
    FakePages().calls.push_back("RunConfigureDialog");
    return 0;
}

void PageSetChecked(PageWindow page, int control, bool ticked) {
    FakePages().At(page, control).ticked = ticked;
}

bool PageIsChecked(PageWindow page, int control) { return FakePages().At(page, control).ticked; }

void PageSelectRadio(PageWindow page, int first, int last, int selected) {
    FakePages().calls.push_back("SelectRadio " + std::to_string(first));
    for (int id = first; id <= last; ++id) FakePages().At(page, id).ticked = id == selected;
}

void PageSetText(PageWindow page, int control, const char* text) {
    FakePages().calls.push_back("SetText " + std::to_string(control));
    FakePages().At(page, control).text = text;
}

void PageEnable(PageWindow page, int control, bool enabled) {
    FakePages().At(page, control).enabled = enabled;
}

void PageRepaintSwatch(PageWindow, int control) { FakePages().swatchRepaints.push_back(control); }

void PageMakeLink(PageWindow page, int control) { FakePages().At(page, control).link = true; }

void PageShowInformation(PageWindow, const char* text, const char* caption) {
    FakePages().information.push_back(std::string(caption) + "|" + text);
}

bool ChooseTextColor(PageWindow, uint32_t start, uint32_t* chosen) {
    FakePages().calls.push_back("ChooseTextColor");
    FakePages().colourOpenedWith = start;
    if (!FakePages().colourAnswer.confirm) return false;
    *chosen = FakePages().colourAnswer.colour;
    return true;
}

bool ChooseFaceName(PageWindow, const char* face, char* chosen, size_t size) {
    FakePages().calls.push_back("ChooseFaceName");
    FakePages().fontOpenedWith = face;
    if (!FakePages().fontAnswer.confirm) return false;
    CopyText(chosen, size, FakePages().fontAnswer.text.c_str());
    return true;
}

bool ChooseFile(PageWindow, const FileChooserRequest& request, char* path, size_t size) {
    FakePages().calls.push_back("ChooseFile");
    FakePages().fileRequest = request;
    const std::string& answer = FakePages().fileAnswer.text;
    if (!FakePages().fileAnswer.confirm || answer.size() + 1 > size) return false;
    memcpy(path, answer.c_str(), answer.size() + 1);
    return true;
}

bool RunSaverForPreview() {
    ++FakePages().previewRuns;
    return true;
}

HelpPageLookup FindHelpPage(const char* appDir, char* path, size_t size) {
    if (!appDir[0]) return HelpPageLookup::NoFolder;
    if (FakePages().helpFolder != appDir || !FakePages().helpFolderHasPage)
        return HelpPageLookup::Missing;
    std::string page = std::string(appDir) + "\\help.htm";
    CopyText(path, size, page.c_str());
    return HelpPageLookup::Found;
}
