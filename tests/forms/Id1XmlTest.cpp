#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>

#include "common/Prompter.h"
#include "common/XmlSchema.h"
#include "forms/Id1Print.h"
#include "forms/Id1Xml.h"
#include "joppd/JoppdFixture.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// The document as lines in reading order: each element by its path, with
// its attributes, and each leaf with its text. Empty when it does not parse.
std::vector<std::string> outline(const std::string& path, std::string* rootNamespace = nullptr) {
    std::vector<std::string> out;
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    if (!doc) return out;
    std::function<void(xmlNodePtr, const std::string&)> walk = [&](xmlNodePtr n, const std::string& parent) {
        for (; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE) continue;
            const std::string here = parent.empty() ? std::string(reinterpret_cast<const char*>(n->name))
                                                    : parent + "/" + reinterpret_cast<const char*>(n->name);
            std::string line = here;
            for (xmlAttrPtr a = n->properties; a; a = a->next) {
                xmlChar* v = xmlNodeGetContent(a->children);
                line += std::string(" @") + reinterpret_cast<const char*>(a->name) + "=" +
                        (v ? reinterpret_cast<const char*>(v) : "");
                xmlFree(v);
            }
            bool leaf = true;
            for (xmlNodePtr c = n->children; c; c = c->next)
                if (c->type == XML_ELEMENT_NODE) leaf = false;
            if (leaf) {
                xmlChar* t = xmlNodeGetContent(n);
                std::string text = reinterpret_cast<const char*>(t);
                // An empty parent holds only the writer's line break and indent.
                if (text.find_first_not_of(" \n") == std::string::npos) text.clear();
                line += " = " + text;
                xmlFree(t);
            }
            out.push_back(line);
            walk(n->children, here);
        }
    };
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (rootNamespace && root && root->ns) *rootNamespace = reinterpret_cast<const char*>(root->ns->href);
    walk(root, "");
    xmlFreeDoc(doc);
    return out;
}

// An author's fee on which crisis tax was also withheld.
Amounts withCrisisTax() {
    Amounts a = kAuthorFee;
    a[POZ_KRIPOREZ] = "20.00";
    a[POZ_POSLIJEKRIPOREZ] = "674.80";
    return a;
}

class Id1XmlTest : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        openFiles({&ID1});
        taxCode(AUTHOR, "1805");
        taxCode(NOCONTRIB, "1422");
        taxCode(NONTAXABLE, "1422");
        // DIVIDEND keeps a blank code.
        payer(2, "P", "Druga tvrtka d.o.o.", "11111111119");
    }
    static void taxCode(BYTE type, const char* code) {
        VRS.OZNAKA = type;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.RNPOREZ = code;
        ASSERT_EQ(VRSTEDOH.put(), 0);
    }
    static void id1Form(LONG n, LONG payer, const char* year, const char* tel2 = "") {
        ID1.clear();
        ID1.OZNAKA = n;
        ID1.ISPLATITELJ = payer;
        ID1.STORNO = "false";
        ID1.GODINA = year;
        ID1.KONIME = "Vesna";
        ID1.KONPREZIME = "Tomić";
        ID1.KONPOZ1 = 1;
        ID1.KONTEL1 = "4567890";
        ID1.KONPOZ2 = 91;
        ID1.KONTEL2 = tel2;
        ID1.KONEMAIL = "vesna@secerana.hr";
        ASSERT_EQ(ID1.add(), 0);
    }
    std::string target() const { return (folder.path() / "id1.xml").string(); }
};

TEST_F(Id1XmlTest, ListsRecipientsWithTaxInSurnameOrderWithPerAccountSumsAndFileTotals) {
    person(3, "Ana  Marija", "Babić", "22222222226", 1);
    person(4, "Mate", "Zorić", "33333333335", 1);
    payment(1, Date::fromYmd(2013, 3, 10));
    payment(2, Date::fromYmd(2014, 5, 5));     // another year
    payment(3, Date::fromYmd(2013, 6, 1), 2);  // another payer
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 1, NOCONTRIB, kNoContributions);
    line(3, 2, 1, AUTHOR, kAuthorFee);
    line(4, 3, 1, NOCONTRIB, kNoContributions);
    line(5, 1, 2, AUTHOR, withCrisisTax());
    line(6, 1, 3, DIVIDEND, kDividend);
    line(7, 1, 4, NONTAXABLE, kNonTaxable);  // no tax: not listed, adds nothing
    id1Form(1, 1, "2013");

    ASSERT_TRUE(FORMIRAJDATOTEKU(1, target())) << (ask.messages.empty() ? "" : ask.last().text);
    // The dividend's type has no tax code: said, and its tax still counted.
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"NIJE UNESENA SHIFRA POREZA U VRSTI DOHOTKA Dividenda"});

    std::string ns;
    const std::vector<std::string> expected = {
        "Id1 @storno=false",
        "Id1/Identifikator = 1",
        "Id1/IsplataUGodini = 2013",
        "Id1/Isplatitelj @oib=69435151530",
        "Id1/Isplatitelj/KontaktOsoba",
        "Id1/Isplatitelj/KontaktOsoba/Ime = Vesna",
        "Id1/Isplatitelj/KontaktOsoba/Prezime = Tomić",
        "Id1/Isplatitelj/KontaktOsoba/Telefoni",
        "Id1/Isplatitelj/KontaktOsoba/Telefoni/Telefon = +385(1)4567890",
        "Id1/Isplatitelj/KontaktOsoba/Email = vesna@secerana.hr",
        "Id1/Obveznici",
        // Babić: a dividend, 120.00 + 21.60, under no account.
        "Id1/Obveznici/Obveznik @oib=22222222226 @oznGrOp=133",
        "Id1/Obveznici/Obveznik/Ime = Ana Marija",
        "Id1/Obveznici/Obveznik/Prezime = Babić",
        "Id1/Obveznici/Obveznik/Primitak = 1000.00",
        "Id1/Obveznici/Obveznik/Izdatak = 0.00",
        "Id1/Obveznici/Obveznik/IzdatakDoprinosa = 0.00",
        "Id1/Obveznici/Obveznik/PorezPrirez",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni = ",
        "Id1/Obveznici/Obveznik/PorezPrirez/Ukupno = 141.60",
        "Id1/Obveznici/Obveznik/IsplaceniPrimitak = 858.40",
        // Horvat: the author's fee and the other income of 2013 from payer 1 only.
        "Id1/Obveznici/Obveznik @oib=12345678903 @oznGrOp=133",
        "Id1/Obveznici/Obveznik/Ime = Ivana",
        "Id1/Obveznici/Obveznik/Prezime = Horvat",
        "Id1/Obveznici/Obveznik/Primitak = 2000.00",
        "Id1/Obveznici/Obveznik/Izdatak = 300.00",
        "Id1/Obveznici/Obveznik/IzdatakDoprinosa = 140.00",
        "Id1/Obveznici/Obveznik/PorezPrirez",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun @brojRacuna=1422",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun/Iznos = 295.00",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun @brojRacuna=1805",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun/Iznos = 165.20",
        "Id1/Obveznici/Obveznik/PorezPrirez/Ukupno = 460.20",
        "Id1/Obveznici/Obveznik/IsplaceniPrimitak = 1399.80",
        // Šimić: the crisis tax under 1902, outside his total, off his net.
        "Id1/Obveznici/Obveznik @oib=98765432106 @oznGrOp=409",
        "Id1/Obveznici/Obveznik/Ime = Đuro",
        "Id1/Obveznici/Obveznik/Prezime = Šimić",
        "Id1/Obveznici/Obveznik/Primitak = 1000.00",
        "Id1/Obveznici/Obveznik/Izdatak = 300.00",
        "Id1/Obveznici/Obveznik/IzdatakDoprinosa = 140.00",
        "Id1/Obveznici/Obveznik/PorezPrirez",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun @brojRacuna=1805",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun/Iznos = 165.20",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun @brojRacuna=1902",
        "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun/Iznos = 20.00",
        "Id1/Obveznici/Obveznik/PorezPrirez/Ukupno = 165.20",
        "Id1/Obveznici/Obveznik/IsplaceniPrimitak = 674.80",
        // The file: 460.20 + 165.20 + 20.00 + 141.60, the crisis tax included.
        "Id1/Ukupno",
        "Id1/Ukupno/Primitak = 4000.00",
        "Id1/Ukupno/Izdatak = 600.00",
        "Id1/Ukupno/IzdatakDoprinosa = 280.00",
        "Id1/Ukupno/PorezPrirez",
        "Id1/Ukupno/PorezPrirez/Racuni",
        "Id1/Ukupno/PorezPrirez/Racuni/Racun @brojRacuna=1422",
        "Id1/Ukupno/PorezPrirez/Racuni/Racun/Iznos = 295.00",
        "Id1/Ukupno/PorezPrirez/Racuni/Racun @brojRacuna=1805",
        "Id1/Ukupno/PorezPrirez/Racuni/Racun/Iznos = 330.40",
        "Id1/Ukupno/PorezPrirez/Racuni/Racun @brojRacuna=1902",
        "Id1/Ukupno/PorezPrirez/Racuni/Racun/Iznos = 20.00",
        "Id1/Ukupno/PorezPrirez/Ukupno = 787.00",
        "Id1/Ukupno/IsplaceniPrimitak = 2933.00",
    };
    EXPECT_EQ(outline(target(), &ns), expected);
    EXPECT_EQ(ns, "http://e-porezna.porezna-uprava.hr/obrasci/id1/v4-0");
    const std::string text = readFile(target());
    EXPECT_NE(text.find("xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""), std::string::npos);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text.substr(0, 60);
}

TEST_F(Id1XmlTest, SecondTelephoneOnlyWhenGivenAndTheFileIsNamedByThePayer) {
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 1, NOCONTRIB, kNoContributions);
    id1Form(1, 1, "2013", "987654");
    id1Form(2, 1, "2013");

    // Into the data folder under the payer's name, replacing the earlier file.
    const fs::path named = fs::absolute(folder.path()) / "ID-1_69435151530_01.xml";
    { std::ofstream(named) << "stari"; }
    ASSERT_TRUE(FORMIRAJDATOTEKU(1));
    std::vector<std::string> phones;
    for (const std::string& l : outline(named.string()))
        if (l.find("/Telefon ") != std::string::npos) phones.push_back(l.substr(l.find(" = ") + 3));
    EXPECT_EQ(phones, (std::vector<std::string>{"+385(1)4567890", "+385(91)987654"}));

    ASSERT_TRUE(FORMIRAJDATOTEKU(2, target()));
    phones.clear();
    for (const std::string& l : outline(target()))
        if (l.find("/Telefon ") != std::string::npos) phones.push_back(l.substr(l.find(" = ") + 3));
    EXPECT_EQ(phones, std::vector<std::string>{"+385(1)4567890"});
    EXPECT_TRUE(ask.texts().empty());
}

TEST_F(Id1XmlTest, RecipientWithoutOibIsNamedAndStillReported) {
    person(3, "Ivo", "Ban", "", 2);
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 3, NOCONTRIB, kNoContributions);
    id1Form(1, 1, "2013");
    ASSERT_TRUE(FORMIRAJDATOTEKU(1, target()));
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"Ban Ivo NEMA UNESEN OIB"});
    const auto lines = outline(target());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Id1/Obveznici/Obveznik @oib= @oznGrOp=409"), lines.end());
}

TEST_F(Id1XmlTest, WhatCannotBeWrittenIsToldAndLeavesNoFile) {
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 1, NOCONTRIB, kNoContributions);
    id1Form(1, 1, "2013");
    id1Form(2, 7, "2013");  // its payer is gone

    EXPECT_FALSE(FORMIRAJDATOTEKU(2, target()));
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"GREŠKA - ISPLATITELJ OBRASCA NE POSTOJI"});
    EXPECT_FALSE(fs::exists(target()));

    ask.messages.clear();
    EXPECT_FALSE(FORMIRAJDATOTEKU(9, target()));
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"GREŠKA - ID-1 OBRAZAC 9 NE POSTOJI"});

    // A folder that is not there: the failure is told, not passed over.
    ask.messages.clear();
    const std::string nowhere = (folder.path() / "nema" / "id1.xml").string();
    EXPECT_FALSE(FORMIRAJDATOTEKU(1, nowhere));
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"Datoteka se ne može kreirati: " + nowhere});
    EXPECT_FALSE(fs::exists(folder.path() / "nema"));

    // A control character another program stored is written as a blank.
    ask.messages.clear();
    ID1.OZNAKA = 1;
    ASSERT_EQ(ID1.get(ID1.KEYOZNAKA), 0);
    ASSERT_EQ(Store::main().exec("UPDATE ID1 SET KONEMAIL = 'vesna'||char(1)||'@secerana.hr'"), 0);
    EXPECT_TRUE(FORMIRAJDATOTEKU(1, target()));
    EXPECT_NE(readFile(target()).find("vesna @secerana.hr"), std::string::npos);
}

// The paper form of a year whose calculation lines cannot be read is not
// printed short of the recipients it lost.
TEST_F(Id1XmlTest, ThePaperFormIsNotPrintedWhenACalculationCannotBeRead) {
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    OBRACUN.close();
    OBRACUN.USED = 0;
    ASSERT_EQ(OBRACUN.remove(), 0) << errorText();
    EXPECT_EQ(id1Report(1, "2013"), nullptr);
    EXPECT_EQ(ask.messages.size(), 1u);  // the warning, once
}

// Every account code of an income type carries its tax, the last before the
// crisis tax's included.
TEST_F(Id1XmlTest, EachTaxAccountCodeListsTheTaxPaidToIt) {
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    id1Form(1, 1, "2013");
    for (size_t k = 0; k < ID1_KRIPOREZ; ++k) {
        SCOPED_TRACE(ID1_RACUNI[k]);
        taxCode(AUTHOR, ID1_RACUNI[k]);
        ASSERT_TRUE(FORMIRAJDATOTEKU(1, target()));
        const auto lines = outline(target());
        const std::string account = "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun @brojRacuna=" + std::string(ID1_RACUNI[k]);
        const auto at = std::find(lines.begin(), lines.end(), account);
        ASSERT_NE(at, lines.end());
        EXPECT_EQ(*(at + 1), "Id1/Obveznici/Obveznik/PorezPrirez/Racuni/Racun/Iznos = 165.20");
    }
}

// Everything the file's structure would refuse is listed at once, and no
// file is written; a recipient without tax is not looked at.
TEST_F(Id1XmlTest, CheckListNamesWhatTheFileWouldRefuseAndWritesNothing) {
    person(3, "  ", "Babić", "22222222226", 1);
    person(4, "Mate", "Zorić", "12345678900", 1);  // wrong check digit
    person(5, "Ivo", "Ban", "1234", 1);            // no tax: not in the file
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 3, NOCONTRIB, kNoContributions);
    line(2, 1, 4, NOCONTRIB, kNoContributions);
    line(3, 1, 5, NONTAXABLE, kNonTaxable);
    id1Form(1, 1, "2013");
    ASSERT_EQ(Store::main().exec("UPDATE ID1 SET KONPREZIME = '', STORNO = 'da' WHERE OZNAKA = 1"), 0);
    ASSERT_EQ(Store::main().exec("UPDATE SUBJEKTI SET OIB = '6943515153a' WHERE OZNAKA = 1"), 0);
    { std::ofstream(target()) << "stari"; }

    EXPECT_FALSE(FORMIRAJDATOTEKU(1, target()));
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().caption, kCheckCaption);
    EXPECT_EQ(ask.last().text,
              "Isplatitelj Šećerana Čađavica, Đakovo d.o.o.: OIB \"6943515153a\" nije ispravan (11 znamenki s "
              "ispravnom kontrolnom znamenkom).\r\n"
              "Storno \"da\" nije ispravan (true ili false).\r\n"
              "Kontakt osoba: nije uneseno prezime.\r\n"
              "Primatelj br. 3 Babić (OIB \"22222222226\"): nije uneseno ime.\r\n"
              "Primatelj br. 4 Mate Zorić (OIB \"12345678900\"): OIB nije ispravan (11 znamenki s ispravnom "
              "kontrolnom znamenkom).");
    EXPECT_EQ(readFile(target()), "stari");
    for (const auto& e : fs::directory_iterator(folder.path()))
        EXPECT_EQ(e.path().filename().string().find("id1.xml."), std::string::npos) << e.path();
}

// The structure itself, behind the check list: a file that breaks it is
// refused with the element and its value named.
TEST_F(Id1XmlTest, SchemaRefusesABrokenFileNamingTheElementAndItsValue) {
    payment(1, Date::fromYmd(2013, 3, 10));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    id1Form(1, 1, "2013");
    ASSERT_TRUE(FORMIRAJDATOTEKU(1, target()));
    const std::string good = readFile(target());
    ASSERT_EQ(id1Schema().check(target()), "");

    struct Case {
        std::string from, to, names;
    };
    const Case cases[] = {
        {"<IsplataUGodini>2013<", "<IsplataUGodini>0214<", "element IsplataUGodini, vrijednost \"0214\""},
        {"oib=\"69435151530\"", "oib=\"6943515153\"", "element Isplatitelj, atribut oib, vrijednost \"6943515153\""},
        {"<Ime>Ivana</Ime>", "<Ime> </Ime>", "element Obveznici/Obveznik/Ime, vrijednost \" \""},
        {"<Prezime>Tomić</Prezime>", "", "element Isplatitelj/KontaktOsoba/Telefoni"},
        {"brojRacuna=\"1805\"", "brojRacuna=\"1806\"", "atribut brojRacuna, vrijednost \"1806\""},
        {"<Primitak>1000.00<", "<Primitak>1000.005<", "element Obveznici/Obveznik/Primitak, vrijednost \"1000.005\""},
        {"storno=\"false\"", "storno=\"ne\"", "element Id1, atribut storno, vrijednost \"ne\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::string bad = good;
        const size_t at = bad.find(c.from);
        ASSERT_NE(at, std::string::npos);
        bad.replace(at, c.from.size(), c.to);
        { std::ofstream(target(), std::ios::binary) << bad; }
        const std::string said = id1Schema().check(target());
        EXPECT_EQ(said.rfind("Datoteka ne odgovara propisanoj strukturi: ", 0), 0u) << said;
        EXPECT_NE(said.find(c.names), std::string::npos) << said;
    }
}

}  // namespace
