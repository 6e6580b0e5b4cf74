#pragma once
// A data folder with a payer, two municipalities, recipients and the four
// kinds of income a JOPPD report distinguishes, and helpers that enter
// payments, income lines with their calculation lines, and forms.
#include <map>
#include <string>

#include "joppd/JoppdXml.h"
#include "payments/Positions.h"
#include "support/StoreFixture.h"

namespace marel::test {

// Calculation lines of an income line: position -> amount.
using Amounts = std::map<Pozicija, const char*>;

// A fee for an author's work: 30 % expenses, pension 15 + 5 %, tax 25 % with
// Zagreb's 18 % surtax, health 15 % on top.
inline const Amounts kAuthorFee = {
    {POZ_BRUTO, "1000.00"}, {POZ_NEOPOREZIVIDIO, "0.00"}, {POZ_PRIZNATITROSKOVI, "300.00"},
    {POZ_OSNOVICA, "700.00"}, {POZ_MIROVINSKOISTUP, "105.00"}, {POZ_MIROVINSKOIISTUP, "35.00"},
    {POZ_DOHODAK, "560.00"}, {POZ_POREZ, "140.00"}, {POZ_PRIREZ, "25.20"},
    {POZ_NETO, "694.80"}, {POZ_ZDRAVSTVENO, "105.00"}, {POZ_OSOBNIODBITAK, "0.00"},
    {POZ_KRIPOREZ, "0.00"}, {POZ_POSLIJEKRIPOREZ, "694.80"},
};
// Other income without contributions.
inline const Amounts kNoContributions = {
    {POZ_BRUTO, "1000.00"}, {POZ_NEOPOREZIVIDIO, "0.00"}, {POZ_PRIZNATITROSKOVI, "0.00"},
    {POZ_OSNOVICA, "0.00"}, {POZ_MIROVINSKOISTUP, "0.00"}, {POZ_MIROVINSKOIISTUP, "0.00"},
    {POZ_DOHODAK, "1000.00"}, {POZ_POREZ, "250.00"}, {POZ_PRIREZ, "45.00"},
    {POZ_NETO, "705.00"}, {POZ_ZDRAVSTVENO, "0.00"}, {POZ_OSOBNIODBITAK, "0.00"},
};
// A non-taxable receipt paid in full.
inline const Amounts kNonTaxable = {
    {POZ_BRUTO, "1600.00"}, {POZ_NEOPOREZIVIDIO, "1600.00"}, {POZ_PRIZNATITROSKOVI, "0.00"},
    {POZ_OSNOVICA, "0.00"}, {POZ_MIROVINSKOISTUP, "0.00"}, {POZ_MIROVINSKOIISTUP, "0.00"},
    {POZ_DOHODAK, "0.00"}, {POZ_POREZ, "0.00"}, {POZ_PRIREZ, "0.00"},
    {POZ_NETO, "1600.00"}, {POZ_ZDRAVSTVENO, "0.00"}, {POZ_OSOBNIODBITAK, "0.00"},
};
// A dividend: 12 % tax and 18 % surtax.
inline const Amounts kDividend = {
    {POZ_BRUTO, "1000.00"}, {POZ_NEOPOREZIVIDIO, "0.00"}, {POZ_PRIZNATITROSKOVI, "0.00"},
    {POZ_OSNOVICA, "0.00"}, {POZ_MIROVINSKOISTUP, "0.00"}, {POZ_MIROVINSKOIISTUP, "0.00"},
    {POZ_DOHODAK, "1000.00"}, {POZ_POREZ, "120.00"}, {POZ_PRIREZ, "21.60"},
    {POZ_NETO, "858.40"}, {POZ_ZDRAVSTVENO, "0.00"}, {POZ_OSOBNIODBITAK, "0.00"},
};

// Other income taxed by the brackets 12/25/40 % with an allowance of 2200.00
// and 18 % surtax: a net of 6000.00 is an income of 7111.38, of which
// 7111.38 - 2200.00 = 4911.38 is taxed: 264.00 + 2711.38 * 25 % = 941.85.
inline const Amounts kBracketsWithAllowance = {
    {POZ_BRUTO, "7111.38"}, {POZ_NEOPOREZIVIDIO, "0.00"}, {POZ_PRIZNATITROSKOVI, "0.00"},
    {POZ_OSNOVICA, "7111.38"}, {POZ_MIROVINSKOISTUP, "0.00"}, {POZ_MIROVINSKOIISTUP, "0.00"},
    {POZ_DOHODAK, "7111.38"}, {POZ_POREZ, "941.85"}, {POZ_PRIREZ, "169.53"},
    {POZ_NETO, "6000.00"}, {POZ_ZDRAVSTVENO, "0.00"}, {POZ_OSOBNIODBITAK, "2200.00"},
};

// Income types by their acquirer code.
enum Kind : BYTE { AUTHOR = 1, NOCONTRIB = 2, NONTAXABLE = 3, DIVIDEND = 4 };

inline const char* const kIdentifier = "3f2a9c1e-5b7d-4e8f-9a0b-1c2d3e4f5a6b";

class JoppdFixture : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        // Durability is not under test here; without it the scenarios enter in an instant.
        Store::main().exec("PRAGMA synchronous=OFF");
        openFiles({&DOHOCI, &ISPLATE, &JOPO, &MJESTA, &NEOPOREZ, &OBRACUN, &OPCINE, &OSOBE, &SUBJEKTI, &SVASTA,
                   &ULICE, &VBRAT, &VRSTEDOH});
        setJoppdClock([] { return Moment{Date::fromYmd(2014, 3, 12), ((9 * 60 + 5) * 60 + 7) * 100}; });

        // The code tables the check list consults, as far as the scenarios use them.
        LONG n = 0;
        for (auto [receipt, acquirer] : {std::pair{"0000", "00"}, {"1001", "11"}, {"4001", "02"}, {"4014", "02"},
                                         {"4030", "02"}, {"4030-01", "01"}}) {
            VBRAT.clear();
            VBR.OZNAKA = ++n;
            VBR.SHIFRA = receipt;
            VBR.REZERVA = acquirer;
            ASSERT_EQ(VBRAT.add(), 0);
        }
        for (SHORT code : {5, 17}) {
            NEOPOREZ.clear();
            NEO.OZNAKA = code;
            NEO.SHIFRA = code;
            ASSERT_EQ(NEOPOREZ.add(), 0);
        }
        municipality(1, "1333", "Grad Zagreb");
        municipality(2, "4090", "Split");
        place(1, "Zagreb", 1);
        place(2, "Split", 2);
        street(1, "Ulica  grada   Vukovara");
        payer(1, "P", "Šećerana Čađavica, Đakovo d.o.o.");
        incomeType(AUTHOR, "Autorski honorar", "02", "4001");
        incomeType(NOCONTRIB, "Drugi dohodak bez doprinosa", "01", "4014");
        incomeType(NONTAXABLE, "Neoporezivi primitak", "00", "0000", 5);
        incomeType(DIVIDEND, "Dividenda", "11", "1001");
        person(1, "Ivana", "Horvat", "12345678903", 1);
        person(2, "Đuro", "Šimić", "98765432106", 2);
    }
    void TearDown() override {
        setJoppdClock(nullptr);
        StoreFixture::TearDown();
    }

    static void municipality(LONG n, const char* code, const char* name) {
        OPCINE.clear();
        OPC.OZNAKA = n;
        OPC.SHIFRA = code;
        OPC.NAZIV = name;
        ASSERT_EQ(OPCINE.add(), 0);
    }
    static void place(LONG n, const char* name, LONG municipality) {
        MJESTA.clear();
        MJE.OZNAKA = n;
        MJE.NAZIV = name;
        MJE.OPCINA = municipality;
        ASSERT_EQ(MJESTA.add(), 0);
    }
    static void street(LONG n, const char* name) {
        ULICE.clear();
        ULI.OZNAKA = n;
        ULI.NAZIV = name;
        ASSERT_EQ(ULICE.add(), 0);
    }
    static void payer(LONG n, const char* type, const std::string& name, const char* oib = "69435151530") {
        SUBJEKTI.clear();
        SUB.OZNAKA = n;
        SUB.TIP = type;
        SUB.NAZIV = name;
        SUB.OIB = oib;
        SUB.POREZNIBROJ = std::to_string(n);
        SUB.MJESTO = 1;
        SUB.ULICA = 1;
        SUB.KUCNIBROJ = "12a";
        ASSERT_EQ(SUBJEKTI.add(), 0);
    }
    // Other income taxed by the brackets (acquirer 01, receipt 4030).
    static void bracketsIncomeType(BYTE n) {
        incomeType(n, "Drugi dohodak po razredima", "01", "4030");
        VRS.OZNAKA = n;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.VISESTOPA = "DA";
        ASSERT_EQ(VRSTEDOH.put(), 0);
    }
    static void incomeType(BYTE n, const char* name, const char* acquirer, const char* receipt, int nonTaxable = 0) {
        VRSTEDOH.clear();
        VRS.OZNAKA = n;
        VRS.NAZIV = name;
        VRS.REZSTRINGA = acquirer;
        VRS.REZSTRINGB = receipt;
        VRS.REZDECIMALA = Decimal(nonTaxable);
        ASSERT_EQ(VRSTEDOH.add(), 0);
    }
    static void person(LONG n, const char* first, const char* last, const char* oib, LONG place,
                       const char* workCode = nullptr) {
        OSOBE.clear();
        OSO.OZNAKA = n;
        OSO.IME = first;
        OSO.PREZIME = last;
        OSO.OIB = oib;
        OSO.MJESTO = place;
        OSO.FAX = workCode ? "DA" : "NE";
        OSO.EMAIL = workCode ? workCode : "";
        ASSERT_EQ(OSOBE.add(), 0);
    }
    static void payment(LONG n, Date date, LONG payer = 1) {
        ISPLATE.clear();
        ISP.OZNAKA = n;
        ISP.ISPLATITELJ = payer;
        ISP.DATUM = date;
        ISP.GODINA = std::to_string(date.year());
        char rsid[8];
        std::snprintf(rsid, sizeof rsid, "%02d%03d", date.year() % 100, date.dayOfYear());
        ISP.RSID = rsid;
        ASSERT_EQ(ISPLATE.add(), 0);
    }
    // An income line with its calculation lines and, when given, its payment method.
    static void line(LONG n, LONG payment, LONG person, BYTE kind, const Amounts& amounts, SHORT method = 0) {
        DOHOCI.clear();
        DOH.OZNAKA = n;
        DOH.REDNIBROJ = USHORT(n);
        DOH.ISPLATA = payment;
        DOH.DJELATNIK = person;
        DOH.VRSTADOHOTKA = kind;
        DOH.NETO = Decimal::parse(amounts.at(POZ_NETO));
        ASSERT_EQ(DOHOCI.add(), 0);
        for (auto [position, amount] : amounts) {
            OBRACUN.clear();
            OBR.DOHODAK = n;
            OBR.POZICIJA = position;
            OBR.IZNOS = Decimal::parse(amount);
            ASSERT_EQ(OBRACUN.add(), 0);
        }
        if (method) {
            SVASTA.clear();
            SVA.DOHODAK = n;
            SVA.BROJ = 1;
            SVA.VRISHORT = method;
            ASSERT_EQ(SVASTA.add(), 0);
        }
    }
    static void form(LONG n, LONG payment) {
        JOPO.clear();
        JOPO.OZNAKA = n;
        JOPO.ISPLATA = payment;
        JOPO.RBR = 1;
        JOPO.IMEAUTORA = "Ana";
        JOPO.PREZIMEAUTORA = "Anić";
        JOPO.EMAIL = "ana.anic@secerana.hr";
        JOPO.UJED = kIdentifier;
        ASSERT_EQ(JOPO.add(), 0);
    }
    // The form as PUNI and FORMIRAJ find it: its record and its payment in the buffers.
    static void select(LONG form) {
        JOPO.clear();
        JOPO.OZNAKA = form;
        ASSERT_EQ(JOPO.get(JOPO.KEYOZNAKA), 0);
        ISP.OZNAKA = JOPO.ISPLATA;
        ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    }
};

}  // namespace marel::test
