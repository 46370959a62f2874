// Mechanisms 27 to 30 on the toolkit's records, behind the public-key hooks
// (toolkit/pubkey_engines.h). Mechanism 30 has no usable hash and is refused
// with 4097.
#pragma once

#include <cstdint>

#include "toolkit/cyr.h"

namespace cyr {

constexpr uint32_t kRsaMechKeyPair = 27;

bool rsa_is_cipher(uint32_t mechanism);  // 28, 29, 30

// CYR_GenerateKeyPair with mechanism 27, after the class checks.
uint32_t rsa_key_pair(CYR_SLOT* mechanism, CYR_SLOT* public_key, CYR_SLOT* private_key);
// Stores the key in a context of kind 61: 4103, 4098, 4100 (over 2224
// bytes), 4097 (mechanism 30).
uint32_t rsa_init(CYR_SLOT* mechanism, CYR_SLOT* key);
// The one-shot operation; releases the mechanism except after a size query.
uint32_t rsa_crypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output, bool decrypt);

}  // namespace cyr
