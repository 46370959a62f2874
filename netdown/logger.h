// The line logger shared by the downloader and the update manager: one text
// line per event, flushed as it is written so a crash loses nothing.
#pragma once

#include <cstdio>
#include <string>

namespace netdown {

enum LogLevel : int { kLogError = 1, kLogWarning = 2, kLogInfo = 3, kLogDetail = 4 };

class Logger {
  public:
    // `file` empty: no log file, every line is dropped. The file is created
    // (truncated) in the working directory unless the path says otherwise.
    Logger(const std::string& tag, int max_level, const std::string& file);
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // printf-style message; lines above the maximum level are not written.
    void Log(int level, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;

    int max_level() const {
        return max_level_;
    }
    void set_max_level(int level) {
        max_level_ = level;
    }
    bool logging() const {
        return file_ != nullptr;
    }

  private:
    char tag_[20] = {};
    int max_level_;
    std::FILE* file_ = nullptr;
};

// Local time as "MM-DD hh:mm:ss:mmm", the stamp of every log line.
std::string LogTimeStamp();

}  // namespace netdown
