// The Win32 dialog host's window-level services: the screen corner of a
// control, and the rescaling when a window moves to a monitor with another
// dpi (WM_DPICHANGED, sent here as the system would send it).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/support/display.h"
#include "ui/ids.h"
#include "ui/win32/dialog_host.h"

namespace {

constexpr int kPlainDialog = 100;  // tests/ui/win32_dialog_host.rc
constexpr int kEdit = 10, kCombo = 11, kList = 12;

class Idle final : public ui::DialogPresenter {
  public:
    void on_init(ui::DialogView&) override {}
    void on_command(ui::ControlId, ui::Event) override {}
};

RECT screen_rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A control's rectangle in its dialog's client coordinates.
RECT client_rect_of(HWND dialog, int id) {
    RECT r = screen_rect(GetDlgItem(dialog, id));
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int font_height(HWND dialog, int id) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    return std::abs(font.lfHeight);
}

void change_dpi(HWND window, int dpi, RECT suggested) {
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

class DialogHostWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        // Under Wine without a display no window can be made at all.
        HWND probe = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
        VELLORA_NEED_WINDOWS(probe != nullptr);
        DestroyWindow(probe);
    }

    std::unique_ptr<ui::win32::DialogHost> open(int template_id, ui::win32::HostOptions options) {
        auto host = std::make_unique<ui::win32::DialogHost>(GetModuleHandleW(nullptr), template_id,
                                                            presenter_, std::move(options));
        EXPECT_TRUE(host->create(nullptr));
        return host;
    }

    Idle presenter_;
};

TEST_F(DialogHostWindow, ControlCornersAreScreenPointsThatMoveWithTheWindow) {
    auto host = open(ui::kProgressWindowTemplate, {});
    HWND window = host->hwnd();
    host->move_window({40, 50});
    const ui::Point before = host->control_origin(IDC_PROGRESS_CANCEL);
    POINT client_corner{0, 0};
    ClientToScreen(window, &client_corner);
    const RECT in_client = client_rect_of(window, IDC_PROGRESS_CANCEL);
    EXPECT_EQ(before.x, client_corner.x + in_client.left);
    EXPECT_EQ(before.y, client_corner.y + in_client.top);
    host->move_window({140, 250});
    const ui::Point after = host->control_origin(IDC_PROGRESS_CANCEL);
    EXPECT_EQ(after.x - before.x, 100);
    EXPECT_EQ(after.y - before.y, 200);
    // A control the window does not have: the window's own corner.
    EXPECT_EQ(host->control_origin(4242).x, 140);
    EXPECT_EQ(host->control_origin(4242).y, 250);
}

// At 150 % and back: the window takes the suggested rectangle, the children
// and their fonts grow and shrink with it, drop-down lists and list columns
// too, and the window's own pixel layout is made again for the new dpi.
TEST_F(DialogHostWindow, ADpiChangeScalesChildrenFontsAndPixelLayouts) {
    std::vector<int> relaid;
    ui::win32::HostOptions options;
    options.after_dpi_change = [&relaid](HWND, int dpi) { relaid.push_back(dpi); };
    auto host = open(kPlainDialog, std::move(options));
    HWND dialog = host->hwnd();
    HWND list = GetDlgItem(dialog, kList);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    RECT dropped{};
    SendDlgItemMessageW(dialog, kCombo, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
    const int drop_height = dropped.bottom - dropped.top;

    const int dpi = ui::win32::window_dpi(dialog);
    const int bigger = dpi * 3 / 2;
    const RECT edit = client_rect_of(dialog, kEdit);
    const RECT grid = client_rect_of(dialog, kList);
    const int font = font_height(dialog, kEdit);
    const RECT window = screen_rect(dialog);
    const RECT suggested{300, 200, 300 + (window.right - window.left) * 3 / 2,
                         200 + (window.bottom - window.top) * 3 / 2};

    change_dpi(dialog, bigger, suggested);
    const RECT now = screen_rect(dialog);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    EXPECT_EQ(now.right, suggested.right);
    EXPECT_EQ(now.bottom, suggested.bottom);
    const RECT edit_big = client_rect_of(dialog, kEdit);
    EXPECT_NEAR(edit_big.left, edit.left * 3 / 2, 1);
    EXPECT_NEAR(edit_big.right, edit.right * 3 / 2, 1);
    EXPECT_NEAR(edit_big.bottom, edit.bottom * 3 / 2, 1);
    const RECT grid_big = client_rect_of(dialog, kList);
    EXPECT_NEAR(grid_big.right, grid.right * 3 / 2, 1);
    EXPECT_NEAR(font_height(dialog, kEdit), font * 3 / 2, 1);
    EXPECT_EQ(font_height(dialog, kEdit), font_height(dialog, kList));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 150);
    SendDlgItemMessageW(dialog, kCombo, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&dropped);
    EXPECT_NEAR(dropped.bottom - dropped.top, drop_height * 3 / 2, 1);

    change_dpi(dialog, dpi, window);
    const RECT edit_back = client_rect_of(dialog, kEdit);
    EXPECT_NEAR(edit_back.left, edit.left, 1);
    EXPECT_NEAR(edit_back.right, edit.right, 1);
    EXPECT_NEAR(font_height(dialog, kEdit), font, 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
    EXPECT_EQ(relaid, (std::vector<int>{bigger, dpi}));
}

// The progress popup's own layout: 390 pixels of client width at 96 dpi,
// the message font, every control inside the window at any dpi.
TEST_F(DialogHostWindow, TheProgressPopupIsLaidOutAgainForTheNewDpi) {
    auto host = open(ui::kProgressWindowTemplate, {});
    HWND popup = host->hwnd();
    const int dpi = ui::win32::window_dpi(popup);
    const int font = font_height(popup, IDC_PROGRESS_TEXT);
    for (int target : {dpi * 3 / 2, dpi * 2, dpi}) {
        SCOPED_TRACE(target);
        const RECT window = screen_rect(popup);
        change_dpi(popup, target,
                   {10, 20, 10 + MulDiv(window.right - window.left, target, dpi),
                    20 + MulDiv(window.bottom - window.top, target, dpi)});
        RECT client{};
        GetClientRect(popup, &client);
        EXPECT_EQ(client.right, MulDiv(390, target, 96));
        EXPECT_EQ(screen_rect(popup).left, 10);
        EXPECT_NEAR(font_height(popup, IDC_PROGRESS_TEXT), MulDiv(font, target, dpi), 1);
        for (int id : {IDC_PROGRESS_TEXT, IDC_PROGRESS_BAR, IDC_PROGRESS_CANCEL}) {
            const RECT r = client_rect_of(popup, id);
            EXPECT_GE(r.left, 0);
            EXPECT_GE(r.top, 0);
            EXPECT_LE(r.right, client.right) << id;
            EXPECT_LE(r.bottom, client.bottom) << id;
        }
    }
}

}  // namespace
