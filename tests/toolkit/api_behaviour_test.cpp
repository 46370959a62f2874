// The calling protocol of the flat interface: size queries, context lifetime,
// partial blocks carried between calls, and the cipher-specific edge cases.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/toolkit/test_util.h"
#include "toolkit/cyr.h"
#include "toolkit/sha1.h"

namespace {

using cyrtest::Bytes;
using cyrtest::hex;
using cyrtest::Mechanism;
using cyrtest::Object;

const Bytes kKey = hex("000102030405060708090a0b0c0d0e0f");

Bytes pattern(std::size_t n, uint8_t seed = 1) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 29);
    return b;
}

// One-shot through a freshly initialised record; the output sized by a query.
struct Result {
    uint32_t rc;
    Bytes out;
};

Result one_shot(uint32_t number, Bytes key, Bytes input, bool decrypt, uint32_t iv_kind = 0,
                Bytes iv = {}) {
    Mechanism m(number, iv_kind, iv);
    if (iv_kind == 0) m.slots[1] = CYR_SLOT{};
    Object k(&key), in(&input);
    uint32_t rc = decrypt ? CYR_DecryptInit(m.get(), k.get()) : CYR_EncryptInit(m.get(), k.get());
    if (rc != 0) return {rc, {}};
    Object query = Object::query();
    rc = decrypt ? CYR_Decrypt(m.get(), in.get(), query.get())
                 : CYR_Encrypt(m.get(), in.get(), query.get());
    if (rc != 0) return {rc, {}};
    EXPECT_TRUE(m.has_context());
    Bytes out(query.length() + 1, 0xEE);  // one spare byte that must stay untouched
    Object o(&out);
    o.slots[1].length = query.length();
    rc =
        decrypt ? CYR_Decrypt(m.get(), in.get(), o.get()) : CYR_Encrypt(m.get(), in.get(), o.get());
    EXPECT_FALSE(m.has_context());
    EXPECT_EQ(out.back(), 0xEE);
    out.resize(rc == 0 ? o.length() : 0);
    return {rc, out};
}

TEST(Protocol, SizeQueryThenCallWithoutNewInitThenContextGone) {
    Bytes key = kKey, input = pattern(20), out(32);
    Mechanism m(CYR_MECH_SEED_CBC_PAD);
    Object k(&key), in(&input), o(&out), query = Object::query(999);
    ASSERT_EQ(CYR_EncryptInit(m.get(), k.get()), 0u);
    ASSERT_EQ(CYR_Encrypt(m.get(), in.get(), query.get()), 0u);
    EXPECT_EQ(query.length(), 32u);
    EXPECT_TRUE(m.has_context());
    o.slots[1].length = query.length();
    ASSERT_EQ(CYR_Encrypt(m.get(), in.get(), o.get()), 0u);
    EXPECT_EQ(o.length(), 32u);
    EXPECT_FALSE(m.has_context());
    EXPECT_EQ(CYR_Encrypt(m.get(), in.get(), o.get()), CYR_ARGUMENTS_BAD);
}

// A started operation can be dropped at any point without a final call; the
// record is then as if never initialised, and can start over.
TEST(Protocol, AbandonEndsAStartedOperation) {
    Bytes key = kKey, input = pattern(20), out(64);
    Object k(&key), in(&input), o(&out);
    auto after_update = [&](Mechanism& m) {
        ASSERT_EQ(CYR_EncryptInit(m.get(), k.get()), 0u);
        o.slots[1].length = uint32_t(out.size());
        ASSERT_EQ(CYR_EncryptUpdate(m.get(), in.get(), o.get()), 0u);
    };
    auto after_size_query = [&](Mechanism& m) {
        ASSERT_EQ(CYR_EncryptInit(m.get(), k.get()), 0u);
        Object query = Object::query();
        ASSERT_EQ(CYR_Encrypt(m.get(), in.get(), query.get()), 0u);
    };
    auto after_digest_init = [&](Mechanism& m) { ASSERT_EQ(CYR_DigestInit(m.get()), 0u); };
    struct Case {
        const char* what;
        uint32_t mechanism;
        std::function<void(Mechanism&)> start;
    };
    const Case cases[] = {
        {"SEED-CFB update", CYR_MECH_SEED_CFB, after_update},
        {"SEED-CBC-PAD update", CYR_MECH_SEED_CBC_PAD, after_update},
        {"AES-CBC-PAD size query", CYR_MECH_AES_CBC_PAD, after_size_query},
        {"ARIA-OFB size query", CYR_MECH_ARIA_OFB, after_size_query},
        {"SHA-1 init", CYR_MECH_SHA1, after_digest_init},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mechanism m(c.mechanism);
        c.start(m);
        ASSERT_TRUE(m.has_context());
        EXPECT_EQ(CYR_Abandon(m.get()), 0u);
        EXPECT_FALSE(m.has_context());
        EXPECT_EQ(m.slots[0].kind, c.mechanism);
        EXPECT_EQ(CYR_Abandon(m.get()), 0u);  // nothing left to end
        o.slots[1].length = uint32_t(out.size());
        EXPECT_EQ(CYR_EncryptFinal(m.get(), o.get()),
                  c.mechanism == CYR_MECH_SEED_CFB || c.mechanism == CYR_MECH_SEED_CBC_PAD
                      ? CYR_ARGUMENTS_BAD
                      : CYR_CTX_NOT_SUPPORTED);
    }
    EXPECT_EQ(CYR_Abandon(nullptr), CYR_ARGUMENTS_BAD);

    // The record starts over after an abandon and gives the same bytes as a
    // fresh one.
    Mechanism reused(CYR_MECH_SEED_CBC_PAD), fresh(CYR_MECH_SEED_CBC_PAD);
    after_update(reused);
    CYR_Abandon(reused.get());
    Bytes a(32), b(32);
    Object oa(&a), ob(&b);
    for (auto [m, obj] : {std::pair{&reused, &oa}, std::pair{&fresh, &ob}}) {
        ASSERT_EQ(CYR_EncryptInit(m->get(), k.get()), 0u);
        ASSERT_EQ(CYR_Encrypt(m->get(), in.get(), obj->get()), 0u);
    }
    EXPECT_EQ(a, b);
}

TEST(Protocol, OneShotSizes) {
    struct Case {
        uint32_t mechanism;
        std::size_t length;
        bool decrypt;
        uint32_t size;
    };
    const Case cases[] = {
        {CYR_MECH_SEED_CBC_PAD, 16, false, 32}, {CYR_MECH_SEED_CBC_PAD, 15, false, 16},
        {CYR_MECH_SEED_CBC_PAD, 32, true, 32},  {CYR_MECH_SEED_CFB, 10, false, 10},
        {CYR_MECH_SEED_OFB, 33, true, 33},      {CYR_MECH_SEED_ECB, 48, false, 48},
        {CYR_MECH_AES_CBC_PAD, 1, false, 16},   {CYR_MECH_AES_CBC_PAD, 16, false, 32},
        {CYR_MECH_ARIA_CBC_PAD, 47, false, 48}, {CYR_MECH_ARIA_CFB, 5, true, 5},
    };
    for (const Case& c : cases) {
        Bytes key = kKey, input = pattern(c.length);
        Mechanism m(c.mechanism);
        Object k(&key), in(&input), query = Object::query();
        ASSERT_EQ(c.decrypt ? CYR_DecryptInit(m.get(), k.get()) : CYR_EncryptInit(m.get(), k.get()),
                  0u);
        ASSERT_EQ(c.decrypt ? CYR_Decrypt(m.get(), in.get(), query.get())
                            : CYR_Encrypt(m.get(), in.get(), query.get()),
                  0u);
        EXPECT_EQ(query.length(), c.size) << c.mechanism << " " << c.length;
    }
}

TEST(Protocol, AesCbcPadLengths) {
    EXPECT_EQ(one_shot(CYR_MECH_AES_CBC_PAD, kKey, Bytes(1, 7), false).out.size(), 16u);
    EXPECT_EQ(one_shot(CYR_MECH_AES_CBC_PAD, kKey, Bytes(16, 7), false).out.size(), 32u);
}

// Multi-part SEED: each step's size query, then the call with exactly that
// capacity; returns everything produced.
Bytes multipart(uint32_t number, bool decrypt, const std::vector<Bytes>& pieces,
                std::vector<uint32_t>* produced = nullptr) {
    Bytes key = kKey, out;
    Mechanism m(number);
    Object k(&key);
    EXPECT_EQ(decrypt ? CYR_DecryptInit(m.get(), k.get()) : CYR_EncryptInit(m.get(), k.get()), 0u);
    for (Bytes piece : pieces) {
        Object in(&piece), query = Object::query();
        EXPECT_EQ(decrypt ? CYR_DecryptUpdate(m.get(), in.get(), query.get())
                          : CYR_EncryptUpdate(m.get(), in.get(), query.get()),
                  0u);
        Bytes buffer(query.length() + 16);
        Object o(&buffer);
        o.slots[1].length = query.length();
        EXPECT_EQ(decrypt ? CYR_DecryptUpdate(m.get(), in.get(), o.get())
                          : CYR_EncryptUpdate(m.get(), in.get(), o.get()),
                  0u);
        EXPECT_TRUE(m.has_context());
        if (produced) produced->push_back(o.length());
        out.insert(out.end(), buffer.begin(), buffer.begin() + o.length());
    }
    Object query = Object::query();
    EXPECT_EQ(
        decrypt ? CYR_DecryptFinal(m.get(), query.get()) : CYR_EncryptFinal(m.get(), query.get()),
        0u);
    Bytes buffer(query.length() + 16);
    Object o(&buffer);
    o.slots[1].length = query.length();
    EXPECT_EQ(decrypt ? CYR_DecryptFinal(m.get(), o.get()) : CYR_EncryptFinal(m.get(), o.get()),
              0u);
    EXPECT_FALSE(m.has_context());
    if (produced) produced->push_back(o.length());
    out.insert(out.end(), buffer.begin(), buffer.begin() + o.length());
    return out;
}

TEST(Buffering, StepSizesPerMode) {
    struct Case {
        const char* name;
        uint32_t mechanism;
        bool decrypt;
        std::vector<std::size_t> pieces;
        std::vector<uint32_t> produced;  // per update, then the final
    };
    const Case cases[] = {
        {"CFB 10+10 then 4", CYR_MECH_SEED_CFB, false, {10, 10}, {0, 16, 4}},
        {"CFB decrypt 16+16 then 16", CYR_MECH_SEED_CFB, true, {16, 16}, {0, 16, 16}},
        {"ECB 32 then nothing", CYR_MECH_SEED_ECB, false, {32}, {32, 0}},
        {"CBC-pad 16 then a padding block", CYR_MECH_SEED_CBC_PAD, false, {16}, {16, 16}},
        {"CBC-pad decrypt 32: last block held", CYR_MECH_SEED_CBC_PAD, true, {32}, {16, 0}},
        {"OFB 1+15+1 then 1", CYR_MECH_SEED_OFB, false, {1, 15, 1}, {0, 16, 0, 1}},
        {"OFB decrypt 17 then 1", CYR_MECH_SEED_OFB, true, {17}, {16, 1}},
        {"CBC decrypt 16-byte pieces", CYR_MECH_SEED_CBC, true, {16, 16, 16}, {0, 16, 16, 16}},
    };
    for (const Case& c : cases) {
        std::vector<Bytes> pieces;
        for (std::size_t n : c.pieces) pieces.push_back(pattern(n, uint8_t(n)));
        if (c.mechanism == CYR_MECH_SEED_CBC_PAD && c.decrypt) {
            pieces = {multipart(CYR_MECH_SEED_CBC_PAD, false, {pattern(16)})};
        }
        std::vector<uint32_t> produced;
        multipart(c.mechanism, c.decrypt, pieces, &produced);
        EXPECT_EQ(produced, c.produced) << c.name;
    }
}

TEST(Buffering, PaddingBlockOfSixteenRemovedByFinal) {
    const Bytes plain = pattern(16);
    const Bytes cipher = one_shot(CYR_MECH_SEED_CBC_PAD, kKey, plain, false).out;
    ASSERT_EQ(cipher.size(), 32u);
    // Without padding removal the second block reads sixteen bytes of 16.
    const Bytes raw = one_shot(CYR_MECH_SEED_CBC, kKey, cipher, true).out;
    EXPECT_EQ(Bytes(raw.begin() + 16, raw.end()), Bytes(16, 16));
    EXPECT_EQ(multipart(CYR_MECH_SEED_CBC_PAD, true, {cipher}), plain);
}

TEST(Buffering, CbcDecryptInPiecesMatchesOneShot) {
    const Bytes plain = pattern(80);
    const Bytes cipher = one_shot(CYR_MECH_SEED_CBC, kKey, plain, false).out;
    std::vector<Bytes> pieces;
    for (std::size_t i = 0; i < cipher.size(); i += 16)
        pieces.emplace_back(cipher.begin() + i, cipher.begin() + i + 16);
    EXPECT_EQ(multipart(CYR_MECH_SEED_CBC, true, pieces), plain);
    EXPECT_EQ(one_shot(CYR_MECH_SEED_CBC, kKey, cipher, true).out, plain);
}

TEST(Buffering, DecryptFinalWithNothingBufferedSucceedsEmpty) {
    for (uint32_t number : {CYR_MECH_SEED_CBC_PAD, CYR_MECH_SEED_CFB, CYR_MECH_SEED_ECB}) {
        EXPECT_TRUE(multipart(number, true, {}).empty()) << number;
    }
}

TEST(Buffering, WrongKeyFailsThePaddingCheck) {
    const Bytes cipher = one_shot(CYR_MECH_SEED_CBC_PAD, kKey, pattern(40), false).out;
    Bytes wrong = kKey;
    wrong[0] ^= 1;
    EXPECT_EQ(one_shot(CYR_MECH_SEED_CBC_PAD, wrong, cipher, true).rc, 261u);
    EXPECT_EQ(one_shot(CYR_MECH_SEED_CBC_PAD, kKey, cipher, true).out, pattern(40));
}

TEST(Buffering, UpdateOutputNeedsTheFullSize) {
    Bytes key = kKey, ten = pattern(10), out(16);
    Mechanism m(CYR_MECH_SEED_CFB);
    Object k(&key), in(&ten), o(&out);
    ASSERT_EQ(CYR_EncryptInit(m.get(), k.get()), 0u);
    ASSERT_EQ(CYR_EncryptUpdate(m.get(), in.get(), o.get()), 0u);
    EXPECT_EQ(o.length(), 0u);
    o.slots[1].length = 15;
    EXPECT_EQ(CYR_EncryptUpdate(m.get(), in.get(), o.get()), CYR_BUFFER_TOO_SMALL);
    EXPECT_FALSE(m.has_context());
}

// A one-shot call after updates on the same record counts the buffered bytes
// in its size, so the output always fits the capacity it asked for.
TEST(Buffering, OneShotAfterUpdatesSizesIncludeBufferedBytes) {
    const Bytes plain = pattern(20);
    Bytes key = kKey, first(plain.begin(), plain.begin() + 10),
          rest(plain.begin() + 10, plain.end());
    Mechanism m(CYR_MECH_SEED_CFB);
    Object k(&key), a(&first), b(&rest), query = Object::query();
    Bytes scratch(16);
    Object o(&scratch);
    ASSERT_EQ(CYR_EncryptInit(m.get(), k.get()), 0u);
    ASSERT_EQ(CYR_EncryptUpdate(m.get(), a.get(), o.get()), 0u);
    ASSERT_EQ(o.length(), 0u);
    ASSERT_EQ(CYR_Encrypt(m.get(), b.get(), query.get()), 0u);
    EXPECT_EQ(query.length(), 20u);
    Bytes out(20);
    Object full(&out);
    full.slots[1].length = 10;
    EXPECT_EQ(CYR_Encrypt(m.get(), b.get(), full.get()), CYR_BUFFER_TOO_SMALL);
    EXPECT_EQ(out, Bytes(20, 0));
}

TEST(CipherEdges, InitialVectorKinds) {
    const Bytes plain = pattern(32), zero(16, 0), iv = pattern(16, 99);
    struct Case {
        const char* name;
        uint32_t mechanism, given_kind, own_kind;
    };
    const Case cases[] = {
        {"SEED vector under the AES kind", CYR_MECH_SEED_CFB, CYR_PARAM_AES_IV, CYR_PARAM_SEED_IV},
        {"AES vector under the SEED kind", CYR_MECH_AES_CFB, CYR_PARAM_SEED_IV, CYR_PARAM_AES_IV},
        {"ARIA vector under the AES kind", CYR_MECH_ARIA_CBC, CYR_PARAM_AES_IV, CYR_PARAM_ARIA_IV},
    };
    for (const Case& c : cases) {
        const Bytes ignored = one_shot(c.mechanism, kKey, plain, false, c.given_kind, iv).out;
        EXPECT_EQ(ignored, one_shot(c.mechanism, kKey, plain, false, c.own_kind, zero).out)
            << c.name;
        EXPECT_NE(ignored, one_shot(c.mechanism, kKey, plain, false, c.own_kind, iv).out) << c.name;
    }
    // A short vector fills the start of the field, the rest stays zero.
    Bytes padded = iv;
    std::fill(padded.begin() + 5, padded.end(), 0);
    EXPECT_EQ(one_shot(CYR_MECH_SEED_CBC, kKey, plain, false, CYR_PARAM_SEED_IV,
                       Bytes(iv.begin(), iv.begin() + 5))
                  .out,
              one_shot(CYR_MECH_SEED_CBC, kKey, plain, false, CYR_PARAM_SEED_IV, padded).out);
    // A long one is cut at 16 bytes.
    Bytes longer = iv;
    longer.resize(40, 0x77);
    EXPECT_EQ(one_shot(CYR_MECH_SEED_OFB, kKey, plain, false, CYR_PARAM_SEED_IV, longer).out,
              one_shot(CYR_MECH_SEED_OFB, kKey, plain, false, CYR_PARAM_SEED_IV, iv).out);
}

TEST(CipherEdges, LongKeysUseTheirLeadingBytes) {
    const Bytes plain = pattern(48), long_key = pattern(40, 3);
    struct Case {
        uint32_t mechanism;
        std::size_t given, used;
    };
    const Case cases[] = {
        {CYR_MECH_AES_ECB, 20, 16},  {CYR_MECH_AES_CBC, 31, 24},  {CYR_MECH_AES_OFB, 40, 32},
        {CYR_MECH_ARIA_ECB, 23, 16}, {CYR_MECH_ARIA_CFB, 25, 24}, {CYR_MECH_ARIA_CBC, 40, 32},
    };
    for (const Case& c : cases) {
        Bytes given(long_key.begin(), long_key.begin() + c.given);
        Bytes used(long_key.begin(), long_key.begin() + c.used);
        EXPECT_EQ(one_shot(c.mechanism, given, plain, false).out,
                  one_shot(c.mechanism, used, plain, false).out)
            << c.mechanism << " " << c.given;
    }
}

TEST(CipherEdges, StreamModesDecryptWithTheForwardCipher) {
    for (uint32_t number : {CYR_MECH_AES_CFB, CYR_MECH_AES_OFB, CYR_MECH_ARIA_CFB,
                            CYR_MECH_ARIA_OFB, CYR_MECH_AES_CBC_PAD, CYR_MECH_ARIA_CBC_PAD}) {
        const Bytes plain = pattern(37);
        const Bytes cipher = one_shot(number, kKey, plain, false).out;
        EXPECT_EQ(one_shot(number, kKey, cipher, true).out, plain) << number;
    }
}

TEST(Digest, SizeQueryDoesNotHashTheInput) {
    Bytes password = {'s', 'e', 'c', 'r', 'e', 't'};
    uint8_t expected[20];
    cyr::sha1_digest(password.data(), password.size(), expected);

    Mechanism m(CYR_MECH_SHA1);
    Object in(&password), query = Object::query();
    ASSERT_EQ(CYR_DigestInit(m.get()), 0u);
    ASSERT_EQ(CYR_Digest(m.get(), in.get(), query.get()), 0u);
    EXPECT_EQ(query.length(), 20u);
    Bytes out(32, 0xEE);
    Object o(&out);
    ASSERT_EQ(CYR_Digest(m.get(), in.get(), o.get()), 0u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 20), Bytes(expected, expected + 20));
    EXPECT_EQ(Bytes(out.begin() + 20, out.end()), Bytes(12, 0xEE));
    EXPECT_EQ(o.length(), 32u);  // left as the caller set it
    EXPECT_FALSE(m.has_context());
}

TEST(Digest, EachCallDigestsOneBuffer) {
    Bytes a = {'a', 'b', 'c'}, out(20);
    Mechanism m(CYR_MECH_SHA1);
    Object in(&a), o(&out);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(CYR_DigestInit(m.get()), 0u);
        ASSERT_EQ(CYR_Digest(m.get(), in.get(), o.get()), 0u);
        EXPECT_EQ(cyrtest::to_hex(out), "a9993e364706816aba3e25717850c26c9cd0d89d");
    }
    // Without a new init the context is gone.
    EXPECT_EQ(CYR_Digest(m.get(), in.get(), o.get()), CYR_ARGUMENTS_BAD);
}

}  // namespace
