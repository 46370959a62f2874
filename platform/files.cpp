// The parts of the file helpers that the standard library covers the same
// way on every system.
#include "platform/files.h"

#include <string>
#include <system_error>

#include "platform/files_system.h"

namespace platform {

bool ensure_folder(const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directory(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

std::optional<std::uint64_t> file_size(const std::filesystem::path& file) {
    std::error_code ec;
    auto size = std::filesystem::file_size(file, ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

std::filesystem::path without_trailing_separators(const std::filesystem::path& path) {
    auto text = path.native();
    const std::size_t keep = path.root_path().native().size();
    auto is_separator = [](auto c) {
        return c == '/' || c == std::filesystem::path::preferred_separator;
    };
    while (text.size() > keep && is_separator(text.back())) text.pop_back();
    return std::filesystem::path(std::move(text));
}

std::optional<TempFile> create_temp_beside(const std::filesystem::path& target,
                                           std::string_view suffix) {
    // A bounded number of tries: every name taken means something is wrong.
    constexpr unsigned kTries = 1000;
    for (unsigned n = 0; n < kTries; ++n) {
        std::filesystem::path name = target.filename();
        name += std::string(suffix) + (n == 0 ? std::string() : std::to_string(n));
        std::filesystem::path candidate = target.parent_path() / name;
        bool taken = false;
        FilePtr file = system::create_new_file(candidate, taken);
        if (file) return TempFile{std::move(file), std::move(candidate)};
        if (!taken) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace platform
