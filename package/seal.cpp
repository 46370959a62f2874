#include "package/seal.h"

#include "package/messages.h"
#include "package/sealed.h"

namespace package {

namespace {

bool write_all(std::FILE* out, const void* data, std::size_t n) {
    return n == 0 || std::fwrite(data, 1, n, out) == n;
}

bool write_prefix(std::FILE* out, std::uint64_t ct, const RunKeys& keys) {
    std::uint8_t len[4];
    set_u32(len, static_cast<std::uint32_t>(ct));
    return write_all(out, len, 4) && write_all(out, keys.check.data(), keys.check.size());
}

}  // namespace

std::string make_run_keys(Arrangement arrangement, const KeySource& source, RunKeys& keys) {
    Status s = generate_session_key(keys.session_key);
    if (s != 0) return status_text(s);
    KeyHeader header;
    header.magic = magic_for(arrangement, source.protection);
    if (source.protection == Protection::Password) {
        KeySlot slot;
        s = wrap_with_password(keys.session_key, source.password.span(), source.algorithm, slot);
        if (s != 0) return status_text(s);
        keys.slot_kind = slot.kind;
        header.slots.push_back(std::move(slot));
    } else {
        if (source.recipients.size() > kMaxRecipients) return msg::kTooManyRecipients;
        for (const Bytes& recipient : source.recipients) {
            KeySlot slot;
            s = wrap_for_recipient(keys.session_key, recipient, slot);
            if (s != 0) return status_text(s);
            header.slots.push_back(std::move(slot));
        }
        keys.slot_kind = kSlotEcc;
    }
    s = make_check_block(keys.session_key, keys.check);
    if (s != 0) return status_text(s);
    keys.header = build_key_header(header);
    return {};
}

std::string write_sealed_stream(std::FILE* out, std::FILE* src, std::uint64_t size,
                                const RunKeys& keys, const ByteProgress& progress) {
    if (!write_prefix(out, size, keys)) return msg::kWriteFailed;
    CfbStream cfb;
    if (Status s = cfb.begin(keys.session_key, true); s != 0) return status_text(s);
    Bytes in(kStreamChunk), cipher(kStreamChunk + 16);
    std::uint64_t done = 0;
    while (done < size) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kStreamChunk, size - done));
        if (std::fread(in.data(), 1, want, src) != want) return msg::kFileRead;
        std::size_t produced = 0;
        if (Status s = cfb.update(in.data(), want, cipher.data(), produced); s != 0)
            return status_text(s);
        if (!write_all(out, cipher.data(), produced)) return msg::kWriteFailed;
        done += want;
        if (progress) progress(done);
    }
    // The source changed size since it was measured: its entry would lie.
    if (std::fgetc(src) != EOF) return msg::kFileRead;
    std::size_t produced = 0;
    if (Status s = cfb.finish(cipher.data(), produced); s != 0) return status_text(s);
    if (!write_all(out, cipher.data(), produced)) return msg::kWriteFailed;
    return {};
}

std::string write_sealed_bytes(std::FILE* out, std::span<const std::uint8_t> data,
                               const RunKeys& keys) {
    if (!write_prefix(out, data.size(), keys)) return msg::kWriteFailed;
    CfbStream cfb;
    if (Status s = cfb.begin(keys.session_key, true); s != 0) return status_text(s);
    Bytes cipher(data.size() + 16);
    std::size_t produced = 0, tail = 0;
    if (Status s = cfb.update(data.data(), data.size(), cipher.data(), produced); s != 0)
        return status_text(s);
    if (Status s = cfb.finish(cipher.data() + produced, tail); s != 0) return status_text(s);
    if (!write_all(out, cipher.data(), produced + tail)) return msg::kWriteFailed;
    return {};
}

std::string unseal_to(ByteSource& src, const SealedEntry& entry, const SecretBytes& session_key,
                      const ByteSink& sink, const ByteProgress& progress) {
    CfbStream cfb;
    if (Status s = cfb.begin(session_key, false); s != 0) return status_text(s);
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<std::uint64_t>(kStreamChunk, entry.ct_length));
    Bytes in(chunk), plain(chunk + 16);
    std::uint64_t done = 0;
    while (done < entry.ct_length) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk, entry.ct_length - done));
        if (!src.read_at(entry.body_offset + done, in.data(), want))
            return entry.is_message ? msg::kEncryptedMessageRead : msg::kEncryptedFileRead;
        std::size_t produced = 0;
        if (Status s = cfb.update(in.data(), want, plain.data(), produced); s != 0)
            return status_text(s);
        if (produced != 0 && !sink(plain.data(), produced)) return msg::kWriteFailed;
        done += want;
        if (progress) progress(done);
    }
    std::uint8_t tail[16];
    std::size_t produced = 0;
    if (Status s = cfb.finish(tail, produced); s != 0) return status_text(s);
    if (produced != 0 && !sink(tail, produced)) return msg::kWriteFailed;
    return {};
}

}  // namespace package
