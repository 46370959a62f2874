// CKSTMgr: the update manager. Each step returns true or false and logs to
// "VLRUpdate.log"; Run drives them in their fixed order.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "netdown/downloader.h"
#include "netdown/logger.h"
#include "platform/clock.h"
#include "updater/config.h"
#include "updater/run_display.h"
#include "updater/signed_list.h"
#include "updater/version_list.h"

namespace updater {

// The status text of each step index 0..8.
const char* StepText(int index);

// What a run came to, and the updater's exit status: the first failure met
// decides, a run without one is 0 (updated, or nothing to do).
enum class RunResult : int {
    ok = 0,
    no_configuration = 1,  // the configuration file could not be read
    no_version_list = 2,   // no connection, or the version list could not be fetched or read
    refused = 3,        // a signature, serial or SHA-512 check failed, or a local path was unsafe
    module_failed = 4,  // a module could not be downloaded or registered
    launch_failed = 5,  // nothing could be started, or a start failed
};

struct ManagerSetup {
    // The installation folder that module paths must stay in; empty: the
    // parent of the running program's folder (VLRUpdate lies in Update\).
    std::filesystem::path installation;
    // The public key built into the program (see ChooseUpdateKey).
    std::string built_in_key = BuiltInUpdateKey();
};

class CKSTMgr : public netdown::Logger, public netdown::ProgressReceiver {
  public:
    CKSTMgr(std::unique_ptr<netdown::Downloader> downloader, platform::Clock& clock,
            const std::string& log_file = "VLRUpdate.log", ManagerSetup setup = {});
    ~CKSTMgr() override;

    // The controls are attached after construction; until then nothing shows.
    void AttachDisplay(RunDisplay* display) { display_ = display; }

    bool LoadConfig(const std::string& path);
    bool ConnectServer();
    bool GetVersionInfo();
    // With a public key: fetches the list's signature, checks it and the
    // serial, and keeps the signed module digests. Without one: nothing.
    bool VerifyVersionInfo();
    bool ParseVersionInfo();
    bool CompareVersionInfo();
    bool DownloadNewFiles();
    bool RegisterModule();
    bool LaunchModule();

    bool _RegisterControl(const std::string& path);
    bool _ExecuteApp(const std::string& path, const std::string& arguments);
    bool _OpenApp(const std::string& path);

    // The whole update: every step while the previous ones succeeded, the
    // launch always, 100 ms between steps.
    RunResult Run(const std::string& config_path);

    int ModulesToUpdate() const;
    const std::vector<ModuleEntry>& modules() const { return modules_; }
    const UpdateConfig& config() const { return config_; }
    int step() const { return step_; }
    RunResult result() const { return result_; }
    bool signed_list() const { return signed_.has_value(); }

    void OnProgress(const std::string& local_path, std::uint64_t total,
                    std::uint64_t received) override;

  private:
    void SetStep(int index);
    void Fail(RunResult result) {
        if (result_ == RunResult::ok) result_ = result;
    }
    bool DownloadModule(ModuleEntry& m, std::uint64_t size);

    std::unique_ptr<netdown::Downloader> downloader_;
    platform::Clock& clock_;
    RunDisplay* display_ = nullptr;
    UpdateConfig config_;
    std::vector<ModuleEntry> modules_;
    int step_ = 0;
    ManagerSetup setup_;
    RunResult result_ = RunResult::ok;
    std::optional<SignedLines> signed_;  // set once the list's signature passed
    std::string verified_list_;          // the bytes that signature covers
};

}  // namespace updater
