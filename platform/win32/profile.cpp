#include <windows.h>

#include "platform/profile.h"
#include "platform/text.h"

namespace platform {
namespace {

// HKEY_CURRENT_USER\Software\<application>\<section>, one DWORD per key.
class RegistryProfile final : public AppProfile {
  public:
    explicit RegistryProfile(std::wstring root) : root_(std::move(root)) {}

    int get_int(std::string_view section, std::string_view key, int fallback) const override {
        auto sub = subkey(section);
        auto name = to_wide(key);
        if (!sub || !name) return fallback;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, sub->c_str(), name->c_str(), RRF_RT_REG_DWORD, nullptr,
                         &value, &size) != ERROR_SUCCESS) {
            return fallback;
        }
        return static_cast<int>(value);
    }

    bool set_int(std::string_view section, std::string_view key, int value) override {
        auto sub = subkey(section);
        auto name = to_wide(key);
        if (!sub || !name) return false;
        HKEY h = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, sub->c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &h, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        DWORD data = static_cast<DWORD>(value);
        LONG rc = RegSetValueExW(h, name->c_str(), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&data), sizeof data);
        RegCloseKey(h);
        return rc == ERROR_SUCCESS;
    }

  private:
    std::optional<std::wstring> subkey(std::string_view section) const {
        auto wide = to_wide(section);
        if (!wide) return std::nullopt;
        return root_ + L"\\" + *wide;
    }

    std::wstring root_;
};

}  // namespace

std::unique_ptr<AppProfile> open_user_profile(std::string_view application) {
    auto wide = to_wide(application);
    return std::make_unique<RegistryProfile>(L"Software\\" + wide.value_or(L"Vellora"));
}

}  // namespace platform
