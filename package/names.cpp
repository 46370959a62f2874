#include "package/names.h"

#include <array>
#include <cstdio>

namespace package {

namespace {

bool is_control(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

// Windows opens these as devices whatever extension follows them.
bool is_device_name(std::string_view base) {
    static constexpr std::array<std::string_view, 6> kFixed = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view d : kFixed)
        if (equals_ignoring_case(base, d)) return true;
    if (base.size() < 4) return false;
    const std::string_view stem = base.substr(0, 3);
    if (!equals_ignoring_case(stem, "COM") && !equals_ignoring_case(stem, "LPT")) return false;
    const std::string_view digit = base.substr(3);
    if (digit.size() == 1) return digit[0] >= '0' && digit[0] <= '9';
    // Superscript one, two and three in UTF-8.
    return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

std::string safe_leaf_name(std::string_view leaf) {
    std::string name(leaf);
    for (char& c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (is_control(u) || std::string_view("<>:\"|?*/\\").find(c) != std::string_view::npos)
            c = '_';
    }
    if (name.empty()) return name;
    // Windows drops a trailing dot or blank, which would change the name
    // (and turn ". " into the current folder).
    if (name.back() == '.' || name.back() == ' ') name += '_';
    const std::size_t dot = name.find('.');
    std::size_t base_end = dot == std::string::npos ? name.size() : dot;
    std::size_t trimmed = base_end;
    while (trimmed > 0 && name[trimmed - 1] == ' ') --trimmed;
    if (is_device_name(std::string_view(name).substr(0, trimmed))) name.insert(base_end, 1, '_');
    return name;
}

std::string escape_controls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    auto escape = [&out](unsigned char c) {
        char buf[5];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) {
            escape(c);
            escape(static_cast<unsigned char>(text[++i]));
        } else if (is_control(c)) {
            escape(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace package
