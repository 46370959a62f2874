// RSA operations and mechanisms 28, 29: see rsa_ops.h.
#include "pubkey/rsa_ops.h"

#include <cstring>

#include "pubkey/montgomery.h"
#include "pubkey/rsa_padding.h"
#include "pubkey/sha1_rng.h"
#include "toolkit/cyr.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

constexpr uint32_t kMechPad = 28;
constexpr uint32_t kMechOaep = 29;
constexpr std::size_t kMaxBytes = (kRsaMaxBits + 7) / 8;

void wipe(BigNum* n) {
    secure_wipe(n, sizeof *n);
}

std::size_t modulus_bytes(const BigNum& n) {
    return static_cast<std::size_t>(bn_bits(&n) + 7) / 8;
}

// Key material and working buffers of one operation, wiped on the way out.
struct Work {
    RsaPrivateKey priv;
    RsaPublicKey pub;
    BigNum x, m;
    uint8_t em[kMaxBytes];
    ~Work() { secure_wipe(this, sizeof *this); }
};

}  // namespace

void rsa_public_op(const RsaPublicKey& key, BigNum* x, const BigNum* m) {
    bn_mod_exp(x, m, &key.e, &key.n);
}

void rsa_private_op(const RsaPrivateKey& key, BigNum* m, const BigNum* x) {
    if (key.type != kRsaTypeCrt) {
        bn_mod_exp(m, x, &key.d, &key.n);
        return;
    }
    BigNum m1, m2, h;
    bn_mod_exp(&m1, x, &key.dp, &key.p);
    bn_mod_exp(&m2, x, &key.dq, &key.q);
    bn_sub(&h, &m1, &m2);
    bn_mod(&h, &h, &key.p);  // the difference taken modulo p
    bn_mul(&h, &h, &key.qinv);
    bn_mod(&h, &h, &key.p);
    bn_mul(&h, &h, &key.q);
    bn_add(m, &m2, &h);
    wipe(&m1);
    wipe(&m2);
    wipe(&h);
}

uint32_t rsa_encrypt(uint32_t mechanism, const uint8_t* key, std::size_t key_length,
                     const uint8_t* in, std::size_t in_length, uint8_t* out, uint32_t* out_length) {
    if (mechanism != kMechPad && mechanism != kMechOaep) return CYR_CTX_NOT_SUPPORTED;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    Work w;
    if (!rsa_read_public(key, key_length, &w.pub)) return CYR_KEY_TYPE_INVAILD;
    const std::size_t k = modulus_bytes(w.pub.n);
    if (out == nullptr) {
        *out_length = static_cast<uint32_t>(k);
        return 0;
    }
    if (*out_length < k) return CYR_BUFFER_TOO_SMALL;

    std::size_t em_length;
    if (mechanism == kMechPad) {
        // This padding counts whole bytes of the modulus: bits / 8.
        em_length = static_cast<std::size_t>(bn_bits(&w.pub.n)) / 8;
        if (in_length > em_length - 11) return CYR_CTX_NOT_SUPPORTED;
        uint8_t random[kMaxBytes];
        const std::size_t ps = em_length - in_length - 3;
        if (!rng_random_bytes(random, ps)) return CYR_X9_31_GEN_RANDOM_FAILD;
        pad28_encode(in, in_length, random, w.em, em_length);
        secure_wipe(random, sizeof random);
    } else {
        em_length = k;
        if (in_length + 42 > k) return CYR_CTX_NOT_SUPPORTED;
        uint8_t seed[20];
        if (!rng_random_bytes(seed, sizeof seed)) return CYR_X9_31_GEN_RANDOM_FAILD;
        oaep_encode(in, in_length, seed, w.em, em_length);
        secure_wipe(seed, sizeof seed);
    }
    bn_from_bytes(&w.m, w.em, em_length);
    rsa_public_op(w.pub, &w.x, &w.m);
    const std::size_t produced = mechanism == kMechPad ? bn_byte_length(&w.x) : k;
    bn_to_bytes(&w.x, out, produced);
    *out_length = static_cast<uint32_t>(produced);
    return 0;
}

uint32_t rsa_decrypt(uint32_t mechanism, const uint8_t* key, std::size_t key_length,
                     const uint8_t* in, std::size_t in_length, uint8_t* out, uint32_t* out_length) {
    if (mechanism != kMechPad && mechanism != kMechOaep) return CYR_CTX_NOT_SUPPORTED;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    Work w;
    if (!rsa_read_private(key, key_length, &w.priv)) return CYR_KEY_TYPE_INVAILD;
    const std::size_t k = modulus_bytes(w.priv.n);
    if (out == nullptr) {
        *out_length = static_cast<uint32_t>(k);
        return 0;
    }
    if (*out_length < k) return CYR_BUFFER_TOO_SMALL;
    if (mechanism == kMechOaep && in_length != k) return CYR_INPUT_DATA_EMPTY;

    // A ciphertext is a number below n; anything else is not one of ours.
    std::size_t skip = 0;
    while (skip < in_length && in[skip] == 0) ++skip;
    if (in_length - skip > k) return CYR_INPUT_DATA_EMPTY;
    bn_from_bytes(&w.x, in + skip, in_length - skip);
    if (bn_cmp_mag(&w.x, &w.priv.n) >= 0) return CYR_INPUT_DATA_EMPTY;
    rsa_private_op(w.priv, &w.m, &w.x);

    const uint8_t* message = nullptr;
    std::size_t message_length = 0;
    bool ok;
    if (mechanism == kMechPad) {
        const std::size_t length = bn_byte_length(&w.m);
        bn_to_bytes(&w.m, w.em, length);
        ok = pad28_decode(w.em, length, &message, &message_length);
    } else {
        ok = bn_to_bytes(&w.m, w.em, k) && oaep_decode(w.em, k, &message, &message_length);
    }
    if (!ok) return CYR_INPUT_DATA_EMPTY;
    if (message_length > 0) std::memcpy(out, message, message_length);
    *out_length = static_cast<uint32_t>(message_length);
    return 0;
}

}  // namespace cyr
