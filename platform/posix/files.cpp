#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>
#include <vector>

#include "platform/files.h"
#include "platform/files_system.h"

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

FilePtr open_file(const std::filesystem::path& file, const char* mode) {
    return FilePtr(std::fopen(file.c_str(), mode));
}

namespace {
// Hands an open descriptor to a stream; the descriptor is closed when that fails.
FilePtr stream_of(int fd, const char* mode) {
    if (fd < 0) return nullptr;
    std::FILE* f = fdopen(fd, mode);
    if (f == nullptr) close(fd);
    return FilePtr(f);
}
}  // namespace

FilePtr system::create_new_file(const std::filesystem::path& path, bool& taken) {
    // O_EXCL fails on any existing name, a dangling link included.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    taken = fd < 0 && errno == EEXIST;
    return stream_of(fd, "wb");
}

namespace {
// The temporary takes the permission bits of the regular file it replaces,
// so a read-only or private file stays so. Set-id bits are not carried to
// new contents; a link or nothing at the target leaves the temporary's mode.
void keep_mode(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    struct stat old {};
    if (lstat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return;
    int fd = open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    if (fchmod(fd, old.st_mode & 0777) == 0) fsync(fd);
    close(fd);
}
}  // namespace

bool replace_file(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    keep_mode(temporary, target);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) return false;
    // The new name must survive a crash too: force the folder's entry.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

OverwriteTarget open_for_overwrite(const std::filesystem::path& path) {
    const std::filesystem::path name = without_trailing_separators(path);
    // O_NONBLOCK: opening a pipe must not wait for a reader.
    int fd = open(name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
            case ENOENT:
            case ENOTDIR:
                return {nullptr, OverwriteOpen::missing};
            case ELOOP:
            case EISDIR:
            case ENXIO:
            case ENODEV:
                return {nullptr, OverwriteOpen::not_regular};
            default:
                return {nullptr, OverwriteOpen::denied};
        }
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return {nullptr, OverwriteOpen::not_regular};
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FilePtr file = stream_of(fd, "r+b");
    if (!file) return {nullptr, OverwriteOpen::denied};
    return {std::move(file), OverwriteOpen::opened};
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
    return lstat(without_trailing_separators(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool remove_link(const std::filesystem::path& path) {
    return is_link(path) && unlink(without_trailing_separators(path).c_str()) == 0;
}

}  // namespace platform
