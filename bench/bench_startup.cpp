// Start-up beside a bare Qt program, each started afresh as a user starts it
// and timed from exec to its end, rounds of the pair interleaved so that a
// busy machine weighs on both alike; the minimums are compared.
//  - the program up to its main window exposed (MAREL_EXIT_WHEN_SHOWN ends
//    it there) against a bare QMainWindow ending at the same point;
//  - `marel export OPCINEISPIS` of one page to PDF, the whole process,
//    against a Qt program writing one PDF page with a line of text;
//  - both again beside baselines doing the same kind of work: the window
//    with a menu and a status line, the page with the bold heading that
//    makes it embed the same two fonts as the program's page.
// Both run on the platform the environment names, offscreen when none.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "BenchLines.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRounds = 30;

// Runs a program in `folder` with its output discarded; its wall time in
// milliseconds, or a negative number when it failed. `cpu`, when given, gets
// its processor time (user and system), which a busy machine changes less.
double run(const std::vector<std::string>& argv, const fs::path& folder, double* cpu = nullptr) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(folder.c_str()) != 0) _exit(127);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage used{};
    if (pid < 0 || wait4(pid, &status, 0, &used) != pid) return -1;
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    if (cpu) *cpu = ms(used.ru_utime) + ms(used.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
}

struct Folder {
    Folder() : path(fs::temp_directory_path() / ("marel-bench-startup-" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
        // The demo data, written once by the program itself, which then
        // shows its frame and ends.
        ok = run({MAREL_BINARY, "--demo", (path / "podaci").string()}, path) >= 0;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path data() const { return path / "podaci"; }
    fs::path path;
    bool ok = false;
};

Folder& folder() {
    static Folder f;
    return f;
}

// One line of the closing table: what, the minimums of ours and of the baseline, the goal.
struct Pair {
    const char* what;
    const char* goal;
    double ours = std::numeric_limits<double>::infinity();
    double baseline = std::numeric_limits<double>::infinity();
    double oursCpu = std::numeric_limits<double>::infinity();
    double baselineCpu = std::numeric_limits<double>::infinity();
};
Pair window{"exec to main window mapped", "<= 1.5x"};
Pair exportPage{"one-page export (OPCINEISPIS), whole process", "<= 1.3x"};
// The same beside baselines doing the same kind of work: a window with words
// in it (the fonts set up), and a page embedding the same two fonts.
Pair windowWithText{"exec to main window mapped, beside a window with a menu and a status line", "(comparison)"};
Pair exportTwoFonts{"one-page export, beside a page with the same two fonts", "(comparison)"};

// Each iteration runs ours and the baseline once, in turns first; the
// iteration's time is ours.
void measure(benchmark::State& state, Pair& pair, const std::vector<std::string>& ours,
             const std::vector<std::string>& baseline, const fs::path& where) {
    if (!folder().ok) return state.SkipWithError("no demo data");
    int round = 0;
    for (auto _ : state) {
        double a = 0, b = 0, aCpu = 0, bCpu = 0;
        if (round++ % 2 == 0) {
            a = run(ours, where, &aCpu);
            b = run(baseline, where, &bCpu);
        } else {
            b = run(baseline, where, &bCpu);
            a = run(ours, where, &aCpu);
        }
        if (a < 0 || b < 0) return state.SkipWithError(a < 0 ? "the program failed" : "the baseline failed");
        pair.ours = std::min(pair.ours, a);
        pair.baseline = std::min(pair.baseline, b);
        pair.oursCpu = std::min(pair.oursCpu, aCpu);
        pair.baselineCpu = std::min(pair.baselineCpu, bCpu);
        state.SetIterationTime(a / 1000);
    }
    state.counters["min_ms"] = pair.ours;
    state.counters["baseline_min_ms"] = pair.baseline;
    state.counters["ratio"] = pair.ours / pair.baseline;
    state.counters["cpu_ratio"] = pair.oursCpu / pair.baselineCpu;
    using namespace marel;
    benchLine(pair.what, millis(pair.ours, 1), millis(pair.baseline, 1), times(pair.ours / pair.baseline), pair.goal);
}

void BM_MainWindowShown(benchmark::State& state) {
    setenv("MAREL_EXIT_WHEN_SHOWN", "1", 1);
    measure(state, window, {MAREL_BINARY}, {BASELINE_WINDOW}, folder().data());
}

void BM_ExportOnePage(benchmark::State& state) {
    const fs::path out = folder().path;
    measure(state, exportPage,
            {MAREL_BINARY, "export", "OPCINEISPIS", "--data", folder().data().string(), "--out",
             (out / "opcine.pdf").string()},
            {BASELINE_PDF, (out / "baseline.pdf").string()}, out);
}

void BM_MainWindowBesideText(benchmark::State& state) {
    setenv("MAREL_EXIT_WHEN_SHOWN", "1", 1);
    measure(state, windowWithText, {MAREL_BINARY}, {BASELINE_WINDOW, "--text"}, folder().data());
}

void BM_ExportBesideTwoFonts(benchmark::State& state) {
    const fs::path out = folder().path;
    measure(state, exportTwoFonts,
            {MAREL_BINARY, "export", "OPCINEISPIS", "--data", folder().data().string(), "--out",
             (out / "opcine.pdf").string()},
            {BASELINE_PDF, (out / "baseline.pdf").string(), "--bold-heading"}, out);
}

BENCHMARK(BM_MainWindowShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kRounds);
BENCHMARK(BM_ExportOnePage)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kRounds);
BENCHMARK(BM_MainWindowBesideText)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kRounds);
BENCHMARK(BM_ExportBesideTwoFonts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kRounds);

}  // namespace

int main(int argc, char** argv) {
    // Without a display named, both sides run on the offscreen platform.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return marel::runBenchmarks(argc, argv);
}
