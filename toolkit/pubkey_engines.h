// Engines of the public-key side (pubkey/) reached through the dispatch.
// The dispatch has already checked its own arguments (null pointers, the
// mechanism number's family); each engine does the rest of its entry point,
// releasing the mechanism as that entry point requires.
#pragma once

#include "toolkit/cyr.h"

namespace cyr {

// Mechanisms 10 and 27, after the class checks.
uint32_t pk_generate_key_pair(CYR_SLOT* mechanism, CYR_SLOT* public_key, CYR_SLOT* private_key);
// Mechanisms 11, 25, 26, 28, 29, 30.
uint32_t pk_init(CYR_SLOT* mechanism, CYR_SLOT* key, bool decrypt);
uint32_t pk_crypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output, bool decrypt);
// Mechanism 49, after the dispatch's checks: fills output->length bytes.
uint32_t pk_generate_random(CYR_SLOT* mechanism, CYR_SLOT* output);

}  // namespace cyr
