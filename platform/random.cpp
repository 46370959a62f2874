#include "platform/random.h"

#ifdef _WIN32
#include <cstdlib>
#endif

namespace platform {

#ifdef _WIN32

void c_srand(unsigned seed) {
    std::srand(seed);
}
int c_rand() {
    return std::rand() & kCRandMax;
}

#else

namespace {
// The runtime library keeps this state per thread; so do we.
thread_local unsigned long rand_state = 1;
}  // namespace

void c_srand(unsigned seed) {
    rand_state = seed;
}

int c_rand() {
    rand_state = (rand_state * 214013UL + 2531011UL) & 0xFFFFFFFFUL;
    return static_cast<int>((rand_state >> 16) & kCRandMax);
}

#endif

}  // namespace platform
