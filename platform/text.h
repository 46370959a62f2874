// Text conversion between the program's UTF-8 and the Korean code page 949
// (the system's narrow code page), which every stored name, message, log
// line and password uses. A character that 949 cannot hold is an error; it is
// never replaced by a default character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 -> code page 949. nullopt when the input is not valid UTF-8 or holds
// a character that 949 cannot represent.
std::optional<std::string> to_cp949(std::string_view utf8);

// Code page 949 -> UTF-8. nullopt when the input is not valid 949 text.
std::optional<std::string> from_cp949(std::string_view cp949);

// Byte length of the text once converted to code page 949 (the length the
// stored formats and the length rules count); nullopt as for to_cp949.
std::optional<std::size_t> cp949_length(std::string_view utf8);

// Code page 949 text as this system's own text files hold it: unchanged on
// Windows, UTF-8 elsewhere. nullopt when the input is not valid 949 text.
std::optional<std::string> cp949_to_native_text(std::string_view cp949);

// UTF-8 <-> the platform's wide strings (UTF-16 on Windows, UTF-32
// elsewhere), for the Win32 W API. nullopt on malformed input.
std::optional<std::wstring> to_wide(std::string_view utf8);
std::optional<std::string> from_wide(std::wstring_view wide);

}  // namespace platform
