// Reads the structure of a package or an each-file item without decrypting:
// every stored length is checked against what remains of the input before it
// is used, and an entry's remaining length R against H + 24 + CT, so a
// damaged file gets its read-error message and nothing else.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "package/format.h"

namespace package {

struct SealedEntry {
    bool is_message = false;
    Bytes stored_name;   // code-page bytes as stored (files only)
    Bytes header_bytes;  // the key header exactly as stored
    KeyHeader header;
    std::uint32_t ct_length = 0;
    std::array<std::uint8_t, kCheckBlockSize> check_block{};
    std::uint64_t body_offset = 0;  // first ciphertext byte
};

struct Outline {
    std::vector<SealedEntry> entries;
    std::string error;  // the read-error message; empty when the whole input was read
};

// A package: entry count, first-entry flag, then the entries. Bytes after
// the last entry (picture padding) are ignored.
Outline read_package(ByteSource& source);

// An each-file item: flag, H, header, sealed body, and nothing after it.
Outline read_each_file(ByteSource& source);

}  // namespace package
