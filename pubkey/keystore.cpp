#include "pubkey/keystore.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "platform/files.h"

namespace keystore {

namespace fs = std::filesystem;

bool name_is_allowed(std::string_view name) {
    return name.find_first_of(kForbiddenCharacters) == std::string_view::npos;
}

std::string key_file_name(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && name.substr(dot) == kKeySuffix) return std::string(name);
    return std::string(name) + kKeySuffix;
}

fs::path key_file_path(const fs::path& key_folder, std::string_view name) {
    return key_folder / platform::path_from_utf8(key_file_name(name));
}

std::vector<std::string> list_key_files(const fs::path& key_folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(key_folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (!it->is_regular_file(type_ec)) continue;
        std::string name = platform::path_to_utf8(it->path().filename());
        const auto dot = name.rfind('.');
        if (dot != std::string::npos && name.substr(dot) == kKeySuffix) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

WriteResult replace_file(const fs::path& destination, std::span<const std::uint8_t> bytes) {
    return platform::write_file_staged(destination, bytes, ".tmp");
}

std::optional<std::vector<std::uint8_t>> read_key_file(const fs::path& file) {
    platform::FilePtr f = platform::open_file(file, "rb");
    if (f == nullptr) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    if (std::ferror(f.get()) != 0) return std::nullopt;
    return bytes;
}

}  // namespace keystore
