// The SEED block cipher against RFC 4269's vectors, one block and in batches.
#include <gtest/gtest.h>

#include "tests/toolkit/test_util.h"
#include "tests/toolkit/vectors.h"
#include "toolkit/cipher_contexts.h"
#include "toolkit/cyr.h"
#include "toolkit/seed.h"

namespace {

using cyrtest::Bytes;
using cyrtest::hex;
using cyrtest::to_hex;

TEST(SeedBlock, RfcVectorsEncryptAndDecrypt) {
    for (const auto& v : cyrtest::kSeedVectors) {
        Bytes key = hex(v.key), block = hex(v.plain);
        cyr::SeedRoundKeys rk;
        ASSERT_TRUE(cyr::seed_key_schedule(key.data(), key.size(), &rk)) << v.source;
        cyr::seed_encrypt_block(&rk, block.data());
        EXPECT_EQ(block, hex(v.cipher)) << v.source;
        cyr::seed_decrypt_block(&rk, block.data());
        EXPECT_EQ(block, hex(v.plain)) << v.source;
    }
}

// Batches go four blocks at a time with a remainder; every batch size must
// agree with block-at-a-time results, in place and out of place.
TEST(SeedBlock, BatchesAgreeWithSingleBlocks) {
    Bytes key = hex(cyrtest::kSeedVectors[2].key);
    cyr::SeedRoundKeys rk;
    ASSERT_TRUE(cyr::seed_key_schedule(key.data(), key.size(), &rk));
    for (std::size_t blocks = 1; blocks <= 9; ++blocks) {
        Bytes plain(blocks * 16);
        for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = uint8_t(i * 37 + blocks);
        Bytes expected = plain;
        for (std::size_t b = 0; b < blocks; ++b) cyr::seed_encrypt_block(&rk, &expected[16 * b]);
        Bytes out(plain.size());
        cyr::seed_encrypt_blocks(&rk, plain.data(), out.data(), blocks);
        EXPECT_EQ(out, expected) << blocks;
        Bytes inplace = expected;
        cyr::seed_decrypt_blocks(&rk, inplace.data(), inplace.data(), blocks);
        EXPECT_EQ(inplace, plain) << blocks;
    }
}

TEST(SeedBlock, KeyScheduleAcceptsOnlySixteenBytes) {
    Bytes key(32, 7);
    cyr::SeedRoundKeys rk;
    for (std::size_t length : {0u, 8u, 15u, 17u, 32u})
        EXPECT_FALSE(cyr::seed_key_schedule(key.data(), length, &rk)) << length;
    EXPECT_TRUE(cyr::seed_key_schedule(key.data(), 16, &rk));
}

// The context the public-key side builds for its SEED-CBC step must agree
// with the flat interface's mechanism 16 and report the SEED codes.
TEST(SeedBlock, StandaloneContextMatchesTheFlatInterface) {
    Bytes key = hex(cyrtest::kSeedVectors[3].key), plain(20, 0x61), zero_iv(16, 0);
    cyr::SeedContext ctx;
    EXPECT_EQ(cyr::seed_context_init(&ctx, cyr::kModeCbc, cyr::kPadBlock, nullptr, key.data(), 8),
              267u);
    ASSERT_EQ(cyr::seed_context_init(&ctx, cyr::kModeCbc, cyr::kPadBlock, nullptr, key.data(), 16),
              0u);
    Bytes direct(32);
    uint32_t length = 32;
    ASSERT_EQ(cyr::op_encrypt(cyr::seed_call(&ctx), plain.data(), 20, direct.data(), &length), 0u);
    EXPECT_EQ(length, 32u);

    cyrtest::Mechanism m(CYR_MECH_SEED_CBC_PAD, CYR_PARAM_SEED_IV, zero_iv);
    Bytes flat(32);
    cyrtest::Object k(&key), in(&plain), out(&flat);
    ASSERT_EQ(CYR_EncryptInit(m.get(), k.get()), 0u);
    ASSERT_EQ(CYR_Encrypt(m.get(), in.get(), out.get()), 0u);
    EXPECT_EQ(direct, flat);

    // Mechanism 25 without padding reports the SEED length code.
    ASSERT_EQ(cyr::seed_context_init(&ctx, cyr::kModeCbc, cyr::kPadNone, nullptr, key.data(), 16),
              0u);
    EXPECT_EQ(cyr::op_encrypt(cyr::seed_call(&ctx), plain.data(), 20, direct.data(), &length),
              262u);
}

}  // namespace
