#include "updater/version_list.h"

#include <cctype>
#include <cstring>

#include "platform/trim.h"

namespace updater {

int SplitList(char separator, std::string line, std::vector<std::string>& fields,
              netdown::Logger* log) {
    line = platform::trim(line);
    if (line.empty() || line.back() != separator) line += separator;
    const std::string whole = line;
    int added = 0;
    std::size_t start = 0;
    std::size_t at = line.find(separator);
    while (at != std::string::npos && at > 0 && at < line.size()) {
        const std::string field = platform::trim(line.substr(start, at - start));
        if (field.empty()) {
            if (log)
                log->Log(netdown::kLogDetail, "SplitList(%s) :  %s --> Invalid Length",
                         whole.c_str(), field.c_str());
        } else {
            if (log)
                log->Log(netdown::kLogDetail, "SplitList(%s) :  %s --> ADD", whole.c_str(),
                         field.c_str());
            fields.push_back(field);
            ++added;
        }
        start = at + 1;
        if (start >= line.size()) break;
        at = line.find(separator, start);
    }
    return added;
}

std::vector<std::string> ReadListLines(std::FILE* file) {
    std::vector<std::string> lines;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file)) lines.emplace_back(buffer);
    return lines;
}

std::optional<ModuleEntry> ModuleFromLine(const std::string& line, netdown::Logger* log) {
    if (line.empty() || line[0] == ';' || line.size() <= 1) return std::nullopt;
    std::vector<std::string> fields;
    if (SplitList('|', line, fields, log) < 2) return std::nullopt;
    ModuleEntry entry;
    entry.local_path = fields[0];
    entry.remote_path = fields[1];
    if (fields.size() > 2) entry.options = fields[2];
    if (fields.size() > 3) entry.arguments = fields[3];
    return entry;
}

bool NeedsDownload(const std::string& options, std::optional<std::time_t> local_time,
                   std::optional<std::time_t> server_time) {
    if (options.find('F') != std::string::npos) return true;
    if (!local_time || !server_time) return true;
    return *local_time < *server_time;
}

}  // namespace updater
