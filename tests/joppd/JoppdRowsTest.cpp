#include "joppd/JoppdRows.h"
#include "joppd/JoppdFixture.h"

using namespace marel;
using namespace marel::test;

namespace {

class JoppdRowsTest : public JoppdFixture {
protected:
    // Builds the rows of form 1 and returns whether the build went through.
    bool build() {
        select(1);
        return PUNI(rows, ISP);
    }
    // Cell of a row by its element name.
    std::string cell(size_t row, std::string_view element) const {
        for (size_t k = 0; k < ELEMENTB.size(); ++k)
            if (ELEMENTB[k] == element) return rows.VRIJEDNOSTB.at(row)[k];
        ADD_FAILURE() << "no element " << element;
        return {};
    }
    JoppdRows rows;
};

TEST_F(JoppdRowsTest, ContractWithContributionsFillsEveryCell) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    ASSERT_TRUE(build());
    ASSERT_EQ(rows.BRREDAKA(), 1);
    const std::vector<std::string> expected = {
        "1",      "01333",  "00000",  "12345678903", "Ivana Horvat", "4002",   "4001",   "0",      "0",      "0",
        "0",      "0",      "2014-01-01", "2014-12-31", "1000.00", "700.00", "105.00", "35.00", "105.00", "0.00",
        "0.00",   "0.00",   "0.00",   "0.00",   "0.00",   "300.00", "140.00", "560.00", "0.00",   "560.00",
        "140.00", "25.20",  "0",      "0.00",   "1",      "694.80", "0.00"};
    EXPECT_EQ(std::vector<std::string>(rows.VRIJEDNOSTB[0].begin(), rows.VRIJEDNOSTB[0].end()), expected);
    EXPECT_EQ(rows.IZNOSA, (std::array<std::string, 6>{"165.20", "105.00", "35.00", "105.00", "0.00", "0.00"}));
    EXPECT_TRUE(ask.messages.empty());
}

TEST_F(JoppdRowsTest, NonTaxableReceiptReportsTheMonthBeforeAndItsCode) {
    person(3, "Mate", "Marić", "11111111119", 1, "4090");
    payment(1, Date::fromYmd(2014, 3, 10));
    line(1, 1, 3, NONTAXABLE, kNonTaxable, 4);
    line(2, 1, 1, NONTAXABLE, kNonTaxable);
    form(1, 1);
    ASSERT_TRUE(build());
    EXPECT_EQ(cell(0, "P61"), "0000");
    EXPECT_EQ(cell(0, "P3"), "04090");   // municipality of work
    EXPECT_EQ(cell(1, "P3"), "01333");   // same as residence
    EXPECT_EQ(cell(0, "P101"), "2014-02-01");
    EXPECT_EQ(cell(0, "P102"), "2014-02-28");
    for (auto e : {"P11", "P12", "P133", "P135", "P141", "P142"}) EXPECT_EQ(cell(0, e), "0.00") << e;
    EXPECT_EQ(cell(0, "P131"), "1600.00");
    EXPECT_EQ(cell(0, "P151"), "05");
    EXPECT_EQ(cell(0, "P152"), "1600.00");
    EXPECT_EQ(cell(0, "P162"), "1600.00");
    EXPECT_EQ(cell(0, "P161"), "4");
    EXPECT_EQ(cell(1, "P161"), "2");  // no payment method entered
    EXPECT_EQ(rows.IZNOSA[4], "3200.00");
    EXPECT_EQ(rows.IZNOSA[0], "0.00");
}

// The brackets tax the income less the allowance: the row states that base,
// while a single-rate line beside it keeps no allowance.
TEST_F(JoppdRowsTest, BracketsLineReportsTheAllowanceAndTheBaseTaxed) {
    bracketsIncomeType(5);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, 5, kBracketsWithAllowance);
    line(2, 1, 2, NOCONTRIB, kNoContributions);
    form(1, 1);
    ASSERT_TRUE(build());
    ASSERT_EQ(rows.BRREDAKA(), 2);
    EXPECT_EQ(cell(0, "P133"), "7111.38");
    EXPECT_EQ(cell(0, "P134"), "2200.00");
    EXPECT_EQ(cell(0, "P135"), "4911.38");
    EXPECT_EQ(cell(0, "P141"), "941.85");
    EXPECT_EQ(cell(0, "P142"), "169.53");
    EXPECT_EQ(cell(1, "P133"), "1000.00");
    EXPECT_EQ(cell(1, "P134"), "0.00");
    EXPECT_EQ(cell(1, "P135"), "1000.00");
}

TEST_F(JoppdRowsTest, NameIsCutBetweenCharacters) {
    person(3, "Đurđica Ljiljana", "Šćepanović-Žužić Đaković", "11111111119", 1);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 3, AUTHOR, kAuthorFee);
    form(1, 1);
    ASSERT_TRUE(build());
    // Byte 40 is the first half of the "ć" of "Žužić".
    EXPECT_EQ(cell(0, "P5"), "Đurđica Ljiljana Šćepanović-Žuži");
}

TEST_F(JoppdRowsTest, AmountsKeepTheirSignAndHaveNoThousandsSeparator) {
    EXPECT_EQ(joppdAmount(Decimal::parse("1234567.5")), "1234567.50");
    EXPECT_EQ(joppdAmount(Decimal::parse("-12.345")), "-12.35");
    EXPECT_EQ(joppdAmount(Decimal()), "0.00");
    EXPECT_EQ(joppdAmount(Decimal::parse("-0.05")), "-0.05");
    EXPECT_EQ(joppdAmount(Decimal::parse("-99999999999.99")), "##############");
}

// Each faulty second line stops the build after the first row, with its message.
TEST_F(JoppdRowsTest, FaultyLineStopsTheBuild) {
    person(3, "Bez", "Oiba", "", 1);
    person(4, "Bez", "Mjesta", "22222222228", 77);
    place(5, "Nigdje", 99);
    person(5, "Bez", "Opcine", "33333333337", 5);
    incomeType(8, "Bez stjecatelja", "", "4001");
    incomeType(9, "Bez primitka", "02", "");
    struct Case {
        LONG person;
        BYTE kind;
        const char* text;
        int people;  // a recipient that passed the OIB check is already counted
    };
    const Case cases[] = {
        {66, AUTHOR, "GREŠKA BR. 1", 1},
        {3, AUTHOR, "Greška - nije unesen OIB primatelja!", 1},
        {4, AUTHOR, "GREŠKA BR. 2", 2},
        {5, AUTHOR, "GREŠKA BR. 2", 2},
        {2, 55, "GREŠKA nije odabrana vrsta dohotka", 2},
        {2, 8, "GREŠKA nije unesena oznaka stjecatelja", 2},
        {2, 9, "GREŠKA nije unesena oznaka primitka", 2},
    };
    payment(1, Date::fromYmd(2014, 2, 5));
    form(1, 1);
    line(1, 1, 1, AUTHOR, kAuthorFee);
    LONG n = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        line(n, 1, c.person, c.kind, kAuthorFee);
        ask.messages.clear();
        EXPECT_FALSE(build());
        EXPECT_EQ(ask.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(rows.BRREDAKA(), 1);
        EXPECT_EQ(rows.brojOsoba(), c.people);
        EXPECT_EQ(rows.IZNOSA[0], "165.20");  // the complete row only
        DOH.OZNAKA = n++;
        ASSERT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
        ASSERT_EQ(DOHOCI.deleteRecord(), 0);
    }
}

// Every position with an amount of its own (position p holds p × 100), so
// that a cell or a total fed from the wrong position shows.
TEST(JoppdAmountsTest, EachCellAndTotalTakesItsOwnPositions) {
    PositionAmounts at{};
    for (size_t p = 1; p < at.size(); ++p) at[p] = Decimal(int64_t(p) * 100);
    struct Case {
        const char* what;
        JoppdKind kind;
        JoppdCell cell;
        int64_t expected;
    };
    const Case cases[] = {
        {"gross", {}, C11, 100},
        {"base of a type paying contributions", {.contributionBase = true}, C12, 400},
        {"base of a type paying none", {}, C12, 0},
        {"pillar I", {}, C121, 500},
        {"pillar II", {}, C122, 600},
        {"health", {}, C123, 1100},
        {"non-taxable part and expenses", {}, C131, 500},
        {"pillars paid", {}, C132, 1100},
        {"income", {}, C133, 700},
        {"single rate: no allowance", {}, C134, 0},
        {"single rate: the income taxed", {}, C135, 700},
        {"brackets: the allowance", {.severalRates = true}, C134, 1200},
        {"brackets: the income less it", {.severalRates = true}, C135, -500},
        {"tax", {}, C141, 800},
        {"surtax", {}, C142, 900},
        {"net", {}, C162, 1000},
        {"taxable: no non-taxable amount", {}, C152, 0},
        {"non-taxable amount", {.nonTaxable = true}, C152, 1000},
        {"non-taxable: no gross", {.nonTaxable = true}, C11, 0},
        {"non-taxable: no base", {.nonTaxable = true, .contributionBase = true}, C12, 0},
        {"non-taxable: no income taxed", {.nonTaxable = true, .severalRates = true}, C135, 0},
        {"crisis tax is not reported", {}, C17, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(joppdAmounts(at, c.kind).cell[c.cell], Decimal(c.expected)) << c.what;

    using Totals = std::array<Decimal, 6>;
    EXPECT_EQ(joppdAmounts(at, {}).total, (Totals{1700, 500, 600, 1100, 0, 0}));
    EXPECT_EQ(joppdAmounts(at, {.capital = true}).total, (Totals{0, 500, 600, 1100, 0, 1700}));
    EXPECT_EQ(joppdAmounts(at, {.nonTaxable = true}).total, (Totals{1700, 500, 600, 1100, 1000, 0}));
}

}  // namespace
