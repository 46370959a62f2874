#include "shell/progress_window.h"

#include <cstdio>

#include "package/messages.h"

namespace shell {

using namespace progress_ids;

std::string progress_caption(std::string_view title, int percent) {
    std::string caption(title);
    caption += " [" + std::to_string(percent) + "%]";
    return caption;
}

int progress_percent(long long position, int lower, int upper) {
    if (upper <= lower) return 0;
    return static_cast<int>(position * 100 / (static_cast<long long>(upper) - lower));
}

std::optional<ui::Point> saved_placement(int saved_x, int saved_y, ui::Size screen) {
    if (saved_x >= 0 && saved_x < screen.width && saved_y >= 0 && saved_y < screen.height) {
        return ui::Point{saved_x, saved_y};
    }
    return std::nullopt;
}

ProgressWindow::ProgressWindow(std::string title, ui::Interaction& interaction,
                               platform::AppProfile* profile)
    : title_(std::move(title)), interaction_(interaction), profile_(profile) {}

ProgressWindow::~ProgressWindow() {
    destroy();
}

bool ProgressWindow::create() {
    if (view_ != nullptr) return true;
    window_ = interaction_.open_modeless(ui::kProgressWindowTemplate, *this);
    if (!window_) return false;
    view_ = window_.get();
    std::optional<ui::Point> place;
    if (profile_ != nullptr) {
        place = saved_placement(profile_->get_int(kProgressSection, "X", -1),
                                profile_->get_int(kProgressSection, "Y", -1), view_->screen_size());
    }
    if (place) {
        view_->move_window(*place);
    } else {
        view_->center_on_owner();
    }
    view_->show_window(true);
    return true;
}

void ProgressWindow::on_init(ui::DialogView& view) {
    view.set_title(title_);
    view.set_text(kCancel, package::msg::kCancelButton);
    view.set_progress_range(kBar, lower_, upper_);
}

void ProgressWindow::set_range(int lower, int upper, int) {
    lower_ = lower;
    upper_ = upper;
    if (view_ != nullptr) view_->set_progress_range(kBar, lower, upper);
}

int ProgressWindow::set_position(int position) {
    position_ = position;
    if (view_ == nullptr) return 0;
    int percent = progress_percent(position, lower_, upper_);
    if (percent != shown_percent_) {
        shown_percent_ = percent;
        view_->set_title(progress_caption(title_, percent));
    }
    return view_->set_progress_position(kBar, position);
}

void ProgressWindow::set_text(std::string_view line) {
    if (view_ == nullptr) return;
    // One line only: the text area is not sized for more.
    view_->set_text(kText, line.substr(0, line.find_first_of("\r\n")));
}

void ProgressWindow::show() {
    if (view_ != nullptr) view_->show_window(true);
}

void ProgressWindow::hide() {
    if (view_ != nullptr) view_->show_window(false);
}

void ProgressWindow::pump(bool cancel_on_escape) {
    if (cancelled_ || view_ == nullptr) return;
    cancel_on_escape_ = cancel_on_escape;
    interaction_.pump();
}

void ProgressWindow::on_command(ui::ControlId id, ui::Event event) {
    if (id == kCancel && event == ui::Event::clicked) cancel();
}

void ProgressWindow::on_close() {
    if (cancel_on_escape_) cancel();
}

void ProgressWindow::cancel() {
    cancelled_ = true;
    hide();
}

void ProgressWindow::destroy() {
    if (view_ == nullptr) return;
    if (profile_ != nullptr) {
        ui::Point corner = view_->window_origin();
        profile_->set_int(kProgressSection, "X", corner.x);
        profile_->set_int(kProgressSection, "Y", corner.y);
    }
    view_->close(0);
    view_ = nullptr;
    window_.reset();
}

}  // namespace shell
