// The updater window (template 102): a status line, the step bar, the file
// bar and its two texts. The run goes on a worker thread; only the interface
// thread touches the view, so the worker's calls arrive as posted closures.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ui/ports.h"
#include "updater/kst_mgr.h"
#include "updater/run_display.h"

namespace updater {

inline constexpr int kUpdateWindowTemplate = 102;

class UpdatePresenter final : public ui::DialogPresenter, public RunDisplay {
  public:
    // Hands a closure to the interface thread; callable from any thread.
    using Post = std::function<void(std::function<void()>)>;

    UpdatePresenter(CKSTMgr& manager, std::string config_path, std::string caption, Post post,
                    ui::Interaction& interaction);
    ~UpdatePresenter() override;  // waits for a run still going

    void on_init(ui::DialogView& view) override;
    void on_command(ui::ControlId, ui::Event) override {}  // Enter and Escape do nothing
    void on_close() override;

    // RunDisplay, called by the manager on the worker thread.
    void SetText(int control, const std::string& text) override;
    void SetProgress(int control, int upper, int position) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;

    // Starts the run (the handler of the window's start message).
    void Start();
    void Wait();

  private:
    void OnUi(std::function<void(ui::DialogView&)> action);

    CKSTMgr& manager_;
    std::string config_path_;
    std::string caption_;
    Post post_;
    ui::Interaction& interaction_;
    ui::DialogView* view_ = nullptr;  // interface thread only
    std::thread worker_;
};

}  // namespace updater
