// The toolkit's curve numbers and point multiplication, in the byte domain
// that the key and encryption code works in.
//
// Curve 1: the Koblitz curve a = b = 1 over GF(2^113); 3: sect163k1 (SEC 2);
// 4: sect113r1 (SEC 2); 5: c2pnb163v1 (ANSI X9.62). Coordinates are L-byte
// big-endian strings (L = 15 or 21); scalars are little-endian 32-bit words,
// any length (the methods reduce scalars they cannot take whole).
#pragma once

#include <cstddef>
#include <cstdint>

#include "pubkey/bignum.h"

namespace cyr {

constexpr std::size_t kMaxFieldBytes = 21;

struct EcPointBytes {
    bool infinity;
    uint8_t x[kMaxFieldBytes];  // first L bytes used
    uint8_t y[kMaxFieldBytes];
};

bool ec_curve_supported(uint32_t curve);
// L, the bytes of one coordinate (0 for an unsupported number).
std::size_t ec_field_bytes(uint32_t curve);
// The order n of the base point.
const BigNum& ec_order(uint32_t curve);
uint32_t ec_cofactor(uint32_t curve);
EcPointBytes ec_generator(uint32_t curve);

// k*G with the curve's fixed-base method (tau-adic width-7 NAF on curves 1
// and 3, 8-tooth comb on curve 5, ladder on curve 4).
EcPointBytes ec_mul_base(uint32_t curve, const uint32_t* k, int words);
// k*P with the curve's variable-base method (tau-adic width-5 NAF on curves 1
// and 3, López–Dahab Montgomery ladder on curves 4 and 5). P must lie on the
// curve; on Koblitz curves it must also lie in the subgroup of order n.
EcPointBytes ec_mul_point(uint32_t curve, const uint32_t* k, int words, const EcPointBytes& p);
// k*P by plain double-and-add: the reference for the methods above.
EcPointBytes ec_mul_reference(uint32_t curve, const uint32_t* k, int words, const EcPointBytes& p);
EcPointBytes ec_double_point(uint32_t curve, const EcPointBytes& p);
bool ec_point_on_curve(uint32_t curve, const EcPointBytes& p);

// Point octet string (ANSI X9.62 / SEC 1): format 2 compressed (L+1 bytes),
// 6 hybrid (2L+1), any other value uncompressed 4 (2L+1); infinity is the
// single byte 00. Returns the bytes written.
std::size_t ec_encode_point(uint32_t curve, const EcPointBytes& p, uint32_t format, uint8_t* out);

// Reads a point octet string: bit 2 of the first byte set means x and y
// follow (2L+1 bytes must be present), else bit 1 set means x follows and y
// is recovered from bit 0 (L+1 bytes). False when the bytes are too few, name
// no point, a coordinate is not a field element, or the point is not on the
// curve.
bool ec_decode_point(uint32_t curve, const uint8_t* in, std::size_t length, EcPointBytes* out);

}  // namespace cyr
