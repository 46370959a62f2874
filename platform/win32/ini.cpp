#include <windows.h>

#include "platform/ini.h"
#include "platform/text.h"

namespace platform {

namespace {

std::wstring Wide(const std::string& utf8) {
    return to_wide(utf8).value_or(std::wstring());
}

std::string Utf8(const wchar_t* wide) {
    return from_wide(wide).value_or(std::string());
}

}  // namespace

std::string ini_string(const std::filesystem::path& file, const std::string& section,
                       const std::string& key, const std::string& fallback) {
    wchar_t value[kIniValueLimit + 1] = {};
    GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(fallback).c_str(),
                             value, static_cast<DWORD>(kIniValueLimit + 1),
                             std::filesystem::absolute(file).c_str());
    std::string text = Utf8(value);
    if (text.size() > kIniValueLimit) {
        std::size_t cut = kIniValueLimit;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return text;
}

int ini_int(const std::filesystem::path& file, const std::string& section, const std::string& key,
            int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(Wide(section).c_str(), Wide(key).c_str(),
                                                  fallback,
                                                  std::filesystem::absolute(file).c_str()));
}

}  // namespace platform
