// Point multiplication, point octet strings and cofactor Diffie-Hellman on
// the four curves, checked against OpenSSL.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "openssl_ref.h"
#include "pubkey/ec_curves.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<uint32_t> to_words(const Bytes& be) {
    std::vector<uint32_t> w((be.size() + 3) / 4 + 1, 0);
    for (std::size_t i = 0; i < be.size(); ++i) {
        std::size_t bit = 8 * (be.size() - 1 - i);
        w[bit / 32] |= static_cast<uint32_t>(be[i]) << (bit % 32);
    }
    while (!w.empty() && w.back() == 0) w.pop_back();  // length up to the top non-zero word
    if (w.empty()) w.push_back(0);
    return w;
}

Bytes encode(uint32_t curve, const cyr::EcPointBytes& p, uint32_t format = 4) {
    uint8_t out[2 * cyr::kMaxFieldBytes + 1];
    std::size_t n = cyr::ec_encode_point(curve, p, format, out);
    return Bytes(out, out + n);
}

cyr::EcPointBytes decode(uint32_t curve, const Bytes& b) {
    cyr::EcPointBytes p{};
    EXPECT_TRUE(cyr::ec_decode_point(curve, b.data(), b.size(), &p));
    return p;
}

Bytes power_of_two(int bit) {
    Bytes b(bit / 8 + 1, 0);
    b[0] = static_cast<uint8_t>(1u << (bit % 8));
    return b;
}

Bytes add_small(Bytes be, int delta) {
    reftest::Bn b(BN_bin2bn(be.data(), static_cast<int>(be.size()), nullptr));
    if (delta >= 0)
        BN_add_word(b.get(), static_cast<BN_ULONG>(delta));
    else
        BN_sub_word(b.get(), static_cast<BN_ULONG>(-delta));
    Bytes out(BN_num_bytes(b.get()));
    BN_bn2bin(b.get(), out.data());
    return out;
}

class CurveVsOpenSsl : public ::testing::TestWithParam<uint32_t> {
  protected:
    void SetUp() override {
        curve = GetParam();
        group = reftest::group_for(curve);
        ASSERT_TRUE(group);
        L = cyr::ec_field_bytes(curve);
    }

    // The scalars that matter: 0, 1, 2, n-1, n, n+1, powers of two across
    // word boundaries and past the order, and random full-width ones.
    std::vector<Bytes> scalars() const {
        Bytes n = reftest::order_bytes(group.get());
        std::vector<Bytes> out = {Bytes{0},         Bytes{1}, Bytes{2},
                                  add_small(n, -1), n,        add_small(n, 1)};
        int nbits = static_cast<int>(BN_num_bits(EC_GROUP_get0_order(group.get())));
        for (int bit : {1, 31, 32, 33, 63, 64, 95, 96, nbits - 2, nbits - 1, nbits,
                        static_cast<int>(8 * L) - 1})
            out.push_back(power_of_two(bit));
        for (int i = 0; i < 12; ++i) out.push_back(reftest::random_bytes(L));
        return out;
    }

    Bytes random_point_bytes() const {
        return reftest::mul(group.get(), reftest::random_bytes(L), nullptr);
    }

    uint32_t curve = 0;
    reftest::Group group;
    std::size_t L = 0;
};

TEST_P(CurveVsOpenSsl, GeneratorAndOrderAreTheStandardOnes) {
    EXPECT_EQ(encode(curve, cyr::ec_generator(curve)),
              reftest::encode(group.get(), EC_GROUP_get0_generator(group.get()),
                              POINT_CONVERSION_UNCOMPRESSED));
    Bytes n(L + 1);
    ASSERT_TRUE(cyr::bn_to_bytes(&cyr::ec_order(curve), n.data(), n.size()));
    EXPECT_EQ(to_words(n), to_words(reftest::order_bytes(group.get())));
    EXPECT_EQ(EC_GROUP_check(group.get(), nullptr), 1) << "curve record not a valid group";
}

TEST_P(CurveVsOpenSsl, FixedBaseMatches) {
    for (const Bytes& k : scalars()) {
        auto w = to_words(k);
        EXPECT_EQ(encode(curve, cyr::ec_mul_base(curve, w.data(), static_cast<int>(w.size()))),
                  reftest::mul(group.get(), k, nullptr))
            << "k bytes " << k.size() << " first " << int(k[0]);
    }
}

TEST_P(CurveVsOpenSsl, VariableBaseMatches) {
    for (int round = 0; round < 2; ++round) {
        // Round 0 multiplies G itself, round 1 a random point of the subgroup.
        Bytes pb = round == 0 ? encode(curve, cyr::ec_generator(curve)) : random_point_bytes();
        cyr::EcPointBytes p = decode(curve, pb);
        reftest::Point op = reftest::decode(group.get(), pb);
        ASSERT_TRUE(op);
        for (const Bytes& k : scalars()) {
            auto w = to_words(k);
            EXPECT_EQ(
                encode(curve, cyr::ec_mul_point(curve, w.data(), static_cast<int>(w.size()), p)),
                reftest::mul(group.get(), k, op.get()))
                << "round " << round << " k bytes " << k.size() << " first " << int(k[0]);
        }
    }
}

TEST_P(CurveVsOpenSsl, FasterMethodsEqualDoubleAndAdd) {
    cyr::EcPointBytes g = cyr::ec_generator(curve);
    for (int i = 0; i < 3; ++i) {
        auto w = to_words(reftest::random_bytes(L));
        int n = static_cast<int>(w.size());
        cyr::EcPointBytes ref = cyr::ec_mul_reference(curve, w.data(), n, g);
        EXPECT_EQ(encode(curve, cyr::ec_mul_base(curve, w.data(), n)), encode(curve, ref));
        EXPECT_EQ(encode(curve, cyr::ec_mul_point(curve, w.data(), n, g)), encode(curve, ref));
    }
}

TEST_P(CurveVsOpenSsl, PointFormatsMatchAndDecompress) {
    const std::pair<uint32_t, point_conversion_form_t> forms[] = {
        {2, POINT_CONVERSION_COMPRESSED},
        {4, POINT_CONVERSION_UNCOMPRESSED},
        {6, POINT_CONVERSION_HYBRID},
    };
    for (int i = 0; i < 8; ++i) {
        Bytes pb = i == 0 ? encode(curve, cyr::ec_generator(curve)) : random_point_bytes();
        reftest::Point op = reftest::decode(group.get(), pb);
        cyr::EcPointBytes p = decode(curve, pb);
        for (auto [format, form] : forms) {
            Bytes theirs = reftest::encode(group.get(), op.get(), form);
            EXPECT_EQ(encode(curve, p, format), theirs) << "format " << format;
            EXPECT_EQ(encode(curve, decode(curve, theirs)), pb) << "decoding format " << format;
        }
        // The other y~ bit names the negative point.
        Bytes compressed = encode(curve, p, 2);
        compressed[0] ^= 1;
        reftest::Point neg(EC_POINT_dup(op.get(), group.get()));
        EC_POINT_invert(group.get(), neg.get(), nullptr);
        EXPECT_EQ(encode(curve, decode(curve, compressed)),
                  reftest::encode(group.get(), neg.get(), POINT_CONVERSION_UNCOMPRESSED));
    }
}

TEST_P(CurveVsOpenSsl, CofactorDiffieHellmanMatches) {
    for (int i = 0; i < 4; ++i) {
        Bytes d = reftest::random_bytes(L);
        Bytes pb = random_point_bytes();
        reftest::Point op = reftest::decode(group.get(), pb);
        auto w = to_words(d);
        cyr::EcPointBytes twice = cyr::ec_double_point(curve, decode(curve, pb));
        cyr::EcPointBytes r = cyr::ec_mul_point(curve, w.data(), static_cast<int>(w.size()), twice);
        ASSERT_FALSE(r.infinity);
        EXPECT_EQ(Bytes(r.x, r.x + L), reftest::cofactor_dh(group.get(), d, op.get(), L));
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, CurveVsOpenSsl, ::testing::Values(1u, 3u, 4u, 5u),
                         [](const auto& info) { return "curve" + std::to_string(info.param); });

}  // namespace
