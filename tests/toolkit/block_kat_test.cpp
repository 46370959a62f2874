// SEED, AES and ARIA against their standards' vectors: the block functions,
// the flat interface in ECB, and the mode layer with the input split at every
// offset.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/toolkit/test_util.h"
#include "tests/toolkit/vectors.h"
#include "toolkit/cipher_contexts.h"
#include "toolkit/cyr.h"

namespace {

using cyrtest::Bytes;
using cyrtest::hex;
using cyrtest::Mechanism;
using cyrtest::Object;

struct Family {
    const char* name;
    const cyrtest::BlockVector* vectors;
    std::size_t count;
    uint32_t ecb_mechanism;
};

const Family kFamilies[] = {
    {"SEED", cyrtest::kSeedVectors, std::size(cyrtest::kSeedVectors), CYR_MECH_SEED_ECB},
    {"AES", cyrtest::kAesVectors, std::size(cyrtest::kAesVectors), CYR_MECH_AES_ECB},
    {"ARIA", cyrtest::kAriaVectors, std::size(cyrtest::kAriaVectors), CYR_MECH_ARIA_ECB},
};

// Encryption keys and, for ECB decryption, the inverse keys of one vector.
struct Keys {
    cyr::SeedRoundKeys seed;
    cyr::AesKeys aes, aes_inverse;
    cyr::AriaKeys aria, aria_inverse;
    cyr::BlockCipher forward, inverse;

    Keys(const Family& f, const Bytes& key) {
        if (f.ecb_mechanism == CYR_MECH_SEED_ECB) {
            EXPECT_TRUE(cyr::seed_key_schedule(key.data(), key.size(), &seed));
            forward = inverse = cyr::seed_cipher(&seed);
        } else if (f.ecb_mechanism == CYR_MECH_AES_ECB) {
            EXPECT_TRUE(cyr::aes_key_schedule(key.data(), key.size(), 0, &aes));
            EXPECT_TRUE(cyr::aes_key_schedule(key.data(), key.size(), 1, &aes_inverse));
            forward = cyr::aes_cipher(&aes);
            inverse = cyr::aes_cipher(&aes_inverse);
        } else {
            EXPECT_TRUE(cyr::aria_key_schedule(key.data(), key.size(), 0, &aria));
            EXPECT_TRUE(cyr::aria_key_schedule(key.data(), key.size(), 1, &aria_inverse));
            forward = cyr::aria_cipher(&aria);
            inverse = cyr::aria_cipher(&aria_inverse);
        }
    }
};

TEST(BlockKat, BlockFunctions) {
    for (const Family& f : kFamilies)
        for (std::size_t i = 0; i < f.count; ++i) {
            const auto& v = f.vectors[i];
            Keys keys(f, hex(v.key));
            Bytes block = hex(v.plain);
            keys.forward.forward(keys.forward.keys, block.data(), block.data(), 1);
            EXPECT_EQ(block, hex(v.cipher)) << v.source;
            keys.inverse.inverse(keys.inverse.keys, block.data(), block.data(), 1);
            EXPECT_EQ(block, hex(v.plain)) << v.source;
        }
}

TEST(BlockKat, FlatInterfaceEcb) {
    for (const Family& f : kFamilies)
        for (std::size_t i = 0; i < f.count; ++i) {
            const auto& v = f.vectors[i];
            Bytes key = hex(v.key), plain = hex(v.plain), out(16);
            Object k(&key), in(&plain), o(&out);
            Mechanism enc(f.ecb_mechanism);
            ASSERT_EQ(CYR_EncryptInit(enc.get(), k.get()), 0u) << v.source;
            ASSERT_EQ(CYR_Encrypt(enc.get(), in.get(), o.get()), 0u) << v.source;
            EXPECT_EQ(out, hex(v.cipher)) << v.source;

            Bytes cipher = out, back(16);
            Object ci(&cipher), bo(&back);
            Mechanism dec(f.ecb_mechanism);
            ASSERT_EQ(CYR_DecryptInit(dec.get(), k.get()), 0u) << v.source;
            ASSERT_EQ(CYR_Decrypt(dec.get(), ci.get(), bo.get()), 0u) << v.source;
            EXPECT_EQ(back, plain) << v.source;
        }
}

// The vector's block fed to the mode layer in two pieces cut at every offset,
// then the end step: the same block must come out.
TEST(BlockKat, ModeLayerSplitAtEveryOffset) {
    for (const Family& f : kFamilies)
        for (std::size_t i = 0; i < f.count; ++i) {
            const auto& v = f.vectors[i];
            Keys keys(f, hex(v.key));
            const Bytes plain = hex(v.plain), cipher = hex(v.cipher);
            for (std::size_t cut = 0; cut <= 16; ++cut) {
                cyr::ModeState s{};
                s.mode = cyr::kModeEcb;
                s.padding = cyr::kPadNone;
                cyr::mode_reset(&s);
                Bytes out(32);
                std::size_t a = 0, b = 0, c = 0;
                ASSERT_TRUE(
                    cyr::mode_encrypt_step(&s, keys.forward, plain.data(), cut, out.data(), &a));
                ASSERT_TRUE(cyr::mode_encrypt_step(&s, keys.forward, plain.data() + cut, 16 - cut,
                                                   out.data() + a, &b));
                ASSERT_TRUE(cyr::mode_encrypt_end(&s, keys.forward, out.data() + a + b, &c));
                EXPECT_EQ(Bytes(out.begin(), out.begin() + a + b + c), cipher)
                    << v.source << " cut " << cut;

                cyr::ModeState d{};
                d.mode = cyr::kModeEcb;
                d.padding = cyr::kPadNone;
                ASSERT_TRUE(
                    cyr::mode_decrypt_step(&d, keys.inverse, cipher.data(), cut, out.data(), &a));
                ASSERT_TRUE(cyr::mode_decrypt_step(&d, keys.inverse, cipher.data() + cut, 16 - cut,
                                                   out.data() + a, &b));
                ASSERT_TRUE(cyr::mode_decrypt_end(&d, keys.inverse, out.data() + a + b, &c));
                EXPECT_EQ(Bytes(out.begin(), out.begin() + a + b + c), plain)
                    << v.source << " cut " << cut;
            }
        }
}

// SEED's multi-part entry points, the vector split at every offset. The modes
// put the vector's block cipher call first: CBC with a zero vector encrypts
// the plaintext block; OFB and CFB with the plaintext as vector turn zeros
// into the ciphertext block.
std::vector<Bytes> split(const Bytes& data, std::size_t cut) {
    std::vector<Bytes> pieces;
    if (cut > 0) pieces.emplace_back(data.begin(), data.begin() + cut);
    if (cut < data.size()) pieces.emplace_back(data.begin() + cut, data.end());
    return pieces;
}

Bytes run_multipart(uint32_t number, const Bytes& iv, Bytes key, const Bytes& input,
                    std::size_t cut, bool decrypt) {
    Mechanism m(number, CYR_PARAM_SEED_IV, iv);
    Object k(&key);
    EXPECT_EQ(decrypt ? CYR_DecryptInit(m.get(), k.get()) : CYR_EncryptInit(m.get(), k.get()), 0u);
    Bytes result, buffer(64);
    for (Bytes piece : split(input, cut)) {
        Object in(&piece), out(&buffer);
        uint32_t rc = decrypt ? CYR_DecryptUpdate(m.get(), in.get(), out.get())
                              : CYR_EncryptUpdate(m.get(), in.get(), out.get());
        EXPECT_EQ(rc, 0u);
        result.insert(result.end(), buffer.begin(), buffer.begin() + out.length());
    }
    Object out(&buffer);
    EXPECT_EQ(decrypt ? CYR_DecryptFinal(m.get(), out.get()) : CYR_EncryptFinal(m.get(), out.get()),
              0u);
    result.insert(result.end(), buffer.begin(), buffer.begin() + out.length());
    EXPECT_FALSE(m.has_context());
    return result;
}

TEST(BlockKat, SeedUpdateFinalSplitAtEveryOffset) {
    for (const auto& v : cyrtest::kSeedVectors) {
        const Bytes key = hex(v.key), plain = hex(v.plain), cipher = hex(v.cipher);
        const Bytes zeros(16, 0);
        struct Case {
            uint32_t mechanism;
            Bytes iv, input;
        };
        const Case cases[] = {
            {CYR_MECH_SEED_CBC_PAD, zeros, plain},
            {CYR_MECH_SEED_OFB, plain, zeros},
            {CYR_MECH_SEED_CFB, plain, zeros},
        };
        for (const Case& c : cases) {
            const Bytes whole = run_multipart(c.mechanism, c.iv, key, c.input, 16, false);
            ASSERT_GE(whole.size(), 16u);
            EXPECT_EQ(Bytes(whole.begin(), whole.begin() + 16), cipher)
                << v.source << " mechanism " << c.mechanism;
            for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
                if (cut <= 16) {
                    EXPECT_EQ(run_multipart(c.mechanism, c.iv, key, c.input, cut, false), whole)
                        << v.source << " mechanism " << c.mechanism << " cut " << cut;
                }
                EXPECT_EQ(run_multipart(c.mechanism, c.iv, key, whole, cut, true), c.input)
                    << v.source << " mechanism " << c.mechanism << " cut " << cut;
            }
        }
    }
}

// The diffusion layer is an involution, so ARIA's decryption keys run the same
// transform: encrypt then decrypt with the inverse keys for many blocks.
TEST(BlockKat, AriaAndAesInverseKeysUndoForwardOnManyBlocks) {
    for (const Family& f : kFamilies) {
        for (std::size_t i = 0; i < f.count; ++i) {
            Keys keys(f, hex(f.vectors[i].key));
            Bytes data(16 * 37);
            for (std::size_t j = 0; j < data.size(); ++j) data[j] = uint8_t(j * 131 + i);
            Bytes work = data;
            keys.forward.forward(keys.forward.keys, work.data(), work.data(), 37);
            EXPECT_NE(work, data);
            keys.inverse.inverse(keys.inverse.keys, work.data(), work.data(), 37);
            EXPECT_EQ(work, data) << f.name << " " << f.vectors[i].source;
        }
    }
}

}  // namespace
