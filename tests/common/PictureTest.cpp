#include "common/Picture.h"

#include <gtest/gtest.h>

using namespace marel;

namespace marel {
// Readable failures.
void PrintTo(const Decimal& d, std::ostream* os) { *os << d.toString(); }
void PrintTo(Date d, std::ostream* os) { *os << (d.empty() ? "(no date)" : d.iso()); }
}  // namespace marel

namespace {
Decimal dec(const char* s) { return Decimal::parse(s); }
std::string right(std::string_view s, size_t width) { return std::string(width - s.size(), ' ') + std::string(s); }
Date ymd(int y, int m, int d) { return Date::fromYmd(y, m, d); }
}  // namespace

TEST(PictureNumbers, PointBetweenThousandsAndDecimalComma) {
    EXPECT_EQ(formatAs("@N-14.`2", dec("1234.56")), right("1.234,56", 14));
    EXPECT_EQ(formatAs("@N-14.`2", dec("-1234.5")), right("-1.234,50", 14));
    EXPECT_EQ(formatAs("@N-14.`2", dec("1234567.891")), right("1.234.567,89", 14));
    EXPECT_EQ(formatAs("@N-14.`2", dec("999.99")), right("999,99", 14));
    EXPECT_EQ(formatAs("@N10.`3B", dec("12.5")), right("12,500", 10));
    EXPECT_EQ(formatAs("@N-10`2", dec("1234.56")), right("1234,56", 10));
    EXPECT_EQ(formatAs("@N5.`2", dec("0.5")), " 0,50");
}

TEST(PictureNumbers, WithoutGroupingThereIsNoThousandsSeparator) {
    EXPECT_EQ(formatAs("@n-14", int64_t(42)), right("42", 14));
    EXPECT_EQ(formatAs("@n-14", int64_t(1234567)), right("1234567", 14));
    EXPECT_EQ(formatAs("@N_14.2", dec("-1234.5")), right("-1234.50", 14));
    EXPECT_EQ(formatAs("@N_14.2", Decimal(0)), right("0.00", 14));
    EXPECT_EQ(formatAs("@n-14.2", dec("7")), right("7.00", 14));
    EXPECT_EQ(formatAs("N2", int64_t(5)), " 5");
}

TEST(PictureNumbers, RoundsHalfAwayFromZeroForDisplay) {
    EXPECT_EQ(formatAs("@N-10.`2", dec("0.005")), right("0,01", 10));
    EXPECT_EQ(formatAs("@N-10.`2", dec("-0.005")), right("-0,01", 10));
    EXPECT_EQ(formatAs("@N-10.`2", dec("2.344")), right("2,34", 10));
    EXPECT_EQ(formatAs("@n6", dec("2.5")), "     3");
    // A negative value that rounds to zero shows no minus.
    EXPECT_EQ(formatAs("@N-10.`2", dec("-0.004")), right("0,00", 10));
}

TEST(PictureNumbers, BlankWhenZero) {
    EXPECT_EQ(formatAs("@N-14.`2B", Decimal(0)), std::string(14, ' '));
    EXPECT_EQ(formatAs("@N-14.`2B", dec("1234.56")), right("1.234,56", 14));
    EXPECT_EQ(formatAs("@n3B", int64_t(0)), "   ");
    EXPECT_EQ(formatAs("@N-7B", int64_t(0)), "       ");
    // What would show as zero is blank too.
    EXPECT_EQ(formatAs("@N-14.`2B", dec("0.001")), std::string(14, ' '));
    // Without B zero is printed.
    EXPECT_EQ(formatAs("@N-14.`2", Decimal(0)), right("0,00", 14));
}

TEST(PictureNumbers, FillCharacters) {
    EXPECT_EQ(formatAs("@N*10.`2", dec("1234.56")), "**1.234,56");
    EXPECT_EQ(formatAs("@N*10.`2", dec("5")), "******5,00");
    EXPECT_EQ(formatAs("@N06", int64_t(42)), "000042");
    EXPECT_EQ(formatAs("@N-06", int64_t(-42)), "-00042");
    EXPECT_EQ(formatAs("@N_6", int64_t(42)), "    42");
}

TEST(PictureNumbers, TooLargeShowsHashesNeverACutValue) {
    EXPECT_EQ(formatAs("@N3", int64_t(1000)), "###");
    EXPECT_EQ(formatAs("@N5.`2", dec("1000")), "#####");
    EXPECT_EQ(formatAs("@N-14.`2", dec("10000000000000")), std::string(14, '#'));
    // The minus needs its place as well: shown when it fits, whatever the sign flag.
    EXPECT_EQ(formatAs("@N3", int64_t(-12)), "-12");
    EXPECT_EQ(formatAs("@N3", int64_t(-123)), "###");
}

TEST(PictureNumbers, ReadsTypedNumbers) {
    auto p = Picture::parse("@N-14.`2");
    EXPECT_EQ(p.parseNumber("1.234,56"), dec("1234.56"));
    EXPECT_EQ(p.parseNumber("  1234,5 "), dec("1234.5"));
    EXPECT_EQ(p.parseNumber("-7"), Decimal(-7));
    EXPECT_EQ(p.parseNumber("1.234"), Decimal(1234));  // the point groups thousands here
    EXPECT_EQ(p.parseNumber("2,500"), dec("2.5"));     // trailing zeros lose nothing
    EXPECT_EQ(p.parseNumber(""), Decimal(0));
    EXPECT_EQ(p.parseNumber("   "), Decimal(0));

    auto point = Picture::parse("@N_14.2");
    EXPECT_EQ(point.parseNumber("12.34"), dec("12.34"));
    EXPECT_EQ(point.parseNumber("12,34"), dec("12.34"));
    EXPECT_EQ(Picture::parse("@N-10`2").parseNumber("3.5"), dec("3.5"));
    EXPECT_EQ(Picture::parse("@n-14").parseNumber("-42"), Decimal(-42));
}

TEST(PictureNumbers, RefusesWhatThePictureCannotHold) {
    auto p = Picture::parse("@N-14.`2");
    EXPECT_FALSE(p.parseNumber("12a"));
    EXPECT_FALSE(p.parseNumber("1,2,3"));
    EXPECT_FALSE(p.parseNumber("1,234.5"));  // grouping after the decimal mark
    EXPECT_FALSE(p.parseNumber("1,005"));    // would be rounded unseen
    EXPECT_FALSE(p.parseNumber("1 234"));
    EXPECT_FALSE(p.parseNumber("-"));
    EXPECT_FALSE(p.parseNumber("--1"));
    EXPECT_FALSE(p.parseNumber("123456789012"));  // "123.456.789.012,00" is wider than 14

    EXPECT_FALSE(Picture::parse("@N_14.2").parseNumber("-1"));  // no sign in the picture
    EXPECT_FALSE(Picture::parse("@n6").parseNumber("-1"));
    EXPECT_FALSE(Picture::parse("@n-14").parseNumber("1,5"));  // no decimals
    EXPECT_FALSE(Picture::parse("@n3").parseNumber("1000"));
    EXPECT_EQ(Picture::parse("@n3").parseNumber("999"), Decimal(999));
}

// A point either groups thousands or is the keypad's decimal point; whatever
// fits neither, or both, is refused rather than read with the point dropped.
TEST(PictureNumbers, APointIsReadAsTheUserMeantItOrRefused) {
    const char* const rows[][3] = {  // picture, typed, value (nullptr: refused)
        {"@N-14.`2", "1.500", "1500"}, {"@N-14.`2", "1.234.567,89", "1234567.89"},
        {"@N-14.`2", "1500.5", "1500.5"}, {"@N-14.`2", "0.5", "0.5"}, {"@N-14.`2", "-.75", "-0.75"},
        {"@N-14.`2", "0.5.1", nullptr}, {"@N-14.`2", "1.5000", nullptr}, {"@N-14.`2", "0.000001", nullptr},
        {"@N-14.`2", "1.50,5", nullptr}, {"@N-14.`2", "1.500.5", nullptr}, {"@N-14.`2", "1234.567", nullptr},
        {"@N-14.`2", "0.500", nullptr}, {"@N-14.`2", "1.", nullptr},
        {"@N10.`3", "12.5", "12.5"}, {"@N10.`3", "12.500", nullptr},  // a rate of 12,5 or 12.500: not guessed
        {"@N10.`3", "12.500,000", "12500"}, {"@N9`2", "1.500", nullptr}, {"@N_14.2", "1.500", "1.5"},
    };
    for (const auto& [picture, typed, value] : rows) {
        std::optional<Decimal> v = Picture::parse(picture).parseNumber(typed);
        EXPECT_EQ(v, value ? std::optional<Decimal>(dec(value)) : std::nullopt) << picture << " " << typed;
    }
}

TEST(PictureNumbers, AnyNumberOfDigitsIsARefusalNotAnError) {
    const std::string nines15(15, '9'), nines30(30, '9');
    // Wide pictures would show them; no working value holds them.
    for (const char* pic : {"@n-14", "@n20", "@N-14.`2", "@N-40.`2", "@N*10.`2", "@P###P", "@P##################P"})
        for (const std::string& typed : {nines15, nines30, "-" + nines15, nines30 + ",00", "0," + nines30}) {
            std::optional<Decimal> v;
            EXPECT_NO_THROW(v = Picture::parse(pic).parseNumber(typed)) << pic << " " << typed;
            EXPECT_FALSE(v) << pic << " " << typed;
        }
    // The largest values the pictures can show are still read.
    EXPECT_EQ(Picture::parse("@n20").parseNumber("99999999999999"), Decimal::parse("99999999999999"));
    EXPECT_EQ(Picture::parse("@N-14.`2").parseNumber("999.999.999,99"), Decimal::parse("999999999.99"));
}

TEST(PictureStrings, ControlCharactersAreRefused) {
    const Picture s = Picture::parse("@s20");
    for (std::string typed : {"1\x01", "ivo\x0B@mail.hr", "Ana\tMarić", "Ilica\n", "\x7F", "A\xC2\x85"})
        EXPECT_FALSE(s.parseText(typed)) << typed;
    // A NUL is refused too, not taken as the end of the text.
    EXPECT_FALSE(s.parseText(std::string("Iv\0an", 5)));
    EXPECT_EQ(s.parseText("Đuro Šarić"), "Đuro Šarić");
}

TEST(PictureDates, CroatianShortDateAndIsoDate) {
    EXPECT_EQ(formatAs("@d17", ymd(2014, 2, 5)), "05.02.2014.");
    EXPECT_EQ(formatAs("D17", ymd(2014, 12, 31)), "31.12.2014.");
    EXPECT_EQ(formatAs("@D10-", ymd(2014, 2, 5)), "2014-02-05");
    EXPECT_EQ(formatAs("@D10", ymd(2014, 2, 5)), "2014/02/05");
    // An empty date is blank, with or without B.
    EXPECT_EQ(formatAs("@D17B", Date()), std::string(11, ' '));
    EXPECT_EQ(formatAs("@d17", Date()), std::string(11, ' '));
    EXPECT_EQ(Picture::parse("@d17").width(), 11);
}

TEST(PictureDates, ReadsTypedDates) {
    auto p = Picture::parse("@d17");
    EXPECT_EQ(p.parseDate("5.2.2014"), ymd(2014, 2, 5));
    EXPECT_EQ(p.parseDate("05.02.2014."), ymd(2014, 2, 5));
    EXPECT_EQ(p.parseDate(" 5.2.14 "), ymd(2014, 2, 5));
    EXPECT_EQ(p.parseDate("29.2.2012"), ymd(2012, 2, 29));
    EXPECT_EQ(p.parseDate(""), Date());
    EXPECT_FALSE(p.parseDate("31.02.2014"));
    EXPECT_FALSE(p.parseDate("29.2.2014"));
    EXPECT_FALSE(p.parseDate("5.feb.2014"));
    EXPECT_FALSE(p.parseDate("5.2.2014x"));
    EXPECT_FALSE(p.parseDate("5.2"));
    EXPECT_FALSE(p.parseDate("5.2.214"));

    auto iso = Picture::parse("@D10-");
    EXPECT_EQ(iso.parseDate("2014-02-05"), ymd(2014, 2, 5));
    EXPECT_FALSE(iso.parseDate("05-02-2014"));
}

TEST(PictureTimes, HoursMinutesSeconds) {
    auto t = Picture::parse("@T04");
    EXPECT_EQ(t.formatTime(((13 * 60 + 5) * 60 + 9) * 100 + 42), "13:05:09");
    EXPECT_EQ(t.formatTime(0), "00:00:00");
    EXPECT_EQ(formatAs("@T04B", int64_t(0)), "        ");
    EXPECT_EQ(formatAs("@T1", int64_t(9 * 3600 * 100)), "09:00");
    EXPECT_EQ(t.formatTime(24 * 3600 * 100), "########");

    EXPECT_EQ(t.parseTime("13:05:09"), ((13 * 60 + 5) * 60 + 9) * 100);
    EXPECT_EQ(t.parseTime("7:30"), (7 * 60 + 30) * 60 * 100);
    EXPECT_EQ(t.parseTime(""), 0);
    EXPECT_FALSE(t.parseTime("24:00:00"));
    EXPECT_FALSE(t.parseTime("12:60"));
    EXPECT_FALSE(t.parseTime("12h30"));
}

TEST(PictureStrings, CutToWidthNotPadded) {
    EXPECT_EQ(formatAs("@s25", "Zagreb"), "Zagreb");
    EXPECT_EQ(formatAs("s9", "Ugovor o djelu"), "Ugovor o ");
    EXPECT_EQ(formatAs("@s4", "Čačak"), "Čača");  // characters, not bytes

    auto s = Picture::parse("@s5");
    EXPECT_EQ(s.parseText("Šibenik"), "Šiben");
    EXPECT_FALSE(s.parseText("€ ∞"));  // ∞ is not in code page 1250
}

TEST(PicturePatterns, DigitPositionsAndLiterals) {
    EXPECT_EQ(formatAs("@P###P", int64_t(36)), "036");
    EXPECT_EQ(formatAs("@P##P", int64_t(2)), "02");
    EXPECT_EQ(formatAs("@P####P", int64_t(2014)), "2014");
    EXPECT_EQ(formatAs("pPage <<<#p", int64_t(3)), "Page    3");
    EXPECT_EQ(formatAs("pPage <<<#p", int64_t(120)), "Page  120");
    EXPECT_EQ(formatAs("pPage <<<#p", int64_t(0)), "Page    0");
    EXPECT_EQ(formatAs("@P###-###P", "12345"), "012-345");  // the digits of a text
    EXPECT_EQ(formatAs("@P##P", int64_t(123)), "##");
    EXPECT_EQ(formatAs("@P##P", Decimal(7)), "07");

    auto p = Picture::parse("@P###-###P");
    EXPECT_EQ(p.parseText("012-345"), "012345");
    EXPECT_EQ(p.parseNumber("012-345"), Decimal(12345));
    EXPECT_FALSE(p.parseText("1234567"));
}

TEST(PictureSyntax, KindsWidthsAndMalformedPictures) {
    EXPECT_EQ(Picture::parse("@N-14.`2B").kind(), Picture::Kind::Number);
    EXPECT_EQ(Picture::parse("@N-14.`2B").width(), 14);
    EXPECT_EQ(Picture::parse("@N-14.`2B").places(), 2);
    EXPECT_EQ(Picture::parse("@D10-").kind(), Picture::Kind::Date);
    EXPECT_EQ(Picture::parse("@T04").kind(), Picture::Kind::Time);
    EXPECT_EQ(Picture::parse("s25").kind(), Picture::Kind::String);
    EXPECT_EQ(Picture::parse("pPage <<<#p").kind(), Picture::Kind::Pattern);
    EXPECT_EQ(Picture::parse("pPage <<<#p").width(), 9);

    for (const char* bad : {"", "@", "@N", "@N-", "@N0", "@N10.", "@N10`", "@N10.`", "@N10.`2X", "@N10,2",
                            "@D99", "@D17-", "@T3", "@s", "@s10B", "@P##", "@PabcP", "@X5"})
        EXPECT_THROW(Picture::parse(bad), std::invalid_argument) << bad;

    // A value of another kind is a programming error, not a blank cell.
    EXPECT_THROW(formatAs("@n-14", ymd(2014, 1, 1)), std::logic_error);
    EXPECT_THROW(formatAs("@d17", int64_t(1)), std::logic_error);
}
