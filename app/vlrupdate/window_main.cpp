// VLRUpdate as a Windows program: one window (template 102) over the update
// run. The run goes on a worker thread; everything it shows reaches the
// window as posted messages, so only the window thread touches windows.
//   VLRUpdate.exe [configuration file]   (default .\VLR.ini)
//
// Closing the window with the close box while the run goes on: the window
// goes at once and the run finishes its steps without it (a download is
// replaced whole or not at all, the modules are started), then the program
// ends. Escape and Enter do nothing.
#include <windows.h>
#include <winsock2.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/vlrupdate/resource.h"
#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "platform/version_info.h"
#include "ui/win32/dialog_host.h"
#include "ui/win32/interaction.h"
#include "updater/kst_mgr.h"
#include "updater/update_presenter.h"

namespace {

constexpr UINT kStartRun = WM_USER + 100;   // starts the worker
constexpr UINT kRunOnWindow = WM_APP + 17;  // lParam: a closure from the worker

// "FileDescription [Comments]" of the main program beside the updater's
// folder; a blank when it has no version resource.
std::string Caption() {
    wchar_t own[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, own, static_cast<DWORD>(std::size(own)));
    const std::filesystem::path main_program =
        std::filesystem::path(own).parent_path().parent_path() / L"Vellora.exe";
    const auto values =
        platform::read_version_strings(main_program, {"FileDescription", "Comments"});
    if (!values) return " ";
    std::string caption = (*values)[0] + " ";
    if (!(*values)[1].empty()) caption += "[" + (*values)[1] + "]";
    return caption;
}

std::string ConfigPathArgument() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string path;
    if (args && count > 1) path = ui::win32::narrow(args[1]);
    if (args) LocalFree(args);
    return path;
}

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM w, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(w));
        return TRUE;
    }
    return FALSE;
}

// The window's own part beyond the presenter: the about item, the icons,
// the start message, the worker's closures and the close box.
class UpdaterWindow final : public ui::win32::Decoration {
  public:
    UpdaterWindow(HINSTANCE instance, updater::UpdatePresenter& presenter,
                  std::atomic<HWND>& target, ui::win32::DialogHost*& host)
        : instance_(instance), presenter_(presenter), target_(target), host_(host) {}

    void attach(HWND dialog) override {
        target_ = dialog;
        if (HMENU menu = GetSystemMenu(dialog, FALSE)) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, IDM_VLRUPDATE_ABOUT, L"Kestrune 정보(&A)...");
        }
        const auto icon = [this](int size) {
            return reinterpret_cast<LPARAM>(LoadImageW(instance_, MAKEINTRESOURCEW(IDR_VLRUPDATE),
                                                       IMAGE_ICON, size, size, LR_SHARED));
        };
        SendMessageW(dialog, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
        PostMessageW(dialog, kStartRun, 0, 0);
    }

    bool handle(HWND dialog, UINT message, WPARAM w, LPARAM l, INT_PTR& result) override {
        switch (message) {
            case kStartRun:
                presenter_.Start();
                return Done(result);
            case kRunOnWindow: {
                std::unique_ptr<std::function<void()>> task(
                    reinterpret_cast<std::function<void()>*>(l));
                (*task)();
                return Done(result);
            }
            case WM_SYSCOMMAND:
                if ((w & 0xFFF0) != IDM_VLRUPDATE_ABOUT) return false;
                DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_VLRUPDATE_ABOUT), dialog,
                                &AboutProcedure, 0);
                return Done(result);
            case WM_CLOSE:
                presenter_.on_close();
                if (host_) host_->close(IDCANCEL);
                return Done(result);
            case WM_DESTROY:
                target_ = nullptr;
                return false;
            default:
                return false;
        }
    }

  private:
    static bool Done(INT_PTR& result) {
        result = TRUE;
        return true;
    }

    HINSTANCE instance_;
    updater::UpdatePresenter& presenter_;
    std::atomic<HWND>& target_;
    ui::win32::DialogHost*& host_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WSADATA sockets{};
    if (WSAStartup(MAKEWORD(2, 2), &sockets) != 0) {
        MessageBoxW(nullptr, L"Windows 소켓 초기화에 실패하였습니다.", L"VLRUpdate",
                    MB_OK | MB_ICONSTOP);
        return 1;
    }
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    platform::SystemClock clock;
    netdown::DownloaderOptions options;
    options.pause = [&clock](std::chrono::milliseconds d) { clock.sleep(d); };
    {
        updater::CKSTMgr manager(std::make_unique<netdown::CNetDownLoader>(options), clock);
        ui::win32::WindowsInteraction interaction(instance);
        std::atomic<HWND> target{nullptr};
        // A closure for the window thread; dropped when the window has gone.
        auto post = [&target](std::function<void()> task) {
            auto* boxed = new std::function<void()>(std::move(task));
            const HWND window = target.load();
            if (!window || !PostMessageW(window, kRunOnWindow, 0, reinterpret_cast<LPARAM>(boxed)))
                delete boxed;
        };
        // Declared before the host so the run is waited for after the window has gone.
        updater::UpdatePresenter presenter(manager, ConfigPathArgument(), Caption(), post,
                                           interaction);
        ui::win32::DialogHost* host_ref = nullptr;
        ui::win32::HostOptions window;
        window.key_filter = [](int key, ui::ControlId) {
            return key == VK_ESCAPE || key == VK_RETURN;
        };
        window.decoration = std::make_unique<UpdaterWindow>(instance, presenter, target, host_ref);
        {
            ui::win32::DialogHost host(instance, IDD_VLRUPDATE, presenter, std::move(window));
            host_ref = &host;
            if (host.create(nullptr)) host.run_modal();
            host_ref = nullptr;
        }
        presenter.Wait();
    }
    OleUninitialize();
    WSACleanup();
    return 0;
}
