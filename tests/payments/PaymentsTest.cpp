#include "payments/Payments.h"

#include <regex>
#include <set>

#include "common/Random.h"
#include "support/StoreDump.h"
#include "support/StoreFixture.h"

using namespace marel;
using marel::test::StoreFixture;

namespace {

Date ymd(int y, int m, int d) { return Date::fromYmd(y, m, d); }

class PaymentsTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&ISPLATE, &DOHOCI, &OBRACUN, &JOPO, &SVASTA});
    }
    void TearDown() override {
        Date::fixToday(Date());
        StoreFixture::TearDown();
    }
    static void payment(LONG number, LONG payer, Date d) {
        ISPLATE.clear();
        ISP.OZNAKA = number;
        ISP.ISPLATITELJ = payer;
        ISP.DATUM = d;
        ISP.GODINA = std::to_string(d.year());
        ISP.RSID = reportDay(d);
        ISP.BILJESKE = "stara bilješka";
        ASSERT_EQ(ISPLATE.add(), 0);
    }
    // An income line with calculation lines at positions 1..positions, each worth number*10 + position.
    static void incomeLine(LONG number, LONG payment, USHORT ordinal, int positions) {
        DOHOCI.clear();
        DOH.OZNAKA = number;
        DOH.ISPLATA = payment;
        DOH.REDNIBROJ = ordinal;
        DOH.DJELATNIK = 100 + number;
        DOH.VRSTADOHOTKA = 3;
        DOH.NETO = Decimal(number) + Decimal::parse("0.25");
        ASSERT_EQ(DOHOCI.add(), 0);
        for (int p = 1; p <= positions; ++p) {
            OBRACUN.clear();
            OBR.DOHODAK = number;
            OBR.POZICIJA = USHORT(p);
            OBR.IZNOS = Decimal(number * 10 + p);
            ASSERT_EQ(OBRACUN.add(), 0);
        }
    }
    // Income lines of a payment as "number/ordinal/recipient/net" in walk order.
    static std::vector<std::string> linesOf(LONG paymentNumber) {
        std::vector<std::string> out;
        DOHOCI.clear();
        DOH.ISPLATA = paymentNumber;
        DOHOCI.setFrom(DOHOCI.KEYISPLATA);
        while (DOHOCI.next() == 0 && DOH.ISPLATA == paymentNumber)
            out.push_back(std::to_string(DOH.OZNAKA) + "/" + std::to_string(DOH.REDNIBROJ) + "/" +
                          std::to_string(DOH.DJELATNIK) + "/" + DOH.NETO.value().toString(2));
        return out;
    }
    static std::vector<std::string> calculationOf(LONG line) {
        std::vector<std::string> out;
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBRACUN.setFrom(OBRACUN.KEYDOHODAK);
        while (OBRACUN.next() == 0 && OBR.DOHODAK == line)
            out.push_back(std::to_string(OBR.POZICIJA) + "=" + OBR.IZNOS.value().toString(2));
        return out;
    }
};

TEST_F(PaymentsTest, IdentifierIsYearAndDayOfYear) {
    EXPECT_EQ(reportDay(ymd(2014, 2, 5)), "14036");
    EXPECT_EQ(reportDay(ymd(2016, 12, 31)), "16366");  // a leap year
    EXPECT_EQ(reportDay(ymd(2015, 12, 31)), "15365");
    EXPECT_EQ(reportDay(ymd(2021, 1, 1)), "21001");
    EXPECT_EQ(reportDay(Date()), "");
    EXPECT_EQ(reportDay(ymd(1999, 5, 5)), "");

    // From 2014 on the date sets the identifier; a payment of 2013 keeps the one it was declared with.
    ISPLATE.clear();
    ISP.RSID = "13999";
    ISP.DATUM = ymd(2013, 4, 30);
    EXPECT_EQ(LOCDAN(), "13120");
    EXPECT_EQ(ISP.RSID, "13999");
    ISP.DATUM = ymd(2013, 12, 31);
    EXPECT_EQ(LOCDAN(), "13365");
    EXPECT_EQ(ISP.RSID, "13999");
    ISP.DATUM = ymd(2014, 1, 1);
    EXPECT_EQ(LOCDAN(), "14001");
    EXPECT_EQ(ISP.RSID, "14001");
}

TEST_F(PaymentsTest, ANewPaymentIsOfferedTheFirstFreeDayOfItsPayer) {
    Date::fixToday(ymd(2016, 12, 30));
    ISPLATE.clear();
    ISP.ISPLATITELJ = 4;
    EXPECT_EQ(primeNewPayment(Date::today()), "16365");
    EXPECT_EQ(ISP.DATUM, ymd(2016, 12, 30));
    EXPECT_EQ(ISP.GODINA, "2016");
    payment(1, 4, ymd(2016, 12, 30));
    payment(2, 5, ymd(2016, 12, 31));  // another payer's day is no obstacle

    // Second of the day: tomorrow; third: the day after, in the next year.
    ISPLATE.clear();
    ISP.ISPLATITELJ = 4;
    ISP.BILJESKE = "x";
    EXPECT_EQ(primeNewPayment(Date::today()), "16366");
    EXPECT_EQ(ISP.RSID, "16366");
    EXPECT_EQ(ISP.BILJESKE.str(), "");
    payment(3, 4, ISP.DATUM);
    ISPLATE.clear();
    ISP.ISPLATITELJ = 4;
    EXPECT_EQ(primeNewPayment(Date::today()), "17001");
    EXPECT_EQ(ISP.DATUM, ymd(2017, 1, 1));
    EXPECT_EQ(ISP.GODINA, "2017");
    EXPECT_EQ(ISP.ISPLATITELJ, 4);
    EXPECT_EQ(ISP.OZNAKA, 0);
}

TEST_F(PaymentsTest, MonthAndYearStepAcrossTheTurnOfTheYear) {
    String<2> m = "12";
    String<4> y = "2016";
    stepMonth(m, y, +1);
    EXPECT_EQ(m, "1");
    EXPECT_EQ(y, "2017");
    stepMonth(m, y, -1);
    EXPECT_EQ(m, "12");
    EXPECT_EQ(y, "2016");
    stepMonth(m, y, -1);
    EXPECT_EQ(m, "11");
    EXPECT_EQ(y, "2016");
    m = "13";  // nearest month first
    stepMonth(m, y, +1);
    EXPECT_EQ(m, "1");
    EXPECT_EQ(y, "2017");
    stepYear(y, -1);
    EXPECT_EQ(y, "2016");
}

TEST_F(PaymentsTest, UjediIsARandomVersion4Identifier) {
    const std::regex v4("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    seedRandom(7);
    const std::string first = UJEDI();
    EXPECT_TRUE(std::regex_match(first, v4)) << first;
    std::set<char> variants;
    for (int i = 0; i < 200; ++i) {
        const std::string id = UJEDI();
        ASSERT_TRUE(std::regex_match(id, v4)) << id;
        variants.insert(id[19]);
    }
    EXPECT_EQ(variants.size(), 4u);
    seedRandom(7);
    EXPECT_EQ(UJEDI(), first);  // repeatable with a fixed seed
}

TEST_F(PaymentsTest, JoppdRowIsCreatedOncePerPaymentAndInheritsTheCompiler) {
    ASSERT_TRUE(createJoppdRow(5, "u-1"));
    EXPECT_EQ(JOPO.OZNAKA, 1);
    JOPO.IMEAUTORA = "Ana";
    JOPO.EMAIL = "ana@primjer.hr";
    JOPO.DATOTEKA = "C:\\JOPPD\\1.xml";
    ASSERT_EQ(JOPO.put(), 0);

    ASSERT_TRUE(createJoppdRow(6, "u-2"));
    JOPO.clear();
    JOPO.OZNAKA = 2;
    ASSERT_EQ(JOPO.get(JOPO.KEYOZNAKA), 0);
    EXPECT_EQ(JOPO.ISPLATA, 6);
    EXPECT_EQ(JOPO.RBR, 1);
    EXPECT_EQ(JOPO.UJED, "u-2");
    EXPECT_EQ(JOPO.IMEAUTORA, "Ana");
    EXPECT_EQ(JOPO.EMAIL, "ana@primjer.hr");
    EXPECT_EQ(JOPO.DATOTEKA, "");

    EXPECT_FALSE(createJoppdRow(5, "u-3"));  // payment 5 has its row 1
    EXPECT_EQ(JOPO.records(), 2);
}

TEST_F(PaymentsTest, DuplicateCopiesIncomeLinesWithTheirCalculation) {
    payment(1, 4, ymd(2016, 3, 1));
    incomeLine(10, 1, 1, 14);
    incomeLine(11, 1, 2, 14);
    incomeLine(57, 9, 1, 3);  // another payment's line, the highest number
    SVASTA.clear();
    SVA.DOHODAK = 10;
    SVA.BROJ = 1;
    ASSERT_EQ(SVASTA.add(), 0);
    ASSERT_TRUE(createJoppdRow(1, "u-1"));

    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    ASSERT_EQ(nextPaymentNumber(), 2);
    ISP.DATUM = ymd(2016, 4, 1);
    ISP.RSID = "16092";
    ASSERT_EQ(copyPayment(1, 2), CopyResult::Done);

    ISPLATE.clear();
    ISP.OZNAKA = 2;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    EXPECT_EQ(ISP.ISPLATITELJ, 4);
    EXPECT_EQ(ISP.RSID, "16092");
    EXPECT_EQ(ISP.DATUM, ymd(2016, 4, 1));
    EXPECT_EQ(ISP.BILJESKE.str(), "");
    EXPECT_EQ(linesOf(2), (std::vector<std::string>{"58/1/110/10.25", "59/2/111/11.25"}));
    EXPECT_EQ(calculationOf(58).size(), 14u);
    EXPECT_EQ(calculationOf(58).front(), "1=101.00");
    EXPECT_EQ(calculationOf(59).back(), "14=124.00");
    EXPECT_EQ(linesOf(1).size(), 2u);  // the original stays
    EXPECT_EQ(calculationOf(10).size(), 14u);
    EXPECT_EQ(SVASTA.records(), 1);  // payment methods and JOPPD rows are not copied
    EXPECT_EQ(JOPO.records(), 1);

    // The same number again: refused, nothing written.
    const int64_t lines = DOHOCI.records(), calc = OBRACUN.records();
    ISP.DATUM = ymd(2016, 4, 2);
    ISP.RSID = "16093";
    EXPECT_EQ(copyPayment(1, 2), CopyResult::PaymentRejected);
    EXPECT_EQ(DOHOCI.records(), lines);
    EXPECT_EQ(OBRACUN.records(), calc);
    // A new number with the day of the copy is refused just as well (payer, year and identifier).
    ISP.RSID = "16092";
    EXPECT_EQ(copyPayment(1, 3), CopyResult::PaymentRejected);
    EXPECT_EQ(ISPLATE.records(), 2);

    // A copy of the copy numbers on from its lines.
    ISP.RSID = "16093";
    ASSERT_EQ(copyPayment(2, 3), CopyResult::Done);
    EXPECT_EQ(linesOf(3), (std::vector<std::string>{"60/1/110/10.25", "61/2/111/11.25"}));
    EXPECT_EQ(calculationOf(61).size(), 14u);
}

TEST_F(PaymentsTest, DuplicateOfAPaymentWithoutLinesIsTheHeaderAlone) {
    payment(1, 4, ymd(2016, 3, 1));
    ISP.RSID = "16100";
    ISP.DATUM = ymd(2016, 4, 9);
    ASSERT_EQ(copyPayment(1, 2), CopyResult::Done);
    EXPECT_EQ(ISPLATE.records(), 2);
    EXPECT_EQ(DOHOCI.records(), 0);
    EXPECT_EQ(ISP.OZNAKA, 2);
}

TEST_F(PaymentsTest, ACopyFailingHalfWayLeavesEveryFileAsItWas) {
    payment(1, 4, ymd(2016, 3, 1));
    incomeLine(10, 1, 1, 3);
    incomeLine(11, 1, 2, 3);
    const std::string before = marel::test::dumpDatabase(Store::main());
    // The payment, a line, a calculation line, the very last one.
    for (int nth : {1, 2, 4, 9}) {
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
        ISP.DATUM = ymd(2016, 4, 1);
        ISP.RSID = "16092";
        Store::main().injectWriteFailure(nth);
        EXPECT_NE(copyPayment(1, 2), CopyResult::Done) << nth;
        Store::main().injectWriteFailure(0);
        EXPECT_FALSE(Store::main().inTransaction());
        EXPECT_EQ(marel::test::dumpDatabase(Store::main()), before) << nth;
    }
}

// A calculation that cannot be read must not leave a copy without it that
// passes for complete: the copy is refused whole.
TEST_F(PaymentsTest, ACopyWhoseCalculationCannotBeReadWritesNothing) {
    payment(1, 4, ymd(2016, 3, 1));
    incomeLine(10, 1, 1, 3);
    ASSERT_EQ(Store::main().exec("ALTER TABLE OBRACUN RENAME TO OBRACUN_ODLOZEN"), 0);
    const std::string before = marel::test::dumpDatabase(Store::main());
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    ISP.DATUM = ymd(2016, 4, 1);
    ISP.RSID = "16092";
    EXPECT_EQ(copyPayment(1, 2), CopyResult::Failed);
    EXPECT_EQ(marel::test::dumpDatabase(Store::main()), before);
}

}  // namespace
