// The start-up routine, the companion library naming rules, failure
// reporting and the small shell helpers.
#include <cstdio>
#include <cstring>
#include <string>

#include "crtrand.h"
#include "platform/messagebox.h"
#include "main.h"
#include "manual_clock.h"
#include "settings_catalogue.h"
#include "test_support.h"

namespace {
using StartupTest = CoreTest;

std::string DllPath(const char* program) {
    char buffer[kModulePathSize];
    if (!ScrPathToDllPath(program, buffer, sizeof buffer)) return "<none>";
    return buffer;
}

std::string SoPath(const char* program, size_t size = kModulePathSize) {
    char buffer[kModulePathSize];
    if (!ReplaceExtensionWithSo(program, buffer, size)) return "<none>";
    return buffer;
}
}  // namespace

TEST(CompanionPath, windows_rule_upper_cases_and_replaces_the_first_scr) {
    EXPECT_EQ(DllPath("C:\\Savers\\Chronovale.scr"), "C:\\SAVERS\\CHRONOVALE.DLL");
    EXPECT_EQ(DllPath("c:\\savers\\chronovale.scr"), "C:\\SAVERS\\CHRONOVALE.DLL");
    EXPECT_EQ(DllPath("C:\\a.scr.d\\Chronovale.scr"), "C:\\A.DLL");
    EXPECT_EQ(DllPath("C:\\Savers\\Chronovale.exe"), "<none>");
    EXPECT_EQ(DllPath(std::string(300, 'x').append(".scr").c_str()), "<none>");
    char small[8];
    EXPECT_FALSE(ScrPathToDllPath("C:\\Chronovale.scr", small, sizeof small));
}

TEST(CompanionPath, linux_rule_replaces_the_extension_of_the_last_component) {
    EXPECT_EQ(SoPath("/usr/bin/chronovale"), "/usr/bin/chronovale.so");
    EXPECT_EQ(SoPath("/opt/app.d/chronovale.bin"), "/opt/app.d/chronovale.so");
    EXPECT_EQ(SoPath("/opt/app.d/chronovale"), "/opt/app.d/chronovale.so");
    EXPECT_EQ(SoPath("/home/u/.chronovale"), "/home/u/.chronovale.so");
    EXPECT_EQ(SoPath("/usr/bin/chronovale", 22), "<none>");
    EXPECT_EQ(SoPath("/usr/bin/chronovale", 23), "/usr/bin/chronovale.so");
}

TEST_F(StartupTest, lower_case_saver_finds_the_upper_case_library) {
    fake::Fake().programPath = "c:\\savers\\chronovale.scr";
    RunStartup();
    ASSERT_EQ(fake::Fake().loadedLibraries.size(), 1u);
    EXPECT_EQ(fake::Fake().loadedLibraries[0], "C:\\SAVERS\\CHRONOVALE.DLL");
    EXPECT_NE(resourceLibrary, nullptr);
    EXPECT_TRUE(LowDetail.IsLocked());
}

TEST_F(StartupTest, missing_library_shows_one_message_exits_1_and_touches_no_setting) {
    fake::Fake().libraryLoads = false;
    int writes = fake::Registry().writeCount;
    EXPECT_EQ(ExitCodeOf([] { RunStartup(); }), 1);
    ASSERT_EQ(fake::Fake().messageBoxes.size(), 1u);
    const fake::MessageBoxCall& box = fake::Fake().messageBoxes[0];
    EXPECT_EQ(box.text,
              "The program \"Chronovale\" can not run because the following file is missing:"
              "\r\n\r\nC:\\SAVERS\\CHRONOVALE.DLL");
    EXPECT_EQ(box.caption, "<none>");
    EXPECT_EQ(fake::Registry().writeCount, writes);
}

TEST_F(StartupTest, program_without_scr_counts_as_missing_library) {
    fake::Fake().programPath = "C:\\Savers\\Chronovale.exe";
    EXPECT_EQ(ExitCodeOf([] { RunStartup(); }), 1);
    EXPECT_TRUE(fake::Fake().loadedLibraries.empty());
    ASSERT_EQ(fake::Fake().messageBoxes.size(), 1u);
}

TEST_F(StartupTest, fixed_seed_repeats_and_zero_seed_uses_the_tick) {
    fake::ScopedManualClock clock;
    Seed.Set(12345);
    RunStartup();
    int first = Random(), second = Random();
    RunStartup();
    EXPECT_EQ(Random(), first);
    EXPECT_EQ(Random(), second);

    Seed.Set(0);
    clock.clock.tickMs = 777;
    RunStartup();
    int fromTick = Random();
    SeedRandom(777);
    EXPECT_EQ(Random(), fromTick);
}

TEST_F(StartupTest, configure_sheet_index_past_the_last_page_becomes_0) {
    const int cases[][2] = {{3, 3}, {4, 0}, {7, 0}, {-1, -1}, {0, 0}};
    for (const auto& c : cases) {
        CurrentConfigureSheet.Set(c[0]);
        RunStartup();
        EXPECT_EQ(CurrentConfigureSheet.Get(), c[1]) << "stored " << c[0];
        EXPECT_EQ(fake::Registry().DwordOf("CurrentConfigureSheet"), c[1]);
    }
}

TEST_F(StartupTest, failed_call_report_reads_path_place_and_platform_text) {
    EXPECT_EQ(ExitCodeOf([] { ReportFailedCall("main.cpp", 1234, 1, 0, "wglCreateContext"); }), -999);
    EXPECT_TRUE(fake::Fake().messageBoxes.empty());

    fake::Fake().lastError = 2000;
    fake::Fake().errorText = "The pixel format is invalid.";
    EXPECT_EQ(ExitCodeOf([] { ReportFailedCall("main.cpp", 77, 0, 0, "SetPixelFormat"); }), 1);
    ASSERT_EQ(fake::Fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake::Fake().messageBoxes[0].text,
              "C:\\Savers\\Chronovale.scr\r\n\r\nIn file main.cpp on line 77:\r\n\r\n"
              "SetPixelFormat failed with error 2000: The pixel format is invalid.");
    EXPECT_EQ(fake::Fake().messageBoxes[0].icon, static_cast<int>(MessageIcon::Error));
}

TEST(FailureMessage, long_path_and_long_text_are_cut_within_the_buffer) {
    std::string path(1500, 'p');
    std::string text(1500, 't');
    char buffer[kFailureMessageSize + 16];
    memset(buffer, 'X', sizeof buffer);
    FormatFailedCallMessage(buffer, kFailureMessageSize, path.c_str(), "main.cpp", 1, "RegisterClass",
                            7, text.c_str());
    EXPECT_EQ(strlen(buffer), kFailureMessageSize - 1);
    for (size_t i = kFailureMessageSize; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 'X');
    // The call sentence is itself held to one formatted line.
    std::string message(buffer);
    EXPECT_NE(message.find("In file main.cpp on line 1:"), std::string::npos);
}

TEST_F(StartupTest, assertion_beeps_only_with_both_texts_and_always_exits_1) {
    EXPECT_EQ(ExitCodeOf([] { AssertFailed("x > 0", "main.cpp", 9); }), 1);
    ASSERT_EQ(fake::Fake().beeps.size(), 1u);
    EXPECT_EQ(fake::Fake().beeps[0], BeepKind::Exclamation);
    EXPECT_EQ(ExitCodeOf([] { AssertFailed(nullptr, "main.cpp", 9); }), 1);
    EXPECT_EQ(ExitCodeOf([] { AssertFailed("x", nullptr, 9); }), 1);
    EXPECT_EQ(fake::Fake().beeps.size(), 1u);
    EXPECT_TRUE(fake::Fake().messageBoxes.empty());
}

TEST(OsVersionClass, families_and_versions_map_to_classes) {
    using F = PlatformFamily;
    struct Row {
        OsVersionFields fields;
        int expected;
    } rows[] = {
        {{F::Win32s, 3, 10, 0}, 1},        {{F::Windows9x, 4, 0, 950}, 2},
        {{F::Windows9x, 4, 0, 1000}, 2},   {{F::Windows9x, 4, 0, 0x04001111}, 3},
        {{F::Windows9x, 3, 95, 1001}, 3},  {{F::Windows9x, 4, 10, 1998}, 4},
        {{F::Windows9x, 4, 90, 3000}, 5},  {{F::Windows9x, 5, 0, 0}, 4},
        {{F::WindowsNT, 4, 0, 1381}, 6},   {{F::WindowsNT, 5, 0, 2195}, 7},
        {{F::WindowsNT, 5, 1, 2600}, 8},   {{F::WindowsNT, 10, 0, 19045}, 7},
        {{F::WindowsNT, 6, 1, 7601}, 8},   {{F::Other, 1, 0, 0}, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(MapOsVersionClass(row.fields), row.expected)
            << static_cast<int>(row.fields.family) << " " << row.fields.major << "." << row.fields.minor;
}

TEST_F(StartupTest, failed_version_query_gives_class_1) {
    fake::Fake().osQueryFails = true;
    EXPECT_EQ(GetOsVersionClass(), 1);
}

TEST_F(StartupTest, program_folder_is_cut_at_the_last_separator) {
    SetDirToProgramFolder();
    fake::Fake().programPath = "/usr/lib/chronovale/chronovale";
    SetDirToProgramFolder();
    fake::Fake().programPath = "/chronovale";
    SetDirToProgramFolder();
    fake::Fake().programPathFails = true;
    SetDirToProgramFolder();
    ASSERT_EQ(fake::Fake().currentDirs.size(), 3u);
    EXPECT_EQ(fake::Fake().currentDirs[0], "C:\\Savers");
    EXPECT_EQ(fake::Fake().currentDirs[1], "/usr/lib/chronovale");
    EXPECT_EQ(fake::Fake().currentDirs[2], "/");
}

TEST(FileExistsTest, readable_file_exists_and_missing_one_does_not) {
    const char* name = "chronovale_file_exists_probe.tmp";
    FILE* file = fopen(name, "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    EXPECT_TRUE(FileExists(name));
    remove(name);
    EXPECT_FALSE(FileExists(name));
}
