// The SEED generator of mechanism 22: what is absorbed, what the output step
// reports and that it releases the record.
#include <gtest/gtest.h>

#include "tests/toolkit/test_util.h"
#include "toolkit/cyr.h"
#include "toolkit/seed.h"

namespace {

using cyrtest::Bytes;
using cyrtest::Object;

// Seeds a fresh record with each given object (null: no object), then draws n.
Bytes draw(std::vector<CYR_SLOT*> seeds, std::size_t n, uint32_t* rc = nullptr) {
    CYR_MECHANISM m{};
    m[0].kind = CYR_MECH_SEED_RNG;
    for (CYR_SLOT* s : seeds) EXPECT_EQ(cyr::seed_rng_seed(m, s), 0u);
    Bytes out(n);
    Object o(&out);
    uint32_t status = cyr::seed_rng_output(m, o.get());
    if (rc) *rc = status;
    for (int i = 5; i < 8; ++i) EXPECT_EQ(m[i].data, nullptr);
    return out;
}

TEST(SeedGenerator, WhatIsAbsorbed) {
    Bytes seed(20, 0x5A), huge(2049, 0x5A), edge(2048, 0x5A);
    Object s(&seed), h(&huge), e(&edge), wrong_kind(&seed);
    wrong_kind.slots[1].kind = 2;
    const Bytes unseeded = draw({}, 32);
    struct Case {
        const char* name;
        std::vector<CYR_SLOT*> seeds;
        bool same_as_unseeded;
    };
    const Case cases[] = {
        {"no seed object", {nullptr}, true},  {"value kind not 1", {wrong_kind.get()}, true},
        {"over 2048 bytes", {h.get()}, true}, {"2048 bytes", {e.get()}, false},
        {"20 bytes", {s.get()}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(draw(c.seeds, 32) == unseeded, c.same_as_unseeded) << c.name;
    // Seeding again chains the state: not the same as seeding once.
    EXPECT_NE(draw({s.get(), s.get()}, 32), draw({s.get()}, 32));
    EXPECT_EQ(draw({s.get(), h.get()}, 32), draw({s.get()}, 32));
}

TEST(SeedGenerator, OutputDependsOnlyOnTheState) {
    Bytes seed(20, 0x33);
    Object s(&seed);
    const Bytes twenty = draw({s.get()}, 20);
    const Bytes sixteen = draw({s.get()}, 16);
    const Bytes forty = draw({s.get()}, 40);
    EXPECT_EQ(Bytes(twenty.begin(), twenty.begin() + 16), sixteen);
    EXPECT_EQ(Bytes(forty.begin(), forty.begin() + 20), twenty);
    EXPECT_NE(Bytes(forty.begin(), forty.begin() + 16),
              Bytes(forty.begin() + 16, forty.begin() + 32));
}

TEST(SeedGenerator, OutputLengthZeroRefusedAndReleases) {
    CYR_MECHANISM m{};
    m[0].kind = CYR_MECH_SEED_RNG;
    ASSERT_EQ(cyr::seed_rng_seed(m, nullptr), 0u);
    ASSERT_NE(m[5].data, nullptr);
    EXPECT_EQ(m[5].kind, CYR_CTX_SEED_RNG);
    Bytes none;
    Object o(&none);
    EXPECT_EQ(cyr::seed_rng_output(m, o.get()), CYR_RADNOM_LENGTH_INVAILD);
    EXPECT_EQ(m[5].data, nullptr);
}

}  // namespace
