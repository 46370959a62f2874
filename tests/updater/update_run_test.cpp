// Whole update runs: configuration, version list, comparison, download,
// registration and launch against a real HTTP server on 127.0.0.1, run the
// way the updater runs, from the Update folder of an installation.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "netdown/local_path.h"
#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "tests/netdown/loopback_server.h"
#include "tests/netdown/test_files.h"
#include "updater/kst_mgr.h"

namespace {

namespace fs = std::filesystem;
using testing_support::HasMessage;
using testing_support::HasMessagePrefix;
using testing_support::LogMessages;
using testing_support::LoopbackServer;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;
using updater::CKSTMgr;

// Records what the updater window would show, in order.
class RecordingDisplay : public updater::RunDisplay {
  public:
    void SetText(int control, const std::string& text) override {
        calls.push_back(std::to_string(control) + " " + text);
    }
    void SetProgress(int control, int upper, int position) override {
        calls.push_back(std::to_string(control) + " " + std::to_string(position) + "/" +
                        std::to_string(upper));
    }
    void ShowMessage(const std::string& text, const std::string&) override {
        messages.push_back(text);
    }
    std::vector<std::string> calls, messages;
};

constexpr std::time_t kServerTime = 1700000000;

// An installation folder with its Update folder as the working directory.
class UpdateRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        update_ = install_.path() / "Update";
        fs::create_directories(update_);
        previous_ = fs::current_path();
        fs::current_path(update_);
    }
    void TearDown() override { fs::current_path(previous_); }

    void StartServer() {
        server_ = std::make_unique<LoopbackServer>("http", served_.path());
        ASSERT_GT(server_->port(), 0);
    }

    void WriteConfig(const std::string& default_exec) {
        WriteFile(update_ / "VLR.ini",
                  "[SERVER]\nRemote Address=127.0.0.1\nProtocol=HTTP\nRemote Port=" +
                      std::to_string(server_ ? server_->port() : 1) +
                      "\nLogin Name=updater\nLogin Password=hunter2\n"
                      "Remote Version File=/down/version.txt\n"
                      "[LOCAL]\nLocal Version File=version.txt\nDefault Exec File=" +
                      default_exec + "\n");
    }

    void Serve(const std::string& name, const std::string& data) {
        WriteFile(served_ / name, data);
        netdown::SetLastWriteTime(served_ / name, kServerTime);
    }

    void Local(const std::string& name, const std::string& data, std::time_t time) {
        WriteFile(update_ / name, data);
        netdown::SetLastWriteTime(update_ / name, time);
    }

    // A launched program: leaves its working directory and arguments beside it.
    void LaunchScript(const fs::path& path) {
        WriteFile(path,
                  "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > "
                  "launched.tmp && mv launched.tmp launched.txt\n");
        fs::permissions(path, fs::perms::owner_all);
    }

    void Run(const std::string& config_path = "") {
        netdown::DownloaderOptions options;
        options.pause = [this](std::chrono::milliseconds d) { clock_.sleep(d); };
        updater::ManagerSetup setup;
        setup.installation = install_.path();
        setup.built_in_key = built_in_key_;
        CKSTMgr manager(std::make_unique<netdown::CNetDownLoader>(options), clock_, "VLRUpdate.log",
                        setup);
        manager.AttachDisplay(&display_);
        result_ = manager.Run(config_path);
        modules_ = manager.modules();
    }

    static std::string WaitForFile(const fs::path& path) {
        for (int i = 0; i < 100 && !fs::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return ReadFile(path);
    }

    std::vector<std::string> ManagerLog() { return LogMessages(update_ / "VLRUpdate.log"); }
    std::vector<std::string> DownloaderLog() { return LogMessages(update_ / "NetDownLoader.log"); }

    TempFolder install_, served_;
    fs::path update_, previous_;
    std::unique_ptr<LoopbackServer> server_;
    platform::ManualClock clock_;
    RecordingDisplay display_;
    std::vector<updater::ModuleEntry> modules_;
    std::string built_in_key_;
    updater::RunResult result_ = updater::RunResult::ok;
};

TEST_F(UpdateRunTest, FetchesWhatIsNewerRegistersAndLaunches) {
    StartServer();
    WriteConfig("");
    const std::string component = ReadFile(VELLORA_TEST_COMPONENT);
    const std::string failing = ReadFile(VELLORA_TEST_FAILING_COMPONENT);
    Serve("down/version.txt",
          "; modules of the installation\n"
          "..\\Vellora.exe|/down/Vellora.exe|E|--from-update  x\n"
          "forced.so|/down/forced.so|RF\n"
          "bin\\missing.dat|/down/missing.dat|\n"
          "older.dat|/down/older.dat|\n"
          "same.dat|/down/same.dat|\n"
          "newer.dat|/down/newer.dat|R\n"
          "gone.so|/down/gone.so|R\n"
          "cut.so|/cut/down/cut.so|RF\n"
          "refusing.so|/down/refusing.so|RF\n"
          "single-field-line\n");
    Serve("down/Vellora.exe", "new main program");
    Serve("down/forced.so", component);
    Serve("down/missing.dat", RandomBytes(5000, 1));
    Serve("down/older.dat", RandomBytes(9000, 2));
    Serve("down/same.dat", "server same");
    Serve("down/newer.dat", "server newer");
    Serve("down/cut.so", RandomBytes(50000, 3));
    Serve("down/refusing.so", failing);
    LaunchScript(install_ / "Vellora.exe");
    netdown::SetLastWriteTime(install_ / "Vellora.exe", kServerTime);
    Local("forced.so", "old forced", kServerTime + 100);
    Local("older.dat", "old", kServerTime - 1);
    Local("same.dat", "local same", kServerTime);
    Local("newer.dat", "local newer", kServerTime + 1);
    const std::string old_cut = RandomBytes(777, 4);
    Local("cut.so", old_cut, kServerTime - 100);

    Run();

    // What landed on disk.
    EXPECT_EQ(ReadFile(update_ / "forced.so"), component);
    EXPECT_EQ(ReadFile(update_ / "bin" / "missing.dat"), RandomBytes(5000, 1));
    EXPECT_EQ(ReadFile(update_ / "older.dat"), RandomBytes(9000, 2));
    EXPECT_EQ(ReadFile(update_ / "same.dat"), "local same");
    EXPECT_EQ(ReadFile(update_ / "newer.dat"), "local newer");
    EXPECT_EQ(ReadFile(update_ / "cut.so"), old_cut);
    EXPECT_FALSE(fs::exists(update_ / "gone.so"));
    EXPECT_EQ(netdown::LastWriteTime(update_ / "older.dat"), kServerTime);
    // forced.so and refusing.so registered; the cut and missing ones not.
    EXPECT_EQ(ReadFile(update_ / "registered.txt"), "registered\n");
    EXPECT_EQ(ReadFile(update_ / "refused.txt"), "registered\n");

    std::vector<int> flags;
    for (const auto& m : modules_) flags.push_back(m.download);
    EXPECT_EQ(flags, (std::vector<int>{0, 1, 1, 1, 0, 0, 0, 0, 1}));

    const auto log = ManagerLog();
    for (const std::string& line : std::vector<std::string>{
             "LoadConfig : Config File  = .\\VLR.ini",
             "LoadConfig : [SERVER] Remote Address         = 127.0.0.1",
             "LoadConfig : [SERVER] Protocol(1=FTP,3=HTTP) = 3",
             "LoadConfig : [SERVER] Login Name             = updater",
             "LoadConfig : [SERVER] Login PW               = ****",
             "LoadConfig : [SERVER] Version File           = /down/version.txt",
             "LoadConfig : [LOCAL] Version File            = version.txt",
             "LoadConfig : [LOCAL]  Default Exec Filee     = ",
             "GetVersionInfo : DownloadFile(/down/version.txt->version.txt) OK",
             "ParseVersionInfo : Module[ 1] = ..\\Vellora.exe | /down/Vellora.exe | E | "
             "--from-update  x",
             "ParseVersionInfo : Module[ 3] = bin\\missing.dat | /down/missing.dat |  | ",
             "CompareVersionInfo : Module[ 2] : forced.so : Update Option(RF)-> will be downloded ",
             "CompareVersionInfo : Module[ 3] : bin\\missing.dat : Local Time() , Server Time(" +
                 netdown::FormatLocalTime(kServerTime) + ") -> Download =1",
             "CompareVersionInfo : Module[ 5] : same.dat : Local Time(" +
                 netdown::FormatLocalTime(kServerTime) + ") , Server Time(" +
                 netdown::FormatLocalTime(kServerTime) + ") -> Download =0",
             "CompareVersionInfo : Module[ 7] : gone.so : Local Time() , Server Time() -> "
             "Download =1",
             "DownloadNewFiles : DownloadFile(/down/missing.dat->bin\\missing.dat) OK . 5000 Bytes",
             "DownloadNewFiles : GetRemoteFileSize(/down/gone.so) ERROR",
             "DownloadNewFiles : DownloadFile(/cut/down/cut.so->cut.so) ERROR",
             "RegisterModule : _RegisterControl(forced.so) OK",
             "RegisterModule : _RegisterControl(refusing.so) ",
             "LaunchModule : _ExecuteApp(..\\Vellora.exe , --from-update  x) OK",
         })
        EXPECT_TRUE(HasMessage(log, line)) << line;
    EXPECT_TRUE(HasMessagePrefix(log, "_RegisterControl : ERROR, DllRegisterServer(refusing.so)"));
    EXPECT_FALSE(HasMessage(log, "RegisterModule : _RegisterControl(gone.so) "));
    EXPECT_FALSE(HasMessage(log, "RegisterModule : _RegisterControl(cut.so) "));
    EXPECT_EQ(ReadFile(update_ / "VLRUpdate.log").find("hunter2"), std::string::npos);
    EXPECT_EQ(ReadFile(update_ / "NetDownLoader.log").find("hunter2"), std::string::npos);

    const auto net = DownloaderLog();
    EXPECT_TRUE(HasMessage(net, "HttpSendRequest(/down/gone.so)  STAUS = 404 ERROR..."));
    EXPECT_TRUE(HasMessage(net,
                           "DownloadFile(/down/older.dat->older.dat) : Download complete : "
                           "/down/older.dat -> older.dat"));

    // The main program started in its own folder with the listed arguments.
    const std::string launched = WaitForFile(install_ / "launched.txt");
    EXPECT_EQ(launched, fs::canonical(install_.path()).string() + "\n[--from-update]\n[x]\n");

    // The window's texts: the steps in order, each file's bar from its start.
    std::vector<std::string> steps;
    for (const auto& c : display_.calls)
        if (c.rfind("1001 ", 0) == 0) steps.push_back(c.substr(5));
    std::vector<std::string> expected_steps;
    for (int i = 1; i <= 7; ++i) expected_steps.push_back(updater::StepText(i));
    EXPECT_EQ(steps, expected_steps);
    const auto& calls = display_.calls;
    auto at = std::find(calls.begin(), calls.end(), "1003 Downloading... bin\\missing.dat");
    ASSERT_NE(at, calls.end());
    EXPECT_EQ(*(at + 1), "1002 81/100");  // 4096 of 5000
    EXPECT_EQ(*(at + 2), "1004 [      4096/      5000]");
    EXPECT_TRUE(std::find(calls.begin(), calls.end(), "1004 [      5000/      5000]") !=
                calls.end());
    EXPECT_TRUE(std::find(calls.begin(), calls.end(), "1000 5/8") != calls.end());
    EXPECT_TRUE(display_.messages.empty());
    EXPECT_EQ(clock_.total_slept(), std::chrono::milliseconds(700));
}

TEST_F(UpdateRunTest, MissingConfigurationGoesStraightToLaunching) {
    struct Case {
        bool default_exec;
        const char* config_path;
    } cases[] = {{false, ""}, {true, ""}, {false, "elsewhere.ini"}};
    for (const auto& c : cases) {
        fs::remove(update_ / "VLR.ini");
        fs::remove(install_ / "launched.txt");
        display_ = RecordingDisplay{};
        if (c.default_exec)
            LaunchScript(install_ / "Vellora.exe");
        else
            fs::remove(install_ / "Vellora.exe");
        Run(c.config_path);

        const std::string shown = *c.config_path ? c.config_path : ".\\VLR.ini";
        const auto log = ManagerLog();
        EXPECT_TRUE(HasMessage(log, "ERROR : 설정 파일을 읽을수 없습니다.-" + shown + " "));
        EXPECT_FALSE(HasMessagePrefix(DownloaderLog(), "InternetOpen"));
        // Without a configuration there is no default program, even when
        // the main program lies where it usually does.
        EXPECT_FALSE(fs::exists(install_ / "launched.txt"));
        EXPECT_TRUE(
            HasMessage(log, "LaunchModule :  ERROR, 실행할 모듈도  기본 실행 파일도 없습니다"));
        EXPECT_EQ(display_.messages,
                  std::vector<std::string>{"ERROR, 실행할 모듈도  기본 실행 파일도 없습니다"});
    }
}

TEST_F(UpdateRunTest, UnreachableServerStartsTheDefaultProgram) {
    LaunchScript(install_ / "Vellora.exe");
    {
        TempFolder root;
        LoopbackServer ended("http", root.path());
        server_ = nullptr;
        WriteFile(update_ / "VLR.ini",
                  "[SERVER]\nRemote Address=127.0.0.1\nProtocol=HTTP\n"
                  "Remote Port=" +
                      std::to_string(ended.port()) +
                      "\n[LOCAL]\nDefault Exec File=..\\Vellora.exe\n");
    }
    Run();
    const auto log = ManagerLog();
    EXPECT_TRUE(HasMessagePrefix(log, "ConnectServer(127.0.0.1, 3,  "));
    EXPECT_TRUE(HasMessage(
        log, "LaunchModule :  경고, 실행할 모듈이 없습니다. 기본 실행 파일을 실행합니다"));
    EXPECT_TRUE(HasMessage(log, "LaunchModule : _ExecuteApp(..\\Vellora.exe) OK"));
    EXPECT_EQ(WaitForFile(install_ / "launched.txt"),
              fs::canonical(install_.path()).string() + "\n");
    EXPECT_TRUE(display_.messages.empty());
}

}  // namespace
