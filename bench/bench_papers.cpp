// The payment's papers: page B of the JOPPD form of a payment of 10,000
// income lines, built into pages (target < 2 s) and written as one PDF file
// (target < 5 s, building included), and a one-page report from the command
// line, the program started afresh each time (target < 0.5 s wall).
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

namespace marel {
namespace {

constexpr int kLines = 10'000;

const char* const kAmounts[] = {"1000.00", "0.00",  "300.00", "700.00", "105.00", "35.00",
                                "560.00",  "140.00", "25.20",  "694.80", "105.00", "0.00"};

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
        bool good = true;
        auto add = [&](DataFile& f) { good = good && f.add() == 0; };

        OPCINE.clear();
        OPC.OZNAKA = 1;
        OPC.SHIFRA = "1333";
        OPC.STOPAPRIREZA = Decimal(18);
        add(OPCINE);
        MJESTA.clear();
        MJE.OZNAKA = 1;
        MJE.NAZIV = "Zagreb";
        MJE.OPCINA = 1;
        add(MJESTA);
        SUBJEKTI.clear();
        SUB.OZNAKA = 1;
        SUB.TIP = "P";
        SUB.NAZIV = "Šećerana Čađavica d.o.o.";
        SUB.OIB = "69435151530";
        SUB.MJESTO = 1;
        add(SUBJEKTI);
        VRSTEDOH.clear();
        VRS.OZNAKA = 1;
        VRS.REZSTRINGA = "02";
        VRS.REZSTRINGB = "4001";
        add(VRSTEDOH);
        for (USHORT pos = 1; pos <= 12; ++pos) {
            POZICIJE.clear();
            POZ.OZNAKA = pos;
            POZ.NAZIV = "Pozicija " + std::to_string(pos);
            add(POZICIJE);
        }
        for (int p = 1; p <= kLines; ++p) {
            OSOBE.clear();
            OSO.OZNAKA = p;
            OSO.IME = "Đurđica";
            OSO.PREZIME = "Šimunović " + std::to_string(p);
            OSO.OIB = std::to_string(10'000'000'000LL + p);
            OSO.MJESTO = 1;
            add(OSOBE);
        }
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ISP.ISPLATITELJ = 1;
        ISP.DATUM = Date::fromYmd(2014, 2, 5);
        ISP.RSID = "14036";
        add(ISPLATE);
        for (int n = 1; n <= kLines; ++n) {
            DOHOCI.clear();
            DOH.OZNAKA = n;
            DOH.REDNIBROJ = USHORT(n);
            DOH.ISPLATA = 1;
            DOH.DJELATNIK = n;
            DOH.VRSTADOHOTKA = 1;
            add(DOHOCI);
            for (USHORT pos = 1; pos <= 12; ++pos) {
                OBRACUN.clear();
                OBR.DOHODAK = n;
                OBR.POZICIJA = pos;
                OBR.IZNOS = Decimal::parse(kAmounts[pos - 1]);
                add(OBRACUN);
            }
            SVASTA.clear();
            SVA.DOHODAK = n;
            SVA.BROJ = 1;
            SVA.VRISHORT = 1;
            add(SVASTA);
        }
        return good && tx.commit() == 0;
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
