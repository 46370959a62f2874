// The Interaction of a Win32 program's window thread: message boxes owned
// by the active window, the common file dialogs, the folder picker, shell
// "open", the current page's status line and bar, the message pump and the
// dialogs run through the one dialog host.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/ports.h"
#include "ui/win32/dialog_host.h"

namespace ui::win32 {

class WindowsInteraction final : public Interaction {
  public:
    // Wires a window before it opens: key rules, drops, look, feedback.
    using Configure = std::function<void(int template_id, DialogPresenter&, HostOptions&)>;

    explicit WindowsInteraction(HINSTANCE instance, Configure configure = {})
        : instance_(instance), configure_(std::move(configure)) {}

    Answer message_box(std::string_view text, std::string_view caption,
                       unsigned style = mb::ok) override;
    std::vector<std::filesystem::path> open_files(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> save_file(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> choose_folder(std::string_view title) override;
    // The password dialogs belong to the program's presenters: wrap this
    // interaction (shell::PasswordDialogInteraction) to get them. Here they
    // answer "cancelled".
    std::optional<platform::SecretBytes> enter_password() override { return std::nullopt; }
    std::optional<platform::SecretBytes> new_password() override { return std::nullopt; }
    void shell_open(const std::filesystem::path& target) override;
    void set_status(std::string_view text) override;
    void progress(int position, int range) override;
    void pump() override;
    int run_modal(int template_id, DialogPresenter& presenter) override;
    std::unique_ptr<DialogView> open_modeless(int template_id, DialogPresenter& presenter) override;

    // The window that owns message boxes and dialogs now.
    static HWND owner();

  private:
    HINSTANCE instance_;
    Configure configure_;
};

// "name|pattern|name|pattern|" -> the double-NUL-terminated wide filter.
std::wstring file_filter(std::string_view mfc_filter);

}  // namespace ui::win32
