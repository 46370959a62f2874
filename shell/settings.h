// The four persistent settings and their file Proper.dat beside the program:
// exactly 16 bytes, the fields in order as 32-bit little-endian integers.
#pragma once

#include <cstdint>
#include <filesystem>

namespace shell {

enum EncryptionMode : std::uint32_t { kOnePackage = 0, kEachFile = 1, kHiddenInBmp = 2 };
enum Algorithm : std::uint32_t { kSeed = 0, kAria = 1, kAes = 2 };

// Values are kept as stored; only the settings dialog's OK clamps them.
struct Settings {
    std::uint32_t mode = kOnePackage;
    std::uint32_t algorithm = kSeed;
    std::uint32_t delete_inputs = 0;  // 1: the encrypt run wipes its inputs
    std::uint32_t write_log = 0;      // 1: runs append to Vellora.log
    bool operator==(const Settings&) const = default;
};

inline constexpr char kSettingsFileName[] = "Proper.dat";

// Reads the fields the file covers into `settings`, in order; a file shorter
// than 16 bytes leaves the remaining fields as they were. False when the
// file cannot be opened.
bool read_settings(const std::filesystem::path& file, Settings& settings);

// Replaces the file with the four fields: written beside it under a
// temporary name, forced to the device, then renamed over it, so a failure
// never leaves a half-written Proper.dat. False on any failure.
bool write_settings(const std::filesystem::path& file, const Settings& settings);

// A value outside 0..2 becomes 0 (what the main window does on a settings OK).
std::uint32_t clamp_choice(std::uint32_t value);

}  // namespace shell
