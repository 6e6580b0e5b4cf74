// The keyed file store under load: a recipients file of a million people,
// located by surname and read a page at a time either way, and a hundred
// thousand people added in one transaction, beside a plain SQLite program
// adding the same people to the same table (the comparison printed last).
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
#include "common/CheckDigits.h"
#include "store/Records.h"
#include "store/Sql.h"

namespace marel {
namespace {

constexpr int kMillion = 1'000'000;
constexpr int kBatch = 100'000;
constexpr int kPage = 20;

const char* const kSurnames[] = {
    "Horvat", "Kovačević", "Babić", "Marić", "Jurić", "Novak", "Kovačić", "Knežević", "Vuković",
    "Marković", "Petrović", "Matić", "Tomić", "Pavlović", "Kovač", "Božić", "Blažević", "Grgić",
    "Pavić", "Radić", "Perić", "Filipović", "Šarić", "Lovrić", "Vidović", "Perković", "Popović",
    "Bošnjak", "Jukić", "Barišić", "Nikolić", "Mandić", "Rukavina", "Lončar", "Šimić", "Martinović",
    "Kolar", "Brkić", "Vukelić", "Galić", "Sertić", "Čović", "Čačić", "Ćosić", "Đurić",
    "Đaković", "Džaja", "Žagar", "Žužić", "Šimunović", "Klarić", "Mikulić", "Bašić", "Ivanković",
    "Josipović", "Jelić", "Cindrić", "Golubić", "Vučković", "Rogić", "Herceg", "Bilić", "Lukić",
    "Matijević", "Jozić", "Kralj", "Jakovljević", "Ivančić", "Ilić", "Tadić", "Grubišić", "Ljubić",
    "Njavro", "Sever", "Vrdoljak", "Zorić", "Crnković", "Dragičević", "Pranjić", "Kos",
};
// Roots and endings of the rarer surnames, a few hundred of them.
const char* const kRoots[] = {
    "Bab", "Bar", "Ben", "Bog", "Bor", "Brk", "Buč", "Čup", "Dam", "Dok", "Dub", "Fab", "Gal",
    "Gaš", "Grb", "Hrg", "Ivk", "Jag", "Jan", "Kab", "Kel", "Klj", "Kos", "Krp", "Lač", "Lej",
    "Mač", "Mek", "Mil", "Mrk", "Nad", "Nin", "Oreš", "Pal", "Pej", "Pil", "Rad", "Rež", "Sab",
    "Sel", "Stip", "Šab", "Šek", "Škar", "Tom", "Tur", "Vel", "Vrb", "Zel", "Živ",
};
const char* const kEndings[] = {"ić", "ović", "ević", "inović", "ec", "ak"};
const char* const kFirstNames[] = {
    "Ivan", "Marko", "Josip", "Luka", "Tomislav", "Stjepan", "Ante", "Petar", "Nikola", "Mario",
    "Željko", "Dražen", "Goran", "Zoran", "Krešimir", "Damir", "Davor", "Hrvoje", "Matej", "Filip",
    "Domagoj", "Đuro", "Šime", "Čedomir", "Branimir", "Zvonimir", "Dario", "Igor", "Robert", "Vladimir",
    "Marija", "Ana", "Ivana", "Kata", "Mara", "Nikolina", "Petra", "Lucija", "Maja", "Martina",
    "Jelena", "Snježana", "Željka", "Đurđica", "Ljiljana", "Vesna", "Sanja", "Mirjana", "Gordana", "Dubravka",
    "Katarina", "Tihana", "Iva", "Lana", "Sara", "Ema", "Dora", "Tena", "Nataša", "Božena",
};

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string surname(uint64_t h) {
    // Six people in ten carry one of the common surnames.
    if (h % 10 < 6) return kSurnames[(h / 10) % std::size(kSurnames)];
    h /= 10;
    return std::string(kRoots[h % std::size(kRoots)]) + kEndings[(h / std::size(kRoots)) % std::size(kEndings)];
}

std::string digits(uint64_t value, int width) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*llu", width, static_cast<unsigned long long>(value % 10'000'000'000ull));
    return buf;
}

// Person n, the same on every run. The OIB body is n times a number prime to
// ten, modulo 10^10: a permutation, so no two people share an OIB.
struct Person {
    LONG number = 0;
    std::string surname, name, oib, houseNumber, account;
    LONG place = 0, street = 0;
    USHORT bank = 0;
};
Person personAt(int64_t n) {
    const uint64_t h = mix(uint64_t(n));
    Person p;
    p.number = LONG(n + 1);
    p.surname = surname(h);
    p.name = kFirstNames[(h >> 24) % std::size(kFirstNames)];
    const std::string oib = digits(uint64_t(n) * 7'919'000'003ull + 1'234'567'891ull, 10);
    p.oib = oib + char('0' + mod11_10CheckDigit(oib));
    p.place = LONG(1 + (h >> 32) % 550);
    p.street = LONG(1 + (h >> 40) % 4000);
    p.houseNumber = std::to_string(1 + (h >> 12) % 180);
    p.bank = USHORT(1 + (h >> 52) % 25);
    p.account = digits(mix(h), 10);
    return p;
}

void fillPerson(OsobeFile& file, int64_t n) {
    const Person p = personAt(n);
    file.clear();
    file.OZNAKA = p.number;
    file.PREZIME = p.surname;
    file.IME = p.name;
    file.OIB = p.oib;
    file.MJESTO = p.place;
    file.ULICA = p.street;
    file.KUCNIBROJ = p.houseNumber;
    file.BANKA = p.bank;
    file.RACUN = p.account;
    static const Dec<5, 2> one = 1;
    file.FAKTORODBITKA = one;
}

// A fresh folder under /tmp, removed with the object.
class BenchFolder {
public:
    explicit BenchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / ("marel-bench-" + name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// A store on its own temporary folder with a recipients file on it.
struct BenchStore {
    explicit BenchStore(const std::string& name, Store& s, OsobeFile& f) : folder(name), store(s), file(f) {
        ok = store.open(folder.str(), "") == 0 && file.create() == 0 && file.open() == 0;
    }
    ~BenchStore() {
        file.close();
        store.close();
    }
    // Drops the file and adds people 0..n-1 to a new one in one transaction.
    bool refill(int n) { return fresh() && add(n); }
    bool fresh() {
        file.close();
        return file.remove() == 0 && file.create() == 0 && file.open() == 0;
    }
    bool add(int n) {
        WriteTransaction tx(store);
        if (!tx.ok()) return false;
        for (int i = 0; i < n; ++i) {
            fillPerson(file, i);
            if (file.add() != 0) return false;
        }
        return tx.commit() == 0;
    }
    BenchFolder folder;
    Store& store;
    OsobeFile& file;
    bool ok = false;
    bool full = false;  // holds the million
};

// The program's own database and OSOBE, shared by the reading benchmarks.
BenchStore& mainStore() {
    static BenchStore s("main", Store::main(), OSOBE);
    return s;
}

bool ensureMillion(benchmark::State& state) {
    BenchStore& s = mainStore();
    if (s.ok && !s.full) s.full = s.refill(kMillion);
    if (!s.ok || !s.full) state.SkipWithError(("no million-row file: " + storeErrorText()).c_str());
    return s.ok && s.full;
}

// Surnames to look for: every common one and a spread of the rarer ones.
std::vector<std::string> targets() {
    std::vector<std::string> out(std::begin(kSurnames), std::end(kSurnames));
    for (size_t r = 0; r < std::size(kRoots); r += 3)
        out.push_back(std::string(kRoots[r]) + kEndings[r % std::size(kEndings)]);
    return out;
}

// Positions OSOBE on the first person with this surname.
bool locate(const std::string& name) {
    OSOBE.clear();
    OSO.PREZIME = name;
    OSOBE.setFrom(OSOBE.KEYPREZIMEIME);
    return OSOBE.next() == 0 && OSO.PREZIME == name;
}

// Times each iteration on its own so that the median and the 99th percentile
// can be shown next to the mean.
template <typename Body>
void timed(benchmark::State& state, Body body) {
    std::vector<double> us;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        if (!body()) {
            state.SkipWithError(("read failed: " + storeErrorText()).c_str());
            break;
        }
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    if (us.empty()) return;
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
}

void BM_BuildMillion(benchmark::State& state) {
    BenchStore& s = mainStore();
    for (auto _ : state) {
        s.full = s.ok && s.refill(kMillion);
        if (!s.full) state.SkipWithError(("build failed: " + storeErrorText()).c_str());
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}

void BM_AddBatch(benchmark::State& state) {
    Store store;
    OsobeFile people(store);
    BenchStore s("add", store, people);
    if (!s.ok) {
        state.SkipWithError(("no store: " + storeErrorText()).c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        people.close();
        bool fresh = people.remove() == 0 && people.create() == 0 && people.open() == 0;
        state.ResumeTiming();
        WriteTransaction tx(store);
        bool ok = fresh && tx.ok();
        for (int i = 0; ok && i < kBatch; ++i) {
            fillPerson(people, i);
            ok = people.add() == 0;
        }
        if (!ok || tx.commit() != 0) {
            state.SkipWithError(("add failed: " + storeErrorText()).c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_Locate(benchmark::State& state) {
    if (!ensureMillion(state)) return;
    auto names = targets();
    size_t i = 0;
    timed(state, [&] { return locate(names[i++ % names.size()]); });
}

// Locate, then a page of rows after the located one or before it.
void BM_Page(benchmark::State& state) {
    if (!ensureMillion(state)) return;
    const bool forward = state.range(0) != 0;
    auto names = targets();
    size_t i = 0;
    timed(state, [&] {
        if (!locate(names[i++ % names.size()])) return false;
        for (int r = 0; r < kPage; ++r)
            if ((forward ? OSOBE.next() : OSOBE.previous()) != 0) return false;
        return true;
    });
}

// A plain SQLite program with the recipients table and its keys, as the
// store makes them, adding people in one transaction.
class PlainAdds {
public:
    explicit PlainAdds(const std::string& path) : db_(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) {
        // The store's own settings, so that only the work per record differs.
        ok_ = db_.ok() && db_.exec("PRAGMA journal_mode=DELETE") && db_.exec("PRAGMA cache_size=-65536");
    }
    ~PlainAdds() { sqlite3_finalize(insert_); }
    bool ok() const { return ok_; }
    // A new, empty table (outside the timing).
    bool fresh() {
        const Layout& layout = OsobeFile::LAYOUT();
        sqlite3_finalize(insert_);
        bool ok = db_.exec("DROP TABLE IF EXISTS \"OSOBE\"") && db_.exec(tableSql(layout, sqliteDialect()));
        for (const IndexSql& ix : indexSqls(layout, sqliteDialect())) ok = ok && db_.exec(ix.sql);
        insert_ = db_.prepare("INSERT INTO \"OSOBE\"(\"OZNAKA\", \"PREZIME\", \"IME\", \"OIB\", \"MJESTO\", \"ULICA\", "
                              "\"KUCNIBROJ\", \"BANKA\", \"RACUN\", \"FAKTORODBITKA\") VALUES(?,?,?,?,?,?,?,?,?,?)");
        return ok && insert_;
    }
    bool add(int n) {
        bool ok = db_.exec("BEGIN");
        for (int i = 0; ok && i < n; ++i) {
            const Person p = personAt(i);
            sqlite3_bind_int64(insert_, 1, p.number);
            int k = 2;
            for (const std::string* t : {&p.surname, &p.name, &p.oib})
                sqlite3_bind_text(insert_, k++, t->data(), int(t->size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert_, 5, p.place);
            sqlite3_bind_int64(insert_, 6, p.street);
            sqlite3_bind_text(insert_, 7, p.houseNumber.data(), int(p.houseNumber.size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert_, 8, p.bank);
            sqlite3_bind_text(insert_, 9, p.account.data(), int(p.account.size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert_, 10, 100);  // 1.00 as the store keeps it, in hundredths
            ok = sqlite3_step(insert_) == SQLITE_DONE;
            sqlite3_reset(insert_);
        }
        return db_.exec(ok ? "COMMIT" : "ROLLBACK") && ok;
    }

private:
    PlainSqlite db_;
    sqlite3_stmt* insert_ = nullptr;
    bool ok_ = false;
};

// Rounds of a batch added by the store and by plain SQLite in turn; each
// side's best round counts. The ratio is plain SQLite's time over ours.
void BM_AddBatchVsPlainSqlite(benchmark::State& state) {
    Store store;
    OsobeFile people(store);
    BenchStore s("addvs", store, people);
    PlainAdds plain(s.folder.str() + "/PLAIN.DB");
    if (!s.ok || !plain.ok()) return state.SkipWithError("no store");
    double ours = 1e9, theirs = 1e9;
    auto since = [](auto t0) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    };
    for (auto _ : state) {
        if (!plain.fresh()) return state.SkipWithError("plain SQLite: no table");
        auto t0 = std::chrono::steady_clock::now();
        if (!plain.add(kBatch)) return state.SkipWithError("plain SQLite: add failed");
        theirs = std::min(theirs, since(t0));
        if (!s.fresh()) return state.SkipWithError(("no file: " + storeErrorText()).c_str());
        t0 = std::chrono::steady_clock::now();
        if (!s.add(kBatch)) return state.SkipWithError(("add failed: " + storeErrorText()).c_str());
        ours = std::min(ours, since(t0));
    }
    state.counters["ours_ms"] = ours;
    state.counters["sqlite_ms"] = theirs;
    benchLine("store adds", millis(ours, 0), millis(theirs, 0), times(theirs / ours), ">= 0.9x");
}

BENCHMARK(BM_AddBatch)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AddBatchVsPlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BuildMillion)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_Locate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Page)->ArgName("forward")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace marel

int main(int argc, char** argv) { return marel::runBenchmarks(argc, argv); }
