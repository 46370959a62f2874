// The one dialog host of the Win32 programs: creates a dialog from any
// template (or an in-memory template), keeps itself in DWLP_USER, turns
// WM_COMMAND / WM_NOTIFY / key-downs / drops into presenter events and
// applies the presenter's DialogView calls to the real controls.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/ports.h"
#include "ui/win32/handles.h"

namespace ui::win32 {

// What a window adds to the plain dialog: its look (painted background,
// region, caption, cursor, tooltips). One object per open window.
class Decoration {
  public:
    virtual ~Decoration() = default;
    // Called once the dialog exists, before the presenter's on_init.
    virtual void attach(HWND dialog) = 0;
    // May take a message before the host; true when it was handled, with
    // the dialog procedure's result in `result`.
    virtual bool handle(HWND dialog, UINT message, WPARAM w, LPARAM l, INT_PTR& result) = 0;
    // Every queued message for the window, before the dialog manager (for
    // tooltip relaying).
    virtual void relay(const MSG&) {}
};

// How one window is wired beyond its template; all optional.
struct HostOptions {
    // A key-down anywhere in the window with the id of the focused control
    // (the dialog's direct child). True swallows the key.
    std::function<bool(int virtual_key, ControlId focus)> key_filter;
    // Files dropped on the window, with the control under the drop point
    // (0 when none). Setting it makes the window accept drops.
    std::function<void(ControlId target, const std::vector<std::filesystem::path>& items)> on_drop;
    // Where Interaction::set_status / progress write: the first control of
    // each list that is visible.
    std::vector<ControlId> status_controls;
    std::vector<ControlId> progress_controls;
    // Called after on_init (e.g. to size the banner site); may be empty.
    std::function<void(HWND dialog)> after_init;
    // Called when the window moved to a monitor with another dpi, once the
    // host has scaled every child and taken the new rectangle: layouts made
    // in pixels are made again for `dpi`.
    std::function<void(HWND dialog, int dpi)> after_dpi_change;
    std::unique_ptr<Decoration> decoration;
};

class DialogHost final : public DialogView {
  public:
    // template_id: a resource in `instance`; for kProgressWindowTemplate the
    // built-in progress popup is used.
    DialogHost(HINSTANCE instance, int template_id, DialogPresenter& presenter,
               HostOptions options);
    ~DialogHost() override;
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    // Creates the window (hidden until shown); false on failure.
    bool create(HWND owner);
    // Shows the window, disables the owner and runs the message loop until
    // the presenter closes it; returns the close result. Destroys the window.
    int run_modal();
    // The window's own handling of a queued message (key filter, relaying,
    // dialog navigation). True when the message was consumed.
    bool translate(MSG& message);

    HWND hwnd() const { return hwnd_; }
    int template_id() const { return template_id_; }
    bool ended() const { return ended_; }
    const HostOptions& options() const { return options_; }

    // --- DialogView ---
    std::string text(ControlId id) const override;
    void set_text(ControlId id, std::string_view text) override;
    void set_title(std::string_view title) override;
    void show(ControlId id, bool visible) override;
    void enable(ControlId id, bool enabled) override;
    void set_checked(ControlId id, bool checked) override;
    bool checked(ControlId id) const override;
    void focus(ControlId id) override;
    Point control_origin(ControlId id) const override;
    int add_row(ControlId id, const std::vector<std::string>& columns) override;
    void remove_row(ControlId id, int row) override;
    void clear_rows(ControlId id) override;
    int row_count(ControlId id) const override;
    std::string row_text(ControlId id, int row, int column) const override;
    int selection(ControlId id) const override;
    std::vector<int> selected_rows(ControlId id) const override;
    void set_selection(ControlId id, int row) override;
    void set_progress_range(ControlId id, int lower, int upper) override;
    int set_progress_position(ControlId id, int position) override;
    void show_window(bool visible) override;
    Point window_origin() const override;
    void move_window(Point top_left) override;
    void center_on_owner() override;
    Size screen_size() const override;
    void close(int result) override;

  private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM w, LPARAM l);
    INT_PTR handle(UINT message, WPARAM w, LPARAM l);
    void command(WPARAM w, LPARAM l);
    void notify(const NMHDR& header);
    void drop(HDROP drop);
    void clear_password_edits();
    void rescale(int dpi, const RECT& suggested);
    void destroy();
    HWND control(ControlId id) const { return GetDlgItem(hwnd_, id); }

    HINSTANCE instance_;
    int template_id_;
    DialogPresenter& presenter_;
    HostOptions options_;
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    int result_ = 0;
    int quiet_ = 0;            // > 0 while the program itself changes a text
    int dpi_ = 96;             // the dpi the window is laid out for
    std::vector<Font> fonts_;  // the children's fonts made for dpi_
};

// Routes a queued message to the open host it belongs to (if any), then
// translates and dispatches it: the one place every loop goes through.
void dispatch(MSG& message);

// The innermost open window of this thread, for message-box ownership and
// page feedback; null when none.
DialogHost* active_host();
// Every open window of this thread, innermost last.
const std::vector<DialogHost*>& open_dialog_hosts();

// The window's own dpi where the system tells it (Windows 10 1607 and
// later, per monitor), else the screen's.
int window_dpi(HWND window);

// Text conversions at the view boundary.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// Reads a window's text into a buffer that is wiped once converted.
std::string window_text(HWND window);

}  // namespace ui::win32
