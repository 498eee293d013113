// The three kinds of setting object. Each owns one named value under the
// product's key: it loads the value (or its default) at construction, writes
// it straight back, and writes every change at once. Registry errors are
// silent; the value in memory changes all the same.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t kSettingTextSize = 500;  // 499 characters and a zero

// Settings constructed between these two calls load and write back their
// values through one open key, so the key (on Linux the settings file) is
// written once for all of them, not once per value. The catalogue loads all
// its settings this way.
void BeginSettingsLoad(const char* keyPath);
void EndSettingsLoad();

class IntSetting {
public:
    IntSetting(const char* keyPath, const char* valueName, int32_t defaultValue);

    int32_t Get() const { return value; }
    void Set(int32_t newValue);
    void Increment();  // wraps from INT32_MAX to INT32_MIN
    void ResetToDefault();

    const char* ValueName() const { return valueName; }
    int32_t DefaultValue() const { return defaultValue; }

private:
    char keyPath[kSettingTextSize];
    char valueName[kSettingTextSize];
    int32_t value;
    int32_t defaultValue;
};

class SettingBase {
public:
    virtual ~SettingBase();
};

class BoolSetting : public SettingBase {
public:
    BoolSetting(const char* keyPath, const char* valueName, uint8_t defaultValue);
    ~BoolSetting() override;

    // The stored number as read; "on" is exactly 1. Other numbers are kept.
    int32_t Get() const { return value; }
    bool IsOn() const { return value == 1; }
    bool Set(uint8_t newValue);    // true when the new value is 1
    bool ResetToDefault();         // a locked setting keeps its value, writes nothing
    void Lock() { locked = 1; }
    bool IsLocked() const { return locked != 0; }

    const char* ValueName() const { return valueName; }
    uint8_t DefaultValue() const { return defaultValue; }

private:
    int32_t value;
    char keyPath[kSettingTextSize];
    char valueName[kSettingTextSize];
    uint8_t defaultValue;
    uint8_t locked;
};

class StringSetting {
public:
    StringSetting(const char* keyPath, const char* valueName, const char* defaultValue);

    const char* Get() const { return value; }
    void Set(const char* newValue);  // a longer text is cut at 499 characters
    void ResetToDefault();

    const char* ValueName() const { return valueName; }
    const char* DefaultValue() const { return defaultValue; }

private:
    char keyPath[kSettingTextSize];
    char valueName[kSettingTextSize];
    char value[kSettingTextSize];
    char defaultValue[kSettingTextSize];
};
