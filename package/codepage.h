// Text as packages store it: code page 949 bytes on every platform, so a
// package moves between Windows and Linux unchanged.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "package/bytes.h"

namespace package {

// nullopt when a character has no code page 949 form (never replaced).
std::optional<Bytes> to_codepage(std::string_view utf8);
// nullopt when the bytes are not valid code page 949.
std::optional<std::string> from_codepage(std::span<const std::uint8_t> bytes);

// A path as UTF-8 text, the way the user's list shows it.
std::string path_text(const std::filesystem::path& path);
std::filesystem::path path_from_text(const std::string& utf8);

}  // namespace package
