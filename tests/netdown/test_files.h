// Temporary folders and file helpers for the downloader and updater tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace testing_support {

using test_support::TempFolder;

inline std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string out(size, '\0');
    for (auto& c : out) c = static_cast<char>(gen() & 0xFF);
    return out;
}

inline constexpr auto& WriteFile = test_support::write_file;
inline constexpr auto& ReadFile = test_support::read_file;

// The message part of each log line (after the tag and the tab).
inline std::vector<std::string> LogMessages(const std::filesystem::path& log) {
    std::vector<std::string> messages;
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find("|\t");
        messages.push_back(tab == std::string::npos ? line : line.substr(tab + 2));
    }
    return messages;
}

inline bool HasMessage(const std::vector<std::string>& messages, const std::string& text) {
    for (const auto& m : messages)
        if (m == text) return true;
    return false;
}

inline bool HasMessagePrefix(const std::vector<std::string>& messages, const std::string& text) {
    for (const auto& m : messages)
        if (m.rfind(text, 0) == 0) return true;
    return false;
}

}  // namespace testing_support
