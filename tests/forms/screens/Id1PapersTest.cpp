#include <algorithm>
#include <filesystem>

#include "joppd/JoppdFixture.h"
#include "support/ExportRun.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// The printed ID-1 form, its cover letter and its file as `marel export`
// writes them, read back as text.
class Id1Papers : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        openFiles({&ID1});
        taxCode(AUTHOR, "1805");
        taxCode(NOCONTRIB, "1422");
        taxCode(NONTAXABLE, "1422");
        person(3, "Ana", "Babić", "22222222226", 1);
        person(4, "Mate", "Zorić", "33333333335", 1);
        payment(1, Date::fromYmd(2013, 3, 10));
        payment(2, Date::fromYmd(2014, 5, 5));
        Amounts crisis = kAuthorFee;
        crisis[POZ_KRIPOREZ] = "20.00";
        line(1, 1, 1, AUTHOR, kAuthorFee);
        line(2, 1, 1, NOCONTRIB, kNoContributions);
        line(3, 2, 1, AUTHOR, kAuthorFee);  // 2014
        line(4, 1, 2, AUTHOR, crisis);
        line(5, 1, 3, DIVIDEND, kDividend);  // no tax code: not on paper
        line(6, 1, 4, NONTAXABLE, kNonTaxable);
    }
    static void taxCode(BYTE type, const char* code) {
        VRS.OZNAKA = type;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.RNPOREZ = code;
        ASSERT_EQ(VRSTEDOH.put(), 0);
    }
    ExportRun run(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", folder.str()});
        return runExport(args, out.str());
    }
    // The exported page text, or a failure with what the command said.
    std::vector<std::string> pages(const std::vector<std::string>& args) {
        ExportRun r = run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return exportedText((out.path() / "stranice").string());
    }
    static std::string lineWith(const std::vector<std::string>& lines, const std::string& what) {
        auto it = std::find_if(lines.begin(), lines.end(),
                               [&](const std::string& l) { return l.find(what) != std::string::npos; });
        return it == lines.end() ? std::string() : *it;
    }
    // The words of a line, its blanks collapsed.
    static std::string words(const std::string& l) {
        std::string s;
        for (char c : l)
            if (c != ' ' || (!s.empty() && s.back() != ' ')) s += c;
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
    TempFolder out;
};

TEST_F(Id1Papers, PrintedFormListsRecipientsWithTaxInTheFourteenColumns) {
    const auto text = pages({"ID1", "isplatitelj=1", "godina=2013", "--out", "stranice"});
    ASSERT_FALSE(text.empty());
    std::string all;
    for (const auto& l : text) all += l + "\n";
    EXPECT_NE(all.find("IZVJEŠĆE O ISPLAĆENOM PRIMITKU, DOHOTKU, UPLAĆENOM DOPRINOSU, POREZU PO ODBITKU I PRIREZU U "
                       "2013. GODINI"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("Šećerana Čađavica, Đakovo d.o.o."), std::string::npos);
    EXPECT_NE(all.find("Zagreb, Ulica  grada   Vukovara 12a"), std::string::npos) << all;
    EXPECT_NE(lineWith(text, "1422").find("1805"), std::string::npos);

    // Horvat: the fee under 1805, the other income under 1422; 2014 left out.
    EXPECT_EQ(words(lineWith(text, "Ivana Horvat")),
              "1 Ivana Horvat 12345678903 133 2.000,00 300,00 140,00 295,00 165,20 460,20 1.399,80");
    // Šimić: no crisis-tax column, and the plain net.
    EXPECT_EQ(words(lineWith(text, "Đuro Šimić")),
              "2 Đuro Šimić 98765432106 409 1.000,00 300,00 140,00 165,20 165,20 694,80");
    // A type without a code, and income without tax, are not on the form.
    EXPECT_EQ(all.find("Babić"), std::string::npos);
    EXPECT_EQ(all.find("Zorić"), std::string::npos);
    EXPECT_NE(all.find("PEČAT I POTPIS OVLAŠTENE OSOBE"), std::string::npos);
}

TEST_F(Id1Papers, CoverLetterNamesPayerTaxOfficeAndContact) {
    ID1.clear();
    ID1.OZNAKA = 1;
    ID1.ISPLATITELJ = 1;
    ID1.STORNO = "false";
    ID1.GODINA = "2013";
    ID1.KONIME = "Vesna";
    ID1.KONPREZIME = "Tomić";
    ID1.KONPOZ1 = 1;
    ID1.KONTEL1 = "4567890";
    ID1.KONPOZ2 = 91;
    ID1.KONEMAIL = "vesna@secerana.hr";
    ASSERT_EQ(ID1.add(), 0);

    const auto text = pages({"ISPISPOPRATNOGDOPISA", "id1=1", "--out", "stranice"});
    std::string all;
    for (const auto& l : text) all += l + "\n";
    EXPECT_NE(all.find("OBRAZAC ID-1 ZA 2013. godinu"), std::string::npos) << all;
    EXPECT_EQ(words(lineWith(text, "OIB Isplatitelja")), "OIB Isplatitelja 69435151530");
    EXPECT_NE(lineWith(text, "Adresa isplatitelja").find("Zagreb, Ulica  grada   Vukovara 12a"), std::string::npos);
    EXPECT_EQ(words(lineWith(text, "Nadležna ispostava PU")), "Nadležna ispostava PU Grad Zagreb");
    EXPECT_EQ(words(lineWith(text, "Prezime i ime")), "Prezime i ime Tomić Vesna");
    // Only one telephone: the second stays blank, its area code unused.
    EXPECT_EQ(words(lineWith(text, "Telefonski broj")), "Telefonski broj +385(1)4567890");
    EXPECT_EQ(all.find("+385(91)"), std::string::npos);
    EXPECT_NE(all.find("Broj slogova na mediju"), std::string::npos);
    EXPECT_NE(all.find("Potpis i pečat odgovorne osobe"), std::string::npos);
}

TEST_F(Id1Papers, FileAndBadArgumentsFromTheCommandLine) {
    ID1.clear();
    ID1.OZNAKA = 1;
    ID1.ISPLATITELJ = 1;
    ID1.STORNO = "true";
    ID1.GODINA = "2013";
    ID1.KONIME = "Vesna";
    ID1.KONPREZIME = "Tomić";
    ASSERT_EQ(ID1.add(), 0);
    // A form the file's structure would refuse: a year of the wrong century, no contact.
    ID1.clear();
    ID1.OZNAKA = 2;
    ID1.ISPLATITELJ = 1;
    ID1.GODINA = "0214";
    ASSERT_EQ(ID1.add(), 0);

    ExportRun xml = run({"ID1XML", "id1=1", "--out", "id1.xml"});
    ASSERT_EQ(xml.exitCode, 0) << xml.err;
    // The dividend's type without a tax code is told, the file still written.
    EXPECT_EQ(xml.err, "Upozorenje: NIJE UNESENA SHIFRA POREZA U VRSTI DOHOTKA Dividenda\n");
    const std::string written = readFile(out.path() / "id1.xml");
    EXPECT_NE(written.find("<Id1 storno=\"true\""), std::string::npos) << written;
    EXPECT_NE(written.find("<IsplataUGodini>2013</IsplataUGodini>"), std::string::npos);

    for (const auto& [args, said] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"ID1XML", "id1=5", "--out", "x.xml"}, "ID-1 obrazac 5 ne postoji.\n"},
             {{"ID1XML", "id1=2", "--out", "x.xml"},
              "ID-1 datoteka nije kreirana. Godina \"0214\" nije ispravna (četiri znamenke, od 2000 do 2099). "
              "Kontakt osoba: nije uneseno ime. Kontakt osoba: nije uneseno prezime.\n"},
             {{"ISPISPOPRATNOGDOPISA", "id1=5", "--out", "x"}, "ID-1 obrazac 5 ne postoji.\n"},
             {{"ID1", "isplatitelj=9", "godina=2013", "--out", "x"}, "Isplatitelj 9 ne postoji.\n"},
             {{"ID1", "isplatitelj=1", "godina=13", "--out", "x"}, "Godina mora imati četiri znamenke: 13\n"}}) {
        ExportRun r = run(args);
        EXPECT_NE(r.exitCode, 0) << args[0];
        EXPECT_EQ(r.err, said) << args[0];
    }
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(out.path())) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"id1.xml"});
}

}  // namespace
