#include "platform/conventions.h"

namespace platform {

std::string to_system_narrow(std::string_view utf8) {
    return std::string(utf8);
}

bool local_calendar(std::time_t time, std::tm& out) {
    return localtime_r(&time, &out) != nullptr;
}

std::filesystem::path path_from_windows_text(std::string_view utf8) {
    std::u8string text(utf8.begin(), utf8.end());
    for (auto& c : text)
        if (c == u8'\\') c = u8'/';
    return std::filesystem::path(text);
}

}  // namespace platform
