// Duplicating a payment with its income lines: a payment of a thousand lines,
// each with its fourteen calculation lines, copied into a new payment.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <unistd.h>

#include "common/Prompter.h"
#include "payments/Payments.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "BenchFolder.h"

namespace marel {
namespace {

constexpr int kDuplicatedLines = 1'000;
constexpr int kPositions = 14;

class DuplicationData : public BenchFolder {
public:
    DuplicationData() : BenchFolder("dup") {
        ok = opened_ && fill();
    }
    bool ok = false;

private:
    bool fill() {
        for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &OBRACUN}) files_.add(*f);
        WriteTransaction tx;
        if (!tx.ok()) return false;
        bool good = true;
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ISP.ISPLATITELJ = 1;
        ISP.DATUM = Date::fromYmd(2016, 3, 1);
        ISP.GODINA = "2016";
        ISP.RSID = "16061";
        good = ISPLATE.add() == 0;
        for (int n = 1; good && n <= kDuplicatedLines; ++n) {
            DOHOCI.clear();
            DOH.OZNAKA = n;
            DOH.REDNIBROJ = USHORT(n);
            DOH.ISPLATA = 1;
            DOH.DJELATNIK = n;
            DOH.VRSTADOHOTKA = 1;
            DOH.NETO = Decimal(1000 + n);
            good = DOHOCI.add() == 0;
            for (int p = 1; good && p <= kPositions; ++p) {
                OBRACUN.clear();
                OBR.DOHODAK = n;
                OBR.POZICIJA = USHORT(p);
                OBR.IZNOS = Decimal(n + p);
                good = OBRACUN.add() == 0;
            }
        }
        return good && tx.commit() == 0;
    }
};

void BM_DuplicatePaymentOfAThousandLines(benchmark::State& state) {
    DuplicationData data;
    if (!data.ok) {
        state.SkipWithError("could not build the payment");
        return;
    }
    LONG payer = 1;
    for (auto _ : state) {
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ISPLATE.get(ISPLATE.KEYOZNAKA);
        ISP.ISPLATITELJ = ++payer;  // every copy a day of its own
        const LONG to = nextPaymentNumber();
        if (copyPayment(1, to) != CopyResult::Done) {
            state.SkipWithError("copy failed");
            return;
        }
    }
    state.counters["lines"] = kDuplicatedLines;
}
BENCHMARK(BM_DuplicatePaymentOfAThousandLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace marel
