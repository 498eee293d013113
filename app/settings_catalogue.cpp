// Defines the setting objects in catalogue order, and the table that lists
// them for the pages and the tests. The documentation is generated from the
// same rows by tools/settingsdoc.cpp.
#include "settings_catalogue.h"

#include "product.h"

// A row whose default its own readers would not expect is a typing slip.
#define SETTING_BOOL(name, def, ...) \
    static_assert((def) == 0 || (def) == 1, #name ": a boolean's default is 0 or 1");
#define SETTING_INT(name, def, minimum, maximum, ...) \
    static_assert((minimum) <= (def) && (def) <= (maximum), #name ": default outside its range");
#define SETTING_TEXT(name, def, longest, ...)                                           \
    static_assert(sizeof(def) - 1 <= (longest) && (longest) < kSettingTextSize, \
                  #name ": default longer than the value may be");
#include "settings_catalogue.def"
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT

// The settings are built in the order of their definitions here, between
// these two, which share one open key among their loads.
namespace {
struct SettingsLoadBegins {
    SettingsLoadBegins() { BeginSettingsLoad(kProduct.registryKeyPath); }
} settingsLoadBegins;
}  // namespace

#define SETTING_BOOL(name, def, ...) BoolSetting name(kProduct.registryKeyPath, #name, def);
#define SETTING_INT(name, def, ...) IntSetting name(kProduct.registryKeyPath, #name, def);
#define SETTING_TEXT(name, def, ...) StringSetting name(kProduct.registryKeyPath, #name, def);
#include "settings_catalogue.def"
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT

namespace {
struct SettingsLoadEnds {
    SettingsLoadEnds() { EndSettingsLoad(); }
} settingsLoadEnds;
}  // namespace

#define SETTING_BOOL(name, def, ...) {#name, SettingKind::Bool, &name},
#define SETTING_INT(name, def, ...) {#name, SettingKind::Int, &name},
#define SETTING_TEXT(name, def, ...) {#name, SettingKind::Text, &name},
const SettingEntry kSettingsCatalogue[kSettingCount] = {
#include "settings_catalogue.def"
};
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT
