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

TEST(FieldRef, LongNumbersAndValuesBeyondTheFieldAreRefusedWithTheValueKept) {
    const std::string nines15(15, '9'), nines30(30, '9');
    const Picture wide = Picture::parse("@n-40");
    LONG place = 7;
    SHORT year = 2014;
    BYTE type = 4;
    Dec<11, 2> net = Decimal::parse("10.5");
    FieldRef fields[] = {FieldRef(place), FieldRef(year), FieldRef(type), FieldRef(net)};
    for (const FieldRef& f : fields)
        for (const std::string& typed : {nines15, nines30, "-" + nines30}) {
            EXPECT_FALSE(f.accept(wide, typed)) << typed;
            EXPECT_FALSE(f.setText(typed)) << typed;
        }
    // Just beyond each type's range, within what the picture reads.
    EXPECT_FALSE(fields[0].accept(wide, "2147483648"));
    EXPECT_FALSE(fields[0].setText("-2147483649"));
    EXPECT_FALSE(fields[1].accept(wide, "32768"));
    EXPECT_FALSE(fields[2].setText("256"));
    EXPECT_FALSE(fields[3].accept(Picture::parse("@N-20.`2"), "1.000.000.000,00"));  // DECIMAL(11,2) holds 9 whole digits
    EXPECT_EQ(place, 7);
    EXPECT_EQ(year, 2014);
    EXPECT_EQ(type, 4);
    EXPECT_EQ(net.value(), Decimal::parse("10.5"));
    EXPECT_TRUE(fields[0].accept(wide, "2147483647"));
    EXPECT_TRUE(fields[3].accept(Picture::parse("@N-20.`2"), "999.999.999,99"));
}

TEST(FieldRef, ControlCharactersNeverReachAText) {
    String<20> number = "12";
    FieldRef f(number);
    for (const std::string& typed : {std::string("1\x01"), std::string("1\x0B"), std::string("1\r\n"), std::string("1\0" "2", 3)}) {
        EXPECT_FALSE(f.accept(Picture::parse("@s20"), typed));
        EXPECT_FALSE(f.setText(typed));  // an entry without a picture, a recalled value
    }
    EXPECT_EQ(number, "12");
}
