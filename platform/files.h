// File-system facts the program needs beyond std::filesystem: its own
// folder, one-level folder creation, sizes and times, and forcing written
// data to the device.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

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

// Symbolic links, and on Windows junctions and other reparse points: true
// for the link itself, whatever it points to (or whether it dangles).
bool is_link(const std::filesystem::path& path);
// Removes the link only, never what it points to.
bool remove_link(const std::filesystem::path& path);

// Opens a file with a UTF-8 aware path on every platform (_wfopen on Windows).
std::FILE* open_file(const std::filesystem::path& file, const char* mode);

}  // namespace platform
