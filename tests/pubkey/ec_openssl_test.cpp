// Point multiplication, point octet strings and cofactor Diffie-Hellman on
// the four curves, checked against OpenSSL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "openssl_ref.h"
#include "pubkey/ec_curves.h"
#include "pubkey/ec_keys.h"
#include "pubkey/sha1_rng.h"
#include "toolkit_calls.h"

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

// A key pair from the toolkit's own generation (method 1).
std::pair<Bytes, Bytes> toolkit_key_pair(uint32_t curve) {
    pktest::Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
    mech.u32(CYR_PARAM_CURVE, curve);
    pktest::Object pub(CYR_CLASS_PUBLIC_KEY, 43), priv(CYR_CLASS_PRIVATE_KEY, 21);
    EXPECT_EQ(CYR_GenerateKeyPair(mech.get(), pub.get(), priv.get()), 0u);
    return {pub.value(), priv.value()};
}

TEST_P(CurveVsOpenSsl, GeneratedPublicKeyIsDTimesGAndSecretIsCofactorDh) {
    for (int i = 0; i < 3; ++i) {
        auto [pub, priv] = toolkit_key_pair(curve);
        auto [peer_pub, peer_priv] = toolkit_key_pair(curve);
        Bytes d(priv.begin(), priv.begin() + L);
        EXPECT_EQ(Bytes(pub.begin(), pub.begin() + 2 * L + 1),
                  reftest::mul(group.get(), d, nullptr));
        uint8_t z[21];
        uint32_t length = static_cast<uint32_t>(L);
        ASSERT_EQ(cyr::ec_shared_secret(curve, priv.data(), 21, peer_pub.data(),
                                        static_cast<uint32_t>(peer_pub.size()), z, &length),
                  0u);
        reftest::Point peer =
            reftest::decode(group.get(), Bytes(peer_pub.begin(), peer_pub.begin() + 2 * L + 1));
        EXPECT_EQ(Bytes(z, z + L), reftest::cofactor_dh(group.get(), d, peer.get(), L));
    }
}

// A mechanism-11 ciphertext built with OpenSSL alone: E = e*G, Z = cofactor
// DH, key stream SHA-1(Z[0..k-1] || counter). The toolkit must read it back.
TEST_P(CurveVsOpenSsl, Mechanism11ReadsACiphertextBuiltByOpenSsl) {
    auto [pub, priv] = toolkit_key_pair(curve);
    reftest::Point recipient =
        reftest::decode(group.get(), Bytes(pub.begin(), pub.begin() + 2 * L + 1));
    Bytes e = reftest::random_bytes(L - 1);
    Bytes cipher = reftest::mul(group.get(), e, nullptr);
    Bytes z = reftest::cofactor_dh(group.get(), e, recipient.get(), L);
    ASSERT_EQ(z.size(), L);
    const std::size_t prefix = L == 21 ? 6 : 4;
    Bytes plain(45);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 13 + 5);
    for (std::size_t off = 0; off < plain.size(); off += 20) {
        Bytes block(z.begin(), z.begin() + prefix);
        uint32_t counter = static_cast<uint32_t>(off / 20);
        for (int s = 24; s >= 0; s -= 8) block.push_back(static_cast<uint8_t>(counter >> s));
        uint8_t digest[20];
        SHA1(block.data(), block.size(), digest);
        for (std::size_t j = 0; j < 20 && off + j < plain.size(); ++j)
            cipher.push_back(plain[off + j] ^ digest[j]);
    }
    pktest::Mechanism mech(CYR_MECH_ECC);
    mech.u32(CYR_PARAM_CURVE, curve);
    pktest::Object key(CYR_CLASS_PRIVATE_KEY, priv), in(CYR_CLASS_DATA, cipher),
        out(CYR_CLASS_DATA, 64);
    ASSERT_EQ(CYR_DecryptInit(mech.get(), key.get()), 0u);
    ASSERT_EQ(CYR_Decrypt(mech.get(), in.get(), out.get()), 0u);
    EXPECT_EQ(out.value(), plain);
}

INSTANTIATE_TEST_SUITE_P(Curves, CurveVsOpenSsl, ::testing::Values(1u, 3u, 4u, 5u),
                         [](const auto& info) { return "curve" + std::to_string(info.param); });

TEST(PasswordDerivedKey, VectorPublicKeyIsOpenSslsDTimesG) {
    reftest::Group g = reftest::group_for(3);
    Bytes d = pktest::from_hex(pktest::kVectorPrivate);
    EXPECT_EQ(reftest::mul(g.get(), d, nullptr), pktest::from_hex(pktest::kVectorPublic));
}

}  // namespace

namespace {

// Division and inverses on random operands of many sizes against BN_div and
// BN_mod_inverse.
TEST(BigNumVsOpenSsl, DivisionAndInverse) {
    reftest::Bn q(BN_new()), r(BN_new()), inv(BN_new());
    BN_CTX* ctx = BN_CTX_new();
    for (int i = 0; i < 400; ++i) {
        std::size_t alen = 1 + i % 60, mlen = 1 + (i * 7) % 30;
        Bytes a = reftest::random_bytes(alen), m = reftest::random_bytes(mlen);
        if (i % 5 == 0) std::fill(m.begin() + 1, m.end(), 0xFF);  // hits the estimate corrections
        if (i % 7 == 0) m[0] = 0x80;
        m.back() |= 1;
        cyr::BigNum ca, cm, cq, cr;
        cyr::bn_from_bytes(&ca, a.data(), a.size());
        cyr::bn_from_bytes(&cm, m.data(), m.size());
        cyr::bn_divmod(&cq, &cr, &ca, &cm);
        reftest::Bn oa(BN_bin2bn(a.data(), static_cast<int>(a.size()), nullptr));
        reftest::Bn om(BN_bin2bn(m.data(), static_cast<int>(m.size()), nullptr));
        BN_div(q.get(), r.get(), oa.get(), om.get(), ctx);
        auto bytes_of = [](const cyr::BigNum& x) {
            Bytes b(cyr::bn_byte_length(&x));
            cyr::bn_to_bytes(&x, b.data(), b.size());
            return b;
        };
        auto openssl_bytes = [](const BIGNUM* x) {
            Bytes b(BN_num_bytes(x));
            BN_bn2bin(x, b.data());
            return b;
        };
        ASSERT_EQ(bytes_of(cq), openssl_bytes(q.get())) << "quotient, case " << i;
        ASSERT_EQ(bytes_of(cr), openssl_bytes(r.get())) << "remainder, case " << i;
        cyr::BigNum ci;
        bool ours = cyr::bn_mod_inverse(&ci, &ca, &cm);
        bool theirs = BN_mod_inverse(inv.get(), oa.get(), om.get(), ctx) != nullptr;
        ERR_clear_error();
        ASSERT_EQ(ours, theirs) << "case " << i;
        if (ours) {
            EXPECT_EQ(bytes_of(ci), openssl_bytes(inv.get())) << "inverse, case " << i;
        }
    }
    BN_CTX_free(ctx);
}

}  // namespace

namespace {

// An independent model of the SHA-1 generator from OpenSSL's BIGNUM and its
// raw compression function (SHA1_Transform on a chaining value carried from
// block to block).
struct GeneratorModel {
    reftest::Bn a{BN_new()}, b{BN_new()}, q{BN_new()};
    SHA_CTX sha;
    BN_CTX* ctx = BN_CTX_new();
    ~GeneratorModel() { BN_CTX_free(ctx); }

    void start() { SHA1_Init(&sha); }
    // w = G(XVAL), XVAL = (A + B) mod 2^160.
    reftest::Bn g() {
        reftest::Bn x(BN_new());
        BN_add(x.get(), a.get(), b.get());
        BN_mask_bits(x.get(), 160);
        unsigned char block[64] = {};
        BN_bn2bin(x.get(), block);  // minimal big-endian bytes, zeros after
        SHA1_Transform(&sha, block);
        unsigned char w[20];
        const SHA_LONG h[5] = {sha.h0, sha.h1, sha.h2, sha.h3, sha.h4};
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 4; ++j)
                w[4 * i + j] = static_cast<unsigned char>(h[i] >> (24 - 8 * j));
        return reftest::Bn(BN_bin2bn(w, 20, nullptr));
    }
    void advance_b(const BIGNUM* by) {
        BN_add(b.get(), b.get(), by);
        BN_add_word(b.get(), 1);
        BN_mask_bits(b.get(), 160);
    }
    reftest::Bn draw() {
        start();
        int blocks = (BN_num_bits(q.get()) + 159) / 160;
        reftest::Bn W(BN_new());
        BN_zero(W.get());
        for (int j = 0; j < blocks; ++j) {
            reftest::Bn w = g();
            BN_lshift(w.get(), w.get(), 160 * j);
            BN_add(W.get(), W.get(), w.get());
            advance_b(W.get());
        }
        reftest::Bn q1(BN_dup(q.get())), r(BN_new());
        BN_sub_word(q1.get(), 1);
        BN_mod(r.get(), W.get(), q1.get(), ctx);
        BN_add_word(r.get(), 1);
        return r;
    }
    Bytes output(std::size_t n) {
        start();
        Bytes out;
        while (out.size() < n) {
            reftest::Bn w = g();
            BN_mod(w.get(), w.get(), q.get(), ctx);
            advance_b(w.get());
            unsigned char bytes[20];
            BN_bn2binpad(b.get(), bytes, 20);
            out.insert(out.end(), bytes, bytes + 20);
        }
        out.resize(n);
        return out;
    }
};

// A 20-byte seed block read as a little-endian number, on both sides.
void load_block(const Bytes& block, BIGNUM* theirs, cyr::BigNum* ours) {
    Bytes be(block.rbegin(), block.rend());
    BN_bin2bn(be.data(), static_cast<int>(be.size()), theirs);
    cyr::bn_from_bytes(ours, be.data(), be.size());
}

Bytes bn_bytes(const BIGNUM* x) {
    Bytes b(BN_num_bytes(x));
    BN_bn2bin(x, b.data());
    return b;
}

Bytes bn_bytes(const cyr::BigNum& x) {
    Bytes b(cyr::bn_byte_length(&x));
    cyr::bn_to_bytes(&x, b.data(), b.size());
    return b;
}

TEST(GeneratorVsModel, DrawsAndOutputBlocks) {
    const Bytes all_ones(20, 0xFF), one = [] {
        Bytes b(20, 0);
        b[0] = 1;  // little-endian 1: XVAL has a single byte
        return b;
    }();
    std::vector<std::pair<Bytes, Bytes>> states = {{all_ones, all_ones}, {one, Bytes(20, 0)}};
    for (int i = 0; i < 6; ++i)
        states.emplace_back(reftest::random_bytes(20), reftest::random_bytes(20));
    const uint8_t default_q[20] = {0xC4, 0x68, 0x24, 0x5B, 0xB6, 0x79, 0x5C, 0x7F, 0xFF, 0xF9,
                                   0x69, 0x62, 0xC6, 0x42, 0xE5, 0x16, 0x5F, 0x51, 0xA6, 0xF9};
    for (std::size_t s = 0; s < states.size(); ++s) {
        for (uint32_t curve : {1u, 3u}) {
            GeneratorModel model;
            cyr::BigNum a, b, r;
            load_block(states[s].first, model.a.get(), &a);
            load_block(states[s].second, model.b.get(), &b);
            Bytes n(21);
            cyr::bn_to_bytes(&cyr::ec_order(curve), n.data(), n.size());
            BN_bin2bn(n.data(), static_cast<int>(n.size()), model.q.get());
            cyr::rng_draw_step(a, &b, cyr::ec_order(curve), &r);
            reftest::Bn expected = model.draw();
            EXPECT_EQ(bn_bytes(r), bn_bytes(expected.get())) << "state " << s << " curve " << curve;
            EXPECT_EQ(bn_bytes(b), bn_bytes(model.b.get())) << "state " << s;
        }
        GeneratorModel model;
        cyr::BigNum a, b, q;
        load_block(states[s].first, model.a.get(), &a);
        load_block(states[s].second, model.b.get(), &b);
        BN_bin2bn(default_q, 20, model.q.get());
        cyr::bn_from_bytes(&q, default_q, 20);
        Bytes ours(45);
        cyr::rng_output_step(a, &b, q, ours.data(), ours.size());
        EXPECT_EQ(ours, model.output(45)) << "state " << s;
        EXPECT_EQ(bn_bytes(b), bn_bytes(model.b.get())) << "state " << s;
    }
}

}  // namespace
