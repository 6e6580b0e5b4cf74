// The list of recipients on a million people: opening it, paging down,
// jumping to the bottom and locating a surname must each feel instant.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "store/Records.h"
#include "store/Sql.h"
#include "ui/ListBrowser.h"

namespace marel {
namespace {

constexpr int kMillion = 1'000'000;
constexpr int kPage = 20;

const char* const kRoots[] = {"Bab", "Bar", "Ben", "Bog", "Bor", "Brk", "Buč", "Čup", "Ćos", "Dam", "Đur", "Dub",
                              "Fab", "Gal", "Grb", "Hor", "Ivk", "Jur", "Kel", "Kov", "Kos", "Lov", "Mar", "Mil",
                              "Nov", "Pav", "Per", "Rad", "Šar", "Šim", "Tom", "Vuk", "Živ", "Žag"};
const char* const kEndings[] = {"ić", "ović", "ević", "inović", "ec", "ak", "ar", "an"};
const char* const kNames[] = {"Ivan", "Marko", "Ana", "Marija", "Josip", "Luka", "Petra", "Željko", "Đuro", "Šime"};

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string surname(uint64_t h) {
    return std::string(kRoots[h % std::size(kRoots)]) + kEndings[(h / std::size(kRoots)) % std::size(kEndings)];
}

// A data folder under /tmp with a million recipients, added in one
// transaction without keys and then keyed in one build.
class MillionPeople {
public:
    MillionPeople()
        : folder_(std::filesystem::temp_directory_path() / ("marel-bench-browser-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        Store& store = Store::main();
        ok_ = store.open(folder_.string(), "") == 0;
        for (DataFile* f : {static_cast<DataFile*>(&OSOBE), static_cast<DataFile*>(&MJESTA), static_cast<DataFile*>(&ULICE)})
            ok_ = ok_ && f->create() == 0 && f->open() == 0;
        for (const IndexSql& ix : indexSqls(OsobeFile::LAYOUT()))
            ok_ = ok_ && store.exec("DROP INDEX " + sqlName(ix.name)) == 0;
        ok_ = ok_ && store.begin() == 0;
        for (int i = 0; ok_ && i < kMillion; ++i) {
            const uint64_t h = mix(uint64_t(i));
            OSOBE.clear();
            OSO.OZNAKA = i + 1;
            OSO.PREZIME = surname(h);
            OSO.IME = kNames[(h >> 32) % std::size(kNames)];
            OSO.OIB = std::to_string(10'000'000'000LL + i);
            OSO.MJESTO = LONG(1 + (h >> 40) % 550);
            OSO.ULICA = LONG(1 + (h >> 48) % 4000);
            ok_ = OSOBE.add() == 0;
        }
        ok_ = ok_ && store.commit() == 0 && OSOBE.build() == 0;
    }
    ~MillionPeople() {
        Store::main().close();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    bool ok() const { return ok_; }

private:
    std::filesystem::path folder_;
    bool ok_ = false;
};

bool ready(benchmark::State& state) {
    static MillionPeople people;
    if (!people.ok()) state.SkipWithError(("no million-row file: " + storeErrorText()).c_str());
    return people.ok();
}

// The recipients list as its screen sets it up: by surname, with the place and
// street read for every row, the incremental locator and the letter stops.
std::unique_ptr<ListBrowser> recipients() {
    auto b = std::make_unique<ListBrowser>(
        OSOBE,
        "48L(1)|M~Prezime~@s25@46L(1)|M~Ime~@s20@47L(1)|M~OIB~@s11@56L(1)|M~Mjesto~@s25@68L(1)|M~Ulica~@s25@"
        "64R(2)|M~Oznaka~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(OSOBE, "PREZIME"), ColumnSource::of(OSOBE, "IME"),
                                  ColumnSource::of(OSOBE, "OIB"), ColumnSource::of(MJESTA, "NAZIV"),
                                  ColumnSource::of(ULICE, "NAZIV"), ColumnSource::of(OSOBE, "OZNAKA")});
    b->addSortOrder({OSOBE.KEYPREZIMEIME, Locator::Incremental, Stops::Letters, {}, {}});
    b->related = [] {
        MJE.OZNAKA = OSO.MJESTO;
        if (MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
        ULI.OZNAKA = OSO.ULICA;
        if (ULICE.get(ULICE.KEYOZNAKA) != 0) ULICE.clear();
    };
    b->setPageSize(kPage);
    return b;
}

// Times every step on its own and reports the median and the 99th percentile.
class Steps {
public:
    template <typename Body>
    void time(Body body) {
        auto t0 = std::chrono::steady_clock::now();
        body();
        ms_.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    void report(benchmark::State& state) {
        if (ms_.empty()) return;
        std::sort(ms_.begin(), ms_.end());
        state.counters["median_ms"] = ms_[ms_.size() / 2];
        state.counters["p99_ms"] = ms_[ms_.size() * 99 / 100];
        state.counters["max_ms"] = ms_.back();
    }

private:
    std::vector<double> ms_;
};

void BM_OpenList(benchmark::State& state) {
    if (!ready(state)) return;
    Steps steps;
    for (auto _ : state) {
        auto b = recipients();
        steps.time([&] { b->open(0); });
        if (b->rows().size() != size_t(kPage)) state.SkipWithError("short first page");
        b->closeList();
    }
    steps.report(state);
}

// A hundred page-downs from the top, each step timed.
void BM_PageDown(benchmark::State& state) {
    if (!ready(state)) return;
    auto b = recipients();
    b->open(0);
    Steps steps;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) steps.time([&] { b->pageDown(); });
        state.PauseTiming();
        b->top();
        state.ResumeTiming();
    }
    steps.report(state);
}

void BM_Bottom(benchmark::State& state) {
    if (!ready(state)) return;
    auto b = recipients();
    b->open(0);
    Steps steps;
    for (auto _ : state) {
        steps.time([&] { b->bottom(); });
        state.PauseTiming();
        b->top();
        state.ResumeTiming();
    }
    steps.report(state);
}

// The entry locator of the screen: a whole surname typed and accepted.
void BM_LocateSurname(benchmark::State& state) {
    if (!ready(state)) return;
    auto b = recipients();
    b->open(0);
    Steps steps;
    uint64_t n = 0;
    for (auto _ : state) {
        const std::string name = surname(mix(n++));
        steps.time([&] { b->entryLocate(name); });
        if (b->rows().empty() || b->rows().front().values[0] != name) state.SkipWithError(("not found: " + name).c_str());
    }
    steps.report(state);
}

// Typing a surname letter by letter into the incremental locator.
void BM_IncrementalLocator(benchmark::State& state) {
    if (!ready(state)) return;
    auto b = recipients();
    b->open(0);
    Steps steps;
    for (auto _ : state) {
        for (const char* c : {"k", "o", "v", "a", "č"}) steps.time([&] { b->typeChar(c); });
        state.PauseTiming();
        while (!b->locatorText().empty()) b->backspace();
        state.ResumeTiming();
    }
    steps.report(state);
}

BENCHMARK(BM_OpenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bottom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LocateSurname)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncrementalLocator)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marel
