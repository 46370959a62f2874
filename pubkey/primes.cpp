// Prime test and prime search: see primes.h.
#include "pubkey/primes.h"

#include <array>

#include "pubkey/montgomery.h"
#include "toolkit/internal.h"

namespace cyr {

namespace {

constexpr uint32_t kLargestSmallPrime = 17863;

// A sieve keeps the compile-time work within every compiler's step limit.
constexpr std::array<uint32_t, kSmallPrimeCount + 1> make_small_primes() {
    std::array<bool, kLargestSmallPrime + 1> composite{};
    std::array<uint32_t, kSmallPrimeCount + 1> primes{};
    int count = 0;
    for (uint32_t c = 2; c <= kLargestSmallPrime && count < kSmallPrimeCount; ++c) {
        if (composite[c]) continue;
        primes[count++] = c;
        for (uint32_t m = c * c; m <= kLargestSmallPrime; m += c) composite[m] = true;
    }
    primes[kSmallPrimeCount] = 0;
    return primes;
}

constexpr std::array<uint32_t, kSmallPrimeCount + 1> kTable = make_small_primes();
static_assert(kTable[kSmallPrimeCount - 1] == kLargestSmallPrime);

// Miller-Rabin rounds alone (a odd, well above the small primes).
bool miller_rabin(const BigNum* a, int rounds) {
    MontModulus ctx;
    if (!mont_init(&ctx, a)) return false;
    BigNum a1, d, y, base;
    bn_sub_word(&a1, a, 1);
    int s = 0;
    while (s < bn_bits(&a1) && ((a1.words[s / 32] >> (s % 32)) & 1) == 0) ++s;
    bn_shr(&d, &a1, s);
    bool prime = true;
    for (int i = 0; i < rounds && prime; ++i) {
        bn_set_word(&base, 1);
        bn_shl(&base, &base, i + 1);
        mont_exp(&ctx, &y, &base, &d);
        if (y.length == 1 && y.words[0] == 1) continue;
        bool passed = false;
        for (int j = 0; j < s; ++j) {
            if (bn_cmp_mag(&y, &a1) == 0) {
                passed = true;
                break;
            }
            bn_mul(&y, &y, &y);
            bn_mod(&y, &y, a);
        }
        prime = passed;
    }
    // The candidate may become a key's secret prime.
    secure_wipe(&ctx, sizeof ctx);
    secure_wipe(&a1, sizeof a1);
    secure_wipe(&d, sizeof d);
    secure_wipe(&y, sizeof y);
    return prime;
}

}  // namespace

const uint32_t* small_primes() {
    return kTable.data();
}

bool bn_is_probable_prime(const BigNum* a, int rounds) {
    if (a->length == 0) return false;
    for (int i = 0; i < kSmallPrimeCount; ++i)
        if (bn_mod_word(a, kTable[i]) == 0) return false;
    return miller_rabin(a, rounds);
}

PrimeSearch bn_random_prime(BigNum* p, const BigNum* lo, const BigNum* hi, uint32_t step,
                            int rounds, RandomBytes random) {
    if (step == 0 || bn_cmp(lo, hi) > 0 || hi->length > kMontMaxWords)
        return PrimeSearch::kExhausted;
    uint8_t bytes[4 * kMontMaxWords];
    const std::size_t count = 4 * static_cast<std::size_t>(hi->length);
    if (!random(bytes, count)) return PrimeSearch::kRandomFailed;
    BigNum c, width;
    bn_from_bytes(&c, bytes, count);
    secure_wipe(bytes, sizeof bytes);
    bn_sub(&width, hi, lo);
    bn_add_word(&width, &width, 1);
    bn_mod(&c, &c, &width);
    bn_add(&c, &c, lo);
    bn_sub_word(&c, &c, bn_mod_word(&c, step));
    bn_add_word(&c, &c, 1);
    if (bn_cmp(&c, lo) < 0) bn_add_word(&c, &c, step);
    if (bn_cmp(&c, hi) > 0) bn_sub_word(&c, &c, step);

    // Trial division by residues kept up to date as the candidate steps, so
    // each step costs one addition per small prime.
    uint32_t residue[kSmallPrimeCount], advance[kSmallPrimeCount];
    for (int i = 0; i < kSmallPrimeCount; ++i) {
        residue[i] = bn_mod_word(&c, kTable[i]);
        advance[i] = step % kTable[i];
    }
    BigNum last;  // the largest candidate that may still step: hi - step
    bn_sub_word(&last, hi, step);
    PrimeSearch result = PrimeSearch::kExhausted;
    while (true) {
        bool sieved = bn_cmp(&c, lo) >= 0 && bn_cmp(&c, hi) <= 0;
        for (int i = 0; sieved && i < kSmallPrimeCount; ++i) sieved = residue[i] != 0;
        if (sieved && miller_rabin(&c, rounds)) {
            bn_copy(p, &c);
            result = PrimeSearch::kFound;
            break;
        }
        if (bn_cmp(&c, &last) > 0) break;
        bn_add_word(&c, &c, step);
        for (int i = 0; i < kSmallPrimeCount; ++i) {
            uint32_t r = residue[i] + advance[i];
            residue[i] = r >= kTable[i] ? r - kTable[i] : r;
        }
    }
    secure_wipe(&c, sizeof c);
    secure_wipe(residue, sizeof residue);
    return result;
}

}  // namespace cyr
