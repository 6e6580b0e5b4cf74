#include "forms/Idd.h"

#include <charconv>
#include <optional>

#include "common/Picture.h"
#include "common/Text.h"
#include "forms/RsmIddShared.h"
#include "payments/IncomeLine.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    const std::string t = trim(text);
    int v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc{} || end != t.data() + t.size()) return std::nullopt;
    return v;
}

// What one income line adds to the grid, in its column (0 when its income
// type names none of the form's columns: then only the totals grow).
void addLine(IddGrid& grid, int column, const PositionAmounts& p) {
    const bool inGrid = column >= IddGrid::FIRST_COLUMN && column <= IddGrid::LAST_COLUMN;
    auto add = [&](IddGrid::Row row, const Decimal& amount) {
        if (inGrid) grid.at(row, column) += amount;
        grid.total[row] += amount;
    };
    add(IddGrid::BROJ, Decimal(1));
    add(IddGrid::BRUTO, p[POZ_BRUTO]);
    add(IddGrid::TROSKOVI, p[POZ_NEOPOREZIVIDIO] + p[POZ_PRIZNATITROSKOVI]);
    // Exempt receipts, author's work and athletes, artists and journalists
    // declare no contribution base on this form, not even in the total.
    if (column < 4 || column > 6) add(IddGrid::OD, p[POZ_OSNOVICA]);
    add(IddGrid::MOISTUP, p[POZ_MIROVINSKOISTUP]);
    add(IddGrid::MOIISTUP, p[POZ_MIROVINSKOIISTUP]);
    add(IddGrid::ZO, p[POZ_ZDRAVSTVENO]);
    add(IddGrid::MOUK, p[POZ_MIROVINSKOISTUP] + p[POZ_MIROVINSKOIISTUP]);
    add(IddGrid::DOHODAK, p[POZ_DOHODAK]);
    add(IddGrid::POREZ, p[POZ_POREZ]);
    add(IddGrid::PRIREZ, p[POZ_PRIREZ]);
    add(IddGrid::POREZIPRIREZ, p[POZ_POREZ] + p[POZ_PRIREZ]);
}

// ---- the page: A4 landscape, thousandths of an inch from the paper's corner.

constexpr int LEFT = 400;
constexpr int NUMBER_X = LEFT, NUMBER_W = 400;          // column 1: the row's number
constexpr int LABEL_X = LEFT + 400, LABEL_W = 3400;     // column 2: the description
constexpr int GRID_X = LABEL_X + LABEL_W, CELL_W = 1000;  // columns 3 to 9
constexpr int RIGHT = GRID_X + 7 * CELL_W;
constexpr int ROW_H = 215;

int cellX(int column) { return GRID_X + (column - 3) * CELL_W; }

const Font SMALL{.size = 7};
const Font BODY{.size = 8};
const Font BOLD{.size = 8, .bold = true};
const Font TITLE{.size = 10, .bold = true};

struct GridRow {
    const char* number;
    const char* label;
    int row;           // IddGrid::Row, or -1 for a row that is only a label
    unsigned columns;  // bit c set: column c has a cell
};

constexpr unsigned ALL = 0b111111000;  // columns 3 to 8
constexpr unsigned bits(std::initializer_list<int> cs) {
    unsigned b = 0;
    for (int c : cs) b |= 1u << c;
    return b;
}

// A caption that runs beside a group of rows, printed above the group.
struct Caption {
    int beforeRow;  // index into ROWS_OF_FORM
    const char* text;
};

const GridRow ROWS_OF_FORM[] = {
    {"1", "BROJ PRIMATELJA", IddGrid::BROJ, ALL},
    {"2", "ISPLAĆENI PRIMICI", IddGrid::BRUTO, ALL},
    {"3", "IZDACI", IddGrid::TROSKOVI, bits({3, 4, 5, 6})},
    {"4", "OSNOVICA ZA OBRAČUN DOPRINOSA", IddGrid::OD, ALL},
    {"5.1", "doprinos za mirovinsko osiguranje", IddGrid::MOISTUP, ALL},
    {"5.2", "doprinos za mir. osiguranje u određenim okolnostima", -1, 0},
    {"5.3", "doprinos za mir. osiguranje na temelju individ. kapital. štednje", IddGrid::MOIISTUP, ALL},
    {"5.4", "doprinos za zdravstveno osiguranje", IddGrid::ZO, ALL},
    {"5.5", "posebni doprinos za zdr. osig. zaštite zdravlja na radu", -1, 0},
    {"5.6", "posebni doprinos za korištenje zdr. zaštite u inozemstvu", -1, 0},
    {"6", "IZDACI ZA DOPRINOSE (čl. 32. st. 4. Zakona)", IddGrid::MOUK, bits({3, 4, 6, 7})},
    {"7", "OSNOVICA ZA OBRAČUN POREZA (2-3-6)", IddGrid::DOHODAK, ALL},
    {"8", "predujam poreza na dohodak", IddGrid::POREZ, ALL},
    {"9", "prirez porezu na dohodak", IddGrid::PRIREZ, ALL},
    {"10", "UPLAĆENI POREZ NA DOHODAK I PRIREZ", IddGrid::POREZIPRIREZ, ALL},
};
const Caption CAPTIONS[] = {{3, "Prema članku 209. Zakona o doprinosima"}, {10, "Zakon o porezu na dohodak"}};

const char* const HEADINGS[7][3] = {
    {"Propisana", "obveza", "doprinosa"},
    {"Izuzeti od", "obveze", "doprinosa"},
    {"Autorsko i", "umjetničko", "djelo"},
    {"Športaši,", "umjetnici", "i novinari"},
    {"nerezidenti", "", ""},
    {"Primitak", "učenika i", "studenata"},
    {"Ukupno", "(3+4+5+6", "+7+8)"},
};

// The payer and the month; returns where the grid starts.
int drawHead(Canvas& c, const FormPayer& payer, const std::string& period) {
    static const Picture name = Picture::parse("@s40");
    int y = 350;
    c.text({LEFT, y, 3000, 250}, "OBRAZAC IDD", TITLE);
    y += 350;
    c.text({LEFT, y, 6000, 200}, "PODACI O PODNOSITELJU IZVJEŠĆA", BOLD);
    y += 230;
    c.text({LEFT, y, 3000, 200}, "NAZIV/IME I PREZIME", SMALL);
    c.value({LEFT + 3000, y, 5000, 200}, name, payer.record.NAZIV, BODY, Align::Left);
    y += 210;
    c.text({LEFT, y, 3000, 200}, "SJEDIŠTE/PREBIVALIŠTE/BORAVIŠTE", SMALL);
    c.text({LEFT + 3000, y, 5000, 200}, payer.address, BODY);
    y += 210;
    c.text({LEFT, y, 3000, 200}, "POREZNI BROJ:", SMALL);
    c.text({LEFT + 3000, y, 3000, 200}, payer.identification, BODY);
    c.line(LEFT, y + 230, RIGHT, y + 230);
    y += 330;
    c.text({LEFT, y, RIGHT - LEFT, 250},
           "IZVJEŠĆE O DRUGOM DOHOTKU, OBRAČUNANOM I UPLAĆENOM POREZU NA DOHODAK I PRIREZU TE DOPRINOSIMA "
           "ZA OBVEZNA OSIGURANJA",
           BOLD);
    y += 280;
    c.text({LEFT + 3000, y, 1100, 200}, "U MJESECU", BOLD);
    c.text({LEFT + 4200, y, 1300, 200}, period, BOLD);
    c.text({LEFT + 5600, y, 1200, 200}, "GODINE", BOLD);
    return y + 300;
}

// The column headings from `top` and the columns' numbers; returns where the rows start.
int drawColumnHeadings(Canvas& c, int top) {
    int y = top;
    c.line(LEFT, top, RIGHT, top);
    c.text({LABEL_X + 50, y + 30, LABEL_W - 100, 200}, "OPIS PODATAKA, VRSTE DOPRINOSA I PRIMITAKA ", SMALL);
    c.text({LABEL_X + 50, y + 230, LABEL_W - 100, 200}, "(iznosi u kunama i lipama)", SMALL);
    c.text({cellX(3) + 50, y + 30, 2 * CELL_W - 100, 200}, "A)", SMALL);
    c.text({cellX(5) + 50, y + 30, 4 * CELL_W - 100, 200}, "B) VRSTE PRIMITAKA OD KOJIH SE UTVRĐUJE DRUGI DOHODAK",
           SMALL);
    c.line(cellX(3), y + 220, cellX(9), y + 220);
    const Font tiny{.size = 6};
    c.text({cellX(3) + 50, y + 240, 2 * CELL_W - 100, 200}, "Primici iz čl. 32. st.3. Zakona   i ostali", tiny);
    c.text({cellX(5) + 50, y + 240, 4 * CELL_W - 100, 200}, "Primici iz članka 32. stavak 5. Zakona", tiny);
    c.line(cellX(3), y + 440, cellX(9), y + 440);
    c.text({LABEL_X + 50, y + 480, LABEL_W - 100, 200}, "OPIS", BOLD);
    for (int k = 0; k < 7; ++k)
        for (int l = 0; l < 3; ++l)
            c.text({cellX(3 + k) + 50, y + 460 + l * 170, CELL_W - 100, 170}, HEADINGS[k][l], SMALL);
    y += 980;
    c.line(LEFT, y, RIGHT, y);
    for (int k = 1; k <= 9; ++k) {
        const int x = k == 1 ? NUMBER_X : k == 2 ? LABEL_X : cellX(k);
        const int w = k == 1 ? NUMBER_W : k == 2 ? LABEL_W : CELL_W;
        c.text({x, y + 20, w, 180}, std::to_string(k), SMALL, Align::Center);
    }
    y += 200;
    c.line(LEFT, y, RIGHT, y);
    return y;
}

// One row of the grid at `y`: its number, its label and its cells.
void drawRow(Canvas& c, const GridRow& r, const IddGrid& grid, int y) {
    static const Picture amount = Picture::parse("@N-14.`2B");
    // Wider than three digits: a large payer's count must not turn into "###".
    static const Picture count = Picture::parse("@n6B");
    c.text({NUMBER_X + 40, y + 30, NUMBER_W - 60, 180}, r.number, SMALL);
    const bool upper = r.label[0] >= 'A' && r.label[0] <= 'Z';
    c.text({LABEL_X + 50, y + 30, LABEL_W - 100, 180}, r.label, upper ? Font{.size = 7, .bold = true} : SMALL);
    if (r.row < 0) return;
    const auto row = IddGrid::Row(r.row);
    const Picture& pic = row == IddGrid::BROJ ? count : amount;
    for (int col = IddGrid::FIRST_COLUMN; col <= IddGrid::LAST_COLUMN; ++col) {
        if (r.columns & (1u << col))
            c.value({cellX(col), y + 30, CELL_W - 50, 180}, pic, grid.at(row, col), BODY);
        else  // the form has no such cell
            c.fill({cellX(col) + 10, y + 10, CELL_W - 20, ROW_H - 20}, 0xD8D8D8);
    }
    c.value({cellX(9), y + 30, CELL_W - 50, 180}, pic, grid.total[row], BOLD);
}

// The rows from `y`, with the captions of their groups; returns where they end.
int drawRows(Canvas& c, const IddGrid& grid, int y) {
    size_t caption = 0;
    for (size_t i = 0; i < std::size(ROWS_OF_FORM); ++i) {
        if (caption < std::size(CAPTIONS) && CAPTIONS[caption].beforeRow == int(i)) {
            c.text({LABEL_X + 50, y + 20, LABEL_W - 100, 180}, CAPTIONS[caption].text,
                   Font{.size = 7, .italic = true});
            y += 200;
            c.line(LEFT, y, RIGHT, y);
            ++caption;
        }
        drawRow(c, ROWS_OF_FORM[i], grid, y);
        y += ROW_H;
        c.line(LEFT, y, RIGHT, y);
    }
    return y;
}

void drawForm(Canvas& c, const IddGrid& grid, const FormPayer& payer, const std::string& period,
              const std::string& today) {
    const int top = drawHead(c, payer, period);
    int y = drawRows(c, grid, drawColumnHeadings(c, top));
    // The grid's vertical lines; those inside a group of columns start below its captions.
    for (int x : {NUMBER_X, LABEL_X, cellX(3), cellX(5), cellX(9), RIGHT}) c.line(x, top, x, y);
    for (int x : {cellX(4), cellX(6), cellX(7), cellX(8)}) c.line(x, top + 440, x, y);

    y += 250;
    c.text({LEFT, y, 1800, 200}, "Datum sastavljanja:", BODY);
    c.text({LEFT + 1800, y, 1500, 200}, today, BODY);
    c.text({LEFT + 4200, y, 1800, 200}, "Potvrda primitka:", BODY);
    c.text({LEFT + 7600, y, 3200, 200}, "PEČAT I POTPIS OVLAŠTENE OSOBE", BODY);
    const int signature = y + 550;
    c.line(LEFT + 7600, signature, RIGHT, signature);
    // The page's number under the line signed on, not through it.
    c.text({RIGHT - 500, signature + 100, 500, 200}, "1", SMALL, Align::Right);
}

// The grid's sums, or the name of the file that could not be read.
const char* sumLines(LONG payer, int year, int month, IddGrid& grid) {
    ValueLookup<VrstedohFile> types;
    return forEachLineOfMonth(payer, year, month, [&](const DOHOCI_REC& line, const PositionAmounts& amounts) {
        const VRSTEDOH_REC* type = types.find(line.VRSTADOHOTKA);
        addLine(grid, type ? int(type->STUPACIDD) : 0, amounts);
    });
}

}  // namespace

bool sumIdd(LONG payer, const std::string& year, const std::string& month, IddGrid& grid) {
    grid = IddGrid{};
    const std::optional<int> y = wholeNumber(year), m = wholeNumber(month);
    // A month no payment can be dated in: nothing to read.
    if (!y || !m) return true;
    const char* failed = sumLines(payer, *y, *m, grid);
    if (failed) STANDARDWARNING(35, failed);
    return !failed;
}

std::unique_ptr<Report> IDD(LONG payer, const std::string& year, const std::string& month,
                            const ProgressFn& progress) {
    auto report = std::make_unique<Report>("Obrazac IDD");
    report->setFileName("IDD", year + "-" + (month.size() == 1 ? "0" + month : month));
    report->setLandscape(true);
    report->setProgress(progress);
    if (!report->progress(0, 2)) return nullptr;

    // A grid that silently lost lines would be worse than none.
    IddGrid grid;
    if (!sumIdd(payer, year, month, grid)) return nullptr;
    const FormPayer from = readFormPayer(payer);
    if (!report->progress(1, 2)) return nullptr;

    static const Picture d17 = Picture::parse("@d17");
    const std::string period = rtrim(month) + ".  " + year + ".";
    drawForm(report->page(), grid, from, period, d17.format(Date::today()));
    report->close();
    if (!report->progress(2, 2) || report->pages().empty()) return nullptr;
    return report;
}

}  // namespace marel
