// SHA-512 against the FIPS vectors, whole, split at every offset and fed in
// pieces of every small size.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/signature_vectors.h"
#include "tests/toolkit/test_util.h"
#include "toolkit/sha512.h"

namespace {

using cyrtest::Bytes;
using cyrtest::message_of;
using cyrtest::to_hex;

std::string digest_in_pieces(const Bytes& m, std::size_t piece) {
    cyr::Sha512Context ctx;
    cyr::sha512_init(&ctx);
    for (std::size_t at = 0; at < m.size(); at += piece)
        cyr::sha512_update(&ctx, m.data() + at, std::min(piece, m.size() - at));
    uint8_t out[64];
    cyr::sha512_final(&ctx, out);
    return to_hex(out, 64);
}

TEST(Sha512, FipsVectorsOneShot) {
    for (const auto& v : cyrtest::kSha512Vectors) {
        Bytes m = message_of(v);
        uint8_t out[64];
        cyr::sha512_digest(m.data(), m.size(), out);
        EXPECT_EQ(to_hex(out, 64), v.digest) << v.source;
    }
}

TEST(Sha512, FipsVectorsSplitAtEveryOffset) {
    for (const auto& v : cyrtest::kSha512Vectors) {
        Bytes m = message_of(v);
        if (m.size() > 1000) continue;  // the long one runs in pieces below
        for (std::size_t cut = 0; cut <= m.size(); ++cut) {
            cyr::Sha512Context ctx;
            cyr::sha512_init(&ctx);
            cyr::sha512_update(&ctx, m.data(), cut);
            cyr::sha512_update(&ctx, nullptr, 0);
            cyr::sha512_update(&ctx, m.data() + cut, m.size() - cut);
            uint8_t out[64];
            cyr::sha512_final(&ctx, out);
            EXPECT_EQ(to_hex(out, 64), v.digest) << v.source << " cut at " << cut;
        }
    }
}

TEST(Sha512, MillionAInPiecesAroundTheBlockSize) {
    const auto& v = cyrtest::kSha512Vectors[2];
    Bytes m = message_of(v);
    for (std::size_t piece : {1u, 111u, 112u, 127u, 128u, 129u, 4096u, 999999u})
        EXPECT_EQ(digest_in_pieces(m, piece), v.digest) << "pieces of " << piece;
}

// The padding boundaries: 111 bytes still fit the length in one block, 112
// need a second. Each length must differ from its neighbours and match the
// digest of the same bytes fed one at a time.
TEST(Sha512, LengthsAroundThePaddingBoundary) {
    std::string previous;
    for (std::size_t n = 100; n <= 260; ++n) {
        Bytes m(n);
        for (std::size_t i = 0; i < n; ++i) m[i] = uint8_t(i * 7 + 3);
        uint8_t out[64];
        cyr::sha512_digest(m.data(), m.size(), out);
        const std::string whole = to_hex(out, 64);
        EXPECT_EQ(digest_in_pieces(m, 1), whole) << n;
        EXPECT_NE(whole, previous) << n;
        previous = whole;
    }
}

}  // namespace
