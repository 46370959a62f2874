// The input lists of the encrypt and decrypt pages, the proposed output
// name and the picture capacity text: decisions the main window and the
// command line share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "package/choices.h"
#include "package/run_ui.h"

namespace package {

// The most bytes one run takes in ("1.5G" in the messages); the deletion
// area refuses larger files by the same limit.
inline constexpr std::uint64_t kSizeLimit = 1536000000;

struct InputList {
    std::vector<std::filesystem::path> paths;
    std::vector<std::uint64_t> counted;  // what each path added to the total
    std::uint64_t total = 0;

    void clear() {
        paths.clear();
        counted.clear();
        total = 0;
    }
    // Takes off exactly what the entry added.
    void remove(std::size_t index);
};

// Appends paths in order. A duplicate, an unreadable file or the size limit
// shows its message and drops the rest; returns how many were added.
std::size_t add_encrypt_inputs(InputList& list, std::span<const std::filesystem::path> paths,
                               RunUi& ui);
// As above; carrying pictures count nothing toward the limit and a package
// counts only the plain bytes it holds.
std::size_t add_decrypt_inputs(InputList& list, std::span<const std::filesystem::path> paths,
                               RunUi& ui);

// The output name proposed for the current inputs (empty when there is
// none to propose), already made unique.
std::filesystem::path default_output_name(EncryptMode mode,
                                          std::span<const std::filesystem::path> files,
                                          bool has_message, const std::filesystem::path& cwd);
// name.vlr, name(1).vlr, name(2).vlr ...: the first that does not exist.
std::filesystem::path unique_output_name(const std::filesystem::path& proposed);

// Whether two paths name one file: the same file on disk (other spellings,
// hard and symbolic links included), or, for a file not yet there, the same
// place once "." and ".." are resolved.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b);

// Files of a run (its inputs, the outputs written so far), looked up by
// leaf name and then compared with same_file, so a run of many files stays
// fast. Leaf names are compared with ASCII case folded, as Windows does. A
// path reaching one of the files through a link of another name is not
// sought: an output is staged and renamed into place, which replaces such a
// link and never writes through it.
class FileSet {
  public:
    FileSet() = default;
    explicit FileSet(std::span<const std::filesystem::path> paths);
    void add(const std::filesystem::path& path);
    bool contains(const std::filesystem::path& path) const;

  private:
    std::unordered_multimap<std::string, std::filesystem::path> by_name_;
};

// What an output of a run may not take the place of.
struct OutputRules {
    const FileSet* inputs = nullptr;   // refused outright
    const FileSet* written = nullptr;  // this run's outputs: never replaced
    bool replace_existing = false;     // any other existing file: replaced
    const char* save_filter = "";
};

// The name an output is written under: `proposed`, or what the user picks
// in the save dialog when it is taken ("동일한 파일명이 있습니다.") or was
// written earlier in this run (that message and the dialog again, even when
// replacing is allowed). An input is refused with its message. nullopt when
// refused or cancelled; the dialog's choice of an existing file is its
// confirmation to replace it.
std::optional<std::filesystem::path> claim_output(const std::filesystem::path& proposed,
                                                  const OutputRules& rules, RunUi& ui);

// The files of one encryption against each other: "" when they are distinct
// files, else "동일한 파일이 존재합니다." and the second spelling. One file
// named twice (another spelling, a link) would be stored twice and wiped
// twice, and its package would never decrypt without a collision.
std::string check_distinct_files(std::span<const std::filesystem::path> files);

// Files of one package against each other by leaf name (ASCII case folded):
// "" when every leaf differs, else the message and the second path. Without
// a save dialog to rename it, the second of two entries of one name cannot
// be decrypted beside the first.
std::string check_leaf_names(std::span<const std::filesystem::path> files);

// The pictures of the hiding mode against each other and the files to hide:
// "" when every picture is a distinct file that is not one of `files`, else
// the message. A picture written twice, or written and then wiped as a
// source, would leave no package to join.
std::string check_pictures(std::span<const std::filesystem::path> pictures,
                           std::span<const std::filesystem::path> files);

// The activity log against the files a run reads or writes: "" when it is
// none of them (see same_file), else the message and the log's path. Lines
// appended to a package or an output would damage it.
std::string check_log_file(const std::filesystem::path& log,
                           std::span<const std::filesystem::path> files);

// Package bytes the inputs need, and what a picture selection offers
// (nullopt when a picture cannot be read).
std::int64_t hiding_need(std::span<const std::uint64_t> file_sizes, std::size_t message_bytes);
std::optional<std::int64_t> pictures_capacity(std::span<const std::filesystem::path> pictures);
// "충분", or "%d kbytes 부족" with the shortfall in thousands of bytes.
std::string capacity_text(std::int64_t need, std::int64_t available);

// The pictures chosen in the hiding mode, replacing the previous choice.
struct PictureChoice {
    std::vector<std::filesystem::path> pictures;
    std::string shown;          // "\"path\" " per picture, for the output name box
    std::string capacity_text;  // "충분" or the shortfall
    bool sufficient = false;
};

// Takes the chosen pictures in order: a 121st, one that cannot be read or
// cannot carry even the smallest piece, or one that check_pictures refuses
// shows its message and ends the choice there. Files that cannot be read for the need end it at
// once.
PictureChoice choose_pictures(std::span<const std::filesystem::path> chosen,
                              std::span<const std::filesystem::path> files,
                              std::size_t message_bytes, RunUi& ui);

}  // namespace package
