// Calculations per second of the income-line routines.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "payments/Calculation.h"
#include "BenchLines.h"

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

void BM_VISESTOPA(benchmark::State& state) {
    const CalcInput in = severalRates();
    int64_t i = 0;
    for (auto _ : state) {
        CalcResult r = VISESTOPA(netOf(i++), in, kBrackets);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}

std::string thousands(double rate) {
    std::string s = std::to_string(static_cast<long long>(rate));
    for (int i = int(s.size()) - 3; i > 0; i -= 3) s.insert(size_t(i), ",");
    return s;
}

// Keeps the best rate of each routine over its runs.
class BestRates : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) best[run.run_name.function_name] = std::max(best[run.run_name.function_name], double(it->second));
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The best of every run is known once all have run.
    void Finalize() override {
        ConsoleReporter::Finalize();
        const std::pair<const char*, const char*> goals[] = {{"IZRACUN", ">= 2,000,000/s"},
                                                             {"VISESTOPA", ">= 1,000,000/s"}};
        for (const auto& [what, goal] : goals)
            if (auto it = best.find(std::string("BM_") + what); it != best.end())
                benchLine(what, thousands(it->second) + "/s", "-", "-", goal);
    }
    std::map<std::string, double> best;
};


}  // namespace

// Five runs of each, interleaved, so that a busy spell of the machine does not hit one routine only.
int main(int argc, char** argv) {
    for (int run = 0; run < 5; ++run) {
        benchmark::RegisterBenchmark("BM_IZRACUN", BM_IZRACUN);
        benchmark::RegisterBenchmark("BM_VISESTOPA", BM_VISESTOPA);
    }
    BestRates reporter;
    return runBenchmarks(argc, argv, &reporter);
}

