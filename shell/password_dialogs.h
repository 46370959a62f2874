// The two password dialogs of the main window: the password entry dialog
// that the decrypt run asks once, and the new-password dialog (typed twice,
// at least 6 bytes) that the encrypt run asks.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/secret.h"
#include "package/messages.h"
#include "ui/ports.h"

namespace shell {

namespace password_ids {
inline constexpr int kEntryTemplate = 133;
inline constexpr int kNewTemplate = 134;
inline constexpr ui::ControlId kEntryEdit = 1076;
inline constexpr ui::ControlId kNewEdit = 1037;
inline constexpr ui::ControlId kConfirmEdit = 1064;
inline constexpr ui::ControlId kOk = 1074;
inline constexpr ui::ControlId kCancel = 1038;
}  // namespace password_ids

// The texts these dialogs show (package/messages.h).
using package::msg::kEnterPassword;
using package::msg::kPasswordTooShort;
using package::msg::kPasswordWord;
using package::msg::kTextNotEncodable;
using package::msg::kWarningCaption;
using package::msg::kWrongPassword;
inline constexpr std::size_t kMinimumPasswordBytes = 6;

// Password entry: OK with an empty edit asks again; Enter acts as OK and
// Escape is swallowed (the view sends Enter as a click on OK).
class PasswordEntryDialog final : public ui::DialogPresenter {
  public:
    explicit PasswordEntryDialog(ui::Interaction& interaction) : interaction_(interaction) {}
    ~PasswordEntryDialog() override = default;

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    void on_close() override {}

    // The text typed, after the dialog ended with OK.
    platform::SecretBytes take_password();

  private:
    ui::Interaction& interaction_;
    ui::DialogView* view_ = nullptr;
    platform::SecretBytes password_;
};

// New password: the two edits must match and hold at least 6 bytes of code
// page 949 text (a Hangul syllable counts two); the mismatch is reported
// before the length. The close area cancels.
class NewPasswordDialog final : public ui::DialogPresenter {
  public:
    explicit NewPasswordDialog(ui::Interaction& interaction) : interaction_(interaction) {}
    ~NewPasswordDialog() override = default;

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    void on_close() override;

    platform::SecretBytes take_password();

  private:
    void refuse(const char* text);

    ui::Interaction& interaction_;
    ui::DialogView* view_ = nullptr;
    platform::SecretBytes password_;
};

// Run the dialogs modally; nullopt on cancel. What Interaction::enter_password
// and new_password do on a real screen.
std::optional<platform::SecretBytes> ask_password(ui::Interaction& interaction);
std::optional<platform::SecretBytes> ask_new_password(ui::Interaction& interaction);

// An interaction whose password questions are the two dialogs above, run
// modally through the wrapped interaction; everything else is passed on.
class PasswordDialogInteraction final : public ui::Interaction {
  public:
    explicit PasswordDialogInteraction(ui::Interaction& inner) : inner_(inner) {}

    ui::Answer message_box(std::string_view text, std::string_view caption,
                           unsigned style) override {
        return inner_.message_box(text, caption, style);
    }
    std::vector<std::filesystem::path> open_files(const ui::FileDialogOptions& o) override {
        return inner_.open_files(o);
    }
    std::optional<std::filesystem::path> save_file(const ui::FileDialogOptions& o) override {
        return inner_.save_file(o);
    }
    std::optional<std::filesystem::path> choose_folder(std::string_view title) override {
        return inner_.choose_folder(title);
    }
    std::optional<platform::SecretBytes> enter_password() override { return ask_password(inner_); }
    std::optional<platform::SecretBytes> new_password() override {
        return ask_new_password(inner_);
    }
    void shell_open(const std::filesystem::path& target) override { inner_.shell_open(target); }
    void set_status(std::string_view text) override { inner_.set_status(text); }
    void progress(int position, int range) override { inner_.progress(position, range); }
    void pump() override { inner_.pump(); }
    int run_modal(int template_id, ui::DialogPresenter& presenter) override {
        return inner_.run_modal(template_id, presenter);
    }
    std::unique_ptr<ui::DialogView> open_modeless(int template_id,
                                                  ui::DialogPresenter& presenter) override {
        return inner_.open_modeless(template_id, presenter);
    }

  private:
    ui::Interaction& inner_;
};

}  // namespace shell
