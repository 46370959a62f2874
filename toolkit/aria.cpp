// ARIA (RFC 5794); see aria.h. Byte-oriented: the substitution layers read the
// four 256-byte S-boxes, the diffusion layer is a fixed network of byte XORs.
#include "toolkit/aria.h"

#include <array>
#include <cstring>

#include "toolkit/gf256.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

using Box = std::array<uint8_t, 256>;

// SB1 is the AES S-box; SB2(x) = B x^247 + 0xE2 (RFC 5794 2.4.2); SB3 and SB4
// are their inverses.
constexpr Box kSB1 = gf256::aes_sbox();
constexpr Box kSB2 = {
    0xe2, 0x4e, 0x54, 0xfc, 0x94, 0xc2, 0x4a, 0xcc, 0x62, 0x0d, 0x6a, 0x46, 0x3c, 0x4d, 0x8b, 0xd1,
    0x5e, 0xfa, 0x64, 0xcb, 0xb4, 0x97, 0xbe, 0x2b, 0xbc, 0x77, 0x2e, 0x03, 0xd3, 0x19, 0x59, 0xc1,
    0x1d, 0x06, 0x41, 0x6b, 0x55, 0xf0, 0x99, 0x69, 0xea, 0x9c, 0x18, 0xae, 0x63, 0xdf, 0xe7, 0xbb,
    0x00, 0x73, 0x66, 0xfb, 0x96, 0x4c, 0x85, 0xe4, 0x3a, 0x09, 0x45, 0xaa, 0x0f, 0xee, 0x10, 0xeb,
    0x2d, 0x7f, 0xf4, 0x29, 0xac, 0xcf, 0xad, 0x91, 0x8d, 0x78, 0xc8, 0x95, 0xf9, 0x2f, 0xce, 0xcd,
    0x08, 0x7a, 0x88, 0x38, 0x5c, 0x83, 0x2a, 0x28, 0x47, 0xdb, 0xb8, 0xc7, 0x93, 0xa4, 0x12, 0x53,
    0xff, 0x87, 0x0e, 0x31, 0x36, 0x21, 0x58, 0x48, 0x01, 0x8e, 0x37, 0x74, 0x32, 0xca, 0xe9, 0xb1,
    0xb7, 0xab, 0x0c, 0xd7, 0xc4, 0x56, 0x42, 0x26, 0x07, 0x98, 0x60, 0xd9, 0xb6, 0xb9, 0x11, 0x40,
    0xec, 0x20, 0x8c, 0xbd, 0xa0, 0xc9, 0x84, 0x04, 0x49, 0x23, 0xf1, 0x4f, 0x50, 0x1f, 0x13, 0xdc,
    0xd8, 0xc0, 0x9e, 0x57, 0xe3, 0xc3, 0x7b, 0x65, 0x3b, 0x02, 0x8f, 0x3e, 0xe8, 0x25, 0x92, 0xe5,
    0x15, 0xdd, 0xfd, 0x17, 0xa9, 0xbf, 0xd4, 0x9a, 0x7e, 0xc5, 0x39, 0x67, 0xfe, 0x76, 0x9d, 0x43,
    0xa7, 0xe1, 0xd0, 0xf5, 0x68, 0xf2, 0x1b, 0x34, 0x70, 0x05, 0xa3, 0x8a, 0xd5, 0x79, 0x86, 0xa8,
    0x30, 0xc6, 0x51, 0x4b, 0x1e, 0xa6, 0x27, 0xf6, 0x35, 0xd2, 0x6e, 0x24, 0x16, 0x82, 0x5f, 0xda,
    0xe6, 0x75, 0xa2, 0xef, 0x2c, 0xb2, 0x1c, 0x9f, 0x5d, 0x6f, 0x80, 0x0a, 0x72, 0x44, 0x9b, 0x6c,
    0x90, 0x0b, 0x5b, 0x33, 0x7d, 0x5a, 0x52, 0xf3, 0x61, 0xa1, 0xf7, 0xb0, 0xd6, 0x3f, 0x7c, 0x6d,
    0xed, 0x14, 0xe0, 0xa5, 0x3d, 0x22, 0xb3, 0xf8, 0x89, 0xde, 0x71, 0x1a, 0xaf, 0xba, 0xb5, 0x81,
};
constexpr Box kSB3 = gf256::invert(kSB1);
constexpr Box kSB4 = gf256::invert(kSB2);
static_assert(kSB3[0x63] == 0 && kSB4[0xe2] == 0, "ARIA S-boxes");

// Key-schedule constants C1..C3 (RFC 5794 2.2), big-endian.
constexpr uint8_t kC[3][16] = {
    {0x51, 0x7c, 0xc1, 0xb7, 0x27, 0x22, 0x0a, 0x94, 0xfe, 0x13, 0xab, 0xe8, 0xfa, 0x9a, 0x6e,
     0xe0},
    {0x6d, 0xb1, 0x4a, 0xcc, 0x9e, 0x21, 0xc8, 0x20, 0xff, 0x28, 0xb1, 0xd5, 0xef, 0x5d, 0xe2,
     0xb0},
    {0xdb, 0x92, 0x37, 0x1d, 0x21, 0x26, 0xe9, 0x70, 0x03, 0x24, 0x97, 0x75, 0x04, 0xe8, 0xc9,
     0x0e},
};

using Block = uint8_t[16];

inline void xor16(uint8_t* d, const uint8_t* a, const uint8_t* b) {
    for (int i = 0; i < 16; ++i) d[i] = a[i] ^ b[i];
}

// Substitution layer of type 1 (odd rounds) and type 2 (even rounds).
inline void sl1(uint8_t* x) {
    for (int i = 0; i < 16; i += 4) {
        x[i] = kSB1[x[i]];
        x[i + 1] = kSB2[x[i + 1]];
        x[i + 2] = kSB3[x[i + 2]];
        x[i + 3] = kSB4[x[i + 3]];
    }
}

inline void sl2(uint8_t* x) {
    for (int i = 0; i < 16; i += 4) {
        x[i] = kSB3[x[i]];
        x[i + 1] = kSB4[x[i + 1]];
        x[i + 2] = kSB1[x[i + 2]];
        x[i + 3] = kSB2[x[i + 3]];
    }
}

// The diffusion layer A, an involution (RFC 5794 2.4.3).
inline void diffuse(const uint8_t* x, uint8_t* y) {
    y[0] = x[3] ^ x[4] ^ x[6] ^ x[8] ^ x[9] ^ x[13] ^ x[14];
    y[1] = x[2] ^ x[5] ^ x[7] ^ x[8] ^ x[9] ^ x[12] ^ x[15];
    y[2] = x[1] ^ x[4] ^ x[6] ^ x[10] ^ x[11] ^ x[12] ^ x[15];
    y[3] = x[0] ^ x[5] ^ x[7] ^ x[10] ^ x[11] ^ x[13] ^ x[14];
    y[4] = x[0] ^ x[2] ^ x[5] ^ x[8] ^ x[11] ^ x[14] ^ x[15];
    y[5] = x[1] ^ x[3] ^ x[4] ^ x[9] ^ x[10] ^ x[14] ^ x[15];
    y[6] = x[0] ^ x[2] ^ x[7] ^ x[9] ^ x[10] ^ x[12] ^ x[13];
    y[7] = x[1] ^ x[3] ^ x[6] ^ x[8] ^ x[11] ^ x[12] ^ x[13];
    y[8] = x[0] ^ x[1] ^ x[4] ^ x[7] ^ x[10] ^ x[13] ^ x[15];
    y[9] = x[0] ^ x[1] ^ x[5] ^ x[6] ^ x[11] ^ x[12] ^ x[14];
    y[10] = x[2] ^ x[3] ^ x[5] ^ x[6] ^ x[8] ^ x[13] ^ x[15];
    y[11] = x[2] ^ x[3] ^ x[4] ^ x[7] ^ x[9] ^ x[12] ^ x[14];
    y[12] = x[1] ^ x[2] ^ x[6] ^ x[7] ^ x[9] ^ x[11] ^ x[12];
    y[13] = x[0] ^ x[3] ^ x[6] ^ x[7] ^ x[8] ^ x[10] ^ x[13];
    y[14] = x[0] ^ x[3] ^ x[4] ^ x[5] ^ x[9] ^ x[11] ^ x[14];
    y[15] = x[1] ^ x[2] ^ x[4] ^ x[5] ^ x[8] ^ x[10] ^ x[15];
}

// FO and FE: key addition, substitution, diffusion; `d` may equal `x`.
inline void round_odd(const uint8_t* x, const uint8_t* rk, uint8_t* d) {
    Block t;
    xor16(t, x, rk);
    sl1(t);
    diffuse(t, d);
}

inline void round_even(const uint8_t* x, const uint8_t* rk, uint8_t* d) {
    Block t;
    xor16(t, x, rk);
    sl2(t);
    diffuse(t, d);
}

// 128-bit rotation to the right by n bits, byte 0 most significant.
inline void rotr128(const uint8_t* x, unsigned n, uint8_t* out) {
    const unsigned q = (n / 8) % 16, r = n % 8;
    for (unsigned i = 0; i < 16; ++i) {
        uint8_t hi = x[(i + 16 - q) % 16];
        uint8_t lo = x[(i + 15 - q) % 16];
        out[i] = r == 0 ? hi : uint8_t((hi >> r) | (lo << (8 - r)));
    }
}

}  // namespace

bool aria_key_schedule(const uint8_t* key, std::size_t key_length, uint32_t direction,
                       AriaKeys* keys) {
    if (key == nullptr || key_length < 16 || direction > 1) return false;
    const std::size_t used = key_length >= 32 ? 32 : key_length >= 24 ? 24 : 16;
    const int rounds = used == 16 ? 12 : used == 24 ? 14 : 16;
    // CK1..CK3: the constants in an order that the key size selects.
    const int first = used == 16 ? 0 : used == 24 ? 1 : 2;
    const uint8_t* ck1 = kC[first];
    const uint8_t* ck2 = kC[(first + 1) % 3];
    const uint8_t* ck3 = kC[(first + 2) % 3];

    Block kr{};
    std::memcpy(kr, key + 16, used - 16);
    Block w[4];
    std::memcpy(w[0], key, 16);
    round_odd(w[0], ck1, w[1]);
    xor16(w[1], w[1], kr);
    round_even(w[1], ck2, w[2]);
    xor16(w[2], w[2], w[0]);
    round_odd(w[2], ck3, w[3]);
    xor16(w[3], w[3], w[1]);

    // ek(4g + j + 1) = W[j] ^ (W[j+1 mod 4] rotated); right by 19, 31, then
    // left by 61 and 31 (right by 67 and 97), and the 17th right by 109.
    static constexpr unsigned kRight[5] = {19, 31, 67, 97, 109};
    for (int i = 0; i <= rounds; ++i) {
        const int g = i / 4, j = i % 4;
        Block t;
        rotr128(w[(j + 1) % 4], kRight[g], t);
        xor16(keys->rk[i], w[j], t);
    }
    if (direction == 1) {
        // Reverse order; A on every key but the outer two.
        for (int i = 0, j = rounds; i < j; ++i, --j) {
            Block t;
            std::memcpy(t, keys->rk[i], 16);
            std::memcpy(keys->rk[i], keys->rk[j], 16);
            std::memcpy(keys->rk[j], t, 16);
        }
        for (int i = 1; i < rounds; ++i) {
            Block t;
            diffuse(keys->rk[i], t);
            std::memcpy(keys->rk[i], t, 16);
            secure_wipe(t, sizeof t);
        }
    }
    keys->rounds = uint32_t(rounds);
    keys->direction = direction;
    keys->key_length = uint32_t(used);
    secure_wipe(w, sizeof w);
    secure_wipe(kr, sizeof kr);
    return true;
}

void aria_transform(const AriaKeys* keys, const uint8_t in[16], uint8_t out[16]) {
    const int n = int(keys->rounds);
    Block x;
    std::memcpy(x, in, 16);
    for (int i = 0; i < n - 1; i += 2) {
        round_odd(x, keys->rk[i], x);
        if (i + 1 < n - 1) round_even(x, keys->rk[i + 1], x);
    }
    xor16(x, x, keys->rk[n - 1]);
    sl2(x);
    xor16(out, x, keys->rk[n]);
}

void aria_transform_blocks(const AriaKeys* keys, const uint8_t* in, uint8_t* out,
                           std::size_t blocks) {
    for (; blocks > 0; --blocks, in += 16, out += 16) aria_transform(keys, in, out);
}

}  // namespace cyr
