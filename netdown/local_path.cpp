#include "netdown/local_path.h"

#include <chrono>
#include <system_error>

#include "platform/conventions.h"

namespace netdown {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// How many folders `folder` lies below `root`; nothing when it is not
// inside. Folder identity comes from the file system, so spelling, case
// and links in the two paths do not matter.
std::optional<std::size_t> DepthBelow(const fs::path& folder, const fs::path& root) {
    if (folder.lexically_normal() == root.lexically_normal()) return 0;
    std::error_code ec;
    fs::path at = fs::weakly_canonical(folder, ec);
    if (ec) return std::nullopt;
    for (std::size_t depth = 0;; ++depth) {
        if (fs::equivalent(at, root, ec)) return depth;
        if (!at.has_relative_path()) return std::nullopt;
        at = at.parent_path();
    }
}

bool IsDotsAndBlanks(const std::string& part) {
    return part.find_first_not_of(". ") == std::string::npos;
}

}  // namespace

bool LocalPathStaysInside(const std::string& text, const fs::path& working_folder,
                          const fs::path& root) {
    if (text.empty() || IsSeparator(text[0]) || text.find(':') != std::string::npos) return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    const auto start = DepthBelow(working_folder, root);
    if (!start) return false;
    std::size_t depth = *start;
    std::size_t begin = 0;
    bool names_something = false;
    while (begin <= text.size()) {
        std::size_t end = begin;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        const std::string part = text.substr(begin, end - begin);
        begin = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (depth == 0) return false;
            --depth;
            names_something = false;
            continue;
        }
        if (IsDotsAndBlanks(part)) return false;
        ++depth;
        names_something = true;
    }
    return names_something;
}

fs::path LocalPath(const std::string& text) {
    return platform::path_from_windows_text(text);
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
    if (!platform::local_calendar(time, local)) return "";
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
