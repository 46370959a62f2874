// Message encodings: see rsa_padding.h.
#include "pubkey/rsa_padding.h"

#include <cstring>

#include "toolkit/internal.h"
#include "toolkit/sha1.h"

namespace cyr {

namespace {

constexpr std::size_t kHash = 20;

// SHA-1 of the empty label.
constexpr uint8_t kEmptyLabelHash[kHash] = {0xda, 0x39, 0xa3, 0xee, 0x5e, 0x6b, 0x4b,
                                            0x0d, 0x32, 0x55, 0xbf, 0xef, 0x95, 0x60,
                                            0x18, 0x90, 0xaf, 0xd8, 0x07, 0x09};

// target ^= MGF1-SHA-1(seed, length).
void mgf1_xor(uint8_t* target, std::size_t length, const uint8_t* seed, std::size_t seed_length) {
    uint8_t digest[kHash];
    for (uint32_t counter = 0; length > 0; ++counter) {
        const uint8_t c[4] = {static_cast<uint8_t>(counter >> 24),
                              static_cast<uint8_t>(counter >> 16),
                              static_cast<uint8_t>(counter >> 8), static_cast<uint8_t>(counter)};
        Sha1Context ctx;
        sha1_init(&ctx);
        sha1_update(&ctx, seed, seed_length);
        sha1_update(&ctx, c, 4);
        sha1_final(&ctx, digest);
        std::size_t take = length < kHash ? length : kHash;
        for (std::size_t i = 0; i < take; ++i) target[i] ^= digest[i];
        target += take;
        length -= take;
        secure_wipe(&ctx, sizeof ctx);
    }
    secure_wipe(digest, sizeof digest);
}

}  // namespace

bool pad28_encode(const uint8_t* message, std::size_t length, const uint8_t* random, uint8_t* em,
                  std::size_t k) {
    if (k < 11 || length > k - 11) return false;
    const std::size_t ps = k - length - 3;
    em[0] = 0x00;
    em[1] = 0x02;
    for (std::size_t i = 0; i < ps; ++i) em[2 + i] = random[i] == 0x01 ? 0xFF : random[i];
    em[2 + ps] = 0x01;
    if (length > 0) std::memcpy(em + 3 + ps, message, length);
    return true;
}

bool pad28_decode(const uint8_t* value, std::size_t length, const uint8_t** message,
                  std::size_t* message_length) {
    if (length == 0 || value[0] != 0x02) return false;
    for (std::size_t i = 9; i < length; ++i)
        if (value[i] == 0x01) {
            *message = value + i + 1;
            *message_length = length - i - 1;
            return true;
        }
    return false;
}

bool oaep_encode(const uint8_t* message, std::size_t length, const uint8_t seed[20], uint8_t* em,
                 std::size_t k) {
    if (k < 2 * kHash + 2 || length > k - 2 * kHash - 2) return false;
    uint8_t* masked_seed = em + 1;
    uint8_t* db = em + 1 + kHash;
    const std::size_t db_length = k - kHash - 1;
    em[0] = 0x00;
    std::memcpy(db, kEmptyLabelHash, kHash);
    std::memset(db + kHash, 0, db_length - kHash - length - 1);
    db[db_length - length - 1] = 0x01;
    if (length > 0) std::memcpy(db + db_length - length, message, length);
    std::memcpy(masked_seed, seed, kHash);
    mgf1_xor(db, db_length, masked_seed, kHash);
    mgf1_xor(masked_seed, kHash, db, db_length);
    return true;
}

bool oaep_decode(uint8_t* em, std::size_t k, const uint8_t** message, std::size_t* message_length) {
    if (k < 2 * kHash + 2) return false;
    uint8_t* seed = em + 1;
    uint8_t* db = em + 1 + kHash;
    const std::size_t db_length = k - kHash - 1;
    mgf1_xor(seed, kHash, db, db_length);
    mgf1_xor(db, db_length, seed, kHash);

    // Accumulate every check without branching on the data.
    unsigned bad = em[0];
    for (std::size_t i = 0; i < kHash; ++i) bad |= db[i] ^ kEmptyLabelHash[i];
    std::size_t separator = 0;
    unsigned searching = 1;
    for (std::size_t i = kHash; i < db_length; ++i) {
        const unsigned is_one = static_cast<unsigned>(db[i] == 0x01);
        const unsigned is_zero = static_cast<unsigned>(db[i] == 0x00);
        separator |= i & (static_cast<std::size_t>(0) - (searching & is_one));
        bad |= searching & ~is_one & ~is_zero & 1;
        searching &= is_zero;
    }
    bad |= searching;
    if (bad != 0) return false;
    *message = db + separator + 1;
    *message_length = db_length - separator - 1;
    return true;
}

}  // namespace cyr
