// SHA-512 (FIPS 180-4, section 6.4). The signature code and the updater's
// module check use it directly; it is not a mechanism of the flat interface.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

constexpr std::size_t kSha512DigestBytes = 64;

// Buffered bytes = byte_count mod 128. Messages up to 2^64 - 1 bytes (the
// standard's 2^128 bits are far beyond any file this program reads).
struct Sha512Context {
    uint64_t state[8];
    uint64_t byte_count;
    uint8_t block[128];
};

void sha512_init(Sha512Context* ctx);
// Any length, including 0; `data` may be null when `length` is 0.
void sha512_update(Sha512Context* ctx, const uint8_t* data, std::size_t length);
// Writes the digest (H0 first, big-endian) and wipes the context.
void sha512_final(Sha512Context* ctx, uint8_t out[kSha512DigestBytes]);
void sha512_digest(const uint8_t* data, std::size_t length, uint8_t out[kSha512DigestBytes]);

}  // namespace cyr
