#include "platform/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using platform::path_from_utf8;

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("vellora-files-" + std::to_string(rd()));
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    fs::path write(const std::string& utf8_name, const std::string& contents) {
        fs::path p = root_ / path_from_utf8(utf8_name);
        std::FILE* f = platform::open_file(p, "wb");
        EXPECT_NE(f, nullptr);
        if (f != nullptr) {
            std::fwrite(contents.data(), 1, contents.size(), f);
            std::fclose(f);
        }
        return p;
    }
    fs::path root_;
};

TEST_F(FilesTest, ProgramFolderHoldsTheRunningTest) {
    fs::path folder = platform::program_folder();
    EXPECT_TRUE(fs::is_directory(folder));
    bool found = false;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().stem() == "platform_files_test") found = true;
    }
    EXPECT_TRUE(found) << folder;
}

TEST_F(FilesTest, EnsureFolderCreatesOneLevelOnly) {
    EXPECT_TRUE(platform::ensure_folder(root_ / "Log"));
    EXPECT_TRUE(fs::is_directory(root_ / "Log"));
    EXPECT_TRUE(platform::ensure_folder(root_ / "Log"));  // already there
    EXPECT_FALSE(platform::ensure_folder(root_ / "a" / "b"));
    EXPECT_FALSE(fs::exists(root_ / "a"));
    write("plain", "x");
    EXPECT_FALSE(platform::ensure_folder(root_ / "plain"));  // a file is in the way
}

TEST_F(FilesTest, SizesOfFilesWithKoreanNames) {
    struct Case {
        const char* name;
        std::size_t size;
    };
    const Case cases[] = {{"empty.txt", 0}, {"보고서.doc", 4096}, {"벨로라 파일.vlr", 100001}};
    for (const auto& c : cases) {
        fs::path p = write(c.name, std::string(c.size, 'z'));
        EXPECT_EQ(platform::file_size(p), c.size) << c.name;
        EXPECT_EQ(platform::path_to_utf8(p.filename()), c.name);
    }
    EXPECT_FALSE(platform::file_size(root_ / "missing").has_value());
    EXPECT_FALSE(platform::file_size(root_).has_value());
}

TEST_F(FilesTest, FileTimesRoundTrip) {
    fs::path p = write("t.bin", "abc");
    using namespace std::chrono;
    platform::FileTimes wanted{system_clock::time_point(seconds(1262304000)),   // 2010-01-01
                               system_clock::time_point(seconds(1293840000))};  // 2011-01-01
    ASSERT_TRUE(platform::set_file_times(p, wanted));
    auto got = platform::file_times(p);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(duration_cast<seconds>(got->modified.time_since_epoch()).count(), 1262304000);
    EXPECT_EQ(duration_cast<seconds>(got->accessed.time_since_epoch()).count(), 1293840000);
    EXPECT_FALSE(platform::file_times(root_ / "missing").has_value());
    EXPECT_FALSE(platform::set_file_times(root_ / "missing", wanted));
}

TEST_F(FilesTest, FlushToDeviceKeepsWhatWasWritten) {
    fs::path p = root_ / "flushed";
    std::FILE* f = platform::open_file(p, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("zeros", f);
    EXPECT_TRUE(platform::flush_to_device(f));
    std::fclose(f);
    EXPECT_EQ(platform::file_size(p), 5u);
    EXPECT_FALSE(platform::flush_to_device(nullptr));
}

}  // namespace
