// Writes the seed corpus of the fuzz targets: real packages of every kind
// (each-file items, packages with and without a message, password and shared
// keys, the picture kind) and sets of carrying pictures, so that fuzzing
// starts from inputs the readers accept.
//
//   make_fuzz_seeds OUTPUT_FOLDER
//
// Everything is made from fixed inputs and a fixed session key, so the
// password kinds and the pictures come out byte for byte the same on every
// run; a shared-key slot holds an elliptic-curve encryption, which draws a
// fresh ephemeral key each time. Each seed is read back before it is kept.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "package/file_io.h"
#include "package/format.h"
#include "package/keys.h"
#include "package/picture_files.h"
#include "package/reader.h"
#include "package/seal.h"
#include "package/stego.h"
#include "package/writer.h"

namespace {

namespace fs = std::filesystem;
using package::Bytes;

Bytes text_bytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Deterministic filler.
Bytes filler(std::size_t n, std::uint32_t seed) {
    Bytes b(n);
    for (std::uint8_t& c : b) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<std::uint8_t>(seed >> 16);
    }
    return b;
}

struct Failure {
    std::string what;
};

void check(bool ok, const std::string& what) {
    if (!ok) throw Failure{what};
}

void write_file(const fs::path& p, const Bytes& data) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    check(static_cast<bool>(out), "cannot write " + p.string());
}

class SeedMaker {
  public:
    explicit SeedMaker(const fs::path& out) : out_(out), work_(out / "work") {
        fs::create_directories(out_ / "fuzz_package_reader");
        fs::create_directories(out_ / "fuzz_picture_joiner");
        fs::create_directories(work_);
        const Bytes fixed = filler(package::kSessionKeySize, 7);
        session_ = package::SecretBytes(fixed);
        check(package::make_check_block(session_, check_) == 0, "check block");
        for (const char* who : {"alice-password", "bob-password", "carol-password"}) {
            Bytes pub;
            package::SecretBytes priv;
            check(package::DeriveSharedKeyPair(text_bytes(who), pub, priv) == 0, "key pair");
            recipients_.push_back(pub);
        }
        files_.push_back(source("C:\\docs\\report.txt", text_bytes("quarterly figures\n")));
        files_.push_back(source("D:\\empty.bin", {}));
        files_.push_back(source("\xBA\xB8\xB0\xED\xBC\xAD.hwp", filler(300, 3)));  // code page 949
    }
    ~SeedMaker() {
        std::error_code ec;
        fs::remove_all(work_, ec);
    }

    void make_all() {
        using package::Algorithm;
        using package::Arrangement;
        using package::Protection;
        const Bytes message = text_bytes("meeting at three");
        for (Algorithm a : {Algorithm::Seed, Algorithm::Aria, Algorithm::Aes}) {
            const std::string word = algorithm_name(a);
            reader_seed(
                "each_file_" + word + ".vlr",
                each_file(keys(Arrangement::EachFile, Protection::Password, a), &files_[0], {}));
            reader_seed(
                "package_" + word + ".vlr",
                package_file(keys(Arrangement::Package, Protection::Password, a), files_, {}));
        }
        reader_seed("each_file_message.vlr",
                    each_file(keys(Arrangement::EachFile, Protection::Password, Algorithm::Seed),
                              nullptr, message));
        reader_seed("each_file_empty.vlr",
                    each_file(keys(Arrangement::EachFile, Protection::Password, Algorithm::Seed),
                              &files_[1], {}));
        reader_seed("each_file_shared.vlr",
                    each_file(keys(Arrangement::EachFile, Protection::Sharing, Algorithm::Seed),
                              &files_[0], {}));
        reader_seed("package_message.vlr",
                    package_file(keys(Arrangement::Package, Protection::Password, Algorithm::Aria),
                                 files_, message));
        reader_seed("package_message_only.vlr",
                    package_file(keys(Arrangement::Package, Protection::Password, Algorithm::Seed),
                                 {}, message));
        reader_seed("package_shared.vlr",
                    package_file(keys(Arrangement::Package, Protection::Sharing, Algorithm::Seed),
                                 files_, message));

        // Small pictures: the seeds stay near libFuzzer's default input size.
        const std::vector<package::SourceFile> small = {files_[0]};
        const Bytes hidden = package_file(
            keys(Arrangement::Pictures, Protection::Password, Algorithm::Seed), small, message);
        reader_seed("pictures_kind.vlr", hidden);
        for (std::size_t count = 1; count <= 3; ++count) {
            // One picture alone must hold the whole package.
            std::vector<Bytes> pictures =
                carrying_pictures(hidden, count, count == 1 ? 2400 : 1400);
            Bytes set = {static_cast<std::uint8_t>(count - 1)};
            for (const Bytes& p : pictures) set.insert(set.end(), p.begin(), p.end());
            joiner_seed("set_of_" + std::to_string(count) + ".bin", set, hidden);
            if (count == 1) write_file(out_ / "fuzz_package_reader" / "carrying.bmp", pictures[0]);
        }
        const Bytes shared_hidden = package_file(
            keys(Arrangement::Pictures, Protection::Sharing, Algorithm::Seed), small, {});
        std::vector<Bytes> pictures = carrying_pictures(shared_hidden, 2, 2400);
        Bytes set = {1};
        for (const Bytes& p : pictures) set.insert(set.end(), p.begin(), p.end());
        joiner_seed("shared_set_of_2.bin", set, shared_hidden);
    }

  private:
    static std::string algorithm_name(package::Algorithm a) {
        return a == package::Algorithm::Seed   ? "seed"
               : a == package::Algorithm::Aria ? "aria"
                                               : "aes";
    }

    package::SourceFile source(const std::string& stored, const Bytes& content) {
        const fs::path p = work_ / ("source" + std::to_string(files_.size()));
        write_file(p, content);
        return {p, text_bytes(stored), content.size()};
    }

    // The run's key material from the fixed session key.
    package::RunKeys keys(package::Arrangement arrangement, package::Protection protection,
                          package::Algorithm algorithm) {
        package::RunKeys k;
        k.session_key = session_.clone();
        k.check = check_;
        package::KeyHeader header;
        header.magic = package::magic_for(arrangement, protection);
        if (protection == package::Protection::Password) {
            package::KeySlot slot;
            check(
                package::wrap_with_password(session_, text_bytes("secret1"), algorithm, slot) == 0,
                "password slot");
            k.slot_kind = slot.kind;
            header.slots.push_back(slot);
        } else {
            for (const Bytes& r : recipients_) {
                package::KeySlot slot;
                check(package::wrap_for_recipient(session_, r, slot) == 0, "recipient slot");
                header.slots.push_back(slot);
            }
            k.slot_kind = package::kSlotEcc;
        }
        k.header = package::build_key_header(header);
        return k;
    }

    Bytes written(const std::function<std::string(std::FILE*)>& write) {
        const fs::path p = work_ / "item";
        {
            package::FilePtr f = package::open_file(p, "wb");
            check(f != nullptr, "cannot create " + p.string());
            const std::string err = write(f.get());
            check(err.empty(), err);
        }
        auto bytes = package::read_whole(p);
        check(bytes.has_value(), "cannot read back " + p.string());
        return *bytes;
    }

    Bytes each_file(const package::RunKeys& k, const package::SourceFile* file,
                    const Bytes& message) {
        return written(
            [&](std::FILE* f) { return package::write_each_file_item(f, file, message, k, {}); });
    }

    Bytes package_file(const package::RunKeys& k, const std::vector<package::SourceFile>& files,
                       const Bytes& message) {
        return written(
            [&](std::FILE* f) { return package::write_package(f, files, message, k, {}); });
    }

    // The package hidden in `count` covers of `size` bytes, as the pictures
    // come out of the hiding.
    std::vector<Bytes> carrying_pictures(const Bytes& hidden, std::size_t count, std::size_t size) {
        std::vector<fs::path> paths;
        for (std::size_t i = 0; i < count; ++i) {
            Bytes cover = filler(size, 100 + static_cast<std::uint32_t>(i));
            cover[0] = 'B';
            cover[1] = 'M';
            package::set_u32(cover.data() + 2, static_cast<std::uint32_t>(size));
            paths.push_back(work_ / ("cover" + std::to_string(i) + ".bmp"));
            write_file(paths.back(), cover);
        }
        const std::string err = package::hide_in_pictures(hidden, paths, {});
        check(err.empty(), "hiding: " + err);
        std::vector<Bytes> pictures;
        for (const fs::path& p : paths) pictures.push_back(*package::read_whole(p));
        return pictures;
    }

    void reader_seed(const std::string& name, const Bytes& data) {
        package::MemorySource src(data);
        const package::InputKind kind = package::detect_kind(src);
        check(kind == package::InputKind::EachFile || kind == package::InputKind::Package ||
                  name == "pictures_kind.vlr",
              name + ": not recognised");
        const package::Outline o = kind == package::InputKind::EachFile
                                       ? package::read_each_file(src)
                                       : package::read_package(src);
        check(o.error.empty() && !o.entries.empty(), name + ": " + o.error);
        write_file(out_ / "fuzz_package_reader" / name, data);
    }

    // The joiner's input: a count byte, then the pictures, all of one size.
    void joiner_seed(const std::string& name, const Bytes& data, const Bytes& hidden) {
        const std::size_t count = 1 + data[0] % 8;
        const std::size_t each = (data.size() - 1) / count;
        std::vector<Bytes> pieces;
        for (std::size_t i = 0; i < count; ++i) {
            Bytes piece;
            check(package::extract_piece(
                      std::span<const std::uint8_t>(data.data() + 1 + i * each, each), piece),
                  name + ": piece " + std::to_string(i));
            pieces.push_back(piece);
        }
        Bytes joined;
        check(!package::join_pieces(pieces, joined), name + ": join");
        check(joined.size() > hidden.size() &&
                  std::equal(hidden.begin(), hidden.end(), joined.begin()),
              name + ": joined bytes differ");
        write_file(out_ / "fuzz_picture_joiner" / name, data);
    }

    fs::path out_, work_;
    package::SecretBytes session_;
    package::CheckBlock check_{};
    std::vector<Bytes> recipients_;
    std::vector<package::SourceFile> files_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        SeedMaker maker{fs::path(argv[1])};
        maker.make_all();
    } catch (const Failure& f) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", f.what.c_str());
        return 1;
    }
    return 0;
}
