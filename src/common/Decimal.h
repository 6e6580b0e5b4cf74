#pragma once
// Exact decimal arithmetic for amounts, rates and factors.
//
// `Decimal` is a working value: expressions keep full precision (fifty
// significant digits), and nothing is rounded until the value is stored
// into a `Dec<d,p>`, which rounds half away from zero to p places and
// refuses a value that does not fit into d digits.
#include <boost/multiprecision/cpp_dec_float.hpp>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

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
    using Float = boost::multiprecision::cpp_dec_float_50;

    Decimal() = default;
    Decimal(int v) : v_(v) {}
    Decimal(long v) : v_(v) {}
    Decimal(long long v) : v_(v) {}
    Decimal(unsigned v) : v_(v) {}
    Decimal(unsigned long v) : v_(v) {}

    // Parses "1234.56", "-0,5", "  12 " (point or comma as the decimal mark).
    // Throws DecimalError on anything else.
    static Decimal parse(std::string_view text);
    // The exact value scaled / 10^places.
    static Decimal fromScaled(int64_t scaled, int places);

    // Rounds half away from zero to `places` decimals.
    Decimal rounded(int places) const;
    // Rounded to `places` and multiplied by 10^places; throws DecimalOverflow
    // when the result needs more than `digits` digits (digits <= 18).
    int64_t toScaled(int places, int digits = 18) const;
    // Plain text with a point and exactly `places` decimals ("-1234.50").
    std::string toString(int places) const;
    // Plain text without superfluous zeros ("12.5", "3").
    std::string toString() const;

    int sign() const { return v_.sign(); }
    bool isZero() const { return v_.is_zero(); }
    Decimal abs() const { return Decimal(boost::multiprecision::abs(v_)); }
    // Integer part toward zero.
    int64_t toInt() const;

    Decimal operator-() const { return Decimal(-v_); }
    Decimal& operator+=(const Decimal& o) { v_ += o.v_; return *this; }
    Decimal& operator-=(const Decimal& o) { v_ -= o.v_; return *this; }
    Decimal& operator*=(const Decimal& o) { v_ *= o.v_; return *this; }
    Decimal& operator/=(const Decimal& o) {
        if (o.v_.is_zero()) throw DivisionByZero();
        v_ /= o.v_;
        return *this;
    }
    friend Decimal operator+(Decimal a, const Decimal& b) { return a += b; }
    friend Decimal operator-(Decimal a, const Decimal& b) { return a -= b; }
    friend Decimal operator*(Decimal a, const Decimal& b) { return a *= b; }
    friend Decimal operator/(Decimal a, const Decimal& b) { return a /= b; }
    friend bool operator==(const Decimal& a, const Decimal& b) { return a.v_ == b.v_; }
    friend auto operator<=>(const Decimal& a, const Decimal& b) {
        return a.v_ < b.v_ ? std::strong_ordering::less
             : b.v_ < a.v_ ? std::strong_ordering::greater
                           : std::strong_ordering::equal;
    }

    const Float& raw() const { return v_; }

private:
    explicit Decimal(const Float& f) : v_(f) {}
    Float v_;
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
    operator Decimal() const { return Decimal::fromScaled(scaled, P); }
    Decimal value() const { return Decimal::fromScaled(scaled, P); }
    bool isZero() const { return scaled == 0; }
    friend bool operator==(const Dec& a, const Dec& b) { return a.scaled == b.scaled; }
};

}  // namespace marel
