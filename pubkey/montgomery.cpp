// Montgomery exponentiation: see montgomery.h.
#include "pubkey/montgomery.h"

#include <cstring>

#include "toolkit/internal.h"

namespace cyr {

namespace {

#if defined(__SIZEOF_INT128__)
using Wide = unsigned __int128;
#else
using Wide = uint64_t;
#endif
constexpr int kLimbBits = 8 * sizeof(MontLimb);
constexpr int kWordsPerLimb = kLimbBits / 32;

void to_limbs(MontLimb* out, int limbs, const BigNum* a) {
    std::memset(out, 0, sizeof(MontLimb) * limbs);
    for (int i = 0; i < a->length && i < limbs * kWordsPerLimb; ++i)
        out[i / kWordsPerLimb] |= static_cast<MontLimb>(a->words[i]) << (32 * (i % kWordsPerLimb));
}

void from_limbs(BigNum* r, const MontLimb* in, int limbs) {
    uint32_t words[kMontMaxWords + 2];
    int count = limbs * kWordsPerLimb;
    for (int i = 0; i < count; ++i)
        words[i] = static_cast<uint32_t>(in[i / kWordsPerLimb] >> (32 * (i % kWordsPerLimb)));
    bn_from_words(r, words, count);
    secure_wipe(words, sizeof words);
}

// r = (top * 2^(limb bits * n) + t) - m when that is not negative, else the
// value itself; the choice is made by mask. The value must be below 2m.
void final_subtract(const MontModulus* ctx, MontLimb* r, const MontLimb* t, MontLimb top) {
    const int n = ctx->limbs;
    MontLimb d[kMontMaxLimbs];
    MontLimb borrow = 0;
    for (int j = 0; j < n; ++j) {
        Wide s = static_cast<Wide>(t[j]) - ctx->m[j] - borrow;
        d[j] = static_cast<MontLimb>(s);
        borrow = static_cast<MontLimb>(s >> kLimbBits) & 1;
    }
    // Keep the value when it was below m: the subtraction borrowed past top.
    const MontLimb keep = static_cast<MontLimb>(0) - (borrow & ~top & 1);
    for (int j = 0; j < n; ++j) r[j] = (t[j] & keep) | (d[j] & ~keep);
}

// r = a*b*R^-1 mod m (CIOS with the multiplication and reduction rows
// fused, so t is read and written once per row). r may alias a or b. The
// temporaries stay on the stack for the next call to overwrite; mont_exp
// wipes what it keeps.
void mont_mul(const MontModulus* ctx, MontLimb* r, const MontLimb* a, const MontLimb* b) {
    const int n = ctx->limbs;
    const MontLimb* m = ctx->m;
    MontLimb t[kMontMaxLimbs + 1];
    std::memset(t, 0, sizeof(MontLimb) * (n + 1));
    for (int i = 0; i < n; ++i) {
        const MontLimb bi = b[i];
        Wide prod = static_cast<Wide>(a[0]) * bi + t[0];
        const MontLimb q = static_cast<MontLimb>(prod) * ctx->m0inv;
        Wide red = static_cast<Wide>(q) * m[0] + static_cast<MontLimb>(prod);
        prod >>= kLimbBits;
        red >>= kLimbBits;
        for (int j = 1; j < n; ++j) {
            prod += static_cast<Wide>(a[j]) * bi + t[j];
            red += static_cast<Wide>(q) * m[j] + static_cast<MontLimb>(prod);
            t[j - 1] = static_cast<MontLimb>(red);
            prod >>= kLimbBits;
            red >>= kLimbBits;
        }
        prod += t[n];
        red += static_cast<MontLimb>(prod);
        t[n - 1] = static_cast<MontLimb>(red);
        t[n] = static_cast<MontLimb>(prod >> kLimbBits) + static_cast<MontLimb>(red >> kLimbBits);
    }
    final_subtract(ctx, r, t, t[n]);
}

// r = a*a*R^-1 mod m: the square with each cross product formed once, then a
// separate word-by-word reduction. r may alias a.
void mont_sqr(const MontModulus* ctx, MontLimb* r, const MontLimb* a) {
    const int n = ctx->limbs;
    const MontLimb* m = ctx->m;
    MontLimb t[2 * kMontMaxLimbs];
    std::memset(t, 0, sizeof(MontLimb) * 2 * n);
    for (int i = 0; i < n; ++i) {
        Wide c = 0;
        for (int j = i + 1; j < n; ++j) {
            c += static_cast<Wide>(a[i]) * a[j] + t[i + j];
            t[i + j] = static_cast<MontLimb>(c);
            c >>= kLimbBits;
        }
        t[i + n] = static_cast<MontLimb>(c);
    }
    MontLimb shifted_out = 0;
    for (int k = 0; k < 2 * n; ++k) {
        const MontLimb top = t[k] >> (kLimbBits - 1);
        t[k] = (t[k] << 1) | shifted_out;
        shifted_out = top;
    }
    Wide c = 0;
    for (int i = 0; i < n; ++i) {
        c += static_cast<Wide>(a[i]) * a[i] + t[2 * i];
        t[2 * i] = static_cast<MontLimb>(c);
        c >>= kLimbBits;
        c += t[2 * i + 1];
        t[2 * i + 1] = static_cast<MontLimb>(c);
        c >>= kLimbBits;
    }
    // Reduction: each row clears one low limb; its carry lands on limb
    // i + n, and what overflows that limb is carried into the next row's.
    MontLimb extra = 0;
    for (int i = 0; i < n; ++i) {
        const MontLimb q = t[i] * ctx->m0inv;
        c = 0;
        for (int j = 0; j < n; ++j) {
            c += static_cast<Wide>(q) * m[j] + t[i + j];
            t[i + j] = static_cast<MontLimb>(c);
            c >>= kLimbBits;
        }
        c += static_cast<Wide>(t[i + n]) + extra;
        t[i + n] = static_cast<MontLimb>(c);
        extra = static_cast<MontLimb>(c >> kLimbBits);
    }
    final_subtract(ctx, r, t + n, extra);
}

// out = table[index] reading every entry, so the address does not depend on
// the (secret) exponent window.
void select_entry(MontLimb* out, const MontLimb (*table)[kMontMaxLimbs], int n, unsigned index) {
    std::memset(out, 0, sizeof(MontLimb) * n);
    for (unsigned k = 0; k < 16; ++k) {
        const MontLimb mask = static_cast<MontLimb>(0) - static_cast<MontLimb>(k == index);
        for (int j = 0; j < n; ++j) out[j] |= table[k][j] & mask;
    }
}

unsigned exponent_window(const BigNum* e, int bit) {
    unsigned w = 0;
    for (int i = 3; i >= 0; --i) {
        int b = bit + i;
        w <<= 1;
        if (b / 32 < e->length) w |= (e->words[b / 32] >> (b % 32)) & 1;
    }
    return w;
}

}  // namespace

bool mont_init(MontModulus* ctx, const BigNum* m) {
    if (!bn_is_odd(m) || bn_bits(m) < 2 || m->length > kMontMaxWords) return false;
    const int n = (m->length + kWordsPerLimb - 1) / kWordsPerLimb;
    ctx->limbs = n;
    to_limbs(ctx->m, n, m);
    // Newton's iteration doubles the correct low bits of m^-1 each step.
    MontLimb inv = ctx->m[0];
    for (int i = 0; i < 6; ++i) inv *= 2 - ctx->m[0] * inv;
    ctx->m0inv = static_cast<MontLimb>(0) - inv;

    BigNum t, mm;
    bn_copy(&mm, m);
    mm.sign = 1;
    bn_set_word(&t, 1);
    bn_shl(&t, &t, 2 * n * kLimbBits);
    bn_mod(&t, &t, &mm);
    to_limbs(ctx->rr, n, &t);
    bn_set_word(&t, 1);
    bn_shl(&t, &t, n * kLimbBits);
    bn_mod(&t, &t, &mm);
    to_limbs(ctx->one, n, &t);
    secure_wipe(&mm, sizeof mm);  // the modulus may be a secret prime
    secure_wipe(&t, sizeof t);
    return true;
}

void mont_exp(const MontModulus* ctx, BigNum* r, const BigNum* a, const BigNum* e) {
    const int n = ctx->limbs;
    const bool negative = bn_is_negative(a) && bn_is_odd(e);
    BigNum base;
    bn_copy(&base, a);
    base.sign = 1;
    BigNum m;
    from_limbs(&m, ctx->m, n);
    if (bn_cmp_mag(&base, &m) >= 0) bn_mod(&base, &base, &m);
    MontLimb x[kMontMaxLimbs], acc[kMontMaxLimbs];
    to_limbs(x, n, &base);
    mont_mul(ctx, x, x, ctx->rr);  // into the Montgomery form
    std::memcpy(acc, ctx->one, sizeof(MontLimb) * n);

    const int bits = bn_bits(e);
    if (e->length <= 1) {
        for (int i = bits - 1; i >= 0; --i) {
            mont_sqr(ctx, acc, acc);
            if ((e->words[0] >> i) & 1) mont_mul(ctx, acc, acc, x);
        }
    } else {
        static_assert(sizeof(MontLimb) * kMontMaxLimbs * 16 < 16384, "window table on the stack");
        MontLimb table[16][kMontMaxLimbs];
        std::memcpy(table[0], ctx->one, sizeof(MontLimb) * n);
        std::memcpy(table[1], x, sizeof(MontLimb) * n);
        for (int k = 2; k < 16; ++k) mont_mul(ctx, table[k], table[k - 1], x);
        MontLimb entry[kMontMaxLimbs];
        const int top = (bits + 3) / 4 * 4;
        for (int bit = top - 4; bit >= 0; bit -= 4) {
            if (bit != top - 4)
                for (int s = 0; s < 4; ++s) mont_sqr(ctx, acc, acc);
            select_entry(entry, table, n, exponent_window(e, bit));
            mont_mul(ctx, acc, acc, entry);
        }
        secure_wipe(table, sizeof table);
        secure_wipe(entry, sizeof entry);
    }
    // Out of the Montgomery form: multiply by plain 1.
    MontLimb unit[kMontMaxLimbs] = {};
    unit[0] = 1;
    mont_mul(ctx, acc, acc, unit);
    from_limbs(r, acc, n);
    if (negative && r->length != 0) r->sign = -1;
    secure_wipe(x, sizeof x);
    secure_wipe(acc, sizeof acc);
    secure_wipe(&base, sizeof base);
    secure_wipe(&m, sizeof m);
}

bool bn_mod_exp(BigNum* r, const BigNum* a, const BigNum* e, const BigNum* m) {
    MontModulus ctx;
    if (!mont_init(&ctx, m)) return false;
    mont_exp(&ctx, r, a, e);
    secure_wipe(&ctx, sizeof ctx);
    return true;
}

}  // namespace cyr
