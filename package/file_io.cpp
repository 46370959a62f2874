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

std::optional<std::uint64_t> size_of_file(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return std::nullopt;
    return size;
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

namespace package {

bool StagedOutput::open(const std::filesystem::path& target) {
    discard();
    target_ = target;
    std::error_code ec;
    for (unsigned n = 0; n < 1000; ++n) {
        std::filesystem::path name = target.filename();
        name += ".part" + (n == 0 ? std::string() : std::to_string(n));
        temp_ = target.parent_path() / name;
        if (!std::filesystem::exists(temp_, ec)) {
            file_ = open_file(temp_, "wb");
            if (!file_) temp_.clear();
            return file_ != nullptr;
        }
    }
    temp_.clear();
    return false;
}

bool StagedOutput::commit() {
    if (!file_) return false;
    const bool flushed = flush_to_device(file_.get());
    const bool closed = std::fclose(file_.release()) == 0;
    std::error_code ec;
    if (flushed && closed) std::filesystem::rename(temp_, target_, ec);
    if (!flushed || !closed || ec) {
        discard();
        return false;
    }
    temp_.clear();
    return true;
}

void StagedOutput::discard() {
    file_.reset();
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        temp_.clear();
    }
}

}  // namespace package
