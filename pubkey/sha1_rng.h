// The toolkit's process-wide random generator: SHA-1 compression over
// 160-bit values in the manner of the FIPS 186 / ANSI X9 generators.
//
// State: a seed value A, a state value B and a modulus q (initially
// 0xC468245BB6795C7FFFF96962C642E5165F51A6F9). 20-byte seed blocks are read
// as little-endian 160-bit numbers. A and B are filled from the operating
// system's entropy before the first random bytes of a process, and again
// after a caller-seeded draw, so that output never follows from a state
// anyone else can know.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pubkey/bignum.h"

namespace cyr {

// A draw below q (method 1 of key generation): reseeds A from `seed` (its
// first 20 bytes; OS entropy when null or empty) and B from `extra` (first
// 20 bytes; zero when absent), sets the modulus to q and yields 1 <= r <= q-1.
// False when the entropy source failed or q < 2.
bool rng_draw_below(const uint8_t* seed, std::size_t seed_length, const uint8_t* extra,
                    std::size_t extra_length, const BigNum& q, BigNum* r);

// `length` random bytes continuing from the current state (mechanism 49).
// False when the entropy source failed.
bool rng_random_bytes(uint8_t* out, std::size_t length);

// The seeding of large-modulus key generation: A from `seed` (its first 20
// bytes, zero-filled; OS entropy when null or empty), B from `extra` (first
// 20 bytes; zero when absent); q is kept. False when the entropy source
// failed.
bool rng_seed(const uint8_t* seed, std::size_t seed_length, const uint8_t* extra,
              std::size_t extra_length);

// Random bytes continuing from the current state even when a caller seeded
// it, so that a key generated from a caller's seed can be generated again.
// rng_random_bytes still reseeds from entropy after such a seeding.
void rng_seeded_bytes(uint8_t* out, std::size_t length);

// The two steps on an explicit state, as the process-wide generator runs
// them. Draw: W from (bits(q) + 159) / 160 blocks, B advanced by 1 + W per
// block, r = W mod (q - 1) + 1. Output: per 20 bytes, B += 1 + (w mod q) and
// B's new value is written big-endian.
void rng_draw_step(const BigNum& a, BigNum* b, const BigNum& q, BigNum* r);
void rng_output_step(const BigNum& a, BigNum* b, const BigNum& q, uint8_t* out, std::size_t length);

}  // namespace cyr
