// Scripted ports for tests: a view that records what the user would see and
// lets the test act on it, and an interaction that records every message box
// and answers every dialog from a queue written by the test. A dialog that
// was not scripted (or a different one than scripted) is a test failure: it
// is recorded and a ScriptError is thrown at once.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "ui/ports.h"

namespace ui {

class ScriptError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

// Everything a view shows for one control.
struct ControlState {
    std::string text;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    int focus_count = 0;
    std::vector<std::vector<std::string>> rows;
    int selection = -1;
    std::vector<int> selected;  // multi-select lists
    int lower = 0;
    int upper = 100;
    int position = 0;
    std::vector<int> positions;  // every position set, in order
};

class ScriptedView final : public DialogView {
  public:
    explicit ScriptedView(int template_id = 0) : template_id_(template_id) {}

    // --- what the test does (forwarded to the presenter) ---
    void attach(DialogPresenter* presenter) { presenter_ = presenter; }
    void click(ControlId id);
    // Chooses a row of a combo box and closes its drop-down list.
    void choose(ControlId id, int row);
    void select(ControlId id, int row);
    void type(ControlId id, std::string_view text);
    void press_close();

    // --- what the test reads ---
    int template_id() const { return template_id_; }
    const ControlState& control(ControlId id) const;
    bool has_control(ControlId id) const { return controls_.count(id) != 0; }
    const std::vector<std::string>& titles() const { return titles_; }
    std::string title() const { return titles_.empty() ? std::string() : titles_.back(); }
    bool window_visible() const { return window_visible_; }
    int centre_count() const { return centred_; }
    std::optional<Point> moved_to() const { return moved_to_; }
    bool closed() const { return closed_; }
    int close_result() const { return close_result_; }
    bool destroyed() const { return destroyed_; }
    void mark_destroyed() { destroyed_ = true; }
    void set_screen_size(Size size) { screen_ = size; }
    void set_origin(Point p) { origin_ = p; }
    // Where a control stands on the screen; unplaced ones report the
    // window's origin.
    void place_control(ControlId id, Point screen) { control_origins_[id] = screen; }

    // --- DialogView ---
    std::string text(ControlId id) const override;
    void set_text(ControlId id, std::string_view text) override;
    void set_title(std::string_view title) override;
    void show(ControlId id, bool visible) override;
    void enable(ControlId id, bool enabled) override;
    void set_checked(ControlId id, bool checked) override;
    bool checked(ControlId id) const override;
    void focus(ControlId id) override;
    Point control_origin(ControlId id) const override {
        const auto it = control_origins_.find(id);
        return it == control_origins_.end() ? origin_ : it->second;
    }
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
    void show_window(bool visible) override { window_visible_ = visible; }
    Point window_origin() const override { return origin_; }
    void move_window(Point top_left) override {
        origin_ = top_left;
        moved_to_ = top_left;
    }
    void center_on_owner() override;
    Size screen_size() const override { return screen_; }
    void close(int result) override {
        closed_ = true;
        close_result_ = result;
    }

  private:
    ControlState& at(ControlId id) { return controls_[id]; }

    int template_id_;
    DialogPresenter* presenter_ = nullptr;
    std::map<ControlId, ControlState> controls_;
    std::map<ControlId, Point> control_origins_;
    std::vector<std::string> titles_;
    bool window_visible_ = true;
    Point origin_{};
    std::optional<Point> moved_to_;
    int centred_ = 0;
    Size screen_{1920, 1080};
    bool closed_ = false;
    int close_result_ = 0;
    bool destroyed_ = false;
};

// A message box as the user saw it, and how it was answered.
struct ShownBox {
    std::string text;
    std::string caption;
    unsigned style = mb::ok;
    Answer answer = Answer::ok;
    bool operator==(const ShownBox&) const = default;
};

// Readable test failure output.
inline void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << "{\"" << box.text << "\", \"" << box.caption << "\", style " << box.style << ", answer "
         << static_cast<int>(box.answer) << "}";
}

class ScriptedInteraction final : public Interaction {
  public:
    using ModalScript = std::function<void(ScriptedView&)>;

    // --- the script, consumed in order ---
    // Answer for the next message box that offers a choice (any style other
    // than plain OK). Plain OK boxes are answered OK without a script.
    ScriptedInteraction& answer_box(Answer answer);
    ScriptedInteraction& answer_open_files(std::vector<std::filesystem::path> paths);
    ScriptedInteraction& answer_save(std::optional<std::filesystem::path> path);
    ScriptedInteraction& answer_folder(std::optional<std::filesystem::path> path);
    ScriptedInteraction& answer_password(std::optional<std::string> password);
    ScriptedInteraction& answer_new_password(std::optional<std::string> password);
    // The script acts on the modal dialog and must close it.
    ScriptedInteraction& answer_modal(int template_id, ModalScript script);
    // Runs on every pump (e.g. to press a progress window's cancel button).
    void on_pump(std::function<void()> hook) { pump_hook_ = std::move(hook); }
    // Windows that open_modeless can no longer create (tests of that failure).
    void refuse_modeless(bool refuse) { refuse_modeless_ = refuse; }

    // --- what the test reads ---
    const std::vector<ShownBox>& boxes() const { return boxes_; }
    const std::vector<FileDialogOptions>& file_dialogs() const { return file_dialogs_; }
    const std::vector<std::filesystem::path>& shell_opened() const { return shell_opened_; }
    const std::vector<std::string>& statuses() const { return statuses_; }
    const std::vector<std::pair<int, int>>& progress_updates() const { return progress_; }
    int pump_count() const { return pumps_; }
    // Every window opened, modal or modeless, in order (stable references).
    std::deque<ScriptedView>& windows() { return windows_; }
    const std::vector<std::string>& failures() const { return failures_; }
    std::size_t unused_steps() const { return steps_.size(); }

    // --- Interaction ---
    Answer message_box(std::string_view text, std::string_view caption,
                       unsigned style = mb::ok) override;
    std::vector<std::filesystem::path> open_files(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> save_file(const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> choose_folder(std::string_view title) override;
    std::optional<platform::SecretBytes> enter_password() override;
    std::optional<platform::SecretBytes> new_password() override;
    void shell_open(const std::filesystem::path& target) override {
        shell_opened_.push_back(target);
    }
    void set_status(std::string_view text) override { statuses_.emplace_back(text); }
    void progress(int position, int range) override { progress_.emplace_back(position, range); }
    void pump() override;
    int run_modal(int template_id, DialogPresenter& presenter) override;
    std::unique_ptr<DialogView> open_modeless(int template_id, DialogPresenter& presenter) override;

  private:
    struct BoxStep {
        Answer answer;
    };
    struct OpenStep {
        std::vector<std::filesystem::path> paths;
    };
    struct SaveStep {
        std::optional<std::filesystem::path> path;
    };
    struct FolderStep {
        std::optional<std::filesystem::path> path;
    };
    struct PasswordStep {
        std::optional<std::string> password;
    };
    struct NewPasswordStep {
        std::optional<std::string> password;
    };
    struct ModalStep {
        int template_id;
        ModalScript script;
    };
    using Step = std::variant<BoxStep, OpenStep, SaveStep, FolderStep, PasswordStep,
                              NewPasswordStep, ModalStep>;

    template <class T>
    T take(const char* what);
    [[noreturn]] void fail(std::string message);

    std::deque<Step> steps_;
    std::vector<ShownBox> boxes_;
    std::vector<FileDialogOptions> file_dialogs_;
    std::vector<std::filesystem::path> shell_opened_;
    std::vector<std::string> statuses_;
    std::vector<std::pair<int, int>> progress_;
    std::deque<ScriptedView> windows_;
    std::vector<std::string> failures_;
    std::function<void()> pump_hook_;
    int pumps_ = 0;
    bool refuse_modeless_ = false;
};

}  // namespace ui
