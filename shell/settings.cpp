#include "shell/settings.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/staged_output.h"

namespace shell {
namespace {

std::uint32_t load_le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void store_le32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

bool read_settings(const std::filesystem::path& file, Settings& settings) {
    // Binary: a value holding a line-feed byte must survive unchanged.
    platform::FilePtr f = platform::open_file(file, "rb");
    if (f == nullptr) return false;
    unsigned char buffer[16];
    std::size_t got = std::fread(buffer, 1, sizeof buffer, f.get());
    if (std::ferror(f.get()) != 0) return false;
    std::uint32_t* fields[] = {&settings.mode, &settings.algorithm, &settings.delete_inputs,
                               &settings.write_log};
    for (std::size_t i = 0; i < 4 && (i + 1) * 4 <= got; ++i) {
        *fields[i] = load_le32(buffer + i * 4);
    }
    return true;
}

bool write_settings(const std::filesystem::path& file, const Settings& settings) {
    unsigned char buffer[16];
    store_le32(buffer, settings.mode);
    store_le32(buffer + 4, settings.algorithm);
    store_le32(buffer + 8, settings.delete_inputs);
    store_le32(buffer + 12, settings.write_log);

    return platform::write_file_staged(file, buffer, ".tmp") == platform::WriteResult::ok;
}

}  // namespace shell
