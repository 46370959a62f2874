#include "platform/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::path_from_utf8;

class FilesTest : public ::testing::Test {
  protected:
    fs::path write(const std::string& utf8_name, const std::string& contents) {
        fs::path p = root_ / path_from_utf8(utf8_name);
        platform::FilePtr f = platform::open_file(p, "wb");
        EXPECT_NE(f, nullptr);
        if (f != nullptr) std::fwrite(contents.data(), 1, contents.size(), f.get());
        return p;
    }
    test_support::TempFolder folder_;
    const fs::path root_ = folder_.path();
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
    platform::FilePtr f = platform::open_file(p, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("zeros", f.get());
    EXPECT_TRUE(platform::flush_to_device(f.get()));
    f.reset();
    EXPECT_EQ(platform::file_size(p), 5u);
    EXPECT_FALSE(platform::flush_to_device(nullptr));
}

}  // namespace

namespace {

// Sizes past 4 GiB need 64-bit positions (long is 32 bits on Windows).
TEST_F(FilesTest, StreamSizeOfLargeSparseFiles) {
    const std::uint64_t sizes[] = {0, 4096, 0x80000001ULL, 0x140000000ULL};
    for (std::uint64_t size : sizes) {
        fs::path p = write("sparse.bin", "");
        fs::resize_file(p, size);
        platform::FilePtr f = platform::open_file(p, "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(platform::stream_size(f.get()), size);
        EXPECT_EQ(std::fgetc(f.get()), size == 0 ? EOF : 0);  // back at the start
        EXPECT_TRUE(platform::stream_seek(f.get(), size));
        EXPECT_EQ(std::fgetc(f.get()), EOF);
        f.reset();
        fs::remove(p);
    }
    EXPECT_FALSE(platform::stream_size(nullptr).has_value());
}

TEST_F(FilesTest, PlainFilesAndFoldersAreNotLinks) {
    fs::path file = write("f.txt", "x");
    fs::create_directory(root_ / "d");
    for (const fs::path& p : {file, root_ / "d", root_ / "missing"}) {
        EXPECT_FALSE(platform::is_link(p)) << p;
        EXPECT_FALSE(platform::remove_link(p)) << p;
    }
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(fs::exists(root_ / "d"));
}

#ifndef _WIN32
TEST_F(FilesTest, LinksAreRemovedWithoutTheirTargets) {
    fs::path file = write("target.txt", "keep");
    fs::create_directory(root_ / "dir");
    write("dir/inner.txt", "keep too");
    fs::create_symlink(file, root_ / "file-link");
    fs::create_directory_symlink(root_ / "dir", root_ / "dir-link");
    fs::create_symlink(root_ / "nowhere", root_ / "dangling");
    for (const char* name : {"file-link", "dir-link", "dangling"}) {
        EXPECT_TRUE(platform::is_link(root_ / name)) << name;
        EXPECT_TRUE(platform::remove_link(root_ / name)) << name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / name))) << name;
    }
    EXPECT_EQ(platform::file_size(file), 4u);
    EXPECT_EQ(platform::file_size(root_ / "dir" / "inner.txt"), 8u);
}
#endif

}  // namespace
