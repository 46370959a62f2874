// What signed updates cost: one Ed25519 verification (the updater checks
// one per run) and SHA-512 over a 64 MiB module, with OpenSSL in the same
// run as the yardstick. Best of three runs per row, in process CPU time.
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <openssl/sha.h>
#include <time.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/toolkit/cpu_time.h"
#include "toolkit/ed25519.h"
#include "toolkit/sha512.h"

namespace {

constexpr std::size_t kModule = 64u << 20;
constexpr int kVerifies = 2000;

}  // namespace

int main() {
    OSSL_PROVIDER* provider = OSSL_PROVIDER_load(nullptr, "default");

    // Verification of a signature over a 4 KiB version list.
    std::vector<uint8_t> list(4096);
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = uint8_t(i * 7 + 1);
    uint8_t seed[32], key[32], signature[64];
    for (int i = 0; i < 32; ++i) seed[i] = uint8_t(i + 1);
    cyr::ed25519_public_key(seed, key);
    cyr::ed25519_sign(seed, list.data(), list.size(), signature);
    int accepted = 0;
    const double ours_verify = best_seconds([&] {
        for (int i = 0; i < kVerifies; ++i)
            accepted += cyr::ed25519_verify(key, list.data(), list.size(), signature);
    });
    EVP_PKEY* pkey = EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key, 32);
    int openssl_accepted = 0;
    const double openssl_verify = best_seconds([&] {
        for (int i = 0; i < kVerifies; ++i) {
            EVP_MD_CTX* md = EVP_MD_CTX_new();
            EVP_DigestVerifyInit(md, nullptr, nullptr, nullptr, pkey);
            openssl_accepted += EVP_DigestVerify(md, signature, 64, list.data(), list.size()) == 1;
            EVP_MD_CTX_free(md);
        }
    });
    EVP_PKEY_free(pkey);
    if (accepted != 3 * kVerifies || openssl_accepted != 3 * kVerifies) {
        std::fprintf(stderr, "a verification failed\n");
        return 1;
    }
    const double signing = best_seconds([&] {
        for (int i = 0; i < 200; ++i) cyr::ed25519_sign(seed, list.data(), list.size(), signature);
    });

    // SHA-512 of a 64 MiB module in 64 KiB reads, as the updater hashes it.
    std::vector<uint8_t> module(kModule);
    for (std::size_t i = 0; i < module.size(); ++i) module[i] = uint8_t(i * 31 + (i >> 13));
    uint8_t ours[64], reference[64];
    const double ours_hash = best_seconds([&] {
        cyr::Sha512Context ctx;
        cyr::sha512_init(&ctx);
        for (std::size_t at = 0; at < kModule; at += 65536)
            cyr::sha512_update(&ctx, module.data() + at, 65536);
        cyr::sha512_final(&ctx, ours);
    });
    const double openssl_hash = best_seconds([&] {
        EVP_MD_CTX* md = EVP_MD_CTX_new();
        EVP_DigestInit_ex(md, EVP_sha512(), nullptr);
        for (std::size_t at = 0; at < kModule; at += 65536)
            EVP_DigestUpdate(md, module.data() + at, 65536);
        unsigned int n = 0;
        EVP_DigestFinal_ex(md, reference, &n);
        EVP_MD_CTX_free(md);
    });
    if (std::memcmp(ours, reference, 64) != 0) {
        std::fprintf(stderr, "SHA-512 differs from OpenSSL\n");
        return 1;
    }

    std::printf("Ed25519 verify, 4 KiB list    %8.1f us   (OpenSSL %6.1f us)\n",
                1e6 * ours_verify / kVerifies, 1e6 * openssl_verify / kVerifies);
    std::printf("Ed25519 sign, 4 KiB list      %8.1f us\n", 1e6 * signing / 200);
    std::printf("SHA-512, 64 MiB module        %8.1f MB/s (OpenSSL %6.1f MB/s)  ratio %.2f\n",
                double(kModule) / 1e6 / ours_hash, double(kModule) / 1e6 / openssl_hash,
                openssl_hash / ours_hash);
    OSSL_PROVIDER_unload(provider);
    return 0;
}
