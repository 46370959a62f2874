// The SEED-based seeded generator of mechanism 22; see seed.h.
#include <cstring>

#include "toolkit/cipher_contexts.h"
#include "toolkit/internal.h"
#include "toolkit/seed.h"

namespace cyr {

namespace {

constexpr std::size_t kMaxSeed = 2048;

// The running value V lives in the vector field of the generator's context.
SeedContext* state_of(CYR_SLOT* mechanism) {
    CYR_SLOT* slot = find_context(mechanism, CYR_CTX_SEED_RNG);
    return slot != nullptr ? static_cast<SeedContext*>(slot->data) : nullptr;
}

bool all_zero(const uint8_t* p, std::size_t n) {
    uint8_t acc = 0;
    for (std::size_t i = 0; i < n; ++i) acc |= p[i];
    return acc == 0;
}

// CBC-MAC over (V if non-zero) || seed with block padding, under the zero key.
void absorb(SeedContext* state, const uint8_t* seed, std::size_t length) {
    const uint8_t zero_key[16] = {};
    SeedRoundKeys rk;
    seed_key_schedule(zero_key, 16, &rk);
    uint8_t mac[16] = {};
    uint8_t block[16];
    std::size_t filled = 0;
    auto feed = [&](const uint8_t* p, std::size_t n) {
        while (n > 0) {
            std::size_t take = n < 16 - filled ? n : 16 - filled;
            std::memcpy(block + filled, p, take);
            filled += take;
            p += take;
            n -= take;
            if (filled == 16) {
                for (int i = 0; i < 16; ++i) mac[i] ^= block[i];
                seed_encrypt_block(&rk, mac);
                filled = 0;
            }
        }
    };
    if (!all_zero(state->modes.iv, 16)) feed(state->modes.iv, 16);
    feed(seed, length);
    std::memset(block + filled, int(16 - filled), 16 - filled);
    for (int i = 0; i < 16; ++i) mac[i] ^= block[i];
    seed_encrypt_block(&rk, mac);
    std::memcpy(state->modes.iv, mac, 16);
    secure_wipe(mac, sizeof mac);
    secure_wipe(block, sizeof block);
}

}  // namespace

uint32_t seed_rng_seed(CYR_SLOT* mechanism, CYR_SLOT* seed) {
    if (mechanism == nullptr) return CYR_OK;
    SeedContext* state = state_of(mechanism);
    if (state == nullptr) {
        state = static_cast<SeedContext*>(
            install_context(mechanism, CYR_CTX_SEED_RNG, sizeof(SeedContext)));
        if (state == nullptr) return CYR_OK;
    }
    state->modes.mode = kModeCbc;
    state->modes.padding = kPadBlock;
    if (seed != nullptr && seed[1].kind == CYR_VALUE && seed[1].data != nullptr &&
        seed[1].length <= kMaxSeed)
        absorb(state, static_cast<const uint8_t*>(seed[1].data), seed[1].length);
    return CYR_OK;
}

uint32_t seed_rng_output(CYR_SLOT* mechanism, CYR_SLOT* output) {
    if (mechanism == nullptr || output == nullptr) {
        if (mechanism != nullptr) release_contexts(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    if (output[1].length == 0) {
        release_contexts(mechanism);
        return CYR_RADNOM_LENGTH_INVAILD;
    }
    if (output[1].data == nullptr) {
        release_contexts(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    SeedContext* state = state_of(mechanism);
    if (state == nullptr) {
        seed_rng_seed(mechanism, nullptr);
        state = state_of(mechanism);
    }
    uint8_t v[16] = {};
    if (state != nullptr) std::memcpy(v, state->modes.iv, 16);

    // K = V, I = E_K(V), B = V; per block R = E_K(B ^ I), B = E_K(R ^ I).
    SeedRoundKeys rk;
    seed_key_schedule(v, 16, &rk);
    uint8_t i_block[16], b[16], r[16];
    std::memcpy(i_block, v, 16);
    seed_encrypt_block(&rk, i_block);
    std::memcpy(b, v, 16);
    auto* out = static_cast<uint8_t*>(output[1].data);
    for (uint32_t done = 0; done < output[1].length;) {
        for (int i = 0; i < 16; ++i) r[i] = b[i] ^ i_block[i];
        seed_encrypt_block(&rk, r);
        for (int i = 0; i < 16; ++i) b[i] = r[i] ^ i_block[i];
        seed_encrypt_block(&rk, b);
        uint32_t take = output[1].length - done < 16 ? output[1].length - done : 16;
        std::memcpy(out + done, r, take);
        done += take;
    }
    secure_wipe(&rk, sizeof rk);
    secure_wipe(v, sizeof v);
    secure_wipe(i_block, sizeof i_block);
    secure_wipe(b, sizeof b);
    secure_wipe(r, sizeof r);
    release_contexts(mechanism);
    return CYR_OK;
}

}  // namespace cyr
