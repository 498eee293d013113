// The command-line mode rules of the screensaver host and the X11
// conventions that come before them.
#include <gtest/gtest.h>

#include "modes.h"

#include <algorithm>
#include <string>

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

TEST(Modes, daemon_double_dash_forms_match_the_single_dash_ones) {
    for (const char* dashes : {"-", "--"}) {
        std::string d = dashes;
        SaverCommand root = ParseX11Arguments((d + "root").c_str(), nullptr);
        EXPECT_EQ(root.mode, SaverMode::Hosted) << d;
        EXPECT_EQ(root.window, 0u);
        EXPECT_EQ(ParseX11Arguments((d + "root").c_str(), "0x400001").window, 0x400001u) << d;
        SaverCommand id = ParseX11Arguments((d + "window-id 0x2a00007").c_str(), nullptr);
        EXPECT_EQ(id.mode, SaverMode::Hosted) << d;
        EXPECT_EQ(id.window, 0x2a00007u);
        EXPECT_EQ(ParseX11Arguments((d + "window").c_str(), nullptr).mode, SaverMode::Windowed) << d;
    }
    // The host letters keep their rule, dashes and all.
    EXPECT_EQ(ParseX11Arguments("--s", nullptr).mode, SaverMode::FullScreen);
    EXPECT_EQ(ParseX11Arguments("--rooted", nullptr).mode, SaverMode::None);
}

TEST(Modes, what_the_daemon_adds_is_left_out_with_one_note_each) {
    std::string notes;
    SaverCommand c = ParseX11Arguments("--root --fps --delay 20000 stray", "0x400001", &notes);
    EXPECT_EQ(c.mode, SaverMode::Hosted);
    EXPECT_EQ(c.window, 0x400001u);
    EXPECT_EQ(notes, "ignoring \"--fps\"\nignoring \"--delay 20000\"\nignoring \"stray\"\n");

    // The preview pane passes both: its window wins over the root.
    notes.clear();
    c = ParseX11Arguments("--root --window-id 0x600003", "0x600003", &notes);
    EXPECT_EQ(c.mode, SaverMode::Hosted);
    EXPECT_EQ(c.window, 0x600003u);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), '\n'), 1) << notes;

    // Garbage in the variable falls back to the root window.
    notes.clear();
    c = ParseX11Arguments("--root", "0x12junk", &notes);
    EXPECT_EQ(c.mode, SaverMode::Hosted);
    EXPECT_EQ(c.window, 0u);
    EXPECT_NE(notes.find("XSCREENSAVER_WINDOW"), std::string::npos);

    // A bad window id is noted; with --root beside it the root is used, alone
    // there is no window to draw into.
    for (const char* bad : {"0", "0x", "zz", "0x12g", "99999999999999999999999", ""}) {
        notes.clear();
        std::string alone = std::string("--window-id ") + bad;
        EXPECT_EQ(ParseX11Arguments(alone.c_str(), nullptr, &notes).mode, SaverMode::None) << bad;
        EXPECT_NE(notes.find("window"), std::string::npos) << bad;
        SaverCommand withRoot = ParseX11Arguments(("--root " + alone).c_str(), nullptr);
        EXPECT_EQ(withRoot.mode, SaverMode::Hosted) << bad;
        EXPECT_EQ(withRoot.window, 0u) << bad;
    }
    notes.clear();
    ParseX11Arguments("-window-id 4711", nullptr, &notes);
    EXPECT_EQ(notes, "");
}
