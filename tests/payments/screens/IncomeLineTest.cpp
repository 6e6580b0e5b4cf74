#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableView>

#include "payments/screens/IncomeLine.h"
#include "frame/Screens.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// The income-line form opened by the payment screen (here a stand-in window
// of the frame), on the supplied reference tables with one payer, one
// payment and a recipient living in a town with 18 % surtax.
class IncomeLineFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        setHaltHandler([](const std::string& text) { throw ProgramHalted{text}; });
        ASSERT_EQ(Store::main().open(folder.str(), suppliedDataDir()), 0) << storeErrorText();
        for (DataFile* f : allFiles()) ASSERT_EQ(useFile(*f), 0) << f->label();
        GLO.VRSTADOH = 0;
        Date::fixToday(Date::fromYmd(2014, 2, 5));

        OPCINE.clear();
        OPC.OZNAKA = 1;
        OPC.SHIFRA = "0133";
        OPC.STOPAPRIREZA = Decimal(18);
        ASSERT_EQ(OPCINE.add(), 0);
        MJESTA.clear();
        MJE.OZNAKA = 1;
        MJE.OPCINA = 1;
        MJE.NAZIV = "Zagreb";
        ASSERT_EQ(MJESTA.add(), 0);
        OSOBE.clear();
        OSO.OZNAKA = 1;
        OSO.IME = "Ivan";
        OSO.PREZIME = "Horvat";
        OSO.MJESTO = 1;
        OSO.DRUGISTUP = "DA";
        OSO.EMAIL = "0133x@mail";
        OSO.FAKTORODBITKA = 1;
        ASSERT_EQ(OSOBE.add(), 0);
        SUBJEKTI.clear();
        SUB.OZNAKA = 1;
        SUB.NAZIV = "Udruga Mreža";
        ASSERT_EQ(SUBJEKTI.add(), 0);
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ISP.ISPLATITELJ = 1;
        ISP.RSID = "14036";
        ISP.DATUM = Date::fromYmd(2014, 2, 5);
        ISP.GODINA = "2014";
        ASSERT_EQ(ISPLATE.add(), 0);

        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1100, 760);
        frame->show();
        caller = new QWidget;
        frame->area()->addSubWindow(caller)->show();
    }
    void TearDown() override {
        delete frame;
        Date::fixToday(Date());
        setPrompter(nullptr);
        setHaltHandler(nullptr);
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Store::main().close();
    }

    LONG insertLine(std::function<void(WindowBuilder&)> steps) {
        DOHOCI.clear();
        DOH.ISPLATA = 1;
        whenOpen(std::move(steps));
        return screens::UPDATEDOHOCI(caller).run(INSERTRECORD);
    }
    LONG changeLine(LONG line, std::function<void(WindowBuilder&)> steps) {
        DOHOCI.clear();
        DOH.OZNAKA = line;
        EXPECT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
        DOHOCI.watch();
        DOHOCI.get(DOHOCI.KEYOZNAKA);
        whenOpen(std::move(steps));
        return screens::UPDATEDOHOCI(caller).run(CHANGERECORD);
    }
    static std::string amount(LONG line, USHORT position) {
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBR.POZICIJA = position;
        return OBRACUN.get(OBRACUN.KEYDOHPOZ) == 0 ? OBR.IZNOS.value().toString(2) : "(none)";
    }
    static int64_t linesOf(LONG line) {
        int64_t n = 0;
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBRACUN.setFrom(OBRACUN.KEYDOHODAK);
        while (OBRACUN.next() == 0 && OBR.DOHODAK == line) ++n;
        return n;
    }
    static QString shown(WindowBuilder& f, const char* id) {
        if (auto* e = f.control<QLineEdit>(id)) return e->text().trimmed();
        if (auto* l = f.control<QLabel>(id)) return l->text().trimmed();
        return "(no control)";
    }
    // Types into an entry and leaves it with Tab, as a user does.
    static void enter(WindowBuilder& f, const char* id, const QString& text) {
        type(f, id, text);
        tab(f, id);
    }
    // The recipient's line, the author's fee type and a net of 694.80.
    static void authorsFee(WindowBuilder& f) {
        enter(f, "rednibroj", "1");
        enter(f, "djelatnik", "1");
        enter(f, "vrsta", "4");
        enter(f, "neto", "694,80");
    }

    TempFolder folder;
    ScriptedPrompter ask;
    MAIN* frame = nullptr;
    QWidget* caller = nullptr;
};

TEST_F(IncomeLineFormTest, ALineEnteredAsAUserDoesIsStoredWithItsCalculation) {
    const LONG answer = insertLine([this](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos dohotka");
        EXPECT_EQ(shown(f, "vrsta"), "10");  // nothing used yet: the highest code
        EXPECT_EQ(shown(f, "isplata"), "1");
        authorsFee(f);
        EXPECT_EQ(shown(f, "djelatnik.naziv"), "Ivan Horvat");
        EXPECT_EQ(shown(f, "sifra"), "0133");
        EXPECT_EQ(shown(f, "radopcina"), "0133");
        EXPECT_EQ(shown(f, "prirez"), "18,00");
        EXPECT_EQ(shown(f, "vrsta.naziv"), "Autorski honorar (izdaci 30 %)");
        EXPECT_EQ(shown(f, "bruto"), "1.000,00");
        EXPECT_EQ(shown(f, "pip"), "165,20");
        EXPECT_EQ(shown(f, "kstopa"), "0,000");
        auto* lines = f.root()->findChild<ListBrowserView*>();
        ASSERT_NE(lines, nullptr);
        // The payment method: none chosen is refused, then Žiro.
        click(f, "ubaci");
        EXPECT_EQ(ask.last().text, "NISTE ODABRALI NAČIN ISPLATE");
        QRadioButton* ziro = nullptr;
        for (QRadioButton* r : f.root()->findChildren<QRadioButton*>())
            if (r->text() == "Žiro - 2") ziro = r;
        ASSERT_NE(ziro, nullptr);
        QTest::mouseClick(ziro, Qt::LeftButton, {}, QPoint(6, ziro->height() / 2));  // on its circle
        click(f, "ubaci");
        click(f, "ok");
    });
    EXPECT_EQ(answer, REQUESTCOMPLETED);
    ASSERT_EQ(DOHOCI.records(), 1);
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    ASSERT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
    EXPECT_EQ(DOH.REDNIBROJ, 1);
    EXPECT_EQ(DOH.ISPLATA, 1);
    EXPECT_EQ(DOH.DJELATNIK, 1);
    EXPECT_EQ(DOH.VRSTADOHOTKA, 4);
    EXPECT_EQ(DOH.NETO.value().toString(2), "694.80");
    EXPECT_EQ(GLO.VRSTADOH, 4);
    EXPECT_EQ(linesOf(1), 12);
    const char* expected[] = {"1000.00", "0.00",   "300.00", "700.00", "105.00", "35.00",
                              "560.00",  "140.00", "25.20",  "694.80", "105.00", "0.00"};
    for (USHORT p = 1; p <= 12; ++p) EXPECT_EQ(amount(1, p), expected[p - 1]) << "position " << p;
    ASSERT_EQ(SVASTA.records(), 1);
    SVASTA.set();
    ASSERT_EQ(SVASTA.next(), 0);
    EXPECT_EQ(SVA.DOHODAK, 1);
    EXPECT_EQ(SVA.BROJ, 1);
    EXPECT_EQ(SVA.VRISHORT, 2);

    // The next line proposes the type used last; without a recipient nothing is calculated or saved.
    insertLine([this](WindowBuilder& f) {
        EXPECT_EQ(shown(f, "vrsta"), "4");
        enter(f, "neto", "100,00");
        EXPECT_EQ(ask.last().text, "Odaberi djelatnika");
        const size_t before = ask.messages.size();
        click(f, "ok");
        EXPECT_EQ(ask.messages.size(), before + 1);
        EXPECT_EQ(ask.last().text, "Odaberi djelatnika");
        click(f, "cancel");
    });
    EXPECT_EQ(DOHOCI.records(), 1);
}

TEST_F(IncomeLineFormTest, ANetTypedAndCalculatedAtOnceIsTheNetCalculated) {
    insertLine([this](WindowBuilder& f) {
        enter(f, "rednibroj", "1");
        enter(f, "djelatnik", "1");
        enter(f, "vrsta", "4");
        type(f, "neto", "1000,00");
        click(f, "izracun");  // straight from the entry, without Tab
        EXPECT_EQ(shown(f, "neto"), "1.000,00");
        EXPECT_EQ(shown(f, "bruto"), "1.439,26");
        click(f, "cancel");
    });
}

TEST_F(IncomeLineFormTest, CancellingANewLineLeavesNothingBehind) {
    const LONG answer = insertLine([](WindowBuilder& f) {
        authorsFee(f);
        QRadioButton* first = f.root()->findChildren<QRadioButton*>().front();
        QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(6, first->height() / 2));
        click(f, "ubaci");
        click(f, "kriporez");
        click(f, "cancel");
    });
    EXPECT_EQ(answer, REQUESTCANCELLED);
    EXPECT_EQ(DOHOCI.records(), 0);
    EXPECT_EQ(OBRACUN.records(), 0);
    EXPECT_EQ(SVASTA.records(), 0);
}

TEST_F(IncomeLineFormTest, CrisisTaxAndACancelledChange) {
    insertLine([](WindowBuilder& f) {
        authorsFee(f);
        click(f, "ok");
    });
    // Right after opening a saved line there is no crisis tax: the net stays whole.
    changeLine(1, [](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene");
        EXPECT_EQ(shown(f, "djelatnik.naziv"), "Ivan Horvat");
        click(f, "kriporez");
        click(f, "ok");
    });
    EXPECT_EQ(amount(1, 13), "0.00");
    EXPECT_EQ(amount(1, 14), "694.80");

    // In 2010 a net over 6000.00 paid 4 %. The net is changed, the crisis tax
    // taken, and the change cancelled: positions 1 to 12 follow the stored
    // net again, the crisis-tax lines stay as they were written.
    Date::fixToday(Date::fromYmd(2010, 6, 1));
    changeLine(1, [](WindowBuilder& f) {
        enter(f, "neto", "6000,00");
        EXPECT_EQ(shown(f, "kstopa"), "0,000");
        enter(f, "neto", "6000,01");
        EXPECT_EQ(shown(f, "kstopa"), "4,000");
        click(f, "kriporez");
        EXPECT_EQ(shown(f, "bruto"), "8.635,60");
        click(f, "cancel");
    });
    EXPECT_EQ(amount(1, 13), "240.00");
    EXPECT_EQ(amount(1, 14), "5760.01");
    EXPECT_EQ(amount(1, 10), "694.80");
    EXPECT_EQ(amount(1, 1), "1000.00");
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    ASSERT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
    EXPECT_EQ(DOH.NETO.value().toString(2), "694.80");
}

TEST_F(IncomeLineFormTest, LinesEnteredByHandAndAGrossForTheBrackets) {
    VRSTEDOH.clear();
    VRS.OZNAKA = 20;
    VRS.NAZIV = "Drugi dohodak po stopama";
    VRS.VISESTOPA = "DA";
    VRS.OSOBNIODBITAK = Decimal::parse("2200.00");
    ASSERT_EQ(VRSTEDOH.add(), 0);
    insertLine([this](WindowBuilder& f) {
        enter(f, "djelatnik", "1");
        enter(f, "vrsta", "20");
        enter(f, "neto", "1800,00");
        // A gross typed for a type taxed by the brackets is not used: the net decides.
        type(f, "bruto", "99999,00");
        click(f, "izbruta");
        EXPECT_EQ(shown(f, "bruto"), "1.800,00");
        EXPECT_EQ(shown(f, "neto"), "1.800,00");

        // Position 13 added by hand; the same position again is refused.
        whenOpen([](WindowBuilder& o) {
            EXPECT_EQ(title(o), "Adding a obracun Record");
            EXPECT_EQ(shown(o, "dohodak"), "1");
            type(o, "pozicija", "13");
            type(o, "iznos", "5.00");
            click(o, "ok");
        });
        click(f, "insert");
        EXPECT_EQ(amount(1, 13), "5.00");
        whenOpen([](WindowBuilder& o) {
            type(o, "pozicija", "8");
            type(o, "iznos", "1.00");
            click(o, "ok");
            click(o, "cancel");
        });
        click(f, "insert");
        EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:OBR:KeyDohPoz");
        EXPECT_EQ(linesOf(1), 13);
        click(f, "ok");
    });
    EXPECT_EQ(amount(1, 12), "1800.00");
    EXPECT_EQ(amount(1, 8), "0.00");
}

TEST_F(IncomeLineFormTest, AnotherStationsChangeIsNotOverwrittenAndTheLinesFollowIt) {
    insertLine([](WindowBuilder& f) {
        authorsFee(f);
        click(f, "ok");
    });
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    DohociFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);

    changeLine(1, [&](WindowBuilder& f) {
        // Meanwhile another station sets the net to 1389.60.
        theirs.OZNAKA = 1;
        ASSERT_EQ(theirs.get(theirs.KEYOZNAKA), 0);
        theirs.NETO = Decimal::parse("1389.60");
        ASSERT_EQ(theirs.put(), 0);

        enter(f, "neto", "100,00");
        click(f, "ok");
        EXPECT_EQ(ask.last().text,
                  "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
                  "Button or Ctrl+' to recall your changes.");
        EXPECT_EQ(shown(f, "neto"), "1.389,60");
        click(f, "ok");  // saved as the other station left it, with its lines
    });
    theirs.close();
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    ASSERT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
    EXPECT_EQ(DOH.NETO.value().toString(2), "1389.60");
    EXPECT_EQ(amount(1, 10), "1389.60");
    EXPECT_EQ(amount(1, 1), "2000.00");
}

TEST_F(IncomeLineFormTest, TheCrisisRateTakesZeroToAHundredPercentOnly) {
    insertLine([this](WindowBuilder& f) {
        authorsFee(f);
        const int beeps = ask.beeps;
        enter(f, "kstopa", "-4");  // no minus in the entry: refused as it is typed
        EXPECT_EQ(ask.beeps, beeps + 1);
        EXPECT_EQ(shown(f, "kstopa"), "4,000");
        enter(f, "kstopa", "150");
        EXPECT_EQ(ask.last().text, "Stopa kriznog poreza mora biti između 0 i 100 %.");
        EXPECT_EQ(shown(f, "kstopa"), "4,000");
        enter(f, "kstopa", "100");
        click(f, "kriporez");
        click(f, "ok");
    });
    EXPECT_EQ(amount(1, 13), "694.80");
    EXPECT_EQ(amount(1, 14), "0.00");
}

}  // namespace
