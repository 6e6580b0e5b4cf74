#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTableView>

#include "codelists/screens/Municipalities.h"
#include "preview/ReportPreview.h"
#include "frame/Screens.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/Application.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// Municipalities and places in the running frame, worked as a bookkeeper
// does: keys, buttons, the forms and choosers they open.
class MunicipalitiesTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1100, 800);
        frame->show();
        GLO.AKCIJA = "";
    }
    void TearDown() override {
        delete frame;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<REPORTPREVIEW*>(w)) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StoreFixture::TearDown();
    }
    ListWindow* open(const std::string& screen) {
        return openScreen<ListWindow>(*frame, screen);
    }
    // Reference data as earlier sessions left it.
    void municipality(LONG number, const char* name, const char* code, const char* rate) {
        openFiles({&OPCINE});
        OPCINE.clear();
        OPC.OZNAKA = number;
        OPC.NAZIV = name;
        OPC.SHIFRA = code;
        OPC.STOPAPRIREZA = Decimal::parse(rate);
        ASSERT_EQ(OPCINE.add(), 0);
    }
    void place(LONG number, const char* name, LONG municipality, const char* post) {
        openFiles({&MJESTA});
        MJESTA.clear();
        MJE.OZNAKA = number;
        MJE.NAZIV = name;
        MJE.OPCINA = municipality;
        MJE.POSTBROJ = post;
        ASSERT_EQ(MJESTA.add(), 0);
    }
    static bool readMunicipality(LONG number) {
        OPCINE.clear();
        OPC.OZNAKA = number;
        return OPCINE.get(OPCINE.KEYOZNAKA) == 0;
    }
    static bool readPlace(LONG number) {
        MJESTA.clear();
        MJE.OZNAKA = number;
        return MJESTA.get(MJESTA.KEYOZNAKA) == 0;
    }
    static QString cell(ListWindow* w, int row, int column = 0, size_t list = 0) {
        return w->view(list)->table()->model()->index(row, column).data().toString().trimmed();
    }
    static int rows(ListWindow* w, size_t list = 0) { return w->view(list)->table()->model()->rowCount(); }
    static QString text(WindowBuilder& b, const char* id) {
        if (auto* e = b.control<QLineEdit>(id)) return e->text().trimmed();
        if (auto* l = b.control<QLabel>(id)) return l->text().trimmed();
        return "(none)";
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : ask.messages) t.push_back(m.text);
        return t;
    }
    MAIN* frame = nullptr;
};

const char* const kTooShort = "Unesi četveroznamenkastu shifru grada ili barem prve tri znamenke";

// ---------------------------------------------------------------- UPISOPCINE

TEST_F(MunicipalitiesTest, NewMunicipalityGetsItsIbanAndGoesOnToItsFirstPlace) {
    ListWindow* w = open("OPCINE");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Pregled općina");
    bool placeFormSeen = false;
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos nove općine");
        // The form's window opens at the size of the form, not shrunk to its title.
        EXPECT_EQ(f.root()->size(), QSize(f.pixelsX(214), f.pixelsY(106)));
        type(f, "naziv", "Zagreb");
        type(f, "shifra", "1234");
        tab(f, "shifra");  // no account yet: it is built at once
        EXPECT_EQ(text(f, "rkont"), "HR18");
        EXPECT_EQ(text(f, "racun"), "1712312007");
        type(f, "stopa", "18");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    EXPECT_EQ(GLO.AKCIJA, "UnesiMjesto");
    // The place form follows by itself, with the new municipality in it.
    whenOpen([&placeFormSeen](WindowBuilder& f) {
        placeFormSeen = true;
        EXPECT_EQ(title(f), "Upis mjesta u šifrarnik");
        EXPECT_EQ(f.control("opcina.lookup"), nullptr);
        EXPECT_EQ(text(f, "opcina"), "1");
        EXPECT_EQ(text(f, "opcina.naziv"), "Zagreb");
        type(f, "naziv", "Sesvete");
        type(f, "postbroj", "10360");
        click(f, "ok");
    });
    QTest::qWait(50);
    EXPECT_TRUE(placeFormSeen);
    EXPECT_TRUE(ask.messages.empty());
    EXPECT_EQ(GLO.AKCIJA, "");

    ASSERT_TRUE(readMunicipality(1));
    EXPECT_EQ(OPC.NAZIV, "Zagreb");
    EXPECT_EQ(OPC.SHIFRA, "1234");
    EXPECT_EQ(OPC.RKONT.str() + "1001005" + OPC.RACUNPOREZ.str(), "HR1810010051712312007");
    EXPECT_EQ(Decimal(OPC.STOPAPRIREZA), Decimal(18));
    ASSERT_TRUE(readPlace(1));
    EXPECT_EQ(MJE.NAZIV, "Sesvete");
    EXPECT_EQ(MJE.OPCINA, 1);
    EXPECT_EQ(MJE.POSTBROJ, "10360");
    ASSERT_EQ(rows(w, 1), 1);
    EXPECT_EQ(cell(w, 0, 0, 1), "Sesvete");

    // Changing the municipality afterwards does not ask for a place.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene podataka o općini");
        click(f, "ok");
    });
    click(w->builder(), "change");
    QTest::qWait(20);
    EXPECT_EQ(GLO.AKCIJA, "");
    EXPECT_EQ(MJESTA.records(), 1);
}

TEST_F(MunicipalitiesTest, ShortCodeIsRefusedAndTheMunicipalityIsNotSavedWithoutOne) {
    ListWindow* w = open("OPCINE");
    ASSERT_NE(w, nullptr);
    whenOpen([this](WindowBuilder& f) {
        type(f, "naziv", "Krk");
        type(f, "shifra", "12");
        tab(f, "shifra");
        ASSERT_EQ(ask.messages.size(), 1u);
        EXPECT_EQ(ask.last().text, kTooShort);
        EXPECT_EQ(text(f, "shifra"), "");
        EXPECT_EQ(text(f, "racun"), "");
        click(f, "ok");  // the rule runs again on the cleared code: the form stays
        EXPECT_TRUE(f.root()->isVisible());
        // Three digits make an account, but no code the JOPPD file can carry.
        type(f, "shifra", "133");
        click(f, "ok");
        EXPECT_TRUE(f.root()->isVisible());
        click(f, "cancel");
    });
    QTest::keyClick(w->view()->table(), Qt::Key_Insert);
    EXPECT_EQ(texts(), (std::vector<std::string>{kTooShort, "Unesi šifru općine/grada",
                                                 "Šifra grada/općine mora imati točno četiri znamenke."}));
    EXPECT_FALSE(readMunicipality(1));
}

TEST_F(MunicipalitiesTest, IbanButtonAndOkBuildTheAccountFromTheCode) {
    municipality(1, "Dubrovnik", "0000", "10");
    ListWindow* w = open("OPCINE");
    ASSERT_NE(w, nullptr);
    whenOpen([](WindowBuilder& f) {
        type(f, "shifra", "0133");
        click(f, "iban");  // reads the code as typed
        EXPECT_EQ(text(f, "rkont"), "HR24");
        EXPECT_EQ(text(f, "racun"), "1701312002");
        type(f, "shifra", "1095");
        click(f, "ok");  // the account follows the code that is saved
    });
    click(w->builder(), "change");
    ASSERT_TRUE(readMunicipality(1));
    EXPECT_EQ(OPC.SHIFRA, "1095");
    EXPECT_EQ(OPC.RKONT.str() + "1001005" + OPC.RACUNPOREZ.str(), "HR8310010051710912000");
    EXPECT_TRUE(ask.messages.empty());

    // A code that is not a number is refused and the form stays; a blank
    // name is only pointed out.
    whenOpen([](WindowBuilder& f) {
        type(f, "naziv", "");
        QTest::keyClick(f.control("naziv"), Qt::Key_Backspace);
        type(f, "shifra", "12a");
        click(f, "ok");
        EXPECT_TRUE(f.root()->isVisible());
        click(f, "cancel");
    });
    click(w->builder(), "change");
    EXPECT_EQ(texts(), (std::vector<std::string>{"Unesi brojčanu šifru", "Unesi naziv općine"}));
    ASSERT_TRUE(readMunicipality(1));
    EXPECT_EQ(OPC.SHIFRA, "1095");  // nothing of the refused change is saved
}

TEST_F(MunicipalitiesTest, SurtaxRateStepsWithArrowKeysAndButtons) {
    municipality(1, "Zadar", "1234", "12");
    ListWindow* w = open("OPCINE");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->builder().control<QLabel>("stopa")->text(), "12,000");
    whenOpen([](WindowBuilder& f) {
        type(f, "stopa", "12,5");
        QWidget* rate = f.control("stopa");
        QTest::keyClick(rate, Qt::Key_Up);  // takes what was typed, one point up
        EXPECT_EQ(text(f, "stopa"), "13,50");
        QTest::keyClick(rate, Qt::Key_Down);
        QTest::keyClick(rate, Qt::Key_Down);
        EXPECT_EQ(text(f, "stopa"), "11,50");
        click(f, "stopa.up");
        EXPECT_EQ(text(f, "stopa"), "12,50");
        type(f, "stopa", "0,5");
        click(f, "stopa.down");  // a surtax rate never goes below nothing
        EXPECT_EQ(text(f, "stopa"), "0,00");
        click(f, "stopa.up");
        click(f, "stopa.up");
        click(f, "ok");
    });
    click(w->builder(), "change");
    ASSERT_TRUE(readMunicipality(1));
    EXPECT_EQ(Decimal(OPC.STOPAPRIREZA), Decimal(2));
    EXPECT_EQ(w->builder().control<QLabel>("stopa")->text(), "2,000");
    EXPECT_EQ(cell(w, 0, 2), "2,000");
}

// ---------------------------------------------------------------- OPCINE lists

TEST_F(MunicipalitiesTest, PlacesFollowTheHighlightedMunicipality) {
    municipality(1, "Zagreb", "1333", "18");
    municipality(2, "Samobor", "3573", "10");
    municipality(3, "Velika Gorica", "4960", "0");
    place(1, "Sesvete", 1, "10360");
    place(2, "Zagreb", 1, "10000");
    place(3, "Samobor", 2, "10430");
    ListWindow* w = open("OPCINE");
    ASSERT_NE(w, nullptr);
    QTableView* towns = w->view()->table();
    ASSERT_EQ(rows(w), 3);
    EXPECT_EQ(cell(w, 0), "Samobor");
    EXPECT_EQ(cell(w, 0, 1), "3573");
    ASSERT_EQ(rows(w, 1), 1);
    EXPECT_EQ(cell(w, 0, 0, 1), "Samobor");
    EXPECT_EQ(cell(w, 0, 1, 1), "10430");
    EXPECT_EQ(w->builder().control<QLabel>("stopa")->text(), "10,000");

    QTest::keyClick(towns, Qt::Key_Down);  // Velika Gorica: no places
    EXPECT_EQ(rows(w, 1), 0);
    EXPECT_FALSE(w->builder().control("mje.change")->isEnabled());
    EXPECT_EQ(w->builder().control<QLabel>("stopa")->text(), "");

    // The name typed below the list finds the municipality.
    type(w->builder(), "locator", "zag");
    QTest::keyClick(w->builder().control("locator"), Qt::Key_Return);
    EXPECT_EQ(w->view()->browser().selectedRow()->values[0], "Zagreb");
    EXPECT_TRUE(towns->hasFocus());
    ASSERT_EQ(rows(w, 1), 2);
    EXPECT_EQ(w->builder().control<QLabel>("stopa")->text(), "18,000");

    // A place entered below belongs to the highlighted municipality.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(text(f, "opcina"), "1");
        EXPECT_EQ(text(f, "opcina.naziv"), "Zagreb");
        type(f, "naziv", "Lučko");
        click(f, "ok");
    });
    click(w->builder(), "mje.insert");
    ASSERT_TRUE(readPlace(4));
    EXPECT_EQ(MJE.OPCINA, 1);
    EXPECT_EQ(rows(w, 1), 3);
    EXPECT_TRUE(ask.messages.empty());

    // Zagreb has places: its delete is refused and it stays.
    ask.answers = {BUTTON_OK, BUTTON_OK, BUTTON_NO};
    QTest::keyClick(towns, Qt::Key_Delete);
    ASSERT_GE(ask.messages.size(), 2u);
    EXPECT_EQ(ask.messages[0].text, "Brisati ću odabrani slog.  Pritisnite OK za potvrdu brisanja.");
    EXPECT_EQ(ask.messages[1].text,
              "This record is referenced from the file mjesta.  This record cannot be deleted while these references "
              "exist.");
    EXPECT_TRUE(readMunicipality(1));
    EXPECT_EQ(rows(w), 3);

    // Velika Gorica has none: it goes.
    QTest::keyClick(towns, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(towns, Qt::Key_Down);
    ask.answers = {BUTTON_OK};
    QTest::keyClick(towns, Qt::Key_Delete);
    EXPECT_FALSE(readMunicipality(3));
    EXPECT_EQ(rows(w), 2);

    // The printed list opens its preview; the lists are as they were.
    QTest::keyClick(towns, Qt::Key_End, Qt::ControlModifier);
    click(w->builder(), "ispis");
    QApplication::processEvents();
    bool previewed = false;
    for (QMdiSubWindow* s : frame->area()->subWindowList())
        if (qobject_cast<REPORTPREVIEW*>(s->widget())) previewed = true;
    EXPECT_TRUE(previewed);
    EXPECT_EQ(w->view()->browser().selectedRow()->values[0], "Zagreb");
    {
        BufferScope screen(bufferSetOf(w));
        EXPECT_EQ(OPC.NAZIV, "Zagreb");
    }
    EXPECT_EQ(rows(w, 1), 3);
}

// ---------------------------------------------------------------- MJESTA

TEST_F(MunicipalitiesTest, PlacesListShowsEachPlacesMunicipalityAndLocatesByName) {
    municipality(1, "Zagreb", "1333", "18");
    municipality(2, "Samobor", "3573", "10");
    place(1, "Sesvete", 1, "10360");
    place(2, "Zagreb", 1, "10000");
    place(3, "Samobor", 2, "10430");
    place(4, "Rude", 2, "10437");
    ListWindow* w = open("MJESTA");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Pregled mjesta");
    EXPECT_FALSE(w->builder().control("select")->isVisible());  // not a chooser
    ASSERT_EQ(rows(w), 4);
    EXPECT_EQ(cell(w, 0), "Rude");
    EXPECT_EQ(cell(w, 0, 2), "Samobor");
    EXPECT_EQ(cell(w, 0, 3), "3573");
    EXPECT_EQ(cell(w, 0, 4), "10,000");
    EXPECT_EQ(cell(w, 3), "Zagreb");
    EXPECT_EQ(cell(w, 3, 2), "Zagreb");
    EXPECT_EQ(cell(w, 3, 4), "18,000");
    EXPECT_EQ(w->builder().control<QLabel>("mjesto")->text(), "Rude");

    // Typed letters add up; Backspace takes the last one back.
    QTableView* table = w->view()->table();
    QTest::keyClicks(table, "se");
    EXPECT_EQ(w->view()->browser().selectedRow()->values[0], "Sesvete");
    EXPECT_EQ(w->builder().control<QLabel>("mjesto")->text(), "Sesvete");
    QTest::keyClick(table, Qt::Key_Backspace);
    QTest::keyClicks(table, "am");
    EXPECT_EQ(w->view()->browser().selectedRow()->values[0], "Samobor");

    // And so does the entry below the list.
    type(w->builder(), "locator", "zag");
    QTest::keyClick(w->builder().control("locator"), Qt::Key_Return);
    EXPECT_EQ(w->builder().control<QLabel>("mjesto")->text(), "Zagreb");

    // As a chooser of another window it leaves the place in the buffer.
    auto owned = std::make_unique<screens::MJESTA_SCREEN>();
    auto* chooser = owned.get();
    MJESTA.clear();
    MJE.NAZIV = "Samobor";
    QTimer::singleShot(0, [chooser] { QTest::keyClick(chooser->view()->table(), Qt::Key_Return); });
    EXPECT_EQ(ListWindow::choose(std::move(owned), w), REQUESTCOMPLETED);
    EXPECT_EQ(MJE.OZNAKA, 3);
}

TEST_F(MunicipalitiesTest, PlaceWithoutMunicipalityIsRefusedAndTheChooserOffered) {
    municipality(1, "Zagreb", "1333", "18");
    ListWindow* w = open("MJESTA");
    ASSERT_NE(w, nullptr);
    bool chooserSeen = false;
    whenOpen([this, &chooserSeen](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Upis mjesta u šifrarnik");
        EXPECT_EQ(text(f, "opcina"), "0");
        type(f, "naziv", "Brezovica");
        click(f, "ok");
        ASSERT_EQ(ask.messages.size(), 1u);
        EXPECT_EQ(ask.last().text, "Morate odabrati općinu");
        EXPECT_TRUE(f.control("opcina")->hasFocus());
        EXPECT_EQ(MJESTA.records(), 1);  // only the form's own new record, not completed

        // The municipality field has the focus and no municipality: the chooser opens.
        whenOpen([&chooserSeen](WindowBuilder& c) {
            chooserSeen = true;
            EXPECT_EQ(title(c), "Pregled općina");
            click(c, "select");
        });
        QTest::qWait(50);
        EXPECT_EQ(text(f, "opcina"), "1");
        EXPECT_EQ(text(f, "opcina.naziv"), "Zagreb");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    EXPECT_TRUE(chooserSeen);
    ASSERT_TRUE(readPlace(1));
    EXPECT_EQ(MJE.NAZIV, "Brezovica");
    EXPECT_EQ(MJE.OPCINA, 1);
    EXPECT_EQ(cell(w, 0, 2), "Zagreb");
}

// ---------------------------------------------------------------- ODABIROPCINE, UPISIZODABIRAOPCINE

TEST_F(MunicipalitiesTest, MunicipalityEnteredFromThePlaceFormsChooser) {
    municipality(1, "Zagreb", "1333", "18");
    place(1, "Sesvete", 1, "10360");
    ListWindow* w = open("MJESTA");
    ASSERT_NE(w, nullptr);
    whenOpen([this](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene - mjesta");
        EXPECT_EQ(text(f, "opcina.naziv"), "Zagreb");
        whenOpen([this](WindowBuilder& c) {
            EXPECT_EQ(title(c), "Pregled općina");
            // Opened on the place's municipality.
            EXPECT_EQ(qobject_cast<ListWindow*>(c.root())->view()->browser().selectedRow()->values[0], "Zagreb");
            whenOpen([this](WindowBuilder& m) {
                EXPECT_EQ(title(m), "Unos nove općine");
                EXPECT_EQ(m.control("iban"), nullptr);
                type(m, "naziv", "Split");
                type(m, "shifra", "0099");
                click(m, "racunbtn");
                EXPECT_EQ(ask.last().text, kTooShort);
                EXPECT_EQ(text(m, "shifra"), "");
                type(m, "shifra", "0100");
                click(m, "racunbtn");
                EXPECT_EQ(text(m, "racun"), "1701012009");
                EXPECT_EQ(text(m, "shifra"), "0100");
                click(m, "ok");
            });
            click(c, "insert");
            EXPECT_EQ(qobject_cast<ListWindow*>(c.root())->view()->browser().selectedRow()->values[0], "Split");
            click(c, "select");
        });
        click(f, "opcina.lookup");
        EXPECT_EQ(text(f, "opcina"), "2");
        EXPECT_EQ(text(f, "opcina.naziv"), "Split");
        click(f, "ok");
    });
    QTest::keyClick(w->view()->table(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ask.messages.size(), 1u);
    ASSERT_TRUE(readMunicipality(2));
    EXPECT_EQ(OPC.SHIFRA, "0100");
    EXPECT_EQ(OPC.RACUNPOREZ, "1701012009");
    EXPECT_EQ(OPC.RKONT, "");
    ASSERT_TRUE(readPlace(1));
    EXPECT_EQ(MJE.OPCINA, 2);
    EXPECT_EQ(cell(w, 0, 2), "Split");
    EXPECT_EQ(GLO.AKCIJA, "");  // only the municipality list goes on to a place
}

}  // namespace

namespace {

// Opened from the menu, with no other window holding the municipalities open,
// the places list still reads each row's municipality.
TEST_F(MunicipalitiesTest, PlacesListFromTheMenuReadsTheMunicipalitiesItself) {
    municipality(1, "Zagreb", "1333", "18");
    place(1, "Sesvete", 1, "10360");
    // As after a start: no file held open by anyone.
    for (DataFile* f : {static_cast<DataFile*>(&OPCINE), static_cast<DataFile*>(&MJESTA)}) {
        f->close();
        f->USED = 0;
    }
    QAction* places = nullptr;
    for (QAction* a : frame->commandsFor("MJESTA"))
        if (a->text() == "Mjesta") places = a;
    ASSERT_NE(places, nullptr);
    places->trigger();
    QApplication::processEvents();
    auto* w = qobject_cast<ListWindow*>(frame->area()->activeSubWindow()->widget());
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(rows(w), 1);
    EXPECT_EQ(cell(w, 0), "Sesvete");
    EXPECT_EQ(cell(w, 0, 2), "Zagreb");
    EXPECT_EQ(cell(w, 0, 3), "1333");
    EXPECT_EQ(cell(w, 0, 4), "18,000");
}

}  // namespace
