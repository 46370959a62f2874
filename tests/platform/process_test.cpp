#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class ProcessTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(root_ / "work"); }
    // The child runs on its own; give it time to write its file.
    static bool wait_for(const fs::path& p) {
        for (int i = 0; i < 200 && !fs::exists(p); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return fs::exists(p);
    }
    test_support::TempFolder folder_;
    const fs::path root_ = folder_.path();
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

#ifndef _WIN32
// The updater start: a relative program and folder written the Windows way,
// both taken from the caller's current directory.
TEST_F(ProcessTest, RelativeWindowsStylePathsFromTheCurrentDirectory) {
    fs::create_directory(root_ / "Update");
    fs::path program = root_ / "Update" / "VLRUpdate.exe";
    {
        std::ofstream script(program);
        script << "#!/bin/sh\npwd > started-in.txt\n";
    }
    fs::permissions(program, fs::perms::owner_all);
    fs::path previous = fs::current_path();
    fs::current_path(root_);
    bool started = platform::start_process(".\\Update\\VLRUpdate.exe", ".\\Update\\");
    fs::current_path(previous);
    ASSERT_TRUE(started);
    ASSERT_TRUE(wait_for(root_ / "Update" / "started-in.txt"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the line land
    std::ifstream in(root_ / "Update" / "started-in.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(fs::path(line), fs::canonical(root_ / "Update"));
}
#endif

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
