#include <libxml/parser.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "joppd/JoppdCheck.h"
#include "joppd/JoppdFixture.h"
#include "support/JoppdSchema.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

bool wellFormed(const std::string& xml) {
    xmlDocPtr doc = xmlReadMemory(xml.data(), int(xml.size()), "joppd.xml", nullptr, XML_PARSE_NONET);
    if (doc) xmlFreeDoc(doc);
    return doc != nullptr;
}

class JoppdXmlTest : public JoppdFixture {
protected:
    // Writes form 1 and compares the file with its golden copy; with
    // MAREL_UPDATE_GOLDEN set the golden copy is rewritten instead.
    void expectGolden(const std::string& name) {
        ASSERT_TRUE(FORMIRAJ(1));
        reloadForm();
        EXPECT_EQ(ask.texts(), std::vector<std::string>{"XML datoteka kreirana:\r\n" + JOPO.DATOTEKA.str()});
        const std::string written = readFile(JOPO.DATOTEKA.str());
        EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
        const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / (name + ".xml");
        if (std::getenv("MAREL_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << written;
        EXPECT_EQ(written, readFile(golden)) << golden;
    }
    // Files of the data folder other than the database.
    std::vector<std::string> xmlFiles() const {
        std::vector<std::string> out;
        for (auto& e : fs::recursive_directory_iterator(folder.path()))
            if (e.is_regular_file() && e.path().filename() != "MAREL.DB") out.push_back(e.path().string());
        return out;
    }
    void reloadForm() {
        JOPO.OZNAKA = 1;
        ASSERT_EQ(JOPO.get(JOPO.KEYOZNAKA), 0);
    }
};

TEST_F(JoppdXmlTest, Acquirer01) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, NOCONTRIB, kNoContributions, 1);
    form(1, 1);
    expectGolden("acquirer01");
}

TEST_F(JoppdXmlTest, Acquirer02) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 2, AUTHOR, kAuthorFee, 1);  // lives in Split; the payer's place stays Zagreb
    form(1, 1);
    expectGolden("acquirer02");
}

TEST_F(JoppdXmlTest, Acquirer00) {
    person(3, "Mate", "Marić", "11111111119", 1, "4090");
    payment(1, Date::fromYmd(2014, 3, 10));
    line(1, 1, 3, NONTAXABLE, kNonTaxable, 4);
    form(1, 1);
    expectGolden("acquirer00");
}

TEST_F(JoppdXmlTest, Acquirer11BesideOtherIncome) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, DIVIDEND, kDividend, 1);
    line(2, 1, 2, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    expectGolden("acquirer11");
}

TEST_F(JoppdXmlTest, JanuaryNonTaxable) {
    payment(1, Date::fromYmd(2014, 1, 15));
    line(1, 1, 1, NONTAXABLE, kNonTaxable, 1);
    form(1, 1);
    expectGolden("january00");
}

TEST_F(JoppdXmlTest, TwoLinesOfOneRecipient) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee, 1);
    line(2, 1, 1, NOCONTRIB, kNoContributions, 4);
    payment(2, Date::fromYmd(2014, 2, 6));
    line(3, 2, 2, AUTHOR, kAuthorFee, 1);  // another payment's line stays out
    form(1, 1);
    expectGolden("samerecipient");
}

TEST_F(JoppdXmlTest, WorkMunicipalityOnTaxableIncome) {
    person(3, "Mate", "Marić", "11111111119", 1, "4090");
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 3, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    expectGolden("workmunicipality");
}

TEST_F(JoppdXmlTest, PrivatePersonAsPayer) {
    payer(2, "F", "Marko Babić", "94577403194");
    payment(1, Date::fromYmd(2014, 2, 5), 2);
    line(1, 1, 1, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    expectGolden("payerF");
}

// Each precondition is met in turn; until all are, nothing is written.
TEST_F(JoppdXmlTest, PreconditionsAreCheckedInOrder) {
    payment(1, Date::fromYmd(2014, 2, 5), 9);
    line(1, 1, 1, AUTHOR, kAuthorFee);
    form(1, 7);
    const auto attempt = [&](const char* expected) {
        ask.messages.clear();
        EXPECT_FALSE(FORMIRAJ(1));
        EXPECT_EQ(ask.texts(), std::vector<std::string>{expected});
        EXPECT_TRUE(xmlFiles().empty());
    };
    attempt("GREŠKA - ISPLATA");
    reloadForm();
    JOPO.ISPLATA = 1;
    JOPO.IMEAUTORA = "";
    JOPO.UJED = "";
    ASSERT_EQ(JOPO.put(), 0);
    attempt("GREŠKA - ISPLATITELJ");
    SUBJEKTI.clear();
    SUB.OZNAKA = 9;
    SUB.NAZIV = "Udruga Rijeka";
    SUB.TIP = "P";
    SUB.OIB = "12345678903";
    SUB.MJESTO = 9;
    SUB.ULICA = 9;
    ASSERT_EQ(SUBJEKTI.add(), 0);
    attempt("GREŠKA - MJESTO ISPLATITELJA");
    place(9, "Rijeka", 1);
    attempt("GREŠKA - ULICA ISPLATITELJA");
    street(9, "Korzo");
    attempt("NISU UNESENI SVI PODACI O AUTORU OBRASCA");
    reloadForm();
    JOPO.IMEAUTORA = "Ana";
    ASSERT_EQ(JOPO.put(), 0);
    attempt("NIJE FORMIRAN IDENTIFIKATOR XML OBRASCA (HEKSADECIMALNI BROJ)");
    reloadForm();
    JOPO.UJED = kIdentifier;
    ASSERT_EQ(JOPO.put(), 0);
    ask.messages.clear();
    EXPECT_TRUE(FORMIRAJ(1)) << (ask.messages.empty() ? "" : ask.last().text);
    EXPECT_EQ(xmlFiles().size(), 1u);
}

TEST_F(JoppdXmlTest, RefusedLineWritesNoIncompleteReport) {
    person(3, "Bez", "Oiba", "", 1);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    line(2, 1, 3, AUTHOR, kAuthorFee);
    form(1, 1);
    EXPECT_FALSE(FORMIRAJ(1));
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().caption, kCheckCaption);
    EXPECT_EQ(ask.last().text, "Primatelj Bez Oiba (OIB \"\"): nije unesen OIB.");
    EXPECT_TRUE(xmlFiles().empty());
    reloadForm();
    EXPECT_TRUE(JOPO.DATOTEKA.empty());
}

TEST_F(JoppdXmlTest, FileGoesToTheXmlFolderWhenThereIsOne) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    form(1, 1);
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    const fs::path plain = folder.path() / "JOP_14036_3f2a.xml";
    EXPECT_EQ(JOPO.DATOTEKA.str(), plain.string());
    EXPECT_TRUE(fs::exists(plain));

    fs::create_directory(folder.path() / "XML");
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    const fs::path inXml = folder.path() / "XML" / "JOP_14036_3f2a.xml";
    EXPECT_EQ(JOPO.DATOTEKA.str(), inXml.string());
    EXPECT_TRUE(fs::exists(inXml));

    // Written again later: the same name, rewritten with the new time.
    setJoppdClock([] { return Moment{Date::fromYmd(2014, 3, 13), 0}; });
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    EXPECT_EQ(JOPO.DATOTEKA.str(), inXml.string());
    EXPECT_NE(readFile(inXml).find("2014-03-13T00:00:00"), std::string::npos);
    EXPECT_EQ(xmlFiles().size(), 2u);
}

TEST_F(JoppdXmlTest, NamesFromTheDataAreEscaped) {
    payer(2, "P", "Horvat & sinovi <d.o.o.>", "94577403194");
    person(3, "Ivo \"Mali\"", "Kos & Kos", "11111111119", 1);
    payment(1, Date::fromYmd(2014, 2, 5), 2);
    line(1, 1, 3, AUTHOR, kAuthorFee);
    form(1, 1);
    reloadForm();
    JOPO.PREZIMEAUTORA = "Anić & Co";
    ASSERT_EQ(JOPO.put(), 0);
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    const std::string xml = readFile(JOPO.DATOTEKA.str());
    EXPECT_TRUE(wellFormed(xml));
    EXPECT_NE(xml.find("<Naziv>Horvat &amp; sinovi &lt;d.o.o.&gt;</Naziv>"), std::string::npos);
    EXPECT_NE(xml.find(">Ana Anić &amp; Co</Autor>"), std::string::npos);
    EXPECT_NE(xml.find("<P5>Ivo &quot;Mali&quot; Kos &amp; Kos</P5>"), std::string::npos);
}

// The author's name goes into the metadata as literal markup: every character
// that could end or open an element must be escaped there.
TEST_F(JoppdXmlTest, AuthorInTheMetadataIsEscaped) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    form(1, 1);
    reloadForm();
    JOPO.IMEAUTORA = "Ana <Mala>";
    JOPO.PREZIMEAUTORA = "\"Anić\" & Co";
    ASSERT_EQ(JOPO.put(), 0);
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    const std::string xml = readFile(JOPO.DATOTEKA.str());
    EXPECT_NE(xml.find(">Ana &lt;Mala&gt; &quot;Anić&quot; &amp; Co</Autor>"), std::string::npos) << xml;
    EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
}

TEST_F(JoppdXmlTest, BracketsLineStatesTheBaseItsTaxIsOn) {
    bracketsIncomeType(5);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, 5, kBracketsWithAllowance);
    form(1, 1);
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    const std::string xml = readFile(JOPO.DATOTEKA.str());
    for (const char* e : {"<P133>7111.38</P133>", "<P134>2200.00</P134>", "<P135>4911.38</P135>", "<P141>941.85</P141>"})
        EXPECT_NE(xml.find(e), std::string::npos) << e;
    EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
}

// A text field that goes into the file as it is: a control character in it
// (a paste from a word processor brings in \x0B for a line break) stops the
// run with the element named, and nothing is left in the folder.
TEST_F(JoppdXmlTest, ControlCharacterInAFieldWritesNoFileAndNamesTheElement) {
    struct Case {
        const char* element;
        std::function<void()> spoil;
    };
    auto payerField = [](auto set) {
        return [set] {
            SUB.OZNAKA = 1;
            ASSERT_EQ(SUBJEKTI.get(SUBJEKTI.KEYOZNAKA), 0);
            set();
            ASSERT_EQ(SUBJEKTI.put(), 0);
        };
    };
    auto formField = [](auto set) {
        return [set] {
            JOPO.OZNAKA = 1;
            ASSERT_EQ(JOPO.get(JOPO.KEYOZNAKA), 0);
            set();
            ASSERT_EQ(JOPO.put(), 0);
        };
    };
    auto recipient = [](const char* oib, LONG place, const char* workCode = nullptr) {
        return [=] {
            ASSERT_EQ(Store::main().exec("DELETE FROM OSOBE WHERE OZNAKA = 1"), 0);
            person(1, "Ivana", "Horvat", oib, place, workCode);
        };
    };
    const Case cases[] = {
        {"Broj", payerField([] { SUB.KUCNIBROJ = "1\x01"; })},
        {"OIB", payerField([] { SUB.OIB = "6943515153\x02"; })},
        {"Email", formField([] { JOPO.EMAIL = "ana.anic\x0B@secerana.hr"; })},
        {"Identifikator", formField([] { JOPO.UJED = "3f2a9c1e-5b7d-4e8f-9a0b-1c2d3e4f5a6\x1F"; })},
        // The recipient's identifier, the code of the municipality of work and
        // that of the municipality of residence.
        {"P4", recipient("1234567890\x03", 1)},
        {"P3", recipient("12345678903", 1, "01\x04" "33")},
        {"P2", recipient("12345678903", 3)},
    };
    municipality(3, "13\x1B" "3", "Pokvarena");
    place(3, "Negdje", 3);
    payment(1, Date::fromYmd(2014, 3, 10));
    line(1, 1, 1, NONTAXABLE, kNonTaxable, 4);  // the municipality of work is reported on it
    // Unspoilt, the same data gives a file the schema accepts.
    form(1, 1);
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
    fs::remove(JOPO.DATOTEKA.str());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        // Every case starts from data that gives a valid file.
        recipient("12345678903", 1)();
        ASSERT_EQ(Store::main().exec("DELETE FROM SUBJEKTI WHERE OZNAKA = 1"), 0);
        payer(1, "P", "Šećerana Čađavica, Đakovo d.o.o.");
        ASSERT_EQ(Store::main().exec("DELETE FROM JOPO"), 0);
        form(1, 1);
        c.spoil();
        ask.messages.clear();
        // Stored control characters read back as blanks: a value still
        // valid so gives a file the schema accepts.
        if (FORMIRAJ(1)) {
            reloadForm();
            EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
            fs::remove(JOPO.DATOTEKA.str());
            continue;
        }
        ASSERT_EQ(ask.messages.size(), 1u);
        // Refused by the check list before anything is written (an identifier
        // or code it checks), or by the writer naming the element.
        const MessageRequest& m = ask.messages[0];
        const bool byWriter =
            m.text.rfind("GREŠKA - XML DATOTEKA NIJE KREIRANA:\r\nPolje " + std::string(c.element) + " ", 0) == 0;
        EXPECT_TRUE(byWriter || m.caption == "Provjera prije kreiranja") << m.text;
        EXPECT_TRUE(xmlFiles().empty());
        reloadForm();
        EXPECT_TRUE(JOPO.DATOTEKA.empty());
    }
}

// Names are tidied on their way into the file (a control character becomes
// a blank), so the report is written and is one the tax authority accepts.
TEST_F(JoppdXmlTest, ControlCharactersInNamesBecomeBlanksAndTheFileIsValid) {
    payer(2, "P", "Šećerana\x0B\x0BČađavica d.o.o.", "94577403194");
    street(2, "Ilica\t\x01");
    ASSERT_EQ(Store::main().exec("UPDATE SUBJEKTI SET ULICA = 2 WHERE OZNAKA = 2"), 0);
    person(3, "Ivo\x0B", "Kos\x01Kos", "11111111119", 1);
    payment(1, Date::fromYmd(2014, 2, 5), 2);
    line(1, 1, 3, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    reloadForm();
    JOPO.IMEAUTORA = "Ana\x0B";
    ASSERT_EQ(JOPO.put(), 0);
    ASSERT_TRUE(FORMIRAJ(1));
    reloadForm();
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"XML datoteka kreirana:\r\n" + JOPO.DATOTEKA.str()});
    const std::string xml = readFile(JOPO.DATOTEKA.str());
    EXPECT_NE(xml.find("<Naziv>Šećerana Čađavica d.o.o.</Naziv>"), std::string::npos);
    EXPECT_NE(xml.find("<P5>Ivo Kos Kos</P5>"), std::string::npos);
    EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
}

TEST_F(JoppdXmlTest, FileThatCannotBeWrittenLeavesTheFormAlone) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    form(1, 1);
    // A folder in the file's place cannot be replaced by a file.
    const fs::path target = folder.path() / "JOP_14036_3f2a.xml";
    fs::create_directories(target / "inside");
    EXPECT_FALSE(FORMIRAJ(1));
    EXPECT_EQ(ask.texts(),
              std::vector<std::string>{"GREŠKA - XML DATOTEKA SE NE MOŽE KREIRATI:\r\n" + target.string()});
    EXPECT_TRUE(xmlFiles().empty());
    reloadForm();
    EXPECT_TRUE(JOPO.DATOTEKA.empty());
}

// The tax authority's schema stands behind the check list: a value the list
// does not look at (a report mark of four digits from old data) is refused
// by it, named with its value, and nothing is written.
TEST_F(JoppdXmlTest, SchemaRefusesWhatTheCheckListLetsThrough) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee);
    form(1, 1);
    ASSERT_EQ(Store::main().exec("UPDATE ISPLATE SET RSID = '1403' WHERE OZNAKA = 1"), 0);
    EXPECT_FALSE(FORMIRAJ(1));
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text.rfind("GREŠKA - XML DATOTEKA NIJE KREIRANA:\r\nDatoteka ne odgovara propisanoj "
                                    "strukturi: element StranaA/OznakaIzvjesca, vrijednost \"1403\"",
                                    0),
              0u)
        << ask.last().text;
    EXPECT_TRUE(xmlFiles().empty());
    reloadForm();
    EXPECT_TRUE(JOPO.DATOTEKA.empty());
}

// ---------------------------------------------------------------- check list

class JoppdCheckTest : public JoppdXmlTest {
protected:
    // Tries form 1; the file must not be written and the check list must be
    // the one window shown.
    std::vector<std::string> refused() {
        ask.messages.clear();
        EXPECT_FALSE(FORMIRAJ(1));
        EXPECT_TRUE(xmlFiles().empty());
        reloadForm();
        EXPECT_TRUE(JOPO.DATOTEKA.empty());
        if (ask.messages.size() != 1u || ask.last().caption != kCheckCaption) {
            ADD_FAILURE() << "no check list";
            return {};
        }
        std::vector<std::string> lines;
        std::string text = ask.last().text;
        for (size_t at = 0;;) {
            const size_t end = text.find("\r\n", at);
            lines.push_back(text.substr(at, end - at));
            if (end == std::string::npos) break;
            at = end + 2;
        }
        return lines;
    }
    void expectWritten() {
        ask.messages.clear();
        ASSERT_TRUE(FORMIRAJ(1)) << (ask.messages.empty() ? "" : ask.last().text);
        reloadForm();
        EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
    }
};

TEST_F(JoppdCheckTest, RecipientOibOfTenDigitsOrWithAWrongCheckDigit) {
    person(3, "Mate", "Marić", "1234567890", 1);
    person(4, "Ana", "Kovač", "12345678904", 1);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 3, AUTHOR, kAuthorFee, 1);
    line(2, 1, 4, AUTHOR, kAuthorFee, 1);
    line(3, 1, 3, NOCONTRIB, kNoContributions, 1);  // the same recipient is named once
    form(1, 1);
    EXPECT_EQ(refused(), (std::vector<std::string>{
                             "Primatelj Mate Marić (OIB \"1234567890\"): OIB nije ispravan (11 znamenki s ispravnom "
                             "kontrolnom znamenkom).",
                             "Primatelj Ana Kovač (OIB \"12345678904\"): OIB nije ispravan (11 znamenki s ispravnom "
                             "kontrolnom znamenkom).",
                         }));
}

TEST_F(JoppdCheckTest, MunicipalityCodeNotOfFourDigits) {
    municipality(3, "133", "Kratka");
    municipality(4, "", "Bez šifre");
    place(3, "Negdje", 3);
    place(4, "Drugdje", 4);
    person(7, "Mate", "Marić", "11111111119", 3);
    person(8, "Ana", "Kovač", "44444444446", 4);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 7, AUTHOR, kAuthorFee, 1);
    line(2, 1, 8, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    EXPECT_EQ(refused(), (std::vector<std::string>{"Općina Kratka: šifra \"133\" nema točno četiri znamenke.",
                                                   "Općina Bez šifre: šifra \"\" nema točno četiri znamenke."}));
}

TEST_F(JoppdCheckTest, WorkMunicipalityCodeOfThreeDigitsOnANonTaxableLine) {
    person(3, "Mate", "Marić", "11111111119", 1, "409");
    payment(1, Date::fromYmd(2014, 3, 10));
    line(1, 1, 3, NONTAXABLE, kNonTaxable, 4);
    form(1, 1);
    EXPECT_EQ(refused(), std::vector<std::string>{
                             "Primatelj Mate Marić (OIB \"11111111119\"): šifra općine rada \"409\" nema točno četiri "
                             "znamenke."});
}

TEST_F(JoppdCheckTest, CodesOutsideTheTablesAreNamedWithTheirIncomeType) {
    incomeType(5, "Krivi primitak", "02", "9999");
    incomeType(6, "Krivi stjecatelj", "07", "4001");
    incomeType(7, "Krivi neoporezivi", "00", "0000", 3);
    payment(1, Date::fromYmd(2014, 3, 10));
    line(1, 1, 1, 5, kAuthorFee, 1);
    line(2, 1, 1, 6, kAuthorFee, 1);
    line(3, 1, 2, 7, kNonTaxable, 9);
    form(1, 1);
    EXPECT_EQ(refused(), (std::vector<std::string>{
                             "Vrsta dohotka Krivi primitak: oznaka primitka \"9999\" nije u tablici oznaka primitaka.",
                             "Vrsta dohotka Krivi stjecatelj: oznaka stjecatelja \"07\" nije u tablici oznaka.",
                             "Vrsta dohotka Krivi neoporezivi: oznaka neoporezivog primitka 3 nije u tablici "
                             "neoporezivih primitaka.",
                             "Stavka dohotka br. 3: način isplate 9 nije poznat.",
                         }));
}

TEST_F(JoppdCheckTest, AuthorNameOfOneLetter) {
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    reloadForm();
    JOPO.IMEAUTORA = "A";
    ASSERT_EQ(JOPO.put(), 0);
    EXPECT_EQ(refused(), std::vector<std::string>{"Autor obrasca: ime mora imati od 2 do 128 znakova."});
    reloadForm();
    JOPO.IMEAUTORA = "Al";
    ASSERT_EQ(JOPO.put(), 0);
    expectWritten();
}

TEST_F(JoppdCheckTest, PaymentWithoutLinesIsRefused) {
    payment(1, Date::fromYmd(2014, 2, 5));
    form(1, 1);
    EXPECT_EQ(refused(), std::vector<std::string>{
                             "Isplata nema nijedne stavke dohotka: obrazac mora imati barem jednog primatelja."});
}

// Everything wrong with a payment comes in one list: the payer first, then
// the author, then the lines in their order.
TEST_F(JoppdCheckTest, EveryProblemIsListedAtOnce) {
    payer(2, "P", "Krivi d.o.o.", "69435151531");
    municipality(3, "133", "Kratka");
    place(3, "Negdje", 3);
    person(3, "Mate", "Marić", "1234567890", 3);
    incomeType(5, "Krivi primitak", "02", "9999");
    payment(1, Date::fromYmd(2014, 2, 5), 2);
    line(1, 1, 3, 5, kAuthorFee, 1);
    form(1, 1);
    reloadForm();
    JOPO.PREZIMEAUTORA = "X";
    ASSERT_EQ(JOPO.put(), 0);
    const std::vector<std::string> list = refused();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].rfind("Isplatitelj Krivi d.o.o.: OIB \"69435151531\"", 0), 0u) << list[0];
    EXPECT_EQ(list[1], "Autor obrasca: prezime mora imati od 2 do 128 znakova.");
    EXPECT_EQ(list[2].rfind("Vrsta dohotka Krivi primitak", 0), 0u) << list[2];
    EXPECT_EQ(list[3].rfind("Primatelj Mate Marić (OIB \"1234567890\")", 0), 0u) << list[3];
    EXPECT_EQ(list[4].rfind("Općina Kratka", 0), 0u) << list[4];
}

TEST_F(JoppdCheckTest, AmountsTheFileCannotCarryAreNamed) {
    JoppdRows rows;
    rows.VRIJEDNOSTB.emplace_back();
    JoppdRows::Row& row = rows.VRIJEDNOSTB.back();
    row.fill("0.00");
    row[0] = "1";
    row[4] = "Ivana Horvat";
    row[32] = "0";
    row[34] = "1";
    row[30] = "-5.00";  // tax may be negative in the file
    EXPECT_TRUE(amountProblems(rows).empty());
    row[15] = "-1.00";                  // gross may not
    row[36] = "12345678901234.00";      // sixteen digits
    rows.IZNOSA = {"1.00", "0.00", "0.00", "0.00", "0.00", "-1.00"};
    const std::vector<std::string> list = amountProblems(rows);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], "Redak 1 (Ivana Horvat): iznos P12 \"-1.00\" ne može se prijaviti (negativan ili više od 15 "
                       "znamenki).");
    EXPECT_NE(list[1].find("P17"), std::string::npos);
    EXPECT_EQ(list[2].rfind("Zbroj \"-1.00\"", 0), 0u);
}

// ---------------------------------------------------------------- more golden files

TEST_F(JoppdXmlTest, ContractForWork) {
    incomeType(5, "Ugovor o djelu", "02", "4030");
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, 5, kAuthorFee, 1);
    form(1, 1);
    expectGolden("contract4030");
}

TEST_F(JoppdXmlTest, PillarTwoNonMember) {
    // All 20 % of pension goes to pillar I.
    Amounts nonMember = kAuthorFee;
    nonMember[POZ_MIROVINSKOISTUP] = "140.00";
    nonMember[POZ_MIROVINSKOIISTUP] = "0.00";
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, nonMember, 1);
    form(1, 1);
    expectGolden("pillar2nonmember");
}

TEST_F(JoppdXmlTest, ThreeMunicipalities) {
    municipality(3, "3735", "Rijeka");
    place(3, "Rijeka", 3);
    person(3, "Mate", "Marić", "11111111119", 3);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, kAuthorFee, 1);
    line(2, 1, 2, NOCONTRIB, kNoContributions, 1);
    line(3, 1, 3, DIVIDEND, kDividend, 1);
    form(1, 1);
    expectGolden("threemunicipalities");
}

TEST_F(JoppdXmlTest, NamesWithMarkupCharacters) {
    payer(2, "P", "Horvat & sinovi <d.o.o.> 'Zlatni' \"Klas\"", "94577403194");
    person(3, "Ivo \"Mali\"", "O'Kos & <Kos>", "11111111119", 1);
    payment(1, Date::fromYmd(2014, 2, 5), 2);
    line(1, 1, 3, AUTHOR, kAuthorFee, 1);
    form(1, 1);
    reloadForm();
    JOPO.PREZIMEAUTORA = "Anić & <Co> 'd' \"x\"";
    ASSERT_EQ(JOPO.put(), 0);
    expectGolden("markupnames");
}

// A large payment: every line checked and written, and the file valid.
TEST_F(JoppdXmlTest, ThreeThousandLinesAreValid) {
    payment(1, Date::fromYmd(2014, 2, 5));
    ASSERT_EQ(Store::main().exec("BEGIN"), 0);
    const BYTE kinds[] = {AUTHOR, NOCONTRIB, DIVIDEND, AUTHOR};
    const Amounts* amounts[] = {&kAuthorFee, &kNoContributions, &kDividend, &kAuthorFee};
    for (LONG n = 1; n <= 3000; ++n) line(n, 1, 1 + n % 2, kinds[n % 4], *amounts[n % 4], SHORT(1 + n % 7));
    ASSERT_EQ(Store::main().exec("COMMIT"), 0);
    form(1, 1);
    ASSERT_TRUE(FORMIRAJ(1)) << (ask.messages.empty() ? "" : ask.last().text);
    reloadForm();
    EXPECT_EQ(schemaErrors(JOPO.DATOTEKA.str()), "");
    const std::string xml = readFile(JOPO.DATOTEKA.str());
    EXPECT_NE(xml.find("<BrojRedaka>3000</BrojRedaka>"), std::string::npos);
    EXPECT_NE(xml.find("<BrojOsoba>2</BrojOsoba>"), std::string::npos);
}

}  // namespace

TEST_F(JoppdXmlTest, BracketsTypeWithItsAllowance) {
    bracketsIncomeType(5);
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, 5, kBracketsWithAllowance, 1);
    form(1, 1);
    expectGolden("bracketsallowance");
}

TEST_F(JoppdXmlTest, LineWithCrisisTax) {
    // A fee cut by the crisis tax: the crisis tax has no place in the file,
    // which reports the line as calculated before it (the net in P162).
    Amounts crisis = kAuthorFee;
    crisis[POZ_KRIPOREZ] = "13.90";
    crisis[POZ_POSLIJEKRIPOREZ] = "680.90";
    payment(1, Date::fromYmd(2014, 2, 5));
    line(1, 1, 1, AUTHOR, crisis, 1);
    form(1, 1);
    expectGolden("crisistax");
}
