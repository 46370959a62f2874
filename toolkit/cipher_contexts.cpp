// Cipher views for the mode layer; see cipher_contexts.h.
#include "toolkit/cipher_contexts.h"

#include <cstring>

namespace cyr {

namespace {

void seed_forward(const void* k, const uint8_t* in, uint8_t* out, std::size_t n) {
    seed_encrypt_blocks(static_cast<const SeedRoundKeys*>(k), in, out, n);
}
void seed_inverse(const void* k, const uint8_t* in, uint8_t* out, std::size_t n) {
    seed_decrypt_blocks(static_cast<const SeedRoundKeys*>(k), in, out, n);
}
void seed_cfb(const void* k, uint8_t reg[16], const uint8_t* in, uint8_t* out, std::size_t n) {
    seed_cfb_encrypt_blocks(static_cast<const SeedRoundKeys*>(k), reg, in, out, n);
}
void aes_forward(const void* k, const uint8_t* in, uint8_t* out, std::size_t n) {
    aes_encrypt_blocks(static_cast<const AesKeys*>(k), in, out, n);
}
void aes_inverse(const void* k, const uint8_t* in, uint8_t* out, std::size_t n) {
    aes_decrypt_blocks(static_cast<const AesKeys*>(k), in, out, n);
}
// ARIA has one transform; the direction lies in the keys.
void aria_both(const void* k, const uint8_t* in, uint8_t* out, std::size_t n) {
    aria_transform_blocks(static_cast<const AriaKeys*>(k), in, out, n);
}

}  // namespace

BlockCipher seed_cipher(const SeedRoundKeys* rk) {
    return {rk, seed_forward, seed_inverse, seed_cfb};
}
BlockCipher aes_cipher(const AesKeys* keys) {
    return {keys, aes_forward, aes_inverse, nullptr};
}
BlockCipher aria_cipher(const AriaKeys* keys) {
    return {keys, aria_both, aria_both, nullptr};
}

uint32_t seed_context_init(SeedContext* ctx, uint32_t mode, uint32_t padding, const uint8_t* iv,
                           const uint8_t* key, std::size_t key_length) {
    std::memset(ctx, 0, sizeof *ctx);
    ctx->modes.mode = mode;
    ctx->modes.padding = padding;
    if (iv != nullptr) std::memcpy(ctx->modes.iv, iv, 16);
    if (!seed_key_schedule(key, key_length, &ctx->rk)) return kSeedCodeBase + kKeyScheduleFailed;
    mode_reset(&ctx->modes);
    return 0;
}

CipherCall seed_call(SeedContext* ctx) {
    return {&ctx->modes, seed_cipher(&ctx->rk), kSeedCodeBase};
}

}  // namespace cyr
