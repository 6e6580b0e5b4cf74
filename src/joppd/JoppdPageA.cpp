#include <array>
#include <map>
#include <set>

#include "joppd/JoppdPages.h"
#include "joppd/JoppdRows.h"
#include "payments/IncomeLine.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// What page A prints, gathered before the first band.
struct PageA {
    std::string naDan, oznaka, podnositelj, adresa, email, oib, oznakaPodn;
    int64_t osoba = 0, redaka = 0;
    struct Row {
        std::string broj, tekst;
        Decimal iznos;
        bool showsAmount = false;
    };
    std::vector<Row> rows;
};

std::string submitterKind(const std::string& tip) {
    if (tip == "P") return "1";
    if (tip == "F") return "2";
    if (tip == "4" || tip == "5") return tip;
    return "";
}

// Amounts of the totals section by their cell (group, line). Only the cells
// the JOPOZIJE lines can point at for this kind of payer receive anything.
using Cells = std::map<std::pair<int, int>, Decimal>;

// The cell of each of the six totals of the rows (JoppdRows::IZNOSA).
constexpr std::array<std::pair<int, int>, 6> kTotalCell = {{
    {11, 51},  // tax and surtax
    {15, 12},  // pension pillar I
    {21, 12},  // pension pillar II
    {25, 15},  // health insurance
    {35, 1},   // non-taxable receipts
    {11, 21},  // tax and surtax on capital
}};

// Counts and sums of the payment's income lines. False on a read error.
bool sumLines(LONG payment, Cells& cells, int64_t& persons, int64_t& count) {
    std::vector<CalculatedLine> lines;
    if (calculatedLines(payment, lines) != 0) return false;
    ValueLookup<OsobeFile> people;
    ValueLookup<VrstedohFile> types;
    std::set<LONG> seen;
    for (const CalculatedLine& l : lines) {
        ++count;
        if (const OSOBE_REC* person = people.find(l.line.DJELATNIK); person && seen.insert(person->OZNAKA).second)
            ++persons;
        // An income type that is missing counts as other income without a
        // non-taxable code; it must not borrow the previous line's codes.
        const VRSTEDOH_REC& type = types.orBlank(l.line.VRSTADOHOTKA);
        JoppdKind kind = JoppdKind::of(type);
        // Page A counts a receipt as non-taxable by its code.
        kind.nonTaxable = !type.REZDECIMALA.isZero();
        const JoppdAmounts a = joppdAmounts(l.at, kind);
        for (size_t t = 0; t < kTotalCell.size(); ++t) cells[kTotalCell[t]] += a.total[t];
    }
    return true;
}

const Font SMALL{.face = "Arial CE", .size = 7};
const Font BODY{.face = "Arial CE", .size = 9};
const Font BOLD{.face = "Arial CE", .size = 9, .bold = true};
const Font TITLE{.face = "Arial CE", .size = 12, .bold = true};
constexpr int WIDTH = 7270;  // between the margins
constexpr int AMOUNT_X = 6000, AMOUNT_W = WIDTH - AMOUNT_X;
constexpr size_t TEXT_CHARS = 100;  // of a totals line before it wraps

void header(Canvas& c, const PageA& a) {
    static const Picture count = Picture::parse("@n-7");
    c.text({0, 0, 4500, 200}, "MINISTARSTVO FINANCIJA, POREZNA UPRAVA", BOLD);
    c.text({0, 200, 4500, 200}, "SREDIŠNJI REGISTAR OSIGURANIKA", BOLD);
    c.text({5000, 0, WIDTH - 5000, 260}, "OBRAZAC JOPPD", TITLE, Align::Right);
    c.text({5000, 260, WIDTH - 5000, 200}, "- stranica A -", BODY, Align::Right);
    c.text({0, 450, WIDTH, 260}, "IZVJEŠĆE", TITLE, Align::Center);
    c.text({0, 700, WIDTH, 200}, a.naDan, SMALL, Align::Center);

    c.box({0, 920, WIDTH, 280});
    c.text({60, 960, 300, 200}, "I.", BOLD);
    c.text({400, 960, 2000, 200}, "OZNAKA IZVJEŠĆA", BOLD);
    c.text({2500, 960, 1000, 200}, a.oznaka, BODY);
    c.text({3800, 960, 2400, 200}, "II.  VRSTA IZVJEŠĆA", BOLD);
    c.text({6300, 960, 900, 200}, "1", BODY);

    c.text({60, 1280, 300, 200}, "III.", BOLD);
    c.text({400, 1280, 1500, 200}, "PODACI O", BOLD);
    c.text({400, 1460, 3000, 200}, "III.1. PODNOSITELJU IZVJEŠĆA", BOLD);
    c.text({3800, 1460, 3400, 200}, "III.2. OBVEZNIKU PLAĆANJA", BOLD);
    const std::pair<const char*, const char*> numbered[] = {{"1.", "Naziv / ime i prezime"},
                                                            {"2.", "Adresa"},
                                                            {"3.", "Adresa elektroničke pošte"},
                                                            {"4.", "OIB"},
                                                            {"5.", "Oznaka podnositelja"}};
    const std::string* values[] = {&a.podnositelj, &a.adresa, &a.email, &a.oib, &a.oznakaPodn};
    for (int i = 0; i < 5; ++i) {
        const int y = 1680 + i * 200;
        c.text({400, y, 300, 200}, numbered[i].first, BODY);
        c.text({700, y, 2200, 200}, numbered[i].second, BODY);
        c.text({3000, y, WIDTH - 3000, 200}, *values[i], BODY);
        c.line(3000, y + 185, WIDTH, y + 185);
    }

    c.box({0, 2720, WIDTH, 440});
    c.text({60, 2760, 500, 200}, "IV.1.", BOLD);
    c.text({600, 2760, 2300, 200}, "BROJ OSOBA ZA KOJE SE", BOLD);
    c.text({600, 2950, 2300, 200}, "PODNOSI IZVJEŠĆE", BOLD);
    c.text({2900, 2760, 600, 200}, trim(count.format(a.osoba)), BODY, Align::Right);
    c.text({3700, 2760, 500, 200}, "IV.2.", BOLD);
    c.text({4200, 2760, 2800, 200}, "BROJ REDAKA NA POPISU POJEDINAČNIH", BOLD);
    c.text({4200, 2950, 2800, 200}, "OBRAČUNA SA STRANICE B", BOLD);
    c.text({WIDTH - 600, 2760, 540, 200}, trim(count.format(a.redaka)), BODY, Align::Right);

    c.text({60, 3260, 300, 200}, "V.", BOLD);
    c.text({400, 3260, WIDTH - 400, 200}, "PODACI O UKUPNOM IZNOSU OBRAČUNANOM PREDUJMU POREZU NA DOHODAK I", BOLD);
    c.text({400, 3450, WIDTH - 400, 200}, "PRIREZU POREZA NA DOHODAK", BOLD);
}

}  // namespace

std::vector<std::string> wrapWords(const std::string& text, size_t width) {
    std::vector<std::string> lines;
    std::string line;
    size_t at = 0;
    const std::string t = trim(text);
    while (at < t.size()) {
        size_t end = t.find(' ', at);
        if (end == std::string::npos) end = t.size();
        const std::string word = t.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        if (!line.empty() && utf8Length(line) + 1 + utf8Length(word) > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

namespace {

// The heading of page A from the payment and its payer.
void describe(const ISPLATE_REC& payment, PageA& a) {
    const Date d = payment.DATUM;
    a.naDan = "o primicima, porezu na dohodak i prirezu te doprinosima za obvezna osiguranja na dan ";
    if (!d.empty())
        a.naDan += std::to_string(d.day()) + "." + std::to_string(d.month()) + "." + std::to_string(d.year()) + ".";
    a.oznaka = payment.RSID.str();
    // A related record that is missing prints blank.
    ValueLookup<SubjektiFile> payers;
    const SUBJEKTI_REC& payer = payers.orBlank(payment.ISPLATITELJ);
    a.podnositelj = payer.NAZIV.str();
    a.email = payer.EMAIL.str();
    a.oib = payer.OIB.str();
    a.oznakaPodn = submitterKind(payer.TIP.str());
    ValueLookup<MjestaFile> places;
    ValueLookup<UliceFile> streets;
    a.adresa = rtrim(places.orBlank(payer.MJESTO).NAZIV.str()) + ", " + rtrim(streets.orBlank(payer.ULICA).NAZIV.str()) +
               " " + rtrim(payer.KUCNIBROJ.str());
}

}  // namespace

std::unique_ptr<Report> joppdPageA(LONG payment, const ProgressFn& progress, std::string* error) {
    PageA a;
    {
        ReadTransaction snapshot;
        const auto paid = find<IsplateFile>(payment);
        if (!paid) {
            if (error) *error = "Isplata " + std::to_string(payment) + " ne postoji.";
            return nullptr;
        }
        describe(*paid, a);
        Cells cells;
        if (!sumLines(payment, cells, a.osoba, a.redaka)) {
            STANDARDWARNING(35, "vrstedoh");
            if (error) *error = "Greška pri čitanju dohodaka isplate.";
            return nullptr;
        }
        for (const JOPOZIJE_REC& line : Records<JopozijeFile>(&JopozijeFile::KEYREDNIBROJ)) {
            const auto cell = cells.find({int(line.GRUPA), int(line.REDNIBROJ)});
            a.rows.push_back({std::string(utf8Prefix(line.BRTEKST.str(), 15)), rtrim(line.TEKST1.str()),
                              cell == cells.end() ? Decimal() : cell->second, line.VRSTA == "N"});
        }
    }

    auto report = std::make_unique<Report>("JOPPD obrazac - stranica A");
    // The form is known by its designation (the payment's, "14105").
    report->setFileName("JOPPD-A", a.oznaka.empty() ? std::to_string(payment) : a.oznaka);
    report->setMargins(500, 400, 500, 400);
    report->setProgress(progress);
    report->print(3700, [&a](Canvas& c) { header(c, a); });
    static const Picture amount = Picture::parse("@N-14.`2B");
    const int64_t count = int64_t(a.rows.size());
    for (int64_t i = 0; i < count; ++i) {
        const PageA::Row& row = a.rows[size_t(i)];
        const std::vector<std::string> text = wrapWords(row.tekst, TEXT_CHARS);
        const int lines = std::max<int>(1, int(text.size()));
        report->print(lines * 165, [&](Canvas& c) {
            c.text({0, 15, 550, 160}, row.broj, SMALL);
            for (int l = 0; l < int(text.size()); ++l) c.text({600, 15 + l * 165, AMOUNT_X - 700, 160}, text[size_t(l)], SMALL);
            if (row.showsAmount) {
                c.box({AMOUNT_X, 5, AMOUNT_W, 155});
                c.text({AMOUNT_X, 15, AMOUNT_W - 60, 160}, trim(amount.format(row.iznos)), SMALL, Align::Right);
            }
        });
        if (!report->progress(i + 1, count)) return nullptr;
    }
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
