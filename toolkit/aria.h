// ARIA (RFC 5794, KS X 1213): 128-bit block; 128-, 192- or 256-bit key; 12,
// 14 or 16 rounds. Byte-oriented: round keys are 16-byte strings.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

struct AriaKeys {
    uint32_t rounds;      // 12, 14 or 16
    uint8_t rk[17][16];   // encryption round keys, or decryption ones (direction 1)
    uint32_t direction;   // 0: encryption keys; 1: decryption keys
    uint32_t key_length;  // 16, 24 or 32 key bytes used
};

// Keys shorter than 16 bytes fail; 16..23 bytes use the first 16, 24..31 the
// first 24, 32 or more the first 32. `direction` must be 0 or 1.
bool aria_key_schedule(const uint8_t* key, std::size_t key_length, uint32_t direction,
                       AriaKeys* keys);
// One transform for both directions: which one follows from the keys. `in`
// and `out` are equal or do not overlap.
void aria_transform(const AriaKeys* keys, const uint8_t in[16], uint8_t out[16]);
void aria_transform_blocks(const AriaKeys* keys, const uint8_t* in, uint8_t* out,
                           std::size_t blocks);

}  // namespace cyr
