#include "forms/Idd.h"

#include <gtest/gtest.h>

#include <regex>

#include "joppd/JoppdFixture.h"
#include "report/PageFiles.h"

using namespace marel;
using namespace marel::test;

namespace {

// A month of payer 1 with income types in several columns of the form, and
// payments around it that must not count.
class Idd : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(column(AUTHOR, 5));
        ASSERT_NO_FATAL_FAILURE(column(NOCONTRIB, 3));
        ASSERT_NO_FATAL_FAILURE(column(NONTAXABLE, 4));
        // The dividend names no column of the form: it counts in the totals only.
        ASSERT_NO_FATAL_FAILURE(bracketsIncomeType(5));
        ASSERT_NO_FATAL_FAILURE(column(5, 7));
        ASSERT_NO_FATAL_FAILURE(payer(2, "P", "Druga tvrtka d.o.o.", "94577403194"));

        payment(1, Date::fromYmd(2014, 3, 5));
        line(1, 1, 1, AUTHOR, kAuthorFee);
        line(2, 1, 1, AUTHOR, kAuthorFee);  // the same recipient again
        line(3, 1, 2, NOCONTRIB, kNoContributions);
        line(4, 1, 2, NONTAXABLE, kNonTaxable);
        payment(2, Date::fromYmd(2014, 3, 31));
        line(5, 2, 1, DIVIDEND, kDividend);
        line(6, 2, 2, 5, kBracketsWithAllowance);
        // Another month, another year, another payer.
        payment(3, Date::fromYmd(2014, 4, 1));
        line(7, 3, 1, AUTHOR, kAuthorFee);
        payment(4, Date::fromYmd(2013, 3, 5));
        line(8, 4, 1, AUTHOR, kAuthorFee);
        payment(5, Date::fromYmd(2014, 3, 6), 2);
        line(9, 5, 1, AUTHOR, kAuthorFee);
    }
    static void column(BYTE type, BYTE column) {
        VRS.OZNAKA = type;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.STUPACIDD = column;
        ASSERT_EQ(VRSTEDOH.put(), 0);
    }

    static std::vector<std::string> text(LONG payer, const char* year, const char* month) {
        auto report = IDD(payer, year, month);
        if (!report || report->pages().size() != 1) return {};
        return pageText(report->pages()[0]);
    }
    // The line that holds `label`, empty when none does.
    static std::string lineOf(const std::vector<std::string>& lines, const std::string& label) {
        for (const std::string& l : lines)
            if (l.find(label) != std::string::npos) return l;
        return {};
    }
    // What the line shows after the label: its amounts, or its counts.
    static std::vector<std::string> cells(const std::string& line, const std::string& label, bool counts = false) {
        std::vector<std::string> out;
        const size_t at = line.find(label);
        if (at == std::string::npos) return {"(no line)"};
        const std::string rest = line.substr(at + label.size());
        static const std::regex amount(R"([0-9.]+,[0-9]{2})"), count(R"([0-9]+)");
        for (std::sregex_iterator it(rest.begin(), rest.end(), counts ? count : amount), end; it != end; ++it)
            out.push_back(it->str());
        return out;
    }
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(Idd, SumsTheMonthsIncomeLinesIntoTheColumnsOfTheirIncomeTypes) {
    IddGrid g;
    ASSERT_TRUE(sumIdd(1, "2014", "03", g));
    auto d = [](const char* s) { return Decimal::parse(s); };

    // Lines, not recipients: the author was paid twice.
    EXPECT_EQ(g.at(IddGrid::BROJ, 5), d("2"));
    EXPECT_EQ(g.at(IddGrid::BROJ, 3), d("1"));
    EXPECT_EQ(g.at(IddGrid::BROJ, 4), d("1"));
    EXPECT_EQ(g.at(IddGrid::BROJ, 7), d("1"));
    EXPECT_EQ(g.total[IddGrid::BROJ], d("6"));

    EXPECT_EQ(g.at(IddGrid::BRUTO, 5), d("2000"));
    EXPECT_EQ(g.total[IddGrid::BRUTO], d("12711.38"));
    EXPECT_EQ(g.at(IddGrid::TROSKOVI, 4), d("1600"));
    EXPECT_EQ(g.at(IddGrid::TROSKOVI, 5), d("600"));
    EXPECT_EQ(g.total[IddGrid::TROSKOVI], d("2200"));

    // The author's contribution base is left out, also of the total; his
    // contributions are not.
    EXPECT_EQ(g.at(IddGrid::OD, 5), d("0"));
    EXPECT_EQ(g.at(IddGrid::OD, 7), d("7111.38"));
    EXPECT_EQ(g.total[IddGrid::OD], d("7111.38"));
    EXPECT_EQ(g.at(IddGrid::MOISTUP, 5), d("210"));
    EXPECT_EQ(g.at(IddGrid::MOIISTUP, 5), d("70"));
    EXPECT_EQ(g.at(IddGrid::ZO, 5), d("210"));
    EXPECT_EQ(g.at(IddGrid::MOUK, 5), d("280"));
    EXPECT_EQ(g.total[IddGrid::MOUK], d("280"));

    EXPECT_EQ(g.total[IddGrid::DOHODAK], d("10231.38"));
    EXPECT_EQ(g.at(IddGrid::POREZ, 7), d("941.85"));
    EXPECT_EQ(g.total[IddGrid::POREZ], d("1591.85"));
    EXPECT_EQ(g.total[IddGrid::PRIREZ], d("286.53"));
    EXPECT_EQ(g.at(IddGrid::POREZIPRIREZ, 3), d("295"));
    EXPECT_EQ(g.total[IddGrid::POREZIPRIREZ], d("1878.38"));

    // Month and year are read as numbers.
    IddGrid same;
    ASSERT_TRUE(sumIdd(1, "2014", "3", same));
    EXPECT_EQ(same.total, g.total);
}

// Exempt receipts, author's work and athletes, artists and journalists
// (columns 4 to 6) declare no contribution base; every other column does.
TEST_F(Idd, ContributionBaseIsDeclaredOutsideColumnsFourToSix) {
    for (int c = IddGrid::FIRST_COLUMN; c <= IddGrid::LAST_COLUMN; ++c) {
        SCOPED_TRACE(c);
        ASSERT_NO_FATAL_FAILURE(column(AUTHOR, BYTE(c)));
        IddGrid g;
        ASSERT_TRUE(sumIdd(1, "2014", "04", g));  // one author's fee, base 700.00
        const Decimal base = c >= 4 && c <= 6 ? Decimal(0) : Decimal::parse("700");
        EXPECT_EQ(g.at(IddGrid::OD, c), base);
        EXPECT_EQ(g.total[IddGrid::OD], base);
    }
}

TEST_F(Idd, PrintsEachRowWithTheCellsTheFormHas) {
    const auto lines = text(1, "2014", "3");
    ASSERT_FALSE(lines.empty());

    EXPECT_EQ(cells(lineOf(lines, "BROJ PRIMATELJA"), "BROJ PRIMATELJA", true), (V{"1", "1", "2", "1", "6"}));
    EXPECT_EQ(cells(lineOf(lines, "ISPLAĆENI PRIMICI"), "ISPLAĆENI PRIMICI"),
              (V{"1.000,00", "1.600,00", "2.000,00", "7.111,38", "12.711,38"}));
    // Row 3 has no cells in columns 7 and 8, row 6 none in columns 5 and 8:
    // their amounts show in the total only.
    std::string expenses;
    for (const std::string& l : lines)
        if (l.find("IZDACI") != std::string::npos && l.find("IZDACI ZA") == std::string::npos) expenses = l;
    EXPECT_EQ(cells(expenses, "IZDACI"), (V{"1.600,00", "600,00", "2.200,00"}));
    EXPECT_EQ(cells(lineOf(lines, "IZDACI ZA DOPRINOSE"), "Zakona)"), (V{"280,00"}));
    EXPECT_EQ(cells(lineOf(lines, "OSNOVICA ZA OBRAČUN DOPRINOSA"), "DOPRINOSA"), (V{"7.111,38", "7.111,38"}));
    EXPECT_EQ(cells(lineOf(lines, "doprinos za mirovinsko osiguranje"), "osiguranje"), (V{"210,00", "210,00"}));
    EXPECT_EQ(cells(lineOf(lines, "individ. kapital. štednje"), "štednje"), (V{"70,00", "70,00"}));
    EXPECT_EQ(cells(lineOf(lines, "OSNOVICA ZA OBRAČUN POREZA (2-3-6)"), "(2-3-6)"),
              (V{"1.000,00", "1.120,00", "7.111,38", "10.231,38"}));
    EXPECT_EQ(cells(lineOf(lines, "UPLAĆENI POREZ NA DOHODAK I PRIREZ"), "PRIREZ"),
              (V{"295,00", "330,40", "1.111,38", "1.878,38"}));
    // Rows the program has nothing for are labels only.
    for (const char* label : {"doprinos za mir. osiguranje u određenim okolnostima",
                              "posebni doprinos za zdr. osig. zaštite zdravlja na radu",
                              "posebni doprinos za korištenje zdr. zaštite u inozemstvu"}) {
        EXPECT_NE(lineOf(lines, label), "") << label;
        EXPECT_EQ(cells(lineOf(lines, label), label), V{}) << label;
    }
}

TEST_F(Idd, HeaderNamesThePayerAndTheMonth) {
    const auto lines = text(1, "2014", "3");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lineOf(lines, "OBRAZAC IDD"), "");
    EXPECT_NE(lineOf(lines, "NAZIV/IME I PREZIME").find("Šećerana Čađavica, Đakovo d.o.o."), std::string::npos);
    EXPECT_NE(lineOf(lines, "SJEDIŠTE/PREBIVALIŠTE/BORAVIŠTE").find("Zagreb, Ulica  grada   Vukovara 12a"),
              std::string::npos);
    EXPECT_NE(lineOf(lines, "POREZNI BROJ:").find("69435151530"), std::string::npos);
    EXPECT_NE(lineOf(lines, "U MJESECU").find("3.  2014."), std::string::npos);
    EXPECT_NE(lineOf(lines, "Datum sastavljanja:"), "");
    EXPECT_NE(lineOf(lines, "Ukupno"), "");

    // Without an OIB the payer is named by its tax number.
    SUB.OZNAKA = 1;
    ASSERT_EQ(SUBJEKTI.get(SUBJEKTI.KEYOZNAKA), 0);
    SUB.OIB = "";
    ASSERT_EQ(SUBJEKTI.put(), 0);
    EXPECT_TRUE(lineOf(text(1, "2014", "3"), "POREZNI BROJ:").ends_with(" 1"));
}

TEST_F(Idd, NothingToSumPrintsTheEmptyFormAndMissingRecordsPrintBlanks) {
    // A month without payments, a month that is no number, a payer that is not there.
    for (auto [payer, month] : {std::pair<LONG, const char*>{1, "5"}, {1, "x"}, {99, "3"}}) {
        const auto lines = text(payer, "2014", month);
        ASSERT_FALSE(lines.empty()) << payer << " " << month;
        EXPECT_EQ(cells(lineOf(lines, "BROJ PRIMATELJA"), "BROJ PRIMATELJA", true), V{}) << month;
        EXPECT_EQ(cells(lineOf(lines, "ISPLAĆENI PRIMICI"), "ISPLAĆENI PRIMICI"), V{}) << month;
        EXPECT_NE(lineOf(lines, "OBRAZAC IDD"), "");
    }
    EXPECT_EQ(lineOf(text(99, "2014", "3"), "Šećerana"), "");

    // An income line whose income type is gone counts in the totals only.
    payment(6, Date::fromYmd(2014, 5, 2));
    line(10, 6, 1, 77, kNoContributions);
    IddGrid g;
    ASSERT_TRUE(sumIdd(1, "2014", "5", g));
    EXPECT_EQ(g.total[IddGrid::BROJ], Decimal(1));
    EXPECT_EQ(g.total[IddGrid::POREZ], Decimal(250));
    for (int c = IddGrid::FIRST_COLUMN; c <= IddGrid::LAST_COLUMN; ++c) EXPECT_TRUE(g.at(IddGrid::BROJ, c).isZero());
    EXPECT_TRUE(ask.messages.empty());
}
