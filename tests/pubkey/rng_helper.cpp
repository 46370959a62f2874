// Prints 16 bytes of mechanism 49 in hex: a fresh process for rng_test.
#include <cstdio>

#include "toolkit/cyr.h"

int main() {
    CYR_MECHANISM mech = {};
    mech[0].kind = CYR_MECH_RANDOM;
    unsigned char out[16] = {};
    CYR_OBJECT secret = {};
    secret[0].kind = CYR_CLASS_SECRET;
    secret[1].kind = CYR_VALUE;
    secret[1].data = out;
    secret[1].length = sizeof out;
    uint32_t rc = CYR_GenerateRandom(mech, secret);
    if (rc != 0) return static_cast<int>(rc);
    for (unsigned char b : out) std::printf("%02X", b);
    std::printf("\n");
    return 0;
}
