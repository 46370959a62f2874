// The large-modulus mechanisms through the toolkit's entry points, for tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/mechanism.h"
#include "toolkit/cyr.h"

namespace rsatest {

using Bytes = std::vector<uint8_t>;

inline Bytes hex(const std::string& text) {
    Bytes out;
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '\n') digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return out;
}

using Mechanism = test_support::Mechanism;

struct Object {
    CYR_OBJECT slots{};
    Bytes buffer;
    Object(uint32_t cls, Bytes value) : buffer(std::move(value)) {
        slots[0].kind = cls;
        slots[1].kind = CYR_VALUE;
        slots[1].data = buffer.empty() ? nullptr : buffer.data();
        slots[1].length = static_cast<uint32_t>(buffer.size());
        slots[1].wipe = 1;
    }
    // An output object of `capacity` bytes (0: null data, a size query).
    static Object out(uint32_t cls, std::size_t capacity) {
        Object o(cls, Bytes(capacity));
        return o;
    }
    Object(const Object& other) : Object(other.slots[0].kind, other.buffer) {}
    Bytes value() const { return Bytes(buffer.begin(), buffer.begin() + slots[1].length); }
};

struct KeyPair {
    uint32_t rc = 0;
    Bytes pub, priv;
};

// Mechanism 27 with the given bits and optional seeds; buffers sized by the
// size query.
inline KeyPair generate(uint32_t bits, const Bytes& seed = {}, const Bytes& extra = {},
                        uint32_t method = 1) {
    Mechanism m(27);
    m.u32(CYR_PARAM_MODULUS_BITS, bits).u32(CYR_PARAM_KEYGEN_METHOD, method);
    if (!seed.empty()) m.bytes(CYR_PARAM_SEED, seed);
    if (!extra.empty()) m.bytes(CYR_PARAM_EXTRA_SEED, extra);
    Object pub = Object::out(CYR_CLASS_PUBLIC_KEY, 0), priv = Object::out(CYR_CLASS_PRIVATE_KEY, 0);
    KeyPair kp;
    kp.rc = CYR_GenerateKeyPair(m.slots, pub.slots, priv.slots);
    if (kp.rc != 0) return kp;
    Object pub2 = Object::out(CYR_CLASS_PUBLIC_KEY, pub.slots[1].length);
    Object priv2 = Object::out(CYR_CLASS_PRIVATE_KEY, priv.slots[1].length);
    kp.rc = CYR_GenerateKeyPair(m.slots, pub2.slots, priv2.slots);
    if (kp.rc == 0) {
        kp.pub = pub2.value();
        kp.priv = priv2.value();
    }
    return kp;
}

struct Result {
    uint32_t rc = 0;
    Bytes out;
};

// Init and one-shot call with an output room of `capacity` bytes.
inline Result crypt(uint32_t mechanism, bool decrypt, const Bytes& key, const Bytes& in,
                    std::size_t capacity = 512) {
    Mechanism m(mechanism);
    Object k(decrypt ? CYR_CLASS_PRIVATE_KEY : CYR_CLASS_PUBLIC_KEY, key);
    Result r;
    r.rc = decrypt ? CYR_DecryptInit(m.slots, k.slots) : CYR_EncryptInit(m.slots, k.slots);
    if (r.rc != 0) return r;
    Object input(CYR_CLASS_DATA, in);
    Object output = Object::out(CYR_CLASS_DATA, capacity);
    r.rc = decrypt ? CYR_Decrypt(m.slots, input.slots, output.slots)
                   : CYR_Encrypt(m.slots, input.slots, output.slots);
    if (r.rc == 0) r.out = output.value();
    return r;
}

inline Result encrypt(uint32_t mechanism, const Bytes& pub, const Bytes& in) {
    return crypt(mechanism, false, pub, in);
}
inline Result decrypt(uint32_t mechanism, const Bytes& priv, const Bytes& in) {
    return crypt(mechanism, true, priv, in);
}

}  // namespace rsatest
