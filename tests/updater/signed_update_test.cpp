// Signed updates end to end: an installation's Update folder as the working
// directory, a real HTTP server on 127.0.0.1, lists and modules signed the
// way the publisher tool signs them, and the program the list starts.
// Natively with libcurl and, cross-built, under Wine with WinINet.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "netdown/local_path.h"
#include "netdown/net_downloader.h"
#include "platform/clock.h"
#include "tests/netdown/loopback_server.h"
#include "tests/netdown/test_files.h"
#include "toolkit/ed25519.h"
#include "updater/kst_mgr.h"
#include "updater/publisher.h"

namespace {

namespace fs = std::filesystem;
using testing_support::HasMessage;
using testing_support::HasMessagePrefix;
using testing_support::LogMessages;
using testing_support::LoopbackServer;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;
using updater::RunResult;

constexpr std::time_t kServerTime = 1700000000;

updater::Seed SeedOf(std::uint8_t n) {
    updater::Seed seed{};
    for (std::size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<std::uint8_t>(n + i * 3);
    return seed;
}

std::string KeyOf(const updater::Seed& seed) {
    std::uint8_t key[32];
    cyr::ed25519_public_key(seed.data(), key);
    return updater::HexText(key, 32);
}

class SignedUpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        server_ = std::make_unique<LoopbackServer>("http", served_.path());
        ASSERT_GT(server_->port(), 0);
        // A folder of its own on the server: under Wine all tests share one.
        folder_ = "signed" + std::to_string(counter++);
        root_ = server_->root();
        fs::remove_all(root_ / folder_);
        update_ = install_.path() / "Update";
        fs::create_directories(update_);
        previous_ = fs::current_path();
        fs::current_path(update_);
        marker_ = ReadFile(VELLORA_LAUNCH_MARKER);
        ASSERT_FALSE(marker_.empty());
        old_module_ = marker_ + "old version";
        new_module_ = marker_ + "new version, signed";
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_ / folder_);
    }

    std::string Remote(const std::string& name) const { return "/" + folder_ + "/down/" + name; }
    fs::path Served(const std::string& name) const { return root_ / folder_ / "down" / name; }

    void WriteConfig(const std::string& ini_key = "") {
        std::string ini = "[SERVER]\nRemote Address=127.0.0.1\nProtocol=HTTP\nRemote Port=" +
                          std::to_string(server_->port()) +
                          "\nRemote Version File=" + Remote("version.txt") +
                          "\n[LOCAL]\nLocal Version File=version.txt\n"
                          "Default Exec File=..\\Vellora.exe\n";
        if (!ini_key.empty()) ini += "[SIGNATURE]\nPublic Key=" + ini_key + "\n";
        WriteFile(update_ / "VLR.ini", ini);
    }

    // The release on the server: the list and the newer main program.
    void Publish(const std::string& list, const std::string& module) {
        fs::remove_all(root_ / folder_);
        WriteFile(Served("version.txt"), list);
        WriteFile(Served("Vellora.exe"), module);
        netdown::SetLastWriteTime(Served("Vellora.exe"), kServerTime);
    }
    void Sign(const updater::Seed& seed, std::uint64_t serial) {
        const auto report = updater::SignVersionList(seed, Served("version.txt"), root_, serial);
        ASSERT_TRUE(report.ok) << report.error;
    }
    std::string MainList() const { return "..\\Vellora.exe|" + Remote("Vellora.exe") + "|E\n"; }

    void InstallOldModule() {
        WriteFile(install_ / "Vellora.exe", old_module_);
        fs::permissions(install_ / "Vellora.exe", fs::perms::owner_all);
        netdown::SetLastWriteTime(install_ / "Vellora.exe", kServerTime - 1000);
    }

    RunResult Run(const std::string& built_in_key = "") {
        fs::remove(install_ / "launched.txt");
        netdown::DownloaderOptions options;
        options.pause = [this](std::chrono::milliseconds d) { clock_.sleep(d); };
        updater::ManagerSetup setup;
        setup.installation = install_.path();
        setup.built_in_key = built_in_key;
        updater::CKSTMgr manager(std::make_unique<netdown::CNetDownLoader>(options), clock_,
                                 "VLRUpdate.log", setup);
        return manager.Run("");
    }

    bool Launched() {
        const fs::path marker = install_ / "launched.txt";
        for (int i = 0; i < 200 && !fs::exists(marker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return fs::exists(marker);
    }

    std::vector<std::string> Log() { return LogMessages(update_ / "VLRUpdate.log"); }
    // Level-1 lines of the manager's log ("stamp | level | tag |\tmessage").
    std::vector<std::string> Errors() {
        std::vector<std::string> errors;
        const std::string text = ReadFile(update_ / "VLRUpdate.log");
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r') line.pop_back();  // Windows text mode
            if (line.find("|  1 |") != std::string::npos)
                errors.push_back(line.substr(line.find("|\t") + 2));
            at = end + 1;
        }
        return errors;
    }

    void ExpectOldModuleKeptAndLaunched() {
        EXPECT_EQ(ReadFile(install_ / "Vellora.exe"), old_module_);
        EXPECT_FALSE(fs::exists(install_ / "Vellora.exe.vlrdown"));
        EXPECT_TRUE(Launched());
    }

    TempFolder install_, served_;
    fs::path update_, previous_, root_;
    std::string folder_, marker_, old_module_, new_module_;
    std::unique_ptr<LoopbackServer> server_;
    platform::ManualClock clock_;
};

TEST_F(SignedUpdateTest, SignedNewerModuleIsReplacedAndStarted) {
    const auto seed = SeedOf(1);
    for (const bool built_in : {false, true}) {
        SCOPED_TRACE(built_in ? "built-in key" : "VLR.ini key");
        WriteConfig(built_in ? "" : KeyOf(seed));
        Publish(MainList(), new_module_);
        Sign(seed, built_in ? 11 : 10);
        InstallOldModule();
        EXPECT_EQ(Run(built_in ? KeyOf(seed) : ""), RunResult::ok);
        EXPECT_EQ(ReadFile(install_ / "Vellora.exe"), new_module_);
        EXPECT_TRUE(Launched());
        EXPECT_TRUE(HasMessagePrefix(Log(), "VerifyVersionInfo : signature OK, serial 1"));
        EXPECT_TRUE(Errors().empty()) << Errors().front();
        EXPECT_EQ(ReadFile(update_ / "version.txt.serial"), built_in ? "11\n" : "10\n");
    }
}

// Every refusal: the old module stays byte for byte, one error line says
// what failed, and the run still reaches the launch step.
TEST_F(SignedUpdateTest, RefusalsKeepTheOldModuleAndStillLaunch) {
    const auto seed = SeedOf(1), other = SeedOf(2);
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string built_in_key, ini_key;
        std::string error_prefix;
    };
    const std::string key = KeyOf(seed);
    std::vector<Case> cases = {
        {"module altered after signing",
         [&] {
             Publish(MainList(), new_module_);
             Sign(seed, 5);
             WriteFile(Served("Vellora.exe"), new_module_ + "!");
             netdown::SetLastWriteTime(Served("Vellora.exe"), kServerTime);
         },
         "", key,
         "DownloadNewFiles : ERROR, SHA-512 of " + Remote("Vellora.exe") +
             " differs from the signed version list, ..\\Vellora.exe kept"},
        {"missing .sig",
         [&] {
             Publish(MainList(), new_module_);
             Sign(seed, 5);
             fs::remove(Served("version.txt.sig"));
         },
         "", key,
         "VerifyVersionInfo : ERROR, signature " + Remote("version.txt.sig") +
             " could not be downloaded, version list refused"},
        {"signed by another key",
         [&] {
             Publish(MainList(), new_module_);
             Sign(other, 5);
         },
         "", key,
         "VerifyVersionInfo : ERROR, signature " + Remote("version.txt.sig") +
             " does not match the version list, version list refused"},
        {"list changed after signing",
         [&] {
             Publish(MainList(), new_module_);
             Sign(seed, 5);
             WriteFile(Served("version.txt"),
                       ReadFile(Served("version.txt")) + "x.dll|" + Remote("x.dll") + "|F\n");
         },
         "", key,
         "VerifyVersionInfo : ERROR, signature " + Remote("version.txt.sig") +
             " does not match the version list, version list refused"},
        {"unsigned list", [&] { Publish(MainList(), new_module_); }, "", key,
         "VerifyVersionInfo : ERROR, signature " + Remote("version.txt.sig") +
             " could not be downloaded, version list refused"},
        {"built-in key wins over the configured one",
         [&] {
             Publish(MainList(), new_module_);
             Sign(other, 5);
         },
         key, KeyOf(other),
         "VerifyVersionInfo : ERROR, signature " + Remote("version.txt.sig") +
             " does not match the version list, version list refused"},
        {"configured key unusable",
         [&] {
             Publish(MainList(), new_module_);
             Sign(seed, 5);
         },
         "", key.substr(2),
         "VerifyVersionInfo : ERROR, the public key (VLR.ini [SIGNATURE] Public Key) is not a "
         "valid Ed25519 key, version list refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(update_ / "version.txt.serial");
        WriteConfig(c.ini_key);
        c.prepare();
        InstallOldModule();
        EXPECT_EQ(Run(c.built_in_key), RunResult::refused);
        ExpectOldModuleKeptAndLaunched();
        EXPECT_EQ(Errors(), std::vector<std::string>{c.error_prefix});
    }
}

TEST_F(SignedUpdateTest, ReplayedSerialIsRefused) {
    const auto seed = SeedOf(1);
    const std::string key = KeyOf(seed);
    WriteConfig(key);
    // Release 200 is current: nothing newer, the main program only starts.
    Publish(MainList(), old_module_);
    Sign(seed, 200);
    InstallOldModule();
    netdown::SetLastWriteTime(install_ / "Vellora.exe", kServerTime);
    EXPECT_EQ(Run(), RunResult::ok);
    EXPECT_EQ(ReadFile(update_ / "version.txt.serial"), "200\n");
    // The same release again is fine.
    EXPECT_EQ(Run(), RunResult::ok);
    // An older signed release (serial 100) with a "newer" module is a replay.
    Publish(MainList(), new_module_);
    Sign(seed, 100);
    InstallOldModule();
    EXPECT_EQ(Run(), RunResult::refused);
    ExpectOldModuleKeptAndLaunched();
    EXPECT_EQ(Errors(), std::vector<std::string>{
                            "VerifyVersionInfo : ERROR, serial 100 is lower than 200 accepted "
                            "before (replayed list), version list refused"});
    EXPECT_EQ(ReadFile(update_ / "version.txt.serial"), "200\n");
}

// Without a key nothing is asked for or checked: an unsigned list updates
// as it always did.
TEST_F(SignedUpdateTest, WithoutAKeyTheUpdateIsUnchecked) {
    WriteConfig();
    Publish(MainList(), new_module_);
    InstallOldModule();
    EXPECT_EQ(Run(), RunResult::ok);
    EXPECT_EQ(ReadFile(install_ / "Vellora.exe"), new_module_);
    EXPECT_TRUE(Launched());
    EXPECT_FALSE(HasMessagePrefix(Log(), "VerifyVersionInfo"));
    EXPECT_FALSE(fs::exists(update_ / "version.txt.sig"));
    EXPECT_TRUE(Errors().empty());
}

// Local paths that leave the installation, and a program path with a quote:
// nothing is downloaded or started for them; the main program still is.
TEST_F(SignedUpdateTest, UnsafeLocalPathsAreRefused) {
    TempFolder outside;
    const std::string escape = "..\\..\\" + outside.path().filename().string() + "\\x.exe";
    WriteConfig();
    Publish(MainList() + escape + "|" + Remote("Vellora.exe") + "|EF\n" + "C:\\x.exe|" +
                Remote("Vellora.exe") + "|F\n" + "a\"b.exe|" + Remote("Vellora.exe") + "|E\n",
            new_module_);
    InstallOldModule();
    EXPECT_EQ(Run(), RunResult::refused);
    EXPECT_EQ(ReadFile(install_ / "Vellora.exe"), new_module_);
    EXPECT_TRUE(Launched());
    EXPECT_FALSE(fs::exists(outside / "x.exe"));
    const auto errors = Errors();
    EXPECT_TRUE(HasMessage(errors, "ParseVersionInfo : ERROR, local path(" + escape +
                                       ") leaves the installation folder, module ignored"));
    EXPECT_TRUE(HasMessage(
        errors,
        "ParseVersionInfo : ERROR, local path(C:\\x.exe) leaves the installation folder, "
        "module ignored"));
    EXPECT_TRUE(
        HasMessage(errors, "a\"b.exe : ERROR, a program path with a double quote is not started"));
}

}  // namespace
