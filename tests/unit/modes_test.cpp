// The command-line mode rules of the screensaver host and the X11
// conventions that come before them.
#include <gtest/gtest.h>

#include "modes.h"

namespace {
SaverCommand Parse(const char* args) { return ParseSaverArguments(args); }
}  // namespace

TEST(Modes, program_path_is_skipped_quoted_or_plain) {
    EXPECT_STREQ(SkipProgramPath("\"C:\\My Savers\\Chronovale.scr\"   /s"), "/s");
    EXPECT_STREQ(SkipProgramPath("C:\\Savers\\Chronovale.scr /p 123"), "/p 123");
    EXPECT_STREQ(SkipProgramPath("Chronovale.scr"), "");
    EXPECT_STREQ(SkipProgramPath("\"unterminated /s"), "");
}

TEST(Modes, letters_choose_the_mode_in_either_case) {
    EXPECT_EQ(Parse("").mode, SaverMode::Configure);
    EXPECT_EQ(Parse("   ").mode, SaverMode::Configure);
    EXPECT_EQ(Parse("/s").mode, SaverMode::FullScreen);
    EXPECT_EQ(Parse("-S").mode, SaverMode::FullScreen);
    EXPECT_EQ(Parse("s").mode, SaverMode::FullScreen);
    EXPECT_EQ(Parse("//--  /save").mode, SaverMode::FullScreen);
    EXPECT_EQ(Parse("/x").mode, SaverMode::None);
    EXPECT_EQ(Parse("/1").mode, SaverMode::None);
    EXPECT_EQ(Parse("/a").mode, SaverMode::ChangePassword);
}

TEST(Modes, configure_owner_needs_colon_and_digits) {
    SaverCommand owned = Parse("/c:4567");
    EXPECT_EQ(owned.mode, SaverMode::Configure);
    EXPECT_TRUE(owned.windowGiven);
    EXPECT_EQ(owned.window, 4567u);
    EXPECT_FALSE(Parse("/c").windowGiven);
    EXPECT_FALSE(Parse("/c 4567").windowGiven);
    EXPECT_FALSE(Parse("/c:").windowGiven);
    EXPECT_EQ(Parse("/C:12x9").window, 12u);
}

TEST(Modes, preview_reads_digits_up_to_the_first_non_digit) {
    SaverCommand p = Parse("/p 1234");
    EXPECT_EQ(p.mode, SaverMode::Preview);
    EXPECT_EQ(p.window, 1234u);
    EXPECT_EQ(Parse("/p1234").window, 1234u);
    EXPECT_EQ(Parse("/l   77abc").window, 77u);
    EXPECT_EQ(Parse("/L 77").mode, SaverMode::Preview);
    EXPECT_EQ(Parse("/p").window, 0u);
    EXPECT_EQ(Parse("/p abc").window, 0u);
    // A number too large for any handle names no window.
    EXPECT_EQ(Parse("/p 99999999999999999999999").window, 0u);
}

TEST(Modes, change_password_reads_an_optional_handle) {
    SaverCommand withHandle = Parse("/a 321");
    EXPECT_TRUE(withHandle.windowGiven);
    EXPECT_EQ(withHandle.window, 321u);
    EXPECT_FALSE(Parse("/a").windowGiven);
}

TEST(Modes, x11_conventions_come_before_the_letter_rule) {
    SaverCommand id = ParseX11Arguments("-window-id 0x2a00007", nullptr);
    EXPECT_EQ(id.mode, SaverMode::Hosted);
    EXPECT_EQ(id.window, 0x2a00007u);
    EXPECT_EQ(ParseX11Arguments("-window-id 4711", nullptr).window, 4711u);
    EXPECT_EQ(ParseX11Arguments("-window-id", nullptr).mode, SaverMode::None);
    EXPECT_EQ(ParseX11Arguments("-window-id zz", nullptr).mode, SaverMode::None);

    SaverCommand root = ParseX11Arguments("-root", nullptr);
    EXPECT_EQ(root.mode, SaverMode::Hosted);
    EXPECT_EQ(root.window, 0u);
    EXPECT_EQ(ParseX11Arguments("-root", "0x400001").window, 0x400001u);

    EXPECT_EQ(ParseX11Arguments("-window", nullptr).mode, SaverMode::Windowed);
    EXPECT_EQ(ParseX11Arguments("-windowed", nullptr).mode, SaverMode::None);
    EXPECT_EQ(ParseX11Arguments("-s", nullptr).mode, SaverMode::FullScreen);
    EXPECT_EQ(ParseX11Arguments("-p 55", nullptr).window, 55u);
}

TEST(Modes, daemon_window_variable_applies_without_other_arguments) {
    SaverCommand hosted = ParseX11Arguments("", "12345");
    EXPECT_EQ(hosted.mode, SaverMode::Hosted);
    EXPECT_EQ(hosted.window, 12345u);
    EXPECT_EQ(ParseX11Arguments("-s", "12345").mode, SaverMode::FullScreen);
    EXPECT_EQ(ParseX11Arguments("", "").mode, SaverMode::Configure);
    EXPECT_EQ(ParseX11Arguments("", "junk").mode, SaverMode::Configure);
}
