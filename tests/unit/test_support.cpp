// Re-construction of the catalogue settings for tests that need a "start".
#include "test_support.h"

#include <new>
#include <string>

#include "product.h"
#include "settings_catalogue.h"

void ReconstructCatalogue() {
    for (const SettingEntry& entry : kSettingsCatalogue) {
        switch (entry.kind) {
        case SettingKind::Bool: {
            auto* setting = static_cast<BoolSetting*>(entry.object);
            uint8_t def = setting->DefaultValue();
            setting->~BoolSetting();
            new (setting) BoolSetting(kProduct.registryKeyPath, entry.valueName, def);
            break;
        }
        case SettingKind::Int: {
            auto* setting = static_cast<IntSetting*>(entry.object);
            int32_t def = setting->DefaultValue();
            setting->~IntSetting();
            new (setting) IntSetting(kProduct.registryKeyPath, entry.valueName, def);
            break;
        }
        case SettingKind::Text: {
            auto* setting = static_cast<StringSetting*>(entry.object);
            std::string def = setting->DefaultValue();
            setting->~StringSetting();
            new (setting) StringSetting(kProduct.registryKeyPath, entry.valueName, def.c_str());
            break;
        }
        }
    }
}
