// Width-w tau-adic non-adjacent form of a scalar on a Koblitz curve
// (Solinas), for curves whose tau satisfies tau^2 - mu tau + 2 = 0.
#pragma once

#include <cstdint>

#include "pubkey/bignum.h"

namespace cyr {

struct TauConstants {
    BigNum s0, s1;  // delta's conjugate, delta = (tau^m - 1)/(tau - 1), norm(delta) = n
    BigNum n;       // the order of the base point
    int mu;         // 1 or -1
};

// Partial reduction k partmod delta: r0 + r1 tau congruent to k modulo delta,
// of norm close to the smallest. Exact rational rounding, any size of k.
void tnaf_partial_reduce(const TauConstants& c, const BigNum& k, BigNum* r0, BigNum* r1);

// alpha_u = beta + gamma tau: the element of least norm congruent to the odd
// integer u modulo tau^w.
struct TauDigit {
    int beta;
    int gamma;
};

// alphas[i] = alpha_(2i+1) for i < 2^(w-2). tw is the image of tau modulo 2^w.
void tnaf_digit_set(int w, int tw, int mu, TauDigit* alphas);

// Digits of the width-w TNAF of k partmod delta, least significant first,
// each 0 or odd in [-(2^(w-1) - 1), 2^(w-1) - 1], the digit +-u standing for
// +-alpha_u (alphas from tnaf_digit_set). Returns the digit count, or -1 when
// `capacity` is too small.
int tnaf_recode(const TauConstants& c, const BigNum& k, int w, int tw, const TauDigit* alphas,
                int8_t* digits, int capacity);

// The plain TNAF (digits 0, +-1) of a small element r0 + r1 tau; the count,
// or -1 when `capacity` is too small.
int tnaf_small(int r0, int r1, int mu, int8_t* digits, int capacity);

}  // namespace cyr
