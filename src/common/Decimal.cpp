#include "common/Decimal.h"

#include <boost/multiprecision/cpp_int.hpp>

#include <array>
#include <cctype>

namespace marel {

void decimal_words::overflow() { throw DecimalOverflow("Broj je prevelik za izračun"); }

void decimal_words::fieldTooLarge(const Decimal& v, int digits) {
    throw DecimalOverflow("Iznos " + v.toString() + " je prevelik za polje od " + std::to_string(digits) + " znamenki");
}

namespace {
using namespace decimal_words;
using Wide = boost::multiprecision::int256_t;

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

// floor(n / 10^k) and the remainder, k <= kMaxPow5.
U128 divPow10(U128 n, size_t k, U128& rem) {
    uint64_t r5;
    const U128 q = kPow5Divisor[k].divide(n >> k, r5);
    rem = (U128(r5) << k) | (n & ((U128(1) << k) - 1));
    return q;
}

// a * b / 10^24, rounded half away from zero, for operands that are not both
// short (`shortProduct`): the 256-bit product, plus half a unit, loses 2^24 by
// a shift and 5^24 by two word divisions.
Raw mulScaled(Raw a, Raw b) {
    const bool neg = (a < 0) != (b < 0);
    const U128 x = magnitude(a), y = magnitude(b);
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
    // A top limb below the divisor is a quotient limb of 0: one division fewer.
    if (top > 0 && limb[top] < d) {
        rem = limb[top];
        limb[top--] = 0;
    }
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
    if (uint64_t w; roundedWord(n, int(k), w)) return withSign(w, n < 0);
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

Decimal::Raw Decimal::longProduct(Raw a, Raw b) { return mulScaled(a, b); }

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

Decimal Decimal::rounded(int places) const {
    Raw unit = kPow10[size_t(kPlaces - places)];
    return fromRaw(divRoundPow10(m_, size_t(kPlaces - places)) * unit);
}

namespace {
// A rounded, scaled value as a field of `digits` digits takes it.
int64_t fitDigits(Raw r, int digits, const Decimal& v) {
    if (r >= kPow10[size_t(digits)] || r <= -kPow10[size_t(digits)]) fieldTooLarge(v, digits);
    return static_cast<int64_t>(r);
}
}  // namespace

int64_t Decimal::toScaledLong(int places, int digits) const {
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
