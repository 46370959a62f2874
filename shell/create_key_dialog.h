// The create-shared-key dialog (template 138): a key name checked against
// the Key folder, a password typed twice, and the public key derived from
// the password written as <name>.lck.
#pragma once

#include <filesystem>
#include <string>

#include "package/messages.h"
#include "ui/ports.h"

namespace shell {

namespace create_key_ids {
inline constexpr int kTemplate = 138;
inline constexpr ui::ControlId kName = 1037;
inline constexpr ui::ControlId kCheckName = 1077;
inline constexpr ui::ControlId kPassword = 1064;
inline constexpr ui::ControlId kConfirm = 1078;
inline constexpr ui::ControlId kOk = 1038;
inline constexpr ui::ControlId kCancel = 1079;
}  // namespace create_key_ids

// The texts this dialog shows (package/messages.h).
using package::msg::kCheckNameFirst;
using package::msg::kForbiddenName;
using package::msg::kKeyCreated;
using package::msg::kKeyNameMissing;
using package::msg::kKeyPasswordTooShort;
using package::msg::kNameAvailable;
using package::msg::kNameMissing;
using package::msg::kNameTakenOverwrite;
using package::msg::kPasswordWord;
using package::msg::kProductCaption;
using package::msg::kTextNotEncodable;
using package::msg::kWriteFailed;
using package::msg::kWrongPassword;

class CreateKeyDialog final : public ui::DialogPresenter {
  public:
    CreateKeyDialog(std::filesystem::path key_folder, ui::Interaction& interaction)
        : key_folder_(std::move(key_folder)), interaction_(interaction) {}

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    // Escape is swallowed.
    void on_close() override {}
    // Enter runs the create operation as the OK button does; then, with the
    // focus in an edit field, the dialog ends with OK whatever the outcome.
    void on_enter_key(bool focus_in_edit);

    bool name_checked() const { return name_checked_; }

  private:
    void check_name();
    void create();
    void clear_name();
    void clear_passwords();

    std::filesystem::path key_folder_;
    ui::Interaction& interaction_;
    ui::DialogView* view_ = nullptr;
    bool name_checked_ = false;  // the duplicate check passed for the current name
};

}  // namespace shell
