// The create-shared-key dialog (template 138): a key name checked against
// the Key folder, a password typed twice, and the public key derived from
// the password written as <name>.lck.
#pragma once

#include <filesystem>
#include <string>

#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace create_key_ids {
inline constexpr int kTemplate = IDD_CREATE_KEY;
inline constexpr ui::ControlId kName = IDC_KEY_NAME;
inline constexpr ui::ControlId kCheckName = IDC_KEY_CHECK_NAME;
inline constexpr ui::ControlId kPassword = IDC_KEY_PASSWORD;
inline constexpr ui::ControlId kConfirm = IDC_KEY_CONFIRM;
inline constexpr ui::ControlId kOk = IDC_KEY_OK;
inline constexpr ui::ControlId kCancel = IDC_KEY_CANCEL;
}  // namespace create_key_ids

inline constexpr char kNameMissing[] = "공개키 파일 이름을 지정해 주세요.";
inline constexpr char kForbiddenName[] =
    "파일 이름에 다음 문자를 사용할 수 없습니다.\r\n        \\ / : * ? \" < > | ";
inline constexpr char kNameAvailable[] = "사용 가능합니다.";
inline constexpr char kNameTakenOverwrite[] = "동일한 파일명이 있습니다. 덮어 쓰시겠습니까?";
inline constexpr char kProductCaption[] = "Vellora";
inline constexpr char kKeyNameMissing[] = "인증서 파일을 지정해 주세요.";
inline constexpr char kCheckNameFirst[] = "중복검사를 해 주세요.";
inline constexpr char kKeyPasswordsDiffer[] = "비밀번호가 맞지 않습니다.";
inline constexpr char kKeyPasswordTooShort[] = "비밀번호 길이가 짧습니다.(6자리 이상)";
inline constexpr char kKeyCreated[] = "공유키가 생성되었습니다.";
inline constexpr char kKeyWriteFailed[] = "Fail to write..";

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
