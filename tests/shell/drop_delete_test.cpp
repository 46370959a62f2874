#include "shell/drop_delete.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "shell/progress_window.h"
#include "tests/shell/fixture.h"
#include "ui/scripted/scripted.h"

namespace {

namespace fs = std::filesystem;
using shell_test::read_file;
using shell_test::write_file;
using ui::Answer;
using ui::ShownBox;

const ShownBox kConfirm{"해당파일을 완전삭제 하시겠습니까? \n(주의: 삭제 후 복구가 되지 않아요.)",
                        "벨로라", ui::mb::ok_cancel, Answer::ok};
const ShownBox kDeleted{"해당 파일이 삭제 되었습니다.", "확인", ui::mb::ok, Answer::ok};
const ShownBox kTooLarge{"한번에 삭제 할 수 있는 용량인 1.5G를 초과하였습니다.", "경고", ui::mb::ok,
                         Answer::ok};

class DropDelete : public ::testing::Test {
  protected:
    fs::path make(const std::string& relative, const std::string& contents = "secret data") {
        fs::path p = root() / relative;
        fs::create_directories(p.parent_path());
        write_file(p, contents);
        return p;
    }
    const fs::path& root() const { return folder_.path(); }
    void drop(const std::vector<fs::path>& items, Answer answer = Answer::ok) {
        ui_.answer_box(answer);
        shell::delete_dropped_items(items, ports_);
    }

    shell_test::TempFolder folder_;
    shell_test::ObservingClock clock_;
    ui::ScriptedInteraction ui_;
    shell::DeletionPorts ports_{clock_, ui_, nullptr, {}};
};

TEST_F(DropDelete, CancelledConfirmationDeletesNothing) {
    fs::path a = make("a.txt");
    fs::path tree = make("tree/b.txt").parent_path();
    ShownBox cancelled = kConfirm;
    cancelled.answer = Answer::cancel;
    drop({a, tree}, Answer::cancel);
    EXPECT_EQ(ui_.boxes(), std::vector<ShownBox>{cancelled});
    EXPECT_EQ(read_file(a), "secret data");
    EXPECT_TRUE(fs::exists(tree / "b.txt"));
    EXPECT_TRUE(ui_.windows().empty());
}

TEST_F(DropDelete, FilesAreOverwrittenWipedAndReported) {
    fs::path a = make("a.txt", std::string(4096, 'x'));
    fs::path b = make("empty.txt", "");
    std::vector<std::string> seen_before_rename;
    ports_.before_rename = [&](const fs::path& p) { seen_before_rename.push_back(read_file(p)); };
    drop({a, b});
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(seen_before_rename, (std::vector<std::string>{std::string(4096, '\0'), ""}));
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kDeleted}));
    EXPECT_EQ(ui_.windows().size(), 2u);  // one progress window per file
    EXPECT_TRUE(fs::is_empty(root()));
}

TEST_F(DropDelete, LimitMessageStopsTheRunAfterEarlierFilesAreGone) {
    fs::path first = make("1.txt");
    fs::path second = make("2.bin", "");
    fs::resize_file(second, shell::kSizeLimit + 1);  // sparse
    fs::path third = make("3.txt");
    drop({first, second, third});
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::exists(second));
    EXPECT_EQ(read_file(third), "secret data");
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kTooLarge}));
}

TEST_F(DropDelete, FileAtTheLimitIsAccepted) {
    fs::path exact = make("exact.bin", "");
    fs::resize_file(exact, shell::kSizeLimit);
    // Cancel its overwrite at once: only the acceptance is of interest here.
    ui_.on_pump([&] { ui_.windows().back().click(shell::progress_ids::kCancel); });
    drop({exact});
    EXPECT_EQ(ui_.boxes(), std::vector<ShownBox>{kConfirm});
    EXPECT_EQ(ui_.windows().size(), 1u);
}

// A careless drop naming one file twice (and a folder twice): each goes
// once, the rest of the drop is still handled and the end is reported.
TEST_F(DropDelete, ItemNamedTwiceInADropIsHandledOnce) {
    fs::path a = make("a.txt");
    fs::path tree = make("tree/b.txt").parent_path();
    fs::path last = make("last.txt");
    drop({a, a, tree, tree / "", last});
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_FALSE(fs::exists(last));
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kDeleted}));
    EXPECT_EQ(ui_.windows().size(), 3u);  // one progress window per file
}

// A file named on its own after (or before) the folder that holds it: the
// walk and the item take it once between them, and the end is reported.
TEST_F(DropDelete, ItemInsideADroppedFolderIsHandledOnce) {
    struct Case {
        const char* name;
        bool file_first;
    };
    for (const Case& c : {Case{"folder first", false}, Case{"file first", true}}) {
        SCOPED_TRACE(c.name);
        const std::size_t shown = ui_.boxes().size();
        fs::path inner = make("box/inner.txt");
        fs::path box = inner.parent_path();
        fs::path last = make("after.txt");
        std::vector<fs::path> items{box, box / "." / "inner.txt", last};
        if (c.file_first) std::swap(items[0], items[1]);
        drop(items);
        EXPECT_FALSE(fs::exists(box));
        EXPECT_FALSE(fs::exists(last));
        EXPECT_EQ(std::vector<ShownBox>(ui_.boxes().begin() + shown, ui_.boxes().end()),
                  (std::vector<ShownBox>{kConfirm, kDeleted}));
    }
}

TEST_F(DropDelete, UnreadableItemEndsTheRunSilently) {
    fs::path later = make("later.txt");
    drop({root() / "missing.txt", later});
    EXPECT_EQ(ui_.boxes(), std::vector<ShownBox>{kConfirm});
    EXPECT_TRUE(fs::exists(later));
}

TEST_F(DropDelete, TreeIsRemovedBottomUpAndDotFoldersAreSkipped) {
    fs::path tree = root() / "tree";
    make("tree/a.txt");
    make("tree/.profile");  // a file, not a folder: deleted
    make("tree/sub/b.txt");
    make("tree/sub/deeper/c.txt", std::string(10000, 'c'));
    make("tree/.cache/kept.txt");
    fs::path clean = root() / "clean";
    make("clean/x/y/z.txt");
    drop({tree, clean});

    EXPECT_FALSE(fs::exists(clean));
    EXPECT_TRUE(fs::exists(tree));  // .cache is left, so the root stays
    std::set<std::string> left;
    for (const auto& e : fs::recursive_directory_iterator(tree)) {
        left.insert(fs::relative(e.path(), tree).generic_string());
    }
    EXPECT_EQ(left, (std::set<std::string>{".cache", ".cache/kept.txt"}));
    EXPECT_EQ(read_file(tree / ".cache" / "kept.txt"), "secret data");
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kDeleted}));
}

TEST_F(DropDelete, CancelledFileStaysWhetherDroppedOrFoundInAFolder) {
    fs::path direct = make("direct.txt", std::string(9000, 'd'));
    fs::path other = make("other.txt");
    fs::path nested = make("folder/nested.txt", std::string(9000, 'n'));
    // Cancel the first and the third progress window.
    ui_.on_pump([&] {
        auto n = ui_.windows().size();
        auto& w = ui_.windows().back();
        if ((n == 1 || n == 3) && !w.destroyed()) w.click(shell::progress_ids::kCancel);
    });
    drop({direct, other, nested.parent_path()});
    EXPECT_TRUE(fs::exists(direct));
    EXPECT_EQ(read_file(direct).substr(0, 4096), std::string(4096, '\0'));  // partly overwritten
    EXPECT_FALSE(fs::exists(other));
    EXPECT_TRUE(fs::exists(nested));
    EXPECT_TRUE(fs::exists(nested.parent_path()));
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kDeleted}));
}

TEST_F(DropDelete, NothingReallyDeletedMeansNoSuccessMessage) {
    fs::path f = make("f.txt", std::string(5000, 'f'));
    ui_.on_pump([&] { ui_.windows().back().click(shell::progress_ids::kCancel); });
    drop({f});
    EXPECT_EQ(ui_.boxes(), std::vector<ShownBox>{kConfirm});
}

#ifndef _WIN32
TEST_F(DropDelete, LinksAreRemovedAsLinksAndTheirTargetsSurvive) {
    fs::path outside_file = make("outside/target.txt", "keep me");
    fs::path outside_dir = make("outside/dir/inner.txt", "keep me too").parent_path();
    fs::path tree = root() / "tree";
    make("tree/own.txt");
    fs::create_symlink(outside_file, tree / "file-link");
    fs::create_directory_symlink(outside_dir, tree / "dir-link");
    fs::create_symlink(root() / "nowhere", tree / "dangling");
    fs::create_symlink(outside_file, root() / "dropped-link");

    drop({tree, root() / "dropped-link"});
    EXPECT_FALSE(fs::exists(fs::symlink_status(root() / "dropped-link")));
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_EQ(read_file(outside_file), "keep me");
    EXPECT_EQ(read_file(outside_dir / "inner.txt"), "keep me too");
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kDeleted}));
}

// A link dropped with a trailing separator (as a typed or completed path
// has it) is still the link: removed, and its folder left alone.
TEST_F(DropDelete, TrailingSeparatorDoesNotFollowALink) {
    fs::path outside_dir = make("outside/inner.txt", "keep me").parent_path();
    fs::create_directory_symlink(outside_dir, root() / "dir-link");
    drop({fs::path((root() / "dir-link").string() + "/")});
    EXPECT_FALSE(fs::exists(fs::symlink_status(root() / "dir-link")));
    EXPECT_EQ(read_file(outside_dir / "inner.txt"), "keep me");
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, kDeleted}));
}

// What the deletion cannot open for writing (a named pipe fails the open
// for root as well) is kept and named in a warning, dropped directly or
// met in a folder; the run goes on with the other items.
TEST_F(DropDelete, WhatCannotBeOverwrittenIsKeptAndNamed) {
    fs::path first = make("first.txt");
    fs::path pipe = root() / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::path tree = make("tree/inner.txt").parent_path();
    ASSERT_EQ(mkfifo((tree / "pipe").c_str(), 0600), 0);
    fs::path last = make("last.txt");

    drop({first, pipe, tree, last});
    auto not_wiped = [](const fs::path& p) {
        return ShownBox{std::string(shell::kNotWiped) + "\n" + p.string(), "경고", ui::mb::ok,
                        Answer::ok};
    };
    EXPECT_EQ(ui_.boxes(), (std::vector<ShownBox>{kConfirm, not_wiped(pipe),
                                                  not_wiped(tree / "pipe"), kDeleted}));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_fifo(tree / "pipe"));
    EXPECT_FALSE(fs::exists(tree / "inner.txt"));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(last));
}
#endif

// The walk on behalf of the encrypt list: files go to the list, nothing is
// deleted, and a refused file ends only the walk of its own folder.
TEST_F(DropDelete, WalkForAListAddsFilesAndStopsOnlyTheCurrentFolder) {
    fs::path tree = root() / "tree";
    make("tree/top.txt");
    make("tree/bad/refused.txt");
    make("tree/good/fine.txt");
    make("tree/.git/config");
    std::set<std::string> offered;
    shell::DropRun run;
    run.target = shell::drop_ids::kEncryptList;
    run.add_to_list = [&](const fs::path& p) {
        offered.insert(p.filename().string());
        return p.filename() != "refused.txt";
    };
    shell::WalkDroppedFolder(tree, run);
    EXPECT_EQ(offered, (std::set<std::string>{"top.txt", "refused.txt", "fine.txt"}));
    EXPECT_TRUE(fs::exists(tree / "top.txt"));
    EXPECT_FALSE(run.deleted_any);
    EXPECT_TRUE(ui_.boxes().empty());
}

}  // namespace
