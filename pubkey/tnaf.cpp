// Solinas' partial reduction and width-w TNAF: see tnaf.h.
#include "pubkey/tnaf.h"

#include <initializer_list>

#include "toolkit/internal.h"

namespace cyr {

namespace {

// floor(a / b) for b > 0.
void floor_div(BigNum* q, const BigNum* a, const BigNum* b) {
    BigNum r;
    bn_divmod(q, &r, a, b);
    if (bn_is_negative(&r)) bn_sub_word(q, q, 1);
}

void set_small(BigNum* r, int v) {
    bn_set_word(r, static_cast<uint32_t>(v < 0 ? -v : v));
    if (v < 0) r->sign = -1;
}

// a * v for a small signed v.
void mul_small(BigNum* r, const BigNum* a, int v) {
    BigNum t;
    set_small(&t, v);
    bn_mul(r, a, &t);
}

bool to_int128(const BigNum& a, __int128* out) {
    if (bn_bits(&a) > 120) return false;
    unsigned __int128 m = 0;
    for (int i = a.length - 1; i >= 0; --i) m = (m << 32) | a.words[i];
    *out = bn_is_negative(&a) ? -static_cast<__int128>(m) : static_cast<__int128>(m);
    return true;
}

}  // namespace

void tnaf_partial_reduce(const TauConstants& c, const BigNum& k, BigNum* r0, BigNum* r1) {
    const int mu = c.mu;
    BigNum two_n, N[2], f[2], E[2], t, u;
    bn_shl(&two_n, &c.n, 1);
    bn_mul(&N[0], &c.s0, &k);
    bn_mul(&N[1], &c.s1, &k);
    for (int i = 0; i < 2; ++i) {
        // f = round(N / n) = floor((2N + n) / 2n); E = N - f n, in [-n/2, n/2).
        bn_shl(&t, &N[i], 1);
        bn_add(&t, &t, &c.n);
        floor_div(&f[i], &t, &two_n);
        bn_mul(&t, &f[i], &c.n);
        bn_sub(&E[i], &N[i], &t);
    }
    // The rounding of the Guide to ECC (Alg. 3.63) with every eta scaled by n.
    BigNum eta, a3, a4, neg_n, two_n_neg;
    bn_shl(&eta, &E[0], 1);
    mul_small(&t, &E[1], mu);
    bn_add(&eta, &eta, &t);  // 2 E0 + mu E1
    mul_small(&t, &E[1], 3 * mu);
    bn_sub(&a3, &E[0], &t);  // E0 - 3 mu E1
    mul_small(&t, &E[1], 4 * mu);
    bn_add(&a4, &E[0], &t);  // E0 + 4 mu E1
    bn_copy(&neg_n, &c.n);
    neg_n.sign = -1;
    bn_copy(&two_n_neg, &two_n);
    two_n_neg.sign = -1;
    int h0 = 0, h1 = 0;
    if (bn_cmp(&eta, &c.n) >= 0) {
        if (bn_cmp(&a3, &neg_n) < 0)
            h1 = mu;
        else
            h0 = 1;
    } else if (bn_cmp(&a4, &two_n) >= 0) {
        h1 = mu;
    }
    if (bn_cmp(&eta, &neg_n) < 0) {
        if (bn_cmp(&a3, &c.n) >= 0)
            h1 = -mu;
        else
            h0 = -1;
    } else if (bn_cmp(&a4, &two_n_neg) < 0) {
        h1 = -mu;
    }
    BigNum q0, q1, d0;
    set_small(&t, h0);
    bn_add(&q0, &f[0], &t);
    set_small(&t, h1);
    bn_add(&q1, &f[1], &t);
    // delta = d0 + d1 tau with d1 = -s1, d0 = s0 + mu s1.
    mul_small(&t, &c.s1, mu);
    bn_add(&d0, &c.s0, &t);
    // r0 = k - d0 q0 - 2 s1 q1, r1 = s1 q0 - s0 q1.
    bn_mul(&t, &d0, &q0);
    bn_sub(r0, &k, &t);
    bn_mul(&t, &c.s1, &q1);
    bn_shl(&t, &t, 1);
    bn_sub(r0, r0, &t);
    bn_mul(&t, &c.s1, &q0);
    bn_mul(&u, &c.s0, &q1);
    bn_sub(r1, &t, &u);
    // Everything here follows from the secret scalar; all values fit 16 words.
    for (BigNum* x : {&N[0], &N[1], &f[0], &f[1], &E[0], &E[1], &t, &u, &eta, &a3, &a4, &q0, &q1})
        bn_wipe(x, 16);
}

void tnaf_digit_set(int w, int tw, int mu, TauDigit* alphas) {
    const int modulus = 1 << w;
    for (int i = 0; i < (1 << (w - 2)); ++i) {
        const int u = 2 * i + 1;
        int best = -1;
        for (int gamma = -16; gamma <= 16; ++gamma) {
            for (int beta = -32; beta <= 32; ++beta) {
                if (((beta + gamma * tw - u) % modulus + modulus) % modulus != 0) continue;
                int norm = beta * beta + mu * beta * gamma + 2 * gamma * gamma;
                if (best < 0 || norm < best) {
                    best = norm;
                    alphas[i] = TauDigit{beta, gamma};
                }
            }
        }
    }
}

int tnaf_small(int r0, int r1, int mu, int8_t* digits, int capacity) {
    int count = 0;
    while (r0 != 0 || r1 != 0) {
        if (count == capacity) return -1;
        int digit = 0;
        if ((r0 & 1) != 0) {
            digit = 2 - (((r0 - 2 * r1) % 4) + 4) % 4;
            r0 -= digit;
        }
        digits[count++] = static_cast<int8_t>(digit);
        int t = r0;
        r0 = r1 + mu * (r0 / 2);
        r1 = -(t / 2);
    }
    return count;
}

int tnaf_recode(const TauConstants& c, const BigNum& k, int w, int tw, const TauDigit* alphas,
                int8_t* digits, int capacity) {
    BigNum b0, b1;
    tnaf_partial_reduce(c, k, &b0, &b1);
    __int128 r0, r1;
    if (!to_int128(b0, &r0) || !to_int128(b1, &r1)) return -1;
    const __int128 mask = (static_cast<__int128>(1) << w) - 1;
    const int half = 1 << (w - 1);
    int count = 0;
    while (r0 != 0 || r1 != 0) {
        if (count == capacity) return -1;
        int digit = 0;
        if ((r0 & 1) != 0) {
            digit = static_cast<int>((r0 + r1 * tw) & mask);
            if (digit > half) digit -= 1 << w;
            const TauDigit& a = alphas[(digit < 0 ? -digit : digit) / 2];
            r0 -= digit < 0 ? -a.beta : a.beta;
            r1 -= digit < 0 ? -a.gamma : a.gamma;
        }
        digits[count++] = static_cast<int8_t>(digit);
        __int128 t = r0;  // even here, so the halving is exact
        r0 = r1 + c.mu * (r0 / 2);
        r1 = -(t / 2);
    }
    bn_wipe(&b0, 16);
    bn_wipe(&b1, 16);
    r0 = r1 = 0;
    return count;
}

}  // namespace cyr
