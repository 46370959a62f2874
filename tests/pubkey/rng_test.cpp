// The SHA-1 generator: mechanism 49, draws below a bound, and freshness
// across processes and after caller-seeded draws.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "pubkey/bignum.h"
#include "pubkey/ec_curves.h"
#include "pubkey/sha1_rng.h"
#include "toolkit_calls.h"

namespace {

using pktest::Bytes;

Bytes random_bytes(uint32_t n) {
    pktest::Mechanism mech(CYR_MECH_RANDOM);
    pktest::Object out(CYR_CLASS_SECRET, n);
    EXPECT_EQ(CYR_GenerateRandom(mech.get(), out.get()), 0u);
    EXPECT_EQ(out.length(), n);
    return out.value();
}

// The directory of this test executable, where the helper is built.
std::string own_directory() {
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
#else
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    std::string s(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return s.substr(0, s.find_last_of('/') + 1);
#endif
}

std::string run_helper() {
#ifdef _WIN32
    std::string command = "\"";
    command += own_directory();
    command += "pubkey_rng_helper.exe\"";
    FILE* f = _popen(command.c_str(), "r");
#else
    std::string command = "'";
    command += own_directory();
    command += "pubkey_rng_helper'";
    FILE* f = popen(command.c_str(), "r");
#endif
    if (f == nullptr) return "";
    char line[128] = {};
    std::string out = std::fgets(line, sizeof line, f) != nullptr ? line : "";
#ifdef _WIN32
    _pclose(f);
#else
    pclose(f);
#endif
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

TEST(RandomBytes, TwoFreshProcessesGiveDifferentBytes) {
    std::string first = run_helper(), second = run_helper();
    ASSERT_EQ(first.size(), 32u) << "helper output '" << first << "'";
    ASSERT_EQ(second.size(), 32u);
    EXPECT_NE(first, second);
}

TEST(RandomBytes, EveryLengthIsFilledAndCallsDiffer) {
    for (uint32_t n : {1u, 16u, 20u, 21u, 41u}) {
        Bytes a = random_bytes(n), b = random_bytes(n);
        // Two one-byte draws match once in 256 runs; from 16 bytes on a
        // match means a stuck generator.
        if (n >= 16) {
            EXPECT_NE(a, b) << n;
        }
    }
    // The generator's output is not stuck at zero bytes anywhere in a block.
    Bytes big = random_bytes(400);
    for (std::size_t off = 0; off < 400; off += 20)
        EXPECT_NE(Bytes(big.begin() + off, big.begin() + off + 20), Bytes(20, 0)) << off;
}

TEST(RandomBytes, EntryPointRefusals) {
    struct Case {
        uint32_t mechanism;
        bool null_data;
        uint32_t length;
        uint32_t status;
    };
    const Case cases[] = {
        {CYR_MECH_RANDOM, true, 16, CYR_INPUT_DATA_EMPTY},
        {CYR_MECH_RANDOM, false, 0, CYR_INPUT_DATALENGTH_INVALID},
        {CYR_MECH_SHA1, false, 16, CYR_CTX_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        pktest::Mechanism mech(c.mechanism);
        pktest::Object out(CYR_CLASS_SECRET, 16, c.null_data);
        out.o[1].length = c.length;
        EXPECT_EQ(CYR_GenerateRandom(mech.get(), out.get()), c.status) << c.mechanism;
    }
}

TEST(RandomBytes, ACallerSeededDrawDoesNotMakeLaterBytesPredictable) {
    const Bytes seed = pktest::vector_seed();
    cyr::BigNum r;
    ASSERT_TRUE(cyr::rng_draw_below(seed.data(), seed.size(), nullptr, 0, cyr::ec_order(3), &r));
    Bytes first = random_bytes(16);
    ASSERT_TRUE(cyr::rng_draw_below(seed.data(), seed.size(), nullptr, 0, cyr::ec_order(3), &r));
    EXPECT_NE(random_bytes(16), first);
}

TEST(DrawBelow, SeededDrawsRepeatAndStayInRange) {
    struct Case {
        const char* name;
        cyr::BigNum q;
    };
    cyr::BigNum two, three;
    cyr::bn_set_word(&two, 2);
    cyr::bn_set_word(&three, 3);
    const Case cases[] = {
        {"q = 2", two},
        {"q = 3", three},
        {"curve 3 order", cyr::ec_order(3)},
        {"curve 1 order", cyr::ec_order(1)},
        {"curve 4 order", cyr::ec_order(4)},
    };
    for (const Case& c : cases) {
        std::set<std::string> seen;
        for (uint8_t s = 0; s < 24; ++s) {
            Bytes seed(20, s), extra = {s, 1};
            cyr::BigNum r1, r2;
            ASSERT_TRUE(cyr::rng_draw_below(seed.data(), seed.size(), extra.data(), extra.size(),
                                            c.q, &r1));
            ASSERT_TRUE(cyr::rng_draw_below(seed.data(), seed.size(), extra.data(), extra.size(),
                                            c.q, &r2));
            EXPECT_EQ(cyr::bn_cmp(&r1, &r2), 0) << c.name;
            EXPECT_FALSE(cyr::bn_is_zero(&r1)) << c.name;
            EXPECT_LT(cyr::bn_cmp(&r1, &c.q), 0) << c.name;
            Bytes b(32);
            cyr::bn_to_bytes(&r1, b.data(), b.size());
            seen.insert(std::string(b.begin(), b.end()));
        }
        // q = 2 has the single value 1; otherwise the seeds spread.
        if (cyr::bn_bits(&c.q) == 2 && c.q.words[0] == 2)
            EXPECT_EQ(seen.size(), 1u);
        else
            EXPECT_GE(seen.size(), 2u) << c.name;
    }
}

TEST(DrawBelow, UnseededDrawsDiffer) {
    cyr::BigNum a, b;
    ASSERT_TRUE(cyr::rng_draw_below(nullptr, 0, nullptr, 0, cyr::ec_order(3), &a));
    ASSERT_TRUE(cyr::rng_draw_below(nullptr, 0, nullptr, 0, cyr::ec_order(3), &b));
    EXPECT_NE(cyr::bn_cmp(&a, &b), 0);
}

}  // namespace
