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
        MainWindowPorts{ui_, clock_, folder_.path(), nullptr, {}, "", folder_.path(), {}}, {}, {}, {}};
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
            w.set_origin({300, 200});
            w.click(main_ids::kHome);
        });
    }
    ui_.answer_modal(start_ids::kTemplate, [](ScriptedView& w) { w.press_close(); });

    EXPECT_EQ(run(), ApplicationEnd::windows_closed);
    EXPECT_EQ(steps_, (std::vector<std::string>{"update check", "banner refresh"}));
    EXPECT_EQ(ui_.unused_steps(), 0u);
    ASSERT_EQ(ui_.windows().size(), 7u);
    // The start window comes back where the main window stood.
    EXPECT_FALSE(ui_.windows()[0].moved_to().has_value());
    ASSERT_TRUE(ui_.windows()[2].moved_to().has_value());
    EXPECT_EQ(ui_.windows()[2].moved_to()->x, 300);
    // The start window prepares the folders beside the program too.
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Log"));
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Key"));
}

TEST_F(ApplicationStart, ClosingTheMainWindowEndsTheProgram) {
    ui_.answer_modal(start_ids::kTemplate, [](ScriptedView& w) { w.click(start_ids::kEncrypt); });
    ui_.answer_modal(main_ids::kTemplate, [](ScriptedView& w) { w.press_close(); });
    EXPECT_EQ(run(), ApplicationEnd::windows_closed);
    EXPECT_EQ(ui_.windows().size(), 2u);
}

}  // namespace
