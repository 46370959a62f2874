// Sessions at the main window: encrypting and decrypting in each mode, the
// busy gate, the Delete key, the keyboard rules and dropped files.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/text.h"
#include "shell/main_window.h"
#include "tests/shell/window_fixture.h"

namespace {

using namespace shell;
using namespace shell::main_ids;
using package::EncryptMode;
using package::stored;
using ui::ScriptedView;
namespace fs = std::filesystem;

using MainWindowSession = shell_test::WindowSession;

// A BMP-like picture whose size field holds its length; random bytes after it.
void write_picture(const fs::path& p, std::size_t size, unsigned seed) {
    std::string c(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& ch : c) {
        x = x * 1103515245u + 12345u;
        ch = static_cast<char>(x >> 16);
    }
    c[0] = 'B';
    c[1] = 'M';
    for (int i = 0; i < 4; ++i) c[2 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    shell_test::write_file(p, c);
}

struct ModeCase {
    const char* name;
    package::EncryptMode mode;
    const char* encrypted_box;
    const char* message_file;  // what the typed message decrypts to
};

TEST_F(MainWindowSession, EncryptThenDecryptInEachMode) {
    const ModeCase cases[] = {
        {"one package", EncryptMode::Package, "성공적으로 암호화되었습니다.", "꾸러미_메세지.txt"},
        {"each file", EncryptMode::EachFile, "암호화가 성공적으로 마쳤습니다.", "메세지파일.txt"},
        {"hidden in pictures", EncryptMode::Pictures, "성공적으로 암호화되었습니다.",
         "스테가노_메세지.txt"},
    };
    int round = 0;
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string sub = "r" + std::to_string(++round);
        const fs::path report = make_file(sub + "/report.txt", "quarterly figures\n");
        const fs::path photo = make_file(sub + "/사진.raw", std::string(3000, '\x7f'));
        const fs::path out = this->out() / sub;
        fs::create_directories(out);
        store_settings({stored(c.mode), stored(package::Algorithm::Aria), 0, 0});
        open_main(Page::encrypt);
        new_boxes();

        ui_.answer_open_files({report, photo});
        click(kAddFiles);
        EXPECT_EQ(rows(kFiles), (std::vector<std::string>{"report.txt", "사진.raw"}));
        view_.type(kMessage, "회의는 3시");
        std::vector<fs::path> pictures;
        if (c.mode == EncryptMode::Pictures) {
            for (int i = 0; i < 3; ++i) {
                pictures.push_back(in(sub + "/p" + std::to_string(i) + ".bmp"));
                write_picture(pictures.back(), 120000, static_cast<unsigned>(i));
            }
            ui_.answer_open_files(pictures);
            click(kChooseOutput);
            EXPECT_EQ(view_.text(kCapacity), "충분");
        } else if (c.mode == EncryptMode::Package) {
            EXPECT_EQ(view_.text(kOutput), platform::path_to_utf8(in(sub) / (sub + ".vlr")));
        }

        will_type_new_password("봄날의소풍");
        click(kEncrypt);
        EXPECT_EQ(new_boxes(), std::vector<std::string>{c.encrypted_box});
        EXPECT_TRUE(main_->encrypt_inputs().paths.empty());
        EXPECT_EQ(view_.row_count(kFiles), 0);
        EXPECT_EQ(view_.text(kMessage), "");
        EXPECT_EQ(view_.text(kOutput), "");

        std::vector<fs::path> encrypted = pictures;
        if (c.mode == EncryptMode::Package) encrypted = {in(sub) / (sub + ".vlr")};
        if (c.mode == EncryptMode::EachFile) {
            encrypted = {in(sub + "/메세지파일.vlr"), in(sub + "/report.txt.vlr"),
                         in(sub + "/사진.raw.vlr")};
        }
        for (const fs::path& e : encrypted) ASSERT_TRUE(fs::exists(e)) << e;

        click(kDecryptTab);
        EXPECT_EQ(main_->page(), Page::decrypt);
        ui_.answer_open_files(encrypted);
        click(kAddInputs);
        ui_.answer_folder(out);
        click(kChooseFolder);
        will_type_password("봄날의소풍");
        click(kDecrypt);
        EXPECT_EQ(new_boxes(), std::vector<std::string>{"파일을 성공적으로 풀었습니다."});
        EXPECT_EQ(shell_test::read_file(out / "report.txt"), "quarterly figures\n");
        EXPECT_EQ(shell_test::read_file(out / fs::u8path("사진.raw")), std::string(3000, '\x7f'));
        // The message comes back as typed (as UTF-8 or in the code page).
        const std::string message = shell_test::read_file(out / fs::u8path(c.message_file));
        EXPECT_TRUE(message == "회의는 3시" ||
                    platform::from_cp949(message).value_or("") == "회의는 3시")
            << message;
        EXPECT_EQ(view_.row_count(kInputs), 0);
        EXPECT_EQ(view_.text(kOutputFolder), "");
    }
    EXPECT_EQ(ui_.unused_steps(), 0u);
}

TEST_F(MainWindowSession, PicturesTooSmallAreReportedBeforeAnyPassword) {
    store_settings({stored(EncryptMode::Pictures), 0, 0, 0});
    open_main(Page::encrypt);
    ui_.answer_open_files({make_file("big.bin", std::string(20000, 'z'))});
    click(kAddFiles);
    const fs::path small = in("small.bmp");
    write_picture(small, 16000, 7);  // carries 1,930 bytes
    ui_.answer_open_files({small});
    click(kChooseOutput);
    EXPECT_EQ(view_.text(kCapacity), "18 kbytes 부족");
    EXPECT_EQ(view_.text(kOutput), "\"" + platform::path_to_utf8(small) + "\" ");
    new_boxes();
    click(kEncrypt);  // no password dialog is scripted: none may appear
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"데이터를 숨길 bmp파일이 부족합니다."});
    EXPECT_EQ(main_->pictures(), std::vector<fs::path>{small});
}

TEST_F(MainWindowSession, WrongPasswordKeepsTheInputsForAnotherTry) {
    store_settings({});
    open_main(Page::encrypt);
    ui_.answer_open_files({make_file("a.txt", "alpha")});
    click(kAddFiles);
    will_type_new_password("correct-horse");
    click(kEncrypt);
    const fs::path package = in("a.txt.vlr");

    click(kDecryptTab);
    ui_.answer_open_files({package});
    click(kAddInputs);
    ui_.answer_folder(out());
    click(kChooseFolder);
    new_boxes();
    will_type_password("wrong-horse");
    click(kDecrypt);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{platform::path_to_utf8(package) +
                                                    "의 비밀번호가 맞지 않습니다."});
    EXPECT_EQ(rows(kInputs), std::vector<std::string>{"a.txt.vlr"});

    will_type_password("correct-horse");
    click(kDecrypt);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"파일을 성공적으로 풀었습니다."});
    EXPECT_EQ(shell_test::read_file(out() / "a.txt"), "alpha");
}

// Two files of one name from two folders in one package: decrypting must
// not let the second replace the first. The window asks for another name
// through the save dialog, as it does for a name that is taken.
TEST_F(MainWindowSession, SecondEntryOfOneNameAsksForAnotherName) {
    store_settings({});
    open_main(Page::encrypt);
    ui_.answer_open_files(
        {make_file("d1/report.txt", "first report"), make_file("d2/report.txt", "second report")});
    click(kAddFiles);
    const fs::path package = platform::path_from_utf8(view_.text(kOutput));
    will_type_new_password("correct-horse");
    click(kEncrypt);
    ASSERT_TRUE(fs::exists(package));

    const fs::path first = out() / "report.txt";
    const std::string told =
        "이번 작업에서 이미 같은 이름의 파일을 만들었습니다.\n" + platform::path_to_utf8(first);
    struct Round {
        const char* name;
        std::optional<fs::path> answer;
    } rounds[] = {{"cancelled", std::nullopt}, {"another name", out() / "report(2).txt"}};
    for (const Round& r : rounds) {
        SCOPED_TRACE(r.name);
        fs::remove_all(out());
        fs::create_directories(out());
        click(kDecryptTab);
        ui_.answer_open_files({package});
        click(kAddInputs);
        ui_.answer_folder(out());
        click(kChooseFolder);
        new_boxes();
        will_type_password("correct-horse");
        ui_.answer_save(r.answer);
        click(kDecrypt);
        EXPECT_EQ(new_boxes(), (std::vector<std::string>{told, "파일을 성공적으로 풀었습니다."}));
        EXPECT_EQ(shell_test::read_file(first), "first report");
        if (r.answer) {
            EXPECT_EQ(shell_test::read_file(*r.answer), "second report");
        }
        EXPECT_TRUE(fs::exists(package));
    }
    EXPECT_EQ(ui_.unused_steps(), 0u);
}

TEST_F(MainWindowSession, NewPasswordDialogRefusesUntilBothEditsAgree) {
    store_settings({});
    open_main(Page::encrypt);
    ui_.answer_open_files({make_file("a.txt", "alpha")});
    click(kAddFiles);
    new_boxes();
    // One dialog: a mismatch, then five bytes, then three Hangul syllables.
    ui_.answer_modal(password_ids::kNewTemplate, [this](ScriptedView& v) {
        using namespace password_ids;
        v.type(kNewEdit, "abcde");
        v.type(kConfirmEdit, "abcdf");
        v.click(kOk);
        EXPECT_EQ(v.text(kNewEdit), "");
        EXPECT_EQ(v.text(kConfirmEdit), "");
        v.type(kNewEdit, "abcde");
        v.type(kConfirmEdit, "abcde");
        v.click(kOk);
        EXPECT_FALSE(v.closed());
        v.type(kNewEdit, "가나다");
        v.type(kConfirmEdit, "가나다");
        v.click(kOk);
        EXPECT_TRUE(v.closed());
        EXPECT_EQ(ui_.boxes()[ui_.boxes().size() - 2].caption, "경고");
    });
    click(kEncrypt);
    EXPECT_EQ(new_boxes(), (std::vector<std::string>{"비밀번호가 맞지 않습니다.",
                                                     "비밀번호를 6자리 이상 입력해 주세요",
                                                     "성공적으로 암호화되었습니다."}));
}

TEST_F(MainWindowSession, CancelledPasswordDialogsEndTheRunsQuietly) {
    store_settings({});
    open_main(Page::encrypt);
    const fs::path a = make_file("a.txt", "alpha");
    ui_.answer_open_files({a});
    click(kAddFiles);
    ui_.answer_modal(password_ids::kNewTemplate, [](ScriptedView& v) { v.press_close(); });
    click(kEncrypt);
    EXPECT_FALSE(fs::exists(in("a.txt.vlr")));
    EXPECT_EQ(rows(kFiles), std::vector<std::string>{"a.txt"});

    click(kDecryptTab);
    ui_.answer_open_files({a});
    click(kAddInputs);
    ui_.answer_folder(out());
    click(kChooseFolder);
    new_boxes();
    // Empty OK asks again; cancel then ends the run.
    ui_.answer_modal(password_ids::kEntryTemplate, [](ScriptedView& v) {
        v.click(password_ids::kOk);
        EXPECT_FALSE(v.closed());
        v.click(password_ids::kCancel);
    });
    click(kDecrypt);
    EXPECT_EQ(new_boxes(), (std::vector<std::string>{"암호화되지 않은 파일이 있습니다."}));
}

TEST_F(MainWindowSession, BusyGateHoldsPagesAndSideButtonsDuringARun) {
    store_settings({});
    open_main(Page::encrypt);
    ui_.answer_open_files({make_file("big.bin", std::string(300000, 'x'))});
    click(kAddFiles);
    will_type_new_password("secret12");
    int pumps_seen = 0;
    ui_.on_pump([&] {
        ++pumps_seen;
        EXPECT_TRUE(main_->busy());
        // None of these may act (an unscripted dialog would fail the test).
        for (ui::ControlId id : {kDecryptTab, kSharingTab, kHome, kCreateKey, kSettings, kEncrypt})
            click(id);
        EXPECT_EQ(main_->page(), Page::encrypt);
        EXPECT_FALSE(view_.closed());
    });
    click(kEncrypt);
    ui_.on_pump(nullptr);
    EXPECT_GT(pumps_seen, 0);
    EXPECT_FALSE(main_->busy());
    EXPECT_EQ(box_texts().back(), "성공적으로 암호화되었습니다.");

    click(kDecryptTab);
    EXPECT_EQ(main_->page(), Page::decrypt);
    EXPECT_FALSE(visible(kFiles));
    EXPECT_TRUE(visible(kInputs));
    click(kHome);
    EXPECT_TRUE(view_.closed());
    EXPECT_EQ(view_.close_result(), kResultHome);
}

TEST_F(MainWindowSession, DeleteKeyRemovesSelectedFilesAndKeepsTotals) {
    store_settings({});
    open_main(Page::encrypt);
    const fs::path a = make_file("a.txt", std::string(10, 'a'));
    const fs::path b = make_file("b.txt", std::string(20, 'b'));
    const fs::path c = make_file("c.txt", std::string(30, 'c'));
    ui_.answer_open_files({a, b, c});
    click(kAddFiles);
    EXPECT_EQ(main_->encrypt_inputs().total, 60u);
    new_boxes();

    // Nothing selected: nothing removed, no message.
    EXPECT_FALSE(main_->on_key_down(kKeyDelete, kFiles));
    EXPECT_TRUE(new_boxes().empty());

    // Delete while typing the message edits the text only.
    view_.select(kFiles, 1);
    EXPECT_FALSE(main_->on_key_down(kKeyDelete, kMessage));
    EXPECT_EQ(main_->encrypt_inputs().paths.size(), 3u);

    main_->on_key_down(kKeyDelete, kFiles);
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"선택한 파일이 삭제되었습니다."});
    EXPECT_EQ(rows(kFiles), (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(main_->encrypt_inputs().paths, (std::vector<fs::path>{a, c}));
    EXPECT_EQ(main_->encrypt_inputs().total, 40u);

    // A file gone from the disk still takes off what it added.
    fs::remove(c);
    view_.select(kFiles, 1);
    main_->on_key_down(kKeyDelete, kFiles);
    EXPECT_EQ(main_->encrypt_inputs().total, 10u);
    EXPECT_NE(view_.text(kOutput), "");

    view_.select(kFiles, 0);
    main_->on_key_down(kKeyDelete, kFiles);
    EXPECT_EQ(main_->encrypt_inputs().total, 0u);
    EXPECT_EQ(view_.text(kOutput), "");  // emptied with the list

    // The same on the decrypt page, with its own list.
    click(kDecryptTab);
    ui_.answer_open_files({a, b});
    click(kAddInputs);
    view_.select(kInputs, 0);
    main_->on_key_down(kKeyDelete, kInputs);
    EXPECT_EQ(main_->decrypt_inputs().paths, std::vector<fs::path>{b});
    EXPECT_EQ(main_->decrypt_inputs().total, 20u);
}

TEST_F(MainWindowSession, KeyboardRules) {
    store_settings({});
    open_main(Page::encrypt);
    struct Case {
        int key;
        ui::ControlId focus;
        bool swallowed;
    } cases[] = {
        {kKeyEscape, kMessage, true}, {kKeyEscape, kFiles, true},  {kKeyEnter, kMessage, false},
        {kKeyEnter, kFiles, true},    {kKeyEnter, kEncrypt, true}, {'A', kMessage, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(main_->on_key_down(c.key, c.focus), c.swallowed) << c.key << " in " << c.focus;
    }
    EXPECT_FALSE(view_.closed());
}

TEST_F(MainWindowSession, DroppedFilesGoToTheListUnderTheCursor) {
    store_settings({});
    open_main(Page::encrypt);
    const fs::path a = make_file("a.txt", "a");
    const fs::path x = make_file("tree/x.txt", "x");
    const fs::path y = make_file("tree/sub/y.txt", "y");
    make_file("tree/.cache/z.txt", "z");

    main_->on_drop(kFiles, {a, in("tree")});
    std::vector<std::string> listed = rows(kFiles, 1);
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = {platform::path_to_utf8(a), platform::path_to_utf8(y),
                                         platform::path_to_utf8(x)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(main_->encrypt_inputs().total, 3u);
    EXPECT_EQ(view_.text(kOutput), platform::path_to_utf8(in("in.vlr")));

    // The same file again ends the drop: what follows it is not added.
    const fs::path b = make_file("b.txt", "b");
    new_boxes();
    main_->on_drop(kFiles, {a, b});
    EXPECT_EQ(new_boxes(), std::vector<std::string>{"동일한 파일이 존재합니다."});
    EXPECT_EQ(main_->encrypt_inputs().paths.size(), 3u);

    main_->on_drop(kInputs, {b});
    EXPECT_EQ(main_->decrypt_inputs().paths, std::vector<fs::path>{b});
    EXPECT_EQ(rows(kInputs), std::vector<std::string>{"b.txt"});

    // Anywhere else the drop is ignored.
    main_->on_drop(kMessage, {make_file("c.txt", "c")});
    EXPECT_EQ(main_->encrypt_inputs().paths.size(), 3u);
    EXPECT_EQ(main_->decrypt_inputs().paths.size(), 1u);
    EXPECT_TRUE(new_boxes().empty());
}

TEST_F(MainWindowSession, DropOnTheDeletionAreaAsksThenWipes) {
    store_settings({});
    open_main(Page::encrypt);
    const fs::path keep = make_file("keep.txt", "keep");
    ui_.answer_box(ui::Answer::cancel);
    main_->on_drop(kDeletionArea, {keep});
    EXPECT_TRUE(fs::exists(keep));

    const fs::path doomed = make_file("doomed.txt", "secret");
    ui_.answer_box(ui::Answer::ok);
    main_->on_drop(kDeletionArea, {doomed});
    EXPECT_FALSE(fs::exists(doomed));
    ASSERT_EQ(ui_.boxes().size(), 3u);
    EXPECT_EQ(ui_.boxes()[1].text,
              "해당파일을 완전삭제 하시겠습니까? \n(주의: 삭제 후 복구가 되지 않아요.)");
    EXPECT_EQ((std::pair(ui_.boxes()[2].text, ui_.boxes()[2].caption)),
              (std::pair<std::string, std::string>("해당 파일이 삭제 되었습니다.", "확인")));
}

TEST_F(MainWindowSession, MessageBeyondTheLimitIsCut) {
    store_settings({});
    open_main(Page::encrypt);
    struct Case {
        const char* name;
        std::string typed;
        std::string kept;
    } cases[] = {
        {"ascii", std::string(50001, 'a'), std::string(50000, 'a')},
        {"exactly the limit", std::string(50000, 'b'), std::string(50000, 'b')},
        {"a long paste", std::string(400000, 'c'), std::string(50000, 'c')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        new_boxes();
        view_.type(kMessage, c.typed);
        const bool over = c.typed.size() != c.kept.size();
        EXPECT_EQ(new_boxes(), over ? std::vector<std::string>{"허용 문자수를 초과하였습니다. "}
                                    : std::vector<std::string>{});
        EXPECT_EQ(view_.text(kMessage), c.kept);
    }
    // Hangul counts two bytes a syllable: 25,001 syllables keep 25,000.
    std::string hangul;
    for (int i = 0; i < 25001; ++i) hangul += "가";
    view_.type(kMessage, hangul);
    EXPECT_EQ(view_.text(kMessage).size(), 25000u * 3);
}

TEST_F(MainWindowSession, StoredModeOrAlgorithmOutOfRangeActsAsZero) {
    store_settings({7, 9, 0, 1});
    open_main(Page::encrypt);
    EXPECT_EQ(main_->settings().mode, 7u);  // kept as stored
    const fs::path a = make_file("a.txt", "alpha");
    ui_.answer_open_files({a});
    click(kAddFiles);
    EXPECT_EQ(view_.text(kOutput), platform::path_to_utf8(in("a.txt.vlr")));
    will_type_new_password("secret12");
    click(kEncrypt);
    EXPECT_EQ(box_texts().back(), "성공적으로 암호화되었습니다.");
    const std::string log = shell_test::read_file(program() / "Log" / "Vellora.log");
    EXPECT_NE(log.find("\tEncrypted Packgage(SEED)"), std::string::npos) << log;

    click(kSharingTab);  // only mode 2 refuses the sharing page
    EXPECT_EQ(main_->page(), Page::sharing);
}

TEST_F(MainWindowSession, SettingsChangedFromTheWindowTakeEffect) {
    store_settings({});
    open_main(Page::encrypt);
    ui_.answer_open_files({make_file("a.txt", "alpha")});
    click(kAddFiles);
    EXPECT_EQ(view_.text(kOutput), platform::path_to_utf8(in("a.txt.vlr")));

    // Each file: without a message there is no name to propose.
    ui_.answer_modal(settings_ids::kTemplate, [](ScriptedView& v) {
        v.choose(settings_ids::kMode, 1);
        v.choose(settings_ids::kAlgorithm, 2);
        v.click(settings_ids::kOk);
    });
    click(kSettings);
    EXPECT_EQ(main_->settings().mode, 1u);
    EXPECT_EQ(main_->settings().algorithm, 2u);
    EXPECT_EQ(view_.text(kOutput), "");

    // From the sharing page the picture mode is refused inside the dialog.
    click(kSharingTab);
    ui_.answer_modal(settings_ids::kTemplate, [](ScriptedView& v) {
        v.choose(settings_ids::kMode, 2);
        EXPECT_EQ(v.selection(settings_ids::kMode), 0);
        v.click(settings_ids::kOk);
    });
    click(kSettings);
    EXPECT_EQ(main_->settings().mode, 0u);
    EXPECT_EQ(box_texts().back(), package::msg::kSharingRefusesPictures);
    EXPECT_EQ(view_.text(kOutput), platform::path_to_utf8(in("a.txt.vlr")));

    // Cancel changes nothing.
    ui_.answer_modal(settings_ids::kTemplate, [](ScriptedView& v) {
        v.choose(settings_ids::kMode, 1);
        v.click(settings_ids::kCancel);
    });
    click(kSettings);
    EXPECT_EQ(main_->settings().mode, 0u);
}

TEST_F(MainWindowSession, UnreadableSettingsStopTheSetUp) {
    fs::create_directories(program() / "Proper.dat");  // cannot be read as a file
    open_main(Page::decrypt);
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ((std::pair(ui_.boxes()[0].text, ui_.boxes()[0].caption)),
              (std::pair<std::string, std::string>("파일 열기 오류", "경고")));
    click(kSharingTab);
    ui_.answer_open_files({make_file("a.txt", "a")});  // never asked for
    click(kAddFiles);
    EXPECT_EQ(ui_.unused_steps(), 1u);
    EXPECT_TRUE(main_->encrypt_inputs().paths.empty());
}

TEST_F(MainWindowSession, OpensWithTitleBannerAndPageThenHelpOpensTheManual) {
    store_settings({});
    open_main(Page::decrypt);
    EXPECT_EQ(view_.title(), "Vellora 벨로라");
    // No banner list yet: the default movie is played.
    EXPECT_EQ(movies_, std::vector<fs::path>{program() / "Banner" / "vellora_banner_tarnwick.swf"});
    EXPECT_FALSE(visible(kFiles));
    EXPECT_TRUE(visible(kInputs));
    click(kHelp);
    ASSERT_EQ(ui_.shell_opened().size(), 1u);
    EXPECT_EQ(platform::path_to_utf8(ui_.shell_opened()[0]), kHelpAddress);
}

}  // namespace

// The close area (or Alt+F4) pressed while a run is going on must not
// destroy the window under it: the close is refused until the run is over.
TEST_F(MainWindowSession, CloseDuringARunIsRefusedUntilTheRunEnds) {
    store_settings({});
    open_main(Page::encrypt);
    ui_.answer_open_files({make_file("big.bin", std::string(300000, 'x'))});
    click(kAddFiles);
    will_type_new_password("secret12");
    int closes = 0;
    ui_.on_pump([&] {
        view_.press_close();
        ++closes;
        EXPECT_FALSE(view_.closed());
    });
    click(kEncrypt);
    EXPECT_GT(closes, 0);
    EXPECT_FALSE(view_.closed());
    EXPECT_EQ(box_texts().back(), "성공적으로 암호화되었습니다.");

    // A deletion run holds the window the same way.
    const fs::path doomed = make_file("doomed.txt", std::string(10000, 'd'));
    ui_.answer_box(ui::Answer::ok);
    closes = 0;
    main_->on_drop(kDeletionArea, {doomed});
    ui_.on_pump(nullptr);
    EXPECT_GT(closes, 0);
    EXPECT_FALSE(view_.closed());
    EXPECT_FALSE(fs::exists(doomed));

    view_.press_close();
    EXPECT_TRUE(view_.closed());
}

// Long runs go through the run_long port with the interaction it hands
// over (on Windows: the worker's marshalled one), not the window's own.
TEST_F(MainWindowSession, LongRunsUseTheInteractionOfTheRunPort) {
    store_settings({});
    ui::ScriptedInteraction run_ui;
    shell::PasswordDialogInteraction run_dialogs{run_ui};
    int jobs = 0;
    shell::MainWindowPorts ports{dialogs_,
                                 clock_,
                                 program(),
                                 nullptr,
                                 {},
                                 kHelpAddress,
                                 out(),
                                 [&](const std::function<void(ui::Interaction&)>& job) {
                                     ++jobs;
                                     job(run_dialogs);
                                 }};
    main_.emplace(ports, Page::encrypt);
    view_.attach(&*main_);
    main_->on_init(view_);
    ui_.answer_open_files({make_file("a.txt", "alpha")});
    click(kAddFiles);
    run_ui.answer_modal(shell::password_ids::kNewTemplate, [](ScriptedView& v) {
        v.type(shell::password_ids::kNewEdit, "secret12");
        v.type(shell::password_ids::kConfirmEdit, "secret12");
        v.click(shell::password_ids::kOk);
    });
    click(kEncrypt);
    EXPECT_EQ(jobs, 1);
    ASSERT_FALSE(run_ui.boxes().empty());
    EXPECT_EQ(run_ui.boxes().back().text, "성공적으로 암호화되었습니다.");
    EXPECT_TRUE(ui_.boxes().empty());
    EXPECT_FALSE(main_->busy());
}
