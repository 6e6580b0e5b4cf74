#include "common/Decimal.h"

#include <boost/multiprecision/cpp_int.hpp>

#include <array>
#include <cctype>

namespace marel {

namespace {
using Raw = __int128;
using Wide = boost::multiprecision::int256_t;

constexpr std::array<Raw, 39> kPow10 = [] {
    std::array<Raw, 39> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
    return t;
}();
constexpr Raw kOne = kPow10[Decimal::kPlaces];
// The largest magnitude a working value may reach: 10^38 / 10^24 = 10^14.
constexpr Raw kLimit = kPow10[38];

[[noreturn]] void overflow() { throw DecimalOverflow("Broj je prevelik za izračun"); }

Raw checked(Raw r) {
    if (r >= kLimit || r <= -kLimit) overflow();
    return r;
}

Raw fromWide(const Wide& w) {
    if (w >= Wide(kLimit) || w <= -Wide(kLimit)) overflow();
    // Within 10^38 the value fits two 64-bit halves.
    Wide a = w < 0 ? Wide(-w) : w;
    auto lo = static_cast<unsigned long long>(a & Wide(0xFFFFFFFFFFFFFFFFull));
    auto hi = static_cast<unsigned long long>(a >> 64);
    Raw r = (static_cast<Raw>(hi) << 64) | static_cast<Raw>(lo);
    return w < 0 ? -r : r;
}

Wide toWide(Raw r) {
    bool neg = r < 0;
    unsigned __int128 a = neg ? static_cast<unsigned __int128>(-r) : static_cast<unsigned __int128>(r);
    Wide w = Wide(static_cast<unsigned long long>(a >> 64));
    w <<= 64;
    w += static_cast<unsigned long long>(a & 0xFFFFFFFFFFFFFFFFull);
    return neg ? Wide(-w) : w;
}

// n / d rounded half away from zero.
Wide divRound(const Wide& n, const Wide& d) {
    Wide q = n / d, r = n % d;
    if (r != 0) {
        Wide twice = r < 0 ? Wide(-r * 2) : Wide(r * 2);
        Wide ad = d < 0 ? Wide(-d) : d;
        if (twice >= ad) q += ((n < 0) != (d < 0)) ? -1 : 1;
    }
    return q;
}

Raw divRound(Raw n, Raw d) {
    Raw q = n / d, r = n % d;
    if (r != 0) {
        Raw twice = (r < 0 ? -r : r) * 2;
        if (twice >= (d < 0 ? -d : d)) q += ((n < 0) != (d < 0)) ? -1 : 1;
    }
    return q;
}

using U128 = unsigned __int128;

// Four-limb magnitude of x * y.
void mul256(U128 x, U128 y, uint64_t limb[4]) {
    const uint64_t x0 = uint64_t(x), x1 = uint64_t(x >> 64), y0 = uint64_t(y), y1 = uint64_t(y >> 64);
    const U128 p00 = U128(x0) * y0, p01 = U128(x0) * y1, p10 = U128(x1) * y0, p11 = U128(x1) * y1;
    limb[0] = uint64_t(p00);
    U128 mid = (p00 >> 64) + uint64_t(p01) + uint64_t(p10);
    limb[1] = uint64_t(mid);
    U128 high = (mid >> 64) + (p01 >> 64) + (p10 >> 64) + uint64_t(p11);
    limb[2] = uint64_t(high);
    limb[3] = uint64_t((high >> 64) + (p11 >> 64));
}

U128 magnitude(Raw r) { return r < 0 ? U128(-r) : U128(r); }
Raw withSign(U128 q, bool neg) { return neg ? -Raw(q) : Raw(q); }

// (hi:lo) / d and its remainder, for hi < d: one hardware division where the
// machine has a 128-by-64 one (libgcc's general routine costs several times as much).
inline uint64_t divWord(uint64_t hi, uint64_t lo, uint64_t d, uint64_t& rem) {
#if defined(__x86_64__)
    uint64_t q;
    __asm__("divq %4" : "=a"(q), "=d"(rem) : "a"(lo), "d"(hi), "rm"(d) : "cc");
    return q;
#else
    const U128 n = (U128(hi) << 64) | lo;
    rem = uint64_t(n % d);
    return uint64_t(n / d);
#endif
}

// Powers of five up to the largest that fits a word: 10^k = 2^k * 5^k, so a
// division by 10^k is a shift and a division by one word.
constexpr size_t kMaxPow5 = 27;
constexpr std::array<uint64_t, kMaxPow5 + 1> kPow5 = [] {
    std::array<uint64_t, kMaxPow5 + 1> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 5;
    return t;
}();
// The inverse of 5^k modulo 2^128 and the largest quotient by 5^k: a multiple
// of 5^k times the inverse is its exact quotient, anything else lands above it.
constexpr std::array<U128, kMaxPow5 + 1> kInv5 = [] {
    U128 inv = 5;  // right in 3 bits; each Newton step doubles them
    for (int i = 0; i < 6; ++i) inv *= 2 - 5 * inv;
    std::array<U128, kMaxPow5 + 1> t{};
    t[0] = 1;
    for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * inv;
    return t;
}();
constexpr std::array<U128, kMaxPow5 + 1> kMaxOver5 = [] {
    std::array<U128, kMaxPow5 + 1> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = ~U128(0) / kPow5[i];
    return t;
}();

// A divisor of one word shifted to its top bit with its reciprocal
// floor((2^128 - 1) / d) - 2^64: a division by it is two multiplications.
struct Divisor {
    int shift = 0;
    uint64_t d = 0, v = 0;
    constexpr explicit Divisor(uint64_t divisor = 1) {
        while (!((divisor << shift) >> 63)) ++shift;
        d = divisor << shift;
        v = uint64_t(~U128(0) / d);
    }
    // (hi:lo) / d and its remainder, for hi < d, both shifted as d is.
    uint64_t divide(uint64_t hi, uint64_t lo, uint64_t& rem) const {
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
constexpr std::array<Divisor, kMaxPow5 + 1> kPow5Divisor = [] {
    std::array<Divisor, kMaxPow5 + 1> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = Divisor(kPow5[i]);
    return t;
}();

// floor(n / 10^k) and the remainder, k <= kMaxPow5.
U128 divPow10(U128 n, size_t k, U128& rem) {
    uint64_t r5;
    const U128 q = kPow5Divisor[k].divide(n >> k, r5);
    rem = (U128(r5) << k) | (n & ((U128(1) << k) - 1));
    return q;
}

// Whether n is a multiple of 10^k (k <= kMaxPow5); if so, `q` receives n / 10^k.
bool exactPow10(U128 n, size_t k, U128& q) {
    if (n & ((U128(1) << k) - 1)) return false;
    q = (n >> k) * kInv5[k];
    return q <= kMaxOver5[k];
}

// a * b / 10^24, rounded half away from zero. Amounts, rates and factors keep
// at most four places, so both are mostly multiples of 10^20: then the
// product of what is left is exact and needs no division at all. Otherwise the
// 256-bit product, plus half a unit, loses 2^24 by a shift and 5^24 by two
// word divisions.
Raw mulScaled(Raw a, Raw b) {
    const bool neg = (a < 0) != (b < 0);
    const U128 x = magnitude(a), y = magnitude(b);
    U128 xs, ys;
    if (exactPow10(x, 20, xs) && exactPow10(y, 20, ys)) {
        // Both below 2^62: the product fits, and times 10^16 it is the result.
        const U128 p = xs * ys;
        if (p >= U128(kPow10[Decimal::kPlaces + 38 - 40])) overflow();
        return withSign(p * U128(kPow10[40 - Decimal::kPlaces]), neg);
    }
    uint64_t limb[4];
    mul256(x, y, limb);
    constexpr U128 kHalf = U128(kOne) / 2;
    const U128 low = ((U128(limb[1]) << 64) | limb[0]) + kHalf;
    if (low < kHalf && ++limb[2] == 0) ++limb[3];
    const uint64_t w0 = uint64_t(low >> 24);
    const uint64_t w1 = uint64_t(low >> 88) | (limb[2] << 40), w2 = (limb[2] >> 24) | (limb[3] << 40);
    constexpr Divisor k5 = kPow5Divisor[Decimal::kPlaces];
    // A quotient of 2^128 or more is far past the limit.
    if ((limb[3] >> 24) || w2 >= kPow5[Decimal::kPlaces]) overflow();
    uint64_t rem;
    const int s = k5.shift;
    const uint64_t high = k5.divide((w2 << s) | (w1 >> (64 - s)), (w1 << s) | (w0 >> (64 - s)), rem);
    const U128 q = (U128(high) << 64) | k5.divide(rem, w0 << s, rem);
    if (q >= U128(kLimit)) overflow();
    return withSign(q, neg);
}

// Drops the trailing zeros of y, up to `most` of them; returns how many.
size_t stripZeros(U128& y, size_t most) {
    size_t k = 0;
    U128 q;
    for (size_t p : {16, 8, 4, 2, 1})
        while (k + p <= most && exactPow10(y, p, q)) {
            y = q;
            k += p;
        }
    return k;
}

// a * 10^24 / b rounded half away from zero. Divisors in this program have few
// significant digits (rates, factors, amounts), so after dropping the divisor's
// trailing zeros it mostly fits 64 bits and a short division does; otherwise
// the general wide division runs.
Raw divScaled(Raw a, Raw b) {
    const bool neg = (a < 0) != (b < 0);
    const U128 x = magnitude(a);
    U128 y = magnitude(b);
    const size_t k = stripZeros(y, Decimal::kPlaces);
    if (y >> 64) return fromWide(divRound(toWide(a) * toWide(kOne), toWide(b)));
    uint64_t limb[4];
    mul256(x, U128(kPow10[size_t(Decimal::kPlaces) - k]), limb);
    const uint64_t d = uint64_t(y);
    int top = 3;
    while (top > 0 && limb[top] == 0) --top;
    uint64_t rem = 0;
    for (int i = top; i >= 0; --i) limb[i] = divWord(rem, limb[i], d, rem);
    if (limb[3] || limb[2]) overflow();
    U128 q = (U128(limb[1]) << 64) | limb[0];
    // Checked before rounding up too, which could otherwise wrap 2^128 - 1 to 0.
    if (q >= U128(kLimit)) overflow();
    if (U128(rem) * 2 >= d) ++q;
    if (q >= U128(kLimit)) overflow();
    return withSign(q, neg);
}

// n / 10^k rounded half away from zero.
Raw divRoundPow10(Raw n, size_t k) {
    if (k > kMaxPow5) return divRound(n, kPow10[k]);
    U128 rem, q;
    // Sums of amounts already are what they are stored as.
    if (exactPow10(magnitude(n), k, q)) return withSign(q, n < 0);
    q = divPow10(magnitude(n), k, rem);
    if (rem * 2 >= U128(kPow10[k])) ++q;
    return withSign(q, n < 0);
}

// ---- the same arithmetic as plainly as it can be written: eight steps of
// 128-bit division per product. The yardstick of the fast paths above, for the
// tests only.

// a * b / 10^24, rounded half away from zero, on magnitudes: the product has up
// to 256 bits, held in four 64-bit limbs; the division by 10^24 runs as two
// divisions by 10^12, which fit a 64-bit divisor.
Raw slowMulScaled(Raw a, Raw b) {
    const bool neg = (a < 0) != (b < 0);
    const U128 x = a < 0 ? U128(-a) : U128(a), y = b < 0 ? U128(-b) : U128(b);
    uint64_t limb[4];
    mul256(x, y, limb);
    constexpr uint64_t kHalfScale = 1000000000000ull;  // 10^12
    auto divide = [&](uint64_t& remainder) {
        U128 rem = 0;
        for (int i = 3; i >= 0; --i) {
            U128 cur = (rem << 64) | limb[i];
            limb[i] = uint64_t(cur / kHalfScale);
            rem = cur % kHalfScale;
        }
        remainder = uint64_t(rem);
    };
    uint64_t r1, r2;
    divide(r1);
    divide(r2);
    if (limb[3] || limb[2]) overflow();
    U128 q = (U128(limb[1]) << 64) | limb[0];
    const U128 rest = U128(r2) * kHalfScale + r1;  // what was cut off, below 10^24
    if (q >= U128(kLimit)) overflow();
    if (rest * 2 >= U128(kOne)) ++q;
    if (q >= U128(kLimit)) overflow();
    return neg ? -Raw(q) : Raw(q);
}

// a * 10^24 / b rounded half away from zero. Divisors in this program have few
// significant digits (rates, factors, amounts), so after dropping the divisor's
// trailing zeros it mostly fits 64 bits and a short division does; otherwise
// the general wide division runs.
Raw slowDivScaled(Raw a, Raw b) {
    const bool neg = (a < 0) != (b < 0);
    const U128 x = a < 0 ? U128(-a) : U128(a);
    U128 y = b < 0 ? U128(-b) : U128(b);
    int k = 0;
    for (int p : {16, 8, 4, 2, 1})
        while (k + p <= Decimal::kPlaces && y % U128(kPow10[size_t(p)]) == 0) {
            y /= U128(kPow10[size_t(p)]);
            k += p;
        }
    if (y >> 64) return fromWide(divRound(toWide(a) * toWide(kOne), toWide(b)));
    uint64_t limb[4];
    mul256(x, U128(kPow10[size_t(Decimal::kPlaces - k)]), limb);
    const uint64_t d = uint64_t(y);
    U128 rem = 0;
    for (int i = 3; i >= 0; --i) {
        U128 cur = (rem << 64) | limb[i];
        limb[i] = uint64_t(cur / d);
        rem = cur % d;
    }
    if (limb[3] || limb[2]) overflow();
    U128 q = (U128(limb[1]) << 64) | limb[0];
    if (q >= U128(kLimit)) overflow();
    if (rem * 2 >= d) ++q;
    if (q >= U128(kLimit)) overflow();
    return neg ? -Raw(q) : Raw(q);
}

std::string digits(unsigned __int128 v) {
    if (v == 0) return "0";
    std::string s;
    while (v) {
        s.insert(s.begin(), char('0' + int(v % 10)));
        v /= 10;
    }
    return s;
}
}  // namespace

Decimal::Raw Decimal::scale(long long v) { return checked(static_cast<Raw>(v) * kOne); }

Decimal& Decimal::operator+=(const Decimal& o) {
    m_ = checked(m_ + o.m_);
    return *this;
}

Decimal& Decimal::operator-=(const Decimal& o) {
    m_ = checked(m_ - o.m_);
    return *this;
}

Decimal& Decimal::operator*=(const Decimal& o) {
    // The exact product has 48 places; keep 24, rounded.
    m_ = mulScaled(m_, o.m_);
    return *this;
}

Decimal& Decimal::operator/=(const Decimal& o) {
    if (o.m_ == 0) throw DivisionByZero();
    m_ = divScaled(m_, o.m_);
    return *this;
}

Decimal Decimal::parse(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    std::string s(text.substr(b, e - b));
    if (s.empty()) throw DecimalError("Prazan broj");
    bool neg = false;
    size_t i = 0;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    Wide whole = 0;
    int frac = -1, count = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            whole = whole * 10 + (c - '0');
            ++count;
            if (frac >= 0) ++frac;
            if (whole >= Wide(kPow10[38]) * Wide(kPow10[24])) throw DecimalOverflow("Broj je prevelik: " + s);
        } else if ((c == '.' || c == ',') && frac < 0) {
            frac = 0;
        } else {
            throw DecimalError("Neispravan broj: " + s);
        }
    }
    if (count == 0) throw DecimalError("Neispravan broj: " + s);
    if (frac < 0) frac = 0;
    Wide m = frac <= kPlaces ? Wide(whole * toWide(kPow10[size_t(kPlaces - frac)]))
                             : divRound(whole, toWide(kPow10[size_t(frac - kPlaces)]));
    return fromRaw(fromWide(neg ? Wide(-m) : m));
}

Decimal Decimal::fromScaled(int64_t scaled, int places) {
    return fromRaw(checked(static_cast<Raw>(scaled) * kPow10[size_t(kPlaces - places)]));
}

Decimal Decimal::rounded(int places) const {
    Raw unit = kPow10[size_t(kPlaces - places)];
    return fromRaw(divRoundPow10(m_, size_t(kPlaces - places)) * unit);
}

namespace {
// A rounded, scaled value as a field of `digits` digits takes it.
int64_t fitDigits(Raw r, int digits, const Decimal& v) {
    if (r >= kPow10[size_t(digits)] || r <= -kPow10[size_t(digits)])
        throw DecimalOverflow("Iznos " + v.toString() + " je prevelik za polje od " + std::to_string(digits) +
                              " znamenki");
    return static_cast<int64_t>(r);
}
}  // namespace

int64_t Decimal::toScaled(int places, int digits) const {
    return fitDigits(divRoundPow10(m_, size_t(kPlaces - places)), digits, *this);
}

int64_t Decimal::toInt() const {
    Raw t = m_ / kOne;
    if (t >= kPow10[18] || t <= -kPow10[18]) throw DecimalOverflow("Broj je prevelik");
    return static_cast<int64_t>(t);
}

std::string Decimal::toString(int places) const {
    Raw r = divRoundPow10(m_, size_t(kPlaces - places));
    bool neg = r < 0;
    std::string d = digits(static_cast<unsigned __int128>(neg ? -r : r));
    if (places > 0) {
        if (d.size() <= size_t(places)) d.insert(0, size_t(places) + 1 - d.size(), '0');
        d.insert(d.size() - size_t(places), ".");
    }
    return neg ? "-" + d : d;
}

std::string Decimal::toString() const {
    std::string s = toString(kPlaces);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

Decimal DecimalReference::product(const Decimal& a, const Decimal& b) {
    return Decimal::fromRaw(slowMulScaled(a.m_, b.m_));
}

Decimal DecimalReference::quotient(const Decimal& a, const Decimal& b) {
    if (b.m_ == 0) throw DivisionByZero();
    return Decimal::fromRaw(slowDivScaled(a.m_, b.m_));
}

Decimal DecimalReference::rounded(const Decimal& v, int places) {
    Raw unit = kPow10[size_t(Decimal::kPlaces - places)];
    return Decimal::fromRaw(divRound(v.m_, unit) * unit);
}

int64_t DecimalReference::toScaled(const Decimal& v, int places, int digits) {
    return fitDigits(divRound(v.m_, kPow10[size_t(Decimal::kPlaces - places)]), digits, v);
}

}  // namespace marel
