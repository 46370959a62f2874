// The four persistent settings and their file Proper.dat beside the program:
// exactly 16 bytes, the fields in order as 32-bit little-endian integers.
#pragma once

#include <cstdint>
#include <filesystem>

#include "package/choices.h"

namespace shell {

// Values are kept as stored; taking the settings dialog's values clamps
// them (package::mode_from_stored, algorithm_from_stored).
struct Settings {
    std::uint32_t mode = package::stored(package::EncryptMode::Package);
    std::uint32_t algorithm = package::stored(package::Algorithm::Seed);
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

}  // namespace shell
