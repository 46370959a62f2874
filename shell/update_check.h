// Vellora's start-up against the update server: is there a newer main
// program (then the updater is started and Vellora ends), and the refresh of
// the banner movies. Paths are relative to the working directory.
#pragma once

#include <filesystem>
#include <optional>

#include "netdown/downloader.h"
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
inline constexpr char kConfigMissingText[] =
    "ERROR : 설정 파일을 읽을수 없습니다. \n해당 파일이 올바른 경로에 있는지 확인하시기 "
    "바랍니다.";
inline constexpr char kConnectFailedText[] = "ERROR: ConnectServer";

// The server configuration; a missing file shows its box and gives nothing.
std::optional<updater::UpdateConfig> LoadServerConfig(const std::string& file,
                                                      ui::Interaction& interaction);

// Logs in and connects; a failure shows "ERROR: ConnectServer".
bool ConnectToServer(netdown::Downloader& downloader, const updater::UpdateConfig& config,
                     ui::Interaction& interaction);

// True when the server holds a newer main program than ".\Vellora.exe" (or
// that file is missing). A server time that cannot be had answers false:
// the updater starts Vellora again when it cannot reach the server either,
// and the two must not start each other without end.
bool CheckForUpdate(netdown::Downloader& downloader, platform::Clock& clock,
                    ui::Interaction& interaction);

// Starts ".\Update\VLRUpdate.exe" in ".\Update\" without waiting.
bool LaunchUpdater();

}  // namespace shell
