// The cipher operations behind the flat interface: one-shot, update and final
// with their size rules and status codes, over the mode layer, for any of the
// three block ciphers.
#pragma once

#include <cstdint>

#include "toolkit/block_modes.h"

namespace cyr {

// Each cipher numbers its codes from a base (SEED 256, AES 268, ARIA 280).
enum CodeOffset : uint32_t {
    kEncryptInitFailed = 0,
    kEncryptUpdateFailed = 1,
    kEncryptFinalFailed = 2,
    kDecryptInitFailed = 3,
    kDecryptUpdateFailed = 4,
    kDecryptFinalFailed = 5,
    kLengthInvalid = 6,
    kKeyScheduleFailed = 11,
};

// A context's mode state with its cipher. `state` null means "no context".
struct CipherCall {
    ModeState* state;
    BlockCipher cipher;
    uint32_t code_base;
};

// Every operation: 4096 without a context; 4098 for null or empty input
// (one-shot and update); with `out` null it stores the size in `*out_length`
// and returns 0 without working; 4105 when `*out_length` is below the size;
// on success `*out_length` = bytes written. `*out_length` changes on success
// and size queries only. `in` and `out` must not overlap (update failure).
//
// One-shot encrypt: size = the padded length (ECB/CBC with padding), else the
// length; unpadded ECB/CBC need a multiple of 16 (base+6).
uint32_t op_encrypt(const CipherCall& call, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length);
// One-shot decrypt: size = the ciphertext length (padding is removed after).
// A bad last block (incomplete, bad padding: the wrong key) gives base+5.
uint32_t op_decrypt(const CipherCall& call, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length);
// Update: size = whole blocks of (buffered + length); decryption writes
// nothing until more than 16 bytes were seen.
uint32_t op_encrypt_update(const CipherCall& call, const uint8_t* in, uint32_t in_length,
                           uint8_t* out, uint32_t* out_length);
uint32_t op_decrypt_update(const CipherCall& call, const uint8_t* in, uint32_t in_length,
                           uint8_t* out, uint32_t* out_length);
// Final: encryption 16 (padded), 0 (unpadded, base+6 when bytes are left) or
// the buffered count (OFB/CFB); decryption 0 when nothing is buffered, else
// size 16 with the padding removed from what is written.
uint32_t op_encrypt_final(const CipherCall& call, uint8_t* out, uint32_t* out_length);
uint32_t op_decrypt_final(const CipherCall& call, uint8_t* out, uint32_t* out_length);

}  // namespace cyr
