// SHA-512 and Ed25519 against OpenSSL's libcrypto on random inputs: digests
// of random lengths fed in random pieces, keys and signatures of random
// seeds and messages, and a signature that only a verifier without the
// small-order check on R would take.
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/sha.h>

#include <random>

#include "tests/toolkit/signature_vectors.h"
#include "tests/toolkit/test_util.h"
#include "toolkit/ed25519.h"
#include "toolkit/sha512.h"

namespace {

using cyrtest::Bytes;
using cyrtest::hex;
using cyrtest::to_hex;

// Holds OpenSSL's default provider for these suites: another suite in the
// same program unloads the providers it loaded.
class SignatureOpenssl : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { provider_ = OSSL_PROVIDER_load(nullptr, "default"); }
    static void TearDownTestSuite() { OSSL_PROVIDER_unload(provider_); }
    void SetUp() override { ASSERT_NE(provider_, nullptr); }
    static OSSL_PROVIDER* provider_;
};
OSSL_PROVIDER* SignatureOpenssl::provider_ = nullptr;

Bytes random_bytes(std::mt19937& gen, std::size_t n) {
    Bytes b(n);
    for (auto& c : b) c = uint8_t(gen());
    return b;
}

Bytes openssl_sha512(const Bytes& m) {
    Bytes out(64);
    SHA512(m.data(), m.size(), out.data());
    return out;
}

TEST_F(SignatureOpenssl, Sha512RandomLengthsInRandomPieces) {
    std::mt19937 gen(20261210);
    for (int round = 0; round < 300; ++round) {
        const std::size_t n = round < 260 ? std::size_t(round) : gen() % 70000;
        const Bytes m = random_bytes(gen, n);
        cyr::Sha512Context ctx;
        cyr::sha512_init(&ctx);
        for (std::size_t at = 0; at < n;) {
            const std::size_t piece = std::min<std::size_t>(n - at, gen() % 300);
            cyr::sha512_update(&ctx, m.data() + at, piece);
            at += piece;
        }
        uint8_t out[64];
        cyr::sha512_final(&ctx, out);
        EXPECT_EQ(to_hex(out, 64), to_hex(openssl_sha512(m))) << "length " << n;
    }
}

struct PKey {
    EVP_PKEY* key;
    ~PKey() { EVP_PKEY_free(key); }
};

TEST_F(SignatureOpenssl, Ed25519RandomSeedsAndMessages) {
    std::mt19937 gen(8032);
    for (int round = 0; round < 64; ++round) {
        const Bytes seed = random_bytes(gen, 32);
        const Bytes message = random_bytes(gen, gen() % 2000);
        PKey reference{EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), 32)};
        ASSERT_NE(reference.key, nullptr);
        Bytes expected_key(32);
        std::size_t key_length = 32;
        ASSERT_EQ(EVP_PKEY_get_raw_public_key(reference.key, expected_key.data(), &key_length), 1);

        EVP_MD_CTX* md = EVP_MD_CTX_new();
        Bytes expected_sig(64);
        std::size_t sig_length = 64;
        ASSERT_EQ(EVP_DigestSignInit(md, nullptr, nullptr, nullptr, reference.key), 1);
        ASSERT_EQ(
            EVP_DigestSign(md, expected_sig.data(), &sig_length, message.data(), message.size()),
            1);
        EVP_MD_CTX_free(md);

        uint8_t key[32], sig[64];
        cyr::ed25519_public_key(seed.data(), key);
        cyr::ed25519_sign(seed.data(), message.data(), message.size(), sig);
        EXPECT_EQ(to_hex(key, 32), to_hex(expected_key)) << round;
        EXPECT_EQ(to_hex(sig, 64), to_hex(expected_sig)) << round;
        EXPECT_TRUE(cyr::ed25519_verify(expected_key.data(), message.data(), message.size(),
                                        expected_sig.data()))
            << round;
    }
}

// With the secret scalar a known, S = k * a mod L and R = neutral satisfy
// [S]B = R + [k]A. A verifier that lets a small-order R through takes it.
TEST_F(SignatureOpenssl, Ed25519NeutralRWithMatchingSIsRefused) {
    const auto& v = cyrtest::kEd25519Vectors[1];
    const Bytes seed = hex(v.seed), key = hex(v.public_key), message = hex(v.message);
    Bytes expanded = openssl_sha512(seed);
    expanded[0] &= 248;
    expanded[31] &= 127;
    expanded[31] |= 64;
    const Bytes neutral = hex(cyrtest::kSmallOrderPoints[0]);
    Bytes input = neutral;
    input.insert(input.end(), key.begin(), key.end());
    input.insert(input.end(), message.begin(), message.end());
    Bytes k_digest = openssl_sha512(input);

    BN_CTX* ctx = BN_CTX_new();
    BIGNUM* a = BN_lebin2bn(expanded.data(), 32, nullptr);
    BIGNUM* k = BN_lebin2bn(k_digest.data(), 64, nullptr);
    BIGNUM* order =
        BN_lebin2bn(hex("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010").data(),
                    32, nullptr);
    BIGNUM* s = BN_new();
    ASSERT_EQ(BN_mod_mul(s, k, a, order, ctx), 1);
    Bytes signature = neutral;
    Bytes s_bytes(32);
    ASSERT_EQ(BN_bn2lebinpad(s, s_bytes.data(), 32), 32);
    signature.insert(signature.end(), s_bytes.begin(), s_bytes.end());
    BN_free(a);
    BN_free(k);
    BN_free(order);
    BN_free(s);
    BN_CTX_free(ctx);

    EXPECT_FALSE(cyr::ed25519_verify(key.data(), message.data(), message.size(), signature.data()));
}

}  // namespace
