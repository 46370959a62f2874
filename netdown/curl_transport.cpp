// libcurl underneath the downloader. A remote file is one transfer on a
// multi handle that the reader drives: the request is sent and its answer's
// head read before the first byte of the body is asked for, as WinINet does.
//
// HTTPS always verifies the server's certificate chain and name against the
// system's authorities. VELLORA_CA_FILE names a PEM file of authorities to
// trust instead (a private update server's own authority); it never turns
// verification off.
#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "netdown/transport.h"

namespace netdown {

namespace {

constexpr long kHeaderNotFound = 12150;             // the code WinINet gives a missing header
constexpr std::size_t kReceiveBuffer = 256 * 1024;  // curl hands over at most this much
constexpr std::size_t kRingSize = 8 * kReceiveBuffer;

// Bytes a URL path cannot carry as they are.
std::string EscapePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '#' || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c == '\\' ? '/' : c);
        }
    }
    return out;
}

bool HeaderIs(const std::string& line, const char* name) {
    const std::size_t n = std::strlen(name);
    if (line.size() <= n || line[n] != ':') return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) !=
            std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

std::string HeaderValue(const std::string& line) {
    std::size_t begin = line.find(':') + 1;
    std::size_t end = line.size();
    while (begin < end && (line[begin] == ' ' || line[begin] == '\t')) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
    return line.substr(begin, end - begin);
}

class CurlTransport final : public Transport {
  public:
    ~CurlTransport() override {
        CloseRemote();
        CloseConnection();
        if (multi_) curl_multi_cleanup(multi_);
    }

    bool OpenSession(const std::string& agent) override {
        static std::once_flag once;
        static CURLcode init = CURLE_OK;
        std::call_once(once, [] { init = curl_global_init(CURL_GLOBAL_DEFAULT); });
        if (init != CURLE_OK) return Fail(init);
        if (!multi_) multi_ = curl_multi_init();
        if (!multi_) return Fail(CURLE_OUT_OF_MEMORY);
        agent_ = agent;
        session_ = true;
        return true;
    }

    bool Connect(const Endpoint& endpoint) override {
        endpoint_ = endpoint;
        // Reach the server now (and log in, for FTP) so that a wrong address
        // fails here and not at the first file.
        CURL* probe = curl_easy_init();
        if (!probe) return Fail(CURLE_OUT_OF_MEMORY);
        Prepare(probe, BaseUrl() + "/");
        curl_easy_setopt(probe, CURLOPT_CONNECT_ONLY, 1L);
        const CURLcode rc = curl_easy_perform(probe);
        curl_easy_cleanup(probe);
        if (rc != CURLE_OK) return Fail(rc, detail_);
        connected_ = true;
        return true;
    }

    bool OpenFtpFile(const std::string& name) override {
        if (!StartStream(FileUrl(name))) return false;
        // The server answers RETR before the data flows: wait for either.
        DriveUntil([this] { return Available() > 0; });
        if (done_ && result_ != CURLE_OK) {
            Fail(result_, detail_);
            StopStream();
            remote_open_ = false;
            return false;
        }
        return true;
    }

    bool FindFtpFile(const std::string& name, std::uint64_t& size, std::time_t& modified) override {
        if (!control_) control_ = curl_easy_init();
        if (!control_) return Fail(CURLE_OUT_OF_MEMORY);
        curl_easy_reset(control_);
        Prepare(control_, FileUrl(name));
        curl_easy_setopt(control_, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(control_, CURLOPT_FILETIME, 1L);
        curl_easy_setopt(control_, CURLOPT_HEADERFUNCTION, &CurlTransport::Discard);
        curl_easy_setopt(control_, CURLOPT_WRITEFUNCTION, &CurlTransport::Discard);
        const CURLcode rc = curl_easy_perform(control_);
        if (rc != CURLE_OK) return Fail(rc, detail_);
        curl_off_t length = -1, time = -1;
        curl_easy_getinfo(control_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        curl_easy_getinfo(control_, CURLINFO_FILETIME_T, &time);
        if (length < 0 || time < 0) return Fail(CURLE_REMOTE_FILE_NOT_FOUND);
        size = static_cast<std::uint64_t>(length);
        modified = static_cast<std::time_t>(time);
        return true;
    }

    bool OpenHttpRequest(const std::string& name) override {
        StopStream();
        if (!connected_) return Fail(CURLE_COULDNT_CONNECT);
        url_ = FileUrl(name);
        remote_open_ = true;
        return true;
    }

    bool SendHttpRequest() override {
        if (!remote_open_) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
        if (!StartStream(url_)) return false;
        DriveUntil([this] { return headers_done_; });
        if (!headers_done_) {
            Fail(done_ ? result_ : CURLE_RECV_ERROR, detail_);
            return false;
        }
        return true;
    }

    bool QueryHttpStatus(int& status) override {
        if (!headers_done_) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
        status = static_cast<int>(status_);
        return true;
    }

    bool QueryContentLength(std::uint64_t& length) override {
        const std::string* value = FindHeader("Content-Length");
        if (!value || value->empty() || value->find_first_not_of("0123456789") != std::string::npos)
            return HeaderMissing();
        length = std::strtoull(value->c_str(), nullptr, 10);
        return true;
    }

    bool QueryLastModified(UtcTime& time) override {
        const std::string* value = FindHeader("Last-Modified");
        if (!value) return HeaderMissing();
        const std::time_t t = curl_getdate(value->c_str(), nullptr);
        if (t == -1) return HeaderMissing();
        std::tm utc{};
        gmtime_r(&t, &utc);
        time = UtcTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                       utc.tm_hour,        utc.tm_min,     utc.tm_sec};
        return true;
    }

    bool Read(void* buffer, std::size_t size, std::size_t& got) override {
        got = 0;
        if (!remote_open_ || !in_multi_) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
        auto* out = static_cast<char*>(buffer);
        while (got < size) {
            if (Available() > 0) {
                got += TakeFromRing(out + got, size - got);
                continue;
            }
            if (done_) break;
            if (paused_) {
                Resume();
                continue;
            }
            DriveUntil([this] { return Available() > 0 || paused_; });
        }
        // A broken transfer hands out what arrived, then fails.
        if (got == 0 && done_ && result_ != CURLE_OK) return Fail(result_, detail_);
        return true;
    }

    bool CloseRemote() override {
        StopStream();
        remote_open_ = false;
        return true;
    }

    bool CloseConnection() override {
        StopStream();
        remote_open_ = false;
        if (control_) curl_easy_cleanup(control_), control_ = nullptr;
        if (stream_) curl_easy_cleanup(stream_), stream_ = nullptr;
        connected_ = false;
        return true;
    }

    bool CloseSession() override {
        session_ = false;
        return true;
    }

    bool has_session() const override { return session_; }
    bool has_connection() const override { return connected_; }
    bool has_remote() const override { return remote_open_; }
    SystemError LastError() const override { return error_; }

  private:
    // `detail` is curl's own account of this failure ("SSL certificate
    // problem: ..."), clearer than the code's general text when present.
    bool Fail(CURLcode code, const char* detail = "") {
        error_ = SystemError{static_cast<long>(code), *detail ? detail : curl_easy_strerror(code)};
        return false;
    }
    bool HeaderMissing() {
        error_ = SystemError{kHeaderNotFound, ""};  // no system text, as there
        return false;
    }

    std::string BaseUrl() const {
        const bool ftp = endpoint_.service == 1;
        std::string url = ftp ? "ftp://" : endpoint_.secure ? "https://" : "http://";
        const bool ipv6 = endpoint_.host.find(':') != std::string::npos;
        url += ipv6 ? "[" + endpoint_.host + "]" : endpoint_.host;
        return url + ":" + std::to_string(endpoint_.port);
    }

    std::string FileUrl(const std::string& name) const {
        std::string path = EscapePath(name);
        if (endpoint_.service == 1) {
            // An absolute FTP path starts from the server's root, not the login folder.
            if (!path.empty() && path[0] == '/') return BaseUrl() + "/%2F" + path.substr(1);
            return BaseUrl() + "/" + path;
        }
        return BaseUrl() + (path.empty() || path[0] != '/' ? "/" : "") + path;
    }

    void Prepare(CURL* easy, const std::string& url) {
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_USERAGENT, agent_.c_str());
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 20L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, 60L);
        if (!endpoint_.login.empty() || endpoint_.service == 1) {
            curl_easy_setopt(easy, CURLOPT_USERNAME,
                             endpoint_.login.empty() ? "anonymous" : endpoint_.login.c_str());
            curl_easy_setopt(easy, CURLOPT_PASSWORD, endpoint_.password.c_str());
        }
        if (endpoint_.service == 1 && !endpoint_.passive)
            curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
        detail_[0] = '\0';
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, detail_);
        if (endpoint_.secure) {
            curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https");
            curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
            curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
            curl_easy_setopt(easy, CURLOPT_SSLVERSION, CURL_SSLVERSION_TLSv1_2);
            const char* authorities = std::getenv("VELLORA_CA_FILE");
            if (authorities && *authorities) curl_easy_setopt(easy, CURLOPT_CAINFO, authorities);
        }
    }

    bool StartStream(const std::string& url) {
        StopStream();
        if (!stream_) stream_ = curl_easy_init();
        if (!stream_) return Fail(CURLE_OUT_OF_MEMORY);
        curl_easy_reset(stream_);
        Prepare(stream_, url);
        curl_easy_setopt(stream_, CURLOPT_BUFFERSIZE, static_cast<long>(kReceiveBuffer));
        curl_easy_setopt(stream_, CURLOPT_WRITEFUNCTION, &CurlTransport::OnBody);
        curl_easy_setopt(stream_, CURLOPT_WRITEDATA, this);
        if (endpoint_.service != 1) {
            curl_easy_setopt(stream_, CURLOPT_HEADERFUNCTION, &CurlTransport::OnHeader);
            curl_easy_setopt(stream_, CURLOPT_HEADERDATA, this);
            // A fresh copy from the server, past any cache on the way.
            no_cache_ = curl_slist_append(no_cache_, "Pragma: no-cache");
            no_cache_ = curl_slist_append(no_cache_, "Cache-Control: no-cache");
            curl_easy_setopt(stream_, CURLOPT_HTTPHEADER, no_cache_);
        }
        if (curl_multi_add_handle(multi_, stream_) != CURLM_OK) return Fail(CURLE_FAILED_INIT);
        in_multi_ = true;
        remote_open_ = true;
        return true;
    }

    void StopStream() {
        if (in_multi_) curl_multi_remove_handle(multi_, stream_);
        in_multi_ = false;
        if (no_cache_) curl_slist_free_all(no_cache_), no_cache_ = nullptr;
        ring_head_ = ring_used_ = 0;
        done_ = paused_ = headers_done_ = false;
        result_ = CURLE_OK;
        status_ = 0;
        headers_.clear();
    }

    void Pump() {
        int running = 0;
        const CURLMcode mc = curl_multi_perform(multi_, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == stream_) {
                done_ = true;
                result_ = msg->data.result;
            }
        }
        if (mc != CURLM_OK && !done_) {
            done_ = true;
            result_ = CURLE_RECV_ERROR;
        }
    }

    // Runs the transfer until `ready` holds or it has ended.
    template <class Ready>
    void DriveUntil(Ready ready) {
        while (!done_ && !ready()) {
            Pump();
            if (!done_ && !ready()) curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
        }
    }

    std::size_t Available() const { return ring_used_; }

    void Resume() {
        paused_ = false;
        curl_easy_pause(stream_, CURLPAUSE_CONT);
    }

    std::size_t TakeFromRing(char* out, std::size_t want) {
        std::size_t taken = 0;
        while (taken < want && ring_used_ > 0) {
            const std::size_t n = std::min({want - taken, ring_used_, kRingSize - ring_head_});
            std::memcpy(out + taken, ring_.data() + ring_head_, n);
            ring_head_ = (ring_head_ + n) % kRingSize;
            ring_used_ -= n;
            taken += n;
        }
        if (ring_used_ == 0) ring_head_ = 0;
        return taken;
    }

    void PutIntoRing(const char* data, std::size_t n) {
        std::size_t tail = (ring_head_ + ring_used_) % kRingSize;
        while (n > 0) {
            const std::size_t k = std::min(n, kRingSize - tail);
            std::memcpy(ring_.data() + tail, data, k);
            data += k;
            n -= k;
            ring_used_ += k;
            tail = (tail + k) % kRingSize;
        }
    }

    const std::string* FindHeader(const char* name) const {
        if (!headers_done_) return nullptr;
        for (const auto& [line, value] : headers_)
            if (HeaderIs(line, name)) return &value;
        return nullptr;
    }

    static std::size_t Discard(char*, std::size_t size, std::size_t count, void*) {
        return size * count;
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto* t = static_cast<CurlTransport*>(self);
        const std::size_t n = size * count;
        // No room: curl keeps the data and hands it over again on resume.
        if (kRingSize - t->ring_used_ < n) {
            t->paused_ = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        t->PutIntoRing(data, n);
        return n;
    }

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto* t = static_cast<CurlTransport*>(self);
        const std::size_t n = size * count;
        std::string line(data, n);
        if (line.rfind("HTTP/", 0) == 0) {
            const std::size_t blank = line.find(' ');
            t->status_ =
                blank == std::string::npos ? 0 : std::strtol(line.c_str() + blank + 1, nullptr, 10);
            t->headers_.clear();
            t->headers_done_ = false;
        } else if (line == "\r\n" || line == "\n") {
            if (t->status_ >= 200) t->headers_done_ = true;
        } else if (line.find(':') != std::string::npos) {
            t->headers_.emplace_back(line, HeaderValue(line));
        }
        return n;
    }

    std::string agent_;
    Endpoint endpoint_;
    bool session_ = false;
    bool connected_ = false;
    bool remote_open_ = false;
    bool in_multi_ = false;
    CURLM* multi_ = nullptr;
    CURL* stream_ = nullptr;
    CURL* control_ = nullptr;
    curl_slist* no_cache_ = nullptr;
    std::string url_;
    std::vector<char> ring_ = std::vector<char>(kRingSize);
    std::size_t ring_head_ = 0;
    std::size_t ring_used_ = 0;
    bool done_ = false;
    bool paused_ = false;
    bool headers_done_ = false;
    CURLcode result_ = CURLE_OK;
    long status_ = 0;
    std::vector<std::pair<std::string, std::string>> headers_;
    SystemError error_;
    char detail_[CURL_ERROR_SIZE] = {};
};

}  // namespace

std::unique_ptr<Transport> MakeSystemTransport() {
    return std::make_unique<CurlTransport>();
}

}  // namespace netdown
