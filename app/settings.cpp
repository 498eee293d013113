// Load, write-back and change rules of the setting objects. Every operation
// opens the key, does its one read or write and closes it again, so a change
// is stored when the call returns and nothing is left to write at exit; only
// the catalogue's start-up load shares one open key among all its settings.
#include "settings.h"

#include <cstring>

#include "platform/registry.h"
#include "textutil.h"

namespace {
// The key the catalogue's settings load through, open from
// BeginSettingsLoad to EndSettingsLoad. Made on first use: the settings are
// built while the program's globals are.
struct SettingsLoad {
    RegistryKey key;
    bool open = false;
    char keyPath[kSettingTextSize] = {};
};
SettingsLoad& Load() {
    static SettingsLoad load;
    return load;
}

// The shared key while a load of this key path is open, else a key of its own.
class LoadKey {
public:
    explicit LoadKey(const char* keyPath) {
        SettingsLoad& load = Load();
        if (load.open && strcmp(load.keyPath, keyPath) == 0) {
            key = &load.key;
        } else {
            own.Open(keyPath);
        }
    }
    RegistryKey* operator->() { return key; }

private:
    RegistryKey own;
    RegistryKey* key = &own;
};
}  // namespace

void BeginSettingsLoad(const char* keyPath) {
    SettingsLoad& load = Load();
    load.key.Open(keyPath);
    CopyText(load.keyPath, sizeof load.keyPath, keyPath);
    load.open = true;
}

void EndSettingsLoad() {
    SettingsLoad& load = Load();
    load.open = false;
    load.key.Close();  // the one write of everything loaded
}

IntSetting::IntSetting(const char* keyPath_, const char* valueName_, int32_t defaultValue_) {
    CopyText(keyPath, sizeof keyPath, keyPath_);
    CopyText(valueName, sizeof valueName, valueName_);
    defaultValue = defaultValue_;

    LoadKey key(keyPath);
    int32_t loaded = defaultValue;
    if (!key->ReadNumber(valueName, &loaded)) loaded = defaultValue;
    key->WriteNumber(valueName, loaded);
    value = loaded;
}

void IntSetting::Set(int32_t newValue) {
    value = newValue;
    RegistryKey key;
    key.Open(keyPath);
    key.WriteNumber(valueName, value);
}

void IntSetting::Increment() {
    // The stored number, not the one loaded at start-up, is what is counted
    // on: another process may have counted since. Reading and writing under
    // one open key keeps the store's lock (where it has one) across both, so
    // two processes counting at once both count.
    RegistryKey key;
    key.Open(keyPath);
    int32_t stored = value;
    if (key.ReadNumber(valueName, &stored)) value = stored;
    // Unsigned arithmetic gives the 32-bit wrap-around without overflow.
    value = static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
    key.WriteNumber(valueName, value);
}

void IntSetting::ResetToDefault() { Set(defaultValue); }

SettingBase::~SettingBase() = default;

BoolSetting::BoolSetting(const char* keyPath_, const char* valueName_, uint8_t defaultValue_) {
    CopyText(keyPath, sizeof keyPath, keyPath_);
    CopyText(valueName, sizeof valueName, valueName_);
    defaultValue = defaultValue_;

    LoadKey key(keyPath);
    int32_t loaded = defaultValue;
    if (!key->ReadNumber(valueName, &loaded)) loaded = defaultValue;
    key->WriteNumber(valueName, loaded);
    value = loaded;
    locked = 0;
}

BoolSetting::~BoolSetting() = default;

bool BoolSetting::Set(uint8_t newValue) {
    value = newValue;
    RegistryKey key;
    key.Open(keyPath);
    key.WriteNumber(valueName, value);
    return value == 1;
}

bool BoolSetting::ResetToDefault() {
    if (locked) return true;
    return Set(defaultValue);
}

StringSetting::StringSetting(const char* keyPath_, const char* valueName_, const char* defaultValue_) {
    CopyText(keyPath, sizeof keyPath, keyPath_);
    CopyText(valueName, sizeof valueName, valueName_);
    CopyText(defaultValue, sizeof defaultValue, defaultValue_);

    LoadKey key(keyPath);
    char loaded[kSettingTextSize];
    if (!key->ReadText(valueName, loaded)) CopyText(loaded, sizeof loaded, defaultValue);
    key->WriteText(valueName, loaded);
    memcpy(value, loaded, sizeof value);
}

void StringSetting::Set(const char* newValue) {
    // The new text may be this setting's own buffer (ResetToDefault passes
    // defaultValue, a caller may pass Get()); copy through a temporary.
    char copy[kSettingTextSize];
    CopyText(copy, sizeof copy, newValue);
    memcpy(value, copy, sizeof value);
    RegistryKey key;
    key.Open(keyPath);
    key.WriteText(valueName, value);
}

void StringSetting::ResetToDefault() { Set(defaultValue); }
