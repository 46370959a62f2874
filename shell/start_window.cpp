#include "shell/start_window.h"

#include "platform/files.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace shell {

using namespace start_ids;

std::optional<Page> page_for_start_result(int result) {
    switch (result) {
        case kEncrypt:
            return Page::encrypt;
        case kDecrypt:
            return Page::decrypt;
        case kSharing:
            return Page::sharing;
        default:
            return std::nullopt;
    }
}

void StartWindow::on_init(ui::DialogView& view) {
    view_ = &view;
    if (place_at_) view.move_window(kept_on_screen(*place_at_, view.screen_size()));
    view.set_title(kWindowTitle);
    const ProgramFiles files = program_files(program_folder_);
    platform::ensure_folder(files.log_folder);
    platform::ensure_folder(files.key_folder);
}

void StartWindow::on_command(ui::ControlId id, ui::Event event) {
    if (view_ == nullptr || event != ui::Event::clicked) return;
    if (id != kEncrypt && id != kDecrypt && id != kSharing) return;
    // Whichever button was pressed, the main window lines up with the first.
    main_corner_ = offset_from(view_->control_origin(kEncrypt), kMainFromStartButton);
    view_->close(id);
}

void StartWindow::on_close() {
    if (view_ != nullptr) view_->close(static_cast<int>(ui::Answer::cancel));
}

}  // namespace shell
