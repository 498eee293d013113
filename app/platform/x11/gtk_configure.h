// Configuration mode on Linux after start-up: opens the display, takes the
// single-instance lock and runs the settings dialog (gtk_pages).
#pragma once

// The process exit code: 0 when the dialog was shown and closed, or another
// dialog holds the lock; 1 without a display or with a page missing.
int RunGtkConfigure();
