#include <windows.h>

#include "platform/ini.h"

namespace platform {

namespace {

std::wstring Wide(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return "";
    std::string utf8(static_cast<std::size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
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
