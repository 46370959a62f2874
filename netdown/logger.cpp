#include "netdown/logger.h"

#include <chrono>
#include <cstdarg>
#include <ctime>

#include "platform/conventions.h"
#include "platform/files.h"

namespace netdown {

namespace {

std::FILE* CreateLogFile(const std::string& path) {
    if (path.empty()) return nullptr;
    return platform::open_file(platform::path_from_utf8(path), "w").release();
}

}  // namespace

std::string LogTimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const int millis =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    platform::local_calendar(seconds, local);
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
    // Log files hold the system's narrow text, as every other text file here.
    std::fprintf(file_, "%s\n", platform::to_system_narrow(line).c_str());
    std::fflush(file_);
}

}  // namespace netdown
