#include "ui/scripted/scripted.h"

#include <algorithm>
#include <cstdio>

namespace ui {

// ---------------------------------------------------------------- view

void ScriptedView::click(ControlId id) {
    if (presenter_ != nullptr) presenter_->on_command(id, Event::clicked);
}

void ScriptedView::choose(ControlId id, int row) {
    at(id).selection = row;
    if (presenter_ != nullptr) {
        presenter_->on_command(id, Event::selection_changed);
        presenter_->on_command(id, Event::closed_up);
    }
}

void ScriptedView::select(ControlId id, int row) {
    at(id).selection = row;
    at(id).selected = {row};
    if (presenter_ != nullptr) presenter_->on_command(id, Event::selection_changed);
}

void ScriptedView::type(ControlId id, std::string_view text) {
    at(id).text = std::string(text);
    if (presenter_ != nullptr) presenter_->on_command(id, Event::text_changed);
}

void ScriptedView::press_close() {
    if (presenter_ != nullptr) presenter_->on_close();
}

const ControlState& ScriptedView::control(ControlId id) const {
    static const ControlState kUntouched;
    auto it = controls_.find(id);
    return it == controls_.end() ? kUntouched : it->second;
}

std::string ScriptedView::text(ControlId id) const {
    return control(id).text;
}
void ScriptedView::set_text(ControlId id, std::string_view text) {
    at(id).text = std::string(text);
}
void ScriptedView::set_title(std::string_view title) {
    titles_.emplace_back(title);
}
void ScriptedView::show(ControlId id, bool visible) {
    at(id).visible = visible;
}
void ScriptedView::enable(ControlId id, bool enabled) {
    at(id).enabled = enabled;
}
void ScriptedView::set_checked(ControlId id, bool checked) {
    at(id).checked = checked;
}
bool ScriptedView::checked(ControlId id) const {
    return control(id).checked;
}
void ScriptedView::focus(ControlId id) {
    ++at(id).focus_count;
}

int ScriptedView::add_row(ControlId id, const std::vector<std::string>& columns) {
    auto& rows = at(id).rows;
    rows.push_back(columns);
    return static_cast<int>(rows.size()) - 1;
}

void ScriptedView::remove_row(ControlId id, int row) {
    auto& c = at(id);
    if (row < 0 || row >= static_cast<int>(c.rows.size())) return;
    c.rows.erase(c.rows.begin() + row);
    if (c.selection == row) c.selection = -1;
    if (c.selection > row) --c.selection;
    std::erase(c.selected, row);
    for (int& s : c.selected) {
        if (s > row) --s;
    }
}

void ScriptedView::clear_rows(ControlId id) {
    auto& c = at(id);
    c.rows.clear();
    c.selection = -1;
    c.selected.clear();
}

int ScriptedView::row_count(ControlId id) const {
    return static_cast<int>(control(id).rows.size());
}

std::string ScriptedView::row_text(ControlId id, int row, int column) const {
    const auto& rows = control(id).rows;
    if (row < 0 || row >= static_cast<int>(rows.size())) return {};
    const auto& r = rows[static_cast<std::size_t>(row)];
    if (column < 0 || column >= static_cast<int>(r.size())) return {};
    return r[static_cast<std::size_t>(column)];
}

int ScriptedView::selection(ControlId id) const {
    const auto& c = control(id);
    return c.selection < static_cast<int>(c.rows.size()) ? c.selection : -1;
}

std::vector<int> ScriptedView::selected_rows(ControlId id) const {
    return control(id).selected;
}

void ScriptedView::set_selection(ControlId id, int row) {
    auto& c = at(id);
    c.selection = row;
    c.selected.clear();
    if (row >= 0) c.selected.push_back(row);
}

void ScriptedView::set_progress_range(ControlId id, int lower, int upper) {
    at(id).lower = lower;
    at(id).upper = upper;
}

int ScriptedView::set_progress_position(ControlId id, int position) {
    auto& c = at(id);
    int previous = c.position;
    c.position = position;
    c.positions.push_back(position);
    return previous;
}

void ScriptedView::center_on_owner() {
    ++centred_;
    moved_to_.reset();
}

// --------------------------------------------------------- interaction

namespace {

// Keeps the window record alive in the interaction's list after the caller
// destroys its handle, so a test can inspect it afterwards.
class ModelessHandle final : public DialogView {
  public:
    explicit ModelessHandle(ScriptedView& view) : v_(view) {}
    ~ModelessHandle() override { v_.mark_destroyed(); }
    std::string text(ControlId id) const override { return v_.text(id); }
    void set_text(ControlId id, std::string_view t) override { v_.set_text(id, t); }
    void set_title(std::string_view t) override { v_.set_title(t); }
    void show(ControlId id, bool on) override { v_.show(id, on); }
    void enable(ControlId id, bool on) override { v_.enable(id, on); }
    void set_checked(ControlId id, bool on) override { v_.set_checked(id, on); }
    bool checked(ControlId id) const override { return v_.checked(id); }
    void focus(ControlId id) override { v_.focus(id); }
    Point control_origin(ControlId id) const override { return v_.control_origin(id); }
    int add_row(ControlId id, const std::vector<std::string>& c) override {
        return v_.add_row(id, c);
    }
    void remove_row(ControlId id, int row) override { v_.remove_row(id, row); }
    void clear_rows(ControlId id) override { v_.clear_rows(id); }
    int row_count(ControlId id) const override { return v_.row_count(id); }
    std::string row_text(ControlId id, int row, int column) const override {
        return v_.row_text(id, row, column);
    }
    int selection(ControlId id) const override { return v_.selection(id); }
    std::vector<int> selected_rows(ControlId id) const override { return v_.selected_rows(id); }
    void set_selection(ControlId id, int row) override { v_.set_selection(id, row); }
    void set_progress_range(ControlId id, int lo, int hi) override {
        v_.set_progress_range(id, lo, hi);
    }
    int set_progress_position(ControlId id, int p) override {
        return v_.set_progress_position(id, p);
    }
    void show_window(bool on) override { v_.show_window(on); }
    Point window_origin() const override { return v_.window_origin(); }
    void move_window(Point p) override { v_.move_window(p); }
    void center_on_owner() override { v_.center_on_owner(); }
    Size screen_size() const override { return v_.screen_size(); }
    void close(int result) override { v_.close(result); }

  private:
    ScriptedView& v_;
};

const char* step_name(std::size_t index) {
    static const char* const kNames[] = {
        "message box answer", "open-files dialog",   "save dialog", "folder dialog",
        "password dialog",    "new-password dialog", "modal dialog"};
    return index < std::size(kNames) ? kNames[index] : "?";
}

}  // namespace

void ScriptedInteraction::fail(std::string message) {
    std::fprintf(stderr, "scripted interaction: %s\n", message.c_str());
    failures_.push_back(message);
    throw ScriptError(message);
}

template <class T>
T ScriptedInteraction::take(const char* what) {
    if (steps_.empty()) fail(std::string("unscripted ") + what);
    if (!std::holds_alternative<T>(steps_.front())) {
        fail(std::string("a ") + what + " came while the script expects a " +
             step_name(steps_.front().index()));
    }
    T step = std::move(std::get<T>(steps_.front()));
    steps_.pop_front();
    return step;
}

ScriptedInteraction& ScriptedInteraction::answer_box(Answer answer) {
    steps_.push_back(BoxStep{answer});
    return *this;
}
ScriptedInteraction& ScriptedInteraction::answer_open_files(std::vector<std::filesystem::path> p) {
    steps_.push_back(OpenStep{std::move(p)});
    return *this;
}
ScriptedInteraction& ScriptedInteraction::answer_save(std::optional<std::filesystem::path> p) {
    steps_.push_back(SaveStep{std::move(p)});
    return *this;
}
ScriptedInteraction& ScriptedInteraction::answer_folder(std::optional<std::filesystem::path> p) {
    steps_.push_back(FolderStep{std::move(p)});
    return *this;
}
ScriptedInteraction& ScriptedInteraction::answer_password(std::optional<std::string> p) {
    steps_.push_back(PasswordStep{std::move(p)});
    return *this;
}
ScriptedInteraction& ScriptedInteraction::answer_new_password(std::optional<std::string> p) {
    steps_.push_back(NewPasswordStep{std::move(p)});
    return *this;
}
ScriptedInteraction& ScriptedInteraction::answer_modal(int template_id, ModalScript script) {
    steps_.push_back(ModalStep{template_id, std::move(script)});
    return *this;
}

Answer ScriptedInteraction::message_box(std::string_view text, std::string_view caption,
                                        unsigned style) {
    ShownBox box{std::string(text), std::string(caption), style, Answer::ok};
    if ((style & 0xF) != mb::ok) {
        boxes_.push_back(box);  // recorded even when the script is wrong
        box.answer = take<BoxStep>(("message box \"" + box.text + "\"").c_str()).answer;
        boxes_.back().answer = box.answer;
        return box.answer;
    }
    boxes_.push_back(box);
    return Answer::ok;
}

std::vector<std::filesystem::path> ScriptedInteraction::open_files(const FileDialogOptions& o) {
    file_dialogs_.push_back(o);
    return take<OpenStep>("open-files dialog").paths;
}

std::optional<std::filesystem::path> ScriptedInteraction::save_file(const FileDialogOptions& o) {
    file_dialogs_.push_back(o);
    return take<SaveStep>("save dialog").path;
}

std::optional<std::filesystem::path> ScriptedInteraction::choose_folder(std::string_view) {
    return take<FolderStep>("folder dialog").path;
}

namespace {
std::optional<platform::SecretBytes> as_secret(std::optional<std::string> typed) {
    if (!typed) return std::nullopt;
    return platform::SecretBytes::take(*typed);
}
}  // namespace

std::optional<platform::SecretBytes> ScriptedInteraction::enter_password() {
    return as_secret(take<PasswordStep>("password dialog").password);
}

std::optional<platform::SecretBytes> ScriptedInteraction::new_password() {
    return as_secret(take<NewPasswordStep>("new-password dialog").password);
}

void ScriptedInteraction::pump() {
    ++pumps_;
    if (pump_hook_) pump_hook_();
}

int ScriptedInteraction::run_modal(int template_id, DialogPresenter& presenter) {
    auto step = take<ModalStep>(("modal dialog " + std::to_string(template_id)).c_str());
    if (step.template_id != template_id) {
        fail("modal dialog " + std::to_string(template_id) + " came while the script expects " +
             std::to_string(step.template_id));
    }
    ScriptedView& view = windows_.emplace_back(template_id);
    view.attach(&presenter);
    presenter.on_init(view);
    if (step.script) step.script(view);
    if (!view.closed())
        fail("the script left modal dialog " + std::to_string(template_id) + " open");
    view.attach(nullptr);
    view.mark_destroyed();
    return view.close_result();
}

std::unique_ptr<DialogView> ScriptedInteraction::open_modeless(int template_id,
                                                               DialogPresenter& presenter) {
    if (refuse_modeless_) return nullptr;
    ScriptedView& view = windows_.emplace_back(template_id);
    view.attach(&presenter);
    auto handle = std::make_unique<ModelessHandle>(view);
    presenter.on_init(*handle);
    return handle;
}

}  // namespace ui
