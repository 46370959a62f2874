// The two ports through which presenters and operations reach the user:
// one open dialog (DialogView) and the modal things a handler waits for
// (Interaction). Both are plain abstract classes so that any layer may use
// them; the Win32 and scripted implementations are chosen by the caller.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/secret.h"

namespace ui {

// A control of a dialog template, addressed by its resource id.
using ControlId = int;

// Message-box styles; the values are those of the Win32 MB_ flags so the
// Win32 implementation passes them through unchanged. Combine one button
// set with at most one icon: mb::ok_cancel | mb::icon_warning.
namespace mb {
inline constexpr unsigned ok = 0x0;
inline constexpr unsigned ok_cancel = 0x1;
inline constexpr unsigned abort_retry_ignore = 0x2;
inline constexpr unsigned yes_no_cancel = 0x3;
inline constexpr unsigned yes_no = 0x4;
inline constexpr unsigned retry_cancel = 0x5;
inline constexpr unsigned icon_error = 0x10;
inline constexpr unsigned icon_question = 0x20;
inline constexpr unsigned icon_warning = 0x30;
inline constexpr unsigned icon_information = 0x40;
}  // namespace mb

// The button a message box or dialog ended with (Win32 IDOK... values).
enum class Answer : int { ok = 1, cancel = 2, abort = 3, retry = 4, ignore = 5, yes = 6, no = 7 };

// What happened to a control; forwarded by the view to its presenter.
enum class Event {
    clicked,            // button or check box pressed (also Enter on the default button)
    selection_changed,  // list or combo selection changed
    closed_up,          // a combo's drop-down list closed
    text_changed,       // an edit's text changed
    double_clicked,     // a list row double-clicked
};

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

class DialogView;

// The logic behind one window. The view calls on_init once it exists and
// on_command for every user action; presenters never block in these except
// through Interaction.
class DialogPresenter {
  public:
    virtual ~DialogPresenter() = default;
    virtual void on_init(DialogView& view) = 0;
    virtual void on_command(ControlId id, Event event) = 0;
    // Close box or Escape where the window lets it through; default: cancel.
    virtual void on_close() {}
};

// One open dialog. Row and selection indices start at 0; -1 means none.
class DialogView {
  public:
    virtual ~DialogView() = default;

    virtual std::string text(ControlId id) const = 0;
    virtual void set_text(ControlId id, std::string_view text) = 0;
    virtual void set_title(std::string_view title) = 0;

    virtual void show(ControlId id, bool visible) = 0;
    virtual void enable(ControlId id, bool enabled) = 0;
    virtual void set_checked(ControlId id, bool checked) = 0;
    virtual bool checked(ControlId id) const = 0;
    virtual void focus(ControlId id) = 0;
    // The control's top-left corner on the screen (window placement rules
    // are given relative to buttons).
    virtual Point control_origin(ControlId id) const = 0;

    // List boxes, list views and combo boxes. A row holds one text per column.
    virtual int add_row(ControlId id, const std::vector<std::string>& columns) = 0;
    virtual void remove_row(ControlId id, int row) = 0;
    virtual void clear_rows(ControlId id) = 0;
    virtual int row_count(ControlId id) const = 0;
    virtual std::string row_text(ControlId id, int row, int column = 0) const = 0;
    virtual int selection(ControlId id) const = 0;
    virtual std::vector<int> selected_rows(ControlId id) const = 0;
    virtual void set_selection(ControlId id, int row) = 0;

    virtual void set_progress_range(ControlId id, int lower, int upper) = 0;
    // Returns the previous position.
    virtual int set_progress_position(ControlId id, int position) = 0;

    // The window as a whole: visibility, screen placement.
    virtual void show_window(bool visible) = 0;
    virtual Point window_origin() const = 0;
    virtual void move_window(Point top_left) = 0;
    virtual void center_on_owner() = 0;
    virtual Size screen_size() const = 0;

    // Ends a modal dialog with the given result (an Answer value or any id);
    // destroys a modeless window.
    virtual void close(int result) = 0;
};

// File dialog options. Filters use the MFC form "name|pattern|name|pattern|".
struct FileDialogOptions {
    std::string filter;
    std::string default_extension;  // without the dot; empty for none
    std::string initial_name;       // proposed file name, may hold a folder
    std::filesystem::path initial_folder;
};

// The modal things a handler waits for, and the page-wide feedback of a run.
class Interaction {
  public:
    virtual ~Interaction() = default;

    virtual Answer message_box(std::string_view text, std::string_view caption,
                               unsigned style = mb::ok) = 0;

    // Multi-select open dialog; empty when cancelled.
    virtual std::vector<std::filesystem::path> open_files(const FileDialogOptions& options) = 0;
    // Save dialog that asks before overwriting an existing file.
    virtual std::optional<std::filesystem::path> save_file(const FileDialogOptions& options) = 0;
    virtual std::optional<std::filesystem::path> choose_folder(std::string_view title) = 0;

    // The password entry dialog (one edit, not empty) and the new-password
    // dialog (typed twice, at least 6 bytes). UTF-8 text in the secret
    // buffer, which wipes it when released; nullopt on cancel.
    virtual std::optional<platform::SecretBytes> enter_password() = 0;
    virtual std::optional<platform::SecretBytes> new_password() = 0;

    // Shell "open" of a folder or document; failures are not reported.
    virtual void shell_open(const std::filesystem::path& target) = 0;

    // The current page's status line and progress bar.
    virtual void set_status(std::string_view text) = 0;
    virtual void progress(int position, int range) = 0;

    // Processes pending messages without waiting (keeps the window alive
    // during long work; may run any handler).
    virtual void pump() = 0;

    // Runs a dialog of the given template modally; returns what the
    // presenter passed to DialogView::close.
    virtual int run_modal(int template_id, DialogPresenter& presenter) = 0;
    // Opens a modeless window (e.g. the progress window) driven by the
    // presenter, calling its on_init before returning; destroying the
    // returned view destroys the window. Null when the window could not be
    // created.
    virtual std::unique_ptr<DialogView> open_modeless(int template_id,
                                                      DialogPresenter& presenter) = 0;
};

// Template id of the progress window, which is built in code, not from a resource.
inline constexpr int kProgressWindowTemplate = -1;

}  // namespace ui
