#include "shell/progress_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/scripted/scripted.h"

namespace {

using shell::ProgressWindow;
using namespace shell::progress_ids;

TEST(ProgressCaption, RewrittenOnlyWhenThePercentChanges) {
    struct Case {
        int lower, upper;
        std::vector<int> positions;
        std::vector<std::string> captions;  // after the initial title
    };
    const Case cases[] = {
        {0, 100, {0, 1, 1, 2}, {"T [0%]", "T [1%]", "T [2%]"}},
        {0, 150, {150, 75}, {"T [100%]", "T [50%]"}},
        {0, 150, {1, 2}, {"T [0%]", "T [1%]"}},
        {5, 5, {3, 9}, {"T [0%]"}},  // empty range: always 0
    };
    for (const auto& c : cases) {
        ui::ScriptedInteraction ui;
        {
            ProgressWindow window("T", ui, nullptr);
            ASSERT_TRUE(window.create());
            window.set_range(c.lower, c.upper);
            for (int p : c.positions) window.set_position(p);
        }
        const auto& view = ui.windows().back();
        std::vector<std::string> titles(view.titles().begin() + 1, view.titles().end());
        EXPECT_EQ(view.titles().front(), "T");
        EXPECT_EQ(titles, c.captions);
        EXPECT_EQ(view.control(kBar).positions, c.positions);  // the bar follows every call
        EXPECT_TRUE(view.destroyed());
    }
}

TEST(ProgressCaption, PercentUsesSixtyFourBits) {
    EXPECT_EQ(shell::progress_percent(2000000000LL, 0, 2000000000), 100);
    EXPECT_EQ(shell::progress_percent(150, 0, 150), 100);
    EXPECT_EQ(shell::progress_percent(75, 0, 150), 50);
    EXPECT_EQ(shell::progress_caption("파일 영구 삭제", 42), "파일 영구 삭제 [42%]");
}

TEST(ProgressPlacement, SavedCornerOnScreenOrCentred) {
    struct Case {
        int x, y;
        bool placed;
    };
    const Case cases[] = {{100, 200, true}, {0, 0, true},       {1919, 1079, true},
                          {-1, -1, false},  {1920, 10, false},  {10, 1080, false},
                          {-5, 10, false},  {5000, 5000, false}};
    for (const auto& c : cases) {
        platform::MemoryProfile profile;
        profile.set_int("Settings", "X", c.x);
        profile.set_int("Settings", "Y", c.y);
        ui::ScriptedInteraction ui;
        ProgressWindow window("P", ui, &profile);
        ASSERT_TRUE(window.create());
        auto& view = ui.windows().back();
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(view.centre_count(), c.placed ? 0 : 1);
        EXPECT_EQ(view.moved_to().has_value(), c.placed);
        if (c.placed) {
            EXPECT_EQ(view.moved_to()->x, c.x);
        }
        EXPECT_TRUE(view.window_visible());
    }
}

TEST(ProgressPlacement, NothingSavedMeansCentredAndDestroySavesTheCorner) {
    platform::MemoryProfile profile;
    ui::ScriptedInteraction ui;
    {
        ProgressWindow window("P", ui, &profile);
        ASSERT_TRUE(window.create());
        EXPECT_EQ(ui.windows().back().centre_count(), 1);
        ui.windows().back().set_origin({300, 400});  // the user dragged it
    }
    EXPECT_EQ(profile.get_int("Settings", "X", -1), 300);
    EXPECT_EQ(profile.get_int("Settings", "Y", -1), 400);

    ProgressWindow again("P", ui, &profile);
    ASSERT_TRUE(again.create());
    ASSERT_TRUE(ui.windows().back().moved_to().has_value());
    EXPECT_EQ(ui.windows().back().moved_to()->y, 400);
}

TEST(ProgressCancel, ButtonHidesAtOnceAndStopsThePump) {
    ui::ScriptedInteraction ui;
    ProgressWindow window("P", ui, nullptr);
    ASSERT_TRUE(window.create());
    auto& view = ui.windows().back();
    EXPECT_EQ(view.text(kCancel), " 취소 ");
    window.pump();
    EXPECT_EQ(ui.pump_count(), 1);
    view.click(kCancel);
    EXPECT_TRUE(window.cancelled());
    EXPECT_FALSE(view.window_visible());
    window.pump();
    EXPECT_EQ(ui.pump_count(), 1);  // returns at once
}

TEST(ProgressCancel, EscapeCancelsOnlyWhenAllowed) {
    ui::ScriptedInteraction ui;
    ProgressWindow window("P", ui, nullptr);
    ASSERT_TRUE(window.create());
    auto& view = ui.windows().back();
    window.pump(false);
    view.press_close();
    EXPECT_FALSE(window.cancelled());
    window.pump(true);
    view.press_close();
    EXPECT_TRUE(window.cancelled());
}

TEST(ProgressText, OneLineOnly) {
    ui::ScriptedInteraction ui;
    ProgressWindow window("P", ui, nullptr);
    ASSERT_TRUE(window.create());
    window.set_text("C:\\docs\\보고서.txt\nsecond line");
    EXPECT_EQ(ui.windows().back().text(kText), "C:\\docs\\보고서.txt");
}

TEST(ProgressWindowFailure, CallsAreHarmlessWithoutAWindow) {
    ui::ScriptedInteraction ui;
    ui.refuse_modeless(true);
    ProgressWindow window("P", ui, nullptr);
    EXPECT_FALSE(window.create());
    window.set_range(0, 150);
    window.set_position(10);
    window.pump();
    EXPECT_FALSE(window.cancelled());
    EXPECT_EQ(ui.pump_count(), 0);
}

}  // namespace
