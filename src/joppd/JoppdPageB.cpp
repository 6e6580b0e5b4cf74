#include <array>
#include <optional>
#include <tuple>
#include <type_traits>
#include <unordered_map>

#include "joppd/JoppdPages.h"
#include "joppd/JoppdRows.h"
#include "payments/IncomeLine.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Values.h"
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

using Cell = JoppdCell;

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
    ValueLookup<OsobeFile> people;
    ValueLookup<MjestaFile> places;
    ValueLookup<OpcineFile> municipalities;
    ValueLookup<VrstedohFile> types;
};

// The printed row of income line `l` of a payment made on `paid`. A related
// record that is missing prints blank.
void buildRow(Lookups& look, const CalculatedLine& l, Date paid, Row& row) {
    static const Picture day = Picture::parse("@d17");
    static const Picture amount = Picture::parse("@N-14.`2");
    const VRSTEDOH_REC& type = look.types.orBlank(l.line.VRSTADOHOTKA);
    const OSOBE_REC& person = look.people.orBlank(l.line.DJELATNIK);
    const OPCINE_REC& municipality = look.municipalities.orBlank(look.places.orBlank(person.MJESTO).OPCINA);
    const std::string kind = type.REZSTRINGA.str();

    row[C1] = std::to_string(l.line.REDNIBROJ);
    row[C2] = "0" + municipality.SHIFRA.str();
    if (kind != "00") row[C3] = "00000";
    else row[C3] = std::string(utf8Prefix("0" + (person.FAX == "DA" ? person.EMAIL.str() : municipality.SHIFRA.str()), 5));
    row[C4] = person.OIB.empty() ? person.JMBG.str() : person.OIB.str();
    row[C5] = rtrim(person.PREZIME.str()) + " " + rtrim(person.IME.str());
    row[C61] = joppdAcquirer(kind);
    row[C62] = std::string(utf8Prefix(type.REZSTRINGB.str(), 4));
    for (Cell c : {C71, C72, C8, C9, C10}) row[c] = "0";
    Date from, to;
    if (!paid.empty()) std::tie(from, to) = joppdPeriod(paid, !type.REZDECIMALA.isZero());
    row[C101] = day.format(from);
    row[C102] = day.format(to);

    JoppdKind rules = JoppdKind::of(type);
    // The paper shows the base of the contributions of every type but those
    // that pay none.
    rules.contributionBase = kind != "00" && kind != "01" && kind != "11";
    const JoppdAmounts a = joppdAmounts(l.at, rules);
    for (size_t c = C11; c < JOPPD_CELLS; ++c)
        if (c != C151 && c != C161) row[c] = trim(amount.format(a.cell[c]));
    row[C151] = type.REZDECIMALA.value().toString();
    row[C161] = joppdPaymentMethod(l.line.OZNAKA);
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

namespace {

// The payer's OIB, the report's designation and the rows of payment
// `payment`; the reason when there is nothing to print.
std::optional<std::string> gather(LONG payment, Heading& h, std::vector<Row>& rows) {
    ReadTransaction snapshot;
    const auto paid = find<IsplateFile>(payment);
    if (!paid) return "Isplata " + std::to_string(payment) + " ne postoji.";
    h.rsid = paid->RSID.str();
    ValueLookup<SubjektiFile> payers;
    const SUBJEKTI_REC& payer = payers.orBlank(paid->ISPLATITELJ);
    h.oib = payer.OIB.empty() ? payer.POREZNIBROJ.str() : payer.OIB.str();

    std::vector<CalculatedLine> lines;
    if (calculatedLines(payment, lines) != 0) {
        // A form that silently lost lines would be worse than none.
        STANDARDWARNING(35, "vrstedoh");
        return "Greška pri čitanju dohodaka isplate.";
    }
    Lookups look;
    for (const CalculatedLine& l : lines) buildRow(look, l, paid->DATUM, rows.emplace_back());
    if (rows.empty()) return NOTHING_TO_PRINT;
    return std::nullopt;
}

// The page's own heading and the numbered column headings above the grid.
Band pageHeader(std::shared_ptr<Heading> h, int width, Report& r) {
    return [h, width, &r](Canvas& c) {
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
    };
}

// The columns' lines run down the whole page once, from the headings to
// the footer, rather than once in every row.
Band pageFooter(int width, int rowsTop, Report& r) {
    return [width, rowsTop, &r](Canvas& c) {
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
    };
}

}  // namespace

std::unique_ptr<Report> joppdPageB(LONG payment, char printer, const ProgressFn& progress, std::string* error) {
    (void)printer;  // one layout serves both kinds of printer
    auto report = std::make_unique<Report>("JOPPD obrazac - stranica B");
    auto h = std::make_shared<Heading>(headings(*report));
    std::vector<Row> rows;
    if (auto why = gather(payment, *h, rows)) {
        if (error) *error = std::move(*why);
        return nullptr;
    }
    if (error) error->clear();

    report->setFileName("JOPPD-B", h->rsid.empty() ? std::to_string(payment) : h->rsid);
    report->setLandscape(true);
    report->setMargins(300, 300, 300, 300);
    report->setProgress(progress);
    const int width = groupX(groups().size());
    report->setPageHeader(TOP + h->height, pageHeader(h, width, *report));
    report->setPageFooter(FOOTER, pageFooter(width, 300 + TOP + h->height, *report));

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
                        return ExportOutcome::explained(
                            [&](std::string* why) { return joppdPageA(LONG(args.number("isplata")), {}, why); });
                    }});
    registerExport({.name = "JOPPBSTRANA",
                    .description = "JOPPD obrazac isplate na papiru, stranica B",
                    .args = {payment, printerArg("vrsta pisača: M matrični, L laserski")},
                    .pages = [](const ExportArgs& args) {
                        const LONG n = LONG(args.number("isplata"));
                        const char printer = args.printer();
                        return ExportOutcome::explained([&](std::string* why) { return joppdPageB(n, printer, {}, why); });
                    }});
}

}  // namespace marel
