// The settings dialog (template 132): edits its own copy of the four
// settings and writes Proper.dat on OK.
#pragma once

#include <filesystem>

#include "shell/settings.h"
#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace settings_ids {
inline constexpr int kTemplate = IDD_SETTINGS;
inline constexpr ui::ControlId kMode = IDC_SETTINGS_MODE;
inline constexpr ui::ControlId kAlgorithm = IDC_SETTINGS_ALGORITHM;
inline constexpr ui::ControlId kDeleteInputs = IDC_SETTINGS_DELETE_INPUTS;
inline constexpr ui::ControlId kWriteLog = IDC_SETTINGS_WRITE_LOG;
inline constexpr ui::ControlId kOk = IDC_SETTINGS_OK;
inline constexpr ui::ControlId kCancel = IDC_SETTINGS_CANCEL;
}  // namespace settings_ids

// Main-window pages, as the dialog is told which one is current.
enum class Page { encrypt = 1, decrypt = 2, sharing = 3 };

inline constexpr char kSharingRefusesBmp[] =
    "현재 '파일공유'암호화를 사용하계십니다. \n'파일공유'암호화는 'BMP 파일에 숨김' 기능을 "
    "지원하지 않습니다.";

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
