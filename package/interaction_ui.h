// The runs' UI port over the program's ui::Interaction (main window or
// terminal).
#pragma once

#include "package/run_ui.h"
#include "ui/ports.h"

namespace package {

class InteractionUi final : public RunUi {
  public:
    explicit InteractionUi(ui::Interaction& interaction) : ui_(interaction) {}

    void message(const std::string& text, const std::string& caption) override;
    std::optional<platform::SecretBytes> new_password() override { return ui_.new_password(); }
    std::optional<platform::SecretBytes> password() override { return ui_.enter_password(); }
    std::optional<std::filesystem::path> save_as(const std::filesystem::path& proposed,
                                                 const std::string& filter) override;
    void shell_open(const std::filesystem::path& path) override { ui_.shell_open(path); }
    void status(const std::string& text) override { ui_.set_status(text); }
    void progress(std::uint64_t position, std::uint64_t range) override;

  private:
    ui::Interaction& ui_;
    int last_step_ = -1;
};

}  // namespace package
