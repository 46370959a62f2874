// Fixed-base and variable-base point multiplication on curves 3 (sect163k1)
// and 5 (c2pnb163v1): ours against OpenSSL's EC_POINT_mul on the same
// scalars, with the ratio printed after the run.
#include <benchmark/benchmark.h>
#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/obj_mac.h>
#include <openssl/rand.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pubkey/ec_curves.h"

namespace {

constexpr int kScalars = 64;

struct Scalars {
    std::vector<std::vector<uint32_t>> words;
    std::vector<BIGNUM*> bns;
};

const Scalars& scalars() {
    static const Scalars s = [] {
        Scalars out;
        for (int i = 0; i < kScalars; ++i) {
            uint8_t be[21];
            RAND_bytes(be, sizeof be);
            be[0] &= 0x03;  // below the order of both curves
            std::vector<uint32_t> w(6, 0);
            for (int j = 0; j < 21; ++j) w[(20 - j) / 4] |= uint32_t{be[j]} << (8 * ((20 - j) % 4));
            while (w.size() > 1 && w.back() == 0) w.pop_back();
            out.words.push_back(w);
            out.bns.push_back(BN_bin2bn(be, sizeof be, nullptr));
        }
        return out;
    }();
    return s;
}

int nid_of(uint32_t curve) {
    return curve == 3 ? NID_sect163k1 : NID_X9_62_c2pnb163v1;
}

// A point of the subgroup other than G for the variable-base runs.
cyr::EcPointBytes peer_point(uint32_t curve) {
    uint32_t k[1] = {0x1234567u};
    return cyr::ec_mul_base(curve, k, 1);
}

void ours_fixed(benchmark::State& state) {
    uint32_t curve = static_cast<uint32_t>(state.range(0));
    const Scalars& s = scalars();
    int i = 0;
    for (auto _ : state) {
        const auto& w = s.words[i++ % kScalars];
        benchmark::DoNotOptimize(cyr::ec_mul_base(curve, w.data(), static_cast<int>(w.size())));
    }
    state.SetItemsProcessed(state.iterations());
}

void ours_variable(benchmark::State& state) {
    uint32_t curve = static_cast<uint32_t>(state.range(0));
    const Scalars& s = scalars();
    cyr::EcPointBytes p = peer_point(curve);
    int i = 0;
    for (auto _ : state) {
        const auto& w = s.words[i++ % kScalars];
        benchmark::DoNotOptimize(cyr::ec_mul_point(curve, w.data(), static_cast<int>(w.size()), p));
    }
    state.SetItemsProcessed(state.iterations());
}

void openssl_mul(benchmark::State& state, bool fixed) {
    uint32_t curve = static_cast<uint32_t>(state.range(0));
    const Scalars& s = scalars();
    EC_GROUP* g = EC_GROUP_new_by_curve_name(nid_of(curve));
    BN_CTX* ctx = BN_CTX_new();
    EC_POINT* r = EC_POINT_new(g);
    EC_POINT* p = EC_POINT_new(g);
    uint8_t enc[43];
    std::size_t n = cyr::ec_encode_point(curve, peer_point(curve), 4, enc);
    EC_POINT_oct2point(g, p, enc, n, ctx);
    int i = 0;
    for (auto _ : state) {
        const BIGNUM* k = s.bns[i++ % kScalars];
        if (fixed)
            EC_POINT_mul(g, r, k, nullptr, nullptr, ctx);
        else
            EC_POINT_mul(g, r, nullptr, p, k, ctx);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
    EC_POINT_free(p);
    EC_POINT_free(r);
    BN_CTX_free(ctx);
    EC_GROUP_free(g);
}

void openssl_fixed(benchmark::State& state) {
    openssl_mul(state, true);
}
void openssl_variable(benchmark::State& state) {
    openssl_mul(state, false);
}

BENCHMARK(ours_fixed)->Arg(3)->Arg(5);
BENCHMARK(openssl_fixed)->Arg(3)->Arg(5);
BENCHMARK(ours_variable)->Arg(3)->Arg(5);
BENCHMARK(openssl_variable)->Arg(3)->Arg(5);

// Collects the per-operation times to print the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // CPU time per operation: the machine is shared, so wall time drifts with
        // the load of other processes; with repetitions the median counts.
        for (const Run& r : runs) {
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
                seconds_[name] = r.GetAdjustedCPUTime() * 1e-9;
                from_median_.insert(name);
            } else if (r.run_type == Run::RT_Iteration && from_median_.count(name) == 0) {
                seconds_[name] = r.GetAdjustedCPUTime() * 1e-9;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-28s %14s %14s %8s\n", "multiplication", "ours ops/s", "OpenSSL ops/s",
                    "ratio");
        for (const char* kind : {"fixed", "variable"}) {
            for (int curve : {3, 5}) {
                std::string suffix = std::string(kind) + "/" + std::to_string(curve);
                double ours = seconds_["ours_" + suffix], theirs = seconds_["openssl_" + suffix];
                if (ours <= 0 || theirs <= 0) continue;
                std::printf("%-28s %14.0f %14.0f %7.2fx\n",
                            (std::string(kind) + "-base curve " + std::to_string(curve)).c_str(),
                            1 / ours, 1 / theirs, theirs / ours);
            }
        }
    }

  private:
    std::map<std::string, double> seconds_;
    std::set<std::string> from_median_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
