#include "package/writer.h"

#include "package/file_io.h"
#include "package/messages.h"

namespace package {

namespace {

bool put(std::FILE* out, const Bytes& b) {
    return b.empty() || std::fwrite(b.data(), 1, b.size(), out) == b.size();
}

std::string seal_file(std::FILE* out, const SourceFile& file, const RunKeys& keys,
                      const WriteObserver& observer) {
    FilePtr src = open_file(file.path, "rb");
    if (!src) return msg::kFileOpen;
    if (observer.file_started) observer.file_started(file);
    return write_sealed_stream(out, src.get(), file.size, keys, observer.bytes);
}

}  // namespace

std::string write_package(std::FILE* out, const std::vector<SourceFile>& files,
                          std::span<const std::uint8_t> message, const RunKeys& keys,
                          const WriteObserver& observer) {
    const bool with_message = !message.empty();
    const std::size_t entries = files.size() + (with_message ? 1 : 0);
    if (entries > kMaxEntries) return msg::kTooManyEntries;
    if (!put(out, package_start(static_cast<std::uint16_t>(entries), with_message)))
        return msg::kWriteFailed;
    if (with_message) {
        if (!entry_size_fits(keys.header.size(), message.size())) return msg::kEncryptLimit;
        if (!put(out,
                 message_entry_prefix(keys.header, static_cast<std::uint32_t>(message.size()))))
            return msg::kWriteFailed;
        if (std::string err = write_sealed_bytes(out, message, keys); !err.empty()) return err;
    }
    for (const SourceFile& file : files) {
        if (!entry_size_fits(keys.header.size(), file.size)) return msg::kEncryptLimit;
        if (!put(out, file_entry_prefix(file.stored_name, keys.header, file.size)))
            return msg::kWriteFailed;
        if (std::string err = seal_file(out, file, keys, observer); !err.empty()) return err;
    }
    return {};
}

std::string write_each_file_item(std::FILE* out, const SourceFile* file,
                                 std::span<const std::uint8_t> message, const RunKeys& keys,
                                 const WriteObserver& observer) {
    if (!put(out, each_file_prefix(file == nullptr, keys.header))) return msg::kWriteFailed;
    if (file == nullptr) return write_sealed_bytes(out, message, keys);
    if (!entry_size_fits(keys.header.size(), file->size)) return msg::kEncryptLimit;
    return seal_file(out, *file, keys, observer);
}

}  // namespace package
