// Large-modulus (RSA) key-pair generation, mechanism 27. Status codes are the
// toolkit's (toolkit/cyr.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "pubkey/rsa_key.h"
#include "toolkit/cyr.h"

namespace cyr {

// Parameters of mechanisms 27 to 30 (parameter slots 1 to 4).
struct RsaParams {
    uint32_t bits = 1024;
    uint32_t method = 1;
    const uint8_t* seed = nullptr;
    uint32_t seed_length = 0;
    const uint8_t* extra = nullptr;
    uint32_t extra_length = 0;
};

RsaParams rsa_parse_params(const CYR_SLOT* mechanism);

// The primes and the key built from them: e = 65537, p > q, each prime with
// its two top bits set and gcd(prime - 1, e) = 1, n of exactly `bits` bits,
// d = e^-1 mod (p - 1)(q - 1), type 0. The generator must be seeded.
// Codes: 4101 (the search failed), 4108 (the generator failed).
uint32_t rsa_generate_key(uint32_t bits, int rounds, RsaPrivateKey* key);

// Mechanism 27. The generator is seeded from the parameters: the kind-5 seed
// (OS entropy without one) and the kind-6 input; a given seed makes the key
// reproducible. With either buffer null both lengths are set to the
// capacities of rsa_key.h and 0 returned; otherwise the lengths are
// capacities on entry and the encodings' sizes on return.
// Method 1 writes the key pair. Method 2 runs its search (10 rounds) and
// writes nothing: 4096 after success, 4101 after failure. Codes: 4105 (bits
// outside 512 to 2912, capacity too small), 4097 (other methods), 4101, 4108.
uint32_t rsa_generate_key_pair(const RsaParams& params, uint8_t* public_key,
                               uint32_t* public_length, uint8_t* private_key,
                               uint32_t* private_length);

}  // namespace cyr
