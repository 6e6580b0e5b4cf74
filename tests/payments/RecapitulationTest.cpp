#include "payments/Recapitulation.h"

#include <gtest/gtest.h>

#include <sstream>

#include "joppd/JoppdFixture.h"
#include "report/PageFiles.h"

using namespace marel;
using namespace marel::test;

namespace {

std::vector<std::string> textOf(Report& report) {
    std::vector<std::string> lines;
    for (const Page& page : report.pages())
        for (std::string& l : pageText(page)) lines.push_back(std::move(l));
    return lines;
}

// The printed line of a position: its code first, then its name and amount.
std::string lineOf(const std::vector<std::string>& lines, const std::string& code) {
    for (const std::string& l : lines) {
        std::istringstream in(l);
        std::string first;
        in >> first;
        if (first == code) return trim(l);
    }
    return "(no line " + code + ")";
}

// The last word of a line.
std::string last(const std::string& line) {
    return line.substr(line.find_last_of(' ') + 1);
}

class Recapitulation : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        ASSERT_EQ(Store::main().loadTable("POZICIJE", suppliedDataDir()), 0);
        openFiles({&POZICIJE});
        for (auto [code, name] : {std::pair{13, "Kriporez"}, std::pair{14, "Poslije Kriporez"}}) {
            POZICIJE.clear();
            POZ.OZNAKA = USHORT(code);
            POZ.NAZIV = name;
            ASSERT_EQ(POZICIJE.add(), 0);
        }
        OPC.OZNAKA = 1;
        ASSERT_EQ(OPCINE.get(OPCINE.KEYOZNAKA), 0);
        OPC.STOPAPRIREZA = Decimal(18);
        ASSERT_EQ(OPCINE.put(), 0);
        OSO.OZNAKA = 1;
        ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
        OSO.JMBG = "0101980330001";
        ASSERT_EQ(OSOBE.put(), 0);
        payment(1, Date::fromYmd(2014, 3, 10));
    }
};

}  // namespace

TEST_F(Recapitulation, IncomeLineClosesWithGrossPlusHealthInsurance) {
    line(1, 1, 1, AUTHOR, kAuthorFee);
    auto report = obracunReport(1);
    ASSERT_NE(report, nullptr);
    const auto lines = textOf(*report);
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    for (const char* text : {"Šećerana Čađavica, Đakovo d.o.o.", "14069", "10.03.2014.", "Rekapitulacija za:",
                             "Ivana Horvat", "Zagreb", "JMBG:", "0101980330001"})
        EXPECT_NE(all.find(text), std::string::npos) << text << "\n" << all;

    EXPECT_EQ(last(lineOf(lines, "1")), "1.000,00");
    EXPECT_EQ(last(lineOf(lines, "3")), "300,00");
    EXPECT_EQ(last(lineOf(lines, "10")), "694,80");
    EXPECT_EQ(last(lineOf(lines, "11")), "105,00");
    // The surtax names the rate of the recipient's municipality.
    EXPECT_NE(lineOf(lines, "9").find(" po stopi od 18%"), std::string::npos) << lineOf(lines, "9");
    EXPECT_EQ(last(lineOf(lines, "9")), "25,20");
    // Zero amounts are blank.
    EXPECT_EQ(lineOf(lines, "2").find(','), std::string::npos) << lineOf(lines, "2");
    // The amount column steps left after the gross and back after the base.
    EXPECT_LT(lineOf(lines, "3").size(), lineOf(lines, "1").size());
    EXPECT_GT(lineOf(lines, "5").size(), lineOf(lines, "3").size());

    const std::string total = trim(lines.back());
    EXPECT_TRUE(total.starts_with(RECAP_TOTAL)) << total;
    EXPECT_EQ(last(total), "1.105,00");
}

TEST_F(Recapitulation, PaymentSumsEveryPositionOverItsLines) {
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 2, NOCONTRIB, kNoContributions);
    line(3, 1, 1, AUTHOR, kAuthorFee);
    line(4, 2, 1, AUTHOR, kAuthorFee);  // another payment's line
    auto report = obrIsplateReport(1);
    ASSERT_NE(report, nullptr);
    const auto lines = textOf(*report);
    EXPECT_EQ(last(lineOf(lines, "1")), "3.000,00");
    EXPECT_EQ(last(lineOf(lines, "5")), "210,00");
    EXPECT_EQ(last(lineOf(lines, "8")), "530,00");
    EXPECT_EQ(last(lineOf(lines, "9")), "95,40");
    EXPECT_EQ(last(lineOf(lines, "10")), "2.094,60");
    EXPECT_EQ(last(lineOf(lines, "11")), "210,00");
    // Every position prints, those without an amount blank.
    EXPECT_EQ(last(lineOf(lines, "13")), "Kriporez");
    EXPECT_EQ(lineOf(lines, "2").find(','), std::string::npos);
    EXPECT_NE(lineOf(lines, "14").find("Poslije Kriporez"), std::string::npos);
    EXPECT_EQ(last(trim(lines.back())), "3.210,00");
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    EXPECT_NE(all.find("Rekapitulacija za isplatu:"), std::string::npos);

    // A payment without lines prints its positions blank and a zero total.
    payment(3, Date::fromYmd(2014, 3, 11));
    auto empty = obrIsplateReport(3);
    ASSERT_NE(empty, nullptr);
    const auto blank = textOf(*empty);
    EXPECT_EQ(trim(blank.back()), RECAP_TOTAL);
}

TEST_F(Recapitulation, MissingRecordsPrintBlankAndCancelPrintsNothing) {
    line(1, 1, 42, AUTHOR, kAuthorFee);  // recipient gone
    auto report = obracunReport(1);
    ASSERT_NE(report, nullptr);
    const auto lines = textOf(*report);
    EXPECT_NE(lineOf(lines, "9").find(" po stopi od 0%"), std::string::npos) << lineOf(lines, "9");
    EXPECT_EQ(last(trim(lines.back())), "1.105,00");

    EXPECT_EQ(obracunReport(1, [](int) { return false; }), nullptr);
    std::string error;
    EXPECT_EQ(obracunReport(5, {}, &error), nullptr);
    EXPECT_EQ(error, "Dohodak 5 ne postoji.");
    EXPECT_EQ(obrIsplateReport(9, {}, &error), nullptr);
    EXPECT_EQ(error, "Isplata 9 ne postoji.");
}
