#include <gtest/gtest.h>

#include "certificates/CrisisTax.h"
#include "certificates/PrintedWords.h"
#include "joppd/JoppdFixture.h"
#include "report/PageFiles.h"

using namespace marel;
using namespace marel::test;

namespace {

// A line of other income bearing crisis tax on its net.
Amounts crisisLine(const char* net, const char* tax) {
    return {{POZ_BRUTO, "1.00"}, {POZ_NETO, net}, {POZ_KRIPOREZ, tax}};
}

class CrisisTax : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        openFiles({&KRIPOREZ, &DETKRIP});
        payer(2, "P", "Drugi isplatitelj d.o.o.", "11111111119");
    }
    static void ipp(LONG n, LONG payer, const char* year, BYTE month) {
        KRIPOREZ.clear();
        KRP.OZNAKA = n;
        KRP.ISPLATITELJ = payer;
        KRP.GODINA = year;
        KRP.MJESEC = month;
        ASSERT_EQ(KRIPOREZ.add(), 0);
    }
    static void ippRow(LONG ipp, BYTE kind, SHORT count, const char* base, const char* tax) {
        DETKRIP.clear();
        DKP.KRIPOREZ = ipp;
        DKP.VRSTA = kind;
        DKP.BROJ = count;
        DKP.OSNOVICA = Decimal::parse(base);
        DKP.IZNOS = Decimal::parse(tax);
        ASSERT_EQ(DETKRIP.add(), 0);
    }
    // The row of `kind`, read afresh; false when there is none.
    static bool readRow(LONG ipp, BYTE kind) {
        DETKRIP.clear();
        DKP.KRIPOREZ = ipp;
        DKP.VRSTA = kind;
        return DETKRIP.get(DETKRIP.KEYGLAVNI) == 0;
    }
};

TEST_F(CrisisTax, RefreshSumsTheMonthsLinesBearingCrisisTaxAndRewritesItsOneRow) {
    payment(1, Date::fromYmd(2010, 5, 3));
    payment(2, Date::fromYmd(2010, 5, 31));
    payment(3, Date::fromYmd(2009, 5, 10));     // the same month of another year
    payment(4, Date::fromYmd(2010, 6, 1));      // the next month
    payment(5, Date::fromYmd(2010, 5, 12), 2);  // another payer
    line(1, 1, 1, NOCONTRIB, crisisLine("1000.00", "20.00"));
    line(2, 1, 2, NOCONTRIB, crisisLine("2500.50", "50.01"));
    line(3, 1, 1, AUTHOR, crisisLine("3000.00", "120.00"));
    line(4, 2, 1, NOCONTRIB, crisisLine("400.25", "8.01"));
    line(5, 2, 2, NOCONTRIB, crisisLine("5000.00", "200.00"));
    line(6, 2, 2, NOCONTRIB, crisisLine("2000.00", "0.00"));  // below the threshold: no crisis tax
    line(7, 2, 1, NOCONTRIB, kNoContributions);                // no crisis-tax line at all
    line(8, 3, 1, NOCONTRIB, crisisLine("100.00", "2.00"));
    line(9, 4, 1, NOCONTRIB, crisisLine("100.00", "2.00"));
    line(10, 5, 1, NOCONTRIB, crisisLine("100.00", "2.00"));
    ipp(1, 1, "2010", 5);
    ippRow(1, KIND_PLACA, 7, "12345.00", "246.90");  // entered by hand: stays as it is

    for (int run = 0; run < 2; ++run) {
        CrisisTotals written;
        ASSERT_EQ(refreshOtherIncome(1, &written), 0) << run;
        EXPECT_EQ(written.count, 5);
        EXPECT_EQ(written.base, Decimal::parse("11900.75"));  // 1000 + 2500.50 + 3000 + 400.25 + 5000
        EXPECT_EQ(written.tax, Decimal::parse("398.02"));     // 20 + 50.01 + 120 + 8.01 + 200
        EXPECT_EQ(DETKRIP.records(), 2);
        ASSERT_TRUE(readRow(1, KIND_DRUGI));
        EXPECT_EQ(DKP.BROJ, 5);
        EXPECT_EQ(DKP.OSNOVICA.value(), Decimal::parse("11900.75"));
        EXPECT_EQ(DKP.IZNOS.value(), Decimal::parse("398.02"));
    }
    ASSERT_TRUE(readRow(1, KIND_PLACA));
    EXPECT_EQ(DKP.BROJ, 7);
    EXPECT_EQ(DKP.IZNOS.value(), Decimal::parse("246.90"));
    EXPECT_TRUE(ask.messages.empty());
}

TEST_F(CrisisTax, AMonthWithoutCrisisTaxWritesTheRowWithZerosAndNothingElse) {
    payment(1, Date::fromYmd(2010, 7, 3));
    line(1, 1, 1, NOCONTRIB, kNoContributions);
    ipp(1, 1, "2010", 7);
    ipp(2, 1, "2010", 8);
    ippRow(1, KIND_DRUGI, 3, "100.00", "2.00");  // left from an earlier refresh
    ippRow(2, KIND_MIROVINA, 1, "50.00", "1.00");

    ASSERT_EQ(refreshOtherIncome(1), 0);
    ASSERT_TRUE(readRow(1, KIND_DRUGI));
    EXPECT_EQ(DKP.BROJ, 0);
    EXPECT_TRUE(DKP.OSNOVICA.value().isZero());
    EXPECT_TRUE(DKP.IZNOS.value().isZero());
    EXPECT_EQ(DETKRIP.records(), 2);
    EXPECT_TRUE(readRow(2, KIND_MIROVINA));
    EXPECT_EQ(DKP.BROJ, 1);

    // A record that is gone is said so, and nothing is written.
    EXPECT_NE(refreshOtherIncome(9), 0);
    EXPECT_EQ(DETKRIP.records(), 2);
    EXPECT_EQ(ask.messages.size(), 1u);
}

TEST_F(CrisisTax, TheIppFormPrintsEveryKindAndTheTotal) {
    ipp(1, 1, "2010", 5);
    ippRow(1, KIND_DRUGI, 5, "11900.75", "398.02");
    ippRow(1, KIND_DIVIDENDE, 2, "1000.00", "20.00");
    ippRow(1, 7, 9, "999.00", "99.00");  // no kind of the form: left out, not written past its rows
    Date::fixToday(Date::fromYmd(2010, 6, 14));
    auto report = ISPISKRIPOREZ(1);
    Date::fixToday(Date());
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->pages().size(), 1u);
    auto text = pageText(report->pages()[0]);
    std::string all;
    for (const auto& l : text) all += l + "\n";

    EXPECT_NE(all.find("Obrazac IPP"), std::string::npos) << all;
    EXPECT_NE(all.find("IZVJEŠĆE O POSEBNOM POREZU NA PLAĆE, MIROVINE I DRUGE PRIMITKE"), std::string::npos);
    EXPECT_NE(all.find("u 5. mjesecu 2010. godine"), std::string::npos);
    EXPECT_NE(all.find("Šećerana Čađavica, Đakovo d.o.o."), std::string::npos);
    EXPECT_NE(all.find("Zagreb, Ulica  grada   Vukovara 12a"), std::string::npos);
    EXPECT_NE(all.find("69435151530"), std::string::npos);
    EXPECT_NE(all.find("Zagreb, 14.06.2010."), std::string::npos);
    EXPECT_EQ(row(text, "1."), (W{"1.", "Plaća"}));
    EXPECT_EQ(row(text, "2."), (W{"2.", "Mirovina"}));
    EXPECT_EQ(row(text, "3."), (W{"3.", "Drugi", "dohodak", "5", "11.900,75", "398,02"}));
    EXPECT_EQ(row(text, "4."), (W{"4.", "Dividende", "i", "udjeli", "u", "kapitalu", "2", "1.000,00", "20,00"}));
    EXPECT_EQ(row(text, "Ukupno"), (W{"Ukupno", "7", "12.900,75", "418,02"}));

    EXPECT_EQ(crisisMonthText(5, "2010"), "u 5. mjesecu 2010. godine ");
    EXPECT_EQ(ISPISKRIPOREZ(2), nullptr);
}

}  // namespace
