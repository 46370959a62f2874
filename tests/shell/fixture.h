// Small helpers shared by the shell tests: a real temporary folder and a
// clock whose waits run a callback (to look at the disk between steps).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/clock.h"
#include "tests/support/temp_folder.h"

namespace shell_test {

namespace fs = std::filesystem;

using test_support::read_file;
using test_support::TempFolder;
using test_support::write_file;

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
