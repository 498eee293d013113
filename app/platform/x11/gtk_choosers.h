// The colour and font choosers of the settings pages on Linux, GTK's dialogs
// modal over the settings dialog; the file chooser is gtk_page_service.cpp's.
// What the chosen value means is the page logic's.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <cstdint>

// Opens on start (0x00BBGGRR); on OK, *chosen is the colour in that form.
bool GtkChooseColour(GtkWindow* owner, uint32_t start, uint32_t* chosen);

// Lists outline font families only and opens on current; on OK, face is the
// chosen family name in the ANSI code page, cut to fit size (at most
// size - 1 bytes). Size and style are not asked for.
bool GtkChooseFace(GtkWindow* owner, const char* current, char* face, size_t size);
