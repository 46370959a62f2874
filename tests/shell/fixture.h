// Small helpers shared by the shell tests: a real temporary folder and a
// clock whose waits run a callback (to look at the disk between steps).
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"

namespace shell_test {

namespace fs = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("vellora-shell-" + std::to_string(rd()));
        fs::create_directories(root_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    const fs::path& path() const { return root_; }

  private:
    fs::path root_;
};

inline void write_file(const fs::path& p, const std::string& contents) {
    std::FILE* f = platform::open_file(p, "wb").release();
    if (f == nullptr) return;
    std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
}

inline std::string read_file(const fs::path& p) {
    std::string out;
    std::FILE* f = platform::open_file(p, "rb").release();
    if (f == nullptr) return out;
    char buffer[8192];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
    return out;
}

// A manual clock that calls `on_sleep` with every wait before advancing.
class ObservingClock final : public platform::Clock {
  public:
    TimePoint now() const override { return clock_.now(); }
    platform::LocalTime local_time() const override { return clock_.local_time(); }
    void sleep(std::chrono::milliseconds d) override {
        if (on_sleep) on_sleep(d);
        clock_.sleep(d);
    }
    std::chrono::milliseconds total_slept() const { return clock_.total_slept(); }
    std::function<void(std::chrono::milliseconds)> on_sleep;

  private:
    platform::ManualClock clock_{TimePoint(std::chrono::seconds(1700000000))};
};

}  // namespace shell_test
