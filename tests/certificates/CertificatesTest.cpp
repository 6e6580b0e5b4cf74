#include <gtest/gtest.h>

#include "certificates/Certificates.h"
#include "certificates/PrintedWords.h"
#include "joppd/JoppdFixture.h"
#include "report/PageFiles.h"
#include "session/Globals.h"

using namespace marel;
using namespace marel::test;

namespace {

// The printed text of a report, page by page.
std::vector<std::vector<std::string>> pagesOf(Report& r) {
    std::vector<std::vector<std::string>> out;
    for (const Page& page : r.pages()) out.push_back(pageText(page));
    return out;
}

bool has(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

class Certificates : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        VRS.OZNAKA = AUTHOR;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.PRIZNATITROSKOVI = Decimal(30);
        ASSERT_EQ(VRSTEDOH.put(), 0);
        VRS.OZNAKA = NONTAXABLE;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.NEOPOREZIVIDIO = Decimal::parse("12.5");
        VRS.PRIZNATITROSKOVI = Decimal(25);
        ASSERT_EQ(VRSTEDOH.put(), 0);
        payer(2, "P", "Drugi isplatitelj d.o.o.", "11111111119");
        GLO.DATUMIZVJ = Date::fromYmd(2015, 1, 20);
    }
};

// An income type whose lines have no receipt prints its lines but no subtotal.
const Amounts kNothing = {{POZ_BRUTO, "0.00"}, {POZ_NETO, "0.00"}};

TEST_F(Certificates, PrintsEachLineTheSubtotalsOfTypesWithReceiptsAndTheGrandTotal) {
    payment(1, Date::fromYmd(2014, 2, 5));
    payment(2, Date::fromYmd(2014, 6, 10));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 1, NOCONTRIB, kNoContributions);
    line(3, 2, 1, AUTHOR, kAuthorFee);
    line(4, 2, 1, DIVIDEND, kNothing);
    line(5, 2, 2, AUTHOR, kAuthorFee);  // someone else's

    auto report = ISPISPOTVRDE(1, 1, "2014");
    ASSERT_NE(report, nullptr);
    auto pages = pagesOf(*report);
    ASSERT_EQ(pages.size(), 1u);
    const auto& text = pages[0];

    EXPECT_TRUE(has(text, "POTVRDA"));
    EXPECT_TRUE(has(text, "O ISPLAĆENOM PRIMITKU, DOHOTKU, UPLAĆENOM DOPRINOSU, POREZU NA DOHODAK I PRIREZU U 2014. GODINI"));
    EXPECT_TRUE(has(text, "Šećerana Čađavica, Đakovo d.o.o."));
    EXPECT_TRUE(has(text, "Zagreb, Ulica  grada   Vukovara 12a"));
    EXPECT_TRUE(has(text, "Ivana Horvat"));
    EXPECT_TRUE(has(text, "12345678903"));
    EXPECT_TRUE(has(text, "Zagreb, 20.01.2015."));
    EXPECT_TRUE(has(text, "POTPIS I PEČAT ISPLATITELJA"));

    // Rows grouped by income type in code order, numbered straight through.
    EXPECT_EQ(row(text, "1."), (W{"1.", "05.02.2014.", "Autorski", "honorar", "1.000,00", "30%", "300,00", "140,00",
                                  "560,00", "05.02.2014.", "165,20", "694,80"}));
    EXPECT_EQ(row(text, "2."), (W{"2.", "10.06.2014.", "Autorski", "honorar", "1.000,00", "30%", "300,00", "140,00",
                                  "560,00", "10.06.2014.", "165,20", "694,80"}));
    EXPECT_EQ(row(text, "3."), (W{"3.", "05.02.2014.", "Drugi", "dohodak", "bez", "doprinosa", "1.000,00", "0%",
                                  "1.000,00", "05.02.2014.", "295,00", "705,00"}));
    EXPECT_EQ(row(text, "4."), (W{"4.", "10.06.2014.", "Dividenda", "0%", "10.06.2014."}));
    EXPECT_TRUE(row(text, "5.").empty());

    EXPECT_EQ(row(text, "Ukupno"), (W{"Ukupno", "Autorski", "honorar", "2.000,00", "30%", "600,00", "280,00",
                                      "1.120,00", "330,40", "1.389,60"}));
    EXPECT_TRUE(has(text, "Ukupno Drugi dohodak bez doprinosa"));
    EXPECT_FALSE(has(text, "Ukupno Dividenda"));
    EXPECT_EQ(row(text, "SVEUKUPNO"),
              (W{"SVEUKUPNO", "3.000,00", "600,00", "280,00", "2.120,00", "625,40", "2.094,60"}));
}

TEST_F(Certificates, LeavesOutOtherPayersAndYearsAndPrintsZerosWhenTheyPaidNothing) {
    payment(1, Date::fromYmd(2013, 12, 31));
    payment(2, Date::fromYmd(2014, 3, 1), 2);
    payment(3, Date::fromYmd(2014, 1, 1));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 2, 1, AUTHOR, kAuthorFee);
    line(3, 3, 1, NONTAXABLE, kNonTaxable);

    auto report = ISPISPOTVRDE(1, 1, "2014");
    ASSERT_NE(report, nullptr);
    auto text = pagesOf(*report).at(0);
    EXPECT_EQ(row(text, "1."), (W{"1.", "01.01.2014.", "Neoporezivi", "primitak", "1.600,00", "12,5%+25%",
                                  "1.600,00", "01.01.2014.", "1.600,00"}));
    EXPECT_TRUE(row(text, "2.").empty());
    EXPECT_EQ(row(text, "SVEUKUPNO"), (W{"SVEUKUPNO", "1.600,00", "1.600,00", "0,00", "0,00", "0,00", "1.600,00"}));

    // A year or a payer that paid him nothing still gives the paper, its
    // grand total all zeros, in either variant.
    const W zeros(6, "0,00"), crisisZeros(8, "0,00");
    struct Empty {
        LONG payer;
        const char* year;
        const W& amounts;
    };
    for (const Empty& e : {Empty{1, "2012", zeros}, Empty{2, "2013", zeros}, Empty{1, "2010", crisisZeros}}) {
        SCOPED_TRACE(e.year);
        auto empty = certificateReport(1, e.payer, e.year, crisisYear(e.year));
        ASSERT_NE(empty, nullptr);
        W total{"SVEUKUPNO"};
        total.insert(total.end(), e.amounts.begin(), e.amounts.end());
        EXPECT_EQ(row(pagesOf(*empty).at(0), "SVEUKUPNO"), total);
    }
    // A recipient never paid, a payer not on file, a year not of four digits.
    EXPECT_EQ(ISPISPOTVRDE(2, 1, "2014"), nullptr);
    EXPECT_EQ(ISPISPOTVRDE(1, 9, "2014"), nullptr);
    EXPECT_EQ(ISPISPOTVRDE(1, 1, "14"), nullptr);
    EXPECT_TRUE(ask.messages.empty());
}

TEST_F(Certificates, CrisisYearsHaveTheCrisisTaxAndTheNetAfterIt) {
    Amounts withCrisis = kAuthorFee;
    withCrisis[POZ_KRIPOREZ] = "13.90";
    withCrisis[POZ_POSLIJEKRIPOREZ] = "680.90";
    payment(1, Date::fromYmd(2010, 4, 2));
    line(1, 1, 1, AUTHOR, withCrisis);
    line(2, 1, 1, NOCONTRIB, kNoContributions);
    Date::fixToday(Date::fromYmd(2011, 1, 15));
    auto report = ISPISPOTVRDESKRIPOREZ(1, 1, "2010");
    Date::fixToday(Date());
    ASSERT_NE(report, nullptr);
    auto text = pagesOf(*report).at(0);
    EXPECT_TRUE(has(text, "U 2010. GODINI"));
    EXPECT_TRUE(has(text, "Zagreb, 15.01.2011."));
    EXPECT_EQ(row(text, "1."), (W{"1.", "Autorski", "honorar", "1.000,00", "30%", "300,00", "140,00", "560,00",
                                  "02.04.2010.", "140,00", "165,20", "13,90", "680,90"}));
    EXPECT_EQ(row(text, "2."), (W{"2.", "Drugi", "dohodak", "bez", "doprinosa", "1.000,00", "0%", "1.000,00",
                                  "02.04.2010.", "295,00", "705,00"}));
    EXPECT_EQ(row(text, "SVEUKUPNO"), (W{"SVEUKUPNO", "2.000,00", "300,00", "140,00", "1.560,00", "140,00", "460,20",
                                         "13,90", "1.385,90"}));

    // The ordinary certificate of the same year has no crisis-tax column.
    auto plain = ISPISPOTVRDE(1, 1, "2010");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(row(pagesOf(*plain).at(0), "SVEUKUPNO"),
              (W{"SVEUKUPNO", "2.000,00", "300,00", "140,00", "1.560,00", "460,20", "1.399,80"}));
}

TEST_F(Certificates, AllCertificatesOfAYearGoToRecipientsPaidInSurnameOrderEachOnItsOwnPages) {
    person(3, "Marko", "Anić", "22222222226", 1);
    person(4, "Petra", "Babić", "33333333331", 1);
    payment(1, Date::fromYmd(2014, 2, 5));
    payment(2, Date::fromYmd(2013, 2, 5));
    payment(3, Date::fromYmd(2014, 2, 5), 2);
    line(1, 1, 2, AUTHOR, kAuthorFee);
    line(2, 1, 1, AUTHOR, kAuthorFee);
    line(3, 1, 3, NOCONTRIB, kNoContributions);
    line(4, 2, 4, AUTHOR, kAuthorFee);  // paid the year before
    line(5, 3, 4, AUTHOR, kAuthorFee);  // paid by the other payer

    EXPECT_EQ(recipientsPaid(1, "2014"), (std::vector<LONG>{3, 1, 2}));
    auto report = allCertificatesReport(1, "2014");
    ASSERT_NE(report, nullptr);
    auto pages = pagesOf(*report);
    ASSERT_EQ(pages.size(), 3u);
    const char* names[] = {"Marko Anić", "Ivana Horvat", "Đuro Šimić"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(has(pages[i], names[i])) << i;
        EXPECT_TRUE(has(pages[i], "POTVRDA")) << i;
        // Each certificate counts its own rows.
        EXPECT_FALSE(row(pages[i], "1.").empty()) << i;
        EXPECT_TRUE(row(pages[i], "2.").empty()) << i;
        EXPECT_FALSE(row(pages[i], "SVEUKUPNO").empty()) << i;
    }
    EXPECT_FALSE(has(pages[0], "Horvat"));

    // A year in which nobody was paid has nothing to print.
    EXPECT_TRUE(recipientsPaid(1, "2015").empty());
    EXPECT_EQ(allCertificatesReport(1, "2015"), nullptr);
    EXPECT_EQ(allCertificatesReport(2, "2013"), nullptr);
}

TEST_F(Certificates, TheUserCanCancelAndGetsNoPages) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 2, AUTHOR, kAuthorFee);
    int calls = 0;
    EXPECT_EQ(allCertificatesReport(1, "2014", [&](int) { return ++calls < 2; }), nullptr);
    EXPECT_GE(calls, 2);
}

TEST(CertificateYears, TheWindowProposesLastYearUntilJulyIsOverAndOnlyFourDigitsAreAYear) {
    EXPECT_EQ(proposedYear(Date::fromYmd(2014, 8, 15)), "2014");
    EXPECT_EQ(proposedYear(Date::fromYmd(2014, 7, 15)), "2013");
    EXPECT_EQ(proposedYear(Date::fromYmd(2014, 1, 2)), "2013");
    for (const char* bad : {"", "201", "20145", "2o14", " 2014", "-201"}) EXPECT_FALSE(validYear(bad)) << bad;
    EXPECT_TRUE(validYear("2014"));
    EXPECT_TRUE(crisisYear("2009"));
    EXPECT_TRUE(crisisYear("2010"));
    EXPECT_FALSE(crisisYear("2011"));
    EXPECT_FALSE(crisisYear("2008"));
}

}  // namespace
