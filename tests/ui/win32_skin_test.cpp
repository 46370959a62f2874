// The skin's drawn controls painted into a memory picture: a title strip
// takes its sign and strip from a good picture and stays readable (painted,
// with its words) when the picture is missing, damaged or of the wrong
// shape; a picture check box shows its state from the button itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/display.h"
#include "ui/win32/skin.h"

namespace {

namespace fs = std::filesystem;
using ui::win32::Skin;
using ui::win32::SkinStyle;

constexpr int kStrip = 1028;
constexpr int kBox = 1062;
constexpr int kWidth = 200;
constexpr int kHeight = 24;
constexpr COLORREF kUnpainted = RGB(255, 0, 255);
constexpr COLORREF kSign = RGB(200, 30, 30);
constexpr COLORREF kRest = RGB(30, 200, 30);

// A 24-bit picture: its first `sign` columns in kSign, the rest in kRest.
std::string bmp(int width, int height, int sign) {
    const int stride = (width * 3 + 3) & ~3;
    std::string out(54 + static_cast<std::size_t>(stride) * height, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = x < sign ? kSign : kRest;
            const std::size_t at = 54 + static_cast<std::size_t>(y) * stride + x * 3;
            out[at] = static_cast<char>(GetBValue(c));
            out[at + 1] = static_cast<char>(GetGValue(c));
            out[at + 2] = static_cast<char>(GetRValue(c));
        }
    }
    return out;
}

// A window that hands its messages to the skin the way the dialog host
// does, with one owner-drawn static.
class Painted : public ::testing::Test {
  protected:
    static LRESULT CALLBACK procedure(HWND w, UINT message, WPARAM wp, LPARAM lp) {
        auto* skin = reinterpret_cast<Skin*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        INT_PTR result = 0;
        if (skin != nullptr && skin->handle(w, message, wp, lp, result)) return result;
        return DefWindowProcW(w, message, wp, lp);
    }

    void SetUp() override {
        folder_ = fs::temp_directory_path() / "vellora_skin_test";
        fs::create_directories(folder_);
        WNDCLASSW type{};
        type.lpfnWndProc = procedure;
        type.cbWndExtra = DLGWINDOWEXTRA;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"VelloraSkinTest";
        RegisterClassW(&type);
    }
    void TearDown() override {
        if (window_ != nullptr) DestroyWindow(window_);
        fs::remove_all(folder_);
    }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    // Creates the window with its skin; false when no window can be made here.
    bool open(SkinStyle style) {
        skin_ = std::make_unique<Skin>(std::move(style));
        window_ = CreateWindowExW(0, L"VelloraSkinTest", L"", WS_POPUP, 0, 0, 300, 120,
                                  HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (window_ == nullptr) return false;
        HWND strip = CreateWindowExW(0, L"Static", L"암호화", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW,
                                     0, 40, kWidth, kHeight, window_,
                                     reinterpret_cast<HMENU>(kStrip), nullptr, nullptr);
        if (strip == nullptr) return false;
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(skin_.get()));
        skin_->attach(window_);
        return true;
    }

    // Paints through `draw` into a fresh picture first filled with kUnpainted.
    std::vector<COLORREF> paint(const std::function<void(HDC)>& draw) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, picture);
        HBRUSH sentinel = CreateSolidBrush(kUnpainted);
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc, &all, sentinel);
        DeleteObject(sentinel);
        draw(dc);
        GdiFlush();
        std::vector<COLORREF> pixels(kWidth * kHeight);
        const auto* raw = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
        SelectObject(dc, old);
        DeleteObject(picture);
        DeleteDC(dc);
        return pixels;
    }

    std::vector<COLORREF> paint_strip() {
        return paint([&](HDC dc) {
            DRAWITEMSTRUCT item{ODT_STATIC, kStrip,
                                0,          ODA_DRAWENTIRE,
                                0,          GetDlgItem(window_, kStrip),
                                dc,         {0, 0, kWidth, kHeight},
                                0};
            INT_PTR result = 0;
            EXPECT_TRUE(skin_->handle(window_, WM_DRAWITEM, kStrip, reinterpret_cast<LPARAM>(&item),
                                      result));
        });
    }

    std::vector<COLORREF> paint_box() {
        return paint([&](HDC dc) {
            NMCUSTOMDRAW draw{};
            draw.hdr = {GetDlgItem(window_, kBox), kBox, static_cast<UINT>(NM_CUSTOMDRAW)};
            draw.dwDrawStage = CDDS_PREPAINT;
            draw.hdc = dc;
            draw.rc = {0, 0, kWidth, kHeight};
            INT_PTR result = 0;
            EXPECT_TRUE(
                skin_->handle(window_, WM_NOTIFY, kBox, reinterpret_cast<LPARAM>(&draw), result));
            EXPECT_EQ(GetWindowLongPtrW(window_, DWLP_MSGRESULT), CDRF_SKIPDEFAULT);
        });
    }

    static bool close_to(COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) < 24 &&
               std::abs(GetGValue(a) - GetGValue(b)) < 24 &&
               std::abs(GetBValue(a) - GetBValue(b)) < 24;
    }
    static COLORREF at(const std::vector<COLORREF>& p, int x, int y) { return p[y * kWidth + x]; }
    // Pixels of [x0, x1) that are much darker than the light strip: the words.
    static int dark(const std::vector<COLORREF>& p, int x0, int x1) {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = x0; x < x1; ++x)
                if (GetRValue(at(p, x, y)) + GetGValue(at(p, x, y)) + GetBValue(at(p, x, y)) < 400)
                    ++n;
        return n;
    }

    fs::path folder_;
    std::unique_ptr<Skin> skin_;
    HWND window_ = nullptr;
};

TEST_F(Painted, StripTakesSignAndStripFromAGoodPicture) {
    SkinStyle style;
    style.banners[kStrip] = write("good.bmp", bmp(64, 16, 16));
    VELLORA_NEED_WINDOWS(open(std::move(style)));
    const auto p = paint_strip();
    EXPECT_TRUE(close_to(at(p, kHeight / 2, kHeight / 2), kSign));  // the sign square
    EXPECT_TRUE(close_to(at(p, kWidth - 20, kHeight / 2), kRest));  // the stretched rest
    EXPECT_GT(dark(p, kHeight, kWidth / 2), 0);                     // the words
}

TEST_F(Painted, StripStaysReadableWithoutAUsablePicture) {
    struct Case {
        const char* name;
        std::string bytes;  // empty: no file at all
    };
    const std::vector<Case> cases = {
        {"missing.bmp", ""},
        {"truncated.bmp", bmp(64, 16, 16).substr(0, 70)},
        {"not-a-picture.bmp", std::string(600, '\x5a')},
        {"header-only.bmp", bmp(64, 16, 16).substr(0, 54)},
        {"too-narrow.bmp", bmp(16, 16, 16)},  // no strip beside the sign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SkinStyle style;
        style.banners[kStrip] = c.bytes.empty() ? folder_ / c.name : write(c.name, c.bytes);
        VELLORA_NEED_WINDOWS(open(std::move(style)));
        const auto p = paint_strip();
        int unpainted = 0;
        for (COLORREF px : p) unpainted += px == kUnpainted;
        EXPECT_EQ(unpainted, 0);
        EXPECT_GT(dark(p, 0, kWidth), 0);
        for (COLORREF px : p) EXPECT_FALSE(close_to(px, kSign) || close_to(px, kRest));
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

TEST_F(Painted, CheckBoxShowsTheButtonsOwnState) {
    SkinStyle style;
    style.check_boxes = {kBox};
    VELLORA_NEED_WINDOWS(open(std::move(style)));
    // Without a display Wine makes no buttons; the test then has nothing to see.
    HWND box =
        CreateWindowExW(0, L"Button", L"원본 파일 삭제", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 0, 80,
                        kWidth, kHeight, window_, reinterpret_cast<HMENU>(kBox), nullptr, nullptr);
    VELLORA_NEED_WINDOWS(box != nullptr);
    const COLORREF accent = RGB(32, 150, 160);
    auto accent_pixels = [&](const std::vector<COLORREF>& p) {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kHeight; ++x) n += close_to(at(p, x, y), accent);
        return n;
    };
    SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    const auto off = paint_box();
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    const auto on = paint_box();
    // Checked: the box is filled with the accent; unchecked: at most its edge.
    EXPECT_GT(accent_pixels(on), 4 * accent_pixels(off) + 20);
    EXPECT_GT(dark(on, kHeight, kWidth), 0);  // the label beside it
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
