// Writing and reading sealed bodies: u32 CT, check block, SEED-CFB data.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "package/keys.h"
#include "package/reader.h"

namespace package {

// What every item of one run carries: the key header and the check block,
// both made once from the run's session key.
struct RunKeys {
    Bytes header;
    SecretBytes session_key;
    CheckBlock check{};
    std::uint16_t slot_kind = 0;
};

struct KeySource {
    Protection protection = Protection::Password;
    SecretBytes password;           // code-page bytes (password protection)
    std::vector<Bytes> recipients;  // public keys as read from their files (sharing)
    Algorithm algorithm = Algorithm::Seed;
};

// "" on success, else the message for the user.
std::string make_run_keys(Arrangement arrangement, const KeySource& source, RunKeys& keys);

// Bytes done so far in the current item.
using ByteProgress = std::function<void(std::uint64_t)>;

// Seals exactly `size` bytes read from `src` (which must then be at its end).
std::string write_sealed_stream(std::FILE* out, std::FILE* src, std::uint64_t size,
                                const RunKeys& keys, const ByteProgress& progress);
std::string write_sealed_bytes(std::FILE* out, std::span<const std::uint8_t> data,
                               const RunKeys& keys);

// Where decrypted bytes go; false when they could not be written.
using ByteSink = std::function<bool(const std::uint8_t*, std::size_t)>;

// Decrypts an entry's ciphertext from `src` into `sink`.
std::string unseal_to(ByteSource& src, const SealedEntry& entry, const SecretBytes& session_key,
                      const ByteSink& sink, const ByteProgress& progress);

// Chunk size of the data stream; the output is the same for any chunking.
inline constexpr std::size_t kStreamChunk = 1 << 20;

}  // namespace package
