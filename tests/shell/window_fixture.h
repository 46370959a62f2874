// A person in front of the main window: a real program folder in a temporary
// directory, the scripted ports, and helpers for the dialogs a session meets
// (the password dialogs and the create-shared-key dialog are run for real
// through the scripted interaction).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "shell/create_key_dialog.h"
#include "shell/main_window.h"
#include "shell/password_dialogs.h"
#include "shell/settings.h"
#include "tests/shell/fixture.h"
#include "ui/scripted/scripted.h"

namespace shell_test {

using ui::ScriptedView;

class WindowSession : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder_.path() / "in");
        fs::create_directories(folder_.path() / "out");
    }

    fs::path program() const { return folder_.path(); }
    fs::path in(const std::string& name) const {
        return (folder_.path() / "in" / fs::u8path(name)).make_preferred();
    }
    fs::path out() const { return folder_.path() / "out"; }
    fs::path key_folder() const { return folder_.path() / "Key"; }

    fs::path make_file(const std::string& name, const std::string& contents) {
        const fs::path p = in(name);
        fs::create_directories(p.parent_path());
        write_file(p, contents);
        return p;
    }

    void store_settings(shell::Settings s) {
        ASSERT_TRUE(shell::write_settings(program() / shell::kSettingsFileName, s));
    }

    // Opens the main window on `page`, as the start window does.
    shell::MainWindow& open_main(shell::Page page = shell::Page::encrypt) {
        shell::MainWindowPorts ports{dialogs_,
                                     clock_,
                                     program(),
                                     nullptr,
                                     [this](const fs::path& movie) { movies_.push_back(movie); },
                                     kHelpAddress,
                                     folder_.path() / "in",
                                     {}};
        main_.emplace(ports, page);
        view_.attach(&*main_);
        main_->on_init(view_);
        return *main_;
    }

    void click(ui::ControlId id) { view_.click(id); }
    bool visible(ui::ControlId id) const { return view_.control(id).visible; }
    std::vector<std::string> rows(ui::ControlId id, int column = 0) const {
        std::vector<std::string> texts;
        for (int r = 0; r < view_.row_count(id); ++r)
            texts.push_back(view_.row_text(id, r, column));
        return texts;
    }

    // The new-password dialog as a person fills it in.
    void will_type_new_password(const std::string& first, const std::string& second) {
        ui_.answer_modal(shell::password_ids::kNewTemplate, [first, second](ScriptedView& v) {
            v.type(shell::password_ids::kNewEdit, first);
            v.type(shell::password_ids::kConfirmEdit, second);
            v.click(shell::password_ids::kOk);
        });
    }
    void will_type_new_password(const std::string& password) {
        will_type_new_password(password, password);
    }
    void will_type_password(const std::string& password) {
        ui_.answer_modal(shell::password_ids::kEntryTemplate, [password](ScriptedView& v) {
            v.type(shell::password_ids::kEntryEdit, password);
            v.click(shell::password_ids::kOk);
        });
    }

    // "공유키 만들기": name, "중복 확인", password twice, "확인".
    void create_key(const std::string& name, const std::string& password) {
        using namespace shell::create_key_ids;
        ui_.answer_modal(kTemplate, [name, password](ScriptedView& v) {
            v.type(kName, name);
            v.click(kCheckName);
            v.type(kPassword, password);
            v.type(kConfirm, password);
            v.click(kOk);
        });
        click(shell::main_ids::kCreateKey);
    }

    // Message box texts in the order they were shown.
    std::vector<std::string> box_texts() const {
        std::vector<std::string> texts;
        for (const auto& b : ui_.boxes()) texts.push_back(b.text);
        return texts;
    }
    // Boxes shown since the last call.
    std::vector<std::string> new_boxes() {
        std::vector<std::string> texts = box_texts();
        std::vector<std::string> fresh(texts.begin() + static_cast<std::ptrdiff_t>(seen_),
                                       texts.end());
        seen_ = texts.size();
        return fresh;
    }

    static constexpr char kHelpAddress[] = "https://vellora.example/manual";

    TempFolder folder_;
    ui::ScriptedInteraction ui_;
    shell::PasswordDialogInteraction dialogs_{ui_};
    platform::ManualClock clock_{platform::Clock::TimePoint(std::chrono::seconds(1700000000))};
    ScriptedView view_{shell::main_ids::kTemplate};
    std::optional<shell::MainWindow> main_;
    std::size_t seen_ = 0;
    std::vector<fs::path> movies_;  // what the banner player was given
};

}  // namespace shell_test
