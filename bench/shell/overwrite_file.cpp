// Overwrites one file with OverwriteFile (no progress window, waits skipped)
// and prints the seconds the overwrite took. Driven by overwrite_vs_dd.sh.
#include <chrono>
#include <cstdio>

#include "platform/clock.h"
#include "shell/secure_delete.h"
#include "ui/scripted/scripted.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    platform::ManualClock clock;  // the deliberate pauses are not work
    ui::ScriptedInteraction ui;
    shell::DeletionPorts ports{clock, ui, nullptr, {}};
    auto start = std::chrono::steady_clock::now();
    int result = shell::OverwriteFile(argv[1], false, ports);
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    for (const auto& box : ui.boxes()) std::fprintf(stderr, "%s\n", box.text.c_str());
    if (result != 1 || !ui.boxes().empty()) return 1;
    std::printf("%.3f\n", elapsed.count());
    return 0;
}
