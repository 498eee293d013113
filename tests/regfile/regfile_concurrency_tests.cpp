// Processes against one settings file: two writers at once lose none of each
// other's changes, and a writer killed at any moment leaves a whole file.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstring>
#include <iostream>
#include <random>

#include "platform/registry.h"
#include "platform/x11/regfile_format.h"
#include "regfile_test_support.h"

namespace {

const char* const kKey = kProduct.registryKeyPath;
constexpr int kIncrements = 150;
constexpr int kKills = 200;
constexpr int kMaxKillDelayUs = 3000;
constexpr int kTextValues = 16;
constexpr size_t kTextLength = 300;

void IncrementLoop(const char* ownName) {
    for (int i = 0; i < kIncrements; ++i) {
        RegistryKey key;
        key.Open(kKey);
        int32_t shared = 0, own = 0;
        key.ReadNumber("Shared", &shared);
        key.ReadNumber(ownName, &own);
        key.WriteNumber("Shared", shared + 1);
        key.WriteNumber(ownName, own + 1);
    }
}

int WaitForExit(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegFileStoreTest, two_processes_changing_values_at_once_lose_nothing) {
    pid_t first = fork();
    if (first == 0) {
        IncrementLoop("First");
        _exit(0);
    }
    pid_t second = fork();
    if (second == 0) {
        IncrementLoop("Second");
        _exit(0);
    }
    EXPECT_EQ(WaitForExit(first), 0);
    EXPECT_EQ(WaitForExit(second), 0);

    RegistryKey key;
    key.Open(kKey);
    int32_t shared = 0, firstCount = 0, secondCount = 0;
    EXPECT_TRUE(key.ReadNumber("Shared", &shared));
    EXPECT_TRUE(key.ReadNumber("First", &firstCount));
    EXPECT_TRUE(key.ReadNumber("Second", &secondCount));
    EXPECT_EQ(shared, 2 * kIncrements);
    EXPECT_EQ(firstCount, kIncrements);
    EXPECT_EQ(secondCount, kIncrements);
}

std::string ValueName(int index) { return "Text" + std::to_string(index); }

std::string GenerationText(int generation, int index) {
    return std::string(kTextLength, static_cast<char>('a' + index % 26)) + std::to_string(generation);
}

// Each write replaces every value at once, so a file that holds values of
// two generations (or a part of one) shows a torn write.
[[noreturn]] void WriteGenerationsForever() {
    int32_t generation = 0;
    {
        RegistryKey key;
        key.Open(kKey);
        key.ReadNumber("Generation", &generation);
    }
    for (;;) {
        ++generation;
        RegistryKey key;
        key.Open(kKey);
        for (int i = 0; i < kTextValues; ++i) key.WriteText(ValueName(i).c_str(), GenerationText(generation, i).c_str());
        key.WriteNumber("Generation", generation);
    }
}

// The generation the file holds whole, or -1.
int WholeGeneration(const std::string& bytes) {
    RegFileDocument document;
    if (document.Parse(bytes) != RegParseResult::Ok) return -1;
    const RegValue* stored = document.Find(kKey, "Generation");
    if (!stored || stored->type != kRegDword || stored->data.size() != 4) return -1;
    int32_t generation = 0;
    memcpy(&generation, stored->data.data(), 4);  // little-endian, as this machine
    for (int i = 0; i < kTextValues; ++i) {
        const RegValue* text = document.Find(kKey, ValueName(i));
        if (!text || *text != MakeTextValue(GenerationText(generation, i))) return -1;
    }
    return generation;
}

int CountTempFiles(const std::string& folder) {
    int count = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (struct dirent* entry = readdir(dir))
            if (std::string(entry->d_name).find(".reg.tmp.") != std::string::npos) ++count;
        closedir(dir);
    }
    return count;
}

TEST_F(RegFileStoreTest, a_writer_killed_at_any_moment_leaves_a_whole_file) {
    // The first file is written by hand so that this process has not opened
    // the store yet and its children start as a fresh saver would.
    RegFileDocument initial;
    for (int i = 0; i < kTextValues; ++i) initial.Set(kKey, ValueName(i), MakeTextValue(GenerationText(0, i)));
    initial.Set(kKey, "Generation", MakeDwordValue(0));
    GivenFile(initial.Serialise());

    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> delayUs(0, kMaxKillDelayUs);
    int last = 0, advances = 0, interrupted = 0;
    for (int kill_ = 0; kill_ < kKills; ++kill_) {
        pid_t child = fork();
        if (child == 0) WriteGenerationsForever();
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        int generation = WholeGeneration(ReadFileBytes(path));
        ASSERT_GE(generation, last) << "after kill " << kill_;
        if (generation > last) ++advances;
        last = generation;
        if (CountTempFiles(folder) > 0) ++interrupted;
    }
    std::cout << "generations " << last << ", kills after progress " << advances
              << ", kills that left a temporary file " << interrupted << "\n";
    EXPECT_GT(advances, 0);

    // This process's first Open clears what the last killed writer left.
    { RegistryKey key; key.Open(kKey); }
    EXPECT_EQ(CountTempFiles(folder), 0);
}

}  // namespace
