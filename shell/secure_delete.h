// Secure deletion of one file: overwrite its contents with zeros in place,
// then rename it to a random name of the same length and delete it. Used by
// the deletion area of the main window and by the encrypt and decrypt runs
// for their source files and temporary files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "package/inputs.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "ui/ports.h"

namespace shell {

// Largest file that the deletion accepts: the input lists' limit ("1.5G").
using package::kSizeLimit;

// What the file-level deletion needs from the outside world.
struct DeletionPorts {
    platform::Clock& clock;
    // Message boxes ("file write error") and, when progress is shown, the
    // progress window.
    ui::Interaction& interaction;
    // Where the progress window keeps its position; null: not remembered.
    platform::AppProfile* profile = nullptr;
    // Called once the zeros are on the device, before the file is renamed
    // (a test reads the file back here). May be empty.
    std::function<void(const std::filesystem::path&)> before_rename;
};

// Told when a file's contents could not be overwritten (it is kept), and
// when a wiped file could not be removed; the path follows on a new line.
inline constexpr char kNotWiped[] = "파일 내용을 지울 수 없어 삭제하지 않았습니다.";
inline constexpr char kNotRemoved[] = "파일을 삭제하지 못했습니다.";

// Overwrites the whole file with zero bytes in 4096-byte blocks and forces
// them to the device. With show_progress a progress window titled
// "파일 영구 삭제" (range 0..150) follows the work and offers cancel.
// The file is opened in place without following a link, and only a regular
// file is taken (see platform::open_for_overwrite).
// Returns 1 when the file was overwritten; 0 when it could not be opened
// for writing (message kNotWiped / "경고": the caller must keep it, since a
// deletion would leave the old contents readable through another link),
// after a write error (message "file write error" / "comfirm") or a cancel.
int OverwriteFile(const std::filesystem::path& path, bool show_progress, DeletionPorts& ports);

// Renames the file to a random name of the same length (characters 'A'..'y')
// in its folder and deletes it there; when the rename fails it is deleted
// under its own name. If the delete under the random name fails, the file
// is renamed back. Returns 1 when the file is gone; otherwise says so
// (kNotRemoved / "경고") and returns 0. *removed (when given) is the same
// answer as a flag.
int WipeFile(const std::filesystem::path& path, DeletionPorts& ports, bool* removed = nullptr);

// Tells the user that a file was kept because its contents could not be
// overwritten (kNotWiped / "경고").
void ReportNotWiped(const std::filesystem::path& path, DeletionPorts& ports);

}  // namespace shell
