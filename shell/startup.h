// The folder and settings steps of the main window's start-up: the Log and
// Key folders beside the program, the log path, and Proper.dat created or
// read.
#pragma once

#include <filesystem>

#include "package/messages.h"
#include "shell/settings.h"
#include "ui/ports.h"

namespace shell {

struct ProgramFiles {
    std::filesystem::path folder;         // the program folder
    std::filesystem::path log_folder;     // folder\Log
    std::filesystem::path key_folder;     // folder\Key
    std::filesystem::path log_path;       // folder\Log\Vellora.log
    std::filesystem::path settings_path;  // folder\Proper.dat
};

ProgramFiles program_files(const std::filesystem::path& program_folder);

// The texts start-up shows (package/messages.h).
using package::msg::kFileOpen;
using package::msg::kWarningCaption;

// Creates Log and Key when missing (failures are not reported), then loads
// Proper.dat into `settings`, creating it with four zeros when missing.
// When Proper.dat can be neither created nor read, shows "파일 열기 오류" /
// "경고" and returns false: the main window's set-up stops there.
bool prepare_program_folder(const ProgramFiles& files, ui::Interaction& interaction,
                            Settings& settings);

}  // namespace shell
