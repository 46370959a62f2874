// The start window (template 129): three picture buttons that open the main
// window on the encrypt, decrypt or file-sharing page.
#pragma once

#include <filesystem>
#include <optional>

#include "shell/settings_dialog.h"
#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace start_ids {
inline constexpr int kTemplate = IDD_START;
inline constexpr ui::ControlId kEncrypt = IDC_START_ENCRYPT;
inline constexpr ui::ControlId kDecrypt = IDC_START_DECRYPT;
inline constexpr ui::ControlId kSharing = IDC_START_SHARING;
}  // namespace start_ids

// The page a start button leads to; nullopt for any other result (the window
// was closed and the program ends).
std::optional<Page> page_for_start_result(int result);

class StartWindow final : public ui::DialogPresenter {
  public:
    // `place_at`: where to put the window's top-left corner when it is
    // opened again from the main window's home button.
    StartWindow(std::filesystem::path program_folder, std::optional<ui::Point> place_at)
        : program_folder_(std::move(program_folder)), place_at_(place_at) {}

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    void on_close() override;

    // Where the main window goes, once a start button was pressed.
    std::optional<ui::Point> main_corner() const { return main_corner_; }

  private:
    std::filesystem::path program_folder_;
    std::optional<ui::Point> place_at_;
    std::optional<ui::Point> main_corner_;
    ui::DialogView* view_ = nullptr;
};

}  // namespace shell
