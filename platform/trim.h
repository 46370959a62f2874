// White space around a line or field of a settings or list file: the INI
// reader and the updater's version lists cut it the same way.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace platform {

// The text without leading and trailing white space (space, tab, line ends,
// vertical tab, form feed); bytes of UTF-8 or code page 949 are never cut.
inline std::string trim(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return std::string(text.substr(begin, end - begin));
}

}  // namespace platform
