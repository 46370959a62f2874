// The public-key engines behind the toolkit dispatch (toolkit/pubkey_engines.h):
// mechanisms 10, 11, 25, 26 and 49; the large-modulus mechanisms 27 to 30
// go to pubkey/rsa_engine.h.
#include <cstring>

#include "pubkey/ec_keys.h"
#include "pubkey/rsa_engine.h"
#include "pubkey/sha1_rng.h"
#include "toolkit/internal.h"
#include "toolkit/pubkey_engines.h"

namespace cyr {

namespace {

// Context kind 60: the parsed parameters and the stored key. The seed
// pointers refer to the caller's parameter buffers, as the mechanism does.
struct EcKeyContext {
    uint32_t curve;
    uint32_t format;
    uint32_t method;
    const uint8_t* seed;
    uint32_t seed_length;
    const uint8_t* extra;
    uint32_t extra_length;
    uint8_t key[kEcMaxKeyBytes];
    uint32_t key_length;
};

bool is_ec_cipher(uint32_t mechanism) {
    return mechanism == CYR_MECH_ECC || mechanism == CYR_MECH_ECC_SEED_CBC ||
           mechanism == CYR_MECH_ECC_SEED_CBC_PAD;
}

}  // namespace

uint32_t pk_generate_key_pair(CYR_SLOT* mechanism, CYR_SLOT* public_key, CYR_SLOT* private_key) {
    if (mechanism[0].kind == kRsaMechKeyPair)
        return rsa_key_pair(mechanism, public_key, private_key);
    if (mechanism[0].kind != CYR_MECH_EC_KEY_PAIR_GEN) return CYR_CTX_NOT_SUPPORTED;
    EcParams params = ec_parse_params(mechanism);
    return ec_generate_key_pair(params, static_cast<uint8_t*>(public_key[1].data),
                                &public_key[1].length, static_cast<uint8_t*>(private_key[1].data),
                                &private_key[1].length);
}

uint32_t pk_init(CYR_SLOT* mechanism, CYR_SLOT* key, bool /*decrypt*/) {
    if (rsa_is_cipher(mechanism[0].kind)) return rsa_init(mechanism, key);
    if (!is_ec_cipher(mechanism[0].kind)) return CYR_CTX_NOT_SUPPORTED;
    if (key[1].kind != CYR_VALUE) return CYR_KEY_TYPE_NOT_SUPPORTED;
    if (key[1].data == nullptr) return CYR_INPUT_DATA_EMPTY;
    if (key[1].length > kEcMaxKeyBytes) return kEcKeyTooLong;
    EcParams params = ec_parse_params(mechanism);
    auto* ctx = static_cast<EcKeyContext*>(
        install_context(mechanism, CYR_CTX_EC_KEY, sizeof(EcKeyContext)));
    if (ctx == nullptr) return CYR_ARGUMENTS_BAD;
    ctx->curve = params.curve;
    ctx->format = params.format;
    ctx->method = params.method;
    ctx->seed = params.seed;
    ctx->seed_length = params.seed_length;
    ctx->extra = params.extra;
    ctx->extra_length = params.extra_length;
    std::memcpy(ctx->key, key[1].data, key[1].length);
    ctx->key_length = key[1].length;
    return 0;
}

uint32_t pk_crypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output, bool decrypt) {
    const uint32_t number = mechanism[0].kind;
    if (rsa_is_cipher(number)) return rsa_crypt(mechanism, input, output, decrypt);
    if (!is_ec_cipher(number)) {
        release_contexts(mechanism);
        return CYR_CTX_NOT_SUPPORTED;
    }
    CYR_SLOT* slot = find_context(mechanism, CYR_CTX_EC_KEY);
    if (slot == nullptr) {
        release_contexts(mechanism);
        return CYR_ARGUMENTS_BAD;
    }
    const auto* ctx = static_cast<const EcKeyContext*>(slot->data);
    EcParams params;
    params.curve = ctx->curve;
    params.format = ctx->format;
    params.method = ctx->method;
    params.seed = ctx->seed;
    params.seed_length = ctx->seed_length;
    params.extra = ctx->extra;
    params.extra_length = ctx->extra_length;
    const auto* in = static_cast<const uint8_t*>(input[1].data);
    auto* out = static_cast<uint8_t*>(output[1].data);
    uint32_t rc = decrypt ? ec_decrypt(number, params, ctx->key, ctx->key_length, in,
                                       input[1].length, out, &output[1].length)
                          : ec_encrypt(number, params, ctx->key, ctx->key_length, in,
                                       input[1].length, out, &output[1].length);
    if (rc == 0 && out == nullptr) return 0;  // a size query keeps the context
    release_contexts(mechanism);
    return rc;
}

uint32_t pk_generate_random(CYR_SLOT* mechanism, CYR_SLOT* output) {
    uint32_t rc = 0;
    if (output[1].data == nullptr)
        rc = CYR_ARGUMENTS_BAD;
    else if (output[1].length == 0)
        rc = CYR_RADNOM_LENGTH_INVAILD;
    else if (!rng_random_bytes(static_cast<uint8_t*>(output[1].data), output[1].length))
        rc = CYR_X9_31_GEN_RANDOM_FAILD;
    release_contexts(mechanism);
    return rc;
}

}  // namespace cyr
