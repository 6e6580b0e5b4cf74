#include "payments/Recapitulation.h"

#include <map>
#include <optional>
#include <vector>

#include "payments/Positions.h"
#include "report/Export.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// Thousandths of an inch from the left margin. The amount column steps
// between two places so that the parts of the calculation stand apart from
// the amounts they are made of.
constexpr int AMOUNT_LEFT = 5100, AMOUNT_RIGHT = 6042, AMOUNT_WIDTH = 1000;
constexpr int PAGE_WIDTH = AMOUNT_RIGHT + AMOUNT_WIDTH;
constexpr Box RBR{0, 0, 600, 200}, OPIS{700, 0, 4300, 200};
const Font BODY{.size = 10};
const Font BOLD{.size = 10, .bold = true};
const Font TITLE{.size = 12, .bold = true};

struct Line {
    std::string rbr, opis;
    Decimal amount;
    int amountX = AMOUNT_RIGHT;
};

const Picture& amountPicture() {
    static const Picture p = Picture::parse("@N-14.`2B");
    return p;
}

// Where the amount of a position stands: the parts of the gross and of the
// base stand left of the amounts they are made of. `at` is the column of the
// line before; the column changes at the gross and pillar II (to the left)
// and at the base and the income (back to the right).
int amountColumn(USHORT position, int at) {
    if (position == POZ_BRUTO || position == POZ_MIROVINSKOIISTUP) return AMOUNT_LEFT;
    if (position == POZ_OSNOVICA || position == POZ_DOHODAK) return AMOUNT_RIGHT;
    return at;
}

// The closing total: the gross and the health insurance on top of it.
bool inTotal(USHORT position) { return position == POZ_BRUTO || position == POZ_ZDRAVSTVENO; }

// A rate as short as it can be written: 18.00 is "18", 6.50 is "6,5".
std::string shortRate(const Decimal& rate) {
    std::string s = rate.toString();
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

std::unique_ptr<Report> newReport(const std::string& title, const ProgressFn& progress, Band header) {
    auto report = std::make_unique<Report>(title);
    report->setMargins(700, 500, 500, 500);
    report->setProgress(progress);
    report->setPageHeader(1250, std::move(header));
    return report;
}

// Prints the lines and the closing total; nothing when cancelled.
std::unique_ptr<Report> printLines(std::unique_ptr<Report> report, const std::vector<Line>& lines,
                                   const Decimal& total) {
    auto detail = [](const Line& l) {
        return [&l](Canvas& c) {
            c.text(RBR, l.rbr, BODY);
            c.text(OPIS, l.opis, BODY);
            c.text({l.amountX, 0, AMOUNT_WIDTH, 200}, trim(amountPicture().format(l.amount)), BODY, Align::Right);
            c.line(0, 235, PAGE_WIDTH, 235);
        };
    };
    const int64_t count = int64_t(lines.size());
    for (int64_t i = 0; i < count; ++i) {
        report->print(260, detail(lines[size_t(i)]));
        if (!report->progress(i + 1, count)) return nullptr;
    }
    report->print(360, [&total](Canvas& c) {
        c.line(0, 40, PAGE_WIDTH, 40, 10);
        c.text({OPIS.x, 120, OPIS.width, 200}, RECAP_TOTAL, BOLD);
        c.text({AMOUNT_RIGHT, 120, AMOUNT_WIDTH, 200}, trim(amountPicture().format(total)), BOLD, Align::Right);
    });
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

// True when nothing stopped the gathering; else the reason goes to `error`.
bool gathered(const std::optional<std::string>& why, std::string* error) {
    if (why && error) *error = *why;
    return !why;
}

}  // namespace

namespace {

struct LineHeader {
    std::string payer, rsid, name, place, jmbg;
    Date date;
};

// The heading of income line `incomeLine` and its calculation lines, each as
// stored (the surtax with its rate), in one snapshot. The message when the
// line does not exist or a read fails.
std::optional<std::string> gatherLine(LONG incomeLine, LineHeader& h, std::vector<Line>& lines, Decimal& total) {
    ReadTransaction snapshot;
    const auto found = find<DohociFile>(incomeLine);
    if (!found) return "Dohodak " + std::to_string(incomeLine) + " ne postoji.";
    const DOHOCI_REC& line = *found;
    // A related record that is missing prints blank and the report goes on.
    const OSOBE_REC person = find<OsobeFile>(line.DJELATNIK).value_or(OSOBE_REC{});
    h.name = rtrim(person.IME.str()) + " " + rtrim(person.PREZIME.str());
    h.jmbg = person.JMBG.str();
    const MJESTA_REC place = find<MjestaFile>(person.MJESTO).value_or(MJESTA_REC{});
    h.place = place.NAZIV.str();
    const Decimal surtaxRate = find<OpcineFile>(place.OPCINA).value_or(OPCINE_REC{}).STOPAPRIREZA.value();
    const ISPLATE_REC payment = find<IsplateFile>(line.ISPLATA).value_or(ISPLATE_REC{});
    h.rsid = payment.RSID.str();
    h.date = payment.DATUM;
    h.payer = find<SubjektiFile>(payment.ISPLATITELJ).value_or(SUBJEKTI_REC{}).NAZIV.str();

    ValueLookup<PozicijeFile> names;
    int amountX = AMOUNT_RIGHT;
    Records<ObracunFile> calc(&ObracunFile::KEYDOHODAK, line.OZNAKA);
    for (const OBRACUN_REC& o : calc) {
        const Decimal amount = o.IZNOS.value();
        const POZICIJE_REC* name = names.find(o.POZICIJA);
        Line l{std::to_string(o.POZICIJA), name ? rtrim(name->NAZIV.str()) : std::string(), amount, amountX};
        if (o.POZICIJA == POZ_PRIREZ) l.opis += " po stopi od " + shortRate(surtaxRate) + "%";
        lines.push_back(std::move(l));
        if (inTotal(o.POZICIJA)) total += amount;
        // The move applies to the lines after this one.
        amountX = amountColumn(o.POZICIJA, amountX);
    }
    if (calc.error()) return "Greška pri čitanju datoteke obracun.";
    return std::nullopt;
}

}  // namespace

std::unique_ptr<Report> obracunReport(LONG incomeLine, const ProgressFn& progress, std::string* error) {
    LineHeader h;
    std::vector<Line> lines;
    Decimal total;
    if (!gathered(gatherLine(incomeLine, h, lines, total), error)) return nullptr;
    auto report = newReport("Rekapitulacija obračuna dohotka", progress, [h](Canvas& c) {
        c.text({0, 0, 5000, 260}, h.payer, TITLE);
        c.text({0, 300, 1500, 220}, h.rsid, BODY);
        c.text({1600, 300, 1800, 220}, formatAs("@d17", h.date), BODY);
        c.text({0, 600, 2400, 220}, "Rekapitulacija za:", BOLD);
        c.text({2500, 600, 4500, 220}, h.name, BOLD);
        c.text({0, 850, 2400, 220}, h.place, BODY);
        c.text({2500, 850, 800, 220}, "JMBG:", BODY);
        c.text({3300, 850, 2000, 220}, h.jmbg, BODY);
        c.line(0, 1150, PAGE_WIDTH, 1150, 10);
    });
    // The line is the recipient's in one payment: the report's designation and the name.
    report->setFileName("Rekapitulacija dohotka", rtrim(h.rsid) + " " + h.name);
    return printLines(std::move(report), lines, total);
}

namespace {

struct PaymentHeader {
    std::string payer, rsid, year;
    Date date;
};

// Every position of the table with its sum over the payment's lines, each
// moved to its column before it is printed. False when a read failed.
bool sumPositions(LONG payment, std::vector<Line>& lines, Decimal& total) {
    // Summed by the positions as stored, the table's own beyond the calculation's included.
    std::map<USHORT, Decimal> sums;
    Records<DohociFile> incomes(&DohociFile::KEYISPLATA, payment);
    for (const DOHOCI_REC& income : incomes) {
        Records<ObracunFile> calc(&ObracunFile::KEYDOHODAK, income.OZNAKA);
        for (const OBRACUN_REC& o : calc) sums[o.POZICIJA] += o.IZNOS.value();
        if (calc.error()) return false;
    }
    if (incomes.error()) return false;

    int amountX = AMOUNT_RIGHT;
    for (const POZICIJE_REC& p : Records<PozicijeFile>(&PozicijeFile::KEYOZNAKA)) {
        amountX = amountColumn(p.OZNAKA, amountX);
        const Decimal sum = sums.count(p.OZNAKA) ? sums[p.OZNAKA] : Decimal();
        lines.push_back({std::to_string(p.OZNAKA), rtrim(p.NAZIV.str()), sum, amountX});
        if (inTotal(p.OZNAKA)) total += sum;
    }
    return true;
}

// The heading of payment `payment` and its lines, in one snapshot. The
// message when the payment does not exist or a read fails.
std::optional<std::string> gatherPayment(LONG payment, PaymentHeader& h, std::vector<Line>& lines, Decimal& total) {
    ReadTransaction snapshot;
    const auto paid = find<IsplateFile>(payment);
    if (!paid) return "Isplata " + std::to_string(payment) + " ne postoji.";
    h.rsid = paid->RSID.str();
    h.year = paid->GODINA.str();
    h.date = paid->DATUM;
    h.payer = find<SubjektiFile>(paid->ISPLATITELJ).value_or(SUBJEKTI_REC{}).NAZIV.str();
    // A total that silently lost lines would be worse than none.
    if (!sumPositions(payment, lines, total)) return "Greška pri čitanju obračuna isplate.";
    return std::nullopt;
}

}  // namespace

std::unique_ptr<Report> obrIsplateReport(LONG payment, const ProgressFn& progress, std::string* error) {
    PaymentHeader h;
    std::vector<Line> lines;
    Decimal total;
    if (!gathered(gatherPayment(payment, h, lines, total), error)) return nullptr;
    auto report = newReport("Rekapitulacija obračuna isplate", progress, [h](Canvas& c) {
        c.text({0, 0, 5000, 260}, h.payer, TITLE);
        c.text({0, 300, 1500, 220}, h.rsid, BODY);
        c.text({1600, 300, 800, 220}, h.year, BODY);
        c.text({2500, 300, 1800, 220}, formatAs("@d17", h.date), BODY);
        c.text({0, 600, 4500, 220}, "Rekapitulacija za isplatu:", BOLD);
        c.line(0, 1150, PAGE_WIDTH, 1150, 10);
    });
    report->setFileName("Rekapitulacija isplate", h.rsid.empty() ? std::to_string(payment) : h.rsid);
    return printLines(std::move(report), lines, total);
}

void registerPaymentsExports() {
    registerExport({.name = "OBRACUNISP",
                    .description = "Rekapitulacija obračuna jednog dohotka",
                    .args = {numberArg("dohodak", "broj dohotka (DOH:OZNAKA)")},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::explained(
                            [&](std::string* why) { return obracunReport(LONG(args.number("dohodak")), {}, why); });
                    }});
    registerExport({.name = "OBRISPLATEISP",
                    .description = "Rekapitulacija obračuna cijele isplate",
                    .args = {numberArg("isplata", "broj isplate (ISP:OZNAKA)")},
                    .pages = [](const ExportArgs& args) {
                        return ExportOutcome::explained(
                            [&](std::string* why) { return obrIsplateReport(LONG(args.number("isplata")), {}, why); });
                    }});
}

}  // namespace marel
