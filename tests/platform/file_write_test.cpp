// Exclusive temporaries, atomic replacement, staged outputs and the
// no-follow open for overwriting, on real folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/staged_output.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

class FileWriteTest : public ::testing::Test {
  protected:
    fs::path write(const std::string& name, const std::string& contents) {
        fs::path p = root_ / name;
        std::ofstream(p, std::ios::binary) << contents;
        return p;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // False where the system offers this user no symbolic links.
    static bool make_link(const fs::path& to, const fs::path& at) {
        std::error_code ec;
        fs::create_symlink(to, at, ec);
        return !ec;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(root_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    test_support::TempFolder folder_;
    const fs::path& root_ = folder_.path();
};

TEST_F(FileWriteTest, TrailingSeparatorsAreStrippedButRootsKept) {
    const fs::path sep(std::string(1, static_cast<char>(fs::path::preferred_separator)));
    struct Case {
        fs::path in, out;
    };
    const Case cases[] = {
        {"link", "link"}, {"link/", "link"},           {"link//", "link"},
        {"a/b/", "a/b"},  {fs::path("a") += sep, "a"}, {"/", "/"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::without_trailing_separators(c.in).generic_string(),
                  c.out.generic_string())
            << c.in;
}

TEST_F(FileWriteTest, TemporaryTakesTheFirstFreeNameAndLeavesOthersAlone) {
    const fs::path target = root_ / "report.txt";
    write("report.txt.part", "someone else's");
    write("report.txt.part1", "and another");
    auto temp = platform::create_temp_beside(target, ".part");
    ASSERT_TRUE(temp);
    EXPECT_EQ(temp->path, root_ / "report.txt.part2");
    std::fputs("new", temp->file.get());
    temp->file.reset();
    EXPECT_EQ(read(root_ / "report.txt.part"), "someone else's");
    EXPECT_EQ(read(root_ / "report.txt.part1"), "and another");
    EXPECT_EQ(read(temp->path), "new");
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(FileWriteTest, TemporaryInAMissingFolderFails) {
    EXPECT_FALSE(platform::create_temp_beside(root_ / "gone" / "x", ".tmp"));
    platform::StagedOutput out;
    EXPECT_FALSE(out.open(root_ / "gone" / "x"));
    EXPECT_EQ(platform::write_file_staged(root_ / "gone" / "x", std::vector<std::uint8_t>{1}),
              platform::WriteResult::open_failed);
}

// A link planted at the temporary's name, dangling or pointing at a file,
// must never receive the bytes written through the temporary.
TEST_F(FileWriteTest, PlantedLinksAtTheTemporaryNameGetNoBytes) {
    const fs::path victim = write("victim.txt", "precious");
    if (!make_link(root_ / "planted-nowhere", root_ / "out.bin.part") ||
        !make_link(victim, root_ / "out.bin.part1"))
        GTEST_SKIP() << "no symbolic links here";
    platform::StagedOutput out;
    ASSERT_TRUE(out.open(root_ / "out.bin"));
    EXPECT_EQ(out.temporary(), root_ / "out.bin.part2");
    std::fputs("secret plaintext", out.file());
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(read(root_ / "out.bin"), "secret plaintext");
    EXPECT_FALSE(fs::exists(root_ / "planted-nowhere"));
    EXPECT_EQ(read(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(root_ / "out.bin.part"));
    EXPECT_TRUE(fs::is_symlink(root_ / "out.bin.part1"));
}

TEST_F(FileWriteTest, CommitReplacesTheTargetAndDiscardLeavesItAsItWas) {
    const fs::path target = write("Proper.dat", "old");
    {
        platform::StagedOutput out;
        ASSERT_TRUE(out.open(target, ".tmp"));
        std::fputs("half", out.file());
        // no commit: destroyed as a failed run would leave it
    }
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"Proper.dat"});

    platform::StagedOutput out;
    ASSERT_TRUE(out.open(target, ".tmp"));
    std::fputs("new contents", out.file());
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(read(target), "new contents");
    EXPECT_EQ(names(), std::vector<std::string>{"Proper.dat"});
    EXPECT_FALSE(out.commit());  // nothing left to commit
}

TEST_F(FileWriteTest, FailedReplaceKeepsTheTargetAndRemovesTheTemporary) {
    // A non-empty folder cannot be replaced by a file.
    fs::create_directory(root_ / "busy");
    write("busy/inside", "stays");
    platform::StagedOutput out;
    ASSERT_TRUE(out.open(root_ / "busy"));
    std::fputs("x", out.file());
    EXPECT_FALSE(out.commit());
    EXPECT_EQ(read(root_ / "busy" / "inside"), "stays");
    EXPECT_EQ(names(), std::vector<std::string>{"busy"});
}

TEST_F(FileWriteTest, ReplacingALinkReplacesTheLinkNotItsTarget) {
    const fs::path victim = write("victim.txt", "precious");
    if (!make_link(victim, root_ / "key.lck")) GTEST_SKIP() << "no symbolic links here";
    const std::vector<std::uint8_t> bytes{4, 1, 2, 3};
    EXPECT_EQ(platform::write_file_staged(root_ / "key.lck", bytes), platform::WriteResult::ok);
    EXPECT_FALSE(fs::is_symlink(root_ / "key.lck"));
    EXPECT_EQ(read(root_ / "key.lck"), std::string("\x04\x01\x02\x03", 4));
    EXPECT_EQ(read(victim), "precious");
}

// Hiding a package in a read-only picture, or renewing a private key,
// must not leave the file open to everyone: a replaced file keeps its
// permissions, and a new one gets what any new file gets here.
TEST_F(FileWriteTest, ReplacedFilesKeepTheirPermissions) {
    using fs::perms;
    const fs::path probe = write("probe", "");
    const perms fresh = fs::status(probe).permissions();
    fs::remove(probe);
    struct Case {
        const char* name;
        std::optional<perms> before;
    };
    const Case cases[] = {
        {"picture.bmp", perms(0444)},
        {"private.lck", perms(0600)},
        {"tool.sh", perms(0755)},
        {"new.txt", std::nullopt},
    };
    const std::vector<std::uint8_t> bytes{'n', 'e', 'w'};
    for (const Case& c : cases) {
        const fs::path target = root_ / c.name;
        perms expected = fresh;
        if (c.before) {
            write(c.name, "old");
            fs::permissions(target, *c.before);
            expected = fs::status(target).permissions();  // as this system shows it
        }
        const platform::WriteResult result = platform::write_file_staged(target, bytes);
        const bool replaced = result == platform::WriteResult::ok;
#ifdef _WIN32
        // Windows refuses to move onto a read-only file, Wine does not;
        // either way the file is whole and keeps its mark.
        if ((expected & perms::owner_write) != perms::none) {
            EXPECT_TRUE(replaced) << c.name;
        }
#else
        EXPECT_TRUE(replaced) << c.name;  // a rename asks only the folder
#endif
        EXPECT_EQ(read(target), replaced ? "new" : "old") << c.name;
        EXPECT_EQ(fs::status(target).permissions(), expected) << c.name;
        fs::permissions(target, perms::owner_write, fs::perm_options::add);
    }
    EXPECT_EQ(names(),
              (std::vector<std::string>{"new.txt", "picture.bmp", "private.lck", "tool.sh"}));
#ifdef _WIN32
    // The marks permissions cannot show: a hidden system file stays one.
    const fs::path hidden = write("hidden.dat", "old");
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), marks));
    EXPECT_EQ(platform::write_file_staged(hidden, bytes), platform::WriteResult::ok);
    EXPECT_EQ(read(hidden), "new");
    EXPECT_EQ(GetFileAttributesW(hidden.c_str()) & marks, marks);
#endif
}

TEST_F(FileWriteTest, OverwriteOpenTakesOnlyRegularFilesThroughTheirOwnName) {
    const fs::path file = write("plain.txt", "plain");
    fs::create_directory(root_ / "folder");
    write("folder/inner.txt", "inner");
    struct Case {
        fs::path path;
        platform::OverwriteOpen expected;
    };
    std::vector<Case> cases = {
        {file, platform::OverwriteOpen::opened},
        {root_ / "missing.txt", platform::OverwriteOpen::missing},
        {root_ / "folder", platform::OverwriteOpen::not_regular},
    };
    if (make_link(file, root_ / "file-link")) {
        fs::create_directory_symlink(root_ / "folder", root_ / "folder-link");
        fs::create_symlink(root_ / "nowhere", root_ / "dangling");
        for (const char* name : {"file-link", "folder-link", "dangling"})
            cases.push_back({root_ / name, platform::OverwriteOpen::not_regular});
        // As shell completion writes it: must still mean the link itself.
        cases.push_back({root_ / "folder-link/", platform::OverwriteOpen::not_regular});
        cases.push_back({root_ / "file-link/", platform::OverwriteOpen::not_regular});
    }
    for (const Case& c : cases) {
        platform::OverwriteTarget t = platform::open_for_overwrite(c.path);
        EXPECT_EQ(t.status, c.expected) << c.path;
        EXPECT_EQ(t.file != nullptr, c.expected == platform::OverwriteOpen::opened) << c.path;
        if (t.file) {
            // Opened for update in place: nothing truncated, writes land.
            EXPECT_EQ(std::fgetc(t.file.get()), 'p');
            ASSERT_TRUE(platform::stream_seek(t.file.get(), 0));
            std::fputs("PL", t.file.get());
        }
    }
    EXPECT_EQ(read(file), "PLain");
    EXPECT_EQ(read(root_ / "folder" / "inner.txt"), "inner");
    EXPECT_FALSE(fs::exists(root_ / "nowhere"));
}

TEST_F(FileWriteTest, OverwriteOpenOfAReadOnlyFileIsDenied) {
    const fs::path file = write("readonly.txt", "keep");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    platform::OverwriteTarget t = platform::open_for_overwrite(file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    if (t.status == platform::OverwriteOpen::opened)
        GTEST_SKIP() << "this user may write read-only files (root)";
    EXPECT_EQ(t.status, platform::OverwriteOpen::denied);
    EXPECT_EQ(read(file), "keep");
}

}  // namespace
