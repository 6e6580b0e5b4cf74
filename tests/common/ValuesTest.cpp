#include <gtest/gtest.h>

#include "common/Date.h"
#include "common/Decimal.h"
#include "common/Text.h"

using namespace marel;

TEST(Decimal, ExpressionsKeepFullPrecisionUntilStored) {
    // 1000 / 3 * 3 is exactly 1000.00 only when nothing is rounded on the way.
    Dec<11, 2> d = Decimal(1000) / Decimal(3) * Decimal(3);
    EXPECT_EQ(d.value().toString(2), "1000.00");
    // Net back to income under 25 % tax and 18 % surtax: 694.80 / 0.705.
    Decimal rate = Decimal::parse("25") / 100, surtax = Decimal::parse("18") / 100;
    Dec<11, 2> income = Decimal::parse("694.80") / (1 - rate * (1 + surtax));
    EXPECT_EQ(income.value().toString(2), "985.53");
    // A chain of divisions stays exact enough to come back to the cent.
    Decimal x = Decimal::parse("1234.56") / 7 / 11 / 13;
    Dec<11, 2> back = x * 13 * 11 * 7;
    EXPECT_EQ(back.value().toString(2), "1234.56");
}

TEST(Decimal, StoresRoundHalfAwayFromZeroAndRefuseOverflow) {
    Dec<11, 2> a = Decimal::parse("0.005");
    Dec<11, 2> b = Decimal::parse("-0.005");
    Dec<11, 2> c = Decimal::parse("2.345");
    Dec<11, 2> d = Decimal::parse("2.3449999");
    EXPECT_EQ(a.scaled, 1);
    EXPECT_EQ(b.scaled, -1);
    EXPECT_EQ(c.value().toString(2), "2.35");
    EXPECT_EQ(d.value().toString(2), "2.34");
    Dec<5, 2> rate;
    EXPECT_THROW(rate = Decimal::parse("1000.00"), DecimalOverflow);
    EXPECT_NO_THROW(rate = Decimal::parse("999.994"));
    EXPECT_THROW(rate = Decimal::parse("999.995"), DecimalOverflow);  // rounds to 1000.00
    EXPECT_THROW(Decimal(1) / Decimal(0), DivisionByZero);
    EXPECT_EQ(Decimal::parse(" -12,5 ").toString(), "-12.5");
    EXPECT_THROW(Decimal::parse("12a"), DecimalError);
    EXPECT_THROW(Decimal::parse("1.2.3"), DecimalError);
}

TEST(Text, FieldsHoldCodePage1250TextCutToWidth) {
    String<5> s = "Đurđevac";
    EXPECT_EQ(s.str(), "Đurđe");
    EXPECT_EQ(s.length(), 5u);
    EXPECT_EQ(toCp1250(s.str()).size(), 5u);
    s = "ab   ";
    EXPECT_TRUE(s == "ab");
    EXPECT_EQ(s.padded(), "ab   ");
    EXPECT_NO_THROW(s = "€ ok");  // the euro sign is in the code page
    EXPECT_THROW(s = "ω", EncodingError);
    EXPECT_EQ(fromCp1250(toCp1250("Šđčćž ŠĐČĆŽ")), "Šđčćž ŠĐČĆŽ");
    EXPECT_EQ(upper("čćžšđ abc"), "ČĆŽŠĐ ABC");
    EXPECT_EQ(lower("ČĆŽŠĐ"), "čćžšđ");
}

TEST(Date, DayCountsAndCalendar) {
    Date d = Date::fromYmd(2014, 2, 5);
    EXPECT_EQ(d.dayOfYear(), 36);
    EXPECT_EQ(Date::fromYmd(2016, 12, 31).dayOfYear(), 366);
    EXPECT_EQ((d + 24).iso(), "2014-03-01");
    EXPECT_EQ(d.weekday(), 3);  // a Wednesday
    EXPECT_TRUE(Date::fromYmd(2014, 2, 29).empty());
    EXPECT_EQ(Date::fromIso("2014-02-05"), d);
    EXPECT_TRUE(Date().empty());
    EXPECT_EQ(Date().iso(), "");
}
