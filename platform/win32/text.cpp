#include <windows.h>

#include "platform/text.h"

namespace platform {
namespace {

constexpr UINT kKorean = 949;

std::optional<std::wstring> decode(UINT code_page, std::string_view in) {
    if (in.empty()) return std::wstring();
    int n = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, in.data(),
                                static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                        out.data(), n);
    return out;
}

std::optional<std::string> encode_utf8(std::wstring_view in) {
    if (in.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, in.data(),
                                static_cast<int>(in.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                        out.data(), n, nullptr, nullptr);
    return out;
}

// Best-fit mapping would silently turn an unmappable character into a
// look-alike; the used-default flag tells us one was replaced.
std::optional<std::string> encode_949(std::wstring_view in) {
    if (in.empty()) return std::string();
    BOOL used_default = FALSE;
    int n = WideCharToMultiByte(kKorean, WC_NO_BEST_FIT_CHARS, in.data(),
                                static_cast<int>(in.size()), nullptr, 0, nullptr, &used_default);
    if (n <= 0 || used_default) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kKorean, WC_NO_BEST_FIT_CHARS, in.data(), static_cast<int>(in.size()),
                        out.data(), n, nullptr, &used_default);
    if (used_default) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> to_cp949(std::string_view utf8) {
    auto wide = decode(CP_UTF8, utf8);
    if (!wide) return std::nullopt;
    return encode_949(*wide);
}

std::optional<std::string> from_cp949(std::string_view cp949) {
    auto wide = decode(kKorean, cp949);
    if (!wide) return std::nullopt;
    return encode_utf8(*wide);
}

std::optional<std::size_t> cp949_length(std::string_view utf8) {
    auto converted = to_cp949(utf8);
    if (!converted) return std::nullopt;
    return converted->size();
}

std::optional<std::wstring> to_wide(std::string_view utf8) {
    return decode(CP_UTF8, utf8);
}

std::optional<std::string> from_wide(std::wstring_view wide) {
    return encode_utf8(wide);
}

std::optional<std::string> cp949_to_native_text(std::string_view cp949) {
    // Windows text files use the system's narrow code page, which is 949.
    if (!from_cp949(cp949)) return std::nullopt;
    return std::string(cp949);
}

}  // namespace platform
