// VLRUpdate as a console program: the same run and log files as the window
// build; the status lines go to the terminal.
//   vlrupdate [configuration file]   (default .\VLR.ini)
// Exit status (updater::RunResult, the first failure of the run): 0 updated
// or nothing to do, 1 no configuration, 2 no connection or version list,
// 3 refused (signature, serial, SHA-512 or an unsafe local path), 4 a module
// not downloaded or registered, 5 nothing started or a start failed.
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "updater/kst_mgr.h"

namespace {

// Prints what the window would show. The worker posts; the main thread prints.
class ConsoleDisplay final : public updater::RunDisplay {
  public:
    void SetText(int control, const std::string& text) override {
        if (control == updater::kCountText) {
            Post([this, text] { ShowCount(text); });
        } else if (control == updater::kStatusText || control == updater::kFileText) {
            Post([this, text] { Line(text); });
        }
    }
    void SetProgress(int control, int, int position) override {
        if (control == updater::kFileBar) Post([this, position] { percent_ = position; });
    }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        Post([this, text, caption] {
            EndCount();
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        });
    }

    void Finish() {
        Post([this] { done_ = true; });
    }

    // Runs the posted printing until the run has finished.
    void Loop() {
        while (true) {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return !queue_.empty(); });
            auto f = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            f();
            if (done_) break;
        }
        EndCount();
    }

  private:
    void Post(std::function<void()> f) {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(f));
        ready_.notify_one();
    }
    void Line(const std::string& text) {
        EndCount();
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    void ShowCount(const std::string& count) {
        // On a terminal the count line is rewritten in place; in a pipe only
        // the finished count is written.
        const bool finished = percent_ >= 100;
        if (tty_) {
            std::printf("\r%s %3d%%", count.c_str(), percent_);
            counting_ = true;
            if (finished) EndCount();
        } else if (finished) {
            std::printf("%s %3d%%\n", count.c_str(), percent_);
        }
        std::fflush(stdout);
    }
    void EndCount() {
        if (counting_) std::printf("\n");
        counting_ = false;
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
    bool done_ = false;
    bool tty_ = isatty(1) != 0;
    bool counting_ = false;
    int percent_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string config_path = argc > 1 ? argv[1] : "";
    platform::SystemClock clock;
    netdown::DownloaderOptions options;
    options.pause = [&clock](std::chrono::milliseconds d) { clock.sleep(d); };
    ConsoleDisplay display;
    updater::RunResult result = updater::RunResult::ok;
    {
        updater::CKSTMgr manager(std::make_unique<netdown::CNetDownLoader>(options), clock);
        std::thread worker([&] {
            manager.AttachDisplay(&display);
            result = manager.Run(config_path);
            manager.AttachDisplay(nullptr);
            display.Finish();
        });
        display.Loop();
        worker.join();
    }
    return static_cast<int>(result);
}
