#include "common/Decimal.h"

#include <array>
#include <cctype>

namespace marel {

namespace {
const Decimal::Float& pow10(int n) {
    static const auto table = [] {
        std::array<Decimal::Float, 40> t;
        t[0] = 1;
        for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
        return t;
    }();
    return table.at(static_cast<size_t>(n));
}
// 10^-n, exact in a decimal float: multiplying by it is much cheaper than dividing.
const Decimal::Float& pow10neg(int n) {
    static const auto table = [] {
        std::array<Decimal::Float, 40> t;
        t[0] = 1;
        for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] / 10;
        return t;
    }();
    return table.at(static_cast<size_t>(n));
}
const Decimal::Float kHalf("0.5");

// Half away from zero, to a whole number.
Decimal::Float roundHalfAway(const Decimal::Float& x) {
    if (x.sign() >= 0) return Decimal::Float(boost::multiprecision::floor(x + kHalf));
    return Decimal::Float(boost::multiprecision::ceil(x - kHalf));
}
}  // namespace

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
    std::string digits;
    int frac = -1;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            if (frac >= 0) ++frac;
        } else if ((c == '.' || c == ',') && frac < 0) {
            frac = 0;
        } else {
            throw DecimalError("Neispravan broj: " + s);
        }
    }
    if (digits.empty()) throw DecimalError("Neispravan broj: " + s);
    Float v(digits);
    if (frac > 0) v *= pow10neg(frac);
    return Decimal(neg ? Float(-v) : v);
}

Decimal Decimal::fromScaled(int64_t scaled, int places) {
    Float v(static_cast<long long>(scaled));
    if (places > 0) v *= pow10neg(places);
    return Decimal(v);
}

Decimal Decimal::rounded(int places) const {
    Float x = v_ * pow10(places);
    Float r = roundHalfAway(x);
    return Decimal(r * pow10neg(places));
}

int64_t Decimal::toScaled(int places, int digits) const {
    Float x = v_ * pow10(places);
    Float r = roundHalfAway(x);
    if (boost::multiprecision::abs(r) >= pow10(digits))
        throw DecimalOverflow("Iznos " + toString() + " je prevelik za polje od " +
                              std::to_string(digits) + " znamenki");
    return r.convert_to<long long>();
}

int64_t Decimal::toInt() const {
    Float t = boost::multiprecision::trunc(v_);
    if (boost::multiprecision::abs(t) >= pow10(18)) throw DecimalOverflow("Broj je prevelik");
    return t.convert_to<long long>();
}

std::string Decimal::toString(int places) const {
    int64_t s = toScaled(places, 18);
    bool neg = s < 0;
    uint64_t u = neg ? uint64_t(0) - uint64_t(s) : uint64_t(s);
    std::string d = std::to_string(u);
    if (places > 0) {
        if (d.size() <= size_t(places)) d.insert(0, size_t(places) + 1 - d.size(), '0');
        d.insert(d.size() - size_t(places), ".");
    }
    return neg ? "-" + d : d;
}

std::string Decimal::toString() const {
    // Up to 20 decimals is more than any working value of the program carries.
    // Written by the float itself, not through toScaled: 20 places do not fit in
    // 64 bits, and the overflow message of toScaled uses this very text.
    std::string s = rounded(20).v_.str(20, std::ios_base::fixed);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

}  // namespace marel
