// The RSA operations and mechanisms 28 and 29 over byte buffers. Status codes
// are the toolkit's (toolkit/cyr.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "pubkey/rsa_key.h"

namespace cyr {

// x = m^e mod n with the key's exponent; m < n.
void rsa_public_op(const RsaPublicKey& key, BigNum* x, const BigNum* m);

// m = x^d mod n; x < n. Type 0 by the Chinese remainder theorem (m1 = x^dP
// mod p, m2 = x^dQ mod q, m = m2 + q * (qInv * (m1 - m2) mod p)), other types
// directly.
void rsa_private_op(const RsaPrivateKey& key, BigNum* m, const BigNum* x);

// Mechanisms 28 and 29, one-shot. `key` is the encoding of the public key
// (encrypting) or the private key (decrypting); a null `out` is a size query
// that stores the size in *out_length. Mechanism 28 writes the ciphertext
// without leading zero bytes, 29 exactly k = (bits + 7) / 8 bytes.
// Codes: 4104 (key unreadable), 4098 (no input, undecodable or out-of-range
// ciphertext), 4105 (output room below k), 4097 (message too long; other
// mechanisms), 4108 (generator failed).
uint32_t rsa_encrypt(uint32_t mechanism, const uint8_t* key, std::size_t key_length,
                     const uint8_t* in, std::size_t in_length, uint8_t* out, uint32_t* out_length);
uint32_t rsa_decrypt(uint32_t mechanism, const uint8_t* key, std::size_t key_length,
                     const uint8_t* in, std::size_t in_length, uint8_t* out, uint32_t* out_length);

}  // namespace cyr
