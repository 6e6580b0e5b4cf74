#include <gtest/gtest.h>

#include "ui/ListFormat.h"

using namespace marel;

TEST(ListFormat, ColumnsOfTheMunicipalityList) {
    auto f = ListFormat::parse(
        "78L(2)|M~Naziv~@s25@23L(3)|M~šifra~L(2)@s4@47R(12)|M~% Prireza~L(1)@N10.`3B@64R(2)|M~Oznaka~C(0)@n-14@");
    ASSERT_EQ(f.columns.size(), 4u);
    EXPECT_TRUE(f.groups.empty());

    const ListColumn& name = f.columns[0];
    EXPECT_EQ(name.width, 78);
    EXPECT_EQ(name.align, ColumnAlign::Left);
    EXPECT_EQ(name.indent, 2);
    EXPECT_TRUE(name.rightBorder);
    EXPECT_TRUE(name.resizable);
    EXPECT_EQ(name.title, "Naziv");
    // A heading without its own alignment follows its data.
    EXPECT_EQ(name.titleAlign, ColumnAlign::Left);
    EXPECT_EQ(name.picture.format("Grad Zagreb"), "Grad Zagreb");

    EXPECT_EQ(f.columns[1].title, "šifra");
    EXPECT_EQ(f.columns[1].titleIndent, 2);

    const ListColumn& rate = f.columns[2];
    EXPECT_EQ(rate.width, 47);
    EXPECT_EQ(rate.align, ColumnAlign::Right);
    EXPECT_EQ(rate.indent, 12);
    EXPECT_EQ(rate.title, "% Prireza");
    EXPECT_EQ(rate.titleAlign, ColumnAlign::Left);
    EXPECT_EQ(rate.titleIndent, 1);
    EXPECT_EQ(rate.picture.format(Decimal::parse("18")), "    18,000");
    EXPECT_EQ(rate.picture.format(Decimal(0)), std::string(10, ' '));

    EXPECT_EQ(f.columns[3].titleAlign, ColumnAlign::Center);
    EXPECT_EQ(f.columns[3].picture.format(int64_t(-42)), "           -42");
    for (auto& c : f.columns) EXPECT_EQ(c.group, -1);
}

TEST(ListFormat, ColumnsWithoutIndentOrTitleAndDecimalAlignment) {
    auto places = ListFormat::parse("82L(1)|M~Mjesto~L(3)@s25@58L(5)|M~Post Broj~L(2)@s6@56R|M~Općina~L(2)@n-14@");
    ASSERT_EQ(places.columns.size(), 3u);
    EXPECT_EQ(places.columns[2].indent, 0);
    EXPECT_EQ(places.columns[2].align, ColumnAlign::Right);

    auto contact = ListFormat::parse("[56L(2)|M@s20@60L(2)|M@s25@]|M~Kontakt osoba~L(4)64R(2)|M~Oznaka~C(0)@n-14@");
    ASSERT_EQ(contact.columns.size(), 3u);
    EXPECT_EQ(contact.columns[0].title, "");
    EXPECT_TRUE(contact.columns[0].resizable);

    auto incomes = ListFormat::parse("[87L|M~Naziv~L(4)@s40@67D(12)|M~Neto~L(2)@N-14.`2@]|M~Isplaćeni dohoci~L(12)");
    EXPECT_EQ(incomes.columns[1].align, ColumnAlign::Decimal);
    EXPECT_EQ(incomes.columns[1].indent, 12);
    EXPECT_EQ(incomes.columns[0].indent, 0);
}

TEST(ListFormat, GroupsKeepTheirColumnsTitleAndWidth) {
    auto payments = ListFormat::parse(
        "[25L(2)|M~RS Id~L(1)@s5@27C|M~Godina~@s4@69L(3)|M~Datum~L(1)@d17@]|M~Isplate (F5)~L(2)64R(2)|M~Oznaka~C(0)@n-14@"
        "64R(2)|M~Isplatitelj~C(0)@n-14@");
    ASSERT_EQ(payments.columns.size(), 5u);
    ASSERT_EQ(payments.groups.size(), 1u);
    const ListGroup& g = payments.groups[0];
    EXPECT_EQ(g.first, 0);
    EXPECT_EQ(g.count, 3);
    EXPECT_EQ(g.width, 0);
    EXPECT_EQ(g.title, "Isplate (F5)");
    EXPECT_EQ(g.titleAlign, ColumnAlign::Left);
    EXPECT_EQ(g.titleIndent, 2);
    EXPECT_TRUE(g.rightBorder && g.resizable);
    EXPECT_EQ(payments.columns[1].titleAlign, ColumnAlign::Center);
    EXPECT_EQ(payments.columns[2].picture.format(Date::fromYmd(2014, 2, 5)), "05.02.2014.");
    EXPECT_EQ(payments.columns[2].group, 0);
    EXPECT_EQ(payments.columns[3].group, -1);

    auto lines = ListFormat::parse(
        "[1R(1)|M~R Br~L(0)@n6@46L(1)|M~Ime~L(2)@s20@54L(1)|M~Prezime~@s25@48L(1)|M~OIB~@s11@40R(1)|M~Neto~L@N-14.`2@"
        "200L(1)|M~Vrsta~@s50@](333)|M~Primatelji~L(8)64R(2)|M~Oznaka~C(0)@n-14@64R(2)|M~Isplata~C(0)@n-14@"
        "64R(2)|M~Djelatnik~C(0)@n-14@56R(2)|M~Vrsta Dohotka~C(0)@n3@");
    ASSERT_EQ(lines.groups.size(), 1u);
    EXPECT_EQ(lines.groups[0].width, 333);
    EXPECT_EQ(lines.groups[0].count, 6);
    EXPECT_EQ(lines.groups[0].titleIndent, 8);
    EXPECT_EQ(lines.columns.size(), 10u);
    EXPECT_EQ(lines.columns[4].picture.format(Decimal::parse("1234.5")), "      1.234,50");

    // Two groups in one list, with the fixed-width one first.
    auto crisis = ListFormat::parse(
        "[116L(2)|M@s40@52L(2)|M@s13@](173)|M~ISPLATITELJ~28C|M~Godina~@s4@56R(34)|M~Mjesec~L(3)@n3@"
        "[64R(2)|M~Oznaka~C(0)@n-14@]|M~Ključ~");
    ASSERT_EQ(crisis.groups.size(), 2u);
    EXPECT_EQ(crisis.groups[1].first, 4);
    EXPECT_EQ(crisis.groups[1].title, "Ključ");
}

TEST(ListFormat, MalformedFormatsAreRefused) {
    for (const char* bad : {"", "78L(2)|M~Naziv@s25@", "78X@s25@", "78L(2@s25@", "78L@s25", "[]", "[78L@s25@",
                            "[[78L@s25@]]", "L@s25@", "78L@q9@"})
        EXPECT_THROW(ListFormat::parse(bad), std::invalid_argument) << bad;
}
