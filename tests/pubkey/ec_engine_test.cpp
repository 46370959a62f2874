// Elliptic-curve key pairs and encryption through the toolkit's entry points:
// the password-derived key vector, round trips, sizes and status codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pubkey/ec_keys.h"
#include "toolkit_calls.h"

namespace {

using pktest::Bytes;
using pktest::Mechanism;
using pktest::Object;

using pktest::kVectorPrivate;
using pktest::kVectorPublic;

struct KeyPair {
    Bytes pub, priv;
};

KeyPair generate(uint32_t curve, uint32_t format = 4, const Bytes* seed = nullptr,
                 uint32_t method = 1) {
    Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
    mech.u32(CYR_PARAM_CURVE, curve).u32(CYR_PARAM_POINT_FORMAT, format);
    mech.u32(CYR_PARAM_RNG_METHOD, method);
    if (seed != nullptr) mech.bytes(CYR_PARAM_SEED, *seed);
    Object pub(CYR_CLASS_PUBLIC_KEY, 43), priv(CYR_CLASS_PRIVATE_KEY, 21);
    EXPECT_EQ(CYR_GenerateKeyPair(mech.get(), pub.get(), priv.get()), 0u) << "curve " << curve;
    return {pub.value(), priv.value()};
}

// One-shot encryption or decryption with mechanism 11, 25 or 26; `capacity`
// 0 makes a size query.
uint32_t crypt(bool decrypt, uint32_t mechanism, uint32_t curve, const Bytes& key, const Bytes& in,
               Bytes* out, std::size_t capacity = 4096) {
    Mechanism mech(mechanism);
    mech.u32(CYR_PARAM_CURVE, curve);
    Object k(CYR_CLASS_DATA, key), input(CYR_CLASS_DATA, in);
    Object output(CYR_CLASS_DATA, capacity, capacity == 0);
    uint32_t rc =
        decrypt ? CYR_DecryptInit(mech.get(), k.get()) : CYR_EncryptInit(mech.get(), k.get());
    if (rc != 0) return rc;
    rc = decrypt ? CYR_Decrypt(mech.get(), input.get(), output.get())
                 : CYR_Encrypt(mech.get(), input.get(), output.get());
    if (rc == 0) *out = capacity == 0 ? Bytes(output.length()) : output.value();
    return rc;
}

Bytes sample(std::size_t n, uint8_t start = 1) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(start + 7 * i);
    return b;
}

TEST(EcKeyPair, PasswordDerivedPairIsTheFixedVectorOnEveryRun) {
    for (int run = 0; run < 2; ++run) {
        Bytes priv;
        uint32_t rc = 1;
        Bytes pub = pktest::derive_key_pair(pktest::vector_seed(), &priv, &rc);
        ASSERT_EQ(rc, 0u);
        EXPECT_EQ(pub, pktest::from_hex(kVectorPublic));
        EXPECT_EQ(priv, pktest::from_hex(kVectorPrivate));
        EXPECT_LE(priv[0], 0x03);
    }
    // An extra seed input changes the pair.
    Bytes seed = pktest::vector_seed(), extra = {1, 2, 3};
    Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
    mech.u32(CYR_PARAM_CURVE, 3).u32(CYR_PARAM_RNG_METHOD, 2).bytes(CYR_PARAM_SEED, seed);
    mech.bytes(CYR_PARAM_EXTRA_SEED, extra);
    Object pub(CYR_CLASS_PUBLIC_KEY, 43), priv(CYR_CLASS_PRIVATE_KEY, 21);
    ASSERT_EQ(CYR_GenerateKeyPair(mech.get(), pub.get(), priv.get()), 0u);
    EXPECT_NE(pub.value(), pktest::from_hex(kVectorPublic));
}

TEST(EcKeyPair, SizesFormatsAndRefusals) {
    struct Case {
        uint32_t curve, format, method;
        uint32_t status, public_size;
    };
    const Case cases[] = {
        {3, 4, 1, 0, 43},
        {3, 2, 1, 0, 22},
        {3, 6, 1, 0, 43},
        {3, 7, 1, 0, 43},
        {5, 4, 2, 0, 43},
        {5, 2, 1, 0, 22},
        {1, 4, 1, 0, 31},
        {4, 2, 1, 0, 31},
        {2, 4, 1, 16, 0},
        {0, 4, 1, 16, 0},
        {6, 4, 1, 16, 0},
        // The SEED generator's 162-bit scalars do not fit the 113-bit curves.
        {1, 4, 2, 16, 0},
        {4, 4, 2, 16, 0},
    };
    for (const Case& c : cases) {
        std::string name = "curve " + std::to_string(c.curve) + " format " +
                           std::to_string(c.format) + " method " + std::to_string(c.method);
        Bytes seed = pktest::vector_seed();
        for (bool query : {true, false}) {
            Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
            mech.u32(CYR_PARAM_CURVE, c.curve).u32(CYR_PARAM_POINT_FORMAT, c.format);
            mech.u32(CYR_PARAM_RNG_METHOD, c.method).bytes(CYR_PARAM_SEED, seed);
            Object pub(CYR_CLASS_PUBLIC_KEY, 43, query), priv(CYR_CLASS_PRIVATE_KEY, 21, query);
            ASSERT_EQ(CYR_GenerateKeyPair(mech.get(), pub.get(), priv.get()), c.status) << name;
            if (c.status != 0) continue;
            EXPECT_EQ(pub.length(), c.public_size) << name;
            EXPECT_EQ(priv.length(), 21u) << name;
            if (query) continue;
            uint8_t first = pub.buffer[0];
            if (c.format == 2)
                EXPECT_TRUE(first == 2 || first == 3) << name;
            else if (c.format == 6)
                EXPECT_TRUE(first == 6 || first == 7) << name;
            else
                EXPECT_EQ(first, 4) << name;
        }
    }
    // Format 7 writes what format 4 writes.
    Bytes seed = pktest::vector_seed();
    EXPECT_EQ(generate(3, 7, &seed, 2).pub, generate(3, 4, &seed, 2).pub);
}

TEST(EcKeyPair, CapacityAndClassChecks) {
    Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
    mech.u32(CYR_PARAM_CURVE, 3);
    Object small_pub(CYR_CLASS_PUBLIC_KEY, 42), priv(CYR_CLASS_PRIVATE_KEY, 21);
    EXPECT_EQ(CYR_GenerateKeyPair(mech.get(), small_pub.get(), priv.get()), CYR_BUFFER_TOO_SMALL);
    Object pub(CYR_CLASS_PUBLIC_KEY, 43), small_priv(CYR_CLASS_PRIVATE_KEY, 20);
    EXPECT_EQ(CYR_GenerateKeyPair(mech.get(), pub.get(), small_priv.get()), CYR_BUFFER_TOO_SMALL);
    EXPECT_EQ(CYR_GenerateKeyPair(mech.get(), priv.get(), pub.get()), CYR_KEY_TYPE_NOT_SUPPORTED);
    // Mechanism 27 is the large-modulus generator: these buffers are far too
    // small for its default 1024-bit pair.
    Mechanism rsa(27);
    EXPECT_EQ(CYR_GenerateKeyPair(rsa.get(), pub.get(), priv.get()), CYR_BUFFER_TOO_SMALL);
}

TEST(EcKeyPair, UnseededKeysDiffer) {
    for (uint32_t method : {1u, 2u}) {
        EXPECT_NE(generate(3, 4, nullptr, method).priv, generate(3, 4, nullptr, method).priv)
            << "method " << method;
    }
}

class EcCipher : public ::testing::TestWithParam<uint32_t> {};

TEST_P(EcCipher, RoundTripsAndAnotherKeyGivesOtherBytes) {
    const uint32_t curve = GetParam();
    const uint32_t P = curve == 3 || curve == 5 ? 43 : 31;
    KeyPair mine = generate(curve), other = generate(curve);
    struct Case {
        uint32_t mechanism;
        std::size_t plain, cipher_body;
    };
    const Case cases[] = {{CYR_MECH_ECC, 16, 16},
                          {CYR_MECH_ECC, 1, 1},
                          {CYR_MECH_ECC, 45, 45},
                          {CYR_MECH_ECC_SEED_CBC, 32, 32},
                          {CYR_MECH_ECC_SEED_CBC_PAD, 20, 32},
                          {CYR_MECH_ECC_SEED_CBC_PAD, 16, 32}};
    for (const Case& c : cases) {
        std::string name =
            "mechanism " + std::to_string(c.mechanism) + " length " + std::to_string(c.plain);
        Bytes plain = sample(c.plain), cipher, back, wrong, size;
        ASSERT_EQ(crypt(false, c.mechanism, curve, mine.pub, plain, &size, 0), 0u) << name;
        EXPECT_EQ(size.size(), P + c.cipher_body) << name;
        ASSERT_EQ(crypt(false, c.mechanism, curve, mine.pub, plain, &cipher), 0u) << name;
        ASSERT_EQ(cipher.size(), P + c.cipher_body) << name;
        EXPECT_EQ(cipher[0], 4) << name;
        ASSERT_EQ(crypt(true, c.mechanism, curve, mine.priv, cipher, &size, 0), 0u) << name;
        EXPECT_EQ(size.size(), c.cipher_body) << name;
        ASSERT_EQ(crypt(true, c.mechanism, curve, mine.priv, cipher, &back), 0u) << name;
        EXPECT_EQ(back, plain) << name;
        if (c.mechanism == CYR_MECH_ECC) {
            // No integrity check: the wrong key yields other bytes and success.
            ASSERT_EQ(crypt(true, c.mechanism, curve, other.priv, cipher, &wrong), 0u) << name;
            EXPECT_EQ(wrong.size(), plain.size());
            // A single byte matches by chance once in 256 runs.
            if (c.plain >= 16) {
                EXPECT_NE(wrong, plain) << name;
            }
        }
        // Every encryption draws a fresh ephemeral key.
        Bytes again;
        ASSERT_EQ(crypt(false, c.mechanism, curve, mine.pub, plain, &again), 0u);
        EXPECT_NE(Bytes(again.begin(), again.begin() + P),
                  Bytes(cipher.begin(), cipher.begin() + P));
    }
}

TEST_P(EcCipher, ShortCiphertextIsRefusedBeforeTheSizeQuery) {
    const uint32_t curve = GetParam();
    const std::size_t P = curve == 3 || curve == 5 ? 43 : 31;
    KeyPair mine = generate(curve);
    for (uint32_t mechanism : {CYR_MECH_ECC, CYR_MECH_ECC_SEED_CBC, CYR_MECH_ECC_SEED_CBC_PAD}) {
        Bytes cipher, out;
        ASSERT_EQ(crypt(false, mechanism, curve, mine.pub, sample(16), &cipher), 0u);
        Bytes shortened(cipher.begin(), cipher.begin() + P - 1);
        EXPECT_EQ(crypt(true, mechanism, curve, mine.priv, shortened, &out, 0),
                  CYR_BUFFER_TOO_SMALL)
            << "mechanism " << mechanism;
        EXPECT_EQ(crypt(true, mechanism, curve, mine.priv, shortened, &out), CYR_BUFFER_TOO_SMALL);
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, EcCipher, ::testing::Values(1u, 3u, 4u, 5u),
                         [](const auto& info) { return "curve" + std::to_string(info.param); });

TEST(EcCipherStatus, TheCodesOfTheEntryPoints) {
    KeyPair k3 = generate(3);
    Bytes cipher;
    ASSERT_EQ(crypt(false, CYR_MECH_ECC, 3, k3.pub, sample(16), &cipher), 0u);
    ASSERT_EQ(cipher.size(), 59u);
    Bytes not_point = k3.pub, as_five = k3.pub;
    not_point[0] = 0x01;
    as_five[0] = 0x05;
    Bytes zero_first = k3.pub;
    zero_first[0] = 0x00;
    Bytes off_curve = k3.pub;
    off_curve[42] ^= 1;
    Bytes zero_private(21, 0);
    Bytes short_private(k3.priv.begin(), k3.priv.begin() + 20);
    struct Case {
        std::string name;
        bool decrypt;
        uint32_t mechanism, curve;
        Bytes key, in;
        std::size_t capacity;
        uint32_t status;
    };
    const Case cases[] = {
        {"curve 2 encrypt", false, CYR_MECH_ECC, 2, k3.pub, sample(16), 4096, 16},
        {"curve 2 decrypt", true, CYR_MECH_ECC, 2, k3.priv, cipher, 4096, 16},
        {"empty input", false, CYR_MECH_ECC, 3, k3.pub, Bytes{}, 4096, CYR_INPUT_DATA_EMPTY},
        {"output one byte short", false, CYR_MECH_ECC, 3, k3.pub, sample(16), 58,
         CYR_BUFFER_TOO_SMALL},
        {"decrypt output short", true, CYR_MECH_ECC, 3, k3.priv, cipher, 15, CYR_BUFFER_TOO_SMALL},
        {"peer first byte 01", false, CYR_MECH_ECC, 3, not_point, sample(16), 4096, 25},
        {"peer first byte 00", false, CYR_MECH_ECC, 3, zero_first, sample(16), 4096, 25},
        {"peer first byte 05", false, CYR_MECH_ECC, 3, as_five, sample(16), 4096, 0},
        {"peer off the curve", false, CYR_MECH_ECC, 3, off_curve, sample(16), 4096, 25},
        {"peer shorter than its format", false, CYR_MECH_ECC, 3,
         Bytes(k3.pub.begin(), k3.pub.begin() + 42), sample(16), 4096, 25},
        {"private key zero", true, CYR_MECH_ECC, 3, zero_private, cipher, 4096, 25},
        {"private key of 20 bytes", true, CYR_MECH_ECC, 3, short_private, cipher, 4096, 23},
        {"25 with 20 bytes", false, CYR_MECH_ECC_SEED_CBC, 3, k3.pub, sample(20), 4096,
         CYR_SEED_PADDING_ERROR},
        {"26 with 20 bytes", false, CYR_MECH_ECC_SEED_CBC_PAD, 3, k3.pub, sample(20), 4096, 0},
        {"26 decrypt of a partial block", true, CYR_MECH_ECC_SEED_CBC_PAD, 3, k3.priv,
         Bytes(cipher.begin(), cipher.begin() + 50), 4096, CYR_SEED_DECRYPT_FINAL_FAILED},
        {"25 decrypt of a partial block", true, CYR_MECH_ECC_SEED_CBC, 3, k3.priv,
         Bytes(cipher.begin(), cipher.begin() + 50), 4096, CYR_SEED_PADDING_ERROR},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_EQ(crypt(c.decrypt, c.mechanism, c.curve, c.key, c.in, &out, c.capacity), c.status)
            << c.name;
    }
}

TEST(EcCipherStatus, InputLengthsThatWouldWrapTheOutputSizeAreRefused) {
    KeyPair k3 = generate(3);
    for (uint32_t mechanism : {CYR_MECH_ECC, CYR_MECH_ECC_SEED_CBC_PAD}) {
        for (uint32_t length : {UINT32_MAX, UINT32_MAX - 43, UINT32_MAX - 58}) {
            Mechanism mech(mechanism);
            mech.u32(CYR_PARAM_CURVE, 3);
            Object key(CYR_CLASS_DATA, k3.pub), in(CYR_CLASS_DATA, sample(16)),
                out(CYR_CLASS_DATA, 64);
            in.o[1].length = length;  // far more than the buffer holds: must not be read
            ASSERT_EQ(CYR_EncryptInit(mech.get(), key.get()), 0u);
            EXPECT_EQ(CYR_Encrypt(mech.get(), in.get(), out.get()), CYR_INPUT_DATALENGTH_INVALID)
                << mechanism << " " << length;
        }
    }
}

TEST(EcCipherStatus, InitChecksTheKeyAndTheContextLivesUntilTheOperation) {
    Mechanism mech(CYR_MECH_ECC);
    mech.u32(CYR_PARAM_CURVE, 3);
    Object key43(CYR_CLASS_DATA, generate(3).pub), key44(CYR_CLASS_DATA, sample(44));
    EXPECT_EQ(CYR_EncryptInit(mech.get(), key44.get()), 23u);
    Object no_data(CYR_CLASS_DATA, 43, true);
    EXPECT_EQ(CYR_EncryptInit(mech.get(), no_data.get()), CYR_INPUT_DATA_EMPTY);
    key43.o[1].kind = 2;
    EXPECT_EQ(CYR_EncryptInit(mech.get(), key43.get()), CYR_KEY_TYPE_NOT_SUPPORTED);
    key43.o[1].kind = CYR_VALUE;
    ASSERT_EQ(CYR_EncryptInit(mech.get(), key43.get()), 0u);
    // A size query keeps the context, the operation releases it.
    Object in(CYR_CLASS_DATA, sample(16)), query(CYR_CLASS_DATA, 0, true), out(CYR_CLASS_DATA, 59);
    ASSERT_EQ(CYR_Encrypt(mech.get(), in.get(), query.get()), 0u);
    EXPECT_EQ(query.length(), 59u);
    ASSERT_EQ(CYR_Encrypt(mech.get(), in.get(), out.get()), 0u);
    EXPECT_EQ(out.length(), 59u);
    EXPECT_EQ(CYR_Encrypt(mech.get(), in.get(), out.get()), CYR_ARGUMENTS_BAD);

    // A stored key of length 0.
    Object empty_key(CYR_CLASS_DATA, 43);
    empty_key.o[1].length = 0;
    ASSERT_EQ(CYR_EncryptInit(mech.get(), empty_key.get()), 0u);
    EXPECT_EQ(CYR_Encrypt(mech.get(), in.get(), out.get()), CYR_ENCRYPT_KEY_EMPTY);
}

TEST(SharedSecret, StatusCodes) {
    KeyPair k = generate(3);
    uint8_t out[21];
    struct Case {
        std::string name;
        uint32_t curve;
        const uint8_t* own;
        uint32_t own_length;
        const uint8_t* peer;
        uint32_t peer_length;
        uint32_t requested;
        uint32_t status;
    };
    const Case cases[] = {
        {"own null", 3, nullptr, 21, k.pub.data(), 43, 21, 19},
        {"own empty", 3, k.priv.data(), 0, k.pub.data(), 43, 21, 19},
        {"peer null", 3, k.priv.data(), 21, nullptr, 43, 21, 20},
        {"curve 2", 2, k.priv.data(), 21, k.pub.data(), 43, 21, 16},
        {"own short", 3, k.priv.data(), 20, k.pub.data(), 43, 21, 23},
        {"length 0", 3, k.priv.data(), 21, k.pub.data(), 43, 0, 21},
        {"length 22", 3, k.priv.data(), 21, k.pub.data(), 43, 22, 21},
        {"length 1", 3, k.priv.data(), 21, k.pub.data(), 43, 1, 0},
        {"full length", 3, k.priv.data(), 21, k.pub.data(), 43, 21, 0},
    };
    for (const Case& c : cases) {
        uint32_t length = c.requested;
        EXPECT_EQ(cyr::ec_shared_secret(c.curve, c.own, c.own_length, c.peer, c.peer_length, out,
                                        &length),
                  c.status)
            << c.name;
    }
    uint32_t length = 0;
    ASSERT_EQ(cyr::ec_shared_secret(3, k.priv.data(), 21, k.pub.data(), 43, nullptr, &length), 0u);
    EXPECT_EQ(length, 21u);
}

}  // namespace

namespace {

// Mechanisms 25 and 26 are SEED-CBC under the first 16 bytes of Z (Z and a
// zero byte on the 113-bit curves) with a zero vector: the toolkit's own
// SEED mechanisms 15 and 16 must read their bodies.
TEST(EcSeedCipher, BodyIsSeedCbcUnderTheSharedSecret) {
    for (uint32_t curve : {1u, 3u, 4u, 5u}) {
        const uint32_t P = curve == 3 || curve == 5 ? 43 : 31;
        KeyPair mine = generate(curve);
        for (uint32_t mechanism : {CYR_MECH_ECC_SEED_CBC, CYR_MECH_ECC_SEED_CBC_PAD}) {
            Bytes plain = sample(mechanism == CYR_MECH_ECC_SEED_CBC ? 48 : 37), cipher;
            ASSERT_EQ(crypt(false, mechanism, curve, mine.pub, plain, &cipher), 0u);
            uint8_t z[21];
            uint32_t z_length = P == 43 ? 21 : 15;
            ASSERT_EQ(
                cyr::ec_shared_secret(curve, mine.priv.data(), 21, cipher.data(), P, z, &z_length),
                0u);
            Bytes key(16, 0);
            std::copy(z, z + (z_length < 16 ? z_length : 16), key.begin());
            Mechanism seed(mechanism == CYR_MECH_ECC_SEED_CBC ? CYR_MECH_SEED_CBC
                                                              : CYR_MECH_SEED_CBC_PAD);
            Bytes iv(16, 0);
            seed.bytes(CYR_PARAM_SEED_IV, iv);
            Object k(CYR_CLASS_DATA, key),
                body(CYR_CLASS_DATA, Bytes(cipher.begin() + P, cipher.end())),
                out(CYR_CLASS_DATA, cipher.size());
            ASSERT_EQ(CYR_DecryptInit(seed.get(), k.get()), 0u);
            ASSERT_EQ(CYR_Decrypt(seed.get(), body.get(), out.get()), 0u) << "curve " << curve;
            EXPECT_EQ(out.value(), plain) << "curve " << curve << " mechanism " << mechanism;
        }
    }
}

}  // namespace
