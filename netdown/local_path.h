// Paths as the version list and the configuration write them (Windows style,
// "..\Vellora.exe", "Update\Sub\a.dll") turned into the system's paths.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace netdown {

// UTF-8 text to a path; on POSIX a backslash becomes a folder separator.
std::filesystem::path LocalPath(const std::string& text);

// Whether a relative local path from a server's list stays inside `root`
// when it is resolved against `working_folder` (which must lie inside
// `root`, or be `root`). Refused: empty paths, absolute, rooted and UNC
// paths, anything with ':' (drive letters, alternate data streams), control
// characters, components of dots and blanks other than "." and ".." (which
// Windows would trim into something else), and any ".." that climbs above
// `root`. The one rule for the updater's module paths and the banner
// movie names.
bool LocalPathStaysInside(const std::string& text, const std::filesystem::path& working_folder,
                          const std::filesystem::path& root);

// Creates `folder` and every missing parent; an existing folder is success.
// Refuses texts of 260 bytes or more and more than 20 levels.
bool CreateFolderWithParents(const std::string& folder);

// Last-write time as a calendar time, nothing when the file cannot be read.
std::optional<std::time_t> LastWriteTime(const std::filesystem::path& path);
bool SetLastWriteTime(const std::filesystem::path& path, std::time_t time);

// "%Y-%m-%d %H:%M:%S" of a calendar time in local time.
std::string FormatLocalTime(std::time_t time);

// Calendar time of a universal broken-down time; nothing when out of range.
std::optional<std::time_t> ToCalendarTime(int year, int month, int day, int hour, int minute,
                                          int second);

}  // namespace netdown
