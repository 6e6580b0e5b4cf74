#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTableView>

#include "codelists/screens/StreetsBanks.h"
#include "frame/Screens.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// The street and bank lists in the running frame, worked from the keyboard
// and the mouse; every question answered through the scripted prompter.
class StreetsBanksTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1000, 700);
        frame->show();
    }
    void TearDown() override {
        delete frame;
        StoreFixture::TearDown();
    }
    ListWindow* open(const std::string& screen) {
        return openScreen<ListWindow>(*frame, screen);
    }
    static QString cell(ListWindow* w, int row, int column = 0) {
        return w->view()->table()->model()->index(row, column).data().toString();
    }
    static int rows(ListWindow* w) { return w->view()->table()->model()->rowCount(); }
    static std::string street(int number) {
        ULICE.clear();
        ULI.OZNAKA = number;
        return ULICE.get(ULICE.KEYOZNAKA) == 0 ? ULI.NAZIV.str() : "(none)";
    }
    MAIN* frame = nullptr;
};

TEST_F(StreetsBanksTest, StreetsAreKeptFromTheKeyboardAndTheMouse) {
    ListWindow* w = open("ULICE");
    ASSERT_NE(w, nullptr);
    QTableView* table = w->view()->table();
    EXPECT_EQ(w->windowTitle(), "Pregled ulica");
    EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), "Naziv");
    EXPECT_FALSE(w->builder().control("change")->isEnabled());  // an empty list
    EXPECT_FALSE(w->builder().control("select")->isEnabled());  // not a chooser

    // Insert, type the name, Enter presses OK.
    for (const char* name : {"Vlaška", "Ilica", "Savska"}) {
        whenOpen([name](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Upis ulice u šifrarnik");
            type(f, "naziv", QString::fromUtf8(name));
            QTest::keyClick(f.control("naziv"), Qt::Key_Return);
        });
        QTest::keyClick(table, Qt::Key_Insert);
    }
    EXPECT_EQ(street(1), "Vlaška");
    EXPECT_EQ(street(3), "Savska");
    ASSERT_EQ(rows(w), 3);
    EXPECT_EQ(cell(w, 0), "Ilica");  // by name, Croatian order
    EXPECT_EQ(cell(w, 2), "Vlaška");
    EXPECT_EQ(w->view()->browser().selectedRow()->id, 3);  // the new one is highlighted
    EXPECT_TRUE(w->builder().control("change")->isEnabled());

    // A name that exists already: warning 24 names the key, the form stays
    // open until it is cancelled, and nothing is added.
    whenOpen([](WindowBuilder& f) {
        type(f, "naziv", "Ilica");
        click(f, "ok");
        click(f, "cancel");
    });
    QTest::keyClick(table, Qt::Key_Insert);
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:ULI:KeyNaziv");
    EXPECT_EQ(ULICE.records(), 3);

    // Ctrl+Enter changes the highlighted street; the list follows the new name.
    QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjena naziva ulice");
        EXPECT_EQ(f.control<QLineEdit>("naziv")->text(), "Ilica");
        type(f, "naziv", "Zagorska");
        click(f, "ok");
    });
    QTest::keyClick(table, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(street(2), "Zagorska");
    EXPECT_EQ(cell(w, 2), "Zagorska");

    // A double click changes too; Ctrl+' recalls the name saved last.
    const QRect first = table->visualRect(table->model()->index(0, 0));
    whenOpen([](WindowBuilder& f) {
        auto* e = f.control<QLineEdit>("naziv");
        e->setFocus();
        QTest::keyClick(e, Qt::Key_Apostrophe, Qt::ControlModifier);
        EXPECT_EQ(e->text(), "Zagorska");
        click(f, "cancel");
    });
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(street(3), "Savska");

    // The popup menu's "Briši" asks the standard question; a street in use
    // by a recipient stays, with a message naming who uses it.
    OSOBE.open();
    OSOBE.clear();
    OSO.OZNAKA = 1;
    OSO.PREZIME = "Horvat";
    OSO.ULICA = 3;
    ASSERT_EQ(OSOBE.add(), 0);
    ask.popupAnswers = {3};
    ask.answers = {BUTTON_OK, BUTTON_OK, BUTTON_NO};
    const size_t before = ask.messages.size();
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, first.center());
    EXPECT_EQ(ask.popups.back(), "&Unesi|&Mijenjaj|&Briši|-|~O&daberi");
    EXPECT_EQ(street(3), "Savska");
    ASSERT_EQ(ask.messages.size(), before + 3);
    EXPECT_EQ(ask.messages[before + 1].text,
              "This record is referenced from the file osobe.  This record cannot be deleted while these references exist.");

    // The Delete key removes one nobody uses.
    QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
    ask.answers = {BUTTON_OK};
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(ask.messages[ask.messages.size() - 1].text,
              "Brisati ću odabrani slog.  Pritisnite OK za potvrdu brisanja.");
    EXPECT_EQ(street(2), "(none)");
    EXPECT_EQ(rows(w), 2);

    // Zatvori closes the window.
    click(w->builder(), "close");
    QApplication::processEvents();
    EXPECT_TRUE(frame->area()->subWindowList().isEmpty());
}

TEST_F(StreetsBanksTest, BanksMayShareANameAndChooseFromAForm) {
    ListWindow* w = open("BANKE");
    ASSERT_NE(w, nullptr);
    for (const char* number : {"2340009", "2360000"}) {
        whenOpen([number](WindowBuilder& f) {
            EXPECT_EQ(title(f), "Upis banke u šifrarnik");
            type(f, "naziv", "Privredna banka");
            type(f, "vodeci", number);
            click(f, "ok");
        });
        click(w->builder(), "insert");
    }
    EXPECT_EQ(BANKE.records(), 2);
    EXPECT_EQ(cell(w, 0, 1), "2340009");
    EXPECT_EQ(w->builder().control<QLabel>("naziv")->text(), "Privredna banka");

    // As a chooser called from another window: Odaberi is the default button
    // and leaves the chosen bank in the buffer.
    auto owned = std::make_unique<screens::BANKE_SCREEN>();
    auto* chooser = owned.get();
    BANKE.clear();
    BAN.NAZIV = "Privredna banka";
    QTimer::singleShot(0, [chooser] {
        QTest::keyClick(chooser->view()->table(), Qt::Key_Down);
        QTest::keyClick(chooser->view()->table(), Qt::Key_Return);
    });
    EXPECT_EQ(ListWindow::choose(std::move(owned), w), REQUESTCOMPLETED);
    EXPECT_EQ(BAN.VODECIBROJ, "2360000");
}

}  // namespace
