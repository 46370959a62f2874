#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/private_file.h"

namespace platform {

FilePtr create_private_file(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    // The mode is given at creation, so no moment exists with wider rights;
    // fchmod also overrides a umask that would have narrowed it further.
    fchmod(fd, 0600);
    std::FILE* file = fdopen(fd, "wb");
    if (!file) close(fd);
    return FilePtr(file);
}

}  // namespace platform
