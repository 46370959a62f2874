// Curve records and the scalar multiplication methods: see ec_curves.h.
#include "pubkey/ec_curves.h"

#include <cstring>
#include <type_traits>

#include "pubkey/ec_point.h"
#include "pubkey/tnaf.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

enum CurveKind : uint32_t {
    kGeneral163 = 16301,
    kKoblitz163 = 16302,
    kGeneral113 = 11301,
    kKoblitz113 = 11302,
};

template <class F>
struct Curve {
    using Field = F;
    uint32_t number;
    uint32_t kind;
    CurveCoefficients<F> c;
    AffinePoint<F> g;
    BigNum n;
    uint32_t h;
    TauConstants tau;  // Koblitz curves only
};

int hex_value(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return ch - 'A' + 10;
}

void bn_from_hex(BigNum* r, const char* hex) {
    uint8_t bytes[64];
    std::size_t len = std::strlen(hex), n = (len + 1) / 2;
    std::memset(bytes, 0, sizeof bytes);
    for (std::size_t i = 0; i < len; ++i) {
        std::size_t pos = len - 1 - i;  // nibble index from the right
        bytes[n - 1 - pos / 2] |= static_cast<uint8_t>(hex_value(hex[i]) << (4 * (pos % 2)));
    }
    bn_from_bytes(r, bytes, n);
}

void bn_from_decimal(BigNum* r, const char* dec) {
    bool negative = *dec == '-';
    if (negative) ++dec;
    bn_zero(r);
    for (; *dec != '\0'; ++dec) {
        bn_mul_word(r, r, 10);
        bn_add_word(r, r, static_cast<uint32_t>(*dec - '0'));
    }
    if (negative) r->sign = -1;
}

template <class F>
Fe<F> fe_from_hex(const char* hex) {
    BigNum t;
    bn_from_hex(&t, hex);
    uint8_t bytes[F::kBytes];
    bn_to_bytes(&t, bytes, F::kBytes);
    Fe<F> r;
    fe_from_bytes<F>(&r, bytes);
    return r;
}

template <class F>
Curve<F> make_curve(uint32_t number, uint32_t kind, const char* a, const char* b, const char* gx,
                    const char* gy, const char* n) {
    Curve<F> cv;
    cv.number = number;
    cv.kind = kind;
    cv.c.a = fe_from_hex<F>(a);
    cv.c.b = fe_from_hex<F>(b);
    cv.g.x = fe_from_hex<F>(gx);
    cv.g.y = fe_from_hex<F>(gy);
    cv.g.infinity = false;
    bn_from_hex(&cv.n, n);
    cv.h = 2;
    bn_zero(&cv.tau.s0);
    bn_zero(&cv.tau.s1);
    bn_copy(&cv.tau.n, &cv.n);
    cv.tau.mu = 1;
    return cv;
}

const Curve<Field113>& curve1() {
    static const Curve<Field113> cv = [] {
        auto c =
            make_curve<Field113>(1, kKoblitz113, "1", "1", "1667979A40BA497E5D5C270780617",
                                 "F44B4AF1ECC2630E08785CEBCC15", "FFFFFFFFFFFFFFFDBF91AF6DEA73");
        bn_from_decimal(&c.tau.s0, "-58090385044727771");
        bn_from_decimal(&c.tau.s1, "-18940933351074198");
        return c;
    }();
    return cv;
}

const Curve<Field163a>& curve3() {
    static const Curve<Field163a> cv = [] {
        auto c = make_curve<Field163a>(3, kKoblitz163, "1", "1",
                                       "02FE13C0537BBC11ACAA07D793DE4E6D5E5C94EEE8",
                                       "0289070FB05D38FF58321F2E800536D538CCDAA3D9",
                                       "04000000000000000000020108A2E0CC0D99F8A5EF");
        bn_from_decimal(&c.tau.s0, "2579386439110731650419537");
        bn_from_decimal(&c.tau.s1, "-755360064476226375461594");
        return c;
    }();
    return cv;
}

const Curve<Field113>& curve4() {
    static const Curve<Field113> cv =
        make_curve<Field113>(4, kGeneral113, "3088250CA6E7C7FE649CE85820F7",
                             "E8BEE4D3E2260744188BE0E9C723", "9D73616F35F4AB1407D73562C10F",
                             "A52830277958EE84D1315ED31886", "0100000000000000D9CCEC8A39E56F");
    return cv;
}

const Curve<Field163b>& curve5() {
    static const Curve<Field163b> cv = make_curve<Field163b>(
        5, kGeneral163, "072546B5435234A422E0789675F432C89435DE5242",
        "C9517D06D5240D3CFF38C74B20B6CD4D6F9DD4D9", "07AF69989546103D79329FCC3D74880F33BBE803CB",
        "01EC23211B5966ADEA1D3F87F7EA5848AEF0B7CA9F", "0400000000000000000001E60FC8821CC74DAEAFC1");
    return cv;
}

int top_bit(const uint32_t* k, int words) {
    for (int i = words - 1; i >= 0; --i)
        if (k[i] != 0) return 32 * i + 31 - __builtin_clz(k[i]);
    return -1;
}

bool scalar_bit(const uint32_t* k, int bit) {
    return ((k[bit / 32] >> (bit % 32)) & 1) != 0;
}

// ---- Montgomery ladder in López–Dahab x-coordinates ----

template <class F>
AffinePoint<F> mul_ladder(const CurveCoefficients<F>& c, const AffinePoint<F>& p, const uint32_t* k,
                          int words) {
    int top = top_bit(k, words);
    if (top < 0 || p.infinity) return ec_infinity<F>();
    if (fe_is_zero<F>(p.x)) return scalar_bit(k, 0) ? p : ec_infinity<F>();  // order 2
    const Fe<F>& x = p.x;
    Fe<F> X1 = x, Z1, X2, Z2, t1, t2;
    fe_one<F>(&Z1);
    fe_sqr<F>(&Z2, x);
    fe_sqr<F>(&X2, Z2);
    fe_add<F>(&X2, X2, c.b);
    // (Xa, Za) += (Xb, Zb), knowing their difference is P.
    auto madd = [&](Fe<F>& Xa, Fe<F>& Za, const Fe<F>& Xb, const Fe<F>& Zb) {
        fe_mul<F>(&t1, Xa, Zb);
        fe_mul<F>(&t2, Xb, Za);
        fe_add<F>(&Za, t1, t2);
        fe_sqr<F>(&Za, Za);
        fe_mul<F>(&t1, t1, t2);
        fe_mul<F>(&Xa, x, Za);
        fe_add<F>(&Xa, Xa, t1);
    };
    auto mdouble = [&](Fe<F>& X, Fe<F>& Z) {
        fe_sqr<F>(&t1, X);
        fe_sqr<F>(&t2, Z);
        fe_mul<F>(&Z, t1, t2);
        fe_sqr<F>(&t1, t1);
        fe_sqr<F>(&t2, t2);
        mul_coefficient<F>(&t2, c.b, t2);
        fe_add<F>(&X, t1, t2);
    };
    for (int i = top - 1; i >= 0; --i) {
        if (scalar_bit(k, i)) {
            madd(X1, Z1, X2, Z2);
            mdouble(X2, Z2);
        } else {
            madd(X2, Z2, X1, Z1);
            mdouble(X1, Z1);
        }
    }
    if (fe_is_zero<F>(Z1)) return ec_infinity<F>();
    if (fe_is_zero<F>(Z2)) return ec_negate<F>(p);  // kP = -P since (k+1)P = O
    // y = (x + x1)[(X1 + x Z1)(X2 + x Z2) + (x^2 + y) Z1 Z2] / (x Z1 Z2) + y.
    Fe<F> z12, inv, a, b, s, x1;
    fe_mul<F>(&z12, Z1, Z2);
    fe_mul<F>(&inv, z12, x);
    fe_inv<F>(&inv, inv);
    fe_mul<F>(&x1, X1, Z2);
    fe_mul<F>(&x1, x1, x);
    fe_mul<F>(&x1, x1, inv);  // X1 / Z1
    fe_mul<F>(&a, x, Z1);
    fe_add<F>(&a, a, X1);
    fe_mul<F>(&b, x, Z2);
    fe_add<F>(&b, b, X2);
    fe_mul<F>(&a, a, b);
    fe_sqr<F>(&s, x);
    fe_add<F>(&s, s, p.y);
    fe_mul<F>(&s, s, z12);
    fe_add<F>(&a, a, s);
    fe_add<F>(&b, x, x1);
    fe_mul<F>(&a, a, b);
    fe_mul<F>(&a, a, inv);
    fe_add<F>(&a, a, p.y);
    return AffinePoint<F>{x1, a, false};
}

// ---- tau-adic NAF ----

constexpr int kMaxTnafDigits = 200;

// The digit sets alpha_u of the two widths (both Koblitz curves have mu = 1).
struct DigitSets {
    TauDigit w5[8];
    TauDigit w7[32];
};

const DigitSets& digit_sets() {
    static const DigitSets sets = [] {
        DigitSets s;
        tnaf_digit_set(5, 6, 1, s.w5);
        tnaf_digit_set(7, 38, 1, s.w7);
        return s;
    }();
    return sets;
}

// Affine forms of LD points with one inversion for all (Montgomery's trick).
template <class F>
void to_affine_all(const LdPoint<F>* in, AffinePoint<F>* out, int count) {
    Fe<F> prefix[32];
    for (int i = 0; i < count; ++i) {
        if (fe_is_zero<F>(in[i].Z)) {
            for (int j = 0; j < count; ++j) out[j] = ld_to_affine<F>(in[j]);
            return;
        }
        if (i == 0)
            prefix[0] = in[0].Z;
        else
            fe_mul<F>(&prefix[i], prefix[i - 1], in[i].Z);
    }
    Fe<F> inv, zi, zi2;
    fe_inv<F>(&inv, prefix[count - 1]);
    for (int i = count - 1; i >= 0; --i) {
        if (i > 0) {
            fe_mul<F>(&zi, inv, prefix[i - 1]);
            fe_mul<F>(&inv, inv, in[i].Z);
        } else {
            zi = inv;
        }
        fe_mul<F>(&out[i].x, in[i].X, zi);
        fe_sqr<F>(&zi2, zi);
        fe_mul<F>(&out[i].y, in[i].Y, zi2);
        out[i].infinity = false;
    }
}

// table[i] = alpha_(2i+1) P for i < count, each from the short plain TNAF of alpha.
template <class F>
void alpha_multiples(const Curve<F>& cv, const AffinePoint<F>& p, const TauDigit* alphas,
                     AffinePoint<F>* table, int count) {
    LdPoint<F> ld[32];
    AffinePoint<F> minus_p = ec_negate<F>(p);
    for (int i = 0; i < count; ++i) {
        int8_t digits[40];
        int n = tnaf_small(alphas[i].beta, alphas[i].gamma, cv.tau.mu, digits, 40);
        ld[i] = ld_from_affine<F>(ec_infinity<F>());
        for (int j = n - 1; j >= 0; --j) {
            ld_frobenius<F>(&ld[i]);
            if (digits[j] != 0) ld_add_affine<F>(cv.c, &ld[i], digits[j] > 0 ? p : minus_p);
        }
    }
    to_affine_all<F>(ld, table, count);
}

template <class F>
AffinePoint<F> mul_tnaf(const Curve<F>& cv, const AffinePoint<F>* table, int w, int tw,
                        const TauDigit* alphas, const uint32_t* k, int words) {
    BigNum kb;
    bn_from_words(&kb, k, words);
    int8_t digits[kMaxTnafDigits];
    int count = tnaf_recode(cv.tau, kb, w, tw, alphas, digits, kMaxTnafDigits);
    if (count < 0) return ec_mul_reference<F>(cv.c, table[0], k, words);  // not reached
    LdPoint<F> q = ld_from_affine<F>(ec_infinity<F>());
    for (int i = count - 1; i >= 0; --i) {
        ld_frobenius<F>(&q);
        int d = digits[i];
        if (d > 0) ld_add_affine<F>(cv.c, &q, table[(d - 1) / 2]);
        if (d < 0) ld_add_affine<F>(cv.c, &q, ec_negate<F>(table[(-d - 1) / 2]));
    }
    bn_wipe(&kb, words);
    secure_wipe(digits, sizeof digits);
    return ld_to_affine<F>(q);
}

template <class F>
const AffinePoint<F>* tnaf_base_table(const Curve<F>& cv) {
    // alpha_u G for the 32 odd u of the width-7 recoding.
    struct Table {
        AffinePoint<F> points[32];
    };
    static const Table table = [&] {
        Table t;
        alpha_multiples<F>(cv, cv.g, digit_sets().w7, t.points, 32);
        return t;
    }();
    return table.points;
}

template <class F>
AffinePoint<F> mul_tnaf_base(const Curve<F>& cv, const uint32_t* k, int words) {
    return mul_tnaf<F>(cv, tnaf_base_table<F>(cv), 7, 38, digit_sets().w7, k, words);
}

template <class F>
AffinePoint<F> mul_tnaf_point(const Curve<F>& cv, const AffinePoint<F>& p, const uint32_t* k,
                              int words) {
    if (p.infinity) return p;
    AffinePoint<F> table[8];
    alpha_multiples<F>(cv, p, digit_sets().w5, table, 8);
    return mul_tnaf<F>(cv, table, 5, 6, digit_sets().w5, k, words);
}

// ---- comb for the fixed base of curve 5 ----

constexpr int kCombTeeth = 8;
constexpr int kCombSpacing = 21;

struct CombTable {
    AffinePoint<Field163b> t[256];  // t[v] = sum of bit j of v times 2^(21 j) G
};

const CombTable& comb_table() {
    static const CombTable table = [] {
        const Curve<Field163b>& cv = curve5();
        CombTable t;
        AffinePoint<Field163b> powers[kCombTeeth];
        powers[0] = cv.g;
        for (int j = 1; j < kCombTeeth; ++j) {
            powers[j] = powers[j - 1];
            for (int i = 0; i < kCombSpacing; ++i) powers[j] = ec_double(cv.c, powers[j]);
        }
        t.t[0] = ec_infinity<Field163b>();
        for (int v = 1; v < 256; ++v) {
            int low = __builtin_ctz(static_cast<unsigned>(v));
            t.t[v] = ec_add(cv.c, t.t[v & (v - 1)], powers[low]);
        }
        return t;
    }();
    return table;
}

AffinePoint<Field163b> mul_comb(const uint32_t* k, int words) {
    const Curve<Field163b>& cv = curve5();
    uint32_t kk[kCombTeeth * kCombSpacing / 32 + 1] = {};
    if (top_bit(k, words) >= kCombTeeth * kCombSpacing) {
        // Beyond the comb's 168 bits: k mod n names the same multiple of G.
        BigNum kb, r;
        bn_from_words(&kb, k, words);
        bn_mod(&r, &kb, &cv.n);
        for (int i = 0; i < r.length; ++i) kk[i] = r.words[i];
        bn_wipe(&kb, words);
        bn_wipe(&r, 8);
    } else {
        for (int i = 0; i < words && i < 6; ++i) kk[i] = k[i];
    }
    const CombTable& table = comb_table();
    LdPoint<Field163b> q = ld_from_affine(ec_infinity<Field163b>());
    for (int i = kCombSpacing - 1; i >= 0; --i) {
        ld_double(cv.c, &q);
        unsigned v = 0;
        for (int j = 0; j < kCombTeeth; ++j)
            v |= static_cast<unsigned>(scalar_bit(kk, kCombSpacing * j + i)) << j;
        if (v != 0) ld_add_affine(cv.c, &q, table.t[v]);
    }
    secure_wipe(kk, sizeof kk);
    return ld_to_affine(q);
}

// ---- byte domain ----

template <class F>
AffinePoint<F> from_bytes(const EcPointBytes& p) {
    AffinePoint<F> r;
    r.infinity = p.infinity;
    if (p.infinity || !fe_from_bytes<F>(&r.x, p.x) || !fe_from_bytes<F>(&r.y, p.y)) {
        return ec_infinity<F>();
    }
    return r;
}

template <class F>
EcPointBytes to_bytes(const AffinePoint<F>& p) {
    EcPointBytes r;
    std::memset(&r, 0, sizeof r);
    r.infinity = p.infinity;
    if (!p.infinity) {
        fe_to_bytes<F>(p.x, r.x);
        fe_to_bytes<F>(p.y, r.y);
    }
    return r;
}

// Calls fn with the curve record of a supported number.
template <class Fn>
void with_curve(uint32_t curve, Fn&& fn) {
    switch (curve) {
        case 1:
            fn(curve1());
            break;
        case 3:
            fn(curve3());
            break;
        case 4:
            fn(curve4());
            break;
        case 5:
            fn(curve5());
            break;
        default:
            break;
    }
}

template <class F>
AffinePoint<F> mul_base(const Curve<F>& cv, const uint32_t* k, int words) {
    if constexpr (std::is_same_v<F, Field163b>) {
        return mul_comb(k, words);
    } else {
        if (cv.kind == kKoblitz163 || cv.kind == kKoblitz113) return mul_tnaf_base<F>(cv, k, words);
        return mul_ladder<F>(cv.c, cv.g, k, words);
    }
}

template <class F>
AffinePoint<F> mul_point(const Curve<F>& cv, const AffinePoint<F>& p, const uint32_t* k,
                         int words) {
    if (cv.kind == kKoblitz163 || cv.kind == kKoblitz113) return mul_tnaf_point<F>(cv, p, k, words);
    return mul_ladder<F>(cv.c, p, k, words);
}

}  // namespace

bool ec_curve_supported(uint32_t curve) {
    return curve == 1 || curve == 3 || curve == 4 || curve == 5;
}

std::size_t ec_field_bytes(uint32_t curve) {
    if (curve == 1 || curve == 4) return 15;
    if (curve == 3 || curve == 5) return 21;
    return 0;
}

const BigNum& ec_order(uint32_t curve) {
    switch (curve) {
        case 1:
            return curve1().n;
        case 3:
            return curve3().n;
        case 4:
            return curve4().n;
        default:
            return curve5().n;
    }
}

uint32_t ec_cofactor(uint32_t curve) {
    return ec_curve_supported(curve) ? 2 : 0;
}

EcPointBytes ec_generator(uint32_t curve) {
    EcPointBytes r{};
    r.infinity = true;
    with_curve(curve, [&](const auto& cv) { r = to_bytes(cv.g); });
    return r;
}

EcPointBytes ec_mul_base(uint32_t curve, const uint32_t* k, int words) {
    EcPointBytes r{};
    r.infinity = true;
    with_curve(curve, [&](const auto& cv) { r = to_bytes(mul_base(cv, k, words)); });
    return r;
}

EcPointBytes ec_mul_point(uint32_t curve, const uint32_t* k, int words, const EcPointBytes& p) {
    EcPointBytes r{};
    r.infinity = true;
    with_curve(curve, [&](const auto& cv) {
        using F = typename std::decay_t<decltype(cv)>::Field;
        r = to_bytes(mul_point(cv, from_bytes<F>(p), k, words));
    });
    return r;
}

EcPointBytes ec_mul_reference(uint32_t curve, const uint32_t* k, int words, const EcPointBytes& p) {
    EcPointBytes r{};
    r.infinity = true;
    with_curve(curve, [&](const auto& cv) {
        using F = typename std::decay_t<decltype(cv)>::Field;
        r = to_bytes(ec_mul_reference<F>(cv.c, from_bytes<F>(p), k, words));
    });
    return r;
}

EcPointBytes ec_double_point(uint32_t curve, const EcPointBytes& p) {
    EcPointBytes r{};
    r.infinity = true;
    with_curve(curve, [&](const auto& cv) {
        using F = typename std::decay_t<decltype(cv)>::Field;
        r = to_bytes(ec_double<F>(cv.c, from_bytes<F>(p)));
    });
    return r;
}

bool ec_point_on_curve(uint32_t curve, const EcPointBytes& p) {
    bool ok = false;
    with_curve(curve, [&](const auto& cv) {
        using F = typename std::decay_t<decltype(cv)>::Field;
        AffinePoint<F> a;
        a.infinity = p.infinity;
        ok = p.infinity || (fe_from_bytes<F>(&a.x, p.x) && fe_from_bytes<F>(&a.y, p.y) &&
                            ec_on_curve<F>(cv.c, a));
    });
    return ok;
}

std::size_t ec_encode_point(uint32_t curve, const EcPointBytes& p, uint32_t format, uint8_t* out) {
    std::size_t written = 0;
    with_curve(curve, [&](const auto& cv) {
        using F = typename std::decay_t<decltype(cv)>::Field;
        if (p.infinity) {
            out[0] = 0;
            written = 1;
            return;
        }
        AffinePoint<F> a = from_bytes<F>(p);
        // y~ is bit 0 of y / x (0 when x = 0).
        unsigned ybit = 0;
        if (!fe_is_zero<F>(a.x)) {
            Fe<F> t;
            fe_inv<F>(&t, a.x);
            fe_mul<F>(&t, t, a.y);
            ybit = static_cast<unsigned>(t.w[0] & 1);
        }
        const std::size_t L = F::kBytes;
        if (format == 2) {
            out[0] = static_cast<uint8_t>(2 | ybit);
        } else if (format == 6) {
            out[0] = static_cast<uint8_t>(6 | ybit);
        } else {
            out[0] = 4;
        }
        std::memcpy(out + 1, p.x, L);
        written = L + 1;
        if (format != 2) {
            std::memcpy(out + 1 + L, p.y, L);
            written += L;
        }
    });
    return written;
}

bool ec_decode_point(uint32_t curve, const uint8_t* in, std::size_t length, EcPointBytes* out) {
    bool ok = false;
    with_curve(curve, [&](const auto& cv) {
        using F = typename std::decay_t<decltype(cv)>::Field;
        const std::size_t L = F::kBytes;
        if (in == nullptr || length == 0) return;
        AffinePoint<F> a;
        a.infinity = false;
        if ((in[0] & 4) != 0) {
            if (length < 2 * L + 1) return;
            if (!fe_from_bytes<F>(&a.x, in + 1) || !fe_from_bytes<F>(&a.y, in + 1 + L)) return;
            if (!ec_on_curve<F>(cv.c, a)) return;
        } else if ((in[0] & 2) != 0) {
            if (length < L + 1) return;
            if (!fe_from_bytes<F>(&a.x, in + 1)) return;
            unsigned ybit = in[0] & 1;
            if (fe_is_zero<F>(a.x)) {
                fe_sqrt<F>(&a.y, cv.c.b);
            } else {
                // beta = x + a + b / x^2; z^2 + z = beta; y = x z.
                Fe<F> beta, t, z;
                fe_sqr<F>(&t, a.x);
                fe_inv<F>(&t, t);
                fe_mul<F>(&beta, t, cv.c.b);
                fe_add<F>(&beta, beta, a.x);
                fe_add<F>(&beta, beta, cv.c.a);
                if (!fe_solve_quadratic<F>(&z, beta)) return;
                if ((z.w[0] & 1) != ybit) z.w[0] ^= 1;
                fe_mul<F>(&a.y, a.x, z);
            }
        } else {
            return;
        }
        *out = to_bytes<F>(a);
        ok = true;
    });
    return ok;
}

}  // namespace cyr
