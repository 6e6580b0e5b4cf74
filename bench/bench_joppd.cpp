// The JOPPD report of a large payment: 10,000 income lines of 10,000 people,
// each with its twelve calculation lines and a payment method, built into
// rows and written as the XML file, beside libxml2 reading the file just
// written as `xmllint --noout` does: the goal is no slower than that.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
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
#include "BenchLines.h"
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

double millisecondsOf(const std::function<bool()>& run, bool& ok) {
    const auto start = std::chrono::steady_clock::now();
    ok = run() && ok;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Ours and the parse of the same file in turns; the minimum of each.
void BM_JoppdFileVsParse(benchmark::State& state) {
    struct {
        double ours = 1e300, parse = 1e300;
    } versusParse;
    JoppdData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    const std::string path = (d.path() / "JOPPD-vs-parse.xml").string();
    bool ok = true;
    for (auto _ : state) {
        versusParse.ours = std::min(versusParse.ours, millisecondsOf([&] { return FORMIRAJ(1, path); }, ok));
        versusParse.parse = std::min(versusParse.parse, millisecondsOf(
                                                            [&] {
                                                                xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, 0);
                                                                xmlFreeDoc(doc);
                                                                return doc != nullptr;
                                                            },
                                                            ok));
    }
    if (!ok) return state.SkipWithError("file not written or not read");
    state.counters["ours_ms"] = versusParse.ours;
    state.counters["parse_ms"] = versusParse.parse;
    benchLine("JOPPD file of 10,000 lines", millis(versusParse.ours, 0), millis(versusParse.parse, 0),
              times(versusParse.ours / versusParse.parse), "<= 1.0x");
}

BENCHMARK(BM_JoppdRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JoppdFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JoppdFileVsParse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

}  // namespace
}  // namespace marel

int main(int argc, char** argv) { return marel::runBenchmarks(argc, argv); }
