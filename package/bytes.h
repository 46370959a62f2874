// Little-endian integers and a bounds-checked cursor over a byte buffer.
// Every stored length is checked against what remains before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace package {

using Bytes = std::vector<std::uint8_t>;

inline void put_u16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void put_u32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void put_bytes(Bytes& out, std::span<const std::uint8_t> b) {
    if (b.empty()) return;
    const std::size_t at = out.size();
    out.resize(at + b.size());
    std::memcpy(out.data() + at, b.data(), b.size());
}

inline std::uint16_t get_u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t get_u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void set_u32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Reads forward through a buffer; every read fails (and leaves the cursor
// where it was) when fewer bytes remain than asked for.
class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t remaining() const { return data_.size() - pos_; }
    std::size_t position() const { return pos_; }

    bool u16(std::uint16_t& v) {
        if (remaining() < 2) return false;
        v = get_u16(data_.data() + pos_);
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (remaining() < 4) return false;
        v = get_u32(data_.data() + pos_);
        pos_ += 4;
        return true;
    }
    bool take(std::size_t n, std::span<const std::uint8_t>& out) {
        if (remaining() < n) return false;
        out = data_.subspan(pos_, n);
        pos_ += n;
        return true;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace package
