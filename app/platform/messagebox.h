// Modal message boxes with no owner window. Windows shows MessageBoxA; Linux
// shows a GTK message dialog when a display can be opened and always writes
// the same text to standard error.
#pragma once

enum class MessageIcon { Error, Warning };

// caption nullptr means the platform's default caption. topmost brings the
// box above every window and to the foreground.
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon, bool topmost);
