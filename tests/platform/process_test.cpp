#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

class ProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("vellora-proc-" + std::to_string(rd()));
        fs::create_directories(root_ / "work");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    // The child runs on its own; give it time to write its file.
    static bool wait_for(const fs::path& p) {
        for (int i = 0; i < 200 && !fs::exists(p); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return fs::exists(p);
    }
    fs::path root_;
};

TEST_F(ProcessTest, StartsInTheGivenWorkingDirectory) {
#ifdef _WIN32
    const char* line = "cmd.exe /c \"echo started> marker.txt\"";
#else
    const char* line = "/bin/sh -c \"echo started > marker.txt\"";
#endif
    ASSERT_TRUE(platform::start_process(line, root_ / "work"));
    EXPECT_TRUE(wait_for(root_ / "work" / "marker.txt"));
}

TEST_F(ProcessTest, MissingProgramOrFolderFails) {
    EXPECT_FALSE(platform::start_process("", root_));
    std::string missing = "\"";
    missing += platform::path_to_utf8(root_ / "no such.exe");
    missing += '"';
    EXPECT_FALSE(platform::start_process(missing, root_));
#ifndef _WIN32
    EXPECT_FALSE(platform::start_process("/bin/sh -c true", root_ / "missing"));
#endif
}

}  // namespace
