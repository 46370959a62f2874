// The updater window: the run on its worker, the view touched only from the
// thread that drains the posted closures.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "tests/netdown/test_files.h"
#include "ui/scripted/scripted.h"
#include "updater/update_presenter.h"

namespace {

namespace fs = std::filesystem;

// The interface thread's queue: the test thread drains it.
class UiQueue {
  public:
    void Post(std::function<void()> f) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(f));
        ready_.notify_one();
    }
    // Runs closures on the calling thread until `done` holds.
    template <class Done>
    void RunUntil(Done done) {
        while (!done()) {
            std::unique_lock lock(mutex_);
            if (!ready_.wait_for(lock, std::chrono::seconds(20), [&] { return !queue_.empty(); }))
                return;
            auto f = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            f();
            ++ran;
        }
    }
    int ran = 0;

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
};

TEST(UpdatePresenter, EnterAndEscapeKeepItOpenAndARunWithoutConfigurationCloses) {
    testing_support::TempFolder folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    {
        platform::ManualClock clock;
        netdown::DownloaderOptions options;
        updater::CKSTMgr manager(std::make_unique<netdown::CNetDownLoader>(options), clock);
        UiQueue ui_queue;
        ui::ScriptedInteraction interaction;
        updater::UpdatePresenter presenter(
            manager, "", "Vellora ", [&](std::function<void()> f) { ui_queue.Post(std::move(f)); },
            interaction);
        ui::ScriptedView view(updater::kUpdateWindowTemplate);
        view.attach(&presenter);
        presenter.on_init(view);
        EXPECT_EQ(view.text(updater::kStatusText), "업데이트 버전 검사 중.....");
        EXPECT_EQ(view.text(updater::kFileText), "Downloading... ");
        EXPECT_EQ(view.text(updater::kCountText), "0/0");
        EXPECT_EQ(view.title(), "Vellora ");
        // Enter (IDOK) and Escape (IDCANCEL) reach the presenter as commands
        // before the run has started: neither closes the window or changes it.
        presenter.on_command(1, ui::Event::clicked);
        presenter.on_command(2, ui::Event::clicked);
        EXPECT_FALSE(view.closed());
        EXPECT_EQ(view.text(updater::kStatusText), "업데이트 버전 검사 중.....");
        EXPECT_EQ(ui_queue.ran, 0);

        ui_queue.RunUntil([&] { return view.closed(); });
        presenter.Wait();
        ASSERT_TRUE(view.closed());
        EXPECT_EQ(view.text(updater::kStatusText), updater::StepText(7));
        const auto& bar = view.control(updater::kStepBar);
        EXPECT_EQ(bar.upper, 8);
        EXPECT_EQ(bar.positions, (std::vector<int>{1, 7}));
        ASSERT_EQ(interaction.boxes().size(), 1u);
        EXPECT_EQ(interaction.boxes()[0].text, "ERROR, 실행할 모듈도  기본 실행 파일도 없습니다");
    }
    fs::current_path(before);
}

}  // namespace
