#include "joppd/JoppdPages.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "joppd/JoppdFixture.h"
#include "report/Export.h"
#include "report/PageFiles.h"

using namespace marel;
using namespace marel::test;

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

bool digits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// "1.234,56" as a number.
Decimal amount(std::string s) {
    std::string plain;
    for (char c : s)
        if (c != '.') plain += c == ',' ? '.' : c;
    return Decimal::parse(plain);
}

std::vector<std::string> textOf(Report& report) {
    std::vector<std::string> lines;
    for (const Page& page : report.pages())
        for (std::string& l : pageText(page)) lines.push_back(std::move(l));
    return lines;
}

// Page B read back: each printed row by its column numbers. A row is four
// lines of text, the first one starting with its ordinal and the OIB.
using PrintedRow = std::map<std::string, std::string>;
std::vector<PrintedRow> rowsOf(const std::vector<std::string>& lines) {
    std::vector<PrintedRow> rows;
    for (size_t i = 0; i + 3 < lines.size(); ++i) {
        const auto t0 = tokens(lines[i]);
        if (t0.size() != 11 || !digits(t0[0]) || !digits(t0[1]) || t0[1].size() < 11) continue;
        const auto t1 = tokens(lines[i + 1]), t2 = tokens(lines[i + 2]), t3 = tokens(lines[i + 3]);
        if (t1.size() < 11 || t2.size() != 9 || t3.size() != 6) continue;
        PrintedRow r;
        const char* c0[] = {"1", "4", "6.1", "8", "10.1", "11", "12.3", "12.7", "13.2", "14.1", "16.1"};
        for (size_t k = 0; k < 11; ++k) r[c0[k]] = t0[k];
        const char* c1[] = {"6.2", "9", "10.2", "12", "12.4", "12.8", "13.3", "14.2", "16.2"};
        for (size_t k = 0; k < 9; ++k) r[c1[k]] = t1[t1.size() - 9 + k];
        r["2"] = t1[0];
        std::string name;
        for (size_t k = 1; k < t1.size() - 9; ++k) name += (name.empty() ? "" : " ") + t1[k];
        r["5"] = name;
        const char* c2[] = {"3", "7.1", "10", "12.1", "12.5", "12.9", "13.4", "15.1", "17"};
        for (size_t k = 0; k < 9; ++k) r[c2[k]] = t2[k];
        const char* c3[] = {"7.2", "12.2", "12.6", "13.1", "13.5", "15.2"};
        for (size_t k = 0; k < 6; ++k) r[c3[k]] = t3[k];
        rows.push_back(r);
        i += 3;
    }
    return rows;
}

// The amount at the end of the first line of page A that `matches`.
template <class Match>
std::string amountOn(const std::vector<std::string>& lines, Match matches) {
    for (const std::string& l : lines)
        if (matches(trim(l))) {
            auto t = tokens(l);
            return t.empty() || t.back().find(',') == std::string::npos ? "" : t.back();
        }
    return "(no line)";
}
auto startsWith(std::string prefix) {
    return [prefix](const std::string& l) { return l.starts_with(prefix + " "); };
}
auto startsWithAnd(std::string prefix, std::string part) {
    return [prefix, part](const std::string& l) {
        return l.starts_with(prefix + " ") && l.find(part) != std::string::npos;
    };
}
auto contains(std::string part) {
    return [part](const std::string& l) { return l.find(part) != std::string::npos; };
}

// The element `name` inside element `within` of an XML text.
std::string xmlValue(const std::string& xml, const std::string& within, const std::string& name) {
    size_t at = within.empty() ? 0 : xml.find("<" + within + ">");
    if (at == std::string::npos) return "(none)";
    const size_t from = xml.find("<" + name + ">", at);
    if (from == std::string::npos) return "(none)";
    const size_t start = from + name.size() + 2;
    return xml.substr(start, xml.find('<', start) - start);
}

class JoppdPages : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        ASSERT_EQ(Store::main().loadTable("JOPOZIJE", suppliedDataDir()), 0);
        openFiles({&JOPOZIJE});
        payment(1, Date::fromYmd(2014, 3, 10));
    }
    // The payment of four kinds of income to two people, and its JOPPD form.
    void fourKinds() {
        line(1, 1, 1, AUTHOR, kAuthorFee, 1);
        line(2, 1, 2, NOCONTRIB, kNoContributions);
        line(3, 1, 1, NONTAXABLE, kNonTaxable);
        line(4, 1, 2, DIVIDEND, kDividend);
        form(1, 1);
    }
};

}  // namespace

TEST_F(JoppdPages, PageAAmountsAreTheSumsOfPageBAndTheTotalsOfTheFile) {
    fourKinds();
    auto a = joppdPageA(1);
    auto b = joppdPageB(1, 'L');
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const auto pageA = textOf(*a);
    const auto rows = rowsOf(textOf(*b));
    ASSERT_EQ(rows.size(), 4u);

    Decimal capital, other, pillar1, pillar2, health, nonTaxable;
    for (const PrintedRow& r : rows) {
        const Decimal tax = amount(r.at("14.1")) + amount(r.at("14.2"));
        (r.at("6.1") == "1001" ? capital : other) += tax;
        pillar1 += amount(r.at("12.1"));
        pillar2 += amount(r.at("12.2"));
        health += amount(r.at("12.3"));
        nonTaxable += amount(r.at("15.2"));
    }
    // Worked by hand: 140.00 + 25.20 + 250.00 + 45.00 on other income, 120.00 + 21.60 on capital.
    EXPECT_EQ(other, Decimal::parse("460.20"));
    EXPECT_EQ(capital, Decimal::parse("141.60"));

    EXPECT_EQ(amountOn(pageA, contains("dohodak od kapitala")), "141,60");
    EXPECT_EQ(amountOn(pageA, contains("utvrđuje drugi dohodak")), "460,20");
    EXPECT_EQ(amountOn(pageA, startsWithAnd("1.2.", "drugog dohotka")), "105,00");
    EXPECT_EQ(amountOn(pageA, startsWithAnd("2.2.", "drugog dohotka")), "35,00");
    EXPECT_EQ(amountOn(pageA, startsWithAnd("3.5.", "drugog dohotka")), "105,00");
    EXPECT_EQ(amountOn(pageA, contains("neoporezivih primitaka")), "1.600,00");
    EXPECT_EQ(amount(amountOn(pageA, startsWithAnd("1.2.", "drugog dohotka"))), pillar1);
    EXPECT_EQ(amount(amountOn(pageA, startsWithAnd("2.2.", "drugog dohotka"))), pillar2);
    EXPECT_EQ(amount(amountOn(pageA, startsWithAnd("3.5.", "drugog dohotka"))), health);
    EXPECT_EQ(amount(amountOn(pageA, contains("neoporezivih primitaka"))), nonTaxable);
    // Cells nothing is summed into print blank, headings print no amount.
    EXPECT_EQ(amountOn(pageA, startsWith("1.1.")), "");
    EXPECT_EQ(amountOn(pageA, startsWith("VI.")), "");

    // The file of the same payment states the same totals.
    TempFolder out;
    const std::string target = (out.path() / "jop.xml").string();
    ASSERT_TRUE(FORMIRAJ(1, target)) << ask.texts().size();
    const std::string xml = readFile(target);
    EXPECT_EQ(xmlValue(xml, "PredujamPoreza", "P2"), "141.60");
    EXPECT_EQ(xmlValue(xml, "PredujamPoreza", "P5"), "460.20");
    EXPECT_EQ(xmlValue(xml, "GeneracijskaSolidarnost", "P2"), "105.00");
    EXPECT_EQ(xmlValue(xml, "KapitaliziranaStednja", "P2"), "35.00");
    EXPECT_EQ(xmlValue(xml, "ZdravstvenoOsiguranje", "P5"), "105.00");
    EXPECT_EQ(xmlValue(xml, "", "IsplaceniNeoporeziviPrimici"), "1600.00");
    EXPECT_EQ(xmlValue(xml, "", "BrojOsoba"), "2");
    EXPECT_EQ(xmlValue(xml, "", "BrojRedaka"), "4");
}

TEST_F(JoppdPages, PageAHeadingNamesThePaymentThePayerAndTheCounts) {
    fourKinds();
    SUB.OZNAKA = 1;
    ASSERT_EQ(SUBJEKTI.get(SUBJEKTI.KEYOZNAKA), 0);
    SUB.EMAIL = "ured@secerana.hr";
    ASSERT_EQ(SUBJEKTI.put(), 0);
    auto a = joppdPageA(1);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->pages().size(), 1u);
    const auto lines = textOf(*a);
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    for (const char* text :
         {"MINISTARSTVO FINANCIJA, POREZNA UPRAVA", "OBRAZAC JOPPD", "- stranica A -",
          "o primicima, porezu na dohodak i prirezu te doprinosima za obvezna osiguranja na dan 10.3.2014.",
          "Šećerana Čađavica, Đakovo d.o.o.", "Zagreb, Ulica  grada   Vukovara 12a", "ured@secerana.hr",
          "69435151530", "PODNOSI IZVJEŠĆE", "OBRAČUNA SA STRANICE B"})
        EXPECT_NE(all.find(text), std::string::npos) << text << "\n" << all;
    EXPECT_NE(all.find("14069"), std::string::npos);
    // Two people on four lines; payer kind "P" is submitter "1".
    auto counts = tokens(*std::find_if(lines.begin(), lines.end(), contains("BROJ OSOBA ZA KOJE SE")));
    EXPECT_EQ(counts, (std::vector<std::string>{"IV.1.", "BROJ", "OSOBA", "ZA", "KOJE", "SE", "2", "IV.2.", "BROJ",
                                                "REDAKA", "NA", "POPISU", "POJEDINAČNIH", "4"}));
    EXPECT_EQ(tokens(*std::find_if(lines.begin(), lines.end(), contains("Oznaka podnositelja"))).back(), "1");
}

TEST_F(JoppdPages, PageAOfAnEmptyPaymentAndOfOddTotalsLines) {
    // No income lines: the heading with zero counts and no amount anywhere.
    auto a = joppdPageA(1);
    ASSERT_NE(a, nullptr);
    auto lines = textOf(*a);
    auto counts = tokens(*std::find_if(lines.begin(), lines.end(), contains("BROJ OSOBA ZA KOJE SE")));
    EXPECT_EQ(counts[6], "0");
    EXPECT_EQ(counts.back(), "0");
    const std::regex anyAmount("[0-9],[0-9][0-9]");
    for (const auto& l : lines) EXPECT_FALSE(std::regex_search(l, anyAmount)) << l;

    // Capital income only: tax on other income stays blank. A heading line
    // pointing at a filled cell still shows no amount.
    line(1, 1, 2, DIVIDEND, kDividend);
    JOPOZIJE.clear();
    JOP.OZNAKA = 99;
    JOP.GRUPA = 40;
    JOP.REDNIBROJ = 1;
    JOP.BRTEKST = "X.";
    JOP.TEKST1 = "Naslov bez iznosa";
    JOP.VRSTA = "T";
    ASSERT_EQ(JOPOZIJE.add(), 0);
    lines = textOf(*joppdPageA(1));
    EXPECT_EQ(amountOn(lines, contains("dohodak od kapitala")), "141,60");
    EXPECT_EQ(amountOn(lines, contains("utvrđuje drugi dohodak")), "");
    EXPECT_EQ(amountOn(lines, contains("Naslov bez iznosa")), "");

    // Without any totals lines the page is its heading alone.
    Store::main().exec("DELETE FROM JOPOZIJE");
    lines = textOf(*joppdPageA(1));
    EXPECT_NE(lines.back().find("PRIREZU POREZA NA DOHODAK"), std::string::npos) << lines.back();

    std::string error;
    EXPECT_EQ(joppdPageA(77, {}, &error), nullptr);
    EXPECT_EQ(error, "Isplata 77 ne postoji.");
}

TEST_F(JoppdPages, PageBPrintsEachLineWithItsCodesAndCorrections) {
    person(3, "Marko", "Marić", "", 2);
    OSO.OZNAKA = 3;
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    OSO.JMBG = "0101980330001";
    ASSERT_EQ(OSOBE.put(), 0);
    line(1, 1, 1, AUTHOR, kAuthorFee, 1);
    line(2, 1, 3, NOCONTRIB, kNoContributions);
    line(3, 1, 1, NONTAXABLE, kNonTaxable, 5);
    auto b = joppdPageB(1, 'M');
    ASSERT_NE(b, nullptr);
    const auto lines = textOf(*b);
    const auto rows = rowsOf(lines);
    ASSERT_EQ(rows.size(), 3u);

    const PrintedRow& fee = rows[0];
    EXPECT_EQ(fee.at("1"), "1");
    EXPECT_EQ(fee.at("2"), "01333");
    EXPECT_EQ(fee.at("3"), "00000");
    EXPECT_EQ(fee.at("4"), "12345678903");
    EXPECT_EQ(fee.at("5"), "Horvat Ivana");  // surname first
    EXPECT_EQ(fee.at("6.1"), "4002");
    EXPECT_EQ(fee.at("6.2"), "4001");
    EXPECT_EQ(fee.at("10.1"), "01.01.2014.");
    EXPECT_EQ(fee.at("10.2"), "31.12.2014.");
    EXPECT_EQ(fee.at("11"), "1.000,00");
    EXPECT_EQ(fee.at("12"), "700,00");
    EXPECT_EQ(fee.at("13.1"), "300,00");
    EXPECT_EQ(fee.at("13.2"), "140,00");
    EXPECT_EQ(fee.at("13.3"), "560,00");
    EXPECT_EQ(fee.at("13.4"), "0,00");
    EXPECT_EQ(fee.at("13.5"), "560,00");
    EXPECT_EQ(fee.at("16.1"), "1");
    EXPECT_EQ(fee.at("16.2"), "694,80");

    // Without an OIB the JMBG; no contributions: no base; no payment method: "2".
    const PrintedRow& other = rows[1];
    EXPECT_EQ(other.at("4"), "0101980330001");
    EXPECT_EQ(other.at("2"), "04090");
    EXPECT_EQ(other.at("12"), "0,00");
    EXPECT_EQ(other.at("11"), "1.000,00");
    EXPECT_EQ(other.at("16.1"), "2");

    // A non-taxable receipt: nothing taxable, the net twice, the month before.
    const PrintedRow& receipt = rows[2];
    EXPECT_EQ(receipt.at("3"), "01333");
    EXPECT_EQ(receipt.at("6.1"), "0000");
    for (const char* zero : {"11", "12", "13.3", "13.5"}) EXPECT_EQ(receipt.at(zero), "0,00") << zero;
    EXPECT_EQ(receipt.at("15.1"), "5");
    EXPECT_EQ(receipt.at("15.2"), "1.600,00");
    EXPECT_EQ(receipt.at("16.2"), "1.600,00");
    EXPECT_EQ(receipt.at("10.1"), "01.02.2014.");
    EXPECT_EQ(receipt.at("10.2"), "28.02.2014.");

    std::string all;
    for (const auto& l : lines) all += l + "\n";
    for (const char* text : {"OIB podnositelja izvješća", "69435151530", "II. Oznaka izvješća", "14069",
                             "- stranica B -", "M.P.",
                             "(POTPIS OVLAŠTENE OSOBE OBVEZNIKA PODNOŠENJA PODATAKA)"})
        EXPECT_NE(all.find(text), std::string::npos) << text;
    const auto numbered = std::find_if(lines.begin(), lines.end(), contains("VI. Redni broj stranice:"));
    ASSERT_NE(numbered, lines.end());
    EXPECT_EQ(tokens(*numbered).back(), "1");
}

TEST_F(JoppdPages, PageBOfABracketsLineStatesTheAllowanceAndTheBaseAsTheFileDoes) {
    bracketsIncomeType(5);
    line(1, 1, 1, 5, kBracketsWithAllowance);
    const auto rows = rowsOf(textOf(*joppdPageB(1)));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("13.3"), "7.111,38");
    EXPECT_EQ(rows[0].at("13.4"), "2.200,00");
    EXPECT_EQ(rows[0].at("13.5"), "4.911,38");
    EXPECT_EQ(rows[0].at("14.1"), "941,85");
}

TEST_F(JoppdPages, PageBRunsOverPagesAndAnEmptyPaymentPrintsNothing) {
    std::string error = "x";
    EXPECT_EQ(joppdPageB(1, 'M', {}, &error), nullptr);
    EXPECT_EQ(error, NOTHING_TO_PRINT);
    EXPECT_EQ(joppdPageB(8, 'M', {}, &error), nullptr);
    EXPECT_EQ(error, "Isplata 8 ne postoji.");

    // A line whose recipient and income type are gone prints blank there.
    line(1, 1, 42, 42, kNoContributions);
    for (LONG n = 2; n <= 40; ++n) line(n, 1, 1 + n % 2, AUTHOR, kAuthorFee);
    int cancelAt = 0;
    EXPECT_EQ(joppdPageB(1, 'M', [&](int percent) { return ++cancelAt < 3; }), nullptr);
    auto b = joppdPageB(1, 'M');
    ASSERT_NE(b, nullptr);
    ASSERT_GE(b->pages().size(), 3u);
    const auto rows = rowsOf(textOf(*b));
    EXPECT_EQ(rows.size(), 39u);  // the first line has no OIB to be found by
    const auto last = pageText(b->pages().back());
    std::string all;
    for (const auto& l : last) all += l + "\n";
    const auto numbered = std::find_if(last.begin(), last.end(), contains("VI. Redni broj stranice:"));
    ASSERT_NE(numbered, last.end());
    EXPECT_EQ(tokens(*numbered).back(), std::to_string(b->pages().size()));
    EXPECT_NE(all.find("1. R.br."), std::string::npos);
}

TEST(JoppdPagesWrap, WordsWrapAtTheWidthAndLongWordsStayWhole) {
    EXPECT_EQ(wrapWords("12.1. Doprinos za mirovinsko osiguranje", 13),
              (std::vector<std::string>{"12.1.", "Doprinos za", "mirovinsko", "osiguranje"}));
    EXPECT_EQ(wrapWords("  a  b ", 3), std::vector<std::string>{"a b"});
    EXPECT_EQ(wrapWords("Šćžđ šćžđ", 4), (std::vector<std::string>{"Šćžđ", "šćžđ"}));
    EXPECT_TRUE(wrapWords("", 5).empty());
}
