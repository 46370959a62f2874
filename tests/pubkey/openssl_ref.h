// OpenSSL libcrypto as the independent reference for the binary curves.
#pragma once

#define OPENSSL_SUPPRESS_DEPRECATED  // EC_KEY and ECDH_compute_key for cofactor DH
#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/ecdh.h>
#include <openssl/err.h>
#include <openssl/obj_mac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace reftest {

struct GroupDeleter {
    void operator()(EC_GROUP* g) const { EC_GROUP_free(g); }
};
struct PointDeleter {
    void operator()(EC_POINT* p) const { EC_POINT_free(p); }
};
struct BnDeleter {
    void operator()(BIGNUM* b) const { BN_free(b); }
};
using Group = std::unique_ptr<EC_GROUP, GroupDeleter>;
using Point = std::unique_ptr<EC_POINT, PointDeleter>;
using Bn = std::unique_ptr<BIGNUM, BnDeleter>;

inline Bn hex_bn(const char* hex) {
    BIGNUM* b = nullptr;
    BN_hex2bn(&b, hex);
    return Bn(b);
}

// The OpenSSL group of a curve number; curve 1 has no name there and is
// built from its parameters.
inline Group group_for(uint32_t curve) {
    switch (curve) {
        case 3:
            return Group(EC_GROUP_new_by_curve_name(NID_sect163k1));
        case 4:
            return Group(EC_GROUP_new_by_curve_name(NID_sect113r1));
        case 5:
            return Group(EC_GROUP_new_by_curve_name(NID_X9_62_c2pnb163v1));
        case 1: {
            Bn p(BN_new());
            BN_set_bit(p.get(), 113);
            BN_set_bit(p.get(), 9);
            BN_set_bit(p.get(), 0);
            Bn one = hex_bn("1");
            Group g(EC_GROUP_new_curve_GF2m(p.get(), one.get(), one.get(), nullptr));
            Point gen(EC_POINT_new(g.get()));
            Bn gx = hex_bn("1667979A40BA497E5D5C270780617");
            Bn gy = hex_bn("F44B4AF1ECC2630E08785CEBCC15");
            EC_POINT_set_affine_coordinates(g.get(), gen.get(), gx.get(), gy.get(), nullptr);
            Bn n = hex_bn("FFFFFFFFFFFFFFFDBF91AF6DEA73");
            Bn h = hex_bn("2");
            EC_GROUP_set_generator(g.get(), gen.get(), n.get(), h.get());
            return g;
        }
        default:
            return Group();
    }
}

inline std::vector<uint8_t> encode(const EC_GROUP* g, const EC_POINT* p,
                                   point_conversion_form_t form) {
    std::vector<uint8_t> out(EC_POINT_point2oct(g, p, form, nullptr, 0, nullptr));
    EC_POINT_point2oct(g, p, form, out.data(), out.size(), nullptr);
    return out;
}

// k (big-endian bytes) times G (p null) or times p.
inline std::vector<uint8_t> mul(const EC_GROUP* g, const std::vector<uint8_t>& k,
                                const EC_POINT* p) {
    Bn kb(BN_bin2bn(k.data(), static_cast<int>(k.size()), nullptr));
    Point r(EC_POINT_new(g));
    if (p == nullptr)
        EC_POINT_mul(g, r.get(), kb.get(), nullptr, nullptr, nullptr);
    else
        EC_POINT_mul(g, r.get(), nullptr, p, kb.get(), nullptr);
    return encode(g, r.get(), POINT_CONVERSION_UNCOMPRESSED);
}

inline Point decode(const EC_GROUP* g, const std::vector<uint8_t>& bytes) {
    Point p(EC_POINT_new(g));
    if (EC_POINT_oct2point(g, p.get(), bytes.data(), bytes.size(), nullptr) != 1) return Point();
    return p;
}

inline std::vector<uint8_t> order_bytes(const EC_GROUP* g) {
    const BIGNUM* n = EC_GROUP_get0_order(g);
    std::vector<uint8_t> out(BN_num_bytes(n));
    BN_bn2bin(n, out.data());
    return out;
}

// Cofactor Diffie-Hellman: x((h d mod n) P), the full field length.
inline std::vector<uint8_t> cofactor_dh(const EC_GROUP* g, const std::vector<uint8_t>& d,
                                        const EC_POINT* peer, std::size_t field_bytes) {
    EC_KEY* key = EC_KEY_new();
    EC_KEY_set_group(key, g);
    Bn db(BN_bin2bn(d.data(), static_cast<int>(d.size()), nullptr));
    EC_KEY_set_private_key(key, db.get());
    EC_KEY_set_flags(key, EC_FLAG_COFACTOR_ECDH);
    std::vector<uint8_t> out(field_bytes);
    int n = ECDH_compute_key(out.data(), out.size(), peer, key, nullptr);
    EC_KEY_free(key);
    if (n != static_cast<int>(field_bytes)) out.clear();
    return out;
}

inline std::vector<uint8_t> random_bytes(std::size_t n) {
    std::vector<uint8_t> out(n);
    RAND_bytes(out.data(), static_cast<int>(n));
    return out;
}

}  // namespace reftest
