#include "package/reader.h"

#include "package/messages.h"

namespace package {

namespace {

// Sequential reads over a source with a hard end.
class Walker {
  public:
    explicit Walker(ByteSource& source) : source_(source), end_(source.size()) {}

    std::uint64_t remaining() const { return end_ - pos_; }
    std::uint64_t position() const { return pos_; }

    bool u16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!bytes(b, 2)) return false;
        v = get_u16(b);
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint8_t b[4];
        if (!bytes(b, 4)) return false;
        v = get_u32(b);
        return true;
    }
    bool bytes(void* out, std::size_t n) {
        if (remaining() < n || !source_.read_at(pos_, out, n)) return false;
        pos_ += n;
        return true;
    }
    bool vec(Bytes& out, std::uint64_t n) {
        if (remaining() < n) return false;
        out.resize(static_cast<std::size_t>(n));
        return bytes(out.data(), out.size());
    }
    bool skip(std::uint64_t n) {
        if (remaining() < n) return false;
        pos_ += n;
        return true;
    }
    // Narrows the readable range to the next n bytes (a message entry's R).
    bool limit(std::uint64_t n) {
        if (remaining() < n) return false;
        end_ = pos_ + n;
        return true;
    }
    void widen() { end_ = source_.size(); }

  private:
    ByteSource& source_;
    std::uint64_t end_;
    std::uint64_t pos_ = 0;
};

// H, the header, CT, check block; the ciphertext is skipped. Returns the
// message for the failure, or nullptr.
const char* read_sealed(Walker& w, SealedEntry& e, const char* header_error,
                        const char* body_error) {
    std::uint32_t h = 0;
    if (!w.u32(h)) return header_error;
    Bytes header_and_ct;
    if (!w.vec(header_and_ct, std::uint64_t{h} + 4)) return header_error;
    if (!parse_key_header(header_and_ct, e.header, e.ct_length)) return header_error;
    e.header_bytes.assign(header_and_ct.begin(), header_and_ct.end() - 4);
    if (!w.bytes(e.check_block.data(), kCheckBlockSize)) return body_error;
    e.body_offset = w.position();
    if (!w.skip(e.ct_length)) return body_error;
    return nullptr;
}

// What R must say for an entry: H, the 4-byte H field, CT, the 4-byte CT
// field and the check block, i.e. H + 24 + CT.
std::uint64_t sealed_length(const SealedEntry& e) {
    return std::uint64_t{e.header_bytes.size()} + 24 + e.ct_length;
}

bool read_flag(Walker& w, bool& is_message) {
    std::uint8_t flag[2];
    if (!w.bytes(flag, 2) || flag[1] != 0 || (flag[0] != '0' && flag[0] != '1')) return false;
    is_message = flag[0] == '0';
    return true;
}

}  // namespace

Outline read_package(ByteSource& source) {
    Outline out;
    Walker w(source);
    std::uint16_t count = 0;
    bool message_first = false;
    if (!w.u16(count)) {
        out.error = msg::kCountRead;
        return out;
    }
    if (!read_flag(w, message_first)) {
        out.error = msg::kFlagRead;
        return out;
    }
    unsigned files = count;
    if (message_first) {
        if (count == 0) {
            out.error = msg::kCountRead;
            return out;
        }
        --files;
        SealedEntry e;
        e.is_message = true;
        std::uint32_t r = 0;
        if (!w.u32(r)) {
            out.error = msg::kMessageLengthRead;
            return out;
        }
        if (!w.limit(r)) {
            out.error = msg::kMessageRead;
            return out;
        }
        if (const char* err = read_sealed(w, e, msg::kMessageRead, msg::kEncryptedMessageRead)) {
            out.error = err;
            return out;
        }
        // R is H + 24 + CT exactly; a body shorter than R says means a CT
        // that does not tell the truth, and the message would come out cut.
        if (w.remaining() != 0) {
            out.error = msg::kMessageRead;
            return out;
        }
        w.widen();
        out.entries.push_back(std::move(e));
    }
    for (unsigned i = 0; i < files; ++i) {
        SealedEntry e;
        std::uint32_t l = 0, r = 0;
        if (!w.u32(l)) {
            out.error = msg::kNameLengthRead;
            return out;
        }
        if (!w.vec(e.stored_name, l)) {
            out.error = msg::kNameRead;
            return out;
        }
        if (!w.u32(r)) {
            out.error = msg::kFileLengthRead;
            return out;
        }
        if (const char* err = read_sealed(w, e, msg::kHeaderLengthRead, msg::kFileLengthRead)) {
            out.error = err;
            return out;
        }
        // R and CT must describe the same entry; otherwise one of them lies
        // and the file would come out cut or run into the next entry.
        if (r != sealed_length(e)) {
            out.error = msg::kFileLengthRead;
            return out;
        }
        out.entries.push_back(std::move(e));
    }
    return out;
}

Outline read_each_file(ByteSource& source) {
    Outline out;
    Walker w(source);
    SealedEntry e;
    if (!read_flag(w, e.is_message)) {
        out.error = msg::kFlagRead;
        return out;
    }
    const char* body_error = e.is_message ? msg::kEncryptedMessageRead : msg::kFileLengthRead;
    if (const char* err = read_sealed(w, e, msg::kHeaderLengthRead, body_error)) {
        out.error = err;
        return out;
    }
    // The item ends with its body; bytes beyond it mean CT was lowered.
    if (w.remaining() != 0) {
        out.error = body_error;
        return out;
    }
    out.entries.push_back(std::move(e));
    return out;
}

}  // namespace package
