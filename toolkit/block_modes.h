// The block-mode layer shared by SEED, AES and ARIA: ECB, CBC, 128-bit OFB
// and CFB over any 16-byte block cipher, with block padding and with partial
// blocks carried between calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cyr {

constexpr uint32_t kModeEcb = 1;
constexpr uint32_t kModeCbc = 2;
constexpr uint32_t kModeOfb = 3;
constexpr uint32_t kModeCfb = 4;
constexpr uint32_t kPadNone = 1;
constexpr uint32_t kPadBlock = 2;  // n bytes of value n, n = 1..16; always added

// The first fields of every cipher context (kinds 57, 62, 63), in this order.
// `reg` is the CBC chaining value or the OFB/CFB feedback register; `buffer`
// holds `buffered` (0..16) bytes of a partial block between calls.
struct ModeState {
    uint32_t mode;
    uint32_t padding;
    uint8_t iv[16];
    uint8_t reg[16];
    uint8_t buffer[16];
    uint32_t buffered;
};

// A block cipher as the modes see it: transforms of `blocks` independent
// 16-byte blocks, where `in` and `out` are equal or do not overlap. `forward`
// serves every encryption and OFB/CFB decryption; `inverse` ECB/CBC decryption.
struct BlockCipher {
    const void* keys;
    void (*forward)(const void* keys, const uint8_t* in, uint8_t* out, std::size_t blocks);
    void (*inverse)(const void* keys, const uint8_t* in, uint8_t* out, std::size_t blocks);
    // Optional: CFB encryption of `blocks` whole blocks with the feedback
    // register kept inside the cipher between blocks (reg = E(reg) ^ P;
    // C = reg). Null: the modes compose it from `forward`.
    void (*cfb_encrypt)(const void* keys, uint8_t reg[16], const uint8_t* in, uint8_t* out,
                        std::size_t blocks) = nullptr;
};

// buffered = 0; unless the mode is ECB, reg = iv.
void mode_reset(ModeState* s);

// Steps take any length and write `*produced` bytes to `out`; they fail (false)
// on a mode code outside 1..4 and when a block is due and `out` overlaps `in`.
// Encrypt step: keeps total mod 16 bytes buffered (0..15).
bool mode_encrypt_step(ModeState* s, const BlockCipher& c, const uint8_t* in, std::size_t length,
                       uint8_t* out, std::size_t* produced);
// Decrypt step: once more than 16 bytes were seen keeps 1..16 buffered, so
// that the end step always has the last block.
bool mode_decrypt_step(ModeState* s, const BlockCipher& c, const uint8_t* in, std::size_t length,
                       uint8_t* out, std::size_t* produced);

// Encrypt end: ECB/CBC pad and write one block (nothing when unpadded and
// empty; failure when unpadded with bytes left); OFB/CFB write the buffered
// bytes XOR the next keystream block. At most 16 bytes.
bool mode_encrypt_end(ModeState* s, const BlockCipher& c, uint8_t* out, std::size_t* produced);
// Decrypt end: ECB/CBC need 0 or 16 buffered bytes; the 16 decrypted bytes are
// written before the padding is checked and removed (failure on bad padding).
// OFB/CFB as the encrypt end. At most 16 bytes.
bool mode_decrypt_end(ModeState* s, const BlockCipher& c, uint8_t* out, std::size_t* produced);

// Fills buffer[buffered..15] with the padding value; false for padding code 1
// with buffered bytes or an unknown code. Produces `*length` = 0 or 16.
bool pad_block(uint8_t buffer[16], std::size_t buffered, uint32_t padding, std::size_t* length);
// How many trailing bytes the padding takes from a decrypted last block;
// false when the padding is malformed.
bool unpad_count(const uint8_t block[16], uint32_t padding, std::size_t* count);

}  // namespace cyr
