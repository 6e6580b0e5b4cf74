#include <map>
#include <set>

#include "joppd/JoppdPages.h"
#include "payments/Positions.h"
#include "report/Export.h"
#include "store/BufferSet.h"
#include "store/Lookup.h"
#include "store/Records.h"
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

// Counts and sums of the payment's income lines. False on a read error.
bool sumLines(LONG payment, Cells& cells, int64_t& persons, int64_t& lines) {
    std::set<LONG> seen;
    Cursor incomes(DOHOCI, DOHOCI.KEYISPLATA.index);
    incomes.startAt(payment);
    Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
    int rc;
    while ((rc = incomes.next()) == 0) {
        ++lines;
        // An income type that is missing counts as other income without a
        // non-taxable code; it must not borrow the previous line's codes.
        readByNumber(VRSTEDOH, DOH.VRSTADOHOTKA);
        if (readByNumber(OSOBE, DOH.DJELATNIK) && seen.insert(OSO.OZNAKA).second) ++persons;
        const bool capital = VRS.REZSTRINGA == "11";
        const bool nonTaxable = !VRS.REZDECIMALA.isZero();
        calc.startAt(DOH.OZNAKA);
        while ((rc = calc.next()) == 0) {
            const Decimal a = OBR.IZNOS.value();
            switch (OBR.POZICIJA) {
                case POZ_POREZ:
                case POZ_PRIREZ: cells[capital ? std::pair{11, 21} : std::pair{11, 51}] += a; break;
                case POZ_MIROVINSKOISTUP: cells[{15, 12}] += a; break;
                case POZ_MIROVINSKOIISTUP: cells[{21, 12}] += a; break;
                case POZ_ZDRAVSTVENO: cells[{25, 15}] += a; break;
                case POZ_NETO:
                    if (nonTaxable) cells[{35, 1}] += a;
                    break;
                default: break;
            }
        }
        if (rc != kRecordNotAvailable) return false;
    }
    return rc == kRecordNotAvailable;
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

std::unique_ptr<Report> joppdPageA(LONG payment, const ProgressFn& progress, std::string* error) {
    BufferScope own(BufferSet::make());
    FileUse use{&ISPLATE, &SUBJEKTI, &MJESTA, &ULICE, &DOHOCI, &OBRACUN, &OSOBE, &VRSTEDOH, &JOPOZIJE};

    PageA a;
    {
        ReadTransaction snapshot;
        if (!readByNumber(ISPLATE, payment)) {
            if (error) *error = "Isplata " + std::to_string(payment) + " ne postoji.";
            return nullptr;
        }
        const Date d = ISP.DATUM;
        a.naDan = "o primicima, porezu na dohodak i prirezu te doprinosima za obvezna osiguranja na dan ";
        if (!d.empty())
            a.naDan += std::to_string(d.day()) + "." + std::to_string(d.month()) + "." + std::to_string(d.year()) + ".";
        a.oznaka = ISP.RSID.str();
        readByNumber(SUBJEKTI, ISP.ISPLATITELJ);
        a.podnositelj = SUB.NAZIV.str();
        a.email = SUB.EMAIL.str();
        a.oib = SUB.OIB.str();
        a.oznakaPodn = submitterKind(SUB.TIP.str());
        readByNumber(MJESTA, SUB.MJESTO);
        readByNumber(ULICE, SUB.ULICA);
        a.adresa = rtrim(MJE.NAZIV.str()) + ", " + rtrim(ULI.NAZIV.str()) + " " + rtrim(SUB.KUCNIBROJ.str());

        Cells cells;
        if (!sumLines(payment, cells, a.osoba, a.redaka)) {
            STANDARDWARNING(35, "vrstedoh");
            if (error) *error = "Greška pri čitanju dohodaka isplate.";
            return nullptr;
        }
        JOPOZIJE.set(JOPOZIJE.KEYREDNIBROJ);
        while (JOPOZIJE.next() == 0) {
            const auto cell = cells.find({int(JOP.GRUPA), int(JOP.REDNIBROJ)});
            a.rows.push_back({std::string(utf8Prefix(JOP.BRTEKST.str(), 15)), rtrim(JOP.TEKST1.str()),
                              cell == cells.end() ? Decimal() : cell->second, JOP.VRSTA == "N"});
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
