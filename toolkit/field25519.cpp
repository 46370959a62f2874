// Arithmetic modulo 2^255 - 19; see field25519.h.
#include "toolkit/field25519.h"

#include <cstring>

namespace cyr::f25519 {

namespace {

using u128 = unsigned __int128;
constexpr uint64_t kMask = (uint64_t(1) << 51) - 1;

// One carry pass: limbs 0..3 below 2^51, limb 4's carry folded into limb 0
// times 19 (2^255 = 19 mod p).
void carry(Fe& h) {
    uint64_t c;
    c = h.v[0] >> 51, h.v[0] &= kMask, h.v[1] += c;
    c = h.v[1] >> 51, h.v[1] &= kMask, h.v[2] += c;
    c = h.v[2] >> 51, h.v[2] &= kMask, h.v[3] += c;
    c = h.v[3] >> 51, h.v[3] &= kMask, h.v[4] += c;
    c = h.v[4] >> 51, h.v[4] &= kMask, h.v[0] += c * 19;
}

uint64_t load64_le(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void store64_le(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i, v >>= 8) p[i] = uint8_t(v);
}

// a^e for a public exponent given big-endian as bits from the top: the
// sequence of squarings and multiplications depends on e only.
Fe pow_public(const Fe& a, const uint8_t e[32]) {
    Fe r = one();
    for (int i = 0; i < 256; ++i) {
        r = sq(r);
        if ((e[i / 8] >> (7 - i % 8)) & 1) r = mul(r, a);
    }
    return r;
}

}  // namespace

Fe zero() {
    return Fe{{0, 0, 0, 0, 0}};
}

Fe one() {
    return Fe{{1, 0, 0, 0, 0}};
}

Fe add(const Fe& a, const Fe& b) {
    Fe r;
    for (int i = 0; i < 5; ++i) r.v[i] = a.v[i] + b.v[i];
    carry(r);
    return r;
}

Fe sub(const Fe& a, const Fe& b) {
    // 4p added first keeps every limb positive for inputs below 2^53.
    static constexpr uint64_t kFourP[5] = {0x1FFFFFFFFFFFB4ull, 0x1FFFFFFFFFFFFCull,
                                           0x1FFFFFFFFFFFFCull, 0x1FFFFFFFFFFFFCull,
                                           0x1FFFFFFFFFFFFCull};
    Fe r;
    for (int i = 0; i < 5; ++i) r.v[i] = a.v[i] + kFourP[i] - b.v[i];
    carry(r);
    return r;
}

Fe neg(const Fe& a) {
    return sub(zero(), a);
}

Fe mul(const Fe& a, const Fe& b) {
    const uint64_t a0 = a.v[0], a1 = a.v[1], a2 = a.v[2], a3 = a.v[3], a4 = a.v[4];
    const uint64_t b0 = b.v[0], b1 = b.v[1], b2 = b.v[2], b3 = b.v[3], b4 = b.v[4];
    // Limb products at or above 2^255 come back times 19.
    const uint64_t b1_19 = b1 * 19, b2_19 = b2 * 19, b3_19 = b3 * 19, b4_19 = b4 * 19;
    u128 t0 =
        u128(a0) * b0 + u128(a1) * b4_19 + u128(a2) * b3_19 + u128(a3) * b2_19 + u128(a4) * b1_19;
    u128 t1 =
        u128(a0) * b1 + u128(a1) * b0 + u128(a2) * b4_19 + u128(a3) * b3_19 + u128(a4) * b2_19;
    u128 t2 = u128(a0) * b2 + u128(a1) * b1 + u128(a2) * b0 + u128(a3) * b4_19 + u128(a4) * b3_19;
    u128 t3 = u128(a0) * b3 + u128(a1) * b2 + u128(a2) * b1 + u128(a3) * b0 + u128(a4) * b4_19;
    u128 t4 = u128(a0) * b4 + u128(a1) * b3 + u128(a2) * b2 + u128(a3) * b1 + u128(a4) * b0;
    Fe r;
    t1 += uint64_t(t0 >> 51);
    r.v[0] = uint64_t(t0) & kMask;
    t2 += uint64_t(t1 >> 51);
    r.v[1] = uint64_t(t1) & kMask;
    t3 += uint64_t(t2 >> 51);
    r.v[2] = uint64_t(t2) & kMask;
    t4 += uint64_t(t3 >> 51);
    r.v[3] = uint64_t(t3) & kMask;
    r.v[4] = uint64_t(t4) & kMask;
    r.v[0] += uint64_t(t4 >> 51) * 19;
    r.v[1] += r.v[0] >> 51;
    r.v[0] &= kMask;
    return r;
}

Fe sq(const Fe& a) {
    return mul(a, a);
}

Fe invert(const Fe& a) {
    // p - 2 = 2^255 - 21, big-endian.
    static constexpr uint8_t kExponent[32] = {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEB};
    return pow_public(a, kExponent);
}

Fe pow_p58(const Fe& a) {
    // (p - 5) / 8 = 2^252 - 3, big-endian.
    static constexpr uint8_t kExponent[32] = {0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD};
    return pow_public(a, kExponent);
}

Fe from_bytes(const uint8_t in[32]) {
    Fe h;
    h.v[0] = load64_le(in) & kMask;
    h.v[1] = (load64_le(in + 6) >> 3) & kMask;
    h.v[2] = (load64_le(in + 12) >> 6) & kMask;
    h.v[3] = (load64_le(in + 19) >> 1) & kMask;
    h.v[4] = (load64_le(in + 24) >> 12) & kMask;
    return h;
}

void to_bytes(uint8_t out[32], const Fe& a) {
    Fe h = a;
    // Three passes leave every limb below 2^51 and the value below 2^255.
    carry(h);
    carry(h);
    carry(h);
    // q = 1 exactly when h >= p, i.e. when h + 19 reaches 2^255.
    uint64_t q = (h.v[0] + 19) >> 51;
    q = (h.v[1] + q) >> 51;
    q = (h.v[2] + q) >> 51;
    q = (h.v[3] + q) >> 51;
    q = (h.v[4] + q) >> 51;
    h.v[0] += 19 * q;
    uint64_t c;
    c = h.v[0] >> 51, h.v[0] &= kMask, h.v[1] += c;
    c = h.v[1] >> 51, h.v[1] &= kMask, h.v[2] += c;
    c = h.v[2] >> 51, h.v[2] &= kMask, h.v[3] += c;
    c = h.v[3] >> 51, h.v[3] &= kMask, h.v[4] += c;
    h.v[4] &= kMask;  // drops the 2^255 of h + 19 - 2^255 = h - p
    store64_le(out, h.v[0] | (h.v[1] << 51));
    store64_le(out + 8, (h.v[1] >> 13) | (h.v[2] << 38));
    store64_le(out + 16, (h.v[2] >> 26) | (h.v[3] << 25));
    store64_le(out + 24, (h.v[3] >> 39) | (h.v[4] << 12));
}

bool is_canonical(const uint8_t in[32]) {
    // p = 0x7FFF...FFED little-endian: ED FF .. FF 7F. Public data only.
    if ((in[31] & 0x7F) != 0x7F) return true;
    for (int i = 30; i >= 1; --i)
        if (in[i] != 0xFF) return true;
    return in[0] < 0xED;
}

bool is_zero(const Fe& a) {
    uint8_t s[32];
    to_bytes(s, a);
    uint8_t acc = 0;
    for (uint8_t b : s) acc |= b;
    return acc == 0;
}

bool equal(const Fe& a, const Fe& b) {
    return is_zero(sub(a, b));
}

int is_odd(const Fe& a) {
    uint8_t s[32];
    to_bytes(s, a);
    return s[0] & 1;
}

void cmov(Fe& r, const Fe& b, uint64_t flag) {
    const uint64_t mask = uint64_t(0) - flag;
    for (int i = 0; i < 5; ++i) r.v[i] ^= mask & (r.v[i] ^ b.v[i]);
}

const Fe& curve_d() {
    static const Fe d{{0x34dca135978a3ull, 0x1a8283b156ebdull, 0x5e7a26001c029ull,
                       0x739c663a03cbbull, 0x52036cee2b6ffull}};
    return d;
}

const Fe& curve_2d() {
    static const Fe d2{{0x69b9426b2f159ull, 0x35050762add7aull, 0x3cf44c0038052ull,
                        0x6738cc7407977ull, 0x2406d9dc56dffull}};
    return d2;
}

const Fe& sqrt_m1() {
    static const Fe s{{0x61b274a0ea0b0ull, 0x0d5a5fc8f189dull, 0x7ef5e9cbd0c60ull,
                       0x78595a6804c9eull, 0x2b8324804fc1dull}};
    return s;
}

}  // namespace cyr::f25519
