// Inside the desktop module (desktop_module.h): the GTK message dialog alone,
// for a text that is already on standard error.
#pragma once

#include "platform/messagebox.h"

void ShowMessageDialog(const char* body, const char* title, MessageIcon icon, bool topmost);
