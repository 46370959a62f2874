// SHA-1 (FIPS 180-1). The public-key side uses these directly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

// Context kind 58. Buffered bytes = (bit_count_low / 8) mod 64.
struct Sha1Context {
    uint32_t state[5];
    uint32_t bit_count_low;
    uint32_t bit_count_high;
    uint8_t block[64];
};

void sha1_init(Sha1Context* ctx);
// Any length, including 0.
void sha1_update(Sha1Context* ctx, const uint8_t* data, std::size_t length);
// Writes the digest (H0 first, big-endian) and zeroes the partial block.
void sha1_final(Sha1Context* ctx, uint8_t out[20]);
// The compression function with its final addition of the chaining value.
void sha1_compress(uint32_t state[5], const uint8_t block[64]);
void sha1_digest(const uint8_t* data, std::size_t length, uint8_t out[20]);

}  // namespace cyr
