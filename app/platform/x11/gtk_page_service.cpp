// Placeholder until the page logic lands.
#include "gtk_page_calls.h"
#include "settings_catalogue.h"
void PageInit(int) {}
void PageActivate(int page) { CurrentConfigureSheet.Set(page); }
void PageCommand(int, int) {}
void PageHelp(int) {}
