// CNetDownLoader: the updater's downloader, with its log "NetDownLoader.log".
// The main program uses the reduced copy (no log, HTTP only, alerts instead).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "netdown/downloader.h"
#include "netdown/logger.h"
#include "netdown/transport.h"

namespace netdown {

struct DownloaderOptions {
    std::string log_file = "NetDownLoader.log";  // empty: no log
    bool ftp_files = true;                       // false: remote files over HTTP only
    bool honour_passive = true;                  // false: FTP always in active mode
    // Shown for a failing session open, connection or handle close
    // ("Error: InternetOpen" ...), when set.
    std::function<void(const std::string& text)> alert;
    // Waits between the attempts to replace a file that is in use.
    std::function<void(std::chrono::milliseconds)> pause;
    std::string agent = "VLRUpdate";
};

class CNetDownLoader : public Logger, public Downloader {
  public:
    explicit CNetDownLoader(DownloaderOptions options = {},
                            std::unique_ptr<Transport> transport = MakeSystemTransport());
    ~CNetDownLoader() override;

    // The main program's copy: no log file, HTTP only, never passive.
    static DownloaderOptions ReducedCopyOptions(
        std::function<void(const std::string&)> alert,
        std::function<void(std::chrono::milliseconds)> pause);

    bool SetLoginInfo(const std::string& address, int service, int passive, int port,
                      const std::string& login, const std::string& password,
                      bool secure = false) override;
    bool ConnectServer() override;
    bool GetRemoteFileSize(const std::string& remote, std::uint64_t& size) override;
    bool GetRemoteFileTime(const std::string& remote, std::time_t& time) override;
    bool DownloadFile(const std::string& remote, const std::string& local, std::uint64_t expected,
                      DownloadCheck* check = nullptr) override;
    void SetProgressReceiver(ProgressReceiver* receiver) override { receiver_ = receiver; }

    bool _IsRemoteFileOpened(const std::string& remote);

    std::uint16_t port() const { return port_; }
    int service() const { return service_; }

  private:
    void ErrorReport(const char* function, const char* detail = "");
    bool CloseHandle(int which);  // 0 remote, 1 connection, 2 session
    void CloseAll();
    bool HttpServerTime(std::time_t& time);  // quiet: a missing date is no error
    bool ReplaceTarget(const std::filesystem::path& temp, const std::string& local);

    DownloaderOptions options_;
    std::unique_ptr<Transport> transport_;
    std::string address_;
    int service_ = 0;
    int passive_ = 0;
    bool secure_ = false;
    std::uint16_t port_ = 0;
    std::string login_;
    std::string password_;
    std::string remote_name_;
    bool remote_read_ = false;  // the open remote file has been read from
    ProgressReceiver* receiver_ = nullptr;
};

}  // namespace netdown
