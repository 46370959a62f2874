// Files as the package code needs them: binary streams opened by path on
// either platform (platform/files.h), whole-file reads, a ByteSource over
// an open file, and staged outputs (platform/staged_output.h).
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>

#include "package/format.h"
#include "platform/files.h"
#include "platform/staged_output.h"

namespace package {

using platform::FilePtr;
using platform::open_file;
// Outputs written under an exclusive temporary name and put in place only
// once complete, so a failed run leaves no half file under a real name.
using platform::StagedOutput;

// Size of a regular file; nullopt when it is missing or not a regular file.
std::optional<std::uint64_t> size_of_file(const std::filesystem::path& path);
// Reads a whole file; nullopt when it cannot be opened or read.
std::optional<Bytes> read_whole(const std::filesystem::path& path);

class FileSource final : public ByteSource {
  public:
    FileSource(std::FILE* f, std::uint64_t size) : f_(f), size_(size) {}
    std::uint64_t size() const override { return size_; }
    bool read_at(std::uint64_t offset, void* out, std::size_t n) override;

  private:
    std::FILE* f_;
    std::uint64_t size_;
};

}  // namespace package
