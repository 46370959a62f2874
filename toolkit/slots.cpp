// Slot and context bookkeeping shared by every entry point.
#include <cstdlib>
#include <cstring>

#include "toolkit/internal.h"

namespace cyr {

void release_slot(CYR_SLOT* slot, bool free_owned) {
    if (slot->data == nullptr) return;
    if (slot->wipe == 1) secure_wipe(slot->data, slot->length);
    if (free_owned && slot->owned == 1) {
        std::free(slot->data);
        slot->data = nullptr;
        slot->owned = 0;
    }
}

void release_contexts(CYR_SLOT* mechanism) {
    for (int i = 5; i < 8; ++i) release_slot(&mechanism[i], true);
}

CYR_SLOT* find_context(CYR_SLOT* mechanism, uint32_t kind) {
    for (int i = 5; i < 8; ++i)
        if (mechanism[i].kind == kind && mechanism[i].data != nullptr) return &mechanism[i];
    return nullptr;
}

void* install_context(CYR_SLOT* mechanism, uint32_t kind, std::size_t size) {
    release_slot(&mechanism[5], true);
    void* p = std::calloc(1, size);
    if (p == nullptr) return nullptr;
    mechanism[5].kind = kind;
    mechanism[5].data = p;
    mechanism[5].length = static_cast<uint32_t>(size);
    mechanism[5].wipe = 1;
    mechanism[5].owned = 1;
    return p;
}

}  // namespace cyr
