// A scratch folder per test, removed afterwards, and whole-file helpers.
#ifndef QUILLHORN_CONFIG_TEST_SUPPORT_H
#define QUILLHORN_CONFIG_TEST_SUPPORT_H

#include "config_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace vyst::ansi {

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "qh-config-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The names in the folder, to see that no temporary file was left behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir_;
};

// Runs `action`, expecting excep with this code and message.
template <typename Action> void ExpectExcep(Action action, int code, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no excep thrown, expected code " << code;
    } catch (const excep& e) {
        EXPECT_EQ(e.code(), code);
        EXPECT_EQ(e.message(), message);
    }
}

} // namespace vyst::ansi

#endif
