// The parts of the file helpers that the standard library covers the same
// way on every system.
#include "platform/files.h"

#include <system_error>

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

}  // namespace platform
