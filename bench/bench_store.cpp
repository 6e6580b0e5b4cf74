// The keyed file store under load: a recipients file of a million people,
// located by surname and read a page at a time either way, and a hundred
// thousand people added in one transaction.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/CheckDigits.h"
#include "store/Records.h"

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
void fillPerson(OsobeFile& file, int64_t n) {
    const uint64_t h = mix(uint64_t(n));
    file.clear();
    file.OZNAKA = LONG(n + 1);
    file.PREZIME = surname(h);
    file.IME = kFirstNames[(h >> 24) % std::size(kFirstNames)];
    std::string oib = digits(uint64_t(n) * 7'919'000'003ull + 1'234'567'891ull, 10);
    file.OIB = oib + char('0' + mod11_10CheckDigit(oib));
    file.MJESTO = LONG(1 + (h >> 32) % 550);
    file.ULICA = LONG(1 + (h >> 40) % 4000);
    file.KUCNIBROJ = std::to_string(1 + (h >> 12) % 180);
    file.BANKA = USHORT(1 + (h >> 52) % 25);
    file.RACUN = digits(mix(h), 10);
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
    bool refill(int n) {
        file.close();
        if (file.remove() != 0 || file.create() != 0 || file.open() != 0) return false;
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

BENCHMARK(BM_AddBatch)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BuildMillion)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_Locate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Page)->ArgName("forward")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace marel
