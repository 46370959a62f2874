// The shared-key store: public keys kept as ".lck" files (the 43-byte point
// octet string, nothing else) in the Key folder beside the program. Names
// are UTF-8; the rules that count bytes look at their code page 949 form.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/staged_output.h"

namespace keystore {

inline constexpr std::size_t kPublicKeySize = 43;
inline constexpr char kKeySuffix[] = ".lck";
// The characters a key name must not hold, in the order the refusal lists them.
inline constexpr char kForbiddenCharacters[] = "\\/:*?\"<>|";

// True when the name holds none of the nine forbidden characters (neither
// UTF-8 nor code page 949 uses these bytes inside a multi-byte character).
bool name_is_allowed(std::string_view name);

// The key file name of a key name: the name itself when it ends in exactly
// ".lck" (case-sensitive), otherwise the name followed by ".lck".
std::string key_file_name(std::string_view name);

std::filesystem::path key_file_path(const std::filesystem::path& key_folder, std::string_view name);

// Names of the regular files matching "*.lck" in the folder, sorted by their
// bytes (the order of a sorted list box). Empty when the folder is missing.
std::vector<std::string> list_key_files(const std::filesystem::path& key_folder);

// The one key write of both front ends: the bytes go to an exclusive
// temporary beside `destination` ("name.lck.tmp"), reach the device and
// replace `destination` in one step, so the destination is either left as
// it was or holds all the bytes. On any failure the temporary is removed.
using WriteResult = platform::WriteResult;
WriteResult replace_file(const std::filesystem::path& destination,
                         std::span<const std::uint8_t> bytes);

// The whole content of a file; nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> read_key_file(const std::filesystem::path& file);

}  // namespace keystore
