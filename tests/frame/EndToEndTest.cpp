// A bookkeeper's first payment on a fresh data folder, from the empty code
// lists to the JOPPD file, through the screens only: every record the test
// checks was entered by typing and clicking in the running frame.
#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableView>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <map>

#include "common/CheckDigits.h"
#include "payments/screens/Payments.h"
#include "frame/Screens.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// Runs `step` in the window titled `caption` once it is the active one (a
// chooser that another chooser's choice opens).
void whenTitled(QString caption, std::function<void(WindowBuilder&)> step, int tries = 200) {
    QTimer::singleShot(5, [=] {
        WindowBuilder* b = builderOf(activeContent());
        if (b && title(*b) == caption) step(*b);
        else if (tries == 0) ADD_FAILURE() << "no window " << caption.toStdString();
        else whenTitled(caption, step, tries - 1);
    });
}

// Takes the highlighted (first) row of the chooser that is open now.
void takeFirst(WindowBuilder& chooser) {
    auto* list = chooser.root()->findChild<QTableView*>();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Return);
}

// An OIB: ten digits and their MOD 11,10 check digit.
std::string oib(const std::string& ten) { return ten + std::to_string(mod11_10CheckDigit(ten)); }

// The text of every element of an XML file by its path of local names
// ("ObrazacJOPPD/StranaA/PodnositeljIzvjesca/OIB"), the first one of each
// path; empty when the file cannot be parsed.
std::map<std::string, std::string> xmlTexts(const std::string& file) {
    std::map<std::string, std::string> texts;
    xmlDocPtr doc = xmlReadFile(file.c_str(), nullptr, XML_PARSE_NONET);
    if (!doc) return texts;
    std::function<void(xmlNodePtr, const std::string&)> walk = [&](xmlNodePtr node, const std::string& parent) {
        for (xmlNodePtr n = node; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE) continue;
            const std::string path = (parent.empty() ? "" : parent + "/") + reinterpret_cast<const char*>(n->name);
            if (xmlChar* t = xmlNodeGetContent(n)) {
                texts.emplace(path, reinterpret_cast<const char*>(t));
                xmlFree(t);
            }
            walk(n->children, path);
        }
    };
    walk(xmlDocGetRootElement(doc), "");
    xmlFreeDoc(doc);
    return texts;
}

class EndToEndTest : public StoreFixture {
protected:
    void SetUp() override {
        // The fixture's store has no reference tables; this one starts as a
        // new installation does, a new database receiving the supplied ones.
        StoreFixture::SetUp();
        const std::string database = Store::main().path();
        Store::main().close();
        fs::remove(database);
        ASSERT_EQ(Store::main().open(folder.str(), suppliedDataDir()), 0) << storeErrorText();
        // Mid-April 2014: health insurance at 15 % without doubt.
        Date::fixToday(Date::fromYmd(2014, 4, 15));
        GLO.AKCIJA = "";
        GLO.VRSTADOH = 0;
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
    }
    void TearDown() override {
        delete frame;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Date::fixToday(Date());
        StoreFixture::TearDown();
    }
    template <class W = ListWindow>
    W* open(const std::string& screen) {
        return openScreen<W>(*frame, screen);
    }
    static QString text(WindowBuilder& f, const std::string& id) {
        if (auto* e = f.control<QLineEdit>(id)) return e->text().trimmed();
        if (auto* l = f.control<QLabel>(id)) return l->text().trimmed();
        return "(no control " + QString::fromStdString(id) + ")";
    }
    static void enter(WindowBuilder& f, const std::string& id, const QString& value) {
        type(f, id, value);
        tab(f, id);
    }
    static void clickRadio(WindowBuilder& f, const QString& caption) {
        for (QRadioButton* r : f.root()->findChildren<QRadioButton*>())
            if (r->text() == caption) {
                QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2));  // on its circle
                return;
            }
        ADD_FAILURE() << "no radio " << caption.toStdString();
    }
    static std::string amount(LONG line, USHORT position) {
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBR.POZICIJA = position;
        return OBRACUN.get(OBRACUN.KEYDOHPOZ) == 0 ? OBR.IZNOS.value().toString(2) : "(none)";
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : ask.messages) t.push_back(m.text);
        return t;
    }

    // ---- the steps, each a screen as the bookkeeper works it

    // The municipality and, in the form that follows at once, its first place.
    void enterMunicipalityAndPlace() {
        ListWindow* w = open("OPCINE");
        ASSERT_NE(w, nullptr);
        whenOpen([](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Unos nove općine");
            type(f, "naziv", "Grad Zagreb");
            enter(f, "shifra", "0133");
            type(f, "stopa", "18,00");
            click(f, "ok");
        });
        bool placeForm = false;
        click(w->builder(), "insert");
        whenOpen([&placeForm](WindowBuilder& f) {
            placeForm = true;
            EXPECT_EQ(title(f), "Upis mjesta u šifrarnik");
            EXPECT_EQ(text(f, "opcina.naziv"), "Grad Zagreb");
            type(f, "naziv", "Zagreb");
            type(f, "postbroj", "10000");
            click(f, "ok");
        });
        QTest::qWait(50);
        ASSERT_TRUE(placeForm);
        frame->area()->closeAllSubWindows();
    }

    void enterStreetAndBank() {
        ListWindow* streets = open("ULICE");
        ASSERT_NE(streets, nullptr);
        whenOpen([](WindowBuilder& f) {
            type(f, "naziv", "Ilica");
            click(f, "ok");
        });
        click(streets->builder(), "insert");
        ListWindow* banks = open("BANKE");
        ASSERT_NE(banks, nullptr);
        whenOpen([](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Upis banke u šifrarnik");
            type(f, "naziv", "Zagrebačka banka");
            type(f, "vodeci", "2360000");
            click(f, "ok");
        });
        click(banks->builder(), "insert");
        frame->area()->closeAllSubWindows();
    }

    // The payer: a legal person with its place and street chosen from the
    // lists (choosing the place brings the streets at once) and its account.
    void enterPayer() {
        ListWindow* w = open("SUBJEKTI");
        ASSERT_NE(w, nullptr);
        whenOpen([this](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Unos isplatitelja");
            type(f, "naziv", "Udruga Lipa");
            clickRadio(f, "&Pravna");
            type(f, "porezni", "0123456");
            type(f, "oib", QString::fromStdString(payerOib));
            whenOpen([](WindowBuilder& places) {
                takeFirst(places);
                whenTitled("Pregled ulica", takeFirst);
            });
            click(f, "mjesto.lookup");
            QTest::qWait(20);
            EXPECT_EQ(text(f, "mjesto.naziv"), "Zagreb");
            EXPECT_EQ(text(f, "ulica.naziv"), "Ilica");
            type(f, "kucnibroj", "12");
            whenOpen(takeFirst);
            click(f, "banka.lookup");
            EXPECT_EQ(text(f, "banka.naziv"), "Zagrebačka banka");
            enter(f, "racun", "1101234565");
            EXPECT_EQ(text(f, "rkont") + text(f, "vodeci") + text(f, "racun"), "HR1723600001101234565");
            click(f, "ok");
        });
        click(w->builder(), "insert");
        frame->area()->closeAllSubWindows();
    }

    // The recipient, the same way; the IBAN check digits come from the form.
    void enterRecipient() {
        ListWindow* w = open("OSOBE");
        ASSERT_NE(w, nullptr);
        whenOpen([this](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Unos novog primatelja");
            type(f, "ime", "Ivan");
            type(f, "prezime", "Horvat");
            type(f, "oib", QString::fromStdString(recipientOib));
            whenOpen([](WindowBuilder& places) {
                takeFirst(places);
                whenTitled("Pregled ulica", takeFirst);
            });
            click(f, "mjesto.lookup");
            QTest::qWait(20);
            EXPECT_EQ(text(f, "mjesto.naziv"), "Zagreb");
            EXPECT_EQ(text(f, "ulica.naziv"), "Ilica");
            type(f, "kucniBroj", "5");
            whenOpen(takeFirst);
            click(f, "banka.lookup");
            QTest::qWait(20);
            EXPECT_EQ(text(f, "banka.naziv"), "Zagrebačka banka");
            enter(f, "racun", "3200012345");
            // 2360000 3200012345 HR00 -> 98 - (236000032000123451727 00 mod 97) = 26
            EXPECT_EQ(text(f, "rkont"), "HR26");
            click(f, "ok");
        });
        click(w->builder(), "insert");
        frame->area()->closeAllSubWindows();
    }

    const std::string payerOib = oib("6943515153");
    const std::string recipientOib = oib("1234567890");
    MAIN* frame = nullptr;
};

TEST_F(EndToEndTest, FirstPaymentFromEmptyCodeListsToTheJoppdFile) {
    ASSERT_NO_FATAL_FAILURE(enterMunicipalityAndPlace());
    ASSERT_NO_FATAL_FAILURE(enterStreetAndBank());
    ASSERT_NO_FATAL_FAILURE(enterPayer());
    ASSERT_NO_FATAL_FAILURE(enterRecipient());
    EXPECT_TRUE(ask.messages.empty()) << ask.last().text;

    // What the code lists hold now, each entered once. (The test reads the
    // files through its own use, so they stay open between the screens.)
    openFiles({&OPCINE, &MJESTA, &SUBJEKTI, &OSOBE, &ISPLATE, &DOHOCI, &OBRACUN, &SVASTA, &JOPO});
    OPCINE.clear();
    OPC.OZNAKA = 1;
    ASSERT_EQ(OPCINE.get(OPCINE.KEYOZNAKA), 0);
    EXPECT_EQ(OPC.SHIFRA.str(), "0133");
    EXPECT_EQ(Decimal(OPC.STOPAPRIREZA), Decimal(18));
    MJESTA.clear();
    MJE.OZNAKA = 1;
    ASSERT_EQ(MJESTA.get(MJESTA.KEYOZNAKA), 0);
    EXPECT_EQ(MJE.OPCINA, 1);
    EXPECT_EQ(MJE.POSTBROJ.str(), "10000");
    SUBJEKTI.clear();
    SUB.OZNAKA = 1;
    ASSERT_EQ(SUBJEKTI.get(SUBJEKTI.KEYOZNAKA), 0);
    EXPECT_EQ(SUB.TIP.str(), "P");
    EXPECT_EQ(SUB.OIB.str(), payerOib);
    EXPECT_EQ(SUB.MJESTO, 1);
    EXPECT_EQ(SUB.ULICA, 1);
    EXPECT_EQ(SUB.BANKA, 1);
    EXPECT_EQ(SUB.RKONT.str(), "HR17");
    OSOBE.clear();
    OSO.OZNAKA = 1;
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    EXPECT_EQ(OSO.OIB.str(), recipientOib);
    EXPECT_EQ(OSO.MJESTO, 1);
    EXPECT_EQ(OSO.ULICA, 1);
    EXPECT_EQ(OSO.RKONT.str() + "2360000" + OSO.RACUN.str(), "HR2623600003200012345");

    // The payment of 15 April 2014 (day 105) with one line: contract for work
    // (type 1), 1.000,00 paid out net, by bank transfer.
    auto* payments = open<screens::ISPLATE_SCREEN>("ISPLATE");
    ASSERT_NE(payments, nullptr);
    ASSERT_EQ(payments->view(1)->browser().rows().size(), 1u);  // the payer, highlighted
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos nove isplate");
        EXPECT_EQ(text(f, "naziv"), "Udruga Lipa");
        EXPECT_EQ(text(f, "datum"), "15.04.2014.");
        EXPECT_EQ(text(f, "rsid"), "14105");
        whenOpen([](WindowBuilder& line) {
            EXPECT_EQ(title(line), "Unos dohotka");
            EXPECT_EQ(text(line, "isplata"), "1");
            enter(line, "rednibroj", "1");
            enter(line, "djelatnik", "1");
            EXPECT_EQ(text(line, "djelatnik.naziv"), "Ivan Horvat");
            enter(line, "vrsta", "1");
            EXPECT_EQ(text(line, "vrsta.naziv"), "Ugovor o djelu (MIO I. i II. stup)");
            EXPECT_EQ(text(line, "prirez"), "18,00");
            enter(line, "neto", "1000,00");
            EXPECT_EQ(text(line, "bruto"), "1.773,05");
            clickRadio(line, "Žiro - 2");
            click(line, "ubaci");
            click(line, "ok");
        });
        click(f, "d.insert");
        auto* lines = f.root()->findChild<ListBrowserView*>();
        ASSERT_NE(lines, nullptr);
        EXPECT_EQ(lines->table()->model()->rowCount(), 1);
        click(f, "ok");
    });
    click(payments->builder(), "insert");
    EXPECT_TRUE(ask.messages.empty()) << ask.last().text;

    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    EXPECT_EQ(ISPLATE.records(), 1);
    EXPECT_EQ(ISP.ISPLATITELJ, 1);
    EXPECT_EQ(ISP.DATUM, Date::fromYmd(2014, 4, 15));
    EXPECT_EQ(ISP.RSID.str(), "14105");
    EXPECT_EQ(ISP.GODINA.str(), "2014");

    ASSERT_EQ(DOHOCI.records(), 1);
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    ASSERT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
    EXPECT_EQ(DOH.ISPLATA, 1);
    EXPECT_EQ(DOH.REDNIBROJ, 1);
    EXPECT_EQ(DOH.DJELATNIK, 1);
    EXPECT_EQ(DOH.VRSTADOHOTKA, 1);
    EXPECT_EQ(DOH.NETO.value().toString(2), "1000.00");

    // By hand, type 1 (no expenses, pension 15 % + 5 %, health 15 %, tax 25 %)
    // and 18 % surtax on the tax:
    //   net = gross * (1 - 0.20) * (1 - 0.25 * 1.18) = gross * 0.80 * 0.705 = gross * 0.564
    //   gross = 1000 / 0.564 = 1773.0496... -> 1773.05
    //   pillar I 15 % of 1773.05 = 265.9575 -> 265.96; pillar II 5 % = 88.6525 -> 88.65
    //   income 1773.05 - 265.96 - 88.65 = 1418.44
    //   tax 25 % = 354.61; surtax 1418.44 * 0.295 - 354.61 = 418.4398 - 354.61 -> 63.83
    //   the gross rebuilt from the rounded parts: 1000 + 265.96 + 88.65 + 354.61 + 63.83 = 1773.05
    //   health 15 % of 1773.05 = 265.9575 -> 265.96; employment 0
    EXPECT_EQ(OBRACUN.records(), 12);
    const char* expected[] = {"1773.05", "0.00",   "0.00",  "1773.05", "265.96", "88.65",
                              "1418.44", "354.61", "63.83", "1000.00", "265.96", "0.00"};
    for (USHORT p = 1; p <= 12; ++p) EXPECT_EQ(amount(1, p), expected[p - 1]) << "position " << p;

    ASSERT_EQ(SVASTA.records(), 1);
    SVASTA.set();
    ASSERT_EQ(SVASTA.next(), 0);
    EXPECT_EQ(SVA.DOHODAK, 1);
    EXPECT_EQ(SVA.BROJ, 1);
    EXPECT_EQ(SVA.VRISHORT, 2);

    // The JOPPD form of the payment, then its file from the forms list once
    // the author is filled in.
    click(payments->builder(), "jopkreiranje");
    EXPECT_EQ(texts(), std::vector<std::string>{"OBRAZAC KREIRAN"});
    ASSERT_EQ(JOPO.records(), 1);
    frame->area()->closeAllSubWindows();

    ListWindow* forms = open("JOPOOBRASCI");
    ASSERT_NE(forms, nullptr);
    ASSERT_EQ(forms->view()->table()->model()->rowCount(), 1);
    EXPECT_EQ(forms->view()->table()->model()->index(0, 1).data().toString().trimmed(), "14105");
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene");
        type(f, "ime", "Ana");
        type(f, "prezime", "Anić");
        type(f, "email", "ana@lipa.hr");
        click(f, "ok");
    });
    click(forms->builder(), "change");
    ask.messages.clear();
    click(forms->builder(), "xml");
    const std::string file = text(forms->builder(), "datoteka").toStdString();
    EXPECT_EQ(texts(), std::vector<std::string>{"XML datoteka kreirana:\r\n" + file});
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(fs::path(file).filename().string().substr(0, 10), "JOP_14105_");
    const auto elements = xmlTexts(file);
    ASSERT_FALSE(elements.empty()) << "not well-formed: " << file;
    auto xml = [&elements](const std::string& path) {
        const auto it = elements.find(path);
        return it == elements.end() ? "(missing " + path + ")" : it->second;
    };
    const std::string a = "ObrazacJOPPD/StranaA/", b = "ObrazacJOPPD/StranaB/Primatelji/P/";
    EXPECT_EQ(xml(a + "OznakaIzvjesca"), "14105");
    EXPECT_EQ(xml(a + "PodnositeljIzvjesca/OIB"), payerOib);
    EXPECT_EQ(xml(a + "PodnositeljIzvjesca/Oznaka"), "1");  // a legal person
    EXPECT_EQ(xml(a + "BrojOsoba"), "1");
    EXPECT_EQ(xml(a + "BrojRedaka"), "1");
    EXPECT_EQ(xml(a + "PredujamPoreza/P5"), "418.44");  // tax and surtax of other income
    EXPECT_EQ(xml(a + "Doprinosi/GeneracijskaSolidarnost/P2"), "265.96");
    EXPECT_EQ(xml(a + "Doprinosi/KapitaliziranaStednja/P2"), "88.65");
    EXPECT_EQ(xml(a + "Doprinosi/ZdravstvenoOsiguranje/P5"), "265.96");
    EXPECT_EQ(xml(b + "P2"), "00133");  // residence: Zagreb
    EXPECT_EQ(xml(b + "P3"), "00000");  // no work municipality for other income
    EXPECT_EQ(xml(b + "P4"), recipientOib);
    EXPECT_EQ(xml(b + "P5"), "Ivan Horvat");
    EXPECT_EQ(xml(b + "P61"), "4002");  // acquirer and receipt codes of type 1
    EXPECT_EQ(xml(b + "P62"), "4030");
    EXPECT_EQ(xml(b + "P11"), "1773.05");  // receipt
    EXPECT_EQ(xml(b + "P12"), "1773.05");  // base of the contributions
    EXPECT_EQ(xml(b + "P121"), "265.96");  // pillar I
    EXPECT_EQ(xml(b + "P122"), "88.65");   // pillar II
    EXPECT_EQ(xml(b + "P123"), "265.96");  // health
    EXPECT_EQ(xml(b + "P132"), "354.61");  // pension contributions as expense: 265.96 + 88.65
    EXPECT_EQ(xml(b + "P133"), "1418.44"); // income
    EXPECT_EQ(xml(b + "P135"), "1418.44"); // tax base
    EXPECT_EQ(xml(b + "P141"), "354.61");  // tax
    EXPECT_EQ(xml(b + "P142"), "63.83");   // surtax
    EXPECT_EQ(xml(b + "P161"), "2");       // by bank transfer
    EXPECT_EQ(xml(b + "P162"), "1000.00"); // paid out
}

}  // namespace
