#include "forms/Rsm.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/Picture.h"
#include "common/Text.h"
#include "forms/RsmIddShared.h"
#include "payments/IncomeLine.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

int rsmPagesB(int lines) { return lines <= 0 ? 1 : (lines + RSM_LINES_PER_PAGE - 1) / RSM_LINES_PER_PAGE; }

namespace {

// One line of page B, and what page A sums.
struct RsmLine {
    USHORT ordinal = 0;
    std::string id, name, municipality;
    std::array<std::string, 3> basis;
    Decimal base, pillar1, pillar2, paid;
};

// The recipients, places, municipalities and income types a payment's lines
// name, each read once.
struct Parties {
    ValueLookup<OsobeFile> people;
    ValueLookup<MjestaFile> places;
    ValueLookup<OpcineFile> municipalities;
    ValueLookup<VrstedohFile> types;

    // The recipient of the line, with the code of the municipality he works
    // in: the one of his place, or the one he was given for work elsewhere.
    // Blank where a record is missing.
    void person(const DOHOCI_REC& d, RsmLine& line) {
        const OSOBE_REC* o = people.find(d.DJELATNIK);
        if (!o) return;
        line.id = o->OIB.empty() ? o->JMBG.str() : o->OIB.str();
        line.name = rtrim(o->PREZIME.str()) + " " + rtrim(o->IME.str());
        if (o->FAX == "DA") {
            line.municipality = std::string(utf8Prefix(o->EMAIL.str(), 4));
        } else if (const MJESTA_REC* place = places.find(o->MJESTO)) {
            if (const OPCINE_REC* m = municipalities.find(place->OPCINA)) line.municipality = m->SHIFRA.str();
        }
    }

    // The first three characters of the income type's basis of calculation, one per box.
    void basis(const DOHOCI_REC& d, RsmLine& line) {
        const VRSTEDOH_REC* type = types.find(d.VRSTADOHOTKA);
        if (!type) return;
        const std::string& basis = type->OSNOVAOBRACUNA.str();
        size_t at = 0;
        for (std::string& box : line.basis) {
            if (at >= basis.size()) break;
            const size_t from = at;
            utf8Next(basis, at);
            box = basis.substr(from, at - from);
        }
    }
};

// The payment's income lines in their order, with the recipients and income
// types when `parties`. False after a failed read, which was reported.
bool readLines(LONG payment, bool parties, std::vector<RsmLine>& out) {
    Parties named;
    PositionAmounts a;
    Records<DohociFile> lines(&DohociFile::KEYISPLATA, payment);
    for (const DOHOCI_REC& d : lines) {
        RsmLine& line = out.emplace_back();
        line.ordinal = d.REDNIBROJ;
        if (parties) {
            named.person(d, line);
            named.basis(d, line);
        }
        if (readPositions(d.OZNAKA, a) != 0) {
            STANDARDWARNING(35, "obracun");
            return false;
        }
        line.base = a[POZ_OSNOVICA];
        line.pillar1 = a[POZ_MIROVINSKOISTUP];
        line.pillar2 = a[POZ_MIROVINSKOIISTUP];
        // What reached the person: the net less the crisis tax taken from it.
        line.paid = a[POZ_NETO] - a[POZ_KRIPOREZ];
    }
    if (lines.error()) STANDARDWARNING(35, "dohoci");
    return !lines.error();
}

const Font SMALL{.size = 7};
const Font BODY{.size = 9};
const Font BOLD{.size = 9, .bold = true};
const Font HEAD{.size = 13, .bold = true};
constexpr uint32_t SHADE = 0xE0E0E0;

// ---- page A: A4 portrait, thousandths of an inch from the paper's corner.

constexpr int AL = 700, AR = 7700, AW = AR - AL;
constexpr int VALUE_X = AL + 4600;

struct PageA {
    std::string rsid, year, payerId, name, address, yearPaid, monthPaid;
    int insured = 0;
    Decimal base, pillar1, pillar2, paid;
};

// The form's title and, unless left out, its shaded areas, drawn first so
// that the texts lie on them.
void drawTitleA(Canvas& c, bool shaded) {
    const Box shades[8] = {
        {AL, 450, AW, 420},    // form name
        {AL, 1950, AW, 260},   // I.
        {VALUE_X + 1500, 2830, 500, 260},  // kind of calculation
        {AL, 3900, AW, 260},   // II.
        {VALUE_X, 5110, 500, 260},  // kind of payer
        {AL, 5600, AW, 260},   // III.
        {AL, 8050, 3300, 260},  // the register's part
        {AL, 8310, 3300, 1000},
    };
    if (shaded)
        for (const Box& b : shades) c.fill(b, SHADE);

    c.text({AL + 80, 500, 3500, 320}, "OBRAZAC R-Sm", HEAD);
    c.text({AR - 2080, 520, 2000, 300}, "Stranica A", Font{.size = 11, .bold = true}, Align::Right);
    c.text({AL, 1000, 900, 300}, "Regos", Font{.size = 11, .bold = true});
    c.text({AL + 800, 1030, 4000, 250}, " - središnji registar osiguranika", BODY);
    c.text({AL + 1200, 1400, 5800, 250}, "SPECIFIKACIJA PO OSIGURANICIMA", BOLD);
    c.text({AL + 1200, 1620, 5800, 250}, "O OBRAČUNANIM DOPRINOSIMA ZA OBVEZNA MIROVINSKA OSIGURANJA", BOLD);
}

// The pieces page A is made of.
struct PartsA {
    Canvas& c;
    void section(int y, const char* number, const char* title) const {
        c.box({AL, y, AW, 260});
        c.text({AL + 60, y + 40, 300, 200}, number, BOLD);
        c.text({AL + 400, y + 40, AW - 500, 200}, title, BOLD);
    }
    void label(int y, const char* text) const { c.text({AL + 100, y + 60, VALUE_X - AL - 200, 200}, text, BODY); }
    void field(int x, int y, int w, const std::string& text) const {
        c.box({x, y + 20, w, 240});
        c.text({x + 60, y + 60, w - 100, 200}, text, BODY);
    }
};

// I. and II.: the form and the payer.
void drawBasicsA(const PartsA& p, const PageA& a) {
    p.section(1950, "I.", "OSNOVNI PODACI");
    p.label(2260, "IDENTIFIKATOR OBRASCA");
    p.field(VALUE_X, 2260, 900, a.rsid);
    p.label(2560, "PODACI ZA:");
    p.c.text({VALUE_X, 2620, 600, 200}, "Mjesec", SMALL);
    p.field(VALUE_X + 600, 2560, 400, "00");
    p.c.text({VALUE_X + 1100, 2620, 600, 200}, "Godinu", SMALL);
    p.field(VALUE_X + 1700, 2560, 700, a.year);
    p.label(2830, "3. Vrsta obračuna/ispravka");
    p.field(VALUE_X + 1500, 2810, 500, "03");
    p.label(3130, "Broj osiguranika za koje se podnosi Obrazac R-Sm");
    p.field(VALUE_X, 3130, 900, std::to_string(a.insured));
    p.label(3430, "Broj stranica B koje se prilažu stranici A");
    p.field(VALUE_X, 3430, 900, std::to_string(rsmPagesB(a.insured)));

    p.section(3900, "II.", "PODACI O OBVEZNIKU PODNOŠENJA PODATAKA");
    p.label(4210, "IDENTIFIKACIJSKI BROJ OBVEZNIKA");
    p.field(VALUE_X, 4210, 1800, a.payerId);
    p.label(4510, "NAZIV / PREZIME I IME OBVEZNIKA");
    p.c.text({AL + 2800, 4570, AW - 2900, 200}, a.name, BODY);
    p.label(4810, "ADRESA OBVEZNIKA");
    p.c.text({AL + 2800, 4870, AW - 2900, 200}, a.address, BODY);
    p.label(5110, "VRSTA OBVEZNIKA");
    p.field(VALUE_X, 5090, 500, "17");
}

// III.: the control totals.
void drawTotalsA(const PartsA& p, const PageA& a) {
    // The totals of a payment hold the eleven digits of an amount, as its lines do.
    static const Picture amount = Picture::parse("@N-14.`2");
    Canvas& c = p.c;
    p.section(5600, "III.", "KONTROLNI PODACI PO OBVEZNIKU PODNOŠENJA PODATAKA");
    const struct {
        const char* number;
        const char* text;
        const Decimal* value;
    } totals[] = {
        {"1.", "Iznos obračunane plaće / naknade / drugog dohotka", &a.base},
        {"2.", "Iznos osnovice za obračun doprinosa", &a.base},
        {"3.", "Iznos obračunanog doprinosa za I. stup", &a.pillar1},
        {"4.", "Iznos obračunanog doprinosa za II. stup", &a.pillar2},
        {"5.", "Iznos isplaćene plaće / naknade / drugog dohotka", &a.paid},
    };
    int y = 5910;
    for (const auto& t : totals) {
        c.text({AL + 100, y + 60, 250, 200}, t.number, BODY);
        c.text({AL + 350, y + 60, VALUE_X - AL - 450, 200}, t.text, BODY);
        c.box({VALUE_X, y + 20, 2300, 240});
        c.value({VALUE_X, y + 60, 2240, 200}, amount, *t.value, BODY);
        y += 300;
    }
    c.text({AL + 100, y + 60, 250, 200}, "6.", BODY);
    c.text({AL + 350, y + 60, VALUE_X - AL - 450, 200}, "Godina i mjesec isplate plaće / naknade / drugog dohotka",
           BODY);
    p.field(VALUE_X, y, 800, a.yearPaid);
    p.field(VALUE_X + 1000, y, 500, a.monthPaid);
}

void drawPageA(Canvas& c, const PageA& a, bool shaded) {
    drawTitleA(c, shaded);
    const PartsA parts{c};
    drawBasicsA(parts, a);
    drawTotalsA(parts, a);

    c.box({AL, 8050, 3300, 1260});
    c.text({AL + 60, 8090, 3000, 200}, "POPUNJAVA REGOS", BOLD);
    c.text({AL + 60, 8400, 3000, 200}, "Datum zaprimanja:", BODY);
    c.text({AL + 60, 8800, 3000, 200}, "Pečat i potpis službene osobe:", BODY);
    c.text({AL + 4000, 8800, 800, 200}, "M.P.", BODY);
    c.line(AL + 3500, 9100, AR, 9100);
    c.text({AL + 3500, 9200, AW - 3500, 200}, "(POTPIS OVLAŠTENE OSOBE OBVEZNIKA PODNOŠENJA PODATAKA)", SMALL);
}

// ---- pages B: A4 landscape, thousandths of an inch from the left margin.

constexpr int B_MARGIN = 350;
constexpr int HEADER_H = 2000, ROW_H = 330, FOOTER_H = 800;
struct Column {
    int x, w;
};
// Columns 1 to 11 of the form (index 0 unused).
constexpr Column COL[12] = {{0, 0},       {0, 450},    {450, 1250}, {1700, 2350}, {4050, 600},  {4650, 750},
                            {5400, 800},  {6200, 950}, {7150, 950}, {8100, 950},  {9050, 950}, {10000, 950}};
constexpr int B_RIGHT = 10950;

const char* const HEADINGS_B[12][4] = {
    {},
    {"Red.", "broj"},
    {"Identifikacijski", "broj osiguranika"},
    {"Prezime i ime osiguranika"},
    {"Šifra", "općine/", "grada", "rada"},
    {"Osnova", "obračuna"},
    {"Razdoblje", "obračuna"},
    {"Iznos obračunane", "plaće/naknade", "drugog dohotka"},
    {"Iznos osnovice", "za obračun", "doprinosa"},
    {"Iznos", "obračunanog", "doprinosa", "za I.stup"},
    {"Iznos", "obračunanog", "doprinosa", "za II. stup"},
    {"Iznos isplaćene", "plaće /naknade/", "drugog dohotka"},
};

struct HeaderB {
    std::string rsid, year, payerId;
};

void drawHeaderB(Canvas& c, const HeaderB& h, int page) {
    c.text({0, 0, 3500, 320}, "OBRAZAC R-Sm", HEAD);
    c.text({B_RIGHT - 2000, 0, 2000, 300}, "Stranica B", Font{.size = 11, .bold = true}, Align::Right);
    c.text({0, 330, 900, 300}, "Regos", Font{.size = 11, .bold = true});
    c.text({800, 360, 4000, 250}, " - središnji registar osiguranika", BODY);
    c.text({B_RIGHT - 2000, 360, 1300, 250}, "stranica br:", BODY);
    c.text({B_RIGHT - 600, 360, 600, 250}, std::to_string(page), BOLD, Align::Right);

    c.text({0, 690, 2200, 250}, "IDENTIFIKATOR OBRASCA", BODY);
    c.box({2200, 650, 900, 260});
    c.text({2260, 690, 800, 250}, h.rsid, BOLD);
    c.text({3500, 690, 900, 250}, "GODINA:", BODY);
    c.box({4400, 650, 700, 260});
    c.text({4460, 690, 600, 250}, h.year, BOLD);
    c.text({5500, 690, 2900, 250}, "Identifikacijski broj obveznika", BODY);
    c.box({8400, 650, 1800, 260});
    c.text({8460, 690, 1700, 250}, h.payerId, BOLD);

    c.text({0, 980, 4000, 250}, "IV. PODACI PO OSIGURANICIMA", BOLD);
    c.text({6200, 980, 4000, 250}, "(IZNOSI U KUNAMA S LIPAMA)", SMALL);

    const int top = 1200;
    c.line(0, top, B_RIGHT, top);
    for (int k = 1; k <= 11; ++k)
        for (int l = 0; l < 4 && HEADINGS_B[k][l]; ++l)
            c.text({COL[k].x + 30, top + 20 + l * 140, COL[k].w - 40, 140}, HEADINGS_B[k][l], SMALL);
    // The period boxes: "from" and "to" under their heading.
    c.line(COL[6].x, top + 320, COL[6].x + COL[6].w, top + 320);
    c.line(COL[6].x + COL[6].w / 2, top + 320, COL[6].x + COL[6].w / 2, top + 600);
    c.text({COL[6].x + 30, top + 360, COL[6].w / 2 - 40, 140}, "od", SMALL);
    c.text({COL[6].x + COL[6].w / 2 + 30, top + 360, COL[6].w / 2 - 40, 140}, "do", SMALL);
    c.line(0, top + 600, B_RIGHT, top + 600);
    for (int k = 1; k <= 11; ++k)
        c.text({COL[k].x, top + 620, COL[k].w, 160}, std::to_string(k), SMALL, Align::Center);
    c.line(0, HEADER_H, B_RIGHT, HEADER_H);
    for (int k = 1; k <= 11; ++k) c.line(COL[k].x, top, COL[k].x, HEADER_H);
    c.line(B_RIGHT, top, B_RIGHT, HEADER_H);
}

void drawLineB(Canvas& c, const RsmLine& line) {
    static const Picture amount = Picture::parse("@N-14.`2");
    c.text({COL[1].x + 60, 80, COL[1].w - 80, 200}, std::to_string(line.ordinal), BODY);
    c.text({COL[2].x + 40, 80, COL[2].w - 60, 200}, line.id, BODY);
    // A name longer than its column goes on over a second line of the row.
    if (c.report().textWidth(line.name, BODY) <= COL[3].w - 60)
        c.text({COL[3].x + 40, 80, COL[3].w - 60, 200}, line.name, BODY);
    else
        c.textLines({COL[3].x + 40, 40, COL[3].w - 60, ROW_H - 60}, line.name, Font{.size = 8}, 2);
    c.text({COL[4].x + 40, 80, COL[4].w - 60, 200}, line.municipality, BODY);
    for (int i = 0; i < 3; ++i) {
        const int x = COL[5].x + i * (COL[5].w / 3);
        if (i) c.line(x, 40, x, ROW_H - 40);
        c.text({x + 40, 80, COL[5].w / 3 - 50, 200}, line.basis[size_t(i)], BODY, Align::Center);
    }
    c.text({COL[6].x, 80, COL[6].w / 2, 200}, "0", BODY, Align::Center);
    c.text({COL[6].x + COL[6].w / 2, 80, COL[6].w / 2, 200}, "0", BODY, Align::Center);
    const Decimal* amounts[] = {&line.base, &line.base, &line.pillar1, &line.pillar2, &line.paid};
    for (int k = 7; k <= 11; ++k) c.value({COL[k].x, 80, COL[k].w - 50, 200}, amount, *amounts[k - 7], BODY);
    for (int k = 1; k <= 11; ++k) c.line(COL[k].x, 0, COL[k].x, ROW_H);
    c.line(COL[6].x + COL[6].w / 2, 0, COL[6].x + COL[6].w / 2, ROW_H);
    c.line(B_RIGHT, 0, B_RIGHT, ROW_H);
    c.line(0, ROW_H, B_RIGHT, ROW_H);
}

void drawFooterB(Canvas& c) {
    c.text({3000, 250, 800, 200}, "M.P.", BODY);
    c.line(5600, 400, B_RIGHT, 400);
    c.text({5600, 450, B_RIGHT - 5600, 200}, "(POTPIS OVLAŠTENE OSOBE OBVEZNIKA PODNOŠENJA PODATAKA)", SMALL);
}

}  // namespace

std::unique_ptr<Report> RSMA(LONG payment, char printer, const ProgressFn& progress) {
    const std::optional<ISPLATE_REC> isp = find<IsplateFile>(payment);
    if (!isp) return nullptr;
    const FormPayer payer = readFormPayer(isp->ISPLATITELJ);

    auto report = std::make_unique<Report>("Obrazac R-Sm, stranica A");
    report->setFileName("R-Sm-A", isp->RSID.empty() ? std::to_string(payment) : isp->RSID.str());
    report->setProgress(progress);
    if (!report->progress(0, 2)) return nullptr;
    // A form whose totals silently lost lines would be worse than none.
    std::vector<RsmLine> lines;
    if (!readLines(payment, false, lines) || !report->progress(1, 2)) return nullptr;

    static const Picture year = Picture::parse("@P####P"), month = Picture::parse("@P##P");
    PageA a;
    a.rsid = isp->RSID.str();
    a.year = isp->GODINA.str();
    a.payerId = payer.identification;
    a.name = payer.record.NAZIV.str();
    a.address = payer.address;
    if (!isp->DATUM.empty()) {
        a.yearPaid = year.format(int64_t(isp->DATUM.year()));
        a.monthPaid = month.format(int64_t(isp->DATUM.month()));
    }
    a.insured = int(lines.size());
    for (const RsmLine& l : lines) {
        a.base += l.base;
        a.pillar1 += l.pillar1;
        a.pillar2 += l.pillar2;
        a.paid += l.paid;
    }
    drawPageA(report->page(), a, printer != 'M');
    report->close();
    if (!report->progress(2, 2) || report->pages().empty()) return nullptr;
    return report;
}

std::unique_ptr<Report> RSMB(LONG payment, const ProgressFn& progress) {
    const std::optional<ISPLATE_REC> isp = find<IsplateFile>(payment);
    if (!isp) return nullptr;

    auto report = std::make_unique<Report>("Obrazac R-Sm, stranica B");
    report->setFileName("R-Sm-B", isp->RSID.empty() ? std::to_string(payment) : isp->RSID.str());
    report->setLandscape(true);
    report->setMargins(B_MARGIN, B_MARGIN, B_MARGIN, B_MARGIN);
    report->setProgress(progress);
    const HeaderB header{isp->RSID.str(), isp->GODINA.str(), readFormPayer(isp->ISPLATITELJ).identification};
    Report& r = *report;
    report->setPageHeader(HEADER_H, [header, &r](Canvas& c) { drawHeaderB(c, header, r.pageNumber()); });
    report->setPageFooter(FOOTER_H, drawFooterB);

    std::vector<RsmLine> lines;
    if (!readLines(payment, true, lines)) return nullptr;
    if (lines.empty()) report->page();  // the header, and no lines
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!report->progress(int64_t(i) + 1, int64_t(lines.size()))) return nullptr;
        report->print(ROW_H, [&line = lines[i]](Canvas& c) { drawLineB(c, line); });
        if ((i + 1) % RSM_LINES_PER_PAGE == 0) report->endPage();
    }
    report->close();
    if (report->cancelled() || report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
