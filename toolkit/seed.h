// SEED block cipher (RFC 4269): 128-bit block and key, 16 rounds. Blocks and
// keys are four big-endian 32-bit words. Encrypt/decrypt work in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/cyr.h"

namespace cyr {

struct SeedRoundKeys {
    uint32_t k[32];  // two subkeys per round
};

// False unless key_length is exactly 16.
bool seed_key_schedule(const uint8_t* key, std::size_t key_length, SeedRoundKeys* rk);
void seed_encrypt_block(const SeedRoundKeys* rk, uint8_t block[16]);
void seed_decrypt_block(const SeedRoundKeys* rk, uint8_t block[16]);
// `blocks` independent blocks; in and out are equal or do not overlap.
void seed_encrypt_blocks(const SeedRoundKeys* rk, const uint8_t* in, uint8_t* out,
                         std::size_t blocks);
void seed_decrypt_blocks(const SeedRoundKeys* rk, const uint8_t* in, uint8_t* out,
                         std::size_t blocks);
// 128-bit CFB encryption of whole blocks: per block reg = E(reg) ^ P, C = reg.
// `in` and `out` are equal or do not overlap.
void seed_cfb_encrypt_blocks(const SeedRoundKeys* rk, uint8_t reg[16], const uint8_t* in,
                             uint8_t* out, std::size_t blocks);

// The SEED-based seeded generator of mechanism 22 (context kind 59), used by
// elliptic-curve key generation method 2.
// Seeding: `seed` may be null (no seed object); always 0.
uint32_t seed_rng_seed(CYR_SLOT* mechanism, CYR_SLOT* seed);
// Output: fills output->length bytes, then releases the mechanism.
uint32_t seed_rng_output(CYR_SLOT* mechanism, CYR_SLOT* output);

}  // namespace cyr
