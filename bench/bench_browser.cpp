// The list of recipients on a million people: opening it, paging down,
// jumping to the bottom and locating a surname must each feel instant. A
// page-down is measured beside a plain SQLite program reading the same page
// with the same lookups of place and street, and the comparison printed last.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchLines.h"
#include "PlainSqlite.h"
#include "store/Records.h"
#include "store/Sql.h"
#include "ui/ListBrowser.h"

namespace marel {
namespace {

constexpr int kMillion = 1'000'000;
constexpr int kPage = 20;
constexpr int kPlaces = 550;
constexpr int kStreets = 4000;

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

// A data folder under /tmp with a million recipients, their places and
// streets; the people added in one transaction without keys and then keyed
// in one build. Building it takes a while, so the folder stays for the next
// run, which takes it as it is when it holds all of them.
class MillionPeople {
public:
    MillionPeople() : folder_(std::filesystem::temp_directory_path() / "marel-bench-browser-million") {
        ok_ = reuse() || build();
    }
    ~MillionPeople() {
        for (DataFile* f : files()) f->close();
        Store::main().close();
    }
    bool ok() const { return ok_; }
    std::string database() const { return Store::main().path(); }

private:
    static std::vector<DataFile*> files() { return {&OSOBE, &MJESTA, &ULICE}; }
    bool reuse() {
        if (!std::filesystem::exists(folder_ / "MAREL.DB") || Store::main().open(folder_.string(), "") != 0) return false;
        for (DataFile* f : files())
            if (f->open() != 0) return false;
        return OSOBE.records() == kMillion && MJESTA.records() == kPlaces && ULICE.records() == kStreets;
    }
    bool build() {
        for (DataFile* f : files()) f->close();
        Store& store = Store::main();
        store.close();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        bool ok = store.open(folder_.string(), "") == 0;
        for (DataFile* f : files()) ok = ok && f->create() == 0 && f->open() == 0;
        for (const IndexSql& ix : indexSqls(OsobeFile::LAYOUT(), sqliteDialect()))
            ok = ok && store.exec("DROP INDEX " + sqlName(ix.name)) == 0;
        ok = ok && store.begin() == 0;
        for (int i = 1; ok && i <= kPlaces; ++i) {
            MJESTA.clear();
            MJE.OZNAKA = i;
            MJE.NAZIV = surname(mix(uint64_t(i) << 20)) + " " + std::to_string(i);
            ok = MJESTA.add() == 0;
        }
        for (int i = 1; ok && i <= kStreets; ++i) {
            ULICE.clear();
            ULI.OZNAKA = i;
            ULI.NAZIV = "Ulica " + surname(mix(uint64_t(i) << 24)) + " " + std::to_string(i);
            ok = ULICE.add() == 0;
        }
        for (int i = 0; ok && i < kMillion; ++i) {
            const uint64_t h = mix(uint64_t(i));
            OSOBE.clear();
            OSO.OZNAKA = i + 1;
            OSO.PREZIME = surname(h);
            OSO.IME = kNames[(h >> 32) % std::size(kNames)];
            OSO.OIB = std::to_string(10'000'000'000LL + i);
            OSO.MJESTO = LONG(1 + (h >> 40) % kPlaces);
            OSO.ULICA = LONG(1 + (h >> 48) % kStreets);
            ok = OSOBE.add() == 0;
        }
        return ok && store.commit() == 0 && OSOBE.build() == 0;
    }

    std::filesystem::path folder_;
    bool ok_ = false;
};

MillionPeople& people() {
    static MillionPeople people;
    return people;
}

bool ready(benchmark::State& state) {
    if (!people().ok()) state.SkipWithError(("no million-row file: " + storeErrorText()).c_str());
    return people().ok();
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

// What a program on plain SQLite does for the same page-down: one query for
// the next page in the same key order (surname and name in Croatian order,
// then record id), and for each row the same lookups of place and street.
class PlainPages {
public:
    explicit PlainPages(const std::string& database) : db_(database, SQLITE_OPEN_READONLY) {
        ok_ = db_.ok() && prepare("SELECT rowid, \"OZNAKA\", \"PREZIME\", \"IME\", \"OIB\", \"MJESTO\", \"ULICA\" FROM \"OSOBE\""
                      " WHERE (\"PREZIME\", \"IME\", rowid) > (?, ?, ?) ORDER BY \"PREZIME\", \"IME\", rowid LIMIT ?",
                      page_) &&
              prepare("SELECT \"NAZIV\" FROM \"MJESTA\" WHERE \"OZNAKA\" = ?", place_) &&
              prepare("SELECT \"NAZIV\" FROM \"ULICE\" WHERE \"OZNAKA\" = ?", street_);
    }
    ~PlainPages() {
        for (sqlite3_stmt* st : {page_, place_, street_}) sqlite3_finalize(st);
    }
    bool ok() const { return ok_; }
    void top() { last_ = {"", "", 0}; }
    // The next page; false when a read failed.
    bool pageDown() {
        sqlite3_bind_text(page_, 1, last_.surname.data(), int(last_.surname.size()), SQLITE_STATIC);
        sqlite3_bind_text(page_, 2, last_.name.data(), int(last_.name.size()), SQLITE_STATIC);
        sqlite3_bind_int64(page_, 3, last_.id);
        sqlite3_bind_int(page_, 4, kPage);
        rows_.clear();
        int rc;
        while ((rc = sqlite3_step(page_)) == SQLITE_ROW) {
            Row r;
            r.id = sqlite3_column_int64(page_, 0);
            r.number = sqlite3_column_int64(page_, 1);
            r.surname = text(page_, 2);
            r.name = text(page_, 3);
            r.oib = text(page_, 4);
            r.place = lookup(place_, sqlite3_column_int64(page_, 5));
            r.street = lookup(street_, sqlite3_column_int64(page_, 6));
            rows_.push_back(std::move(r));
        }
        sqlite3_reset(page_);
        if (rc != SQLITE_DONE) return false;
        if (!rows_.empty()) last_ = {rows_.back().surname, rows_.back().name, rows_.back().id};
        return true;
    }
    std::vector<int64_t> ids() const {
        std::vector<int64_t> out;
        for (const Row& r : rows_) out.push_back(r.id);
        return out;
    }

private:
    struct Row {
        int64_t id = 0, number = 0;
        std::string surname, name, oib, place, street;
    };
    struct Last {
        std::string surname, name;
        int64_t id = 0;
    };
    static std::string text(sqlite3_stmt* st, int col) { return PlainSqlite::text(st, col); }
    static std::string lookup(sqlite3_stmt* st, int64_t number) {
        sqlite3_bind_int64(st, 1, number);
        std::string name = sqlite3_step(st) == SQLITE_ROW ? text(st, 0) : std::string();
        sqlite3_reset(st);
        return name;
    }
    bool prepare(const char* sql, sqlite3_stmt*& st) { return (st = db_.prepare(sql)) != nullptr; }

    PlainSqlite db_;
    sqlite3_stmt* page_ = nullptr;
    sqlite3_stmt* place_ = nullptr;
    sqlite3_stmt* street_ = nullptr;
    bool ok_ = false;
    Last last_;
    std::vector<Row> rows_;
};

// Rounds of ten page-downs from the top, the list's and the plain program's
// taking turns; each side's best round counts. Short rounds, many of them:
// on a machine shared with other work, a short round is more often one that
// nothing interrupted.
void BM_PageDownVsPlainSqlite(benchmark::State& state) {
    if (!ready(state)) return;
    PlainPages plain(people().database());
    if (!plain.ok()) return state.SkipWithError("plain SQLite could not open the database");
    auto b = recipients();
    b->open(0);
    constexpr int kPages = 10;
    double ours = 1e9, theirs = 1e9;
    auto perPage = [](auto t0) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / kPages;
    };
    for (auto _ : state) {
        b->top();
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kPages; ++i) b->pageDown();
        ours = std::min(ours, perPage(t0));
        plain.top();
        if (!plain.pageDown()) return state.SkipWithError("plain SQLite could not read");
        t0 = std::chrono::steady_clock::now();
        for (int i = 1; i <= kPages; ++i) plain.pageDown();
        theirs = std::min(theirs, perPage(t0));
        std::vector<int64_t> listed;
        for (auto& r : b->rows()) listed.push_back(r.id);
        if (listed != plain.ids()) return state.SkipWithError("the list and plain SQLite read different pages");
    }
    state.counters["ours_ms"] = ours;
    state.counters["sqlite_ms"] = theirs;
    benchLine("list page-down on 1,000,000 recipients", millis(ours, 3), millis(theirs, 3), times(ours / theirs),
              "<= 1.5x");
}

BENCHMARK(BM_OpenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bottom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LocateSurname)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncrementalLocator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDownVsPlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(41);

}  // namespace
}  // namespace marel

int main(int argc, char** argv) { return marel::runBenchmarks(argc, argv); }
