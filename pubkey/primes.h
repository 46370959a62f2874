// Probable-prime test and random prime search for the large-modulus keys.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pubkey/bignum.h"

namespace cyr {

constexpr int kSmallPrimeCount = 2048;

// The first 2048 primes, 2 to 17863, followed by a zero word.
const uint32_t* small_primes();

// Trial division by the small primes (so a candidate equal to one of them is
// reported composite: callers test large numbers only), then `rounds`
// Miller-Rabin rounds with the bases 2, 4, 8, ..., 2^rounds (rounds <= 31).
bool bn_is_probable_prime(const BigNum* a, int rounds);

// Fills `length` bytes; false when the source failed.
using RandomBytes = bool (*)(uint8_t* out, std::size_t length);

enum class PrimeSearch { kFound, kExhausted, kRandomFailed };

// A probable prime in [lo, hi] that is 1 modulo `step` (step >= 1): a random
// start of 32 * (words of hi) bits is reduced into the interval and moved to
// 1 mod step, then candidates step upward until one passes
// bn_is_probable_prime(rounds) or would exceed hi.
PrimeSearch bn_random_prime(BigNum* p, const BigNum* lo, const BigNum* hi, uint32_t step,
                            int rounds, RandomBytes random);

}  // namespace cyr
