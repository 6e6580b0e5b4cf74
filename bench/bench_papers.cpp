// The payment's papers: page B of the JOPPD form of a payment of 10,000
// income lines, built into pages (target < 2 s) and written as one PDF file
// (target < 5 s, building included; from the data to the file in no more
// time than Qt's own PDF writer takes for the same texts), and a one-page
// report from the command line, the program started afresh each time
// (target < 0.5 s wall).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "joppd/JoppdPages.h"
#include "preview/WmfPlayer.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "BenchFolder.h"
#include "BenchPayment.h"
#include "QtTextBaseline.h"

namespace marel {
namespace {

constexpr int kLines = 10'000;

class PapersData : public BenchFolder {
public:
    PapersData() : BenchFolder("papers") { ok = opened_ && fill(); }
    bool ok = false;

private:
    bool fill() {
        for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &MJESTA, &OBRACUN, &OPCINE, &OSOBE,
                                                             &SUBJEKTI, &SVASTA, &ULICE, &VRSTEDOH, &POZICIJE})
            files_.add(*f);
        WriteTransaction tx;
        if (!tx.ok()) return false;
        BenchAdder add;
        addBenchPayer(add);
        for (USHORT pos = 1; pos <= 12; ++pos) {
            POZICIJE.clear();
            POZ.OZNAKA = pos;
            POZ.NAZIV = "Pozicija " + std::to_string(pos);
            add(POZICIJE);
        }
        addBenchPeople(add, kLines);
        addBenchPayment(add, 1, Date::fromYmd(2014, 2, 5));
        for (int n = 1; n <= kLines; ++n) {
            addBenchLine(add, n, 1, n, 1, 12);
            SVASTA.clear();
            SVA.DOHODAK = n;
            SVA.BROJ = 1;
            SVA.VRISHORT = 1;
            add(SVASTA);
        }
        return add.good && tx.commit() == 0;
    }
};

PapersData& data() {
    static PapersData d;
    return d;
}

void BM_PageB(benchmark::State& state) {
    PapersData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    size_t pages = 0;
    for (auto _ : state) {
        auto report = joppdPageB(1, 'L');
        if (!report) return state.SkipWithError("no pages");
        pages = report->pages().size();
    }
    state.counters["pages"] = double(pages);
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_PageBPdf(benchmark::State& state) {
    PapersData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    const std::string pdf = (d.path() / "stranicab.pdf").string();
    for (auto _ : state) {
        auto report = joppdPageB(1, 'L');
        if (!report || !savePdf(pdf, report->pages(), report->title())) return state.SkipWithError("no PDF");
    }
    state.counters["MB"] = double(std::filesystem::file_size(pdf)) / 1e6;
    state.SetItemsProcessed(state.iterations() * kLines);
}

// The same PDF beside Qt drawing its texts: the goal is at most Qt's time.
void BM_PageBPdfVsQt(benchmark::State& state) {
    PapersData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    measureAgainstQt(state, d.path(), [] { return joppdPageB(1, 'L'); });
}

// The program as a user starts it: a recapitulation of one line as a PDF.
void BM_CommandLineOnePage(benchmark::State& state) {
    PapersData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    const std::string out = (d.path() / "obracun.pdf").string();
    const std::string command = std::string("'") + MAREL_BINARY + "' export OBRACUNISP dohodak=1 --data '" +
                                d.path().string() + "' --out '" + out + "' >/dev/null";
    for (auto _ : state) {
        std::filesystem::remove(out);
        if (std::system(command.c_str()) != 0) return state.SkipWithError("export failed");
    }
}

BENCHMARK(BM_PageB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PageBPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PageBPdfVsQt)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_CommandLineOnePage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace marel

int main(int argc, char** argv) {
    // PDF files need fonts, not a display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
