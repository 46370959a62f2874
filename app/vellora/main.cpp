// Vellora.exe: the update check, then the updater in Vellora's place or the
// banner refresh and the start and main windows, on one window thread; long
// runs go to a worker thread.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "app/vellora/window_setup.h"
#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "shell/app_start.h"
#include "shell/banner.h"
#include "shell/password_dialogs.h"
#include "shell/update_check.h"
#include "ui/win32/interaction.h"
#include "ui/win32/worker.h"

namespace {

constexpr char kManualAddress[] = "https://vellora.example/manual";

std::unique_ptr<netdown::CNetDownLoader> reduced_downloader(ui::Interaction& interaction,
                                                            platform::Clock& clock) {
    return std::make_unique<netdown::CNetDownLoader>(netdown::CNetDownLoader::ReducedCopyOptions(
        [&interaction](const std::string& text) { interaction.message_box(text, "", ui::mb::ok); },
        [&clock](std::chrono::milliseconds pause) { clock.sleep(pause); }));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The banner player and the folder picker are COM objects.
    const bool ole = SUCCEEDED(OleInitialize(nullptr));

    platform::SystemClock clock;
    const auto program_folder = platform::program_folder();
    auto profile = platform::open_user_profile("Vellora");

    ui::Interaction* interaction_for_about = nullptr;
    vellora::WindowSetup setup{instance, program_folder, nullptr};
    ui::win32::WindowsInteraction windows(
        instance, [&](int id, ui::DialogPresenter& presenter, ui::win32::HostOptions& options) {
            setup.interaction = interaction_for_about;
            vellora::configure_window(setup, id, presenter, options);
        });
    shell::PasswordDialogInteraction interaction(windows);
    interaction_for_about = &interaction;
    ui::win32::WindowThread window_thread;

    shell::ApplicationPorts ports{shell::MainWindowPorts{interaction,
                                                         clock,
                                                         program_folder,
                                                         profile.get(),
                                                         [](const std::filesystem::path& movie) {
                                                             vellora::load_banner(movie);
                                                         },
                                                         kManualAddress,
                                                         {},
                                                         {}},
                                  {},
                                  {},
                                  {}};
    ports.main_window.run_long = [&](const std::function<void(ui::Interaction&)>& job) {
        ui::win32::run_on_worker(window_thread, interaction, job);
    };
    ports.update_check = [&] {
        auto downloader = reduced_downloader(interaction, clock);
        return shell::CheckForUpdate(*downloader, clock, interaction);
    };
    ports.banner_refresh = [&] {
        auto downloader = reduced_downloader(interaction, clock);
        shell::RefreshBanners(*downloader, clock, interaction);
    };
    ports.start_process = [](std::string_view command, const std::filesystem::path& folder) {
        return platform::start_process(command, folder);
    };
    shell::run_application(ports);
    if (ole) OleUninitialize();
    return 0;
}
