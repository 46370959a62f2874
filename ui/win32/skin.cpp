#include "ui/win32/skin.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/ids.h"

namespace ui::win32 {

namespace {

const COLORREF kInk = RGB(38, 52, 84);
const COLORREF kAccent = RGB(32, 150, 160);
const COLORREF kPlain = RGB(240, 245, 251);
const COLORREF kLine = RGB(186, 200, 222);

bool is_static(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"Static") == 0;
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

HBITMAP load_bitmap_file(const std::filesystem::path& file) {
    if (file.empty()) return nullptr;
    return static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void Skin::attach(HWND dialog) {
    dialog_ = dialog;
    HDC screen = GetDC(dialog);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(dialog, screen);
    background_.reset(load_bitmap_file(style_.background));

    HFONT dialog_font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (dialog_font != nullptr) GetObjectW(dialog_font, sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    // The caption is drawn in the dialog font, made bold, so Hangul renders.
    caption_font_.reset(CreateFontIndirectW(&font));
    label_font_.reset(CreateFontIndirectW(&font));

    RECT r{};
    GetWindowRect(dialog, &r);
    const int arc = 2 * scaled(style_.corner);
    SetWindowRgn(dialog,
                 CreateRoundRectRgn(0, 0, r.right - r.left + 1, r.bottom - r.top + 1, arc, arc),
                 FALSE);

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

HBITMAP Skin::face_bitmap(const std::filesystem::path& file) {
    auto it = face_files_.find(file);
    if (it == face_files_.end())
        it = face_files_.emplace(file, Bitmap(load_bitmap_file(file))).first;
    return it->second.get();
}

void Skin::draw_button(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const ControlId id = static_cast<ControlId>(item.CtlID);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const std::wstring text = window_wide_text(item.hwndItem);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old_font = SelectObject(dc, label_font_.get());

    if (auto face = style_.faces.find(id); face != style_.faces.end()) {
        HBITMAP picture = face_bitmap(face->second.file);
        if (picture != nullptr) {
            MemoryDc source(dc);
            source.select(picture);
            const RECT& s = face->second.source;
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), s.left,
                       s.top, s.right - s.left, s.bottom - s.top, SRCCOPY);
        } else {
            fill(dc, r, RGB(255, 255, 255));
            FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        }
        RECT label{r.left, r.bottom - (r.bottom - r.top) * 26 / 100, r.right,
                   r.bottom - (r.bottom - r.top) * 16 / 100};
        if (pressed) OffsetRect(&label, 1, 1);
        SetTextColor(dc, kInk);
        DrawTextW(dc, text.c_str(), -1, &label,
                  DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, old_font);
        return;
    }

    const bool current =
        listed(style_.tabs, id) && style_.current_tab && style_.current_tab() == id;
    const int arc = scaled(8);
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
    {
        Brush back(CreateSolidBrush(current || pressed ? kAccent : RGB(255, 255, 255)));
        Owned<HPEN, close_gdi> pen(
            CreatePen(id == style_.drop_area ? PS_DOT : PS_SOLID, 1, current ? kAccent : kLine));
        SelectObject(dc, pen.get());
        HGDIOBJ old_brush = SelectObject(dc, back.get());
        RoundRect(dc, r.left, r.top, r.right, r.bottom, arc, arc);
        SelectObject(dc, old_brush);
        SelectObject(dc, old_pen);
    }
    SetTextColor(dc, current || pressed ? RGB(255, 255, 255) : kInk);
    if (id == style_.drop_area) {
        // A bin: lid, body and ribs, then the words under it.
        Owned<HPEN, close_gdi> pen(CreatePen(PS_SOLID, scaled(2), kInk));
        SelectObject(dc, pen.get());
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
            if (!is_static(control)) return false;
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
            if (item.CtlType == ODT_STATIC && static_cast<ControlId>(item.CtlID) == style_.panel) {
                draw_panel(item);
                result = TRUE;
                return true;
            }
            if (item.CtlType != ODT_BUTTON) return false;
            draw_button(item);
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
            return false;
        default:
            return false;
    }
}

}  // namespace ui::win32
