// Large-modulus key generation (1024 and 2048 bits) and the private
// operation, ours against OpenSSL in the same run. Key generation takes a
// random time, so each figure is the median of several repetitions; the
// ratios (our CPU time / OpenSSL's) follow the table.
#define OPENSSL_SUPPRESS_DEPRECATED  // RSA_* to load our key's components
#include <benchmark/benchmark.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "pubkey/rsa_key.h"
#include "pubkey/rsa_keygen.h"
#include "pubkey/rsa_ops.h"
#include "toolkit/cyr.h"

namespace {

constexpr int kRepetitions = 9;

void ours_keygen(benchmark::State& state) {
    cyr::RsaParams params;
    params.bits = static_cast<uint32_t>(state.range(0));
    std::vector<uint8_t> pub(cyr::rsa_public_capacity(params.bits));
    std::vector<uint8_t> priv(cyr::rsa_private_capacity(params.bits));
    for (auto _ : state) {
        uint32_t pub_length = static_cast<uint32_t>(pub.size());
        uint32_t priv_length = static_cast<uint32_t>(priv.size());
        uint32_t rc =
            cyr::rsa_generate_key_pair(params, pub.data(), &pub_length, priv.data(), &priv_length);
        if (rc != 0) state.SkipWithError("key generation failed");
    }
}

void openssl_keygen(benchmark::State& state) {
    const auto bits = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "RSA", bits);
        if (key == nullptr) state.SkipWithError("key generation failed");
        EVP_PKEY_free(key);
    }
}

// One key of each size, made by us and handed to both sides.
const cyr::RsaPrivateKey& key_of(uint32_t bits) {
    static std::map<uint32_t, cyr::RsaPrivateKey> keys;
    auto it = keys.find(bits);
    if (it != keys.end()) return it->second;
    cyr::RsaParams params;
    params.bits = bits;
    std::vector<uint8_t> pub(cyr::rsa_public_capacity(bits)), priv(cyr::rsa_private_capacity(bits));
    uint32_t pub_length = static_cast<uint32_t>(pub.size());
    uint32_t priv_length = static_cast<uint32_t>(priv.size());
    cyr::rsa_generate_key_pair(params, pub.data(), &pub_length, priv.data(), &priv_length);
    cyr::RsaPrivateKey& k = keys[bits];
    cyr::rsa_read_private(priv.data(), priv_length, &k);
    return k;
}

BIGNUM* to_bn(const cyr::BigNum& a) {
    std::vector<uint8_t> b(cyr::bn_byte_length(&a));
    cyr::bn_to_bytes(&a, b.data(), b.size());
    return BN_bin2bn(b.data(), static_cast<int>(b.size()), nullptr);
}

void ours_private(benchmark::State& state) {
    const cyr::RsaPrivateKey& k = key_of(static_cast<uint32_t>(state.range(0)));
    std::vector<uint8_t> in(cyr::bn_byte_length(&k.n) - 1);
    RAND_bytes(in.data(), static_cast<int>(in.size()));
    cyr::BigNum x, m;
    cyr::bn_from_bytes(&x, in.data(), in.size());
    for (auto _ : state) {
        cyr::rsa_private_op(k, &m, &x);
        benchmark::DoNotOptimize(m);
    }
    state.SetItemsProcessed(state.iterations());
}

void openssl_private(benchmark::State& state) {
    const cyr::RsaPrivateKey& k = key_of(static_cast<uint32_t>(state.range(0)));
    RSA* rsa = RSA_new();
    RSA_set0_key(rsa, to_bn(k.n), to_bn(k.e), to_bn(k.d));
    RSA_set0_factors(rsa, to_bn(k.p), to_bn(k.q));
    RSA_set0_crt_params(rsa, to_bn(k.dp), to_bn(k.dq), to_bn(k.qinv));
    const int size = RSA_size(rsa);
    std::vector<uint8_t> in(size), out(size);
    RAND_bytes(in.data() + 1, size - 1);
    for (auto _ : state) {
        if (RSA_private_decrypt(size, in.data(), out.data(), rsa, RSA_NO_PADDING) != size)
            state.SkipWithError("private operation failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
    RSA_free(rsa);
}

BENCHMARK(ours_keygen)
    ->Arg(1024)
    ->Arg(2048)
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(openssl_keygen)
    ->Arg(1024)
    ->Arg(2048)
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ours_private)
    ->Arg(1024)
    ->Arg(2048)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(openssl_private)
    ->Arg(1024)
    ->Arg(2048)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// Collects the medians to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.aggregate_name == "median")
                seconds_[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-24s %14s %14s %8s\n", "median per operation", "ours", "OpenSSL", "ratio");
        for (const char* op : {"keygen", "private"}) {
            for (const char* bits : {"1024", "2048"}) {
                std::string suffix = std::string(op) + "/" + bits;
                double ours = seconds_["ours_" + suffix], theirs = seconds_["openssl_" + suffix];
                if (ours <= 0 || theirs <= 0) continue;
                std::printf("%-24s %14.4g %14.4g %7.2fx\n", (suffix + " bits").c_str(), ours,
                            theirs, ours / theirs);
            }
        }
        std::printf(
            "(CPU times in the table's unit, since the machine may be shared; ratio = our time / "
            "OpenSSL's)\n");
    }

  private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
