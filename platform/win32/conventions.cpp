#include <windows.h>

#include "platform/conventions.h"
#include "platform/text.h"

namespace platform {

std::string to_system_narrow(std::string_view utf8) {
    const std::wstring wide = to_wide(utf8).value_or(L"");
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n,
                        nullptr, nullptr);
    return narrow;
}

bool local_calendar(std::time_t time, std::tm& out) {
    return localtime_s(&out, &time) == 0;
}

std::filesystem::path path_from_windows_text(std::string_view utf8) {
    std::u8string text(utf8.begin(), utf8.end());
    return std::filesystem::path(text);
}

}  // namespace platform
