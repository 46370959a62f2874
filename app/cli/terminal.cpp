#include "app/cli/terminal.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "package/messages.h"
#include "platform/text.h"

#ifdef _WIN32
#include <conio.h>
#include <io.h>
#else
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace cli {

namespace {

using package::msg::kEnterPassword;
using package::msg::kPasswordAgainPrompt;
using package::msg::kPasswordPrompt;
using package::msg::kPasswordTooShort;
using package::msg::kWarningCaption;
using package::msg::kWrongPassword;

void strip_line_end(std::string& s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
}

#ifndef _WIN32
// Echo is off while a password is typed. A signal that ends the program
// then (Ctrl-C, a closed terminal, kill) must not leave the user's shell
// without echo: the handler puts the saved settings back and lets the
// signal end the program as it would have.
termios saved_terminal{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restore_terminal_and_end(int signal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
    // SA_RESETHAND made the default action current; it runs on return.
    raise(signal);
}

class EchoOff {
  public:
    EchoOff() {
        if (tcgetattr(STDIN_FILENO, &saved_terminal) != 0) return;
        active_ = true;
        struct sigaction on_signal {};
        on_signal.sa_handler = restore_terminal_and_end;
        sigemptyset(&on_signal.sa_mask);
        on_signal.sa_flags = SA_RESETHAND;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            sigaction(kEndingSignals[i], &on_signal, &previous_[i]);
        termios quiet = saved_terminal;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (!active_) return;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_terminal);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
            sigaction(kEndingSignals[i], &previous_[i], nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    bool active_ = false;
    struct sigaction previous_[std::size(kEndingSignals)]{};
};
#endif

}  // namespace

bool stdin_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

bool stderr_is_terminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

std::optional<platform::SecretBytes> read_password_line(const std::string& source) {
    std::string line;
    bool got = false;
    if (source == "-") {
        got = static_cast<bool>(std::getline(std::cin, line));
    } else {
        std::ifstream in(std::filesystem::u8path(source), std::ios::binary);
        got = in && std::getline(in, line);
    }
    strip_line_end(line);
    platform::SecretBytes password = platform::SecretBytes::take(line);
    if (!got) return std::nullopt;
    return password;
}

std::optional<platform::SecretBytes> ask_password(const char* prompt) {
    if (!stdin_is_terminal()) {
        std::fprintf(stderr, "%s (-p PASSFILE)\n", kEnterPassword);
        return std::nullopt;
    }
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    std::string line;
#ifdef _WIN32
    for (int c = _getwch(); c != '\r' && c != '\n'; c = _getwch()) {
        if (c == 3) {
            platform::wipe_string(line);
            return std::nullopt;
        }
        if (c == '\b') {
            if (!line.empty()) line.pop_back();
            continue;
        }
        wchar_t w = static_cast<wchar_t>(c);
        if (auto u = platform::from_wide(std::wstring_view(&w, 1))) line += *u;
    }
#else
    bool got = false;
    {
        EchoOff quiet;
        got = static_cast<bool>(std::getline(std::cin, line));
    }
    if (!got) {
        platform::wipe_string(line);
        return std::nullopt;
    }
#endif
    std::fputc('\n', stderr);
    strip_line_end(line);
    return platform::SecretBytes::take(line);
}

TerminalInteraction::TerminalInteraction(std::optional<platform::SecretBytes> password_line,
                                         bool assume_yes)
    : password_line_(std::move(password_line)),
      assume_yes_(assume_yes),
      tty_(stderr_is_terminal()) {}

TerminalInteraction::~TerminalInteraction() {
    clear_line();
}

void TerminalInteraction::clear_line() {
    if (line_drawn_) {
        std::fputs("\r\033[K", stderr);
        line_drawn_ = false;
    }
}

ui::Answer TerminalInteraction::message_box(std::string_view text, std::string_view caption,
                                            unsigned style) {
    clear_line();
    std::string shown(text);
    for (std::size_t at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n"))
        shown.erase(at, 1);
    if (!caption.empty() && (style & 0x30) == ui::mb::icon_warning)
        std::fprintf(stderr, "%.*s: ", static_cast<int>(caption.size()), caption.data());
    std::fprintf(stderr, "%s\n", shown.c_str());
    const unsigned buttons = style & 0xF;
    if (buttons == ui::mb::ok) return ui::Answer::ok;
    if (assume_yes_) return buttons == ui::mb::ok_cancel ? ui::Answer::ok : ui::Answer::yes;
    if (!stdin_is_terminal())
        return buttons == ui::mb::ok_cancel ? ui::Answer::cancel : ui::Answer::no;
    std::fputs("[y/N] ", stderr);
    std::string answer;
    std::getline(std::cin, answer);
    const bool yes = !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
    if (buttons == ui::mb::ok_cancel) return yes ? ui::Answer::ok : ui::Answer::cancel;
    return yes ? ui::Answer::yes : ui::Answer::no;
}

std::optional<platform::SecretBytes> TerminalInteraction::enter_password() {
    if (password_line_) {
        if (password_line_->empty()) {
            message_box(kEnterPassword, "", ui::mb::ok);
            return std::nullopt;
        }
        return password_line_->clone();
    }
    auto p = ask_password(kPasswordPrompt);
    if (!p) return std::nullopt;
    if (p->empty()) {
        message_box(kEnterPassword, "", ui::mb::ok);
        return std::nullopt;
    }
    return p;
}

std::optional<platform::SecretBytes> TerminalInteraction::new_password() {
    std::optional<platform::SecretBytes> first, second;
    if (password_line_) {
        first = password_line_->clone();
        second = password_line_->clone();
    } else {
        first = ask_password(kPasswordPrompt);
        if (first) second = ask_password(kPasswordAgainPrompt);
    }
    if (!first || !second) return std::nullopt;
    if (*first != *second) {
        message_box(kWrongPassword, kWarningCaption, ui::mb::ok | ui::mb::icon_warning);
        return std::nullopt;
    }
    auto length = platform::cp949_length(first->text());
    if (length && *length < 6) {
        message_box(kPasswordTooShort, kWarningCaption, ui::mb::ok | ui::mb::icon_warning);
        return std::nullopt;
    }
    return first;
}

void TerminalInteraction::set_status(std::string_view text) {
    status_ = text;
    if (!tty_) return;
    clear_line();
    if (!status_.empty()) {
        std::fprintf(stderr, "%s", status_.c_str());
        line_drawn_ = true;
    }
    std::fflush(stderr);
}

void TerminalInteraction::progress(int position, int range) {
    if (!tty_) return;
    clear_line();
    if (range <= 0) return;
    const int percent = position * 100 / range;
    const int filled = position * 30 / range;
    std::fprintf(stderr, "[%s%s] %3d%% %s", std::string(filled, '#').c_str(),
                 std::string(30 - filled, ' ').c_str(), percent, status_.c_str());
    line_drawn_ = true;
    std::fflush(stderr);
}

}  // namespace cli
