#include "platform/entropy.h"

// windows.h must come first: bcrypt.h relies on its types.
#include <windows.h>

#include <bcrypt.h>

#include <climits>

namespace platform {

bool os_entropy(void* buffer, std::size_t length) {
    auto* p = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        ULONG chunk = length > ULONG_MAX ? ULONG_MAX : static_cast<ULONG>(length);
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, p, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            return false;
        p += chunk;
        length -= chunk;
    }
    return true;
}

}  // namespace platform
