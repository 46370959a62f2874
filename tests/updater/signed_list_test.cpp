// The signed lines of a version list, the publisher's rewrite of a list,
// and which public key is in force.
#include <gtest/gtest.h>

#include "toolkit/ed25519.h"
#include "updater/signed_list.h"
#include "updater/version_list.h"

namespace {

using updater::KeySource;
using updater::Sha512Digest;

Sha512Digest DigestOf(std::uint8_t fill) {
    Sha512Digest d{};
    d.fill(fill);
    return d;
}

std::string Hex(const Sha512Digest& d) {
    return updater::HexText(d.data(), d.size());
}

TEST(SignedLines, ReadOrRefused) {
    const std::string a = Hex(DigestOf(0xAA)), b = Hex(DigestOf(0xBB));
    struct Case {
        std::string text;
        bool ok;
        std::uint64_t serial;
        std::size_t digests;
        const char* error;
    } cases[] = {
        {";vlr-serial 7\n;vlr-sha512 " + a + " /down/a.exe\nx|/down/a.exe|E\n", true, 7, 1, ""},
        {";vlr-serial 18446744073709551615\r\n", true, 18446744073709551615ull, 0, ""},
        {";vlr-sha512 " + a + " /down/a.exe\n", false, 0, 0, "no serial line"},
        {";vlr-serial 7\n;vlr-serial 8\n", false, 0, 0, "a second serial line"},
        {";vlr-serial -1\n", false, 0, 0, "a malformed serial line"},
        {";vlr-serial 7x\n", false, 0, 0, "a malformed serial line"},
        {";vlr-serial \n", false, 0, 0, "no serial line"},
        {";vlr-serial 18446744073709551616\n", false, 0, 0, "a malformed serial line"},
        {";vlr-serial 1\n;vlr-sha512 " + a.substr(2) + " /down/a.exe\n", false, 0, 0,
         "a malformed SHA-512 line"},
        {";vlr-serial 1\n;vlr-sha512 " + a + "\n", false, 0, 0, "a malformed SHA-512 line"},
        {";vlr-serial 1\n;vlr-sha512 " + a.substr(0, 127) + "g /down/a.exe\n", false, 0, 0,
         "a malformed SHA-512 line"},
        {";vlr-serial 1\n;vlr-sha512 " + a + " /down/a.exe\n;vlr-sha512 " + b + " /down/a.exe\n",
         false, 0, 0, "two SHA-512 values for /down/a.exe"},
        // The same digest twice is harmless; remote paths may hold blanks.
        {";vlr-serial 1\n;vlr-sha512 " + a + " /down/a.exe\n;vlr-sha512 " + a +
             " /down/a.exe\n;vlr-sha512 " + b + " /down/my file.dll\n",
         true, 1, 2, ""},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto lines = updater::ReadSignedLines(c.text, error);
        ASSERT_EQ(lines.has_value(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(lines->serial, c.serial) << c.text;
            EXPECT_EQ(lines->digests.size(), c.digests) << c.text;
        } else {
            EXPECT_EQ(error, c.error) << c.text;
        }
    }
}

// An old updater's parser sees the same modules in the signed list as in
// the plain one: the added lines are comments to it.
TEST(SignedLines, OldParserSeesTheSameModules) {
    const std::string plain =
        "; "
        "modules\r\n..\\Vellora.exe|/down/Vellora.exe|E|--from-update\r\nx.dll|/down/x.dll|RF\r\n";
    const std::string signed_text = updater::WithSignedLines(
        plain, 42, {{"/down/Vellora.exe", DigestOf(1)}, {"/down/x.dll", DigestOf(2)}});
    auto modules_of = [](const std::string& text) {
        std::vector<std::string> out;
        for (const auto& line : updater::TextLines(text))
            if (auto m = updater::ModuleFromLine(line))
                out.push_back(m->local_path + "|" + m->remote_path + "|" + m->options + "|" +
                              m->arguments);
        return out;
    };
    EXPECT_EQ(modules_of(signed_text), modules_of(plain));
    EXPECT_EQ(signed_text.substr(0, 17), ";vlr-serial 42\r\n;");  // the list's own line ends
    std::string error;
    const auto lines = updater::ReadSignedLines(signed_text, error);
    ASSERT_TRUE(lines) << error;
    EXPECT_EQ(lines->serial, 42u);
    EXPECT_EQ(lines->digests.at("/down/x.dll"), DigestOf(2));

    // Signing again replaces the old signed lines instead of adding to them.
    const std::string again =
        updater::WithSignedLines(signed_text, 43, {{"/down/x.dll", DigestOf(3)}});
    const auto relined = updater::ReadSignedLines(again, error);
    ASSERT_TRUE(relined) << error;
    EXPECT_EQ(relined->serial, 43u);
    EXPECT_EQ(relined->digests.size(), 1u);
    EXPECT_EQ(modules_of(again), modules_of(plain));
    EXPECT_EQ(updater::ModuleRemotePaths(again),
              (std::vector<std::string>{"/down/Vellora.exe", "/down/x.dll"}));
}

TEST(SignedLines, TextLinesCutAsTheLineBufferDoes) {
    const std::string long_line(1500, 'a');
    const auto lines = updater::TextLines("short\n" + long_line + "\nlast");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "short\n");
    EXPECT_EQ(lines[1].size(), 1023u);
    EXPECT_EQ(lines[2], std::string(477, 'a') + "\n");
    EXPECT_EQ(lines[3], "last");
}

TEST(SignedLines, HexParsing) {
    std::uint8_t out[2];
    struct Case {
        const char* text;
        bool ok;
    } cases[] = {{"abCD", true},   {" abcd\r\n", true}, {"abc", false}, {"abcde", false},
                 {"ab cd", false}, {"abcg", false},     {"", false},    {"0x12", false}};
    for (const auto& c : cases) EXPECT_EQ(updater::ParseHex(c.text, out, 2), c.ok) << c.text;
}

TEST(UpdateKey, TheBuiltInKeyWins) {
    std::uint8_t seed[32] = {7}, other_seed[32] = {9};
    std::uint8_t key[32], other[32];
    cyr::ed25519_public_key(seed, key);
    cyr::ed25519_public_key(other_seed, other);
    const std::string a = updater::HexText(key, 32), b = updater::HexText(other, 32);
    const std::string small_order =
        "0100000000000000000000000000000000000000000000000000000000000000";
    struct Case {
        std::string built_in, configured;
        KeySource source;
        bool usable;
        std::string key;  // hex of the key in force when usable
        bool ignored;
    } cases[] = {
        {"", "", KeySource::none, false, "", false},
        {"", "  \r\n", KeySource::none, false, "", false},
        {a, "", KeySource::built_in, true, a, false},
        {a, a, KeySource::built_in, true, a, false},
        {a, b, KeySource::built_in, true, a, true},
        {a, "garbage", KeySource::built_in, true, a, true},
        {"", b, KeySource::configuration, true, b, false},
        {"", " " + b + " ", KeySource::configuration, true, b, false},
        {"", b.substr(1), KeySource::configuration, false, "", false},
        {"", small_order, KeySource::configuration, false, "", false},
        {small_order, b, KeySource::built_in, false, "", true},
    };
    for (const auto& c : cases) {
        const auto chosen = updater::ChooseUpdateKey(c.built_in, c.configured);
        const std::string what = "[" + c.built_in + "] [" + c.configured + "]";
        EXPECT_EQ(chosen.source, c.source) << what;
        EXPECT_EQ(chosen.usable, c.usable) << what;
        EXPECT_EQ(chosen.configuration_ignored, c.ignored) << what;
        if (c.usable) {
            EXPECT_EQ(updater::HexText(chosen.key.data(), 32), c.key) << what;
        }
    }
}

}  // namespace
