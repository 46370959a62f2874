#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#include "platform/profile.h"
#include "platform/staged_output.h"

namespace platform {
namespace {

// One "section/key=value" line per value in
// $XDG_CONFIG_HOME/<application>/profile (~/.config when unset).
class FileProfile final : public AppProfile {
  public:
    explicit FileProfile(std::filesystem::path file) : file_(std::move(file)) {}

    int get_int(std::string_view section, std::string_view key, int fallback) const override {
        auto values = load();
        auto it = values.find(name(section, key));
        if (it == values.end()) return fallback;
        char* end = nullptr;
        long v = std::strtol(it->second.c_str(), &end, 10);
        if (end == it->second.c_str() || *end != '\0') return fallback;
        return static_cast<int>(v);
    }

    bool set_int(std::string_view section, std::string_view key, int value) override {
        auto values = load();
        values[name(section, key)] = std::to_string(value);
        std::error_code ec;
        std::filesystem::create_directories(file_.parent_path(), ec);
        std::string text;
        for (const auto& [k, v] : values) text += k + '=' + v + '\n';
        return write_file_staged(
                   file_,
                   std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                   ".tmp") == WriteResult::ok;
    }

  private:
    static std::string name(std::string_view section, std::string_view key) {
        return std::string(section) + '/' + std::string(key);
    }

    std::map<std::string, std::string> load() const {
        std::map<std::string, std::string> values;
        std::ifstream in(file_, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            auto eq = line.find('=');
            if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return values;
    }

    std::filesystem::path file_;
};

}  // namespace

std::unique_ptr<AppProfile> open_user_profile(std::string_view application) {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".config";
    } else {
        return std::make_unique<MemoryProfile>();
    }
    return std::make_unique<FileProfile>(base / std::string(application) / "profile");
}

}  // namespace platform
