// New files that nothing planted beforehand can redirect: created
// exclusively, never through a link, and (for secrets) readable by their
// owner alone; and the one-step replacement of a file by a finished one.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

namespace platform {

// Opened "wb"; null when the name exists (a dangling link included) or the
// file cannot be created. POSIX: mode 0600, O_EXCL | O_NOFOLLOW. Windows:
// CREATE_NEW with a protected access list that grants the owner alone.
std::FILE* create_private_file(const std::filesystem::path& path);

// A new empty file beside `target` named target + suffix, or with a number
// after the suffix when that name is taken by anything (a file, a folder,
// a link, dangling or not: it is left alone). Opened "wb", other writers
// kept out on Windows. Nothing when no name could be created.
struct NewTemporary {
    std::FILE* file = nullptr;
    std::filesystem::path path;
};
std::optional<NewTemporary> create_exclusive_beside(const std::filesystem::path& target,
                                                    std::string_view suffix);

// Puts the finished `temporary` (flushed to the device and closed) in the
// place of `target` in one step, replacing what is there (rename /
// MoveFileEx with write-through). False when the target is left as it was.
bool replace_in_one_step(const std::filesystem::path& temporary,
                         const std::filesystem::path& target);

}  // namespace platform

namespace platform {

// The whole of `bytes` written to an exclusive temporary beside `target`
// (target + suffix), flushed to the device, then put in its place in one
// step. False when the target is left as it was (the temporary is removed).
bool write_file_in_one_step(const std::filesystem::path& target, std::string_view bytes,
                            std::string_view suffix = ".new");

}  // namespace platform
