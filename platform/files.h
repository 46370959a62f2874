// File-system facts the program needs beyond std::filesystem: its own
// folder, one-level folder creation, sizes and times, opening files by
// wide names, forcing written data to the device, exclusive temporaries,
// atomic replacement and opening for an overwrite without following links.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
// An open stream that is closed when it goes out of scope.
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Paths to and from the program's UTF-8 strings. Use these instead of
// path(std::string) / path.string(): on Windows those go through the ANSI
// code page and lose characters.
std::filesystem::path path_from_utf8(std::string_view utf8);
std::string path_to_utf8(const std::filesystem::path& path);

// The folder of the running executable.
std::filesystem::path program_folder();

// Creates the folder if it is missing (its parent must exist). True when the
// folder exists afterwards.
bool ensure_folder(const std::filesystem::path& folder);

// Size in bytes of a regular file; nullopt when it cannot be determined.
std::optional<std::uint64_t> file_size(const std::filesystem::path& file);

struct FileTimes {
    std::chrono::system_clock::time_point modified;
    std::chrono::system_clock::time_point accessed;
};

std::optional<FileTimes> file_times(const std::filesystem::path& file);
bool set_file_times(const std::filesystem::path& file, const FileTimes& times);

// Flushes the stream and forces its data to the device (fsync /
// FlushFileBuffers). False when either step failed.
bool flush_to_device(std::FILE* stream);

// 64-bit stream positions (long is 32 bits on Windows). stream_size leaves
// the position at the start of the file.
std::optional<std::uint64_t> stream_size(std::FILE* stream);
bool stream_seek(std::FILE* stream, std::uint64_t offset);

// The path without trailing separators ("link/" names the link itself,
// not the folder it points to); a root keeps its separator.
std::filesystem::path without_trailing_separators(const std::filesystem::path& path);

// Symbolic links, and on Windows junctions: true for the link itself,
// whatever it points to (or whether it dangles). Trailing separators are
// ignored.
bool is_link(const std::filesystem::path& path);
// Removes the link only, never what it points to.
bool remove_link(const std::filesystem::path& path);

// Opens a file with a UTF-8 aware path on every platform (_wfopen on
// Windows); mode as for fopen. Null when it cannot be opened.
FilePtr open_file(const std::filesystem::path& file, const char* mode);

// A new, empty file created beside `target` for writing, named after the
// target with `suffix` appended ("report.txt.part"), and a number after the
// suffix when that name is taken ("report.txt.part1"). The name is created
// exclusively and never through a link: whatever already lies at a
// candidate name (a file, a planted or dangling link) is left alone and the
// next name is tried.
struct TempFile {
    FilePtr file;  // opened "wb"
    std::filesystem::path path;
};
std::optional<TempFile> create_temp_beside(const std::filesystem::path& target,
                                           std::string_view suffix);

// Puts `temporary` in the place of `target` in one step, replacing a file
// (or a link, never what it points to) already there (rename / MoveFileEx
// with write-through). A replaced regular file passes its permissions to
// the new contents (POSIX mode bits; the read-only, hidden and system marks
// on Windows, where the system may refuse to replace a read-only file at
// all); a new file keeps the temporary's. The caller has flushed the temporary to the device
// and closed it. False when the target is left as it was.
bool replace_file(const std::filesystem::path& temporary, const std::filesystem::path& target);

// Opens an existing regular file for reading and writing in place ("r+b",
// nothing truncated) for an overwrite. A link at the path (trailing
// separators ignored) is never followed, and the opened handle itself is
// checked, so a file swapped for a link, folder or device between a
// caller's check and this open is refused, not written through.
enum class OverwriteOpen {
    opened,
    missing,      // nothing at the path
    not_regular,  // a link, folder, pipe or device
    denied,       // exists but cannot be opened for writing
};
struct OverwriteTarget {
    FilePtr file;
    OverwriteOpen status = OverwriteOpen::missing;
};
OverwriteTarget open_for_overwrite(const std::filesystem::path& path);

}  // namespace platform
