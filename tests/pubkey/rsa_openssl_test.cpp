// Large-modulus keys, arithmetic and OAEP checked against OpenSSL's
// libcrypto as the independent reference.
#define OPENSSL_SUPPRESS_DEPRECATED  // RSA_* for raw and OAEP operations on given components
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include <memory>
#include <vector>

#include "pubkey/montgomery.h"
#include "pubkey/primes.h"
#include "pubkey/rsa_key.h"
#include "pubkey/rsa_ops.h"
#include "tests/pubkey/rsa_calls.h"

namespace {

using rsatest::Bytes;

struct BnFree {
    void operator()(BIGNUM* b) const { BN_free(b); }
};
struct CtxFree {
    void operator()(BN_CTX* c) const { BN_CTX_free(c); }
};
struct RsaFree {
    void operator()(RSA* r) const { RSA_free(r); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;
using Rsa = std::unique_ptr<RSA, RsaFree>;

Bn to_bn(const cyr::BigNum& a) {
    Bytes b(cyr::bn_byte_length(&a));
    cyr::bn_to_bytes(&a, b.data(), b.size());
    Bn r(BN_bin2bn(b.data(), static_cast<int>(b.size()), nullptr));
    if (cyr::bn_is_negative(&a)) BN_set_negative(r.get(), 1);
    return r;
}

cyr::BigNum from_bn(const BIGNUM* b) {
    Bytes bytes(BN_num_bytes(b));
    BN_bn2bin(b, bytes.data());
    cyr::BigNum r;
    cyr::bn_from_bytes(&r, bytes.data(), bytes.size());
    return r;
}

Bn random_bn(int bits, bool odd) {
    Bn r(BN_new());
    BN_rand(r.get(), bits, BN_RAND_TOP_ANY, odd ? BN_RAND_BOTTOM_ODD : BN_RAND_BOTTOM_ANY);
    return r;
}

// An OpenSSL key holding the components of one of ours.
Rsa openssl_key(const cyr::RsaPrivateKey& k) {
    Rsa r(RSA_new());
    RSA_set0_key(r.get(), to_bn(k.n).release(), to_bn(k.e).release(), to_bn(k.d).release());
    RSA_set0_factors(r.get(), to_bn(k.p).release(), to_bn(k.q).release());
    RSA_set0_crt_params(r.get(), to_bn(k.dp).release(), to_bn(k.dq).release(),
                        to_bn(k.qinv).release());
    return r;
}

cyr::RsaPrivateKey read_private(const Bytes& encoding) {
    cyr::RsaPrivateKey k;
    EXPECT_TRUE(cyr::rsa_read_private(encoding.data(), encoding.size(), &k));
    return k;
}

struct GeneratedKey {
    const char* name;
    uint32_t bits;
    rsatest::KeyPair pair;
};

// Few keys, since generation dominates the run time: 1024 bits with and
// without a caller seed, 2048 bits once, and an odd size.
const std::vector<GeneratedKey>& generated_keys() {
    static const std::vector<GeneratedKey> keys = {
        {"1024, seeded", 1024, rsatest::generate(1024, rsatest::hex("a5a5a5a5"), {0x42})},
        {"1024, entropy", 1024, rsatest::generate(1024)},
        {"2048, entropy", 2048, rsatest::generate(2048)},
        {"777, odd size", 777, rsatest::generate(777)},
    };
    return keys;
}

TEST(RsaOpenSsl, GeneratedKeysHoldTheirPromises) {
    BN_CTX* ctx = BN_CTX_new();
    for (const GeneratedKey& g : generated_keys()) {
        SCOPED_TRACE(g.name);
        ASSERT_EQ(g.pair.rc, 0u);
        cyr::RsaPrivateKey k = read_private(g.pair.priv);
        cyr::RsaPublicKey pub;
        ASSERT_TRUE(cyr::rsa_read_public(g.pair.pub.data(), g.pair.pub.size(), &pub));
        Bn n = to_bn(k.n), e = to_bn(k.e), d = to_bn(k.d), p = to_bn(k.p), q = to_bn(k.q);
        Bn dp = to_bn(k.dp), dq = to_bn(k.dq), qinv = to_bn(k.qinv);
        const int kp = static_cast<int>((g.bits + 1) / 2), kq = static_cast<int>(g.bits) - kp;

        EXPECT_EQ(k.type, 0u);
        EXPECT_EQ(BN_cmp(to_bn(pub.n).get(), n.get()), 0);
        EXPECT_EQ(BN_cmp(to_bn(pub.e).get(), e.get()), 0);
        EXPECT_TRUE(BN_is_word(e.get(), 65537));
        EXPECT_EQ(BN_num_bits(n.get()), static_cast<int>(g.bits));
        EXPECT_GT(BN_cmp(p.get(), q.get()), 0);
        EXPECT_EQ(BN_num_bits(p.get()), kp);
        EXPECT_EQ(BN_num_bits(q.get()), kq);
        for (const auto& [prime, bits] : {std::pair{p.get(), kp}, std::pair{q.get(), kq}}) {
            EXPECT_TRUE(BN_is_bit_set(prime, bits - 1) && BN_is_bit_set(prime, bits - 2));
            EXPECT_EQ(BN_check_prime(prime, ctx, nullptr), 1);
        }
        Bn pq(BN_new()), p1(BN_new()), q1(BN_new()), phi(BN_new()), g1(BN_new()), t(BN_new());
        BN_mul(pq.get(), p.get(), q.get(), ctx);
        EXPECT_EQ(BN_cmp(pq.get(), n.get()), 0);
        BN_sub(p1.get(), p.get(), BN_value_one());
        BN_sub(q1.get(), q.get(), BN_value_one());
        BN_gcd(g1.get(), p1.get(), e.get(), ctx);
        EXPECT_TRUE(BN_is_one(g1.get()));
        BN_gcd(g1.get(), q1.get(), e.get(), ctx);
        EXPECT_TRUE(BN_is_one(g1.get()));
        // d is the inverse of e modulo phi = (p - 1)(q - 1).
        BN_mul(phi.get(), p1.get(), q1.get(), ctx);
        BN_mod_mul(t.get(), d.get(), e.get(), phi.get(), ctx);
        EXPECT_TRUE(BN_is_one(t.get()));
        EXPECT_LT(BN_cmp(d.get(), phi.get()), 0);
        BN_mod(t.get(), d.get(), p1.get(), ctx);
        EXPECT_EQ(BN_cmp(t.get(), dp.get()), 0);
        BN_mod(t.get(), d.get(), q1.get(), ctx);
        EXPECT_EQ(BN_cmp(t.get(), dq.get()), 0);
        BN_mod_mul(t.get(), qinv.get(), q.get(), p.get(), ctx);
        EXPECT_TRUE(BN_is_one(t.get()));
        EXPECT_LT(BN_cmp(qinv.get(), p.get()), 0);
    }
    BN_CTX_free(ctx);
}

TEST(RsaOpenSsl, OaepInteroperatesBothWays) {
    for (const GeneratedKey& g : generated_keys()) {
        SCOPED_TRACE(g.name);
        cyr::RsaPrivateKey k = read_private(g.pair.priv);
        Rsa ref = openssl_key(k);
        const int size = RSA_size(ref.get());
        const std::size_t max = static_cast<std::size_t>(size) - 42;
        for (std::size_t length : {std::size_t{1}, std::size_t{20}, max - 1, max}) {
            Bytes message(length);
            RAND_bytes(message.data(), static_cast<int>(length));
            // Ours to OpenSSL.
            rsatest::Result enc = rsatest::encrypt(29, g.pair.pub, message);
            ASSERT_EQ(enc.rc, 0u) << length;
            ASSERT_EQ(enc.out.size(), static_cast<std::size_t>(size));
            Bytes plain(size);
            int n = RSA_private_decrypt(size, enc.out.data(), plain.data(), ref.get(),
                                        RSA_PKCS1_OAEP_PADDING);
            ASSERT_EQ(n, static_cast<int>(length));
            plain.resize(n);
            EXPECT_EQ(plain, message);
            // OpenSSL to ours.
            Bytes cipher(size);
            ASSERT_EQ(RSA_public_encrypt(static_cast<int>(length), message.data(), cipher.data(),
                                         ref.get(), RSA_PKCS1_OAEP_PADDING),
                      size);
            rsatest::Result dec = rsatest::decrypt(29, g.pair.priv, cipher);
            ASSERT_EQ(dec.rc, 0u) << length;
            EXPECT_EQ(dec.out, message);
        }
    }
}

TEST(RsaOpenSsl, PrivateOperationMatchesRawRsa) {
    for (const GeneratedKey& g : generated_keys()) {
        SCOPED_TRACE(g.name);
        cyr::RsaPrivateKey k = read_private(g.pair.priv);
        cyr::RsaPrivateKey plain = k;
        plain.type = 1;  // any type but 0 and 2 goes without the CRT
        Rsa ref = openssl_key(k);
        const int size = RSA_size(ref.get());
        for (int i = 0; i < 8; ++i) {
            Bn x = random_bn(static_cast<int>(g.bits) - 1, false);
            Bytes in(size), expected(size);
            BN_bn2binpad(x.get(), in.data(), size);
            ASSERT_EQ(
                RSA_private_decrypt(size, in.data(), expected.data(), ref.get(), RSA_NO_PADDING),
                size);
            cyr::BigNum cx = from_bn(x.get()), m, m_plain, back;
            cyr::rsa_private_op(k, &m, &cx);
            cyr::rsa_private_op(plain, &m_plain, &cx);
            Bytes got(size), got_plain(size);
            cyr::bn_to_bytes(&m, got.data(), got.size());
            cyr::bn_to_bytes(&m_plain, got_plain.data(), got_plain.size());
            EXPECT_EQ(got, expected);
            EXPECT_EQ(got_plain, expected);
            cyr::RsaPublicKey pub{k.n, k.e};
            cyr::rsa_public_op(pub, &back, &m);
            EXPECT_EQ(cyr::bn_cmp(&back, &cx), 0);
        }
    }
}

TEST(RsaOpenSsl, ModularExponentiationOnRandomInputs) {
    BN_CTX* ctx = BN_CTX_new();
    // Modulus sizes around limb and word boundaries, exponents of one word
    // and of many.
    for (int mod_bits : {33, 64, 65, 96, 127, 512, 1000, 1024, 1456, 2048, 3072}) {
        for (int exp_bits : {1, 17, 32, 33, 160, mod_bits}) {
            Bn m = random_bn(mod_bits, true), a = random_bn(mod_bits + 8, false);
            Bn e = random_bn(exp_bits, false), expected(BN_new());
            BN_mod_exp(expected.get(), a.get(), e.get(), m.get(), ctx);
            cyr::BigNum cm = from_bn(m.get()), ca = from_bn(a.get()), ce = from_bn(e.get()), r;
            ASSERT_TRUE(cyr::bn_mod_exp(&r, &ca, &ce, &cm)) << mod_bits;
            EXPECT_EQ(BN_cmp(to_bn(r).get(), expected.get()), 0)
                << mod_bits << " bits, exponent " << exp_bits;
        }
    }
    BN_CTX_free(ctx);
}

TEST(RsaOpenSsl, PrimeVerdictsAgree) {
    BN_CTX* ctx = BN_CTX_new();
    for (int bits : {160, 256, 512}) {
        // 600 odd numbers around a prime that OpenSSL made, so the walk
        // meets at least one prime and many composites without small factors.
        Bn c(BN_new());
        ASSERT_EQ(BN_generate_prime_ex(c.get(), bits, 0, nullptr, nullptr, nullptr), 1);
        BN_sub_word(c.get(), 2 * 300);
        int primes = 0;
        for (int i = 0; i < 600; ++i) {
            cyr::BigNum cc = from_bn(c.get());
            const bool ours = cyr::bn_is_probable_prime(&cc, 8);
            const bool theirs = BN_check_prime(c.get(), ctx, nullptr) == 1;
            ASSERT_EQ(ours, theirs) << BN_bn2hex(c.get());
            primes += ours;
            BN_add_word(c.get(), 2);
        }
        EXPECT_GT(primes, 0) << bits;
    }
    BN_CTX_free(ctx);
}

}  // namespace
