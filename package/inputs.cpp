#include "package/inputs.h"

#include <cctype>
#include <cstdio>
#include <unordered_set>

#include "package/codepage.h"
#include "package/file_io.h"
#include "package/messages.h"
#include "package/names.h"
#include "package/reader.h"
#include "package/stego.h"

namespace package {

namespace fs = std::filesystem;

namespace {

enum class Side { Encrypt, Decrypt };

// What a decrypt input adds to the total: the plain bytes it holds.
std::uint64_t plain_size(const fs::path& path, std::uint64_t size) {
    FilePtr f = open_file(path, "rb");
    if (!f) return size;
    FileSource src(f.get(), size);
    Outline outline;
    switch (detect_kind(src)) {
        case InputKind::Picture:
            return 0;
        case InputKind::Package:
            outline = read_package(src);
            break;
        case InputKind::EachFile:
            outline = read_each_file(src);
            break;
        default:
            return size;
    }
    if (!outline.error.empty()) return size;
    std::uint64_t plain = 0;
    for (const SealedEntry& e : outline.entries) plain += e.ct_length;
    return plain;
}

std::size_t add_inputs(InputList& list, std::span<const fs::path> paths, RunUi& ui, Side side) {
    std::size_t added = 0;
    for (const fs::path& path : paths) {
        for (const fs::path& have : list.paths) {
            if (have == path) {
                ui.message(msg::kDuplicateFile);
                return added;
            }
        }
        if (!open_file(path, "rb")) return added;
        const char* limit = side == Side::Encrypt ? msg::kEncryptLimit : msg::kDecryptLimit;
        auto size = size_of_file(path);
        if (!size) {
            ui.message(limit, msg::kWarningCaption);
            return added;
        }
        const std::uint64_t counted = side == Side::Encrypt ? *size : plain_size(path, *size);
        if (counted > kSizeLimit || list.total + counted > kSizeLimit) {
            ui.message(limit, msg::kWarningCaption);
            return added;
        }
        list.paths.push_back(path);
        list.counted.push_back(counted);
        list.total += counted;
        ++added;
    }
    return added;
}

}  // namespace

void InputList::remove(std::size_t index) {
    if (index >= paths.size()) return;
    total -= counted[index];
    paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(index));
    counted.erase(counted.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t add_encrypt_inputs(InputList& list, std::span<const fs::path> paths, RunUi& ui) {
    return add_inputs(list, paths, ui, Side::Encrypt);
}

std::size_t add_decrypt_inputs(InputList& list, std::span<const fs::path> paths, RunUi& ui) {
    return add_inputs(list, paths, ui, Side::Decrypt);
}

fs::path unique_output_name(const fs::path& proposed) {
    std::error_code ec;
    if (!fs::exists(proposed, ec)) return proposed;
    std::string stem = path_text(proposed.filename());
    if (auto dot = stem.rfind('.'); dot != std::string::npos && dot != 0) stem.erase(dot);
    // A name that already carries "(n)" counts on from its base.
    if (!stem.empty() && stem.back() == ')') {
        if (auto open = stem.rfind('('); open != std::string::npos) {
            bool digits = open + 1 < stem.size() - 1;
            for (std::size_t i = open + 1; i + 1 < stem.size(); ++i)
                digits = digits && std::isdigit(static_cast<unsigned char>(stem[i]));
            if (digits) stem.erase(open);
        }
    }
    for (unsigned n = 1;; ++n) {
        fs::path candidate =
            proposed.parent_path() / path_from_text(stem + "(" + std::to_string(n) + ").vlr");
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
    // One of them is not there (yet): compare where they point.
    const fs::path ca = fs::weakly_canonical(fs::absolute(a, ec), ec);
    if (ec) return false;
    const fs::path cb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return !ec && ca == cb;
}

namespace {

std::string folded_leaf(const fs::path& p) {
    std::string leaf = path_text(p.filename());
    for (char& c : leaf)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return leaf;
}

}  // namespace

FileSet::FileSet(std::span<const fs::path> paths) {
    for (const fs::path& p : paths) add(p);
}

void FileSet::add(const fs::path& path) {
    by_name_.emplace(folded_leaf(path), path);
}

bool FileSet::contains(const fs::path& path) const {
    auto [first, last] = by_name_.equal_range(folded_leaf(path));
    for (auto it = first; it != last; ++it)
        if (same_file(path, it->second)) return true;
    return false;
}

std::optional<fs::path> claim_output(const fs::path& proposed, const OutputRules& rules,
                                     RunUi& ui) {
    fs::path out = proposed;
    bool confirmed = false;
    for (;;) {
        std::error_code ec;
        if (rules.inputs && rules.inputs->contains(out)) {
            ui.message(msg::kOutputIsInput);
            return std::nullopt;
        }
        if (rules.written && rules.written->contains(out)) {
            ui.message(std::string(msg::kWrittenThisRun) + "\n" + escape_controls(path_text(out)));
        } else if (!confirmed && !rules.replace_existing && fs::exists(out, ec)) {
            ui.message(msg::kNameTaken);
        } else {
            return out;
        }
        auto chosen = ui.save_as(out, rules.save_filter);
        if (!chosen) return std::nullopt;
        out = *chosen;
        confirmed = true;
    }
}

namespace {

// What any two paths of one file agree in: size, modification time and a
// digest of two samples of the content. Only pictures that agree in all of
// them need the identity comparison, which is slow on some systems; a
// picture set usually shares its size, and copies often share their times.
struct Stamp {
    bool present = false;
    std::uint64_t size = 0;
    fs::file_time_type time{};
    std::uint64_t sample = 0;
};

std::uint64_t sample_digest(const fs::path& p, std::uint64_t size) {
    constexpr std::size_t kSample = 4096;
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    FilePtr f = open_file(p, "rb");
    if (!f) return h;
    char buf[kSample];
    for (std::uint64_t at : {std::uint64_t{0}, size / 2}) {
        if (!platform::stream_seek(f.get(), at)) break;
        const std::size_t n = std::fread(buf, 1, sizeof buf, f.get());
        for (std::size_t i = 0; i < n; ++i)
            h = (h ^ static_cast<unsigned char>(buf[i])) * 1099511628211ull;
    }
    return h;
}

Stamp stamp_of(const fs::path& p) {
    std::error_code ec;
    Stamp s;
    s.size = fs::file_size(p, ec);
    if (ec) return {};
    s.time = fs::last_write_time(p, ec);
    if (ec) return {};
    s.sample = sample_digest(p, s.size);
    s.present = true;
    return s;
}

struct Stamped {
    fs::path path;
    Stamp stamp;
};

std::vector<Stamped> stamped(std::span<const fs::path> paths) {
    std::vector<Stamped> v;
    for (const fs::path& p : paths) v.push_back({p, stamp_of(p)});
    return v;
}

bool among_stamped(const Stamped& p, std::span<const Stamped> list) {
    for (const Stamped& q : list) {
        const bool may_match =
            p.stamp.present == q.stamp.present &&
            (!p.stamp.present || (p.stamp.size == q.stamp.size && p.stamp.time == q.stamp.time &&
                                  p.stamp.sample == q.stamp.sample));
        if (may_match && same_file(p.path, q.path)) return true;
    }
    return false;
}

// The refusal of the last picture of `pictures`, or nullptr.
const char* picture_refusal(std::span<const Stamped> pictures, std::span<const Stamped> files) {
    const Stamped& last = pictures.back();
    if (among_stamped(last, pictures.first(pictures.size() - 1))) return msg::kDuplicateFile;
    if (among_stamped(last, files)) return msg::kPictureIsInput;
    return nullptr;
}

std::string refusal_text(const char* refusal, const fs::path& path) {
    return std::string(refusal) + "\n" + escape_controls(path_text(path));
}

}  // namespace

std::string check_distinct_files(std::span<const fs::path> files) {
    const std::vector<Stamped> all = stamped(files);
    for (std::size_t i = 1; i < all.size(); ++i)
        if (among_stamped(all[i], std::span(all).first(i)))
            return refusal_text(msg::kDuplicateFile, all[i].path);
    return {};
}

std::string check_log_file(const fs::path& log, std::span<const fs::path> files) {
    for (const fs::path& f : files)
        if (same_file(log, f)) return refusal_text(msg::kLogIsWorkFile, log);
    return {};
}

std::string check_leaf_names(std::span<const fs::path> files) {
    std::unordered_set<std::string> seen;
    for (const fs::path& p : files)
        if (!seen.insert(folded_leaf(p)).second) return refusal_text(msg::kLeafNameTwice, p);
    return {};
}

std::string check_pictures(std::span<const fs::path> pictures, std::span<const fs::path> files) {
    const std::vector<Stamped> all = stamped(pictures), inputs = stamped(files);
    for (std::size_t i = 0; i < all.size(); ++i)
        if (const char* refusal = picture_refusal(std::span(all).first(i + 1), inputs))
            return refusal_text(refusal, all[i].path);
    return {};
}

fs::path default_output_name(EncryptMode mode, std::span<const fs::path> files, bool has_message,
                             const fs::path& cwd) {
    fs::path name;
    if (mode == EncryptMode::Package) {
        if (files.size() == 1) {
            name = files[0];
            name += ".vlr";
        } else if (!files.empty()) {
            const fs::path folder = files[0].parent_path();
            const fs::path folder_name = folder.filename();
            // Files straight in a drive's root have no folder name to borrow.
            name = folder / (folder_name.empty() ? fs::path(u8"벨로라.vlr")
                                                 : fs::path(folder_name.u8string() + u8".vlr"));
        } else if (has_message) {
            name = cwd / u8"꾸러미메세지.vlr";
        }
    } else if (mode == EncryptMode::EachFile && has_message) {
        name = (files.empty() ? cwd : files[0].parent_path()) / u8"메세지파일.vlr";
    }
    return name.empty() ? name : unique_output_name(name);
}

std::int64_t hiding_need(std::span<const std::uint64_t> file_sizes, std::size_t message_bytes) {
    std::int64_t need = static_cast<std::int64_t>(message_bytes);
    for (std::uint64_t s : file_sizes) need += static_cast<std::int64_t>(s);
    return need;
}

std::optional<std::int64_t> pictures_capacity(std::span<const fs::path> pictures) {
    std::int64_t total = 0;
    for (const fs::path& p : pictures) {
        auto size = size_of_file(p);
        if (!size || !open_file(p, "rb")) return std::nullopt;
        total += picture_capacity(*size);
    }
    return total;
}

std::string capacity_text(std::int64_t need, std::int64_t available) {
    if (need <= available) return msg::kEnough;
    char buf[64];
    std::snprintf(buf, sizeof buf, msg::kShortFormat, static_cast<int>((need - available) / 1000));
    return buf;
}

PictureChoice choose_pictures(std::span<const fs::path> chosen, std::span<const fs::path> files,
                              std::size_t message_bytes, RunUi& ui) {
    PictureChoice choice;
    std::vector<std::uint64_t> sizes;
    for (const fs::path& f : files) {
        auto size = size_of_file(f);
        if (!size || !open_file(f, "rb")) {
            ui.message(msg::kHiddenFileOpen);
            return choice;
        }
        sizes.push_back(*size);
    }
    const std::int64_t need = hiding_need(sizes, message_bytes);
    const std::vector<Stamped> files_stamped = stamped(files);
    std::vector<Stamped> chosen_stamped;
    std::int64_t available = 0;
    for (const fs::path& p : chosen) {
        if (choice.pictures.size() == kMaxPictures) {
            ui.message(msg::kTooManyPictures);
            break;
        }
        auto size = size_of_file(p);
        FilePtr f = open_file(p, "rb");
        std::uint8_t head[6];
        // The smallest piece is a picture number and one byte.
        if (!size || !f || std::fread(head, 1, 6, f.get()) != 6 || head[0] != 'B' ||
            head[1] != 'M' || !piece_fits(get_u32(head + 2), *size, 3)) {
            ui.message(msg::kPictureOpen);
            break;
        }
        chosen_stamped.push_back({p, stamp_of(p)});
        if (const char* refusal = picture_refusal(chosen_stamped, files_stamped)) {
            ui.message(refusal_text(refusal, p));
            break;
        }
        choice.pictures.push_back(p);
        choice.shown.append(1, '"').append(path_text(p)).append("\" ");
        available += picture_capacity(*size);
    }
    choice.sufficient = !choice.pictures.empty() && need <= available;
    choice.capacity_text = capacity_text(need, available);
    return choice;
}

}  // namespace package
