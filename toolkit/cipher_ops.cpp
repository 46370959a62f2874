// The cipher operations; see cipher_ops.h.
#include "toolkit/cipher_ops.h"

#include "toolkit/cyr.h"

namespace cyr {

namespace {

inline bool block_mode(const ModeState* s) {
    return s->mode == kModeEcb || s->mode == kModeCbc;
}

inline bool unpadded_block_mode(const ModeState* s) {
    return block_mode(s) && s->padding != kPadBlock;
}

// Size query, then capacity: 0 to go on, 1 when the query was answered,
// otherwise the status to return.
uint32_t check_output(uint64_t size, uint8_t* out, uint32_t* out_length, uint32_t base) {
    if (size > UINT32_MAX) return base + kLengthInvalid;
    if (out == nullptr) {
        *out_length = uint32_t(size);
        return 1;
    }
    if (*out_length < size) return CYR_BUFFER_TOO_SMALL;
    return 0;
}

inline uint32_t finish_check(uint32_t check) {
    return check == 1 ? CYR_OK : check;
}

}  // namespace

uint32_t op_encrypt(const CipherCall& call, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length) {
    ModeState* s = call.state;
    if (s == nullptr) return CYR_ARGUMENTS_BAD;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    if (unpadded_block_mode(s) && in_length % 16 != 0) return call.code_base + kLengthInvalid;
    // Bytes buffered by earlier updates count too, so the output always fits.
    const uint64_t total = uint64_t(s->buffered) + in_length;
    const uint64_t size =
        block_mode(s) && s->padding == kPadBlock ? total + 16 - total % 16 : total;
    if (uint32_t c = check_output(size, out, out_length, call.code_base)) return finish_check(c);

    std::size_t stepped = 0, ended = 0;
    if (!mode_encrypt_step(s, call.cipher, in, in_length, out, &stepped))
        return call.code_base + kEncryptUpdateFailed;
    if (!mode_encrypt_end(s, call.cipher, out + stepped, &ended))
        return call.code_base + kEncryptFinalFailed;
    *out_length = uint32_t(stepped + ended);
    return CYR_OK;
}

uint32_t op_decrypt(const CipherCall& call, const uint8_t* in, uint32_t in_length, uint8_t* out,
                    uint32_t* out_length) {
    ModeState* s = call.state;
    if (s == nullptr) return CYR_ARGUMENTS_BAD;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    if (unpadded_block_mode(s) && in_length % 16 != 0) return call.code_base + kLengthInvalid;
    const uint64_t size = uint64_t(s->buffered) + in_length;
    if (uint32_t c = check_output(size, out, out_length, call.code_base)) return finish_check(c);

    std::size_t stepped = 0, ended = 0;
    if (!mode_decrypt_step(s, call.cipher, in, in_length, out, &stepped))
        return call.code_base + kDecryptUpdateFailed;
    if (!mode_decrypt_end(s, call.cipher, out + stepped, &ended))
        return call.code_base + kDecryptFinalFailed;
    *out_length = uint32_t(stepped + ended);
    return CYR_OK;
}

uint32_t op_encrypt_update(const CipherCall& call, const uint8_t* in, uint32_t in_length,
                           uint8_t* out, uint32_t* out_length) {
    ModeState* s = call.state;
    if (s == nullptr) return CYR_ARGUMENTS_BAD;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    if (unpadded_block_mode(s) && in_length % 16 != 0) return call.code_base + kLengthInvalid;
    const uint64_t total = uint64_t(s->buffered) + in_length;
    if (uint32_t c = check_output(total - total % 16, out, out_length, call.code_base))
        return finish_check(c);

    std::size_t produced = 0;
    if (!mode_encrypt_step(s, call.cipher, in, in_length, out, &produced))
        return call.code_base + kEncryptUpdateFailed;
    *out_length = uint32_t(produced);
    return CYR_OK;
}

uint32_t op_decrypt_update(const CipherCall& call, const uint8_t* in, uint32_t in_length,
                           uint8_t* out, uint32_t* out_length) {
    ModeState* s = call.state;
    if (s == nullptr) return CYR_ARGUMENTS_BAD;
    if (in == nullptr || in_length == 0) return CYR_INPUT_DATA_EMPTY;
    const uint64_t total = uint64_t(s->buffered) + in_length;
    const uint64_t size = total > 16 ? total - total % 16 : 0;
    if (uint32_t c = check_output(size, out, out_length, call.code_base)) return finish_check(c);

    std::size_t produced = 0;
    if (!mode_decrypt_step(s, call.cipher, in, in_length, out, &produced))
        return call.code_base + kDecryptUpdateFailed;
    *out_length = uint32_t(produced);
    return CYR_OK;
}

uint32_t op_encrypt_final(const CipherCall& call, uint8_t* out, uint32_t* out_length) {
    ModeState* s = call.state;
    if (s == nullptr) return CYR_ARGUMENTS_BAD;
    uint64_t size = s->buffered;
    if (block_mode(s)) {
        if (s->padding == kPadBlock) {
            size = 16;
        } else {
            if (s->buffered != 0) return call.code_base + kLengthInvalid;
            size = 0;
        }
    }
    if (uint32_t c = check_output(size, out, out_length, call.code_base)) return finish_check(c);

    std::size_t produced = 0;
    if (!mode_encrypt_end(s, call.cipher, out, &produced))
        return call.code_base + kEncryptFinalFailed;
    *out_length = uint32_t(produced);
    return CYR_OK;
}

uint32_t op_decrypt_final(const CipherCall& call, uint8_t* out, uint32_t* out_length) {
    ModeState* s = call.state;
    if (s == nullptr) return CYR_ARGUMENTS_BAD;
    if (s->buffered == 0) {
        *out_length = 0;
        return CYR_OK;
    }
    if (uint32_t c = check_output(16, out, out_length, call.code_base)) return finish_check(c);

    std::size_t produced = 0;
    if (!mode_decrypt_end(s, call.cipher, out, &produced))
        return call.code_base + kDecryptFinalFailed;
    *out_length = uint32_t(produced);
    return CYR_OK;
}

}  // namespace cyr
