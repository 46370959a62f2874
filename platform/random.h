// The C library's small pseudo-random generator (srand/rand), for the few
// uses that are not security-relevant: random file names before deletion,
// the banner choice. Never for keys.
#pragma once

namespace platform {

inline constexpr int kCRandMax = 32767;

// Seeds the generator as srand does.
void c_srand(unsigned seed);

// Next value in 0..32767. On Windows this is the runtime library's rand();
// elsewhere the same linear congruential sequence is produced, so a seed
// gives the same values on every platform.
int c_rand();

}  // namespace platform
