// RSA key generation: see rsa_keygen.h.
#include "pubkey/rsa_keygen.h"

#include "pubkey/primes.h"
#include "pubkey/sha1_rng.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

constexpr int kRoundsMethod1 = 8;
constexpr int kRoundsMethod2 = 10;
// Searches whose prime has gcd(p - 1, e) != 1 (about one in 65537) are
// repeated; far more repeats mean the generator is broken.
constexpr int kSearchAttempts = 64;

bool draw(uint8_t* out, std::size_t length) {
    rng_seeded_bytes(out, length);
    return true;
}

void wipe(BigNum* n) {
    secure_wipe(n, sizeof *n);
}

// A prime of `bits` bits with its top two bits set and p - 1 prime to e.
uint32_t find_prime(uint32_t bits, int rounds, BigNum* p) {
    BigNum lo, hi, top2, one;
    bn_set_word(&one, 1);
    bn_shl(&lo, &one, static_cast<int>(bits) - 1);
    bn_shl(&top2, &one, static_cast<int>(bits) - 2);
    bn_add(&lo, &lo, &top2);
    bn_shl(&hi, &one, static_cast<int>(bits));
    bn_sub_word(&hi, &hi, 1);
    for (int attempt = 0; attempt < kSearchAttempts; ++attempt) {
        switch (bn_random_prime(p, &lo, &hi, 2, rounds, draw)) {
            case PrimeSearch::kFound:
                if (bn_mod_word(p, kRsaExponent) != 1) return 0;
                break;
            case PrimeSearch::kRandomFailed:
                return CYR_X9_31_GEN_RANDOM_FAILD;
            case PrimeSearch::kExhausted:
                return CYR_ENCRYPT_KEY_EMPTY;
        }
    }
    return CYR_ENCRYPT_KEY_EMPTY;
}

uint32_t seed_generator(const RsaParams& params) {
    return rng_seed(params.seed, params.seed_length, params.extra, params.extra_length)
               ? 0
               : CYR_X9_31_GEN_RANDOM_FAILD;
}

}  // namespace

RsaParams rsa_parse_params(const CYR_SLOT* mechanism) {
    RsaParams p;
    for (int i = 1; i <= 4; ++i) {
        const CYR_SLOT& s = mechanism[i];
        switch (s.kind) {
            case CYR_PARAM_MODULUS_BITS:
                if (s.data != nullptr) p.bits = *static_cast<const uint32_t*>(s.data);
                break;
            case CYR_PARAM_KEYGEN_METHOD:
                if (s.data != nullptr) p.method = *static_cast<const uint32_t*>(s.data);
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

uint32_t rsa_generate_key(uint32_t bits, int rounds, RsaPrivateKey* key) {
    const uint32_t kp = (bits + 1) / 2, kq = bits - kp;
    uint32_t rc = find_prime(kp, rounds, &key->p);
    if (rc != 0) return rc;
    do {
        rc = find_prime(kq, rounds, &key->q);
        if (rc != 0) return rc;
    } while (bn_cmp_mag(&key->p, &key->q) == 0);
    if (bn_cmp_mag(&key->q, &key->p) > 0) {
        BigNum t;
        bn_copy(&t, &key->p);
        bn_copy(&key->p, &key->q);
        bn_copy(&key->q, &t);
        wipe(&t);
    }
    key->type = kRsaTypeCrt;
    bn_set_word(&key->e, kRsaExponent);
    bn_zero(&key->extra);
    bn_mul(&key->n, &key->p, &key->q);

    BigNum p1, q1, phi;
    bn_sub_word(&p1, &key->p, 1);
    bn_sub_word(&q1, &key->q, 1);
    bn_mul(&phi, &p1, &q1);
    bool ok = bn_mod_inverse(&key->d, &key->e, &phi);
    bn_mod(&key->dp, &key->d, &p1);
    bn_mod(&key->dq, &key->d, &q1);
    ok = ok && bn_mod_inverse(&key->qinv, &key->q, &key->p);
    wipe(&p1);
    wipe(&q1);
    wipe(&phi);
    return ok ? 0 : CYR_ENCRYPT_KEY_EMPTY;
}

uint32_t rsa_generate_key_pair(const RsaParams& params, uint8_t* public_key,
                               uint32_t* public_length, uint8_t* private_key,
                               uint32_t* private_length) {
    if (params.bits < kRsaMinBits || params.bits > kRsaMaxBits) return CYR_BUFFER_TOO_SMALL;
    const uint32_t public_room = rsa_public_capacity(params.bits);
    const uint32_t private_room = rsa_private_capacity(params.bits);
    if (public_key == nullptr || private_key == nullptr) {
        *public_length = public_room;
        *private_length = private_room;
        return 0;
    }
    if (params.method != 1 && params.method != 2) return CYR_CTX_NOT_SUPPORTED;
    if (*public_length < public_room || *private_length < private_room) return CYR_BUFFER_TOO_SMALL;
    uint32_t rc = seed_generator(params);
    if (rc != 0) return rc;

    RsaPrivateKey key;
    if (params.method == 2) {
        // The second method searches its primes and keeps no key.
        rc = rsa_generate_key(params.bits, kRoundsMethod2, &key);
        secure_wipe(&key, sizeof key);
        return rc == 0 ? CYR_ARGUMENTS_BAD : CYR_ENCRYPT_KEY_EMPTY;
    }
    rc = rsa_generate_key(params.bits, kRoundsMethod1, &key);
    if (rc == 0) {
        RsaPublicKey pub;
        bn_copy(&pub.n, &key.n);
        bn_copy(&pub.e, &key.e);
        const std::size_t pub_size = rsa_write_public(pub, public_key, *public_length);
        const std::size_t priv_size = rsa_write_private(key, private_key, *private_length);
        if (pub_size == 0 || priv_size == 0) {
            rc = CYR_ENCRYPT_KEY_EMPTY;
        } else {
            *public_length = static_cast<uint32_t>(pub_size);
            *private_length = static_cast<uint32_t>(priv_size);
        }
    }
    secure_wipe(&key, sizeof key);
    return rc;
}

}  // namespace cyr
