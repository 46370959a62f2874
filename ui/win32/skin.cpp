#include "ui/win32/skin.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "ui/ids.h"

namespace ui::win32 {

namespace {

const COLORREF kInk = RGB(38, 52, 84);
const COLORREF kAccent = RGB(32, 150, 160);
const COLORREF kPlain = RGB(240, 245, 251);
const COLORREF kLine = RGB(186, 200, 222);
const UINT_PTR kHoverSubclass = 1;

COLORREF mix(COLORREF a, COLORREF b, int percent) {
    auto part = [&](int x, int y) { return static_cast<BYTE>(x + (y - x) * percent / 100); };
    return RGB(part(GetRValue(a), GetRValue(b)), part(GetGValue(a), GetGValue(b)),
               part(GetBValue(a), GetBValue(b)));
}

const COLORREF kTint = mix(kAccent, RGB(255, 255, 255), 80);  // under the mouse
const COLORREF kDeep = mix(kAccent, kInk, 40);                // held down

bool of_class(HWND window, const wchar_t* type) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, type) == 0;
}

bool listed(const std::vector<ControlId>& ids, ControlId id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void set_result(HWND dialog, LRESULT value) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, value);
}

std::wstring window_wide_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), (int)text.size())));
    return text;
}

void fill(HDC dc, const RECT& r, COLORREF colour) {
    Brush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

// A round-cornered outline, filled when `inside` is given.
void round_frame(HDC dc, const RECT& r, int arc, COLORREF line, int width, const COLORREF* inside,
                 int pen_style = PS_SOLID) {
    Owned<HPEN, close_gdi> pen(CreatePen(pen_style, width, line));
    Brush brush(inside != nullptr ? CreateSolidBrush(*inside) : nullptr);
    HGDIOBJ old_pen = SelectObject(dc, pen.get());
    HGDIOBJ old_brush =
        SelectObject(dc, inside != nullptr ? brush.get() : GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, arc, arc);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
}

// Limits drawing to a round-cornered rectangle given in logical units; the
// caller brackets it with SaveDC / RestoreDC.
void clip_round(HDC dc, const RECT& r, int arc) {
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    LPtoDP(dc, corners, 2);
    Region region(CreateRoundRectRgn(corners[0].x, corners[0].y, corners[1].x + 1, corners[1].y + 1,
                                     arc, arc));
    ExtSelectClipRgn(dc, region.get(), RGN_AND);
}

void draw_glyph(HDC dc, HINSTANCE instance, int id, int x, int y, int size) {
    if (instance == nullptr || id == 0) return;
    Bitmap glyph(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!glyph) return;
    BITMAP info{};
    GetObjectW(glyph.get(), sizeof(info), &info);
    MemoryDc source(dc);
    source.select(glyph.get());
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, x, y, size, size, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

}  // namespace

// True when the file is a bitmap whose pixels all lie inside it: LoadImage
// takes a cut-off file and reads its missing rows from beyond the end.
bool whole_bitmap_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char h[54] = {};
    if (!in.read(reinterpret_cast<char*>(h), sizeof(h))) return false;
    auto u16 = [&](int at) { return static_cast<std::uint32_t>(h[at] | h[at + 1] << 8); };
    auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(file, error);
    if (error || h[0] != 'B' || h[1] != 'M') return false;
    const std::uint64_t offset = u32(10), info = u32(14);
    const std::int64_t width = static_cast<std::int32_t>(u32(18));
    const std::int64_t height =
        std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(u32(22))));
    const std::uint32_t bits = u16(28), compression = u32(30);
    if (info < 40 || width <= 0 || height == 0 || width > 32768 || height > 32768 || u16(26) != 1)
        return false;
    // Compressed rows have no fixed length; LoadImage checks those itself.
    if (compression != BI_RGB && compression != BI_BITFIELDS) return true;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    return offset >= 14 + info && offset + stride * static_cast<std::uint64_t>(height) <= size;
}

HBITMAP load_bitmap_file(const std::filesystem::path& file) {
    if (file.empty() || !whole_bitmap_file(file)) return nullptr;
    return static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void Skin::attach(HWND dialog) {
    dialog_ = dialog;
    dpi_ = window_dpi(dialog);
    background_.reset(load_bitmap_file(style_.background));

    HFONT dialog_font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (dialog_font != nullptr) GetObjectW(dialog_font, sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    // The caption is drawn in the dialog font, made bold, so Hangul renders.
    caption_font_.reset(CreateFontIndirectW(&font));
    label_font_.reset(CreateFontIndirectW(&font));

    shape();

    if (!style_.about_item.empty()) {
        if (HMENU menu = GetSystemMenu(dialog, FALSE)) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, widen(style_.about_item).c_str());
        }
    }

    if (!style_.tooltips.empty()) {
        tooltip_ =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, nullptr, nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scaled(320));
        for (const auto& [id, text] : style_.tooltips) {
            tooltip_texts_.push_back(widen(text));
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.uFlags = TTF_IDISHWND;
            tool.hwnd = dialog;
            tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
            tool.lpszText = tooltip_texts_.back().data();
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    // The buttons drawn here follow the mouse, so they can show it.
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (!of_class(child, L"Button")) continue;
        const bool drawn = (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
        if (!drawn && !listed(style_.check_boxes, GetDlgCtrlID(child))) continue;
        if (SetWindowSubclass(child, track_hover, kHoverSubclass,
                              reinterpret_cast<DWORD_PTR>(this)))
            tracked_.push_back(child);
    }
}

LRESULT CALLBACK Skin::track_hover(HWND button, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                   DWORD_PTR data) {
    auto* skin = reinterpret_cast<Skin*>(data);
    switch (message) {
        case WM_MOUSEMOVE:
            if (skin->hot_ != button) {
                skin->set_hot(button);
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button, 0};
                TrackMouseEvent(&track);
            }
            break;
        case WM_MOUSELEAVE:
            if (skin->hot_ == button) skin->set_hot(nullptr);
            break;
        case WM_NCDESTROY:
            if (skin->hot_ == button) skin->hot_ = nullptr;
            RemoveWindowSubclass(button, track_hover, kHoverSubclass);
            std::erase(skin->tracked_, button);
            break;
        default:
            break;
    }
    return DefSubclassProc(button, message, w, l);
}

void Skin::set_hot(HWND button) {
    const HWND before = hot_;
    hot_ = button;
    if (before != nullptr) InvalidateRect(before, nullptr, FALSE);
    if (button != nullptr) InvalidateRect(button, nullptr, FALSE);
}

void Skin::shape() {
    RECT r{};
    GetWindowRect(dialog_, &r);
    const int arc = 2 * scaled(style_.corner);
    // The window owns the region once it is set.
    SetWindowRgn(dialog_,
                 CreateRoundRectRgn(0, 0, r.right - r.left + 1, r.bottom - r.top + 1, arc, arc),
                 TRUE);
}

void Skin::relay(const MSG& message) {
    if (tooltip_ == nullptr) return;
    MSG copy = message;
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

RECT Skin::close_box() const {
    RECT client{};
    GetClientRect(dialog_, &client);
    const int size = scaled(16);
    const int top = (scaled(style_.caption_height) - size) / 2;
    return {client.right - scaled(10) - size, top, client.right - scaled(10), top + size};
}

RECT Skin::minimise_box() const {
    RECT box = close_box();
    OffsetRect(&box, -scaled(22), 0);
    return box;
}

void Skin::paint_background(HDC dc) {
    RECT client{};
    GetClientRect(dialog_, &client);
    const int caption = scaled(style_.caption_height);
    if (background_) {
        BITMAP info{};
        GetObjectW(background_.get(), sizeof(info), &info);
        MemoryDc source(dc);
        source.select(background_.get());
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    } else {
        fill(dc, client, kPlain);
        fill(dc, RECT{0, 0, client.right, caption}, kInk);
    }
    paint_backdrops(dc);
    const int glyph = scaled(16);
    draw_glyph(dc, style_.instance, style_.caption_glyph, scaled(10), (caption - glyph) / 2, glyph);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, caption_font_.get());
    RECT title{scaled(32), 0, client.right - scaled(60), caption};
    const std::wstring text = window_wide_text(dialog_);
    DrawTextW(dc, text.c_str(), -1, &title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    const RECT close = close_box();
    draw_glyph(dc, style_.instance, style_.close_glyph, close.left, close.top, glyph);
    if (style_.close_glyph == 0) DrawTextW(dc, L"×", -1, const_cast<RECT*>(&close), DT_CENTER);
    if (style_.minimise_box) {
        const RECT minimise = minimise_box();
        draw_glyph(dc, style_.instance, style_.minimise_glyph, minimise.left, minimise.top, glyph);
        if (style_.minimise_glyph == 0)
            DrawTextW(dc, L"_", -1, const_cast<RECT*>(&minimise), DT_CENTER);
    }
}

void Skin::paint_backdrops(HDC dc) {
    for (const Backdrop& backdrop : style_.backdrops) {
        HBITMAP bits = picture(backdrop.file);
        BITMAP info{};
        if (bits == nullptr || GetObjectW(bits, sizeof(info), &info) == 0) continue;
        RECT area{};
        for (ControlId id : backdrop.around) {
            HWND control = GetDlgItem(dialog_, id);
            // Its own style: the window itself may not be shown yet.
            if (control == nullptr || (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) == 0)
                continue;
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
            UnionRect(&area, &area, &r);
        }
        if (IsRectEmpty(&area)) continue;
        InflateRect(&area, scaled(12), scaled(6));
        const int saved = SaveDC(dc);
        clip_round(dc, area, scaled(12));
        MemoryDc source(dc);
        source.select(bits);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   source.get(), 0, 0, info.bmWidth, std::abs(info.bmHeight), SRCCOPY);
        RestoreDC(dc, saved);
    }
}

// The dialog's background as it lies under `control`, painted into the
// control's own device context (for controls drawn without a frame).
void Skin::paint_under(HDC dc, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
    POINT origin{};
    OffsetViewportOrgEx(dc, -r.left, -r.top, &origin);
    paint_background(dc);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

HBITMAP Skin::picture(const std::filesystem::path& file) {
    auto it = pictures_.find(file);
    if (it == pictures_.end()) it = pictures_.emplace(file, Bitmap(load_bitmap_file(file))).first;
    return it->second.get();
}

void Skin::draw_button(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const ControlId id = static_cast<ControlId>(item.CtlID);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool hot = item.hwndItem == hot_;
    const std::wstring text = window_wide_text(item.hwndItem);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old_font = SelectObject(dc, label_font_.get());

    if (auto face = style_.faces.find(id); face != style_.faces.end()) {
        HBITMAP bits = picture(face->second.file);
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        if (bits != nullptr) {
            MemoryDc source(dc);
            source.select(bits);
            const RECT& s = face->second.source;
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, r.left, r.top, width, height, source.get(), s.left, s.top,
                       s.right - s.left, s.bottom - s.top, SRCCOPY);
        } else {
            fill(dc, r, RGB(255, 255, 255));
            FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        }
        if (hot || pressed) {
            // Over the card of the face (inset 4 % of its size), a frame in
            // the accent; darker while held down.
            RECT card = r;
            InflateRect(&card, -width * 4 / 100, -height * 3 / 100);
            round_frame(dc, card, scaled(24), pressed ? kDeep : kAccent, scaled(3), nullptr);
        }
        RECT label{r.left, r.bottom - height * 26 / 100, r.right, r.bottom - height * 16 / 100};
        if (pressed) OffsetRect(&label, 1, 1);
        SetTextColor(dc, hot || pressed ? kDeep : kInk);
        DrawTextW(dc, text.c_str(), -1, &label,
                  DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, old_font);
        return;
    }

    const bool current =
        listed(style_.tabs, id) && style_.current_tab && style_.current_tab() == id;
    const bool drop = id == style_.drop_area;
    // The corners outside the round face show the window behind.
    paint_under(dc, item.hwndItem);
    const COLORREF back = pressed   ? (drop ? mix(kAccent, RGB(255, 255, 255), 70) : kDeep)
                          : current ? kAccent
                          : hot     ? kTint
                                    : RGB(255, 255, 255);
    const COLORREF edge = current || pressed || hot ? kAccent : kLine;
    round_frame(dc, r, scaled(8), edge, 1, &back, drop ? PS_DOT : PS_SOLID);
    const bool light_text = (current || pressed) && !drop;
    SetTextColor(dc, light_text ? RGB(255, 255, 255) : kInk);
    if (drop) {
        // A bin: lid, body and ribs, then the words under it.
        Owned<HPEN, close_gdi> pen(CreatePen(PS_SOLID, scaled(2), hot || pressed ? kDeep : kInk));
        HGDIOBJ old_pen = SelectObject(dc, pen.get());
        const int cx = (r.left + r.right) / 2;
        const int top = r.top + scaled(8);
        const int w = scaled(14);
        MoveToEx(dc, cx - w, top, nullptr);
        LineTo(dc, cx + w, top);
        MoveToEx(dc, cx - w + scaled(3), top + scaled(4), nullptr);
        LineTo(dc, cx - w + scaled(6), top + scaled(30));
        LineTo(dc, cx + w - scaled(6), top + scaled(30));
        LineTo(dc, cx + w - scaled(3), top + scaled(4));
        for (int dx : {-scaled(5), 0, scaled(5)}) {
            MoveToEx(dc, cx + dx, top + scaled(9), nullptr);
            LineTo(dc, cx + dx, top + scaled(25));
        }
        SelectObject(dc, old_pen);
        RECT words{r.left, top + scaled(34), r.right, r.bottom};
        DrawTextW(dc, L"영구 삭제", -1, &words, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        if (pressed) OffsetRect(&r, 1, 1);
        DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, old_font);
}

void Skin::draw_banner(const DRAWITEMSTRUCT& item, const std::filesystem::path& file) {
    HDC dc = item.hDC;
    const RECT r = item.rcItem;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    paint_under(dc, item.hwndItem);

    // The picture's first square holds the sign; only a picture with a strip
    // beside it is used, anything else is drawn plainly.
    HBITMAP bits = picture(file);
    BITMAP info{};
    const bool usable = bits != nullptr && GetObjectW(bits, sizeof(info), &info) != 0 &&
                        info.bmHeight != 0 && info.bmWidth > std::abs(info.bmHeight) &&
                        width > 2 * height;
    int sign = 0;
    const int saved = SaveDC(dc);
    clip_round(dc, r, scaled(10));
    if (usable) {
        const int side = std::abs(info.bmHeight);
        sign = height;
        MemoryDc source(dc);
        source.select(bits);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, r.left, r.top, sign, height, source.get(), 0, 0, side, side, SRCCOPY);
        StretchBlt(dc, r.left + sign, r.top, width - sign, height, source.get(), side, 0,
                   info.bmWidth - side, side, SRCCOPY);
    } else {
        fill(dc, r, kTint);
        sign = scaled(4);
        fill(dc, RECT{r.left, r.top, r.left + sign, r.bottom}, kAccent);
    }
    RestoreDC(dc, saved);

    // The words in the bold dialog font, or the plain one when that is too
    // wide for the strip.
    const std::wstring text = window_wide_text(item.hwndItem);
    RECT words{r.left + sign + scaled(6), r.top, r.right - scaled(2), r.bottom};
    HGDIOBJ old_font = SelectObject(dc, label_font_.get());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (extent.cx > words.right - words.left)
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog_, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInk);
    DrawTextW(dc, text.c_str(), -1, &words,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old_font);
}

LRESULT Skin::draw_check_box(const NMCUSTOMDRAW& draw) {
    // The erase stays the button's own; the whole face is drawn here.
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    HWND box = draw.hdr.hwndFrom;
    HDC dc = draw.hdc;
    RECT r{};
    GetClientRect(box, &r);
    paint_under(dc, box);
    const bool checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool pressed = (SendMessageW(box, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    const bool hot = box == hot_;
    const bool enabled = IsWindowEnabled(box) != FALSE;

    const int size = scaled(14);
    const int top = (r.top + r.bottom - size) / 2;
    const RECT mark{r.left + scaled(1), top, r.left + scaled(1) + size, top + size};
    const COLORREF inside = checked   ? (pressed ? kDeep : kAccent)
                            : pressed ? mix(kAccent, RGB(255, 255, 255), 70)
                            : hot     ? kTint
                                      : RGB(255, 255, 255);
    const COLORREF edge = !enabled ? kLine : checked || hot || pressed ? kAccent : kLine;
    round_frame(dc, mark, scaled(5), edge, scaled(1), &inside);
    if (checked) {
        LOGBRUSH ink{BS_SOLID, RGB(255, 255, 255), 0};
        Owned<HPEN, close_gdi> tick(
            ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, scaled(2), &ink,
                         0, nullptr));
        HGDIOBJ old_pen = SelectObject(dc, tick.get());
        const POINT points[3] = {{mark.left + size * 3 / 14, mark.top + size * 7 / 14},
                                 {mark.left + size * 6 / 14, mark.top + size * 10 / 14},
                                 {mark.left + size * 11 / 14, mark.top + size * 4 / 14}};
        Polyline(dc, points, 3);
        SelectObject(dc, old_pen);
    }

    const std::wstring text = window_wide_text(box);
    HGDIOBJ old_font =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? kInk : GetSysColor(COLOR_GRAYTEXT));
    RECT label{mark.right + scaled(6), r.top, r.right, r.bottom};
    DrawTextW(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (GetFocus() == box) {
        RECT focus = label;
        DrawTextW(dc, text.c_str(), -1, &focus,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CALCRECT);
        const int shift = (label.bottom - label.top - (focus.bottom - focus.top)) / 2;
        OffsetRect(&focus, 0, shift);
        InflateRect(&focus, scaled(2), scaled(2));
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, old_font);
    return CDRF_SKIPDEFAULT;
}

void Skin::draw_panel(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    const int height = std::max(1, static_cast<int>(r.bottom - r.top));
    for (int y = r.top; y < r.bottom; ++y) {
        const int t = (y - r.top) * 255 / height;
        Owned<HPEN, close_gdi> pen(
            CreatePen(PS_SOLID, 1, RGB(236 - t * 20 / 255, 244 - t * 12 / 255, 250)));
        HGDIOBJ old = SelectObject(dc, pen.get());
        MoveToEx(dc, r.left, y, nullptr);
        LineTo(dc, r.right, y);
        SelectObject(dc, old);
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old_font = SelectObject(dc, caption_font_.get());
    SetTextColor(dc, kInk);
    RECT name = r;
    name.bottom = (r.top + r.bottom) / 2;
    DrawTextW(dc, L"Vellora 벨로라", -1, &name, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    SelectObject(dc, label_font_.get());
    SetTextColor(dc, kAccent);
    RECT line = r;
    line.top = (r.top + r.bottom) / 2 + scaled(6);
    DrawTextW(dc, L"파일과 메시지를 안전하게", -1, &line, DT_CENTER | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, old_font);
}

bool Skin::handle(HWND dialog, UINT message, WPARAM w, LPARAM l, INT_PTR& result) {
    switch (message) {
        case WM_SIZE:
            if (dialog_ != nullptr) shape();
            return false;
        case WM_DPICHANGED: {
            // Fonts, arcs, caption and boxes follow the new dpi; the host
            // then resizes the window (and WM_SIZE shapes it again).
            const int old_dpi = dpi_;
            dpi_ = HIWORD(w) > 0 ? HIWORD(w) : dpi_;
            for (Font* font : {&caption_font_, &label_font_}) {
                LOGFONTW description{};
                if (!*font || GetObjectW(font->get(), sizeof(description), &description) == 0)
                    continue;
                description.lfHeight = MulDiv(description.lfHeight, dpi_, old_dpi);
                font->reset(CreateFontIndirectW(&description));
            }
            if (tooltip_ != nullptr) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, scaled(320));
            if (dialog_ != nullptr) shape();
            return false;
        }
        case WM_COMMAND:
            // A tab click may change the page: the tabs show the new one.
            for (ControlId id : style_.tabs) InvalidateRect(GetDlgItem(dialog, id), nullptr, FALSE);
            return false;
        case WM_ERASEBKGND:
            paint_background(reinterpret_cast<HDC>(w));
            result = TRUE;
            return true;
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(l);
            if (!of_class(control, L"Static")) return false;
            HDC dc = reinterpret_cast<HDC>(w);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kInk);
            result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
            return true;
        }
        case WM_NCHITTEST: {
            POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
            ScreenToClient(dialog, &p);
            const RECT close = close_box();
            const RECT minimise = minimise_box();
            const bool on_box =
                PtInRect(&close, p) || (style_.minimise_box && PtInRect(&minimise, p));
            set_result(dialog, on_box ? HTCLIENT : HTCAPTION);
            result = TRUE;
            return true;
        }
        case WM_LBUTTONUP: {
            POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
            const RECT close = close_box();
            const RECT minimise = minimise_box();
            if (PtInRect(&close, p)) {
                SendMessageW(dialog, WM_CLOSE, 0, 0);
            } else if (style_.minimise_box && PtInRect(&minimise, p)) {
                ShowWindow(dialog, SW_MINIMIZE);
            }
            result = TRUE;
            return true;
        }
        case WM_SETCURSOR: {
            HWND over = reinterpret_cast<HWND>(w);
            if (over != dialog && listed(style_.hand_cursor, GetDlgCtrlID(over))) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                set_result(dialog, TRUE);
                result = TRUE;
                return true;
            }
            return false;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            const auto id = static_cast<ControlId>(item.CtlID);
            if (item.CtlType == ODT_STATIC && id == style_.panel) {
                draw_panel(item);
                result = TRUE;
                return true;
            }
            if (auto banner = style_.banners.find(id);
                item.CtlType == ODT_STATIC && banner != style_.banners.end()) {
                draw_banner(item, banner->second);
                result = TRUE;
                return true;
            }
            if (item.CtlType != ODT_BUTTON) return false;
            draw_button(item);
            result = TRUE;
            return true;
        }
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(l);
            if (header.code != NM_CUSTOMDRAW ||
                !listed(style_.check_boxes, static_cast<ControlId>(header.idFrom)))
                return false;
            set_result(dialog, draw_check_box(*reinterpret_cast<const NMCUSTOMDRAW*>(l)));
            result = TRUE;
            return true;
        }
        case WM_SYSCOMMAND:
            if ((w & 0xFFF0) == IDM_ABOUTBOX && style_.on_about) {
                style_.on_about(dialog);
                set_result(dialog, 0);
                result = TRUE;
                return true;
            }
            return false;
        case WM_DESTROY:
            if (tooltip_ != nullptr) DestroyWindow(tooltip_);
            tooltip_ = nullptr;
            // The buttons outlive this message; they stop calling back here.
            for (HWND button : tracked_) RemoveWindowSubclass(button, track_hover, kHoverSubclass);
            tracked_.clear();
            hot_ = nullptr;
            return false;
        default:
            return false;
    }
}

}  // namespace ui::win32
