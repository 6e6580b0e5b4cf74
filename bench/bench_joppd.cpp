// The JOPPD report of a large payment: 10,000 income lines of 10,000 people,
// each with its twelve calculation lines and a payment method, built into
// rows and written as the XML file. Target: well under a second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <unistd.h>

#include "common/Prompter.h"
#include "joppd/JoppdRows.h"
#include "joppd/JoppdXml.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "BenchFolder.h"
#include "BenchPayment.h"

namespace marel {
namespace {

constexpr int kLines = 10'000;
constexpr int kPeople = 10'000;

class JoppdData : public BenchFolder {
public:
    // The check before the file is written wants the supplied JOPPD code tables.
    JoppdData() : BenchFolder("joppd", suppliedDataDir()) {
        std::filesystem::create_directories(folder_ / "XML");
        ok = opened_ && fill();
    }
    bool ok = false;

private:
    bool fill() {
        for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &JOPO, &MJESTA, &OBRACUN, &OPCINE,
                                                             &OSOBE, &SUBJEKTI, &SVASTA, &ULICE, &VRSTEDOH})
            files_.add(*f);
        WriteTransaction tx;
        if (!tx.ok()) return false;
        BenchAdder add;
        addBenchPayer(add);
        addBenchPeople(add, kPeople);
        addBenchPayment(add, 1, Date::fromYmd(2014, 2, 5));
        for (int n = 1; n <= kLines; ++n) {
            addBenchLine(add, n, 1, 1 + (n - 1) % kPeople, 1, 12);
            SVASTA.clear();
            SVA.DOHODAK = n;
            SVA.BROJ = 1;
            SVA.VRISHORT = 1;
            add(SVASTA);
        }
        JOPO.clear();
        JOPO.OZNAKA = 1;
        JOPO.ISPLATA = 1;
        JOPO.IMEAUTORA = "Ana";
        JOPO.PREZIMEAUTORA = "Anić";
        JOPO.EMAIL = "ana@example.hr";
        JOPO.UJED = "3f2a9c1e-5b7d-4e8f-9a0b-1c2d3e4f5a6b";
        add(JOPO);
        return add.good && tx.commit() == 0;
    }
};

JoppdData& data() {
    static JoppdData d;
    return d;
}

void BM_JoppdRows(benchmark::State& state) {
    JoppdData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    JoppdRows rows;
    for (auto _ : state) {
        JOPO.OZNAKA = 1;
        JOPO.get(JOPO.KEYOZNAKA);
        ISP.OZNAKA = 1;
        ISPLATE.get(ISPLATE.KEYOZNAKA);
        if (!PUNI(rows, ISP) || rows.BRREDAKA() != kLines) return state.SkipWithError("build failed");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_JoppdFile(benchmark::State& state) {
    JoppdData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    for (auto _ : state) {
        d.ask.messages.clear();
        if (!FORMIRAJ(1)) return state.SkipWithError(("file not written: " + (d.ask.messages.empty() ? std::string() : d.ask.messages.back().text)).c_str());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(BM_JoppdRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JoppdFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marel
