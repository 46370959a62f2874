// Signed multi-precision integers for the public-key side.
//
// Representation: `words` holds the magnitude, least significant 32-bit word
// first; `length` is the number of words in use, normalised so that the top
// used word is non-zero (0 for the value zero); `sign` is 1 or -1. The value
// zero may carry any sign; bn_copy writes sign 0 for it. Storage is a fixed
// array inside the number, so no operation allocates; every result must fit
// kBigNumWords words (all callers stay far below).
//
// Unless noted, a result may alias an operand. Products are formed with
// 64-bit intermediates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

// Room for a product of two 2912-bit numbers plus a spare carry word.
constexpr int kBigNumWords = 200;

struct BigNum {
    int32_t sign;
    int32_t length;
    uint32_t words[kBigNumWords];
};

void bn_zero(BigNum* r);
void bn_set_word(BigNum* r, uint32_t w);
void bn_copy(BigNum* r, const BigNum* a);
bool bn_is_zero(const BigNum* a);
bool bn_is_odd(const BigNum* a);
bool bn_is_negative(const BigNum* a);  // sign -1 and non-zero

// Compares magnitudes: -1, 0, 1 (signs ignored).
int bn_cmp_mag(const BigNum* a, const BigNum* b);
// Compares signed values: -1, 0, 1.
int bn_cmp(const BigNum* a, const BigNum* b);
// Number of significant bits of the magnitude (0 for zero).
int bn_bits(const BigNum* a);

// Shifts of the magnitude; the sign is kept.
void bn_shl(BigNum* r, const BigNum* a, int bits);
void bn_shr(BigNum* r, const BigNum* a, int bits);

// Signed sums and differences.
void bn_add(BigNum* r, const BigNum* a, const BigNum* b);
void bn_sub(BigNum* r, const BigNum* a, const BigNum* b);
// Signed a + w and a - w for one unsigned word.
void bn_add_word(BigNum* r, const BigNum* a, uint32_t w);
void bn_sub_word(BigNum* r, const BigNum* a, uint32_t w);

void bn_mul_word(BigNum* r, const BigNum* a, uint32_t w);
// r += a * w on magnitudes (r and a non-negative).
void bn_mul_add_word(BigNum* r, const BigNum* a, uint32_t w);
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b);
void bn_sqr(BigNum* r, const BigNum* a);

// Truncating division: a = q*m + rem, |rem| < |m|, rem has a's sign, q is
// rounded toward zero. q or rem may be null. m must not be zero (a zero m
// gives q = 0, rem = a).
void bn_divmod(BigNum* q, BigNum* rem, const BigNum* a, const BigNum* m);
// r = a mod m in [0, |m|).
void bn_mod(BigNum* r, const BigNum* a, const BigNum* m);
// r = a^-1 mod m in [1, m) by the extended Euclidean algorithm; false when
// gcd(a, m) != 1.
bool bn_mod_inverse(BigNum* r, const BigNum* a, const BigNum* m);
// a mod w of the magnitude.
uint32_t bn_mod_word(const BigNum* a, uint32_t w);

// Big-endian bytes, leading zeros accepted; the result is non-negative.
void bn_from_bytes(BigNum* r, const uint8_t* bytes, std::size_t length);
// Exactly `length` big-endian bytes of the magnitude, zero-filled on the left;
// false when the magnitude needs more.
bool bn_to_bytes(const BigNum* a, uint8_t* out, std::size_t length);
// Minimal byte form (no leading zeros; zero has none): the byte count.
std::size_t bn_byte_length(const BigNum* a);

// Zeroes the number's first `words` words (every value it ever held must
// have fit them), its sign and its length, in a way the compiler keeps.
void bn_wipe(BigNum* a, int words = kBigNumWords);

// Sets r from little-endian words (count may include top zero words).
void bn_from_words(BigNum* r, const uint32_t* words, int count);

}  // namespace cyr
