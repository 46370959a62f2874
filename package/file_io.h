// Files as the package code needs them: binary streams opened by path on
// either platform, 64-bit sizes, and a ByteSource over an open file.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "package/format.h"

namespace package {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// mode as for fopen ("rb", "wb", "r+b").
FilePtr open_file(const std::filesystem::path& path, const char* mode);
bool seek_to(std::FILE* f, std::uint64_t offset);
std::optional<std::uint64_t> size_of_file(const std::filesystem::path& path);
// Reads a whole file; nullopt when it cannot be opened or read.
std::optional<Bytes> read_whole(const std::filesystem::path& path);
// Writes bytes to a new file and flushes it to the device; false on any error.
bool write_whole(const std::filesystem::path& path, std::span<const std::uint8_t> data);
// Flushes the stream and asks the system to put it on the device.
bool flush_to_device(std::FILE* f);

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

namespace package {

// An output written under a temporary name in its own folder and renamed
// to its real name only once complete, so a failed run leaves no half
// file under a real name.
class StagedOutput {
  public:
    StagedOutput() = default;
    ~StagedOutput() { discard(); }
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    bool open(const std::filesystem::path& target);
    std::FILE* file() const { return file_.get(); }
    // Flushes to the device, closes and renames over the target.
    bool commit();
    void discard();

  private:
    FilePtr file_;
    std::filesystem::path target_, temp_;
};

}  // namespace package
