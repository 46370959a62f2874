// Throughput of the toolkit's bulk paths on one 64 MiB buffer, with OpenSSL's
// EVP in the same run as the yardstick. Best of three runs per row, timed in
// process CPU time so that other work on a shared machine skews it less.
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <time.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/toolkit/cpu_time.h"
#include "toolkit/cyr.h"
#include "toolkit/sha1.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr std::size_t kTotal = 64u << 20;

double mb_per_s(double seconds) {
    return double(kTotal) / 1e6 / seconds;
}

struct Slot {
    CYR_OBJECT o{};
    Slot(void* data, uint32_t length) {
        o[0].kind = CYR_CLASS_DATA;
        o[1].kind = CYR_VALUE;
        o[1].data = data;
        o[1].length = length;
    }
};

// Our SEED-CFB over the first kTotal bytes in `chunk`-byte update calls.
void ours_seed_cfb(const Bytes& in, Bytes& out, std::size_t chunk, bool decrypt) {
    uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    uint8_t iv[16] = {};
    CYR_MECHANISM m{};
    m[0].kind = CYR_MECH_SEED_CFB;
    m[1] = {CYR_PARAM_SEED_IV, iv, 16, 0, 0};
    Slot k(key, 16);
    if ((decrypt ? CYR_DecryptInit(m, k.o) : CYR_EncryptInit(m, k.o)) != 0) std::abort();
    std::size_t written = 0;
    for (std::size_t pos = 0; pos < kTotal; pos += chunk) {
        std::size_t n = std::min(chunk, kTotal - pos);
        Slot i(const_cast<uint8_t*>(in.data() + pos), uint32_t(n));
        Slot o(out.data() + written, uint32_t(out.size() - written));
        uint32_t rc = decrypt ? CYR_DecryptUpdate(m, i.o, o.o) : CYR_EncryptUpdate(m, i.o, o.o);
        if (rc != 0) std::abort();
        written += o.o[1].length;
    }
    Slot o(out.data() + written, uint32_t(out.size() - written));
    if ((decrypt ? CYR_DecryptFinal(m, o.o) : CYR_EncryptFinal(m, o.o)) != 0) std::abort();
    CYR_ClearSlots(m, 8);
}

void openssl_crypt(const char* name, const Bytes& in, Bytes& out, std::size_t chunk, bool decrypt) {
    uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    uint8_t iv[16] = {};
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, name, nullptr);
    if (cipher == nullptr) std::abort();
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex2(ctx, cipher, key, iv, decrypt ? 0 : 1, nullptr);
    int n = 0;
    std::size_t written = 0;
    for (std::size_t pos = 0; pos < kTotal; pos += chunk) {
        std::size_t len = std::min(chunk, kTotal - pos);
        EVP_CipherUpdate(ctx, out.data() + written, &n, in.data() + pos, int(len));
        written += std::size_t(n);
    }
    EVP_CipherFinal_ex(ctx, out.data() + written, &n);
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
}

// AES and ARIA have no multi-part calls: one CYR_Encrypt per 64 KiB piece.
void ours_one_shot(uint32_t number, uint32_t iv_kind, const Bytes& in, Bytes& out, bool decrypt) {
    uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    uint8_t iv[16] = {};
    const std::size_t chunk = 64 * 1024;
    for (std::size_t pos = 0; pos < kTotal; pos += chunk) {
        CYR_MECHANISM m{};
        m[0].kind = number;
        m[1] = {iv_kind, iv, 16, 0, 0};
        Slot k(key, 16);
        if ((decrypt ? CYR_DecryptInit(m, k.o) : CYR_EncryptInit(m, k.o)) != 0) std::abort();
        Slot i(const_cast<uint8_t*>(in.data() + pos), uint32_t(chunk));
        Slot o(out.data() + pos, uint32_t(chunk));
        if ((decrypt ? CYR_Decrypt(m, i.o, o.o) : CYR_Encrypt(m, i.o, o.o)) != 0) std::abort();
    }
}

void row(const char* what, double ours, double reference) {
    if (reference > 0)
        std::printf("%-34s %9.1f MB/s %9.1f MB/s %7.2fx\n", what, mb_per_s(ours),
                    mb_per_s(reference), reference / ours);
    else
        std::printf("%-34s %9.1f MB/s\n", what, mb_per_s(ours));
}

}  // namespace

int main() {
    OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    OSSL_PROVIDER* deflt = OSSL_PROVIDER_load(nullptr, "default");
    if (legacy == nullptr || deflt == nullptr) {
        std::fprintf(stderr, "OpenSSL legacy provider unavailable\n");
        return 1;
    }
    Bytes plain(kTotal), cipher(kTotal + 16), back(kTotal + 16), check(kTotal + 16);
    for (std::size_t i = 0; i < kTotal; ++i) plain[i] = uint8_t(i * 2654435761u >> 13);

    std::printf("64 MiB buffer; columns: toolkit, OpenSSL EVP, ratio toolkit/OpenSSL\n");
    for (std::size_t chunk : {std::size_t(128), std::size_t(64 * 1024)}) {
        std::string label = chunk == 128 ? "128 B" : "64 KiB";
        double enc = best_seconds([&] { ours_seed_cfb(plain, cipher, chunk, false); });
        double ref_enc =
            best_seconds([&] { openssl_crypt("SEED-CFB", plain, check, chunk, false); });
        if (std::memcmp(cipher.data(), check.data(), kTotal) != 0) {
            std::fprintf(stderr, "SEED-CFB ciphertext differs from OpenSSL\n");
            return 1;
        }
        double dec = best_seconds([&] { ours_seed_cfb(cipher, back, chunk, true); });
        double ref_dec =
            best_seconds([&] { openssl_crypt("SEED-CFB", cipher, check, chunk, true); });
        if (std::memcmp(back.data(), plain.data(), kTotal) != 0) {
            std::fprintf(stderr, "SEED-CFB round trip failed\n");
            return 1;
        }
        row(("SEED-CFB encrypt, " + label + " calls").c_str(), enc, ref_enc);
        row(("SEED-CFB decrypt, " + label + " calls").c_str(), dec, ref_dec);
    }
    const std::size_t big = 64 * 1024;
    row("AES-128-CFB encrypt, 64 KiB one-shots", best_seconds([&] {
            ours_one_shot(CYR_MECH_AES_CFB, CYR_PARAM_AES_IV, plain, cipher, false);
        }),
        0);
    row("AES-128-CFB decrypt, 64 KiB one-shots", best_seconds([&] {
            ours_one_shot(CYR_MECH_AES_CFB, CYR_PARAM_AES_IV, cipher, back, true);
        }),
        0);
    row("ARIA-128-CFB encrypt, 64 KiB one-shots", best_seconds([&] {
            ours_one_shot(CYR_MECH_ARIA_CFB, CYR_PARAM_ARIA_IV, plain, cipher, false);
        }),
        0);
    row("ARIA-128-CFB decrypt, 64 KiB one-shots", best_seconds([&] {
            ours_one_shot(CYR_MECH_ARIA_CFB, CYR_PARAM_ARIA_IV, cipher, back, true);
        }),
        0);
    std::printf(
        "  (OpenSSL, 64 KiB calls, for scale: AES-128-CFB %.1f MB/s, ARIA-128-CFB %.1f MB/s)\n",
        mb_per_s(best_seconds([&] { openssl_crypt("AES-128-CFB", plain, check, big, false); })),
        mb_per_s(best_seconds([&] { openssl_crypt("ARIA-128-CFB", plain, check, big, false); })));
    uint8_t digest[20], ref[20];
    double sha = best_seconds([&] { cyr::sha1_digest(plain.data(), plain.size(), digest); });
    unsigned int n = 0;
    double ref_sha =
        best_seconds([&] { EVP_Digest(plain.data(), plain.size(), ref, &n, EVP_sha1(), nullptr); });
    if (std::memcmp(digest, ref, 20) != 0) {
        std::fprintf(stderr, "SHA-1 differs from OpenSSL\n");
        return 1;
    }
    row("SHA-1", sha, ref_sha);
    OSSL_PROVIDER_unload(legacy);
    OSSL_PROVIDER_unload(deflt);
    return 0;
}
