#include "netdown/logger.h"

#include <chrono>
#include <cstdarg>
#include <ctime>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace netdown {

namespace {

#if defined(_WIN32)
std::wstring Widen(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// Log files hold the system's narrow code page, as every other text file here.
std::string ToNarrow(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n,
                        nullptr, nullptr);
    return narrow;
}
#else
const std::string& ToNarrow(const std::string& utf8) {
    return utf8;
}
#endif

std::FILE* CreateLogFile(const std::string& path) {
    if (path.empty()) return nullptr;
#if defined(_WIN32)
    return _wfopen(Widen(path).c_str(), L"w");
#else
    return std::fopen(path.c_str(), "w");
#endif
}

}  // namespace

std::string LogTimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const int millis =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d-%02d %02d:%02d:%02d:%03d", local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, millis);
    return stamp;
}

Logger::Logger(const std::string& tag, int max_level, const std::string& file)
    : max_level_(max_level), file_(CreateLogFile(file)) {
    tag.copy(tag_, sizeof tag_ - 1);
}

Logger::~Logger() {
    if (file_) {
        std::fflush(file_);
        std::fclose(file_);
    }
}

void Logger::Log(int level, const char* format, ...) {
    if (!file_ || !format || level > max_level_) return;
    char message[10240];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    char line[10400];
    std::snprintf(line, sizeof line, "%s | %2d |  %s |\t%s", LogTimeStamp().c_str(), level, tag_,
                  message);
    std::fprintf(file_, "%s\n", ToNarrow(line).c_str());
    std::fflush(file_);
}

}  // namespace netdown
