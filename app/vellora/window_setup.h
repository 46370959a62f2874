// How each of Vellora's windows is wired to the Win32 host: key rules,
// drops, page feedback, look, list columns and the banner area.
#pragma once

#include <windows.h>

#include <filesystem>

#include "ui/ports.h"
#include "ui/win32/dialog_host.h"

namespace vellora {

struct WindowSetup {
    HINSTANCE instance;
    std::filesystem::path program_folder;
    ui::Interaction* interaction;  // runs the about box
};

void configure_window(const WindowSetup& setup, int template_id, ui::DialogPresenter& presenter,
                      ui::win32::HostOptions& options);

// Pixels at 96 dpi scaled to the window's dpi.
int scaled(HWND window, int pixels);

// Shows the banner movie in the main window (child 999): the Flash player
// when it is registered, else a quiet panel of our own.
void load_banner(const std::filesystem::path& movie);
// Lets go of the player before the program ends.
void close_banner();

}  // namespace vellora
