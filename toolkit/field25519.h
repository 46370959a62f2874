// Arithmetic modulo p = 2^255 - 19 for the Edwards curve of ed25519.cpp.
// Internal to the toolkit.
//
// An element is five unsigned 64-bit limbs of radix 2^51, least significant
// first: value = v[0] + v[1]*2^51 + ... + v[4]*2^204. Limbs are not kept
// reduced: after any operation below each limb is below 2^52, which leaves
// room for the 128-bit products of mul(). Only to_bytes() gives the unique
// representative in [0, p). Every function runs in time independent of the
// values (no branches or indexes on them).
#pragma once

#include <cstdint>

namespace cyr::f25519 {

struct Fe {
    uint64_t v[5];
};

Fe zero();
Fe one();
Fe add(const Fe& a, const Fe& b);
Fe sub(const Fe& a, const Fe& b);
Fe neg(const Fe& a);
Fe mul(const Fe& a, const Fe& b);
Fe sq(const Fe& a);
// a^(p-2): the inverse of a non-zero a, 0 for 0.
Fe invert(const Fe& a);
// a^((p-5)/8), the core of the square root in point decoding.
Fe pow_p58(const Fe& a);

// 32 bytes little-endian; the top bit is ignored. Values from p to 2^255-1
// are taken modulo p (callers that must refuse them check first).
Fe from_bytes(const uint8_t in[32]);
// The canonical encoding: value in [0, p), top bit 0.
void to_bytes(uint8_t out[32], const Fe& a);
// Whether the 255-bit value in `in` (top bit ignored) is below p.
bool is_canonical(const uint8_t in[32]);

bool is_zero(const Fe& a);
bool equal(const Fe& a, const Fe& b);
// Low bit of the canonical value (the "sign" of an x coordinate).
int is_odd(const Fe& a);
// r = b when flag is 1, unchanged when 0; flag must be 0 or 1.
void cmov(Fe& r, const Fe& b, uint64_t flag);

// Curve constants: d = -121665/121666, 2d, and sqrt(-1) = 2^((p-1)/4).
const Fe& curve_d();
const Fe& curve_2d();
const Fe& sqrt_m1();

}  // namespace cyr::f25519
