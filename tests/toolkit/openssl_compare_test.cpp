// Agreement with OpenSSL's libcrypto on random keys, vectors and lengths:
// every mode of every cipher and key size, one-shot and (SEED) in random
// update chunkings; SHA-1 through CYR_Digest; the SEED generator's
// construction rebuilt from OpenSSL's SEED.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <random>
#include <string>

#include "tests/toolkit/test_util.h"
#include "toolkit/cyr.h"
#include "toolkit/seed.h"

namespace {

using cyrtest::Bytes;
using cyrtest::Mechanism;
using cyrtest::Object;

// SEED lives in OpenSSL 3's legacy provider.
class OpenSslCompare : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        legacy_ = OSSL_PROVIDER_load(nullptr, "legacy");
        default_ = OSSL_PROVIDER_load(nullptr, "default");
        ASSERT_NE(legacy_, nullptr) << "OpenSSL legacy provider";
        ASSERT_NE(default_, nullptr);
    }
    static void TearDownTestSuite() {
        OSSL_PROVIDER_unload(legacy_);
        OSSL_PROVIDER_unload(default_);
    }
    static OSSL_PROVIDER* legacy_;
    static OSSL_PROVIDER* default_;
};
OSSL_PROVIDER* OpenSslCompare::legacy_ = nullptr;
OSSL_PROVIDER* OpenSslCompare::default_ = nullptr;

Bytes openssl_crypt(const std::string& name, const Bytes& key, const Bytes& iv, const Bytes& in,
                    bool padding, bool encrypt) {
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name.c_str(), nullptr);
    EXPECT_NE(cipher, nullptr) << name;
    if (cipher == nullptr) return {};
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    Bytes out(in.size() + 32);
    int n1 = 0, n2 = 0;
    EXPECT_EQ(EVP_CipherInit_ex2(ctx, cipher, key.data(), iv.empty() ? nullptr : iv.data(),
                                 encrypt ? 1 : 0, nullptr),
              1);
    EVP_CIPHER_CTX_set_padding(ctx, padding ? 1 : 0);
    EXPECT_EQ(EVP_CipherUpdate(ctx, out.data(), &n1, in.data(), int(in.size())), 1) << name;
    EXPECT_EQ(EVP_CipherFinal_ex(ctx, out.data() + n1, &n2), 1) << name;
    out.resize(std::size_t(n1 + n2));
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
    return out;
}

struct ModeCase {
    const char* suffix;        // OpenSSL's mode name
    uint32_t seed, aes, aria;  // our mechanism numbers
    bool padding;
    bool whole_blocks;  // unpadded ECB/CBC
};

const ModeCase kModes[] = {
    {"ECB", CYR_MECH_SEED_ECB, CYR_MECH_AES_ECB, CYR_MECH_ARIA_ECB, false, true},
    {"CBC", CYR_MECH_SEED_CBC, CYR_MECH_AES_CBC, CYR_MECH_ARIA_CBC, false, true},
    {"CBC", CYR_MECH_SEED_CBC_PAD, CYR_MECH_AES_CBC_PAD, CYR_MECH_ARIA_CBC_PAD, true, false},
    {"OFB", CYR_MECH_SEED_OFB, CYR_MECH_AES_OFB, CYR_MECH_ARIA_OFB, false, false},
    {"CFB", CYR_MECH_SEED_CFB, CYR_MECH_AES_CFB, CYR_MECH_ARIA_CFB, false, false},
};

struct CipherCase {
    const char* algorithm;  // "SEED", "AES", "ARIA"
    std::size_t key_bytes;
    uint32_t iv_kind;
};

const CipherCase kCiphers[] = {
    {"SEED", 16, CYR_PARAM_SEED_IV}, {"AES", 16, CYR_PARAM_AES_IV},
    {"AES", 24, CYR_PARAM_AES_IV},   {"AES", 32, CYR_PARAM_AES_IV},
    {"ARIA", 16, CYR_PARAM_ARIA_IV}, {"ARIA", 24, CYR_PARAM_ARIA_IV},
    {"ARIA", 32, CYR_PARAM_ARIA_IV},
};

std::string openssl_name(const CipherCase& c, const ModeCase& m) {
    std::string algorithm = c.algorithm;
    if (algorithm == "SEED") return "SEED-" + std::string(m.suffix);
    return algorithm + "-" + std::to_string(c.key_bytes * 8) + "-" + m.suffix;
}

uint32_t mechanism_of(const CipherCase& c, const ModeCase& m) {
    std::string algorithm = c.algorithm;
    return algorithm == "SEED" ? m.seed : algorithm == "AES" ? m.aes : m.aria;
}

Bytes random_bytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& x : b) x = uint8_t(rng());
    return b;
}

Bytes ours_one_shot(uint32_t number, uint32_t iv_kind, Bytes iv, Bytes key, Bytes input,
                    bool encrypt) {
    Mechanism m(number, iv_kind, iv);
    Object k(&key), in(&input);
    EXPECT_EQ(encrypt ? CYR_EncryptInit(m.get(), k.get()) : CYR_DecryptInit(m.get(), k.get()), 0u);
    Bytes out(input.size() + 16);
    Object o(&out);
    uint32_t rc =
        encrypt ? CYR_Encrypt(m.get(), in.get(), o.get()) : CYR_Decrypt(m.get(), in.get(), o.get());
    EXPECT_EQ(rc, 0u) << number;
    out.resize(rc == 0 ? o.length() : 0);
    return out;
}

// Random chunk sizes, some single bytes, some several blocks.
Bytes ours_chunked(std::mt19937& rng, uint32_t number, Bytes iv, Bytes key, const Bytes& input,
                   bool encrypt, bool whole_blocks) {
    Mechanism m(number, CYR_PARAM_SEED_IV, iv);
    Object k(&key);
    EXPECT_EQ(encrypt ? CYR_EncryptInit(m.get(), k.get()) : CYR_DecryptInit(m.get(), k.get()), 0u);
    Bytes result, buffer(input.size() + 32);
    std::size_t pos = 0;
    while (pos < input.size()) {
        std::size_t n = 1 + rng() % 70;
        if (whole_blocks) n = 16 * (1 + rng() % 4);
        n = std::min(n, input.size() - pos);
        Bytes piece(input.begin() + pos, input.begin() + pos + n);
        Object in(&piece), out(&buffer);
        uint32_t rc = encrypt ? CYR_EncryptUpdate(m.get(), in.get(), out.get())
                              : CYR_DecryptUpdate(m.get(), in.get(), out.get());
        EXPECT_EQ(rc, 0u);
        result.insert(result.end(), buffer.begin(), buffer.begin() + out.length());
        pos += n;
    }
    Object out(&buffer);
    EXPECT_EQ(encrypt ? CYR_EncryptFinal(m.get(), out.get()) : CYR_DecryptFinal(m.get(), out.get()),
              0u);
    result.insert(result.end(), buffer.begin(), buffer.begin() + out.length());
    return result;
}

TEST_F(OpenSslCompare, EveryModeEveryKeySizeOneShot) {
    std::mt19937 rng(20261209);
    for (const CipherCase& c : kCiphers)
        for (const ModeCase& mode : kModes)
            for (int trial = 0; trial < 12; ++trial) {
                const std::string name = openssl_name(c, mode);
                const uint32_t number = mechanism_of(c, mode);
                Bytes key = random_bytes(rng, c.key_bytes), iv = random_bytes(rng, 16);
                std::size_t length = 1 + rng() % 200;
                if (mode.whole_blocks) length = 16 * (1 + rng() % 12);
                Bytes plain = random_bytes(rng, length);
                Bytes ecb_iv = std::string(mode.suffix) == "ECB" ? Bytes{} : iv;

                Bytes expected = openssl_crypt(name, key, ecb_iv, plain, mode.padding, true);
                Bytes ours = ours_one_shot(number, c.iv_kind, iv, key, plain, true);
                ASSERT_EQ(ours, expected)
                    << name << " mechanism " << number << " length " << length;
                EXPECT_EQ(ours_one_shot(number, c.iv_kind, iv, key, expected, false), plain)
                    << name << " decrypt, length " << length;
            }
}

TEST_F(OpenSslCompare, SeedRandomUpdateChunkings) {
    std::mt19937 rng(4269);
    const CipherCase& seed = kCiphers[0];
    for (const ModeCase& mode : kModes)
        for (int trial = 0; trial < 25; ++trial) {
            const std::string name = openssl_name(seed, mode);
            Bytes key = random_bytes(rng, 16), iv = random_bytes(rng, 16);
            std::size_t length = 1 + rng() % 700;
            if (mode.whole_blocks) length = 16 * (1 + rng() % 40);
            Bytes plain = random_bytes(rng, length);
            Bytes ecb_iv = std::string(mode.suffix) == "ECB" ? Bytes{} : iv;
            Bytes expected = openssl_crypt(name, key, ecb_iv, plain, mode.padding, true);
            ASSERT_EQ(ours_chunked(rng, mode.seed, iv, key, plain, true, mode.whole_blocks),
                      expected)
                << name << " length " << length;
            // Decryption chunks need not be whole blocks.
            EXPECT_EQ(ours_chunked(rng, mode.seed, iv, key, expected, false, false), plain)
                << name << " decrypt, length " << length;
        }
}

TEST_F(OpenSslCompare, Sha1ThroughDigestOnRandomLengths) {
    std::mt19937 rng(1801);
    for (int trial = 0; trial < 60; ++trial) {
        std::size_t length = 1 + rng() % 3000;
        if (trial < 10) length = 50 + trial;  // around the one/two-block boundary
        Bytes data = random_bytes(rng, length), out(20);
        unsigned char expected[20];
        unsigned int n = 0;
        ASSERT_EQ(EVP_Digest(data.data(), data.size(), expected, &n, EVP_sha1(), nullptr), 1);
        Mechanism m(CYR_MECH_SHA1);
        Object in(&data), o(&out);
        ASSERT_EQ(CYR_DigestInit(m.get()), 0u);
        ASSERT_EQ(CYR_Digest(m.get(), in.get(), o.get()), 0u);
        EXPECT_EQ(out, Bytes(expected, expected + 20)) << length;
    }
}

// The generator's state V after seeding is the last block of SEED-CBC with
// padding under a zero key and vector; its output blocks are
// R = E_V(B ^ I), B = E_V(R ^ I) with I = E_V(V), B starting at V.
TEST_F(OpenSslCompare, SeedGeneratorConstruction) {
    std::mt19937 rng(22);
    const Bytes zero(16, 0);
    for (std::size_t seed_length : {1u, 15u, 16u, 20u, 33u, 2048u}) {
        Bytes seed = random_bytes(rng, seed_length), extra = random_bytes(rng, 7);
        Bytes mac = openssl_crypt("SEED-CBC", zero, zero, seed, true, true);
        Bytes v(mac.end() - 16, mac.end());
        // A second seeding absorbs V || extra.
        Bytes chained = v;
        chained.insert(chained.end(), extra.begin(), extra.end());
        Bytes mac2 = openssl_crypt("SEED-CBC", zero, zero, chained, true, true);
        Bytes v2(mac2.end() - 16, mac2.end());

        auto expected_output = [&](const Bytes& state, std::size_t n) {
            Bytes i = openssl_crypt("SEED-ECB", state, {}, state, false, true);
            Bytes b = state, out;
            while (out.size() < n) {
                Bytes x(16);
                for (int j = 0; j < 16; ++j) x[j] = b[j] ^ i[j];
                Bytes r = openssl_crypt("SEED-ECB", state, {}, x, false, true);
                for (int j = 0; j < 16; ++j) x[j] = r[j] ^ i[j];
                b = openssl_crypt("SEED-ECB", state, {}, x, false, true);
                out.insert(out.end(), r.begin(), r.end());
            }
            out.resize(n);
            return out;
        };

        for (bool twice : {false, true}) {
            CYR_MECHANISM m{};
            m[0].kind = CYR_MECH_SEED_RNG;
            Object s(&seed), e(&extra);
            EXPECT_EQ(cyr::seed_rng_seed(m, s.get()), 0u);
            if (twice) {
                EXPECT_EQ(cyr::seed_rng_seed(m, e.get()), 0u);
            }
            Bytes out(37);
            Object o(&out);
            EXPECT_EQ(cyr::seed_rng_output(m, o.get()), 0u);
            EXPECT_EQ(m[5].data, nullptr);
            EXPECT_EQ(out, expected_output(twice ? v2 : v, 37))
                << "seed length " << seed_length << (twice ? " seeded twice" : "");
        }
    }
}

}  // namespace
