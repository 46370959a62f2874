// The one system call behind create_temp_beside, implemented per system.
// Internal to platform/.
#pragma once

#include <filesystem>

#include "platform/files.h"

namespace platform::system {

// Creates `path` as a new file opened "wb", only if nothing (not even a
// dangling link) lies there. `taken` tells a name collision apart from
// other failures.
FilePtr create_new_file(const std::filesystem::path& path, bool& taken);

}  // namespace platform::system
