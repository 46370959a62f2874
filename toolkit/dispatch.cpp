// The flat call interface: argument checks, the mechanism table and the
// routing to the engines; see cyr.h. Nothing here throws.
#include <cstdlib>
#include <cstring>

#include "toolkit/cipher_contexts.h"
#include "toolkit/cipher_ops.h"
#include "toolkit/cyr.h"
#include "toolkit/internal.h"
#include "toolkit/pubkey_engines.h"
#include "toolkit/sha1.h"

namespace cyr {

namespace {

enum class Family { KeyPair, PublicCipher, Seed, Aes, Aria, Digest, Random };

struct Mechanism {
    uint32_t number;
    Family family;
    uint32_t mode;     // block ciphers only
    uint32_t padding;  // block ciphers only
};

// Every mechanism the entry points know; 22 has none of its own.
constexpr Mechanism kMechanisms[] = {
    {CYR_MECH_EC_KEY_PAIR_GEN, Family::KeyPair, 0, 0},
    {CYR_MECH_ECC, Family::PublicCipher, 0, 0},
    {CYR_MECH_SEED_ECB, Family::Seed, kModeEcb, kPadNone},
    {CYR_MECH_SEED_CBC, Family::Seed, kModeCbc, kPadNone},
    {CYR_MECH_SEED_CBC_PAD, Family::Seed, kModeCbc, kPadBlock},
    {CYR_MECH_SEED_OFB, Family::Seed, kModeOfb, kPadNone},
    {CYR_MECH_SEED_CFB, Family::Seed, kModeCfb, kPadNone},
    {CYR_MECH_SHA1, Family::Digest, 0, 0},
    {CYR_MECH_ECC_SEED_CBC, Family::PublicCipher, 0, 0},
    {CYR_MECH_ECC_SEED_CBC_PAD, Family::PublicCipher, 0, 0},
    {27, Family::KeyPair, 0, 0},
    {28, Family::PublicCipher, 0, 0},
    {29, Family::PublicCipher, 0, 0},
    {30, Family::PublicCipher, 0, 0},
    {CYR_MECH_AES_CBC_PAD, Family::Aes, kModeCbc, kPadBlock},
    {CYR_MECH_AES_CBC, Family::Aes, kModeCbc, kPadNone},
    {CYR_MECH_AES_ECB, Family::Aes, kModeEcb, kPadNone},
    {CYR_MECH_AES_OFB, Family::Aes, kModeOfb, kPadNone},
    {CYR_MECH_AES_CFB, Family::Aes, kModeCfb, kPadNone},
    {CYR_MECH_ARIA_CBC_PAD, Family::Aria, kModeCbc, kPadBlock},
    {CYR_MECH_ARIA_CBC, Family::Aria, kModeCbc, kPadNone},
    {CYR_MECH_ARIA_ECB, Family::Aria, kModeEcb, kPadNone},
    {CYR_MECH_ARIA_OFB, Family::Aria, kModeOfb, kPadNone},
    {CYR_MECH_ARIA_CFB, Family::Aria, kModeCfb, kPadNone},
    {CYR_MECH_RANDOM, Family::Random, 0, 0},
};

const Mechanism* find_mechanism(const CYR_SLOT* mechanism) {
    for (const Mechanism& m : kMechanisms)
        if (m.number == mechanism[0].kind) return &m;
    return nullptr;
}

bool is_block_cipher(const Mechanism* m) {
    return m != nullptr &&
           (m->family == Family::Seed || m->family == Family::Aes || m->family == Family::Aria);
}

// What differs between the three block ciphers at initialisation and use.
struct CipherAlgorithm {
    uint32_t context_kind;
    uint32_t code_base;
    uint32_t iv_kind;
    std::size_t context_size;
    // Runs the key schedule into a zeroed context; `inverse` asks for the
    // decryption keys (AES/ARIA in ECB/CBC decryption).
    bool (*schedule)(void* ctx, const uint8_t* key, std::size_t length, bool inverse);
    BlockCipher (*view)(void* ctx);
};

const CipherAlgorithm kSeedAlgorithm = {
    CYR_CTX_SEED,
    kSeedCodeBase,
    CYR_PARAM_SEED_IV,
    sizeof(SeedContext),
    [](void* ctx, const uint8_t* key, std::size_t length, bool) {
        return seed_key_schedule(key, length, &static_cast<SeedContext*>(ctx)->rk);
    },
    [](void* ctx) { return seed_cipher(&static_cast<SeedContext*>(ctx)->rk); },
};

const CipherAlgorithm kAesAlgorithm = {
    CYR_CTX_AES,
    kAesBase,
    CYR_PARAM_AES_IV,
    sizeof(AesContext),
    [](void* ctx, const uint8_t* key, std::size_t length, bool inverse) {
        return aes_key_schedule(key, length, inverse ? 1 : 0, &static_cast<AesContext*>(ctx)->keys);
    },
    [](void* ctx) { return aes_cipher(&static_cast<AesContext*>(ctx)->keys); },
};

const CipherAlgorithm kAriaAlgorithm = {
    CYR_CTX_ARIA,
    kAriaBase,
    CYR_PARAM_ARIA_IV,
    sizeof(AriaContext),
    [](void* ctx, const uint8_t* key, std::size_t length, bool inverse) {
        return aria_key_schedule(key, length, inverse ? 1 : 0,
                                 &static_cast<AriaContext*>(ctx)->keys);
    },
    [](void* ctx) { return aria_cipher(&static_cast<AriaContext*>(ctx)->keys); },
};

const CipherAlgorithm& algorithm_of(const Mechanism* m) {
    if (m->family == Family::Aes) return kAesAlgorithm;
    if (m->family == Family::Aria) return kAriaAlgorithm;
    return kSeedAlgorithm;
}

void release_if(CYR_SLOT* mechanism) {
    if (mechanism != nullptr) release_contexts(mechanism);
}

uint32_t cipher_init(CYR_SLOT* mechanism, const Mechanism* m, CYR_SLOT* key, bool decrypt) {
    const CipherAlgorithm& algo = algorithm_of(m);
    if (key[1].kind != CYR_VALUE) return CYR_KEY_TYPE_NOT_SUPPORTED;
    if (key[1].data == nullptr) return CYR_INPUT_DATA_EMPTY;

    void* ctx = std::calloc(1, algo.context_size);
    if (ctx == nullptr) return algo.code_base + (decrypt ? kDecryptInitFailed : kEncryptInitFailed);
    // Every context begins with its mode state.
    ModeState* modes = static_cast<ModeState*>(ctx);
    modes->mode = m->mode;
    modes->padding = m->padding;
    for (int i = 1; i <= 4; ++i) {
        if (mechanism[i].kind != algo.iv_kind) continue;
        if (mechanism[i].data != nullptr)
            std::memcpy(modes->iv, mechanism[i].data,
                        mechanism[i].length < 16 ? mechanism[i].length : 16);
        break;
    }
    const bool inverse = decrypt && (m->mode == kModeEcb || m->mode == kModeCbc);
    if (!algo.schedule(ctx, static_cast<const uint8_t*>(key[1].data), key[1].length, inverse)) {
        secure_wipe(ctx, algo.context_size);
        std::free(ctx);
        return algo.code_base + kKeyScheduleFailed;
    }
    mode_reset(modes);

    release_slot(&mechanism[5], true);
    mechanism[5].kind = algo.context_kind;
    mechanism[5].data = ctx;
    mechanism[5].length = uint32_t(algo.context_size);
    mechanism[5].wipe = 1;
    mechanism[5].owned = 1;
    return CYR_OK;
}

uint32_t init(CYR_SLOT* mechanism, CYR_SLOT* key, bool decrypt) {
    if (mechanism == nullptr || key == nullptr) return CYR_ARGUMENTS_BAD;
    const Mechanism* m = find_mechanism(mechanism);
    if (m != nullptr && m->family == Family::PublicCipher) return pk_init(mechanism, key, decrypt);
    if (is_block_cipher(m)) return cipher_init(mechanism, m, key, decrypt);
    return CYR_CTX_NOT_SUPPORTED;
}

// The context of a block-cipher mechanism as the operations take it; a null
// state when there is none.
CipherCall call_for(CYR_SLOT* mechanism, const Mechanism* m) {
    const CipherAlgorithm& algo = algorithm_of(m);
    CYR_SLOT* slot = find_context(mechanism, algo.context_kind);
    if (slot == nullptr) return {nullptr, {}, algo.code_base};
    return {static_cast<ModeState*>(slot->data), algo.view(slot->data), algo.code_base};
}

uint32_t one_shot(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output, bool decrypt) {
    if (mechanism == nullptr || input == nullptr || output == nullptr) {
        release_if(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    const Mechanism* m = find_mechanism(mechanism);
    const uint32_t number = mechanism[0].kind;
    if (m == nullptr || number < 11 || number > 46 ||
        (m->family != Family::PublicCipher && !is_block_cipher(m))) {
        release_contexts(mechanism);
        return CYR_CTX_NOT_SUPPORTED;
    }
    if (m->family == Family::PublicCipher) return pk_crypt(mechanism, input, output, decrypt);

    CipherCall call = call_for(mechanism, m);
    const auto* in = static_cast<const uint8_t*>(input[1].data);
    auto* out = static_cast<uint8_t*>(output[1].data);
    uint32_t rc = decrypt ? op_decrypt(call, in, input[1].length, out, &output[1].length)
                          : op_encrypt(call, in, input[1].length, out, &output[1].length);
    if (rc == CYR_OK && out == nullptr) return CYR_OK;  // size query: the context stays
    release_contexts(mechanism);
    return rc;
}

// Multi-part calls exist for SEED only.
const Mechanism* multipart_mechanism(CYR_SLOT* mechanism) {
    const Mechanism* m = find_mechanism(mechanism);
    return m != nullptr && m->family == Family::Seed ? m : nullptr;
}

uint32_t update(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output, bool decrypt) {
    if (mechanism == nullptr || input == nullptr || output == nullptr) {
        release_if(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    const Mechanism* m = multipart_mechanism(mechanism);
    if (m == nullptr) {
        release_contexts(mechanism);
        return CYR_CTX_NOT_SUPPORTED;
    }
    CipherCall call = call_for(mechanism, m);
    const auto* in = static_cast<const uint8_t*>(input[1].data);
    auto* out = static_cast<uint8_t*>(output[1].data);
    uint32_t rc = decrypt ? op_decrypt_update(call, in, input[1].length, out, &output[1].length)
                          : op_encrypt_update(call, in, input[1].length, out, &output[1].length);
    if (rc != CYR_OK) release_contexts(mechanism);
    return rc;
}

uint32_t finish(CYR_SLOT* mechanism, CYR_SLOT* output, bool decrypt) {
    if (mechanism == nullptr || output == nullptr) {
        release_if(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    const Mechanism* m = multipart_mechanism(mechanism);
    if (m == nullptr) {
        release_contexts(mechanism);
        return CYR_CTX_NOT_SUPPORTED;
    }
    CipherCall call = call_for(mechanism, m);
    auto* out = static_cast<uint8_t*>(output[1].data);
    uint32_t rc = decrypt ? op_decrypt_final(call, out, &output[1].length)
                          : op_encrypt_final(call, out, &output[1].length);
    if (rc == CYR_OK && out == nullptr) return CYR_OK;
    release_contexts(mechanism);
    return rc;
}

}  // namespace

}  // namespace cyr

using namespace cyr;

extern "C" {

uint32_t CYR_ClearSlots(CYR_SLOT* first, uint32_t count) {
    if (first == nullptr) return CYR_OK;
    for (uint32_t i = 0; i < count; ++i) release_slot(&first[i], false);
    return CYR_OK;
}

uint32_t CYR_Abandon(CYR_SLOT* mechanism) {
    if (mechanism == nullptr) return CYR_ARGUMENTS_BAD;
    release_contexts(mechanism);
    return CYR_OK;
}

uint32_t CYR_GenerateKeyPair(CYR_SLOT* mechanism, CYR_SLOT* publicKey, CYR_SLOT* privateKey) {
    if (mechanism == nullptr || publicKey == nullptr || privateKey == nullptr)
        return CYR_ARGUMENTS_BAD;
    const Mechanism* m = find_mechanism(mechanism);
    if (m == nullptr || m->family != Family::KeyPair) return CYR_CTX_NOT_SUPPORTED;
    if (publicKey[0].kind != CYR_CLASS_PUBLIC_KEY || privateKey[0].kind != CYR_CLASS_PRIVATE_KEY)
        return CYR_KEY_TYPE_NOT_SUPPORTED;
    return pk_generate_key_pair(mechanism, publicKey, privateKey);
}

uint32_t CYR_GenerateRandom(CYR_SLOT* mechanism, CYR_SLOT* output) {
    if (mechanism == nullptr || output == nullptr) {
        release_if(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    if (mechanism[0].kind != CYR_MECH_RANDOM) {
        release_contexts(mechanism);
        return CYR_CTX_NOT_SUPPORTED;
    }
    if (output[1].data == nullptr) return CYR_INPUT_DATA_EMPTY;
    if (output[1].length == 0) return CYR_INPUT_DATALENGTH_INVALID;
    return pk_generate_random(mechanism, output);
}

uint32_t CYR_EncryptInit(CYR_SLOT* mechanism, CYR_SLOT* key) {
    return init(mechanism, key, false);
}
uint32_t CYR_DecryptInit(CYR_SLOT* mechanism, CYR_SLOT* key) {
    return init(mechanism, key, true);
}

uint32_t CYR_Encrypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output) {
    return one_shot(mechanism, input, output, false);
}
uint32_t CYR_Decrypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output) {
    return one_shot(mechanism, input, output, true);
}

uint32_t CYR_EncryptUpdate(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output) {
    return update(mechanism, input, output, false);
}
uint32_t CYR_DecryptUpdate(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output) {
    return update(mechanism, input, output, true);
}

uint32_t CYR_EncryptFinal(CYR_SLOT* mechanism, CYR_SLOT* output) {
    return finish(mechanism, output, false);
}
uint32_t CYR_DecryptFinal(CYR_SLOT* mechanism, CYR_SLOT* output) {
    return finish(mechanism, output, true);
}

uint32_t CYR_DigestInit(CYR_SLOT* mechanism) {
    if (mechanism == nullptr) return CYR_ARGUMENTS_BAD;
    if (mechanism[0].kind != CYR_MECH_SHA1) return CYR_CTX_NOT_SUPPORTED;
    void* ctx = install_context(mechanism, CYR_CTX_SHA1, sizeof(Sha1Context));
    if (ctx == nullptr) return CYR_ARGUMENTS_BAD;
    sha1_init(static_cast<Sha1Context*>(ctx));
    return CYR_OK;
}

uint32_t CYR_Digest(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output) {
    if (mechanism == nullptr || input == nullptr || output == nullptr) {
        release_if(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    if (mechanism[0].kind != CYR_MECH_SHA1) {
        release_contexts(mechanism);
        return CYR_CTX_NOT_SUPPORTED;
    }
    if (input[1].data == nullptr || input[1].length == 0) {
        release_contexts(mechanism);
        return CYR_INPUT_DATA_EMPTY;
    }
    CYR_SLOT* slot = find_context(mechanism, CYR_CTX_SHA1);
    if (slot == nullptr) {
        release_contexts(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    // A size query leaves the context untouched, so that the call with the
    // buffer that follows digests the input exactly once.
    if (output[1].data == nullptr) {
        output[1].length = 20;
        return CYR_OK;
    }
    if (output[1].length < 20) {
        release_contexts(mechanism);
        return CYR_INPUT_DATALENGTH_INVALID;
    }
    auto* ctx = static_cast<Sha1Context*>(slot->data);
    sha1_update(ctx, static_cast<const uint8_t*>(input[1].data), input[1].length);
    sha1_final(ctx, static_cast<uint8_t*>(output[1].data));
    release_contexts(mechanism);
    return CYR_OK;
}

}  // extern "C"
