#include "netdown/local_path.h"

#include <chrono>
#include <system_error>

namespace netdown {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

fs::path LocalPath(const std::string& text) {
    std::u8string u8(text.begin(), text.end());
#if !defined(_WIN32)
    for (auto& c : u8)
        if (c == u8'\\') c = u8'/';
#endif
    return fs::path(u8);
}

bool CreateFolderWithParents(const std::string& folder) {
    constexpr std::size_t kMaxPath = 260;
    constexpr int kMaxAttempts = 20;
    if (folder.empty() || folder.size() + 1 > kMaxPath) return false;

    // Each prefix that ends before a separator, then the whole text.
    int attempts = 0;
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && !IsSeparator(folder[i])) continue;
        if (IsSeparator(folder[i - 1])) continue;  // "a\\b" or a leading root
        const std::string prefix = folder.substr(0, i);
        if (prefix == "." || prefix == ".." || (prefix.size() == 2 && prefix[1] == ':')) continue;
        if (++attempts > kMaxAttempts) return false;
        std::error_code ec;
        const fs::path path = LocalPath(prefix);
        fs::create_directory(path, ec);
        if (ec && !fs::is_directory(path)) return false;
    }
    return fs::is_directory(LocalPath(folder));
}

std::optional<std::time_t> LastWriteTime(const fs::path& path) {
    std::error_code ec;
    const auto file_time = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    const auto sys = std::chrono::file_clock::to_sys(file_time);
    return std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(sys));
}

bool SetLastWriteTime(const fs::path& path, std::time_t time) {
    std::error_code ec;
    const auto sys = std::chrono::system_clock::from_time_t(time);
    fs::last_write_time(path, std::chrono::file_clock::from_sys(sys), ec);
    return !ec;
}

std::string FormatLocalTime(std::time_t time) {
    std::tm local{};
#if defined(_WIN32)
    if (localtime_s(&local, &time) != 0) return "";
#else
    if (!localtime_r(&time, &local)) return "";
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::optional<std::time_t> ToCalendarTime(int year, int month, int day, int hour, int minute,
                                          int second) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                              std::chrono::day{unsigned(day)}};
    if (!date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 60)
        return std::nullopt;
    const auto when = sys_days{date} + hours{hour} + minutes{minute} + seconds{second};
    return system_clock::to_time_t(when);
}

}  // namespace netdown
