// CKSTMgr: the update manager. Each step returns true or false and logs to
// "VLRUpdate.log"; Run drives them in their fixed order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "netdown/downloader.h"
#include "netdown/logger.h"
#include "platform/clock.h"
#include "updater/config.h"
#include "updater/run_display.h"
#include "updater/version_list.h"

namespace updater {

// The status text of each step index 0..8.
const char* StepText(int index);

class CKSTMgr : public netdown::Logger, public netdown::ProgressReceiver {
  public:
    CKSTMgr(std::unique_ptr<netdown::Downloader> downloader, platform::Clock& clock,
            const std::string& log_file = "VLRUpdate.log");
    ~CKSTMgr() override;

    // The controls are attached after construction; until then nothing shows.
    void AttachDisplay(RunDisplay* display) { display_ = display; }

    bool LoadConfig(const std::string& path);
    bool ConnectServer();
    bool GetVersionInfo();
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
    void Run(const std::string& config_path);

    int ModulesToUpdate() const;
    const std::vector<ModuleEntry>& modules() const { return modules_; }
    const UpdateConfig& config() const { return config_; }
    int step() const { return step_; }

    void OnProgress(const std::string& local_path, std::uint64_t total,
                    std::uint64_t received) override;

  private:
    void SetStep(int index);

    std::unique_ptr<netdown::Downloader> downloader_;
    platform::Clock& clock_;
    RunDisplay* display_ = nullptr;
    UpdateConfig config_;
    std::vector<ModuleEntry> modules_;
    int step_ = 0;
};

}  // namespace updater
