// Binary fields GF(2^m) in polynomial basis for m = 163 (two reduction
// polynomials) and m = 113.
//
// Element representation: bit i of the polynomial is bit (i mod 64) of word
// (i div 64), least significant word first (the same memory image as 32-bit
// words on a little-endian machine). Every function keeps the bits at and
// above m zero and expects them zero on input; from_bytes refuses strings
// that set them. Results may alias operands.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define CYR_GF2M_CLMUL 1
#else
#define CYR_GF2M_CLMUL 0
#endif

namespace cyr {

template <int N>
struct FieldElement {
    uint64_t w[N];
};

// x^163 + x^7 + x^6 + x^3 + 1 (sect163k1).
struct Field163a {
    static constexpr int kWords = 3;
    static constexpr int kBits = 163;
    static constexpr int kBytes = 21;
    static constexpr uint64_t kPoly[3] = {0xC9, 0, uint64_t{1} << 35};
    static void reduce(const uint64_t c[6], uint64_t r[3]) {
        uint64_t c0 = c[0], c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4], c5 = c[5];
        // A word t at bit 64i stands for t * x^(64(i-3)+29) * (x^7+x^6+x^3+1).
        c2 ^= (c5 << 29) ^ (c5 << 32) ^ (c5 << 35) ^ (c5 << 36);
        c3 ^= (c5 >> 35) ^ (c5 >> 32) ^ (c5 >> 29) ^ (c5 >> 28);
        c1 ^= (c4 << 29) ^ (c4 << 32) ^ (c4 << 35) ^ (c4 << 36);
        c2 ^= (c4 >> 35) ^ (c4 >> 32) ^ (c4 >> 29) ^ (c4 >> 28);
        c0 ^= (c3 << 29) ^ (c3 << 32) ^ (c3 << 35) ^ (c3 << 36);
        c1 ^= (c3 >> 35) ^ (c3 >> 32) ^ (c3 >> 29) ^ (c3 >> 28);
        uint64_t t = c2 >> 35;
        c0 ^= t ^ (t << 3) ^ (t << 6) ^ (t << 7);
        r[0] = c0;
        r[1] = c1;
        r[2] = c2 & ((uint64_t{1} << 35) - 1);
    }
};

// x^163 + x^8 + x^2 + x + 1 (c2pnb163v1).
struct Field163b {
    static constexpr int kWords = 3;
    static constexpr int kBits = 163;
    static constexpr int kBytes = 21;
    static constexpr uint64_t kPoly[3] = {0x107, 0, uint64_t{1} << 35};
    static void reduce(const uint64_t c[6], uint64_t r[3]) {
        uint64_t c0 = c[0], c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4], c5 = c[5];
        c2 ^= (c5 << 29) ^ (c5 << 30) ^ (c5 << 31) ^ (c5 << 37);
        c3 ^= (c5 >> 35) ^ (c5 >> 34) ^ (c5 >> 33) ^ (c5 >> 27);
        c1 ^= (c4 << 29) ^ (c4 << 30) ^ (c4 << 31) ^ (c4 << 37);
        c2 ^= (c4 >> 35) ^ (c4 >> 34) ^ (c4 >> 33) ^ (c4 >> 27);
        c0 ^= (c3 << 29) ^ (c3 << 30) ^ (c3 << 31) ^ (c3 << 37);
        c1 ^= (c3 >> 35) ^ (c3 >> 34) ^ (c3 >> 33) ^ (c3 >> 27);
        uint64_t t = c2 >> 35;
        c0 ^= t ^ (t << 1) ^ (t << 2) ^ (t << 8);
        r[0] = c0;
        r[1] = c1;
        r[2] = c2 & ((uint64_t{1} << 35) - 1);
    }
};

// x^113 + x^9 + 1 (sect113r1 and the 113-bit Koblitz curve).
struct Field113 {
    static constexpr int kWords = 2;
    static constexpr int kBits = 113;
    static constexpr int kBytes = 15;
    static constexpr uint64_t kPoly[2] = {0x201, uint64_t{1} << 49};
    static void reduce(const uint64_t c[4], uint64_t r[2]) {
        uint64_t c0 = c[0], c1 = c[1], c2 = c[2], c3 = c[3];
        // A word t at bit 64i stands for t * x^(64(i-2)+15) * (x^9+1).
        c1 ^= (c3 << 15) ^ (c3 << 24);
        c2 ^= (c3 >> 49) ^ (c3 >> 40);
        c0 ^= (c2 << 15) ^ (c2 << 24);
        c1 ^= (c2 >> 49) ^ (c2 >> 40);
        uint64_t t = c1 >> 49;
        c0 ^= t ^ (t << 9);
        r[0] = c0;
        r[1] = c1 & ((uint64_t{1} << 49) - 1);
    }
};

namespace gf2m_detail {

// Carry-less 64x64 -> 128-bit product with a 4-bit window over b.
inline void clmul64(uint64_t a, uint64_t b, uint64_t* lo, uint64_t* hi) {
    uint64_t t[16];
    uint64_t a0 = a & 0x1FFFFFFFFFFFFFFFull;  // the top three bits are added below
    t[0] = 0;
    t[1] = a0;
    t[2] = a0 << 1;
    t[3] = t[2] ^ a0;
    t[4] = a0 << 2;
    t[5] = t[4] ^ a0;
    t[6] = t[4] ^ t[2];
    t[7] = t[6] ^ a0;
    t[8] = a0 << 3;
    for (int i = 1; i < 8; ++i) t[8 + i] = t[8] ^ t[i];
    uint64_t l = t[b & 15], h = 0;
    for (int i = 4; i < 64; i += 4) {
        uint64_t v = t[(b >> i) & 15];
        l ^= v << i;
        h ^= v >> (64 - i);
    }
    uint64_t m;
    m = 0 - ((a >> 61) & 1);
    l ^= (b << 61) & m;
    h ^= (b >> 3) & m;
    m = 0 - ((a >> 62) & 1);
    l ^= (b << 62) & m;
    h ^= (b >> 2) & m;
    m = 0 - ((a >> 63) & 1);
    l ^= (b << 63) & m;
    h ^= (b >> 1) & m;
    *lo = l;
    *hi = h;
}

// Double-length products by Karatsuba.
inline void mul_wide2(const uint64_t a[2], const uint64_t b[2], uint64_t c[4]) {
    uint64_t p0l, p0h, p2l, p2h, p1l, p1h;
    clmul64(a[0], b[0], &p0l, &p0h);
    clmul64(a[1], b[1], &p2l, &p2h);
    clmul64(a[0] ^ a[1], b[0] ^ b[1], &p1l, &p1h);
    p1l ^= p0l ^ p2l;
    p1h ^= p0h ^ p2h;
    c[0] = p0l;
    c[1] = p0h ^ p1l;
    c[2] = p2l ^ p1h;
    c[3] = p2h;
}

inline void mul_wide3(const uint64_t a[3], const uint64_t b[3], uint64_t c[6]) {
    uint64_t p00l, p00h, p11l, p11h, p22l, p22h, p01l, p01h, p02l, p02h, p12l, p12h;
    clmul64(a[0], b[0], &p00l, &p00h);
    clmul64(a[1], b[1], &p11l, &p11h);
    clmul64(a[2], b[2], &p22l, &p22h);
    clmul64(a[0] ^ a[1], b[0] ^ b[1], &p01l, &p01h);
    clmul64(a[0] ^ a[2], b[0] ^ b[2], &p02l, &p02h);
    clmul64(a[1] ^ a[2], b[1] ^ b[2], &p12l, &p12h);
    uint64_t q1l = p01l ^ p00l ^ p11l, q1h = p01h ^ p00h ^ p11h;
    uint64_t q2l = p02l ^ p00l ^ p22l ^ p11l, q2h = p02h ^ p00h ^ p22h ^ p11h;
    uint64_t q3l = p12l ^ p11l ^ p22l, q3h = p12h ^ p11h ^ p22h;
    c[0] = p00l;
    c[1] = p00h ^ q1l;
    c[2] = q1h ^ q2l;
    c[3] = q2h ^ q3l;
    c[4] = q3h ^ p22l;
    c[5] = p22h;
}

#if CYR_GF2M_CLMUL
// The same products with PCLMULQDQ (gf2m_clmul.cpp); only when available.
bool clmul_available();
void mul_wide2_clmul(const uint64_t a[2], const uint64_t b[2], uint64_t c[4]);
void mul_wide3_clmul(const uint64_t a[3], const uint64_t b[3], uint64_t c[6]);
#endif

// Spreads the 32 bits of x to the even bit positions of a 64-bit word.
inline uint64_t spread32(uint64_t x) {
    x &= 0xFFFFFFFFull;
    x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
    x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
    x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0Full;
    x = (x | (x << 2)) & 0x3333333333333333ull;
    x = (x | (x << 1)) & 0x5555555555555555ull;
    return x;
}

}  // namespace gf2m_detail

template <class F>
using Fe = FieldElement<F::kWords>;

template <class F>
inline void fe_zero(Fe<F>* r) {
    for (int i = 0; i < F::kWords; ++i) r->w[i] = 0;
}

template <class F>
inline void fe_one(Fe<F>* r) {
    fe_zero<F>(r);
    r->w[0] = 1;
}

template <class F>
inline bool fe_is_zero(const Fe<F>& a) {
    uint64_t acc = 0;
    for (int i = 0; i < F::kWords; ++i) acc |= a.w[i];
    return acc == 0;
}

template <class F>
inline bool fe_is_one(const Fe<F>& a) {
    uint64_t acc = a.w[0] ^ 1;
    for (int i = 1; i < F::kWords; ++i) acc |= a.w[i];
    return acc == 0;
}

template <class F>
inline bool fe_equal(const Fe<F>& a, const Fe<F>& b) {
    uint64_t acc = 0;
    for (int i = 0; i < F::kWords; ++i) acc |= a.w[i] ^ b.w[i];
    return acc == 0;
}

template <class F>
inline void fe_add(Fe<F>* r, const Fe<F>& a, const Fe<F>& b) {
    for (int i = 0; i < F::kWords; ++i) r->w[i] = a.w[i] ^ b.w[i];
}

template <class F>
inline void fe_mul(Fe<F>* r, const Fe<F>& a, const Fe<F>& b) {
    uint64_t c[2 * F::kWords];
#if CYR_GF2M_CLMUL
    if (gf2m_detail::clmul_available()) {
        if constexpr (F::kWords == 2)
            gf2m_detail::mul_wide2_clmul(a.w, b.w, c);
        else
            gf2m_detail::mul_wide3_clmul(a.w, b.w, c);
        F::reduce(c, r->w);
        return;
    }
#endif
    if constexpr (F::kWords == 2)
        gf2m_detail::mul_wide2(a.w, b.w, c);
    else
        gf2m_detail::mul_wide3(a.w, b.w, c);
    F::reduce(c, r->w);
}

template <class F>
inline void fe_sqr(Fe<F>* r, const Fe<F>& a) {
    uint64_t c[2 * F::kWords];
    for (int i = 0; i < F::kWords; ++i) {
        c[2 * i] = gf2m_detail::spread32(a.w[i]);
        c[2 * i + 1] = gf2m_detail::spread32(a.w[i] >> 32);
    }
    F::reduce(c, r->w);
}

namespace gf2m_detail {

template <int N>
inline int degree(const uint64_t* a, int from) {
    for (int i = from / 64; i >= 0; --i) {
        if (a[i] != 0) return 64 * i + 63 - __builtin_clzll(a[i]);
    }
    return -1;
}

// a ^= b * x^j (b of N words, a of N words; bits pushed beyond N words are
// zero by the degree bounds of the callers).
template <int N>
inline void xor_shifted(uint64_t* a, const uint64_t* b, int j) {
    int ws = j / 64, bs = j % 64;
    if (bs == 0) {
        for (int i = N - 1; i >= ws; --i) a[i] ^= b[i - ws];
    } else {
        for (int i = N - 1; i >= ws; --i) {
            uint64_t v = b[i - ws] << bs;
            if (i - ws - 1 >= 0) v |= b[i - ws - 1] >> (64 - bs);
            a[i] ^= v;
        }
    }
}

}  // namespace gf2m_detail

// r = a^-1 by the extended Euclidean algorithm on polynomials. Returns false
// (r untouched) for a = 0.
template <class F>
inline bool fe_inv(Fe<F>* r, const Fe<F>& a) {
    constexpr int N = F::kWords;
    if (fe_is_zero<F>(a)) return false;
    uint64_t u[N], v[N], g1[N], g2[N];
    for (int i = 0; i < N; ++i) {
        u[i] = a.w[i];
        v[i] = F::kPoly[i];
        g1[i] = 0;
        g2[i] = 0;
    }
    g1[0] = 1;
    int du = gf2m_detail::degree<N>(u, 64 * N - 1), dv = F::kBits;
    uint64_t *pu = u, *pv = v, *pg1 = g1, *pg2 = g2;
    while (du != 0) {
        int j = du - dv;
        if (j < 0) {
            uint64_t* t = pu;
            pu = pv;
            pv = t;
            t = pg1;
            pg1 = pg2;
            pg2 = t;
            int td = du;
            du = dv;
            dv = td;
            j = -j;
        }
        gf2m_detail::xor_shifted<N>(pu, pv, j);
        gf2m_detail::xor_shifted<N>(pg1, pg2, j);
        du = gf2m_detail::degree<N>(pu, du);
    }
    for (int i = 0; i < N; ++i) r->w[i] = pg1[i];
    return true;
}

// Trace of a (0 or 1).
template <class F>
inline int fe_trace(const Fe<F>& a) {
    Fe<F> t = a, acc = a;
    for (int i = 1; i < F::kBits; ++i) {
        fe_sqr<F>(&t, t);
        fe_add<F>(&acc, acc, t);
    }
    return static_cast<int>(acc.w[0] & 1);
}

// Solves z^2 + z = beta by the half-trace (m odd). False when there is no
// solution (trace of beta is 1).
template <class F>
inline bool fe_solve_quadratic(Fe<F>* z, const Fe<F>& beta) {
    Fe<F> h = beta;
    for (int i = 1; i <= (F::kBits - 1) / 2; ++i) {
        fe_sqr<F>(&h, h);
        fe_sqr<F>(&h, h);
        fe_add<F>(&h, h, beta);
    }
    Fe<F> check;
    fe_sqr<F>(&check, h);
    fe_add<F>(&check, check, h);
    if (!fe_equal<F>(check, beta)) return false;
    *z = h;
    return true;
}

// Square root: a^(2^(m-1)).
template <class F>
inline void fe_sqrt(Fe<F>* r, const Fe<F>& a) {
    Fe<F> t = a;
    for (int i = 1; i < F::kBits; ++i) fe_sqr<F>(&t, t);
    *r = t;
}

// F::kBytes big-endian bytes. False when the string sets bits at or above m.
template <class F>
inline bool fe_from_bytes(Fe<F>* r, const uint8_t* bytes) {
    Fe<F> t;
    fe_zero<F>(&t);
    for (int i = 0; i < F::kBytes; ++i) {
        int bit = 8 * (F::kBytes - 1 - i);
        t.w[bit / 64] |= static_cast<uint64_t>(bytes[i]) << (bit % 64);
    }
    int top = F::kBits % 64;
    if ((t.w[F::kWords - 1] >> top) != 0) return false;
    *r = t;
    return true;
}

template <class F>
inline void fe_to_bytes(const Fe<F>& a, uint8_t* out) {
    for (int i = 0; i < F::kBytes; ++i) {
        int bit = 8 * (F::kBytes - 1 - i);
        out[i] = static_cast<uint8_t>(a.w[bit / 64] >> (bit % 64));
    }
}

}  // namespace cyr
