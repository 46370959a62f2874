// SEED block cipher (RFC 4269); see seed.h.
#include "toolkit/seed.h"

#include <array>
#include <cstring>

#include "toolkit/internal.h"

namespace cyr {

namespace {

// The two 8-bit S-boxes S1 and S2 of RFC 4269 (S1(x) = A1 x^247 + 169,
// S2(x) = A2 x^251 + 56 over GF(2^8) mod x^8+x^6+x^5+x+1).
constexpr uint8_t kS1[256] = {
    0xa9, 0x85, 0xd6, 0xd3, 0x54, 0x1d, 0xac, 0x25, 0x5d, 0x43, 0x18, 0x1e, 0x51, 0xfc, 0xca, 0x63,
    0x28, 0x44, 0x20, 0x9d, 0xe0, 0xe2, 0xc8, 0x17, 0xa5, 0x8f, 0x03, 0x7b, 0xbb, 0x13, 0xd2, 0xee,
    0x70, 0x8c, 0x3f, 0xa8, 0x32, 0xdd, 0xf6, 0x74, 0xec, 0x95, 0x0b, 0x57, 0x5c, 0x5b, 0xbd, 0x01,
    0x24, 0x1c, 0x73, 0x98, 0x10, 0xcc, 0xf2, 0xd9, 0x2c, 0xe7, 0x72, 0x83, 0x9b, 0xd1, 0x86, 0xc9,
    0x60, 0x50, 0xa3, 0xeb, 0x0d, 0xb6, 0x9e, 0x4f, 0xb7, 0x5a, 0xc6, 0x78, 0xa6, 0x12, 0xaf, 0xd5,
    0x61, 0xc3, 0xb4, 0x41, 0x52, 0x7d, 0x8d, 0x08, 0x1f, 0x99, 0x00, 0x19, 0x04, 0x53, 0xf7, 0xe1,
    0xfd, 0x76, 0x2f, 0x27, 0xb0, 0x8b, 0x0e, 0xab, 0xa2, 0x6e, 0x93, 0x4d, 0x69, 0x7c, 0x09, 0x0a,
    0xbf, 0xef, 0xf3, 0xc5, 0x87, 0x14, 0xfe, 0x64, 0xde, 0x2e, 0x4b, 0x1a, 0x06, 0x21, 0x6b, 0x66,
    0x02, 0xf5, 0x92, 0x8a, 0x0c, 0xb3, 0x7e, 0xd0, 0x7a, 0x47, 0x96, 0xe5, 0x26, 0x80, 0xad, 0xdf,
    0xa1, 0x30, 0x37, 0xae, 0x36, 0x15, 0x22, 0x38, 0xf4, 0xa7, 0x45, 0x4c, 0x81, 0xe9, 0x84, 0x97,
    0x35, 0xcb, 0xce, 0x3c, 0x71, 0x11, 0xc7, 0x89, 0x75, 0xfb, 0xda, 0xf8, 0x94, 0x59, 0x82, 0xc4,
    0xff, 0x49, 0x39, 0x67, 0xc0, 0xcf, 0xd7, 0xb8, 0x0f, 0x8e, 0x42, 0x23, 0x91, 0x6c, 0xdb, 0xa4,
    0x34, 0xf1, 0x48, 0xc2, 0x6f, 0x3d, 0x2d, 0x40, 0xbe, 0x3e, 0xbc, 0xc1, 0xaa, 0xba, 0x4e, 0x55,
    0x3b, 0xdc, 0x68, 0x7f, 0x9c, 0xd8, 0x4a, 0x56, 0x77, 0xa0, 0xed, 0x46, 0xb5, 0x2b, 0x65, 0xfa,
    0xe3, 0xb9, 0xb1, 0x9f, 0x5e, 0xf9, 0xe6, 0xb2, 0x31, 0xea, 0x6d, 0x5f, 0xe4, 0xf0, 0xcd, 0x88,
    0x16, 0x3a, 0x58, 0xd4, 0x62, 0x29, 0x07, 0x33, 0xe8, 0x1b, 0x05, 0x79, 0x90, 0x6a, 0x2a, 0x9a,
};

constexpr uint8_t kS2[256] = {
    0x38, 0xe8, 0x2d, 0xa6, 0xcf, 0xde, 0xb3, 0xb8, 0xaf, 0x60, 0x55, 0xc7, 0x44, 0x6f, 0x6b, 0x5b,
    0xc3, 0x62, 0x33, 0xb5, 0x29, 0xa0, 0xe2, 0xa7, 0xd3, 0x91, 0x11, 0x06, 0x1c, 0xbc, 0x36, 0x4b,
    0xef, 0x88, 0x6c, 0xa8, 0x17, 0xc4, 0x16, 0xf4, 0xc2, 0x45, 0xe1, 0xd6, 0x3f, 0x3d, 0x8e, 0x98,
    0x28, 0x4e, 0xf6, 0x3e, 0xa5, 0xf9, 0x0d, 0xdf, 0xd8, 0x2b, 0x66, 0x7a, 0x27, 0x2f, 0xf1, 0x72,
    0x42, 0xd4, 0x41, 0xc0, 0x73, 0x67, 0xac, 0x8b, 0xf7, 0xad, 0x80, 0x1f, 0xca, 0x2c, 0xaa, 0x34,
    0xd2, 0x0b, 0xee, 0xe9, 0x5d, 0x94, 0x18, 0xf8, 0x57, 0xae, 0x08, 0xc5, 0x13, 0xcd, 0x86, 0xb9,
    0xff, 0x7d, 0xc1, 0x31, 0xf5, 0x8a, 0x6a, 0xb1, 0xd1, 0x20, 0xd7, 0x02, 0x22, 0x04, 0x68, 0x71,
    0x07, 0xdb, 0x9d, 0x99, 0x61, 0xbe, 0xe6, 0x59, 0xdd, 0x51, 0x90, 0xdc, 0x9a, 0xa3, 0xab, 0xd0,
    0x81, 0x0f, 0x47, 0x1a, 0xe3, 0xec, 0x8d, 0xbf, 0x96, 0x7b, 0x5c, 0xa2, 0xa1, 0x63, 0x23, 0x4d,
    0xc8, 0x9e, 0x9c, 0x3a, 0x0c, 0x2e, 0xba, 0x6e, 0x9f, 0x5a, 0xf2, 0x92, 0xf3, 0x49, 0x78, 0xcc,
    0x15, 0xfb, 0x70, 0x75, 0x7f, 0x35, 0x10, 0x03, 0x64, 0x6d, 0xc6, 0x74, 0xd5, 0xb4, 0xea, 0x09,
    0x76, 0x19, 0xfe, 0x40, 0x12, 0xe0, 0xbd, 0x05, 0xfa, 0x01, 0xf0, 0x2a, 0x5e, 0xa9, 0x56, 0x43,
    0x85, 0x14, 0x89, 0x9b, 0xb0, 0xe5, 0x48, 0x79, 0x97, 0xfc, 0x1e, 0x82, 0x21, 0x8c, 0x1b, 0x5f,
    0x77, 0x54, 0xb2, 0x1d, 0x25, 0x4f, 0x00, 0x46, 0xed, 0x58, 0x52, 0xeb, 0x7e, 0xda, 0xc9, 0xfd,
    0x30, 0x95, 0x65, 0x3c, 0xb6, 0xe4, 0xbb, 0x7c, 0x0e, 0x50, 0x39, 0x26, 0x32, 0x84, 0x69, 0x93,
    0x37, 0xe7, 0x24, 0xa4, 0xcb, 0x53, 0x0a, 0x87, 0xd9, 0x4c, 0x83, 0x8f, 0xce, 0x3b, 0x4a, 0xb7,
};

// G's output byte k for input byte j takes S(x) masked with m[(j + k) mod 4];
// folding S-box and masks gives the four SS tables of the standard.
constexpr uint8_t kMask[4] = {0xfc, 0xf3, 0xcf, 0x3f};

using Table = std::array<uint32_t, 256>;

constexpr Table make_ss(int j) {
    Table t{};
    const uint8_t* s = (j % 2 == 0) ? kS1 : kS2;
    for (int x = 0; x < 256; ++x) {
        uint32_t w = 0;
        for (int k = 0; k < 4; ++k) w |= uint32_t(s[x] & kMask[(j + k) % 4]) << (8 * k);
        t[x] = w;
    }
    return t;
}

constexpr Table kSS0 = make_ss(0);
constexpr Table kSS1 = make_ss(1);
constexpr Table kSS2 = make_ss(2);
constexpr Table kSS3 = make_ss(3);

static_assert(kSS0[0] == 0x2989a1a8u && kSS1[0] == 0x38380830u, "SEED SS tables");

// KC_i: the golden-ratio constant rotated left by i.
constexpr std::array<uint32_t, 16> make_kc() {
    std::array<uint32_t, 16> kc{};
    uint32_t v = 0x9e3779b9u;
    for (int i = 0; i < 16; ++i) {
        kc[i] = v;
        v = (v << 1) | (v >> 31);
    }
    return kc;
}
constexpr std::array<uint32_t, 16> kKC = make_kc();

inline uint32_t G(uint32_t x) {
    return kSS0[x & 0xff] ^ kSS1[(x >> 8) & 0xff] ^ kSS2[(x >> 16) & 0xff] ^ kSS3[x >> 24];
}

inline uint32_t load_be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline void store_be32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// One Feistel round: (l0, l1) ^= F(r0, r1) under subkeys k[0], k[1]. r0 comes
// out of the previous round last, so it joins the first G's input last.
#define SEED_ROUND(l0, l1, r0, r1, k)                      \
    do {                                                   \
        uint32_t t0_ = (r0) ^ (k)[0];                      \
        uint32_t t1_ = G((r0) ^ ((r1) ^ (k)[0] ^ (k)[1])); \
        t0_ = G(t0_ + t1_);                                \
        t1_ = G(t1_ + t0_);                                \
        t0_ += t1_;                                        \
        (l0) ^= t0_;                                       \
        (l1) ^= t1_;                                       \
    } while (0)

// Sixteen rounds over one block held as four words; `step` is +2 for
// encryption (subkeys in order) and -2 for decryption (starting at k[30]).
#define SEED_ROUNDS(l0, l1, r0, r1, k, step)           \
    do {                                               \
        SEED_ROUND(l0, l1, r0, r1, (k) + 0 * (step));  \
        SEED_ROUND(r0, r1, l0, l1, (k) + 1 * (step));  \
        SEED_ROUND(l0, l1, r0, r1, (k) + 2 * (step));  \
        SEED_ROUND(r0, r1, l0, l1, (k) + 3 * (step));  \
        SEED_ROUND(l0, l1, r0, r1, (k) + 4 * (step));  \
        SEED_ROUND(r0, r1, l0, l1, (k) + 5 * (step));  \
        SEED_ROUND(l0, l1, r0, r1, (k) + 6 * (step));  \
        SEED_ROUND(r0, r1, l0, l1, (k) + 7 * (step));  \
        SEED_ROUND(l0, l1, r0, r1, (k) + 8 * (step));  \
        SEED_ROUND(r0, r1, l0, l1, (k) + 9 * (step));  \
        SEED_ROUND(l0, l1, r0, r1, (k) + 10 * (step)); \
        SEED_ROUND(r0, r1, l0, l1, (k) + 11 * (step)); \
        SEED_ROUND(l0, l1, r0, r1, (k) + 12 * (step)); \
        SEED_ROUND(r0, r1, l0, l1, (k) + 13 * (step)); \
        SEED_ROUND(l0, l1, r0, r1, (k) + 14 * (step)); \
        SEED_ROUND(r0, r1, l0, l1, (k) + 15 * (step)); \
    } while (0)

// Four independent blocks, round by round, so that their table lookups overlap.
#define SEED_ROUND4(k)                 \
    do {                               \
        SEED_ROUND(a0, a1, a2, a3, k); \
        SEED_ROUND(b0, b1, b2, b3, k); \
        SEED_ROUND(c0, c1, c2, c3, k); \
        SEED_ROUND(d0, d1, d2, d3, k); \
    } while (0)
#define SEED_ROUND4_SWAP(k)            \
    do {                               \
        SEED_ROUND(a2, a3, a0, a1, k); \
        SEED_ROUND(b2, b3, b0, b1, k); \
        SEED_ROUND(c2, c3, c0, c1, k); \
        SEED_ROUND(d2, d3, d0, d1, k); \
    } while (0)

inline void crypt_one(const uint32_t* k, int step, const uint8_t* in, uint8_t* out) {
    uint32_t l0 = load_be32(in), l1 = load_be32(in + 4);
    uint32_t r0 = load_be32(in + 8), r1 = load_be32(in + 12);
    if (step > 0)
        SEED_ROUNDS(l0, l1, r0, r1, k, 2);
    else
        SEED_ROUNDS(l0, l1, r0, r1, k + 30, -2);
    // The last round does not swap the halves.
    store_be32(out, r0);
    store_be32(out + 4, r1);
    store_be32(out + 8, l0);
    store_be32(out + 12, l1);
}

void crypt_four(const uint32_t* k, int step, const uint8_t* in, uint8_t* out) {
    uint32_t a0 = load_be32(in), a1 = load_be32(in + 4), a2 = load_be32(in + 8),
             a3 = load_be32(in + 12);
    uint32_t b0 = load_be32(in + 16), b1 = load_be32(in + 20), b2 = load_be32(in + 24),
             b3 = load_be32(in + 28);
    uint32_t c0 = load_be32(in + 32), c1 = load_be32(in + 36), c2 = load_be32(in + 40),
             c3 = load_be32(in + 44);
    uint32_t d0 = load_be32(in + 48), d1 = load_be32(in + 52), d2 = load_be32(in + 56),
             d3 = load_be32(in + 60);
    const uint32_t* kr = step > 0 ? k : k + 30;
    for (int r = 0; r < 16; r += 2) {
        SEED_ROUND4(kr);
        kr += step;
        SEED_ROUND4_SWAP(kr);
        kr += step;
    }
    store_be32(out, a2), store_be32(out + 4, a3), store_be32(out + 8, a0), store_be32(out + 12, a1);
    store_be32(out + 16, b2), store_be32(out + 20, b3), store_be32(out + 24, b0),
        store_be32(out + 28, b1);
    store_be32(out + 32, c2), store_be32(out + 36, c3), store_be32(out + 40, c0),
        store_be32(out + 44, c1);
    store_be32(out + 48, d2), store_be32(out + 52, d3), store_be32(out + 56, d0),
        store_be32(out + 60, d1);
}

void crypt_blocks(const uint32_t* k, int step, const uint8_t* in, uint8_t* out,
                  std::size_t blocks) {
    for (; blocks >= 4; blocks -= 4, in += 64, out += 64) crypt_four(k, step, in, out);
    for (; blocks > 0; --blocks, in += 16, out += 16) crypt_one(k, step, in, out);
}

}  // namespace

bool seed_key_schedule(const uint8_t* key, std::size_t key_length, SeedRoundKeys* rk) {
    if (key == nullptr || key_length != 16) return false;
    uint32_t a = load_be32(key), b = load_be32(key + 4);
    uint32_t c = load_be32(key + 8), d = load_be32(key + 12);
    for (int i = 0; i < 16; ++i) {
        rk->k[2 * i] = G(a + c - kKC[i]);
        rk->k[2 * i + 1] = G(b - d + kKC[i]);
        uint32_t t;
        if (i % 2 == 0) {  // A||B rotated right by 8
            t = a;
            a = (a >> 8) | (b << 24);
            b = (b >> 8) | (t << 24);
        } else {  // C||D rotated left by 8
            t = c;
            c = (c << 8) | (d >> 24);
            d = (d << 8) | (t >> 24);
        }
    }
    return true;
}

void seed_encrypt_block(const SeedRoundKeys* rk, uint8_t block[16]) {
    crypt_one(rk->k, 2, block, block);
}

void seed_decrypt_block(const SeedRoundKeys* rk, uint8_t block[16]) {
    crypt_one(rk->k, -2, block, block);
}

void seed_encrypt_blocks(const SeedRoundKeys* rk, const uint8_t* in, uint8_t* out,
                         std::size_t blocks) {
    crypt_blocks(rk->k, 2, in, out, blocks);
}

void seed_decrypt_blocks(const SeedRoundKeys* rk, const uint8_t* in, uint8_t* out,
                         std::size_t blocks) {
    crypt_blocks(rk->k, -2, in, out, blocks);
}

void seed_cfb_encrypt_blocks(const SeedRoundKeys* rk, uint8_t reg[16], const uint8_t* in,
                             uint8_t* out, std::size_t blocks) {
    // The register stays in words from block to block: the chain is serial,
    // so what can be saved is the packing around each block.
    const uint32_t* k = rk->k;
    uint32_t x0 = load_be32(reg), x1 = load_be32(reg + 4);
    uint32_t x2 = load_be32(reg + 8), x3 = load_be32(reg + 12);
    for (; blocks > 0; --blocks, in += 16, out += 16) {
        SEED_ROUNDS(x0, x1, x2, x3, k, 2);
        // E's output is (x2, x3, x0, x1): the halves end unswapped.
        uint32_t c0 = x2 ^ load_be32(in), c1 = x3 ^ load_be32(in + 4);
        uint32_t c2 = x0 ^ load_be32(in + 8), c3 = x1 ^ load_be32(in + 12);
        store_be32(out, c0);
        store_be32(out + 4, c1);
        store_be32(out + 8, c2);
        store_be32(out + 12, c3);
        x0 = c0, x1 = c1, x2 = c2, x3 = c3;
    }
    store_be32(reg, x0);
    store_be32(reg + 4, x1);
    store_be32(reg + 8, x2);
    store_be32(reg + 12, x3);
}

}  // namespace cyr
