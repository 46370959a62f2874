// The version list: one module a line, "local|remote|options|arguments".
// Parsing and the download decision are pure; CKSTMgr does the acting.
#pragma once

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "netdown/logger.h"

namespace updater {

struct ModuleEntry {
    std::string local_path;
    std::string remote_path;
    std::string options;  // "F" always fetch, "R" register, "E" execute, "O" open
    std::string arguments;
    int download = 0;

    bool Has(char option) const { return options.find(option) != std::string::npos; }
};

// Splits `line` at `separator` into trimmed, non-empty fields appended to
// `fields`; returns how many were added. A line that starts with the
// separator gives none. Each field is logged at the detail level when a
// logger is given.
int SplitList(char separator, std::string line, std::vector<std::string>& fields,
              netdown::Logger* log = nullptr);

// The lines of a text file as a 1,024-byte line buffer reads them: a longer
// line comes as several.
std::vector<std::string> ReadListLines(std::FILE* file);

// One list line: nothing for comments, short lines and lines of fewer than
// two fields.
std::optional<ModuleEntry> ModuleFromLine(const std::string& line, netdown::Logger* log = nullptr);

// Whether a module is fetched: always with "F"; else when either time is
// unknown or the local copy is strictly older.
bool NeedsDownload(const std::string& options, std::optional<std::time_t> local_time,
                   std::optional<std::time_t> server_time);

}  // namespace updater
