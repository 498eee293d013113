// The settings store on a real file system: where the file lives, what the
// typed reads give for hand-written files, what writes leave in the file, and
// how damaged, unreadable, linked and half-written files are handled.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/registry.h"
#include "regfile_test_support.h"
#include "settings.h"

namespace {

const char* const kKey = kProduct.registryKeyPath;
const std::string kSection = "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]";
constexpr uid_t kNobody = 65534;

std::string HexBytes(size_t count, const char* byte) {
    std::string out;
    for (size_t i = 0; i < count; ++i) out += std::string(i ? "," : "") + byte;
    return out;
}

// Runs body in a child process under an unprivileged user (when the tests
// run as root, who could read any file whatever its mode) and returns its
// exit status.
int RunAsNobody(const std::function<int()>& body) {
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(RegFileStoreTest, first_open_creates_private_folders_and_the_key) {
    {
        RegistryKey key;
        key.Open(kKey);
        EXPECT_TRUE(key.IsOpen());
    }
    struct stat info;
    ASSERT_EQ(stat(configHome.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFileBytes(path), "REGEDIT4\n\n" + kSection + "\n");
}

TEST_F(RegFileStoreTest, config_home_falls_back_to_dot_config) {
    const char* oldHome = getenv("HOME");
    std::string savedHome = oldHome ? oldHome : "";
    std::string home = root + "/home";
    setenv("HOME", home.c_str(), 1);
    std::string expected = home + "/.config/Quillmere/Chronovale.reg";
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath(), expected);
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(SettingsFilePath(), expected);
    setenv("XDG_CONFIG_HOME", "relative/config", 1);  // only absolute paths count
    EXPECT_EQ(SettingsFilePath(), expected);
    {
        RegistryKey key;
        key.Open(kKey);
        key.WriteNumber("UCS", 1);
    }
    EXPECT_NE(ReadFileBytes(expected).find("\"UCS\"=dword:00000001"), std::string::npos);
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
    else unsetenv("HOME");
}

TEST_F(RegFileStoreTest, numbers_come_only_from_four_byte_numbers) {
    GivenFile("REGEDIT4\n" + kSection +
              "\n"
              "\"Dword\"=dword:fffffffe\n"
              "\"Bin4\"=hex:39,30,00,00\n"
              "\"Bin3\"=hex:01,02,03\n"
              "\"Bin5\"=hex:01,02,03,04,05\n"
              "\"Text\"=\"5\"\n"
              "\"BigEndian\"=hex(5):00,00,00,01\n"
              "\"Broken\"=dword:1z\n");
    RegistryKey key;
    key.Open(kKey);
    int32_t number = 77;
    EXPECT_TRUE(key.ReadNumber("dword", &number));
    EXPECT_EQ(number, -2);
    EXPECT_TRUE(key.ReadNumber("Bin4", &number));
    EXPECT_EQ(number, 12345);
    number = 77;
    for (const char* name : {"Bin3", "Bin5", "Text", "BigEndian", "Broken", "Missing"}) {
        EXPECT_FALSE(key.ReadNumber(name, &number)) << name;
        EXPECT_EQ(number, 77) << name;
    }
}

TEST_F(RegFileStoreTest, texts_come_from_any_type_that_fits_the_buffer) {
    GivenFile("REGEDIT4\n" + kSection + "\n" +
              "\"Answer\"=dword:0000002a\n"
              "\"Minus\"=dword:fffffffb\n"
              "\"Min\"=dword:80000000\n"
              "\"Fits\"=\"" + std::string(499, 'a') + "\"\n"
              "\"TooLong\"=\"" + std::string(500, 'b') + "\"\n"
              "\"Bin\"=hex:41,42\n"
              "\"BinFits\"=hex:" + HexBytes(499, "43") + "\n"
              "\"BinTooLong\"=hex:" + HexBytes(500, "43") + "\n"
              "\"Lines\"=hex(1):61,0d,0a,62,00\n");
    RegistryKey key;
    key.Open(kKey);
    char buffer[kRegistryTextSize];
    EXPECT_TRUE(key.ReadText("Answer", buffer));
    EXPECT_STREQ(buffer, "42");
    EXPECT_TRUE(key.ReadText("Minus", buffer));
    EXPECT_STREQ(buffer, "-5");
    EXPECT_TRUE(key.ReadText("Min", buffer));
    EXPECT_STREQ(buffer, "-2147483648");
    EXPECT_TRUE(key.ReadText("Fits", buffer));
    EXPECT_EQ(std::string(buffer), std::string(499, 'a'));
    EXPECT_TRUE(key.ReadText("Bin", buffer));
    EXPECT_STREQ(buffer, "AB");
    EXPECT_TRUE(key.ReadText("BinFits", buffer));
    EXPECT_EQ(std::string(buffer), std::string(499, 'C'));
    EXPECT_TRUE(key.ReadText("Lines", buffer));
    EXPECT_STREQ(buffer, "a\r\nb");
    strcpy(buffer, "untouched");
    for (const char* name : {"TooLong", "BinTooLong", "Missing"}) {
        EXPECT_FALSE(key.ReadText(name, buffer)) << name;
        EXPECT_STREQ(buffer, "untouched");
    }
}

TEST_F(RegFileStoreTest, writes_are_on_disk_when_the_key_closes) {
    RegistryKey key;
    key.Open(kKey);
    key.WriteNumber("TextColor", 0xFF8040);
    key.WriteNumber("Seed", -2);
    key.WriteText("FaceName", "Caf\xE9 \"Bold\" \\ 1");
    key.WriteText("MusicFilename", "a\nb");
    key.Close();
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(ReadFileBytes(path), "REGEDIT4\n\n" + kSection +
                                       "\n"
                                       "\"TextColor\"=dword:00ff8040\n"
                                       "\"Seed\"=dword:fffffffe\n"
                                       "\"FaceName\"=\"Caf\xE9 \\\"Bold\\\" \\\\ 1\"\n"
                                       "\"MusicFilename\"=hex(1):61,0a,62,00\n");
    key.Open(kKey);
    char buffer[kRegistryTextSize];
    EXPECT_TRUE(key.ReadText("musicfilename", buffer));
    EXPECT_STREQ(buffer, "a\nb");
}

TEST_F(RegFileStoreTest, other_keys_and_unknown_values_survive_a_write) {
    const std::string before =
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Elsewhere]\r\n"
        "\"Keep\"=hex(2):25,00,41,00\r\n\r\n" +
        kSection + "\r\n" +
        "\"Unknown\"=hex(b):01,02,03,04,05,06,07,08\r\n"
        "\"UCS\"=dword:4\r\n"
        "\"Odd\"=dword:zz\r\n";
    GivenFile(before);
    {
        RegistryKey key;
        key.Open(kKey);
        key.WriteNumber("UCS", 5);
    }
    std::string expected = before;
    expected.replace(expected.find("\"UCS\"=dword:4"), 13, "\"UCS\"=dword:00000005");
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(RegFileStoreTest, setting_objects_replace_values_of_the_wrong_kind) {
    GivenFile("REGEDIT4\n" + kSection +
              "\n"
              "\"UCS\"=\"5\"\n"
              "\"FaceName\"=dword:0000002a\n"
              "\"SntpServer\"=dword:fffffffb\n"
              "\"ShowTime\"=dword:00000002\n"
              "\"Seed\"=hex:39,30,00,00\n"
              "\"AppDir\"=\"" + std::string(500, 'x') + "\"\n");
    IntSetting ucs(kKey, "UCS", 0);
    StringSetting faceName(kKey, "FaceName", "Arial");
    StringSetting sntpServer(kKey, "SntpServer", "");
    BoolSetting showTime(kKey, "ShowTime", 0);
    IntSetting seed(kKey, "Seed", 0);
    StringSetting appDir(kKey, "AppDir", "");
    EXPECT_EQ(ucs.Get(), 0);
    EXPECT_STREQ(faceName.Get(), "42");
    EXPECT_STREQ(sntpServer.Get(), "-5");
    EXPECT_EQ(showTime.Get(), 2);
    EXPECT_EQ(seed.Get(), 12345);
    EXPECT_STREQ(appDir.Get(), "");
    EXPECT_EQ(ReadFileBytes(path), "REGEDIT4\n" + kSection +
                                       "\n"
                                       "\"UCS\"=dword:00000000\n"
                                       "\"FaceName\"=\"42\"\n"
                                       "\"SntpServer\"=\"-5\"\n"
                                       "\"ShowTime\"=dword:00000002\n"
                                       "\"Seed\"=dword:00003039\n"
                                       "\"AppDir\"=\"\"\n");
}

TEST_F(RegFileStoreTest, an_unchanged_start_does_not_rewrite_the_file) {
    { IntSetting first(kKey, "UCS", 3); }
    struct stat before, after;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    IntSetting again(kKey, "UCS", 3);
    StringSetting text(kKey, "FaceName", "Arial");
    StringSetting textAgain(kKey, "FaceName", "Arial");
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);  // FaceName was new
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    IntSetting third(kKey, "UCS", 3);
    StringSetting textThird(kKey, "FaceName", "Arial");
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(RegFileStoreTest, an_unparseable_file_is_set_aside_before_defaults_are_written) {
    const std::string garbage("\x7f" "ELF\0\0\x01binary", 13);
    GivenFile(garbage);
    { IntSetting seed(kKey, "Seed", 7); }
    EXPECT_EQ(ReadFileBytes(path + ".bad"), garbage);
    EXPECT_EQ(ReadFileBytes(path), "REGEDIT4\n\n" + kSection + "\n\"Seed\"=dword:00000007\n");

    // A second damaged file does not overwrite the first one kept.
    const std::string oversized = "REGEDIT4\n;" + std::string(2 * 1024 * 1024, 'z') + "\n";
    WriteFileBytes(path, oversized);
    { IntSetting seed(kKey, "Seed", 7); }
    EXPECT_EQ(ReadFileBytes(path + ".bad"), garbage);
    EXPECT_EQ(ReadFileBytes(path + ".bad.1"), oversized);
    EXPECT_EQ(ReadFileBytes(path), "REGEDIT4\n\n" + kSection + "\n\"Seed\"=dword:00000007\n");

    // An empty file is simply a new one.
    WriteFileBytes(path, "");
    { IntSetting seed(kKey, "Seed", 7); }
    EXPECT_FALSE(PathExists(path + ".bad.2"));
    EXPECT_EQ(ReadFileBytes(path), "REGEDIT4\n\n" + kSection + "\n\"Seed\"=dword:00000007\n");
}

TEST_F(RegFileStoreTest, an_unreadable_file_leaves_the_key_closed_and_untouched) {
    mkdir(configHome.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    mkdir(path.c_str(), 0700);  // a folder where the file should be
    {
        RegistryKey key;
        key.Open(kKey);
        EXPECT_FALSE(key.IsOpen());
        int32_t number = 1;
        EXPECT_FALSE(key.ReadNumber("Seed", &number));
        key.WriteNumber("Seed", 5);
        IntSetting seed(kKey, "Seed", 9);
        EXPECT_EQ(seed.Get(), 9);
        seed.Set(10);
        EXPECT_EQ(seed.Get(), 10);  // the change holds in memory
    }
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_FALSE(PathExists(path + ".bad"));
    rmdir(path.c_str());

    const std::string secret = "REGEDIT4\n" + kSection + "\n\"Seed\"=dword:00000003\n";
    WriteFileBytes(path, secret);
    chmod(path.c_str(), 0);
    if (geteuid() == 0) {
        for (const std::string& p : {root, configHome, folder, path}) ASSERT_EQ(chown(p.c_str(), kNobody, kNobody), 0);
    }
    int status = RunAsNobody([] {
        RegistryKey key;
        key.Open(kKey);
        if (key.IsOpen()) return 1;
        IntSetting seed(kKey, "Seed", 9);
        return seed.Get() == 9 ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFileBytes(path), secret);
    EXPECT_FALSE(PathExists(path + ".bad"));
}

TEST_F(RegFileStoreTest, a_file_that_cannot_be_locked_is_read_but_not_written) {
    if (geteuid() != 0) GTEST_SKIP() << "needs a second user who cannot write the folder";
    const std::string content = "REGEDIT4\n" + kSection + "\n\"Seed\"=dword:00000003\n";
    GivenFile(content);
    chmod(path.c_str(), 0644);
    chmod(folder.c_str(), 0755);  // no lock file can be made here by another user
    chmod(configHome.c_str(), 0755);
    chmod(root.c_str(), 0755);
    int status = RunAsNobody([] {
        IntSetting seed(kKey, "Seed", 9);
        if (seed.Get() != 3) return 1;
        seed.Set(4);
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileBytes(path), content);
}

TEST_F(RegFileStoreTest, a_damaged_file_that_cannot_be_set_aside_is_not_overwritten) {
    const std::string garbage = "not a settings file\n";
    GivenFile(garbage);
    std::vector<std::string> kept = {path + ".bad"};
    for (int i = 1; i < 10; ++i) kept.push_back(path + ".bad." + std::to_string(i));
    for (const std::string& p : kept) WriteFileBytes(p, "older " + p);
    {
        IntSetting seed(kKey, "Seed", 9);
        EXPECT_EQ(seed.Get(), 9);
        seed.Set(10);
    }
    EXPECT_EQ(ReadFileBytes(path), garbage);
    for (const std::string& p : kept) EXPECT_EQ(ReadFileBytes(p), "older " + p);
}

TEST_F(RegFileStoreTest, a_lock_held_elsewhere_costs_one_wait_then_reads_only) {
    const std::string content = "REGEDIT4\n" + kSection + "\n\"Seed\"=dword:00000003\n";
    GivenFile(content);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        int fd = open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
        flock(fd, LOCK_EX);
        if (write(ready[1], "x", 1) != 1) _exit(1);
        pause();
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);

    auto timed = [](const std::function<void()>& body) {
        auto start = std::chrono::steady_clock::now();
        body();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double firstWait = timed([] {
        IntSetting seed(kKey, "Seed", 9);
        EXPECT_EQ(seed.Get(), 3);
        seed.Set(4);
    });
    double laterWaits = timed([] {
        for (int i = 0; i < 10; ++i) {
            IntSetting seed(kKey, "Seed", 9);
            EXPECT_EQ(seed.Get(), 3);
        }
    });
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(ReadFileBytes(path), content);
    EXPECT_GT(firstWait, 10 * laterWaits);

    IntSetting seed(kKey, "Seed", 9);  // the lock is free again: writes resume
    seed.Set(5);
    EXPECT_NE(ReadFileBytes(path).find("\"Seed\"=dword:00000005"), std::string::npos);
}

TEST_F(RegFileStoreTest, a_symlinked_file_is_replaced_at_its_target) {
    std::string elsewhere = root + "/dotfiles";
    mkdir(elsewhere.c_str(), 0700);
    std::string target = elsewhere + "/settings.reg";
    WriteFileBytes(target, "REGEDIT4\n" + kSection + "\n\"UCS\"=dword:00000001\n");
    mkdir(configHome.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    ASSERT_EQ(symlink("../../dotfiles/settings.reg", path.c_str()), 0);
    {
        IntSetting ucs(kKey, "UCS", 0);
        EXPECT_EQ(ucs.Get(), 1);
        ucs.Increment();
    }
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadFileBytes(target), "REGEDIT4\n" + kSection + "\n\"UCS\"=dword:00000002\n");
}

TEST_F(RegFileStoreTest, temporary_files_of_a_killed_writer_go_at_the_next_start) {
    GivenFile("REGEDIT4\n" + kSection + "\n");
    const std::string stale = path + ".tmp.a1B2c3";
    const std::string keep[] = {path + ".tmp.a1B2c", path + ".tmp.a1B2c3d", path + ".tmp.a1-2c3",
                                folder + "/Other.reg.tmp.a1B2c3", path + ".bak"};
    WriteFileBytes(stale, "REGEDIT4\n");
    for (const std::string& p : keep) WriteFileBytes(p, "x");
    { IntSetting ucs(kKey, "UCS", 0); }
    EXPECT_FALSE(PathExists(stale));
    for (const std::string& p : keep) EXPECT_TRUE(PathExists(p)) << p;
}

TEST_F(RegFileStoreTest, a_key_never_opened_reads_nothing) {
    RegistryKey key;
    int32_t number = 5;
    char buffer[kRegistryTextSize] = "same";
    EXPECT_FALSE(key.ReadNumber("Seed", &number));
    EXPECT_FALSE(key.ReadText("Seed", buffer));
    key.WriteNumber("Seed", 1);
    key.Close();
    EXPECT_EQ(number, 5);
    EXPECT_STREQ(buffer, "same");
    EXPECT_FALSE(PathExists(path));
}

}  // namespace
