// The certificates of a payer's year for everyone at once: 1,000 recipients,
// each paid twelve times (one payment a month, 1,000 income lines each, with
// fourteen calculation lines per line). Targets: the pages generated in
// under 5 s, written as one PDF file in under 15 s.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "BenchFolder.h"
#include "certificates/Certificates.h"
#include "preview/WmfPlayer.h"
#include "session/Globals.h"
#include "store/Records.h"

namespace marel {
namespace {

constexpr int kPeople = 1'000;
constexpr int kMonths = 12;

const char* const kAmounts[] = {"1000.00", "0.00",  "300.00", "700.00", "105.00", "35.00", "560.00",
                                "140.00",  "25.20", "694.80", "105.00", "0.00",   "0.00",  "694.80"};

class CertificateData : public BenchFolder {
public:
    CertificateData() : BenchFolder("certificates") { ok = opened_ && fill(); }
    bool ok = false;

private:
    bool fill() {
        for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &MJESTA, &OBRACUN, &OSOBE,
                                                             &SUBJEKTI, &ULICE, &VRSTEDOH})
            files_.add(*f);
        WriteTransaction tx;
        if (!tx.ok()) return false;
        bool good = true;
        auto add = [&](DataFile& f) { good = good && f.add() == 0; };

        MJESTA.clear();
        MJE.OZNAKA = 1;
        MJE.NAZIV = "Zagreb";
        add(MJESTA);
        ULICE.clear();
        ULI.OZNAKA = 1;
        ULI.NAZIV = "Ilica";
        add(ULICE);
        SUBJEKTI.clear();
        SUB.OZNAKA = 1;
        SUB.NAZIV = "Šećerana Čađavica d.o.o.";
        SUB.OIB = "69435151530";
        SUB.MJESTO = 1;
        SUB.ULICA = 1;
        SUB.KUCNIBROJ = "12";
        add(SUBJEKTI);
        for (BYTE t = 1; t <= 2; ++t) {
            VRSTEDOH.clear();
            VRS.OZNAKA = t;
            VRS.NAZIV = t == 1 ? "Autorski honorar" : "Ugovor o djelu";
            VRS.PRIZNATITROSKOVI = Decimal(30);
            add(VRSTEDOH);
        }
        for (int p = 1; p <= kPeople; ++p) {
            OSOBE.clear();
            OSO.OZNAKA = p;
            OSO.IME = "Đurđica";
            OSO.PREZIME = "Šimunović " + std::to_string(p);
            OSO.OIB = std::to_string(10'000'000'000LL + p);
            OSO.MJESTO = 1;
            OSO.ULICA = 1;
            OSO.KUCNIBROJ = "3";
            add(OSOBE);
        }
        LONG line = 0;
        for (int m = 1; m <= kMonths; ++m) {
            ISPLATE.clear();
            ISP.OZNAKA = m;
            ISP.ISPLATITELJ = 1;
            ISP.DATUM = Date::fromYmd(2014, m, 10);
            ISP.GODINA = "2014";
            char rsid[8];
            std::snprintf(rsid, sizeof rsid, "14%03d", ISP.DATUM.dayOfYear());
            ISP.RSID = rsid;
            add(ISPLATE);
            for (int p = 1; p <= kPeople; ++p) {
                DOHOCI.clear();
                DOH.OZNAKA = ++line;
                DOH.ISPLATA = m;
                DOH.DJELATNIK = p;
                DOH.VRSTADOHOTKA = BYTE(1 + m % 2);
                add(DOHOCI);
                for (USHORT pos = 1; pos <= 14; ++pos) {
                    OBRACUN.clear();
                    OBR.DOHODAK = line;
                    OBR.POZICIJA = pos;
                    OBR.IZNOS = Decimal::parse(kAmounts[pos - 1]);
                    add(OBRACUN);
                }
            }
        }
        GLO.DATUMIZVJ = Date::fromYmd(2015, 1, 20);
        return good && tx.commit() == 0;
    }
};

CertificateData& data() {
    static CertificateData d;
    return d;
}

void BM_AllCertificates(benchmark::State& state) {
    CertificateData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    size_t pages = 0;
    for (auto _ : state) {
        auto report = allCertificatesReport(1, "2014");
        if (!report) return state.SkipWithError("no pages");
        pages = report->pages().size();
    }
    state.counters["pages"] = double(pages);
}

void BM_AllCertificatesPdf(benchmark::State& state) {
    CertificateData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    const std::string pdf = (d.path() / "potvrde.pdf").string();
    for (auto _ : state) {
        auto report = allCertificatesReport(1, "2014");
        if (!report || !savePdf(pdf, report->pages(), report->title())) return state.SkipWithError("no PDF");
    }
    state.counters["MB"] = double(std::filesystem::file_size(pdf)) / 1e6;
}

BENCHMARK(BM_AllCertificates)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_AllCertificatesPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace marel

// The PDF is drawn with Qt's painter, which wants an application (no display).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
