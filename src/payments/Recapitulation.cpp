#include "payments/Recapitulation.h"

#include <map>
#include <vector>

#include "payments/Positions.h"
#include "report/Export.h"
#include "store/BufferSet.h"
#include "store/Lookup.h"
#include "store/Records.h"
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

// The name of a position, blank when the table does not have it.
std::string positionName(USHORT code) {
    POZICIJE.clear();
    POZ.OZNAKA = code;
    if (POZICIJE.get(POZICIJE.KEYOZNAKA) != 0) return {};
    return rtrim(POZ.NAZIV.str());
}

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

void setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

}  // namespace

std::unique_ptr<Report> obracunReport(LONG incomeLine, const ProgressFn& progress, std::string* error) {
    // The caller's highlighted records stay as they were.
    BufferScope own(BufferSet::make());
    FileUse use{&DOHOCI, &OBRACUN, &POZICIJE, &OSOBE, &MJESTA, &OPCINE, &ISPLATE, &SUBJEKTI};

    struct Header {
        std::string payer, rsid, name, place, jmbg;
        Date date;
    } h;
    std::vector<Line> lines;
    Decimal total;
    {
        ReadTransaction snapshot;
        if (!readByNumber(DOHOCI, incomeLine)) {
            setError(error, "Dohodak " + std::to_string(incomeLine) + " ne postoji.");
            return nullptr;
        }
        // A related record that is missing prints blank and the report goes on.
        readByNumber(OSOBE, DOH.DJELATNIK);
        h.name = rtrim(OSO.IME.str()) + " " + rtrim(OSO.PREZIME.str());
        h.jmbg = OSO.JMBG.str();
        readByNumber(MJESTA, OSO.MJESTO);
        h.place = MJE.NAZIV.str();
        readByNumber(OPCINE, MJE.OPCINA);
        const Decimal surtaxRate = OPC.STOPAPRIREZA.value();
        readByNumber(ISPLATE, DOH.ISPLATA);
        h.rsid = ISP.RSID.str();
        h.date = ISP.DATUM;
        readByNumber(SUBJEKTI, ISP.ISPLATITELJ);
        h.payer = SUB.NAZIV.str();

        int amountX = AMOUNT_RIGHT;
        Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
        calc.startAt(DOH.OZNAKA);
        for (;;) {
            const int rc = calc.next();
            if (rc == kRecordNotAvailable) break;
            if (rc != 0) {
                setError(error, "Greška pri čitanju datoteke obracun.");
                return nullptr;
            }
            const USHORT position = OBR.POZICIJA;
            const Decimal amount = OBR.IZNOS.value();
            Line l{std::to_string(position), positionName(position), amount, amountX};
            if (position == POZ_PRIREZ) l.opis += " po stopi od " + shortRate(surtaxRate) + "%";
            lines.push_back(std::move(l));
            if (position == POZ_BRUTO || position == POZ_ZDRAVSTVENO) total += amount;
            // The move applies to the lines after this one.
            if (position == POZ_BRUTO || position == POZ_MIROVINSKOIISTUP) amountX = AMOUNT_LEFT;
            if (position == POZ_OSNOVICA || position == POZ_DOHODAK) amountX = AMOUNT_RIGHT;
        }
    }

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

std::unique_ptr<Report> obrIsplateReport(LONG payment, const ProgressFn& progress, std::string* error) {
    BufferScope own(BufferSet::make());
    FileUse use{&DOHOCI, &OBRACUN, &POZICIJE, &ISPLATE, &SUBJEKTI};

    struct Header {
        std::string payer, rsid, year;
        Date date;
    } h;
    std::vector<Line> lines;
    Decimal total;
    {
        ReadTransaction snapshot;
        if (!readByNumber(ISPLATE, payment)) {
            setError(error, "Isplata " + std::to_string(payment) + " ne postoji.");
            return nullptr;
        }
        h.rsid = ISP.RSID.str();
        h.year = ISP.GODINA.str();
        h.date = ISP.DATUM;
        readByNumber(SUBJEKTI, ISP.ISPLATITELJ);
        h.payer = SUB.NAZIV.str();

        std::map<USHORT, Decimal> sums;
        Cursor incomes(DOHOCI, DOHOCI.KEYISPLATA.index);
        incomes.startAt(payment);
        Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
        int rc;
        while ((rc = incomes.next()) == 0) {
            calc.startAt(DOH.OZNAKA);
            while ((rc = calc.next()) == 0) sums[OBR.POZICIJA] += OBR.IZNOS.value();
            if (rc != kRecordNotAvailable) break;
        }
        if (rc != kRecordNotAvailable) {
            // A total that silently lost lines would be worse than none.
            setError(error, "Greška pri čitanju obračuna isplate.");
            return nullptr;
        }

        int amountX = AMOUNT_RIGHT;
        POZICIJE.set(POZICIJE.KEYOZNAKA);
        while (POZICIJE.next() == 0) {
            const USHORT position = POZ.OZNAKA;
            if (position == POZ_BRUTO || position == POZ_MIROVINSKOIISTUP) amountX = AMOUNT_LEFT;
            if (position == POZ_OSNOVICA || position == POZ_DOHODAK) amountX = AMOUNT_RIGHT;
            const Decimal sum = sums.count(position) ? sums[position] : Decimal();
            lines.push_back({std::to_string(position), rtrim(POZ.NAZIV.str()), sum, amountX});
            if (position == POZ_BRUTO || position == POZ_ZDRAVSTVENO) total += sum;
        }
    }

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
                        std::string why;
                        auto report = obracunReport(LONG(args.number("dohodak")), {}, &why);
                        return ExportOutcome::of(std::move(report), why);
                    }});
    registerExport({.name = "OBRISPLATEISP",
                    .description = "Rekapitulacija obračuna cijele isplate",
                    .args = {numberArg("isplata", "broj isplate (ISP:OZNAKA)")},
                    .pages = [](const ExportArgs& args) {
                        std::string why;
                        auto report = obrIsplateReport(LONG(args.number("isplata")), {}, &why);
                        return ExportOutcome::of(std::move(report), why);
                    }});
}

}  // namespace marel
