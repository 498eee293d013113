// A private XDG_CONFIG_HOME per test case and small file helpers for the
// store's tests. The folder is removed again when the case ends.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/x11/posix_regfile.h"
#include "product.h"

inline std::string ReadFileBytes(const std::string& path) {
    std::string out;
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return out;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
    close(fd);
    return out;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
}

inline bool PathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

class RegFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/regfile-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        configHome = root + "/config";
        folder = configHome + "/" + kProduct.companyName;
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        path = SettingsFilePath();
        ASSERT_EQ(path, folder + "/" + kProduct.productName + ".reg");
    }

    void TearDown() override {
        nftw(root.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); },
             16, FTW_DEPTH | FTW_PHYS);
    }

    // Puts a hand-written settings file in place before the first Open.
    void GivenFile(const std::string& bytes) {
        mkdir(configHome.c_str(), 0700);
        mkdir(folder.c_str(), 0700);
        WriteFileBytes(path, bytes);
    }

    std::string root, configHome, folder, path;
};
