#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <system_error>
#include <vector>

#include "platform/files.h"
#include "platform/files_system.h"
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

FilePtr open_file(const std::filesystem::path& file, const char* mode) {
    std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(file.c_str(), wide_mode.c_str()));
}

namespace {
// Hands an open handle to a stream; the handle is closed when that fails.
FilePtr stream_of(HANDLE h, int flags, const char* mode) {
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, mode);
    if (f == nullptr) _close(fd);
    return FilePtr(f);
}

bool is_link_tag(DWORD tag) {
    return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}
}  // namespace

FilePtr system::create_new_file(const std::filesystem::path& path, bool& taken) {
    // CREATE_NEW fails on any existing name, a dangling link included.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    taken =
        h == INVALID_HANDLE_VALUE && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
    return stream_of(h, _O_WRONLY, "wb");
}

bool replace_file(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    // The temporary takes the read-only, hidden and system marks of the
    // file it replaces (never of a link or folder there). When the move
    // fails, they come off again so the caller can remove the temporary.
    constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD old = GetFileAttributesW(target.c_str());
    const DWORD own = GetFileAttributesW(temporary.c_str());
    const bool carry = old != INVALID_FILE_ATTRIBUTES && own != INVALID_FILE_ATTRIBUTES &&
                       !(old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                       (old & kKept) != 0;
    if (carry) SetFileAttributesW(temporary.c_str(), (own & ~kKept) | (old & kKept));
    if (MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE)
        return true;
    if (carry) SetFileAttributesW(temporary.c_str(), own);
    return false;
}

OverwriteTarget open_for_overwrite(const std::filesystem::path& path) {
    const std::filesystem::path name = without_trailing_separators(path);
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, never its target.
    HANDLE h =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
                return {nullptr, OverwriteOpen::missing};
            default: {
                // A folder cannot be opened this way either; say which it was.
                DWORD attributes = GetFileAttributesW(name.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES &&
                    (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
                    return {nullptr, OverwriteOpen::not_regular};
                return {nullptr, OverwriteOpen::denied};
            }
        }
    }
    // The handle decides: what was opened, not what the name showed before.
    bool regular = GetFileType(h) == FILE_TYPE_DISK;
    BY_HANDLE_FILE_INFORMATION info;
    if (regular && GetFileInformationByHandle(h, &info)) {
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) regular = false;
        if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // Other reparse points (cloud placeholders, deduplicated files)
            // hold the file's own data; links do not.
            FILE_ATTRIBUTE_TAG_INFO tag;
            regular = GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag) &&
                      !is_link_tag(tag.ReparseTag);
        }
    } else {
        regular = false;
    }
    if (!regular) {
        CloseHandle(h);
        return {nullptr, OverwriteOpen::not_regular};
    }
    FilePtr file = stream_of(h, _O_RDWR, "r+b");
    if (!file) return {nullptr, OverwriteOpen::denied};
    return {std::move(file), OverwriteOpen::opened};
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
    HANDLE h = FindFirstFileW(without_trailing_separators(path).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && is_link_tag(data.dwReserved0);
}

bool remove_link(const std::filesystem::path& path) {
    if (!is_link(path)) return false;
    const std::filesystem::path name = without_trailing_separators(path);
    DWORD attributes = GetFileAttributesW(name.c_str());
    // A directory link or junction goes with RemoveDirectory, which removes
    // the reparse point and leaves the target alone.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(name.c_str()) != FALSE;
    return DeleteFileW(name.c_str()) != FALSE;
}

}  // namespace platform
