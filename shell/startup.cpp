#include "shell/startup.h"

#include <system_error>

#include "platform/files.h"

namespace shell {

ProgramFiles program_files(const std::filesystem::path& program_folder) {
    ProgramFiles f;
    f.folder = program_folder;
    f.log_folder = program_folder / "Log";
    f.key_folder = program_folder / "Key";
    f.log_path = f.log_folder / "Vellora.log";
    f.settings_path = program_folder / kSettingsFileName;
    return f;
}

bool prepare_program_folder(const ProgramFiles& files, ui::Interaction& interaction,
                            Settings& settings) {
    platform::ensure_folder(files.log_folder);
    platform::ensure_folder(files.key_folder);
    std::error_code ec;
    bool ok;
    if (!std::filesystem::exists(files.settings_path, ec)) {
        settings = Settings{};
        ok = write_settings(files.settings_path, settings);
    } else {
        ok = read_settings(files.settings_path, settings);
    }
    if (!ok) interaction.message_box(kFileOpen, kWarningCaption, ui::mb::ok);
    return ok;
}

}  // namespace shell
