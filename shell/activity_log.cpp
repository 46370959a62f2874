#include "shell/activity_log.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/text.h"

namespace shell {

std::string log_time_prefix(const platform::LocalTime& t) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%d %d:%d:%d\t", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buffer;
}

bool append_log_line(const std::filesystem::path& log_path, const platform::Clock& clock,
                     std::string_view line) {
    std::string text = log_time_prefix(clock.local_time());
    text += line;
    auto encoded = platform::to_cp949(text);
    if (!encoded) return false;
    // Text mode on purpose: the log is a text file with the system's line ends.
    std::FILE* f = platform::open_file(log_path, "a+").release();
    if (f == nullptr) return false;
    bool ok = std::fwrite(encoded->data(), 1, encoded->size(), f) == encoded->size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace shell
