// The SEED block cipher against RFC 4269's vectors, one block and in batches.
#include <gtest/gtest.h>

#include "tests/toolkit/test_util.h"
#include "tests/toolkit/vectors.h"
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

}  // namespace
