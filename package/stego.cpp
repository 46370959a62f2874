#include "package/stego.h"

#include <algorithm>

#include "package/messages.h"

namespace package {

namespace {

constexpr std::size_t kHeaderBytes = 54;  // BMP file and info headers
constexpr std::size_t kLengthBits = 32;
constexpr std::size_t kPieceStart = kHeaderBytes + kLengthBits;  // 86

// G = (F - 80) / (8N), truncating toward zero as the format always did.
std::int64_t gap_for(std::uint32_t size_field, std::uint64_t piece_length) {
    if (piece_length == 0) return 0;
    return (static_cast<std::int64_t>(size_field) - 80) /
           static_cast<std::int64_t>(8 * piece_length);
}

}  // namespace

std::int64_t picture_capacity(std::uint64_t file_size) {
    const std::int64_t c = static_cast<std::int64_t>(file_size / 8) - 70;
    return std::clamp<std::int64_t>(c, 0, kMaxPictureCapacity);
}

bool piece_fits(std::uint32_t size_field, std::uint64_t cover_length, std::uint64_t piece_length) {
    if (piece_length == 0 || piece_length > 0xFFFFFFFFull) return false;
    const std::int64_t g = gap_for(size_field, piece_length);
    if (g < 1) return false;
    // The piece's region, 8N gaps from byte 86, must lie inside the cover.
    // 8N * G <= F - 80 by construction, so this cannot overflow.
    return kPieceStart + 8 * piece_length * static_cast<std::uint64_t>(g) <= cover_length;
}

unsigned pad_length(std::uint64_t length, std::size_t pictures) {
    return 8 - static_cast<unsigned>((length + 2 * pictures) % 8);
}

std::vector<PictureShare> plan_shares(std::span<const std::int64_t> capacities,
                                      std::uint64_t padded_length) {
    std::vector<PictureShare> recs;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < capacities.size(); ++i) {
        recs.push_back({i, std::max<std::int64_t>(capacities[i], 0), 0});
        total += recs.back().capacity;
    }
    if (recs.empty() || total <= 0 || padded_length > static_cast<std::uint64_t>(total)) return {};

    // Proportional shares; the remainder goes one byte each to the first
    // records after the reorder.
    const double length = static_cast<double>(padded_length);
    std::int64_t remainder = static_cast<std::int64_t>(padded_length);
    for (PictureShare& r : recs) {
        const double q = static_cast<double>(r.capacity) * length / static_cast<double>(total);
        r.share = static_cast<std::int64_t>(q);
        remainder = static_cast<double>(remainder) > q ? remainder - r.share : 0;
    }
    for (std::size_t pass = 0; pass < recs.size(); ++pass)
        for (std::size_t k = 0; k + 1 < recs.size(); ++k)
            if (recs[k + 1].share == 0 && recs[k + 1].capacity > 0) std::swap(recs[k], recs[k + 1]);
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        if (static_cast<std::int64_t>(i) < remainder) ++recs[i].share;
        sum += recs[i].share;
    }
    if (sum != static_cast<std::int64_t>(padded_length)) return {};
    return recs;
}

Bytes make_piece(std::uint16_t number, std::span<const std::uint8_t> share) {
    Bytes piece;
    piece.reserve(share.size() + 2);
    put_u16(piece, number);
    put_bytes(piece, share);
    return piece;
}

EmbedResult embed_piece(std::span<const std::uint8_t> cover, std::span<const std::uint8_t> piece,
                        Bytes& out) {
    out.clear();
    if (cover.size() < kPieceStart || cover[0] != 'B' || cover[1] != 'M')
        return EmbedResult::NotPicture;
    const std::uint32_t f = get_u32(cover.data() + 2);
    const std::uint64_t n = piece.size();
    if (!piece_fits(f, cover.size(), n)) return EmbedResult::TooBig;
    const std::uint64_t g = static_cast<std::uint64_t>(gap_for(f, n));

    out.reserve(cover.size() + 2);
    out.assign(cover.begin(), cover.end());
    for (std::size_t k = 0; k < kLengthBits; ++k) {
        const std::uint8_t bit = (n >> (31 - k)) & 1u;
        out[kHeaderBytes + k] = static_cast<std::uint8_t>((out[kHeaderBytes + k] & 0xFE) | bit);
    }
    std::uint64_t at = kPieceStart;
    for (std::uint8_t byte : piece) {
        for (int b = 7; b >= 0; --b) {
            out[at] = static_cast<std::uint8_t>((out[at] & 0xFE) | ((byte >> b) & 1u));
            at += g;
        }
    }
    out.push_back('9');
    out.push_back('7');
    return EmbedResult::Ok;
}

bool extract_piece(std::span<const std::uint8_t> carrying, Bytes& piece) {
    piece.clear();
    if (carrying.size() < kPieceStart + 2) return false;
    const std::uint64_t cover_length = carrying.size() - 2;
    const std::uint32_t f = get_u32(carrying.data() + 2);
    std::uint64_t n = 0;
    for (std::size_t k = 0; k < kLengthBits; ++k) n = (n << 1) | (carrying[kHeaderBytes + k] & 1u);
    if (n < 1 || n > (cover_length - kPieceStart) / 8) return false;
    if (!piece_fits(f, cover_length, n)) return false;
    const std::uint64_t g = static_cast<std::uint64_t>(gap_for(f, n));
    piece.resize(static_cast<std::size_t>(n));
    std::uint64_t at = kPieceStart;
    for (std::uint8_t& byte : piece) {
        std::uint8_t v = 0;
        for (int b = 0; b < 8; ++b) {
            v = static_cast<std::uint8_t>((v << 1) | (carrying[at] & 1u));
            at += g;
        }
        byte = v;
    }
    return true;
}

std::optional<std::string> join_pieces(const std::vector<Bytes>& pieces, Bytes& package) {
    package.clear();
    const std::size_t n = pieces.size();
    std::vector<const Bytes*> by_number(n, nullptr);
    for (const Bytes& p : pieces) {
        if (p.size() < 2) return std::string(msg::kPieceNumberRead);
        const std::uint16_t number = get_u16(p.data());
        // A number outside the set or seen twice: these pictures are not one set.
        if (number >= n || by_number[number] != nullptr) return std::string(msg::kWrongCombination);
        by_number[number] = &p;
    }
    std::size_t total = 0;
    for (const Bytes* p : by_number) {
        if (p == nullptr) return std::string(msg::kFileRead);
        total += p->size() - 2;
    }
    package.reserve(total);
    for (const Bytes* p : by_number) package.insert(package.end(), p->begin() + 2, p->end());
    return std::nullopt;
}

}  // namespace package
