// AES (FIPS-197); see aes.h. Table-driven: four 256-word tables per direction
// and the S-boxes for the last round, all built at compile time.
#include "toolkit/aes.h"

#include <array>

#include "toolkit/gf256.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

using Table = std::array<uint32_t, 256>;

constexpr std::array<uint8_t, 256> kS = gf256::aes_sbox();
constexpr std::array<uint8_t, 256> kSi = gf256::invert(kS);
static_assert(kS[0] == 0x63 && kS[0x53] == 0xed && kSi[0] == 0x52, "AES S-box");

constexpr uint32_t ror(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

// Te0 is one column of MixColumns applied to S(x): (2s, s, s, 3s).
constexpr Table make_te(int rotation) {
    Table t{};
    for (int x = 0; x < 256; ++x) {
        uint8_t s = kS[x];
        uint32_t w = (uint32_t(gf256::mul(s, 2)) << 24) | (uint32_t(s) << 16) | (uint32_t(s) << 8) |
                     gf256::mul(s, 3);
        t[x] = rotation ? ror(w, 8 * rotation) : w;
    }
    return t;
}

// Td0 is one column of InvMixColumns applied to InvS(x): (14s, 9s, 13s, 11s).
constexpr Table make_td(int rotation) {
    Table t{};
    for (int x = 0; x < 256; ++x) {
        uint8_t s = kSi[x];
        uint32_t w = (uint32_t(gf256::mul(s, 14)) << 24) | (uint32_t(gf256::mul(s, 9)) << 16) |
                     (uint32_t(gf256::mul(s, 13)) << 8) | gf256::mul(s, 11);
        t[x] = rotation ? ror(w, 8 * rotation) : w;
    }
    return t;
}

constexpr Table kTe0 = make_te(0), kTe1 = make_te(1), kTe2 = make_te(2), kTe3 = make_te(3);
constexpr Table kTd0 = make_td(0), kTd1 = make_td(1), kTd2 = make_td(2), kTd3 = make_td(3);

inline uint32_t load_be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline void store_be32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

inline uint32_t sub_word(uint32_t w) {
    return (uint32_t(kS[w >> 24]) << 24) | (uint32_t(kS[(w >> 16) & 0xff]) << 16) |
           (uint32_t(kS[(w >> 8) & 0xff]) << 8) | kS[w & 0xff];
}

inline uint32_t inv_mix_column(uint32_t w) {
    // Td tables include InvS, so feed them S(x) to get InvMixColumns alone.
    return kTd0[kS[w >> 24]] ^ kTd1[kS[(w >> 16) & 0xff]] ^ kTd2[kS[(w >> 8) & 0xff]] ^
           kTd3[kS[w & 0xff]];
}

#define AES_EROUND(d0, d1, d2, d3, s0, s1, s2, s3, k)                                              \
    do {                                                                                           \
        d0 = kTe0[s0 >> 24] ^ kTe1[(s1 >> 16) & 0xff] ^ kTe2[(s2 >> 8) & 0xff] ^ kTe3[s3 & 0xff] ^ \
             (k)[0];                                                                               \
        d1 = kTe0[s1 >> 24] ^ kTe1[(s2 >> 16) & 0xff] ^ kTe2[(s3 >> 8) & 0xff] ^ kTe3[s0 & 0xff] ^ \
             (k)[1];                                                                               \
        d2 = kTe0[s2 >> 24] ^ kTe1[(s3 >> 16) & 0xff] ^ kTe2[(s0 >> 8) & 0xff] ^ kTe3[s1 & 0xff] ^ \
             (k)[2];                                                                               \
        d3 = kTe0[s3 >> 24] ^ kTe1[(s0 >> 16) & 0xff] ^ kTe2[(s1 >> 8) & 0xff] ^ kTe3[s2 & 0xff] ^ \
             (k)[3];                                                                               \
    } while (0)

#define AES_DROUND(d0, d1, d2, d3, s0, s1, s2, s3, k)                                              \
    do {                                                                                           \
        d0 = kTd0[s0 >> 24] ^ kTd1[(s3 >> 16) & 0xff] ^ kTd2[(s2 >> 8) & 0xff] ^ kTd3[s1 & 0xff] ^ \
             (k)[0];                                                                               \
        d1 = kTd0[s1 >> 24] ^ kTd1[(s0 >> 16) & 0xff] ^ kTd2[(s3 >> 8) & 0xff] ^ kTd3[s2 & 0xff] ^ \
             (k)[1];                                                                               \
        d2 = kTd0[s2 >> 24] ^ kTd1[(s1 >> 16) & 0xff] ^ kTd2[(s0 >> 8) & 0xff] ^ kTd3[s3 & 0xff] ^ \
             (k)[2];                                                                               \
        d3 = kTd0[s3 >> 24] ^ kTd1[(s2 >> 16) & 0xff] ^ kTd2[(s1 >> 8) & 0xff] ^ kTd3[s0 & 0xff] ^ \
             (k)[3];                                                                               \
    } while (0)

// The last round has no MixColumns: plain S-box bytes.
inline uint32_t final_e(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return ((uint32_t(kS[a >> 24]) << 24) | (uint32_t(kS[(b >> 16) & 0xff]) << 16) |
            (uint32_t(kS[(c >> 8) & 0xff]) << 8) | kS[d & 0xff]) ^
           k;
}

inline uint32_t final_d(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return ((uint32_t(kSi[a >> 24]) << 24) | (uint32_t(kSi[(b >> 16) & 0xff]) << 16) |
            (uint32_t(kSi[(c >> 8) & 0xff]) << 8) | kSi[d & 0xff]) ^
           k;
}

void encrypt_one(const AesKeys* keys, const uint8_t* in, uint8_t* out) {
    const uint32_t* k = keys->rk;
    uint32_t s0 = load_be32(in) ^ k[0], s1 = load_be32(in + 4) ^ k[1];
    uint32_t s2 = load_be32(in + 8) ^ k[2], s3 = load_be32(in + 12) ^ k[3];
    uint32_t t0, t1, t2, t3;
    // Rounds 1..9 are common to all key sizes; 192- and 256-bit keys add pairs.
    AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 4);
    AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 8);
    AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 12);
    AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 16);
    AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 20);
    AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 24);
    AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 28);
    AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 32);
    if (keys->rounds > 10) {
        AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 36);
        AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 40);
        if (keys->rounds > 12) {
            AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 44);
            AES_EROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 48);
        }
    }
    k += 4 * (keys->rounds - 1);
    AES_EROUND(t0, t1, t2, t3, s0, s1, s2, s3, k);
    k += 4;
    store_be32(out, final_e(t0, t1, t2, t3, k[0]));
    store_be32(out + 4, final_e(t1, t2, t3, t0, k[1]));
    store_be32(out + 8, final_e(t2, t3, t0, t1, k[2]));
    store_be32(out + 12, final_e(t3, t0, t1, t2, k[3]));
}

void decrypt_one(const AesKeys* keys, const uint8_t* in, uint8_t* out) {
    const uint32_t* k = keys->rk;
    uint32_t s0 = load_be32(in) ^ k[0], s1 = load_be32(in + 4) ^ k[1];
    uint32_t s2 = load_be32(in + 8) ^ k[2], s3 = load_be32(in + 12) ^ k[3];
    uint32_t t0, t1, t2, t3;
    AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 4);
    AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 8);
    AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 12);
    AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 16);
    AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 20);
    AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 24);
    AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 28);
    AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 32);
    if (keys->rounds > 10) {
        AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 36);
        AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 40);
        if (keys->rounds > 12) {
            AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k + 44);
            AES_DROUND(s0, s1, s2, s3, t0, t1, t2, t3, k + 48);
        }
    }
    k += 4 * (keys->rounds - 1);
    AES_DROUND(t0, t1, t2, t3, s0, s1, s2, s3, k);
    k += 4;
    store_be32(out, final_d(t0, t3, t2, t1, k[0]));
    store_be32(out + 4, final_d(t1, t0, t3, t2, k[1]));
    store_be32(out + 8, final_d(t2, t1, t0, t3, k[2]));
    store_be32(out + 12, final_d(t3, t2, t1, t0, k[3]));
}

}  // namespace

bool aes_key_schedule(const uint8_t* key, std::size_t key_length, uint32_t direction,
                      AesKeys* keys) {
    keys->rounds = 0;
    keys->direction = direction;
    if (key == nullptr || key_length < 16 || direction > 1) return false;
    const std::size_t nk = key_length >= 32 ? 8 : key_length >= 24 ? 6 : 4;
    const uint32_t rounds = uint32_t(nk + 6);
    const std::size_t words = 4 * (rounds + 1);
    uint32_t* w = keys->rk;
    for (std::size_t i = 0; i < nk; ++i) w[i] = load_be32(key + 4 * i);
    uint32_t rcon = 0x01;
    for (std::size_t i = nk; i < words; ++i) {
        uint32_t t = w[i - 1];
        if (i % nk == 0) {
            t = sub_word((t << 8) | (t >> 24)) ^ (rcon << 24);
            rcon = gf256::mul(uint8_t(rcon), 2);
        } else if (nk == 8 && i % nk == 4) {
            t = sub_word(t);
        }
        w[i] = w[i - nk] ^ t;
    }
    if (direction == 1) {
        // Round keys in reverse round order, InvMixColumns on the inner ones.
        for (std::size_t i = 0, j = words - 4; i < j; i += 4, j -= 4)
            for (int c = 0; c < 4; ++c) {
                uint32_t t = w[i + c];
                w[i + c] = w[j + c];
                w[j + c] = t;
            }
        for (std::size_t i = 4; i < words - 4; ++i) w[i] = inv_mix_column(w[i]);
    }
    keys->rounds = rounds;
    return true;
}

void aes_encrypt_blocks(const AesKeys* keys, const uint8_t* in, uint8_t* out, std::size_t blocks) {
    for (; blocks > 0; --blocks, in += 16, out += 16) encrypt_one(keys, in, out);
}

void aes_decrypt_blocks(const AesKeys* keys, const uint8_t* in, uint8_t* out, std::size_t blocks) {
    for (; blocks > 0; --blocks, in += 16, out += 16) decrypt_one(keys, in, out);
}

}  // namespace cyr
