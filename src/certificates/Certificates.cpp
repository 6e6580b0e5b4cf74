#include "certificates/Certificates.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include "certificates/Amounts.h"
#include "certificates/CrisisTax.h"
#include "common/Picture.h"
#include "payments/IncomeLine.h"
#include "payments/Positions.h"
#include "report/Export.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

void add(PositionAmounts& to, const PositionAmounts& a) {
    for (size_t i = 0; i < to.size(); ++i) to[i] += a[i];
}

// An income line that belongs on a certificate.
struct Line {
    BYTE type = 0;
    int64_t order = 0;  // the line's place in its file, which keeps the order it was entered in
    Date paid;
    LONG id = 0;
};

struct Row {
    Date paid;
    PositionAmounts a{};
};

struct Group {
    BYTE type = 0;
    std::vector<Row> rows;
    PositionAmounts sum{};
};

struct Certificate {
    std::string payerName, payerAddress, payerOib, placeDate;
    std::string name, address, oib;
    std::vector<Group> groups;
    PositionAmounts total{};
};

// An income type as the certificate shows it.
struct TypeInfo {
    std::string name;
    std::string expense;  // "30%", "25%+30%"
};

std::string percent(const Decimal& rate) {
    std::string s = rate.toString();
    std::replace(s.begin(), s.end(), '.', ',');
    return s + "%";
}

std::string placeName(LONG place) {
    const std::optional<MJESTA_REC> p = find<MjestaFile>(place);
    return p ? rtrim(p->NAZIV.str()) : "";
}

// "Place, Street 12": a place or street that cannot be read stays blank.
std::string addressOf(LONG place, LONG street, const std::string& house) {
    const std::optional<ULICE_REC> s = find<UliceFile>(street);
    return placeName(place) + ", " + (s ? trim(s->NAZIV.str()) : "") + " " + trim(house);
}

// What a run of certificates shares: the payer, the income types, the year.
struct Run {
    LONG payer = 0;
    int year = 0;
    bool crisis = false;
    std::string payerName, payerAddress, payerOib, placeDate;
    std::map<BYTE, TypeInfo> types;  // ascending code: the order of the groups
    const char* failedFile = nullptr;
    bool payerFound = false;

    bool readTypes() {
        Records<VrstedohFile> all(&VrstedohFile::KEYOZNAKA);
        for (const VRSTEDOH_REC& v : all) {
            TypeInfo& t = types[v.OZNAKA];
            t.name = rtrim(v.NAZIV.str());
            t.expense = (v.NEOPOREZIVIDIO.value() > Decimal() ? percent(v.NEOPOREZIVIDIO.value()) + "+" : "") +
                        percent(v.PRIZNATITROSKOVI.value());
        }
        if (all.error()) failedFile = "vrstedoh";
        return !all.error();
    }

    void readPayer() {
        static const Picture day = Picture::parse("D17B");
        const std::optional<SUBJEKTI_REC> p = find<SubjektiFile>(payer);
        payerFound = p.has_value();
        const SUBJEKTI_REC& sub = p ? *p : SUBJEKTI_REC{};
        payerName = rtrim(sub.NAZIV.str());
        payerOib = sub.OIB.str();
        payerAddress = addressOf(sub.MJESTO, sub.ULICA, sub.KUCNIBROJ.str());
        // The crisis-tax certificate is dated the day it is printed; the
        // ordinary one carries the report date the window offers.
        const Date date = crisis ? Date::today() : GLO.DATUMIZVJ;
        placeDate = placeName(sub.MJESTO) + ", " + trim(day.format(date));
    }

    // The amounts of each line, grouped by income type in the order of their
    // codes; lines of a type the file does not know go after the known ones.
    bool build(const LONG recipient, std::vector<Line> lines, Certificate& out) {
        out.payerName = payerName;
        out.payerAddress = payerAddress;
        out.payerOib = payerOib;
        out.placeDate = placeDate;
        const OSOBE_REC who = find<OsobeFile>(recipient).value_or(OSOBE_REC{});
        out.name = rtrim(who.IME.str()) + " " + rtrim(who.PREZIME.str());
        out.address = addressOf(who.MJESTO, who.ULICA, who.KUCNIBROJ.str());
        out.oib = who.OIB.str();

        std::stable_sort(lines.begin(), lines.end(), [this](const Line& a, const Line& b) {
            const bool ka = types.count(a.type) != 0, kb = types.count(b.type) != 0;
            if (ka != kb) return ka;
            return a.type != b.type ? a.type < b.type : a.order < b.order;
        });
        for (const Line& l : lines) {
            if (out.groups.empty() || out.groups.back().type != l.type) out.groups.push_back(Group{l.type, {}, {}});
            Group& g = out.groups.back();
            Row row{l.paid, {}};
            if (readPositions(l.id, row.a) != 0) {
                failedFile = "obracun";
                return false;
            }
            add(g.sum, row.a);
            add(out.total, row.a);
            g.rows.push_back(row);
        }
        return true;
    }
};

// The payments of the payer in the year, by number, with their dates.
bool paymentsOfYear(Run& run, std::unordered_map<LONG, Date>& out) {
    Records<IsplateFile> payments(&IsplateFile::KEYISPLATITELJ, run.payer);
    for (const ISPLATE_REC& p : payments)
        if (!p.DATUM.empty() && p.DATUM.year() == run.year) out.emplace(p.OZNAKA, p.DATUM);
    if (payments.error()) run.failedFile = "isplate";
    return !payments.error();
}

// An income line just given by a walk, as a certificate keeps it: its place
// in the file keeps the order the lines were entered in.
Line certificateLine(const DOHOCI_REC& d, const Records<DohociFile>& walk, Date paid) {
    return Line{d.VRSTADOHOTKA, walk.id(), paid, d.OZNAKA};
}

// ---- the page

// What a column of the certificate's table shows.
enum class Shows { Number, PaidOn, PaidOnOrBlank, TypeName, ExpenseRate, Amount };

// A column of the certificate's table: its width, its heading in lines, the
// number printed under the heading, and what it shows: an amount column the
// sum of the line's positions `plus` less position `less`.
struct Column {
    int width;
    std::vector<const char*> heading;
    const char* number;
    Align align;
    Shows shows = Shows::Amount;
    std::vector<Pozicija> plus = {};
    Pozicija less = Pozicija(0);  // position 0 holds nothing
};

constexpr Shows AMOUNT = Shows::Amount;
const std::vector<Pozicija> GROSS = {POZ_BRUTO}, EXPENSES = {POZ_NEOPOREZIVIDIO, POZ_PRIZNATITROSKOVI},
                            CONTRIBUTIONS = {POZ_MIROVINSKOISTUP, POZ_MIROVINSKOIISTUP}, INCOME = {POZ_DOHODAK},
                            TAX = {POZ_POREZ, POZ_PRIREZ}, NET = {POZ_NETO}, CRISIS_TAX = {POZ_KRIPOREZ};

const std::vector<Column>& ordinaryColumns() {
    static const std::vector<Column> c = {
        {350, {"Red.", "br."}, "1", Align::Left, Shows::Number},
        {800, {"Nadnevak", "isplate", "primitka"}, "2", Align::Left, Shows::PaidOn},
        {2100, {"Primitak po osnovi:"}, "3", Align::Left, Shows::TypeName},
        {1000, {"Iznos", "primitka"}, "4", Align::Right, AMOUNT, GROSS},
        {900, {"Izdatak u", "postotku"}, "5", Align::Left, Shows::ExpenseRate},
        {1000, {"Iznos", "Izdatka"}, "6", Align::Right, AMOUNT, EXPENSES},
        {1000, {"Iznos", "uplaćenog", "doprinosa", "iz primitka"}, "7", Align::Right, AMOUNT, CONTRIBUTIONS},
        {1000, {"Dohodak"}, "8 (4-6-7)", Align::Right, AMOUNT, INCOME},
        {900, {"Nadnevak up-", "late doprinosa,", "poreza i", "prireza"}, "9", Align::Left, Shows::PaidOnOrBlank},
        {1000, {"Iznos", "uplaćenog", "poreza i prireza"}, "10", Align::Right, AMOUNT, TAX},
        {840, {"Neto", "isplata"}, "11 (4-7-10)", Align::Right, AMOUNT, NET},
    };
    return c;
}

const std::vector<Column>& crisisColumns() {
    static const std::vector<Column> c = {
        {350, {"Red.", "br."}, "1", Align::Left, Shows::Number},
        {2000, {"Primitak po osnovi:"}, "2", Align::Left, Shows::TypeName},
        {850, {"Iznos", "primitka"}, "3", Align::Right, AMOUNT, GROSS},
        {700, {"Izdatak u", "postotku"}, "4", Align::Left, Shows::ExpenseRate},
        {850, {"Iznos", "izdatka"}, "5", Align::Right, AMOUNT, EXPENSES},
        {850, {"Iznos", "doprinosa", "iz primitka"}, "6", Align::Right, AMOUNT, CONTRIBUTIONS},
        {850, {"Dohodak"}, "7 (3-5-6)", Align::Right, AMOUNT, INCOME},
        {800, {"Nadnevak", "uplate"}, "8", Align::Left, Shows::PaidOnOrBlank},
        {850, {"Iznos", "uplaćenog", "doprinosa"}, "9", Align::Right, AMOUNT, CONTRIBUTIONS},
        {850, {"Iznos", "uplaćenog", "poreza i prireza"}, "10", Align::Right, AMOUNT, TAX},
        {750, {"Posebni", "porez"}, "11", Align::Right, AMOUNT, CRISIS_TAX},
        {850, {"Neto isplata", "nakon posebnog", "poreza"}, "12 (3-6-10-11)", Align::Right, AMOUNT, NET, POZ_KRIPOREZ},
    };
    return c;
}

constexpr int ROW = 200;
constexpr int HEADING_TOP = 1580;  // of the column headings, from the header's top
constexpr int HEADER = 2380;
const Font BODY{.size = 8};
const Font SMALL{.size = 7};
const Font SMALL_BOLD{.size = 7, .bold = true};
const Font BOLD{.size = 8, .bold = true};
const Font LABEL{.size = 9};
const Font VALUE{.size = 9, .bold = true};

int tableWidth(const std::vector<Column>& cols) {
    int w = 0;
    for (const Column& c : cols) w += c.width;
    return w;
}

std::string money(const Decimal& v, bool blankZero = true) {
    static const Picture blank = Picture::parse("N-14.`2B"), zero = Picture::parse("N-14.`2");
    return trim((blankZero ? blank : zero).format(v));
}

std::string day(Date d, bool blank) {
    static const Picture d17 = Picture::parse("d17"), d17b = Picture::parse("D17B");
    return trim((blank ? d17b : d17).format(d));
}

// A row of the table. `span` columns from `label` on hold one text (the
// label of a total), without the rules between them or before them. A text
// too long for its column (an income type's name) goes on over a second
// line, and the row grows by it.
void tableRow(Report& r, const std::vector<Column>& cols, const std::vector<std::string>& cells, const Font& font,
              int label = -1, int span = 1, bool top = false) {
    struct Cell {
        int x, width;
        const Font* face;
        bool amount;
    };
    std::vector<Cell> at(cols.size());
    int lines = 1, lineHeight = 0;
    int x = 0;
    for (size_t i = 0; i < cols.size(); ++i) {
        const int col = int(i);
        // A total's label has its columns to itself; a long one gets the small face.
        const Font& face = col == label && cols.size() > 11 ? SMALL_BOLD : font;
        int w = cols[i].width;
        if (col == label)
            for (int k = 1; k < span; ++k) w += cols[i + size_t(k)].width;
        at[i] = {x, w, &face, col != label && cols[i].align == Align::Right};
        x += cols[i].width;
        if (at[i].amount || cells[i].empty()) continue;
        lines = std::max(lines, std::min(2, int(r.wrap(cells[i], face, w - 80).size())));
        lineHeight = std::max(lineHeight, r.lineHeight(face));
    }
    const int height = ROW + (lines - 1) * lineHeight;
    r.print(height, [&](Canvas& c) {
        for (size_t i = 0; i < cols.size(); ++i) {
            const int col = int(i);
            const bool inSpan = label >= 0 && col > label && col < label + span;
            const bool ruleBefore = col == 0 || !(label >= 0 && col >= label && col < label + span);
            if (ruleBefore) c.line(at[i].x, 0, at[i].x, height);
            if (inSpan || cells[i].empty()) continue;
            if (at[i].amount) certificates::rightText(c, {at[i].x, 30, at[i].width, ROW - 30}, cells[i], *at[i].face);
            else c.textLines({at[i].x + 50, 30, at[i].width - 80, lines * lineHeight}, cells[i], *at[i].face, lines);
        }
        c.line(x, 0, x, height);
        if (top) c.line(0, 0, x, 0);
        c.line(0, height, x, height);
    });
}

void pageHeader(Canvas& c, const Certificate& cert, const std::vector<Column>& cols, const std::string& title,
                bool dated) {
    const int width = tableWidth(cols);
    c.text({0, 0, width, 320}, "POTVRDA", Font{.size = 14, .bold = true}, Align::Center);
    c.text({0, 340, width, 220}, title, Font{.size = 9, .bold = true}, Align::Center);

    const int right = width / 2 + 250;
    // A value ends with the table at the latest.
    auto pair = [&](int x, int y, const char* label, const std::string& value) {
        c.text({x, y, 1400, 200}, label, LABEL);
        c.text({x + 1450, y, std::min(3900, width - x - 1450), 200}, value, VALUE);
    };
    pair(0, 700, "Isplatitelj:", cert.payerName);
    pair(0, 900, "Adresa:", cert.payerAddress);
    pair(0, 1100, "OIB:", cert.payerOib);
    pair(right, 700, "Porezni obveznik:", cert.name);
    pair(right, 900, "Adresa:", cert.address);
    pair(right, 1100, "OIB:", cert.oib);
    if (dated) pair(right, 1300, "Nadnevak", cert.placeDate);

    // The column headings, line by line, and the column numbers under them.
    const int top = HEADING_TOP, numbers = HEADER - 230;
    c.line(0, top, width, top);
    c.line(0, numbers, width, numbers);
    c.line(0, HEADER, width, HEADER);
    int x = 0;
    for (const Column& col : cols) {
        c.line(x, top, x, HEADER);
        int y = top + 40;
        for (const char* part : col.heading) {
            c.text({x + 20, y, col.width - 40, 130}, part, SMALL_BOLD, Align::Center);
            y += 130;
        }
        c.text({x + 20, numbers + 40, col.width - 40, 150}, col.number, SMALL, Align::Center);
        x += col.width;
    }
    c.line(x, top, x, HEADER);
}

void closing(Report& r, const Certificate& cert, int width) {
    r.print(900, [&](Canvas& c) {
        c.text({0, 250, 4000, 200}, cert.placeDate, LABEL);
        c.text({width - 3500, 250, 3500, 200}, "POTPIS I PEČAT ISPLATITELJA", LABEL, Align::Center);
        c.line(width - 3300, 800, width - 200, 800);
    });
}

// The amounts of a row and the income type's expense rate, each in its
// column; the other cells are the row's own.
std::vector<std::string> amountCells(const std::vector<Column>& cols, const PositionAmounts& a,
                                     const std::string& expense, bool blankZero) {
    std::vector<std::string> cell(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) {
        const Column& col = cols[i];
        if (col.shows == Shows::ExpenseRate) cell[i] = expense;
        if (col.shows != Shows::Amount) continue;
        Decimal sum;
        for (Pozicija p : col.plus) sum += a[p];
        cell[i] = money(sum - a[col.less], blankZero);
    }
    return cell;
}

// A total row: the label across the name columns, the amounts of `a`
// (zeros shown in the grand total, which is printed even when empty).
std::vector<std::string> totalCells(const Run& run, const PositionAmounts& a, const std::string& label,
                                    const std::string& expense, bool blankZero) {
    std::vector<std::string> cell =
        amountCells(run.crisis ? crisisColumns() : ordinaryColumns(), a, expense, blankZero);
    cell[1] = label;
    return cell;
}

// A line's row: its number, its dates and its income type's name besides the amounts.
std::vector<std::string> lineCells(const std::vector<Column>& cols, int number, const Row& row,
                                   const std::string& name, const std::string& expense) {
    std::vector<std::string> cell = amountCells(cols, row.a, expense, true);
    for (size_t i = 0; i < cols.size(); ++i) {
        switch (cols[i].shows) {
            case Shows::Number: cell[i] = std::to_string(number) + "."; break;
            case Shows::PaidOn: cell[i] = day(row.paid, false); break;
            case Shows::PaidOnOrBlank: cell[i] = day(row.paid, true); break;
            case Shows::TypeName: cell[i] = name; break;
            default: break;
        }
    }
    return cell;
}

// The rows of one certificate, from the top of a page of its own.
void printCertificate(Report& r, const Run& run, const Certificate& cert) {
    const auto& cols = run.crisis ? crisisColumns() : ordinaryColumns();
    int rowNumber = 0;
    bool afterGap = false;  // the row under the gap after a subtotal closes its own top
    for (const Group& g : cert.groups) {
        auto t = run.types.find(g.type);
        const std::string name = t != run.types.end() ? t->second.name : "";
        const std::string expense = t != run.types.end() ? t->second.expense : "";
        for (const Row& row : g.rows) {
            tableRow(r, cols, lineCells(cols, ++rowNumber, row, name, expense), BODY, -1, 1, afterGap);
            afterGap = false;
        }
        // A type whose receipts add up to nothing gets no subtotal.
        if (g.sum[POZ_BRUTO] > Decimal()) {
            tableRow(r, cols, totalCells(run, g.sum, "Ukupno " + name, expense, true), BOLD, 1, run.crisis ? 1 : 2);
            r.print(100, [](Canvas&) {});
            afterGap = true;
        }
    }
    tableRow(r, cols, totalCells(run, cert.total, "SVEUKUPNO", "", false), BOLD, 1, run.crisis ? 1 : 2, afterGap);
    closing(r, cert, tableWidth(cols));
}

}  // namespace

bool validYear(const std::string& year) {
    return year.size() == 4 && std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string proposedYear(Date today) {
    return std::to_string(today.month() > 7 ? today.year() : today.year() - 1);
}

bool crisisYear(const std::string& year) { return year == "2009" || year == "2010"; }

namespace {

// Builds the report of the certificates in `people` (recipient and his
// lines); nullptr when there is nothing to print, on cancel and on a failed
// read (after its warning).
std::unique_ptr<Report> render(Run& run, std::vector<std::pair<LONG, std::vector<Line>>>& people,
                               const ProgressFn& progress) {
    const std::string title = "O ISPLAĆENOM PRIMITKU, DOHOTKU, UPLAĆENOM DOPRINOSU, POREZU NA DOHODAK I PRIREZU U " +
                              std::to_string(run.year) + ". GODINI";
    auto report = std::make_unique<Report>("POTVRDA");
    report->setPaper(Paper::A4);
    report->setLandscape(true);
    report->setMargins(400, 400, 400, 400);
    report->setProgress(progress);
    const Certificate* current = nullptr;
    const auto& cols = run.crisis ? crisisColumns() : ordinaryColumns();
    report->setPageHeader(HEADER, [&](Canvas& c) {
        if (current) pageHeader(c, *current, cols, title, run.crisis);
    });

    int64_t total = 0, done = 0;
    for (const auto& p : people) total += int64_t(p.second.size()) + 1;
    bool first = true;
    std::string name;  // of the one recipient, when there is one
    for (auto& [recipient, lines] : people) {
        Certificate cert;
        const int64_t count = int64_t(lines.size()) + 1;
        bool built;
        {
            ReadTransaction snapshot;
            built = run.build(recipient, std::move(lines), cert);
        }
        if (!built) {
            STANDARDWARNING(35, run.failedFile);
            return nullptr;
        }
        if (!first) report->endPage();
        first = false;
        current = &cert;
        name = people.size() == 1 ? rtrim(cert.name) : "";
        printCertificate(*report, run, cert);
        done += count;
        if (!report->progress(done, total)) return nullptr;
    }
    // One recipient's paper is known by the year and his name, the papers of all by the year.
    report->setFileName(name.empty() ? "Potvrde" : "Potvrda", std::to_string(run.year) + " " + name);
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

bool startRun(Run& run, LONG payer, const std::string& year, bool crisis) {
    if (!validYear(year)) return false;
    run.payer = payer;
    run.year = std::stoi(year);
    run.crisis = crisis;
    run.readPayer();
    return true;
}

}  // namespace

std::unique_ptr<Report> certificateReport(LONG recipient, LONG payer, const std::string& year, bool crisis,
                                          const ProgressFn& progress) {
    Run run;
    if (!startRun(run, payer, year, crisis)) return nullptr;
    std::vector<std::pair<LONG, std::vector<Line>>> people(1);
    people[0].first = recipient;
    bool paidAtAll = false;  // any income line of his, of any payer or year
    {
        ReadTransaction snapshot;
        std::unordered_map<LONG, Date> payments;
        if (run.readTypes() && paymentsOfYear(run, payments)) {
            Records<DohociFile> lines(&DohociFile::KEYDJELATNIK, recipient);
            for (const DOHOCI_REC& d : lines) {
                paidAtAll = true;
                auto paid = payments.find(d.ISPLATA);
                if (paid == payments.end()) continue;  // another payer's, or another year's
                people[0].second.push_back(certificateLine(d, lines, paid->second));
            }
            if (lines.error()) run.failedFile = "vrstedoh";
        }
    }
    if (run.failedFile) {
        STANDARDWARNING(35, run.failedFile);
        return nullptr;
    }
    // Someone never paid anything gets no certificate, and nothing is said.
    // Paid, but not by this payer in this year, he gets the paper all the
    // same, with its grand total of zeros: the payer must be able to hand it
    // out. For a payer not on file there is no paper to hand out.
    if (!paidAtAll || (people[0].second.empty() && !run.payerFound)) return nullptr;
    return render(run, people, progress);
}

namespace {

// Every recipient's lines of the payer's payments in the year, the
// recipients in surname order.
bool linesOfYear(Run& run, std::vector<std::pair<LONG, std::vector<Line>>>& people) {
    std::unordered_map<LONG, Date> payments;
    if (!paymentsOfYear(run, payments)) return false;
    std::unordered_map<LONG, std::vector<Line>> byRecipient;
    for (const auto& [payment, paid] : payments) {
        Records<DohociFile> lines(&DohociFile::KEYISPLATA, payment);
        for (const DOHOCI_REC& d : lines) byRecipient[d.DJELATNIK].push_back(certificateLine(d, lines, paid));
        if (lines.error()) {
            run.failedFile = "dohoci";
            return false;
        }
    }
    if (byRecipient.empty()) return true;
    Records<OsobeFile> bySurname(&OsobeFile::KEYPREZIMEIME);
    for (const OSOBE_REC& who : bySurname) {
        auto it = byRecipient.find(who.OZNAKA);
        if (it == byRecipient.end()) continue;
        people.emplace_back(it->first, std::move(it->second));
        byRecipient.erase(it);
    }
    if (bySurname.error()) {
        run.failedFile = "osobe";
        return false;
    }
    // Lines of recipients no longer on file still belong to the payer's year.
    std::vector<LONG> rest;
    for (const auto& [recipient, l] : byRecipient) rest.push_back(recipient);
    std::sort(rest.begin(), rest.end());
    for (LONG recipient : rest) people.emplace_back(recipient, std::move(byRecipient[recipient]));
    return true;
}

}  // namespace

std::vector<LONG> recipientsPaid(LONG payer, const std::string& year) {
    Run run;
    std::vector<LONG> out;
    if (!validYear(year)) return out;
    run.payer = payer;
    run.year = std::stoi(year);
    std::vector<std::pair<LONG, std::vector<Line>>> people;
    {
        ReadTransaction snapshot;
        linesOfYear(run, people);
    }
    for (const auto& p : people) out.push_back(p.first);
    return out;
}

std::unique_ptr<Report> allCertificatesReport(LONG payer, const std::string& year, const ProgressFn& progress) {
    Run run;
    if (!startRun(run, payer, year, crisisYear(year))) return nullptr;
    std::vector<std::pair<LONG, std::vector<Line>>> people;
    bool read;
    {
        ReadTransaction snapshot;
        read = run.readTypes() && linesOfYear(run, people);
    }
    if (!read) {
        STANDARDWARNING(35, run.failedFile);
        return nullptr;
    }
    if (people.empty()) return nullptr;
    return render(run, people, progress);
}

// ---- the command line

void registerCertificateExports() {
    const ExportArg payer = numberArg("isplatitelj", "broj isplatitelja");
    const ExportArg year = yearArg("godina", "godina isplate, četiri znamenke");
    registerExport(
        {.name = "ISPISPOTVRDE",
         .description = "Potvrda o isplaćenom dohotku za godinu (bez primatelja: svi primatelji isplaćeni te godine)",
         .args = {payer, year, numberArg("primatelj", "broj primatelja", false)},
         .pages = [](const ExportArgs& args) {
             const LONG p = LONG(args.number("isplatitelj"));
             const std::string y = args.year("godina");
             if (!args.has("primatelj")) return ExportOutcome::of(allCertificatesReport(p, y));
             return ExportOutcome::of(certificateReport(LONG(args.number("primatelj")), p, y, crisisYear(y)));
         }});
    registerExport({.name = "ISPISPOTVRDESKRIPOREZ",
                    .description = "Potvrda o isplaćenom dohotku s posebnim porezom (2009. i 2010.)",
                    .args = {numberArg("primatelj", "broj primatelja"), payer, year},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::of(ISPISPOTVRDESKRIPOREZ(
                            LONG(args.number("primatelj")), LONG(args.number("isplatitelj")), args.year("godina")));
                    }});
    registerExport({.name = "ISPISKRIPOREZ",
                    .description = "Obrazac IPP jednog mjeseca",
                    .args = {recordArg<KriporezFile>("kriporez", "broj IPP obrasca", "IPP obrazac")},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::of(ISPISKRIPOREZ(LONG(args.number("kriporez"))));
                    }});
}

}  // namespace marel
