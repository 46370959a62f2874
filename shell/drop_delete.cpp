#include "shell/drop_delete.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <set>
#include <system_error>

#include "platform/files.h"

namespace shell {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

enum class Outcome { next, stop };

// One file of a deletion run: open and size check, overwrite with progress,
// wipe. `stop` when the run (or the walk of this folder) must end.
Outcome delete_one_file(const fs::path& file, DropRun& run) {
    DeletionPorts& ports = *run.ports;
    std::optional<std::uint64_t> size;
    {
        // The same no-follow open as the overwrite: a pipe must not block
        // the run, and what cannot be overwritten is kept and reported.
        platform::OverwriteTarget target = platform::open_for_overwrite(file);
        if (target.status == platform::OverwriteOpen::missing) return Outcome::stop;
        if (!target.file) {
            ReportNotWiped(file, ports);
            return Outcome::next;
        }
        size = platform::stream_size(target.file.get());
    }
    if (!size || *size > kSizeLimit) {
        ports.interaction.message_box(kDeletionTooLarge, kWarningCaption, ui::mb::ok);
        return Outcome::stop;
    }
    if (OverwriteFile(file, true, ports) == 1) {
        ports.clock.sleep(500ms);
        bool removed = false;
        WipeFile(file, ports, &removed);
        if (removed) run.deleted_any = true;
    }
    return Outcome::next;
}

// Whether `path` lies below one of `folders` (all lexically normal).
bool inside_any(const fs::path& path, const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        auto [f, p] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
        if (f == folder.end() && p != path.end()) return true;
    }
    return false;
}

void remove_link(const fs::path& link, DropRun& run) {
    if (platform::remove_link(link)) run.deleted_any = true;
}

}  // namespace

void WalkDroppedFolder(const fs::path& folder, DropRun& run) {
    // Take the listing first: renaming and deleting while enumerating could
    // make the system return a renamed file a second time.
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(*it);
    }
    if (entries.empty()) return;

    for (const auto& entry : entries) {
        const fs::path& path = entry.path();
        if (platform::is_link(path)) {
            if (run.deleting) remove_link(path, run);
            continue;
        }
        if (entry.is_directory(ec)) {
            if (platform::path_to_utf8(path.filename()).starts_with(".")) continue;
            WalkDroppedFolder(path, run);
            if (run.deleting) fs::remove(path, ec);  // fails while something is left
            continue;
        }
        if ((run.target == drop_ids::kEncryptList || run.target == drop_ids::kDecryptList) &&
            run.add_to_list && !run.add_to_list(path)) {
            return;
        }
        if (run.deleting && run.ports != nullptr && delete_one_file(path, run) == Outcome::stop) {
            return;
        }
    }
}

void delete_dropped_items(const std::vector<fs::path>& items, DeletionPorts& ports) {
    if (ports.interaction.message_box(kConfirmDeletion, kKoreanProductCaption, ui::mb::ok_cancel) !=
        ui::Answer::ok) {
        return;
    }
    DropRun run;
    run.target = drop_ids::kDeletionArea;
    run.deleting = true;
    run.ports = &ports;
    std::error_code ec;
    // One item named twice in a drop, or named again inside a folder the
    // drop already walked, is handled once: the second naming would find the
    // file already gone and end the run silently, hiding both the rest of
    // the drop and the report of what was deleted.
    std::set<fs::path> seen;
    std::vector<fs::path> walked;
    for (const auto& given : items) {
        // "link/" as shell completion writes it still names the link.
        const fs::path item = platform::without_trailing_separators(given);
        const fs::path normal = item.lexically_normal();
        if (!seen.insert(normal).second || inside_any(normal, walked)) continue;
        if (platform::is_link(item)) {
            remove_link(item, run);
        } else if (fs::is_directory(item, ec)) {
            WalkDroppedFolder(item, run);
            walked.push_back(normal);
            fs::remove(item, ec);
        } else if (delete_one_file(item, run) == Outcome::stop) {
            return;  // an early end reports nothing more
        }
    }
    if (run.deleted_any)
        ports.interaction.message_box(kDeletedMessage, kConfirmedCaption, ui::mb::ok);
}

}  // namespace shell
