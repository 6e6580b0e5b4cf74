#include <array>
#include <type_traits>
#include <unordered_map>

#include "joppd/JoppdPages.h"
#include "joppd/JoppdRows.h"
#include "payments/Positions.h"
#include "report/Export.h"
#include "store/BufferSet.h"
#include "store/Lookup.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// The numbered columns of page B, in the order of the cells of a page-B row.
constexpr std::array<const char*, JOPPD_CELLS> HEADING = {
    "1. R.br.",
    "2. Šifra općine /grada prebivališta /boravišta",
    "3. Šifra općine /grada rada",
    "4. OIB stjecatelja /osiguranika",
    "5. Ime i prezime stjecatelja /osiguranika",
    "6.1. Oznaka stjecatelja /osiguranika",
    "6.2. Oznaka primitka /obveze doprinosa",
    "7.1. Obveza dodatnog doprinosa za MO za staž s povećanim trajanjem",
    "7.2. Obveza posebnog doprinosa za poticanje zapošljavanja osoba s invaliditetom",
    "8. Oznaka prvog /zadnjeg mjeseca u osiguranju po istoj osnovi",
    "9. Oznaka punog /nepounog radnog vremena ili rada s polovicom radnog vremena",
    "10. Sati rada",
    "10.1. Razdoblje obračuna od",
    "10.2. Razdoblje obračuna do",
    "11. Iznos primitka (oporezivi)",
    "12. Osnovica za obračun doprinosa",
    "12.1. Doprinos za mirovinsko osiguranje",
    "12.2. Doprinos za mirovinsko osiguranje -II stup",
    "12.3. Doprinos za zdravstveno osiguranje",
    "12.4. Doprinos za zaštitu zdravlja na radu",
    "12.5. Doprinos za zapošljavanje",
    "12.6. Dodatni doprinos za M.O. za staž osig. koji se računa s povećanim trajanjem",
    "12.7. Dodatni doprinos za M.O. za staž osig. koji se računa s povećanim trajanjem -II.stup",
    "12.8. Poseban doprinos za korištenje zdravstvene zaštite u inozemstvu",
    "12.9. Poseban doprinos za zapošljavanje osoba s invaliditetom",
    "13.1. Izdatak",
    "13.2. Izdatak -uplaćeni doprinos za mirovinsko osiguranje",
    "13.3. Dohodak",
    "13.4. Osobni odbitak",
    "13.5. Porezna osnovica",
    "14.1. Iznos obračunanog poreza na dohodak",
    "14.2. Iznos obračunanog prireza porezu na dohodak",
    "15.1. Oznaka neoporezivog primitka",
    "15.2. Iznos neoporezivog primitka",
    "16.1. Oznaka načina isplate",
    "16.2. Iznos za isplatu",
    "17. Obračunani primitak od nesam. rada (plaća)",
};

// Cells by their column.
enum Cell {
    C1, C2, C3, C4, C5, C61, C62, C71, C72, C8, C9, C10, C101, C102, C11, C12, C121, C122, C123, C124, C125,
    C126, C127, C128, C129, C131, C132, C133, C134, C135, C141, C142, C151, C152, C161, C162, C17,
};

// The grid: groups of columns side by side, each group's columns stacked in
// the lines of one printed row. Widths are in characters of the page's text
// (a two-hundredth of its width), so that every value has its own place.
struct Group {
    int chars;
    std::vector<Cell> cells;
    bool amounts;
};
const std::vector<Group>& groups() {
    static const std::vector<Group> g = {
        {12, {C1, C2, C3}, false},
        {31, {C4, C5}, false},
        {12, {C61, C62, C71, C72}, false},
        {12, {C8, C9, C10}, false},
        {13, {C101, C102}, false},
        {14, {C11, C12, C121, C122}, true},
        {14, {C123, C124, C125, C126}, true},
        {14, {C127, C128, C129, C131}, true},
        {14, {C132, C133, C134, C135}, true},
        {14, {C141, C142, C151, C152}, true},
        {14, {C161, C162, C17}, true},
    };
    return g;
}
constexpr int CHAR = 67;         // report units per character of the text grid
constexpr int SUBROW = 100;      // one value of a stacked column
constexpr int STACK = 4;         // values one above the other in a row
constexpr int ROW = STACK * SUBROW + 20;
constexpr int TOP = 520;         // the page's own heading above the grid
constexpr int FOOTER = 420;
const Font VALUE{.face = "Arial CE", .size = 6};
// The headings are read on paper: no smaller than the values under them.
const Font HEAD{.face = "Arial CE", .size = 6};
const Font BODY{.face = "Arial CE", .size = 8};
const Font BOLD{.face = "Arial CE", .size = 9, .bold = true};

using Row = std::array<std::string, JOPPD_CELLS>;

struct Lookups {
    RecordLookup<OsobeFile> people{OSOBE};
    RecordLookup<MjestaFile> places{MJESTA};
    RecordLookup<OpcineFile> municipalities{OPCINE};
    RecordLookup<VrstedohFile> types{VRSTEDOH};
};

// The printed row of the income line in the DOH buffer. False on a read error.
bool buildRow(Lookups& look, Cursor& calc, Row& row) {
    static const Picture day = Picture::parse("@d17");
    static const Picture amount = Picture::parse("@N-14.`2");
    look.types.read(DOH.VRSTADOHOTKA);
    look.people.read(DOH.DJELATNIK);
    look.places.read(OSO.MJESTO);
    look.municipalities.read(MJE.OPCINA);
    const std::string kind = VRS.REZSTRINGA.str();
    const bool nonTaxableType = !VRS.REZDECIMALA.isZero();

    row[C1] = std::to_string(DOH.REDNIBROJ);
    row[C2] = "0" + OPC.SHIFRA.str();
    if (kind != "00") row[C3] = "00000";
    else row[C3] = std::string(utf8Prefix("0" + (OSO.FAX == "DA" ? OSO.EMAIL.str() : OPC.SHIFRA.str()), 5));
    row[C4] = OSO.OIB.empty() ? OSO.JMBG.str() : OSO.OIB.str();
    row[C5] = rtrim(OSO.PREZIME.str()) + " " + rtrim(OSO.IME.str());
    row[C61] = joppdAcquirer(kind);
    row[C62] = std::string(utf8Prefix(VRS.REZSTRINGB.str(), 4));
    for (Cell c : {C71, C72, C8, C9, C10}) row[c] = "0";
    const Date paid = ISP.DATUM;
    Date from, to;
    if (!paid.empty()) {
        const int y = paid.year(), m = paid.month();
        if (nonTaxableType) {
            from = m == 1 ? Date::fromYmd(y - 1, 12, 1) : Date::fromYmd(y, m - 1, 1);
            to = Date::fromYmd(y, m, 1) - 1;
        } else {
            from = Date::fromYmd(y, 1, 1);
            to = Date::fromYmd(y, 12, 31);
        }
    }
    row[C101] = day.format(from);
    row[C102] = day.format(to);

    std::array<Decimal, JOPPD_CELLS> a{};
    Decimal allowance;
    calc.startAt(DOH.OZNAKA);
    int rc;
    while ((rc = calc.next()) == 0) {
        const Decimal v = OBR.IZNOS.value();
        switch (OBR.POZICIJA) {
            case POZ_BRUTO: a[C11] = v; break;
            case POZ_NEOPOREZIVIDIO:
            case POZ_PRIZNATITROSKOVI: a[C131] += v; break;
            case POZ_OSNOVICA: a[C12] = v; break;
            case POZ_MIROVINSKOISTUP: a[C121] = v; a[C132] += v; break;
            case POZ_MIROVINSKOIISTUP: a[C122] = v; a[C132] += v; break;
            case POZ_DOHODAK: a[C133] = a[C135] = v; break;
            case POZ_POREZ: a[C141] = v; break;
            case POZ_PRIREZ: a[C142] = v; break;
            case POZ_NETO: a[C162] = v; break;
            case POZ_ZDRAVSTVENO: a[C123] = v; break;
            case POZ_OSOBNIODBITAK: allowance = v; break;
            default: break;
        }
    }
    if (rc != kRecordNotAvailable) return false;
    if (kind == "00") {
        a[C11] = a[C12] = a[C133] = a[C135] = Decimal();
        a[C152] = a[C162];
    } else {
        if (kind == "01" || kind == "11") a[C12] = Decimal();
        // The brackets tax the income less the allowance used: the row shows
        // that base, so that the tax in it is the tax on the base shown, as
        // the JOPPD file of the same payment does.
        if (VRS.VISESTOPA == "DA") {
            a[C134] = allowance;
            a[C135] = a[C133] - allowance;
        }
    }
    for (Cell c : {C11, C12, C121, C122, C123, C124, C125, C126, C127, C128, C129, C131, C132, C133, C134, C135, C141,
                   C142, C152, C162, C17})
        row[c] = trim(amount.format(a[c]));
    row[C151] = VRS.REZDECIMALA.value().toString();
    SVA.DOHODAK = DOH.OZNAKA;
    SVA.BROJ = 1;
    row[C161] = SVASTA.get(SVASTA.KEYDOHBROJ) == 0 ? std::to_string(SVA.VRISHORT) : "2";
    return true;
}

struct Heading {
    std::string oib, rsid;
    // Each group's headings, wrapped to its width.
    std::vector<std::vector<std::vector<std::string>>> wrapped;
    int line = 0;    // from one line of a heading to the next
    int height = 0;  // of the headings
};

// A heading's room: its group's width less a little either side.
int headingWidth(const Group& g) { return g.chars * CHAR - 60; }

Heading headings(const Report& r) {
    Heading h;
    h.line = r.lineHeight(HEAD);
    int lines = 0;
    for (const Group& g : groups()) {
        auto& mine = h.wrapped.emplace_back();
        int n = 0;
        for (Cell c : g.cells) {
            mine.push_back(r.wrap(HEADING[size_t(c)], HEAD, headingWidth(g)));
            n += int(mine.back().size());
        }
        lines = std::max(lines, n);
    }
    h.height = lines * h.line + STACK * 20 + 40;
    return h;
}

int groupX(size_t index) {
    int x = 0;
    for (size_t i = 0; i < index; ++i) x += groups()[i].chars * CHAR;
    return x;
}

}  // namespace

std::unique_ptr<Report> joppdPageB(LONG payment, char printer, const ProgressFn& progress, std::string* error) {
    (void)printer;  // one layout serves both kinds of printer
    BufferScope own(BufferSet::make());
    FileUse use{&ISPLATE, &SUBJEKTI, &DOHOCI, &OBRACUN, &OSOBE, &MJESTA, &OPCINE, &VRSTEDOH, &SVASTA};
    auto fail = [error](std::string why) -> std::unique_ptr<Report> {
        if (error) *error = std::move(why);
        return nullptr;
    };

    auto report = std::make_unique<Report>("JOPPD obrazac - stranica B");
    auto h = std::make_shared<Heading>(headings(*report));
    std::vector<Row> rows;
    {
        ReadTransaction snapshot;
        ISPLATE.clear();
        ISP.OZNAKA = payment;
        if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) return fail("Isplata " + std::to_string(payment) + " ne postoji.");
        h->rsid = ISP.RSID.str();
        SUBJEKTI.clear();
        SUB.OZNAKA = ISP.ISPLATITELJ;
        if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
        h->oib = SUB.OIB.empty() ? SUB.POREZNIBROJ.str() : SUB.OIB.str();

        Lookups look;
        Cursor incomes(DOHOCI, DOHOCI.KEYISPLATA.index);
        incomes.startAt(payment);
        Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
        int rc;
        while ((rc = incomes.next()) == 0)
            if (!buildRow(look, calc, rows.emplace_back())) break;
        if (rc != kRecordNotAvailable) {
            // A form that silently lost lines would be worse than none.
            STANDARDWARNING(35, "vrstedoh");
            return fail("Greška pri čitanju dohodaka isplate.");
        }
    }
    if (rows.empty()) return fail(NOTHING_TO_PRINT);
    if (error) error->clear();

    report->setFileName("JOPPD-B", h->rsid.empty() ? std::to_string(payment) : h->rsid);
    report->setLandscape(true);
    report->setMargins(300, 300, 300, 300);
    report->setProgress(progress);
    const int width = groupX(groups().size());
    Report& r = *report;
    report->setPageHeader(TOP + h->height, [h, width, &r](Canvas& c) {
        c.text({0, 0, 3500, 200}, "OIB podnositelja izvješća", BODY);
        c.text({0, 200, 3500, 220}, h->oib, BOLD);
        c.text({3700, 0, 2000, 200}, "II. Oznaka izvješća", BODY);
        c.text({3700, 200, 2000, 220}, h->rsid, BOLD);
        c.text({5900, 0, 2000, 200}, "III. Vrsta izvješća", BODY);
        c.text({5900, 200, 2000, 220}, "1", BOLD);
        c.text({8000, 0, width - 8000, 220}, "- stranica B -", BOLD, Align::Right);
        c.text({width - 3200, 220, 2000, 200}, "VI. Redni broj stranice:", BODY);
        c.text({width - 1100, 220, 1100, 220}, std::to_string(r.pageNumber()), BOLD);
        const int top = TOP;
        c.box({0, top, width, h->height});
        for (size_t g = 0; g < groups().size(); ++g) {
            const int x = groupX(g);
            if (g > 0) c.line(x, top, x, top + h->height);
            int y = top + 20;
            for (const auto& lines : h->wrapped[g]) {
                for (const std::string& l : lines) {
                    c.text({x + 30, y, headingWidth(groups()[g]), 0}, l, HEAD);
                    y += h->line;
                }
                y += 20;
            }
        }
    });
    // The columns' lines run down the whole page once, from the headings to
    // the footer, rather than once in every row.
    const int rowsTop = 300 + TOP + h->height;
    report->setPageFooter(FOOTER, [width, rowsTop, &r](Canvas& c) {
        const int rows = r.paperHeight() - 300 - FOOTER - rowsTop;
        for (size_t g = 0; g <= groups().size(); ++g) {
            const int x = g == groups().size() ? width : groupX(g);
            c.line(x, -rows, x, 0);
        }
        c.line(0, 0, width, 0);
        c.text({0, 120, 1500, 200}, "M.P.", BODY);
        c.text({width - 6000, 120, 6000, 200}, "(POTPIS OVLAŠTENE OSOBE OBVEZNIKA PODNOŠENJA PODATAKA)", BODY,
               Align::Center);
        c.line(width - 5000, 90, width - 1000, 90);
    });

    const int64_t count = int64_t(rows.size());
    for (int64_t i = 0; i < count; ++i) {
        const Row& row = rows[size_t(i)];
        report->print(ROW, [&row, width](Canvas& c) {
            for (size_t g = 0; g < groups().size(); ++g) {
                const Group& group = groups()[g];
                const int x = groupX(g);
                for (size_t k = 0; k < group.cells.size(); ++k) {
                    // Every value fits its place: no clipping, which costs
                    // a PDF of thousands of pages dearly.
                    const Box box{x + 30, 10 + int(k) * SUBROW, group.chars * CHAR - 70, 0};
                    c.text(box, row[group.cells[k]], VALUE, group.amounts ? Align::Right : Align::Left);
                }
            }
            c.line(0, ROW, width, ROW);
        });
        if (!report->progress(i + 1, count)) return nullptr;
    }
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

void registerJoppdPageExports() {
    const ExportArg payment = numberArg("isplata", "broj isplate (ISP:OZNAKA)");
    registerExport({.name = "JOPPDISPIS",
                    .description = "JOPPD obrazac isplate na papiru, stranica A",
                    .args = {payment},
                    .pages = [](const ExportArgs& args) {
                        std::string why;
                        auto report = joppdPageA(LONG(args.number("isplata")), {}, &why);
                        return ExportOutcome::of(std::move(report), why);
                    }});
    registerExport({.name = "JOPPBSTRANA",
                    .description = "JOPPD obrazac isplate na papiru, stranica B",
                    .args = {payment, printerArg("vrsta pisača: M matrični, L laserski")},
                    .pages = [](const ExportArgs& args) {
                        std::string why;
                        auto report = joppdPageB(LONG(args.number("isplata")), args.printer(), {}, &why);
                        return ExportOutcome::of(std::move(report), why);
                    }});
}

}  // namespace marel
