#include "shell/update_check.h"

#include "netdown/local_path.h"
#include "platform/files.h"
#include "platform/process.h"
#include "updater/version_list.h"

namespace shell {

namespace {

constexpr std::chrono::milliseconds kPause{100};

}  // namespace

std::string in_program_folder(const std::filesystem::path& program_folder,
                              const std::string& text) {
    if (program_folder.empty()) return text;
    return platform::path_to_utf8(program_folder / netdown::LocalPath(text));
}

std::optional<updater::UpdateConfig> load_server_config(const std::filesystem::path& file,
                                                        ui::Interaction& interaction) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        interaction.message_box(kConfigMissingText, kWarningCaption, ui::mb::ok);
        return std::nullopt;
    }
    return updater::ReadUpdateConfig(file);
}

bool connect_to_server(netdown::Downloader& downloader, const updater::UpdateConfig& c,
                       ui::Interaction& interaction) {
    if (downloader.SetLoginInfo(c.remote_address, c.service, c.passive, c.port, c.login_name,
                                c.login_password, c.secure) &&
        downloader.ConnectServer())
        return true;
    interaction.message_box(kConnectFailedText, kWarningCaption, ui::mb::ok);
    return false;
}

bool check_for_update(netdown::Downloader& downloader, platform::Clock& clock,
                      ui::Interaction& interaction, const std::filesystem::path& program_folder) {
    const auto config = load_server_config(
        netdown::LocalPath(in_program_folder(program_folder, kUpdateConfigFile)), interaction);
    if (!config || !connect_to_server(downloader, *config, interaction)) return false;
    clock.sleep(kPause);
    std::time_t server_time = 0;
    const bool have_server_time = downloader.GetRemoteFileTime(kRemoteMainProgram, server_time);
    const auto local_time = netdown::LastWriteTime(
        netdown::LocalPath(in_program_folder(program_folder, kLocalMainProgram)));
    clock.sleep(kPause);
    if (!have_server_time) return false;
    return updater::NeedsDownload("", local_time, server_time);
}

bool launch_updater(const std::filesystem::path& program_folder) {
    std::string command = in_program_folder(program_folder, kUpdaterCommandLine);
    if (!program_folder.empty()) command = "\"" + command + "\"";  // the folder may hold blanks
    return platform::start_process(
        command, netdown::LocalPath(in_program_folder(program_folder, kUpdaterFolder)));
}

}  // namespace shell
