#pragma once
// The records the benchmarks of a payment's reports stand on: the payer in
// Zagreb with its municipality, place and street, an income type, people,
// payments, and income lines with their calculation lines. Each adder
// counts a failed add in `good`.
#include <cstdio>
#include <string>

#include "common/CheckDigits.h"
#include "store/Lookup.h"
#include "store/Records.h"

namespace marel {

struct BenchAdder {
    bool good = true;
    void operator()(DataFile& f) { good = good && f.add() == 0; }
};

// Municipality, place and street 1, payer 1 living there, income type 1
// (an author's fee).
inline void addBenchPayer(BenchAdder& add) {
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
    SUB.KUCNIBROJ = "12";
    add(SUBJEKTI);
    // A folder filled with the supplied reference tables has its own type 1.
    if (readByNumber(VRSTEDOH, 1)) return;
    VRSTEDOH.clear();
    VRS.OZNAKA = 1;
    VRS.NAZIV = "Autorski honorar";
    VRS.PRIZNATITROSKOVI = Decimal(30);
    VRS.REZSTRINGA = "02";
    VRS.REZSTRINGB = "4001";
    add(VRSTEDOH);
}

// People 1 to `count`, each with a surname of his own and a valid OIB.
inline void addBenchPeople(BenchAdder& add, int count) {
    for (int p = 1; p <= count; ++p) {
        OSOBE.clear();
        OSO.OZNAKA = p;
        OSO.IME = "Đurđica";
        OSO.PREZIME = "Šimunović " + std::to_string(p);
        const std::string base = std::to_string(1'000'000'000LL + p);
        OSO.OIB = base + std::to_string(mod11_10CheckDigit(base));
        OSO.MJESTO = 1;
        OSO.ULICA = 1;
        OSO.KUCNIBROJ = "3";
        add(OSOBE);
    }
}

// Payment `number` of payer 1 on `date`.
inline void addBenchPayment(BenchAdder& add, LONG number, Date date) {
    ISPLATE.clear();
    ISP.OZNAKA = number;
    ISP.ISPLATITELJ = 1;
    ISP.DATUM = date;
    ISP.GODINA = std::to_string(date.year());
    char rsid[8];
    std::snprintf(rsid, sizeof rsid, "%02d%03d", date.year() % 100, date.dayOfYear());
    ISP.RSID = rsid;
    add(ISPLATE);
}

// The calculation of one income line of 1,000.00 gross, positions 1 to 14.
inline const char* const kBenchAmounts[] = {"1000.00", "0.00",   "300.00", "700.00", "105.00", "35.00",  "560.00",
                                            "140.00",  "25.20",  "694.80", "105.00", "0.00",   "0.00",   "694.80"};

// Income line `line` of `person` in `payment`, with calculation lines 1 to
// `positions`.
inline void addBenchLine(BenchAdder& add, LONG line, LONG payment, LONG person, BYTE type, USHORT positions) {
    DOHOCI.clear();
    DOH.OZNAKA = line;
    DOH.REDNIBROJ = USHORT(line);
    DOH.ISPLATA = payment;
    DOH.DJELATNIK = person;
    DOH.VRSTADOHOTKA = type;
    add(DOHOCI);
    for (USHORT pos = 1; pos <= positions; ++pos) {
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBR.POZICIJA = pos;
        OBR.IZNOS = Decimal::parse(kBenchAmounts[pos - 1]);
        add(OBRACUN);
    }
}

}  // namespace marel
