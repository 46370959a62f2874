#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>
#include <vector>

#include "platform/files.h"

namespace platform {

std::filesystem::path path_from_utf8(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string path_to_utf8(const std::filesystem::path& path) {
    return path.string();
}

std::filesystem::path program_folder() {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return std::filesystem::current_path();
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(n)))
                .parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace {
std::chrono::system_clock::time_point from_timespec(const timespec& ts) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec)));
}
timespec to_timespec(std::chrono::system_clock::time_point t) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / 1000000000);
    ts.tv_nsec = static_cast<long>(ns % 1000000000);
    if (ts.tv_nsec < 0) {
        ts.tv_nsec += 1000000000;
        ts.tv_sec -= 1;
    }
    return ts;
}
}  // namespace

std::optional<FileTimes> file_times(const std::filesystem::path& file) {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) return std::nullopt;
    return FileTimes{from_timespec(st.st_mtim), from_timespec(st.st_atim)};
}

bool set_file_times(const std::filesystem::path& file, const FileTimes& times) {
    timespec ts[2] = {to_timespec(times.accessed), to_timespec(times.modified)};
    return utimensat(AT_FDCWD, file.c_str(), ts, 0) == 0;
}

bool flush_to_device(std::FILE* stream) {
    if (stream == nullptr) return false;
    if (std::fflush(stream) != 0) return false;
    return fsync(fileno(stream)) == 0;
}

std::FILE* open_file(const std::filesystem::path& file, const char* mode) {
    return std::fopen(file.c_str(), mode);
}

}  // namespace platform

namespace platform {

std::optional<std::uint64_t> stream_size(std::FILE* stream) {
    if (stream == nullptr || fseeko(stream, 0, SEEK_END) != 0) return std::nullopt;
    off_t end = ftello(stream);
    if (end < 0 || fseeko(stream, 0, SEEK_SET) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

bool stream_seek(std::FILE* stream, std::uint64_t offset) {
    return stream != nullptr && fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool is_link(const std::filesystem::path& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool remove_link(const std::filesystem::path& path) {
    return is_link(path) && unlink(path.c_str()) == 0;
}

}  // namespace platform
