// The setting objects over the memory registry: first start, fallbacks,
// write-back, change, wrap-around and locking.
#include <string>

#include "product.h"
#include "settings_catalogue.h"
#include "test_support.h"

namespace {
const char* const kKey = kProduct.registryKeyPath;

struct Expected {
    const char* name;
    bool isText;
    int32_t number;
    const char* text;
};

// The catalogue as the product documents it, in construction order.
const Expected kExpectedCatalogue[] = {
    {"MovingViewpoint", false, 1, nullptr},   {"Wireframe", false, 0, nullptr},
    {"TimeFormatEnum", false, 1, nullptr},    {"TextColorEnum", false, 0, nullptr},
    {"TextColor", false, 0xFF8040, nullptr},  {"FontEnum", false, 0, nullptr},
    {"FaceName", true, 0, "Arial"},           {"ShowTime", false, 0, nullptr},
    {"ShowFramerate", false, 0, nullptr},     {"VsyncEnabled", false, 1, nullptr},
    {"LowDetail", false, 0, nullptr},         {"PlayMusic", false, 0, nullptr},
    {"PermitMonitorPowerSaving", false, 0, nullptr}, {"PrimaryMonitorOnly", false, 1, nullptr},
    {"DoubleBuffering", false, 1, nullptr},   {"FrameBlending", false, 0, nullptr},
    {"SyncClock", false, 0, nullptr},         {"CurrentConfigureSheet", false, 0, nullptr},
    {"UCS", false, 0, nullptr},               {"BCS", false, 0, nullptr},
    {"Seed", false, 0, nullptr},              {"FrameSleepTimeMs", false, 0, nullptr},
    {"MusicFilename", true, 0, ""},           {"AppDir", true, 0, ""},
    {"SntpServer", true, 0, ""},
};

using SettingsTest = CoreTest;
}  // namespace

TEST_F(SettingsTest, first_start_writes_all_25_values_typed_with_defaults_in_order) {
    ReconstructCatalogue();
    auto& registry = fake::Registry();
    ASSERT_EQ(registry.keys[kKey].size(), 25u);
    ASSERT_EQ(registry.writtenNames.size(), 25u);
    for (size_t i = 0; i < 25; ++i) {
        const Expected& e = kExpectedCatalogue[i];
        EXPECT_EQ(registry.writtenNames[i], e.name) << "construction order at " << i;
        if (e.isText) EXPECT_EQ(registry.SzOf(e.name), e.text) << e.name;
        else EXPECT_EQ(registry.DwordOf(e.name), e.number) << e.name;
    }
}

TEST_F(SettingsTest, wrong_types_fall_back_to_the_default_and_are_rewritten) {
    auto& registry = fake::Registry();
    registry.PutSz("Number", "5");
    registry.PutBinary("Binary", {0x2A, 0x01, 0x00, 0x00});
    registry.PutBinary("ShortBinary", {0x2A, 0x01});
    registry.PutDword("TextFromDword", 42);
    registry.PutDword("TextFromNegative", -5);

    IntSetting number(kKey, "Number", 9);
    IntSetting binary(kKey, "Binary", 9);
    IntSetting shortBinary(kKey, "ShortBinary", 9);
    StringSetting fromDword(kKey, "TextFromDword", "x");
    StringSetting fromNegative(kKey, "TextFromNegative", "x");

    EXPECT_EQ(number.Get(), 9);
    EXPECT_EQ(registry.DwordOf("Number"), 9);
    EXPECT_EQ(binary.Get(), 0x12A);
    EXPECT_EQ(registry.DwordOf("Binary"), 0x12A);
    EXPECT_EQ(shortBinary.Get(), 9);
    EXPECT_STREQ(fromDword.Get(), "42");
    EXPECT_EQ(registry.SzOf("TextFromDword"), "42");
    EXPECT_STREQ(fromNegative.Get(), "-5");
    EXPECT_EQ(registry.SzOf("TextFromNegative"), "-5");
}

TEST_F(SettingsTest, text_of_499_characters_is_kept_and_500_loads_the_default) {
    auto& registry = fake::Registry();
    registry.PutSz("Long499", std::string(499, 'a'));
    registry.PutSz("Long500", std::string(500, 'b'));
    StringSetting kept(kKey, "Long499", "d");
    StringSetting replaced(kKey, "Long500", "d");
    EXPECT_EQ(std::string(kept.Get()), std::string(499, 'a'));
    EXPECT_STREQ(replaced.Get(), "d");
    EXPECT_EQ(registry.SzOf("Long500"), "d");
}

TEST_F(SettingsTest, unterminated_text_filling_the_buffer_loads_the_default) {
    auto& registry = fake::Registry();
    registry.PutBinary("Raw", std::vector<uint8_t>(500, 'z'));
    StringSetting raw(kKey, "Raw", "d");
    EXPECT_STREQ(raw.Get(), "d");
}

TEST_F(SettingsTest, boolean_keeps_numbers_other_than_0_and_1) {
    fake::Registry().PutDword("Flag", 2);
    BoolSetting flag(kKey, "Flag", 1);
    EXPECT_EQ(flag.Get(), 2);
    EXPECT_FALSE(flag.IsOn());
    EXPECT_EQ(fake::Registry().DwordOf("Flag"), 2);
    EXPECT_TRUE(flag.Set(1));
    EXPECT_FALSE(flag.Set(0));
}

TEST_F(SettingsTest, changes_are_written_at_once_and_increment_wraps) {
    IntSetting counter(kKey, "Counter", 2147483647);
    counter.Increment();
    EXPECT_EQ(counter.Get(), INT32_MIN);
    EXPECT_EQ(fake::Registry().DwordOf("Counter"), INT32_MIN);
    // Another process counted meanwhile: the count goes on from the stored number.
    fake::Registry().PutDword("Counter", 41);
    counter.Increment();
    EXPECT_EQ(counter.Get(), 42);
    EXPECT_EQ(fake::Registry().DwordOf("Counter"), 42);
    counter.Set(7);
    EXPECT_EQ(fake::Registry().DwordOf("Counter"), 7);
    counter.ResetToDefault();
    EXPECT_EQ(fake::Registry().DwordOf("Counter"), 2147483647);

    StringSetting text(kKey, "Text", "start");
    text.Set(text.Get());  // its own buffer
    EXPECT_STREQ(text.Get(), "start");
    text.Set(std::string(600, 'q').c_str());
    EXPECT_EQ(std::string(text.Get()), std::string(499, 'q'));
    text.ResetToDefault();
    EXPECT_EQ(fake::Registry().SzOf("Text"), "start");
}

TEST_F(SettingsTest, locked_boolean_reset_changes_and_writes_nothing) {
    fake::Registry().PutDword("Locked", 1);
    BoolSetting locked(kKey, "Locked", 0);
    locked.Lock();
    int writes = fake::Registry().writeCount;
    EXPECT_TRUE(locked.ResetToDefault());
    EXPECT_EQ(locked.Get(), 1);
    EXPECT_EQ(fake::Registry().writeCount, writes);

    BoolSetting unlocked(kKey, "Unlocked", 0);
    unlocked.Set(1);
    EXPECT_FALSE(unlocked.ResetToDefault());
    EXPECT_EQ(fake::Registry().DwordOf("Unlocked"), 0);
}

TEST_F(SettingsTest, unopenable_store_runs_on_defaults_and_changes_stay_in_memory) {
    fake::Registry().openFails = true;
    IntSetting number(kKey, "Number", 3);
    StringSetting text(kKey, "Text", "abc");
    EXPECT_EQ(number.Get(), 3);
    EXPECT_STREQ(text.Get(), "abc");
    number.Set(11);
    EXPECT_EQ(number.Get(), 11);
    EXPECT_EQ(fake::Registry().writeCount, 0);
}

TEST_F(SettingsTest, overlong_names_and_defaults_are_cut_not_overflowed) {
    std::string longName(700, 'n');
    std::string longDefault(900, 'v');
    StringSetting text(kKey, longName.c_str(), longDefault.c_str());
    EXPECT_EQ(std::string(text.ValueName()).size(), 499u);
    EXPECT_EQ(std::string(text.Get()).size(), 499u);
}
