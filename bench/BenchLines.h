#pragma once
// What a benchmark program says of its goals: lines marked BENCH, printed
// after all its runs, which scripts/bench gathers into one table
// (tab-separated: BENCH, what, ours, baseline, ratio, goal; "-" for none).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace marel {

inline std::vector<std::string>& benchLines() {
    static std::vector<std::string> lines;
    return lines;
}

inline void benchLine(const std::string& what, const std::string& ours, const std::string& baseline,
                      const std::string& ratio, const std::string& goal) {
    benchLines().push_back("BENCH\t" + what + "\t" + ours + "\t" + baseline + "\t" + ratio + "\t" + goal);
}

// A time in milliseconds with `places` decimals.
inline std::string millis(double ms, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f ms", places, ms);
    return text;
}

inline std::string times(double ratio) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2fx", ratio);
    return text;
}

// The program's runs (through `reporter` when one is given), then its goal lines.
inline int runBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter = nullptr) {
    benchmark::Initialize(&argc, argv);
    if (reporter) benchmark::RunSpecifiedBenchmarks(reporter);
    else benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::fflush(stdout);
    for (const std::string& line : benchLines()) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace marel
