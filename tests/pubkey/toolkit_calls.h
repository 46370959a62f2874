// Small builders for toolkit records in the public-key tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/mechanism.h"
#include "toolkit/cyr.h"

namespace pktest {

using Bytes = std::vector<uint8_t>;

using Mechanism = test_support::Mechanism;

// An object over a caller-owned buffer; a null buffer makes a size query.
struct Object {
    CYR_OBJECT o;
    Bytes buffer;
    Object(uint32_t cls, std::size_t capacity, bool null_data = false) : buffer(capacity) {
        std::memset(o, 0, sizeof o);
        o[0].kind = cls;
        o[1].kind = CYR_VALUE;
        o[1].data = null_data ? nullptr : buffer.data();
        o[1].length = static_cast<uint32_t>(capacity);
        o[1].wipe = 1;
    }
    Object(uint32_t cls, const Bytes& content) : Object(cls, content.size()) {
        buffer = content;
        o[1].data = content.empty() ? nullptr : buffer.data();
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    CYR_SLOT* get() { return o; }
    uint32_t length() const { return o[1].length; }
    Bytes value() const { return Bytes(buffer.begin(), buffer.begin() + o[1].length); }
};

// The application's shared-key derivation: curve 3, format 4, method 2, seed.
inline Bytes derive_key_pair(const Bytes& seed, Bytes* private_key, uint32_t* status = nullptr) {
    Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
    mech.u32(CYR_PARAM_CURVE, 3).u32(CYR_PARAM_POINT_FORMAT, 4).u32(CYR_PARAM_RNG_METHOD, 2);
    mech.bytes(CYR_PARAM_SEED, seed);
    Object pub(CYR_CLASS_PUBLIC_KEY, 43), priv(CYR_CLASS_PRIVATE_KEY, 21);
    uint32_t rc = CYR_GenerateKeyPair(mech.get(), pub.get(), priv.get());
    if (status != nullptr) *status = rc;
    *private_key = priv.value();
    return pub.value();
}

inline Bytes from_hex(const char* hex) {
    Bytes out;
    for (std::size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
        auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
        out.push_back(static_cast<uint8_t>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
    }
    return out;
}

// The password-derived key pair vector (curve 3, format 4, method 2, seed =
// bytes 00..13), computed once from this code and cross-checked against
// OpenSSL's d*G; stored shared keys depend on it never changing.
constexpr const char* kVectorPublic =
    "0407FEF0FB27EEDB52721B2C29C6C06876FEEC269EA2062BD042C6CD61E7C834423AC724C9380298B0C260";
constexpr const char* kVectorPrivate = "01D55E673176B279B4AABB9184C6353BDC300B5E7B";
inline Bytes vector_seed() {
    Bytes s(20);
    for (int i = 0; i < 20; ++i) s[i] = static_cast<uint8_t>(i);
    return s;
}

}  // namespace pktest
