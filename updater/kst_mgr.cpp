#include "updater/kst_mgr.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "netdown/local_path.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/staged_output.h"
#include "toolkit/ed25519.h"
#include "toolkit/sha512.h"

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
    return platform::last_system_error();
}

// The last serial accepted: 0 when none was kept (or the file is unreadable).
std::uint64_t KeptSerial(const fs::path& path) {
    const auto text = ReadFileBytes(path);
    if (!text) return 0;
    std::uint64_t serial = 0;
    std::size_t end = text->find_first_of("\r\n");
    if (end == std::string::npos) end = text->size();
    const auto [at, ec] = std::from_chars(text->data(), text->data() + end, serial);
    return ec == std::errc() && at == text->data() + end ? serial : 0;
}

bool KeepSerial(const fs::path& path, std::uint64_t serial) {
    const std::string text = std::to_string(serial) + "\n";
    return platform::write_file_staged(path, {reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size()}) == platform::WriteResult::ok;
}

// Hashes a module as it arrives and accepts it only with the signed digest.
class Sha512Check final : public netdown::DownloadCheck {
  public:
    explicit Sha512Check(const Sha512Digest& expected) : expected_(expected) {
        cyr::sha512_init(&ctx_);
    }
    void Update(const void* data, std::size_t size) override {
        cyr::sha512_update(&ctx_, static_cast<const std::uint8_t*>(data), size);
    }
    bool Accept() override {
        Sha512Digest got{};
        cyr::sha512_final(&ctx_, got.data());
        mismatch_ = got != expected_;
        return !mismatch_;
    }
    bool mismatch() const { return mismatch_; }

  private:
    cyr::Sha512Context ctx_;
    Sha512Digest expected_;
    bool mismatch_ = false;
};

const char* KeySourceText(KeySource source) {
    return source == KeySource::built_in ? "built in" : "VLR.ini [SIGNATURE] Public Key";
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
                 const std::string& log_file, ManagerSetup setup)
    : Logger("CKSTMgr", kLogInfo, log_file),
      downloader_(std::move(downloader)),
      clock_(clock),
      setup_(std::move(setup)) {
    if (setup_.installation.empty()) setup_.installation = platform::program_folder().parent_path();
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
    const UpdateKey key = ChooseUpdateKey(setup_.built_in_key, c.public_key);
    if (key.source != KeySource::none)
        Log(kLogInfo, "LoadConfig : [SIGNATURE] Public Key         = %s (%s)",
            key.usable ? HexText(key.key.data(), key.key.size()).c_str() : "unusable",
            KeySourceText(key.source));
    if (key.configuration_ignored)
        Log(kLogWarning,
            "LoadConfig : 경고, VLR.ini [SIGNATURE] Public Key differs from the built-in key and "
            "is ignored");
    return true;
}

bool CKSTMgr::VerifyVersionInfo() {
    signed_.reset();
    verified_list_.clear();
    const UpdateKey key = ChooseUpdateKey(setup_.built_in_key, config_.public_key);
    if (key.source == KeySource::none) return true;  // unsigned updates, as always
    auto refuse = [this](const char* format, const std::string& a = "", const std::string& b = "") {
        std::string text = "VerifyVersionInfo : ERROR, ";
        text += format;
        text += ", version list refused";
        Log(kLogError, text.c_str(), a.c_str(), b.c_str());
        Fail(RunResult::refused);
        return false;
    };
    if (!key.usable)
        return refuse("the public key (%s) is not a valid Ed25519 key", KeySourceText(key.source));

    const std::string remote = config_.remote_version_file + kSignatureSuffix;
    const std::string local = config_.local_version_file + kSignatureSuffix;
    std::error_code ec;
    fs::remove(LocalPath(local), ec);  // an old signature must not stand in for a missing one
    if (!downloader_->DownloadFile(remote, local, 0))
        return refuse("signature %s could not be downloaded", remote);
    const auto signature_text = ReadFileBytes(LocalPath(local));
    const auto list = ReadFileBytes(LocalPath(config_.local_version_file));
    Signature signature{};
    if (!signature_text || !list)
        return refuse("signature %s or version file %s could not be read", local,
                      config_.local_version_file);
    if (!ParseHex(*signature_text, signature.data(), signature.size()) ||
        !cyr::ed25519_verify(key.key.data(), reinterpret_cast<const std::uint8_t*>(list->data()),
                             list->size(), signature.data()))
        return refuse("signature %s does not match the version list", remote);
    std::string error;
    auto lines = ReadSignedLines(*list, error);
    if (!lines) return refuse("the signed version list holds %s", error);

    const fs::path serial_file = LocalPath(config_.local_version_file + kSerialSuffix);
    const std::uint64_t kept = KeptSerial(serial_file);
    if (lines->serial < kept)
        return refuse("serial %s is lower than %s accepted before (replayed list)",
                      std::to_string(lines->serial), std::to_string(kept));
    if (lines->serial > kept && !KeepSerial(serial_file, lines->serial))
        Log(kLogWarning, "VerifyVersionInfo : 경고, serial could not be kept in %s",
            config_.local_version_file.c_str());
    Log(kLogInfo, "VerifyVersionInfo : signature OK, serial %llu, %d module digests",
        static_cast<unsigned long long>(lines->serial), static_cast<int>(lines->digests.size()));
    signed_ = std::move(*lines);
    verified_list_ = std::move(*list);
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
    platform::FilePtr file;
    if (!signed_) file = platform::open_file(LocalPath(path), "rt");
    if (!signed_ && !file) {
        Log(kLogError, "ParseVersionInfo : ERROR, open version file(%s), EC =%ld", path.c_str(),
            LastSystemError());
        return false;
    }
    modules_.clear();
    // A signed list is read from the very bytes its signature covered.
    const std::vector<std::string> lines =
        signed_ ? TextLines(verified_list_) : ReadListLines(file.get());
    file.reset();
    std::error_code ec;
    const fs::path working = fs::current_path(ec);
    for (const std::string& line : lines) {
        auto entry = ModuleFromLine(line, this);
        if (!entry) continue;
        if (!netdown::LocalPathStaysInside(entry->local_path, working, setup_.installation)) {
            Log(kLogError,
                "ParseVersionInfo : ERROR, local path(%s) leaves the installation folder, "
                "module ignored",
                entry->local_path.c_str());
            Fail(RunResult::refused);
            continue;
        }
        modules_.push_back(std::move(*entry));
        const ModuleEntry& m = modules_.back();
        Log(kLogInfo, "ParseVersionInfo : Module[%2d] = %s | %s | %s | %s",
            static_cast<int>(modules_.size()), m.local_path.c_str(), m.remote_path.c_str(),
            m.options.c_str(), m.arguments.c_str());
    }
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
        if (signed_ && signed_->digests.count(m.remote_path) == 0) {
            Log(kLogError,
                "DownloadNewFiles : ERROR, %s has no SHA-512 in the signed version list, %s kept",
                m.remote_path.c_str(), m.local_path.c_str());
            Fail(RunResult::refused);
            m.download = 0;
            continue;
        }
        std::uint64_t size = 0;
        if (!downloader_->GetRemoteFileSize(m.remote_path, size)) {
            Log(kLogError, "DownloadNewFiles : GetRemoteFileSize(%s) ERROR", m.remote_path.c_str());
            Fail(RunResult::module_failed);
            m.download = 0;  // nothing new arrived, so nothing is registered
            continue;
        }
        if (!DownloadModule(m, size)) m.download = 0;
    }
    return true;
}

bool CKSTMgr::DownloadModule(ModuleEntry& m, std::uint64_t size) {
    std::optional<Sha512Check> check;
    if (signed_) check.emplace(signed_->digests.at(m.remote_path));
    if (downloader_->DownloadFile(m.remote_path, m.local_path, size, check ? &*check : nullptr)) {
        Log(kLogInfo, "DownloadNewFiles : DownloadFile(%s->%s) OK . %llu Bytes",
            m.remote_path.c_str(), m.local_path.c_str(), static_cast<unsigned long long>(size));
        return true;
    }
    if (check && check->mismatch()) {
        Log(kLogError,
            "DownloadNewFiles : ERROR, SHA-512 of %s differs from the signed version list, %s "
            "kept",
            m.remote_path.c_str(), m.local_path.c_str());
        Fail(RunResult::refused);
    } else {
        Log(kLogError, "DownloadNewFiles : DownloadFile(%s->%s) ERROR", m.remote_path.c_str(),
            m.local_path.c_str());
        Fail(RunResult::module_failed);
    }
    return false;
}

bool CKSTMgr::RegisterModule() {
    SetStep(6);
    for (const ModuleEntry& m : modules_) {
        if (!m.Has('R') || m.download != 1) continue;
        if (_RegisterControl(m.local_path)) {
            Log(kLogInfo, "RegisterModule : _RegisterControl(%s) OK", m.local_path.c_str());
        } else {
            Log(kLogError, "RegisterModule : _RegisterControl(%s) ", m.local_path.c_str());
            Fail(RunResult::module_failed);
        }
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
    // The path goes between quotes: one of its own would end them early and
    // hand the rest of the path to the command line as arguments.
    if (path.find('"') != std::string::npos) {
        Log(kLogError, "%s : ERROR, a program path with a double quote is not started",
            path.c_str());
        return false;
    }
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
        if (!ok) Fail(RunResult::launch_failed);
        Log(ok ? kLogInfo : kLogError,
            ok ? "LaunchModule : _ExecuteApp(%s , %s) OK" : "LaunchModule : _ExecuteApp(%s , %s) ",
            m.local_path.c_str(), m.arguments.c_str());
    }
    if (launched > 0) return true;

    const std::string& fallback = config_.default_exec_file;
    if (!Exists(fallback)) {
        Log(kLogError, "LaunchModule :  %s", kNothingToLaunch);
        if (display_) display_->ShowMessage(kNothingToLaunch, "VLRUpdate");
        Fail(RunResult::launch_failed);
        return false;
    }
    Log(kLogWarning, "LaunchModule :  경고, 실행할 모듈이 없습니다. 기본 실행 파일을 실행합니다");
    const bool ok = _ExecuteApp(fallback, "");
    if (!ok) Fail(RunResult::launch_failed);
    Log(ok ? kLogInfo : kLogError,
        ok ? "LaunchModule : _ExecuteApp(%s) OK" : "LaunchModule : _ExecuteApp(%s) ",
        fallback.c_str());
    return true;
}

RunResult CKSTMgr::Run(const std::string& config_path) {
    result_ = RunResult::ok;
    bool ok = LoadConfig(config_path);
    if (!ok) Fail(RunResult::no_configuration);
    clock_.sleep(kStepPause);
    if (ok) ok = ConnectServer(), clock_.sleep(kStepPause);
    if (ok) ok = GetVersionInfo(), clock_.sleep(kStepPause);
    if (ok) ok = VerifyVersionInfo();
    if (ok) ok = ParseVersionInfo(), clock_.sleep(kStepPause);
    if (ok) ok = CompareVersionInfo(), clock_.sleep(kStepPause);
    if (!ok) Fail(RunResult::no_version_list);
    if (ok && ModulesToUpdate() > 0) {
        DownloadNewFiles();
        RegisterModule();
        clock_.sleep(kStepPause);
    }
    LaunchModule();
    clock_.sleep(kStepPause);
    return result_;
}

}  // namespace updater
