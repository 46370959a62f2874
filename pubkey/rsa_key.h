// Large-modulus (RSA) keys and their byte encodings.
//
// Private key: 0x30, a length, then 0x02 0x01 t (t = key type), the
// INTEGERs n, e, d, p, q, dP, dQ, qInv (type 2: one more) and one 0x00 byte
// that the length counts. Public key: 0x30, a length, INTEGER n, INTEGER e
// and the same 0x00 byte. Lengths are DER lengths (one byte below 128, else
// 0x80 + count and the value big-endian in as few bytes as needed); each
// INTEGER is 0x02, a length and the big-endian magnitude without leading
// zero bytes and without a sign byte (so this is not DER for numbers whose
// top bit is set).
#pragma once

#include <cstddef>
#include <cstdint>

#include "pubkey/bignum.h"

namespace cyr {

constexpr uint32_t kRsaMinBits = 512;
constexpr uint32_t kRsaMaxBits = 2912;
constexpr uint32_t kRsaMaxKeyBytes = 2224;
constexpr uint32_t kRsaExponent = 65537;

// Key types: 0 private operation by the Chinese remainder theorem; 2 carries
// one more number (no writer here produces it) and uses x^d mod n.
constexpr uint32_t kRsaTypeCrt = 0;
constexpr uint32_t kRsaTypeExtra = 2;

struct RsaPublicKey {
    BigNum n, e;
};

struct RsaPrivateKey {
    uint32_t type;
    BigNum n, e, d, p, q, dp, dq, qinv;
    BigNum extra;  // type 2 only
};

// Output room of key generation for a modulus of `bits`, b = (bits + 7) / 8:
// public b + (b + 1) / 2 + 12, private 3 * (b + 2 * ((b + 1) / 2)) + 40.
uint32_t rsa_public_capacity(uint32_t bits);
uint32_t rsa_private_capacity(uint32_t bits);

// The encodings; the byte count written, 0 when `capacity` is too small.
std::size_t rsa_write_public(const RsaPublicKey& key, uint8_t* out, std::size_t capacity);
std::size_t rsa_write_private(const RsaPrivateKey& key, uint8_t* out, std::size_t capacity);

// The readers accept the writers' form (trailing zero bytes inside the
// content, leading zero bytes in an INTEGER, bytes after the content) and
// check that the numbers make a usable key: n odd of 512 to 2912 bits,
// e odd, 3 <= e < n; for a private key also type 0 or 2, n = p * q, and
// dP < p, dQ < q, qInv < p. False otherwise (status 4104).
bool rsa_read_public(const uint8_t* in, std::size_t length, RsaPublicKey* key);
bool rsa_read_private(const uint8_t* in, std::size_t length, RsaPrivateKey* key);

}  // namespace cyr
