// The .vlr byte layouts: magics, the key header, the sealed body frame, the
// each-file item and the package entries. Integers are little-endian; these
// layouts are what other installations read, so every byte is fixed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "package/bytes.h"

namespace package {

enum class Arrangement { Package, EachFile, Pictures };
enum class Protection { Password, Sharing };

using Magic = std::array<std::uint8_t, 8>;

// "CyE" + P/E/S + X/C + "1.0".
Magic magic_for(Arrangement arrangement, Protection protection);

// Slot kinds of the key header.
inline constexpr std::uint16_t kSlotEcc = 11;
inline constexpr std::uint16_t kSlotSeed = 18;
inline constexpr std::uint16_t kSlotReserved = 29;
inline constexpr std::uint16_t kSlotAes = 39;
inline constexpr std::uint16_t kSlotAria = 46;
inline constexpr std::uint16_t kDataMechanism = 18;

// Writer's allowance per wrapped key: 256 for the reserved kind, 128 else.
inline constexpr std::size_t kMaxRecipients = 128;

struct KeySlot {
    std::uint16_t kind = 0;
    Bytes wrapped;
};

struct KeyHeader {
    Magic magic{};
    std::vector<KeySlot> slots;
    std::uint16_t data_mechanism = kDataMechanism;
};

// H = 12 + sum(4 + W).
Bytes build_key_header(const KeyHeader& header);

// Parses exactly `header_and_ct` = the H header bytes followed by the 4-byte
// ciphertext length. False when the slots overrun the buffer or do not end
// exactly at H. A stored slot count of zero or below means no slots.
bool parse_key_header(std::span<const std::uint8_t> header_and_ct, KeyHeader& header,
                      std::uint32_t& ct_length);

// Sealed body: u32 CT, 16-byte check block, CT bytes of ciphertext.
inline constexpr std::size_t kCheckBlockSize = 16;
inline constexpr std::size_t kSealedPrefixSize = 4 + kCheckBlockSize;

// Each-file item prefix: item flag ("1\0" file, "0\0" message), u32 H, the
// header. The sealed body follows at 6 + H.
Bytes each_file_prefix(bool is_message, std::span<const std::uint8_t> key_header);

// Package start: u16 entry count, first-entry flag ("0\0" message first).
Bytes package_start(std::uint16_t entry_count, bool message_first);

// Message entry up to the sealed body: u32 R, u32 H, header.
Bytes message_entry_prefix(std::span<const std::uint8_t> key_header, std::uint32_t message_length);

// File entry up to the sealed body: u32 L, name, u32 R, u32 H, header.
Bytes file_entry_prefix(std::span<const std::uint8_t> stored_name,
                        std::span<const std::uint8_t> key_header, std::uint64_t file_size);

// The largest plaintext an entry can describe (R must fit in 32 bits).
bool entry_size_fits(std::size_t header_length, std::uint64_t plaintext_size);

// What a file is, judged from its bytes.
enum class InputKind { None, EachFile, Package, Picture };

// Random access to a file or buffer; reads fail past the end.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    virtual bool read_at(std::uint64_t offset, void* out, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    bool read_at(std::uint64_t offset, void* out, std::size_t n) override;

  private:
    std::span<const std::uint8_t> data_;
};

// Each-file magic at 6, package magic at 12 (message first) or at L + 16,
// then a carrying picture: "BM" first and "97" last.
InputKind detect_kind(ByteSource& source);

// The file name a stored path stands for: the part after the last '\' or
// '/'. Empty when that part is empty, "." or "..", so nothing lands outside
// the output folder; safe_leaf_name (package/names.h) then makes the rest of
// it a plain file name on every system.
std::string leaf_name(std::span<const std::uint8_t> stored);

}  // namespace package
