#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::cp949_length;
using platform::from_cp949;
using platform::to_cp949;

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list) s.push_back(static_cast<char>(b));
    return s;
}

// Code points of KS X 1001 (EUC-KR) are fixed by the standard; the UHC
// extension adds the remaining Hangul syllables below 0xA1 lead bytes.
struct KnownText {
    const char* utf8;
    std::string cp949;
};

TEST(Cp949, KnownEncodings) {
    const KnownText cases[] = {
        {"", ""},
        {"abc 123", "abc 123"},
        {"가나다", bytes({0xB0, 0xA1, 0xB3, 0xAA, 0xB4, 0xD9})},
        {"벨로라.vlr", bytes({0xBA, 0xA7, 0xB7, 0xCE, 0xB6, 0xF3}) + ".vlr"},
        {"똠", bytes({0x8C, 0x63})},  // UHC extension syllable
        {"\\Log\\Vellora.log", "\\Log\\Vellora.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        auto encoded = to_cp949(c.utf8);
        ASSERT_TRUE(encoded.has_value());
        EXPECT_EQ(*encoded, c.cp949);
        auto decoded = from_cp949(c.cp949);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, c.utf8);
        EXPECT_EQ(cp949_length(c.utf8), c.cp949.size());
    }
}

TEST(Cp949, EveryHangulSyllableTakesTwoBytesAndComesBack) {
    for (char32_t cp = 0xAC00; cp <= 0xD7A3; ++cp) {
        std::string utf8 = {static_cast<char>(0xE0 | (cp >> 12)),
                            static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                            static_cast<char>(0x80 | (cp & 0x3F))};
        auto encoded = to_cp949(utf8);
        ASSERT_TRUE(encoded.has_value()) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(encoded->size(), 2u) << std::hex << static_cast<unsigned>(cp);
        auto back = from_cp949(*encoded);
        ASSERT_TRUE(back.has_value());
        ASSERT_EQ(*back, utf8);
    }
}

TEST(Cp949, CharactersOutsideTheCodePageAreRefused) {
    const char* cases[] = {
        "\xF0\x9F\x98\x80",  // emoji
        "\xE0\xB8\x81",      // Thai letter
        "abc\xE0\xB8\x81"
        "def",           // refused wherever it stands, never replaced
        "\xE2\x82\xAB",  // dong sign
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(to_cp949(c).has_value());
        EXPECT_FALSE(cp949_length(c).has_value());
    }
}

TEST(Cp949, MalformedInputIsRefused) {
    const std::string bad_utf8[] = {"\xC3", "\xE0\x80\x80", "\xFF", "a\xED\xA0\x80"};
    for (const auto& s : bad_utf8) EXPECT_FALSE(to_cp949(s).has_value());
    const std::string bad_949[] = {bytes({0xB0}), bytes({0x41, 0xB0}), bytes({0xFF, 0xFF})};
    for (const auto& s : bad_949) EXPECT_FALSE(from_cp949(s).has_value());
}

TEST(WideText, RoundTripsAndRefusesMalformedUtf8) {
    const char* cases[] = {"", "plain", "가나다 report.txt", "\xF0\x9F\x98\x80"};
    for (const char* c : cases) {
        auto wide = platform::to_wide(c);
        ASSERT_TRUE(wide.has_value()) << c;
        EXPECT_EQ(platform::from_wide(*wide), std::string(c));
    }
    EXPECT_EQ(platform::to_wide("가")->size(), 1u);
    EXPECT_FALSE(platform::to_wide("\xC3").has_value());
}

}  // namespace
