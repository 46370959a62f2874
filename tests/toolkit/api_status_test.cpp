// The flat interface's status codes, entry point by entry point, with what
// each failure does to the mechanism's context.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/toolkit/test_util.h"
#include "toolkit/cyr.h"

namespace {

using cyrtest::Bytes;
using cyrtest::Mechanism;
using cyrtest::Object;

TEST(ErrorString, NamesAndUnknownCodes) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "UNKNOWN_ERROR"},
        {15, "UNKNOWN_ERROR"},
        {16, "CYR_EC_NUMBER_NOT_SUPPORTED"},
        {21, "CYR_ECDH_KEYLENGTH_INVAILD"},
        {23, "UNKNOWN_ERROR"},
        {27, "CYR_ECDSA_VERIFY_FAILED"},
        {28, "UNKNOWN_ERROR"},
        {256, "CYR_SEED_ENCRYPT_INIT_FAILED"},
        {261, "CYR_SEED_DECRYPT_FINAL_FAILED"},
        {262, "CYR_SEED_PADDING_ERROR"},
        {265, "CYR_SEED_MAC_MISMATCHED"},
        {266, "UNKNOWN_ERROR"},
        {267, "CYR_SEED_KEY_SCHEDULE_FAILD"},
        {268, "UNKNOWN_ERROR"},
        {274, "UNKNOWN_ERROR"},
        {279, "UNKNOWN_ERROR"},
        {286, "UNKNOWN_ERROR"},
        {4095, "UNKNOWN_ERROR"},
        {4096, "CYR_ARGUMENTS_BAD"},
        {4105, "CYR_BUFFER_TOO_SMALL"},
        {4106, "CYR_RADNOM_LENGTH_INVAILD"},
        {4110, "CYR_VERIFY_KEY_EMPTY"},
        {4111, "UNKNOWN_ERROR"},
        {0xFFFFFFFFu, "UNKNOWN_ERROR"},
    };
    for (const auto& [code, name] : cases) EXPECT_STREQ(CYR_GetErrorString(code), name) << code;
}

TEST(ErrorString, TextsStayValidAcrossLaterCallsAndThreads) {
    const char* first = CYR_GetErrorString(4096);
    const char* second = CYR_GetErrorString(16);
    EXPECT_STREQ(first, "CYR_ARGUMENTS_BAD");
    EXPECT_STREQ(second, "CYR_EC_NUMBER_NOT_SUPPORTED");

    const std::pair<uint32_t, const char*> per_thread[] = {
        {16, "CYR_EC_NUMBER_NOT_SUPPORTED"},
        {262, "CYR_SEED_PADDING_ERROR"},
        {4105, "CYR_BUFFER_TOO_SMALL"},
        {7, "UNKNOWN_ERROR"},
    };
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (const auto& [code, name] : per_thread) {
        threads.emplace_back([&wrong, code = code, name = name] {
            for (int i = 0; i < 2000; ++i)
                if (std::strcmp(CYR_GetErrorString(code), name) != 0) ++wrong;
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_STREQ(first, "CYR_ARGUMENTS_BAD");
}

TEST(ClearSlots, WipesFlaggedSlotsAndFreesNothing) {
    Bytes secret(8, 0xAB), kept(8, 0xCD);
    CYR_OBJECT object{};
    object[0].kind = CYR_CLASS_SECRET;
    object[1] = {CYR_VALUE, secret.data(), 8, 1, 0};
    object[2] = {CYR_VALUE, kept.data(), 8, 0, 0};
    EXPECT_EQ(CYR_ClearSlots(object, 3), 0u);
    EXPECT_EQ(secret, Bytes(8, 0));
    EXPECT_EQ(object[1].data, secret.data());
    EXPECT_EQ(object[1].length, 8u);
    EXPECT_EQ(kept, Bytes(8, 0xCD));

    secret.assign(8, 0xAB);
    EXPECT_EQ(CYR_ClearSlots(object, 0), 0u);
    EXPECT_EQ(CYR_ClearSlots(nullptr, 5), 0u);
    EXPECT_EQ(secret, Bytes(8, 0xAB));
}

// A record in a given state and a call on it: the status and whether the
// context survives.
struct Scene {
    Bytes key = Bytes(16, 0x42);
    Bytes data = Bytes(32, 0x17);
    Bytes out = Bytes(64, 0);
    Object key_object{&key};
    Object in{&data};
    Object output{&out};
};

struct Case {
    const char* name;
    uint32_t mechanism;
    bool initialise;  // EncryptInit with a 16-byte key first
    std::function<uint32_t(CYR_SLOT* m, Scene& s)> call;
    uint32_t expected;
    bool context_after;
};

uint32_t prepare(Mechanism& m, Scene& s, bool initialise) {
    if (!initialise) return 0;
    if (m.slots[0].kind == CYR_MECH_SHA1) return CYR_DigestInit(m.get());
    return CYR_EncryptInit(m.get(), s.key_object.get());
}

void run_cases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        Scene s;
        Mechanism m(c.mechanism);
        ASSERT_EQ(prepare(m, s, c.initialise), 0u) << c.name;
        EXPECT_EQ(c.call(m.get(), s), c.expected) << c.name;
        EXPECT_EQ(m.has_context(), c.context_after) << c.name;
    }
}

TEST(EntryPoints, InitStatusCodes) {
    auto with_key = [](Bytes key, bool decrypt) {
        return [key, decrypt](CYR_SLOT* m, Scene&) mutable {
            Object k(&key);
            return decrypt ? CYR_DecryptInit(m, k.get()) : CYR_EncryptInit(m, k.get());
        };
    };
    run_cases({
        {"null mechanism", CYR_MECH_SEED_CFB, false,
         [](CYR_SLOT*, Scene& s) { return CYR_EncryptInit(nullptr, s.key_object.get()); },
         CYR_ARGUMENTS_BAD, false},
        {"null key", CYR_MECH_SEED_CFB, false,
         [](CYR_SLOT* m, Scene&) { return CYR_DecryptInit(m, nullptr); }, CYR_ARGUMENTS_BAD, false},
        {"digest mechanism", CYR_MECH_SHA1, false, with_key(Bytes(16), false),
         CYR_CTX_NOT_SUPPORTED, false},
        {"generator mechanism 22", CYR_MECH_SEED_RNG, false, with_key(Bytes(16), false),
         CYR_CTX_NOT_SUPPORTED, false},
        {"random mechanism", CYR_MECH_RANDOM, false, with_key(Bytes(16), true),
         CYR_CTX_NOT_SUPPORTED, false},
        {"unknown mechanism 40", 40, false, with_key(Bytes(16), false), CYR_CTX_NOT_SUPPORTED,
         false},
        {"key value kind not 1", CYR_MECH_SEED_CBC, false,
         [](CYR_SLOT* m, Scene& s) {
             s.key_object.slots[1].kind = 2;
             return CYR_EncryptInit(m, s.key_object.get());
         },
         CYR_KEY_TYPE_NOT_SUPPORTED, false},
        {"key data null", CYR_MECH_AES_CFB, false,
         [](CYR_SLOT* m, Scene& s) {
             s.key_object.slots[1].data = nullptr;
             return CYR_DecryptInit(m, s.key_object.get());
         },
         CYR_INPUT_DATA_EMPTY, false},
        {"SEED 8-byte key", CYR_MECH_SEED_CFB, false, with_key(Bytes(8), false), 267, false},
        {"SEED 32-byte key", CYR_MECH_SEED_ECB, false, with_key(Bytes(32), true), 267, false},
        {"AES 15-byte key", CYR_MECH_AES_CBC_PAD, false, with_key(Bytes(15), false), 279, false},
        {"ARIA 15-byte key", CYR_MECH_ARIA_ECB, false, with_key(Bytes(15), true), 291, false},
        {"AES 20-byte key", CYR_MECH_AES_ECB, false, with_key(Bytes(20), true), 0, true},
        {"ARIA 40-byte key", CYR_MECH_ARIA_OFB, false, with_key(Bytes(40), false), 0, true},
        // A failed init leaves the context of the earlier init in place.
        {"failed re-init", CYR_MECH_SEED_CFB, true, with_key(Bytes(8), false), 267, true},
    });
}

TEST(EntryPoints, OneShotStatusCodes) {
    auto encrypt_length = [](uint32_t length) {
        return [length](CYR_SLOT* m, Scene& s) {
            s.in.slots[1].length = length;
            return CYR_Encrypt(m, s.in.get(), s.output.get());
        };
    };
    auto decrypt_length = [](uint32_t length) {
        return [length](CYR_SLOT* m, Scene& s) {
            s.in.slots[1].length = length;
            return CYR_Decrypt(m, s.in.get(), s.output.get());
        };
    };
    auto in_place = [](bool decrypt) {
        return [decrypt](CYR_SLOT* m, Scene& s) {
            Object same(&s.data);
            return decrypt ? CYR_Decrypt(m, s.in.get(), same.get())
                           : CYR_Encrypt(m, s.in.get(), same.get());
        };
    };
    run_cases({
        {"null input", CYR_MECH_SEED_CFB, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_Encrypt(m, nullptr, s.output.get()); },
         CYR_ARGUMENTS_BAD, false},
        {"null output", CYR_MECH_AES_CFB, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_Decrypt(m, s.in.get(), nullptr); },
         CYR_ARGUMENTS_BAD, false},
        {"digest mechanism", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_Encrypt(m, s.in.get(), s.output.get()); },
         CYR_CTX_NOT_SUPPORTED, false},
        {"random mechanism 49", CYR_MECH_RANDOM, false,
         [](CYR_SLOT* m, Scene& s) { return CYR_Decrypt(m, s.in.get(), s.output.get()); },
         CYR_CTX_NOT_SUPPORTED, false},
        {"key-pair mechanism 10", CYR_MECH_EC_KEY_PAIR_GEN, false,
         [](CYR_SLOT* m, Scene& s) { return CYR_Encrypt(m, s.in.get(), s.output.get()); },
         CYR_CTX_NOT_SUPPORTED, false},
        {"not initialised", CYR_MECH_SEED_CBC, false, encrypt_length(32), CYR_ARGUMENTS_BAD, false},
        {"input data null", CYR_MECH_ARIA_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) {
             s.in.slots[1].data = nullptr;
             return CYR_Encrypt(m, s.in.get(), s.output.get());
         },
         CYR_INPUT_DATA_EMPTY, false},
        {"SEED ECB 15 bytes", CYR_MECH_SEED_ECB, true, encrypt_length(15), 262, false},
        {"SEED CBC decrypt 17 bytes", CYR_MECH_SEED_CBC, true, decrypt_length(17), 262, false},
        {"AES ECB 15 bytes", CYR_MECH_AES_ECB, true, encrypt_length(15), 274, false},
        {"ARIA CBC 31 bytes", CYR_MECH_ARIA_CBC, true, decrypt_length(31), 286, false},
        {"SEED CBC-pad decrypt 17 bytes", CYR_MECH_SEED_CBC_PAD, true, decrypt_length(17), 261,
         false},
        {"AES CBC-pad decrypt 20 bytes", CYR_MECH_AES_CBC_PAD, true, decrypt_length(20), 273,
         false},
        {"ARIA CBC-pad decrypt 15 bytes", CYR_MECH_ARIA_CBC_PAD, true, decrypt_length(15), 285,
         false},
        {"output too small", CYR_MECH_SEED_CFB, true,
         [](CYR_SLOT* m, Scene& s) {
             s.output.slots[1].length = 31;
             return CYR_Encrypt(m, s.in.get(), s.output.get());
         },
         CYR_BUFFER_TOO_SMALL, false},
        {"padded output too small", CYR_MECH_AES_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) {
             s.output.slots[1].length = 47;
             return CYR_Encrypt(m, s.in.get(), s.output.get());
         },
         CYR_BUFFER_TOO_SMALL, false},
        {"SEED in place", CYR_MECH_SEED_CFB, true, in_place(false), 257, false},
        {"SEED decrypt in place", CYR_MECH_SEED_CBC, true, in_place(true), 260, false},
        {"AES in place", CYR_MECH_AES_OFB, true, in_place(false), 269, false},
        {"ARIA decrypt in place", CYR_MECH_ARIA_CFB, true, in_place(true), 284, false},
        {"overlapping output", CYR_MECH_SEED_OFB, true,
         [](CYR_SLOT* m, Scene& s) {
             Object shifted(&s.data);
             shifted.slots[1].data = s.data.data() + 8;
             s.in.slots[1].length = 16;
             return CYR_Encrypt(m, s.in.get(), shifted.get());
         },
         257, false},
        {"size query keeps the context", CYR_MECH_SEED_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) {
             Object query = Object::query();
             return CYR_Encrypt(m, s.in.get(), query.get());
         },
         CYR_OK, true},
        {"success releases the context", CYR_MECH_ARIA_ECB, true, encrypt_length(32), CYR_OK,
         false},
    });
}

TEST(EntryPoints, EmptyInputRefusedByEveryCipherMechanism) {
    const uint32_t mechanisms[] = {14, 15, 16, 17, 18, 35, 36, 37, 38, 39, 42, 43, 44, 45, 46};
    for (uint32_t number : mechanisms) {
        for (bool decrypt : {false, true}) {
            Scene s;
            Mechanism m(number);
            ASSERT_EQ(decrypt ? CYR_DecryptInit(m.get(), s.key_object.get())
                              : CYR_EncryptInit(m.get(), s.key_object.get()),
                      0u);
            s.in.slots[1].length = 0;
            EXPECT_EQ(decrypt ? CYR_Decrypt(m.get(), s.in.get(), s.output.get())
                              : CYR_Encrypt(m.get(), s.in.get(), s.output.get()),
                      CYR_INPUT_DATA_EMPTY)
                << number;
            EXPECT_FALSE(m.has_context()) << number;
        }
    }
}

TEST(EntryPoints, UpdateAndFinalStatusCodes) {
    auto update_length = [](uint32_t length, bool decrypt) {
        return [length, decrypt](CYR_SLOT* m, Scene& s) {
            s.in.slots[1].length = length;
            return decrypt ? CYR_DecryptUpdate(m, s.in.get(), s.output.get())
                           : CYR_EncryptUpdate(m, s.in.get(), s.output.get());
        };
    };
    run_cases({
        {"AES CFB update", CYR_MECH_AES_CFB, true, update_length(16, false), CYR_CTX_NOT_SUPPORTED,
         false},
        {"ARIA CFB decrypt update", CYR_MECH_ARIA_CFB, true, update_length(16, true),
         CYR_CTX_NOT_SUPPORTED, false},
        {"AES final", CYR_MECH_AES_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_EncryptFinal(m, s.output.get()); },
         CYR_CTX_NOT_SUPPORTED, false},
        {"digest mechanism final", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_DecryptFinal(m, s.output.get()); },
         CYR_CTX_NOT_SUPPORTED, false},
        {"update null output", CYR_MECH_SEED_CFB, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_EncryptUpdate(m, s.in.get(), nullptr); },
         CYR_ARGUMENTS_BAD, false},
        {"final null output", CYR_MECH_SEED_CFB, true,
         [](CYR_SLOT* m, Scene&) { return CYR_DecryptFinal(m, nullptr); }, CYR_ARGUMENTS_BAD,
         false},
        {"update not initialised", CYR_MECH_SEED_OFB, false, update_length(16, false),
         CYR_ARGUMENTS_BAD, false},
        {"final not initialised", CYR_MECH_SEED_OFB, false,
         [](CYR_SLOT* m, Scene& s) { return CYR_EncryptFinal(m, s.output.get()); },
         CYR_ARGUMENTS_BAD, false},
        {"update empty input", CYR_MECH_SEED_CFB, true, update_length(0, false),
         CYR_INPUT_DATA_EMPTY, false},
        {"ECB update 15 bytes", CYR_MECH_SEED_ECB, true, update_length(15, false), 262, false},
        {"CBC update 20 bytes", CYR_MECH_SEED_CBC, true, update_length(20, false), 262, false},
        {"update output too small", CYR_MECH_SEED_CFB, true,
         [](CYR_SLOT* m, Scene& s) {
             s.output.slots[1].length = 16;
             return CYR_EncryptUpdate(m, s.in.get(), s.output.get());
         },
         CYR_BUFFER_TOO_SMALL, false},
        {"update in place", CYR_MECH_SEED_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) {
             Object same(&s.data);
             return CYR_EncryptUpdate(m, s.in.get(), same.get());
         },
         257, false},
        {"update succeeds and keeps the context", CYR_MECH_SEED_CFB, true, update_length(20, false),
         CYR_OK, true},
        {"final releases the context", CYR_MECH_SEED_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_EncryptFinal(m, s.output.get()); }, CYR_OK, false},
        {"final output too small", CYR_MECH_SEED_CBC_PAD, true,
         [](CYR_SLOT* m, Scene& s) {
             s.output.slots[1].length = 15;
             return CYR_EncryptFinal(m, s.output.get());
         },
         CYR_BUFFER_TOO_SMALL, false},
        {"final size query keeps the context", CYR_MECH_SEED_CBC_PAD, true,
         [](CYR_SLOT* m, Scene&) {
             Object query = Object::query();
             return CYR_EncryptFinal(m, query.get());
         },
         CYR_OK, true},
    });
}

TEST(EntryPoints, DigestStatusCodes) {
    auto digest_into = [](uint32_t capacity) {
        return [capacity](CYR_SLOT* m, Scene& s) {
            s.output.slots[1].length = capacity;
            return CYR_Digest(m, s.in.get(), s.output.get());
        };
    };
    run_cases({
        {"init null", CYR_MECH_SHA1, false,
         [](CYR_SLOT*, Scene&) { return CYR_DigestInit(nullptr); }, CYR_ARGUMENTS_BAD, false},
        {"init other mechanism", CYR_MECH_SEED_CFB, false,
         [](CYR_SLOT* m, Scene&) { return CYR_DigestInit(m); }, CYR_CTX_NOT_SUPPORTED, false},
        {"null output", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_Digest(m, s.in.get(), nullptr); },
         CYR_ARGUMENTS_BAD, false},
        {"other mechanism", CYR_MECH_SEED_CFB, true, digest_into(20), CYR_CTX_NOT_SUPPORTED, false},
        {"input data null", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) {
             s.in.slots[1].data = nullptr;
             return CYR_Digest(m, s.in.get(), s.output.get());
         },
         CYR_INPUT_DATA_EMPTY, false},
        {"input length 0", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) {
             s.in.slots[1].length = 0;
             return CYR_Digest(m, s.in.get(), s.output.get());
         },
         CYR_INPUT_DATA_EMPTY, false},
        {"not initialised", CYR_MECH_SHA1, false, digest_into(20), CYR_ARGUMENTS_BAD, false},
        {"capacity 19", CYR_MECH_SHA1, true, digest_into(19), CYR_INPUT_DATALENGTH_INVALID, false},
        {"capacity 20", CYR_MECH_SHA1, true, digest_into(20), CYR_OK, false},
        {"size query", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) {
             Object query = Object::query();
             uint32_t rc = CYR_Digest(m, s.in.get(), query.get());
             EXPECT_EQ(query.length(), 20u);
             return rc;
         },
         CYR_OK, true},
    });
}

TEST(EntryPoints, KeyPairAndRandomArgumentChecks) {
    Bytes pub_value(43), priv_value(21);
    auto key_pair = [&](uint32_t pub_class, uint32_t priv_class) {
        return [&, pub_class, priv_class](CYR_SLOT* m, Scene&) {
            Object pub(&pub_value, pub_class), priv(&priv_value, priv_class);
            return CYR_GenerateKeyPair(m, pub.get(), priv.get());
        };
    };
    run_cases({
        {"key pair null object", CYR_MECH_EC_KEY_PAIR_GEN, false,
         [&](CYR_SLOT* m, Scene& s) { return CYR_GenerateKeyPair(m, s.in.get(), nullptr); },
         CYR_ARGUMENTS_BAD, false},
        {"key pair classes swapped", CYR_MECH_EC_KEY_PAIR_GEN, false,
         key_pair(CYR_CLASS_PRIVATE_KEY, CYR_CLASS_PUBLIC_KEY), CYR_KEY_TYPE_NOT_SUPPORTED, false},
        {"large-modulus key pair, data classes", 27, false,
         key_pair(CYR_CLASS_DATA, CYR_CLASS_DATA), CYR_KEY_TYPE_NOT_SUPPORTED, false},
        {"key pair other mechanism", CYR_MECH_SEED_CFB, false,
         key_pair(CYR_CLASS_PUBLIC_KEY, CYR_CLASS_PRIVATE_KEY), CYR_CTX_NOT_SUPPORTED, false},
        {"random null output", CYR_MECH_RANDOM, false,
         [](CYR_SLOT* m, Scene&) { return CYR_GenerateRandom(m, nullptr); }, CYR_ARGUMENTS_BAD,
         false},
        {"random other mechanism releases", CYR_MECH_SHA1, true,
         [](CYR_SLOT* m, Scene& s) { return CYR_GenerateRandom(m, s.output.get()); },
         CYR_CTX_NOT_SUPPORTED, false},
        {"random output data null", CYR_MECH_RANDOM, false,
         [](CYR_SLOT* m, Scene&) {
             Object query = Object::query(16);
             return CYR_GenerateRandom(m, query.get());
         },
         CYR_INPUT_DATA_EMPTY, false},
        {"random output length 0", CYR_MECH_RANDOM, false,
         [](CYR_SLOT* m, Scene& s) {
             s.output.slots[1].length = 0;
             return CYR_GenerateRandom(m, s.output.get());
         },
         CYR_INPUT_DATALENGTH_INVALID, false},
    });
}

}  // namespace
