// The configuration pages driven through the recording page: each test runs
// a page the way a user would (show it, click, answer a chooser) and reads
// what the dialog shows and what the settings store holds.
#include <string>

#include "apputility.h"
#include "app.h"
#include "controls.h"
#include "fake_pages.h"
#include "manual_clock.h"
#include "settings_catalogue.h"
#include "test_support.h"

namespace {
using namespace ControlId;
using fake::FakePages;
using fake::Registry;

constexpr PageWindow kPage = 0x4242;

class ControlsTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        fake::ResetPages();
        ReconstructCatalogue();
        SceneStartup();  // locks LowDetail as every start does
    }
    void TearDown() override {
        fake::ResetPages();
        CoreTest::TearDown();
    }

    // Clicks a box or radio button of the page and runs the page's command.
    void ClickBox(ConfigurePage page, int control) {
        FakePages().ClickBox(kPage, control);
        EXPECT_TRUE(PageOnCommand(page, kPage, control));
    }
    void ClickRadio(int control, int first, int last) {
        FakePages().ClickRadio(kPage, control, first, last);
        EXPECT_TRUE(PageOnCommand(ConfigurePage::CustomControls, kPage, control));
    }
    fake::Control& At(int control) { return FakePages().At(kPage, control); }
    int Written(const std::string& name) {
        int count = 0;
        for (const std::string& written : Registry().writtenNames) count += written == name;
        return count;
    }
};

int SelectedTimeFormat() { return FakePages().SelectedRadio(kPage, kTimeFormatFirst, kTimeFormatLast); }
int SelectedColour() { return FakePages().SelectedRadio(kPage, kColourFirst, kColourChoose); }
int SelectedFont() { return FakePages().SelectedRadio(kPage, kFontRandom, kFontChoose); }
}  // namespace

TEST_F(ControlsTest, sheet_opens_on_stored_page_and_activation_stores_the_shown_one) {
    CurrentConfigureSheet.Set(2);
    EXPECT_EQ(ConfigureStartPage(), 2);
    EXPECT_STREQ(kConfigurePages[ConfigureStartPage()].title, "   Standard Controls   ");
    PageOnActivate(ConfigurePage::Music, kPage);
    EXPECT_EQ(Registry().DwordOf("CurrentConfigureSheet"), 1);

    // A hand-edited negative page opens the first page and stays as stored
    // until the user shows a page.
    Registry().PutDword("CurrentConfigureSheet", -3);
    ReconstructCatalogue();
    int writes = Registry().writeCount;
    EXPECT_EQ(ConfigureStartPage(), 0);
    EXPECT_EQ(Registry().writeCount, writes);

    char name[64];
    FormatConfigureMutexName(name, sizeof name);
    EXPECT_STREQ(name, "Quillmere Chronovale Mutex");
}

TEST_F(ControlsTest, standard_controls_page_ticks_writes_and_restores_defaults) {
    Registry().PutDword("PrimaryMonitorOnly", 0);
    Registry().PutDword("LowDetail", 1);
    Registry().PutDword("PlayMusic", 1);
    Registry().PutSz("MusicFilename", "C:\\Music\\list.m3u");
    ReconstructCatalogue();
    SceneStartup();
    fake::Fake().monitorCount = 1;
    const ConfigurePage page = ConfigurePage::StandardControls;
    PageOnInit(page, kPage);

    // One monitor: 1158 disabled but showing the stored value; LowDetail is
    // locked by start-up, FrameBlending is not.
    EXPECT_FALSE(At(kPrimaryMonitorOnly).enabled);
    EXPECT_FALSE(At(kPrimaryMonitorOnly).ticked);
    EXPECT_FALSE(At(kLowDetail).enabled);
    EXPECT_TRUE(At(kLowDetail).ticked);
    EXPECT_TRUE(At(kFrameBlending).enabled);

    const struct {
        int control;
        const char* name;
    } boxes[] = {{kShowTime, "ShowTime"}, {kShowFramerate, "ShowFramerate"},
                 {kPermitMonitorPowerSaving, "PermitMonitorPowerSaving"},
                 {kPrimaryMonitorOnly, "PrimaryMonitorOnly"}, {kFrameBlending, "FrameBlending"}};
    for (const auto& box : boxes) {
        int before = Registry().DwordOf(box.name);
        ClickBox(page, box.control);
        EXPECT_EQ(Registry().DwordOf(box.name), 1 - before) << box.name;
    }
    EXPECT_TRUE(FakePages().information.empty());

    // SyncClock: the message only when it is turned on.
    ClickBox(page, kSyncClock);
    EXPECT_EQ(Registry().DwordOf("SyncClock"), 1);
    ASSERT_EQ(FakePages().information.size(), 1u);
    EXPECT_EQ(FakePages().information[0],
              "About clock synchronization...|"
              "This option is suitable for computers which have non-dialup connections to the "
              "Internet.\r\nEach time the screensaver runs it will query an Internet time server "
              "and correct your system clock.\r\nPlease note that if you have a firewall you may "
              "be prompted to give permission for this network traffic.");
    ClickBox(page, kSyncClock);
    EXPECT_EQ(Registry().DwordOf("SyncClock"), 0);
    ClickBox(page, kSyncClock);
    EXPECT_EQ(FakePages().information.size(), 2u);

    // Restore defaults: the seven boxes (LowDetail locked) and the Custom
    // Controls settings, without refreshing that page and without a message.
    MovingViewpoint.Set(0);
    TextColorEnum.Set(3);
    FaceName.Set("Impact");
    FakePages().calls.clear();
    EXPECT_TRUE(PageOnCommand(page, kPage, kRestoreDefaults));
    EXPECT_EQ(Registry().DwordOf("ShowTime"), 0);
    EXPECT_EQ(Registry().DwordOf("SyncClock"), 0);
    EXPECT_EQ(Registry().DwordOf("PrimaryMonitorOnly"), 1);
    EXPECT_TRUE(At(kPrimaryMonitorOnly).ticked);
    EXPECT_FALSE(At(kSyncClock).ticked);
    EXPECT_EQ(Registry().DwordOf("LowDetail"), 1);
    EXPECT_EQ(Registry().DwordOf("PlayMusic"), 1);
    EXPECT_EQ(Registry().SzOf("MusicFilename"), "C:\\Music\\list.m3u");
    EXPECT_EQ(Registry().DwordOf("MovingViewpoint"), 1);
    EXPECT_EQ(Registry().DwordOf("TextColorEnum"), 0);
    EXPECT_EQ(Registry().SzOf("FaceName"), "Arial");
    EXPECT_EQ(FakePages().information.size(), 2u);
    EXPECT_EQ(FakePages().Count("SetText 1017"), 0);
    EXPECT_EQ(FakePages().Count("SelectRadio 1006"), 0);

    EXPECT_TRUE(PageOnCommand(page, kPage, kPreview));
    EXPECT_EQ(FakePages().previewRuns, 1);
    EXPECT_FALSE(PageOnCommand(page, kPage, 1));  // the sheet's own OK is not the page's
}

TEST_F(ControlsTest, two_monitors_enable_the_primary_monitor_box) {
    fake::Fake().monitorCount = 2;
    PageOnInit(ConfigurePage::StandardControls, kPage);
    EXPECT_TRUE(At(kPrimaryMonitorOnly).enabled);
    EXPECT_TRUE(At(kPrimaryMonitorOnly).ticked);
}

TEST_F(ControlsTest, custom_controls_page_shows_defaults_and_writes_every_group) {
    const ConfigurePage page = ConfigurePage::CustomControls;
    PageOnInit(page, kPage);
    EXPECT_TRUE(FakePages().calls.empty());  // filled on activation only
    PageOnActivate(page, kPage);
    EXPECT_EQ(Registry().DwordOf("CurrentConfigureSheet"), 3);
    EXPECT_TRUE(At(kMovingViewpoint).ticked);
    EXPECT_FALSE(At(kWireframe).ticked);
    EXPECT_EQ(SelectedTimeFormat(), 1003);
    EXPECT_EQ(SelectedColour(), 1006);
    EXPECT_EQ(SelectedFont(), 1013);
    EXPECT_EQ(At(kFontComment).text, "(Current font is Arial)");
    EXPECT_EQ(CustomSwatchColour(), 0xFF8040u);  // red 64, green 128, blue 255

    ClickBox(page, kMovingViewpoint);
    EXPECT_EQ(Registry().DwordOf("MovingViewpoint"), 0);
    ClickBox(page, kWireframe);
    EXPECT_EQ(Registry().DwordOf("Wireframe"), 1);
    for (int value = 0; value < 3; ++value) {
        ClickRadio(kTimeFormatFirst + value, kTimeFormatFirst, kTimeFormatLast);
        EXPECT_EQ(Registry().DwordOf("TimeFormatEnum"), value);
    }
    for (int value = 0; value < 3; ++value) {
        ClickRadio(kColourFirst + value, kColourFirst, kColourChoose);
        EXPECT_EQ(Registry().DwordOf("TextColorEnum"), value);
    }
    EXPECT_EQ(FakePages().Count("ChooseTextColor"), 0);

    // Colour chooser: cancelled keeps 3 and the colour; each click reopens it.
    ClickRadio(kColourChoose, kColourFirst, kColourChoose);
    EXPECT_EQ(Registry().DwordOf("TextColorEnum"), 3);
    EXPECT_EQ(Registry().DwordOf("TextColor"), 0xFF8040);
    EXPECT_EQ(FakePages().colourOpenedWith, 0xFF8040u);
    EXPECT_TRUE(FakePages().swatchRepaints.empty());
    FakePages().colourAnswer = {true, 0x00123456, ""};
    ClickRadio(kColourChoose, kColourFirst, kColourChoose);
    EXPECT_EQ(FakePages().Count("ChooseTextColor"), 2);
    EXPECT_EQ(Registry().DwordOf("TextColor"), 0x123456);
    EXPECT_EQ(CustomSwatchColour(), 0x123456u);
    EXPECT_EQ(FakePages().swatchRepaints, std::vector<int>{kSwatch});

    // Font chooser: cancelled keeps 1 and the face; confirmed names it at once.
    ClickRadio(kFontChoose, kFontRandom, kFontChoose);
    EXPECT_EQ(Registry().DwordOf("FontEnum"), 1);
    EXPECT_EQ(Registry().SzOf("FaceName"), "Arial");
    EXPECT_EQ(FakePages().fontOpenedWith, "Arial");
    FakePages().fontAnswer = {true, 0, "Georgia"};
    ClickRadio(kFontChoose, kFontRandom, kFontChoose);
    EXPECT_EQ(Registry().SzOf("FaceName"), "Georgia");
    EXPECT_EQ(At(kFontComment).text, "(Current font is Georgia)");
    EXPECT_EQ(SelectedFont(), 1014);
    ClickRadio(kFontRandom, kFontRandom, kFontChoose);
    EXPECT_EQ(Registry().DwordOf("FontEnum"), 0);
    EXPECT_FALSE(PageOnCommand(page, kPage, 1010));
}

TEST_F(ControlsTest, hand_edited_enums_select_no_button_and_write_nothing_until_clicked) {
    Registry().PutDword("TimeFormatEnum", 7);
    Registry().PutDword("TextColorEnum", -1);
    Registry().PutDword("FontEnum", 2);
    Registry().PutSz("FaceName", "");
    ReconstructCatalogue();
    int writes = Registry().writeCount;
    PageOnActivate(ConfigurePage::CustomControls, kPage);
    EXPECT_EQ(SelectedTimeFormat(), 0);
    EXPECT_EQ(SelectedColour(), 0);
    EXPECT_EQ(SelectedFont(), 0);
    // Value 7 would otherwise have named a colour button (1002 + 7 = 1009).
    EXPECT_FALSE(At(kColourChoose).ticked);
    EXPECT_EQ(At(kFontComment).text, "(Current font is )");
    EXPECT_EQ(Registry().writeCount, writes + 1);  // CurrentConfigureSheet only
    EXPECT_EQ(Registry().DwordOf("TimeFormatEnum"), 7);

    ClickRadio(kTimeFormatFirst, kTimeFormatFirst, kTimeFormatLast);
    EXPECT_EQ(Registry().DwordOf("TimeFormatEnum"), 0);
}

TEST_F(ControlsTest, long_face_name_is_shown_and_offered_to_the_chooser_without_overflow) {
    std::string longFace(499, 'F');  // the longest the store keeps
    Registry().PutSz("FaceName", longFace);
    ReconstructCatalogue();
    PageOnActivate(ConfigurePage::CustomControls, kPage);
    EXPECT_EQ(At(kFontComment).text, "(Current font is " + std::string(499, 'F') + ")");
    FakePages().fontAnswer = {true, 0, std::string(40, 'G')};
    ClickRadio(kFontChoose, kFontRandom, kFontChoose);
    EXPECT_EQ(Registry().SzOf("FaceName"), std::string(31, 'G'));
}

TEST_F(ControlsTest, music_page_browses_and_stores_the_chosen_file_only) {
    const ConfigurePage page = ConfigurePage::Music;
    Registry().PutSz("MusicFilename", "D:\\old.mp3");
    ReconstructCatalogue();
    PageOnInit(page, kPage);
    EXPECT_FALSE(At(kPlayMusic).ticked);
    EXPECT_EQ(At(kMusicFile).text, "D:\\old.mp3");
    ClickBox(page, kPlayMusic);
    EXPECT_EQ(Registry().DwordOf("PlayMusic"), 1);

    EXPECT_TRUE(PageOnCommand(page, kPage, kBrowseMusic));  // cancelled
    EXPECT_EQ(Registry().SzOf("MusicFilename"), "D:\\old.mp3");
    const FileChooserRequest& request = FakePages().fileRequest;
    EXPECT_STREQ(request.title, "Select a music file or playlist");
    ASSERT_EQ(request.filterCount, 3);
    EXPECT_EQ(request.initialFilter, 0);
    EXPECT_STREQ(request.filters[0].pattern, "*.m3u;*.pls;*.ram;*.m2a;*.kpl;*.b4s");
    EXPECT_STREQ(request.filters[1].name,
                 "Music Files (*.mp3; *.ogg; *.wav; *.wma; *.ra; *.mid; *.midi; *.rmi)");
    EXPECT_STREQ(request.filters[2].pattern, "*.*");

    FakePages().fileAnswer = {true, 0, "E:\\Tunes\\night.ogg"};
    PageOnCommand(page, kPage, kBrowseMusic);
    EXPECT_EQ(Registry().SzOf("MusicFilename"), "E:\\Tunes\\night.ogg");
    EXPECT_EQ(At(kMusicFile).text, "E:\\Tunes\\night.ogg");

    // A path the setting could only hold cut would name another file.
    FakePages().fileAnswer = {true, 0, "E:\\" + std::string(600, 'x') + ".mp3"};
    PageOnCommand(page, kPage, kBrowseMusic);
    EXPECT_EQ(Registry().SzOf("MusicFilename"), "E:\\Tunes\\night.ogg");
    EXPECT_EQ(fake::Fake().beeps.size(), 1u);
}

TEST_F(ControlsTest, introduction_page_texts_links_and_copyright_years_follow_the_clock) {
    fake::ScopedManualClock clock;
    clock.clock.calendarTime = 1087300000;  // June 2004
    PageOnInit(ConfigurePage::Introduction, kPage);
    EXPECT_EQ(At(kVersion).text, "Version 1.1  -  Jul 15 2004");
    EXPECT_EQ(At(kCopyright).text, "Copyright \xA9 2004 Quillmere");
    EXPECT_EQ(At(kWebLink).text, "www.quillmere.example");
    EXPECT_EQ(At(kMailLink).text, "support@quillmere.example");
    EXPECT_TRUE(At(kWebLink).link && At(kMailLink).link);

    EXPECT_TRUE(PageOnCommand(ConfigurePage::Introduction, kPage, kWebLink));
    EXPECT_TRUE(PageOnCommand(ConfigurePage::Introduction, kPage, kMailLink));
    EXPECT_FALSE(PageOnCommand(ConfigurePage::Introduction, kPage, kVersion));
    EXPECT_EQ(fake::Fake().shellRequests,
              (std::vector<std::string>{"open http://www.quillmere.example/",
                                        "open mailto:support@quillmere.example"}));

    clock.clock.calendarTime = 1782900000;  // July 2026
    PageOnInit(ConfigurePage::Introduction, kPage);
    EXPECT_EQ(At(kCopyright).text, "Copyright \xA9 2004-2026 Quillmere");
    char years[16];
    FormatCopyrightYears(years, sizeof years, 1999);  // a clock set too early
    EXPECT_STREQ(years, "2004");
}

TEST_F(ControlsTest, help_beeps_without_a_folder_and_ignores_one_without_the_page) {
    PageOnHelp();
    EXPECT_EQ(fake::Fake().beeps, std::vector<BeepKind>{BeepKind::Default});
    EXPECT_TRUE(fake::Fake().shellRequests.empty());

    AppDir.Set("E:\\Elsewhere");
    FakePages().helpFolder = "D:\\Tools\\Saver";
    PageOnHelp();
    EXPECT_TRUE(fake::Fake().shellRequests.empty());
    EXPECT_EQ(fake::Fake().beeps.size(), 1u);

    AppDir.Set("D:\\Tools\\Saver");
    PageOnHelp();
    EXPECT_EQ(fake::Fake().currentDirs.back(), "C:\\Savers");
    EXPECT_EQ(fake::Fake().shellRequests,
              std::vector<std::string>{"open D:\\Tools\\Saver\\help.htm"});
}
