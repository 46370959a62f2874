#include "ui/win32/interaction.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "ui/win32/handles.h"

namespace ui::win32 {

namespace fs = std::filesystem;

namespace {

// Large enough for a hundred long paths from a multi-select open dialog.
constexpr std::size_t kNameBuffer = 64 * 1024;

HWND first_visible(HWND dialog, const std::vector<ControlId>& ids) {
    for (ControlId id : ids) {
        HWND c = GetDlgItem(dialog, id);
        if (c != nullptr && IsWindowVisible(c)) return c;
    }
    return nullptr;
}

}  // namespace

HWND feedback_control(bool status);

std::wstring file_filter(std::string_view mfc_filter) {
    std::wstring filter = widen(mfc_filter);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    return filter;
}

HWND WindowsInteraction::owner() {
    if (DialogHost* host = active_host(); host != nullptr && host->hwnd() != nullptr) {
        HWND window = host->hwnd();
        // A hidden popup (a cancelled progress window) owns nothing; its
        // owner takes its place.
        while (window != nullptr && !IsWindowVisible(window)) window = GetWindow(window, GW_OWNER);
        if (window != nullptr) return window;
        return host->hwnd();
    }
    return GetActiveWindow();
}

Answer WindowsInteraction::message_box(std::string_view text, std::string_view caption,
                                       unsigned style) {
    const int answer = MessageBoxW(owner(), widen(text).c_str(), widen(caption).c_str(), style);
    return static_cast<Answer>(answer == 0 ? IDCANCEL : answer);
}

std::vector<fs::path> WindowsInteraction::open_files(const FileDialogOptions& options) {
    const std::wstring filter = file_filter(options.filter);
    const std::wstring extension = widen(options.default_extension);
    const std::wstring folder = options.initial_folder.wstring();
    std::wstring names(kNameBuffer, L'\0');
    const std::wstring initial = widen(options.initial_name);
    initial.copy(names.data(), std::min(initial.size(), kNameBuffer - 2));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = static_cast<DWORD>(names.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return {};
    // One name: the full path. Several: the folder, then the leaf names.
    std::vector<std::wstring> parts;
    for (const wchar_t* p = names.c_str(); *p != 0; p += wcslen(p) + 1) parts.emplace_back(p);
    if (parts.size() == 1) return {fs::path(parts[0])};
    std::vector<fs::path> chosen;
    for (std::size_t i = 1; i < parts.size(); ++i) chosen.push_back(fs::path(parts[0]) / parts[i]);
    return chosen;
}

std::optional<fs::path> WindowsInteraction::save_file(const FileDialogOptions& options) {
    const std::wstring filter = file_filter(options.filter);
    const std::wstring extension = widen(options.default_extension);
    std::wstring folder = options.initial_folder.wstring();
    std::wstring initial = widen(options.initial_name);
    // An initial name that holds a folder opens the dialog there.
    if (auto cut = initial.find_last_of(L"\\/"); cut != std::wstring::npos) {
        if (folder.empty()) folder = initial.substr(0, cut);
        initial = initial.substr(cut + 1);
    }
    std::wstring name(kNameBuffer, L'\0');
    initial.copy(name.data(), std::min(initial.size(), kNameBuffer - 2));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return fs::path(name.c_str());
}

std::optional<fs::path> WindowsInteraction::choose_folder(std::string_view title) {
    ComScope com;
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, dialog.put_void())))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS flags = 0;
    dialog->GetOptions(&flags);
    dialog->SetOptions(flags | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR);
    dialog->SetTitle(widen(title).c_str());
    if (FAILED(dialog->Show(owner()))) return std::nullopt;
    ComPtr<IShellItem> item;
    if (FAILED(dialog->GetResult(item.put()))) return std::nullopt;
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr)
        return std::nullopt;
    fs::path chosen(path);
    CoTaskMemFree(path);
    return chosen;
}

void WindowsInteraction::shell_open(const fs::path& target) {
    ShellExecuteW(owner(), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The innermost window that has such feedback controls shows it.
HWND feedback_control(bool status) {
    const auto& hosts = open_dialog_hosts();
    for (auto it = hosts.rbegin(); it != hosts.rend(); ++it) {
        const HostOptions& o = (*it)->options();
        const auto& ids = status ? o.status_controls : o.progress_controls;
        if (ids.empty() || (*it)->hwnd() == nullptr) continue;
        return first_visible((*it)->hwnd(), ids);
    }
    return nullptr;
}

void WindowsInteraction::set_status(std::string_view text) {
    if (HWND c = feedback_control(true)) {
        SetWindowTextW(c, widen(text).c_str());
        UpdateWindow(c);
    }
}

void WindowsInteraction::progress(int position, int range) {
    if (HWND bar = feedback_control(false)) {
        SendMessageW(bar, PBM_SETRANGE32, 0, range);
        SendMessageW(bar, PBM_SETPOS, position, 0);
    }
}

void WindowsInteraction::pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is ending: leave the quit for the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

int WindowsInteraction::run_modal(int template_id, DialogPresenter& presenter) {
    HostOptions options;
    if (configure_) configure_(template_id, presenter, options);
    DialogHost host(instance_, template_id, presenter, std::move(options));
    if (!host.create(owner())) return -1;
    return host.run_modal();
}

std::unique_ptr<DialogView> WindowsInteraction::open_modeless(int template_id,
                                                              DialogPresenter& presenter) {
    HostOptions options;
    if (configure_) configure_(template_id, presenter, options);
    auto host = std::make_unique<DialogHost>(instance_, template_id, presenter, std::move(options));
    if (!host->create(owner())) return nullptr;
    return host;
}

}  // namespace ui::win32
