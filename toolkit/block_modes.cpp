// The block-mode layer; see block_modes.h.
#include "toolkit/block_modes.h"

#include <cstring>

namespace cyr {

namespace {

inline void xor_into(uint8_t* dst, const uint8_t* a, const uint8_t* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        x ^= y;
        std::memcpy(dst + i, &x, 8);
    }
    for (; i < n; ++i) dst[i] = a[i] ^ b[i];
}

inline bool valid_mode(uint32_t mode) {
    return mode >= kModeEcb && mode <= kModeCfb;
}

// The caller's regions must be apart: every mode reads input after writing
// earlier output.
inline bool overlaps(const uint8_t* in, std::size_t in_length, const uint8_t* out,
                     std::size_t out_length) {
    auto a = reinterpret_cast<std::uintptr_t>(in);
    auto b = reinterpret_cast<std::uintptr_t>(out);
    return a < b + out_length && b < a + in_length;
}

inline void forward1(const BlockCipher& c, const uint8_t* in, uint8_t* out) {
    c.forward(c.keys, in, out, 1);
}

// n whole blocks, `in` and `out` apart.
void encrypt_blocks(ModeState* s, const BlockCipher& c, const uint8_t* in, uint8_t* out,
                    std::size_t n) {
    switch (s->mode) {
        case kModeEcb:
            c.forward(c.keys, in, out, n);
            break;
        case kModeCbc:
            for (std::size_t i = 0; i < n; ++i, in += 16, out += 16) {
                xor_into(s->reg, s->reg, in, 16);
                forward1(c, s->reg, s->reg);
                std::memcpy(out, s->reg, 16);
            }
            break;
        case kModeOfb:
            for (std::size_t i = 0; i < n; ++i, in += 16, out += 16) {
                forward1(c, s->reg, s->reg);
                xor_into(out, in, s->reg, 16);
            }
            break;
        case kModeCfb:
            if (c.cfb_encrypt != nullptr) {
                c.cfb_encrypt(c.keys, s->reg, in, out, n);
                break;
            }
            for (std::size_t i = 0; i < n; ++i, in += 16, out += 16) {
                forward1(c, s->reg, s->reg);
                xor_into(s->reg, s->reg, in, 16);
                std::memcpy(out, s->reg, 16);
            }
            break;
    }
}

// CFB decryption of the block `first` followed by `n` blocks at `in`. Every
// keystream block is E(previous ciphertext block), all known in advance, so
// they go to the cipher in batches that it can interleave.
void cfb_decrypt_run(ModeState* s, const BlockCipher& c, const uint8_t* first, const uint8_t* in,
                     std::size_t n, uint8_t* out) {
    constexpr std::size_t kBatch = 64;
    uint8_t keystream[16 * kBatch];
    const std::size_t total = n + 1;
    auto block = [&](std::size_t j) { return j == 0 ? first : in + 16 * (j - 1); };
    for (std::size_t j = 0; j < total;) {
        const std::size_t m = total - j < kBatch ? total - j : kBatch;
        for (std::size_t t = 0; t < m; ++t)
            std::memcpy(keystream + 16 * t, j + t == 0 ? s->reg : block(j + t - 1), 16);
        c.forward(c.keys, keystream, keystream, m);
        for (std::size_t t = 0; t < m; ++t)
            xor_into(out + 16 * (j + t), block(j + t), keystream + 16 * t, 16);
        j += m;
    }
    std::memcpy(s->reg, block(total - 1), 16);
}

// n whole blocks, `in` and `out` apart. CBC and CFB decryption have all their
// block inputs at hand, so they go to the cipher as one batch.
void decrypt_blocks(ModeState* s, const BlockCipher& c, const uint8_t* in, uint8_t* out,
                    std::size_t n) {
    const std::size_t bytes = 16 * n;
    switch (s->mode) {
        case kModeEcb:
            c.inverse(c.keys, in, out, n);
            break;
        case kModeCbc:
            c.inverse(c.keys, in, out, n);
            xor_into(out, out, s->reg, 16);
            xor_into(out + 16, out + 16, in, bytes - 16);
            std::memcpy(s->reg, in + bytes - 16, 16);
            break;
        case kModeOfb:
            encrypt_blocks(s, c, in, out, n);
            break;
        case kModeCfb:
            forward1(c, s->reg, out);
            if (n > 1) c.forward(c.keys, in, out + 16, n - 1);
            xor_into(out, out, in, bytes);
            std::memcpy(s->reg, in + bytes - 16, 16);
            break;
    }
}

// OFB and CFB ends: the buffered bytes XOR the next keystream block.
void stream_end(ModeState* s, const BlockCipher& c, uint8_t* out, std::size_t* produced) {
    forward1(c, s->reg, s->reg);
    if (s->mode == kModeOfb) {
        xor_into(out, s->buffer, s->reg, s->buffered);
    } else {
        xor_into(s->reg, s->reg, s->buffer, 16);
        std::memcpy(out, s->reg, s->buffered);
    }
    *produced = s->buffered;
    s->buffered = 0;
}

}  // namespace

void mode_reset(ModeState* s) {
    s->buffered = 0;
    if (s->mode != kModeEcb) std::memcpy(s->reg, s->iv, 16);
}

bool mode_encrypt_step(ModeState* s, const BlockCipher& c, const uint8_t* in, std::size_t length,
                       uint8_t* out, std::size_t* produced) {
    *produced = 0;
    if (!valid_mode(s->mode)) return false;
    const std::size_t total = s->buffered + length;
    if (total < 16) {
        if (length != 0) std::memcpy(s->buffer + s->buffered, in, length);
        s->buffered = uint32_t(total);
        return true;
    }
    const std::size_t rest = total % 16;
    if (overlaps(in, length, out, total - rest)) return false;

    const std::size_t take = 16 - s->buffered;
    std::memcpy(s->buffer + s->buffered, in, take);
    encrypt_blocks(s, c, s->buffer, out, 1);
    in += take;
    length -= take;
    const std::size_t whole = length / 16;
    if (whole != 0) encrypt_blocks(s, c, in, out + 16, whole);
    std::memcpy(s->buffer, in + 16 * whole, rest);
    s->buffered = uint32_t(rest);
    *produced = total - rest;
    return true;
}

bool mode_decrypt_step(ModeState* s, const BlockCipher& c, const uint8_t* in, std::size_t length,
                       uint8_t* out, std::size_t* produced) {
    *produced = 0;
    if (!valid_mode(s->mode)) return false;
    const std::size_t total = s->buffered + length;
    if (total <= 16) {
        if (length != 0) std::memcpy(s->buffer + s->buffered, in, length);
        s->buffered = uint32_t(total);
        return true;
    }
    // 1..16 bytes stay behind for the end step.
    const std::size_t keep = (total - 1) % 16 + 1;
    if (overlaps(in, length, out, total - keep)) return false;

    const std::size_t take = 16 - s->buffered;
    std::memcpy(s->buffer + s->buffered, in, take);
    in += take;
    length -= take;
    const std::size_t whole = (length - keep) / 16;
    if (s->mode == kModeCfb) {
        cfb_decrypt_run(s, c, s->buffer, in, whole, out);
    } else {
        decrypt_blocks(s, c, s->buffer, out, 1);
        if (whole != 0) decrypt_blocks(s, c, in, out + 16, whole);
    }
    std::memcpy(s->buffer, in + 16 * whole, keep);
    s->buffered = uint32_t(keep);
    *produced = total - keep;
    return true;
}

bool mode_encrypt_end(ModeState* s, const BlockCipher& c, uint8_t* out, std::size_t* produced) {
    *produced = 0;
    switch (s->mode) {
        case kModeEcb:
        case kModeCbc: {
            std::size_t length = 0;
            if (!pad_block(s->buffer, s->buffered, s->padding, &length)) return false;
            s->buffered = 0;
            if (length == 0) return true;
            encrypt_blocks(s, c, s->buffer, out, 1);
            *produced = 16;
            return true;
        }
        case kModeOfb:
        case kModeCfb:
            stream_end(s, c, out, produced);
            return true;
        default:
            return false;
    }
}

bool mode_decrypt_end(ModeState* s, const BlockCipher& c, uint8_t* out, std::size_t* produced) {
    *produced = 0;
    switch (s->mode) {
        case kModeEcb:
        case kModeCbc: {
            if (s->buffered == 0) return true;
            if (s->buffered != 16) return false;
            s->buffered = 0;
            decrypt_blocks(s, c, s->buffer, out, 1);
            std::size_t strip = 0;
            if (!unpad_count(out, s->padding, &strip)) return false;
            *produced = 16 - strip;
            return true;
        }
        case kModeOfb:
        case kModeCfb:
            stream_end(s, c, out, produced);
            return true;
        default:
            return false;
    }
}

bool pad_block(uint8_t buffer[16], std::size_t buffered, uint32_t padding, std::size_t* length) {
    *length = 0;
    if (padding == kPadNone) return buffered == 0;
    if (padding != kPadBlock || buffered >= 16) return false;
    std::memset(buffer + buffered, int(16 - buffered), 16 - buffered);
    *length = 16;
    return true;
}

bool unpad_count(const uint8_t block[16], uint32_t padding, std::size_t* count) {
    *count = 0;
    if (padding == kPadNone) return true;
    if (padding != kPadBlock) return false;
    const uint8_t n = block[15];
    if (n < 1 || n > 16) return false;
    for (int i = 16 - n; i < 16; ++i)
        if (block[i] != n) return false;
    *count = n;
    return true;
}

}  // namespace cyr
