#include "package/codepage.h"

#include "platform/files.h"
#include "platform/text.h"

namespace package {

std::optional<Bytes> to_codepage(std::string_view utf8) {
    auto s = platform::to_cp949(utf8);
    if (!s) return std::nullopt;
    return Bytes(s->begin(), s->end());
}

std::optional<std::string> from_codepage(std::span<const std::uint8_t> bytes) {
    return platform::from_cp949(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string path_text(const std::filesystem::path& path) {
    return platform::path_to_utf8(path);
}

std::filesystem::path path_from_text(const std::string& utf8) {
    return platform::path_from_utf8(utf8);
}

}  // namespace package
