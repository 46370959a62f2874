// Big-number arithmetic: signs, normalisation, division corner cases.
#include "pubkey/bignum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using cyr::BigNum;

BigNum from_hex(const std::string& hex, int sign = 1) {
    std::vector<uint8_t> bytes((hex.size() + 1) / 2, 0);
    for (std::size_t i = 0; i < hex.size(); ++i) {
        std::size_t pos = hex.size() - 1 - i;
        bytes[bytes.size() - 1 - pos / 2] |=
            static_cast<uint8_t>(std::stoi(hex.substr(i, 1), nullptr, 16) << (4 * (pos % 2)));
    }
    BigNum r;
    cyr::bn_from_bytes(&r, bytes.data(), bytes.size());
    r.sign = sign;
    return r;
}

std::string to_hex(const BigNum& a) {
    std::vector<uint8_t> bytes(cyr::bn_byte_length(&a));
    cyr::bn_to_bytes(&a, bytes.data(), bytes.size());
    static const char* digits = "0123456789ABCDEF";
    std::string s = cyr::bn_is_negative(&a) ? "-" : "";
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s.empty() ? "0" : s;
}

TEST(BigNum, CompareIgnoresSignsAndCopyOfZeroHasSignZero) {
    BigNum five = from_hex("5"), minus_five = from_hex("5", -1);
    EXPECT_EQ(cyr::bn_cmp_mag(&five, &minus_five), 0);
    EXPECT_EQ(cyr::bn_cmp(&minus_five, &five), -1);
    BigNum zero, copy;
    cyr::bn_zero(&zero);
    cyr::bn_copy(&copy, &zero);
    EXPECT_EQ(copy.sign, 0);
    EXPECT_EQ(copy.length, 0);
}

TEST(BigNum, SignedSumsAndDifferences) {
    struct Case {
        const char* a;
        int sa;
        const char* b;
        int sb;
        const char* sum;
        const char* diff;
    };
    const Case cases[] = {
        {"5", 1, "3", 1, "08", "02"},
        {"5", -1, "3", 1, "-02", "-08"},
        {"3", 1, "5", 1, "08", "-02"},
        {"5", 1, "5", 1, "0A", "0"},
        {"FFFFFFFFFFFFFFFF", 1, "1", 1, "010000000000000000", "FFFFFFFFFFFFFFFE"},
        {"010000000000000000", 1, "1", 1, "010000000000000001", "FFFFFFFFFFFFFFFF"},
        {"1", 1, "010000000000000000", -1, "-FFFFFFFFFFFFFFFF", "010000000000000001"},
    };
    for (const Case& c : cases) {
        BigNum a = from_hex(c.a, c.sa), b = from_hex(c.b, c.sb), r;
        cyr::bn_add(&r, &a, &b);
        EXPECT_EQ(to_hex(r), c.sum) << c.a << " + " << c.b;
        cyr::bn_sub(&r, &a, &b);
        EXPECT_EQ(to_hex(r), c.diff) << c.a << " - " << c.b;
        cyr::bn_sub(&a, &a, &b);  // the result may alias an operand
        EXPECT_EQ(to_hex(a), c.diff);
    }
}

TEST(BigNum, DivisionIncludingTheRareCorrectionSteps) {
    struct Case {
        const char* a;
        const char* m;
        const char* q;
        const char* r;
    };
    const Case cases[] = {
        // The quotient estimate is too large and the add-back step runs.
        {"7FFFFFFF800000010000000000000000", "800000000000000000000003", "FFFFFFFF",
         "FFFFFFFD00000003"},
        {"0", "3", "0", "0"},
        {"2", "3", "0", "02"},
        {"FFFFFFFFFFFFFFFFFFFFFFFF", "FFFFFFFF", "010000000100000001", "0"},
        {"0100000000000000000000000000000000", "01000000000000000000000001", "FFFFFFFF",
         "FFFFFFFFFFFFFFFF00000001"},
    };
    for (const Case& c : cases) {
        BigNum a = from_hex(c.a), m = from_hex(c.m), q, r;
        cyr::bn_divmod(&q, &r, &a, &m);
        EXPECT_EQ(to_hex(q), c.q) << c.a << " / " << c.m;
        EXPECT_EQ(to_hex(r), c.r) << c.a << " mod " << c.m;
    }
}

TEST(BigNum, ModuloOfANegativeNumberIsNonNegative) {
    BigNum a = from_hex("0B", -1), m = from_hex("7"), r;
    cyr::bn_mod(&r, &a, &m);  // -11 mod 7 = 3
    EXPECT_EQ(to_hex(r), "03");
    BigNum inv, three = from_hex("3");
    ASSERT_TRUE(cyr::bn_mod_inverse(&inv, &three, &m));
    EXPECT_EQ(to_hex(inv), "05");
    BigNum six = from_hex("6"), nine = from_hex("9");
    EXPECT_FALSE(cyr::bn_mod_inverse(&inv, &six, &nine));
}

TEST(BigNum, BytesAcceptLeadingZerosAndRefuseTooSmallOutput) {
    const uint8_t in[] = {0, 0, 0x01, 0x02, 0x03, 0x04, 0x05};
    BigNum a;
    cyr::bn_from_bytes(&a, in, sizeof in);
    EXPECT_EQ(a.length, 2);
    EXPECT_EQ(cyr::bn_byte_length(&a), 5u);
    uint8_t out[7];
    ASSERT_TRUE(cyr::bn_to_bytes(&a, out, sizeof out));
    EXPECT_EQ(0, std::memcmp(out, in, sizeof in));
    EXPECT_FALSE(cyr::bn_to_bytes(&a, out, 4));
    BigNum zero;
    cyr::bn_from_bytes(&zero, in, 2);
    EXPECT_TRUE(cyr::bn_is_zero(&zero));
}

TEST(BigNum, ShiftsAcrossWordBoundaries) {
    BigNum a = from_hex("80000001"), r;
    for (int bits : {1, 31, 32, 33, 64, 95}) {
        cyr::bn_shl(&r, &a, bits);
        EXPECT_EQ(cyr::bn_bits(&r), 32 + bits);
        cyr::bn_shr(&r, &r, bits);
        EXPECT_EQ(to_hex(r), "80000001") << bits;
    }
    cyr::bn_shr(&r, &a, 32);
    EXPECT_TRUE(cyr::bn_is_zero(&r));
}

}  // namespace
