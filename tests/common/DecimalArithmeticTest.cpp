// The operators' shortcuts against the plain arithmetic they replace, on a
// fixed random set: every result and every refusal the same.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "common/Decimal.h"

using namespace marel;

namespace {

template <class T>
struct Outcome {
    T value{};
    std::string error;
    bool operator==(const Outcome&) const = default;
};

template <class F>
auto outcome(F f) -> Outcome<decltype(f())> {
    try {
        return {f(), {}};
    } catch (const DecimalError& e) {
        return {{}, e.what()};
    }
}

class Operands {
public:
    // Amounts, rates and factors as stored, bare 24-place values, values of
    // up to 38 digits, and operands whose product lies at the overflow limit.
    std::pair<Decimal, Decimal> next() {
        Decimal a = any(), b = pick(6) == 0 ? nearLimitPartner(a) : any();
        return {a, b};
    }

private:
    std::mt19937_64 rng_{20240611};
    int64_t below(int64_t n) { return int64_t(rng_() % uint64_t(n)); }
    int pick(int n) { return int(below(n)); }
    Decimal signed_(Decimal v) { return pick(2) ? -v : v; }
    Decimal huge() {
        return Decimal::fromScaled(below(100) * 1'000'000'000'000, 0) + Decimal::fromScaled(below(int64_t(1e18)), 6) +
               Decimal::fromScaled(below(int64_t(1e18)), 24);
    }
    Decimal any() {
        switch (pick(5)) {
        case 0: return signed_(Decimal::fromScaled(below(100'000'000'000), 2));
        case 1: return signed_(Decimal::fromScaled(below(10'000'000), 4));
        case 2: return signed_(Decimal::fromScaled(below(int64_t(1e18)), 24));
        case 3: return signed_(Decimal::fromScaled(below(int64_t(1e13)), pick(25)));
        default: return signed_(huge());
        }
    }
    // 10^14 / a, give or take a few units of the last place.
    Decimal nearLimitPartner(const Decimal& a) {
        try {
            return DecimalReference::quotient(Decimal(100'000'000'000'000), a) + Decimal::fromScaled(below(2001) - 1000, 24);
        } catch (const DecimalError&) {  // a zero or tiny a
            return any();
        }
    }
};

}  // namespace

TEST(DecimalArithmetic, ShortcutsGiveWhatThePlainArithmeticGives) {
    Operands operands;
    int mismatches = 0;
    std::ostringstream first;
    auto compare = [&](const char* what, const auto& got, const auto& want, const Decimal& a, const Decimal& b) {
        if (got == want) return;
        if (mismatches++ == 0) first << what << " of " << a.toString() << " and " << b.toString();
    };
    for (int i = 0; i < 150'000; ++i) {
        const auto [a, b] = operands.next();
        const int places = i % 25;
        compare("product", outcome([&] { return a * b; }), outcome([&] { return DecimalReference::product(a, b); }), a, b);
        if (!b.isZero())
            compare("quotient", outcome([&] { return a / b; }), outcome([&] { return DecimalReference::quotient(a, b); }),
                    a, b);
        compare("rounding", a.rounded(places), DecimalReference::rounded(a, places), a, Decimal(places));
        compare("store", outcome([&] { return a.toScaled(places, 11 + i % 8); }),
                outcome([&] { return DecimalReference::toScaled(a, places, 11 + i % 8); }), a, Decimal(places));
    }
    EXPECT_EQ(mismatches, 0) << first.str();
}

// Results just under 2^128 units of the last place once rounded up: they are
// far past the limit, and used to wrap round to zero.
TEST(DecimalArithmetic, RoundingUpToTwoToThe128OverflowsInsteadOfWrapping) {
    const std::pair<const char*, std::function<Decimal()>> cases[] = {
        {"product", [] { return Decimal::parse("11342745564031.282115445797940325997787") *
                                Decimal::parse("30.000000000000000000000059"); }},
        {"quotient", [] { return Decimal::parse("3402823669209.384634643614262958389330") /
                                 Decimal::parse("0.010000000000000000000029"); }},
    };
    for (const auto& [what, f] : cases) EXPECT_THROW(f(), DecimalOverflow) << what;
}

// Whole numbers and scaled values past the limit: they used to wrap round to
// a wrong value within it (a huge unsigned one even to -1).
TEST(DecimalArithmetic, ScalingUpPastTheLimitOverflowsInsteadOfWrapping) {
    const std::pair<const char*, std::function<Decimal()>> cases[] = {
        {"whole", [] { return Decimal(1'000'000'000'000'000'000LL); }},
        {"unsigned whole", [] { return Decimal(~0UL); }},
        {"scaled", [] { return Decimal::fromScaled(100'000'000'000'000'000, 2); }},
    };
    for (const auto& [what, f] : cases) EXPECT_THROW(f(), DecimalOverflow) << what;
}
