// Temporary folders and file helpers for the downloader and updater tests.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#define VELLORA_GETPID _getpid
#else
#include <unistd.h>
#define VELLORA_GETPID getpid
#endif

namespace testing_support {

// A fresh folder removed with the test.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ =
            std::filesystem::temp_directory_path() /
            ("vellora-test-" + std::to_string(VELLORA_GETPID()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        if (!std::getenv("VELLORA_KEEP_TEMP")) std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

inline std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string out(size, '\0');
    for (auto& c : out) c = static_cast<char>(gen() & 0xFF);
    return out;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& data) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
