// The activity log Vellora.log: one line per encrypted or decrypted item,
// each starting with the local date and time.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace shell {

// "%d-%d-%d %d:%d:%d\t": year, month, day, hour, minute, second, no
// leading zeros.
std::string log_time_prefix(const platform::LocalTime& t);

// Appends the time prefix followed by `line` (UTF-8, normally ending in
// "\n") to the log, in code page 949. False when the text holds a character
// that 949 cannot represent (nothing is written) or the file cannot be
// opened or written.
bool append_log_line(const std::filesystem::path& log_path, const platform::Clock& clock,
                     std::string_view line);

}  // namespace shell
