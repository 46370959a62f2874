#include "shell/app_start.h"

#include <optional>

#include "shell/start_window.h"

namespace shell {

ApplicationEnd run_application(ApplicationPorts& ports) {
    if (ports.update_check && ports.update_check()) {
        // When the updater cannot be started the user still gets the
        // program as it is rather than nothing at all.
        if (ports.start_process && ports.start_process(kUpdaterCommandLine, kUpdaterFolder))
            return ApplicationEnd::updater_started;
    }
    if (ports.banner_refresh) ports.banner_refresh();

    ui::Interaction& interaction = ports.main_window.interaction;
    std::optional<ui::Point> place_start;
    for (;;) {
        StartWindow start(ports.main_window.program_folder, place_start);
        const auto page = page_for_start_result(interaction.run_modal(start_ids::kTemplate, start));
        if (!page) return ApplicationEnd::windows_closed;
        MainWindow main(ports.main_window, *page, start.main_corner());
        if (interaction.run_modal(main_ids::kTemplate, main) != kResultHome)
            return ApplicationEnd::windows_closed;
        place_start = main.start_corner();
    }
}

}  // namespace shell
