// Large-modulus arithmetic, encodings and mechanisms 27 to 30 without an
// outside reference: published vectors, number-theory identities, hostile
// inputs and the entry points' status codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pubkey/montgomery.h"
#include "pubkey/primes.h"
#include "pubkey/rsa_key.h"
#include "pubkey/rsa_ops.h"
#include "pubkey/rsa_padding.h"
#include "tests/pubkey/rsa_calls.h"

namespace {

using cyr::BigNum;
using rsatest::Bytes;
using rsatest::hex;

BigNum num(const std::string& hex_digits, int sign = 1) {
    std::string digits = hex_digits.size() % 2 ? "0" + hex_digits : hex_digits;
    Bytes b = hex(digits);
    BigNum r;
    cyr::bn_from_bytes(&r, b.data(), b.size());
    r.sign = sign;
    return r;
}

BigNum mersenne(int exponent) {
    BigNum r, one;
    cyr::bn_set_word(&one, 1);
    cyr::bn_shl(&r, &one, exponent);
    cyr::bn_sub_word(&r, &r, 1);
    return r;
}

Bytes bytes_of(const BigNum& a) {
    Bytes out(cyr::bn_byte_length(&a));
    cyr::bn_to_bytes(&a, out.data(), out.size());
    return out;
}

// PKCS #1 v2.1 test vectors (oaep-vect.txt), Example 1: a 1024-bit key pair,
// and its RSAES-OAEP Encryption Example 1.1.
struct VectorKey {
    const char* n =
        "a8b3b284af8eb50b387034a860f146c4919f318763cd6c5598c8ae4811a1e0abc4c7e0b082d693a5e7fced675c"
        "f4668512772c0cbc64a742c6c630f533c8cc72f62ae833c40bf25842e984bb78bdbf97c0107d55bdb662f5c4e0"
        "fab9845cb5148ef7392dd3aaff93ae1e6b667bb3d4247616d4f5ba10d4cfd226de88d39f16fb";
    const char* e = "010001";
    const char* d =
        "53339cfdb79fc8466a655c7316aca85c55fd8f6dd898fdaf119517ef4f52e8fd8e258df93fee180fa0e4ab2969"
        "3cd83b152a553d4ac4d1812b8b9fa5af0e7f55fe7304df41570926f3311f15c4d65a732c483116ee3d3d2d0af3"
        "549ad9bf7cbfb78ad884f84d5beb04724dc7369b31def37d0cf539e9cfcdd3de653729ead5d1";
    const char* p =
        "d32737e7267ffe1341b2d5c0d150a81b586fb3132bed2f8d5262864a9cb9f30af38be448598d413a172efb802c"
        "21acf1c11c520c2f26a471dcad212eac7ca39d";
    const char* q =
        "cc8853d1d54da630fac004f471f281c7b8982d8224a490edbeb33d3e3d5cc93c4765703d1dd791642f1f116a0d"
        "d852be2419b2af72bfe9a030e860b0288b5d77";
    const char* dp =
        "0e12bf1718e9cef5599ba1c3882fe8046a90874eefce8f2ccc20e4f2741fb0a33a3848aec9c9305fbecbd2d768"
        "19967d4671acc6431e4037968db37878e695c1";
    const char* dq =
        "95297b0f95a2fa67d00707d609dfd4fc05c89dafc2ef6d6ea55bec771ea333734d9251e79082ecda866efef13c"
        "459e1a631386b7e354c899f5f112ca85d71583";
    const char* qinv =
        "4f456c502493bdc0ed2ab756a3a6ed4d67352a697d4216e93212b127a63d5411ce6fa98d5dbefd73263e372814"
        "2743818166ed7dd63687dd2a8ca1d2f4fbd8e1";
    const char* message = "6628194e12073db03ba94cda9ef9532397d50dba79b987004afefe34";
    const char* seed = "18b776ea21069d69776a33e96bad48e1dda0a5ef";
    const char* ciphertext =
        "354fe67b4a126d5d35fe36c777791a3f7ba13def484e2d3908aff722fad468fb21696de95d0be911c2d3174f8a"
        "fcc201035f7b6d8e69402de5451618c21a535fa9d7bfc5b8dd9fc243f8cf927db31322d6e881eaa91a996170e6"
        "57a05a266426d98c88003f8477c1227094a0d9fa1e8c4024309ce1ecccb5210035d47ac72e8a";

    cyr::RsaPrivateKey priv() const {
        cyr::RsaPrivateKey k;
        k.type = cyr::kRsaTypeCrt;
        k.n = num(n);
        k.e = num(e);
        k.d = num(d);
        k.p = num(p);
        k.q = num(q);
        k.dp = num(dp);
        k.dq = num(dq);
        k.qinv = num(qinv);
        cyr::bn_zero(&k.extra);
        return k;
    }
    cyr::RsaPublicKey pub() const {
        cyr::RsaPublicKey k;
        k.n = num(n);
        k.e = num(e);
        return k;
    }
    Bytes private_encoding() const {
        Bytes out(cyr::rsa_private_capacity(1024));
        out.resize(cyr::rsa_write_private(priv(), out.data(), out.size()));
        return out;
    }
    Bytes public_encoding() const {
        Bytes out(cyr::rsa_public_capacity(1024));
        out.resize(cyr::rsa_write_public(pub(), out.data(), out.size()));
        return out;
    }
};

// --- Montgomery exponentiation -------------------------------------------

TEST(RsaMontgomery, KnownPowers) {
    struct Case {
        const char* name;
        BigNum a, e, m;
        BigNum expected;
    };
    const BigNum m89 = mersenne(89), m127 = mersenne(127);
    BigNum two_64 = num("10000000000000000");
    BigNum m127_less = mersenne(127);
    cyr::bn_sub_word(&m127_less, &m127_less, 1);
    const std::vector<Case> cases = {
        {"3^5 mod 7", num("3"), num("5"), num("7"), num("5")},
        {"zero exponent", num("4d2"), num(""), num("7"), num("1")},
        {"base above modulus", num("a"), num("3"), num("7"), num("6")},
        {"negative base, odd exponent", num("3", -1), num("3"), num("7"), num("6", -1)},
        {"negative base, even exponent", num("3", -1), num("2"), num("7"), num("2")},
        // 2^89 = 1 mod 2^89-1, so 2^(2^64) = 2^(2^64 mod 89) = 2^67; three
        // modulus words, a multi-word exponent.
        {"2^(2^64) mod 2^89-1", num("2"), two_64, m89, num("80000000000000000")},
        {"2^(2^64) mod 2^127-1", num("2"), two_64, m127, num("4")},
        {"one-word exponent, three-word modulus", num("1234567890abcdef1234567890abcdef"),
         num("10001"), m89, num("5ec9f49261d69aee39627c")},
        {"Fermat, 2^127-1", num("3"), m127_less, m127, num("1")},
    };
    for (const Case& c : cases) {
        BigNum r;
        ASSERT_TRUE(cyr::bn_mod_exp(&r, &c.a, &c.e, &c.m)) << c.name;
        EXPECT_EQ(cyr::bn_cmp(&r, &c.expected), 0) << c.name;
    }
}

TEST(RsaMontgomery, RefusesEvenAndTinyModuli) {
    BigNum r, a = num("3"), e = num("5");
    for (const char* m : {"8", "1", "", "10000000000000000"}) {
        BigNum mm = num(m);
        EXPECT_FALSE(cyr::bn_mod_exp(&r, &a, &e, &mm)) << m;
    }
}

// --- Prime test and search ------------------------------------------------

TEST(RsaPrimes, ProbablePrimeVerdicts) {
    struct Case {
        const char* name;
        BigNum a;
        bool prime;
    };
    const std::vector<Case> cases = {
        {"65537", num("10001"), true},
        {"17863, the last table prime, fails trial division", num("45c7"), false},
        {"2^89-1", mersenne(89), true},
        {"2^127-1", mersenne(127), true},
        {"2^521-1", mersenne(521), true},
        {"17881 * 17891, both above the table", num("13116a2b"), false},
        {"Carmichael 18121 * 36241 * 54361", num("2078e5bea8f1"), false},
        {"(2^61-1)(2^89-1)", num("3ffffffffffffffdffffffe000000000000001"), false},
        {"even", num("10000000000000000"), false},
        {"one", num("1"), false},
    };
    ASSERT_EQ(cyr::small_primes()[cyr::kSmallPrimeCount - 1], 17863u);
    ASSERT_EQ(cyr::small_primes()[cyr::kSmallPrimeCount], 0u);
    for (const Case& c : cases) EXPECT_EQ(cyr::bn_is_probable_prime(&c.a, 8), c.prime) << c.name;
}

bool counting_bytes(uint8_t* out, std::size_t length) {
    static uint8_t next = 0x5a;
    for (std::size_t i = 0; i < length; ++i) out[i] = next++;
    return true;
}
bool failing_bytes(uint8_t*, std::size_t) {
    return false;
}

TEST(RsaPrimes, SearchStaysInsideItsInterval) {
    struct Case {
        const char* name;
        BigNum lo, hi;
        uint32_t step;
        cyr::PrimeSearch expected;
    };
    BigNum one, lo200, hi200;
    cyr::bn_set_word(&one, 1);
    cyr::bn_shl(&lo200, &one, 200);
    cyr::bn_shl(&hi200, &one, 201);
    const std::vector<Case> cases = {
        {"wide interval, step 2", lo200, hi200, 2, cyr::PrimeSearch::kFound},
        {"wide interval, step 4", lo200, hi200, 4, cyr::PrimeSearch::kFound},
        {"single prime", mersenne(127), mersenne(127), 2, cyr::PrimeSearch::kFound},
        {"single composite", num("3ffffffffffffffdffffffe000000000000001"),
         num("3ffffffffffffffdffffffe000000000000001"), 2, cyr::PrimeSearch::kExhausted},
        {"empty interval", hi200, lo200, 2, cyr::PrimeSearch::kExhausted},
    };
    for (const Case& c : cases) {
        BigNum p;
        cyr::bn_zero(&p);
        ASSERT_EQ(cyr::bn_random_prime(&p, &c.lo, &c.hi, c.step, 8, counting_bytes), c.expected)
            << c.name;
        if (c.expected != cyr::PrimeSearch::kFound) continue;
        EXPECT_GE(cyr::bn_cmp(&p, &c.lo), 0) << c.name;
        EXPECT_LE(cyr::bn_cmp(&p, &c.hi), 0) << c.name;
        EXPECT_EQ(cyr::bn_mod_word(&p, c.step), 1u) << c.name;
        EXPECT_TRUE(cyr::bn_is_probable_prime(&p, 20)) << c.name;
    }
    BigNum p;
    EXPECT_EQ(cyr::bn_random_prime(&p, &lo200, &hi200, 2, 8, failing_bytes),
              cyr::PrimeSearch::kRandomFailed);
}

// --- Paddings ---------------------------------------------------------------

TEST(RsaPadding, OaepMatchesThePublishedExample) {
    VectorKey v;
    Bytes m = hex(v.message), seed = hex(v.seed);
    Bytes em(128);
    ASSERT_TRUE(cyr::oaep_encode(m.data(), m.size(), seed.data(), em.data(), em.size()));
    BigNum x, c;
    cyr::bn_from_bytes(&x, em.data(), em.size());
    cyr::rsa_public_op(v.pub(), &c, &x);
    EXPECT_EQ(bytes_of(c), hex(v.ciphertext));

    const uint8_t* out = nullptr;
    std::size_t out_length = 0;
    ASSERT_TRUE(cyr::oaep_decode(em.data(), em.size(), &out, &out_length));
    EXPECT_EQ(Bytes(out, out + out_length), m);
}

TEST(RsaPadding, OaepRejectsEveryDamagedEncoding) {
    VectorKey v;
    Bytes m = hex(v.message), seed = hex(v.seed);
    Bytes good(128);
    cyr::oaep_encode(m.data(), m.size(), seed.data(), good.data(), good.size());
    // Leading byte, masked seed, masked label hash, padding and separator.
    for (std::size_t pos : {0u, 1u, 20u, 21u, 40u, 60u, 98u, 99u}) {
        Bytes em = good;
        em[pos] ^= 0x01;
        const uint8_t* out;
        std::size_t out_length;
        EXPECT_FALSE(cyr::oaep_decode(em.data(), em.size(), &out, &out_length)) << pos;
    }
    Bytes em(128);
    Bytes long_message(128 - 41);
    EXPECT_FALSE(cyr::oaep_encode(long_message.data(), long_message.size(), seed.data(), em.data(),
                                  em.size()));
}

TEST(RsaPadding, Mechanism28Layout) {
    const Bytes message = {0xAA, 0xBB};
    Bytes random(16 - 2 - 3);
    for (std::size_t i = 0; i < random.size(); ++i)
        random[i] = i % 3 == 0 ? 0x01 : (i % 3 == 1 ? 0x00 : 0x02);
    Bytes em(16);
    ASSERT_TRUE(
        cyr::pad28_encode(message.data(), message.size(), random.data(), em.data(), em.size()));
    // 0x01 in the random bytes became 0xFF; zero and other bytes stay.
    EXPECT_EQ(em, hex("0002 FF0002 FF0002 FF0002 FF00 01 AABB"));

    struct Case {
        const char* name;
        Bytes value;
        bool ok;
        Bytes message;
    };
    const std::vector<Case> cases = {
        {"separator at index 9", hex("02 0303030303030303 01 AABB"), true, hex("AABB")},
        {"first 0x01 after index 9 wins", hex("02 0101010101010101 0303 01 CC01"), true,
         hex("CC01")},
        {"no 0x01 from index 9 on", hex("02 0303030303030301 0303"), false, {}},
        {"does not start with 0x02", hex("01 0303030303030303 01 AA"), false, {}},
        {"empty", {}, false, {}},
    };
    for (const Case& c : cases) {
        const uint8_t* out = nullptr;
        std::size_t out_length = 0;
        ASSERT_EQ(cyr::pad28_decode(c.value.data(), c.value.size(), &out, &out_length), c.ok)
            << c.name;
        if (c.ok) {
            EXPECT_EQ(Bytes(out, out + out_length), c.message) << c.name;
        }
    }
}

// --- Key encodings ----------------------------------------------------------

TEST(RsaKeyEncoding, WriterFormAndRoundTrip) {
    VectorKey v;
    Bytes pub = v.public_encoding();
    // 0x30, the length (counting the trailing byte), INTEGER n without a sign
    // byte, INTEGER e, 0x00.
    ASSERT_EQ(pub.size(), 3u + 3 + 128 + 5 + 1);
    EXPECT_EQ(Bytes(pub.begin(), pub.begin() + 8), hex("30 81 89 02 81 80 a8 b3"));
    EXPECT_EQ(Bytes(pub.end() - 6, pub.end()), hex("02 03 010001 00"));

    Bytes priv = v.private_encoding();
    EXPECT_EQ(Bytes(priv.begin(), priv.begin() + 7), hex("30 82 02 59 02 01 00"));
    EXPECT_EQ(priv.size(), 4u + 0x259);
    EXPECT_EQ(priv.back(), 0x00);

    cyr::RsaPrivateKey back;
    ASSERT_TRUE(cyr::rsa_read_private(priv.data(), priv.size(), &back));
    cyr::RsaPrivateKey orig = v.priv();
    EXPECT_EQ(back.type, 0u);
    EXPECT_EQ(cyr::bn_cmp(&back.qinv, &orig.qinv), 0);
    EXPECT_EQ(cyr::bn_cmp(&back.d, &orig.d), 0);
    cyr::RsaPublicKey pback;
    ASSERT_TRUE(cyr::rsa_read_public(pub.data(), pub.size(), &pback));
    EXPECT_EQ(cyr::bn_cmp(&pback.n, &orig.n), 0);
}

TEST(RsaKeyEncoding, ReadersRefuseDamagedKeys) {
    VectorKey v;
    const Bytes priv = v.private_encoding();
    struct Case {
        const char* name;
        Bytes key;
        bool ok;
    };
    auto with = [&](std::size_t pos, uint8_t value) {
        Bytes k = priv;
        k[pos] = value;
        return k;
    };
    Bytes extra_number = priv;  // type 2 with a ninth INTEGER
    extra_number[6] = 2;
    extra_number.insert(extra_number.end() - 1, {0x02, 0x01, 0x07});
    extra_number[3] += 3;
    Bytes trailing_garbage = priv;
    trailing_garbage.back() = 0x01;
    Bytes bytes_after = priv;
    bytes_after.push_back(0xEE);
    Bytes leading_zero = priv;  // INTEGER e as 02 04 00 01 00 01
    leading_zero.insert(leading_zero.begin() + 4 + 3 + 3 + 128 + 2, 0x00);
    leading_zero[4 + 3 + 3 + 128 + 1] = 4;
    leading_zero[3] += 1;
    const std::vector<Case> cases = {
        {"as written", priv, true},
        {"version 1", with(6, 1), false},
        {"version 2 without its ninth number", with(6, 2), false},
        {"version 2 with its ninth number", extra_number, true},
        {"outer tag", with(0, 0x31), false},
        {"version tag", with(4, 0x03), false},
        {"version length", with(5, 0x02), false},
        {"outer length beyond the input", with(3, 0x5c), false},
        {"integer length beyond the content", with(9, 0x82), false},
        {"non-zero byte after the numbers", trailing_garbage, false},
        {"bytes after the content", bytes_after, true},
        {"leading zero in an integer", leading_zero, true},
        {"n even", with(7 + 3 + 127, 0xfa), false},
        {"p changed", with(4 + 3 + 3 + 128 + 5 + 3 + 128 + 3 + 10, 0x00), false},
    };
    for (const Case& c : cases) {
        cyr::RsaPrivateKey k;
        EXPECT_EQ(cyr::rsa_read_private(c.key.data(), c.key.size(), &k), c.ok) << c.name;
    }
    for (std::size_t cut = 0; cut < priv.size() - 1; ++cut) {
        cyr::RsaPrivateKey k;
        ASSERT_FALSE(cyr::rsa_read_private(priv.data(), cut, &k)) << cut;
    }
    // An INTEGER longer than any key number: 400 bytes.
    Bytes huge = hex("30 82 01 a0 02 01 00 02 82 01 90");
    huge.resize(huge.size() + 400, 0x7f);
    cyr::RsaPrivateKey k;
    EXPECT_FALSE(cyr::rsa_read_private(huge.data(), huge.size(), &k));
    cyr::RsaPublicKey pk;
    EXPECT_FALSE(cyr::rsa_read_public(priv.data(), priv.size(), &pk));
}

// --- Entry points -----------------------------------------------------------

const rsatest::KeyPair& key1024() {
    static const rsatest::KeyPair kp = rsatest::generate(1024, hex("0102030405060708090a"));
    return kp;
}

TEST(RsaKeyPair, SizeQueryAndRefusals) {
    struct Case {
        const char* name;
        uint32_t bits;
        uint32_t rc;
        uint32_t pub, priv;
    };
    const std::vector<Case> cases = {
        {"default size", 1024, 0, 204, 808},
        {"smallest", 512, 0, 64 + 32 + 12, 3 * 128 + 40},
        {"largest: the private key fills the key context", 2912, 0, 558, 2224},
        {"too small", 511, CYR_BUFFER_TOO_SMALL, 0, 0},
        {"too large", 2913, CYR_BUFFER_TOO_SMALL, 0, 0},
    };
    for (const Case& c : cases) {
        rsatest::Mechanism m(27);
        m.u32(CYR_PARAM_MODULUS_BITS, c.bits);
        rsatest::Object pub = rsatest::Object::out(CYR_CLASS_PUBLIC_KEY, 0);
        rsatest::Object priv = rsatest::Object::out(CYR_CLASS_PRIVATE_KEY, 0);
        ASSERT_EQ(CYR_GenerateKeyPair(m.slots, pub.slots, priv.slots), c.rc) << c.name;
        if (c.rc != 0) continue;
        EXPECT_EQ(pub.slots[1].length, c.pub) << c.name;
        EXPECT_EQ(priv.slots[1].length, c.priv) << c.name;
    }

    // One byte short of either capacity; swapped classes; methods 2 and 3.
    for (int which = 0; which < 2; ++which) {
        rsatest::Mechanism m(27);
        rsatest::Object pub = rsatest::Object::out(CYR_CLASS_PUBLIC_KEY, which == 0 ? 203 : 204);
        rsatest::Object priv = rsatest::Object::out(CYR_CLASS_PRIVATE_KEY, which == 1 ? 807 : 808);
        EXPECT_EQ(CYR_GenerateKeyPair(m.slots, pub.slots, priv.slots), CYR_BUFFER_TOO_SMALL);
    }
    {
        rsatest::Mechanism m(27);
        rsatest::Object pub = rsatest::Object::out(CYR_CLASS_PRIVATE_KEY, 204);
        rsatest::Object priv = rsatest::Object::out(CYR_CLASS_PUBLIC_KEY, 808);
        EXPECT_EQ(CYR_GenerateKeyPair(m.slots, pub.slots, priv.slots), CYR_KEY_TYPE_NOT_SUPPORTED);
    }
    EXPECT_EQ(rsatest::generate(512, {}, {}, 2).rc, CYR_ARGUMENTS_BAD);  // searched, no key
    EXPECT_EQ(rsatest::generate(512, {}, {}, 3).rc, CYR_CTX_NOT_SUPPORTED);
}

TEST(RsaKeyPair, CallerSeedMakesTheKeyReproducible) {
    const Bytes seed = hex("00112233445566778899aabbccddeeff00112233");
    rsatest::KeyPair a = rsatest::generate(512, seed, hex("01"));
    rsatest::KeyPair b = rsatest::generate(512, seed, hex("01"));
    rsatest::KeyPair c = rsatest::generate(512, seed, hex("02"));
    rsatest::KeyPair d = rsatest::generate(512);
    rsatest::KeyPair e = rsatest::generate(512);
    ASSERT_EQ(a.rc, 0u);
    EXPECT_EQ(a.priv, b.priv);
    EXPECT_EQ(a.pub, b.pub);
    EXPECT_NE(a.priv, c.priv);
    // Without a seed the generator takes fresh entropy every time, even
    // within one second of the clock.
    EXPECT_NE(d.priv, e.priv);
    EXPECT_NE(d.priv, a.priv);
}

// A caller's seed fixes the key, not what the generator hands out next:
// padding bytes and session keys must not follow from a known seed.
TEST(RsaKeyPair, OutputAfterASeededKeyDoesNotFollowTheSeed) {
    const Bytes seed = hex("5eed5eed5eed");
    auto random_after_seeded_key = [&] {
        EXPECT_EQ(rsatest::generate(512, seed).rc, 0u);
        rsatest::Mechanism m(CYR_MECH_RANDOM);
        rsatest::Object out = rsatest::Object::out(CYR_CLASS_SECRET, 16);
        EXPECT_EQ(CYR_GenerateRandom(m.slots, out.slots), 0u);
        return out.value();
    };
    EXPECT_NE(random_after_seeded_key(), random_after_seeded_key());
    auto oaep_after_seeded_key = [&] {
        rsatest::KeyPair kp = rsatest::generate(512, seed);
        return rsatest::encrypt(29, kp.pub, hex("41")).out;
    };
    EXPECT_NE(oaep_after_seeded_key(), oaep_after_seeded_key());
}

TEST(RsaMechanisms, MessageLengthLimitsAt1024Bits) {
    const rsatest::KeyPair& kp = key1024();
    ASSERT_EQ(kp.rc, 0u);
    struct Case {
        uint32_t mechanism;
        std::size_t length;
        uint32_t rc;
    };
    const std::vector<Case> cases = {
        {28, 1, 0},
        {28, 16, 0},
        {28, 117, 0},
        {28, 118, CYR_CTX_NOT_SUPPORTED},
        {29, 1, 0},
        {29, 16, 0},
        {29, 86, 0},
        {29, 87, CYR_CTX_NOT_SUPPORTED},
        {28, 0, CYR_INPUT_DATA_EMPTY},
        {29, 0, CYR_INPUT_DATA_EMPTY},
    };
    for (const Case& c : cases) {
        Bytes message(c.length);
        for (std::size_t i = 0; i < message.size(); ++i) message[i] = static_cast<uint8_t>(i + 1);
        rsatest::Result enc = rsatest::encrypt(c.mechanism, kp.pub, message);
        ASSERT_EQ(enc.rc, c.rc) << c.mechanism << " " << c.length;
        if (c.rc != 0) continue;
        if (c.mechanism == 29) {
            EXPECT_EQ(enc.out.size(), 128u);
        }
        EXPECT_LE(enc.out.size(), 128u);
        rsatest::Result dec = rsatest::decrypt(c.mechanism, kp.priv, enc.out);
        ASSERT_EQ(dec.rc, 0u) << c.mechanism << " " << c.length;
        EXPECT_EQ(dec.out, message);
    }
}

TEST(RsaMechanisms, Mechanism28PaddingHasNoSeparatorInside) {
    const rsatest::KeyPair& kp = key1024();
    cyr::RsaPrivateKey priv;
    ASSERT_TRUE(cyr::rsa_read_private(kp.priv.data(), kp.priv.size(), &priv));
    const Bytes message = hex("01 00 01");
    for (int run = 0; run < 20; ++run) {
        rsatest::Result enc = rsatest::encrypt(28, kp.pub, message);
        ASSERT_EQ(enc.rc, 0u);
        BigNum x, m;
        cyr::bn_from_bytes(&x, enc.out.data(), enc.out.size());
        cyr::rsa_private_op(priv, &m, &x);
        Bytes em(128);
        cyr::bn_to_bytes(&m, em.data(), em.size());
        ASSERT_EQ(em[0], 0x00);
        ASSERT_EQ(em[1], 0x02);
        for (std::size_t i = 2; i < 128 - 4; ++i) ASSERT_NE(em[i], 0x01) << i;
        EXPECT_EQ(Bytes(em.end() - 4, em.end()), hex("01 010001"));
    }
}

TEST(RsaMechanisms, DecryptRefusesForeignCiphertexts) {
    const rsatest::KeyPair& kp = key1024();
    cyr::RsaPublicKey pub;
    ASSERT_TRUE(cyr::rsa_read_public(kp.pub.data(), kp.pub.size(), &pub));
    auto raw = [&](const Bytes& em) {
        BigNum m, x;
        cyr::bn_from_bytes(&m, em.data(), em.size());
        cyr::rsa_public_op(pub, &x, &m);
        Bytes out(128);
        cyr::bn_to_bytes(&x, out.data(), out.size());
        return out;
    };
    Bytes no_separator(128, 0x03);
    no_separator[0] = 0x00;
    no_separator[1] = 0x02;
    Bytes wrong_block_type = no_separator;
    wrong_block_type[1] = 0x01;
    wrong_block_type[100] = 0x01;
    rsatest::Result oaep = rsatest::encrypt(29, kp.pub, hex("abcdef"));
    ASSERT_EQ(oaep.rc, 0u);
    Bytes tampered = oaep.out;
    tampered[64] ^= 0x10;
    Bytes short_oaep(oaep.out.begin() + 1, oaep.out.end());
    Bytes long_oaep = oaep.out;
    long_oaep.insert(long_oaep.begin(), 0x00);
    struct Case {
        const char* name;
        uint32_t mechanism;
        Bytes input;
    };
    const std::vector<Case> cases = {
        {"28: no 0x01 after index 9", 28, raw(no_separator)},
        {"28: block type 1", 28, raw(wrong_block_type)},
        {"28: value not below n", 28, Bytes(128, 0xFF)},
        {"28: longer than the modulus", 28, Bytes(129, 0x01)},
        {"29: tampered", 29, tampered},
        {"29: 127 bytes", 29, short_oaep},
        {"29: 129 bytes", 29, long_oaep},
        {"29: value not below n", 29, Bytes(128, 0xFF)},
        {"29: a mechanism-28 ciphertext", 29, raw(no_separator)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rsatest::decrypt(c.mechanism, kp.priv, c.input).rc, CYR_INPUT_DATA_EMPTY)
            << c.name;
}

TEST(RsaMechanisms, KeyAndContextStatusCodes) {
    const rsatest::KeyPair& kp = key1024();
    Bytes version1 = kp.priv;
    version1[6] = 1;
    ASSERT_EQ(kp.priv[6], 0);
    struct Case {
        const char* name;
        uint32_t mechanism;
        bool decrypt;
        Bytes key;
        uint32_t rc;
    };
    const std::vector<Case> cases = {
        {"private key of version 1", 29, true, version1, CYR_KEY_TYPE_INVAILD},
        {"private key of version 1, 28", 28, true, version1, CYR_KEY_TYPE_INVAILD},
        {"public key to decrypt", 29, true, kp.pub, CYR_KEY_TYPE_INVAILD},
        {"private key to encrypt", 29, false, kp.priv, CYR_KEY_TYPE_INVAILD},
        {"2224 bytes of garbage", 28, false, Bytes(2224, 0x30), CYR_KEY_TYPE_INVAILD},
        {"key over 2224 bytes", 28, false, Bytes(2225, 0x30), CYR_OUTBUFFER_NULL},
        {"mechanism 30 encrypt", 30, false, kp.pub, CYR_CTX_NOT_SUPPORTED},
        {"mechanism 30 decrypt", 30, true, kp.priv, CYR_CTX_NOT_SUPPORTED},
        {"empty key", 28, false, {}, CYR_INPUT_DATA_EMPTY},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rsatest::crypt(c.mechanism, c.decrypt, c.key, hex("41")).rc, c.rc) << c.name;

    rsatest::Mechanism m(28);
    rsatest::Object key(CYR_CLASS_PUBLIC_KEY, kp.pub);
    key.slots[1].kind = 2;
    EXPECT_EQ(CYR_EncryptInit(m.slots, key.slots), CYR_KEY_TYPE_NOT_SUPPORTED);
}

TEST(RsaMechanisms, SizeQueryKeepsTheContextAndSuccessReleasesIt) {
    const rsatest::KeyPair& kp = key1024();
    for (uint32_t mechanism : {28u, 29u}) {
        rsatest::Mechanism m(mechanism);
        rsatest::Object key(CYR_CLASS_PUBLIC_KEY, kp.pub);
        ASSERT_EQ(CYR_EncryptInit(m.slots, key.slots), 0u);
        ASSERT_EQ(m.slots[5].kind, CYR_CTX_RSA_KEY);
        rsatest::Object in(CYR_CLASS_DATA, hex("68656c6c6f"));
        rsatest::Object query = rsatest::Object::out(CYR_CLASS_DATA, 0);
        ASSERT_EQ(CYR_Encrypt(m.slots, in.slots, query.slots), 0u);
        EXPECT_EQ(query.slots[1].length, 128u);
        rsatest::Object small = rsatest::Object::out(CYR_CLASS_DATA, 127);
        rsatest::Object out = rsatest::Object::out(CYR_CLASS_DATA, 128);
        ASSERT_EQ(CYR_Encrypt(m.slots, in.slots, out.slots), 0u);
        EXPECT_EQ(m.slots[5].data, nullptr);
        EXPECT_EQ(CYR_Encrypt(m.slots, in.slots, out.slots), CYR_ARGUMENTS_BAD);
        ASSERT_EQ(CYR_EncryptInit(m.slots, key.slots), 0u);
        EXPECT_EQ(CYR_Encrypt(m.slots, in.slots, small.slots), CYR_BUFFER_TOO_SMALL);
        EXPECT_EQ(m.slots[5].data, nullptr);
    }
}

TEST(RsaMechanisms, PublishedKeyDecryptsThePublishedCiphertext) {
    VectorKey v;
    rsatest::Result dec = rsatest::decrypt(29, v.private_encoding(), hex(v.ciphertext));
    ASSERT_EQ(dec.rc, 0u);
    EXPECT_EQ(dec.out, hex(v.message));
}

// Sizes that are not a multiple of 8 bits, and the largest: mechanism 28
// counts bits / 8 bytes, mechanism 29 the modulus length (bits + 7) / 8.
TEST(RsaMechanisms, RoundTripsAtTheLimitsOfOddAndLargestSizes) {
    struct Case {
        uint32_t bits;
        std::size_t limit28, limit29, cipher29;
    };
    const std::vector<Case> cases = {
        {513, 64 - 11, 65 - 42, 65},
        {777, 97 - 11, 98 - 42, 98},
        {2912, 364 - 11, 364 - 42, 364},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        rsatest::KeyPair kp = rsatest::generate(c.bits, hex("0bad5eed"));
        ASSERT_EQ(kp.rc, 0u);
        EXPECT_LE(kp.priv.size(), 2224u);
        for (uint32_t mechanism : {28u, 29u}) {
            const std::size_t limit = mechanism == 28 ? c.limit28 : c.limit29;
            Bytes message(limit, 0x5a);
            message.front() = 0x01;
            rsatest::Result enc = rsatest::encrypt(mechanism, kp.pub, message);
            ASSERT_EQ(enc.rc, 0u) << mechanism;
            if (mechanism == 29) {
                EXPECT_EQ(enc.out.size(), c.cipher29);
            }
            rsatest::Result dec = rsatest::decrypt(mechanism, kp.priv, enc.out);
            ASSERT_EQ(dec.rc, 0u) << mechanism;
            EXPECT_EQ(dec.out, message);
            message.push_back(0x00);
            EXPECT_EQ(rsatest::encrypt(mechanism, kp.pub, message).rc, CYR_CTX_NOT_SUPPORTED)
                << mechanism;
        }
    }
}

}  // namespace
