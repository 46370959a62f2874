// Vellora's start-up against the update server: is there a newer main
// program (then the updater is started and Vellora ends), and the refresh of
// the banner movies. Paths are taken in the program folder; an empty folder
// is the working directory, and then every path is used as written.
#pragma once

#include <filesystem>
#include <optional>

#include "netdown/downloader.h"
#include "package/messages.h"
#include "platform/clock.h"
#include "ui/ports.h"
#include "updater/config.h"

namespace shell {

inline constexpr char kUpdateConfigFile[] = ".\\Update\\VLR.ini";
inline constexpr char kBannerConfigFile[] = ".\\Banner\\VLRBanner.ini";
inline constexpr char kRemoteMainProgram[] = "/down/Vellora.exe";
inline constexpr char kLocalMainProgram[] = ".\\Vellora.exe";
inline constexpr char kUpdaterCommandLine[] = ".\\Update\\VLRUpdate.exe";
inline constexpr char kUpdaterFolder[] = ".\\Update\\";
// The texts the update check shows (package/messages.h).
using package::msg::kConfigMissingText;
using package::msg::kConnectFailedText;
using package::msg::kWarningCaption;

// `text` (".\Update\VLR.ini") in the program folder, as the downloader
// and the process start take it: unchanged when the folder is empty.
std::string in_program_folder(const std::filesystem::path& program_folder, const std::string& text);

// The server configuration; a missing file shows its box and gives nothing.
std::optional<updater::UpdateConfig> load_server_config(const std::filesystem::path& file,
                                                        ui::Interaction& interaction);

// Logs in and connects; a failure shows "ERROR: ConnectServer".
bool connect_to_server(netdown::Downloader& downloader, const updater::UpdateConfig& config,
                       ui::Interaction& interaction);

// True when the server holds a newer main program than ".\Vellora.exe" (or
// that file is missing). A server time that cannot be had answers false:
// the updater starts Vellora again when it cannot reach the server either,
// and the two must not start each other without end.
bool check_for_update(netdown::Downloader& downloader, platform::Clock& clock,
                      ui::Interaction& interaction,
                      const std::filesystem::path& program_folder = {});

// Starts ".\Update\VLRUpdate.exe" in ".\Update\" without waiting.
bool launch_updater(const std::filesystem::path& program_folder = {});

}  // namespace shell
