// Mechanisms 27 to 30 on the toolkit's records: see rsa_engine.h.
#include "pubkey/rsa_engine.h"

#include <cstring>

#include "pubkey/rsa_keygen.h"
#include "pubkey/rsa_ops.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

constexpr uint32_t kMechPad = 28;
constexpr uint32_t kMechOaep = 29;
constexpr uint32_t kMechNoHash = 30;

// Context kind 61: the parsed parameters and the stored key.
struct RsaKeyContext {
    RsaParams params;
    uint8_t key[kRsaMaxKeyBytes];
    uint32_t key_length;
};

}  // namespace

bool rsa_is_cipher(uint32_t mechanism) {
    return mechanism == kMechPad || mechanism == kMechOaep || mechanism == kMechNoHash;
}

uint32_t rsa_key_pair(CYR_SLOT* mechanism, CYR_SLOT* public_key, CYR_SLOT* private_key) {
    RsaParams params = rsa_parse_params(mechanism);
    return rsa_generate_key_pair(params, static_cast<uint8_t*>(public_key[1].data),
                                 &public_key[1].length, static_cast<uint8_t*>(private_key[1].data),
                                 &private_key[1].length);
}

uint32_t rsa_init(CYR_SLOT* mechanism, CYR_SLOT* key) {
    // The hash table entry of 30 has no digest, so its padding cannot run.
    if (mechanism[0].kind == kMechNoHash) return CYR_CTX_NOT_SUPPORTED;
    if (key[1].kind != CYR_VALUE) return CYR_KEY_TYPE_NOT_SUPPORTED;
    if (key[1].data == nullptr) return CYR_INPUT_DATA_EMPTY;
    if (key[1].length > kRsaMaxKeyBytes) return CYR_OUTBUFFER_NULL;
    auto* ctx = static_cast<RsaKeyContext*>(
        install_context(mechanism, CYR_CTX_RSA_KEY, sizeof(RsaKeyContext)));
    if (ctx == nullptr) return CYR_ARGUMENTS_BAD;
    ctx->params = rsa_parse_params(mechanism);
    std::memcpy(ctx->key, key[1].data, key[1].length);
    ctx->key_length = key[1].length;
    return 0;
}

uint32_t rsa_crypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output, bool decrypt) {
    const uint32_t number = mechanism[0].kind;
    CYR_SLOT* slot = find_context(mechanism, CYR_CTX_RSA_KEY);
    uint32_t rc;
    if (number == kMechNoHash) {
        rc = CYR_CTX_NOT_SUPPORTED;
    } else if (slot == nullptr) {
        rc = CYR_ARGUMENTS_BAD;
    } else {
        const auto* ctx = static_cast<const RsaKeyContext*>(slot->data);
        const auto* in = static_cast<const uint8_t*>(input[1].data);
        auto* out = static_cast<uint8_t*>(output[1].data);
        rc = decrypt ? rsa_decrypt(number, ctx->key, ctx->key_length, in, input[1].length, out,
                                   &output[1].length)
                     : rsa_encrypt(number, ctx->key, ctx->key_length, in, input[1].length, out,
                                   &output[1].length);
        if (rc == 0 && out == nullptr) return 0;  // a size query keeps the context
    }
    release_contexts(mechanism);
    return rc;
}

}  // namespace cyr
