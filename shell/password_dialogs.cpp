#include "shell/password_dialogs.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "shell/startup.h"

namespace shell {

using namespace password_ids;

void PasswordEntryDialog::on_init(ui::DialogView& view) {
    view_ = &view;
    view.focus(kEntryEdit);
}

void PasswordEntryDialog::on_command(ui::ControlId id, ui::Event event) {
    if (view_ == nullptr || event != ui::Event::clicked) return;
    if (id == kCancel) {
        view_->close(static_cast<int>(ui::Answer::cancel));
        return;
    }
    if (id != kOk) return;
    std::string typed = view_->text(kEntryEdit);
    if (typed.empty()) {
        interaction_.message_box(kEnterPassword, "", ui::mb::ok);
        view_->focus(kEntryEdit);
        return;
    }
    password_ = platform::SecretBytes::take(typed);
    view_->close(static_cast<int>(ui::Answer::ok));
}

platform::SecretBytes PasswordEntryDialog::take_password() {
    return std::move(password_);
}

void NewPasswordDialog::on_init(ui::DialogView& view) {
    view_ = &view;
    view.focus(kNewEdit);
}

void NewPasswordDialog::refuse(const char* text) {
    interaction_.message_box(text, kWarningCaption, ui::mb::ok);
    view_->set_text(kNewEdit, "");
    view_->set_text(kConfirmEdit, "");
    view_->focus(kNewEdit);
}

void NewPasswordDialog::on_command(ui::ControlId id, ui::Event event) {
    if (view_ == nullptr || event != ui::Event::clicked) return;
    if (id == kCancel) {
        on_close();
        return;
    }
    if (id != kOk) return;
    std::string first = view_->text(kNewEdit);
    std::string second = view_->text(kConfirmEdit);
    const bool same = first == second;
    platform::wipe_string(second);
    if (!same) {
        platform::wipe_string(first);
        refuse(kWrongPassword);
        return;
    }
    const auto bytes = platform::cp949_length(first);
    if (!bytes) {
        platform::wipe_string(first);
        interaction_.message_box(std::string(kTextNotEncodable) + kPasswordWord, kWarningCaption,
                                 ui::mb::ok);
        view_->set_text(kNewEdit, "");
        view_->set_text(kConfirmEdit, "");
        view_->focus(kNewEdit);
        return;
    }
    if (*bytes < kMinimumPasswordBytes) {
        platform::wipe_string(first);
        refuse(kPasswordTooShort);
        return;
    }
    password_ = platform::SecretBytes::take(first);
    view_->close(static_cast<int>(ui::Answer::ok));
}

void NewPasswordDialog::on_close() {
    if (view_ != nullptr) view_->close(static_cast<int>(ui::Answer::cancel));
}

platform::SecretBytes NewPasswordDialog::take_password() {
    return std::move(password_);
}

std::optional<platform::SecretBytes> ask_password(ui::Interaction& interaction) {
    PasswordEntryDialog dialog(interaction);
    if (interaction.run_modal(kEntryTemplate, dialog) != static_cast<int>(ui::Answer::ok))
        return std::nullopt;
    return dialog.take_password();
}

std::optional<platform::SecretBytes> ask_new_password(ui::Interaction& interaction) {
    NewPasswordDialog dialog(interaction);
    if (interaction.run_modal(kNewTemplate, dialog) != static_cast<int>(ui::Answer::ok))
        return std::nullopt;
    return dialog.take_password();
}

}  // namespace shell
