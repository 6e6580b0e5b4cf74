#include "forms/Id1Print.h"

#include <array>

#include "common/Date.h"
#include "forms/Id1Xml.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {

constexpr size_t kColumns = 23;
constexpr size_t kFirstTax = 7;  // index of the first tax-account column
constexpr size_t kTaxColumns = 14;
constexpr std::array<int, kColumns> kWidths = [] {
    std::array<int, kColumns> w{220, 1250, 760, 300, 600, 540, 540};
    for (size_t k = kFirstTax; k < kFirstTax + kTaxColumns; ++k) w[k] = 420;
    w[kFirstTax + kTaxColumns] = 560;
    w[kFirstTax + kTaxColumns + 1] = 600;
    return w;
}();

constexpr int left(size_t column) {
    int x = 0;
    for (size_t k = 0; k < column; ++k) x += kWidths[k];
    return x;
}
constexpr int kWidth = left(kColumns);

const Font TITLE{.face = "Arial CE", .size = 9, .bold = true};
const Font LABEL{.face = "Arial CE", .size = 8, .bold = true};
const Font TEXT{.face = "Arial CE", .size = 8};
const Font HEAD{.face = "Arial CE", .size = 6};
const Font BODY{.face = "Arial CE", .size = 6};

// Values of one printed line.
struct Line {
    std::string rb, imePrezime, oib, opcina;
    Decimal bruto, izdaci, doprinosi, porez, neto;
    std::array<Decimal, kTaxColumns> iznos{};
};

// The payer's heading values.
struct Heading {
    std::string naslov, naziv, oib, adresa, datum;
};

Heading readPayer(LONG payer, const std::string& year) {
    Heading h;
    h.naslov = "IZVJEŠĆE O ISPLAĆENOM PRIMITKU, DOHOTKU, UPLAĆENOM DOPRINOSU, POREZU PO ODBITKU I PRIREZU U " +
               year + ". GODINI";
    h.datum = formatAs("@d17", Date::today());
    SUB.OZNAKA = payer;
    if (payer == 0 || SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) return h;
    h.naziv = SUB.NAZIV.str();
    h.oib = SUB.OIB.str();
    MJE.OZNAKA = SUB.MJESTO;
    if (SUB.MJESTO == 0 || MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
    ULI.OZNAKA = SUB.ULICA;
    if (SUB.ULICA == 0 || ULICE.get(ULICE.KEYOZNAKA) != 0) ULICE.clear();
    h.adresa = MJE.NAZIV.str() + ", " + ULI.NAZIV.str() + " " + SUB.KUCNIBROJ.str();
    return h;
}

void drawHeading(Canvas& c, const Heading& h) {
    c.text({0, 0, 3000, 200}, "Obrazac ID-1", TITLE);
    c.text({kWidth - 3000, 0, 3000, 200}, "- u kunama i lipama -", TEXT, Align::Right);
    c.text({0, 250, kWidth, 220}, h.naslov, TITLE, Align::Center);

    c.text({0, 560, 250, 180}, "I.", LABEL);
    c.text({250, 560, 4000, 180}, "PODACI O ISPLATITELJU", LABEL);
    const char* labels[3][2] = {{"1.", "NAZIV / IME I PREZIME"}, {"2.", "OIB"}, {"3.", "ADRESA"}};
    const std::string* values[3] = {&h.naziv, &h.oib, &h.adresa};
    for (int k = 0; k < 3; ++k) {
        const int y = 760 + k * 180;
        c.text({250, y, 250, 170}, labels[k][0], TEXT);
        c.text({500, y, 2000, 170}, labels[k][1], TEXT);
        c.text({2500, y, 6000, 170}, *values[k], TEXT);
    }
    c.text({0, 1340, 250, 180}, "II.", LABEL);
    c.text({250, 1340, 6000, 180}, "PODACI O DOHOTKU, UPLAĆENOM POREZU I PRIREZU", LABEL);
}

// The column headings, their numbers and the frame around them.
constexpr int kHeadTop = 1560, kHeadCodes = 250, kHeadNumbers = 520, kHeadBottom = 680;
void drawColumnHeadings(Canvas& c) {
    const int y = kHeadTop;
    static const std::array<std::vector<const char*>, kColumns> heads = [] {
        std::array<std::vector<const char*>, kColumns> h{};
        h[0] = {"R.", "br."};
        h[1] = {"Ime i prezime", "poreznog obveznika"};
        h[2] = {"OIB"};
        h[3] = {"Ozn.", "grada/", "općine"};
        h[4] = {"Iznos", "primitka"};
        h[5] = {"Izdatka"};
        h[6] = {"Doprinosi"};
        h[21] = {"Ukupno"};
        h[22] = {"Isplaćeni", "iz", "primitka"};
        return h;
    }();
    static const std::array<const char*, kColumns> numbers = {"1", "2.", "3.", "4",  "5",  "6",  "7",  "8",
                                                              "9", "10", "11", "12", "13", "14", "15", "16",
                                                              "17", "18", "19", "20", "21", "22", "23"};
    for (size_t k = 0; k < kColumns; ++k) {
        const int x = left(k), w = kWidths[k];
        if (k >= kFirstTax && k < kFirstTax + kTaxColumns) {
            c.text({x, y + kHeadCodes + 80, w, 150}, ID1_RACUNI[k - kFirstTax], HEAD, Align::Center);
        } else {
            int line = 0;
            for (const char* t : heads[k]) c.text({x, y + 40 + 110 * line++, w, 110}, t, HEAD, Align::Center);
        }
        c.text({x, y + kHeadNumbers + 30, w, 110}, numbers[k], HEAD, Align::Center);
        // Inside the account columns the lines start below their common heading.
        const bool inside = k > kFirstTax && k < kFirstTax + kTaxColumns;
        c.line(x, inside ? y + kHeadCodes : y, x, y + kHeadBottom);
    }
    const int taxX = left(kFirstTax), taxW = left(kFirstTax + kTaxColumns) - taxX;
    // Set from the left, about centred: a centred text runs into "Ukupno" in
    // the text export of the page.
    c.text({taxX + 1500, y + 40, taxW - 1500, 110}, "IZNOS UPLAĆENOG POREZA I PRIREZA NA RAČUN BROJČANE OZNAKE", HEAD);
    c.line(kWidth, y, kWidth, y + kHeadBottom);
    c.line(0, y, kWidth, y);
    c.line(taxX, y + kHeadCodes, taxX + taxW, y + kHeadCodes);
    c.line(0, y + kHeadNumbers, kWidth, y + kHeadNumbers);
    c.line(0, y + kHeadBottom, kWidth, y + kHeadBottom);
}

void drawLine(Canvas& c, const Line& l) {
    static const Picture amount = Picture::parse("@N-14.`2B"), gross = Picture::parse("@N-14.`2");
    auto cell = [](size_t k) { return Box{left(k) + 20, 30, kWidths[k] - 40, 130}; };
    // Amounts without the picture's leading blanks, which would write over
    // the column before in the text export of the page.
    auto value = [&c, &cell](size_t k, const Picture& p, const Decimal& v) { c.text(cell(k), trim(p.format(v)), BODY, Align::Right); };
    c.text({20, 30, 120, 130}, l.rb, BODY, Align::Right);
    c.text(cell(1), l.imePrezime, BODY);
    c.text(cell(2), l.oib, BODY);
    c.text(cell(3), l.opcina, BODY, Align::Center);
    value(4, gross, l.bruto);
    value(5, amount, l.izdaci);
    value(6, amount, l.doprinosi);
    for (size_t k = 0; k < kTaxColumns; ++k) value(kFirstTax + k, amount, l.iznos[k]);
    value(21, amount, l.porez);
    value(22, amount, l.neto);
    for (size_t k = 0; k <= kColumns; ++k) c.line(left(k), 0, left(k), 180);
    c.line(0, 180, kWidth, 180);
}

// Sums one recipient's income from the payer in the year; false when a read failed.
bool sumRecipient(Line& l, LONG payer, const std::string& year) {
    Cursor lines(DOHOCI, DOHOCI.KEYDJELATNIK.index);
    lines.startAt(OSO.OZNAKA);
    for (;;) {
        int rc = lines.next();
        if (rc == kRecordNotAvailable) return true;
        if (rc != 0) return false;
        ISP.OZNAKA = DOH.ISPLATA;
        if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) continue;
        if (ISP.ISPLATITELJ != payer || std::to_string(ISP.DATUM.year()) != year) continue;
        VRS.OZNAKA = DOH.VRSTADOHOTKA;
        if (VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) != 0) continue;
        // Income of a type that reports to none of the columns is not on the form at all.
        int slot = -1;
        for (size_t k = 0; k < kTaxColumns; ++k)
            if (VRS.RNPOREZ.str() == ID1_RACUNI[k]) slot = int(k);
        if (slot < 0) continue;
        Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
        calc.startAt(DOH.OZNAKA);
        for (;;) {
            rc = calc.next();
            if (rc == kRecordNotAvailable) break;
            if (rc != 0) return false;
            const Decimal a = OBR.IZNOS.value();
            switch (OBR.POZICIJA) {
                case POZ_BRUTO: l.bruto += a; break;
                case POZ_NEOPOREZIVIDIO:
                case POZ_PRIZNATITROSKOVI: l.izdaci += a; break;
                case POZ_MIROVINSKOISTUP:
                case POZ_MIROVINSKOIISTUP: l.doprinosi += a; break;
                case POZ_POREZ:
                case POZ_PRIREZ:
                    l.iznos[size_t(slot)] += a;
                    l.porez += a;
                    break;
                case POZ_NETO: l.neto += a; break;
                default: break;
            }
        }
    }
}

}  // namespace

std::unique_ptr<Report> id1Report(LONG payer, const std::string& year, const ProgressFn& progress) {
    FileUse use{&DOHOCI, &ISPLATE, &MJESTA, &OBRACUN, &OPCINE, &OSOBE, &SUBJEKTI, &ULICE, &VRSTEDOH};
    const Heading heading = readPayer(payer, year);

    auto report = std::make_unique<Report>("ID-1");
    report->setFileName("ID-1", year);
    report->setLandscape(true);
    report->setMargins(220, 400, 200, 400);
    report->setProgress(progress);
    report->setPageHeader(kHeadTop + kHeadBottom, [&heading](Canvas& c) {
        drawHeading(c, heading);
        drawColumnHeadings(c);
    });

    const int64_t total = OSOBE.records();
    int64_t read = 0;
    int printed = 0;
    Cursor people(OSOBE, OSOBE.KEYPREZIMEIME.index);
    people.toStart();
    for (;;) {
        const int rc = people.next();
        if (rc == kRecordNotAvailable) break;
        if (!report->progress(++read, total)) return nullptr;
        Line l;
        if (rc != 0 || !sumRecipient(l, payer, year)) {
            STANDARDWARNING(35, "vrstedoh");
            break;
        }
        if (l.porez.sign() <= 0) continue;
        MJE.OZNAKA = OSO.MJESTO;
        if (OSO.MJESTO == 0 || MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
        OPC.OZNAKA = MJE.OPCINA;
        if (MJE.OPCINA == 0 || OPCINE.get(OPCINE.KEYOZNAKA) != 0) OPCINE.clear();
        l.rb = std::to_string(++printed);
        l.imePrezime = std::string(utf8Prefix(OSO.IME.str() + " " + OSO.PREZIME.str(), 30));
        l.oib = OSO.OIB.str();
        l.opcina = std::string(utf8Prefix(OPC.SHIFRA.str(), 3));
        report->print(180, [&l](Canvas& c) { drawLine(c, l); });
    }
    report->print(700, [&heading](Canvas& c) {
        c.text({0, 300, 800, 180}, "Nadnevak:", TEXT);
        c.text({800, 300, 1500, 180}, heading.datum, TEXT);
        c.line(kWidth - 3500, 450, kWidth, 450);
        c.text({kWidth - 3500, 500, 3500, 180}, "PEČAT I POTPIS OVLAŠTENE OSOBE", TEXT, Align::Center);
    });
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
