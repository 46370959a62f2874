// Conventions of the system the program runs on, for the updater's lists and
// logs: which narrow text other programs read, the local calendar, and the
// folder separator of paths written Windows style.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// A log line as the system's narrow text: the ANSI code page on Windows
// (characters it lacks become its default character), UTF-8 unchanged
// elsewhere.
std::string to_system_narrow(std::string_view utf8);

// Local calendar time of `time`; false when the system cannot convert it.
bool local_calendar(std::time_t time, std::tm& out);

// A path as lists and configuration files write it ("..\Vellora.exe",
// "Update\Sub\a.dll"): a backslash separates folders on every system.
std::filesystem::path path_from_windows_text(std::string_view utf8);

}  // namespace platform
