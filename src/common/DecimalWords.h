#pragma once
// The word arithmetic under `Decimal`: powers of ten and five and division by
// a power of ten through a reciprocal. Kept in a header, and always inlined, so
// that the stores, sums and short products of every expression compile into
// it: called, each costs more than its work. The long cases stay in Decimal.cpp.
#include <array>
#include <cstddef>
#include <cstdint>

namespace marel {
class Decimal;
}

namespace marel::decimal_words {

using Raw = __int128;
using U128 = unsigned __int128;

// Places kept after the point inside an expression (Decimal::kPlaces).
inline constexpr int kPlaces = 24;

inline constexpr std::array<Raw, 39> kPow10 = [] {
    std::array<Raw, 39> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
    return t;
}();
inline constexpr Raw kOne = kPow10[kPlaces];
// The largest magnitude a working value may reach: 10^38 / 10^24 = 10^14.
inline constexpr Raw kLimit = kPow10[38];
// The largest whole number (and scaled number of p places: 10^(kWhole + p)) below the limit.
inline constexpr int kWhole = 38 - kPlaces;

[[noreturn]] void overflow();
// Refuses v as a stored field of `digits` digits, naming both.
[[noreturn]] void fieldTooLarge(const Decimal& v, int digits);

[[gnu::always_inline]] inline U128 magnitude(Raw r) { return r < 0 ? U128(-r) : U128(r); }
[[gnu::always_inline]] inline Raw withSign(U128 q, bool neg) { return neg ? -Raw(q) : Raw(q); }

// r itself, refused once it reaches the limit.
[[gnu::always_inline]] inline Raw checked(Raw r) {
    // One unsigned comparison for -kLimit < r < kLimit.
    if (U128(r) + U128(kLimit - 1) >= 2 * U128(kLimit) - 1) overflow();
    return r;
}

// Powers of five up to the largest that fits a word: 10^k = 2^k * 5^k, so a
// division by 10^k is a shift and a division by one word.
inline constexpr size_t kMaxPow5 = 27;
inline constexpr std::array<uint64_t, kMaxPow5 + 1> kPow5 = [] {
    std::array<uint64_t, kMaxPow5 + 1> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 5;
    return t;
}();
// The inverse of 5^k modulo 2^128 and the largest quotient by 5^k: a multiple
// of 5^k times the inverse is its exact quotient, anything else lands above it.
inline constexpr std::array<U128, kMaxPow5 + 1> kInv5 = [] {
    U128 inv = 5;  // right in 3 bits; each Newton step doubles them
    for (int i = 0; i < 6; ++i) inv *= 2 - 5 * inv;
    std::array<U128, kMaxPow5 + 1> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * inv;
    return t;
}();
inline constexpr std::array<U128, kMaxPow5 + 1> kMaxOver5 = [] {
    std::array<U128, kMaxPow5 + 1> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = ~U128(0) / kPow5[i];
    return t;
}();

// A divisor of one word shifted to its top bit with its reciprocal
// floor((2^128 - 1) / d) - 2^64: a division by it is two multiplications.
struct Divisor {
    int shift = 0;
    uint64_t d = 0, v = 0;
    constexpr Divisor() : Divisor(1) {}
    constexpr explicit Divisor(uint64_t divisor) {
        while (!((divisor << shift) >> 63)) ++shift;
        d = divisor << shift;
        v = uint64_t(~U128(0) / d);
    }
    // (hi:lo) / d and its remainder, for hi < d, both shifted as d is.
    [[gnu::always_inline]] uint64_t divide(uint64_t hi, uint64_t lo, uint64_t& rem) const {
        const U128 p = U128(v) * hi + ((U128(hi) << 64) | lo);
        uint64_t q = uint64_t(p >> 64) + 1, r = lo - q * d;
        if (r > uint64_t(p)) {
            --q;
            r += d;
        }
        if (r >= d) {
            ++q;
            r -= d;
        }
        rem = r;
        return q;
    }
    // n / divisor and its remainder.
    U128 divide(U128 n, uint64_t& rem) const {
        const uint64_t n2 = uint64_t(n >> (128 - shift)), n1 = uint64_t(n >> (64 - shift)), n0 = uint64_t(n) << shift;
        uint64_t r;
        const uint64_t high = divide(n2, n1, r);
        const uint64_t low = divide(r, n0, r);
        rem = r >> shift;
        return (U128(high) << 64) | low;
    }
};
inline constexpr std::array<Divisor, kMaxPow5 + 1> kPow5Divisor = [] {
    std::array<Divisor, kMaxPow5 + 1> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = Divisor(kPow5[i]);
    return t;
}();

// Whether n is a multiple of 10^k (k <= kMaxPow5); if so, `q` receives n / 10^k.
[[gnu::always_inline]] inline bool exactPow10(U128 n, size_t k, U128& q) {
    if (n & ((U128(1) << k) - 1)) return false;
    q = (n >> k) * kInv5[k];
    return q <= kMaxOver5[k];
}

// The magnitude of r / 10^k rounded half away from zero, when it fits a word
// and 1 <= k <= kMaxPow5 (always so for a value rounded to four places or
// fewer); false otherwise. Half a unit added first makes the rounding a
// plain floor: one shift and one word division.
[[gnu::always_inline]] inline bool roundedWord(Raw r, int k, uint64_t& q) {
    if (k < 1 || k > int(kMaxPow5)) return false;
    const U128 t = (magnitude(r) + U128(kPow10[size_t(k)] / 2)) >> k;
    const Divisor& d = kPow5Divisor[size_t(k)];
    if (uint64_t(t >> 64) >= kPow5[size_t(k)]) return false;
    const U128 shifted = t << d.shift;
    uint64_t rem;
    q = d.divide(uint64_t(shifted >> 64), uint64_t(shifted), rem);
    return true;
}

// a * b / 10^24 when both are multiples of 10^20, as amounts, rates and
// factors of at most four places are: the product of what is left is exact
// and needs no division at all. False for other operands.
[[gnu::always_inline]] inline bool shortProduct(Raw a, Raw b, Raw& out) {
    U128 xs, ys;
    if (!exactPow10(magnitude(a), 20, xs) || !exactPow10(magnitude(b), 20, ys)) return false;
    // Both below 2^62: the product fits, and times 10^16 it is the result.
    const U128 p = xs * ys;
    if (p >= U128(kPow10[kPlaces + 38 - 40])) overflow();
    out = withSign(p * U128(kPow10[40 - kPlaces]), (a < 0) != (b < 0));
    return true;
}

}  // namespace marel::decimal_words
