// Hiding a package in the least significant bits of BMP pictures, and
// joining it back. Pure functions over byte buffers; the runs do the files.
//
// Carrying picture = cover with: bytes 54..85 holding the piece length N in
// their low bits (most significant first), piece bit j in the low bit of
// byte 86 + j*G with G = (F - 80) / (8N) and F the size field of the BMP
// header, and "97" appended.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "package/bytes.h"

namespace package {

inline constexpr std::size_t kMaxPictures = 120;
inline constexpr std::int64_t kMaxPictureCapacity = 349998;

// Bytes of package a picture of `file_size` bytes offers: size / 8 - 70,
// at most 349998, never below 0.
std::int64_t picture_capacity(std::uint64_t file_size);

// Whether a cover with this size field and length can carry a piece of
// `piece_length` bytes (the gap is at least 1 and every bit lands inside).
bool piece_fits(std::uint32_t size_field, std::uint64_t cover_length, std::uint64_t piece_length);

// Pad bytes appended to a package of `length` bytes spread over `pictures`
// pictures: 1 to 8, each holding its own count.
unsigned pad_length(std::uint64_t length, std::size_t pictures);

struct PictureShare {
    std::size_t picture = 0;  // index into the caller's picture list
    std::int64_t capacity = 0;
    std::int64_t share = 0;  // package bytes this picture carries
};

// The split of `padded_length` bytes over pictures with these capacities, in
// embedding order (pictures without a share but with capacity go first).
// Empty when the pictures cannot take it all.
std::vector<PictureShare> plan_shares(std::span<const std::int64_t> capacities,
                                      std::uint64_t padded_length);

// u16 picture number, then the share bytes.
Bytes make_piece(std::uint16_t number, std::span<const std::uint8_t> share);

enum class EmbedResult { Ok, TooBig, NotPicture };

// The carrying picture for `piece` in `cover`; its length is the cover's + 2.
EmbedResult embed_piece(std::span<const std::uint8_t> cover, std::span<const std::uint8_t> piece,
                        Bytes& out);

// The piece a carrying picture holds; false when its stored length or gap
// cannot describe a piece inside this picture.
bool extract_piece(std::span<const std::uint8_t> carrying, Bytes& piece);

// Orders pieces by their stored numbers and concatenates them without the
// numbers. On failure returns the message and leaves `package` empty.
std::optional<std::string> join_pieces(const std::vector<Bytes>& pieces, Bytes& package);

}  // namespace package
