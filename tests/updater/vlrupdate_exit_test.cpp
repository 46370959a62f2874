// The console updater's exit status says what the run came to. The program
// is copied into an installation's Update folder and run there, as the
// main program starts it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/netdown/loopback_server.h"
#include "tests/netdown/test_files.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LoopbackServer;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

class VlrupdateExitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        update_ = install_.path() / "Update";
        fs::create_directories(update_);
        fs::copy_file(VELLORA_VLRUPDATE, update_ / "vlrupdate");
        fs::copy_file(VELLORA_LAUNCH_MARKER, install_.path() / "Vellora.exe");
    }
    int Run() {
        const std::string command =
            "cd '" + update_.string() + "' && ./vlrupdate >/dev/null 2>&1 </dev/null";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    void Config(int port, const std::string& remote_list) {
        WriteFile(update_ / "VLR.ini",
                  "[SERVER]\nRemote Address=127.0.0.1\nProtocol=HTTP\nRemote Port=" +
                      std::to_string(port) + "\nRemote Version File=" + remote_list +
                      "\n[LOCAL]\nLocal Version File=version.txt\n"
                      "Default Exec File=..\\Vellora.exe\n");
    }
    bool Launched() {
        for (int i = 0; i < 100 && !fs::exists(install_ / "launched.txt"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return fs::exists(install_ / "launched.txt");
    }

    TempFolder install_, served_;
    fs::path update_;
};

TEST_F(VlrupdateExitTest, StatusPerOutcome) {
    EXPECT_EQ(Run(), 1) << "no VLR.ini";

    {
        TempFolder root;
        LoopbackServer ended("http", root.path());
        Config(ended.port(), "/down/version.txt");
    }
    EXPECT_EQ(Run(), 2) << "server gone";
    EXPECT_TRUE(Launched()) << "the default program still starts";

    LoopbackServer server("http", served_.path());
    Config(server.port(), "/down/version.txt");
    WriteFile(served_ / "down" / "version.txt", "..\\Vellora.exe|/down/Vellora.exe|E\n");
    WriteFile(served_ / "down" / "Vellora.exe", ReadFile(install_ / "Vellora.exe"));
    fs::remove(install_ / "launched.txt");
    EXPECT_EQ(Run(), 0) << "updated and started";
    EXPECT_TRUE(Launched());

    WriteFile(served_ / "down" / "version.txt", "..\\..\\escape.exe|/down/Vellora.exe|E\n");
    EXPECT_EQ(Run(), 3) << "unsafe local path";

    WriteFile(served_ / "down" / "version.txt", "..\\Vellora.exe|/down/missing.exe|F\n");
    EXPECT_EQ(Run(), 4) << "module not on the server";
}

}  // namespace
