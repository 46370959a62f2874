#include "package/file_io.h"

#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace package {

FilePtr open_file(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(path.c_str(), wmode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

bool seek_to(std::FILE* f, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::optional<std::uint64_t> file_size(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return std::nullopt;
    return size;
}

std::optional<Bytes> read_whole(const std::filesystem::path& path) {
    auto size = package::file_size(path);
    FilePtr f = open_file(path, "rb");
    if (!size || !f) return std::nullopt;
    Bytes data(static_cast<std::size_t>(*size));
    if (!data.empty() && std::fread(data.data(), 1, data.size(), f.get()) != data.size())
        return std::nullopt;
    return data;
}

bool flush_to_device(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

bool write_whole(const std::filesystem::path& path, std::span<const std::uint8_t> data) {
    FilePtr f = open_file(path, "wb");
    if (!f) return false;
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), f.get()) != data.size())
        return false;
    if (!flush_to_device(f.get())) return false;
    return std::fclose(f.release()) == 0;
}

bool FileSource::read_at(std::uint64_t offset, void* out, std::size_t n) {
    if (offset > size_ || size_ - offset < n) return false;
    if (n == 0) return true;
    return seek_to(f_, offset) && std::fread(out, 1, n, f_) == n;
}

}  // namespace package
