// The progress window of long operations (permanent deletion above all): a
// caption with the percentage reached, one status line, a bar and a cancel
// button. It keeps the interface alive by pumping messages when the working
// code asks; the caller stops its work when cancelled() turns true.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "ui/ids.h"
#include "ui/ports.h"

namespace shell {

namespace progress_ids {
inline constexpr ui::ControlId kCancel = IDC_PROGRESS_CANCEL;
inline constexpr ui::ControlId kText = IDC_PROGRESS_TEXT;
inline constexpr ui::ControlId kBar = IDC_PROGRESS_BAR;
}  // namespace progress_ids

inline constexpr char kProgressSection[] = "Settings";

// "%s [%d%%]" with the base title and the percent.
std::string progress_caption(std::string_view title, int percent);

// position * 100 / (upper - lower) when upper > lower, else 0; 64-bit so
// that large ranges do not overflow.
int progress_percent(long long position, int lower, int upper);

// Where a window goes given the saved corner: the saved point when it lies
// on the screen, nullopt (centre on the owner) otherwise or when absent (-1).
std::optional<ui::Point> saved_placement(int saved_x, int saved_y, ui::Size screen);

class ProgressWindow final : public ui::DialogPresenter {
  public:
    // profile: where the position is remembered; null disables remembering.
    ProgressWindow(std::string title, ui::Interaction& interaction, platform::AppProfile* profile);
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Opens, places and shows the window. False when it could not be made;
    // the other calls then do nothing.
    bool create();
    void set_range(int lower, int upper, int step = 1);
    // Returns the bar's previous position.
    int set_position(int position);
    void set_text(std::string_view line);
    void show();
    void hide();
    // Processes pending messages unless already cancelled.
    void pump(bool cancel_on_escape = true);
    bool cancelled() const { return cancelled_; }
    // Saves the position (when remembered) and closes the window.
    void destroy();

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId id, ui::Event event) override;
    void on_close() override;  // Escape

  private:
    void cancel();

    std::string title_;
    ui::Interaction& interaction_;
    platform::AppProfile* profile_;
    std::unique_ptr<ui::DialogView> window_;
    ui::DialogView* view_ = nullptr;
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int shown_percent_ = -1;  // nothing shown yet: the first position always writes
    // Set on the window thread, read by a run on its worker thread.
    std::atomic<bool> cancelled_{false};
    bool cancel_on_escape_ = true;
};

}  // namespace shell
