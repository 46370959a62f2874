#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/ini.h"
#include "platform/trim.h"

namespace platform {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Cuts at the limit without splitting a UTF-8 sequence.
std::string Limit(std::string value) {
    if (value.size() <= kIniValueLimit) return value;
    std::size_t cut = kIniValueLimit;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
    value.resize(cut);
    return value;
}

std::optional<std::string> Lookup(const std::filesystem::path& file, const std::string& section,
                                  const std::string& key) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    bool inside = false;
    bool first = true;
    while (std::getline(in, line)) {
        if (first && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        first = false;
        const std::string text = trim(line);
        if (text.empty() || text[0] == ';') continue;
        if (text[0] == '[') {
            const std::size_t close = text.find(']');
            inside = close != std::string::npos &&
                     SameName(trim(text.substr(1, close - 1)), trim(section));
            continue;
        }
        if (!inside) continue;
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos || !SameName(trim(text.substr(0, equals)), trim(key)))
            continue;
        std::string value = trim(text.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return Limit(value);
    }
    return std::nullopt;
}

}  // namespace

std::string ini_string(const std::filesystem::path& file, const std::string& section,
                       const std::string& key, const std::string& fallback) {
    return Lookup(file, section, key).value_or(Limit(fallback));
}

int ini_int(const std::filesystem::path& file, const std::string& section, const std::string& key,
            int fallback) {
    const auto value = Lookup(file, section, key);
    if (!value || value->empty()) return fallback;  // as the system reads an empty value
    return static_cast<int>(std::strtol(value->c_str(), nullptr, 10));
}

}  // namespace platform
