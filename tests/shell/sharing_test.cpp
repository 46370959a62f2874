// Sessions on the file-sharing page: the key list, choosing recipients,
// confirming them, exporting keys, and a shared package opened by each
// recipient.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/text.h"
#include "shell/main_window.h"
#include "tests/shell/window_fixture.h"

namespace {

using namespace shell;
using namespace shell::main_ids;
using namespace shell::sharing_ids;
using ui::ScriptedView;
namespace fs = std::filesystem;

class SharingSession : public shell_test::WindowSession {
  protected:
    // Keys handed to the user, put into the Key folder by hand.
    void put_key(const std::string& name, const std::string& bytes) {
        fs::create_directories(key_folder());
        shell_test::write_file(key_folder() / fs::u8path(name), bytes);
    }
};

// The 43 bytes of a key file as they appear on disk.
std::string fake_key(char fill) {
    std::string k(43, fill);
    k[0] = '\x04';
    return k;
}

TEST_F(SharingSession, RefusedWhileHidingInPictures) {
    store_settings({package::stored(package::EncryptMode::Pictures), 0, 0, 0});
    open_main(Page::decrypt);
    click(kSharingTab);
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(ui_.boxes()[0].text,
              "현재 '파일공유'암호화를 사용하계십니다. \n'파일공유'암호화는 'BMP 파일에 숨김' "
              "기능을 지원하지 않습니다.");
    EXPECT_EQ(main_->page(), Page::encrypt);
    EXPECT_TRUE(visible(kFiles));
    EXPECT_FALSE(visible(kKeys));
}

TEST_F(SharingSession, KeyListComesFromTheKeyFolderEachTimeThePageIsShown) {
    store_settings({});
    open_main(Page::encrypt);
    put_key("bob.lck", fake_key('b'));
    put_key("alice.lck", fake_key('a'));
    put_key("notes.txt", "not a key");
    put_key("upper.LCK", fake_key('u'));
    click(kSharingTab);
    EXPECT_EQ(rows(kKeys), (std::vector<std::string>{"alice.lck", "bob.lck"}));
    for (ui::ControlId id : page_controls(Page::sharing)) EXPECT_TRUE(visible(id)) << id;
    EXPECT_FALSE(visible(kFiles));

    // A key copied in by hand appears the next time the page is shown.
    put_key("carol.lck", fake_key('c'));
    click(kEncryptTab);
    click(kSharingTab);
    EXPECT_EQ(rows(kKeys), (std::vector<std::string>{"alice.lck", "bob.lck", "carol.lck"}));
}

TEST_F(SharingSession, ChoosingAndConfirmingRecipients) {
    store_settings({});
    for (const char* name : {"alice.lck", "bob.lck", "carol.lck"}) put_key(name, fake_key(name[0]));
    open_main(Page::sharing);

    // "다음" with nobody chosen.
    click(kNext);
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ((std::pair(ui_.boxes()[0].text, ui_.boxes()[0].caption)),
              (std::pair<std::string, std::string>("공유키 파일을 선택해 주세요", "경고")));
    EXPECT_EQ(main_->page(), Page::sharing);
    new_boxes();

    // Carol, then alice: the recipient list keeps itself sorted.
    view_.select(kKeys, 2);
    click(kAdd);
    EXPECT_EQ(view_.selected_rows(kKeys), std::vector<int>{});
    view_.select(kKeys, 0);
    click(kAdd);
    EXPECT_EQ(rows(kRecipients), (std::vector<std::string>{"alice.lck", "carol.lck"}));

    // The same key twice.
    view_.select(kKeys, 0);
    click(kAdd);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"이미 추가 된 인증서 입니다.\nalice.lck"});
    EXPECT_EQ(rows(kRecipients), (std::vector<std::string>{"alice.lck", "carol.lck"}));

    click(kNext);
    EXPECT_EQ(main_->page(), Page::encrypt);
    const std::vector<fs::path> both = {key_folder() / "alice.lck", key_folder() / "carol.lck"};
    EXPECT_EQ(main_->recipients().paths, both);
    EXPECT_TRUE(main_->recipients().confirmed);

    // Confirming again rebuilds the list instead of appending to it.
    click(kSharingTab);
    click(kNext);
    EXPECT_EQ(main_->recipients().paths, both);

    // "<-" takes carol away, and the old confirmation with her.
    click(kSharingTab);
    view_.select(kRecipients, 1);
    click(kRemove);
    EXPECT_EQ(rows(kRecipients), std::vector<std::string>{"alice.lck"});
    EXPECT_FALSE(main_->recipients().confirmed);
    EXPECT_TRUE(main_->recipients().paths.empty());
    click(kNext);
    EXPECT_EQ(main_->recipients().paths, std::vector<fs::path>{key_folder() / "alice.lck"});
}

TEST_F(SharingSession, ExportCopiesKeysAndHandlesNameClashes) {
    store_settings({});
    put_key("alice.lck", fake_key('a'));
    put_key("bob.lck", fake_key('b'));
    const fs::path target = out() / "usb";
    fs::create_directories(target);
    open_main(Page::sharing);

    // Nothing selected.
    click(kExport);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"내보낼 공유키를 선택해 주세요."});

    // The folder browser cancelled: nothing at all.
    view_.select(kKeys, 0);
    ui_.answer_folder(std::nullopt);
    click(kExport);
    EXPECT_TRUE(new_boxes().empty());
    EXPECT_TRUE(fs::is_empty(target));

    // Into an empty folder.
    ui_.answer_folder(target);
    click(kExport);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"선택된 공유키가 복사되었습니다."});
    EXPECT_EQ(shell_test::read_file(target / "alice.lck"), fake_key('a'));
    EXPECT_TRUE(view_.selected_rows(kKeys).empty());

    // A same-named file there and the save dialog cancelled: the file is
    // untouched and no success is claimed.
    shell_test::write_file(target / "bob.lck", "someone else's key");
    view_.select(kKeys, 1);
    ui_.answer_folder(target);
    ui_.answer_save(std::nullopt);
    click(kExport);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"동일한 파일명이 있습니다."});
    EXPECT_EQ(shell_test::read_file(target / "bob.lck"), "someone else's key");
    const ui::FileDialogOptions& save = ui_.file_dialogs().back();
    EXPECT_EQ(save.filter, "공유키 파일 (*.lck)|*.lck|");
    EXPECT_EQ(save.initial_name, "bob.lck");
    EXPECT_EQ(save.initial_folder, target);

    // The same clash answered with another name.
    view_.select(kKeys, 1);
    ui_.answer_folder(target);
    ui_.answer_save(target / "bob-2.lck");
    click(kExport);
    EXPECT_EQ(new_boxes(), (std::vector<std::string>{"동일한 파일명이 있습니다.",
                                                     "선택된 공유키가 복사되었습니다."}));
    EXPECT_EQ(shell_test::read_file(target / "bob-2.lck"), fake_key('b'));
    EXPECT_EQ(shell_test::read_file(target / "bob.lck"), "someone else's key");
    // No temporary file is left beside the copies.
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 3);

    // A key file that vanished since the list was filled.
    fs::remove(key_folder() / "alice.lck");
    view_.select(kKeys, 0);
    ui_.answer_folder(out());
    click(kExport);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"선택된 공유키 열기 오류"});
    EXPECT_FALSE(fs::exists(out() / "alice.lck"));
}

TEST_F(SharingSession, PackageForTwoKeysOpensWithEachPassword) {
    store_settings({});
    open_main(Page::encrypt);
    create_key("alice", "alice-password");
    create_key("밥", "밥의비밀번호");
    EXPECT_EQ(new_boxes(),
              (std::vector<std::string>{"사용 가능합니다.", "공유키가 생성되었습니다.",
                                        "사용 가능합니다.", "공유키가 생성되었습니다."}));

    click(kSharingTab);
    ASSERT_EQ(rows(kKeys), (std::vector<std::string>{"alice.lck", "밥.lck"}));
    for (int row : {0, 1}) {
        view_.select(kKeys, row);
        click(kAdd);
    }
    click(kNext);
    ASSERT_EQ(main_->page(), Page::encrypt);

    const fs::path plan = make_file("plan.txt", "meet at noon");
    ui_.answer_open_files({plan});
    click(kAddFiles);
    click(kEncrypt);  // no password is asked for a shared package
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"성공적으로 암호화되었습니다."});
    EXPECT_FALSE(main_->recipients().confirmed);
    EXPECT_TRUE(main_->recipients().paths.empty());
    const fs::path package = in("plan.txt.vlr");
    ASSERT_TRUE(fs::exists(package));

    struct Opener {
        const char* who;
        const char* password;
    } openers[] = {{"alice", "alice-password"}, {"bob", "밥의비밀번호"}};
    click(kDecryptTab);
    for (const Opener& o : openers) {
        SCOPED_TRACE(o.who);
        const fs::path folder = out() / o.who;
        fs::create_directories(folder);
        ui_.answer_open_files({package});
        click(kAddInputs);
        ui_.answer_folder(folder);
        click(kChooseFolder);
        will_type_password(o.password);
        click(kDecrypt);
        EXPECT_EQ(new_boxes(), std::vector<std::string>{"파일을 성공적으로 풀었습니다."});
        EXPECT_EQ(shell_test::read_file(folder / "plan.txt"), "meet at noon");
    }

    // Someone with neither password.
    ui_.answer_open_files({package});
    click(kAddInputs);
    ui_.answer_folder(out());
    click(kChooseFolder);
    will_type_password("mallory-guess");
    click(kDecrypt);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{platform::path_to_utf8(package) +
                                                    "의 비밀번호가 맞지 않습니다."});
    EXPECT_FALSE(fs::exists(out() / "plan.txt"));
}

TEST_F(SharingSession, UnreadableRecipientKeyEndsTheRun) {
    store_settings({});
    put_key("gone.lck", fake_key('g'));
    open_main(Page::sharing);
    view_.select(kKeys, 0);
    click(kAdd);
    click(kNext);
    fs::remove(key_folder() / "gone.lck");
    ui_.answer_open_files({make_file("a.txt", "a")});
    click(kAddFiles);
    click(kEncrypt);
    EXPECT_EQ(box_texts().back(), "인증서파일 열기 오류");
    EXPECT_FALSE(fs::exists(in("a.txt.vlr")));
    EXPECT_EQ(rows(kFiles), std::vector<std::string>{"a.txt"});  // the inputs stay
}

}  // namespace
