#include <gtest/gtest.h>

#include "shell/settings.h"
#include "shell/settings_dialog.h"
#include "shell/startup.h"
#include "tests/shell/fixture.h"
#include "ui/scripted/scripted.h"

namespace {

using namespace shell;
using namespace shell::settings_ids;
using shell_test::read_file;
using shell_test::TempFolder;
using shell_test::write_file;
using ui::ScriptedView;

std::string le_fields(std::initializer_list<std::uint32_t> values) {
    std::string s;
    for (auto v : values) {
        for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    }
    return s;
}

class SettingsWorkflow : public ::testing::Test {
  protected:
    // Start-up of the main window in the temporary program folder.
    bool start() { return prepare_program_folder(files_, ui_, main_settings_); }

    // Opens the settings dialog from `page`, lets `script` act on it, and
    // applies the result as the main window does.
    int open_settings(Page page, std::function<void(ScriptedView&)> script) {
        SettingsDialog dialog(files_.settings_path, page, ui_);
        ui_.answer_modal(kTemplate, std::move(script));
        int result = ui_.run_modal(kTemplate, dialog);
        if (result == static_cast<int>(ui::Answer::ok)) {
            mode_changed_ = take_dialog_settings(main_settings_, dialog.settings());
        }
        return result;
    }

    TempFolder folder_;
    ProgramFiles files_ = program_files(folder_.path());
    ui::ScriptedInteraction ui_;
    Settings main_settings_;
    bool mode_changed_ = false;
};

TEST_F(SettingsWorkflow, FirstStartCreatesFoldersAndZeroSettings) {
    ASSERT_TRUE(start());
    EXPECT_TRUE(std::filesystem::is_directory(folder_.path() / "Log"));
    EXPECT_TRUE(std::filesystem::is_directory(folder_.path() / "Key"));
    EXPECT_EQ(files_.log_path, folder_.path() / "Log" / "Vellora.log");
    EXPECT_FALSE(std::filesystem::exists(files_.log_path));  // start-up writes no line
    EXPECT_EQ(read_file(files_.settings_path), std::string(16, '\0'));
    EXPECT_EQ(main_settings_, Settings{});
    EXPECT_TRUE(ui_.boxes().empty());

    open_settings(Page::encrypt, [](ScriptedView& v) {
        EXPECT_EQ(v.row_text(kMode, v.selection(kMode), 0), "꾸러미로 암호화");
        EXPECT_EQ(v.row_text(kAlgorithm, v.selection(kAlgorithm), 0), "SEED");
        EXPECT_FALSE(v.checked(kDeleteInputs));
        EXPECT_FALSE(v.checked(kWriteLog));
        v.click(kCancel);
    });
}

TEST_F(SettingsWorkflow, StoredModeThreeIsKeptUntilOkChangesIt) {
    write_file(files_.settings_path, le_fields({3, 1, 0, 1}));
    ASSERT_TRUE(start());
    EXPECT_EQ(main_settings_.mode, 3u);  // no range check at start-up
    EXPECT_EQ(main_settings_.algorithm, 1u);

    // OK without touching the mode: the value stays 3.
    open_settings(Page::encrypt, [](ScriptedView& v) {
        EXPECT_EQ(v.selection(kMode), -1);  // no item for 3
        v.click(kOk);
    });
    EXPECT_FALSE(mode_changed_);
    EXPECT_EQ(main_settings_.mode, 3u);
    EXPECT_EQ(read_file(files_.settings_path), le_fields({3, 1, 0, 1}));

    open_settings(Page::encrypt, [](ScriptedView& v) {
        v.choose(kMode, 1);
        v.click(kOk);
    });
    EXPECT_TRUE(mode_changed_);
    EXPECT_EQ(main_settings_.mode, 1u);
    EXPECT_EQ(read_file(files_.settings_path), le_fields({1, 1, 0, 1}));
}

TEST_F(SettingsWorkflow, OkStoresEveryChange) {
    ASSERT_TRUE(start());
    int result = open_settings(Page::decrypt, [](ScriptedView& v) {
        v.choose(kMode, 2);
        v.choose(kAlgorithm, 2);
        v.click(kDeleteInputs);
        v.click(kWriteLog);
        EXPECT_TRUE(v.checked(kDeleteInputs));
        v.click(kOk);
    });
    EXPECT_EQ(result, static_cast<int>(ui::Answer::ok));
    EXPECT_EQ(read_file(files_.settings_path), le_fields({2, 2, 1, 1}));
    EXPECT_EQ(main_settings_, (Settings{2, 2, 1, 1}));
    EXPECT_TRUE(mode_changed_);
}

TEST_F(SettingsWorkflow, CancelLeavesTheFileByteForByte) {
    // Line-feed and carriage-return bytes must pass unchanged.
    const std::string stored = le_fields({0x0A, 0x0D0A, 1, 0});
    write_file(files_.settings_path, stored);
    ASSERT_TRUE(start());
    EXPECT_EQ(main_settings_, (Settings{0x0A, 0x0D0A, 1, 0}));
    int result = open_settings(Page::encrypt, [](ScriptedView& v) {
        v.choose(kMode, 1);
        v.choose(kAlgorithm, 2);
        v.click(kDeleteInputs);
        v.click(kWriteLog);
        v.press_close();  // Escape is swallowed
        EXPECT_FALSE(v.closed());
        v.click(kCancel);
    });
    EXPECT_EQ(result, static_cast<int>(ui::Answer::cancel));
    EXPECT_EQ(read_file(files_.settings_path), stored);
    EXPECT_EQ(main_settings_, (Settings{0x0A, 0x0D0A, 1, 0}));
}

TEST_F(SettingsWorkflow, SharingPageRefusesBmpHiding) {
    ASSERT_TRUE(start());
    open_settings(Page::sharing, [](ScriptedView& v) {
        v.choose(kMode, 2);
        EXPECT_EQ(v.selection(kMode), 0);
        v.click(kOk);
    });
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(
        ui_.boxes()[0].text,
        "현재 '파일공유'암호화를 사용하계십니다. \n'파일공유'암호화는 'BMP 파일에 숨김' 기능을 "
        "지원하지 않습니다.");
    EXPECT_EQ(read_file(files_.settings_path), le_fields({0, 0, 0, 0}));

    // From the other pages the choice stands.
    open_settings(Page::encrypt, [](ScriptedView& v) {
        v.choose(kMode, 2);
        v.click(kOk);
    });
    EXPECT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(main_settings_.mode, 2u);
}

TEST_F(SettingsWorkflow, OnlyExactlyOneShowsChecked) {
    write_file(files_.settings_path, le_fields({0, 0, 2, 1}));
    ASSERT_TRUE(start());
    open_settings(Page::encrypt, [](ScriptedView& v) {
        EXPECT_FALSE(v.checked(kDeleteInputs));  // stored 2
        EXPECT_TRUE(v.checked(kWriteLog));
        v.click(kDeleteInputs);  // 2 -> 0
        v.click(kOk);
    });
    EXPECT_EQ(read_file(files_.settings_path), le_fields({0, 0, 0, 1}));
}

TEST_F(SettingsWorkflow, AlgorithmOutsideTheListBecomesSeedOnOk) {
    write_file(files_.settings_path, le_fields({0, 7, 0, 0}));
    ASSERT_TRUE(start());
    EXPECT_EQ(main_settings_.algorithm, 7u);
    open_settings(Page::encrypt, [](ScriptedView& v) { v.click(kOk); });
    EXPECT_EQ(main_settings_.algorithm, 0u);
}

TEST_F(SettingsWorkflow, ShortFileLeavesTheUncoveredFields) {
    write_file(files_.settings_path, le_fields({1, 2}) + "\x01\x00");
    main_settings_ = Settings{0, 0, 9, 9};
    ASSERT_TRUE(start());
    EXPECT_EQ(main_settings_, (Settings{1, 2, 9, 9}));
}

TEST_F(SettingsWorkflow, UnreadableSettingsFileIsReported) {
    std::filesystem::create_directory(files_.settings_path);  // a folder in its place
    EXPECT_FALSE(start());
    ASSERT_EQ(ui_.boxes().size(), 1u);
    EXPECT_EQ(ui_.boxes()[0], (ui::ShownBox{"파일 열기 오류", "경고", ui::mb::ok, ui::Answer::ok}));
    EXPECT_TRUE(std::filesystem::is_directory(folder_.path() / "Log"));  // earlier steps stay

    open_settings(Page::encrypt, [](ScriptedView& v) {
        EXPECT_EQ(v.selection(kMode), -1);
        EXPECT_EQ(v.selection(kAlgorithm), -1);
        v.click(kCancel);
    });
    EXPECT_EQ(ui_.boxes().size(), 2u);
}

TEST_F(SettingsWorkflow, FailedWriteOnOkKeepsTheDialogOpen) {
    ASSERT_TRUE(start());
    // Something another program put in the file's place (a folder holding
    // data) cannot be replaced, for every user; a name taken beside the
    // file no longer stops the write.
    const std::filesystem::path blocker = files_.settings_path;
    open_settings(Page::encrypt, [&](ScriptedView& v) {
        std::filesystem::remove(blocker);
        std::filesystem::create_directory(blocker);
        write_file(blocker / "inside", "kept");
        v.choose(kMode, 1);
        v.click(kOk);
        EXPECT_FALSE(v.closed());
        ASSERT_EQ(ui_.boxes().size(), 1u);
        EXPECT_EQ(ui_.boxes()[0].text, "파일 열기 오류");
        EXPECT_EQ(read_file(blocker / "inside"), "kept");  // what was there is intact
        std::filesystem::remove_all(blocker);
        v.click(kOk);
        EXPECT_TRUE(v.closed());
    });
    EXPECT_EQ(read_file(files_.settings_path), le_fields({1, 0, 0, 0}));
}

}  // namespace
