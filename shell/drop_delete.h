// Files and folders dropped on the main window: the walk of a dropped folder
// (shared with the encrypt and decrypt lists) and the permanent deletion of
// what was dropped on the deletion area.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "package/messages.h"
#include "shell/secure_delete.h"
#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace drop_ids {
inline constexpr ui::ControlId kEncryptList = IDC_ENC_FILES;
inline constexpr ui::ControlId kDecryptList = IDC_DEC_INPUTS;
inline constexpr ui::ControlId kDeletionArea = IDC_DELETION_AREA;
}  // namespace drop_ids

// The texts the deletion area shows (package/messages.h).
using package::msg::kConfirmDeletion;
using package::msg::kConfirmedCaption;
using package::msg::kDeletedMessage;
using package::msg::kDeletionTooLarge;
using package::msg::kKoreanProductCaption;
using package::msg::kWarningCaption;

// Adds one file to the input list of the drop's target the way the drop
// handler does (messages included); false ends the walk of the current
// folder.
using AddDroppedFile = std::function<bool(const std::filesystem::path&)>;

// The state of one drop. The target is fixed when the drop arrives; the
// walk never looks at the cursor again.
struct DropRun {
    ui::ControlId target = 0;
    bool deleting = false;           // files met in the walk are deleted
    bool deleted_any = false;        // at least one file is really gone
    DeletionPorts* ports = nullptr;  // needed while deleting
    AddDroppedFile add_to_list;      // for the encrypt and decrypt lists
};

// Visits the folder tree: folders whose name begins with "." are skipped,
// other folders are walked and, while deleting, removed afterwards (a
// folder left non-empty stays). Files go to the target's list, and while
// deleting are checked against the size limit, overwritten and wiped. A
// symbolic link or junction is never followed: while deleting it is removed
// as a link and what it points to is left alone. An error ends the walk of
// the current folder only; its parents go on with their next entries.
void WalkDroppedFolder(const std::filesystem::path& folder, DropRun& run);

// The drop on the deletion area: asks once, then deletes every dropped item
// in order (folders through the walk, then removed; an item named twice
// only once), and reports
// "해당 파일이 삭제 되었습니다." when at least one file is really gone.
// An unreadable file or one over the limit ends the run; what was deleted
// before stays deleted.
void delete_dropped_items(const std::vector<std::filesystem::path>& items, DeletionPorts& ports);

}  // namespace shell
