// Field and curve properties that hold without any reference implementation:
// inverses, squares, the group order, negation, decompression, and the shape
// of the tau-adic recoding.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pubkey/ec_curves.h"
#include "pubkey/gf2m.h"
#include "pubkey/tnaf.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Deterministic test data.
struct XorShift {
    uint64_t s = 0x9E3779B97F4A7C15ull;
    uint64_t next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
};

template <class F>
cyr::Fe<F> random_element(XorShift& rng) {
    cyr::Fe<F> e;
    for (int i = 0; i < F::kWords; ++i) e.w[i] = rng.next();
    e.w[F::kWords - 1] &= (uint64_t{1} << (F::kBits % 64)) - 1;
    return e;
}

template <class F>
class FieldTest : public ::testing::Test {};
using Fields = ::testing::Types<cyr::Field163a, cyr::Field163b, cyr::Field113>;
TYPED_TEST_SUITE(FieldTest, Fields);

TYPED_TEST(FieldTest, SquareInverseAndQuadraticSolutionsAgree) {
    using F = TypeParam;
    XorShift rng;
    for (int i = 0; i < 50; ++i) {
        cyr::Fe<F> a = random_element<F>(rng), sq, prod, inv;
        cyr::fe_sqr<F>(&sq, a);
        cyr::fe_mul<F>(&prod, a, a);
        EXPECT_TRUE(cyr::fe_equal<F>(sq, prod));
        ASSERT_TRUE(cyr::fe_inv<F>(&inv, a));
        cyr::fe_mul<F>(&prod, a, inv);
        EXPECT_TRUE(cyr::fe_is_one<F>(prod));
        // beta = a^2 + a always has a solution, and it is a or a + 1.
        cyr::fe_add<F>(&sq, sq, a);
        cyr::Fe<F> z;
        ASSERT_TRUE(cyr::fe_solve_quadratic<F>(&z, sq));
        z.w[0] ^= (z.w[0] ^ a.w[0]) & 1;
        EXPECT_TRUE(cyr::fe_equal<F>(z, a));
    }
    cyr::Fe<F> zero, out;
    cyr::fe_zero<F>(&zero);
    EXPECT_FALSE(cyr::fe_inv<F>(&out, zero));
}

// The processor's carry-less multiply and the portable one give the same
// double-length products (curves run on the first when it exists).
TEST(FieldProducts, PortableAndProcessorMultipliesAgree) {
#if CYR_GF2M_CLMUL
    if (!cyr::gf2m_detail::clmul_available()) GTEST_SKIP() << "no PCLMULQDQ here";
    XorShift rng;
    for (int i = 0; i < 200; ++i) {
        uint64_t a[3], b[3], c1[6], c2[6];
        for (int j = 0; j < 3; ++j) {
            a[j] = rng.next();
            b[j] = i % 4 == 0 ? ~uint64_t{0} : rng.next();  // all top bits set too
        }
        cyr::gf2m_detail::mul_wide3(a, b, c1);
        cyr::gf2m_detail::mul_wide3_clmul(a, b, c2);
        EXPECT_EQ(0, std::memcmp(c1, c2, sizeof c1)) << i;
        cyr::gf2m_detail::mul_wide2(a, b, c1);
        cyr::gf2m_detail::mul_wide2_clmul(a, b, c2);
        EXPECT_EQ(0, std::memcmp(c1, c2, 4 * sizeof(uint64_t))) << i;
    }
#else
    GTEST_SKIP() << "portable build only";
#endif
}

TYPED_TEST(FieldTest, BytesRefuseBitsAboveTheDegree) {
    using F = TypeParam;
    uint8_t bytes[F::kBytes] = {};
    cyr::Fe<F> e;
    bytes[0] = static_cast<uint8_t>(1u << ((F::kBits - 1) % 8));  // the top valid bit
    EXPECT_TRUE(cyr::fe_from_bytes<F>(&e, bytes));
    bytes[0] <<= 1;
    EXPECT_FALSE(cyr::fe_from_bytes<F>(&e, bytes));
}

class CurveTest : public ::testing::TestWithParam<uint32_t> {
  protected:
    uint32_t curve = GetParam();
    std::size_t L = cyr::ec_field_bytes(GetParam());

    Bytes encode(const cyr::EcPointBytes& p, uint32_t format = 4) const {
        uint8_t out[43];
        return Bytes(out, out + cyr::ec_encode_point(curve, p, format, out));
    }
    std::vector<uint32_t> order_words(int delta) const {
        cyr::BigNum n;
        cyr::bn_copy(&n, &cyr::ec_order(curve));
        if (delta < 0) cyr::bn_sub_word(&n, &n, 1);
        return std::vector<uint32_t>(n.words, n.words + n.length);
    }
};

TEST_P(CurveTest, OrderTimesGeneratorIsInfinityAndOneLessIsMinusG) {
    cyr::EcPointBytes g = cyr::ec_generator(curve);
    ASSERT_TRUE(cyr::ec_point_on_curve(curve, g));
    Bytes minus_g = encode(g);
    for (std::size_t i = 0; i < L; ++i) minus_g[1 + L + i] ^= minus_g[1 + i];  // (x, x + y)
    auto n = order_words(0), n1 = order_words(-1);
    int nw = static_cast<int>(n.size()), n1w = static_cast<int>(n1.size());
    EXPECT_TRUE(cyr::ec_mul_base(curve, n.data(), nw).infinity);
    EXPECT_TRUE(cyr::ec_mul_point(curve, n.data(), nw, g).infinity);
    EXPECT_EQ(encode(cyr::ec_mul_base(curve, n1.data(), n1w)), minus_g);
    EXPECT_EQ(encode(cyr::ec_mul_point(curve, n1.data(), n1w, g)), minus_g);
    uint32_t zero = 0;
    EXPECT_TRUE(cyr::ec_mul_base(curve, &zero, 1).infinity);
    EXPECT_TRUE(cyr::ec_mul_point(curve, &zero, 0, g).infinity);
}

TEST_P(CurveTest, FixedAndVariableBaseAgree) {
    XorShift rng;
    cyr::EcPointBytes g = cyr::ec_generator(curve);
    for (int i = 0; i < 10; ++i) {
        uint32_t k[6];
        for (uint32_t& w : k) w = static_cast<uint32_t>(rng.next());
        int words = 1 + i % 6;
        EXPECT_EQ(encode(cyr::ec_mul_base(curve, k, words)),
                  encode(cyr::ec_mul_point(curve, k, words, g)))
            << "words " << words;
    }
}

TEST_P(CurveTest, DecompressionRecoversGAndMinusG) {
    cyr::EcPointBytes g = cyr::ec_generator(curve), p{};
    Bytes compressed = encode(g, 2);
    ASSERT_EQ(compressed.size(), L + 1);
    ASSERT_TRUE(cyr::ec_decode_point(curve, compressed.data(), compressed.size(), &p));
    EXPECT_EQ(encode(p), encode(g));
    compressed[0] ^= 1;
    ASSERT_TRUE(cyr::ec_decode_point(curve, compressed.data(), compressed.size(), &p));
    Bytes minus_g = encode(g);
    for (std::size_t i = 0; i < L; ++i) minus_g[1 + L + i] ^= minus_g[1 + i];
    EXPECT_EQ(encode(p), minus_g);
}

TEST_P(CurveTest, PointWithXZeroDoublesToInfinity) {
    Bytes compressed(L + 1, 0);
    compressed[0] = 2;
    cyr::EcPointBytes p{};
    ASSERT_TRUE(cyr::ec_decode_point(curve, compressed.data(), compressed.size(), &p));
    EXPECT_TRUE(cyr::ec_point_on_curve(curve, p));
    EXPECT_TRUE(cyr::ec_double_point(curve, p).infinity);
    uint32_t two = 2, three = 3;
    EXPECT_TRUE(cyr::ec_mul_reference(curve, &two, 1, p).infinity);
    EXPECT_EQ(encode(cyr::ec_mul_reference(curve, &three, 1, p)), encode(p));
}

TEST_P(CurveTest, DecodingRefusesShortForeignAndOffCurveStrings) {
    Bytes full = encode(cyr::ec_generator(curve));
    Bytes off_curve = full;
    off_curve[2 * L] ^= 1;
    Bytes high_bits = full;
    high_bits[1] |= 0x80;  // a bit above the field's degree
    struct Case {
        std::string name;
        Bytes bytes;
        bool ok;
    };
    const Case cases[] = {
        {"uncompressed", full, true},
        {"uncompressed one byte short", Bytes(full.begin(), full.end() - 1), false},
        {"compressed one byte short", Bytes(full.begin(), full.begin() + L), false},
        {"only the format byte", Bytes{4}, false},
        {"infinity", Bytes{0}, false},
        {"format 1",
         [&] {
             Bytes b = full;
             b[0] = 1;
             return b;
         }(),
         false},
        {"format 5 reads as uncompressed",
         [&] {
             Bytes b = full;
             b[0] = 5;
             return b;
         }(),
         true},
        {"off the curve", off_curve, false},
        {"not a field element", high_bits, false},
    };
    for (const Case& c : cases) {
        cyr::EcPointBytes p{};
        EXPECT_EQ(cyr::ec_decode_point(curve, c.bytes.data(), c.bytes.size(), &p), c.ok) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, CurveTest, ::testing::Values(1u, 3u, 4u, 5u),
                         [](const auto& info) { return "curve" + std::to_string(info.param); });

void set_decimal(cyr::BigNum* r, const char* dec) {
    bool negative = *dec == '-';
    if (negative) ++dec;
    cyr::bn_zero(r);
    for (; *dec != '\0'; ++dec) {
        cyr::bn_mul_word(r, r, 10);
        cyr::bn_add_word(r, r, static_cast<uint32_t>(*dec - '0'));
    }
    if (negative) r->sign = -1;
}

// sect163k1's constants: delta must have norm n, and the recoding must be a
// genuine width-w NAF (at most one non-zero digit in any w in a row).
TEST(TauAdic, ConstantsHaveNormNAndRecodingIsNonAdjacent) {
    cyr::TauConstants c;
    set_decimal(&c.s0, "2579386439110731650419537");
    set_decimal(&c.s1, "-755360064476226375461594");
    cyr::bn_copy(&c.n, &cyr::ec_order(3));
    c.mu = 1;
    // delta = d0 + d1 tau, d1 = -s1, d0 = s0 + s1; norm = d0^2 + d0 d1 + 2 d1^2.
    cyr::BigNum d0, d1, t, norm;
    cyr::bn_copy(&d1, &c.s1);
    d1.sign = -d1.sign;
    cyr::bn_add(&d0, &c.s0, &c.s1);
    cyr::bn_mul(&norm, &d0, &d0);
    cyr::bn_mul(&t, &d0, &d1);
    cyr::bn_add(&norm, &norm, &t);
    cyr::bn_mul(&t, &d1, &d1);
    cyr::bn_shl(&t, &t, 1);
    cyr::bn_add(&norm, &norm, &t);
    EXPECT_EQ(cyr::bn_cmp(&norm, &c.n), 0);

    XorShift rng;
    for (auto [w, tw] : {std::pair{5, 6}, std::pair{7, 38}}) {
        for (int i = 0; i < 20; ++i) {
            uint32_t words[6];
            for (uint32_t& x : words) x = static_cast<uint32_t>(rng.next());
            words[5] &= 3;
            cyr::BigNum k;
            cyr::bn_from_words(&k, words, 6);
            cyr::TauDigit alphas[32];
            cyr::tnaf_digit_set(w, tw, 1, alphas);
            int8_t digits[200];
            int count = cyr::tnaf_recode(c, k, w, tw, alphas, digits, 200);
            ASSERT_GT(count, 0);
            EXPECT_LE(count, 163 + 4);
            int last = -w;
            for (int j = 0; j < count; ++j) {
                if (digits[j] == 0) continue;
                EXPECT_EQ(digits[j] & 1, 1);
                EXPECT_LT(std::abs(digits[j]), 1 << (w - 1));
                EXPECT_GE(j - last, w) << "digits " << last << " and " << j;
                last = j;
            }
        }
    }
}

}  // namespace
