// Toolkit internals shared by toolkit/ and pubkey/ (both are the `cyr`
// library). Not part of the public interface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/secret.h"
#include "toolkit/cyr.h"

namespace cyr {

// Zeroes n bytes in a way the compiler cannot drop.
using platform::secure_wipe;

// Releases one slot: wipes when its wipe flag is set, then frees when
// `free_owned` and the slot owns its data.
void release_slot(CYR_SLOT* slot, bool free_owned);

// Releases slots 5..7 of a mechanism with freeing on.
void release_contexts(CYR_SLOT* mechanism);

// The first of slots 5..7 with the given context kind and non-null data.
CYR_SLOT* find_context(CYR_SLOT* mechanism, uint32_t kind);

// Allocates `size` zeroed bytes into slot 5 (kind, wipe 1, owned 1) after
// releasing what was there; null when the allocation fails.
void* install_context(CYR_SLOT* mechanism, uint32_t kind, std::size_t size);

// Status codes without a public name.
constexpr uint32_t kEcKeyTooLong = 23;
constexpr uint32_t kAesBase = 268;
constexpr uint32_t kAriaBase = 280;

}  // namespace cyr
