// The cipher contexts that the toolkit hangs into a mechanism record: the
// mode state first (the same header for all three), then the key schedule.
// Plain data without interior pointers, so wiping the slot wipes everything.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/aes.h"
#include "toolkit/aria.h"
#include "toolkit/block_modes.h"
#include "toolkit/cipher_ops.h"
#include "toolkit/seed.h"

namespace cyr {

// Context kind 57; kind 59 (the SEED generator) uses the same layout.
struct SeedContext {
    ModeState modes;
    SeedRoundKeys rk;
};

// Context kind 62.
struct AesContext {
    ModeState modes;
    AesKeys keys;
};

// Context kind 63.
struct AriaContext {
    ModeState modes;
    AriaKeys keys;
};

constexpr uint32_t kSeedCodeBase = 256;

BlockCipher seed_cipher(const SeedRoundKeys* rk);
BlockCipher aes_cipher(const AesKeys* keys);
BlockCipher aria_cipher(const AriaKeys* keys);

// A SEED context ready for the operations of cipher_ops.h (call with
// seed_call): mode and padding codes, a 16-byte vector or null for zero, a
// 16-byte key. 0, or 267 for a key of another length.
uint32_t seed_context_init(SeedContext* ctx, uint32_t mode, uint32_t padding, const uint8_t* iv,
                           const uint8_t* key, std::size_t key_length);
CipherCall seed_call(SeedContext* ctx);

}  // namespace cyr
