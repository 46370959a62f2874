#include "package/format.h"

#include <cstring>

namespace package {

namespace {

constexpr std::uint8_t kFileFlag[2] = {'1', 0};
constexpr std::uint8_t kMessageFlag[2] = {'0', 0};

bool prefix_is(const std::uint8_t* p, const char* text) {
    return std::memcmp(p, text, std::strlen(text)) == 0;
}

bool read_magic_prefix(ByteSource& source, std::uint64_t offset, const char* a, const char* b) {
    std::uint8_t buf[5];
    if (!source.read_at(offset, buf, sizeof buf)) return false;
    return prefix_is(buf, a) || prefix_is(buf, b);
}

}  // namespace

Magic magic_for(Arrangement arrangement, Protection protection) {
    Magic m = {'C', 'y', 'E', 'P', 'X', '1', '.', '0'};
    m[3] = arrangement == Arrangement::Package    ? 'P'
           : arrangement == Arrangement::EachFile ? 'E'
                                                  : 'S';
    m[4] = protection == Protection::Password ? 'X' : 'C';
    return m;
}

Bytes build_key_header(const KeyHeader& header) {
    Bytes out;
    put_bytes(out, header.magic);
    put_u16(out, static_cast<std::uint16_t>(header.slots.size()));
    for (const KeySlot& slot : header.slots) {
        put_u16(out, slot.kind);
        put_u16(out, static_cast<std::uint16_t>(slot.wrapped.size()));
        put_bytes(out, slot.wrapped);
    }
    put_u16(out, header.data_mechanism);
    return out;
}

bool parse_key_header(std::span<const std::uint8_t> header_and_ct, KeyHeader& header,
                      std::uint32_t& ct_length) {
    if (header_and_ct.size() < 16) return false;
    const std::size_t h = header_and_ct.size() - 4;
    ByteCursor cur(header_and_ct.first(h));
    std::span<const std::uint8_t> magic;
    std::uint16_t count = 0;
    if (!cur.take(8, magic) || !cur.u16(count)) return false;
    std::copy(magic.begin(), magic.end(), header.magic.begin());
    header.slots.clear();
    const int slots = static_cast<std::int16_t>(count);
    for (int i = 0; i < slots; ++i) {
        KeySlot slot;
        std::uint16_t w = 0;
        std::span<const std::uint8_t> wrapped;
        if (!cur.u16(slot.kind) || !cur.u16(w) || !cur.take(w, wrapped)) return false;
        slot.wrapped.assign(wrapped.begin(), wrapped.end());
        header.slots.push_back(std::move(slot));
    }
    if (!cur.u16(header.data_mechanism) || cur.remaining() != 0) return false;
    ct_length = get_u32(header_and_ct.data() + h);
    return true;
}

Bytes each_file_prefix(bool is_message, std::span<const std::uint8_t> key_header) {
    Bytes out;
    out.reserve(6 + key_header.size());
    put_bytes(out, is_message ? kMessageFlag : kFileFlag);
    put_u32(out, static_cast<std::uint32_t>(key_header.size()));
    put_bytes(out, key_header);
    return out;
}

Bytes package_start(std::uint16_t entry_count, bool message_first) {
    Bytes out;
    put_u16(out, entry_count);
    put_bytes(out, message_first ? kMessageFlag : kFileFlag);
    return out;
}

Bytes message_entry_prefix(std::span<const std::uint8_t> key_header, std::uint32_t message_length) {
    Bytes out;
    put_u32(out, static_cast<std::uint32_t>(key_header.size() + 24 + message_length));
    put_u32(out, static_cast<std::uint32_t>(key_header.size()));
    put_bytes(out, key_header);
    return out;
}

Bytes file_entry_prefix(std::span<const std::uint8_t> stored_name,
                        std::span<const std::uint8_t> key_header, std::uint64_t file_size) {
    Bytes out;
    out.reserve(12 + stored_name.size() + key_header.size());
    put_u32(out, static_cast<std::uint32_t>(stored_name.size()));
    put_bytes(out, stored_name);
    put_u32(out, static_cast<std::uint32_t>(key_header.size() + 24 + file_size));
    put_u32(out, static_cast<std::uint32_t>(key_header.size()));
    put_bytes(out, key_header);
    return out;
}

bool entry_size_fits(std::size_t header_length, std::uint64_t plaintext_size) {
    return header_length + 24 + plaintext_size <= 0xFFFFFFFFull;
}

bool MemorySource::read_at(std::uint64_t offset, void* out, std::size_t n) {
    if (offset > data_.size() || data_.size() - offset < n) return false;
    if (n != 0) std::memcpy(out, data_.data() + offset, n);
    return true;
}

InputKind detect_kind(ByteSource& source) {
    if (read_magic_prefix(source, 6, "CyEEX", "CyEEC")) return InputKind::EachFile;
    if (read_magic_prefix(source, 12, "CyEPX", "CyEPC")) return InputKind::Package;
    std::uint8_t l_bytes[4];
    if (source.read_at(4, l_bytes, 4) &&
        read_magic_prefix(source, std::uint64_t{get_u32(l_bytes)} + 16, "CyEPX", "CyEPC"))
        return InputKind::Package;
    const std::uint64_t size = source.size();
    std::uint8_t head[2], tail[2];
    if (size >= 4 && source.read_at(0, head, 2) && source.read_at(size - 2, tail, 2) &&
        head[0] == 'B' && head[1] == 'M' && tail[0] == '9' && tail[1] == '7')
        return InputKind::Picture;
    return InputKind::None;
}

std::string leaf_name(std::span<const std::uint8_t> stored) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (stored[i] == '\\' || stored[i] == '/') start = i + 1;
    std::string name(stored.begin() + static_cast<std::ptrdiff_t>(start), stored.end());
    if (name.empty() || name == "." || name == "..") return {};
    return name;
}

}  // namespace package
