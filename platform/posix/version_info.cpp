// Programs on this system carry no version resources.
#include "platform/version_info.h"

namespace platform {

std::optional<std::vector<std::string>> read_version_strings(const std::filesystem::path&,
                                                             const std::vector<std::string>&) {
    return std::nullopt;
}

}  // namespace platform
