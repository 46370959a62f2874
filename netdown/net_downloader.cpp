#include "netdown/net_downloader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "netdown/local_path.h"
#include "platform/files.h"

namespace netdown {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHiddenPassword = "****";
constexpr std::size_t kChunk = 4096;
constexpr int kReplaceAttempts = 25;
constexpr std::chrono::milliseconds kReplaceWait{200};

std::string Label(const char* format, const std::string& a, const std::string& b = "") {
    std::vector<char> text(std::strlen(format) + a.size() + b.size() + 1);
    std::snprintf(text.data(), text.size(), format, a.c_str(), b.c_str());
    return text.data();
}

SystemError FileError(int code) {
    return SystemError{code, std::generic_category().message(code)};
}

void RemoveQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

CNetDownLoader::CNetDownLoader(DownloaderOptions options, std::unique_ptr<Transport> transport)
    : Logger("CNetDownLoader", kLogInfo, options.log_file),
      options_(std::move(options)),
      transport_(std::move(transport)) {}

CNetDownLoader::~CNetDownLoader() {
    CloseAll();
}

DownloaderOptions CNetDownLoader::ReducedCopyOptions(
    std::function<void(const std::string&)> alert,
    std::function<void(std::chrono::milliseconds)> pause) {
    DownloaderOptions options;
    options.log_file.clear();
    options.ftp_files = false;
    options.honour_passive = false;
    options.alert = std::move(alert);
    options.pause = std::move(pause);
    options.agent = "Vellora";
    return options;
}

bool CNetDownLoader::SetLoginInfo(const std::string& address, int service, int passive, int port,
                                  const std::string& login, const std::string& password,
                                  bool secure) {
    std::uint16_t default_port = 0;
    if (service == kServiceFtp)
        default_port = 21;
    else if (service == kServiceHttp)
        default_port = secure ? 443 : 80;
    else
        return false;
    address_ = address;
    passive_ = passive;
    service_ = service;
    secure_ = secure && service == kServiceHttp;
    port_ = (port & 0xFFFF) != 0 ? static_cast<std::uint16_t>(port & 0xFFFF) : default_port;
    login_ = login;
    password_ = password;
    return true;
}

void CNetDownLoader::ErrorReport(const char* function, const char* detail) {
    SystemError error = transport_->LastError();
    while (!error.text.empty() &&
           (error.text.back() == '\n' || error.text.back() == '\r' || error.text.back() == ' '))
        error.text.pop_back();
    // The system's text is data, never a format.
    Log(kLogError, "ERROR : Function(%s) failed , EC=%ld , %s [%s]\n", function, error.code, detail,
        error.text.c_str());
}

bool CNetDownLoader::CloseHandle(int which) {
    bool ok = which == 0   ? transport_->CloseRemote()
              : which == 1 ? transport_->CloseConnection()
                           : transport_->CloseSession();
    if (!ok) {
        ErrorReport("InternetCloseHandle");
        if (options_.alert) options_.alert("Error: InternetCloseHandle");
    }
    if (which == 0) remote_read_ = false;
    return ok;
}

void CNetDownLoader::CloseAll() {
    CloseHandle(0);
    CloseHandle(1);
    CloseHandle(2);
}

bool CNetDownLoader::ConnectServer() {
    CloseAll();
    remote_name_.clear();
    if (!transport_->OpenSession(options_.agent)) {
        ErrorReport("InternetOpen");
        if (options_.alert) options_.alert("Error: InternetOpen");
        return false;
    }
    Log(kLogInfo, "InternetOpen() OK...");

    Endpoint endpoint{address_, port_,
                      login_,   password_,
                      service_, service_ == kServiceFtp && passive_ != 0 && options_.honour_passive,
                      secure_};
    if (!transport_->Connect(endpoint)) {
        ErrorReport("InternetConnect");
        if (options_.alert) options_.alert("Error: InternetConnect");
        return false;
    }
    Log(kLogInfo, "InternetConnect(%s , %d, %s, %s, %d) OK...", address_.c_str(), port_,
        login_.c_str(), kHiddenPassword, service_);
    return true;
}

bool CNetDownLoader::_IsRemoteFileOpened(const std::string& remote) {
    if (!transport_->has_session() || !transport_->has_connection()) {
        Log(kLogError, "_IsRemoteFileOpened : ERROR, server does not connected..");
        return false;
    }
    // A handle already read from would hand over only the rest of the file.
    if (transport_->has_remote() && remote_name_ == remote && !remote_read_) return true;

    remote_name_.clear();
    CloseHandle(0);
    if (service_ == kServiceFtp && options_.ftp_files) {
        if (transport_->OpenFtpFile(remote)) {
            Log(kLogInfo, "OpenFtpFile(%s) OK...", remote.c_str());
            remote_name_ = remote;
        } else {
            ErrorReport("FtpOpenFile");
        }
    } else if (service_ == kServiceHttp) {
        if (!transport_->OpenHttpRequest(remote)) {
            ErrorReport("HttpOpenRequest");
        } else {
            Log(kLogInfo, "HttpOpenRequest(%s) OK...", remote.c_str());
            int status = 0;
            if (!transport_->SendHttpRequest()) {
                ErrorReport("HttpSendRequest");
                CloseHandle(0);
            } else if (Log(kLogInfo, "HttpSendRequest(%s) OK...", remote.c_str()),
                       !transport_->QueryHttpStatus(status)) {
                ErrorReport("HttpQueryInfo");
                CloseHandle(0);
            } else if (status == 200) {
                Log(kLogInfo, "HttpSendRequest(%s)  STAUS = %d OK...", remote.c_str(), status);
                remote_name_ = remote;
            } else {
                Log(kLogError, "HttpSendRequest(%s)  STAUS = %d ERROR...", remote.c_str(), status);
                CloseHandle(0);
            }
        }
    } else {
        return false;
    }
    remote_read_ = false;
    if (transport_->has_remote()) return true;
    Log(kLogError, "_IsRemoteFileOpened : ERROR, could not open remote file handle : %s",
        remote.c_str());
    return false;
}

bool CNetDownLoader::GetRemoteFileSize(const std::string& remote, std::uint64_t& size) {
    const std::string label = Label("GetRemoteFileSize(%s)", remote);
    Log(kLogInfo, "%s : GetRemoteFileSize ENTER", label.c_str());
    if (!transport_->has_session() || !transport_->has_connection()) {
        Log(kLogError, "%s : ERROR, server does not connected..", label.c_str());
        return false;
    }
    if (service_ == kServiceHttp) {
        if (!_IsRemoteFileOpened(remote)) {
            Log(kLogError, "%s : ERROR, remote file could not opened..", label.c_str());
            return false;
        }
        std::uint64_t length = 0;
        if (!transport_->QueryContentLength(length)) {
            ErrorReport("HttpQueryInfo");
            return false;
        }
        size = length;
        Log(kLogInfo, "%s : HttpQueryInfo : size =%llu", label.c_str(),
            static_cast<unsigned long long>(size));
        return true;
    }
    if (service_ != kServiceFtp || !options_.ftp_files) return false;
    Log(kLogInfo, "%s : Calling InternetCloseHandle(m_hRemoteFile)", label.c_str());
    CloseHandle(0);
    remote_name_.clear();
    std::uint64_t listed = 0;
    std::time_t modified = 0;
    if (!transport_->FindFtpFile(remote, listed, modified)) {
        ErrorReport("FtpFindFirstFile");
        return false;
    }
    size = listed;
    Log(kLogInfo, "%s : Calling InternetCloseHandle(hFind)", label.c_str());
    Log(kLogInfo, "%s : FtpFindFirstFile  size = %llu ", label.c_str(),
        static_cast<unsigned long long>(size));
    return true;
}

bool CNetDownLoader::HttpServerTime(std::time_t& time) {
    UtcTime utc;
    if (!transport_->QueryLastModified(utc)) return false;
    const auto calendar =
        ToCalendarTime(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second);
    if (!calendar) return false;
    time = *calendar;
    return true;
}

bool CNetDownLoader::GetRemoteFileTime(const std::string& remote, std::time_t& time) {
    const std::string label = Label("GetRemoteFileTime(%s)", remote);
    Log(kLogInfo, "%s : GetRemoteFileTime ENTER", label.c_str());
    if (!transport_->has_session() || !transport_->has_connection()) {
        Log(kLogError, "%s : ERROR, server does not connected..", label.c_str());
        return false;
    }
    if (service_ == kServiceHttp) {
        if (!_IsRemoteFileOpened(remote)) {
            Log(kLogError, "%s : ERROR, remote file could not opened..", label.c_str());
            return false;
        }
        UtcTime utc;
        if (!transport_->QueryLastModified(utc)) {
            ErrorReport("HttpQueryInfo");
            return false;
        }
        Log(kLogInfo, "%s : HttpQueryInfo date = %04d-%02d-%02d %02d:%02d:%02d", label.c_str(),
            utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second);
        const auto calendar =
            ToCalendarTime(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second);
        if (!calendar) {
            ErrorReport("SystemTimeToFileTime");
            return false;
        }
        time = *calendar;
        Log(kLogInfo, "%s : Converted DateTime = %s", label.c_str(), FormatLocalTime(time).c_str());
        return true;
    }
    if (service_ != kServiceFtp || !options_.ftp_files) return false;
    Log(kLogInfo, "%s : Calling InternetCloseHandle(m_hRemoteFile)", label.c_str());
    CloseHandle(0);
    remote_name_.clear();
    std::uint64_t size = 0;
    std::time_t modified = 0;
    if (!transport_->FindFtpFile(remote, size, modified)) {
        Log(kLogError, "FtpFindFirstFile returned = %d", 0);
        ErrorReport("FtpFindFirstFile");
        return false;
    }
    time = modified;
    Log(kLogInfo, "%s : Calling InternetCloseHandle(hFind)", label.c_str());
    Log(kLogInfo, "%s : FtpFindFirstFile  date = %s ", label.c_str(),
        FormatLocalTime(time).c_str());
    return true;
}

bool CNetDownLoader::ReplaceTarget(const fs::path& temp, const std::string& local) {
    // A running module may hold the target for a moment after it was told to end.
    for (int attempt = 1;; ++attempt) {
        if (platform::replace_file(temp, LocalPath(local))) return true;
        if (attempt >= kReplaceAttempts) return false;
        if (options_.pause)
            options_.pause(kReplaceWait);
        else
            std::this_thread::sleep_for(kReplaceWait);
    }
}

bool CNetDownLoader::DownloadFile(const std::string& remote, const std::string& local,
                                  std::uint64_t expected, DownloadCheck* check) {
    const std::string label = Label("DownloadFile(%s->%s)", remote, local);

    // What the server says about the file: the download must match its size,
    // and the copy takes its time so the next comparison finds it current.
    std::optional<std::uint64_t> announced;
    std::optional<std::time_t> server_time;
    const bool ftp = service_ == kServiceFtp && options_.ftp_files;
    if (ftp && transport_->has_connection() &&
        !(transport_->has_remote() && remote_name_ == remote && !remote_read_)) {
        CloseHandle(0);
        remote_name_.clear();
        std::uint64_t size = 0;
        std::time_t modified = 0;
        if (transport_->FindFtpFile(remote, size, modified)) {
            announced = size;
            server_time = modified;
        }
    }
    if (!_IsRemoteFileOpened(remote)) {
        Log(kLogError, "%s : ERROR, remote file could not opened..", label.c_str());
        return false;
    }
    if (service_ == kServiceHttp) {
        std::uint64_t length = 0;
        if (transport_->QueryContentLength(length)) announced = length;
        std::time_t modified = 0;
        if (HttpServerTime(modified)) server_time = modified;
    }

    const std::size_t cut = local.find_last_of("\\/");
    if (!local.empty() && cut != std::string::npos && cut > 0) {
        const std::string folder = local.substr(0, cut + 1);
        if (!CreateFolderWithParents(folder)) {
            Log(kLogError, "%s : ERROR, could not create local folder(%s)", label.c_str(),
                folder.c_str());
            return false;
        }
    }

    // The old file stays until the new one is complete beside it, in a
    // name created afresh: whatever was planted at "local.vlrdown" (a link
    // above all) receives nothing.
    auto created = platform::create_temp_beside(LocalPath(local), ".vlrdown");
    std::FILE* file = created ? created->file.release() : nullptr;
    const fs::path temp_path = created ? created->path : fs::path();
    if (!file) {
        const int code = errno;
        const SystemError error = FileError(code);
        Log(kLogError, "ERROR : Function(%s) failed , EC=%ld , %s [%s]\n", "CFile::Open",
            error.code, "", error.text.c_str());
        Log(kLogError, "%s : ERROR, could not create(open) local file(%s)", label.c_str(),
            local.c_str());
        return false;
    }
    Log(kLogInfo, "%s : Local File open OK : %s", label.c_str(), local.c_str());
    // The 4,096-byte reads reach the disk in large writes.
    std::vector<char> file_buffer(1 << 20);
    std::setvbuf(file, file_buffer.data(), _IOFBF, file_buffer.size());

    auto fail = [&]() {
        if (file) std::fclose(file);
        RemoveQuietly(temp_path);
        return false;
    };

    std::vector<char> buffer(kChunk);
    std::uint64_t received = 0;
    for (int chunk = 1;; ++chunk) {
        std::size_t got = 0;
        remote_read_ = true;
        if (!transport_->Read(buffer.data(), buffer.size(), got)) {
            ErrorReport("InternetReadFile");
            return fail();
        }
        if (got == 0) break;
        Log(kLogDetail, "%s : InternetReadFile[%3d] : %3u bytes", label.c_str(), chunk,
            static_cast<unsigned>(got));
        received += got;
        if (check) check->Update(buffer.data(), got);
        if (expected != 0 && receiver_)
            receiver_->OnProgress(chunk == 1 ? local : "", expected, received);
        if (std::fwrite(buffer.data(), 1, got, file) != got) {
            const SystemError error = FileError(errno);
            Log(kLogError, "ERROR : Function(%s) failed , EC=%ld , %s [%s]\n", "CFile::Write",
                error.code, "", error.text.c_str());
            return fail();
        }
    }
    // On the device before it takes the old file's place.
    const bool flushed = platform::flush_to_device(file);
    const bool closed = std::fclose(file) == 0 && flushed;
    file = nullptr;
    if (!closed) {
        const SystemError error = FileError(errno);
        Log(kLogError, "ERROR : Function(%s) failed , EC=%ld , %s [%s]\n", "CFile::Close",
            error.code, "", error.text.c_str());
        return fail();
    }

    const std::uint64_t required = std::max<std::uint64_t>(expected, announced.value_or(0));
    if (received < required) {
        Log(kLogError, "%s : ERROR, incomplete download : %llu of %llu bytes", label.c_str(),
            static_cast<unsigned long long>(received), static_cast<unsigned long long>(required));
        return fail();
    }
    if (check && !check->Accept()) {
        // The caller reports why; the old file stays as it was.
        Log(kLogWarning, "%s : refused by the content check, %s kept", label.c_str(),
            local.c_str());
        return fail();
    }
    if (server_time) SetLastWriteTime(temp_path, *server_time);
    // The new copy keeps what the old one was allowed (a program stays
    // executable where the system marks that on the file).
    std::error_code ec;
    const fs::file_status old_status = fs::status(LocalPath(local), ec);
    if (!ec && fs::is_regular_file(old_status))
        fs::permissions(temp_path, old_status.permissions(), ec);
    if (!ReplaceTarget(temp_path, local)) {
        Log(kLogError, "%s : ERROR, could not replace local file(%s)", label.c_str(),
            local.c_str());
        return fail();
    }
    Log(kLogInfo, "%s : Download complete : %s -> %s", label.c_str(), remote.c_str(),
        local.c_str());
    return true;
}

}  // namespace netdown
