#include "shell/create_key_dialog.h"

#include <system_error>

#include "package/bytes.h"
#include "package/keys.h"
#include "platform/text.h"
#include "pubkey/keystore.h"
#include "shell/password_dialogs.h"
#include "toolkit/cyr.h"

namespace shell {

using namespace create_key_ids;

void CreateKeyDialog::on_init(ui::DialogView& view) {
    view_ = &view;
    name_checked_ = false;
    view.focus(kName);
}

void CreateKeyDialog::on_command(ui::ControlId id, ui::Event event) {
    if (view_ == nullptr) return;
    if (id == kName && event == ui::Event::text_changed) {
        name_checked_ = false;
    } else if (event == ui::Event::clicked) {
        if (id == kCheckName) check_name();
        if (id == kOk) create();
        if (id == kCancel) view_->close(static_cast<int>(ui::Answer::cancel));
    }
}

void CreateKeyDialog::on_enter_key(bool focus_in_edit) {
    if (view_ == nullptr) return;
    create();
    if (focus_in_edit) view_->close(static_cast<int>(ui::Answer::ok));
}

// Emptying the edit is a change of its text like any other.
void CreateKeyDialog::clear_name() {
    view_->set_text(kName, "");
    name_checked_ = false;
}

void CreateKeyDialog::clear_passwords() {
    view_->set_text(kPassword, "");
    view_->set_text(kConfirm, "");
    view_->focus(kPassword);
}

void CreateKeyDialog::check_name() {
    const std::string name = view_->text(kName);
    if (name.empty()) {
        interaction_.message_box(kNameMissing, "", ui::mb::ok);
        return;
    }
    if (!keystore::name_is_allowed(name)) {
        interaction_.message_box(kForbiddenName, "", ui::mb::ok);
        clear_name();
        return;
    }
    if (!platform::to_cp949(name)) {
        interaction_.message_box(std::string(kTextNotEncodable) + name, "", ui::mb::ok);
        clear_name();
        return;
    }
    std::error_code ec;
    if (!std::filesystem::exists(keystore::key_file_path(key_folder_, name), ec)) {
        interaction_.message_box(kNameAvailable, "", ui::mb::ok);
        name_checked_ = true;
        return;
    }
    if (interaction_.message_box(kNameTakenOverwrite, kProductCaption, ui::mb::ok_cancel) ==
        ui::Answer::ok) {
        name_checked_ = true;  // the create operation will replace the file
    } else {
        clear_name();
    }
}

void CreateKeyDialog::create() {
    if (view_->text(kName).empty()) {
        interaction_.message_box(kKeyNameMissing, "", ui::mb::ok);
        return;
    }
    if (!name_checked_) {
        interaction_.message_box(kCheckNameFirst, "", ui::mb::ok);
        return;
    }
    std::string password = view_->text(kPassword);
    std::string confirmation = view_->text(kConfirm);
    const bool same = password == confirmation;
    platform::wipe_string(confirmation);
    if (!same) {
        platform::wipe_string(password);
        interaction_.message_box(kWrongPassword, "", ui::mb::ok);
        clear_passwords();
        return;
    }
    auto encoded = platform::to_cp949(password);
    platform::wipe_string(password);
    if (!encoded) {
        interaction_.message_box(std::string(kTextNotEncodable) + kPasswordWord, "", ui::mb::ok);
        clear_passwords();
        return;
    }
    package::SecretBytes password_bytes(
        std::span(reinterpret_cast<const std::uint8_t*>(encoded->data()), encoded->size()));
    platform::wipe_string(*encoded);
    if (password_bytes.size() < kMinimumPasswordBytes) {
        interaction_.message_box(kKeyPasswordTooShort, "", ui::mb::ok);
        clear_passwords();
        return;
    }

    package::Bytes public_key;
    package::SecretBytes private_key;
    const package::Status status =
        package::DeriveSharedKeyPair(password_bytes.span(), public_key, private_key);
    password_bytes.wipe();
    private_key.wipe();  // only the public half is ever stored
    if (status != 0) {
        interaction_.message_box(CYR_GetErrorString(status), "", ui::mb::ok);
        return;
    }

    view_->close(static_cast<int>(ui::Answer::ok));
    const auto path = keystore::key_file_path(key_folder_, view_->text(kName));
    if (public_key.size() != keystore::kPublicKeySize ||
        keystore::replace_file(path, public_key) != keystore::WriteResult::ok) {
        interaction_.message_box(kWriteFailed, "", ui::mb::ok);
        return;
    }
    interaction_.message_box(kKeyCreated, "", ui::mb::ok);
}

}  // namespace shell
