// CYR_GetErrorString: the one table of status-code names.
#include "toolkit/cyr.h"

namespace {

const char* name_of(uint32_t code) {
    switch (code) {
        case 16:
            return "CYR_EC_NUMBER_NOT_SUPPORTED";
        case 17:
            return "CYR_ECC_ENCRYPT_FAILED";
        case 18:
            return "CYR_ECC_DECRYPT_FAILED";
        case 19:
            return "CYR_ECDH_BASEKEY_EMPTY";
        case 20:
            return "CYR_ECDH_PEERSKEY_EMPTY";
        case 21:
            return "CYR_ECDH_KEYLENGTH_INVAILD";
        case 22:
            return "CYR_ECDSA_SIGNATURE_MISMATCHED";
        case 24:
            return "CYR_ECC_GEN_KEYPAIR_FAILED";
        case 25:
            return "CYR_ECDH_DERIVE_KEY_FAILED";
        case 26:
            return "CYR_ECDSA_SIGN_FAILED";
        case 27:
            return "CYR_ECDSA_VERIFY_FAILED";
        case 256:
            return "CYR_SEED_ENCRYPT_INIT_FAILED";
        case 257:
            return "CYR_SEED_ENCRYPT_UPDATE_FAILED";
        case 258:
            return "CYR_SEED_ENCRYPT_FINAL_FAILED";
        case 259:
            return "CYR_SEED_DECRYPT_INIT_FAILED";
        case 260:
            return "CYR_SEED_DECRYPT_UPDATE_FAILED";
        case 261:
            return "CYR_SEED_DECRYPT_FINAL_FAILED";
        case 262:
            return "CYR_SEED_PADDING_ERROR";
        case 263:
            return "CYR_SEED_MAC_UPDATE_FAILED";
        case 264:
            return "CYR_SEED_MAC_FINAL_FAILED";
        case 265:
            return "CYR_SEED_MAC_MISMATCHED";
        case 267:
            return "CYR_SEED_KEY_SCHEDULE_FAILD";
        case 4096:
            return "CYR_ARGUMENTS_BAD";
        case 4097:
            return "CYR_CTX_NOT_SUPPORTED";
        case 4098:
            return "CYR_INPUT_DATA_EMPTY";
        case 4099:
            return "CYR_INPUT_DATALENGTH_INVALID";
        case 4100:
            return "CYR_OUTBUFFER_NULL";
        case 4101:
            return "CYR_ENCRYPT_KEY_EMPTY";
        case 4102:
            return "CYR_DECRYPT_KEY_EMPTY";
        case 4103:
            return "CYR_KEY_TYPE_NOT_SUPPORTED";
        case 4104:
            return "CYR_KEY_TYPE_INVAILD";
        case 4105:
            return "CYR_BUFFER_TOO_SMALL";
        case 4106:
            return "CYR_RADNOM_LENGTH_INVAILD";
        case 4107:
            return "CYR_X9_62_GEN_RANDOM_FAILD";
        case 4108:
            return "CYR_X9_31_GEN_RANDOM_FAILD";
        case 4109:
            return "CYR_SIGN_KEY_EMPTY";
        case 4110:
            return "CYR_VERIFY_KEY_EMPTY";
        default:
            return "UNKNOWN_ERROR";
    }
}

}  // namespace

// The names are string literals: constant, shared by every thread.
extern "C" const char* CYR_GetErrorString(uint32_t code) {
    return name_of(code);
}
