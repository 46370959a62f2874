// The owning secret buffer: what it holds through moves, resizes and
// clones, that it cannot be copied by accident, and that wiping zeroes.
#include "platform/secret.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using platform::SecretBytes;

static_assert(!std::is_copy_constructible_v<SecretBytes>);
static_assert(!std::is_copy_assignable_v<SecretBytes>);
static_assert(std::is_nothrow_move_constructible_v<SecretBytes>);
static_assert(std::is_nothrow_move_assignable_v<SecretBytes>);

std::vector<std::uint8_t> bytes_of(const SecretBytes& s) {
    return {s.span().begin(), s.span().end()};
}

TEST(SecureWipe, ZeroesExactlyTheGivenRange) {
    std::array<std::uint8_t, 8> buffer{1, 2, 3, 4, 5, 6, 7, 8};
    platform::secure_wipe(buffer.data() + 2, 4);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 8>{1, 2, 0, 0, 0, 0, 7, 8}));
    platform::secure_wipe(nullptr, 0);  // nothing to do, no fault
    platform::secure_wipe(buffer.data(), 0);
    EXPECT_EQ(buffer[0], 1);
}

TEST(SecureWipe, WipeStringEmptiesAndZeroesTheCharacters) {
    for (std::string text : {std::string("short"), std::string(100, 'p')}) {
        const char* storage = text.data();
        const std::size_t length = text.size();
        platform::wipe_string(text);
        EXPECT_TRUE(text.empty());
        // The same storage is still owned by the string: it reads as zeros.
        ASSERT_EQ(text.data(), storage);
        for (std::size_t i = 0; i < length; ++i) EXPECT_EQ(storage[i], '\0') << i;
    }
}

TEST(SecretBytesTest, HoldsWhatItWasGivenThroughMoves) {
    const std::vector<std::uint8_t> key{0xde, 0xad, 0xbe, 0xef};
    SecretBytes a(key);
    SecretBytes b(std::move(a));
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(bytes_of(b), key);
    SecretBytes c(3);
    c = std::move(b);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(bytes_of(c), key);
    SecretBytes d = c.clone();
    EXPECT_EQ(d, c);
    d.data()[0] ^= 1;  // the clone owns its own bytes
    EXPECT_FALSE(d == c);
    EXPECT_EQ(bytes_of(c), key);
}

TEST(SecretBytesTest, ResizeKeepsThePrefixAndZeroFillsTheRest) {
    struct Case {
        std::size_t to;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {0, {}},
        {2, {9, 8}},
        {3, {9, 8, 7}},
        {5, {9, 8, 7, 0, 0}},
    };
    for (const Case& c : cases) {
        SecretBytes s(std::vector<std::uint8_t>{9, 8, 7});
        s.resize(c.to);
        EXPECT_EQ(s.size(), c.to);
        EXPECT_EQ(bytes_of(s), c.expected) << c.to;
    }
    SecretBytes zeros(4);
    EXPECT_EQ(bytes_of(zeros), std::vector<std::uint8_t>(4, 0));
}

TEST(SecretBytesTest, TakeMovesTextAndWipesTheSource) {
    std::string typed = "비밀번호 secret";
    const std::string copy = typed;
    SecretBytes s = SecretBytes::take(typed);
    EXPECT_TRUE(typed.empty());
    EXPECT_EQ(s.text(), copy);
    s.wipe();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.data(), nullptr);
}

TEST(SecretBytesTest, EqualityNeedsSameLengthAndBytes) {
    const SecretBytes a(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_TRUE(a == SecretBytes(std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(a == SecretBytes(std::vector<std::uint8_t>{1, 2}));
    EXPECT_FALSE(a == SecretBytes(std::vector<std::uint8_t>{1, 2, 4}));
    EXPECT_TRUE(SecretBytes() == SecretBytes(std::size_t{0}));
}

}  // namespace
