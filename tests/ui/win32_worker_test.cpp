// Long runs on a worker thread: every Interaction call of the run happens on
// the window thread, answers and failures travel back, pump() on the worker
// does nothing, and a quit request met during the run is kept.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "ui/win32/worker.h"

namespace {

class RecordingInteraction final : public ui::Interaction {
  public:
    std::vector<DWORD> threads;
    int pumps = 0;
    bool fail_boxes = false;

    ui::Answer message_box(std::string_view, std::string_view, unsigned) override {
        seen();
        if (fail_boxes) throw std::runtime_error("no box");
        return ui::Answer::yes;
    }
    std::vector<std::filesystem::path> open_files(const ui::FileDialogOptions&) override {
        seen();
        return {"a", "b"};
    }
    std::optional<std::filesystem::path> save_file(const ui::FileDialogOptions&) override {
        seen();
        return std::filesystem::path("c");
    }
    std::optional<std::filesystem::path> choose_folder(std::string_view) override {
        seen();
        return std::nullopt;
    }
    std::optional<platform::SecretBytes> enter_password() override {
        seen();
        std::string typed = "secret1";
        return platform::SecretBytes::take(typed);
    }
    std::optional<platform::SecretBytes> new_password() override {
        seen();
        return std::nullopt;
    }
    void shell_open(const std::filesystem::path&) override { seen(); }
    void set_status(std::string_view) override { seen(); }
    void progress(int, int) override { seen(); }
    void pump() override { ++pumps; }
    int run_modal(int, ui::DialogPresenter&) override {
        seen();
        return 7;
    }
    std::unique_ptr<ui::DialogView> open_modeless(int, ui::DialogPresenter&) override {
        seen();
        return nullptr;
    }

  private:
    void seen() { threads.push_back(GetCurrentThreadId()); }
};

TEST(WorkerRun, EveryCallRunsOnTheWindowThreadAndItsAnswerComesBack) {
    ui::win32::WindowThread window_thread;
    if (!window_thread.ready()) GTEST_SKIP() << "no window station";
    RecordingInteraction inner;
    const DWORD window_id = GetCurrentThreadId();
    DWORD worker_id = 0;
    ui::Answer answer = ui::Answer::cancel;
    std::optional<platform::SecretBytes> password;
    std::vector<std::filesystem::path> files;
    int modal = 0;
    ui::win32::run_on_worker(window_thread, inner, [&](ui::Interaction& ui) {
        worker_id = GetCurrentThreadId();
        answer = ui.message_box("text", "caption", ui::mb::yes_no);
        password = ui.enter_password();
        files = ui.open_files({});
        ui.set_status("status");
        ui.progress(1, 2);
        ui.pump();
        struct Nothing final : ui::DialogPresenter {
            void on_init(ui::DialogView&) override {}
            void on_command(ui::ControlId, ui::Event) override {}
        } presenter;
        modal = ui.run_modal(1, presenter);
        EXPECT_EQ(ui.open_modeless(2, presenter), nullptr);
    });
    EXPECT_NE(worker_id, 0u);
    EXPECT_NE(worker_id, window_id);
    EXPECT_EQ(answer, ui::Answer::yes);
    ASSERT_TRUE(password.has_value());
    EXPECT_EQ(std::string(password->span().begin(), password->span().end()), "secret1");
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(modal, 7);
    ASSERT_EQ(inner.threads.size(), 7u);
    for (DWORD id : inner.threads) EXPECT_EQ(id, window_id);
    // The window thread dispatches by itself while the run goes on.
    EXPECT_EQ(inner.pumps, 0);
}

TEST(WorkerRun, FailuresTravelBackToWhoeverWaits) {
    ui::win32::WindowThread window_thread;
    RecordingInteraction inner;
    inner.fail_boxes = true;
    bool worker_saw_failure = false;
    ui::win32::run_on_worker(window_thread, inner, [&](ui::Interaction& ui) {
        try {
            ui.message_box("text", "", ui::mb::ok);
        } catch (const std::runtime_error&) {
            worker_saw_failure = true;
        }
    });
    EXPECT_TRUE(worker_saw_failure);
    EXPECT_THROW(ui::win32::run_on_worker(window_thread, inner,
                                          [](ui::Interaction&) { throw std::logic_error("run"); }),
                 std::logic_error);
}

TEST(WorkerRun, AQuitRequestDuringTheRunIsKeptForTheOuterLoop) {
    ui::win32::WindowThread window_thread;
    RecordingInteraction inner;
    const DWORD window_id = GetCurrentThreadId();
    bool finished = false;
    ui::win32::run_on_worker(window_thread, inner, [&](ui::Interaction& ui) {
        PostThreadMessageW(window_id, WM_QUIT, 3, 0);
        ui.set_status("still running");  // the window thread answers after the quit
        finished = true;
    });
    EXPECT_TRUE(finished);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
