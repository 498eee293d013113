// The setting objects of the saver, one global per value name, declared once
// in settings_catalogue.def. They are built in that order before main() runs
// (one translation unit keeps the order), so after any start every value
// exists in the store.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings.h"

#define SETTING_BOOL(name, ...) extern BoolSetting name;
#define SETTING_INT(name, ...) extern IntSetting name;
#define SETTING_TEXT(name, ...) extern StringSetting name;
#include "settings_catalogue.def"
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT

enum class SettingKind { Bool, Int, Text };

struct SettingEntry {
    const char* valueName;
    SettingKind kind;
    void* object;  // BoolSetting*, IntSetting* or StringSetting* by kind
};

// One for every row of the table.
#define SETTING_BOOL(...) +1
#define SETTING_INT(...) +1
#define SETTING_TEXT(...) +1
inline constexpr size_t kSettingCount = 0
#include "settings_catalogue.def"
    ;
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT
extern const SettingEntry kSettingsCatalogue[kSettingCount];
