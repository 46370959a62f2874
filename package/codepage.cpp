#include "package/codepage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace package {

namespace {

#ifndef _WIN32
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(in.size() * 2 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || src_left != 0) return std::nullopt;
    out.resize(out.size() - dst_left);
    return out;
}
#else
std::optional<std::wstring> widen(UINT cp, std::string_view in) {
    if (in.empty()) return std::wstring();
    const int n =
        MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(), int(in.size()), nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, in.data(), int(in.size()), w.data(), n);
    return w;
}
std::optional<std::string> narrow(UINT cp, const std::wstring& w) {
    if (w.empty()) return std::string();
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(cp, 0, w.data(), int(w.size()), nullptr, 0, nullptr,
                                      cp == CP_UTF8 ? nullptr : &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), int(w.size()), s.data(), n, nullptr,
                        cp == CP_UTF8 ? nullptr : &lossy);
    if (lossy) return std::nullopt;
    return s;
}
#endif

}  // namespace

std::optional<Bytes> to_codepage(std::string_view utf8) {
#ifdef _WIN32
    auto w = widen(CP_UTF8, utf8);
    if (!w) return std::nullopt;
    auto s = narrow(949, *w);
#else
    auto s = convert("CP949", "UTF-8", utf8);
#endif
    if (!s) return std::nullopt;
    return Bytes(s->begin(), s->end());
}

std::optional<std::string> from_codepage(std::span<const std::uint8_t> bytes) {
    std::string_view in(reinterpret_cast<const char*>(bytes.data()), bytes.size());
#ifdef _WIN32
    auto w = widen(949, in);
    if (!w) return std::nullopt;
    return narrow(CP_UTF8, *w);
#else
    return convert("UTF-8", "CP949", in);
#endif
}

std::string path_text(const std::filesystem::path& path) {
    const std::u8string u = path.u8string();
    return std::string(u.begin(), u.end());
}

std::filesystem::path path_from_text(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace package
