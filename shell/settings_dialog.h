// The settings dialog (template 132): edits its own copy of the four
// settings and writes Proper.dat on OK.
#pragma once

#include <filesystem>

#include "package/messages.h"
#include "shell/settings.h"
#include "ui/ports.h"

namespace shell {

namespace settings_ids {
inline constexpr int kTemplate = 132;
inline constexpr ui::ControlId kMode = 1019;
inline constexpr ui::ControlId kAlgorithm = 1063;
inline constexpr ui::ControlId kDeleteInputs = 1062;
inline constexpr ui::ControlId kWriteLog = 1064;
inline constexpr ui::ControlId kOk = 1071;
inline constexpr ui::ControlId kCancel = 1037;
}  // namespace settings_ids

// Main-window pages, as the dialog is told which one is current.
enum class Page { encrypt = 1, decrypt = 2, sharing = 3 };

// The texts this dialog shows (package/messages.h).
using package::msg::kFileOpen;
using package::msg::kSharingRefusesPictures;
using package::msg::kWarningCaption;

class SettingsDialog final : public ui::DialogPresenter {
  public:
    SettingsDialog(std::filesystem::path settings_file, Page page, ui::Interaction& interaction)
        : file_(std::move(settings_file)), page_(page), interaction_(interaction) {}

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    // Escape is swallowed: the dialog closes only through OK or cancel.
    void on_close() override {}

    // The dialog's record, as the main window copies it after OK.
    const Settings& settings() const { return settings_; }

  private:
    void ok();

    std::filesystem::path file_;
    Page page_;
    ui::Interaction& interaction_;
    ui::DialogView* view_ = nullptr;
    Settings settings_;
};

// The main window after the dialog ended with OK: copies algorithm,
// delete-inputs and write-log (an algorithm outside 0..2 becomes 0) and a
// changed mode (clamped the same way). True when the mode changed, so the
// default output name must be derived again.
bool take_dialog_settings(Settings& main_window, const Settings& dialog);

}  // namespace shell
