// Points of y^2 + xy = x^3 + a x^2 + b over GF(2^m) and their arithmetic:
// affine formulas (one inversion each), López–Dahab projective coordinates
// (x = X/Z, y = Y/Z^2) for accumulators, the Frobenius map of Koblitz curves,
// and plain double-and-add as the reference every faster method must match.
#pragma once

#include "pubkey/gf2m.h"

namespace cyr {

template <class F>
struct AffinePoint {
    Fe<F> x, y;
    bool infinity;
};

// Z = 0 is the point at infinity.
template <class F>
struct LdPoint {
    Fe<F> X, Y, Z;
};

template <class F>
struct CurveCoefficients {
    Fe<F> a, b;
};

template <class F>
inline AffinePoint<F> ec_infinity() {
    AffinePoint<F> p;
    fe_zero<F>(&p.x);
    fe_zero<F>(&p.y);
    p.infinity = true;
    return p;
}

template <class F>
inline bool ec_on_curve(const CurveCoefficients<F>& c, const AffinePoint<F>& p) {
    if (p.infinity) return true;
    Fe<F> lhs, rhs, t;
    fe_sqr<F>(&lhs, p.y);
    fe_mul<F>(&t, p.x, p.y);
    fe_add<F>(&lhs, lhs, t);  // y^2 + xy
    fe_sqr<F>(&t, p.x);
    fe_add<F>(&rhs, p.x, c.a);
    fe_mul<F>(&rhs, rhs, t);  // x^3 + a x^2
    fe_add<F>(&rhs, rhs, c.b);
    return fe_equal<F>(lhs, rhs);
}

template <class F>
inline AffinePoint<F> ec_negate(const AffinePoint<F>& p) {
    AffinePoint<F> r = p;
    fe_add<F>(&r.y, p.x, p.y);
    return r;
}

template <class F>
inline bool ec_equal(const AffinePoint<F>& p, const AffinePoint<F>& q) {
    if (p.infinity || q.infinity) return p.infinity == q.infinity;
    return fe_equal<F>(p.x, q.x) && fe_equal<F>(p.y, q.y);
}

template <class F>
inline AffinePoint<F> ec_double(const CurveCoefficients<F>& c, const AffinePoint<F>& p) {
    if (p.infinity || fe_is_zero<F>(p.x)) return ec_infinity<F>();
    Fe<F> lambda, t, x3, y3;
    fe_inv<F>(&t, p.x);
    fe_mul<F>(&lambda, p.y, t);
    fe_add<F>(&lambda, lambda, p.x);  // x + y/x
    fe_sqr<F>(&x3, lambda);
    fe_add<F>(&x3, x3, lambda);
    fe_add<F>(&x3, x3, c.a);
    fe_sqr<F>(&y3, p.x);
    fe_one<F>(&t);
    fe_add<F>(&t, lambda, t);
    fe_mul<F>(&t, t, x3);
    fe_add<F>(&y3, y3, t);  // x^2 + (lambda + 1) x3
    return AffinePoint<F>{x3, y3, false};
}

template <class F>
inline AffinePoint<F> ec_add(const CurveCoefficients<F>& c, const AffinePoint<F>& p,
                             const AffinePoint<F>& q) {
    if (p.infinity) return q;
    if (q.infinity) return p;
    Fe<F> dx, dy, lambda, t, x3, y3;
    fe_add<F>(&dx, p.x, q.x);
    fe_add<F>(&dy, p.y, q.y);
    if (fe_is_zero<F>(dx)) {
        if (fe_is_zero<F>(dy)) return ec_double<F>(c, p);
        return ec_infinity<F>();  // q = -p
    }
    fe_inv<F>(&t, dx);
    fe_mul<F>(&lambda, dy, t);
    fe_sqr<F>(&x3, lambda);
    fe_add<F>(&x3, x3, lambda);
    fe_add<F>(&x3, x3, dx);
    fe_add<F>(&x3, x3, c.a);
    fe_add<F>(&t, p.x, x3);
    fe_mul<F>(&y3, lambda, t);
    fe_add<F>(&y3, y3, x3);
    fe_add<F>(&y3, y3, p.y);
    return AffinePoint<F>{x3, y3, false};
}

// (x^2, y^2): the Frobenius map, multiplication by tau on a Koblitz curve.
template <class F>
inline AffinePoint<F> ec_frobenius(const AffinePoint<F>& p) {
    AffinePoint<F> r = p;
    fe_sqr<F>(&r.x, p.x);
    fe_sqr<F>(&r.y, p.y);
    return r;
}

// k*p by double-and-add from the top bit; k as little-endian 32-bit words.
template <class F>
inline AffinePoint<F> ec_mul_reference(const CurveCoefficients<F>& c, const AffinePoint<F>& p,
                                       const uint32_t* k, int words) {
    AffinePoint<F> r = ec_infinity<F>();
    for (int i = 32 * words - 1; i >= 0; --i) {
        r = ec_double<F>(c, r);
        if ((k[i / 32] >> (i % 32)) & 1) r = ec_add<F>(c, r, p);
    }
    return r;
}

// ---- López–Dahab projective coordinates ----

template <class F>
inline LdPoint<F> ld_from_affine(const AffinePoint<F>& p) {
    LdPoint<F> r;
    if (p.infinity) {
        fe_one<F>(&r.X);
        fe_zero<F>(&r.Y);
        fe_zero<F>(&r.Z);
        return r;
    }
    r.X = p.x;
    r.Y = p.y;
    fe_one<F>(&r.Z);
    return r;
}

template <class F>
inline AffinePoint<F> ld_to_affine(const LdPoint<F>& p) {
    if (fe_is_zero<F>(p.Z)) return ec_infinity<F>();
    AffinePoint<F> r;
    Fe<F> zi, zi2;
    fe_inv<F>(&zi, p.Z);
    fe_mul<F>(&r.x, p.X, zi);
    fe_sqr<F>(&zi2, zi);
    fe_mul<F>(&r.y, p.Y, zi2);
    r.infinity = false;
    return r;
}

// a * e for a curve coefficient a that is often 0 or 1.
template <class F>
inline void mul_coefficient(Fe<F>* r, const Fe<F>& a, const Fe<F>& e) {
    if (fe_is_zero<F>(a))
        fe_zero<F>(r);
    else if (fe_is_one<F>(a))
        *r = e;
    else
        fe_mul<F>(r, a, e);
}

template <class F>
inline void ld_double(const CurveCoefficients<F>& c, LdPoint<F>* p) {
    Fe<F> x2, z2, bz4, t;
    fe_sqr<F>(&x2, p->X);
    fe_sqr<F>(&z2, p->Z);
    fe_mul<F>(&p->Z, x2, z2);  // Z3 = X^2 Z^2
    fe_sqr<F>(&bz4, z2);
    mul_coefficient<F>(&bz4, c.b, bz4);  // b Z^4
    fe_sqr<F>(&p->X, x2);
    fe_add<F>(&p->X, p->X, bz4);  // X3 = X^4 + b Z^4
    mul_coefficient<F>(&t, c.a, p->Z);
    Fe<F> y2;
    fe_sqr<F>(&y2, p->Y);
    fe_add<F>(&t, t, y2);
    fe_add<F>(&t, t, bz4);
    fe_mul<F>(&t, t, p->X);
    fe_mul<F>(&p->Y, bz4, p->Z);
    fe_add<F>(&p->Y, p->Y, t);  // Y3 = b Z^4 Z3 + X3 (a Z3 + Y^2 + b Z^4)
}

// p += q with q affine.
template <class F>
inline void ld_add_affine(const CurveCoefficients<F>& c, LdPoint<F>* p, const AffinePoint<F>& q) {
    if (q.infinity) return;
    if (fe_is_zero<F>(p->Z)) {
        *p = ld_from_affine<F>(q);
        return;
    }
    Fe<F> z2, A, B, C, D, t, u;
    fe_sqr<F>(&z2, p->Z);
    fe_mul<F>(&A, q.y, z2);
    fe_add<F>(&A, A, p->Y);  // A = Y1 + y2 Z1^2
    fe_mul<F>(&B, q.x, p->Z);
    fe_add<F>(&B, B, p->X);  // B = X1 + x2 Z1
    if (fe_is_zero<F>(B)) {
        if (fe_is_zero<F>(A)) {
            *p = ld_from_affine<F>(q);
            ld_double<F>(c, p);
        } else {
            fe_zero<F>(&p->Z);
        }
        return;
    }
    fe_mul<F>(&C, B, p->Z);  // C = Z1 B
    fe_sqr<F>(&p->Z, C);     // Z3 = C^2
    fe_mul<F>(&D, q.x, p->Z);
    mul_coefficient<F>(&t, c.a, C);
    fe_sqr<F>(&u, B);
    fe_add<F>(&t, t, u);
    fe_add<F>(&t, t, A);
    fe_mul<F>(&t, t, C);
    fe_sqr<F>(&u, A);
    fe_add<F>(&p->X, u, t);  // X3 = A^2 + C (A + B^2 + a C)
    fe_mul<F>(&t, A, C);
    fe_add<F>(&t, t, p->Z);
    fe_add<F>(&u, D, p->X);
    fe_mul<F>(&t, t, u);
    fe_sqr<F>(&u, p->Z);
    Fe<F> s;
    fe_add<F>(&s, q.x, q.y);
    fe_mul<F>(&u, u, s);
    fe_add<F>(&p->Y, t, u);  // Y3 = (D + X3)(A C + Z3) + (x2 + y2) Z3^2
}

template <class F>
inline void ld_frobenius(LdPoint<F>* p) {
    fe_sqr<F>(&p->X, p->X);
    fe_sqr<F>(&p->Y, p->Y);
    fe_sqr<F>(&p->Z, p->Z);
}

}  // namespace cyr
