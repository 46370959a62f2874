// A new file that only its owner may read or write (a secret key), created
// exclusively: an existing file or link at the name is never opened,
// followed or replaced.
#pragma once

#include <filesystem>

#include "platform/files.h"

namespace platform {

// Opened "wb"; null when the name exists (a dangling link included) or the
// file cannot be created. POSIX: mode 0600, O_EXCL | O_NOFOLLOW. Windows:
// CREATE_NEW with a protected access list that grants the owner alone.
FilePtr create_private_file(const std::filesystem::path& path);

}  // namespace platform
