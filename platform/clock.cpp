#include "platform/clock.h"

#include <ctime>
#include <thread>

namespace platform {

Clock::TimePoint SystemClock::now() const {
    return std::chrono::system_clock::now();
}

LocalTime SystemClock::local_time() const {
    std::time_t t = std::chrono::system_clock::to_time_t(now());
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void SystemClock::sleep(std::chrono::milliseconds duration) {
    if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

}  // namespace platform
