// Picture capacity, the split of a package into pieces, embedding,
// extraction and joining.
#include "package/stego.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "package/messages.h"

namespace package {
namespace {

// A cover of `size` bytes: "BM", the size field, then pseudo-random pixels.
Bytes make_cover(std::size_t size, std::uint32_t size_field, unsigned seed = 1) {
    std::mt19937 rng(seed);
    Bytes c(size);
    for (auto& b : c) b = static_cast<std::uint8_t>(rng());
    c[0] = 'B';
    c[1] = 'M';
    set_u32(&c[2], size_field);
    return c;
}

Bytes random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

TEST(Capacity, Table) {
    struct Case {
        std::uint64_t size;
        std::int64_t capacity;
    } cases[] = {
        {100054, 12436},     {560, 0}, {559, 0}, {0, 0}, {568, 1}, {8 * (349998 + 70), 349998},
        {100000000, 349998},
    };
    for (const Case& c : cases) EXPECT_EQ(picture_capacity(c.size), c.capacity) << c.size;
}

TEST(Padding, Table) {
    struct Case {
        std::uint64_t length;
        std::size_t pictures;
        unsigned pad;
    } cases[] = {{40, 3, 2}, {42, 3, 8}, {0, 4, 8}, {1, 1, 5}, {7, 0, 1}};
    for (const Case& c : cases) EXPECT_EQ(pad_length(c.length, c.pictures), c.pad);
}

TEST(PlanShares, EveryByteIsPlacedWithinCapacity) {
    struct Case {
        std::vector<std::int64_t> caps;
        std::uint64_t length;
    } cases[] = {
        {{12436}, 1000},       {{100, 100, 100}, 42},          {{1000, 1, 1000, 3}, 1500},
        {{5, 5, 5, 5, 5}, 25}, {{349998, 10, 349998}, 700000},
    };
    for (const Case& c : cases) {
        auto plan = plan_shares(c.caps, c.length);
        ASSERT_EQ(plan.size(), c.caps.size());
        std::int64_t sum = 0;
        std::vector<bool> seen(c.caps.size());
        for (const PictureShare& s : plan) {
            sum += s.share;
            EXPECT_LE(s.share, s.capacity + 1);
            EXPECT_FALSE(seen[s.picture]);
            seen[s.picture] = true;
        }
        EXPECT_EQ(sum, static_cast<std::int64_t>(c.length));
    }
}

TEST(PlanShares, PicturesWithoutShareGoFirst) {
    // The tiny picture gets no proportional share and moves to the front,
    // where it takes one remainder byte.
    auto plan = plan_shares(std::vector<std::int64_t>{1000, 1}, 600);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].picture, 1u);
    EXPECT_LE(plan[0].share, 1);
}

TEST(PlanShares, RefusesWhatDoesNotFit) {
    EXPECT_TRUE(plan_shares(std::vector<std::int64_t>{}, 8).empty());
    EXPECT_TRUE(plan_shares(std::vector<std::int64_t>{0, 0}, 8).empty());
    EXPECT_TRUE(plan_shares(std::vector<std::int64_t>{10, 10}, 21).empty());
}

TEST(Embed, KnownLayoutOfOneHundredThousandByteCover) {
    Bytes cover = make_cover(100054, 100054);
    Bytes piece = random_bytes(1000, 2);
    Bytes out;
    ASSERT_EQ(embed_piece(cover, piece, out), EmbedResult::Ok);
    ASSERT_EQ(out.size(), 100056u);
    EXPECT_EQ(out[100054], '9');
    EXPECT_EQ(out[100055], '7');
    // G = 99974 / 8000 = 12: bit j sits in the low bit of byte 86 + 12j.
    const std::size_t g = 12;
    for (std::size_t i = 0; i < out.size() - 2; ++i) {
        const bool in_length = i >= 54 && i < 86;
        const bool on_bit = i >= 86 && (i - 86) % g == 0 && (i - 86) / g < 8000;
        if (in_length || on_bit) {
            EXPECT_EQ(out[i] & 0xFE, cover[i] & 0xFE) << i;
        } else {
            ASSERT_EQ(out[i], cover[i]) << i;
        }
    }
    std::uint32_t n = 0;
    for (int k = 0; k < 32; ++k) n = (n << 1) | (out[54 + k] & 1u);
    EXPECT_EQ(n, 1000u);
    EXPECT_EQ(out[86] & 1, piece[0] >> 7);
    Bytes back;
    ASSERT_TRUE(extract_piece(out, back));
    EXPECT_EQ(back, piece);
}

TEST(Embed, RefusesWhatTheCoverCannotHold) {
    Bytes piece = random_bytes(100, 3);
    Bytes out;
    // Gap below one.
    EXPECT_EQ(embed_piece(make_cover(800, 800), piece, out), EmbedResult::TooBig);
    // The header claims more than the file holds: the bits would run past it.
    EXPECT_EQ(embed_piece(make_cover(2000, 100000), piece, out), EmbedResult::TooBig);
    EXPECT_TRUE(out.empty());
    Bytes not_bmp = make_cover(5000, 5000);
    not_bmp[0] = 'X';
    EXPECT_EQ(embed_piece(not_bmp, piece, out), EmbedResult::NotPicture);
    EXPECT_EQ(embed_piece(Bytes(10, 'B'), piece, out), EmbedResult::NotPicture);
}

TEST(Embed, SmallestPieceFitsSmallestUsefulCover) {
    EXPECT_TRUE(piece_fits(110, 110, 3));
    EXPECT_FALSE(piece_fits(103, 110, 3));
    EXPECT_FALSE(piece_fits(110, 109, 3));
    EXPECT_FALSE(piece_fits(110, 110, 0));
}

TEST(Extract, RefusesImpossibleLengthsAndEveryTruncation) {
    Bytes cover = make_cover(5000, 5000);
    Bytes piece = random_bytes(40, 4);
    Bytes carrying;
    ASSERT_EQ(embed_piece(cover, piece, carrying), EmbedResult::Ok);
    Bytes back;
    for (std::size_t len = 0; len < carrying.size(); ++len) {
        std::span<const std::uint8_t> cut(carrying.data(), len);
        if (extract_piece(cut, back)) {
            // Only a cut that still holds every bit may succeed, and then
            // yields the same piece.
            EXPECT_EQ(back, piece) << len;
        }
    }
    struct Case {
        const char* name;
        std::uint32_t n;
        std::uint32_t f;
    } cases[] = {{"zero length", 0, 5000},
                 {"length beyond the picture", 0xFFFFFFFFu, 5000},
                 {"gap below one", 600, 1000},
                 {"size field too small", 40, 10},
                 {"size field far beyond the file", 40, 0xFFFFFFFFu}};
    for (const Case& c : cases) {
        Bytes bad = carrying;
        set_u32(&bad[2], c.f);
        for (int k = 0; k < 32; ++k)
            bad[54 + k] = static_cast<std::uint8_t>((bad[54 + k] & 0xFE) | ((c.n >> (31 - k)) & 1));
        EXPECT_FALSE(extract_piece(bad, back)) << c.name;
    }
}

TEST(Join, OrdersByStoredNumber) {
    Bytes package = random_bytes(1000, 5);
    std::vector<Bytes> pieces;
    pieces.push_back(make_piece(2, std::span(package).subspan(700)));
    pieces.push_back(make_piece(0, std::span(package).subspan(0, 300)));
    pieces.push_back(make_piece(1, std::span(package).subspan(300, 400)));
    Bytes joined;
    EXPECT_EQ(join_pieces(pieces, joined), std::nullopt);
    EXPECT_EQ(joined, package);
}

TEST(Join, RefusesPiecesThatAreNotOneSet) {
    Bytes a = {1, 2, 3};
    struct Case {
        const char* name;
        std::vector<Bytes> pieces;
        const char* error;
    } cases[] = {
        {"same picture twice",
         {make_piece(0, a), make_piece(1, a), make_piece(1, a)},
         msg::kWrongCombination},
        {"number beyond the set", {make_piece(0, a), make_piece(2, a)}, msg::kWrongCombination},
        {"piece without number", {make_piece(0, a), Bytes{1}}, msg::kPieceNumberRead},
    };
    for (const Case& c : cases) {
        Bytes joined;
        auto err = join_pieces(c.pieces, joined);
        ASSERT_TRUE(err.has_value()) << c.name;
        EXPECT_EQ(*err, c.error) << c.name;
        EXPECT_TRUE(joined.empty());
    }
}

}  // namespace
}  // namespace package
