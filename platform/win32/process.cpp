#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "platform/process.h"
#include "platform/text.h"

namespace platform {

bool start_process(std::string_view command_line, const std::filesystem::path& working_directory) {
    auto wide = to_wide(command_line);
    if (!wide) return false;
    std::wstring mutable_line = *wide;  // CreateProcessW may write into it
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const wchar_t* directory = working_directory.empty() ? nullptr : working_directory.c_str();
    if (!CreateProcessW(nullptr, mutable_line.data(), nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, directory, &si, &pi)) {
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool shell_open(const std::filesystem::path& target) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

long last_system_error() {
    return static_cast<long>(GetLastError());
}

}  // namespace platform
