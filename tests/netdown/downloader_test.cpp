// The downloader against real HTTP and FTP servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "netdown/local_path.h"
#include "netdown/net_downloader.h"
#include "tests/netdown/loopback_server.h"
#include "tests/netdown/test_files.h"

namespace {

namespace fs = std::filesystem;
using netdown::CNetDownLoader;
using netdown::DownloaderOptions;
using testing_support::HasMessage;
using testing_support::HasMessagePrefix;
using testing_support::LogMessages;
using testing_support::LoopbackServer;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

struct Report {
    std::string path;
    std::uint64_t total, received;
};

class RecordingReceiver : public netdown::ProgressReceiver {
  public:
    void OnProgress(const std::string& path, std::uint64_t total, std::uint64_t received) override {
        reports.push_back({path, total, received});
    }
    std::vector<Report> reports;
};

// One server, one downloader logging into the test's folder.
class DownloaderTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override { Start(GetParam()); }

    void Start(const std::string& kind) {
        kind_ = kind;
        server_ = std::make_unique<LoopbackServer>(kind, served_.path());
        ASSERT_GT(server_->port(), 0) << "the " << kind << " server did not start";
        DownloaderOptions options;
        options.log_file = (local_ / "NetDownLoader.log").string();
        options.pause = [](std::chrono::milliseconds) {};
        down_ = std::make_unique<CNetDownLoader>(options);
    }

    bool Connect(const std::string& login = "", const std::string& password = "") {
        const int service = kind_ == "ftp" ? netdown::kServiceFtp : netdown::kServiceHttp;
        std::string user = login, pass = password;
        if (kind_ == "ftp" && user.empty()) user = "vellora", pass = "s3cret";
        return down_->SetLoginInfo("127.0.0.1", service, 1, server_->port(), user, pass) &&
               down_->ConnectServer();
    }

    void Serve(const std::string& name, const std::string& data, std::time_t modified = 0) {
        const fs::path path = server_->root() / name;
        WriteFile(path, data);
        if (modified) netdown::SetLastWriteTime(path, modified);
    }

    std::vector<std::string> Log() { return LogMessages(local_ / "NetDownLoader.log"); }
    std::string Local(const std::string& name) { return (local_ / name).string(); }

    TempFolder served_, local_;
    std::string kind_;
    std::unique_ptr<LoopbackServer> server_;
    std::unique_ptr<CNetDownLoader> down_;
};

// Two days ago on a whole minute: FTP listings give recent files to the minute.
const std::time_t kServerTime = (std::time(nullptr) - 2 * 86400) / 60 * 60;

std::string UtcText(std::time_t t) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::gmtime(&t));
    return text;
}

TEST_P(DownloaderTest, ReportsSizeAndTimeOfTheServerCopy) {
    Serve("down/a.bin", RandomBytes(12345, 1), kServerTime);
    ASSERT_TRUE(Connect());
    std::uint64_t size = 0;
    std::time_t time = 0;
    EXPECT_TRUE(down_->GetRemoteFileSize("/down/a.bin", size));
    EXPECT_EQ(size, 12345u);
    EXPECT_TRUE(down_->GetRemoteFileTime("/down/a.bin", time));
    EXPECT_EQ(time, kServerTime);
    const auto log = Log();
    EXPECT_TRUE(HasMessage(log, "InternetOpen() OK..."));
    EXPECT_TRUE(HasMessage(log, "GetRemoteFileSize(/down/a.bin) : GetRemoteFileSize ENTER"));
    EXPECT_TRUE(HasMessage(log, "GetRemoteFileTime(/down/a.bin) : GetRemoteFileTime ENTER"));
    if (kind_ == "http") {
        EXPECT_TRUE(
            HasMessage(log, "GetRemoteFileSize(/down/a.bin) : HttpQueryInfo : size =12345"));
        EXPECT_TRUE(HasMessage(
            log, "GetRemoteFileTime(/down/a.bin) : HttpQueryInfo date = " + UtcText(kServerTime)));
        EXPECT_TRUE(HasMessage(log, "GetRemoteFileTime(/down/a.bin) : Converted DateTime = " +
                                        netdown::FormatLocalTime(kServerTime)));
    } else {
        EXPECT_TRUE(
            HasMessage(log, "GetRemoteFileSize(/down/a.bin) : FtpFindFirstFile  size = 12345 "));
        EXPECT_TRUE(HasMessage(log, "GetRemoteFileTime(/down/a.bin) : FtpFindFirstFile  date = " +
                                        netdown::FormatLocalTime(kServerTime) + " "));
    }
}

TEST_P(DownloaderTest, MissingRemoteFileFailsEveryOperation) {
    ASSERT_TRUE(Connect());
    std::uint64_t size = 7;
    std::time_t time = 7;
    EXPECT_FALSE(down_->GetRemoteFileSize("/down/none.bin", size));
    EXPECT_FALSE(down_->GetRemoteFileTime("/down/none.bin", time));
    EXPECT_FALSE(down_->DownloadFile("/down/none.bin", Local("none.bin"), 0));
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(time, 7);
    EXPECT_FALSE(fs::exists(Local("none.bin")));
    const auto log = Log();
    if (kind_ == "http") {
        EXPECT_TRUE(HasMessage(log, "HttpSendRequest(/down/none.bin)  STAUS = 404 ERROR..."));
        EXPECT_TRUE(HasMessage(log,
                               "_IsRemoteFileOpened : ERROR, could not open remote file "
                               "handle : /down/none.bin"));
        EXPECT_TRUE(HasMessage(log,
                               "GetRemoteFileSize(/down/none.bin) : ERROR, remote file "
                               "could not opened.."));
        EXPECT_TRUE(HasMessage(log,
                               "GetRemoteFileTime(/down/none.bin) : ERROR, remote file "
                               "could not opened.."));
    } else {
        EXPECT_TRUE(HasMessagePrefix(log, "ERROR : Function(FtpFindFirstFile) failed , EC="));
        EXPECT_TRUE(HasMessage(log, "FtpFindFirstFile returned = 0"));
        EXPECT_TRUE(HasMessagePrefix(log, "ERROR : Function(FtpOpenFile) failed , EC="));
    }
    EXPECT_TRUE(HasMessage(log, "DownloadFile(/down/none.bin->" + Local("none.bin") +
                                    ") : ERROR, remote file could not opened.."));
}

TEST_P(DownloaderTest, TenThousandBytesArriveInFullChunksThenTheRest) {
    const std::string data = RandomBytes(10000, 2);
    Serve("down/b.bin", data, kServerTime);
    down_->set_max_level(netdown::kLogDetail);
    RecordingReceiver receiver;
    down_->SetProgressReceiver(&receiver);
    ASSERT_TRUE(Connect());
    const std::string local = Local("b.bin");
    ASSERT_TRUE(down_->DownloadFile("/down/b.bin", local, 10000));
    EXPECT_EQ(ReadFile(local), data);

    const std::string label = "DownloadFile(/down/b.bin->" + local + ")";
    const auto log = Log();
    EXPECT_TRUE(HasMessage(log, label + " : Local File open OK : " + local));
    EXPECT_TRUE(HasMessage(log, label + " : InternetReadFile[  1] : 4096 bytes"));
    EXPECT_TRUE(HasMessage(log, label + " : InternetReadFile[  2] : 4096 bytes"));
    EXPECT_TRUE(HasMessage(log, label + " : InternetReadFile[  3] : 1808 bytes"));
    EXPECT_FALSE(HasMessagePrefix(log, label + " : InternetReadFile[  4]"));
    EXPECT_TRUE(HasMessage(log, label + " : Download complete : /down/b.bin -> " + local));

    ASSERT_EQ(receiver.reports.size(), 3u);
    EXPECT_EQ(receiver.reports[0].path, local);
    EXPECT_EQ(receiver.reports[1].path, "");
    EXPECT_EQ(receiver.reports[2].received, 10000u);
    for (const auto& r : receiver.reports) EXPECT_EQ(r.total, 10000u);
    // The copy carries the server's time, so the next comparison finds it current.
    EXPECT_EQ(netdown::LastWriteTime(local), kServerTime);
}

TEST_P(DownloaderTest, UnknownSizeGivesNoProgressAndEmptyFileIsComplete) {
    Serve("list.txt", "a|b\n");
    Serve("empty.bin", "");
    RecordingReceiver receiver;
    down_->SetProgressReceiver(&receiver);
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(down_->DownloadFile("list.txt", Local("list.txt"), 0));
    ASSERT_TRUE(down_->DownloadFile("empty.bin", Local("empty.bin"), 0));
    EXPECT_EQ(ReadFile(Local("list.txt")), "a|b\n");
    EXPECT_TRUE(fs::exists(Local("empty.bin")));
    EXPECT_EQ(fs::file_size(Local("empty.bin")), 0u);
    EXPECT_TRUE(receiver.reports.empty());
}

TEST_P(DownloaderTest, SecondDownloadOfTheSameNameIsComplete) {
    const std::string data = RandomBytes(9000, 3);
    Serve("c.bin", data);
    ASSERT_TRUE(Connect());
    std::uint64_t size = 0;
    ASSERT_TRUE(down_->GetRemoteFileSize("c.bin", size));
    ASSERT_TRUE(down_->DownloadFile("c.bin", Local("one.bin"), size));
    ASSERT_TRUE(down_->DownloadFile("c.bin", Local("two.bin"), size));
    EXPECT_EQ(ReadFile(Local("one.bin")), data);
    EXPECT_EQ(ReadFile(Local("two.bin")), data);
    if (kind_ == "http") {
        // The size query's request carries the first download; the second opens anew.
        int opened = 0;
        for (const auto& m : Log()) opened += m == "HttpOpenRequest(c.bin) OK...";
        EXPECT_EQ(opened, 2);
    }
}

TEST_P(DownloaderTest, LocalFoldersAreCreatedWithTheirParents) {
    Serve("d.bin", "module");
    ASSERT_TRUE(Connect());
    const fs::path before = fs::current_path();
    fs::current_path(local_.path());
    const bool ok = down_->DownloadFile("d.bin", "Update\\Sub\\a.dll", 0) &&
                    down_->DownloadFile("d.bin", "plain.dll", 0);
    fs::current_path(before);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ReadFile(netdown::LocalPath((local_.path() / "Update/Sub/a.dll").string())),
              "module");
    EXPECT_TRUE(fs::is_directory(local_ / "Update"));
    EXPECT_EQ(ReadFile(local_ / "plain.dll"), "module");
    // Nothing is left beside the modules.
    int entries = 0;
    for (auto& e : fs::recursive_directory_iterator(local_.path())) entries += e.is_regular_file();
    EXPECT_EQ(entries, 3);  // the two modules and the log
}

TEST_P(DownloaderTest, LoginPasswordNeverReachesTheLog) {
    Serve("e.bin", "x");
    ASSERT_TRUE(
        Connect(kind_ == "ftp" ? "vellora" : "reader", kind_ == "ftp" ? "s3cret" : "s3cret"));
    EXPECT_TRUE(down_->DownloadFile("e.bin", Local("e.bin"), 0));
    const std::string service = kind_ == "ftp" ? "1" : "3";
    const std::string user = kind_ == "ftp" ? "vellora" : "reader";
    const auto log = Log();
    EXPECT_TRUE(HasMessage(log, "InternetConnect(127.0.0.1 , " + std::to_string(server_->port()) +
                                    ", " + user + ", ****, " + service + ") OK..."));
    EXPECT_EQ(ReadFile(local_ / "NetDownLoader.log").find("s3cret"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Servers, DownloaderTest, ::testing::Values("http", "ftp"),
                         [](const auto& info) { return std::string(info.param); });

// Cases only HTTP can produce: answers without a date, bodies cut off mid-way.
class HttpDownloaderTest : public DownloaderTest {
  protected:
    void SetUp() override { Start("http"); }
};

TEST_F(HttpDownloaderTest, AnswerWithoutDateHasNoTime) {
    Serve("f.bin", "abc");
    ASSERT_TRUE(Connect());
    std::time_t time = 0;
    EXPECT_FALSE(down_->GetRemoteFileTime("/nodate/f.bin", time));
    EXPECT_TRUE(HasMessagePrefix(Log(), "ERROR : Function(HttpQueryInfo) failed , EC=12150 ,  ["));
    // The file still downloads: the date only dates the copy.
    EXPECT_TRUE(down_->DownloadFile("/nodate/f.bin", Local("f.bin"), 0));
    EXPECT_EQ(ReadFile(Local("f.bin")), "abc");
}

TEST_F(HttpDownloaderTest, CutOffBodyKeepsTheOldFile) {
    const std::string old_module = RandomBytes(3000, 4);
    WriteFile(Local("g.dll"), old_module);
    Serve("g.dll", RandomBytes(20000, 5));
    ASSERT_TRUE(Connect());
    for (std::uint64_t expected : {std::uint64_t{0}, std::uint64_t{20000}}) {
        EXPECT_FALSE(down_->DownloadFile("/cut/g.dll", Local("g.dll"), expected));
        EXPECT_EQ(ReadFile(Local("g.dll")), old_module);
        EXPECT_FALSE(fs::exists(Local("g.dll.vlrdown")));
    }
}

TEST_F(HttpDownloaderTest, FewerBytesThanExpectedIsAFailure) {
    const std::string old_module = "old";
    WriteFile(Local("h.dll"), old_module);
    Serve("h.dll", "new but short");
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(down_->DownloadFile("h.dll", Local("h.dll"), 50));
    EXPECT_EQ(ReadFile(Local("h.dll")), old_module);
    EXPECT_TRUE(HasMessage(Log(), "DownloadFile(h.dll->" + Local("h.dll") +
                                      ") : ERROR, incomplete download : 13 of 50 bytes"));
}

TEST_F(HttpDownloaderTest, TargetThatCannotBeReplacedIsRetriedThenLeftAlone) {
    Serve("i.dll", "new module");
    // A folder in the target's place stands for a module held by a running program.
    WriteFile(local_ / "i.dll" / "held", "x");
    std::vector<std::chrono::milliseconds> waits;
    DownloaderOptions options;
    options.log_file = (local_ / "NetDownLoader.log").string();
    options.pause = [&](std::chrono::milliseconds d) { waits.push_back(d); };
    down_ = std::make_unique<CNetDownLoader>(options);
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(down_->DownloadFile("i.dll", Local("i.dll"), 0));
    EXPECT_EQ(waits.size(), 24u);
    for (auto w : waits) EXPECT_EQ(w, std::chrono::milliseconds(200));
    EXPECT_EQ(ReadFile(local_ / "i.dll" / "held"), "x");
    EXPECT_FALSE(fs::exists(Local("i.dll.vlrdown")));
    EXPECT_TRUE(HasMessage(Log(), "DownloadFile(i.dll->" + Local("i.dll") +
                                      ") : ERROR, could not replace local file(" + Local("i.dll") +
                                      ")"));
}

// Whatever lies at the temporary's usual name is left alone: a dangling
// link planted there receives nothing, a stale file keeps its bytes, and
// the download still replaces the module whole.
TEST_F(HttpDownloaderTest, PlantedTemporaryNamesReceiveNothing) {
    Serve("j.dll", "new module");
    ASSERT_TRUE(Connect());
    struct Case {
        const char* what;
        bool link;
    } cases[] = {{"stale file", false}, {"dangling link", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder elsewhere;
        const fs::path planted = Local("j.dll.vlrdown");
        const fs::path aim = elsewhere / "receives-nothing";
        fs::remove(planted);
        WriteFile(Local("j.dll"), "old module");
        if (c.link) {
            std::error_code ec;
            fs::create_symlink(aim, planted, ec);
            if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
        } else {
            WriteFile(planted, "stale");
        }
        EXPECT_TRUE(down_->DownloadFile("j.dll", Local("j.dll"), 0));
        EXPECT_EQ(ReadFile(Local("j.dll")), "new module");
        EXPECT_FALSE(fs::exists(aim));
        EXPECT_TRUE(fs::is_symlink(planted) == c.link);
        if (!c.link) {
            EXPECT_EQ(ReadFile(planted), "stale");
        }
        EXPECT_FALSE(fs::exists(Local("j.dll.vlrdown1")));
    }
}

// A content check sees every byte and can refuse the download: the old
// module then stays as it was.
TEST_F(HttpDownloaderTest, ContentCheckDecidesBeforeTheReplace) {
    class Recorder : public netdown::DownloadCheck {
      public:
        explicit Recorder(bool accept) : accept_(accept) {}
        void Update(const void* data, std::size_t size) override {
            seen.append(static_cast<const char*>(data), size);
        }
        bool Accept() override { return accept_; }
        std::string seen;

      private:
        bool accept_;
    };
    const std::string module = RandomBytes(10000, 6);
    Serve("k.dll", module);
    ASSERT_TRUE(Connect());
    for (const bool accept : {false, true}) {
        WriteFile(Local("k.dll"), "old module");
        Recorder check(accept);
        EXPECT_EQ(down_->DownloadFile("k.dll", Local("k.dll"), 10000, &check), accept);
        EXPECT_EQ(check.seen, module);
        EXPECT_EQ(ReadFile(Local("k.dll")), accept ? module : "old module");
        EXPECT_FALSE(fs::exists(Local("k.dll.vlrdown")));
    }
}

// FTP without the passive flag: the server opens the data connection.
class FtpDownloaderTest : public DownloaderTest {
  protected:
    void SetUp() override { Start("ftp"); }
};

TEST_F(FtpDownloaderTest, ActiveModeDownloads) {
#if defined(_WIN32)
    GTEST_SKIP() << "active FTP data connections are not reliable under Wine";
#endif
    Serve("active.bin", RandomBytes(7000, 6));
    ASSERT_TRUE(down_->SetLoginInfo("127.0.0.1", netdown::kServiceFtp, 0, server_->port(),
                                    "vellora", "s3cret"));
    ASSERT_TRUE(down_->ConnectServer());
    ASSERT_TRUE(down_->DownloadFile("active.bin", Local("active.bin"), 7000));
    EXPECT_EQ(ReadFile(Local("active.bin")), RandomBytes(7000, 6));
}

TEST(DownloaderSetup, LoginInfoPicksTheServiceDefaults) {
    struct Case {
        int service, port;
        bool secure, accepted;
        int expected_port;
    } cases[] = {
        {1, 0, false, true, 21},      {3, 0, false, true, 80},
        {3, 0, true, true, 443},      {3, 0x10000, false, true, 80},
        {1, 2121, false, true, 2121}, {3, 0x11F90, false, true, 8080},
        {2, 0, false, false, 0},      {0, 80, false, false, 0},
    };
    for (const auto& c : cases) {
        DownloaderOptions options;
        options.log_file.clear();
        CNetDownLoader down(options);
        EXPECT_EQ(down.SetLoginInfo("host", c.service, 0, c.port, "", "", c.secure), c.accepted)
            << c.service << " " << c.port;
        EXPECT_EQ(down.port(), c.expected_port) << c.service << " " << c.port;
    }
}

TEST(DownloaderSetup, UnreachableServerFailsToConnectAndSaysWhy) {
#if defined(_WIN32)
    GTEST_SKIP() << "WinINet opens HTTP connections only with the first request";
#endif
    TempFolder folder;
    int free_port = 0;
    {
        // A server that has ended leaves a port nobody listens on.
        TempFolder root;
        LoopbackServer server("http", root.path());
        free_port = server.port();
    }
    DownloaderOptions options;
    options.log_file = (folder / "NetDownLoader.log").string();
    std::vector<std::string> alerts;
    options.alert = [&](const std::string& text) { alerts.push_back(text); };
    CNetDownLoader down(options);
    ASSERT_TRUE(down.SetLoginInfo("127.0.0.1", 3, 0, free_port, "", ""));
    EXPECT_FALSE(down.ConnectServer());
    EXPECT_EQ(alerts, std::vector<std::string>{"Error: InternetConnect"});
    const auto log = LogMessages(folder / "NetDownLoader.log");
    EXPECT_TRUE(HasMessage(log, "InternetOpen() OK..."));
    EXPECT_TRUE(HasMessagePrefix(log, "ERROR : Function(InternetConnect) failed , EC="));
    std::uint64_t size = 0;
    EXPECT_FALSE(down.GetRemoteFileSize("x", size));
    EXPECT_TRUE(HasMessage(LogMessages(folder / "NetDownLoader.log"),
                           "GetRemoteFileSize(x) : ERROR, server does not connected.."));
}

TEST(DownloaderSetup, ReducedCopyWritesNoLogAndRefusesFtpFiles) {
    TempFolder folder;
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    {
        CNetDownLoader down(CNetDownLoader::ReducedCopyOptions(nullptr, nullptr));
        EXPECT_TRUE(down.SetLoginInfo("127.0.0.1", 1, 1, 21, "", ""));
        EXPECT_FALSE(down._IsRemoteFileOpened("x"));
        std::time_t time = 0;
        EXPECT_FALSE(down.GetRemoteFileTime("x", time));
    }
    const bool no_files = fs::is_empty(folder.path());
    fs::current_path(before);
    EXPECT_TRUE(no_files);
}

TEST(LogLine, CarriesStampLevelTagAndMessage) {
    TempFolder folder;
    {
        netdown::Logger logger("CKSTMgr", 3, (folder / "x.log").string());
        logger.Log(3, "value = %d", 42);
        logger.Log(4, "not written");
        logger.Log(1, "%s", "ends with a line end\n");
        logger.Log(2, nullptr);
    }
    std::string text = ReadFile(folder / "x.log");
    std::erase(text, '\r');  // text-mode line ends on Windows
    const std::string stamp = "\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d\\d\\d";
    EXPECT_TRUE(
        std::regex_match(text, std::regex(stamp + " \\|  3 \\|  CKSTMgr \\|\tvalue = 42\n" + stamp +
                                          " \\|  1 \\|  CKSTMgr \\|\tends with a line end\n\n")))
        << text;
}

}  // namespace
