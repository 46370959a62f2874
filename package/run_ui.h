// What the encrypt and decrypt runs need from the person at the screen.
// The main window and the command line hand in ui::Interaction (see
// package/interaction_ui.h); tests hand in a script.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/secret.h"

namespace package {

class RunUi {
  public:
    virtual ~RunUi() = default;
    // An information box (a warning box when a caption is given).
    virtual void message(const std::string& text, const std::string& caption = {}) = 0;
    // The new-password dialog (typed twice, at least 6 bytes); nullopt = cancel.
    virtual std::optional<platform::SecretBytes> new_password() = 0;
    // The password entry dialog; nullopt = cancel.
    virtual std::optional<platform::SecretBytes> password() = 0;
    // A save dialog proposing `proposed`; asks before overwriting; nullopt = cancel.
    virtual std::optional<std::filesystem::path> save_as(const std::filesystem::path& proposed,
                                                         const std::string& filter) = 0;
    virtual void shell_open(const std::filesystem::path& path) = 0;
    virtual void status(const std::string& text) = 0;
    virtual void progress(std::uint64_t position, std::uint64_t range) = 0;
};

// Where the runs' side effects beyond their outputs go.
struct RunServices {
    // Overwrites a file at its full length, then removes it under a random
    // name; false when it could not.
    std::function<bool(const std::filesystem::path&)> erase;
    // Appends one activity-log line (the log adds its date prefix); empty
    // when logging is off.
    std::function<void(const std::string&)> log;
    // The file `log` appends to: no output of the run takes its place.
    std::filesystem::path log_file;
};

}  // namespace package
