// The downloader over HTTPS against loopback TLS servers with a certificate
// authority made for this run: the trusted server's files arrive whole; a
// server whose certificate names another host, or is signed by an authority
// nobody trusts, is refused with a log line that says why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "netdown/net_downloader.h"
#include "tests/netdown/test_files.h"
#include "tests/netdown/trust.h"

namespace {

namespace fs = std::filesystem;
using netdown::CNetDownLoader;
using testing_support::LogMessages;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

struct Servers {
    fs::path folder;
    int good = 0, wrong_name = 0, untrusted = 0;
};

// Started by the test fixture (tls_servers.py), which names its folder.
Servers FindServers() {
    Servers s;
    const char* folder = std::getenv("VELLORA_TLS_DIR");
    if (!folder) return s;
    s.folder = folder;
    std::ifstream in(s.folder / "ports");
    in >> s.good >> s.wrong_name >> s.untrusted;
    return s;
}

class HttpsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        servers_ = FindServers();
        ASSERT_GT(servers_.untrusted, 0) << "the TLS servers are not running";
        NewDownloader();
    }

    // A fresh downloader truncates its log.
    void NewDownloader() {
        down_.reset();
        netdown::DownloaderOptions options;
        options.log_file = (local_ / "NetDownLoader.log").string();
        options.pause = [](std::chrono::milliseconds) {};
        down_ = std::make_unique<CNetDownLoader>(options);
    }
    void TearDown() override { testing_support::ForgetTestAuthority(); }

    void Trust() { ASSERT_TRUE(testing_support::TrustTestAuthority(servers_.folder)); }

    // Connects and downloads /down/file.bin; true when it arrived.
    bool Fetch(const std::string& host, int port, const std::string& local) {
        return down_->SetLoginInfo(host, netdown::kServiceHttp, 0, port, "", "", true) &&
               down_->ConnectServer() && down_->DownloadFile("/down/file.bin", local, 0);
    }

    // The level-1 failure report of the refusal, if any.
    std::string CertificateRefusal() {
        for (const auto& m : LogMessages(local_ / "NetDownLoader.log"))
            if (testing_support::IsCertificateRefusal(m)) return m;
        return "";
    }

    // Nothing arrives, and the log says that the certificate was the reason.
    void ExpectRefused(int port) {
        const fs::path local = local_ / "file.bin";
        EXPECT_FALSE(Fetch("127.0.0.1", port, local.string()));
        EXPECT_FALSE(fs::exists(local) && fs::file_size(local) > 0);
        EXPECT_NE(CertificateRefusal(), "") << "no log line names the certificate:\n" << LogText();
    }

    std::string LogText() {
        std::string text;
        for (const auto& m : LogMessages(local_ / "NetDownLoader.log")) text += m + "\n";
        return text;
    }

    std::string Serve(std::size_t size) {
        const std::string data = RandomBytes(size, 7);
        WriteFile(servers_.folder / "root" / "down" / "file.bin", data);
        return data;
    }

    Servers servers_;
    TempFolder local_;
    std::unique_ptr<CNetDownLoader> down_;
};

// WinINet keeps its verdict on a server for the life of the process, whatever
// the store says later, so ctest runs this case in a process of its own.
TEST_F(HttpsTest, RefusesTheServerWhileItsAuthorityIsNotTrusted) {
    Serve(1000);
    ExpectRefused(servers_.good);
}

TEST_F(HttpsTest, RefusesWrongNamesAndUnknownAuthorities) {
    Serve(1000);
    Trust();
    struct Case {
        const char* what;
        int Servers::*port;
    } cases[] = {
        {"certificate names another host", &Servers::wrong_name},
        {"certificate signed by an unknown authority", &Servers::untrusted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewDownloader();
        ExpectRefused(servers_.*c.port);
    }
}

TEST_F(HttpsTest, TrustedServerDeliversTheFileByAddressAndByName) {
    const std::string data = Serve(50000);
    Trust();
    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        const fs::path local = local_ / (std::string(host) + ".bin");
        ASSERT_TRUE(Fetch(host, servers_.good, local.string()));
        EXPECT_EQ(ReadFile(local), data);
        std::uint64_t size = 0;
        EXPECT_TRUE(down_->GetRemoteFileSize("/down/file.bin", size));
        EXPECT_EQ(size, data.size());
    }
    EXPECT_EQ(CertificateRefusal(), "");
}

}  // namespace
