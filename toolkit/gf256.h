// Arithmetic in GF(2^8) modulo x^8+x^4+x^3+x+1 (AES, ARIA), usable at compile
// time to build the substitution and round tables instead of embedding them.
#pragma once

#include <array>
#include <cstdint>

namespace cyr::gf256 {

constexpr uint8_t mul(uint8_t a, uint8_t b) {
    uint8_t r = 0;
    while (b != 0) {
        if (b & 1) r ^= a;
        a = uint8_t((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
        b >>= 1;
    }
    return r;
}

// x^254 = x^-1 for x != 0, and 0 for 0.
constexpr uint8_t inverse(uint8_t x) {
    uint8_t r = 1, base = x;
    for (int e = 254; e != 0; e >>= 1) {
        if (e & 1) r = mul(r, base);
        base = mul(base, base);
    }
    return x == 0 ? 0 : r;
}

constexpr uint8_t rotl8(uint8_t x, int n) {
    return uint8_t((x << n) | (x >> (8 - n)));
}

// The AES S-box (FIPS-197 5.1.1): inverse, then the affine map with 0x63.
constexpr std::array<uint8_t, 256> aes_sbox() {
    std::array<uint8_t, 256> s{};
    for (int x = 0; x < 256; ++x) {
        uint8_t b = inverse(uint8_t(x));
        s[x] = uint8_t(b ^ rotl8(b, 1) ^ rotl8(b, 2) ^ rotl8(b, 3) ^ rotl8(b, 4) ^ 0x63);
    }
    return s;
}

constexpr std::array<uint8_t, 256> invert(const std::array<uint8_t, 256>& s) {
    std::array<uint8_t, 256> inv{};
    for (int x = 0; x < 256; ++x) inv[s[x]] = uint8_t(x);
    return inv;
}

}  // namespace cyr::gf256
