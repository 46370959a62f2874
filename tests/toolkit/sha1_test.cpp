// SHA-1 against the FIPS vectors, whole and split at every offset.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/test_util.h"
#include "tests/toolkit/vectors.h"
#include "toolkit/cyr.h"
#include "toolkit/sha1.h"

namespace {

using cyrtest::Bytes;
using cyrtest::message_of;
using cyrtest::to_hex;

TEST(Sha1, FipsVectorsOneShot) {
    for (const auto& v : cyrtest::kSha1Vectors) {
        Bytes m = message_of(v);
        uint8_t out[20];
        cyr::sha1_digest(m.data(), m.size(), out);
        EXPECT_EQ(to_hex(out, 20), v.digest) << v.source;
    }
}

TEST(Sha1, FipsVectorsSplitAtEveryOffset) {
    for (const auto& v : cyrtest::kSha1Vectors) {
        Bytes m = message_of(v);
        if (m.size() > 1000) continue;  // the long one runs in chunks below
        for (std::size_t cut = 0; cut <= m.size(); ++cut) {
            cyr::Sha1Context ctx;
            cyr::sha1_init(&ctx);
            cyr::sha1_update(&ctx, m.data(), cut);
            cyr::sha1_update(&ctx, nullptr, 0);
            cyr::sha1_update(&ctx, m.data() + cut, m.size() - cut);
            uint8_t out[20];
            cyr::sha1_final(&ctx, out);
            EXPECT_EQ(to_hex(out, 20), v.digest) << v.source << " cut at " << cut;
        }
    }
}

// The same vectors through mechanism 19; the interface refuses the empty one.
TEST(Sha1, FipsVectorsThroughTheFlatInterface) {
    for (const auto& v : cyrtest::kSha1Vectors) {
        Bytes m = message_of(v), out(20);
        cyrtest::Mechanism mechanism(CYR_MECH_SHA1);
        cyrtest::Object in(&m), o(&out);
        ASSERT_EQ(CYR_DigestInit(mechanism.get()), 0u);
        uint32_t rc = CYR_Digest(mechanism.get(), in.get(), o.get());
        if (m.empty()) {
            EXPECT_EQ(rc, CYR_INPUT_DATA_EMPTY) << v.source;
            continue;
        }
        ASSERT_EQ(rc, 0u) << v.source;
        EXPECT_EQ(to_hex(out), v.digest) << v.source;
    }
}

TEST(Sha1, MillionAInOddChunks) {
    const auto& v = cyrtest::kSha1Vectors[2];
    Bytes m = message_of(v);
    cyr::Sha1Context ctx;
    cyr::sha1_init(&ctx);
    std::size_t pos = 0, chunk = 1;
    while (pos < m.size()) {
        std::size_t n = std::min(chunk, m.size() - pos);
        cyr::sha1_update(&ctx, m.data() + pos, n);
        pos += n;
        chunk = chunk * 7 % 257 + 1;
    }
    uint8_t out[20];
    cyr::sha1_final(&ctx, out);
    EXPECT_EQ(to_hex(out, 20), v.digest);
}

// The length block: 55 bytes still fit with the padding, 56 need a second block;
// the bit count crosses into the high word past 2^29 bytes (counted, not hashed).
TEST(Sha1, PaddingBoundariesAndCountCarry) {
    struct Case {
        std::size_t length;
        const char* digest;  // of `length` bytes 'a' (values from OpenSSL's sha1)
    };
    const Case cases[] = {
        {55, "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {56, "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {63, "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
        {64, "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
    };
    for (const auto& c : cases) {
        Bytes m(c.length, 'a');
        uint8_t out[20];
        cyr::sha1_digest(m.data(), m.size(), out);
        EXPECT_EQ(to_hex(out, 20), c.digest) << c.length;
    }
    cyr::Sha1Context ctx;
    cyr::sha1_init(&ctx);
    ctx.bit_count_low = 0xFFFFFFF8u;  // as if 2^29 - 1 bytes had gone through
    uint8_t byte = 'a';
    cyr::sha1_update(&ctx, &byte, 1);
    EXPECT_EQ(ctx.bit_count_low, 0u);
    EXPECT_EQ(ctx.bit_count_high, 1u);
}

}  // namespace
