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
#include "store/Records.h"
#include "store/Warnings.h"
#include "BenchFolder.h"

namespace marel {
namespace {

constexpr int kLines = 10'000;
constexpr int kPeople = 10'000;

const char* const kAmounts[] = {"1000.00", "0.00",  "300.00", "700.00", "105.00", "35.00",
                                "560.00",  "140.00", "25.20",  "694.80", "105.00", "0.00"};

class JoppdData : public BenchFolder {
public:
    JoppdData() : BenchFolder("joppd") {
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
        bool good = true;
        auto add = [&](DataFile& f) { good = good && f.add() == 0; };

        OPCINE.clear();
        OPC.OZNAKA = 1;
        OPC.SHIFRA = "1333";
        add(OPCINE);
        MJESTA.clear();
        MJE.OZNAKA = 1;
        MJE.NAZIV = "Zagreb";
        MJE.OPCINA = 1;
        add(MJESTA);
        ULICE.clear();
        ULI.OZNAKA = 1;
        ULI.NAZIV = "Ilica";
        add(ULICE);
        SUBJEKTI.clear();
        SUB.OZNAKA = 1;
        SUB.TIP = "P";
        SUB.NAZIV = "Šećerana Čađavica d.o.o.";
        SUB.OIB = "69435151530";
        SUB.MJESTO = 1;
        SUB.ULICA = 1;
        add(SUBJEKTI);
        VRSTEDOH.clear();
        VRS.OZNAKA = 1;
        VRS.REZSTRINGA = "02";
        VRS.REZSTRINGB = "4001";
        add(VRSTEDOH);
        for (int p = 1; p <= kPeople; ++p) {
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
            DOH.ISPLATA = 1;
            DOH.DJELATNIK = 1 + (n - 1) % kPeople;
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
        JOPO.clear();
        JOPO.OZNAKA = 1;
        JOPO.ISPLATA = 1;
        JOPO.IMEAUTORA = "Ana";
        JOPO.PREZIMEAUTORA = "Anić";
        JOPO.EMAIL = "ana@example.hr";
        JOPO.UJED = "3f2a9c1e-5b7d-4e8f-9a0b-1c2d3e4f5a6b";
        add(JOPO);
        return good && tx.commit() == 0;
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
        if (!PUNI(rows) || rows.BRREDAKA() != kLines) return state.SkipWithError("build failed");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_JoppdFile(benchmark::State& state) {
    JoppdData& d = data();
    if (!d.ok) return state.SkipWithError("no data");
    for (auto _ : state) {
        d.ask.messages.clear();
        JOPO.OZNAKA = 1;
        if (!FORMIRAJ()) return state.SkipWithError("file not written");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(BM_JoppdRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JoppdFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marel
