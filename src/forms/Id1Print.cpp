#include "forms/Id1Print.h"

#include <array>

#include "common/Date.h"
#include "forms/Id1Xml.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// The form's 23 columns, the fourteen tax accounts (columns 8 to 21) in two
// tiers of seven: column 8 above column 15, 9 above 16 and so on. Fourteen
// columns side by side leave none of them room for a year's sum of a large
// payer at a legible size; seven hold eleven digits with room to spare.
constexpr size_t kTaxColumns = 14;
constexpr size_t kTiers = 2, kPerTier = kTaxColumns / kTiers;
constexpr size_t kPrinted = 23 - kTaxColumns + kPerTier;  // printed columns
constexpr size_t kFirstTax = 7;                            // of the printed columns
constexpr std::array<int, kPrinted> kWidths = [] {
    std::array<int, kPrinted> w{220, 1250, 600, 300, 660, 660, 660};
    for (size_t k = kFirstTax; k < kFirstTax + kPerTier; ++k) w[k] = 800;
    w[kFirstTax + kPerTier] = 660;
    w[kFirstTax + kPerTier + 1] = 660;
    return w;
}();

constexpr int left(size_t column) {
    int x = 0;
    for (size_t k = 0; k < column; ++k) x += kWidths[k];
    return x;
}
constexpr int kWidth = left(kPrinted);
// The lines of a printed row: the second holds the lower tier of tax
// accounts and the rest of a long name.
constexpr int kSubRow = 110, kRow = 30 + int(kTiers) * kSubRow + 30;

const Font TITLE{.face = "Arial CE", .size = 9, .bold = true};
const Font LABEL{.face = "Arial CE", .size = 8, .bold = true};
const Font TEXT{.face = "Arial CE", .size = 8};
const Font HEAD{.face = "Arial CE", .size = 6};
const Font BODY{.face = "Arial CE", .size = 6};

// Values of one printed line.
struct Line {
    std::string rb, imePrezime, oib, opcina;
    Id1Sums sums;
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
    const std::optional<SUBJEKTI_REC> p = find<SubjektiFile>(payer);
    if (!p) return h;
    h.naziv = p->NAZIV.str();
    h.oib = p->OIB.str();
    h.adresa = find<MjestaFile>(p->MJESTO).value_or(MJESTA_REC{}).NAZIV.str() + ", " +
               find<UliceFile>(p->ULICA).value_or(ULICE_REC{}).NAZIV.str() + " " + p->KUCNIBROJ.str();
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
constexpr int kHeadTop = 1560, kHeadCodes = 250, kHeadTier = 135, kHeadNumbers = 520, kHeadBottom = 680;
void drawColumnHeadings(Canvas& c) {
    const int y = kHeadTop;
    static const std::array<std::vector<const char*>, kPrinted> heads = [] {
        std::array<std::vector<const char*>, kPrinted> h{};
        h[0] = {"R.", "br."};
        h[1] = {"Ime i prezime", "poreznog obveznika"};
        h[2] = {"OIB"};
        h[3] = {"Ozn.", "grada/", "općine"};
        h[4] = {"Iznos", "primitka"};
        h[5] = {"Izdatka"};
        h[6] = {"Doprinosi"};
        h[kPrinted - 2] = {"Ukupno"};
        h[kPrinted - 1] = {"Isplaćeni", "iz", "primitka"};
        return h;
    }();
    static const std::array<const char*, kPrinted> numbers = {"1",       "2.",      "3.",      "4",       "5",
                                                              "6",       "7",       "8 / 15",  "9 / 16",  "10 / 17",
                                                              "11 / 18", "12 / 19", "13 / 20", "14 / 21", "22",
                                                              "23"};
    for (size_t k = 0; k < kPrinted; ++k) {
        const int x = left(k), w = kWidths[k];
        if (k >= kFirstTax && k < kFirstTax + kPerTier) {
            for (size_t tier = 0; tier < kTiers; ++tier)
                c.text({x, y + kHeadCodes + 20 + int(tier) * kHeadTier, w, 110},
                       ID1_RACUNI[tier * kPerTier + k - kFirstTax], HEAD, Align::Center);
        } else {
            int line = 0;
            for (const char* t : heads[k]) c.text({x, y + 40 + 110 * line++, w, 110}, t, HEAD, Align::Center);
        }
        c.text({x, y + kHeadNumbers + 30, w, 110}, numbers[k], HEAD, Align::Center);
        // Inside the account columns the lines start below their common heading.
        const bool inside = k > kFirstTax && k < kFirstTax + kPerTier;
        c.line(x, inside ? y + kHeadCodes : y, x, y + kHeadBottom);
    }
    const int taxX = left(kFirstTax), taxW = left(kFirstTax + kPerTier) - taxX;
    // Set from the left, about centred: a centred text runs into "Ukupno" in
    // the text export of the page.
    c.text({taxX + 1450, y + 40, taxW - 1450, 110}, "IZNOS UPLAĆENOG POREZA I PRIREZA NA RAČUN BROJČANE OZNAKE", HEAD);
    c.line(kWidth, y, kWidth, y + kHeadBottom);
    c.line(0, y, kWidth, y);
    c.line(taxX, y + kHeadCodes, taxX + taxW, y + kHeadCodes);
    c.line(0, y + kHeadNumbers, kWidth, y + kHeadNumbers);
    c.line(0, y + kHeadBottom, kWidth, y + kHeadBottom);
}

void drawLine(Canvas& c, const Line& l) {
    static const Picture amount = Picture::parse("@N-14.`2B"), gross = Picture::parse("@N-14.`2");
    auto cell = [](size_t k, size_t tier = 0) {
        return Box{left(k) + 20, 30 + int(tier) * kSubRow, kWidths[k] - 40, kSubRow};
    };
    // Amounts without the picture's leading blanks, which would write over
    // the column before in the text export of the page.
    auto value = [&c](const Box& box, const Picture& p, const Decimal& v) {
        c.text(box, trim(p.format(v)), BODY, Align::Right);
    };
    c.text({20, 30, 120, kSubRow}, l.rb, BODY, Align::Right);
    // A long name goes on over the row's second line.
    Box name = cell(1);
    name.height = int(kTiers) * kSubRow;
    c.textLines(name, l.imePrezime, BODY, int(kTiers));
    c.text(cell(2), l.oib, BODY);
    c.text(cell(3), l.opcina, BODY, Align::Center);
    value(cell(4), gross, l.sums.UKBRUTO);
    value(cell(5), amount, l.sums.UKIZDACI);
    value(cell(6), amount, l.sums.UKDOPRINOSI);
    for (size_t k = 0; k < kTaxColumns; ++k)
        value(cell(kFirstTax + k % kPerTier, k / kPerTier), amount, l.sums.RACUN[k]);
    value(cell(kPrinted - 2), amount, l.sums.UKPOREZ);
    value(cell(kPrinted - 1), amount, l.sums.UKNETO);
    for (size_t k = 0; k <= kPrinted; ++k) c.line(left(k), 0, left(k), kRow);
    c.line(0, kRow, kWidth, kRow);
}

// Only income of a type whose tax code is one of the form's columns is on the form at all.
std::optional<int> formColumn(const VRSTEDOH_REC* type) {
    const int account = type ? id1Account(type->RNPOREZ.str()) : -1;
    if (account < 0) return std::nullopt;
    return account;
}

void drawFooter(Canvas& c, const Heading& heading) {
    c.text({0, 300, 800, 180}, "Nadnevak:", TEXT);
    c.text({800, 300, 1500, 180}, heading.datum, TEXT);
    c.line(kWidth - 3500, 450, kWidth, 450);
    c.text({kWidth - 3500, 500, 3500, 180}, "PEČAT I POTPIS OVLAŠTENE OSOBE", TEXT, Align::Center);
}

}  // namespace

std::unique_ptr<Report> id1Report(LONG payer, const std::string& year, const ProgressFn& progress) {
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

    const int64_t total = readingCopy<OsobeFile>().records();
    int64_t read = 0;
    int printed = 0;
    bool cancelled = false;
    Id1Year sums(payer, year);
    const char* failed = sums.eachRecipient(formColumn, false, [&](const OSOBE_REC& who, const Id1Sums& s) {
        if (!report->progress(++read, total)) {
            cancelled = true;
            return false;
        }
        if (s.UKPOREZ.sign() <= 0) return true;
        Line l{std::to_string(++printed), trim(rtrim(who.IME.str()) + " " + who.PREZIME.str()), who.OIB.str(),
               sums.municipality(who), s};
        report->print(kRow, [&l](Canvas& c) { drawLine(c, l); });
        return true;
    });
    // A form that silently lost recipients would be worse than none.
    if (failed) {
        STANDARDWARNING(35, "vrstedoh");
        return nullptr;
    }
    if (cancelled) return nullptr;
    report->print(700, [&heading](Canvas& c) { drawFooter(c, heading); });
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
