#include "demo/DemoData.h"

#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "codelists/Municipalities.h"
#include "codelists/Payers.h"
#include "codelists/Recipients.h"
#include "common/CheckDigits.h"
#include "payments/IncomeLine.h"
#include "payments/Payments.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// A number with its MOD 11,10 check digit appended: OIBs and the ten-digit
// accounts both end in one, and a made-up number without it would be refused
// by anyone who checks.
std::string withCheckDigit(std::string_view digits) {
    return std::string(digits) + char('0' + mod11_10CheckDigit(digits));
}

struct Municipality {
    const char* code;  // four digits: the JOPPD code without its check digit
    const char* name;
    const char* surtax;
};
const Municipality kMunicipalities[] = {
    {"0133", "Grad Zagreb", "18.00"},
    {"0409", "Split", "10.00"},
    {"0373", "Rijeka", "15.00"},
};

struct Place {
    const char* name;
    const char* postcode;
    LONG municipality;
};
const Place kPlaces[] = {
    {"Zagreb", "10000", 1}, {"Sesvete", "10360", 1}, {"Split", "21000", 2},
    {"Kaštel Sućurac", "21212", 2}, {"Rijeka", "51000", 3},
};

const char* const kStreets[] = {"Ilica", "Savska cesta", "Vukovarska ulica", "Ulica Ruđera Boškovića",
                                "Obala Hrvatskog narodnog preporoda", "Korzo", "Zagrebačka cesta"};

struct Bank {
    const char* name;
    const char* leading;
};
const Bank kBanks[] = {
    {"Zagrebačka banka d.d.", "2360000"},
    {"Privredna banka Zagreb d.d.", "2340009"},
};

struct Person {
    const char* first;
    const char* last;
    const char* oib10;      // the OIB without its check digit
    LONG place;
    LONG street;
    const char* houseNumber;
    USHORT bank;
    const char* account9;   // the account without its check digit
};
const Person kPeople[] = {
    {"Ivana", "Horvat", "4821053967", 1, 1, "24", 1, "320045671"},
    {"Marko", "Kovačević", "1937264085", 1, 2, "7a", 2, "310298834"},
    {"Ana", "Babić", "7302618459", 2, 7, "115", 1, "320117903"},
    {"Luka", "Marić", "5649180273", 3, 3, "3", 2, "310552017"},
    {"Petra", "Jurić", "2085736914", 4, 4, "18", 1, "320771245"},
    {"Josip", "Novak", "9416027358", 3, 5, "2", 2, "310640098"},
    {"Maja", "Knežević", "3570948126", 5, 6, "11", 1, "320339587"},
    {"Tomislav", "Vuković", "6258314790", 5, 6, "40", 2, "310925561"},
    {"Đurđica", "Šimić", "8193405627", 1, 1, "156", 1, "320480336"},
    {"Nikola", "Petrović", "4706259381", 2, 7, "9", 2, "310113472"},
};

struct Line {
    LONG recipient;
    BYTE incomeType;
    const char* net;
};

// Each failure says where it happened; the first one stops the filling.
struct Failed : std::runtime_error {
    using std::runtime_error::runtime_error;
};
void check(int rc, const std::string& what) {
    if (rc != 0) throw Failed(what + ": " + errorText());
}
void check(bool ok, const std::string& what) {
    if (!ok) throw Failed(what);
}

void municipalities() {
    LONG n = 0;
    for (const Municipality& m : kMunicipalities) {
        OPCINE.clear();
        OPC.OZNAKA = ++n;
        OPC.SHIFRA = m.code;
        OPC.NAZIV = m.name;
        OPC.STOPAPRIREZA = Decimal::parse(m.surtax);
        // The tax account and its IBAN check digits, as the form computes them.
        check(municipalityAccountRule(MunicipalityAccountRule::WithIban), std::string("račun općine ") + m.name);
        check(OPCINE.add(), std::string("općina ") + m.name);
    }
    n = 0;
    for (const Place& p : kPlaces) {
        MJESTA.clear();
        MJE.OZNAKA = ++n;
        MJE.NAZIV = p.name;
        MJE.POSTBROJ = p.postcode;
        MJE.OPCINA = p.municipality;
        check(MJESTA.add(), std::string("mjesto ") + p.name);
    }
}

void streetsAndBanks() {
    LONG n = 0;
    for (const char* s : kStreets) {
        ULICE.clear();
        ULI.OZNAKA = ++n;
        ULI.NAZIV = s;
        check(ULICE.add(), std::string("ulica ") + s);
    }
    USHORT b = 0;
    for (const Bank& bank : kBanks) {
        BANKE.clear();
        BAN.OZNAKA = ++b;
        BAN.NAZIV = bank.name;
        BAN.VODECIBROJ = bank.leading;
        check(BANKE.add(), std::string("banka ") + bank.name);
    }
}

void payer() {
    SUBJEKTI.clear();
    SUB.OZNAKA = 1;
    payerDefaults();
    SUB.TIP = "P";  // an association, not a natural person
    SUB.NAZIV = "Kulturno-umjetnička udruga Lipa";
    SUB.OIB = withCheckDigit("6140827395");
    SUB.POREZNIBROJ = "0412783";
    SUB.MJESTO = 1;
    SUB.ULICA = 1;
    SUB.KUCNIBROJ = "62";
    SUB.BANKA = 1;
    SUB.RACUN = withCheckDigit("110052384");
    SUB.TELEFON = "01 4833 210";
    SUB.EMAIL = "racunovodstvo@kud-lipa.hr";
    check(KONTROLA_SUBJEKTI(), "IBAN isplatitelja");
    check(SUBJEKTI.add(), "isplatitelj");
}

// The offsets of pre-printed payment orders on the office printer.
void printer() {
    PARAM.clear();
    PAR.OZNAKA = 1;
    PAR.MODELPRINTERA = "Virmani HUB-3A, pisač u računovodstvu";
    PAR.XPOS = 2;
    PAR.YPOS = -3;
    PAR.OZNAKAPAPIRA = "A4";
    check(PARAM.add(), "parametri pisača");
}

void recipients() {
    LONG n = 0;
    for (const Person& p : kPeople) {
        OSOBE.clear();
        OSO.OZNAKA = ++n;
        recipientDefaults();
        OSO.IME = p.first;
        OSO.PREZIME = p.last;
        OSO.OIB = withCheckDigit(p.oib10);
        OSO.MJESTO = p.place;
        OSO.ULICA = p.street;
        OSO.KUCNIBROJ = p.houseNumber;
        OSO.BANKA = p.bank;
        OSO.RACUN = withCheckDigit(p.account9);
        const std::string who = std::string(p.first) + " " + p.last;
        check(KONTROLA_OSOBE(), "IBAN primatelja " + who);
        check(OSOBE.add(), "primatelj " + who);
    }
}

// A payment of payer 1 on the first free day from `from`, with its income
// lines entered as the income-line form saves them: the zero lines of a new
// line, then the calculation from the net, then the payment method.
LONG payment(Date from, const std::vector<Line>& lines, const char* notes, LONG& lastLine) {
    ISPLATE.clear();
    ISP.ISPLATITELJ = 1;
    primeNewPayment(from);
    ISP.OZNAKA = nextPaymentNumber();
    ISP.BILJESKE = notes;
    const LONG number = ISP.OZNAKA;
    check(ISPLATE.add(), "isplata " + std::to_string(number));
    USHORT ordinal = 0;
    for (const Line& l : lines) {
        DOHOCI.clear();
        DOH.OZNAKA = ++lastLine;
        DOH.REDNIBROJ = ++ordinal;
        DOH.ISPLATA = number;
        DOH.DJELATNIK = l.recipient;
        DOH.VRSTADOHOTKA = l.incomeType;
        DOH.NETO = Decimal::parse(l.net);
        const std::string what = "dohodak " + std::to_string(lastLine);
        check(addZeroPositions(DOH.OZNAKA), what);
        const CalcBasis basis{DOH.DJELATNIK, DOH.VRSTADOHOTKA, DOH.NETO};
        const LineCalculation c = calculateFromNet(lastLine, basis, Date::today().year());
        check(c.ok(), what + ": " + c.result.error);
        // A record the calculation did not find would have counted with rates 0.
        check(c.notes.empty(), what + ": " + (c.notes.empty() ? "" : c.notes.front()));
        DOH.NETO = c.net;
        check(DOHOCI.add(), what);
        check(storePaymentMethod(lastLine, 1), what + ": način isplate");
    }
    return number;
}

}  // namespace

std::string fillDemoData() {
    FileUse files{&BANKE, &DETKRIP, &DOHOCI, &ID1, &ISPLATE, &JOPO, &KRIPOREZ, &MJESTA, &OBRACUN, &OPCINE,
                  &OSOBE, &PARAM, &PORSTOPE, &POZICIJE, &SUBJEKTI, &SVASTA, &ULICE, &VRSTEDOH};
    try {
        municipalities();
        streetsAndBanks();
        payer();
        recipients();
        printer();
        LONG lastLine = 0;
        // Income types of the supplied table: 1 a contract for work, 3 other
        // income without contributions, 4 an author's fee, 8 a per diem.
        const LONG first = payment(Date::fromYmd(2014, 3, 10),
                                   {{1, 4, "3500.00"},
                                    {2, 4, "2800.00"},
                                    {3, 1, "1200.00"},
                                    {4, 1, "950.00"},
                                    {5, 3, "600.00"},
                                    {6, 8, "340.00"},
                                    {7, 4, "4200.00"}},
                                   "Honorari za proljetni koncert", lastLine);
        payment(Date::fromYmd(2014, 4, 15),
                {{8, 1, "1500.00"}, {9, 3, "800.00"}, {10, 4, "2250.00"}, {1, 8, "170.00"}},
                "Ugovori o djelu - travanj", lastLine);
        // The JOPPD form of the first payment, as "JOP kreiranje" makes it,
        // with the compiler a bookkeeper enters before the XML file is written.
        check(createJoppdRow(first, UJEDI()), "JOPPD obrazac");
        JOPO.IMEAUTORA = "Vesna";
        JOPO.PREZIMEAUTORA = "Tomić";
        JOPO.EMAIL = "racunovodstvo@kud-lipa.hr";
        check(JOPO.put(), "sastavljač JOPPD obrasca");
        // The payer's ID-1 form for the year, with its contact person.
        ID1.clear();
        ID1.OZNAKA = 1;
        ID1.ISPLATITELJ = 1;
        ID1.STORNO = "false";
        ID1.GODINA = "2014";
        ID1.KONIME = "Vesna";
        ID1.KONPREZIME = "Tomić";
        ID1.KONPOZ1 = 1;
        ID1.KONTEL1 = "4567890";
        ID1.KONEMAIL = "racunovodstvo@kud-lipa.hr";
        check(ID1.add(), "ID-1 obrazac");
        // The payer's crisis-tax (IPP) form for the month of the first
        // payment, with its row of other income as the form's refresh finds
        // it: nobody, the tax having ended before 2014.
        KRIPOREZ.clear();
        KRP.OZNAKA = 1;
        KRP.ISPLATITELJ = 1;
        KRP.GODINA = "2014";
        KRP.MJESEC = 3;
        check(KRIPOREZ.add(), "IPP obrazac");
        DETKRIP.clear();
        DKP.KRIPOREZ = 1;
        DKP.VRSTA = 3;  // other income
        check(DETKRIP.add(), "IPP obrazac: drugi dohodak");
    } catch (const Failed& f) {
        return f.what();
    }
    return "";
}

std::string makeDemoData(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return folder + ": " + ec.message();
    Store& store = Store::main();
    if (const int rc = store.open(folder); rc != 0) return "MAREL.DB: " + std::to_string(rc);
    std::string error;
    {
        FileUse files{&SUBJEKTI, &OSOBE, &ISPLATE};
        const bool empty = SUBJEKTI.records() == 0 && OSOBE.records() == 0 && ISPLATE.records() == 0;
        files.release();
        // Every write is its own transaction; without waiting for the disk
        // after each one the folder fills in an instant.
        if (empty) {
            store.exec("PRAGMA synchronous=OFF");
            error = fillDemoData();
        }
    }
    for (DataFile* f : allFiles()) {
        f->close();
        f->USED = 0;
    }
    store.close();
    return error;
}

}  // namespace marel
