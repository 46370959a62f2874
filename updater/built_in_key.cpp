// The publisher's public key, compiled in from the build option
// VELLORA_UPDATE_PUBLIC_KEY (64 hex digits; empty for no key).
#include "updater/signed_list.h"

#ifndef VELLORA_UPDATE_PUBLIC_KEY
#define VELLORA_UPDATE_PUBLIC_KEY ""
#endif

namespace updater {

const char* BuiltInUpdateKey() {
    return VELLORA_UPDATE_PUBLIC_KEY;
}

}  // namespace updater
