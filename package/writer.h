// Writing whole packages and each-file items from prepared inputs.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "package/seal.h"

namespace package {

struct SourceFile {
    std::filesystem::path path;
    Bytes stored_name;  // the path as the list showed it, in code-page bytes
    std::uint64_t size = 0;
};

struct WriteObserver {
    std::function<void(const SourceFile&)> file_started;
    ByteProgress bytes;
};

// Entry count, flag, the message entry (when `message` is not empty), then
// one entry per file. "" on success, else the message for the user.
std::string write_package(std::FILE* out, const std::vector<SourceFile>& files,
                          std::span<const std::uint8_t> message, const RunKeys& keys,
                          const WriteObserver& observer);

// One each-file item: the file's content, or the message when `file` is null.
std::string write_each_file_item(std::FILE* out, const SourceFile* file,
                                 std::span<const std::uint8_t> message, const RunKeys& keys,
                                 const WriteObserver& observer);

inline constexpr std::size_t kMaxEntries = 0xFFFF;

}  // namespace package
