#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

#include "platform/clock.h"
#include "platform/profile.h"

namespace {

using namespace std::chrono_literals;

TEST(ManualClock, SleepsAdvanceTimeWithoutWaiting) {
    platform::ManualClock clock(platform::Clock::TimePoint(std::chrono::seconds(1000)));
    clock.sleep(500ms);
    clock.sleep(1000ms);
    EXPECT_EQ(clock.total_slept(), 1500ms);
    EXPECT_EQ(clock.seconds_since_epoch(), 1001);
    clock.advance(2s);  // moving the clock is not sleeping
    EXPECT_EQ(clock.seconds_since_epoch(), 1003);
    EXPECT_EQ(clock.total_slept(), 1500ms);
}

TEST(SystemClock, LocalTimeAgreesWithTheCLibrary) {
    platform::SystemClock clock;
    std::time_t before = std::time(nullptr);
    platform::LocalTime t = clock.local_time();
    std::tm expected{};
#ifdef _WIN32
    localtime_s(&expected, &before);
#else
    localtime_r(&before, &expected);
#endif
    EXPECT_EQ(t.year, expected.tm_year + 1900);
    EXPECT_EQ(t.month, expected.tm_mon + 1);
    EXPECT_EQ(t.day, expected.tm_mday);
    EXPECT_LE(std::abs(clock.seconds_since_epoch() - static_cast<long long>(before)), 2);
}

TEST(Profile, KeepsValuesAcrossOpenings) {
    std::random_device rd;
    std::string app = "VelloraProfileTest" + std::to_string(rd());
#ifndef _WIN32
    auto dir = std::filesystem::temp_directory_path() / app;
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
#endif
    {
        auto profile = platform::open_user_profile(app);
        EXPECT_EQ(profile->get_int("Settings", "X", -1), -1);
        EXPECT_TRUE(profile->set_int("Settings", "X", 120));
        EXPECT_TRUE(profile->set_int("Settings", "Y", -40));
    }
    auto again = platform::open_user_profile(app);
    EXPECT_EQ(again->get_int("Settings", "X", -1), 120);
    EXPECT_EQ(again->get_int("Settings", "Y", -1), -40);
    EXPECT_EQ(again->get_int("Other", "X", 7), 7);
#ifndef _WIN32
    std::filesystem::remove_all(dir);
#endif
}

TEST(Profile, MemoryProfileForTests) {
    platform::MemoryProfile p;
    EXPECT_EQ(p.get_int("Settings", "X", -1), -1);
    p.set_int("Settings", "X", 5);
    EXPECT_EQ(p.get_int("Settings", "X", -1), 5);
    EXPECT_EQ(p.get_int("Settings", "Y", -1), -1);
}

}  // namespace
