#include "package/interaction_ui.h"

#include "package/codepage.h"

namespace package {

namespace {
constexpr int kProgressSteps = 1000;
}

void InteractionUi::message(const std::string& text, const std::string& caption) {
    ui_.message_box(text, caption,
                    caption.empty() ? ui::mb::ok : ui::mb::ok | ui::mb::icon_warning);
}

std::optional<std::filesystem::path> InteractionUi::save_as(const std::filesystem::path& proposed,
                                                            const std::string& filter) {
    ui::FileDialogOptions options;
    options.filter = filter;
    options.default_extension = proposed.extension() == ".vlr" ? "vlr" : "";
    options.initial_name = path_text(proposed.filename());
    options.initial_folder = proposed.parent_path();
    return ui_.save_file(options);
}

void InteractionUi::progress(std::uint64_t position, std::uint64_t range) {
    // The bar moves in a thousand steps, whatever the byte counts.
    const int step = range == 0 ? 0 : static_cast<int>(position * kProgressSteps / range);
    if (step == last_step_ && range != 0) return;
    last_step_ = step;
    ui_.progress(range == 0 ? 0 : step, range == 0 ? 0 : kProgressSteps);
    ui_.pump();
}

}  // namespace package
