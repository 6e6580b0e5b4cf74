// Several stations, each a process of its own, working on one data location
// at once: 1, 2, 4 and 8 of them, a round each. Every station adds one to a
// shared counter record the way a user edits a record (watch it, read it, a
// moment's pause, save it; a save refused because another station was quicker
// counts as refused, not as written) and, every other time, adds a record of
// its own in a write transaction. After each round every increment a station
// counted as written must be in the counter, and every add it counted as
// committed must be in the file.
//
// Arguments: --data LOCATION (a fresh temporary data folder when none),
// --seconds S per round (2), --label TEXT for the lines printed. Arguments it
// does not know are passed over, since scripts/bench gives every benchmark
// program the same ones. Exits with 1 when an update or an add went missing
// or a station could not open the location.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/Prompter.h"
#include "store/Records.h"
#include "store/Store.h"

namespace marel {
namespace {

// The benchmark's records sit far above any street number a user keeps: the
// counter of round N at kCounterBase + N, the adds of station s of round N
// in a range of kRangeSize numbers of their own. Each round clears its
// numbers before and after it, so rounds neither see one another's records
// nor leave any behind in a location given with --data.
constexpr LONG kCounterBase = 1'900'000'000;
constexpr LONG kRangeSize = 1'000'000;
constexpr int kMaxStations = 8;
constexpr auto kUsersMoment = std::chrono::microseconds(300);

LONG counterNumber(int stations) { return kCounterBase + stations; }
LONG firstAdd(int stations, int station) { return kCounterBase + (stations * 10 + station + 1) * kRangeSize; }
LONG firstAddOfRound(int stations) { return firstAdd(stations, 0); }
LONG lastAddOfRound(int stations) { return firstAdd(stations, kMaxStations) - 1; }

struct Options {
    std::string location;  // empty: a temporary data folder
    double seconds = 2.0;
    std::string label;
};

Options readOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const std::string& name, std::string& out) {
            if (arg == name && i + 1 < argc) {
                out = argv[++i];
                return true;
            }
            if (arg.rfind(name + "=", 0) == 0) {
                out = arg.substr(name.size() + 1);
                return true;
            }
            return false;
        };
        std::string seconds;
        if (value("--data", o.location) || value("--label", o.label)) continue;
        if (value("--seconds", seconds)) {
            const double s = std::strtod(seconds.c_str(), nullptr);
            if (s > 0) o.seconds = s;
        }
        // Anything else is meant for another benchmark program.
    }
    if (o.label.empty()) o.label = o.location.empty() ? "SQLite folder" : "server";
    return o;
}

// A data folder of its own under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device rd;
        do path_ = std::filesystem::temp_directory_path() / ("marel-bench-offices-" + std::to_string(rd()));
        while (!std::filesystem::create_directory(path_));
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// What one station did in a round; small enough that a write of it to the
// shared pipe is never mixed with another station's.
struct StationCounts {
    long written = 0;  // increments saved
    long refused = 0;  // saves refused: another station changed the counter first
    long failed = 0;   // reads or saves that failed otherwise
    long added = 0;    // adds committed
    long addFailed = 0;
    double seconds = 0;
};

// The first record at or after `from` on the number key, while it is not past `to`.
bool firstInRange(UliceFile& file, LONG from, LONG to) {
    file.clear();
    file.OZNAKA = from;
    file.setFrom(file.KEYOZNAKA);
    return file.next() == 0 && file.OZNAKA >= from && file.OZNAKA <= to;
}

int removeRange(UliceFile& file, LONG from, LONG to) {
    WriteTransaction tx(file.store(), 10000);
    if (!tx.ok()) return tx.error();
    while (firstInRange(file, from, to))
        if (int rc = file.deleteRecord()) return rc;
    return tx.commit();
}

long countRange(UliceFile& file, LONG from, LONG to) {
    ReadTransaction reading(file.store());
    long n = 0;
    for (bool in = firstInRange(file, from, to); in; in = file.next() == 0 && file.OZNAKA <= to) ++n;
    return n;
}

// Opens the location and the file of streets, making the file when missing.
int openStreets(Store& store, UliceFile& file, const std::string& location) {
    if (int rc = store.open(location, "")) return rc;
    if (file.open() == 0) return 0;
    if (int rc = file.create()) return rc;
    return file.open();
}

// The counter of the round at "0", and no records of the round's numbers.
int prepareRound(const std::string& location, int stations) {
    Store store;
    UliceFile file(store);
    int rc = openStreets(store, file, location);
    if (rc == 0) rc = removeRange(file, counterNumber(stations), counterNumber(stations));
    if (rc == 0) rc = removeRange(file, firstAddOfRound(stations), lastAddOfRound(stations));
    if (rc == 0) {
        file.clear();
        file.OZNAKA = counterNumber(stations);
        file.NAZIV = "0";
        rc = file.add();
    }
    if (rc != 0) std::fprintf(stderr, "offices: cannot prepare %s: %s\n", location.c_str(), errorText().c_str());
    file.close();
    return rc;
}

void addOneToCounter(UliceFile& counter, LONG number, StationCounts& counts) {
    counter.clear();
    counter.OZNAKA = number;
    counter.watch();
    if (counter.get(counter.KEYOZNAKA) != 0) {
        ++counts.failed;
        return;
    }
    counter.NAZIV = std::to_string(std::strtol(counter.NAZIV.str().c_str(), nullptr, 10) + 1);
    std::this_thread::sleep_for(kUsersMoment);  // where another station gets in
    switch (counter.put()) {
        case 0: ++counts.written; break;
        case kChangedByOther: ++counts.refused; break;
        default: ++counts.failed; break;
    }
}

// A number is used once whether its add was committed or not, so that an add
// reported failed but written after all shows up in the count.
void addOwnRecord(UliceFile& file, LONG number, StationCounts& counts) {
    WriteTransaction tx(file.store());
    file.clear();
    file.OZNAKA = number;
    file.NAZIV = "b" + std::to_string(number);  // names are unique too; a counter's is only digits
    if (tx.ok() && file.add() == 0 && tx.commit() == 0) ++counts.added;
    else ++counts.addFailed;
}

// One station: opens the location, says it is ready, waits for the start
// (the end of `go`), works for `seconds` and writes its counts to `results`.
[[noreturn]] void station(const std::string& location, int stations, int index, double seconds, int ready, int go,
                          int results) {
    setPrompter(nullptr);  // the default answers; nobody is there to ask
    Store store;
    UliceFile file(store);
    if (store.open(location, "") != 0 || file.open() != 0) _exit(2);
    char byte = 'r';
    if (write(ready, &byte, 1) != 1) _exit(3);
    close(ready);  // a station that never got this far must not keep the parent waiting
    while (read(go, &byte, 1) > 0) {
    }
    StationCounts counts;
    const LONG counter = counterNumber(stations);
    const LONG last = firstAdd(stations, index + 1) - 1;
    LONG next = firstAdd(stations, index);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    for (long op = 0; std::chrono::steady_clock::now() < end; ++op) {
        addOneToCounter(file, counter, counts);
        if (op % 2 == 1 && next <= last) addOwnRecord(file, next++, counts);
    }
    counts.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    file.close();
    store.close();
    _exit(write(results, &counts, sizeof counts) == sizeof counts ? 0 : 4);
}

struct RoundResult {
    int stations = 0;
    StationCounts sum;
    double seconds = 0;  // the longest station's working time
    long finalCount = 0;
    long addsFound = 0;
    int stationsFailed = 0;
    long lostUpdates() const { return sum.written - finalCount; }
    long missingAdds() const { return sum.added - addsFound; }
    double opsPerSecond() const { return seconds > 0 ? (sum.written + sum.added) / seconds : 0; }
};

// Starts the stations together and gathers what each of them reports.
void runStations(const std::string& location, double seconds, RoundResult& r) {
    int ready[2], go[2], results[2];
    if (pipe(ready) != 0 || pipe(go) != 0 || pipe(results) != 0) {
        r.stationsFailed = r.stations;
        return;
    }
    std::fflush(nullptr);
    std::vector<pid_t> children;
    for (int s = 0; s < r.stations; ++s) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(ready[0]), close(go[1]), close(results[0]);
            station(location, r.stations, s, seconds, ready[1], go[0], results[1]);
        }
        if (pid > 0) children.push_back(pid);
        else ++r.stationsFailed;
    }
    close(ready[1]), close(go[0]), close(results[1]);
    char byte;
    for (size_t s = 0; s < children.size() && read(ready[0], &byte, 1) == 1; ++s) {
    }
    close(go[1]);  // every station that opened the location starts now
    StationCounts c;
    while (read(results[0], &c, sizeof c) == sizeof c) {
        r.sum.written += c.written, r.sum.refused += c.refused, r.sum.failed += c.failed;
        r.sum.added += c.added, r.sum.addFailed += c.addFailed;
        r.seconds = std::max(r.seconds, c.seconds);
    }
    for (pid_t pid : children) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) ++r.stationsFailed;
    }
    close(ready[0]), close(results[0]);
}

// Reads what the round left, then clears its numbers away again.
bool checkRound(const std::string& location, RoundResult& r) {
    Store store;
    UliceFile file(store);
    if (openStreets(store, file, location) != 0) return false;
    file.clear();
    file.OZNAKA = counterNumber(r.stations);
    if (file.get(file.KEYOZNAKA) != 0) return false;
    r.finalCount = std::strtol(file.NAZIV.str().c_str(), nullptr, 10);
    r.addsFound = countRange(file, firstAddOfRound(r.stations), lastAddOfRound(r.stations));
    removeRange(file, counterNumber(r.stations), counterNumber(r.stations));
    removeRange(file, firstAddOfRound(r.stations), lastAddOfRound(r.stations));
    file.close();
    return true;
}

void printTable(const Options& o, const std::vector<RoundResult>& rounds) {
    std::printf("\nStations on one data location (%s), %.1f s a round\n", o.label.c_str(), o.seconds);
    std::printf("%8s %16s %9s %7s %19s %7s %13s %12s\n", "stations", "committed ops/s", "updates", "adds",
                "refused as changed", "failed", "lost updates", "missing adds");
    for (const RoundResult& r : rounds) {
        std::printf("%8d %16.0f %9ld %7ld %19ld %7ld %13ld %12ld", r.stations, r.opsPerSecond(), r.sum.written,
                    r.sum.added, r.sum.refused, r.sum.failed + r.sum.addFailed, r.lostUpdates(), r.missingAdds());
        if (r.stationsFailed)
            std::printf("  (%d of them did not open the location or did not finish)", r.stationsFailed);
        std::printf("\n");
    }
    std::printf("\n");
    for (const RoundResult& r : rounds)
        std::printf("BENCH\toffices %s, %d stations\t%.0f ops/s\t-\t-\tlost %ld\n", o.label.c_str(), r.stations,
                    r.opsPerSecond(), r.lostUpdates() + r.missingAdds());
}

int run(const Options& o, const std::string& location) {
    std::vector<RoundResult> rounds;
    bool sound = true;
    for (int stations = 1; stations <= kMaxStations; stations *= 2) {
        RoundResult r;
        r.stations = stations;
        if (prepareRound(location, stations) != 0) return 1;
        runStations(location, o.seconds, r);
        if (!checkRound(location, r)) {
            std::fprintf(stderr, "offices: the counter of round %d cannot be read: %s\n", stations,
                         errorText().c_str());
            return 1;
        }
        sound = sound && r.stationsFailed == 0 && r.lostUpdates() == 0 && r.missingAdds() == 0;
        rounds.push_back(r);
    }
    printTable(o, rounds);
    return sound ? 0 : 1;
}

}  // namespace
}  // namespace marel

int main(int argc, char** argv) {
    const marel::Options options = marel::readOptions(argc, argv);
    if (!options.location.empty()) return marel::run(options, options.location);
    marel::ScratchFolder folder;
    return marel::run(options, folder.str());
}
