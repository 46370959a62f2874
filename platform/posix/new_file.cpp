#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/new_file.h"

namespace platform {

namespace {

std::FILE* create_new(const std::filesystem::path& path, mode_t mode, bool& taken) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    taken = fd < 0 && errno == EEXIST;
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}

}  // namespace

std::FILE* create_private_file(const std::filesystem::path& path) {
    bool taken = false;
    std::FILE* file = create_new(path, 0600, taken);
    // The mode is given at creation, so no moment exists with wider rights;
    // fchmod also overrides a umask that would have narrowed it further.
    if (file) fchmod(fileno(file), 0600);
    return file;
}

std::optional<NewTemporary> create_exclusive_beside(const std::filesystem::path& target,
                                                    std::string_view suffix) {
    for (int n = 0; n < 100; ++n) {
        std::filesystem::path candidate = target;
        candidate += std::string(suffix) + (n == 0 ? "" : std::to_string(n));
        bool taken = false;
        if (std::FILE* file = create_new(candidate, 0666, taken))
            return NewTemporary{file, candidate};
        if (!taken) return std::nullopt;
    }
    return std::nullopt;
}

bool replace_in_one_step(const std::filesystem::path& temporary,
                         const std::filesystem::path& target) {
    if (std::rename(temporary.c_str(), target.c_str()) != 0) return false;
    // The new name must survive a crash as well: force the folder's entry.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

}  // namespace platform
