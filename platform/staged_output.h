// Writing a file so that its real name never holds half of it: the bytes go
// to an exclusive temporary beside the target, reach the device, and only
// then replace the target in one step.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string_view>

#include "platform/files.h"

namespace platform {

// One output in progress. Destroying it without commit() removes the
// temporary and leaves the target as it was.
class StagedOutput {
  public:
    StagedOutput() = default;
    ~StagedOutput() { discard(); }
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // Creates the temporary (see create_temp_beside); false when no name
    // could be created. Discards an output already in progress.
    bool open(const std::filesystem::path& target, std::string_view suffix = ".part");
    std::FILE* file() const { return file_.get(); }
    const std::filesystem::path& temporary() const { return temp_; }
    const std::filesystem::path& target() const { return target_; }
    // Flushes to the device, closes and replaces the target. On failure the
    // temporary is removed and the target is left as it was.
    bool commit();
    // Closes and removes the temporary.
    void discard();

  private:
    FilePtr file_;
    std::filesystem::path target_, temp_;
};

// The whole content of a file written through a StagedOutput.
enum class WriteResult { ok, open_failed, write_failed };
WriteResult write_file_staged(const std::filesystem::path& target,
                              std::span<const std::uint8_t> bytes,
                              std::string_view suffix = ".tmp");

}  // namespace platform
