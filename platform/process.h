// Starting other programs and handing documents to the desktop shell.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Starts a process from a Windows-style command line (the program path,
// quoted when it holds blanks, then its arguments) in the given working
// directory. Does not wait. A relative program path is taken from the
// caller's current directory, as CreateProcess does. False when the start
// failed.
bool start_process(std::string_view command_line, const std::filesystem::path& working_directory);

// The shell's "open" verb on a folder or document (ShellExecuteW on Windows,
// xdg-open elsewhere). Does not wait; false when it could not be started.
bool shell_open(const std::filesystem::path& target);

// The calling thread's last system error code (GetLastError on Windows,
// errno elsewhere), for the log line of a failed start, open or load.
long last_system_error();

}  // namespace platform
