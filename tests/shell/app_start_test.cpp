// From the program's start to its end: the update check decides between the
// updater and the windows; the start and main windows replace each other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/app_start.h"
#include "shell/start_window.h"
#include "tests/shell/fixture.h"
#include "ui/scripted/scripted.h"

namespace {

using namespace shell;
using ui::ScriptedView;
namespace fs = std::filesystem;

class ApplicationStart : public ::testing::Test {
  protected:
    ApplicationStart() {
        ports_.update_check = [this] {
            steps_.push_back("update check");
            return newer_;
        };
        ports_.banner_refresh = [this] { steps_.push_back("banner refresh"); };
        ports_.start_process = [this](std::string_view command, const fs::path& folder) {
            steps_.push_back("start " + std::string(command) + " in " + folder.string());
            return updater_starts_;
        };
    }

    ApplicationEnd run() { return run_application(ports_); }

    shell_test::TempFolder folder_;
    ui::ScriptedInteraction ui_;
    platform::ManualClock clock_;
    ApplicationPorts ports_{
        MainWindowPorts{ui_, clock_, folder_.path(), nullptr, {}, "", folder_.path(), {}},
        {},
        {},
        {}};
    std::vector<std::string> steps_;
    bool newer_ = false;
    bool updater_starts_ = true;
};

TEST_F(ApplicationStart, NewerProgramStartsTheUpdaterAndShowsNoWindow) {
    newer_ = true;
    EXPECT_EQ(run(), ApplicationEnd::updater_started);
    EXPECT_EQ(steps_, (std::vector<std::string>{"update check",
                                                "start .\\Update\\VLRUpdate.exe in .\\Update\\"}));
    EXPECT_TRUE(ui_.windows().empty());
    EXPECT_TRUE(ui_.boxes().empty());
}

TEST_F(ApplicationStart, UpdaterThatCannotStartLeavesTheProgramUsable) {
    newer_ = true;
    updater_starts_ = false;
    ui_.answer_modal(start_ids::kTemplate, [](ScriptedView& v) { v.press_close(); });
    EXPECT_EQ(run(), ApplicationEnd::windows_closed);
    EXPECT_EQ(steps_, (std::vector<std::string>{"update check",
                                                "start .\\Update\\VLRUpdate.exe in .\\Update\\",
                                                "banner refresh"}));
    ASSERT_EQ(ui_.windows().size(), 1u);
    EXPECT_EQ(ui_.windows()[0].template_id(), start_ids::kTemplate);
}

TEST_F(ApplicationStart, StartAndMainWindowsReplaceEachOther) {
    struct Visit {
        ui::ControlId start_button;
        Page page;
    } visits[] = {{start_ids::kDecrypt, Page::decrypt},
                  {start_ids::kSharing, Page::sharing},
                  {start_ids::kEncrypt, Page::encrypt}};
    for (const Visit& v : visits) {
        ui_.answer_modal(start_ids::kTemplate, [v](ScriptedView& w) {
            EXPECT_EQ(w.title(), "Vellora 벨로라");
            w.click(v.start_button);
        });
        ui_.answer_modal(main_ids::kTemplate, [v](ScriptedView& w) {
            // The page of the button pressed is the one shown.
            EXPECT_TRUE(w.control(page_controls(v.page).front()).visible);
            for (Page other : {Page::encrypt, Page::decrypt, Page::sharing}) {
                if (other != v.page) {
                    EXPECT_FALSE(w.control(page_controls(other).front()).visible);
                }
            }
            w.click(main_ids::kHome);
        });
    }
    ui_.answer_modal(start_ids::kTemplate, [](ScriptedView& w) { w.press_close(); });

    EXPECT_EQ(run(), ApplicationEnd::windows_closed);
    EXPECT_EQ(steps_, (std::vector<std::string>{"update check", "banner refresh"}));
    EXPECT_EQ(ui_.unused_steps(), 0u);
    ASSERT_EQ(ui_.windows().size(), 7u);
    // The start window prepares the folders beside the program too.
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Log"));
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Key"));
}

// Each window opens relative to the button that led to it (screen pixels),
// and never with its corner off the screen.
TEST_F(ApplicationStart, WindowsOpenBesideTheButtonThatLedThere) {
    struct Case {
        const char* name;
        ui::ControlId start_button;  // the one pressed
        ui::Point first_button;      // start button 1000 on the screen
        ui::Point home_button;       // the main window's home button
        ui::Point main_corner;       // where the main window opens
        ui::Point start_corner;      // where the start window opens again
    } cases[] = {
        {"middle", start_ids::kDecrypt, {216, 400}, {230, 300}, {216, 263}, {218, 201}},
        {"button 1000 itself", start_ids::kEncrypt, {40, 600}, {52, 700}, {40, 463}, {40, 601}},
        {"near the top", start_ids::kSharing, {16, 100}, {5, 40}, {16, 0}, {0, 0}},
        {"off the left and bottom",
         start_ids::kEncrypt,
         {-50, 1500},
         {2000, 1200},
         {0, 1079},
         {1919, 1079}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::ScriptedInteraction ui;
        ApplicationPorts ports{
            MainWindowPorts{ui, clock_, folder_.path(), nullptr, {}, "", folder_.path(), {}},
            {},
            {},
            {}};
        ui.answer_modal(start_ids::kTemplate, [&c](ScriptedView& w) {
            w.set_origin({c.first_button.x - 16, c.first_button.y - 46});
            w.place_control(start_ids::kEncrypt, c.first_button);
            w.place_control(start_ids::kDecrypt, {c.first_button.x + 223, c.first_button.y});
            w.place_control(start_ids::kSharing, {c.first_button.x + 446, c.first_button.y});
            w.click(c.start_button);
        });
        ui.answer_modal(main_ids::kTemplate, [&c](ScriptedView& w) {
            w.place_control(main_ids::kHome, c.home_button);
            w.click(main_ids::kHome);
        });
        ui.answer_modal(start_ids::kTemplate, [](ScriptedView& w) { w.press_close(); });
        EXPECT_EQ(run_application(ports), ApplicationEnd::windows_closed);
        ASSERT_EQ(ui.windows().size(), 3u);
        EXPECT_FALSE(ui.windows()[0].moved_to().has_value());  // the first start stays put
        ASSERT_TRUE(ui.windows()[1].moved_to().has_value());
        EXPECT_EQ(ui.windows()[1].moved_to()->x, c.main_corner.x);
        EXPECT_EQ(ui.windows()[1].moved_to()->y, c.main_corner.y);
        ASSERT_TRUE(ui.windows()[2].moved_to().has_value());
        EXPECT_EQ(ui.windows()[2].moved_to()->x, c.start_corner.x);
        EXPECT_EQ(ui.windows()[2].moved_to()->y, c.start_corner.y);
    }
}

TEST_F(ApplicationStart, ClosingTheMainWindowEndsTheProgram) {
    ui_.answer_modal(start_ids::kTemplate, [](ScriptedView& w) { w.click(start_ids::kEncrypt); });
    ui_.answer_modal(main_ids::kTemplate, [](ScriptedView& w) { w.press_close(); });
    EXPECT_EQ(run(), ApplicationEnd::windows_closed);
    EXPECT_EQ(ui_.windows().size(), 2u);
}

}  // namespace
