// WinINet underneath the downloader, with the calls and flags the updater
// has always used. HTTPS requests never carry the flags that ignore
// certificate problems: an untrusted or misnamed server is refused.
#include <windows.h>
#include <wininet.h>

#include <cstdlib>

#include "netdown/transport.h"
#include "platform/text.h"

namespace netdown {

namespace {

constexpr DWORD kPassive = 0x08000000;       // INTERNET_FLAG_PASSIVE
constexpr DWORD kFtpOpenFlags = 0x80000002;  // RELOAD | TRANSFER_TYPE_BINARY
constexpr DWORD kFindFlags = 0x84000000;     // RELOAD | NO_CACHE_WRITE
constexpr DWORD kRequestFlags = 0x84400000;  // RELOAD | NO_CACHE_WRITE | KEEP_CONNECTION

std::wstring Wide(const std::string& utf8) {
    return platform::to_wide(utf8).value_or(std::wstring());
}

std::string Utf8(const wchar_t* wide, int length) {
    return platform::from_wide(std::wstring_view(wide, static_cast<std::size_t>(length)))
        .value_or(std::string());
}

std::time_t FileTimeToCalendar(const FILETIME& ft) {
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    // 100-ns ticks since 1601 to seconds since 1970.
    return static_cast<std::time_t>(v.QuadPart / 10000000ULL - 11644473600ULL);
}

// Texts for the refusals of a server's certificate, for systems whose
// WinINet carries no message table.
const char* CertificateProblem(DWORD code) {
    switch (code) {
        case ERROR_INTERNET_INVALID_CA:
            return "the server's certificate is not signed by a trusted authority";
        case ERROR_INTERNET_SEC_CERT_CN_INVALID:
            return "the server's certificate does not name this server";
        case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
            return "the server's certificate has expired or is not yet valid";
        case ERROR_INTERNET_SEC_CERT_REVOKED:
            return "the server's certificate has been revoked";
        case ERROR_INTERNET_SEC_CERT_REV_FAILED:
            return "the server's certificate could not be checked: its chain or revocation "
                   "status is unknown";
        case ERROR_INTERNET_SEC_INVALID_CERT:
        case ERROR_INTERNET_SEC_CERT_ERRORS:
            return "the server's certificate is not valid";
        case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
            return "the secure channel to the server could not be set up";
        default:
            return nullptr;
    }
}

class WinInetTransport final : public Transport {
  public:
    ~WinInetTransport() override {
        CloseRemote();
        CloseConnection();
        CloseSession();
    }

    bool OpenSession(const std::string& agent) override {
        session_ =
            InternetOpenW(Wide(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        return session_ || Fail();
    }

    bool Connect(const Endpoint& e) override {
        secure_ = e.secure;
        const DWORD flags = e.service == INTERNET_SERVICE_FTP && e.passive ? kPassive : 0;
        connection_ = InternetConnectW(
            session_, Wide(e.host).c_str(), e.port, Wide(e.login).c_str(), Wide(e.password).c_str(),
            static_cast<DWORD>(e.service), flags, reinterpret_cast<DWORD_PTR>(this));
        return connection_ || Fail();
    }

    bool OpenFtpFile(const std::string& name) override {
        remote_ = FtpOpenFileW(connection_, Wide(name).c_str(), GENERIC_READ, kFtpOpenFlags,
                               reinterpret_cast<DWORD_PTR>(this));
        return remote_ || Fail();
    }

    bool FindFtpFile(const std::string& name, std::uint64_t& size, std::time_t& modified) override {
        WIN32_FIND_DATAW data{};
        HINTERNET find = FtpFindFirstFileW(connection_, Wide(name).c_str(), &data, kFindFlags,
                                           reinterpret_cast<DWORD_PTR>(this));
        if (!find) return Fail();
        size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        // Listings give the server's local time.
        FILETIME utc{};
        LocalFileTimeToFileTime(&data.ftLastWriteTime, &utc);
        modified = FileTimeToCalendar(utc);
        InternetCloseHandle(find);
        return true;
    }

    bool OpenHttpRequest(const std::string& name) override {
        const wchar_t* accept[] = {L"*/*", nullptr};
        remote_ = HttpOpenRequestW(connection_, L"GET", Wide(name).c_str(), nullptr, nullptr,
                                   accept, kRequestFlags | (secure_ ? INTERNET_FLAG_SECURE : 0),
                                   reinterpret_cast<DWORD_PTR>(this));
        return remote_ || Fail();
    }

    bool SendHttpRequest() override {
        return HttpSendRequestW(remote_, nullptr, 0, nullptr, 0) || Fail();
    }

    bool QueryHttpStatus(int& status) override {
        wchar_t text[16] = {};  // 32 bytes
        DWORD length = sizeof text;
        if (!HttpQueryInfoW(remote_, HTTP_QUERY_STATUS_CODE, text, &length, nullptr)) return Fail();
        status = _wtoi(text);
        return true;
    }

    bool QueryContentLength(std::uint64_t& value) override {
        wchar_t text[16] = {};
        DWORD length = sizeof text;
        if (!HttpQueryInfoW(remote_, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr))
            return Fail();
        value = static_cast<std::uint64_t>(_wcstoui64(text, nullptr, 10));
        return true;
    }

    bool QueryLastModified(UtcTime& time) override {
        SYSTEMTIME st{};
        DWORD length = sizeof st;
        if (!HttpQueryInfoW(remote_, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &st,
                            &length, nullptr))
            return Fail();
        time = UtcTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
        return true;
    }

    bool Read(void* buffer, std::size_t size, std::size_t& got) override {
        DWORD read = 0;
        if (!InternetReadFile(remote_, buffer, static_cast<DWORD>(size), &read)) {
            got = 0;
            return Fail();
        }
        got = read;
        return true;
    }

    bool CloseRemote() override { return Close(remote_); }
    bool CloseConnection() override { return Close(connection_); }
    bool CloseSession() override { return Close(session_); }

    bool has_session() const override { return session_ != nullptr; }
    bool has_connection() const override { return connection_ != nullptr; }
    bool has_remote() const override { return remote_ != nullptr; }
    SystemError LastError() const override { return error_; }

  private:
    bool Close(HINTERNET& handle) {
        if (!handle) return true;
        if (!InternetCloseHandle(handle)) return Fail();
        handle = nullptr;
        return true;
    }

    bool Fail() {
        const DWORD code = GetLastError();
        error_ = SystemError{static_cast<long>(code), ""};
        wchar_t* text = nullptr;
        // WinINet's own codes have their texts in its module, not the system's.
        const DWORD n = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
            GetModuleHandleW(L"wininet.dll"), code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
            reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        if (n > 0 && text) error_.text = Utf8(text, static_cast<int>(n));
        if (text) LocalFree(text);
        if (const char* problem = CertificateProblem(code); problem && error_.text.empty())
            error_.text = problem;
        return false;
    }

    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET remote_ = nullptr;
    bool secure_ = false;
    SystemError error_;
};

}  // namespace

std::unique_ptr<Transport> MakeSystemTransport() {
    return std::make_unique<WinInetTransport>();
}

}  // namespace netdown
