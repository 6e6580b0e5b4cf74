#include <gtest/gtest.h>

#include "ui/FieldRef.h"

using namespace marel;

TEST(FieldRef, NothingThePictureOrTheVariableRefusesIsStored) {
    const Picture money = Picture::parse("@N-14.`2");
    Dec<5, 2> rate = Decimal::parse("1.5");
    FieldRef r(rate, "LOC:STOPA");
    EXPECT_FALSE(r.accept(money, "12a"));
    EXPECT_FALSE(r.accept(money, "1234,5"));   // five digits: DECIMAL(5,2) holds 999.99
    EXPECT_FALSE(r.accept(money, "1,234"));    // more places than the picture shows
    EXPECT_EQ(rate.value(), Decimal::parse("1.5"));
    EXPECT_TRUE(r.accept(money, " 12,5 "));
    EXPECT_EQ(rate.value(), Decimal::parse("12.5"));
    EXPECT_EQ(r.format(money), "         12,50");

    const Picture whole = Picture::parse("@n-14");
    BYTE code = 3;
    FieldRef c(code);
    EXPECT_FALSE(c.accept(whole, "256"));
    EXPECT_FALSE(c.accept(whole, "-1"));
    EXPECT_FALSE(c.accept(Picture::parse("@n-7.2"), "4.50"));  // no silent rounding into a whole number
    EXPECT_TRUE(c.accept(Picture::parse("@n-7.2"), "4.00"));
    EXPECT_EQ(code, 4);

    String<4> text = "ab";
    FieldRef t(text);
    EXPECT_FALSE(t.accept(Picture::parse("@s4"), "漢"));  // not in code page 1250
    EXPECT_EQ(text, "ab");
    EXPECT_TRUE(t.accept(Picture::parse("@s4"), "čćžšđ"));
    EXPECT_EQ(text, "čćžš");

    Date d = Date::fromYmd(2014, 2, 5);
    FieldRef date(d);
    EXPECT_FALSE(date.accept(Picture::parse("@d17"), "29.2.2014"));
    EXPECT_TRUE(date.accept(Picture::parse("@d17"), ""));
    EXPECT_TRUE(d.empty());
}
