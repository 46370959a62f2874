#include "shell/update_check.h"

#include "netdown/local_path.h"
#include "platform/process.h"
#include "updater/version_list.h"

namespace shell {

namespace {

constexpr std::chrono::milliseconds kPause{100};

}  // namespace

std::optional<updater::UpdateConfig> LoadServerConfig(const std::string& file,
                                                      ui::Interaction& interaction) {
    const auto path = netdown::LocalPath(file);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        interaction.message_box(kConfigMissingText, kWarningCaption, ui::mb::ok);
        return std::nullopt;
    }
    return updater::ReadUpdateConfig(path);
}

bool ConnectToServer(netdown::Downloader& downloader, const updater::UpdateConfig& c,
                     ui::Interaction& interaction) {
    if (downloader.SetLoginInfo(c.remote_address, c.service, c.passive, c.port, c.login_name,
                                c.login_password, c.secure) &&
        downloader.ConnectServer())
        return true;
    interaction.message_box(kConnectFailedText, kWarningCaption, ui::mb::ok);
    return false;
}

bool CheckForUpdate(netdown::Downloader& downloader, platform::Clock& clock,
                    ui::Interaction& interaction) {
    const auto config = LoadServerConfig(kUpdateConfigFile, interaction);
    if (!config || !ConnectToServer(downloader, *config, interaction)) return false;
    clock.sleep(kPause);
    std::time_t server_time = 0;
    const bool have_server_time = downloader.GetRemoteFileTime(kRemoteMainProgram, server_time);
    const auto local_time = netdown::LastWriteTime(netdown::LocalPath(kLocalMainProgram));
    clock.sleep(kPause);
    if (!have_server_time) return false;
    return updater::NeedsDownload("", local_time, server_time);
}

bool LaunchUpdater() {
    return platform::start_process(kUpdaterCommandLine, netdown::LocalPath(kUpdaterFolder));
}

}  // namespace shell
