// Ed25519: the RFC 8032 vectors both ways, and a table of signatures and
// keys a strict verifier refuses.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tests/toolkit/signature_vectors.h"
#include "tests/toolkit/test_util.h"
#include "toolkit/ed25519.h"

namespace {

using cyrtest::Bytes;
using cyrtest::hex;
using cyrtest::to_hex;

// L, the group order, little-endian.
const char* const kOrder = "edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010";

bool verify(const Bytes& key, const Bytes& message, const Bytes& signature) {
    return cyr::ed25519_verify(key.data(), message.data(), message.size(), signature.data());
}

TEST(Ed25519, RfcVectorsKeySignAndVerify) {
    for (const auto& v : cyrtest::kEd25519Vectors) {
        const Bytes seed = hex(v.seed), message = hex(v.message);
        uint8_t key[32], signature[64];
        cyr::ed25519_public_key(seed.data(), key);
        EXPECT_EQ(to_hex(key, 32), v.public_key) << v.source;
        cyr::ed25519_sign(seed.data(), message.data(), message.size(), signature);
        EXPECT_EQ(to_hex(signature, 64), v.signature) << v.source;
        EXPECT_TRUE(verify(hex(v.public_key), message, hex(v.signature))) << v.source;
        EXPECT_TRUE(cyr::ed25519_public_key_valid(key)) << v.source;
    }
}

// (a + b) for 32-byte little-endian numbers, carry dropped.
Bytes add_le(const Bytes& a, const Bytes& b) {
    Bytes r(32);
    unsigned carry = 0;
    for (int i = 0; i < 32; ++i) {
        carry += unsigned(a[i]) + b[i];
        r[i] = uint8_t(carry);
        carry >>= 8;
    }
    return r;
}

Bytes with_s(const Bytes& signature, const Bytes& s) {
    Bytes r(signature.begin(), signature.begin() + 32);
    r.insert(r.end(), s.begin(), s.end());
    return r;
}

Bytes flipped(Bytes b, std::size_t bit) {
    b[bit / 8] ^= uint8_t(1u << (bit % 8));
    return b;
}

TEST(Ed25519, RejectedSignatures) {
    const auto& v = cyrtest::kEd25519Vectors[3];  // TEST 1024
    const Bytes key = hex(v.public_key), message = hex(v.message), good = hex(v.signature);
    const Bytes s(good.begin() + 32, good.end());
    ASSERT_TRUE(verify(key, message, good));

    struct Case {
        std::string what;
        Bytes key, message, signature;
    };
    std::vector<Case> cases = {
        // S + L satisfies the group equation like S: only the range check refuses it.
        {"S + L", key, message, with_s(good, add_le(s, hex(kOrder)))},
        {"S = L", key, message, with_s(good, hex(kOrder))},
        {"S = 2^256 - 1", key, message, with_s(good, Bytes(32, 0xFF))},
        {"S = 0", key, message, with_s(good, Bytes(32, 0))},
        {"empty message instead", key, Bytes{}, good},
        {"message one byte shorter", key, Bytes(message.begin(), message.end() - 1), good},
        {"message one byte longer", key,
         [&] {
             Bytes m = message;
             m.push_back(0);
             return m;
         }(),
         good},
        {"all zero signature", key, message, Bytes(64, 0)},
    };
    for (std::size_t bit : {0u, 1u, 7u, 100u, 254u, 255u})
        cases.push_back({"R bit " + std::to_string(bit), key, message, flipped(good, bit)});
    for (std::size_t bit : {0u, 8u, 100u, 251u, 252u, 255u})
        cases.push_back({"S bit " + std::to_string(bit), key, message, flipped(good, 256 + bit)});
    for (std::size_t bit : {0u, 9u, 4000u, 8183u})
        cases.push_back({"message bit " + std::to_string(bit), key, flipped(message, bit), good});
    for (std::size_t bit : {0u, 1u, 128u, 254u, 255u})
        cases.push_back({"key bit " + std::to_string(bit), flipped(key, bit), message, good});
    // Each refused point as the public key and as R (with the good S).
    const std::pair<const char*, const char* const*> point_sets[] = {
        {"small-order", cyrtest::kSmallOrderPoints},
        {"non-canonical", cyrtest::kNonCanonicalPoints}};
    const std::size_t set_sizes[] = {std::size(cyrtest::kSmallOrderPoints),
                                     std::size(cyrtest::kNonCanonicalPoints)};
    for (std::size_t k = 0; k < 2; ++k)
        for (std::size_t i = 0; i < set_sizes[k]; ++i) {
            const std::string what =
                std::string(point_sets[k].first) + " " + point_sets[k].second[i];
            const Bytes point = hex(point_sets[k].second[i]);
            cases.push_back({what + " as key", point, message, good});
            Bytes signature = point;
            signature.insert(signature.end(), s.begin(), s.end());
            cases.push_back({what + " as R", key, message, signature});
        }
    for (const auto& c : cases) EXPECT_FALSE(verify(c.key, c.message, c.signature)) << c.what;
}

// With the neutral element as public key, [k]A vanishes and R = [S]B passes
// the group equation for every message: the base point with S = 1 would be
// a universal forgery. Its non-canonical spelling must fail the same way.
TEST(Ed25519, ForgeryUnderTheNeutralKeyIsRefused) {
    const Bytes base = hex("5866666666666666666666666666666666666666666666666666666666666666");
    Bytes forged = base;
    Bytes one(32, 0);
    one[0] = 1;
    forged.insert(forged.end(), one.begin(), one.end());
    for (const char* key : {"0100000000000000000000000000000000000000000000000000000000000000",
                            "eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f"}) {
        EXPECT_FALSE(verify(hex(key), Bytes{'h', 'i'}, forged)) << key;
        EXPECT_FALSE(cyr::ed25519_public_key_valid(hex(key).data())) << key;
    }
}

TEST(Ed25519, KeyValidityTable) {
    for (const char* point : cyrtest::kSmallOrderPoints)
        EXPECT_FALSE(cyr::ed25519_public_key_valid(hex(point).data())) << point;
    for (const char* point : cyrtest::kNonCanonicalPoints)
        EXPECT_FALSE(cyr::ed25519_public_key_valid(hex(point).data())) << point;
    // y = 2 is not on the curve (no square root for x).
    EXPECT_FALSE(cyr::ed25519_public_key_valid(
        hex("0200000000000000000000000000000000000000000000000000000000000000").data()));
    for (const auto& v : cyrtest::kEd25519Vectors)
        EXPECT_TRUE(cyr::ed25519_public_key_valid(hex(v.public_key).data())) << v.source;
}

// A signature made here verifies; the same message under another key, or
// another message under this key, does not.
TEST(Ed25519, SignVerifyRoundTripOverLengths) {
    Bytes seed(32), other_seed(32);
    for (int i = 0; i < 32; ++i) seed[i] = uint8_t(i * 13 + 1), other_seed[i] = uint8_t(i + 200);
    uint8_t key[32], other_key[32];
    cyr::ed25519_public_key(seed.data(), key);
    cyr::ed25519_public_key(other_seed.data(), other_key);
    for (std::size_t n : {0u, 1u, 63u, 64u, 127u, 128u, 129u, 1000u}) {
        Bytes m(n);
        for (std::size_t i = 0; i < n; ++i) m[i] = uint8_t(i ^ 0x5A);
        uint8_t sig[64];
        cyr::ed25519_sign(seed.data(), m.data(), m.size(), sig);
        EXPECT_TRUE(cyr::ed25519_verify(key, m.data(), m.size(), sig)) << n;
        EXPECT_FALSE(cyr::ed25519_verify(other_key, m.data(), m.size(), sig)) << n;
        if (n > 0) {
            m[n / 2] ^= 0x80;
            EXPECT_FALSE(cyr::ed25519_verify(key, m.data(), m.size(), sig)) << n;
        }
    }
}

}  // namespace
