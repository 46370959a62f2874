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

std::string trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool is_list_line(const std::string& line) {
    return line.size() > 1 && line[0] != ';';
}

std::vector<std::string> read_lines(const fs::path& path, bool& opened) {
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

bool is_safe_movie_name(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos &&
           name.find("..") == std::string::npos;
}

std::vector<std::string> banner_names_for_download(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        if (!is_list_line(line)) continue;
        std::vector<std::string> fields;
        if (updater::SplitList('|', line, fields) < 2) continue;
        if (is_safe_movie_name(fields[0])) names.push_back(fields[0]);
    }
    return names;
}

std::vector<std::string> banner_names_for_window(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& raw : lines) {
        if (!is_list_line(raw)) continue;
        const std::string line = trim(raw);
        const std::size_t bar = line.find('|');
        if (bar == std::string::npos || bar == 0) continue;
        const std::string name = trim(line.substr(0, bar));
        if (is_safe_movie_name(name)) names.push_back(name);
    }
    return names;
}

void refresh_banners(netdown::Downloader& downloader, platform::Clock& clock,
                     ui::Interaction& interaction, const fs::path& program_folder) {
    const auto config = load_server_config(
        netdown::LocalPath(in_program_folder(program_folder, kBannerConfigFile)), interaction);
    clock.sleep(kPause);
    if (!config) return;
    const bool connected = connect_to_server(downloader, *config, interaction);
    clock.sleep(kPause);
    if (!connected) return;
    const std::string list_file = in_program_folder(program_folder, config->local_version_file);
    const bool listed = downloader.DownloadFile(config->remote_version_file, list_file, 0);
    clock.sleep(kPause);
    if (!listed) return;

    bool opened = false;
    const auto lines = read_lines(netdown::LocalPath(list_file), opened);
    std::vector<BannerEntry> entries;
    for (const std::string& name : banner_names_for_download(lines))
        entries.push_back(
            {in_program_folder(program_folder, ".\\Banner\\" + name), "/down/" + name});
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

fs::path choose_banner_movie(const fs::path& program_folder) {
    const fs::path banner_folder = program_folder / "Banner";
    const fs::path fallback = banner_folder / kDefaultBannerMovie;
    bool opened = false;
    const auto names = banner_names_for_window(read_lines(banner_folder / kBannerListName, opened));
    if (names.empty()) return fallback;
    const std::size_t index = static_cast<std::size_t>(platform::c_rand()) % names.size();
    const fs::path movie = banner_folder / platform::path_from_utf8(names[index]);
    std::error_code ec;
    return fs::exists(movie, ec) ? movie : fallback;
}

}  // namespace shell
