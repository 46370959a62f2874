// Stand-ins until the public-key engines are linked in: every such
// mechanism answers "not supported".
#include "toolkit/internal.h"
#include "toolkit/pubkey_engines.h"

namespace cyr {

uint32_t pk_generate_key_pair(CYR_SLOT*, CYR_SLOT*, CYR_SLOT*) { return CYR_CTX_NOT_SUPPORTED; }
uint32_t pk_init(CYR_SLOT*, CYR_SLOT*, bool) { return CYR_CTX_NOT_SUPPORTED; }
uint32_t pk_crypt(CYR_SLOT* mechanism, CYR_SLOT*, CYR_SLOT*, bool) {
    release_contexts(mechanism);
    return CYR_CTX_NOT_SUPPORTED;
}
uint32_t pk_generate_random(CYR_SLOT* mechanism, CYR_SLOT*) {
    release_contexts(mechanism);
    return CYR_CTX_NOT_SUPPORTED;
}

}  // namespace cyr
