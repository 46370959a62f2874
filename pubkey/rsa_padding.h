// The two message encodings of the large-modulus mechanisms. Pure functions
// over caller buffers: the random bytes are passed in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

// Mechanism 28: EM = 0x00 0x02 PS 0x01 M, k bytes, PS = k - mLen - 3 bytes
// of `random` in which every 0x01 became 0xFF (so the first 0x01 after PS
// ends it; zero bytes stay). Needs mLen <= k - 11 and `random` of k - mLen - 3
// bytes; false otherwise.
bool pad28_encode(const uint8_t* message, std::size_t length, const uint8_t* random, uint8_t* em,
                  std::size_t k);

// Mechanism 28 decoding of the decrypted value's big-endian bytes without
// leading zeros: they must start with 0x02, and the message follows the
// first 0x01 at index 9 or later. Points *message into `value`; false when
// the value does not decode.
bool pad28_decode(const uint8_t* value, std::size_t length, const uint8_t** message,
                  std::size_t* message_length);

// RSAES-OAEP encoding (PKCS #1 v2.2, RFC 8017 7.1.1) with SHA-1 as hash and
// MGF1 hash and an empty label: EM of k bytes (leading 0x00) from the message
// and a 20-byte seed. Needs mLen <= k - 42; false otherwise.
bool oaep_encode(const uint8_t* message, std::size_t length, const uint8_t seed[20], uint8_t* em,
                 std::size_t k);

// The decoding (RFC 8017 7.1.2 step 3) of a k-byte EM, in place: on success
// *message points into `em`. One failure for every malformed input, decided
// after the whole input was examined.
bool oaep_decode(uint8_t* em, std::size_t k, const uint8_t** message, std::size_t* message_length);

}  // namespace cyr
