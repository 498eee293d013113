// The setting objects' start-up load on the real settings file: a first
// start writes the file once for all values, a later one not at all. Each
// replacement of the file is a rename into its folder, counted with inotify.
#include <sys/inotify.h>

#include <memory>
#include <string>
#include <vector>

#include "regfile_test_support.h"
#include "settings.h"

namespace {
class SettingsLoadTest : public RegFileStoreTest {
protected:
    void SetUp() override {
        RegFileStoreTest::SetUp();
        mkdir(configHome.c_str(), 0700);
        mkdir(folder.c_str(), 0700);
        watch = inotify_init1(IN_NONBLOCK);
        ASSERT_GE(watch, 0);
        ASSERT_GE(inotify_add_watch(watch, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE), 0);
    }
    void TearDown() override {
        close(watch);
        RegFileStoreTest::TearDown();
    }

    // Files renamed into the folder since the last call.
    int Replacements() {
        int count = 0;
        alignas(inotify_event) char buffer[4096];
        ssize_t n;
        while ((n = read(watch, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + n;) {
                auto* event = reinterpret_cast<inotify_event*>(p);
                if (event->mask & IN_MOVED_TO) ++count;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return count;
    }

    // A catalogue of count numbers and a text, loaded as the saver loads its own.
    void LoadSettings(bool shared, int count) {
        if (shared) BeginSettingsLoad(kProduct.registryKeyPath);
        for (int i = 0; i < count; ++i) {
            names.push_back("Value" + std::to_string(i));
            numbers.push_back(
                std::make_unique<IntSetting>(kProduct.registryKeyPath, names.back().c_str(), i));
        }
        text = std::make_unique<StringSetting>(kProduct.registryKeyPath, "FaceName", "Arial");
        if (shared) EndSettingsLoad();
    }

    int watch = -1;
    std::vector<std::string> names;
    std::vector<std::unique_ptr<IntSetting>> numbers;
    std::unique_ptr<StringSetting> text;
};
}  // namespace

TEST_F(SettingsLoadTest, a_first_start_writes_the_file_once_and_a_later_one_not_at_all) {
    LoadSettings(true, 24);
    EXPECT_EQ(Replacements(), 1);
    std::string written = ReadFileBytes(path);
    EXPECT_NE(written.find("\"Value0\"=dword:00000000"), std::string::npos) << written;
    EXPECT_NE(written.find("\"Value23\"=dword:00000017"), std::string::npos) << written;
    EXPECT_NE(written.find("\"FaceName\"=\"Arial\""), std::string::npos) << written;

    // A later start finds every value and writes nothing; a change after the
    // load is still written at once.
    numbers.clear();
    LoadSettings(true, 24);
    EXPECT_EQ(Replacements(), 0);
    EXPECT_EQ(numbers[5]->Get(), 5);
    numbers[5]->Set(42);
    EXPECT_EQ(Replacements(), 1);
    EXPECT_NE(ReadFileBytes(path).find("\"Value5\"=dword:0000002a"), std::string::npos);
}

TEST_F(SettingsLoadTest, settings_built_outside_the_load_write_each_on_its_own) {
    LoadSettings(false, 3);
    EXPECT_EQ(Replacements(), 4);
}
