// SHA-512 (FIPS 180-4); see sha512.h.
#include "toolkit/sha512.h"

#include <cstring>

#include "toolkit/internal.h"

namespace cyr {

namespace {

// First 64 bits of the fractional parts of the cube roots of the first 80
// primes (FIPS 180-4, 4.2.3).
constexpr uint64_t kRound[80] = {
    0x428a2f98d728ae22ull, 0x7137449123ef65cdull, 0xb5c0fbcfec4d3b2full, 0xe9b5dba58189dbbcull,
    0x3956c25bf348b538ull, 0x59f111f1b605d019ull, 0x923f82a4af194f9bull, 0xab1c5ed5da6d8118ull,
    0xd807aa98a3030242ull, 0x12835b0145706fbeull, 0x243185be4ee4b28cull, 0x550c7dc3d5ffb4e2ull,
    0x72be5d74f27b896full, 0x80deb1fe3b1696b1ull, 0x9bdc06a725c71235ull, 0xc19bf174cf692694ull,
    0xe49b69c19ef14ad2ull, 0xefbe4786384f25e3ull, 0x0fc19dc68b8cd5b5ull, 0x240ca1cc77ac9c65ull,
    0x2de92c6f592b0275ull, 0x4a7484aa6ea6e483ull, 0x5cb0a9dcbd41fbd4ull, 0x76f988da831153b5ull,
    0x983e5152ee66dfabull, 0xa831c66d2db43210ull, 0xb00327c898fb213full, 0xbf597fc7beef0ee4ull,
    0xc6e00bf33da88fc2ull, 0xd5a79147930aa725ull, 0x06ca6351e003826full, 0x142929670a0e6e70ull,
    0x27b70a8546d22ffcull, 0x2e1b21385c26c926ull, 0x4d2c6dfc5ac42aedull, 0x53380d139d95b3dfull,
    0x650a73548baf63deull, 0x766a0abb3c77b2a8ull, 0x81c2c92e47edaee6ull, 0x92722c851482353bull,
    0xa2bfe8a14cf10364ull, 0xa81a664bbc423001ull, 0xc24b8b70d0f89791ull, 0xc76c51a30654be30ull,
    0xd192e819d6ef5218ull, 0xd69906245565a910ull, 0xf40e35855771202aull, 0x106aa07032bbd1b8ull,
    0x19a4c116b8d2d0c8ull, 0x1e376c085141ab53ull, 0x2748774cdf8eeb99ull, 0x34b0bcb5e19b48a8ull,
    0x391c0cb3c5c95a63ull, 0x4ed8aa4ae3418acbull, 0x5b9cca4f7763e373ull, 0x682e6ff3d6b2b8a3ull,
    0x748f82ee5defb2fcull, 0x78a5636f43172f60ull, 0x84c87814a1f0ab72ull, 0x8cc702081a6439ecull,
    0x90befffa23631e28ull, 0xa4506cebde82bde9ull, 0xbef9a3f7b2c67915ull, 0xc67178f2e372532bull,
    0xca273eceea26619cull, 0xd186b8c721c0c207ull, 0xeada7dd6cde0eb1eull, 0xf57d4f7fee6ed178ull,
    0x06f067aa72176fbaull, 0x0a637dc5a2c898a6ull, 0x113f9804bef90daeull, 0x1b710b35131c471bull,
    0x28db77f523047d84ull, 0x32caab7b40c72493ull, 0x3c9ebe0a15c9bebcull, 0x431d67c49c100d4cull,
    0x4cc5d4becb3e42b6ull, 0x597f299cfc657e2aull, 0x5fcb6fab3ad6faecull, 0x6c44198c4a475817ull,
};

inline uint64_t ror(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

inline uint64_t load_be64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
    return v;
}

inline void store_be64(uint8_t* p, uint64_t v) {
    for (int i = 7; i >= 0; --i, v >>= 8) p[i] = uint8_t(v);
}

// The schedule lives in a 16-word ring; W(t) computes word t >= 16 in place.
#define SHA512_S0(x) (ror((x), 1) ^ ror((x), 8) ^ ((x) >> 7))
#define SHA512_S1(x) (ror((x), 19) ^ ror((x), 61) ^ ((x) >> 6))
#define SHA512_W(t) \
    (w[(t)&15] += SHA512_S1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SHA512_S0(w[((t) + 1) & 15]))
// One round; the caller rotates the roles of a..h instead of moving values.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t, wt)                                             \
    do {                                                                                        \
        const uint64_t t1 = (h) + (ror((e), 14) ^ ror((e), 18) ^ ror((e), 41)) +                \
                            ((g) ^ ((e) & ((f) ^ (g)))) + kRound[(t)] + (wt);                   \
        const uint64_t t2 =                                                                     \
            (ror((a), 28) ^ ror((a), 34) ^ ror((a), 39)) + (((a) & (b)) | ((c) & ((a) | (b)))); \
        (d) += t1;                                                                              \
        (h) = t1 + t2;                                                                          \
    } while (0)
#define SHA512_EIGHT(t, wexpr)                                     \
    SHA512_ROUND(a, b, c, d, e, f, g, h, (t) + 0, wexpr((t) + 0)); \
    SHA512_ROUND(h, a, b, c, d, e, f, g, (t) + 1, wexpr((t) + 1)); \
    SHA512_ROUND(g, h, a, b, c, d, e, f, (t) + 2, wexpr((t) + 2)); \
    SHA512_ROUND(f, g, h, a, b, c, d, e, (t) + 3, wexpr((t) + 3)); \
    SHA512_ROUND(e, f, g, h, a, b, c, d, (t) + 4, wexpr((t) + 4)); \
    SHA512_ROUND(d, e, f, g, h, a, b, c, (t) + 5, wexpr((t) + 5)); \
    SHA512_ROUND(c, d, e, f, g, h, a, b, (t) + 6, wexpr((t) + 6)); \
    SHA512_ROUND(b, c, d, e, f, g, h, a, (t) + 7, wexpr((t) + 7))
#define SHA512_W0(t) (w[(t)])

// Compresses `count` consecutive blocks; the schedule (message-derived, so
// secret when a key is hashed) is wiped once at the end.
void compress(uint64_t state[8], const uint8_t* block, std::size_t count) {
    uint64_t w[16];
    for (; count > 0; --count, block += 128) {
        for (int i = 0; i < 16; ++i) w[i] = load_be64(block + 8 * i);
        uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        SHA512_EIGHT(0, SHA512_W0);
        SHA512_EIGHT(8, SHA512_W0);
        for (int t = 16; t < 80; t += 16) {
            SHA512_EIGHT(t, SHA512_W);
            SHA512_EIGHT(t + 8, SHA512_W);
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
    secure_wipe(w, sizeof w);
}

}  // namespace

void sha512_init(Sha512Context* ctx) {
    // First 64 bits of the fractional parts of the square roots of the
    // first eight primes (FIPS 180-4, 5.3.5).
    static constexpr uint64_t kInitial[8] = {
        0x6a09e667f3bcc908ull, 0xbb67ae8584caa73bull, 0x3c6ef372fe94f82bull, 0xa54ff53a5f1d36f1ull,
        0x510e527fade682d1ull, 0x9b05688c2b3e6c1full, 0x1f83d9abfb41bd6bull, 0x5be0cd19137e2179ull,
    };
    std::memcpy(ctx->state, kInitial, sizeof kInitial);
    ctx->byte_count = 0;
    std::memset(ctx->block, 0, sizeof ctx->block);
}

void sha512_update(Sha512Context* ctx, const uint8_t* data, std::size_t length) {
    if (length == 0) return;
    std::size_t used = std::size_t(ctx->byte_count % 128);
    ctx->byte_count += length;
    if (used != 0) {
        const std::size_t take = length < 128 - used ? length : 128 - used;
        std::memcpy(ctx->block + used, data, take);
        data += take;
        length -= take;
        used += take;
        if (used < 128) return;
        compress(ctx->state, ctx->block, 1);
    }
    const std::size_t whole = length / 128;
    if (whole != 0) compress(ctx->state, data, whole);
    data += whole * 128;
    length -= whole * 128;
    if (length != 0) std::memcpy(ctx->block, data, length);
}

void sha512_final(Sha512Context* ctx, uint8_t out[kSha512DigestBytes]) {
    const uint64_t bits = ctx->byte_count << 3;
    const uint64_t bits_high = ctx->byte_count >> 61;
    std::size_t used = std::size_t(ctx->byte_count % 128);
    ctx->block[used++] = 0x80;
    if (used > 112) {
        std::memset(ctx->block + used, 0, 128 - used);
        compress(ctx->state, ctx->block, 1);
        used = 0;
    }
    std::memset(ctx->block + used, 0, 112 - used);
    store_be64(ctx->block + 112, bits_high);
    store_be64(ctx->block + 120, bits);
    compress(ctx->state, ctx->block, 1);
    for (int i = 0; i < 8; ++i) store_be64(out + 8 * i, ctx->state[i]);
    secure_wipe(ctx, sizeof *ctx);
}

void sha512_digest(const uint8_t* data, std::size_t length, uint8_t out[kSha512DigestBytes]) {
    Sha512Context ctx;
    sha512_init(&ctx);
    sha512_update(&ctx, data, length);
    sha512_final(&ctx, out);
}

}  // namespace cyr
