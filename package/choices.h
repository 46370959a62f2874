// The two choices of an encrypt run: how the inputs are arranged and which
// algorithm wraps the session key. The one home of their numbers (as
// Proper.dat stores them), their list items (as the settings dialog shows
// them) and their command-line words.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace package {

enum class EncryptMode : std::uint32_t { Package = 0, EachFile = 1, Pictures = 2 };
enum class Algorithm : std::uint32_t { Seed = 0, Aria = 1, Aes = 2 };

struct ChoiceWords {
    const char* item;    // the settings dialog's list item
    const char* option;  // the command line's word
};

// Indexed by the stored number.
inline constexpr ChoiceWords kModeWords[] = {
    {"꾸러미로 암호화", "package"},
    {"파일별로 암호화", "each"},
    {"BMP 파일에 숨김", "bmp"},
};
inline constexpr ChoiceWords kAlgorithmWords[] = {
    {"SEED", "seed"},
    {"ARIA", "aria"},
    {"AES", "aes"},
};
inline constexpr std::uint32_t kChoiceCount = 3;

constexpr std::uint32_t stored(EncryptMode mode) {
    return static_cast<std::uint32_t>(mode);
}
constexpr std::uint32_t stored(Algorithm algorithm) {
    return static_cast<std::uint32_t>(algorithm);
}

// A stored number as a choice: 0..2 as they are; any other number selects
// what 0 selects.
constexpr EncryptMode mode_from_stored(std::uint32_t value) {
    return value < kChoiceCount ? EncryptMode{value} : EncryptMode::Package;
}
constexpr Algorithm algorithm_from_stored(std::uint32_t value) {
    return value < kChoiceCount ? Algorithm{value} : Algorithm::Seed;
}

// The choice a command-line word names; nullopt for any other word.
constexpr std::optional<EncryptMode> mode_from_option(std::string_view word) {
    for (std::uint32_t i = 0; i < kChoiceCount; ++i)
        if (word == kModeWords[i].option) return EncryptMode{i};
    return std::nullopt;
}
constexpr std::optional<Algorithm> algorithm_from_option(std::string_view word) {
    for (std::uint32_t i = 0; i < kChoiceCount; ++i)
        if (word == kAlgorithmWords[i].option) return Algorithm{i};
    return std::nullopt;
}

}  // namespace package
