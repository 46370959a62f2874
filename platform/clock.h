// Time as the program sees it: wall clock, local calendar time and waits.
// Every deliberate pause goes through a Clock so tests run them instantly.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Local calendar time; month 1..12, day 1..31.
struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    virtual LocalTime local_time() const = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
    // Seconds since 1970-01-01 UTC (what time(nullptr) gives).
    std::int64_t seconds_since_epoch() const {
        return std::chrono::duration_cast<std::chrono::seconds>(now().time_since_epoch()).count();
    }
};

// The operating system's clock; sleep really waits.
class SystemClock final : public Clock {
  public:
    TimePoint now() const override;
    LocalTime local_time() const override;
    void sleep(std::chrono::milliseconds duration) override;
};

// A clock that only moves when told to; sleep advances it at once and adds
// up the time slept, so tests can check the waits without spending them.
class ManualClock final : public Clock {
  public:
    explicit ManualClock(TimePoint start = TimePoint{}, LocalTime local = {})
        : now_(start), local_(local) {}
    TimePoint now() const override { return now_; }
    LocalTime local_time() const override { return local_; }
    void sleep(std::chrono::milliseconds duration) override {
        now_ += duration;
        slept_ += duration;
    }
    void set_now(TimePoint t) { now_ = t; }
    void set_local_time(LocalTime t) { local_ = t; }
    void advance(std::chrono::milliseconds d) { now_ += d; }
    std::chrono::milliseconds total_slept() const { return slept_; }

  private:
    TimePoint now_;
    LocalTime local_;
    std::chrono::milliseconds slept_{0};
};

}  // namespace platform
