#include <io.h>
#include <windows.h>

#include <system_error>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

std::filesystem::path path_from_utf8(std::string_view utf8) {
    auto wide = to_wide(utf8);
    return wide ? std::filesystem::path(*wide) : std::filesystem::path();
}

std::string path_to_utf8(const std::filesystem::path& path) {
    auto utf8 = from_wide(path.native());
    return utf8 ? *utf8 : std::string();
}

std::filesystem::path program_folder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::filesystem::current_path();
        if (n < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
        buffer.resize(buffer.size() * 2);
    }
}

namespace {
// FILETIME counts 100 ns since 1601-01-01.
constexpr long long kEpochDifference = 116444736000000000LL;

std::chrono::system_clock::time_point from_filetime(const FILETIME& ft) {
    long long ticks = (static_cast<long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    auto since_1970 =
        std::chrono::duration<long long, std::ratio<1, 10000000>>(ticks - kEpochDifference);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(since_1970));
}

FILETIME to_filetime(std::chrono::system_clock::time_point t) {
    auto ticks =
        std::chrono::duration_cast<std::chrono::duration<long long, std::ratio<1, 10000000>>>(
            t.time_since_epoch())
            .count() +
        kEpochDifference;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(ticks) >> 32);
    return ft;
}
}  // namespace

std::optional<FileTimes> file_times(const std::filesystem::path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return FileTimes{from_filetime(data.ftLastWriteTime), from_filetime(data.ftLastAccessTime)};
}

bool set_file_times(const std::filesystem::path& file, const FileTimes& times) {
    HANDLE h = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME accessed = to_filetime(times.accessed);
    FILETIME modified = to_filetime(times.modified);
    BOOL ok = SetFileTime(h, nullptr, &accessed, &modified);
    CloseHandle(h);
    return ok != FALSE;
}

bool flush_to_device(std::FILE* stream) {
    if (stream == nullptr) return false;
    if (std::fflush(stream) != 0) return false;
    auto h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) != FALSE;
}

std::FILE* open_file(const std::filesystem::path& file, const char* mode) {
    std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(file.c_str(), wide_mode.c_str());
}

}  // namespace platform

namespace platform {

std::optional<std::uint64_t> stream_size(std::FILE* stream) {
    if (stream == nullptr || _fseeki64(stream, 0, SEEK_END) != 0) return std::nullopt;
    long long end = _ftelli64(stream);
    if (end < 0 || _fseeki64(stream, 0, SEEK_SET) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(end);
}

bool stream_seek(std::FILE* stream, std::uint64_t offset) {
    return stream != nullptr && _fseeki64(stream, static_cast<long long>(offset), SEEK_SET) == 0;
}

// Only symbolic links and junctions count: other reparse points (cloud
// placeholders, deduplicated files) hold the file's own data.
bool is_link(const std::filesystem::path& path) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(path.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
            data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

bool remove_link(const std::filesystem::path& path) {
    if (!is_link(path)) return false;
    DWORD attributes = GetFileAttributesW(path.c_str());
    // A directory link or junction goes with RemoveDirectory, which removes
    // the reparse point and leaves the target alone.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(path.c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace platform
