// A report reading a whole file on one station while another station writes
// without a pause: how long the report takes, whether it finishes at all,
// and how much the writer still gets done meanwhile. Each station has its
// own connection; the writer runs in a thread of its own.
//
// Arg 0: the wait for a lock as the engine offers it (one time-out of 2 s,
// with sleeps growing to 100 ms). Arg 1: the store's own wait (short sleeps,
// readers waiting longer than writers).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <atomic>
#include <thread>

#include "BenchFolder.h"
#include "store/Records.h"

namespace marel {
namespace {

constexpr int kRecords = 20000;

void BM_ReportBesideAWritingStation(benchmark::State& state) {
    const bool storesOwnWait = state.range(0) == 1;
    BenchFolder folder("stations");
    OsobeFile people(Store::main());
    UliceFile streets(Store::main());
    if (people.create() != 0 || people.open() != 0 || streets.create() != 0) {
        state.SkipWithError("cannot make the files");
        return;
    }
    {
        WriteTransaction tx;
        for (int i = 1; i <= kRecords; ++i) {
            people.clear();
            people.OZNAKA = i;
            people.PREZIME = "Prezime " + std::to_string(i);
            people.add();
        }
        tx.commit();
    }
    if (!storesOwnWait) sqlite3_busy_timeout(Store::main().db(), 2000);

    std::atomic<bool> stop{false};
    std::atomic<long> commits{0}, writeFailures{0};
    std::thread writer([&] {
        Store own;
        if (own.open(folder.path().string(), "") != 0) return;
        if (!storesOwnWait) sqlite3_busy_timeout(own.db(), 2000);
        UliceFile theirs(own);
        theirs.open();
        for (long n = 1; !stop; ++n) {
            WriteTransaction tx(own);
            theirs.clear();
            theirs.OZNAKA = LONG(n);
            theirs.NAZIV = "Ulica " + std::to_string(n);
            if (tx.ok() && theirs.add() == 0 && tx.commit() == 0) ++commits;
            else ++writeFailures;
        }
        theirs.close();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the writer is in full swing

    long failedReports = 0;
    const auto start = std::chrono::steady_clock::now();
    const long commitsBefore = commits;
    for (auto _ : state) {
        ReadTransaction report;
        people.set();
        int seen = 0, rc = 0;
        while ((rc = people.next()) == 0) ++seen;
        if (rc != kRecordNotAvailable || seen != kRecords) ++failedReports;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long written = commits - commitsBefore;
    stop = true;
    writer.join();
    people.close();
    state.counters["failed_reports"] = double(failedReports);
    state.counters["writer_commits_per_s"] = written / seconds;
    state.counters["writer_failures"] = double(writeFailures);
}
BENCHMARK(BM_ReportBesideAWritingStation)->Arg(0)->Arg(1)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marel
