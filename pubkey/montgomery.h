// Modular exponentiation with Montgomery reduction.
//
// Internally a modulus and its residues are held as little-endian limbs of
// 64 bits where the compiler offers a 128-bit product, 32 bits otherwise;
// BigNum values are converted at the boundary. Residues in the Montgomery
// form are x*R mod m with R = 2^(limb bits * limb count).
#pragma once

#include <cstdint>

#include "pubkey/bignum.h"

namespace cyr {

#if defined(__SIZEOF_INT128__)
using MontLimb = uint64_t;
#else
using MontLimb = uint32_t;
#endif

// Moduli up to this many 32-bit words (3072 bits): R^2 must fit a BigNum.
constexpr int kMontMaxWords = 96;
constexpr int kMontMaxLimbs = kMontMaxWords * 32 / (8 * static_cast<int>(sizeof(MontLimb)));

// An odd modulus prepared for Montgomery arithmetic. Plain data; wipe it when
// the modulus is secret (a prime factor).
struct MontModulus {
    int limbs;
    MontLimb m[kMontMaxLimbs];
    MontLimb m0inv;               // -m^-1 mod 2^(limb bits)
    MontLimb rr[kMontMaxLimbs];   // R^2 mod m
    MontLimb one[kMontMaxLimbs];  // R mod m
};

// False when m is even, below 3 or longer than kMontMaxWords words.
bool mont_init(MontModulus* ctx, const BigNum* m);

// r = a^e mod m (e >= 0). a is reduced first when it is not shorter than m;
// e = 0 gives 1. The result carries a's sign when e is odd, positive
// otherwise. Exponents of one word use square-and-multiply, longer ones
// fixed 4-bit windows over 16 precomputed powers, read without
// secret-dependent addresses.
void mont_exp(const MontModulus* ctx, BigNum* r, const BigNum* a, const BigNum* e);

// The same with the modulus prepared on the fly; false when mont_init fails.
bool bn_mod_exp(BigNum* r, const BigNum* a, const BigNum* e, const BigNum* m);

}  // namespace cyr
