// Operating-system entropy: getrandom on Linux, BCryptGenRandom on Windows.
#pragma once

#include <cstddef>

namespace platform {

// Fills `length` bytes; false when the system source failed.
bool os_entropy(void* buffer, std::size_t length);

}  // namespace platform
