#include "package/file_io.h"

#include <system_error>

namespace package {

std::optional<std::uint64_t> size_of_file(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    return platform::file_size(path);
}

std::optional<Bytes> read_whole(const std::filesystem::path& path) {
    auto size = size_of_file(path);
    FilePtr f = open_file(path, "rb");
    if (!size || !f) return std::nullopt;
    Bytes data(static_cast<std::size_t>(*size));
    if (!data.empty() && std::fread(data.data(), 1, data.size(), f.get()) != data.size())
        return std::nullopt;
    return data;
}

bool FileSource::read_at(std::uint64_t offset, void* out, std::size_t n) {
    if (offset > size_ || size_ - offset < n) return false;
    if (n == 0) return true;
    return platform::stream_seek(f_, offset) && std::fread(out, 1, n, f_) == n;
}

}  // namespace package
