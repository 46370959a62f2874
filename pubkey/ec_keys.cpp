// Elliptic-curve key pairs, shared secrets and encryption: see ec_keys.h.
#include "pubkey/ec_keys.h"

#include <cstdlib>
#include <cstring>

#include "platform/entropy.h"
#include "pubkey/bignum.h"
#include "pubkey/ec_curves.h"
#include "pubkey/sha1_rng.h"
#include "toolkit/internal.h"
#include "toolkit/seed.h"
#include "toolkit/sha1.h"

namespace cyr {

namespace {

constexpr uint32_t kSeedRngOutputFailed = 266;

// Scalar words of a big-endian string, with the count up to the top non-zero word.
int scalar_words(const uint8_t* be, std::size_t length, uint32_t* words) {
    std::memset(words, 0, 6 * sizeof(uint32_t));
    for (std::size_t i = 0; i < length; ++i) {
        std::size_t bit = 8 * (length - 1 - i);
        words[bit / 32] |= static_cast<uint32_t>(be[i]) << (bit % 32);
    }
    int n = 6;
    while (n > 0 && words[n - 1] == 0) --n;
    return n;
}

// Method 2: 21 bytes of the SEED generator, the top bits cleared (d < 2^162 < n).
uint32_t draw_with_seed_generator(const EcParams& params, uint8_t d[21]) {
    CYR_SLOT mechanism[8] = {};
    mechanism[0].kind = CYR_MECH_SEED_RNG;
    CYR_SLOT seed[10] = {};
    seed[1].kind = CYR_VALUE;
    uint8_t fresh[20];
    if (params.seed != nullptr && params.seed_length > 0) {
        seed[1].data = const_cast<uint8_t*>(params.seed);
        seed[1].length = params.seed_length;
    } else {
        if (!platform::os_entropy(fresh, sizeof fresh)) return kSeedRngOutputFailed;
        seed[1].data = fresh;
        seed[1].length = sizeof fresh;
    }
    seed_rng_seed(mechanism, seed);
    secure_wipe(fresh, sizeof fresh);
    if (params.extra != nullptr && params.extra_length > 0) {
        seed[1].data = const_cast<uint8_t*>(params.extra);
        seed[1].length = params.extra_length;
        seed_rng_seed(mechanism, seed);
    }
    CYR_SLOT output[10] = {};
    output[1].kind = CYR_VALUE;
    output[1].data = d;
    output[1].length = 21;
    uint32_t rc = seed_rng_output(mechanism, output);
    release_contexts(mechanism);
    if (rc != 0) return kSeedRngOutputFailed;
    d[0] &= 0x03;
    return 0;
}

// Z = x(d * 2P), L bytes; `peer` already decoded.
uint32_t shared_x(uint32_t curve, const uint8_t* d, const EcPointBytes& peer, uint8_t* z) {
    uint32_t k[6];
    std::size_t L = ec_field_bytes(curve);
    int words = scalar_words(d, L, k);
    EcPointBytes p = peer;
    for (uint32_t h = ec_cofactor(curve); h > 1; h /= 2) p = ec_double_point(curve, p);
    EcPointBytes r = ec_mul_point(curve, k, words, p);
    secure_wipe(k, sizeof k);
    if (r.infinity) return CYR_ECDH_DERIVE_KEY_FAILED;
    std::memcpy(z, r.x, L);
    secure_wipe(&r, sizeof r);
    return 0;
}

// out[i] ^= SHA-1(Z[0..k-1] || i as 4 bytes big-endian), block after block.
void apply_key_stream(const uint8_t* z, std::size_t prefix, uint8_t* data, std::size_t length) {
    uint8_t block[kMaxFieldBytes + 4], digest[20];
    std::memcpy(block, z, prefix);
    for (uint32_t i = 0; length > 0; ++i) {
        block[prefix] = static_cast<uint8_t>(i >> 24);
        block[prefix + 1] = static_cast<uint8_t>(i >> 16);
        block[prefix + 2] = static_cast<uint8_t>(i >> 8);
        block[prefix + 3] = static_cast<uint8_t>(i);
        sha1_digest(block, prefix + 4, digest);
        std::size_t take = length < 20 ? length : 20;
        for (std::size_t j = 0; j < take; ++j) data[j] ^= digest[j];
        data += take;
        length -= take;
    }
    secure_wipe(block, sizeof block);
    secure_wipe(digest, sizeof digest);
}

// A scratch buffer that is wiped and freed on every path; no exception
// leaves the toolkit, so allocation failure is a null pointer.
class SecretBuffer {
  public:
    explicit SecretBuffer(std::size_t size)
        : size_(size), data_(static_cast<uint8_t*>(std::calloc(size == 0 ? 1 : size, 1))) {}
    ~SecretBuffer() {
        if (data_ != nullptr) secure_wipe(data_, size_);
        std::free(data_);
    }
    SecretBuffer(const SecretBuffer&) = delete;
    SecretBuffer& operator=(const SecretBuffer&) = delete;
    uint8_t* data() { return data_; }

  private:
    std::size_t size_;
    uint8_t* data_;
};

// The SEED key of mechanisms 25 and 26: 16 bytes of Z, or Z and a zero byte.
void seed_key_from(const uint8_t* z, std::size_t L, uint8_t key[16]) {
    std::memset(key, 0, 16);
    std::memcpy(key, z, L < 16 ? L : 16);
}

}  // namespace

EcParams ec_parse_params(const CYR_SLOT* mechanism) {
    EcParams p;
    for (int i = 1; i <= 4; ++i) {
        const CYR_SLOT& s = mechanism[i];
        const uint32_t* value = static_cast<const uint32_t*>(s.data);
        switch (s.kind) {
            case CYR_PARAM_CURVE:
                if (value != nullptr) p.curve = *value;
                break;
            case CYR_PARAM_POINT_FORMAT:
                if (value != nullptr) p.format = *value;
                break;
            case CYR_PARAM_RNG_METHOD:
                if (value != nullptr) p.method = *value;
                break;
            case CYR_PARAM_SEED:
                p.seed = static_cast<const uint8_t*>(s.data);
                p.seed_length = s.length;
                break;
            case CYR_PARAM_EXTRA_SEED:
                p.extra = static_cast<const uint8_t*>(s.data);
                p.extra_length = s.length;
                break;
            default:
                break;
        }
    }
    return p;
}

uint32_t ec_public_size(uint32_t curve, uint32_t format) {
    if (curve == 3 || curve == 5) return format == 2 ? 22 : 43;
    if (curve == 1 || curve == 4) return 31;
    return 0;
}

uint32_t ec_ciphertext_point_size(uint32_t curve) {
    return ec_public_size(curve, 4);
}

uint32_t ec_generate_key_pair(const EcParams& params, uint8_t* public_key, uint32_t* public_length,
                              uint8_t* private_key, uint32_t* private_length) {
    const uint32_t curve = params.curve;
    if (!ec_curve_supported(curve)) return CYR_EC_NUMBER_NOT_SUPPORTED;
    const std::size_t L = ec_field_bytes(curve);
    // The SEED generator yields 162-bit scalars: below n only on the 163-bit curves.
    if (params.method == 2 && L != 21) return CYR_EC_NUMBER_NOT_SUPPORTED;
    const uint32_t pub_size = ec_public_size(curve, params.format);
    if (public_key == nullptr || private_key == nullptr) {
        *public_length = pub_size;
        *private_length = kEcPrivateSize;
        return 0;
    }
    if (*public_length < pub_size || *private_length < kEcPrivateSize) return CYR_BUFFER_TOO_SMALL;

    uint8_t d[kEcPrivateSize] = {};
    if (params.method == 2) {
        uint32_t rc = draw_with_seed_generator(params, d);
        if (rc != 0) return rc;
    } else {
        BigNum r;
        if (!rng_draw_below(params.seed, params.seed_length, params.extra, params.extra_length,
                            ec_order(curve), &r))
            return CYR_X9_62_GEN_RANDOM_FAILD;
        bn_to_bytes(&r, d, L);
        secure_wipe(&r, sizeof r);
    }
    uint32_t k[6];
    int words = scalar_words(d, L, k);
    EcPointBytes q = ec_mul_base(curve, k, words);
    secure_wipe(k, sizeof k);

    std::memset(public_key, 0, pub_size);
    ec_encode_point(curve, q, params.format, public_key);
    std::memset(private_key, 0, kEcPrivateSize);
    std::memcpy(private_key, d, L);
    secure_wipe(d, sizeof d);
    *public_length = pub_size;
    *private_length = kEcPrivateSize;
    return 0;
}

uint32_t ec_shared_secret(uint32_t curve, const uint8_t* own, uint32_t own_length,
                          const uint8_t* peer, uint32_t peer_length, uint8_t* out,
                          uint32_t* length) {
    if (own == nullptr || own_length == 0) return CYR_ECDH_BASEKEY_EMPTY;
    if (peer == nullptr || peer_length == 0) return CYR_ECDH_PEERSKEY_EMPTY;
    if (!ec_curve_supported(curve)) return CYR_EC_NUMBER_NOT_SUPPORTED;
    if (own_length < kEcPrivateSize) return kEcKeyTooLong;
    const std::size_t L = ec_field_bytes(curve);
    if (out == nullptr) {
        *length = static_cast<uint32_t>(L);
        return 0;
    }
    if (*length == 0 || *length > L) return CYR_ECDH_KEYLENGTH_INVAILD;
    EcPointBytes p;
    if (!ec_decode_point(curve, peer, peer_length, &p)) return CYR_ECDH_DERIVE_KEY_FAILED;
    uint8_t z[kMaxFieldBytes];
    uint32_t rc = shared_x(curve, own, p, z);
    if (rc == 0) std::memcpy(out, z, *length);
    secure_wipe(z, sizeof z);
    return rc;
}

uint32_t ec_encrypt(uint32_t mechanism, const EcParams& params, const uint8_t* key,
                    uint32_t key_length, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length) {
    const uint32_t curve = params.curve;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    if (!ec_curve_supported(curve)) return CYR_EC_NUMBER_NOT_SUPPORTED;
    if (key == nullptr || key_length == 0) return CYR_ENCRYPT_KEY_EMPTY;
    const uint32_t P = ec_ciphertext_point_size(curve);
    // The output size must be representable: refuse lengths that would wrap it.
    if (in_length > UINT32_MAX - P - 16) return CYR_INPUT_DATALENGTH_INVALID;
    uint32_t body = in_length;
    if (mechanism == CYR_MECH_ECC_SEED_CBC && in_length % 16 != 0) return CYR_SEED_PADDING_ERROR;
    if (mechanism == CYR_MECH_ECC_SEED_CBC_PAD) body = in_length + 16 - in_length % 16;
    const uint32_t size = P + body;
    if (out == nullptr) {
        *out_length = size;
        return 0;
    }
    if (*out_length < size) return CYR_BUFFER_TOO_SMALL;

    // Built aside so that a failure leaves the caller's buffer untouched.
    SecretBuffer result(size);
    if (result.data() == nullptr) return CYR_ECC_ENCRYPT_FAILED;
    uint8_t e[kEcPrivateSize];
    uint32_t e_length = sizeof e, E_length = P;
    uint32_t rc = ec_generate_key_pair(params, result.data(), &E_length, e, &e_length);
    uint8_t z[kMaxFieldBytes];
    uint32_t z_length = static_cast<uint32_t>(ec_field_bytes(curve));
    if (rc == 0) rc = ec_shared_secret(curve, e, e_length, key, key_length, z, &z_length);
    secure_wipe(e, sizeof e);
    if (rc == 0) {
        uint8_t* body_out = result.data() + P;
        if (mechanism == CYR_MECH_ECC) {
            std::memcpy(body_out, in, in_length);
            apply_key_stream(z, z_length == 21 ? 6 : 4, body_out, in_length);
        } else {
            uint8_t seed_key[16];
            SeedRoundKeys rk;
            seed_key_from(z, z_length, seed_key);
            if (!seed_key_schedule(seed_key, 16, &rk)) {
                rc = CYR_SEED_ENCRYPT_INIT_FAILED;
            } else {
                // CBC with a zero vector; mechanism 26 pads with n bytes of value n.
                std::memcpy(body_out, in, in_length);
                const uint8_t pad = static_cast<uint8_t>(body - in_length);
                std::memset(body_out + in_length, pad, body - in_length);
                uint8_t reg[16] = {};
                for (uint32_t off = 0; off < body; off += 16) {
                    for (int j = 0; j < 16; ++j) body_out[off + j] ^= reg[j];
                    seed_encrypt_block(&rk, body_out + off);
                    std::memcpy(reg, body_out + off, 16);
                }
            }
            secure_wipe(seed_key, sizeof seed_key);
            secure_wipe(&rk, sizeof rk);
        }
    }
    secure_wipe(z, sizeof z);
    if (rc == 0) {
        std::memcpy(out, result.data(), size);
        *out_length = size;
    }
    return rc;
}

uint32_t ec_decrypt(uint32_t mechanism, const EcParams& params, const uint8_t* key,
                    uint32_t key_length, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length) {
    const uint32_t curve = params.curve;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    if (!ec_curve_supported(curve)) return CYR_EC_NUMBER_NOT_SUPPORTED;
    const uint32_t P = ec_ciphertext_point_size(curve);
    // Checked before the size query, which would otherwise report y - P wrapped around.
    if (in_length < P) return CYR_BUFFER_TOO_SMALL;
    const uint32_t m = in_length - P;
    if (mechanism == CYR_MECH_ECC_SEED_CBC && m % 16 != 0) return CYR_SEED_PADDING_ERROR;
    if (out == nullptr) {
        *out_length = m;
        return 0;
    }
    if (*out_length < m) return CYR_BUFFER_TOO_SMALL;
    if (mechanism == CYR_MECH_ECC_SEED_CBC_PAD && m % 16 != 0) return CYR_SEED_DECRYPT_FINAL_FAILED;

    uint8_t z[kMaxFieldBytes];
    uint32_t z_length = static_cast<uint32_t>(ec_field_bytes(curve));
    uint32_t rc = ec_shared_secret(curve, key, key_length, in, P, z, &z_length);
    if (rc != 0) return rc;
    SecretBuffer result(m);
    if (result.data() == nullptr) {
        secure_wipe(z, sizeof z);
        return CYR_ECC_DECRYPT_FAILED;
    }
    if (m > 0) std::memcpy(result.data(), in + P, m);
    uint8_t* body = result.data();
    uint32_t produced = m;
    if (mechanism == CYR_MECH_ECC) {
        apply_key_stream(z, z_length == 21 ? 6 : 4, body, m);
    } else {
        uint8_t seed_key[16];
        SeedRoundKeys rk;
        seed_key_from(z, z_length, seed_key);
        if (!seed_key_schedule(seed_key, 16, &rk)) {
            rc = CYR_SEED_DECRYPT_INIT_FAILED;
        } else {
            uint8_t reg[16] = {}, next[16];
            for (uint32_t off = 0; off < m; off += 16) {
                std::memcpy(next, body + off, 16);
                seed_decrypt_block(&rk, body + off);
                for (int j = 0; j < 16; ++j) body[off + j] ^= reg[j];
                std::memcpy(reg, next, 16);
            }
            if (mechanism == CYR_MECH_ECC_SEED_CBC_PAD && m > 0) {
                uint8_t n = body[m - 1];
                bool ok = n >= 1 && n <= 16;
                for (uint32_t j = 0; ok && j < n; ++j) ok = body[m - 1 - j] == n;
                if (ok)
                    produced = m - n;
                else
                    rc = CYR_SEED_DECRYPT_FINAL_FAILED;
            }
        }
        secure_wipe(seed_key, sizeof seed_key);
        secure_wipe(&rk, sizeof rk);
    }
    secure_wipe(z, sizeof z);
    if (rc == 0) {
        if (produced > 0) std::memcpy(out, body, produced);
        *out_length = produced;
    }
    return rc;
}

}  // namespace cyr
