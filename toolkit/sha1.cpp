// SHA-1 (FIPS 180-1); see sha1.h.
#include "toolkit/sha1.h"

#include <cstring>

#include "toolkit/internal.h"

namespace cyr {

namespace {

inline uint32_t rol(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
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

}  // namespace

void sha1_init(Sha1Context* ctx) {
    ctx->state[0] = 0x67452301u;
    ctx->state[1] = 0xEFCDAB89u;
    ctx->state[2] = 0x98BADCFEu;
    ctx->state[3] = 0x10325476u;
    ctx->state[4] = 0xC3D2E1F0u;
    ctx->bit_count_low = 0;
    ctx->bit_count_high = 0;
    std::memset(ctx->block, 0, sizeof ctx->block);
}

// The message schedule lives in a 16-word ring; W(t) computes word t >= 16 in place.
#define SHA1_W(t) \
    (w[(t)&15] = rol(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define SHA1_F1(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_F2(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_F3(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
// One step; the caller rotates the roles of a..e instead of moving values.
#define SHA1_STEP(a, b, c, d, e, f, k, wt)                  \
    do {                                                    \
        (e) += rol((a), 5) + f((b), (c), (d)) + (k) + (wt); \
        (b) = rol((b), 30);                                 \
    } while (0)
#define SHA1_FIVE(t, f, k, wexpr)                   \
    SHA1_STEP(a, b, c, d, e, f, k, wexpr((t) + 0)); \
    SHA1_STEP(e, a, b, c, d, f, k, wexpr((t) + 1)); \
    SHA1_STEP(d, e, a, b, c, f, k, wexpr((t) + 2)); \
    SHA1_STEP(c, d, e, a, b, f, k, wexpr((t) + 3)); \
    SHA1_STEP(b, c, d, e, a, f, k, wexpr((t) + 4))
#define SHA1_W0(t) (w[(t)])

void sha1_compress(uint32_t state[5], const uint8_t block[64]) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = load_be32(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];

    SHA1_FIVE(0, SHA1_F1, 0x5A827999u, SHA1_W0);
    SHA1_FIVE(5, SHA1_F1, 0x5A827999u, SHA1_W0);
    SHA1_FIVE(10, SHA1_F1, 0x5A827999u, SHA1_W0);
    SHA1_STEP(a, b, c, d, e, SHA1_F1, 0x5A827999u, w[15]);
    SHA1_STEP(e, a, b, c, d, SHA1_F1, 0x5A827999u, SHA1_W(16));
    SHA1_STEP(d, e, a, b, c, SHA1_F1, 0x5A827999u, SHA1_W(17));
    SHA1_STEP(c, d, e, a, b, SHA1_F1, 0x5A827999u, SHA1_W(18));
    SHA1_STEP(b, c, d, e, a, SHA1_F1, 0x5A827999u, SHA1_W(19));

    SHA1_FIVE(20, SHA1_F2, 0x6ED9EBA1u, SHA1_W);
    SHA1_FIVE(25, SHA1_F2, 0x6ED9EBA1u, SHA1_W);
    SHA1_FIVE(30, SHA1_F2, 0x6ED9EBA1u, SHA1_W);
    SHA1_FIVE(35, SHA1_F2, 0x6ED9EBA1u, SHA1_W);

    SHA1_FIVE(40, SHA1_F3, 0x8F1BBCDCu, SHA1_W);
    SHA1_FIVE(45, SHA1_F3, 0x8F1BBCDCu, SHA1_W);
    SHA1_FIVE(50, SHA1_F3, 0x8F1BBCDCu, SHA1_W);
    SHA1_FIVE(55, SHA1_F3, 0x8F1BBCDCu, SHA1_W);

    SHA1_FIVE(60, SHA1_F2, 0xCA62C1D6u, SHA1_W);
    SHA1_FIVE(65, SHA1_F2, 0xCA62C1D6u, SHA1_W);
    SHA1_FIVE(70, SHA1_F2, 0xCA62C1D6u, SHA1_W);
    SHA1_FIVE(75, SHA1_F2, 0xCA62C1D6u, SHA1_W);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    secure_wipe(w, sizeof w);
}

#undef SHA1_W
#undef SHA1_W0
#undef SHA1_F1
#undef SHA1_F2
#undef SHA1_F3
#undef SHA1_STEP
#undef SHA1_FIVE

void sha1_update(Sha1Context* ctx, const uint8_t* data, std::size_t length) {
    if (length == 0) return;
    std::size_t buffered = (ctx->bit_count_low >> 3) & 63;
    uint32_t low = ctx->bit_count_low + (uint32_t(length) << 3);
    if (low < ctx->bit_count_low) ++ctx->bit_count_high;
    ctx->bit_count_low = low;
    ctx->bit_count_high += uint32_t(uint64_t(length) >> 29);

    if (buffered + length < 64) {
        std::memcpy(ctx->block + buffered, data, length);
        return;
    }
    if (buffered != 0) {
        std::size_t take = 64 - buffered;
        std::memcpy(ctx->block + buffered, data, take);
        sha1_compress(ctx->state, ctx->block);
        data += take;
        length -= take;
    }
    // Whole blocks straight from the caller's buffer.
    while (length >= 64) {
        sha1_compress(ctx->state, data);
        data += 64;
        length -= 64;
    }
    std::memcpy(ctx->block, data, length);
}

void sha1_final(Sha1Context* ctx, uint8_t out[20]) {
    std::size_t buffered = (ctx->bit_count_low >> 3) & 63;
    ctx->block[buffered++] = 0x80;
    std::memset(ctx->block + buffered, 0, 64 - buffered);
    if (buffered > 56) {
        sha1_compress(ctx->state, ctx->block);
        std::memset(ctx->block, 0, 64);
    }
    store_be32(ctx->block + 56, ctx->bit_count_high);
    store_be32(ctx->block + 60, ctx->bit_count_low);
    sha1_compress(ctx->state, ctx->block);
    secure_wipe(ctx->block, sizeof ctx->block);
    for (int i = 0; i < 5; ++i) store_be32(out + 4 * i, ctx->state[i]);
}

void sha1_digest(const uint8_t* data, std::size_t length, uint8_t out[20]) {
    Sha1Context ctx;
    sha1_init(&ctx);
    sha1_update(&ctx, data, length);
    sha1_final(&ctx, out);
    secure_wipe(&ctx, sizeof ctx);
}

}  // namespace cyr
