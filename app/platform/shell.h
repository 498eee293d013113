// Asking the desktop shell to act on a file or an address: ShellExecuteExA on
// Windows, the desktop's default application (xdg-open) on Linux.
#pragma once

// The "open" verb on a document, program or address; true when the shell
// accepted the request.
bool ShellOpen(const char* target);

// The "config" verb on a saver file in the current directory: starts that
// saver in configuration mode.
bool ShellConfigure(const char* saverFile);
