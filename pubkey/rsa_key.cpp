// RSA key encodings: see rsa_key.h.
#include "pubkey/rsa_key.h"

#include <cstring>

#include "toolkit/internal.h"

namespace cyr {

namespace {

constexpr std::size_t kMaxNumberBytes = (kRsaMaxBits + 7) / 8;

// Bytes of a DER length field.
std::size_t length_size(std::size_t length) {
    if (length < 128) return 1;
    std::size_t n = 1;
    for (std::size_t v = length; v != 0; v >>= 8) ++n;
    return n;
}

// Appends to a bounded buffer; `ok` turns false once anything did not fit.
struct Writer {
    uint8_t* out;
    std::size_t capacity;
    std::size_t used = 0;
    bool ok = true;

    void byte(uint8_t b) {
        if (used >= capacity) {
            ok = false;
            return;
        }
        out[used++] = b;
    }
    void length(std::size_t len) {
        if (len < 128) {
            byte(static_cast<uint8_t>(len));
            return;
        }
        std::size_t count = length_size(len) - 1;
        byte(static_cast<uint8_t>(0x80 + count));
        for (std::size_t i = count; i-- > 0;) byte(static_cast<uint8_t>(len >> (8 * i)));
    }
    void integer(const BigNum& v) {
        std::size_t n = bn_byte_length(&v);
        byte(0x02);
        length(n);
        if (!ok || capacity - used < n) {
            ok = false;
            return;
        }
        bn_to_bytes(&v, out + used, n);
        used += n;
    }
};

std::size_t integer_size(const BigNum& v) {
    std::size_t n = bn_byte_length(&v);
    return 1 + length_size(n) + n;
}

std::size_t write_sequence(const BigNum* const* numbers, int count, const uint32_t* version,
                           uint8_t* out, std::size_t capacity) {
    std::size_t content = 1;  // the trailing zero byte
    if (version != nullptr) content += 3;
    for (int i = 0; i < count; ++i) content += integer_size(*numbers[i]);
    Writer w{out, capacity};
    w.byte(0x30);
    w.length(content);
    if (version != nullptr) {
        w.byte(0x02);
        w.byte(0x01);
        w.byte(static_cast<uint8_t>(*version));
    }
    for (int i = 0; i < count; ++i) w.integer(*numbers[i]);
    w.byte(0x00);
    return w.ok ? w.used : 0;
}

// Reads a bounded input front to back.
struct Reader {
    const uint8_t* in;
    std::size_t left;

    bool byte(uint8_t* b) {
        if (left == 0) return false;
        *b = *in++;
        --left;
        return true;
    }
    bool length(std::size_t* len) {
        uint8_t first;
        if (!byte(&first)) return false;
        if (first < 0x80) {
            *len = first;
            return true;
        }
        std::size_t count = first - 0x80;
        if (count == 0 || count > 2) return false;  // no key needs more than 65535 bytes
        std::size_t v = 0;
        for (std::size_t i = 0; i < count; ++i) {
            uint8_t b;
            if (!byte(&b)) return false;
            v = v << 8 | b;
        }
        *len = v;
        return true;
    }
    bool integer(BigNum* v) {
        uint8_t tag;
        std::size_t len;
        if (!byte(&tag) || tag != 0x02 || !length(&len) || len > left) return false;
        const uint8_t* bytes = in;
        in += len;
        left -= len;
        while (len > 0 && *bytes == 0) {
            ++bytes;
            --len;
        }
        if (len > kMaxNumberBytes) return false;
        bn_from_bytes(v, bytes, len);
        return true;
    }
    // The sequence header; narrows the reader to its content.
    bool sequence() {
        uint8_t tag;
        std::size_t len;
        if (!byte(&tag) || tag != 0x30 || !length(&len) || len > left) return false;
        left = len;
        return true;
    }
    bool only_zeros_left() const {
        for (std::size_t i = 0; i < left; ++i)
            if (in[i] != 0) return false;
        return true;
    }
};

bool usable_public(const BigNum& n, const BigNum& e) {
    const int bits = bn_bits(&n);
    return bn_is_odd(&n) && bits >= static_cast<int>(kRsaMinBits) &&
           bits <= static_cast<int>(kRsaMaxBits) && bn_is_odd(&e) && bn_bits(&e) >= 2 &&
           bn_cmp_mag(&e, &n) < 0;
}

}  // namespace

uint32_t rsa_public_capacity(uint32_t bits) {
    uint32_t b = (bits + 7) / 8;
    return b + (b + 1) / 2 + 12;
}

uint32_t rsa_private_capacity(uint32_t bits) {
    uint32_t b = (bits + 7) / 8;
    return 3 * (b + 2 * ((b + 1) / 2)) + 40;
}

std::size_t rsa_write_public(const RsaPublicKey& key, uint8_t* out, std::size_t capacity) {
    const BigNum* numbers[] = {&key.n, &key.e};
    return write_sequence(numbers, 2, nullptr, out, capacity);
}

std::size_t rsa_write_private(const RsaPrivateKey& key, uint8_t* out, std::size_t capacity) {
    const BigNum* numbers[] = {&key.n,  &key.e,  &key.d,    &key.p,    &key.q,
                               &key.dp, &key.dq, &key.qinv, &key.extra};
    return write_sequence(numbers, key.type == kRsaTypeExtra ? 9 : 8, &key.type, out, capacity);
}

bool rsa_read_public(const uint8_t* in, std::size_t length, RsaPublicKey* key) {
    Reader r{in, length};
    if (in == nullptr || !r.sequence() || !r.integer(&key->n) || !r.integer(&key->e)) return false;
    return r.only_zeros_left() && usable_public(key->n, key->e);
}

bool rsa_read_private(const uint8_t* in, std::size_t length, RsaPrivateKey* key) {
    Reader r{in, length};
    uint8_t tag, len, version;
    if (in == nullptr || !r.sequence() || !r.byte(&tag) || tag != 0x02 || !r.byte(&len) ||
        len != 0x01 || !r.byte(&version) || (version != kRsaTypeCrt && version != kRsaTypeExtra))
        return false;
    key->type = version;
    BigNum* numbers[] = {&key->n,  &key->e,  &key->d,    &key->p,    &key->q,
                         &key->dp, &key->dq, &key->qinv, &key->extra};
    bn_zero(&key->extra);
    const int count = version == kRsaTypeExtra ? 9 : 8;
    for (int i = 0; i < count; ++i)
        if (!r.integer(numbers[i])) return false;
    if (!r.only_zeros_left() || !usable_public(key->n, key->e)) return false;
    // The factors must rebuild n, and the CRT values must be reduced, so that
    // the private operation never works on numbers larger than it expects.
    if (!bn_is_odd(&key->p) || !bn_is_odd(&key->q) || bn_bits(&key->q) < 2) return false;
    BigNum pq;
    bn_mul(&pq, &key->p, &key->q);
    const bool factors_ok = bn_cmp_mag(&pq, &key->n) == 0;
    secure_wipe(&pq, sizeof pq);
    return factors_ok && bn_cmp_mag(&key->dp, &key->p) < 0 && bn_cmp_mag(&key->dq, &key->q) < 0 &&
           bn_cmp_mag(&key->qinv, &key->p) < 0 && bn_cmp_mag(&key->d, &key->n) < 0;
}

}  // namespace cyr
