// The application profile: small integers kept per user under a section and
// a key (the progress window's position). The registry on Windows, a small
// file under $XDG_CONFIG_HOME elsewhere, memory in tests.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

class AppProfile {
  public:
    virtual ~AppProfile() = default;
    // The stored value, or `fallback` when absent or unreadable.
    virtual int get_int(std::string_view section, std::string_view key, int fallback) const = 0;
    virtual bool set_int(std::string_view section, std::string_view key, int value) = 0;
};

class MemoryProfile final : public AppProfile {
  public:
    int get_int(std::string_view section, std::string_view key, int fallback) const override {
        auto it = values_.find({std::string(section), std::string(key)});
        return it == values_.end() ? fallback : it->second;
    }
    bool set_int(std::string_view section, std::string_view key, int value) override {
        values_[{std::string(section), std::string(key)}] = value;
        return true;
    }

  private:
    std::map<std::pair<std::string, std::string>, int> values_;
};

// The user's profile of the named application.
std::unique_ptr<AppProfile> open_user_profile(std::string_view application);

}  // namespace platform
