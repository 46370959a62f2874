// Private profile (INI) files: GetPrivateProfileString and -Int on Windows,
// a reader of the same rules elsewhere. Values are at most 511 bytes, as the
// 512-byte buffers of the callers hold.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

inline constexpr std::size_t kIniValueLimit = 511;

// The value of `key` in `section` (both compared without regard to case),
// trimmed, one pair of enclosing quotes removed; `fallback` when the file,
// the section or the key is missing.
std::string ini_string(const std::filesystem::path& file, const std::string& section,
                       const std::string& key, const std::string& fallback);

// The value's leading decimal integer (0 when it has none); `fallback` when
// the key is missing or its value empty.
int ini_int(const std::filesystem::path& file, const std::string& section, const std::string& key,
            int fallback);

}  // namespace platform
