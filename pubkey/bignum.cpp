// Multi-precision integers: see bignum.h.
#include "pubkey/bignum.h"

#include <cstring>

#include "platform/secret.h"

namespace cyr {

namespace {

void normalise(BigNum* r) {
    while (r->length > 0 && r->words[r->length - 1] == 0) --r->length;
    if (r->sign == 0) r->sign = 1;
}

// |r| = |a| + |b|.
void add_mag(BigNum* r, const BigNum* a, const BigNum* b) {
    if (a->length < b->length) {
        const BigNum* t = a;
        a = b;
        b = t;
    }
    uint64_t carry = 0;
    int i = 0;
    for (; i < b->length; ++i) {
        carry += static_cast<uint64_t>(a->words[i]) + b->words[i];
        r->words[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    for (; i < a->length; ++i) {
        carry += a->words[i];
        r->words[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    r->length = a->length;
    if (carry != 0) r->words[r->length++] = static_cast<uint32_t>(carry);
}

// |r| = |a| - |b|, requires |a| >= |b|.
void sub_mag(BigNum* r, const BigNum* a, const BigNum* b) {
    int64_t borrow = 0;
    int i = 0;
    for (; i < b->length; ++i) {
        int64_t d = static_cast<int64_t>(a->words[i]) - b->words[i] + borrow;
        r->words[i] = static_cast<uint32_t>(d);
        borrow = d < 0 ? -1 : 0;
    }
    for (; i < a->length; ++i) {
        int64_t d = static_cast<int64_t>(a->words[i]) + borrow;
        r->words[i] = static_cast<uint32_t>(d);
        borrow = d < 0 ? -1 : 0;
    }
    r->length = a->length;
    while (r->length > 0 && r->words[r->length - 1] == 0) --r->length;
}

int sign_of(const BigNum* a) {
    return a->sign < 0 ? -1 : 1;
}

// r = a + sb * b where sb is the effective sign of b.
void add_signed(BigNum* r, const BigNum* a, const BigNum* b, int sb) {
    int sa = sign_of(a);
    if (sa == sb) {
        add_mag(r, a, b);
        r->sign = sa;
    } else if (bn_cmp_mag(a, b) >= 0) {
        sub_mag(r, a, b);
        r->sign = sa;
    } else {
        sub_mag(r, b, a);
        r->sign = sb;
    }
    normalise(r);
}

}  // namespace

void bn_zero(BigNum* r) {
    r->sign = 1;
    r->length = 0;
}

void bn_set_word(BigNum* r, uint32_t w) {
    r->sign = 1;
    r->words[0] = w;
    r->length = w != 0 ? 1 : 0;
}

void bn_copy(BigNum* r, const BigNum* a) {
    if (r == a) {
        if (a->length == 0) r->sign = 0;
        return;
    }
    std::memcpy(r->words, a->words, sizeof(uint32_t) * a->length);
    r->length = a->length;
    r->sign = a->length == 0 ? 0 : a->sign;
}

bool bn_is_zero(const BigNum* a) {
    return a->length == 0;
}
bool bn_is_odd(const BigNum* a) {
    return a->length > 0 && (a->words[0] & 1) != 0;
}
bool bn_is_negative(const BigNum* a) {
    return a->sign < 0 && a->length > 0;
}

int bn_cmp_mag(const BigNum* a, const BigNum* b) {
    if (a->length != b->length) return a->length < b->length ? -1 : 1;
    for (int i = a->length - 1; i >= 0; --i)
        if (a->words[i] != b->words[i]) return a->words[i] < b->words[i] ? -1 : 1;
    return 0;
}

int bn_cmp(const BigNum* a, const BigNum* b) {
    bool na = bn_is_negative(a), nb = bn_is_negative(b);
    if (na != nb) return na ? -1 : 1;
    int c = bn_cmp_mag(a, b);
    return na ? -c : c;
}

int bn_bits(const BigNum* a) {
    if (a->length == 0) return 0;
    uint32_t top = a->words[a->length - 1];
    int bits = 0;
    while (top != 0) {
        ++bits;
        top >>= 1;
    }
    return 32 * (a->length - 1) + bits;
}

void bn_shl(BigNum* r, const BigNum* a, int bits) {
    int sign = a->sign;
    int wshift = bits / 32, bshift = bits % 32;
    int n = a->length;
    if (n == 0) {
        bn_zero(r);
        return;
    }
    // From the top down so that r may alias a.
    r->words[n + wshift] = 0;
    for (int i = n - 1; i >= 0; --i) {
        uint32_t w = a->words[i];
        if (bshift != 0) {
            r->words[i + wshift + 1] |= w >> (32 - bshift);
            r->words[i + wshift] = w << bshift;
        } else {
            r->words[i + wshift] = w;
        }
    }
    for (int i = 0; i < wshift; ++i) r->words[i] = 0;
    r->length = n + wshift + 1;
    r->sign = sign;
    normalise(r);
}

void bn_shr(BigNum* r, const BigNum* a, int bits) {
    int sign = a->sign;
    int wshift = bits / 32, bshift = bits % 32;
    int n = a->length - wshift;
    if (n <= 0) {
        bn_zero(r);
        return;
    }
    for (int i = 0; i < n; ++i) {
        uint32_t w = a->words[i + wshift] >> bshift;
        if (bshift != 0 && i + wshift + 1 < a->length)
            w |= a->words[i + wshift + 1] << (32 - bshift);
        r->words[i] = w;
    }
    r->length = n;
    r->sign = sign;
    normalise(r);
}

void bn_add(BigNum* r, const BigNum* a, const BigNum* b) {
    add_signed(r, a, b, sign_of(b));
}
void bn_sub(BigNum* r, const BigNum* a, const BigNum* b) {
    add_signed(r, a, b, -sign_of(b));
}

void bn_add_word(BigNum* r, const BigNum* a, uint32_t w) {
    BigNum t;
    bn_set_word(&t, w);
    bn_add(r, a, &t);
}

void bn_sub_word(BigNum* r, const BigNum* a, uint32_t w) {
    BigNum t;
    bn_set_word(&t, w);
    bn_sub(r, a, &t);
}

void bn_mul_word(BigNum* r, const BigNum* a, uint32_t w) {
    uint64_t carry = 0;
    int n = a->length;
    for (int i = 0; i < n; ++i) {
        carry += static_cast<uint64_t>(a->words[i]) * w;
        r->words[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    r->words[n] = static_cast<uint32_t>(carry);
    r->length = n + 1;
    r->sign = a->sign;
    normalise(r);
}

void bn_mul_add_word(BigNum* r, const BigNum* a, uint32_t w) {
    int n = a->length > r->length ? a->length : r->length;
    for (int i = r->length; i <= n; ++i) r->words[i] = 0;
    uint64_t carry = 0;
    int i = 0;
    for (; i < a->length; ++i) {
        carry += static_cast<uint64_t>(a->words[i]) * w + r->words[i];
        r->words[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    for (; carry != 0; ++i) {
        carry += r->words[i];
        r->words[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    r->length = n + 1;
    normalise(r);
}

void bn_mul(BigNum* r, const BigNum* a, const BigNum* b) {
    BigNum t;
    int na = a->length, nb = b->length;
    if (na == 0 || nb == 0) {
        bn_zero(r);
        return;
    }
    std::memset(t.words, 0, sizeof(uint32_t) * (na + nb));
    for (int i = 0; i < na; ++i) {
        uint64_t carry = 0;
        uint64_t ai = a->words[i];
        for (int j = 0; j < nb; ++j) {
            carry += ai * b->words[j] + t.words[i + j];
            t.words[i + j] = static_cast<uint32_t>(carry);
            carry >>= 32;
        }
        t.words[i + nb] = static_cast<uint32_t>(carry);
    }
    t.length = na + nb;
    t.sign = sign_of(a) * sign_of(b);
    normalise(&t);
    bn_copy(r, &t);
    if (r->length == 0) r->sign = 1;
}

void bn_sqr(BigNum* r, const BigNum* a) {
    bn_mul(r, a, a);
}

uint32_t bn_mod_word(const BigNum* a, uint32_t w) {
    uint64_t rem = 0;
    for (int i = a->length - 1; i >= 0; --i) rem = ((rem << 32) | a->words[i]) % w;
    return static_cast<uint32_t>(rem);
}

void bn_divmod(BigNum* q, BigNum* rem, const BigNum* a, const BigNum* m) {
    if (m->length == 0) {
        // Undefined; no caller divides by zero, but never read outside the words.
        if (q != nullptr) bn_zero(q);
        if (rem != nullptr) bn_copy(rem, a);
        return;
    }
    int qsign = sign_of(a) * sign_of(m), rsign = sign_of(a);
    if (bn_cmp_mag(a, m) < 0) {
        if (rem != nullptr) bn_copy(rem, a);
        if (rem != nullptr && rem->length != 0) rem->sign = rsign;
        if (rem != nullptr && rem->length == 0) rem->sign = 1;
        if (q != nullptr) bn_zero(q);
        return;
    }
    BigNum qt;
    int n = m->length;
    if (n == 1) {
        uint32_t d = m->words[0];
        uint64_t r = 0;
        for (int i = a->length - 1; i >= 0; --i) {
            uint64_t cur = (r << 32) | a->words[i];
            qt.words[i] = static_cast<uint32_t>(cur / d);
            r = cur % d;
        }
        qt.length = a->length;
        qt.sign = qsign;
        normalise(&qt);
        if (rem != nullptr) {
            bn_set_word(rem, static_cast<uint32_t>(r));
            rem->sign = rsign;
        }
        if (q != nullptr) bn_copy(q, &qt);
        if (q != nullptr && q->length == 0) q->sign = 1;
        return;
    }
    // Knuth's algorithm D on operands normalised so the divisor's top bit is set.
    int shift = 32 - (bn_bits(m) - 32 * (n - 1));
    BigNum u, v;
    bn_shl(&v, m, shift);
    bn_shl(&u, a, shift);
    int ulen = a->length + 1;
    for (int i = u.length; i <= ulen; ++i) u.words[i] = 0;
    int mlen = ulen - n;  // quotient words
    uint64_t vtop = v.words[n - 1], vnext = v.words[n - 2];
    for (int j = mlen - 1; j >= 0; --j) {
        uint64_t num = (static_cast<uint64_t>(u.words[j + n]) << 32) | u.words[j + n - 1];
        uint64_t qhat = num / vtop, rhat = num % vtop;
        while (qhat > 0xFFFFFFFFull || qhat * vnext > ((rhat << 32) | u.words[j + n - 2])) {
            --qhat;
            rhat += vtop;
            if (rhat > 0xFFFFFFFFull) break;
        }
        int64_t borrow = 0;
        uint64_t carry = 0;
        for (int i = 0; i < n; ++i) {
            carry += qhat * v.words[i];
            int64_t d = static_cast<int64_t>(u.words[i + j]) -
                        static_cast<int64_t>(carry & 0xFFFFFFFFull) + borrow;
            u.words[i + j] = static_cast<uint32_t>(d);
            borrow = d >> 32;
            carry >>= 32;
        }
        int64_t d = static_cast<int64_t>(u.words[j + n]) - static_cast<int64_t>(carry) + borrow;
        u.words[j + n] = static_cast<uint32_t>(d);
        if (d < 0) {
            // qhat was one too large: add the divisor back.
            --qhat;
            uint64_t c = 0;
            for (int i = 0; i < n; ++i) {
                c += static_cast<uint64_t>(u.words[i + j]) + v.words[i];
                u.words[i + j] = static_cast<uint32_t>(c);
                c >>= 32;
            }
            u.words[j + n] += static_cast<uint32_t>(c);
        }
        qt.words[j] = static_cast<uint32_t>(qhat);
    }
    qt.length = mlen;
    qt.sign = qsign;
    normalise(&qt);
    if (rem != nullptr) {
        u.length = n;
        u.sign = 1;
        normalise(&u);
        bn_shr(rem, &u, shift);
        rem->sign = rem->length != 0 ? rsign : 1;
    }
    if (q != nullptr) {
        bn_copy(q, &qt);
        if (q->length == 0) q->sign = 1;
    }
}

void bn_mod(BigNum* r, const BigNum* a, const BigNum* m) {
    BigNum mm;
    bn_copy(&mm, m);
    mm.sign = 1;
    bn_divmod(nullptr, r, a, &mm);
    if (bn_is_negative(r)) bn_add(r, r, &mm);
    r->sign = 1;
}

bool bn_mod_inverse(BigNum* r, const BigNum* a, const BigNum* m) {
    // Invariants: x1*a = u (mod m), x2*a = v (mod m).
    BigNum u, v, x1, x2, q, t, qt;
    bn_mod(&u, a, m);
    bn_copy(&v, m);
    v.sign = 1;
    bn_set_word(&x1, 1);
    bn_zero(&x2);
    if (bn_is_zero(&u)) return false;
    while (!bn_is_zero(&v)) {
        bn_divmod(&q, &t, &u, &v);
        bn_copy(&u, &v);
        bn_copy(&v, &t);
        bn_mul(&qt, &q, &x2);
        bn_sub(&t, &x1, &qt);
        bn_copy(&x1, &x2);
        bn_copy(&x2, &t);
    }
    if (!(u.length == 1 && u.words[0] == 1)) return false;
    bn_mod(r, &x1, m);
    return true;
}

void bn_from_bytes(BigNum* r, const uint8_t* bytes, std::size_t length) {
    while (length > 0 && *bytes == 0) {
        ++bytes;
        --length;
    }
    int words = static_cast<int>((length + 3) / 4);
    for (int i = 0; i < words; ++i) r->words[i] = 0;
    for (std::size_t i = 0; i < length; ++i) {
        std::size_t bit = 8 * (length - 1 - i);
        r->words[bit / 32] |= static_cast<uint32_t>(bytes[i]) << (bit % 32);
    }
    r->length = words;
    r->sign = 1;
    normalise(r);
}

std::size_t bn_byte_length(const BigNum* a) {
    return (bn_bits(a) + 7) / 8;
}

bool bn_to_bytes(const BigNum* a, uint8_t* out, std::size_t length) {
    if (out == nullptr || bn_byte_length(a) > length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        std::size_t bit = 8 * (length - 1 - i);
        std::size_t w = bit / 32;
        out[i] = w < static_cast<std::size_t>(a->length)
                     ? static_cast<uint8_t>(a->words[w] >> (bit % 32))
                     : 0;
    }
    return true;
}

void bn_wipe(BigNum* a, int words) {
    platform::secure_wipe(a->words, sizeof(uint32_t) * static_cast<std::size_t>(words));
    platform::secure_wipe(&a->sign, sizeof a->sign);
    platform::secure_wipe(&a->length, sizeof a->length);
}

void bn_from_words(BigNum* r, const uint32_t* words, int count) {
    for (int i = 0; i < count; ++i) r->words[i] = words[i];
    r->length = count;
    r->sign = 1;
    normalise(r);
}

}  // namespace cyr
