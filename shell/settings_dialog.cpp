#include "shell/settings_dialog.h"

#include "shell/startup.h"

namespace shell {

using namespace settings_ids;

void SettingsDialog::on_init(ui::DialogView& view) {
    view_ = &view;
    for (const package::ChoiceWords& words : package::kModeWords) view.add_row(kMode, {words.item});
    for (const package::ChoiceWords& words : package::kAlgorithmWords)
        view.add_row(kAlgorithm, {words.item});
    if (!read_settings(file_, settings_)) {
        interaction_.message_box(kFileOpen, kWarningCaption, ui::mb::ok);
        return;
    }
    // A stored value without an item leaves the combo without selection.
    auto index = [](std::uint32_t v) {
        return v < package::kChoiceCount ? static_cast<int>(v) : -1;
    };
    view.set_selection(kMode, index(settings_.mode));
    view.set_selection(kAlgorithm, index(settings_.algorithm));
    view.set_checked(kDeleteInputs, settings_.delete_inputs == 1);
    view.set_checked(kWriteLog, settings_.write_log == 1);
}

void SettingsDialog::on_command(ui::ControlId id, ui::Event event) {
    if (view_ == nullptr) return;
    if (id == kMode && event == ui::Event::closed_up) {
        settings_.mode = static_cast<std::uint32_t>(view_->selection(kMode));
        if (settings_.mode == package::stored(package::EncryptMode::Pictures) &&
            page_ == Page::sharing) {
            interaction_.message_box(kSharingRefusesPictures, "", ui::mb::ok);
            view_->set_selection(kMode, 0);
            settings_.mode = package::stored(package::EncryptMode::Package);
        }
    } else if (id == kAlgorithm && event == ui::Event::closed_up) {
        settings_.algorithm = static_cast<std::uint32_t>(view_->selection(kAlgorithm));
    } else if (event == ui::Event::clicked && (id == kDeleteInputs || id == kWriteLog)) {
        std::uint32_t& field = id == kDeleteInputs ? settings_.delete_inputs : settings_.write_log;
        field = field == 0 ? 1 : 0;
        view_->set_checked(id, field == 1);
    } else if (event == ui::Event::clicked && id == kOk) {
        ok();
    } else if (event == ui::Event::clicked && id == kCancel) {
        view_->close(static_cast<int>(ui::Answer::cancel));
    }
}

void SettingsDialog::ok() {
    if (!write_settings(file_, settings_)) {
        interaction_.message_box(kFileOpen, kWarningCaption, ui::mb::ok);
        return;  // the dialog stays open
    }
    view_->close(static_cast<int>(ui::Answer::ok));
}

bool take_dialog_settings(Settings& main_window, const Settings& dialog) {
    main_window.algorithm = package::stored(package::algorithm_from_stored(dialog.algorithm));
    main_window.delete_inputs = dialog.delete_inputs;
    main_window.write_log = dialog.write_log;
    if (dialog.mode == main_window.mode) return false;
    main_window.mode = package::stored(package::mode_from_stored(dialog.mode));
    return true;
}

}  // namespace shell
