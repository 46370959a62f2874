#include "shell/secure_delete.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "shell/progress_window.h"
#include "tests/shell/fixture.h"
#include "ui/scripted/scripted.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using shell_test::read_file;
using shell_test::write_file;

std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

std::vector<fs::path> listing(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename());
    return out;
}

class SecureDelete : public ::testing::Test {
  protected:
    shell_test::TempFolder folder_;
    shell_test::ObservingClock clock_;
    ui::ScriptedInteraction ui_;
    platform::MemoryProfile profile_;
    shell::DeletionPorts ports_{clock_, ui_, &profile_, {}};
};

TEST_F(SecureDelete, ZerosReachTheFileThenARandomNameOfTheSameLength) {
    struct Case {
        const char* name;
        std::size_t size;
        std::size_t name_bytes;
    };
    const Case cases[] = {
        {"empty.bin", 0, 9},       {"report.txt", 4096, 10}, {"a", 1, 1},
        {"block+1.dat", 4097, 11}, {"보고서.txt", 9000, 10}, {"big.bin", 100000, 7},
        {"x.y", 4095, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path file = folder_.path() / platform::path_from_utf8(c.name);
        write_file(file, pattern(c.size));

        std::string before_rename;
        ports_.before_rename = [&](const fs::path& p) { before_rename = read_file(p); };
        std::vector<fs::path> during_wipe;
        clock_.on_sleep = [&](std::chrono::milliseconds d) {
            if (d == 500ms) during_wipe = listing(folder_.path());
        };

        EXPECT_EQ(shell::OverwriteFile(file, false, ports_), 1);
        EXPECT_EQ(read_file(file), std::string(c.size, '\0'));
        bool removed = false;
        EXPECT_EQ(shell::WipeFile(file, ports_, &removed), 1);
        EXPECT_TRUE(removed);
        EXPECT_EQ(before_rename, std::string(c.size, '\0'));

        ASSERT_EQ(during_wipe.size(), 1u);
        std::string random_name = platform::path_to_utf8(during_wipe[0]);
        EXPECT_EQ(random_name.size(), c.name_bytes);
        for (char ch : random_name) {
            EXPECT_GE(ch, 65);
            EXPECT_LE(ch, 121);
        }
        EXPECT_TRUE(listing(folder_.path()).empty());
    }
    EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(SecureDelete, WaitsGoThroughTheClock) {
    fs::path file = folder_.path() / "w.txt";
    write_file(file, "abc");
    shell::OverwriteFile(file, false, ports_);
    EXPECT_EQ(clock_.total_slept(), 1000ms);
    shell::WipeFile(file, ports_);
    EXPECT_EQ(clock_.total_slept(), 1500ms);
}

TEST_F(SecureDelete, ProgressWindowFollowsTheBlocksThenTheSlowTail) {
    struct Case {
        std::size_t size;
        std::vector<int> block_positions;  // before the 100..150 tail
    };
    const Case cases[] = {
        {0, {}},
        {4096, {}},  // written in one piece after the block loop
        {4097, {99}},
        {12289, {33, 66, 99}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        fs::path file = folder_.path() / "p.bin";
        write_file(file, pattern(c.size));
        auto slept_before = clock_.total_slept();
        EXPECT_EQ(shell::OverwriteFile(file, true, ports_), 1);
        EXPECT_EQ(clock_.total_slept() - slept_before, 50 * 500ms + 1000ms);

        const auto& view = ui_.windows().back();
        std::vector<int> expected = c.block_positions;
        for (int p = 100; p <= 150; ++p) expected.push_back(p);
        EXPECT_EQ(view.control(shell::progress_ids::kBar).positions, expected);
        EXPECT_EQ(view.control(shell::progress_ids::kBar).upper, 150);
        EXPECT_EQ(view.titles().front(), "파일 영구 삭제");
        EXPECT_EQ(view.titles().back(), "파일 영구 삭제 [100%]");
        EXPECT_EQ(view.text(shell::progress_ids::kText), platform::path_to_utf8(file));
        EXPECT_TRUE(view.destroyed());
        EXPECT_EQ(read_file(file), std::string(c.size, '\0'));
    }
}

TEST_F(SecureDelete, CancelReturnsZeroAndLeavesTheFile) {
    struct Case {
        int cancel_at_pump;  // 1-based
        std::size_t zeroed;  // bytes overwritten when cancelled
    };
    const std::size_t size = 5 * 4096 + 10;
    const Case cases[] = {{1, 4096}, {3, 3 * 4096}, {20, size}};  // 20: in the tail
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancel_at_pump);
        ui::ScriptedInteraction ui;
        shell::DeletionPorts ports{clock_, ui, nullptr, {}};
        fs::path file = folder_.path() / "c.bin";
        write_file(file, pattern(size));
        int pumps = 0;
        ui.on_pump([&] {
            if (++pumps == c.cancel_at_pump)
                ui.windows().back().click(shell::progress_ids::kCancel);
        });
        EXPECT_EQ(shell::OverwriteFile(file, true, ports), 0);
        std::string expected = pattern(size);
        std::fill(expected.begin(), expected.begin() + static_cast<long>(c.zeroed), '\0');
        EXPECT_EQ(read_file(file), expected);
        EXPECT_TRUE(ui.windows().back().destroyed());
    }
}

// Whatever cannot be opened for writing is not overwritten, and the caller
// is told to keep it: deleting it unwiped would leave the contents readable
// through any other link to it. A folder where a file was expected fails
// the open for every user, root included.
TEST_F(SecureDelete, WhatCannotBeOpenedForWritingIsReportedNotWiped) {
    fs::path folder = folder_.path() / "not-a-file";
    fs::create_directory(folder);
    write_file(folder / "inside.txt", "kept");
    const fs::path cases[] = {folder, folder_.path() / "missing"};
    for (const fs::path& path : cases) {
        SCOPED_TRACE(path);
        ui::ScriptedInteraction ui;
        shell::DeletionPorts ports{clock_, ui, nullptr, {}};
        EXPECT_EQ(shell::OverwriteFile(path, true, ports), 0);
        EXPECT_TRUE(ui.windows().empty());
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0],
                  (ui::ShownBox{std::string(shell::kNotWiped) + "\n" + platform::path_to_utf8(path),
                                "경고", ui::mb::ok}));
    }
    EXPECT_EQ(read_file(folder / "inside.txt"), "kept");
}

// A read-only file in a writable folder: the deletion that lost data
// unlinked it unwiped while a second hard link still showed the contents.
TEST_F(SecureDelete, ReadOnlyFileIsNeitherOverwrittenNorDeleted) {
    fs::path file = folder_.path() / "secret.txt";
    write_file(file, "plaintext");
    std::error_code ec;
    const fs::path second = folder_.path() / "second-link.txt";
    fs::create_hard_link(file, second, ec);
    const bool linked = !ec;
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (platform::open_for_overwrite(file).file) {
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
        GTEST_SKIP() << "this user may write read-only files (root)";
    }
    EXPECT_EQ(shell::OverwriteFile(file, false, ports_), 0);
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(ui_.boxes()[0].text,
              std::string(shell::kNotWiped) + "\n" + platform::path_to_utf8(file));
    EXPECT_EQ(read_file(file), "plaintext");
    if (linked) {
        EXPECT_EQ(read_file(second), "plaintext");
    }
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

#ifndef _WIN32
// A file-size limit below the file's end makes the kernel refuse writes
// past it: a short write in the block loop or in the last piece.
TEST_F(SecureDelete, ShortWritesAreReported) {
    struct Case {
        std::size_t size;
        rlim_t limit;
    };
    const Case cases[] = {{10000, 5000}, {9000, 8192}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        ui::ScriptedInteraction ui;
        shell::DeletionPorts ports{clock_, ui, nullptr, {}};
        fs::path file = folder_.path() / "short.bin";
        write_file(file, pattern(c.size));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        int result = shell::OverwriteFile(file, true, ports);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, old_handler);

        EXPECT_EQ(result, 0);
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0], (ui::ShownBox{"file write error", "comfirm", ui::mb::ok}));
        EXPECT_TRUE(ui.windows().back().destroyed());
        EXPECT_TRUE(fs::exists(file));
    }
}
#endif

// A file that cannot be deleted keeps its own name and is not counted.
TEST_F(SecureDelete, UndeletableFileKeepsItsName) {
    fs::path file = folder_.path() / "keep.txt";
    write_file(file, "data");
#ifdef _WIN32
    fs::permissions(file, fs::perms::all, fs::perm_options::remove);  // read-only attribute
#else
    if (geteuid() == 0) GTEST_SKIP() << "root deletes in read-only folders";
    fs::permissions(folder_.path(), fs::perms::owner_write, fs::perm_options::remove);
#endif
    bool removed = true;
    EXPECT_EQ(shell::WipeFile(file, ports_, &removed), 0);
    EXPECT_FALSE(removed);
    EXPECT_EQ(listing(folder_.path()), std::vector<fs::path>{"keep.txt"});
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(ui_.boxes()[0],
              (ui::ShownBox{std::string(shell::kNotRemoved) + "\n" + platform::path_to_utf8(file),
                            "경고", ui::mb::ok}));
    fs::permissions(file, fs::perms::owner_all, fs::perm_options::add);
    fs::permissions(folder_.path(), fs::perms::owner_all, fs::perm_options::add);
}

// The final removal failing for every user, root included: the file is
// swapped for a non-empty folder just before the rename, as another
// program could. The failure is reported and what is there keeps its name.
TEST_F(SecureDelete, FailedRemovalIsReportedNeverIgnored) {
    fs::path file = folder_.path() / "swapped.txt";
    write_file(file, "data");
    ports_.before_rename = [](const fs::path& p) {
        fs::remove(p);
        fs::create_directory(p);
        write_file(p / "inside", "x");
    };
    bool removed = true;
    EXPECT_EQ(shell::WipeFile(file, ports_, &removed), 0);
    EXPECT_FALSE(removed);
    EXPECT_EQ(listing(folder_.path()), std::vector<fs::path>{"swapped.txt"});
    EXPECT_EQ(read_file(file / "inside"), "x");
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(ui_.boxes()[0].text,
              std::string(shell::kNotRemoved) + "\n" + platform::path_to_utf8(file));
}

}  // namespace
