// The Internet client library underneath CNetDownLoader, call for call: the
// downloader holds the protocol logic and the log lines, a transport only
// moves bytes (WinINet on Windows, libcurl elsewhere).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

namespace netdown {

struct SystemError {
    long code = 0;
    std::string text;  // the system's message, empty when it has none
};

// A broken-down universal time, as an HTTP date header gives it.
struct UtcTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct Endpoint {
    std::string host;
    std::uint16_t port = 0;
    std::string login;
    std::string password;
    int service = 0;  // 1 FTP, 3 HTTP
    bool passive = false;
    bool secure = false;
};

class Transport {
  public:
    virtual ~Transport() = default;

    virtual bool OpenSession(const std::string& agent) = 0;  // InternetOpen
    virtual bool Connect(const Endpoint& endpoint) = 0;      // InternetConnect

    // FtpOpenFile: binary read, cache bypassed.
    virtual bool OpenFtpFile(const std::string& name) = 0;
    // FtpFindFirstFile on the name; `modified` in universal time.
    virtual bool FindFtpFile(const std::string& name, std::uint64_t& size,
                             std::time_t& modified) = 0;

    // HttpOpenRequest (GET, reload, no cache write, keep-alive), then send.
    virtual bool OpenHttpRequest(const std::string& name) = 0;
    virtual bool SendHttpRequest() = 0;
    virtual bool QueryHttpStatus(int& status) = 0;
    virtual bool QueryContentLength(std::uint64_t& length) = 0;
    virtual bool QueryLastModified(UtcTime& time) = 0;

    // InternetReadFile on the open remote file; got == 0 at its end.
    virtual bool Read(void* buffer, std::size_t size, std::size_t& got) = 0;

    // InternetCloseHandle of each handle; true when it was closed (or not open).
    virtual bool CloseRemote() = 0;
    virtual bool CloseConnection() = 0;
    virtual bool CloseSession() = 0;

    virtual bool has_session() const = 0;
    virtual bool has_connection() const = 0;
    virtual bool has_remote() const = 0;

    // The last failure of this thread's calls.
    virtual SystemError LastError() const = 0;
};

std::unique_ptr<Transport> MakeSystemTransport();

}  // namespace netdown
