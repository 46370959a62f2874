#include "package/picture_files.h"

#include <vector>

#include "package/file_io.h"
#include "package/inputs.h"
#include "package/messages.h"
#include "package/stego.h"

namespace package {

namespace fs = std::filesystem;

std::string hide_in_pictures(std::span<const std::uint8_t> package,
                             std::span<const fs::path> pictures,
                             const std::function<void(std::size_t)>& picture_done) {
    if (pictures.empty()) return msg::kChoosePictures;
    if (pictures.size() > kMaxPictures) return msg::kTooManyPictures;
    if (std::string err = check_pictures(pictures, {}); !err.empty()) return err;
    Bytes padded(package.begin(), package.end());
    const unsigned pad = pad_length(padded.size(), pictures.size());
    padded.insert(padded.end(), pad, static_cast<std::uint8_t>(pad));

    // Sizes and header size fields, without holding every picture in memory.
    std::vector<std::int64_t> capacities;
    std::vector<std::uint32_t> size_fields;
    std::vector<std::uint64_t> lengths;
    for (const fs::path& p : pictures) {
        auto size = size_of_file(p);
        FilePtr f = open_file(p, "rb");
        std::uint8_t head[6];
        if (!size || !f || std::fread(head, 1, 6, f.get()) != 6) return msg::kPictureOpen;
        if (head[0] != 'B' || head[1] != 'M') return msg::kPictureOpen;
        capacities.push_back(picture_capacity(*size));
        size_fields.push_back(get_u32(head + 2));
        lengths.push_back(*size);
    }
    std::vector<PictureShare> plan = plan_shares(capacities, padded.size());
    if (plan.empty()) return msg::kPicturesTooSmall;
    for (const PictureShare& s : plan) {
        const std::uint64_t piece = static_cast<std::uint64_t>(s.share) + 2;
        if (!piece_fits(size_fields[s.picture], lengths[s.picture], piece)) return msg::kTooBig;
    }

    std::size_t offset = 0;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const PictureShare& s = plan[i];
        const fs::path& target = pictures[s.picture];
        const std::size_t share = static_cast<std::size_t>(s.share);
        Bytes piece = make_piece(static_cast<std::uint16_t>(i),
                                 std::span<const std::uint8_t>(padded).subspan(offset, share));
        offset += share;
        auto cover = read_whole(target);
        if (!cover) return msg::kPictureOpen;
        Bytes carrying;
        switch (embed_piece(*cover, piece, carrying)) {
            case EmbedResult::Ok:
                break;
            case EmbedResult::TooBig:
                return msg::kTooBig;
            case EmbedResult::NotPicture:
                return msg::kPictureOpen;
        }
        // Every bit must read back before the cover is given up.
        Bytes check;
        if (carrying.size() != cover->size() + 2 || !extract_piece(carrying, check) ||
            check != piece)
            return msg::kPieceWrite;
        StagedOutput out;
        if (!out.open(target)) return msg::kPieceWrite;
        if (std::fwrite(carrying.data(), 1, carrying.size(), out.file()) != carrying.size() ||
            !out.commit())
            return msg::kPieceWrite;
        if (size_of_file(target) != carrying.size()) return msg::kPieceWrite;
        if (picture_done) picture_done(i);
    }
    // The pictures as they now lie on disk must give the package back: only
    // then may the caller give up anything the package was made from.
    Bytes joined;
    if (!join_from_pictures(pictures, joined).empty() || joined != padded)
        return msg::kHiddenMismatch;
    return {};
}

std::string join_from_pictures(std::span<const fs::path> pictures, Bytes& package) {
    package.clear();
    if (pictures.size() > kMaxPictures) return msg::kTooManyPictures;
    std::vector<Bytes> pieces;
    for (const fs::path& p : pictures) {
        auto carrying = read_whole(p);
        if (!carrying) return msg::kFileRead;
        Bytes piece;
        // A stored length or gap that cannot belong to this picture: it is
        // not part of a set this program made.
        if (!extract_piece(*carrying, piece)) return msg::kWrongCombination;
        pieces.push_back(std::move(piece));
    }
    if (auto err = join_pieces(pieces, package)) return *err;
    return {};
}

}  // namespace package
