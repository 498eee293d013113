// Where the Linux settings store keeps its file. RegistryKey (posix_regfile.cpp)
// finds it anew at every Open, so a test that changes XDG_CONFIG_HOME before
// an Open gets a store of its own; nothing else needs this header.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/<company>/<product>.reg, with ~/.config when the variable
// is unset, empty or not an absolute path; empty when there is no home.
std::string SettingsFilePath();
