// Calculations per second of the income-line routines.
#include <benchmark/benchmark.h>

#include <vector>

#include "payments/Calculation.h"

using namespace marel;

namespace {

// An author's fee in a town with 18 % surtax: expenses 30 %, pillars 15 + 5,
// health 15 %, tax 25 %.
CalcInput singleRate() {
    CalcInput in;
    in.surtaxRate = 18;
    in.expenses = 30;
    in.pillarI = 15;
    in.pillarII = 5;
    in.health = 15;
    in.taxRate = 25;
    return in;
}

// Other income taxed by the brackets with the personal allowance.
CalcInput severalRates() {
    CalcInput in = singleRate();
    in.expenses = 0;
    in.allowance = Decimal::parse("2200.00");
    in.allowanceFactor = 1;
    in.severalRates = true;
    return in;
}

const std::vector<Bracket> kBrackets = {
    {1, 12, Decimal::parse("2200.00")}, {2, 25, Decimal::parse("8800.00")}, {3, 40, Decimal::parse("9999999.99")}};

// Nets from 0.01 up to about 20,000.00, so that every bracket is reached.
Decimal netOf(int64_t i) { return Decimal::fromScaled(1 + (i * 7919) % 2000000, 2); }

void BM_IZRACUN(benchmark::State& state) {
    const CalcInput in = singleRate();
    int64_t i = 0;
    for (auto _ : state) {
        CalcResult r = IZRACUN(netOf(i++), in, 2014);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IZRACUN);

void BM_VISESTOPA(benchmark::State& state) {
    const CalcInput in = severalRates();
    int64_t i = 0;
    for (auto _ : state) {
        CalcResult r = VISESTOPA(netOf(i++), in, kBrackets);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VISESTOPA);

}  // namespace
