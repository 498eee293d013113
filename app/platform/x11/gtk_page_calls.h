// The core's page handlers as the GTK dialog calls them, by page index.
#pragma once

void PageInit(int page);
void PageActivate(int page);
void PageCommand(int page, int controlId);
void PageHelp(int page);
