// Helpers shared by the toolkit tests: hex text, byte strings, caller records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/mechanism.h"
#include "toolkit/cyr.h"

namespace cyrtest {

using Bytes = std::vector<uint8_t>;

inline Bytes hex(const std::string& text) {
    Bytes out;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    int high = -1;
    for (char c : text) {
        int v = nibble(c);
        if (v < 0) continue;  // spaces group the digits for reading
        if (high < 0) {
            high = v;
        } else {
            out.push_back(uint8_t(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

inline std::string to_hex(const uint8_t* p, std::size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}
inline std::string to_hex(const Bytes& b) {
    return to_hex(b.data(), b.size());
}

// A caller-owned object whose value slot points at `bytes` (wipe 1, owned 0).
struct Object {
    CYR_OBJECT slots{};
    explicit Object(Bytes* bytes, uint32_t cls = CYR_CLASS_DATA) {
        slots[0].kind = cls;
        slots[1].kind = CYR_VALUE;
        slots[1].data = bytes->empty() ? nullptr : bytes->data();
        slots[1].length = uint32_t(bytes->size());
        slots[1].wipe = 1;
    }
    // A size query object: value data null, length `capacity`.
    static Object query(uint32_t capacity = 0) {
        static Bytes none;
        Object o(&none);
        o.slots[1].length = capacity;
        return o;
    }
    CYR_SLOT* get() { return slots; }
    uint32_t length() const { return slots[1].length; }
};

using Mechanism = test_support::Mechanism;

}  // namespace cyrtest
