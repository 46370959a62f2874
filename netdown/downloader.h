// The network port: one FTP or HTTP(S) server, the size and time of a remote
// file, and its download to a local path. CNetDownLoader is the real one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace netdown {

enum Service : int { kServiceFtp = 1, kServiceHttp = 3 };

// Receives the progress of a download whose expected size is known. Called
// on the downloading thread.
class ProgressReceiver {
  public:
    virtual ~ProgressReceiver() = default;
    // `local_path` is set with the first chunk of a file only, empty after.
    virtual void OnProgress(const std::string& local_path, std::uint64_t total,
                            std::uint64_t received) = 0;
};

// Sees the bytes of one download as they arrive and decides, once all have
// arrived and before the local file is replaced, whether they may replace it.
class DownloadCheck {
  public:
    virtual ~DownloadCheck() = default;
    virtual void Update(const void* data, std::size_t size) = 0;
    virtual bool Accept() = 0;
};

class Downloader {
  public:
    virtual ~Downloader() = default;

    // service 1 = FTP, 3 = HTTP; `secure` selects HTTP over TLS. A port
    // whose low 16 bits are 0 takes the service's default (21, 80, 443).
    virtual bool SetLoginInfo(const std::string& address, int service, int passive, int port,
                              const std::string& login, const std::string& password,
                              bool secure = false) = 0;
    virtual bool ConnectServer() = 0;
    virtual bool GetRemoteFileSize(const std::string& remote, std::uint64_t& size) = 0;
    // Calendar time (seconds since the epoch, UTC) of the server's copy.
    virtual bool GetRemoteFileTime(const std::string& remote, std::time_t& time) = 0;
    // `expected` 0: size unknown, no progress reports. The local file is
    // replaced only by a complete download that `check` (when given) accepts.
    virtual bool DownloadFile(const std::string& remote, const std::string& local,
                              std::uint64_t expected, DownloadCheck* check = nullptr) = 0;
    virtual void SetProgressReceiver(ProgressReceiver* receiver) = 0;
};

}  // namespace netdown
