#include "updater/kst_mgr.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "netdown/local_path.h"
#include "platform/library.h"
#include "platform/process.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace updater {

namespace fs = std::filesystem;
using netdown::kLogError;
using netdown::kLogInfo;
using netdown::kLogWarning;
using netdown::LocalPath;

namespace {

constexpr const char* kHiddenPassword = "****";
constexpr std::chrono::milliseconds kStepPause{100};
constexpr const char* kNothingToLaunch = "ERROR, 실행할 모듈도  기본 실행 파일도 없습니다";

long LastSystemError() {
#if defined(_WIN32)
    return static_cast<long>(GetLastError());
#else
    return errno;
#endif
}

std::FILE* OpenText(const fs::path& path) {
#if defined(_WIN32)
    return _wfopen(path.c_str(), L"rt");
#else
    return std::fopen(path.c_str(), "r");
#endif
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(LocalPath(path), ec);
}

std::string TimeText(std::optional<std::time_t> time) {
    return time ? netdown::FormatLocalTime(*time) : "";
}

}  // namespace

const char* StepText(int index) {
    static const char* const kTexts[] = {
        "초기화 합니다.",
        "설정파일을 읽어드립니다.",
        "업데이트 서버에 접속합니다.",
        "버전 정보를 가져옵니다.",
        "버전 정보를 분석합니다.",
        "업데이트된 파일(들)을 다운로드 합니다.",
        "업데이트된 파일(들)을 등록합니다.",
        "프로그램을 실행합니다.",
        "업데이트를 마칩니다.",
    };
    return index >= 0 && index <= 8 ? kTexts[index] : "";
}

CKSTMgr::CKSTMgr(std::unique_ptr<netdown::Downloader> downloader, platform::Clock& clock,
                 const std::string& log_file)
    : Logger("CKSTMgr", kLogInfo, log_file), downloader_(std::move(downloader)), clock_(clock) {
    downloader_->SetProgressReceiver(this);
    SetStep(0);
}

CKSTMgr::~CKSTMgr() {
    display_ = nullptr;  // the window is gone by now
    SetStep(8);
    modules_.clear();
    downloader_.reset();
}

void CKSTMgr::SetStep(int index) {
    step_ = index;
    if (!display_) return;
    display_->SetText(kStatusText, StepText(index));
    display_->SetProgress(kStepBar, 8, index);
}

void CKSTMgr::OnProgress(const std::string& local_path, std::uint64_t total,
                         std::uint64_t received) {
    if (!display_ || total == 0) return;
    if (!local_path.empty()) display_->SetText(kFileText, "Downloading... " + local_path);
    display_->SetProgress(kFileBar, 100, static_cast<int>(received * 100 / total));
    char count[48];
    std::snprintf(count, sizeof count, "[%10llu/%10llu]", static_cast<unsigned long long>(received),
                  static_cast<unsigned long long>(total));
    display_->SetText(kCountText, count);
}

bool CKSTMgr::LoadConfig(const std::string& given) {
    SetStep(1);
    const std::string path = given.empty() ? ".\\VLR.ini" : given;
    if (!Exists(path)) {
        Log(kLogError,
            "ERROR : 설정 파일을 읽을수 없습니다.-%s \n해당 파일이 올바른 경로에 있는지 "
            "확인하시기 바랍니다.",
            path.c_str());
        return false;
    }
    config_ = ReadUpdateConfig(LocalPath(path));
    const UpdateConfig& c = config_;
    Log(kLogInfo, "LoadConfig : Config File  = %s", path.c_str());
    Log(kLogInfo, "LoadConfig : [SERVER] Remote Address         = %s", c.remote_address.c_str());
    Log(kLogInfo, "LoadConfig : [SERVER] Protocol(1=FTP,3=HTTP) = %d", c.service);
    Log(kLogInfo, "LoadConfig : [SERVER] Remote Port            = %d", c.port);
    Log(kLogInfo, "LoadConfig : [SERVER] Login Name             = %s", c.login_name.c_str());
    Log(kLogInfo, "LoadConfig : [SERVER] Login PW               = %s", kHiddenPassword);
    Log(kLogInfo, "LoadConfig : [SERVER] Version File           = %s",
        c.remote_version_file.c_str());
    Log(kLogInfo, "LoadConfig : [LOCAL] Version File            = %s",
        c.local_version_file.c_str());
    Log(kLogInfo, "LoadConfig : [LOCAL]  Default Exec Filee     = %s", c.default_exec_file.c_str());
    return true;
}

bool CKSTMgr::ConnectServer() {
    SetStep(2);
    const UpdateConfig& c = config_;
    if (!downloader_->SetLoginInfo(c.remote_address, c.service, c.passive, c.port, c.login_name,
                                   c.login_password, c.secure)) {
        Log(kLogError, "ConnectServer :  ERROR SetLoginInfo(%s, %d,  %d, %s, %s) ",
            c.remote_address.c_str(), c.service, c.port, c.login_name.c_str(), kHiddenPassword);
        return false;
    }
    const bool ok = downloader_->ConnectServer();
    if (ok)
        Log(kLogInfo, "ConnectServer(%s, %d, %d, %s, %s) : OK", c.remote_address.c_str(), c.service,
            c.port, c.login_name.c_str(), kHiddenPassword);
    else
        Log(kLogError, "ConnectServer(%s, %d,  %d, %s, %s) : ERROR", c.remote_address.c_str(),
            c.service, c.port, c.login_name.c_str(), kHiddenPassword);
    return ok;
}

bool CKSTMgr::GetVersionInfo() {
    SetStep(3);
    const std::string& remote = config_.remote_version_file;
    const std::string& local = config_.local_version_file;
    const bool ok = downloader_->DownloadFile(remote, local, 0);
    Log(ok ? kLogInfo : kLogError,
        ok ? "GetVersionInfo : DownloadFile(%s->%s) OK"
           : "GetVersionInfo : DownloadFile(%s->%s) ERROR",
        remote.c_str(), local.c_str());
    return ok;
}

bool CKSTMgr::ParseVersionInfo() {
    const std::string& path = config_.local_version_file;
    if (!Exists(path)) {
        Log(kLogError, "ParseVersionInfo : ERROR, version file(%s) does not exist", path.c_str());
        return false;
    }
    std::FILE* file = OpenText(LocalPath(path));
    if (!file) {
        Log(kLogError, "ParseVersionInfo : ERROR, open version file(%s), EC =%ld", path.c_str(),
            LastSystemError());
        return false;
    }
    modules_.clear();
    for (const std::string& line : ReadListLines(file)) {
        auto entry = ModuleFromLine(line, this);
        if (!entry) continue;
        modules_.push_back(std::move(*entry));
        const ModuleEntry& m = modules_.back();
        Log(kLogInfo, "ParseVersionInfo : Module[%2d] = %s | %s | %s | %s",
            static_cast<int>(modules_.size()), m.local_path.c_str(), m.remote_path.c_str(),
            m.options.c_str(), m.arguments.c_str());
    }
    std::fclose(file);
    return true;
}

bool CKSTMgr::CompareVersionInfo() {
    SetStep(4);
    if (modules_.empty()) {
        Log(kLogError, "CompareVersionInfo :  ERROR, 버전 정보가 없습니다.");
        return false;
    }
    int index = 0;
    for (ModuleEntry& m : modules_) {
        ++index;
        m.download = 0;
        if (m.Has('F')) {
            m.download = 1;
            Log(kLogInfo,
                "CompareVersionInfo : Module[%2d] : %s : Update Option(%s)-> will be downloded ",
                index, m.local_path.c_str(), m.options.c_str());
            continue;
        }
        std::optional<std::time_t> server;
        std::time_t remote_time = 0;
        if (downloader_->GetRemoteFileTime(m.remote_path, remote_time)) server = remote_time;
        const auto local = netdown::LastWriteTime(LocalPath(m.local_path));
        m.download = NeedsDownload(m.options, local, server) ? 1 : 0;
        Log(kLogInfo,
            "CompareVersionInfo : Module[%2d] : %s : Local Time(%s) , Server Time(%s) -> "
            "Download =%d",
            index, m.local_path.c_str(), TimeText(local).c_str(), TimeText(server).c_str(),
            m.download);
    }
    return true;
}

int CKSTMgr::ModulesToUpdate() const {
    int count = 0;
    for (const ModuleEntry& m : modules_) count += m.download == 1;
    return count;
}

bool CKSTMgr::DownloadNewFiles() {
    SetStep(5);
    if (modules_.empty()) {
        Log(kLogError, "DownloadNewFiles :  ERROR, 버전 정보가 없습니다.");
        return false;
    }
    for (ModuleEntry& m : modules_) {
        if (m.download != 1) continue;
        std::uint64_t size = 0;
        if (!downloader_->GetRemoteFileSize(m.remote_path, size)) {
            Log(kLogError, "DownloadNewFiles : GetRemoteFileSize(%s) ERROR", m.remote_path.c_str());
            m.download = 0;  // nothing new arrived, so nothing is registered
            continue;
        }
        if (downloader_->DownloadFile(m.remote_path, m.local_path, size)) {
            Log(kLogInfo, "DownloadNewFiles : DownloadFile(%s->%s) OK . %llu Bytes",
                m.remote_path.c_str(), m.local_path.c_str(), static_cast<unsigned long long>(size));
        } else {
            Log(kLogError, "DownloadNewFiles : DownloadFile(%s->%s) ERROR", m.remote_path.c_str(),
                m.local_path.c_str());
            m.download = 0;
        }
    }
    return true;
}

bool CKSTMgr::RegisterModule() {
    SetStep(6);
    for (const ModuleEntry& m : modules_) {
        if (!m.Has('R') || m.download != 1) continue;
        if (_RegisterControl(m.local_path))
            Log(kLogInfo, "RegisterModule : _RegisterControl(%s) OK", m.local_path.c_str());
        else
            Log(kLogError, "RegisterModule : _RegisterControl(%s) ", m.local_path.c_str());
    }
    return true;
}

bool CKSTMgr::_RegisterControl(const std::string& path) {
    using Outcome = platform::RegistrationResult::Outcome;
    const auto r = platform::register_library(LocalPath(path));
    switch (r.outcome) {
        case Outcome::registered:
            return true;
        case Outcome::load_failed:
            Log(kLogError, "_RegisterControl : ERROR, LoadLibrary(%s), EC=%ld", path.c_str(),
                r.error);
            return false;
        case Outcome::export_missing:
            Log(kLogError, "_RegisterControl : ERROR, GetProcAddress(%s), EC=%ld", path.c_str(),
                r.error);
            return false;
        case Outcome::export_failed:
            Log(kLogError, "_RegisterControl : ERROR, DllRegisterServer(%s), result=0x%08lX",
                path.c_str(), static_cast<unsigned long>(r.result));
            return false;
    }
    return false;
}

bool CKSTMgr::_ExecuteApp(const std::string& path, const std::string& arguments) {
    const std::string command_line = "\"" + path + "\" " + arguments;
    fs::path folder = LocalPath(path).parent_path();
    if (folder.empty()) folder = fs::current_path();
    errno = 0;
    if (platform::start_process(command_line, folder)) {
        Log(kLogInfo, "%s : CreateProcess ====> OK", path.c_str());
        return true;
    }
    Log(kLogError, "%s : CreateProcess ERROR. EC=%ld ", path.c_str(), LastSystemError());
    return false;
}

bool CKSTMgr::_OpenApp(const std::string& path) {
    errno = 0;
    if (platform::shell_open(LocalPath(path))) return true;
    Log(kLogError, "_OpenApp : ERROR, ShellExecute(%s), EC=%ld", path.c_str(), LastSystemError());
    return false;
}

bool CKSTMgr::LaunchModule() {
    SetStep(7);
    int launched = 0;
    for (const ModuleEntry& m : modules_) {
        if (!m.Has('E') && !m.Has('O')) continue;
        const bool ok =
            m.Has('E') ? _ExecuteApp(m.local_path, m.arguments) : _OpenApp(m.local_path);
        ++launched;
        Log(ok ? kLogInfo : kLogError,
            ok ? "LaunchModule : _ExecuteApp(%s , %s) OK" : "LaunchModule : _ExecuteApp(%s , %s) ",
            m.local_path.c_str(), m.arguments.c_str());
    }
    if (launched > 0) return true;

    const std::string& fallback = config_.default_exec_file;
    if (!Exists(fallback)) {
        Log(kLogError, "LaunchModule :  %s", kNothingToLaunch);
        if (display_) display_->ShowMessage(kNothingToLaunch, "VLRUpdate");
        return false;
    }
    Log(kLogWarning, "LaunchModule :  경고, 실행할 모듈이 없습니다. 기본 실행 파일을 실행합니다");
    const bool ok = _ExecuteApp(fallback, "");
    Log(ok ? kLogInfo : kLogError,
        ok ? "LaunchModule : _ExecuteApp(%s) OK" : "LaunchModule : _ExecuteApp(%s) ",
        fallback.c_str());
    return true;
}

void CKSTMgr::Run(const std::string& config_path) {
    bool ok = LoadConfig(config_path);
    clock_.sleep(kStepPause);
    if (ok) ok = ConnectServer(), clock_.sleep(kStepPause);
    if (ok) ok = GetVersionInfo(), clock_.sleep(kStepPause);
    if (ok) ok = ParseVersionInfo(), clock_.sleep(kStepPause);
    if (ok) ok = CompareVersionInfo(), clock_.sleep(kStepPause);
    if (ok && ModulesToUpdate() > 0) {
        DownloadNewFiles();
        RegisterModule();
        clock_.sleep(kStepPause);
    }
    LaunchModule();
    clock_.sleep(kStepPause);
}

}  // namespace updater
