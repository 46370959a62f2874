// Version-information resources of an executable: the translation choice
// and the string values ("FileDescription", "Comments", ...).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct VersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t code_page = 0;
};

// The translation to read strings in, for a user whose default language is
// `user_language`: the exact language; else the first with the same low
// byte; else the first with low byte 0 (neutral); else the first with low
// byte 9 (English); else the first. None when the list is empty.
std::optional<VersionTranslation> choose_translation(
    const std::vector<VersionTranslation>& translations, std::uint16_t user_language);

// The string-block name of a translation: "%04X%04X" of language and code page.
std::string string_block_name(const VersionTranslation& translation);

// The key of the first string table in a raw version block (the fallback
// when the chosen translation has no such table). Empty when there is none.
std::string first_string_table(const std::vector<unsigned char>& block);

// Reads the named string values of the file's version resource, in the
// translation chosen for the user's default language. Values that cannot be
// read are empty; none at all when the file or its version resource is missing.
std::optional<std::vector<std::string>> read_version_strings(const std::filesystem::path& file,
                                                             const std::vector<std::string>& names);

}  // namespace platform
