// The screenshot series: what F5 writes where, through the platform fakes
// (the picture itself is checked against the screen by the integration tests).
#include "screenshot.h"
#include "test_support.h"

namespace {
using ScreenshotTest = CoreTest;

// The view the tests draw: rows of 1366 pixels need padding to four bytes.
constexpr int kViewWidth = 1366;
constexpr int kViewHeight = 2;

void DrawAFrame() { WritePendingScreenshot(kViewWidth, kViewHeight); }

void PressF5AndDrawAFrame() {
    TakeScreenshot();
    DrawAFrame();
}
}  // namespace

TEST_F(ScreenshotTest, series_skips_names_taken_meanwhile_and_falls_back_to_pictures) {
    // Nothing is written before the request, and a request is written once.
    DrawAFrame();
    EXPECT_TRUE(fake::Fake().createdFiles.empty());

    // A file that appeared after the existence check is never replaced.
    fake::Fake().takenAtCreation = {"ps_screenshot_000.bmp"};
    PressF5AndDrawAFrame();
    DrawAFrame();
    ASSERT_EQ(fake::Fake().createdFiles, (std::vector<std::string>{"ps_screenshot_001.bmp"}));
    EXPECT_EQ(fake::Fake().currentDirs.back(), "C:\\Savers");

    // A program folder that takes no files sends the next number, unspent,
    // to the pictures folder; a later one comes back when it takes them again.
    fake::Fake().programFolderRefuses = true;
    PressF5AndDrawAFrame();
    fake::Fake().programFolderRefuses = false;
    PressF5AndDrawAFrame();
    EXPECT_EQ(fake::Fake().createdFiles,
              (std::vector<std::string>{"ps_screenshot_001.bmp",
                                        "/home/user/Pictures/ps_screenshot_002.bmp",
                                        "ps_screenshot_003.bmp"}));

    // Without a pictures folder a refused shot is simply not written; an
    // empty view writes nothing.
    fake::Fake().programFolderRefuses = true;
    fake::Fake().picturesFolder.clear();
    PressF5AndDrawAFrame();
    fake::Fake().programFolderRefuses = false;
    TakeScreenshot();
    WritePendingScreenshot(0, kViewHeight);
    EXPECT_EQ(fake::Fake().createdFiles.size(), 3u);
    EXPECT_EQ(screenshotCounter, 4);
}
