#include <QClipboard>
#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "codelists/screens/Municipalities.h"
#include "codelists/screens/Recipients.h"
#include "frame/Screens.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/ReferenceData.h"
#include "support/FrameFixture.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// Runs `step` once `window` is the active window again (a chooser it opened
// has closed and handed back what was chosen).
void whenBack(QWidget* window, std::function<void()> step, int tries = 200) {
    QTimer::singleShot(5, [=] {
        if (activeContent() == window || tries == 0) step();
        else whenBack(window, step, tries - 1);
    });
}

// Runs `step` in the window titled `caption` once it is the active one.
void whenTitled(QString caption, std::function<void(WindowBuilder&)> step, int tries = 200) {
    QTimer::singleShot(5, [=] {
        WindowBuilder* b = builderOf(activeContent());
        if (b && title(*b) == caption) step(*b);
        else if (tries == 0) ADD_FAILURE() << "no window " << caption.toStdString();
        else whenTitled(caption, step, tries - 1);
    });
}

// The recipients list in the running frame with its form, worked as a
// bookkeeper works them; every question answered through the scripted prompter.
class RecipientsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        openFiles({&OSOBE, &MJESTA, &OPCINE, &ULICE, &BANKE, &DOHOCI});
    }
    ListWindow* open() {
        return openScreen<ListWindow>(*frame, "OSOBE");
    }
    static QTableView* table(ListWindow* w, size_t list = 0) { return w->view(list)->table(); }
    static QString cell(ListWindow* w, int row, int column = 0, size_t list = 0) {
        return table(w, list)->model()->index(row, column).data().toString();
    }
    static int rows(ListWindow* w, size_t list = 0) { return table(w, list)->model()->rowCount(); }
    static QString text(WindowBuilder& f, const std::string& id) {
        if (auto* e = f.control<QLineEdit>(id)) return e->text();
        return f.control<QLabel>(id)->text();
    }

    static void person(LONG number, const char* surname, const char* name, const char* oib, LONG place = 0) {
        OSOBE.clear();
        OSO.OZNAKA = number;
        OSO.PREZIME = surname;
        OSO.IME = name;
        OSO.OIB = oib;
        OSO.MJESTO = place;
        OSO.DRUGISTUP = "DA";
        OSO.FAX = "NE";
        ASSERT_EQ(OSOBE.add(), 0);
    }
    static bool recipient(LONG number) {
        OSOBE.clear();
        OSO.OZNAKA = number;
        return OSOBE.get(OSOBE.KEYOZNAKA) == 0;
    }
};

TEST_F(RecipientsTest, NewRecipientStartsWithItsDefaultsAndBlankOibsDoNotClash) {
    person(1, "Horvat", "Ivan", "12345678903");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Pregled primatelja");
    EXPECT_TRUE(w->builder().control("select")->isHidden());  // a plain list, not a chooser

    // Two recipients whose OIB is not known yet.
    for (const char* surname : {"Novak", "Kovač"}) {
        whenOpen([surname](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Unos novog primatelja");
            EXPECT_TRUE(f.control<QRadioButton>("stupDa")->isChecked());
            EXPECT_TRUE(f.control<QRadioButton>("faxNe")->isChecked());
            EXPECT_FALSE(f.control("email")->isEnabled());
            type(f, "ime", "Ana");
            type(f, "prezime", QString::fromUtf8(surname));
            click(f, "ok");
        });
        QTest::keyClick(table(w), Qt::Key_Insert);
    }
    EXPECT_TRUE(ask.messages.empty()) << ask.last().text;
    ASSERT_TRUE(recipient(3));
    EXPECT_EQ(OSO.PREZIME.str(), "Kovač");
    EXPECT_EQ(OSO.DRUGISTUP.str(), "DA");
    EXPECT_EQ(OSO.FAX.str(), "NE");
    EXPECT_TRUE(OSO.OIB.empty());
    ASSERT_EQ(rows(w), 3);
    EXPECT_EQ(cell(w, 0), "Horvat");
    EXPECT_EQ(cell(w, 1), "Kovač");  // surnames in Croatian order
    EXPECT_EQ(w->builder().control<QLabel>("prezimeIme")->text(), "Kovač Ana");

    // A third one given Horvat's OIB: the standard duplicate message names the
    // key, the form stays open on its first tab, and cancelling adds nothing.
    whenOpen([](WindowBuilder& f) {
        type(f, "prezime", "Babić");
        type(f, "oib", "12345678903");
        f.select("kucniTel");  // on the last tab when OK is pressed
        click(f, "ok");
        EXPECT_EQ(f.control<QTabWidget>("tabs")->currentIndex(), 0);
        EXPECT_TRUE(f.control("ime")->hasFocus());
        click(f, "cancel");
    });
    QTest::keyClick(table(w), Qt::Key_Insert);
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:OSO:KeyOIB");
    EXPECT_EQ(OSOBE.records(), 3);
    EXPECT_FALSE(recipient(4));
}

TEST_F(RecipientsTest, AccountGetsItsIbanCheckDigitsFromTheBank) {
    addBank(1, "Testna banka", "1234567");
    person(1, "Horvat", "Ivan", "12345678903");
    OSO.BANKA = 1;
    ASSERT_EQ(OSOBE.put(), 0);
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene");
        f.select("racun");
        EXPECT_EQ(text(f, "banka.naziv"), "Testna banka");
        EXPECT_EQ(text(f, "vodeci"), "1234567");
        type(f, "racun", "1234567890");
        tab(f, "racun");
        EXPECT_EQ(text(f, "rkont"), "HR35");
        type(f, "racun", "0000000003");
        tab(f, "racun");
        EXPECT_EQ(text(f, "rkont"), "HR08");
        click(f, "ok");
    });
    QTest::keyClick(table(w), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(recipient(1));
    EXPECT_EQ(OSO.RKONT.str() + "1234567" + OSO.RACUN.str(), "HR0812345670000000003");
}

TEST_F(RecipientsTest, BankListOpensForABankNotFoundAndThenTheModelIsNext) {
    addBank(1, "Prva banka", "1111111");
    addBank(2, "Druga banka", "2222222");
    person(1, "Horvat", "Ivan", "");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    whenOpen([](WindowBuilder& f) {
        // The bank entry is empty: getting the focus opens the list of banks.
        f.select("banka");
        whenOpen([&f](WindowBuilder& chooser) {
            EXPECT_EQ(title(chooser), "Pregled banaka");
            auto* banks = chooser.root()->findChild<ListBrowserView*>();
            QTest::keyClick(banks->table(), Qt::Key_Return);  // "Druga banka" comes first by name
            whenBack(f.root(), [&f] {
                EXPECT_EQ(text(f, "banka"), "2");
                EXPECT_EQ(text(f, "banka.naziv"), "Druga banka");
                // The button chooses again; the model follows.
                whenOpen([](WindowBuilder& again) {
                    auto* banks = again.root()->findChild<ListBrowserView*>();
                    QTest::keyClick(banks->table(), Qt::Key_Down);
                    QTest::keyClick(banks->table(), Qt::Key_Return);
                });
                click(f, "banka.lookup");
                EXPECT_EQ(text(f, "vodeci"), "1111111");
                EXPECT_TRUE(f.control("model")->hasFocus());
                click(f, "ok");
            });
        });
    });
    QTest::keyClick(table(w), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(recipient(1));
    EXPECT_EQ(OSO.BANKA, 1);
}

TEST_F(RecipientsTest, WorkMunicipalityCodeIsEditableOnlyWhenItDiffers) {
    person(1, "Horvat", "Ivan", "");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    whenOpen([](WindowBuilder& f) {
        f.control<QTabWidget>("tabs")->setCurrentIndex(1);
        EXPECT_FALSE(f.control("email")->isEnabled());
        EXPECT_FALSE(f.control("emailPrompt")->isEnabled());
        QTest::mouseClick(f.control("faxDa"), Qt::LeftButton);
        EXPECT_TRUE(f.control("email")->isEnabled());
        EXPECT_TRUE(f.control("emailPrompt")->isEnabled());
        EXPECT_TRUE(f.control("email")->hasFocus());
        typeText(f.control("email"), "0133");
        QTest::mouseClick(f.control("faxNe"), Qt::LeftButton);
        EXPECT_FALSE(f.control("email")->isEnabled());
        QTest::mouseClick(f.control("faxDa"), Qt::LeftButton);
        click(f, "ok");
    });
    QTest::keyClick(table(w), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(recipient(1));
    EXPECT_EQ(OSO.FAX.str(), "DA");
    EXPECT_EQ(OSO.EMAIL.str(), "0133");

    // Opened again, the code is editable from the start.
    whenOpen([](WindowBuilder& f) {
        EXPECT_TRUE(f.control("email")->isEnabled());
        click(f, "cancel");
    });
    QTest::keyClick(table(w), Qt::Key_Return, Qt::ControlModifier);
}

TEST_F(RecipientsTest, ListByPlaceShowsTheRecipientsOfTheHighlightedPlace) {
    addPlace(1, "Zagreb");
    addPlace(2, "Split");
    person(1, "Horvat", "Ivan", "11111111119", 1);
    person(2, "Babić", "Ana", "22222222226", 2);
    person(3, "Anić", "Marko", "33333333335", 1);
    person(4, "Perić", "Jure", "", 0);
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(rows(w), 4);
    EXPECT_EQ(cell(w, 1, 3), "Split");  // Babić lives in Split
    EXPECT_FALSE(w->view(1)->isVisible());

    auto* tabs = w->builder().control<QTabWidget>("tabs");
    tabs->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(w->view(1)->isVisible());
    ASSERT_EQ(rows(w, 1), 2);
    EXPECT_EQ(cell(w, 0, 0, 1), "Split");
    ASSERT_EQ(rows(w), 1);
    EXPECT_EQ(cell(w, 0), "Babić");

    QTest::keyClick(table(w, 1), Qt::Key_Down);
    ASSERT_EQ(rows(w), 2);
    EXPECT_EQ(cell(w, 0), "Horvat");  // within a place, in the order they were entered
    EXPECT_EQ(cell(w, 1), "Anić");

    // A new recipient on this tab lives in the highlighted place.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(text(f, "mjesto"), "1");
        EXPECT_EQ(text(f, "mjesto.naziv"), "Zagreb");
        type(f, "prezime", "Zorić");
        click(f, "ok");
    });
    QTest::keyClick(table(w), Qt::Key_Insert);
    ASSERT_TRUE(recipient(5));
    EXPECT_EQ(OSO.MJESTO, 1);
    ASSERT_EQ(rows(w), 3);
    EXPECT_EQ(cell(w, 2), "Zorić");

    // Back by surname, the locator entry finds a surname.
    tabs->setCurrentIndex(0);
    QApplication::processEvents();
    EXPECT_EQ(rows(w), 5);
    type(w->builder(), "locator", "Per");
    QTest::keyClick(w->builder().control("locator"), Qt::Key_Return);
    EXPECT_EQ(w->view()->browser().selectedRow()->values[0], "Perić");
}

TEST_F(RecipientsTest, OibIsCopiedWithAltQAndTheHelpExplainsTheLocator) {
    person(1, "Horvat", "Ivan", "12345678903");
    person(2, "Kovač", "Ana", "98765432106");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(table(w), Qt::Key_Down);
    QTest::keyClick(table(w), Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "98765432106");
    EXPECT_EQ(ask.beeps, 1);

    // Typing a surname's first letters finds it.
    QTest::keyClicks(table(w), "ho");
    EXPECT_EQ(w->builder().control<QLabel>("prezimeIme")->text(), "Horvat Ivan");

    click(w->builder(), "help");
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().caption, "Uputa za lociranje osobe s liste");
    EXPECT_EQ(ask.last().text,
              "Osobu s liste možete locirati i upisujući prva slova prezimena.\nAko Vam to ne uspjeva kliknite lijevom "
              "tipkom miša na listu s osobama pa opet pokušajte");
}

TEST_F(RecipientsTest, RecipientWithIncomeLinesIsNotDeleted) {
    person(1, "Horvat", "Ivan", "12345678903");
    person(2, "Kovač", "Ana", "");
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    DOH.DJELATNIK = 1;
    ASSERT_EQ(DOHOCI.add(), 0);
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    ask.answers = {BUTTON_OK, BUTTON_OK, BUTTON_NO};
    QTest::keyClick(table(w), Qt::Key_Delete);
    ASSERT_GE(ask.messages.size(), 2u);
    EXPECT_EQ(ask.messages[0].text, "Brisati ću odabrani slog.  Pritisnite OK za potvrdu brisanja.");
    EXPECT_EQ(ask.messages[1].text,
              "This record is referenced from the file dohoci.  This record cannot be deleted while these references exist.");
    EXPECT_TRUE(recipient(1));

    // One without income lines goes.
    ask.answers = {BUTTON_OK};
    QTest::keyClick(table(w), Qt::Key_Down);
    QTest::keyClick(table(w), Qt::Key_Delete);
    EXPECT_FALSE(recipient(2));
    EXPECT_EQ(rows(w), 1);
}

TEST_F(RecipientsTest, ChoosingAPlaceOnInsertOpensTheStreetsAtOnce) {
    {
        screens::MJESTA_SCREEN probe;
        if (!probe.findChild<ListBrowserView*>()) GTEST_SKIP() << "the place list is not built yet";
    }
    addPlace(1, "Zagreb");
    ULICE.clear();
    ULI.OZNAKA = 1;
    ULI.NAZIV = "Ilica";
    ASSERT_EQ(ULICE.add(), 0);
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    whenOpen([](WindowBuilder& f) {
        type(f, "prezime", "Horvat");
        whenOpen([&f](WindowBuilder& places) {
            QTest::keyClick(places.root()->findChild<ListBrowserView*>()->table(), Qt::Key_Return);
            whenTitled("Pregled ulica", [&f](WindowBuilder& streets) {
                QTest::keyClick(streets.root()->findChild<ListBrowserView*>()->table(), Qt::Key_Return);
                whenBack(f.root(), [&f] {
                    EXPECT_EQ(text(f, "mjesto.naziv"), "Zagreb");
                    EXPECT_EQ(text(f, "ulica.naziv"), "Ilica");
                    EXPECT_TRUE(f.control("kucniBroj")->hasFocus());
                    click(f, "ok");
                });
            });
        });
        click(f, "mjesto.lookup");
    });
    QTest::keyClick(table(w), Qt::Key_Insert);
    ASSERT_TRUE(recipient(1));
    EXPECT_EQ(OSO.MJESTO, 1);
    EXPECT_EQ(OSO.ULICA, 1);
}

}  // namespace

namespace {

// Letters in a number are a typing mistake, never a zero: the entry beeps,
// shows its value again and keeps the focus, and nothing else is saved.
TEST_F(RecipientsTest, LettersInTheAllowanceFactorAreRefusedNotTurnedIntoZero) {
    person(1, "Horvat", "Ivan", "12345678903");
    ASSERT_TRUE(recipient(1));
    OSO.FAKTORODBITKA = Decimal::parse("1.5");
    ASSERT_EQ(OSOBE.put(), 0);
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    QString shownBefore;
    whenOpen([&](WindowBuilder& f) {
        auto* faktor = f.control<QLineEdit>("faktor");
        ASSERT_NE(faktor, nullptr);
        f.select("faktor");
        shownBefore = faktor->text();
        // Typed, a letter does not even get in: a beep each, the factor stays.
        const int beeps = ask.beeps;
        type(f, "faktor", "ab");
        EXPECT_EQ(ask.beeps, beeps + 2);
        EXPECT_EQ(faktor->text(), shownBefore);
        // Pasted, it is refused on leaving, and the focus stays.
        for (const char* pasted : {"ab1,5x", "1,5x", "x"}) {
            const int before = ask.beeps;
            faktor->selectAll();
            faktor->insert(QString::fromLatin1(pasted));
            tab(f, "faktor");
            EXPECT_EQ(ask.beeps, before + 1) << pasted;
            EXPECT_EQ(faktor->text(), shownBefore) << pasted;
            EXPECT_TRUE(faktor->hasFocus()) << pasted;
        }
        click(f, "cancel");
    });
    QTest::keyClick(table(w), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(shownBefore, "1,50");
    ASSERT_TRUE(recipient(1));
    EXPECT_EQ(Decimal(OSO.FAKTORODBITKA), Decimal::parse("1.5"));
}

}  // namespace
