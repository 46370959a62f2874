#include "shell/banner.h"

#include <cctype>
#include <cstdio>

#include "netdown/local_path.h"
#include "platform/files.h"
#include "platform/random.h"
#include "shell/update_check.h"
#include "updater/version_list.h"

namespace shell {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kPause{100};

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool IsListLine(const std::string& line) {
    return line.size() > 1 && line[0] != ';';
}

std::vector<std::string> ReadLines(const fs::path& path, bool& opened) {
    std::vector<std::string> lines;
    std::FILE* file = platform::open_file(path, "rt").release();
    opened = file != nullptr;
    if (!file) return lines;
    lines = updater::ReadListLines(file);
    std::fclose(file);
    return lines;
}

struct BannerEntry {
    std::string local;
    std::string remote;
    bool download = false;
};

}  // namespace

bool IsSafeMovieName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos &&
           name.find("..") == std::string::npos;
}

std::vector<std::string> BannerNamesForDownload(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        if (!IsListLine(line)) continue;
        std::vector<std::string> fields;
        if (updater::SplitList('|', line, fields) < 2) continue;
        if (IsSafeMovieName(fields[0])) names.push_back(fields[0]);
    }
    return names;
}

std::vector<std::string> BannerNamesForWindow(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& raw : lines) {
        if (!IsListLine(raw)) continue;
        const std::string line = Trim(raw);
        const std::size_t bar = line.find('|');
        if (bar == std::string::npos || bar == 0) continue;
        const std::string name = Trim(line.substr(0, bar));
        if (IsSafeMovieName(name)) names.push_back(name);
    }
    return names;
}

void RefreshBanners(netdown::Downloader& downloader, platform::Clock& clock,
                    ui::Interaction& interaction) {
    const auto config = LoadServerConfig(kBannerConfigFile, interaction);
    clock.sleep(kPause);
    if (!config) return;
    const bool connected = ConnectToServer(downloader, *config, interaction);
    clock.sleep(kPause);
    if (!connected) return;
    const bool listed =
        downloader.DownloadFile(config->remote_version_file, config->local_version_file, 0);
    clock.sleep(kPause);
    if (!listed) return;

    bool opened = false;
    const auto lines = ReadLines(netdown::LocalPath(config->local_version_file), opened);
    std::vector<BannerEntry> entries;
    for (const std::string& name : BannerNamesForDownload(lines))
        entries.push_back({".\\Banner\\" + name, "/down/" + name});
    clock.sleep(kPause);
    if (!opened || entries.empty()) return;

    for (BannerEntry& e : entries) {
        std::optional<std::time_t> server;
        std::time_t t = 0;
        if (downloader.GetRemoteFileTime(e.remote, t)) server = t;
        e.download =
            updater::NeedsDownload("", netdown::LastWriteTime(netdown::LocalPath(e.local)), server);
    }
    clock.sleep(kPause);
    for (const BannerEntry& e : entries) {
        if (!e.download) continue;
        std::uint64_t size = 0;
        if (downloader.GetRemoteFileSize(e.remote, size))
            downloader.DownloadFile(e.remote, e.local, size);
    }
    clock.sleep(kPause);
}

fs::path ChooseBannerMovie(const fs::path& program_folder) {
    const fs::path banner_folder = program_folder / "Banner";
    const fs::path fallback = banner_folder / kDefaultBannerMovie;
    bool opened = false;
    const auto names = BannerNamesForWindow(ReadLines(banner_folder / kBannerListName, opened));
    if (names.empty()) return fallback;
    const std::size_t index = static_cast<std::size_t>(platform::c_rand()) % names.size();
    const fs::path movie = banner_folder / platform::path_from_utf8(names[index]);
    std::error_code ec;
    return fs::exists(movie, ec) ? movie : fallback;
}

}  // namespace shell
