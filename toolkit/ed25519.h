// Ed25519 signatures (RFC 8032, section 5.1), strict on verification.
// Keys and signatures are the RFC's byte strings: a 32-byte secret seed,
// a 32-byte public key (encoded point A), a 64-byte signature R || S.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

constexpr std::size_t kEd25519SeedBytes = 32;
constexpr std::size_t kEd25519PublicKeyBytes = 32;
constexpr std::size_t kEd25519SignatureBytes = 64;

// The public key of a secret seed (RFC 8032, 5.1.5). Runs in time
// independent of the seed; every intermediate secret is wiped.
void ed25519_public_key(const uint8_t seed[kEd25519SeedBytes],
                        uint8_t public_key[kEd25519PublicKeyBytes]);

// Signs `message` (any length; may be null when length is 0) with the key
// pair of `seed` (RFC 8032, 5.1.6). Constant time in the seed; the nonce is
// derived from the seed and the message, so equal inputs sign alike.
void ed25519_sign(const uint8_t seed[kEd25519SeedBytes], const uint8_t* message, std::size_t length,
                  uint8_t signature[kEd25519SignatureBytes]);

// Whether `public_key` is usable for verification: the canonical encoding
// (y < p, and x = 0 only with a clear sign bit) of a curve point whose order
// is not a divisor of 8.
bool ed25519_public_key_valid(const uint8_t public_key[kEd25519PublicKeyBytes]);

// RFC 8032, 5.1.7 with the strict checks: false unless S < L, R and the
// public key are canonical encodings of curve points of other than small
// order, and [S]B = R + [k]A with k = SHA-512(R || A || message) mod L.
// Variable time (all inputs are public).
bool ed25519_verify(const uint8_t public_key[kEd25519PublicKeyBytes], const uint8_t* message,
                    std::size_t length, const uint8_t signature[kEd25519SignatureBytes]);

}  // namespace cyr
