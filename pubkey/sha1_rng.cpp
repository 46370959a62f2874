// The SHA-1 random generator: see sha1_rng.h.
#include "pubkey/sha1_rng.h"

#include <cstring>
#include <mutex>

#include "platform/entropy.h"
#include "toolkit/internal.h"
#include "toolkit/sha1.h"

namespace cyr {

namespace {

constexpr uint32_t kSha1Iv[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};

struct GeneratorState {
    std::mutex lock;
    BigNum a, b, q;
    // A and B hold operating-system entropy (not a caller's seed).
    bool fresh = false;
    GeneratorState() {
        bn_zero(&a);
        bn_zero(&b);
        const uint32_t q_words[5] = {0x5F51A6F9u, 0xC642E516u, 0xFFF96962u, 0xB6795C7Fu,
                                     0xC468245Bu};
        bn_from_words(&q, q_words, 5);
    }
};

GeneratorState& state() {
    static GeneratorState s;
    return s;
}

void truncate_160(BigNum* r) {
    if (r->length > 5) r->length = 5;
    while (r->length > 0 && r->words[r->length - 1] == 0) --r->length;
}

// A 20-byte block as a little-endian number.
void from_block(BigNum* r, const uint8_t block[20]) {
    uint32_t w[5];
    for (int i = 0; i < 5; ++i)
        w[i] = uint32_t{block[4 * i]} | uint32_t{block[4 * i + 1]} << 8 |
               uint32_t{block[4 * i + 2]} << 16 | uint32_t{block[4 * i + 3]} << 24;
    bn_from_words(r, w, 5);
    secure_wipe(w, sizeof w);
}

// The first 20 bytes of the input, zero-filled; entropy when there is none
// and `entropy_when_empty`.
bool fill_block(uint8_t block[20], const uint8_t* input, std::size_t length,
                bool entropy_when_empty) {
    std::memset(block, 0, 20);
    if (input != nullptr && length > 0) {
        std::memcpy(block, input, length < 20 ? length : 20);
        return true;
    }
    return !entropy_when_empty || platform::os_entropy(block, 20);
}

bool seed_from_entropy(GeneratorState& s) {
    uint8_t block[20];
    bool ok = platform::os_entropy(block, 20);
    if (ok) from_block(&s.a, block);
    ok = ok && platform::os_entropy(block, 20);
    if (ok) from_block(&s.b, block);
    secure_wipe(block, sizeof block);
    s.fresh = ok;
    return ok;
}

// w = G(XVAL) with the chaining value `h` carried from block to block.
void block_function(uint32_t h[5], const BigNum& xval, BigNum* w) {
    uint8_t block[64] = {};
    std::size_t n = bn_byte_length(&xval);
    bn_to_bytes(&xval, block, n);
    sha1_compress(h, block);
    const uint32_t words[5] = {h[4], h[3], h[2], h[1], h[0]};
    bn_from_words(w, words, 5);
    secure_wipe(block, sizeof block);
}

// XVAL = (A + B) mod 2^160.
void next_xval(const BigNum& a, const BigNum& b, BigNum* xval) {
    bn_add(xval, &a, &b);
    truncate_160(xval);
}

void wipe(BigNum* n) {
    secure_wipe(n, sizeof *n);
}

// A = seed block, B = extra block; the caller holds the lock.
bool load_seed_blocks(GeneratorState& s, const uint8_t* seed, std::size_t seed_length,
                      const uint8_t* extra, std::size_t extra_length) {
    uint8_t block[20];
    if (!fill_block(block, seed, seed_length, true)) return false;
    from_block(&s.a, block);
    fill_block(block, extra, extra_length, false);
    from_block(&s.b, block);
    secure_wipe(block, sizeof block);
    s.fresh = seed == nullptr || seed_length == 0;
    return true;
}

}  // namespace

bool rng_draw_below(const uint8_t* seed, std::size_t seed_length, const uint8_t* extra,
                    std::size_t extra_length, const BigNum& q, BigNum* r) {
    if (bn_bits(&q) < 2) return false;
    GeneratorState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!load_seed_blocks(s, seed, seed_length, extra, extra_length)) return false;
    bn_copy(&s.q, &q);

    rng_draw_step(s.a, &s.b, q, r);
    return true;
}

void rng_draw_step(const BigNum& a, BigNum* b, const BigNum& q, BigNum* r) {
    int blocks = (bn_bits(&q) + 159) / 160;
    uint32_t h[5];
    std::memcpy(h, kSha1Iv, sizeof h);
    BigNum W, xval, w, t;
    bn_zero(&W);
    for (int j = 0; j < blocks; ++j) {
        next_xval(a, *b, &xval);
        block_function(h, xval, &w);
        bn_shl(&t, &w, 160 * j);
        bn_add(&W, &W, &t);
        // B = (B + 1 + W) mod 2^160: only W's lowest block counts.
        bn_add(b, b, &W);
        bn_add_word(b, b, 1);
        truncate_160(b);
    }
    BigNum q1;
    bn_sub_word(&q1, &q, 1);
    bn_mod(r, &W, &q1);
    bn_add_word(r, r, 1);
    wipe(&W);
    wipe(&xval);
    wipe(&w);
    wipe(&t);
    secure_wipe(h, sizeof h);
}

bool rng_random_bytes(uint8_t* out, std::size_t length) {
    GeneratorState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.fresh && !seed_from_entropy(s)) return false;
    rng_output_step(s.a, &s.b, s.q, out, length);
    return true;
}

bool rng_seed(const uint8_t* seed, std::size_t seed_length, const uint8_t* extra,
              std::size_t extra_length) {
    GeneratorState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return load_seed_blocks(s, seed, seed_length, extra, extra_length);
}

void rng_seeded_bytes(uint8_t* out, std::size_t length) {
    GeneratorState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    rng_output_step(s.a, &s.b, s.q, out, length);
}

void rng_output_step(const BigNum& a, BigNum* b, const BigNum& q, uint8_t* out,
                     std::size_t length) {
    uint32_t h[5];
    std::memcpy(h, kSha1Iv, sizeof h);
    BigNum xval, w;
    uint8_t bytes[20];
    for (std::size_t done = 0; done < length;) {
        next_xval(a, *b, &xval);
        block_function(h, xval, &w);
        bn_mod(&w, &w, &q);
        bn_add(b, b, &w);
        bn_add_word(b, b, 1);
        truncate_160(b);
        bn_to_bytes(b, bytes, 20);
        std::size_t take = length - done < 20 ? length - done : 20;
        std::memcpy(out + done, bytes, take);
        done += take;
    }
    secure_wipe(bytes, sizeof bytes);
    wipe(&xval);
    wipe(&w);
    secure_wipe(h, sizeof h);
}

}  // namespace cyr
