// The create-shared-key dialog: key names, the duplicate check, the password
// rules, and the key files it leaves in the Key folder.
#include <gtest/gtest.h>

#include "package/bytes.h"
#include "package/keys.h"
#include "platform/text.h"
#include "pubkey/keystore.h"
#include "shell/create_key_dialog.h"
#include "tests/shell/fixture.h"
#include "ui/scripted/scripted.h"

namespace {

using namespace shell;
using namespace shell::create_key_ids;
using shell_test::read_file;
using shell_test::TempFolder;
using shell_test::write_file;
using ui::ScriptedView;
namespace fs = std::filesystem;

TEST(KeyFileName, SuffixRule) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"홍두깨키", "홍두깨키.lck"},
        {"alice.lck", "alice.lck"},
        {"alice.LCK", "alice.LCK.lck"},
        {"alice.key", "alice.key.lck"},
        {"a.lck.bak", "a.lck.bak.lck"},
        {"v1.2", "v1.2.lck"},
        {".lck", ".lck"},
    };
    for (const auto& c : cases) EXPECT_EQ(keystore::key_file_name(c.name), c.file) << c.name;
}

TEST(KeyFileName, ForbiddenCharacters) {
    for (char bad : std::string("\\/:*?\"<>|")) {
        EXPECT_FALSE(keystore::name_is_allowed(std::string("ab") + bad + "c")) << bad;
    }
    EXPECT_TRUE(keystore::name_is_allowed("뷁숀키"));
    EXPECT_TRUE(keystore::name_is_allowed("홍 두깨-키_1.lck"));
}

class CreateKeySession : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(keys_); }

    // Opens the dialog and lets `script` act as the person would.
    int run(std::function<void(ScriptedView&, CreateKeyDialog&)> script) {
        CreateKeyDialog dialog(keys_, ui_);
        ui_.answer_modal(kTemplate, [&](ScriptedView& v) { script(v, dialog); });
        return ui_.run_modal(kTemplate, dialog);
    }
    std::vector<std::string> new_boxes() {
        std::vector<std::string> texts;
        for (std::size_t i = seen_; i < ui_.boxes().size(); ++i)
            texts.push_back(ui_.boxes()[i].text);
        seen_ = ui_.boxes().size();
        return texts;
    }
    std::string key_bytes(const std::string& file) { return read_file(keys_ / fs::u8path(file)); }

    static void fill(ScriptedView& v, const std::string& name, const std::string& pw,
                     const std::string& confirm) {
        v.type(kName, name);
        v.click(kCheckName);
        v.type(kPassword, pw);
        v.type(kConfirm, confirm);
    }

    TempFolder folder_;
    fs::path keys_ = folder_.path() / "Key";
    ui::ScriptedInteraction ui_;
    std::size_t seen_ = 0;
};

TEST_F(CreateKeySession, CreatesTheDerivedPublicKey) {
    const int result = run([](ScriptedView& v, CreateKeyDialog&) {
        fill(v, "홍두깨키", "가나다", "가나다");  // three syllables: six bytes
        v.click(kOk);
    });
    EXPECT_EQ(result, static_cast<int>(ui::Answer::ok));
    EXPECT_EQ(new_boxes(),
              (std::vector<std::string>{"사용 가능합니다.", "공유키가 생성되었습니다."}));
    const std::string file = key_bytes("홍두깨키.lck");
    ASSERT_EQ(file.size(), 43u);
    EXPECT_EQ(file[0], '\x04');

    package::Bytes expected;
    package::SecretBytes private_key;
    const std::string cp = platform::to_cp949("가나다").value();
    ASSERT_EQ(package::DeriveSharedKeyPair(
                  std::span(reinterpret_cast<const std::uint8_t*>(cp.data()), cp.size()), expected,
                  private_key),
              0u);
    EXPECT_EQ(file, std::string(expected.begin(), expected.end()));
    // Nothing else in the folder: no temporary file, no private key.
    EXPECT_EQ(std::distance(fs::directory_iterator(keys_), fs::directory_iterator()), 1);
}

TEST_F(CreateKeySession, SamePasswordUnderTwoNamesGivesIdenticalFiles) {
    for (const char* name : {"alice", "bob.lck"}) {
        run([name](ScriptedView& v, CreateKeyDialog&) {
            fill(v, name, "shared-secret", "shared-secret");
            v.click(kOk);
        });
    }
    EXPECT_EQ(key_bytes("alice.lck"), key_bytes("bob.lck"));
    EXPECT_EQ(key_bytes("alice.lck").size(), 43u);
}

TEST_F(CreateKeySession, RefusalsKeepTheDialogOpen) {
    const struct {
        const char* name;
        const char* password;
        const char* confirm;
        const char* box;
        bool passwords_cleared;
    } cases[] = {
        {"k1", "abcde", "abcde", "비밀번호 길이가 짧습니다.(6자리 이상)", true},
        {"k2", "가나", "가나", "비밀번호 길이가 짧습니다.(6자리 이상)", true},
        // The mismatch is found before the length.
        {"k3", "abc", "abd", "비밀번호가 맞지 않습니다.", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        run([&](ScriptedView& v, CreateKeyDialog&) {
            fill(v, c.name, c.password, c.confirm);
            new_boxes();
            v.click(kOk);
            EXPECT_EQ(new_boxes(), std::vector<std::string>{c.box});
            EXPECT_FALSE(v.closed());
            EXPECT_EQ(v.text(kPassword), "");
            EXPECT_EQ(v.text(kConfirm), "");
            EXPECT_EQ(v.text(kName), c.name);
            v.click(kCancel);
        });
        EXPECT_FALSE(fs::exists(keys_ / (std::string(c.name) + ".lck")));
    }
}

TEST_F(CreateKeySession, ChangingTheNameAfterTheCheckAsksForItAgain) {
    run([this](ScriptedView& v, CreateKeyDialog& d) {
        v.click(kOk);
        EXPECT_EQ(new_boxes(), std::vector<std::string>{"인증서 파일을 지정해 주세요."});
        v.type(kName, "alice");
        v.click(kOk);
        EXPECT_EQ(new_boxes(), std::vector<std::string>{"중복검사를 해 주세요."});
        v.click(kCheckName);
        EXPECT_TRUE(d.name_checked());
        v.type(kName, "alicf");  // one character changed
        EXPECT_FALSE(d.name_checked());
        v.type(kPassword, "secret12");
        v.type(kConfirm, "secret12");
        v.click(kOk);
        EXPECT_EQ(new_boxes(),
                  (std::vector<std::string>{"사용 가능합니다.", "중복검사를 해 주세요."}));
        v.click(kCancel);
    });
    EXPECT_TRUE(fs::is_empty(keys_));
}

TEST_F(CreateKeySession, DuplicateCheckOutcomes) {
    write_file(keys_ / "taken.lck", std::string(43, '\x01'));
    run([this](ScriptedView& v, CreateKeyDialog& d) {
        v.click(kCheckName);
        EXPECT_EQ(new_boxes(), std::vector<std::string>{"공개키 파일 이름을 지정해 주세요."});

        v.type(kName, "a/b");
        v.click(kCheckName);
        EXPECT_EQ(new_boxes(),
                  std::vector<std::string>{"파일 이름에 다음 문자를 사용할 수 없습니다.\r\n"
                                           "        \\ / : * ? \" < > | "});
        EXPECT_EQ(v.text(kName), "");
        EXPECT_FALSE(d.name_checked());

        // A taken name: Cancel empties the name and leaves the flag cleared.
        v.type(kName, "taken");
        ui_.answer_box(ui::Answer::cancel);
        v.click(kCheckName);
        EXPECT_EQ(ui_.boxes().back().caption, "Vellora");
        EXPECT_EQ(new_boxes(),
                  std::vector<std::string>{"동일한 파일명이 있습니다. 덮어 쓰시겠습니까?"});
        EXPECT_EQ(v.text(kName), "");
        EXPECT_FALSE(d.name_checked());

        // OK lets the create operation replace the file.
        v.type(kName, "taken.lck");
        ui_.answer_box(ui::Answer::ok);
        v.click(kCheckName);
        EXPECT_TRUE(d.name_checked());
        v.type(kPassword, "replacement");
        v.type(kConfirm, "replacement");
        v.click(kOk);
    });
    const std::string replaced = key_bytes("taken.lck");
    ASSERT_EQ(replaced.size(), 43u);
    EXPECT_EQ(replaced[0], '\x04');
    EXPECT_EQ(ui_.boxes().back().text, "공유키가 생성되었습니다.");
}

TEST_F(CreateKeySession, EnterClosesTheDialogEvenWhenRefused) {
    const int refused = run([](ScriptedView& v, CreateKeyDialog& d) {
        fill(v, "carol", "short", "short");
        d.on_enter_key(true);
    });
    EXPECT_EQ(refused, static_cast<int>(ui::Answer::ok));
    EXPECT_FALSE(fs::exists(keys_ / "carol.lck"));
    EXPECT_EQ(ui_.boxes().back().text, "비밀번호 길이가 짧습니다.(6자리 이상)");

    run([](ScriptedView& v, CreateKeyDialog& d) {
        fill(v, "carol", "long-enough", "long-enough");
        d.on_enter_key(true);
    });
    EXPECT_EQ(key_bytes("carol.lck").size(), 43u);
}

TEST_F(CreateKeySession, UnwritableKeyFolderReportsTheWrite) {
    fs::remove_all(keys_);
    write_file(keys_, "not a folder");
    run([](ScriptedView& v, CreateKeyDialog&) {
        fill(v, "dave", "password1", "password1");
        v.click(kOk);
    });
    EXPECT_EQ(ui_.boxes().back().text, "Fail to write..");
}

}  // namespace
