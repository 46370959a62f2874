// ui::Interaction for a terminal: messages on standard error, passwords from
// a file or typed without echo, progress drawn on one line, and no dialogs
// (a save dialog is a cancel: the command line replaces only with --force).
#pragma once

#include <optional>
#include <string>

#include "platform/secret.h"
#include "ui/ports.h"

namespace cli {

class TerminalInteraction final : public ui::Interaction {
  public:
    // `password_line`: the password given by -p; nullopt = ask the terminal.
    // `assume_yes`: confirmations are answered OK without asking.
    TerminalInteraction(std::optional<platform::SecretBytes> password_line, bool assume_yes);
    ~TerminalInteraction() override;

    ui::Answer message_box(std::string_view text, std::string_view caption,
                           unsigned style) override;
    std::vector<std::filesystem::path> open_files(const ui::FileDialogOptions&) override {
        return {};
    }
    std::optional<std::filesystem::path> save_file(const ui::FileDialogOptions&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> choose_folder(std::string_view) override {
        return std::nullopt;
    }
    std::optional<platform::SecretBytes> enter_password() override;
    std::optional<platform::SecretBytes> new_password() override;
    void shell_open(const std::filesystem::path&) override {}
    void set_status(std::string_view text) override;
    void progress(int position, int range) override;
    void pump() override {}
    int run_modal(int, ui::DialogPresenter&) override {
        return static_cast<int>(ui::Answer::cancel);
    }
    std::unique_ptr<ui::DialogView> open_modeless(int, ui::DialogPresenter&) override {
        return nullptr;
    }

  private:
    void clear_line();

    std::optional<platform::SecretBytes> password_line_;
    bool assume_yes_;
    bool tty_;
    std::string status_;
    bool line_drawn_ = false;
};

// Reads the first line of a file ("-" = standard input), without its line end.
std::optional<platform::SecretBytes> read_password_line(const std::string& source);

// Asks on the terminal without echo; nullopt when there is no terminal.
std::optional<platform::SecretBytes> ask_password(const char* prompt);

bool stdin_is_terminal();
bool stderr_is_terminal();

}  // namespace cli
