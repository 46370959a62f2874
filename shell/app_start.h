// What Vellora does from its start to its end: the update check, then either
// the updater started in its place or the banner refresh and the start and
// main windows, which replace each other until one of them is closed.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "shell/main_window.h"
#include "shell/update_check.h"

namespace shell {

struct ApplicationPorts {
    // The main window's ports; the interaction also runs the start window.
    MainWindowPorts main_window;
    // True when the server holds a newer main program (check_for_update).
    std::function<bool()> update_check;
    // refresh_banners, run only when no update is due.
    std::function<void()> banner_refresh;
    // Starts a program from a command line in a working folder without
    // waiting (platform::start_process); false when it could not be started.
    std::function<bool(std::string_view command_line, const std::filesystem::path& folder)>
        start_process;
};

enum class ApplicationEnd {
    updater_started,  // no window was shown
    windows_closed,   // the start or the main window was closed
};

ApplicationEnd run_application(ApplicationPorts& ports);

}  // namespace shell
