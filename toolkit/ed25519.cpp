// Ed25519 (RFC 8032); see ed25519.h.
//
// Points are extended twisted Edwards coordinates (X : Y : Z : T) with
// x = X/Z, y = Y/Z, x*y = T/Z on -x^2 + y^2 = 1 + d x^2 y^2. The addition
// and doubling formulas are those of RFC 8032, 5.1.4; the addition is
// complete, so the neutral element and doublings need no special case.
//
// Scalars are 32-byte little-endian strings; values modulo the group order
// L = 2^252 + 27742317777372353535851937790883648493 are kept as four
// 64-bit limbs, least significant first.
#include "toolkit/ed25519.h"

#include <cstring>

#include "toolkit/field25519.h"
#include "toolkit/internal.h"
#include "toolkit/sha512.h"

namespace cyr {

namespace {

using namespace f25519;
using u128 = unsigned __int128;

struct Point {
    Fe X, Y, Z, T;
};

Point neutral() {
    return Point{zero(), one(), one(), zero()};
}

Point base_point() {
    // x is the even root for y = 4/5 (RFC 8032, 5.1).
    return Point{Fe{{0x62d608f25d51aull, 0x412a4b4f6592aull, 0x75b7171a4b31dull, 0x1ff60527118feull,
                     0x216936d3cd6e5ull}},
                 Fe{{0x6666666666658ull, 0x4ccccccccccccull, 0x1999999999999ull, 0x3333333333333ull,
                     0x6666666666666ull}},
                 one(),
                 Fe{{0x68ab3a5b7dda3ull, 0x0eea2a5eadbbull, 0x2af8df483c27eull, 0x332b375274732ull,
                     0x67875f0fd78b7ull}}};
}

Point point_add(const Point& p, const Point& q) {
    const Fe a = mul(sub(p.Y, p.X), sub(q.Y, q.X));
    const Fe b = mul(add(p.Y, p.X), add(q.Y, q.X));
    const Fe c = mul(mul(p.T, curve_2d()), q.T);
    const Fe d = mul(add(p.Z, p.Z), q.Z);
    const Fe e = sub(b, a), f = sub(d, c), g = add(d, c), h = add(b, a);
    return Point{mul(e, f), mul(g, h), mul(f, g), mul(e, h)};
}

Point point_double(const Point& p) {
    const Fe a = sq(p.X);
    const Fe b = sq(p.Y);
    const Fe z2 = sq(p.Z);
    const Fe c = add(z2, z2);
    const Fe h = add(a, b);
    const Fe e = sub(h, sq(add(p.X, p.Y)));
    const Fe g = sub(a, b);
    const Fe f = add(c, g);
    return Point{mul(e, f), mul(g, h), mul(f, g), mul(e, h)};
}

Point point_negate(const Point& p) {
    return Point{neg(p.X), p.Y, p.Z, neg(p.T)};
}

void point_cmov(Point& r, const Point& p, uint64_t flag) {
    cmov(r.X, p.X, flag);
    cmov(r.Y, p.Y, flag);
    cmov(r.Z, p.Z, flag);
    cmov(r.T, p.T, flag);
}

void encode(uint8_t out[32], const Point& p) {
    const Fe zi = invert(p.Z);
    const Fe x = mul(p.X, zi), y = mul(p.Y, zi);
    to_bytes(out, y);
    out[31] |= uint8_t(is_odd(x) << 7);
}

// RFC 8032, 5.1.3, refusing y >= p and the encoding of x = 0 with the sign
// bit set.
bool decode(Point& p, const uint8_t in[32]) {
    if (!is_canonical(in)) return false;
    const int sign = in[31] >> 7;
    const Fe y = from_bytes(in);
    const Fe y2 = sq(y);
    const Fe u = sub(y2, one());
    const Fe v = add(mul(curve_d(), y2), one());
    const Fe v3 = mul(sq(v), v);
    const Fe v7 = mul(sq(v3), v);
    Fe x = mul(mul(u, v3), pow_p58(mul(u, v7)));
    const Fe vx2 = mul(v, sq(x));
    if (!equal(vx2, u)) {
        if (!equal(vx2, neg(u))) return false;
        x = mul(x, sqrt_m1());
    }
    if (is_zero(x) && sign == 1) return false;
    if (is_odd(x) != sign) x = neg(x);
    p = Point{x, y, one(), mul(x, y)};
    return true;
}

bool is_small_order(const Point& p) {
    const Point q = point_double(point_double(point_double(p)));
    return is_zero(q.X) && equal(q.Y, q.Z);
}

int nibble(const uint8_t s[32], int i) {
    return (s[i / 2] >> (4 * (i % 2))) & 15;
}

// table[i] = i * p for i = 0..15.
void multiples(Point table[16], const Point& p) {
    table[0] = neutral();
    table[1] = p;
    for (int i = 2; i < 16; ++i) table[i] = point_add(table[i - 1], p);
}

// [s]B in time independent of s: every window reads the whole table.
Point base_multiple_ct(const uint8_t s[32]) {
    Point table[16];
    multiples(table, base_point());
    Point r = neutral();
    for (int i = 63; i >= 0; --i) {
        for (int k = 0; k < 4; ++k) r = point_double(r);
        const uint64_t n = uint64_t(nibble(s, i));
        Point pick = neutral();
        for (uint64_t j = 0; j < 16; ++j) {
            const uint64_t diff = j ^ n;
            point_cmov(pick, table[j], ((diff | (0 - diff)) >> 63) ^ 1);
        }
        r = point_add(r, pick);
    }
    secure_wipe(table, sizeof table);
    return r;
}

// [a]B + [b]P for public a and b (Straus, 4-bit windows).
Point double_multiple(const uint8_t a[32], const uint8_t b[32], const Point& p) {
    Point base[16], other[16];
    multiples(base, base_point());
    multiples(other, p);
    Point r = neutral();
    for (int i = 63; i >= 0; --i) {
        for (int k = 0; k < 4; ++k) r = point_double(r);
        if (int n = nibble(a, i)) r = point_add(r, base[n]);
        if (int n = nibble(b, i)) r = point_add(r, other[n]);
    }
    return r;
}

// L, little-endian limbs.
constexpr uint64_t kOrder[4] = {0x5812631a5cf5d3edull, 0x14def9dea2f79cd6ull, 0,
                                0x1000000000000000ull};

// x mod L for a 512-bit x (eight limbs), one bit at a time from the top:
// r = 2r + bit, then L subtracted when it fits. Constant time; r < L < 2^253
// keeps 2r + 1 inside four limbs.
void reduce_limbs(uint8_t out[32], const uint64_t x[8]) {
    uint64_t r[4] = {0, 0, 0, 0};
    for (int i = 511; i >= 0; --i) {
        const uint64_t bit = (x[i / 64] >> (i % 64)) & 1;
        r[3] = (r[3] << 1) | (r[2] >> 63);
        r[2] = (r[2] << 1) | (r[1] >> 63);
        r[1] = (r[1] << 1) | (r[0] >> 63);
        r[0] = (r[0] << 1) | bit;
        uint64_t t[4], borrow = 0;
        for (int k = 0; k < 4; ++k) {
            const u128 d = u128(r[k]) - kOrder[k] - borrow;
            t[k] = uint64_t(d);
            borrow = uint64_t(d >> 64) & 1;
        }
        const uint64_t keep = 0 - borrow;  // all ones when r < L
        for (int k = 0; k < 4; ++k) r[k] = (r[k] & keep) | (t[k] & ~keep);
    }
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 8; ++j) out[8 * k + j] = uint8_t(r[k] >> (8 * j));
    secure_wipe(r, sizeof r);
}

void load_limbs(uint64_t* limbs, const uint8_t* bytes, int count) {
    for (int k = 0; k < count; ++k) {
        limbs[k] = 0;
        for (int j = 7; j >= 0; --j) limbs[k] = (limbs[k] << 8) | bytes[8 * k + j];
    }
}

// A 64-byte digest, little-endian, mod L.
void reduce_digest(uint8_t out[32], const uint8_t digest[64]) {
    uint64_t x[8];
    load_limbs(x, digest, 8);
    reduce_limbs(out, x);
    secure_wipe(x, sizeof x);
}

// (a * b + c) mod L for 32-byte a, b and c < 2^256.
void mul_add(uint8_t out[32], const uint8_t a[32], const uint8_t b[32], const uint8_t c[32]) {
    uint64_t al[4], bl[4], x[8];
    load_limbs(al, a, 4);
    load_limbs(bl, b, 4);
    load_limbs(x, c, 4);
    for (int k = 4; k < 8; ++k) x[k] = 0;
    // a * b < 2^510 after clamping or reduction, so the sum stays in 512 bits.
    for (int i = 0; i < 4; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < 4; ++j) {
            const u128 t = u128(al[i]) * bl[j] + x[i + j] + carry;
            x[i + j] = uint64_t(t);
            carry = uint64_t(t >> 64);
        }
        for (int k = i + 4; k < 8 && carry != 0; ++k) {
            const u128 t = u128(x[k]) + carry;
            x[k] = uint64_t(t);
            carry = uint64_t(t >> 64);
        }
    }
    reduce_limbs(out, x);
    secure_wipe(al, sizeof al);
    secure_wipe(bl, sizeof bl);
    secure_wipe(x, sizeof x);
}

bool below_order(const uint8_t s[32]) {
    uint64_t l[4];
    load_limbs(l, s, 4);
    for (int k = 3; k >= 0; --k)
        if (l[k] != kOrder[k]) return l[k] < kOrder[k];
    return false;
}

// The secret scalar (clamped low half) and the nonce prefix (high half).
void expand_seed(uint8_t expanded[64], const uint8_t seed[32]) {
    sha512_digest(seed, 32, expanded);
    expanded[0] &= 248;
    expanded[31] &= 127;
    expanded[31] |= 64;
}

void digest_of(uint8_t out[64], const uint8_t* a, std::size_t a_len, const uint8_t* b,
               std::size_t b_len, const uint8_t* message, std::size_t length) {
    Sha512Context ctx;
    sha512_init(&ctx);
    sha512_update(&ctx, a, a_len);
    sha512_update(&ctx, b, b_len);
    sha512_update(&ctx, message, length);
    sha512_final(&ctx, out);
}

}  // namespace

void ed25519_public_key(const uint8_t seed[kEd25519SeedBytes],
                        uint8_t public_key[kEd25519PublicKeyBytes]) {
    uint8_t expanded[64];
    expand_seed(expanded, seed);
    Point a = base_multiple_ct(expanded);
    encode(public_key, a);
    secure_wipe(&a, sizeof a);
    secure_wipe(expanded, sizeof expanded);
}

void ed25519_sign(const uint8_t seed[kEd25519SeedBytes], const uint8_t* message, std::size_t length,
                  uint8_t signature[kEd25519SignatureBytes]) {
    uint8_t expanded[64], public_key[32], digest[64], nonce[32], k[32];
    expand_seed(expanded, seed);
    Point p = base_multiple_ct(expanded);
    encode(public_key, p);

    digest_of(digest, expanded + 32, 32, nullptr, 0, message, length);
    reduce_digest(nonce, digest);
    p = base_multiple_ct(nonce);
    encode(signature, p);  // R

    digest_of(digest, signature, 32, public_key, 32, message, length);
    reduce_digest(k, digest);
    mul_add(signature + 32, k, expanded, nonce);  // S = (r + k * s) mod L

    secure_wipe(&p, sizeof p);
    secure_wipe(expanded, sizeof expanded);
    secure_wipe(digest, sizeof digest);
    secure_wipe(nonce, sizeof nonce);
}

bool ed25519_public_key_valid(const uint8_t public_key[kEd25519PublicKeyBytes]) {
    Point a;
    return decode(a, public_key) && !is_small_order(a);
}

bool ed25519_verify(const uint8_t public_key[kEd25519PublicKeyBytes], const uint8_t* message,
                    std::size_t length, const uint8_t signature[kEd25519SignatureBytes]) {
    const uint8_t* r_bytes = signature;
    const uint8_t* s_bytes = signature + 32;
    if (!below_order(s_bytes)) return false;
    Point a, r;
    if (!decode(a, public_key) || is_small_order(a)) return false;
    if (!decode(r, r_bytes) || is_small_order(r)) return false;

    uint8_t digest[64], k[32];
    digest_of(digest, r_bytes, 32, public_key, 32, message, length);
    reduce_digest(k, digest);
    // [S]B - [k]A must be R; R was checked canonical, so bytes compare.
    const Point check = double_multiple(s_bytes, k, point_negate(a));
    uint8_t encoded[32];
    encode(encoded, check);
    return std::memcmp(encoded, r_bytes, 32) == 0;
}

}  // namespace cyr
