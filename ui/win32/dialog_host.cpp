#include "ui/win32/dialog_host.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/text.h"
#include "ui/ids.h"
#include "ui/win32/handles.h"

namespace ui::win32 {

namespace {

thread_local std::vector<DialogHost*> open_hosts;

enum class Kind { other, edit, button, combo, list_box, list_view, progress };

Kind kind_of(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, L"Edit") == 0) return Kind::edit;
    if (lstrcmpiW(name, L"Button") == 0) return Kind::button;
    if (lstrcmpiW(name, L"ComboBox") == 0) return Kind::combo;
    if (lstrcmpiW(name, L"ListBox") == 0) return Kind::list_box;
    if (lstrcmpiW(name, WC_LISTVIEWW) == 0) return Kind::list_view;
    if (lstrcmpiW(name, PROGRESS_CLASSW) == 0) return Kind::progress;
    return Kind::other;
}

bool multi_select(HWND list) {
    return (GetWindowLongW(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
}

// The in-memory template of the progress popup: a topmost window with a
// caption and a modal frame holding the status line, the bar and the
// cancel button. The real layout is made in pixels once the font is known.
class TemplateWriter {
  public:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const wchar_t* s) {
        for (; *s != 0; ++s) word(static_cast<WORD>(*s));
        word(0);
    }
    void align() {
        if (words_.size() % 2 != 0) word(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, const wchar_t* cls,
              WORD atom, const wchar_t* title) {
        align();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
        word(id);
        if (cls != nullptr) {
            text(cls);
        } else {
            word(0xFFFF);
            word(atom);
        }
        text(title);
        word(0);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    std::vector<WORD> words_;
};

const DLGTEMPLATE* progress_template() {
    static TemplateWriter writer = [] {
        TemplateWriter w;
        w.dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
        w.dword(WS_EX_TOPMOST);
        w.word(3);
        for (short v : {0, 0, 260, 60}) w.word(static_cast<WORD>(v));
        w.word(0);  // no menu
        w.word(0);  // the dialog class
        w.text(L"Progress");
        w.word(8);
        w.text(L"MS Shell Dlg");
        w.item(SS_LEFT | SS_NOPREFIX, 7, 7, 246, 16, IDC_PROGRESS_TEXT, nullptr, 0x0082, L"");
        w.item(PBS_SMOOTH, 7, 30, 180, 12, IDC_PROGRESS_BAR, PROGRESS_CLASSW, 0, L"");
        w.item(BS_PUSHBUTTON | WS_TABSTOP, 195, 28, 58, 16, IDC_PROGRESS_CANCEL, nullptr, 0x0080,
               L"");
        return w;
    }();
    return writer.get();
}

// The system's message font for the progress popup at a dpi; each lives for
// the program (a window meets few dpis).
HFONT message_font(int dpi) {
    static std::vector<std::pair<int, Font>> fonts;
    for (const auto& [made_for, font] : fonts) {
        if (made_for == dpi) return font.get();
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    // The metrics are those of the screen's dpi.
    HDC screen = GetDC(nullptr);
    const int screen_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    LOGFONTW font = metrics.lfMessageFont;
    if (screen_dpi > 0) font.lfHeight = MulDiv(font.lfHeight, dpi, screen_dpi);
    fonts.emplace_back(dpi, Font(CreateFontIndirectW(&font)));
    return fonts.back().second.get();
}

// 390 x 100 pixels at 96 dpi, scaled to `dpi`: text line, then bar and
// button side by side.
void lay_out_progress(HWND popup, int dpi) {
    HFONT font = message_font(dpi);
    for (int id : {IDC_PROGRESS_TEXT, IDC_PROGRESS_BAR, IDC_PROGRESS_CANCEL})
        SendDlgItemMessageW(popup, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HDC dc = GetDC(popup);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE cancel{};
    GetTextExtentPoint32W(dc, L" 취소 ", 4, &cancel);
    SelectObject(dc, old);
    ReleaseDC(popup, dc);
    auto px = [dpi](int v) { return MulDiv(v, dpi, 96); };
    const int width = px(390);
    const int margin = px(10);
    const int line = metrics.tmHeight + metrics.tmExternalLeading;
    const int text_height = 2 * line;
    const int button_w = cancel.cx + px(24);
    const int button_h = line + px(10);
    RECT frame{0, 0, width, 0};
    const int inner = width - 2 * margin;
    MoveWindow(GetDlgItem(popup, IDC_PROGRESS_TEXT), margin, margin, inner, text_height, FALSE);
    const int row = margin + text_height + px(6);
    MoveWindow(GetDlgItem(popup, IDC_PROGRESS_CANCEL), margin + inner - button_w, row, button_w,
               button_h, FALSE);
    MoveWindow(GetDlgItem(popup, IDC_PROGRESS_BAR), margin, row + px(2), inner - button_w - px(8),
               button_h - px(4), FALSE);
    RECT client{0, 0, width, row + button_h + margin};
    AdjustWindowRectEx(&client, GetWindowLongW(popup, GWL_STYLE), FALSE,
                       GetWindowLongW(popup, GWL_EXSTYLE));
    frame = client;
    SetWindowPos(popup, HWND_TOPMOST, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOACTIVATE);
}

// The dialog's direct child that holds (or contains) the focus.
ControlId focused_control(HWND dialog) {
    HWND focus = GetFocus();
    while (focus != nullptr && GetParent(focus) != dialog) focus = GetParent(focus);
    return focus == nullptr ? 0 : GetDlgCtrlID(focus);
}

// On a dpi change the dialog manager of Windows 10 1703 and later would
// resize and lay out the template's controls itself, but not the controls
// made in code nor the layouts made in pixels: the host does all of it, the
// same way on every system.
void keep_dialog_scaling_to_host(HWND dialog) {
    using SetBehavior = BOOL(WINAPI*)(HWND, int, int);
    static const auto set_behavior = reinterpret_cast<SetBehavior>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (set_behavior != nullptr) set_behavior(dialog, kDisableAll, kDisableAll);
}

}  // namespace

int window_dpi(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpi_for_window = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    int dpi = dpi_for_window != nullptr ? static_cast<int>(dpi_for_window(window)) : 0;
    if (dpi <= 0) {
        HDC dc = GetDC(window);
        dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(window, dc);
    }
    return dpi > 0 ? dpi : 96;
}

std::wstring widen(std::string_view utf8) {
    return platform::to_wide(utf8).value_or(std::wstring());
}

std::string narrow(std::wstring_view wide) {
    return platform::from_wide(wide).value_or(std::string());
}

std::string window_text(HWND window) {
    if (window == nullptr) return {};
    const int length = GetWindowTextLengthW(window);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, buffer.data(), length + 1);
    std::string text = narrow(std::wstring_view(buffer.data(), std::max(got, 0)));
    // Password edits pass through here too: leave no copy of the wide text.
    SecureZeroMemory(buffer.data(), buffer.size() * sizeof(wchar_t));
    return text;
}

DialogHost* active_host() {
    return open_hosts.empty() ? nullptr : open_hosts.back();
}

const std::vector<DialogHost*>& open_dialog_hosts() {
    return open_hosts;
}

void dispatch(MSG& message) {
    for (auto it = open_hosts.rbegin(); it != open_hosts.rend(); ++it) {
        DialogHost* host = *it;
        HWND window = host->hwnd();
        if (window != nullptr && (message.hwnd == window || IsChild(window, message.hwnd))) {
            if (host->translate(message)) return;
            break;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

DialogHost::DialogHost(HINSTANCE instance, int template_id, DialogPresenter& presenter,
                       HostOptions options)
    : instance_(instance),
      template_id_(template_id),
      presenter_(presenter),
      options_(std::move(options)) {}

DialogHost::~DialogHost() {
    destroy();
}

bool DialogHost::create(HWND owner) {
    owner_ = owner;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (template_id_ == kProgressWindowTemplate) {
        CreateDialogIndirectParamW(instance_, progress_template(), owner, &procedure, self);
    } else {
        CreateDialogParamW(instance_, MAKEINTRESOURCEW(template_id_), owner, &procedure, self);
    }
    return hwnd_ != nullptr;
}

int DialogHost::run_modal() {
    if (hwnd_ == nullptr) return -1;
    modal_ = true;
    if (!ended_) {
        ShowWindow(hwnd_, SW_SHOW);
        UpdateWindow(hwnd_);
    }
    const bool disable_owner = owner_ != nullptr && IsWindowEnabled(owner_);
    if (disable_owner) EnableWindow(owner_, FALSE);
    bool quit = false;
    WPARAM quit_code = 0;
    while (!ended_ && hwnd_ != nullptr) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            quit = true;
            quit_code = message.wParam;
            break;
        }
        dispatch(message);
    }
    // The owner comes back before this window goes, so the activation
    // returns to it rather than to another program.
    if (disable_owner) EnableWindow(owner_, TRUE);
    if (owner_ != nullptr && hwnd_ != nullptr && GetActiveWindow() == hwnd_)
        SetActiveWindow(owner_);
    destroy();
    if (quit) PostQuitMessage(static_cast<int>(quit_code));
    return result_;
}

bool DialogHost::translate(MSG& message) {
    if (hwnd_ == nullptr) return false;
    if (options_.decoration) options_.decoration->relay(message);
    if (message.message == WM_KEYDOWN && options_.key_filter &&
        options_.key_filter(static_cast<int>(message.wParam), focused_control(hwnd_))) {
        return true;
    }
    return IsDialogMessageW(hwnd_, &message) != FALSE;
}

INT_PTR CALLBACK DialogHost::procedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    DialogHost* host = nullptr;
    if (message == WM_INITDIALOG) {
        host = reinterpret_cast<DialogHost*>(l);
        SetWindowLongPtrW(dialog, DWLP_USER, l);
        host->hwnd_ = dialog;
        open_hosts.push_back(host);
    } else {
        host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    if (host == nullptr || host->hwnd_ != dialog) return FALSE;
    if (host->options_.decoration && message != WM_INITDIALOG) {
        INT_PTR result = 0;
        if (host->options_.decoration->handle(dialog, message, w, l, result)) return result;
    }
    return host->handle(message, w, l);
}

INT_PTR DialogHost::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_INITDIALOG: {
            dpi_ = window_dpi(hwnd_);
            keep_dialog_scaling_to_host(hwnd_);
            if (template_id_ == kProgressWindowTemplate) lay_out_progress(hwnd_, dpi_);
            if (options_.decoration) options_.decoration->attach(hwnd_);
            if (options_.on_drop) DragAcceptFiles(hwnd_, TRUE);
            const HWND before = GetFocus();
            presenter_.on_init(*this);
            if (options_.after_init && hwnd_ != nullptr) options_.after_init(hwnd_);
            // TRUE lets the dialog manager focus the first control unless
            // the presenter chose one.
            return GetFocus() == before ? TRUE : FALSE;
        }
        case WM_COMMAND:
            command(w, l);
            return TRUE;
        case WM_NOTIFY:
            notify(*reinterpret_cast<const NMHDR*>(l));
            return FALSE;
        case WM_CLOSE:
            presenter_.on_close();
            return TRUE;
        case WM_DROPFILES:
            drop(reinterpret_cast<HDROP>(w));
            return TRUE;
        case WM_DPICHANGED:
            rescale(HIWORD(w), *reinterpret_cast<const RECT*>(l));
            return TRUE;
        case WM_DESTROY:
            if (options_.on_drop) DragAcceptFiles(hwnd_, FALSE);
            return FALSE;
        case WM_NCDESTROY: {
            // Destroyed from outside (e.g. with its owner): forget the window.
            auto it = std::find(open_hosts.begin(), open_hosts.end(), this);
            if (it != open_hosts.end()) open_hosts.erase(it);
            hwnd_ = nullptr;
            ended_ = true;
            return FALSE;
        }
        default:
            return FALSE;
    }
}

void DialogHost::command(WPARAM w, LPARAM l) {
    const int id = LOWORD(w);
    const int code = HIWORD(w);
    if (id == IDCANCEL) {  // Escape, or the close box through the dialog manager
        presenter_.on_close();
        return;
    }
    if (l == 0) {
        if (id == IDM_ABOUTBOX) presenter_.on_command(id, Event::clicked);
        return;
    }
    switch (code) {
        case BN_CLICKED:  // also the notification code 0 of other controls
            if (id != IDOK || GetDlgItem(hwnd_, IDOK) != nullptr)
                presenter_.on_command(id, Event::clicked);
            break;
        case LBN_SELCHANGE:  // == CBN_SELCHANGE
            presenter_.on_command(id, Event::selection_changed);
            break;
        case LBN_DBLCLK:  // == CBN_DBLCLK
            presenter_.on_command(id, Event::double_clicked);
            break;
        case CBN_CLOSEUP:
            presenter_.on_command(id, Event::closed_up);
            break;
        case EN_CHANGE:
            if (quiet_ == 0) presenter_.on_command(id, Event::text_changed);
            break;
        default:
            break;
    }
}

void DialogHost::notify(const NMHDR& header) {
    const int id = static_cast<int>(header.idFrom);
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) != 0 &&
            ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0)
            presenter_.on_command(id, Event::selection_changed);
    } else if (header.code == NM_DBLCLK) {
        presenter_.on_command(id, Event::double_clicked);
    }
}

void DialogHost::drop(HDROP drop) {
    struct Finish {
        HDROP drop;
        ~Finish() { DragFinish(drop); }
    } finish{drop};
    POINT point{};
    DragQueryPoint(drop, &point);
    HWND child = ChildWindowFromPointEx(hwnd_, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    const ControlId target = child == nullptr || child == hwnd_ ? 0 : GetDlgCtrlID(child);
    std::vector<std::filesystem::path> items;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, i, name.data(), length + 1);
        name.resize(length);
        items.emplace_back(name);
    }
    if (options_.on_drop && !items.empty()) options_.on_drop(target, items);
}

void DialogHost::clear_password_edits() {
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (kind_of(child) == Kind::edit && (GetWindowLongW(child, GWL_STYLE) & ES_PASSWORD) != 0)
            SetWindowTextW(child, L"");
    }
}

// Every child grows or shrinks with the dpi, around the window's client
// origin, and gets its font at the new size; then the window takes the
// rectangle the system suggests and the pixel layouts are made again.
void DialogHost::rescale(int dpi, const RECT& suggested) {
    const int old_dpi = dpi_;
    if (dpi <= 0) dpi = old_dpi;
    dpi_ = dpi;
    if (dpi != old_dpi) {
        auto px = [&](LONG v) { return MulDiv(v, dpi, old_dpi); };
        std::vector<std::pair<HFONT, Font>> made;
        for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT r{};
            GetWindowRect(child, &r);
            // A drop-down combo's height is that of its open list (some
            // systems report success with 0: the rectangle tells).
            RECT dropped{};
            const bool combo = kind_of(child) == Kind::combo;
            if (combo) SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
            if (combo && dropped.bottom > dropped.top)
                r.bottom = r.top + (dropped.bottom - dropped.top);
            MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
            // The font first: a combo's own height follows it, and the size
            // set next is then its open list's.
            if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0))) {
                auto it = std::find_if(made.begin(), made.end(),
                                       [font](const auto& pair) { return pair.first == font; });
                if (it == made.end()) {
                    LOGFONTW description{};
                    GetObjectW(font, sizeof(description), &description);
                    description.lfHeight = px(description.lfHeight);
                    made.emplace_back(font, Font(CreateFontIndirectW(&description)));
                    it = made.end() - 1;
                }
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(it->second.get()), FALSE);
            }
            const int height = px(r.bottom) - px(r.top);
            SetWindowPos(child, nullptr, px(r.left), px(r.top), px(r.right) - px(r.left), height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            // Systems differ in whether a combo's open list is measured with
            // its closed box or without: measured once, then corrected.
            dropped = {};
            if (combo) SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
            if (dropped.bottom > dropped.top && dropped.bottom - dropped.top != height) {
                SetWindowPos(child, nullptr, 0, 0, px(r.right) - px(r.left),
                             2 * height - (dropped.bottom - dropped.top),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            if (kind_of(child) == Kind::list_view) {
                HWND header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0));
                const int columns = header == nullptr ? 0 : Header_GetItemCount(header);
                for (int c = 0; c < columns; ++c) {
                    const auto width = SendMessageW(child, LVM_GETCOLUMNWIDTH, c, 0);
                    SendMessageW(child, LVM_SETCOLUMNWIDTH, c, px(static_cast<LONG>(width)));
                }
            }
        }
        // The fonts made for the old dpi are no longer used by any child.
        fonts_.clear();
        for (auto& [source, font] : made) fonts_.push_back(std::move(font));
    }
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (template_id_ == kProgressWindowTemplate) lay_out_progress(hwnd_, dpi);
    if (options_.after_dpi_change) options_.after_dpi_change(hwnd_, dpi);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void DialogHost::destroy() {
    if (hwnd_ == nullptr) return;
    ++quiet_;
    clear_password_edits();
    --quiet_;
    auto it = std::find(open_hosts.begin(), open_hosts.end(), this);
    if (it != open_hosts.end()) open_hosts.erase(it);
    HWND window = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(window);
}

// ----------------------------------------------------------- DialogView

std::string DialogHost::text(ControlId id) const {
    return window_text(control(id));
}

void DialogHost::set_text(ControlId id, std::string_view text) {
    HWND c = control(id);
    ++quiet_;
    SetWindowTextW(c, widen(text).c_str());
    --quiet_;
    // A label over a painted background is transparent: the background
    // under it is painted again so the old text goes.
    if (c != nullptr && kind_of(c) == Kind::other) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void DialogHost::set_title(std::string_view title) {
    SetWindowTextW(hwnd_, widen(title).c_str());
    // A skinned window paints its caption itself.
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void DialogHost::show(ControlId id, bool visible) {
    ShowWindow(control(id), visible ? SW_SHOW : SW_HIDE);
}

void DialogHost::enable(ControlId id, bool enabled) {
    EnableWindow(control(id), enabled ? TRUE : FALSE);
}

void DialogHost::set_checked(ControlId id, bool checked) {
    SendMessageW(control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    InvalidateRect(control(id), nullptr, TRUE);
}

bool DialogHost::checked(ControlId id) const {
    return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogHost::focus(ControlId id) {
    if (HWND c = control(id)) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
}

Point DialogHost::control_origin(ControlId id) const {
    RECT r{};
    if (HWND c = control(id); c != nullptr && GetWindowRect(c, &r)) return {r.left, r.top};
    return window_origin();
}

int DialogHost::add_row(ControlId id, const std::vector<std::string>& columns) {
    HWND list = control(id);
    const std::wstring first = widen(columns.empty() ? std::string() : columns[0]);
    switch (kind_of(list)) {
        case Kind::list_view: {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            item.pszText = const_cast<wchar_t*>(first.c_str());
            const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item));
            for (std::size_t c = 1; row >= 0 && c < columns.size(); ++c) {
                const std::wstring cell = widen(columns[c]);
                LVITEMW sub{};
                sub.iSubItem = static_cast<int>(c);
                sub.pszText = const_cast<wchar_t*>(cell.c_str());
                SendMessageW(list, LVM_SETITEMTEXTW, row, (LPARAM)&sub);
            }
            return row;
        }
        case Kind::list_box:
            return static_cast<int>(SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)first.c_str()));
        case Kind::combo:
            return static_cast<int>(SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)first.c_str()));
        default:
            return -1;
    }
}

void DialogHost::remove_row(ControlId id, int row) {
    HWND list = control(id);
    switch (kind_of(list)) {
        case Kind::list_view:
            SendMessageW(list, LVM_DELETEITEM, row, 0);
            break;
        case Kind::list_box:
            SendMessageW(list, LB_DELETESTRING, row, 0);
            break;
        case Kind::combo:
            SendMessageW(list, CB_DELETESTRING, row, 0);
            break;
        default:
            break;
    }
}

void DialogHost::clear_rows(ControlId id) {
    HWND list = control(id);
    switch (kind_of(list)) {
        case Kind::list_view:
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            break;
        case Kind::list_box:
            SendMessageW(list, LB_RESETCONTENT, 0, 0);
            break;
        case Kind::combo:
            SendMessageW(list, CB_RESETCONTENT, 0, 0);
            break;
        default:
            break;
    }
}

int DialogHost::row_count(ControlId id) const {
    HWND list = control(id);
    switch (kind_of(list)) {
        case Kind::list_view:
            return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        case Kind::list_box:
            return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        case Kind::combo:
            return static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
        default:
            return 0;
    }
}

std::string DialogHost::row_text(ControlId id, int row, int column) const {
    HWND list = control(id);
    std::wstring buffer;
    switch (kind_of(list)) {
        case Kind::list_view: {
            buffer.assign(32768, L'\0');
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer.data();
            item.cchTextMax = static_cast<int>(buffer.size());
            const auto n = SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
            buffer.resize(static_cast<std::size_t>(std::max<LRESULT>(n, 0)));
            break;
        }
        case Kind::list_box: {
            const auto n = SendMessageW(list, LB_GETTEXTLEN, row, 0);
            if (n < 0) return {};
            buffer.assign(static_cast<std::size_t>(n) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, row, (LPARAM)buffer.data());
            buffer.resize(static_cast<std::size_t>(n));
            break;
        }
        case Kind::combo: {
            const auto n = SendMessageW(list, CB_GETLBTEXTLEN, row, 0);
            if (n < 0) return {};
            buffer.assign(static_cast<std::size_t>(n) + 1, L'\0');
            SendMessageW(list, CB_GETLBTEXT, row, (LPARAM)buffer.data());
            buffer.resize(static_cast<std::size_t>(n));
            break;
        }
        default:
            return {};
    }
    return narrow(buffer);
}

int DialogHost::selection(ControlId id) const {
    HWND list = control(id);
    switch (kind_of(list)) {
        case Kind::list_view:
            return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        case Kind::list_box: {
            if (!multi_select(list))
                return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
            const auto rows = selected_rows(id);
            return rows.empty() ? -1 : rows.front();
        }
        case Kind::combo:
            return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
        default:
            return -1;
    }
}

std::vector<int> DialogHost::selected_rows(ControlId id) const {
    HWND list = control(id);
    std::vector<int> rows;
    switch (kind_of(list)) {
        case Kind::list_view: {
            int row = -1;
            while ((row = static_cast<int>(
                        SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
                rows.push_back(row);
            break;
        }
        case Kind::list_box:
            if (multi_select(list)) {
                const auto n = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
                if (n > 0) {
                    rows.resize(static_cast<std::size_t>(n));
                    const auto got = SendMessageW(list, LB_GETSELITEMS, n, (LPARAM)rows.data());
                    rows.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
                }
            } else if (int row = selection(id); row >= 0) {
                rows.push_back(row);
            }
            break;
        case Kind::combo:
            if (int row = selection(id); row >= 0) rows.push_back(row);
            break;
        default:
            break;
    }
    return rows;
}

void DialogHost::set_selection(ControlId id, int row) {
    HWND list = control(id);
    switch (kind_of(list)) {
        case Kind::list_view: {
            LVITEMW clear{};
            clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), (LPARAM)&clear);
            if (row >= 0) {
                LVITEMW item{};
                item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
            }
            break;
        }
        case Kind::list_box:
            if (multi_select(list)) {
                SendMessageW(list, LB_SETSEL, FALSE, -1);
                if (row >= 0) SendMessageW(list, LB_SETSEL, TRUE, row);
            } else {
                SendMessageW(list, LB_SETCURSEL, row, 0);
            }
            break;
        case Kind::combo:
            SendMessageW(list, CB_SETCURSEL, row, 0);
            break;
        default:
            break;
    }
}

void DialogHost::set_progress_range(ControlId id, int lower, int upper) {
    SendMessageW(control(id), PBM_SETRANGE32, lower, upper);
}

int DialogHost::set_progress_position(ControlId id, int position) {
    return static_cast<int>(SendMessageW(control(id), PBM_SETPOS, position, 0));
}

void DialogHost::show_window(bool visible) {
    if (hwnd_ == nullptr) return;
    if (!visible) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

Point DialogHost::window_origin() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top};
}

void DialogHost::move_window(Point top_left) {
    SetWindowPos(hwnd_, nullptr, top_left.x, top_left.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogHost::center_on_owner() {
    RECT area{};
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner == nullptr || !IsWindowVisible(owner) || !GetWindowRect(owner, &area))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    move_window({area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2});
}

Size DialogHost::screen_size() const {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void DialogHost::close(int result) {
    result_ = result;
    ended_ = true;
    // A modal window goes when its loop sees the end; a modeless one now.
    if (!modal_) destroy();
}

}  // namespace ui::win32
