// Known-answer vectors from the published standards, as hex text; the source
// of each is written beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cyrtest {

struct BlockVector {
    const char* source;
    const char* key;
    const char* plain;
    const char* cipher;
};

// RFC 4269 Appendix B.1 to B.4.
inline const BlockVector kSeedVectors[] = {
    {"RFC 4269 B.1", "00000000000000000000000000000000", "000102030405060708090A0B0C0D0E0F",
     "5EBAC6E0054E166819AFF1CC6D346CDB"},
    {"RFC 4269 B.2", "000102030405060708090A0B0C0D0E0F", "00000000000000000000000000000000",
     "C11F22F20140505084483597E4370F43"},
    {"RFC 4269 B.3", "4706480851E61BE85D74BFB3FD956185", "83A2F8A288641FB9A4E9A5CC2F131C7D",
     "EE54D13EBCAE706D226BC3142CD40D4A"},
    {"RFC 4269 B.4", "28DBC3BC49FFD87DCFA509B11D422BE7", "B41E6BE2EBA84A148E2EED84593C5EC7",
     "9B9B7BFCD1813CB95D0B3618F40F5122"},
};

// FIPS-197 Appendix B and C.1 to C.3.
inline const BlockVector kAesVectors[] = {
    {"FIPS-197 B", "2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
     "3925841d02dc09fbdc118597196a0b32"},
    {"FIPS-197 C.1", "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"FIPS-197 C.2", "000102030405060708090a0b0c0d0e0f1011121314151617",
     "00112233445566778899aabbccddeeff", "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"FIPS-197 C.3", "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
     "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
};

// RFC 5794 Appendix A.1 to A.3.
inline const BlockVector kAriaVectors[] = {
    {"RFC 5794 A.1", "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "d718fbd6ab644c739da95f3be6451778"},
    {"RFC 5794 A.2", "000102030405060708090a0b0c0d0e0f1011121314151617",
     "00112233445566778899aabbccddeeff", "26449c1805dbe7aa25a468ce263a9e79"},
    {"RFC 5794 A.3", "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
     "00112233445566778899aabbccddeeff", "f92bd7c79fb72e2f2b8f80c1972d24fc"},
};

struct DigestVector {
    const char* source;
    const char* message;  // repeated `repeat` times
    unsigned long repeat;
    const char* digest;
};

// The whole message of a digest vector.
inline std::vector<uint8_t> message_of(const DigestVector& v) {
    const std::string one = v.message;
    std::vector<uint8_t> m;
    m.reserve(one.size() * v.repeat);
    for (unsigned long i = 0; i < v.repeat; ++i) m.insert(m.end(), one.begin(), one.end());
    return m;
}

// FIPS 180-1 Appendix A to C; the empty message from FIPS 180-2's examples.
inline const DigestVector kSha1Vectors[] = {
    {"FIPS 180-1 A (one block)", "abc", 1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"FIPS 180-1 B (56 bytes, two blocks)",
     "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
     "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    {"FIPS 180-1 C (one million 'a')", "a", 1000000, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    {"empty message", "", 1, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
};

}  // namespace cyrtest
