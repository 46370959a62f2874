// The look shared by every skinned window: a region with arc corners, a
// painted background bitmap (a plain fill when the file is missing or
// damaged), a painted caption with close and minimise areas, dragging by
// the left button anywhere, the hand cursor, tooltips, owner-drawn buttons
// with their labels drawn in the dialog font and their hover and pressed
// states, title strips painted from a picture, check boxes drawn as
// pictures, and the about item of the system menu. Configured per window,
// written once.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/win32/dialog_host.h"
#include "ui/win32/handles.h"

namespace ui::win32 {

// A button face cut out of a bitmap file.
struct Face {
    std::filesystem::path file;
    RECT source{};  // the face inside the file, in pixels
};

// A picture laid on the background behind a group of controls, stretched
// to cover them with a margin.
struct Backdrop {
    std::filesystem::path file;
    std::vector<ControlId> around;
};

struct SkinStyle {
    std::filesystem::path background;  // empty or unreadable: plain fill
    int corner = 10;                   // radius of the corner arcs, pixels
    int caption_height = 30;           // pixels at 96 dpi
    bool minimise_box = true;
    // Caption glyphs in the program's resources (0: drawn plainly).
    HINSTANCE instance = nullptr;
    int caption_glyph = 0, close_glyph = 0, minimise_glyph = 0;
    std::vector<ControlId> hand_cursor;
    std::map<ControlId, std::string> tooltips;
    std::map<ControlId, Face> faces;  // owner-drawn buttons with a picture
    std::vector<ControlId> tabs;      // owner-drawn tab buttons
    ControlId drop_area = 0;          // owner-drawn drop target
    ControlId panel = 0;              // owner-drawn static shown as a quiet panel
    // Owner-drawn statics shown as title strips: the picture's first square
    // holds a sign, the rest stretches, the control's text goes over it.
    std::map<ControlId, std::filesystem::path> banners;
    std::vector<Backdrop> backdrops;
    // Check boxes (BS_CHECKBOX) drawn as pictures through custom draw; the
    // button keeps its state, so reading and setting it stays as it was.
    std::vector<ControlId> check_boxes;
    // The system-menu item "Vellora 정보(&A)..." and what it opens.
    std::string about_item;
    std::function<void(HWND owner)> on_about;
    // The selected tab (drawn pressed), asked at every paint.
    std::function<ControlId()> current_tab;
};

class Skin final : public Decoration {
  public:
    explicit Skin(SkinStyle style) : style_(std::move(style)) {}

    void attach(HWND dialog) override;
    bool handle(HWND dialog, UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
    void relay(const MSG& message) override;

  private:
    static LRESULT CALLBACK track_hover(HWND button, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                        DWORD_PTR skin);
    int scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }
    RECT close_box() const;
    RECT minimise_box() const;
    void paint_background(HDC dc);
    void draw_button(const DRAWITEMSTRUCT& item);
    void draw_panel(const DRAWITEMSTRUCT& item);
    void draw_banner(const DRAWITEMSTRUCT& item, const std::filesystem::path& file);
    LRESULT draw_check_box(const NMCUSTOMDRAW& draw);
    void paint_backdrops(HDC dc);
    void paint_under(HDC dc, HWND control);
    void set_hot(HWND button);
    void shape();
    HBITMAP picture(const std::filesystem::path& file);

    SkinStyle style_;
    HWND dialog_ = nullptr;
    int dpi_ = 96;
    Bitmap background_;
    std::map<std::filesystem::path, Bitmap> pictures_;  // loaded once per file
    Font caption_font_;
    Font label_font_;
    HWND tooltip_ = nullptr;
    std::vector<std::wstring> tooltip_texts_;
    std::vector<HWND> tracked_;  // buttons whose hover is followed
    HWND hot_ = nullptr;         // the one under the mouse
};

// Loads a bitmap file; null when missing or damaged.
HBITMAP load_bitmap_file(const std::filesystem::path& file);

}  // namespace ui::win32
