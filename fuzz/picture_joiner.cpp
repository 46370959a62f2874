// Any bytes as a set of carrying pictures: the first byte tells how many
// pictures the rest is cut into. Extraction and joining must refuse or
// yield a package, and the joined bytes go through the package reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/format.h"
#include "package/reader.h"
#include "package/stego.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t count = 1 + data[0] % 8;
    const std::size_t each = (size - 1) / count;
    std::vector<package::Bytes> pieces;
    for (std::size_t i = 0; i < count; ++i) {
        std::span<const std::uint8_t> picture(data + 1 + i * each, each);
        package::Bytes piece;
        if (!package::extract_piece(picture, piece)) return 0;
        if (piece.size() > picture.size()) std::abort();
        pieces.push_back(std::move(piece));
    }
    package::Bytes joined;
    if (package::join_pieces(pieces, joined)) return 0;
    package::MemorySource source(joined);
    (void)package::read_package(source);
    return 0;
}
