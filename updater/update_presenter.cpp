#include "updater/update_presenter.h"

namespace updater {

UpdatePresenter::UpdatePresenter(CKSTMgr& manager, std::string config_path, std::string caption,
                                 Post post, ui::Interaction& interaction)
    : manager_(manager),
      config_path_(std::move(config_path)),
      caption_(std::move(caption)),
      post_(std::move(post)),
      interaction_(interaction) {}

UpdatePresenter::~UpdatePresenter() {
    Wait();
}

void UpdatePresenter::Wait() {
    if (worker_.joinable()) worker_.join();
}

void UpdatePresenter::on_init(ui::DialogView& view) {
    view_ = &view;
    view.set_title(caption_);
    view.set_text(kStatusText, "업데이트 버전 검사 중.....");
    view.set_text(kFileText, "Downloading... ");
    view.set_text(kCountText, "0/0");
    // The run starts once the window is up, as its own posted message.
    post_([this] { Start(); });
}

void UpdatePresenter::on_close() {
    // The window goes; a run still going finishes its current step list
    // without it, so no module is left half-replaced.
    view_ = nullptr;
}

void UpdatePresenter::Start() {
    if (worker_.joinable()) return;
    worker_ = std::thread([this] {
        manager_.AttachDisplay(this);
        manager_.Run(config_path_);
        manager_.AttachDisplay(nullptr);
        OnUi([](ui::DialogView& view) { view.close(0); });
    });
}

void UpdatePresenter::OnUi(std::function<void(ui::DialogView&)> action) {
    post_([this, action = std::move(action)] {
        if (view_) action(*view_);
    });
}

void UpdatePresenter::SetText(int control, const std::string& text) {
    OnUi([control, text](ui::DialogView& view) { view.set_text(control, text); });
}

void UpdatePresenter::SetProgress(int control, int upper, int position) {
    OnUi([control, upper, position](ui::DialogView& view) {
        view.set_progress_range(control, 0, upper);
        view.set_progress_position(control, position);
    });
}

void UpdatePresenter::ShowMessage(const std::string& text, const std::string& caption) {
    post_([this, text, caption] {
        interaction_.message_box(text, caption, ui::mb::ok | ui::mb::icon_error);
    });
}

}  // namespace updater
