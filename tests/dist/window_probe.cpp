// Watches VLRUpdate's window from outside, as a user would see it: writes
// every caption, status, file and count text it shows (one per line, in
// order of appearance, UTF-8) until the window has gone.
//   window_probe.exe OUT [--keys] [--close-on TEXT]
// --keys      once the window is up, press Escape and Enter in it and
//             write "survived Escape and Enter" when it is still there.
// --close-on  use the close box as soon as the status text is TEXT and
//             write "closed".
// --about     choose the about item of the system menu, write the about
//             box's caption and texts, and close it.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

std::wstring Text(HWND window) {
    wchar_t buffer[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 1000, nullptr);
    return buffer;
}

// The updater's window: a dialog whose control 1000 is a progress bar and
// which has the status (1001) and count (1004) texts.
BOOL CALLBACK Find(HWND window, LPARAM found) {
    HWND bar = GetDlgItem(window, 1000);
    wchar_t kind[64] = {};
    if (bar && GetClassNameW(bar, kind, 64) && lstrcmpiW(kind, L"msctls_progress32") == 0 &&
        GetDlgItem(window, 1001) && GetDlgItem(window, 1004) && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void Press(HWND window, WPARAM key) {
    HWND target = GetDlgItem(window, 1001);
    PostMessageW(target ? target : window, WM_KEYDOWN, key, 1);
    PostMessageW(target ? target : window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) return 2;
    bool keys = false, about = false;
    std::wstring close_on;
    for (int i = 2; i < argc; ++i) {
        if (lstrcmpW(argv[i], L"--keys") == 0) keys = true;
        if (lstrcmpW(argv[i], L"--about") == 0) about = true;
        if (lstrcmpW(argv[i], L"--close-on") == 0 && i + 1 < argc) close_on = argv[++i];
    }
    HANDLE out =
        CreateFileW(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 2;
    const auto write = [out](const std::wstring& line) {
        const std::wstring text = line + L"\n";
        std::string utf8(text.size() * 4, '\0');
        const int n =
            WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                static_cast<int>(utf8.size()), nullptr, nullptr);
        DWORD written = 0;
        WriteFile(out, utf8.data(), static_cast<DWORD>(n), &written, nullptr);
    };

    HWND window = nullptr;
    for (int i = 0; i < 3000 && !window; ++i) {  // up to a minute
        EnumWindows(&Find, reinterpret_cast<LPARAM>(&window));
        if (!window) Sleep(20);
    }
    if (!window) {
        write(L"no window");
        CloseHandle(out);
        return 1;
    }
    std::vector<std::wstring> seen;
    const auto note = [&](const std::wstring& line) {
        for (const auto& s : seen)
            if (s == line) return;
        seen.push_back(line);
        write(line);
    };
    bool pressed = false, survived = false, closed = false, asked = false;
    DWORD pressed_at = 0, asked_at = 0;
    while (IsWindow(window)) {
        note(L"caption: " + Text(window));
        const std::wstring status = Text(GetDlgItem(window, 1001));
        note(L"status: " + status);
        note(L"file: " + Text(GetDlgItem(window, 1003)));
        note(L"count: " + Text(GetDlgItem(window, 1004)));
        if (keys && !pressed) {
            pressed = true;
            pressed_at = GetTickCount();
            Press(window, VK_ESCAPE);
            Press(window, VK_RETURN);
        }
        if (pressed && !survived && GetTickCount() - pressed_at > 300 && IsWindowVisible(window)) {
            survived = true;
            write(L"survived Escape and Enter");
        }
        if (about && !asked && survived) {
            asked = true;
            asked_at = GetTickCount();
            PostMessageW(window, WM_SYSCOMMAND, 0x0010, 0);
        }
        if (asked && about && GetTickCount() - asked_at < 5000) {
            if (HWND box = FindWindowW(L"#32770", L"Kestrune 정보")) {
                about = false;  // seen
                write(L"about: " + Text(box));
                for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                    const std::wstring text = Text(c);
                    if (!text.empty() && text[0] != 0xFFFF)
                        write(L"about: " + text);  // not the icon
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        if (!close_on.empty() && !closed && status == close_on) {
            closed = true;
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            write(L"closed");
        }
        Sleep(20);
    }
    write(L"window gone");
    CloseHandle(out);
    LocalFree(argv);
    return 0;
}
