#include "platform/random.h"

#include <gtest/gtest.h>

namespace {

// The runtime library's sequences; the same on every platform so that a
// seed names the same file names everywhere.
TEST(CRand, KnownSequences) {
    struct Case {
        unsigned seed;
        int expected[5];
    };
    const Case cases[] = {
        {1, {41, 18467, 6334, 26500, 19169}},
        {0, {38, 7719, 21238, 2437, 8855}},
    };
    for (const auto& c : cases) {
        platform::c_srand(c.seed);
        for (int v : c.expected) EXPECT_EQ(platform::c_rand(), v) << "seed " << c.seed;
    }
}

TEST(CRand, StaysWithinRange) {
    platform::c_srand(0x5B8D8000u);
    for (int i = 0; i < 100000; ++i) {
        int r = platform::c_rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, platform::kCRandMax);
    }
}

}  // namespace
