// The certificates of a payer's year for everyone at once: 1,000 recipients,
// each paid twelve times (one payment a month, 1,000 income lines each, with
// fourteen calculation lines per line). Targets: the pages generated in
// under 5 s, written as one PDF file in under 15 s, and that file, from the
// data on, in no more time than Qt's own PDF writer takes for its texts.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "BenchFolder.h"
#include "BenchPayment.h"
#include "QtTextBaseline.h"
#include "certificates/Certificates.h"
#include "preview/WmfPlayer.h"
#include "session/Globals.h"
#include "store/Records.h"

namespace marel {
namespace {

constexpr int kPeople = 1'000;
constexpr int kMonths = 12;

class CertificateData : public BenchFolder {
public:
    CertificateData() : BenchFolder("certificates") { ok = opened_ && fill(); }
    bool ok = false;

private:
    bool fill() {
        for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &MJESTA, &OBRACUN, &OPCINE, &OSOBE,
                                                             &SUBJEKTI, &ULICE, &VRSTEDOH})
            files_.add(*f);
        WriteTransaction tx;
        if (!tx.ok()) return false;
        BenchAdder add;
        addBenchPayer(add);
        VRSTEDOH.clear();
        VRS.OZNAKA = 2;
        VRS.NAZIV = "Ugovor o djelu";
        VRS.PRIZNATITROSKOVI = Decimal(30);
        add(VRSTEDOH);
        addBenchPeople(add, kPeople);
        LONG line = 0;
        for (int m = 1; m <= kMonths; ++m) {
            addBenchPayment(add, m, Date::fromYmd(2014, m, 10));
            for (int p = 1; p <= kPeople; ++p) addBenchLine(add, ++line, m, p, BYTE(1 + m % 2), 14);
        }
        GLO.DATUMIZVJ = Date::fromYmd(2015, 1, 20);
        return add.good && tx.commit() == 0;
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

// The same PDF beside Qt drawing its texts: the goal is at most Qt's time.
void BM_AllCertificatesPdfVsQt(benchmark::State& state) {
    CertificateData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    measureAgainstQt(state, d.path(), [] { return allCertificatesReport(1, "2014"); });
}

BENCHMARK(BM_AllCertificates)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_AllCertificatesPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_AllCertificatesPdfVsQt)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

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
