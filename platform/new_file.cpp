#include "platform/new_file.h"

#include <system_error>

#include "platform/files.h"

namespace platform {

bool write_file_in_one_step(const std::filesystem::path& target, std::string_view bytes,
                            std::string_view suffix) {
    auto temp = create_exclusive_beside(target, suffix);
    if (!temp) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), temp->file) == bytes.size() &&
              flush_to_device(temp->file);
    ok = std::fclose(temp->file) == 0 && ok;
    ok = ok && replace_in_one_step(temp->path, target);
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(temp->path, ec);
    }
    return ok;
}

}  // namespace platform
