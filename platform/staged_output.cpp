#include "platform/staged_output.h"

#include <system_error>

namespace platform {

bool StagedOutput::open(const std::filesystem::path& target, std::string_view suffix) {
    discard();
    auto temp = create_temp_beside(target, suffix);
    if (!temp) return false;
    target_ = target;
    temp_ = std::move(temp->path);
    file_ = std::move(temp->file);
    return true;
}

bool StagedOutput::commit() {
    if (!file_) return false;
    const bool flushed = flush_to_device(file_.get());
    const bool closed = std::fclose(file_.release()) == 0;
    if (!flushed || !closed || !replace_file(temp_, target_)) {
        discard();
        return false;
    }
    temp_.clear();
    return true;
}

void StagedOutput::discard() {
    file_.reset();
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        temp_.clear();
    }
}

WriteResult write_file_staged(const std::filesystem::path& target,
                              std::span<const std::uint8_t> bytes, std::string_view suffix) {
    StagedOutput out;
    if (!out.open(target, suffix)) return WriteResult::open_failed;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size())
        return WriteResult::write_failed;
    return out.commit() ? WriteResult::ok : WriteResult::write_failed;
}

}  // namespace platform
