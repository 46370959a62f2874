// AES (FIPS-197): 128-bit block; 128-, 192- or 256-bit key; 10, 12 or 14
// rounds. Round keys are big-endian words; decryption uses the equivalent
// inverse cipher (FIPS-197 5.3.5), whose key schedule differs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

struct AesKeys {
    uint32_t rounds;     // 10, 12 or 14; 0 when the schedule failed
    uint32_t rk[60];     // 4 * (rounds + 1) words
    uint32_t direction;  // 0: encryption schedule; 1: equivalent inverse schedule
};

// Keys shorter than 16 bytes fail; 16..23 bytes use the first 16, 24..31 the
// first 24, 32 or more the first 32. `direction` must be 0 or 1.
bool aes_key_schedule(const uint8_t* key, std::size_t key_length, uint32_t direction,
                      AesKeys* keys);
// `blocks` independent blocks; in and out are equal or do not overlap. The
// encryption wants direction 0 keys, the decryption direction 1 keys.
void aes_encrypt_blocks(const AesKeys* keys, const uint8_t* in, uint8_t* out, std::size_t blocks);
void aes_decrypt_blocks(const AesKeys* keys, const uint8_t* in, uint8_t* out, std::size_t blocks);

}  // namespace cyr
