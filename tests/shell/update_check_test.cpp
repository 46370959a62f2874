// Vellora's update check and banner movies against a real HTTP server on
// 127.0.0.1, in a program folder laid out like an installation.
#include <gtest/gtest.h>

#include <thread>

#include "netdown/local_path.h"
#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "shell/banner.h"
#include "shell/update_check.h"
#include "tests/netdown/loopback_server.h"
#include "tests/netdown/test_files.h"
#include "ui/scripted/scripted.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LoopbackServer;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

constexpr std::time_t kServerTime = 1700000000;

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_ = std::make_unique<LoopbackServer>("http", served_.path());
        ASSERT_GT(server_->port(), 0);
    }

    void Config(const std::string& file, int port, const std::string& extra = "") {
        WriteFile(install_ / file,
                  "[SERVER]\nRemote Address=127.0.0.1\nProtocol=http\n"
                  "Remote Port=" +
                      std::to_string(port) + "\n" + extra);
    }
    void Serve(const std::string& name, const std::string& data, std::time_t time = kServerTime) {
        WriteFile(served_ / name, data);
        netdown::SetLastWriteTime(served_ / name, time);
    }
    void Local(const std::string& name, const std::string& data, std::time_t time) {
        WriteFile(install_ / name, data);
        netdown::SetLastWriteTime(install_ / name, time);
    }

    // The main program's downloader: no log, its alerts shown as boxes.
    std::unique_ptr<netdown::CNetDownLoader> Downloader() {
        return std::make_unique<netdown::CNetDownLoader>(
            netdown::CNetDownLoader::ReducedCopyOptions(
                [this](const std::string& text) {
                    interaction_.message_box(text, "경고", ui::mb::ok);
                },
                [this](std::chrono::milliseconds d) { clock_.sleep(d); }));
    }

    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& b : interaction_.boxes()) texts.push_back(b.caption + ": " + b.text);
        return texts;
    }

    TempFolder install_, served_;
    std::unique_ptr<LoopbackServer> server_;
    platform::ManualClock clock_;
    ui::ScriptedInteraction interaction_;
};

TEST_F(StartupTest, UpdateCheckComparesTheMainProgramWithTheServerCopy) {
    struct Case {
        const char* what;
        bool served, dated;
        std::time_t local_time;  // 0: no local Vellora.exe
        bool update;
    } cases[] = {
        {"older local copy", true, true, kServerTime - 1, true},
        {"as new", true, true, kServerTime, false},
        {"newer local copy", true, true, kServerTime + 60, false},
        {"no local copy", true, true, 0, true},
        {"not on the server", false, true, kServerTime - 1, false},
        {"server gives no date", true, false, kServerTime - 1, false},
        {"no date and no local copy", true, false, 0, false},
    };
    Config("Update/VLR.ini", server_->port());
    for (const auto& c : cases) {
        fs::remove(served_ / "down/Vellora.exe");
        fs::remove(install_ / "Vellora.exe");
        fs::remove(served_ / ".nodate");
        if (c.served) Serve("down/Vellora.exe", "main");
        if (!c.dated) WriteFile(served_ / ".nodate", "");
        if (c.local_time) Local("Vellora.exe", "main", c.local_time);
        auto down = Downloader();
        EXPECT_EQ(shell::check_for_update(*down, clock_, interaction_, install_.path()), c.update)
            << c.what;
    }
    EXPECT_TRUE(interaction_.boxes().empty());
}

TEST_F(StartupTest, MissingConfigurationAndUnreachableServerShowTheirBoxes) {
    auto down = Downloader();
    EXPECT_FALSE(shell::check_for_update(*down, clock_, interaction_, install_.path()));
    int ended_port = 0;
    {
        TempFolder root;
        LoopbackServer ended("http", root.path());
        ended_port = ended.port();
    }
    Config("Update/VLR.ini", ended_port);
    EXPECT_FALSE(shell::check_for_update(*down, clock_, interaction_, install_.path()));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           std::string("경고: ") + shell::kConfigMissingText,
                           "경고: Error: InternetConnect",
                           "경고: ERROR: ConnectServer",
                       }));
}

TEST_F(StartupTest, BannerRefreshFetchesOnlyMissingOrOlderMovies) {
    Config("Banner/VLRBanner.ini", server_->port(),
           "Remote Version File=/down/banner_list.txt\n[LOCAL]\n"
           "Local Version File=.\\Banner\\banner_list.txt\n");
    Serve("down/banner_list.txt",
          "; movies\n"
          "a.swf|http://example.com/a\n"
          "b.swf | http://example.com/b\n"
          "c.swf|http://example.com/c\n"
          "..\\outside.swf|http://example.com/x\n"
          "only-name\n");
    Serve("down/a.swf", "server a");
    Serve("down/b.swf", "server b");
    Serve("down/c.swf", "server c");
    Serve("down/..outside.swf", "never");
    Local("Banner/b.swf", "local b", kServerTime - 10);
    Local("Banner/c.swf", "local c", kServerTime);
    auto down = Downloader();
    shell::refresh_banners(*down, clock_, interaction_, install_.path());
    EXPECT_EQ(ReadFile(install_ / "Banner/a.swf"), "server a");
    EXPECT_EQ(ReadFile(install_ / "Banner/b.swf"), "server b");
    EXPECT_EQ(ReadFile(install_ / "Banner/c.swf"), "local c");
    EXPECT_FALSE(fs::exists(install_ / "outside.swf"));
    EXPECT_TRUE(fs::exists(install_ / "Banner/banner_list.txt"));
    EXPECT_TRUE(interaction_.boxes().empty());
    EXPECT_EQ(clock_.total_slept(), std::chrono::milliseconds(600));
}

TEST_F(StartupTest, UpdaterStartsInTheUpdateFolder) {
    const fs::path updater = install_ / "Update" / "VLRUpdate.exe";
    WriteFile(updater, "#!/bin/sh\npwd > started.tmp && mv started.tmp started.txt\n");
    fs::permissions(updater, fs::perms::owner_all);
    ASSERT_TRUE(shell::launch_updater(install_.path()));
    const fs::path marker = install_ / "Update" / "started.txt";
    for (int i = 0; i < 100 && !fs::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(marker), fs::canonical(install_ / "Update").string() + "\n");
}

TEST(BannerList, WindowAndDownloadReadTheirNames) {
    const std::vector<std::string> lines = {
        "a.swf|http://x/a\n",
        " b.swf  |  http://x/b \n",
        "c.swf|\n",
        "d.swf\n",
        "|e.swf\n",
        "; f.swf|x\n",
        "g\n",
        "..\\h.swf|x\n",
        "i/j.swf|x\n",
        "C:k.swf|x\n",
        "l..swf|x\n",
    };
    EXPECT_EQ(shell::banner_names_for_window(lines),
              (std::vector<std::string>{"a.swf", "b.swf", "c.swf"}));
    // The refresh needs two fields: "c.swf|" has only one.
    EXPECT_EQ(shell::banner_names_for_download(lines),
              (std::vector<std::string>{"a.swf", "b.swf"}));
}

TEST(BannerChoice, PicksByRandOrFallsBackToTheDefaultMovie) {
    TempFolder program;
    const fs::path banner = program / "Banner";
    const fs::path fallback = banner / shell::kDefaultBannerMovie;
    struct Case {
        const char* list;  // nullptr: no list file
        std::vector<std::string> movies;
        std::string chosen;  // empty: the default movie
    } cases[] = {
        {nullptr, {}, ""},
        {"", {}, ""},
        {"; nothing\n\n", {}, ""},
        // The first rand() of an unseeded generator is 41: 41 % 3 picks the third.
        {"one.swf|l1\ntwo.swf|l2\nthree.swf|l3\n",
         {"one.swf", "two.swf", "three.swf"},
         "three.swf"},
        {"one.swf|l1\ntwo.swf|l2\nthree.swf|l3\n", {"one.swf", "two.swf"}, ""},
        {"solo.swf |\n", {"solo.swf"}, "solo.swf"},
    };
    for (const auto& c : cases) {
        fs::remove_all(banner);
        fs::create_directories(banner);
        if (c.list) WriteFile(banner / shell::kBannerListName, c.list);
        for (const auto& m : c.movies) WriteFile(banner / m, "movie");
        platform::c_srand(1);
        EXPECT_EQ(shell::choose_banner_movie(program.path()),
                  c.chosen.empty() ? fallback : banner / c.chosen)
            << (c.list ? c.list : "(no list)");
    }
}

}  // namespace
