#include "platform/entropy.h"

#include <sys/random.h>

#include <cerrno>

namespace platform {

bool os_entropy(void* buffer, std::size_t length) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        ssize_t got = getrandom(p, length, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += got;
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace platform
