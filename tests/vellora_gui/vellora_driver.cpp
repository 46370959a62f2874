// Drives the real Vellora.exe as a person would: starts it, presses its
// buttons, fills its edits and file dialogs, drops a file on the deletion
// area, and reads back every message box by its text. A step that does not
// see what it expects stops the run with a message and exit status 1.
//
// vellora_gui_driver APP_FOLDER WORK_FOLDER SHOTS_FOLDER [SUFFIX]
//   WORK_FOLDER holds in\a.txt, in\b.bin, del\doomed.bin and the empty
//   folders out, dec and keys. For each screenshot the driver writes
//   SHOTS_FOLDER\<name>.request (holding the rectangle to keep) and waits
//   until the script has taken the picture and removed the file; after each
//   one it checks that no control is cut off by its window's edge.
//   With SUFFIX only the short scaled run is made: the windows are opened
//   and checked, and one picture, main-encrypt<SUFFIX>, is taken.
//   With --banner instead (the script has registered the stand-in player
//   control), the banner is checked in two short starts: banner_sessions.
//   With --hostile, a short start used carelessly: hostile_session makes
//   its own files in WORK_FOLDER.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

HANDLE app_process = nullptr;
DWORD app_id = 0;
std::wstring shots;

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring wide(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), w.data(), n);
    return w;
}

void say(const std::string& line) {
    std::printf("driver: %s\n", line.c_str());
    std::fflush(stdout);
}

[[noreturn]] void fail(const std::string& why) {
    throw std::runtime_error(why);
}

std::wstring text_of(HWND window) {
    wchar_t buffer[4096] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, (LPARAM)buffer, SMTO_ABORTIFHUNG, 5000, &got);
    return buffer;
}

std::vector<HWND> app_windows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == app_id && IsWindowVisible(w))
                reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
            return TRUE;
        },
        (LPARAM)&found);
    return found;
}

bool has_descendant_class(HWND parent, const wchar_t* name) {
    struct Search {
        const wchar_t* name;
        bool found;
    } search{name, false};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM l) -> BOOL {
            auto* s = reinterpret_cast<Search*>(l);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (lstrcmpiW(cls, s->name) == 0) s->found = true;
            return !s->found;
        },
        (LPARAM)&search);
    return search.found;
}

bool is_file_dialog(HWND w) {
    return has_descendant_class(w, L"SHELLDLL_DefView");
}

bool is_message_box(HWND w) {
    if (GetDlgItem(w, 0xFFFF) == nullptr || is_file_dialog(w)) return false;
    for (int id : {1000, 1007, 1019, 1037, 1074, 1077, 1091}) {
        if (GetDlgItem(w, id) != nullptr) return false;
    }
    for (int button : {IDOK, IDCANCEL, IDYES, IDNO}) {
        if (GetDlgItem(w, button) != nullptr) return true;
    }
    return false;
}

HWND wait_for(const std::function<bool(HWND)>& wanted, const std::string& what, int seconds = 30) {
    for (int i = 0; i < seconds * 10; ++i) {
        for (HWND w : app_windows()) {
            if (wanted(w)) return w;
        }
        DWORD code = 0;
        if (GetExitCodeProcess(app_process, &code) && code != STILL_ACTIVE)
            fail("Vellora ended (status " + std::to_string(code) + ") while waiting for " + what);
        Sleep(100);
    }
    std::string seen;
    for (HWND w : app_windows()) seen += " [" + utf8(text_of(w)) + "]";
    fail("no " + what + " within " + std::to_string(seconds) + " s; open:" + seen);
}

// A window of ours: all of the given controls present, no message box.
HWND wait_window(std::initializer_list<int> ids, const std::string& what, int seconds = 30) {
    std::vector<int> wanted(ids);
    return wait_for(
        [&](HWND w) {
            if (is_message_box(w) || is_file_dialog(w)) return false;
            for (int id : wanted)
                if (GetDlgItem(w, id) == nullptr) return false;
            return true;
        },
        what, seconds);
}

void wait_gone(HWND w, const std::string& what) {
    for (int i = 0; i < 300 && IsWindow(w) && IsWindowVisible(w); ++i) Sleep(100);
    if (IsWindow(w) && IsWindowVisible(w)) fail(what + " did not close");
}

// The window thread finishes a run after its last box: give it a moment.
bool eventually(const std::function<bool()>& condition, int seconds = 10) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (condition()) return true;
        Sleep(100);
    }
    return condition();
}

void click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// For a button whose handler opens nothing modal: returns once the handler
// has run, so what the driver does next cannot be undone by it (a page
// switch refills its lists and drops their selection).
void click_and_wait(HWND dialog, int id) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        (LPARAM)GetDlgItem(dialog, id), SMTO_ABORTIFHUNG, 10000, &ignored);
}

void set_text(HWND dialog, int id, const std::string& text) {
    const std::wstring w = wide(text);
    DWORD_PTR got = 0;
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) fail("no control " + std::to_string(id));
    SendMessageTimeoutW(control, WM_SETTEXT, 0, (LPARAM)w.c_str(), SMTO_ABORTIFHUNG, 5000, &got);
}

std::string control_text(HWND dialog, int id) {
    return utf8(text_of(GetDlgItem(dialog, id)));
}

// Reads the next message box, checks its text (and caption when given) and
// answers it.
void expect_box(const std::string& text, const char* caption = nullptr, int answer = IDOK,
                int seconds = 30) {
    HWND box = wait_for(is_message_box, "message box \"" + text + "\"", seconds);
    wchar_t buffer[2048] = {};
    GetDlgItemTextW(box, 0xFFFF, buffer, 2048);
    const std::string shown = utf8(buffer);
    if (shown != text) fail("message box shows \"" + shown + "\", expected \"" + text + "\"");
    if (caption != nullptr && utf8(text_of(box)) != caption)
        fail("message box \"" + text + "\" has caption \"" + utf8(text_of(box)) + "\"");
    say("box: " + shown);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), (LPARAM)GetDlgItem(box, answer));
    // Wine's box loop, ended by a posted command rather than a click, waits
    // for one more message before it returns: a person's next mouse move.
    PostMessageW(box, WM_NULL, 0, 0);
    wait_gone(box, "message box");
}

// Every visible control of our windows lies inside its window's client
// area and outside the banner: a control that a larger font or dpi pushed
// over the edge is cut off.
void check_unclipped(const std::string& where) {
    for (HWND top : app_windows()) {
        if (is_message_box(top) || is_file_dialog(top)) continue;
        RECT client{};
        GetClientRect(top, &client);
        // The banner area (child 999) covers no control either.
        RECT banner{};
        if (HWND b = GetDlgItem(top, 999); b != nullptr && IsWindowVisible(b)) {
            GetWindowRect(b, &banner);
            MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&banner), 2);
        }
        for (HWND c = GetWindow(top, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c)) continue;
            RECT r{};
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
            RECT overlap{};
            if (GetDlgCtrlID(c) != 999 && IntersectRect(&overlap, &r, &banner))
                fail(where + ": the banner covers control " + std::to_string(GetDlgCtrlID(c)));
            if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
                fail(where + ": control " + std::to_string(GetDlgCtrlID(c)) + " of \"" +
                     utf8(text_of(top)) + "\" reaches (" + std::to_string(r.left) + "," +
                     std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
                     std::to_string(r.bottom) + ") outside the client area " +
                     std::to_string(client.right) + "x" + std::to_string(client.bottom));
        }
    }
}

// The request file names the rectangle that holds Vellora's windows, so the
// picture shows them and not the rest of the screen.
void shot(const std::string& name, bool check = true) {
    Sleep(500);
    // A window that a closed dialog uncovered paints again before the picture.
    RECT all{};
    for (HWND w : app_windows()) {
        RedrawWindow(w, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
        RECT r{};
        GetWindowRect(w, &r);
        UnionRect(&all, &all, &r);
    }
    all.left = std::max(0L, all.left);
    all.top = std::max(0L, all.top);
    Sleep(500);
    const std::wstring request = shots + L"\\" + wide(name) + L".request";
    HANDLE f = CreateFileW(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) fail("cannot write " + utf8(request));
    const std::string geometry = std::to_string(all.right - all.left) + "x" +
                                 std::to_string(all.bottom - all.top) + "+" +
                                 std::to_string(all.left) + "+" + std::to_string(all.top) + "\n";
    DWORD written = 0;
    if (!IsRectEmpty(&all))
        WriteFile(f, geometry.data(), (DWORD)geometry.size(), &written, nullptr);
    CloseHandle(f);
    for (int i = 0; i < 300 && GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    say("screenshot " + name);
    if (check) check_unclipped(name);
}

// A finished encryption opens its output folder through the shell; the
// folder window (another program's) is closed so it covers no screenshot.
void close_folder_window(const std::string& title) {
    HWND folder = nullptr;
    for (int i = 0; i < 50 && folder == nullptr; ++i) {
        folder = FindWindowW(L"ExplorerWClass", wide(title).c_str());
        if (folder == nullptr) Sleep(100);
    }
    if (folder == nullptr) return;
    PostMessageW(folder, WM_CLOSE, 0, 0);
    for (int i = 0; i < 50 && IsWindow(folder); ++i) Sleep(100);
}

// The open, save and folder dialogs take a name typed into their name box
// and OK; several files are chosen by going to their folder first.
HWND name_box(HWND dialog) {
    for (int id : {0x47c, 0x480}) {
        if (HWND c = GetDlgItem(dialog, id)) return c;
    }
    fail("file dialog without a name box");
}

void answer_file_dialog(const std::string& folder, const std::string& names) {
    HWND dialog = wait_for(is_file_dialog, "file dialog");
    Sleep(500);
    DWORD_PTR got = 0;
    if (!folder.empty()) {
        const std::wstring w = wide(folder);
        SendMessageTimeoutW(name_box(dialog), WM_SETTEXT, 0, (LPARAM)w.c_str(), SMTO_ABORTIFHUNG,
                            5000, &got);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     (LPARAM)GetDlgItem(dialog, IDOK));
        Sleep(1000);
    }
    const std::wstring w = wide(names);
    SendMessageTimeoutW(name_box(dialog), WM_SETTEXT, 0, (LPARAM)w.c_str(), SMTO_ABORTIFHUNG, 5000,
                        &got);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDOK));
    wait_gone(dialog, "file dialog");
}

// WM_DROPFILES with the DROPFILES block written into Vellora's memory, the
// drop point over the control.
void drop_files(HWND window, int control, const std::vector<std::string>& paths) {
    RECT r{};
    GetWindowRect(GetDlgItem(window, control), &r);
    POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(window, &point);
    std::wstring names;
    for (const auto& p : paths) {
        names += wide(p);
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    DROPFILES header{};
    header.pFiles = sizeof(header);
    header.pt = point;
    header.fWide = TRUE;
    std::vector<char> block(sizeof(header) + names.size() * sizeof(wchar_t));
    memcpy(block.data(), &header, sizeof(header));
    memcpy(block.data() + sizeof(header), names.data(), names.size() * sizeof(wchar_t));
    void* remote = VirtualAllocEx(app_process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (remote == nullptr ||
        !WriteProcessMemory(app_process, remote, block.data(), block.size(), nullptr))
        fail("cannot write the drop into Vellora");
    PostMessageW(window, WM_DROPFILES, (WPARAM)remote, 0);
}

bool exists(const std::string& path) {
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Starts APP_FOLDER\Vellora.exe in its folder.
bool launch(const std::wstring& app) {
    std::wstring command = L"\"" + app + L"\\Vellora.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, app.c_str(),
                        &startup, &info)) {
        std::fprintf(stderr, "driver: cannot start %s (error %lu)\n", utf8(command).c_str(),
                     GetLastError());
        return false;
    }
    app_process = info.hProcess;
    app_id = info.dwProcessId;
    CloseHandle(info.hThread);
    return true;
}

const char kConfigMissing[] =
    "ERROR : 설정 파일을 읽을수 없습니다. \n해당 파일이 올바른 경로에 있는지 확인하시기 바랍니다.";
const char kSharingRefusesBmp[] =
    "현재 '파일공유'암호화를 사용하계십니다. \n'파일공유'암호화는 'BMP 파일에 숨김' 기능을 "
    "지원하지 않습니다.";

// Child 999 where no player is registered: our own panel, silent.
void expect_quiet_panel(HWND main) {
    HWND banner = GetDlgItem(main, 999);
    wchar_t kind[64] = {};
    if (banner != nullptr) GetClassNameW(banner, kind, 64);
    if (banner == nullptr || lstrcmpiW(kind, L"Static") != 0 || !text_of(banner).empty())
        fail("the banner area is not the quiet panel (child 999 of class \"" + utf8(kind) + "\")");
}

// With the stand-in player registered (it shows the movie it was given as
// its window's text): child 999 is the player's window, at the main
// window's client area less 505 left, 55 top, 13 right and 35 bottom (at
// 96 dpi), playing the movie from the banner list when that movie exists,
// else the default one.
void expect_player(HWND main, const std::wstring& app, const std::wstring& movie) {
    HWND banner = GetDlgItem(main, 999);
    wchar_t kind[64] = {};
    if (banner != nullptr) GetClassNameW(banner, kind, 64);
    if (banner == nullptr || lstrcmpW(kind, L"VelloraFakePlayer") != 0 || !IsWindowVisible(banner))
        fail("child 999 is not the player's window (class \"" + utf8(kind) + "\")");
    RECT client{}, area{};
    GetClientRect(main, &client);
    GetWindowRect(banner, &area);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&area), 2);
    const RECT expected{client.left + 505, client.top + 55, client.right - 13, client.bottom - 35};
    if (!EqualRect(&area, &expected))
        fail("the player sits at (" + std::to_string(area.left) + "," + std::to_string(area.top) +
             ")-(" + std::to_string(area.right) + "," + std::to_string(area.bottom) +
             "), expected (" + std::to_string(expected.left) + "," + std::to_string(expected.top) +
             ")-(" + std::to_string(expected.right) + "," + std::to_string(expected.bottom) + ")");
    const std::wstring wanted = app + L"\\Banner\\" + movie;
    if (text_of(banner) != wanted)
        fail("the player got the movie \"" + utf8(text_of(banner)) + "\", expected \"" +
             utf8(wanted) + "\"");
    say("banner: " + utf8(wanted));
}

// One start up to the main window's player; with `via_home` the main
// window is left for the start window and opened again, so a second player
// replaces the first. The program then ends cleanly.
void banner_session(const std::wstring& app, const std::wstring& movie, bool via_home) {
    expect_box(kConfigMissing, "경고");
    expect_box(kConfigMissing, "경고");
    click(wait_window({1000, 1001, 1002}, "start window"), 1000);
    HWND main = wait_window({1007, 1008, 1009, 1087}, "main window");
    expect_player(main, app, movie);
    if (via_home) {
        click(main, 1050);
        wait_gone(main, "main window");
        click(wait_window({1000, 1001, 1002}, "start window"), 1000);
        main = wait_window({1007, 1008, 1009, 1087}, "main window");
        expect_player(main, app, movie);
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(app_process, 20000) != WAIT_OBJECT_0) fail("Vellora did not end");
    DWORD code = 1;
    GetExitCodeProcess(app_process, &code);
    if (code != 0) fail("Vellora ended with status " + std::to_string(code));
    CloseHandle(app_process);
    app_process = nullptr;
}

void write_file(const std::wstring& path, const std::string& content) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) fail("cannot write " + utf8(path));
    DWORD written = 0;
    WriteFile(f, content.data(), (DWORD)content.size(), &written, nullptr);
    CloseHandle(f);
}

// Vellora has just been started (by wmain); it is started once more for
// the default movie.
void banner_sessions(const std::wstring& app) {
    // A list whose one usable line names a movie that exists. Vellora reads
    // the list while its main window starts, so writing it now is in time.
    const std::wstring folder = app + L"\\Banner";
    CreateDirectoryW(folder.c_str(), nullptr);
    write_file(folder + L"\\vellora_banner_harbour.swf", "");
    write_file(folder + L"\\banner_list.txt",
               "; the movies shown in the main window\n"
               "no separator here\n"
               "  vellora_banner_harbour.swf | https://vellora.example/harbour\n");
    banner_session(app, L"vellora_banner_harbour.swf", true);
    // No list: the default movie, whether its file exists or not.
    DeleteFileW((folder + L"\\banner_list.txt").c_str());
    if (!launch(app)) fail("cannot start Vellora again");
    banner_session(app, L"vellora_banner_tarnwick.swf", false);
}

void look_step(HWND main);

// Where a window's top-left corner must be: a button's corner moved by
// (dx, dy), kept on the screen.
POINT corner_from(HWND window, int button, int dx, int dy) {
    RECT r{};
    GetWindowRect(GetDlgItem(window, button), &r);
    return {std::max(0L, r.left + dx), std::max(0L, r.top + dy)};
}

void expect_corner(HWND window, POINT want, const std::string& what) {
    RECT r{};
    GetWindowRect(window, &r);
    if (r.left != want.x || r.top != want.y)
        fail(what + " opened at (" + std::to_string(r.left) + "," + std::to_string(r.top) +
             "), expected (" + std::to_string(want.x) + "," + std::to_string(want.y) + ")");
    say(what + " placed beside its button");
}

// The progress window's caption: the title and the percentage reached.
void check_progress_caption(HWND progress) {
    const std::string head = "파일 영구 삭제 [";
    std::string caption;
    const bool seen = eventually(
        [&] {
            caption = utf8(text_of(progress));
            if (caption.size() <= head.size() + 2 || caption.compare(0, head.size(), head) != 0 ||
                caption.compare(caption.size() - 2, 2, "%]") != 0)
                return false;
            const std::string digits =
                caption.substr(head.size(), caption.size() - head.size() - 2);
            return digits.find_first_not_of("0123456789") == std::string::npos;
        },
        5);
    if (seen) {
        say("progress caption: " + caption);
    } else if (IsWindow(progress) && IsWindowVisible(progress)) {
        fail("progress window caption reads \"" + caption + "\"");
    } else {
        say("progress window gone before its caption was read");
    }
}

// A move to a monitor of 150 % and back, as the system announces it: the
// window takes the suggested rectangle and no control ends up cut off. The
// rectangle is written into Vellora's memory, as the system would pass it.
void check_dpi_change(HWND window, const std::string& what) {
    RECT original{};
    GetWindowRect(window, &original);
    for (int dpi : {144, 96}) {
        RECT suggested = original;
        suggested.right = original.left + MulDiv(original.right - original.left, dpi, 96);
        suggested.bottom = original.top + MulDiv(original.bottom - original.top, dpi, 96);
        void* remote = VirtualAllocEx(app_process, nullptr, sizeof(suggested),
                                      MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (remote == nullptr ||
            !WriteProcessMemory(app_process, remote, &suggested, sizeof(suggested), nullptr))
            fail("cannot write the suggested rectangle into Vellora");
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)remote,
                            SMTO_ABORTIFHUNG, 10000, &ignored);
        RECT now{};
        GetWindowRect(window, &now);
        if (!EqualRect(&now, &suggested))
            fail(what + " at " + std::to_string(dpi) + " dpi is " +
                 std::to_string(now.right - now.left) + "x" + std::to_string(now.bottom - now.top) +
                 ", not the suggested " + std::to_string(suggested.right - suggested.left) + "x" +
                 std::to_string(suggested.bottom - suggested.top));
        check_unclipped(what + " at " + std::to_string(dpi) + " dpi");
        VirtualFreeEx(app_process, remote, 0, MEM_RELEASE);
    }
    say(what + " follows a dpi change");
}

void session(const std::string& app, const std::string& work) {
    const std::string in = work + "\\in", out = work + "\\out", dec = work + "\\dec";
    const std::string keys = work + "\\keys", package = out + "\\pkg.vlr";

    // No update or banner configuration beside the program: both checks say so.
    expect_box(kConfigMissing, "경고");
    expect_box(kConfigMissing, "경고");

    HWND start = wait_window({1000, 1001, 1002}, "start window");
    if (utf8(text_of(start)) != "Vellora 벨로라") fail("start window title");
    shot("start-window");
    const POINT main_corner = corner_from(start, 1000, 0, -137);
    click(start, 1000);

    HWND main = wait_window({1007, 1008, 1009, 1087}, "main window");
    expect_corner(main, main_corner, "main window");
    if (!IsWindowVisible(GetDlgItem(main, 1020)) || IsWindowVisible(GetDlgItem(main, 1039)))
        fail("the main window does not show the encrypt page");
    expect_quiet_panel(main);

    // Page 1: two files through the open dialog, a message, the package name.
    click(main, 1025);
    answer_file_dialog(in, "\"a.txt\" \"b.bin\"");
    if (SendMessageW(GetDlgItem(main, 1021), LVM_GETITEMCOUNT, 0, 0) != 2)
        fail("list 1021 does not hold the two files");
    set_text(main, 1020, "안녕하세요, 벨로라로 보내는 메시지입니다.");
    set_text(main, 1068, package);
    shot("main-encrypt");
    click(main, 1027);

    HWND fresh = wait_window({1037, 1064, 1074}, "new-password dialog");
    set_text(fresh, 1037, "abcde");
    set_text(fresh, 1064, "abcde");
    shot("new-password");
    click(fresh, 1074);
    expect_box("비밀번호를 6자리 이상 입력해 주세요", "경고");
    set_text(fresh, 1037, "secret1");
    set_text(fresh, 1064, "secret1");
    click(fresh, 1074);
    expect_box("성공적으로 암호화되었습니다.", nullptr, IDOK, 60);
    if (!exists(package)) fail("no package at " + package);
    close_folder_window("out");
    if (!eventually(
            [&] { return SendMessageW(GetDlgItem(main, 1021), LVM_GETITEMCOUNT, 0, 0) == 0; }))
        fail("the encrypt list was not cleared after the run");

    // Settings: the algorithm becomes ARIA.
    click(main, 1052);
    HWND settings = wait_window({1019, 1063, 1071}, "settings dialog");
    HWND algorithm = GetDlgItem(settings, 1063);
    SendMessageW(algorithm, CB_SETCURSEL, 1, 0);
    PostMessageW(settings, WM_COMMAND, MAKEWPARAM(1063, CBN_CLOSEUP), (LPARAM)algorithm);
    shot("settings");
    click(settings, 1071);
    wait_gone(settings, "settings dialog");
    look_step(main);

    // A shared key, then the sharing page exports it.
    click(main, 1051);
    HWND create = wait_window({1077, 1078, 1079}, "create-shared-key dialog");
    set_text(create, 1037, "alice");
    click(create, 1077);
    expect_box("사용 가능합니다.");
    set_text(create, 1064, "secret1");
    set_text(create, 1078, "secret1");
    shot("create-key");
    click(create, 1038);
    expect_box("공유키가 생성되었습니다.");
    click_and_wait(main, 1009);
    HWND key_list = GetDlgItem(main, 1044);
    if (!eventually([&] { return SendMessageW(key_list, LB_GETCOUNT, 0, 0) == 1; }))
        fail("list 1044 shows " + std::to_string(SendMessageW(key_list, LB_GETCOUNT, 0, 0)) +
             " keys, expected 1");
    SendMessageW(key_list, LB_SETSEL, TRUE, 0);
    shot("main-sharing");
    // The deletion area: confirmation, progress window, and no close while
    // the wipe runs.
    click(main, 1007);
    const std::string doomed = work + "\\del\\doomed.bin";
    drop_files(main, 1087, {doomed});
    expect_box("해당파일을 완전삭제 하시겠습니까? \n(주의: 삭제 후 복구가 되지 않아요.)", "벨로라");
    HWND progress = wait_window({10, 11, 12}, "progress window");
    if ((GetWindowLongW(progress, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0)
        fail("progress window not topmost");
    check_progress_caption(progress);
    shot("progress");
    PostMessageW(main, WM_CLOSE, 0, 0);
    Sleep(1500);
    if (!IsWindow(main) || !IsWindowVisible(main))
        fail("the main window closed during the deletion");
    say("close during the deletion refused");
    expect_box("해당 파일이 삭제 되었습니다.", "확인", IDOK, 120);
    if (!eventually([&] { return !exists(doomed); })) fail("the dropped file is still there");

    // The about box from the system menu.
    PostMessageW(main, WM_SYSCOMMAND, 0x0010, 0);
    HWND about = wait_window({1091}, "about box");
    if (control_text(about, 1091) != "Vellora 버전 2.0.0.0") fail("about box text");
    if (utf8(text_of(about)) != "Vellora 정보") fail("about box title");
    shot("about");
    click(about, IDOK);
    wait_gone(about, "about box");

    // Page 2: the package back through the password entry dialog.
    click(main, 1008);
    if (!eventually([&] { return IsWindowVisible(GetDlgItem(main, 1039)) != FALSE; }))
        fail("the decrypt page is not shown");
    click(main, 1041);
    answer_file_dialog("", package);
    // The output folder is typed into its box here; the folder picker is
    // answered once, last, for the key export: under Wine without a window
    // manager it leaves stale pixels on the virtual screen that would spoil
    // the screenshots after it.
    set_text(main, 1065, dec);
    if (control_text(main, 1065) != dec)
        fail("output folder shows \"" + control_text(main, 1065) + "\"");
    shot("main-decrypt");
    check_dpi_change(main, "main window");
    click(main, 1036);
    HWND entry = wait_window({1076, 1074}, "password entry dialog");
    click(entry, 1074);
    expect_box("비밀번호를 입력해 주세요");
    set_text(entry, 1076, "secret1");
    shot("password-entry");
    click(entry, 1074);
    expect_box("파일을 성공적으로 풀었습니다.", nullptr, IDOK, 60);
    for (const char* name : {"a.txt", "b.bin"})
        if (!eventually([&] { return exists(dec + "\\" + name); }))
            fail(std::string("not decrypted: ") + name);
    // The run is over once the page has let go of its inputs.
    if (!eventually(
            [&] { return SendMessageW(GetDlgItem(main, 1039), LVM_GETITEMCOUNT, 0, 0) == 0; }))
        fail("the decrypt list was not cleared after the run");

    // The chosen key goes to another folder through the folder picker.
    click_and_wait(main, 1009);
    if (!eventually([&] { return SendMessageW(key_list, LB_GETCOUNT, 0, 0) == 1; }))
        fail("list 1044 lost the key");
    SendMessageW(key_list, LB_SETSEL, TRUE, 0);
    if (SendMessageW(key_list, LB_GETSEL, 0, 0) <= 0) fail("the key could not be selected");
    click(main, 1089);
    answer_file_dialog("", keys);
    expect_box("선택된 공유키가 복사되었습니다.");
    if (!exists(keys + "\\alice.lck")) fail("the key was not exported");

    // BMP mode, chosen from the encrypt page, refuses the sharing page.
    click(main, 1007);
    click(main, 1052);
    settings = wait_window({1019, 1063, 1071}, "settings dialog");
    HWND mode = GetDlgItem(settings, 1019);
    SendMessageW(mode, CB_SETCURSEL, 2, 0);
    PostMessageW(settings, WM_COMMAND, MAKEWPARAM(1019, CBN_CLOSEUP), (LPARAM)mode);
    click(settings, 1071);
    wait_gone(settings, "settings dialog");
    click(main, 1009);
    expect_box(kSharingRefusesBmp);
    if (!eventually([&] { return IsWindowVisible(GetDlgItem(main, 1020)) != FALSE; }))
        fail("the encrypt page is not shown after the refusal");

    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(app_process, 20000) != WAIT_OBJECT_0) fail("Vellora did not end");
    (void)app;
}

// The drawn controls under the hand: a side button shows the mouse over it,
// and a picture check box of the settings dialog is reached with Tab and
// toggled with Space like a plain one (the dialog is then cancelled, so the
// settings stay as they were). Taken before the folder picker, which leaves
// stale pixels on the virtual screen.
void look_step(HWND main) {
    RECT side{};
    GetWindowRect(GetDlgItem(main, 1050), &side);
    SetCursorPos((side.left + side.right) / 2, (side.top + side.bottom) / 2);
    shot("main-hover");

    click(main, 1052);
    HWND settings = wait_window({1019, 1063, 1071}, "settings dialog");
    const DWORD thread = GetWindowThreadProcessId(settings, nullptr);
    auto focused = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    auto key = [&](UINT vk) {
        PostMessageW(focused(), WM_KEYDOWN, vk, 0);
        PostMessageW(focused(), WM_KEYUP, vk, 0xC0000001);
    };
    HWND box = GetDlgItem(settings, 1062);
    PostMessageW(settings, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(settings, 1063), TRUE);
    if (!eventually([&] { return focused() == GetDlgItem(settings, 1063); }))
        fail("the algorithm box did not take the focus");
    key(VK_TAB);
    if (!eventually([&] { return focused() == box; })) fail("Tab does not reach box 1062");
    const bool before = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    key(VK_SPACE);
    if (!eventually(
            [&] { return (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != before; }))
        fail("Space does not toggle box 1062");
    shot("settings-checked");
    click(settings, 1037);
    wait_gone(settings, "settings dialog");
    say("picture check box: Tab reaches it, Space toggles it");
    // The mouse goes where it covers nothing for the pictures after this.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// At a larger dpi (the script sets 150 %) the windows are opened and checked
// for cut-off controls; one picture of the main window is kept.
void scaled_session(const std::string& suffix) {
    expect_box(kConfigMissing, "경고");
    expect_box(kConfigMissing, "경고");
    HWND start = wait_window({1000, 1001, 1002}, "start window");
    check_unclipped("start window" + suffix);
    click(start, 1000);
    HWND main = wait_window({1007, 1008, 1009, 1087}, "main window");
    set_text(main, 1020, "안녕하세요, 벨로라로 보내는 메시지입니다.");
    set_text(main, 1068, "C:\\pkg.vlr");
    shot("main-encrypt" + suffix);
    for (int page : {1008, 1009}) {
        click(main, page);
        Sleep(500);
        check_unclipped("main window page " + std::to_string(page) + suffix);
    }
    click(main, 1007);
    click(main, 1052);
    HWND settings = wait_window({1019, 1063, 1071}, "settings dialog");
    check_unclipped("settings" + suffix);
    click(settings, 1071);
    wait_gone(settings, "settings dialog");
    click(main, 1051);
    HWND create = wait_window({1077, 1078, 1079}, "create-shared-key dialog");
    check_unclipped("create-key" + suffix);
    click(create, 1079);
    wait_gone(create, "create-shared-key dialog");
    PostMessageW(main, WM_SYSCOMMAND, 0x0010, 0);
    HWND about = wait_window({1091}, "about box");
    check_unclipped("about" + suffix);
    click(about, IDOK);
    wait_gone(about, "about box");
    // Home and back: each window opens beside the button that led to it.
    const POINT start_corner = corner_from(main, 1050, -12, -99);
    click(main, 1050);
    start = wait_window({1000, 1001, 1002}, "start window from home");
    expect_corner(start, start_corner, "start window" + suffix);
    const POINT main_corner = corner_from(start, 1000, 0, -137);
    click(start, 1001);
    main = wait_window({1007, 1008, 1009, 1087}, "main window again");
    expect_corner(main, main_corner, "main window" + suffix);
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(app_process, 20000) != WAIT_OBJECT_0) fail("Vellora did not end");
}

// ------------------------------------------------------------ hostile use

std::string file_content(const std::string& path) {
    HANDLE f = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) fail("cannot read " + path);
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(f);
    return content;
}

void make_file(const std::string& path, const std::string& content, bool read_only = false) {
    write_file(wide(path), content);
    if (read_only) SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
}

bool is_folder(const std::string& path) {
    const DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The names in a folder, sorted: a run that stopped half-way leaves no
// stray or temporary file behind.
std::vector<std::string> folder_names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE h = FindFirstFileW(wide(folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(utf8(name));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void expect_names(const std::string& folder, std::vector<std::string> wanted) {
    std::sort(wanted.begin(), wanted.end());
    const std::vector<std::string> names = folder_names(folder);
    if (names == wanted) return;
    std::string seen;
    for (const auto& n : names) seen += " " + n;
    fail(folder + " holds:" + seen);
}

int row_count(HWND main, int list) {
    return (int)SendMessageW(GetDlgItem(main, list), LVM_GETITEMCOUNT, 0, 0);
}

void expect_rows(HWND main, int list, int rows, const std::string& when) {
    if (!eventually([&] { return row_count(main, list) == rows; }, 3))
        fail("list " + std::to_string(list) + " holds " + std::to_string(row_count(main, list)) +
             " rows " + when + ", expected " + std::to_string(rows));
}

// No message box (and no other dialog of ours) comes up within a moment.
void expect_quiet(const std::string& when, int windows) {
    Sleep(1500);
    const auto open = app_windows();
    if ((int)open.size() != windows) {
        std::string seen;
        for (HWND w : open) seen += " [" + utf8(text_of(w)) + "]";
        fail(std::to_string(open.size()) + " windows open " + when + ":" + seen);
    }
}

// Types one character into an edit as the keyboard would.
void type_char(HWND dialog, int id, wchar_t c) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 10000, &ignored);
}

HWND new_password_dialog() {
    return wait_window({1037, 1064, 1074}, "new-password dialog");
}

// A run goes on for a moment after its last box, and a click until then is
// ignored (as it must be): the click is repeated until the run's dialog
// opens. A repeated click while that dialog opens is ignored the same way.
HWND start_run(HWND main, int button, std::initializer_list<int> dialog, const std::string& what) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        click(main, button);
        for (int i = 0; i < 20; ++i) {
            for (HWND w : app_windows()) {
                bool all = !is_message_box(w);
                for (int id : dialog) all = all && GetDlgItem(w, id) != nullptr;
                if (all) return w;
            }
            Sleep(100);
        }
    }
    fail("no " + what + " after clicking " + std::to_string(button));
}

void give_new_password(HWND main, const std::string& password) {
    HWND fresh = start_run(main, 1027, {1037, 1064, 1074}, "new-password dialog");
    set_text(fresh, 1037, password);
    set_text(fresh, 1064, password);
    click(fresh, 1074);
    wait_gone(fresh, "new-password dialog");
}

void cancel_file_dialog() {
    HWND dialog = wait_for(is_file_dialog, "file dialog");
    Sleep(300);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDCANCEL));
    wait_gone(dialog, "file dialog");
}

// A careless or hostile user: the same file dropped twice, the package
// written over one of its own inputs, an output that is a read-only file or
// a folder, two quick clicks, dialogs cancelled, the main window closed in
// the middle of a run, a file dropped twice on the deletion area, a message
// over the limit. Nothing is lost that was not confirmed and
// nothing is reported done that was not.
void hostile_session(const std::string& work) {
    const std::string in = work + "\\in", out = work + "\\out", dec = work + "\\dec",
                      del = work + "\\del";
    for (const std::string& folder : {in, out, dec, del})
        CreateDirectoryW(wide(folder).c_str(), nullptr);
    const std::string a = in + "\\a.txt", b = in + "\\b.bin";
    const std::string a_text = "hostile input a\n";
    std::string b_bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < b_bytes.size(); ++i) b_bytes[i] = (char)(i * 2654435761u >> 13);
    make_file(a, a_text);
    make_file(b, b_bytes);
    const std::string locked_output = out + "\\locked.vlr", folder_output = out + "\\folder.vlr";
    make_file(locked_output, "not a package, keep me", true);
    CreateDirectoryW(wide(folder_output).c_str(), nullptr);
    make_file(dec + "\\a.txt", "the user's own a.txt", true);
    const std::string doomed = del + "\\doomed.bin";
    make_file(doomed, std::string(5000, 'd'));

    expect_box(kConfigMissing, "경고");
    expect_box(kConfigMissing, "경고");
    click(wait_window({1000, 1001, 1002}, "start window"), 1000);
    HWND main = wait_window({1007, 1008, 1009, 1087}, "main window");
    const int open_windows = (int)app_windows().size();

    // The message edit holds 50000 characters; the one after is refused.
    // In lines, as a long letter is written: one line of 50000 characters
    // takes the edit's word wrap many seconds under Wine.
    std::string letter;
    while (letter.size() < 49999) letter += std::string(98, 'x') + "\r\n";
    letter.resize(49999);
    set_text(main, 1020, letter);
    type_char(main, 1020, L'y');
    expect_quiet("after the 50000th character", open_windows);
    type_char(main, 1020, L'z');
    expect_box("허용 문자수를 초과하였습니다. ");
    if ((int)SendMessageW(GetDlgItem(main, 1020), WM_GETTEXTLENGTH, 0, 0) != 50000)
        fail("the message edit holds " +
             std::to_string((int)SendMessageW(GetDlgItem(main, 1020), WM_GETTEXTLENGTH, 0, 0)) +
             " characters");
    set_text(main, 1020, "");
    say("the 50001st character refused");

    // The same file twice in one drop, then again: listed once.
    drop_files(main, 1021, {a, a});
    expect_box("동일한 파일이 존재합니다.");
    expect_rows(main, 1021, 1, "after a file dropped twice");
    drop_files(main, 1021, {a, b});
    expect_box("동일한 파일이 존재합니다.");
    expect_rows(main, 1021, 1, "after a listed file dropped again");
    drop_files(main, 1021, {b});
    expect_rows(main, 1021, 2, "after the second file");

    // Two quick clicks: one run, one password dialog; cancelled, the run
    // ends silently and keeps its inputs.
    set_text(main, 1068, out + "\\pkg.vlr");
    click(main, 1027);
    click(main, 1027);
    HWND fresh = new_password_dialog();
    Sleep(1000);
    int dialogs = 0;
    for (HWND w : app_windows())
        if (GetDlgItem(w, 1064) != nullptr && GetDlgItem(w, 1074) != nullptr) ++dialogs;
    if (dialogs != 1) fail(std::to_string(dialogs) + " new-password dialogs after two clicks");
    click(fresh, 1038);
    wait_gone(fresh, "new-password dialog");
    expect_quiet("after the password dialog was cancelled", open_windows);
    if (exists(out + "\\pkg.vlr")) fail("a cancelled run wrote the package");
    expect_rows(main, 1021, 2, "after a cancelled run");
    say("two quick clicks: one run; its cancel writes nothing");

    // The package named like one of its inputs is refused.
    set_text(main, 1068, a);
    give_new_password(main, "secret1");
    expect_box("암호화할 파일과 같은 이름으로 저장할 수 없습니다.");
    if (file_content(a) != a_text) fail("the input was written over");
    expect_rows(main, 1021, 2, "after the refused output");

    // A read-only file as the output: taken, then the save dialog cancelled.
    set_text(main, 1068, locked_output);
    give_new_password(main, "secret1");
    expect_box("동일한 파일명이 있습니다.");
    cancel_file_dialog();
    expect_box("암호화가 취소되었습니다.");
    if (file_content(locked_output) != "not a package, keep me") fail("the read-only file changed");

    // A folder as the output: the same.
    set_text(main, 1068, folder_output);
    give_new_password(main, "secret1");
    expect_box("동일한 파일명이 있습니다.");
    cancel_file_dialog();
    expect_box("암호화가 취소되었습니다.");
    if (!is_folder(folder_output)) fail("the folder named as the output is gone");
    expect_names(out, {"folder.vlr", "locked.vlr"});
    expect_rows(main, 1021, 2, "after the cancelled outputs");
    say("outputs refused: an input, a read-only file, a folder");

    // The real package.
    const std::string package = out + "\\pkg.vlr";
    set_text(main, 1068, package);
    give_new_password(main, "secret1");
    expect_box("성공적으로 암호화되었습니다.", nullptr, IDOK, 60);
    close_folder_window("out");
    expect_rows(main, 1021, 0, "after the run");

    // Decrypt page: the package dropped twice is listed once.
    click_and_wait(main, 1008);
    drop_files(main, 1039, {package, package});
    expect_box("동일한 파일이 존재합니다.");
    expect_rows(main, 1039, 1, "after the package dropped twice");
    set_text(main, 1065, dec);

    // The password entry cancelled: nothing written, the inputs stay.
    HWND entry = start_run(main, 1036, {1076, 1074}, "password entry dialog");
    click(entry, 1038);
    wait_gone(entry, "password entry dialog");
    expect_quiet("after the password entry was cancelled", open_windows);
    expect_names(dec, {"a.txt"});
    expect_rows(main, 1039, 1, "after the cancelled decrypt");

    // Into a folder where a read-only a.txt exists: asked, the save dialog
    // cancelled skips it; the close of the main window is refused while
    // the run goes on.
    entry = start_run(main, 1036, {1076, 1074}, "password entry dialog");
    PostMessageW(main, WM_CLOSE, 0, 0);
    Sleep(1000);
    if (!IsWindowVisible(main)) fail("the main window closed during the decrypt");
    set_text(entry, 1076, "secret1");
    click(entry, 1074);
    expect_box("동일한 파일명이 있습니다.");
    cancel_file_dialog();
    PostMessageW(main, WM_CLOSE, 0, 0);
    expect_box("파일을 성공적으로 풀었습니다.", nullptr, IDOK, 60);
    if (!IsWindow(main) || !IsWindowVisible(main))
        fail("the main window closed during the decrypt");
    // The run is over once the page has let go of its inputs.
    expect_rows(main, 1039, 0, "after the decrypt");
    expect_names(dec, {"a.txt", "b.bin"});
    if (file_content(dec + "\\a.txt") != "the user's own a.txt")
        fail("the read-only a.txt changed");
    if (file_content(dec + "\\b.bin") != b_bytes) fail("b.bin decrypted wrongly");
    say("decrypt: close refused, the existing read-only file kept, b.bin whole");

    // Deletion area: the same file twice in one drop goes once, and the end
    // is reported. (A wipe takes 25 s, so one file only.)
    click_and_wait(main, 1007);
    if (!eventually([&] { return IsWindowVisible(GetDlgItem(main, 1020)) != FALSE; }, 3))
        fail("the encrypt page is not shown");
    drop_files(main, 1087, {doomed, doomed});
    expect_box("해당파일을 완전삭제 하시겠습니까? \n(주의: 삭제 후 복구가 되지 않아요.)", "벨로라");
    expect_box("해당 파일이 삭제 되었습니다.", "확인", IDOK, 60);
    expect_quiet("after the deletion", open_windows);
    if (exists(doomed)) fail("the dropped file is still there");
    say("deletion: a file dropped twice wiped once, reported once");

    // The run finishes a moment after its last box; a close in that moment
    // is refused (as it must be), so a person clicks again.
    for (int i = 0; i < 10; ++i) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(app_process, 2000) == WAIT_OBJECT_0) return;
    }
    fail("Vellora did not end after the deletion");
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "usage: vellora_gui_driver APP_FOLDER WORK_FOLDER SHOTS_FOLDER [SUFFIX]\n");
        return 2;
    }
    const std::wstring app = argv[1];
    shots = argv[3];
    if (!launch(app)) return 1;
    int status = 0;
    try {
        if (argc == 5 && std::wstring(argv[4]) == L"--banner")
            banner_sessions(app);
        else if (argc == 5 && std::wstring(argv[4]) == L"--hostile")
            hostile_session(utf8(argv[2]));
        else if (argc == 5)
            scaled_session(utf8(argv[4]));
        else
            session(utf8(app), utf8(argv[2]));
        say("all steps passed");
    } catch (const std::exception& e) {
        std::printf("driver: FAILED: %s\n", e.what());
        std::fflush(stdout);
        shot("failure", false);
        TerminateProcess(app_process, 1);
        status = 1;
    }
    CloseHandle(app_process);
    return status;
}
