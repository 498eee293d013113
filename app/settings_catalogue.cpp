// Defines the setting objects in catalogue order, and the table that lists
// them for the pages, the tests and the documentation.
#include "settings_catalogue.h"

#include "product.h"

#define SETTING_BOOL(name, def) BoolSetting name(kProduct.registryKeyPath, #name, def);
#define SETTING_INT(name, def) IntSetting name(kProduct.registryKeyPath, #name, def);
#define SETTING_TEXT(name, def) StringSetting name(kProduct.registryKeyPath, #name, def);
#include "settings_catalogue.def"
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT

#define SETTING_BOOL(name, def) {#name, SettingKind::Bool, &name},
#define SETTING_INT(name, def) {#name, SettingKind::Int, &name},
#define SETTING_TEXT(name, def) {#name, SettingKind::Text, &name},
const SettingEntry kSettingsCatalogue[kSettingCount] = {
#include "settings_catalogue.def"
};
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT
