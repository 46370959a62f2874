#include <errno.h>
#include <iconv.h>

#include <cstdint>

#include "platform/text.h"

namespace platform {
namespace {

// One conversion through iconv; any byte it cannot convert (EILSEQ,
// EINVAL) or converts only approximately is a failure.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    std::size_t done = 0;
    bool ok = true;
    for (;;) {
        char* dst = out.data() + done;
        std::size_t dst_left = out.size() - done;
        std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
        done = out.size() - dst_left;
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            ok = false;
        } else if (r != 0) {
            ok = false;  // irreversible (substituted) conversions
        }
        break;
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(done);
    return out;
}

std::size_t decode_utf8(std::string_view s, std::size_t& i, char32_t& cp) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    std::size_t n = c < 0x80           ? 1
                    : (c >> 5) == 0x6  ? 2
                    : (c >> 4) == 0xE  ? 3
                    : (c >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || i + n > s.size()) return 0;
    cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    i += n;
    return n;
}

}  // namespace

std::optional<std::string> to_cp949(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    return convert("CP949", "UTF-8", utf8);
}

std::optional<std::string> from_cp949(std::string_view cp949) {
    if (cp949.empty()) return std::string();
    return convert("UTF-8", "CP949", cp949);
}

std::optional<std::size_t> cp949_length(std::string_view utf8) {
    auto converted = to_cp949(utf8);
    if (!converted) return std::nullopt;
    return converted->size();
}

std::optional<std::wstring> to_wide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (decode_utf8(utf8, i, cp) == 0) return std::nullopt;
        out.push_back(static_cast<wchar_t>(cp));
    }
    return out;
}

std::optional<std::string> from_wide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t w : wide) {
        auto cp = static_cast<std::uint32_t>(w);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> cp949_to_native_text(std::string_view cp949) {
    return from_cp949(cp949);
}

}  // namespace platform
