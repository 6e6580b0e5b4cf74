#include "forms/Rsm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "joppd/JoppdFixture.h"
#include "report/PageFiles.h"
#include "report/Wmf.h"

using namespace marel;
using namespace marel::test;

namespace {

using V = std::vector<std::string>;

class Rsm : public JoppdFixture {
protected:
    // Payment 1 of 14 March 2014 with `count` lines: authors' fees on the odd
    // lines, income without contributions on the even ones.
    void lines(int count) {
        payment(1, Date::fromYmd(2014, 3, 14));
        for (int i = 1; i <= count; ++i) line(i, 1, 1 + (i + 1) % 2, i % 2 ? AUTHOR : NOCONTRIB, i % 2 ? kAuthorFee : kNoContributions);
    }
    static std::vector<std::vector<std::string>> pagesOf(const std::unique_ptr<Report>& report) {
        std::vector<std::vector<std::string>> out;
        if (report)
            for (const Page& p : report->pages()) out.push_back(pageText(p));
        return out;
    }
    static std::string lineOf(const std::vector<std::string>& lines, const std::string& label) {
        for (const std::string& l : lines)
            if (l.find(label) != std::string::npos) return l;
        return {};
    }
    static std::vector<std::string> amounts(const std::string& line) {
        static const std::regex amount(R"([0-9.]+,[0-9]{2})");
        std::vector<std::string> out;
        for (std::sregex_iterator it(line.begin(), line.end(), amount), end; it != end; ++it) out.push_back(it->str());
        return out;
    }
    // The text after `label` on its line, without the blanks around it.
    static std::string after(const std::vector<std::string>& lines, const std::string& label) {
        const std::string l = lineOf(lines, label);
        return l.empty() ? "(no line)" : trim(l.substr(l.find(label) + label.size()));
    }
    static Decimal value(std::string shown) {
        std::erase(shown, '.');
        std::replace(shown.begin(), shown.end(), ',', '.');
        return Decimal::parse(shown);
    }
    // The detail lines of pages B: those with the five amounts of columns 7 to 11.
    static std::vector<std::string> detail(const std::vector<std::string>& page) {
        std::vector<std::string> out;
        for (const std::string& l : page)
            if (amounts(l).size() == 5) out.push_back(l);
        return out;
    }
};

}  // namespace

TEST_F(Rsm, PageATotalsAreTheSumsOfItsPagesB) {
    lines(13);
    // The crisis tax taken from the last line lowers what was paid.
    Amounts crisis = kAuthorFee;
    crisis[POZ_KRIPOREZ] = "20.00";
    crisis[POZ_POSLIJEKRIPOREZ] = "674.80";
    line(14, 1, 2, AUTHOR, crisis);

    const auto a = pagesOf(RSMA(1, 'L'));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(after(a[0], "Broj osiguranika za koje se podnosi Obrazac R-Sm"), "14");
    EXPECT_EQ(after(a[0], "Broj stranica B koje se prilažu stranici A"), "2");
    // Eight authors' fees of 700.00 base, 105.00 and 35.00 pension; paid
    // 8 x 694.80 + 6 x 705.00 - 20.00.
    const V totals = {"5.600,00", "5.600,00", "840,00", "280,00", "9.768,40"};
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos obračunane plaće / naknade / drugog dohotka")), V{totals[0]});
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos osnovice za obračun doprinosa")), V{totals[1]});
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos obračunanog doprinosa za I. stup")), V{totals[2]});
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos obračunanog doprinosa za II. stup")), V{totals[3]});
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos isplaćene plaće / naknade / drugog dohotka")), V{totals[4]});

    const auto b = pagesOf(RSMB(1, {}));
    ASSERT_EQ(b.size(), 2u);
    ASSERT_EQ(detail(b[0]).size(), size_t(RSM_LINES_PER_PAGE));
    ASSERT_EQ(detail(b[1]).size(), 2u);
    EXPECT_EQ(after(b[1], "stranica br:"), "2");
    std::array<Decimal, 5> sums{};
    for (const auto& page : b)
        for (const std::string& l : detail(page)) {
            const V cells = amounts(l);
            for (size_t k = 0; k < 5; ++k) sums[k] += value(cells[k]);
        }
    for (size_t k = 0; k < 5; ++k) EXPECT_EQ(sums[k], value(totals[k])) << "column " << k + 7;
    EXPECT_EQ(amounts(detail(b[1]).back()), (V{"700,00", "700,00", "105,00", "35,00", "674,80"}));
}

TEST_F(Rsm, AnnouncedPagesBAreThePagesPrinted) {
    for (int count : {0, 1, 11, 12, 13, 24, 25}) {
        SCOPED_TRACE(count);
        ASSERT_EQ(Store::main().exec("DELETE FROM ISPLATE; DELETE FROM DOHOCI; DELETE FROM OBRACUN"), 0);
        lines(count);
        const auto a = pagesOf(RSMA(1, 'M'));
        const auto b = pagesOf(RSMB(1));
        ASSERT_EQ(a.size(), 1u);
        ASSERT_FALSE(b.empty());
        EXPECT_EQ(after(a[0], "Broj stranica B koje se prilažu stranici A"), std::to_string(b.size()));
        EXPECT_EQ(after(a[0], "Broj osiguranika za koje se podnosi Obrazac R-Sm"), std::to_string(count));
        size_t printed = 0;
        for (const auto& page : b) {
            printed += detail(page).size();
            EXPECT_NE(lineOf(page, "IV. PODACI PO OSIGURANICIMA"), "");
        }
        EXPECT_EQ(printed, size_t(count));
    }
    // Without insured persons page A has zero totals, and page B only its header.
    EXPECT_EQ(rsmPagesB(0), 1);
    EXPECT_EQ(rsmPagesB(12), 1);
    EXPECT_EQ(rsmPagesB(13), 2);
}

TEST_F(Rsm, EmptyPaymentPrintsZeroTotalsAndAnEmptyPageB) {
    payment(1, Date::fromYmd(2014, 3, 14));
    const auto a = pagesOf(RSMA(1, 'L'));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos osnovice za obračun doprinosa")), V{"0,00"});
    EXPECT_EQ(amounts(lineOf(a[0], "Iznos isplaćene plaće / naknade / drugog dohotka")), V{"0,00"});
    const auto b = pagesOf(RSMB(1));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_TRUE(detail(b[0]).empty());
    EXPECT_NE(lineOf(b[0], "Prezime i ime osiguranika"), "");
    // A payment that is not there gives nothing to print.
    EXPECT_EQ(RSMA(99, 'L'), nullptr);
    EXPECT_EQ(RSMB(99), nullptr);
}

TEST_F(Rsm, PageANamesThePaymentAndThePayer) {
    lines(1);
    const auto a = pagesOf(RSMA(1, 'L'));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(after(a[0], "IDENTIFIKATOR OBRASCA"), "14073");
    EXPECT_NE(lineOf(a[0], "PODACI ZA:").find("00"), std::string::npos);
    EXPECT_NE(lineOf(a[0], "Godinu").find("2014"), std::string::npos);
    EXPECT_EQ(after(a[0], "IDENTIFIKACIJSKI BROJ OBVEZNIKA"), "69435151530");
    EXPECT_EQ(after(a[0], "NAZIV / PREZIME I IME OBVEZNIKA"), "Šećerana Čađavica, Đakovo d.o.o.");
    EXPECT_EQ(after(a[0], "ADRESA OBVEZNIKA"), "Zagreb, Ulica  grada   Vukovara 12a");
    EXPECT_NE(lineOf(a[0], "VRSTA OBVEZNIKA").find("17"), std::string::npos);
    EXPECT_NE(lineOf(a[0], "Vrsta obračuna/ispravka").find("03"), std::string::npos);
    const std::string paid = lineOf(a[0], "Godina i mjesec isplate");
    EXPECT_NE(paid.find("2014"), std::string::npos);
    EXPECT_NE(paid.find("03"), std::string::npos);
}

TEST_F(Rsm, DotMatrixLeavesOutTheShadedAreasOnly) {
    lines(2);
    auto rectangles = [](const std::unique_ptr<Report>& r) {
        auto page = r->pages()[0].metafile();
        return page ? std::count_if(page->records.begin(), page->records.end(),
                                    [](const wmf::Record& rec) { return rec.function == wmf::META_RECTANGLE; })
                    : -1;
    };
    auto laser = RSMA(1, 'L'), matrix = RSMA(1, 'M');
    ASSERT_TRUE(laser && matrix);
    EXPECT_EQ(rectangles(laser) - rectangles(matrix), 8);
    EXPECT_EQ(pageText(laser->pages()[0]), pageText(matrix->pages()[0]));
}

TEST_F(Rsm, PageBLinesIdentifyTheInsuredPersons) {
    // No OIB: the JMBG; both: the OIB. Working elsewhere: the municipality he was given.
    person(3, "Marko", "Marić", "", 1);
    OSO.OZNAKA = 3;
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    OSO.JMBG = "0101980330001";
    ASSERT_EQ(OSOBE.put(), 0);
    person(4, "Ana", "Anić", "11111111119", 1, "0456");
    OSO.OZNAKA = 4;  // both: the OIB
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    OSO.JMBG = "0202985335002";
    ASSERT_EQ(OSOBE.put(), 0);
    VRS.OZNAKA = AUTHOR;
    ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
    VRS.OSNOVAOBRACUNA = "4X7 ostalo";
    ASSERT_EQ(VRSTEDOH.put(), 0);

    payment(1, Date::fromYmd(2014, 3, 14));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 3, AUTHOR, kAuthorFee);
    line(3, 1, 4, AUTHOR, kAuthorFee);
    line(4, 1, 99, 77, kNoContributions);  // recipient and income type gone

    const auto b = pagesOf(RSMB(1));
    ASSERT_EQ(b.size(), 1u);
    const auto rows = detail(b[0]);
    ASSERT_EQ(rows.size(), 4u);
    auto words = [](const std::string& l) {
        std::istringstream in(l);
        V out;
        for (std::string w; in >> w;) out.push_back(w);
        return out;
    };
    EXPECT_EQ(words(rows[0]), (V{"1", "12345678903", "Horvat", "Ivana", "1333", "4", "X", "7", "0", "0", "700,00",
                                 "700,00", "105,00", "35,00", "694,80"}));
    EXPECT_EQ(words(rows[1])[1], "0101980330001");
    EXPECT_EQ(words(rows[1])[2], "Marić");
    EXPECT_EQ(words(rows[2])[1], "11111111119");
    EXPECT_EQ(words(rows[2])[4], "0456");
    EXPECT_EQ(words(rows[3]), (V{"4", "0", "0", "0,00", "0,00", "0,00", "0,00", "705,00"}));
    EXPECT_EQ(after(b[0], "IDENTIFIKATOR OBRASCA").substr(0, 5), "14073");
    EXPECT_NE(lineOf(b[0], "Identifikacijski broj obveznika").find("69435151530"), std::string::npos);
    EXPECT_TRUE(ask.messages.empty());
}
