#pragma once
// Exact decimal arithmetic for amounts, rates and factors.
//
// `Decimal` is a working value: expressions keep 24 places after the point
// (and up to 14 digits before it), and nothing is rounded until the value is stored
// into a `Dec<d,p>`, which rounds half away from zero to p places and
// refuses a value that does not fit into d digits.
#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/DecimalWords.h"

namespace marel {

struct DecimalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A value too large for its field: reported, never wrapped.
struct DecimalOverflow : DecimalError {
    using DecimalError::DecimalError;
};
struct DivisionByZero : DecimalError {
    DivisionByZero() : DecimalError("Dijeljenje s nulom") {}
};

class Decimal {
public:
    // Places kept after the point inside an expression: far more than any
    // factor or amount of the program stores, so that only a store rounds.
    static constexpr int kPlaces = decimal_words::kPlaces;

    Decimal() = default;
    Decimal(int v) : m_(scale(v)) {}
    Decimal(long v) : m_(scale(v)) {}
    Decimal(long long v) : m_(scale(v)) {}
    Decimal(unsigned v) : m_(scale(v)) {}
    Decimal(unsigned long v) : m_(scale(v)) {}

    // Parses "1234.56", "-0,5", "  12 " (point or comma as the decimal mark).
    // Throws DecimalError on anything else.
    static Decimal parse(std::string_view text);
    // The exact value scaled / 10^places.
    [[gnu::always_inline]] static Decimal fromScaled(int64_t scaled, int places) {
        using namespace decimal_words;
        // Checked before scaling up, which could otherwise wrap: |scaled| < 10^(kWhole + places).
        if (places < 19 - kWhole && (scaled >= int64_t(kPow10[size_t(kWhole + places)]) ||
                                     scaled <= -int64_t(kPow10[size_t(kWhole + places)])))
            overflow();
        return fromRaw(Raw(scaled) * kPow10[size_t(kPlaces - places)]);
    }

    // Rounds half away from zero to `places` decimals.
    Decimal rounded(int places) const;
    // Rounded to `places` and multiplied by 10^places; throws DecimalOverflow
    // when the result needs more than `digits` digits (digits <= 18).
    [[gnu::always_inline]] int64_t toScaled(int places, int digits = 18) const {
        uint64_t q;
        if (!decimal_words::roundedWord(m_, kPlaces - places, q)) return toScaledLong(places, digits);
        if (q >= uint64_t(decimal_words::kPow10[size_t(digits)])) decimal_words::fieldTooLarge(*this, digits);
        return m_ < 0 ? -int64_t(q) : int64_t(q);
    }
    // Plain text with a point and exactly `places` decimals ("-1234.50").
    std::string toString(int places) const;
    // Plain text without superfluous zeros ("12.5", "3").
    std::string toString() const;

    int sign() const { return m_ < 0 ? -1 : m_ > 0 ? 1 : 0; }
    bool isZero() const { return m_ == 0; }
    Decimal abs() const { return fromRaw(m_ < 0 ? -m_ : m_); }
    // Integer part toward zero.
    int64_t toInt() const;

    Decimal operator-() const { return fromRaw(-m_); }
    // Both below 10^38, so a sum that leaves 128 bits is past the limit anyway.
    [[gnu::always_inline]] Decimal& operator+=(const Decimal& o) {
        if (__builtin_add_overflow(m_, o.m_, &m_)) decimal_words::overflow();
        m_ = decimal_words::checked(m_);
        return *this;
    }
    [[gnu::always_inline]] Decimal& operator-=(const Decimal& o) {
        if (__builtin_sub_overflow(m_, o.m_, &m_)) decimal_words::overflow();
        m_ = decimal_words::checked(m_);
        return *this;
    }
    [[gnu::always_inline]] Decimal& operator*=(const Decimal& o) {
        // The exact product has 48 places; keep 24, rounded.
        if (!decimal_words::shortProduct(m_, o.m_, m_)) m_ = longProduct(m_, o.m_);
        return *this;
    }
    Decimal& operator/=(const Decimal& o);
    friend Decimal operator+(Decimal a, const Decimal& b) { return a += b; }
    friend Decimal operator-(Decimal a, const Decimal& b) { return a -= b; }
    friend Decimal operator*(Decimal a, const Decimal& b) { return a *= b; }
    friend Decimal operator/(Decimal a, const Decimal& b) { return a /= b; }
    friend bool operator==(const Decimal& a, const Decimal& b) { return a.m_ == b.m_; }
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
        return a.m_ < b.m_ ? std::strong_ordering::less
             : b.m_ < a.m_ ? std::strong_ordering::greater
                           : std::strong_ordering::equal;
    }

private:
    friend struct DecimalReference;
    using Raw = __int128;
    static Raw scale(long long v) {
        // Checked before scaling up, which could otherwise wrap.
        if (v >= int64_t(decimal_words::kPow10[decimal_words::kWhole]) ||
            v <= -int64_t(decimal_words::kPow10[decimal_words::kWhole]))
            decimal_words::overflow();
        return Raw(v) * decimal_words::kOne;
    }
    static Raw scale(unsigned long long v) {
        if (v >= uint64_t(decimal_words::kPow10[decimal_words::kWhole])) decimal_words::overflow();
        return Raw(v) * decimal_words::kOne;
    }
    static Raw scale(int v) { return scale(static_cast<long long>(v)); }
    static Raw scale(long v) { return scale(static_cast<long long>(v)); }
    static Raw scale(unsigned v) { return scale(static_cast<unsigned long long>(v)); }
    static Raw scale(unsigned long v) { return scale(static_cast<unsigned long long>(v)); }
    static Raw longProduct(Raw a, Raw b);
    int64_t toScaledLong(int places, int digits) const;
    static Decimal fromRaw(Raw r) {
        Decimal d;
        d.m_ = r;
        return d;
    }
    Raw m_ = 0;  // the value times 10^kPlaces
};

// The operators' arithmetic written plainly, without their shortcuts: the
// yardstick the tests hold them to. Several times slower; not for the program.
struct DecimalReference {
    static Decimal product(const Decimal& a, const Decimal& b);
    static Decimal quotient(const Decimal& a, const Decimal& b);
    static Decimal rounded(const Decimal& v, int places);
    static int64_t toScaled(const Decimal& v, int places, int digits = 18);
};

// Common base of every stored decimal field: the value scaled by 10^places.
// The store reads and writes `scaled` directly, which keeps the columns exact.
struct DecField {
    int64_t scaled = 0;
};

// DECIMAL(d,p) of the record layouts.
template <int D, int P>
class Dec : public DecField {
    static_assert(D > 0 && D <= 18 && P >= 0 && P <= D);
public:
    static constexpr int digits = D;
    static constexpr int places = P;

    Dec() = default;
    Dec(const Decimal& v) { *this = v; }
    Dec(int v) { *this = Decimal(v); }
    Dec& operator=(const Decimal& v) {
        scaled = v.toScaled(P, D);
        return *this;
    }
    Dec& operator=(int v) { return *this = Decimal(v); }
    // A field of the same places: nothing to round, only the digits to check.
    template <int D2>
    Dec(const Dec<D2, P>& o) {
        if (D2 > D && (o.scaled >= int64_t(decimal_words::kPow10[D]) || o.scaled <= -int64_t(decimal_words::kPow10[D])))
            decimal_words::fieldTooLarge(o.value(), D);
        scaled = o.scaled;
    }
    template <int D2>
    Dec& operator=(const Dec<D2, P>& o) {
        return *this = Dec(o);
    }
    operator Decimal() const { return Decimal::fromScaled(scaled, P); }
    Decimal value() const { return Decimal::fromScaled(scaled, P); }
    bool isZero() const { return scaled == 0; }
    friend bool operator==(const Dec& a, const Dec& b) { return a.scaled == b.scaled; }
};

}  // namespace marel
