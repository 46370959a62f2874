// Elliptic-curve key pairs, shared secrets and the one-pass encryption of
// mechanisms 11, 25 and 26. Status codes are the toolkit's (toolkit/cyr.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/cyr.h"

namespace cyr {

// Parameters of mechanisms 10, 11, 25 and 26 (parameter slots 1 to 4).
struct EcParams {
    uint32_t curve = 5;
    uint32_t format = 4;  // 2, 4 or 6; anything else writes 4
    uint32_t method = 1;  // 1 SHA-1 generator, 2 SEED generator
    const uint8_t* seed = nullptr;
    uint32_t seed_length = 0;
    const uint8_t* extra = nullptr;
    uint32_t extra_length = 0;
};

constexpr uint32_t kEcPrivateSize = 21;
constexpr uint32_t kEcMaxKeyBytes = 43;

EcParams ec_parse_params(const CYR_SLOT* mechanism);

// The public size reported for a curve: 43 (22 in format 2) on the 163-bit
// curves, 31 on the 113-bit curves; 0 for an unsupported curve.
uint32_t ec_public_size(uint32_t curve, uint32_t format);
// The room an ephemeral key takes in a ciphertext: 43 or 31.
uint32_t ec_ciphertext_point_size(uint32_t curve);

// Key-pair generation. With either buffer null, both lengths are set to the
// sizes and 0 returned; otherwise the lengths are capacities on entry and the
// reported sizes on return. Codes: 16, 4105, 4107 (method 1), 266 (method 2).
// Method 2 exists for the 163-bit curves only (16 otherwise).
uint32_t ec_generate_key_pair(const EcParams& params, uint8_t* public_key, uint32_t* public_length,
                              uint8_t* private_key, uint32_t* private_length);

// Cofactor Diffie-Hellman: the first `*length` bytes (1 to L) of x(d * 2P)
// for the private key string `own` (at least 21 bytes, d in its first L) and
// the point octet string `peer`. A null `out` stores L in `*length`.
// Codes: 19, 20, 16, 23, 21, 25.
uint32_t ec_shared_secret(uint32_t curve, const uint8_t* own, uint32_t own_length,
                          const uint8_t* peer, uint32_t peer_length, uint8_t* out,
                          uint32_t* length);

// Mechanisms 11, 25 and 26 (one-shot): `key` is the recipient's public key
// when encrypting, the own private key when decrypting. `out` null is a size
// query. Codes as the toolkit's entry points report them.
uint32_t ec_encrypt(uint32_t mechanism, const EcParams& params, const uint8_t* key,
                    uint32_t key_length, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length);
uint32_t ec_decrypt(uint32_t mechanism, const EcParams& params, const uint8_t* key,
                    uint32_t key_length, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length);

}  // namespace cyr
