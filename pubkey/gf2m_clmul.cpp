// Carry-less multiplication with the processor's PCLMULQDQ instruction: see
// gf2m.h. Chosen at run time; the portable code remains the fallback.
#include "pubkey/gf2m.h"

#if CYR_GF2M_CLMUL

#include <immintrin.h>

namespace cyr {
namespace gf2m_detail {

namespace {

__attribute__((target("pclmul,sse2"))) inline void clmul_to(uint64_t a, uint64_t b,
                                                            uint64_t out[2]) {
    __m128i p = _mm_clmulepi64_si128(_mm_set_epi64x(0, static_cast<long long>(a)),
                                     _mm_set_epi64x(0, static_cast<long long>(b)), 0x00);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), p);
}

}  // namespace

bool clmul_available() {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") != 0;
    }();
    return available;
}

__attribute__((target("pclmul,sse2"))) void mul_wide2_clmul(const uint64_t a[2],
                                                            const uint64_t b[2], uint64_t c[4]) {
    uint64_t p[3][2];
    clmul_to(a[0], b[0], p[0]);
    clmul_to(a[1], b[1], p[2]);
    clmul_to(a[0] ^ a[1], b[0] ^ b[1], p[1]);
    p[1][0] ^= p[0][0] ^ p[2][0];
    p[1][1] ^= p[0][1] ^ p[2][1];
    c[0] = p[0][0];
    c[1] = p[0][1] ^ p[1][0];
    c[2] = p[2][0] ^ p[1][1];
    c[3] = p[2][1];
}

__attribute__((target("pclmul,sse2"))) void mul_wide3_clmul(const uint64_t a[3],
                                                            const uint64_t b[3], uint64_t c[6]) {
    for (int i = 0; i < 6; ++i) c[i] = 0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            uint64_t p[2];
            clmul_to(a[i], b[j], p);
            c[i + j] ^= p[0];
            c[i + j + 1] ^= p[1];
        }
    }
}

}  // namespace gf2m_detail
}  // namespace cyr

#endif
