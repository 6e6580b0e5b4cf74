#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableView>

#include "codelists/screens/Payers.h"
#include "frame/Screens.h"
#include "store/Records.h"
#include "support/ReferenceData.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/Application.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// The payer list and form in the running frame, worked as a bookkeeper does.
// Every payer the tests keep has its own MB/MBG and OIB, so a new payer's
// blank ones never meet another blank one.
class PayersTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&SUBJEKTI, &MJESTA, &ULICE, &BANKE, &ISPLATE, &ID1, &KRIPOREZ});
        addPlace(1, "Zagreb");
        addStreet(1, "Ilica");
        addStreet(2, "Savska");
        addBank(1, "Hrvatska narodna banka", "1001005");
        addBank(2, "Zagrebačka banka", "2360000");
        addBank(3, "Stara banka", "236");
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1100, 750);
        frame->show();
    }
    void TearDown() override {
        delete frame;
        StoreFixture::TearDown();
    }

    static void addPayer(LONG n, const char* name, const char* mb, const char* oib) {
        SUBJEKTI.clear();
        SUB.OZNAKA = n;
        SUB.TIP = "P";
        SUB.NAZIV = name;
        SUB.POREZNIBROJ = mb;
        SUB.OIB = oib;
        SUB.MJESTO = 1;
        SUB.ULICA = 2;
        SUB.KUCNIBROJ = "12a";
        SUB.BANKA = 2;
        SUB.RKONT = "HR17";
        SUB.RACUN = "1101234565";
        ASSERT_EQ(SUBJEKTI.add(), 0);
    }
    // The payer as stored; blank when there is none.
    static SUBJEKTI_REC stored(LONG n) {
        SUBJEKTI.clear();
        SUB.OZNAKA = n;
        if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
        return SUB;
    }

    ListWindow* open() {
        return openScreen<ListWindow>(*frame, "SUBJEKTI");
    }
    static QString cell(ListWindow* w, int row, int column) {
        return w->view()->table()->model()->index(row, column).data().toString();
    }
    static std::string text(WindowBuilder& f, const std::string& id) {
        if (auto* e = f.control<QLineEdit>(id)) return e->text().toStdString();
        if (auto* l = f.control<QLabel>(id)) return l->text().toStdString();
        return "(no such control)";
    }
    static bool checked(WindowBuilder& f, const QString& radio) {
        for (QRadioButton* b : f.root()->findChildren<QRadioButton*>())
            if (b->text() == radio) return b->isChecked();
        return false;
    }
    static bool hasFocus(WindowBuilder& f, const std::string& id) { return QApplication::focusWidget() == f.control(id); }
    // Picks the row of a chooser that opens next, by its position from the top.
    static void chooseRow(int row) {
        whenOpen([row](WindowBuilder& c) {
            auto* list = c.root()->findChild<QTableView*>();
            ASSERT_NE(list, nullptr);
            QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
            for (int i = 0; i < row; ++i) QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        });
    }

    MAIN* frame = nullptr;
};

TEST_F(PayersTest, ANewPayerIsANaturalPersonAndShowsInTheList) {
    addPayer(1, "Zlatar d.o.o.", "0000000000001", "11111111119");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Pregled isplatitelja");
    EXPECT_FALSE(w->builder().control("select")->isEnabled());  // not a chooser
    // The row shows the payer with its place and street, by name.
    EXPECT_EQ(cell(w, 0, 0), "Zlatar d.o.o.");
    EXPECT_EQ(cell(w, 0, 2), "Zagreb");
    EXPECT_EQ(cell(w, 0, 3), "Savska");
    EXPECT_EQ(cell(w, 0, 4), "12a");
    EXPECT_EQ(w->view()->table()->model()->headerData(4, Qt::Horizontal).toString(), "K Br");

    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos isplatitelja");
        // The form's window opens with the whole form in view: at least its
        // laid-out size (wider where a field needs room for its longest value).
        EXPECT_GE(f.root()->width(), f.pixelsX(290));
        EXPECT_EQ(f.root()->height(), f.pixelsY(170));
        EXPECT_TRUE(checked(f, "&Fizička"));
        EXPECT_FALSE(checked(f, "&Pravna"));
        EXPECT_TRUE(hasFocus(f, "naziv"));
        type(f, "naziv", "Ana Horvat");
        type(f, "porezni", "0101980330001");
        type(f, "oib", "22222222226");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    const SUBJEKTI_REC saved = stored(2);
    EXPECT_EQ(saved.NAZIV, "Ana Horvat");
    EXPECT_EQ(saved.TIP, "F");
    EXPECT_EQ(saved.OIB, "22222222226");
    EXPECT_EQ(saved.MJESTO, 0);
    ASSERT_EQ(w->view()->table()->model()->rowCount(), 2);
    EXPECT_EQ(cell(w, 0, 0), "Ana Horvat");  // by name
    EXPECT_EQ(w->builder().control<QLabel>("naziv")->text(), "Ana Horvat");

    // A letter typed into the list finds the first name that begins with it, in any case.
    QTest::keyClick(w->view()->table(), 'z');
    EXPECT_EQ(w->view()->browser().selectedRow()->id, 1);
    EXPECT_EQ(w->builder().control<QLabel>("naziv")->text(), "Zlatar d.o.o.");
}

TEST_F(PayersTest, LookupsFillTheNumbersAndTheAccountGetsItsCheckDigits) {
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    whenOpen([this](WindowBuilder& f) {
        type(f, "naziv", "Obrt Pčela");
        type(f, "porezni", "0000000000007");
        type(f, "oib", "33333333335");
        // The street button: the chosen street fills the number, its name
        // shows, and the house number is next.
        chooseRow(1);
        click(f, "ulica.lookup");
        EXPECT_EQ(SUB.ULICA, 2);
        EXPECT_EQ(text(f, "ulica"), "2");
        EXPECT_EQ(text(f, "ulica.naziv"), "Savska");
        EXPECT_TRUE(hasFocus(f, "kucnibroj"));
        type(f, "kucnibroj", "7");

        // A street number that points nowhere opens the list at once; the
        // choice fills it, and then the house number is next again.
        type(f, "ulica", "9");
        chooseRow(0);
        tab(f, "ulica");
        EXPECT_EQ(SUB.ULICA, 1);
        EXPECT_EQ(text(f, "ulica.naziv"), "Ilica");
        EXPECT_TRUE(hasFocus(f, "kucnibroj"));

        // The bank button on a new payer leads on to the account.
        chooseRow(1);  // by name: Hrvatska narodna banka, Stara banka, Zagrebačka banka
        click(f, "banka.lookup");
        EXPECT_EQ(text(f, "banka.naziv"), "Stara banka");
        EXPECT_TRUE(hasFocus(f, "racun"));
        // A bank number that points nowhere opens the bank list; closed
        // without a choice, the name and the leading number are blank.
        type(f, "banka", "8");
        whenOpen([](WindowBuilder& banks) { QTest::keyClick(banks.root()->findChild<QTableView*>(), Qt::Key_Escape); });
        tab(f, "banka");
        EXPECT_EQ(text(f, "banka.naziv"), "");
        EXPECT_EQ(text(f, "vodeci"), "");
        chooseRow(2);
        click(f, "banka.lookup");
        EXPECT_EQ(SUB.BANKA, 2);
        EXPECT_EQ(text(f, "banka.naziv"), "Zagrebačka banka");
        EXPECT_EQ(text(f, "vodeci"), "2360000");

        // Accepting the account computes its check digits: the whole IBAN reads right.
        type(f, "racun", "1101234565");
        tab(f, "racun");
        EXPECT_EQ(text(f, "rkont") + text(f, "vodeci") + text(f, "racun"), "HR1723600001101234565");
        // A different account at another bank, through the bank number typed in.
        type(f, "banka", "1");
        tab(f, "banka");
        EXPECT_EQ(text(f, "banka.naziv"), "Hrvatska narodna banka");
        type(f, "racun", "1863000160");
        tab(f, "racun");
        EXPECT_EQ(text(f, "rkont") + text(f, "vodeci") + text(f, "racun"), "HR1210010051863000160");
        // Only the bank changed: the digits follow it when the payer is saved.
        type(f, "racun", "1101234565");
        tab(f, "racun");
        type(f, "banka", "2");
        tab(f, "banka");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    const SUBJEKTI_REC saved = stored(1);
    EXPECT_EQ(saved.NAZIV, "Obrt Pčela");
    EXPECT_EQ(saved.ULICA, 1);
    EXPECT_EQ(saved.KUCNIBROJ, "7");
    EXPECT_EQ(saved.BANKA, 2);
    EXPECT_EQ(saved.RKONT, "HR17");
    EXPECT_EQ(saved.RACUN, "1101234565");
    EXPECT_TRUE(ask.messages.empty());
}

TEST_F(PayersTest, AnAccountThatIsNotWholeIsRefusedAndNothingIsHalfSaved) {
    addPayer(1, "Zlatar d.o.o.", "0000000000001", "11111111119");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);

    // A change with a short account: OK refuses, the form stays on the
    // account, and the stored payer keeps every old value.
    whenOpen([this](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjena podataka");
        EXPECT_EQ(text(f, "ulica.naziv"), "Savska");
        // Another screen reads other banks meanwhile, in buffers of its own;
        // the form's names beside the numbers stay the payer's.
        QMdiSubWindow* banks = MAIN::frame()->openScreen("BANKE");
        QApplication::processEvents();
        EXPECT_EQ(BAN.NAZIV, "Zagrebačka banka");
        {
            BufferScope other(bufferSetOf(banks));
            EXPECT_EQ(BAN.NAZIV, "Hrvatska narodna banka");
        }
        MAIN::frame()->area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(f.root()->parentWidget()));
        QApplication::processEvents();
        EXPECT_EQ(text(f, "banka.naziv"), "Zagrebačka banka");
        EXPECT_EQ(text(f, "vodeci"), "2360000");
        banks->close();
        QApplication::processEvents();
        type(f, "naziv", "Zlatar i sinovi d.o.o.");
        type(f, "racun", "110123456");
        click(f, "ok");
        ASSERT_FALSE(ask.messages.empty());
        EXPECT_EQ(ask.last().text, "Broj računa mora imati točno deset znamenki.");
        EXPECT_TRUE(hasFocus(f, "racun"));
        EXPECT_EQ(stored(1).NAZIV, "Zlatar d.o.o.");
        EXPECT_EQ(stored(1).RACUN, "1101234565");

        // A bank whose leading number is short: the user is sent to the bank list.
        type(f, "racun", "1101234565");
        type(f, "banka", "3");
        tab(f, "banka");
        click(f, "ok");
        EXPECT_EQ(ask.last().text,
                  "Vodeći broj banke Stara banka nema sedam znamenki.\n"
                  "Ispravite ga u pregledu banaka pa ponovno potvrdite račun.");
        EXPECT_EQ(stored(1).BANKA, 2);
        click(f, "cancel");
    });
    click(w->builder(), "change");
    EXPECT_EQ(ask.messages.size(), 2u);
    const SUBJEKTI_REC kept = stored(1);
    EXPECT_EQ(kept.NAZIV, "Zlatar d.o.o.");
    EXPECT_EQ(kept.BANKA, 2);
    EXPECT_EQ(kept.RKONT, "HR17");

    // A new payer refused the same way leaves no record once cancelled.
    whenOpen([this](WindowBuilder& f) {
        type(f, "naziv", "Novi");
        type(f, "porezni", "0000000000002");
        type(f, "oib", "22222222226");
        type(f, "banka", "1");
        tab(f, "banka");
        type(f, "racun", "12x4567890");
        tab(f, "racun");
        EXPECT_EQ(ask.last().text, "Broj računa mora imati točno deset znamenki.");
        EXPECT_TRUE(hasFocus(f, "racun"));
        const size_t shown = ask.messages.size();
        click(f, "ok");
        EXPECT_EQ(ask.messages.size(), shown + 1);
        EXPECT_EQ(stored(2).NAZIV, "");  // added blank on opening, never written
        click(f, "cancel");
    });
    click(w->builder(), "insert");
    EXPECT_EQ(SUBJEKTI.records(), 1);
    EXPECT_EQ(stored(2).OZNAKA, 0);
}

TEST_F(PayersTest, ADuplicateNumberIsReportedByItsKey) {
    addPayer(1, "Zlatar d.o.o.", "0000000000001", "11111111119");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    whenOpen([this](WindowBuilder& f) {
        type(f, "naziv", "Drugi");
        type(f, "porezni", "0000000000001");
        type(f, "oib", "11111111119");
        click(f, "ok");
        ASSERT_FALSE(ask.messages.empty());
        EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:SUB:KeyPorezniBroj");
        EXPECT_TRUE(hasFocus(f, "naziv"));
        type(f, "porezni", "0000000000002");
        click(f, "ok");
        EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:SUB:KeyOIB");
        click(f, "cancel");
    });
    click(w->builder(), "insert");
    EXPECT_EQ(ask.messages.size(), 2u);
    EXPECT_EQ(SUBJEKTI.records(), 1);
    EXPECT_EQ(stored(1).NAZIV, "Zlatar d.o.o.");
}

TEST_F(PayersTest, APayerWithPaymentsStaysAndOneWithoutTakesItsFormsAlong) {
    addPayer(1, "Alfa d.o.o.", "0000000000001", "11111111119");
    addPayer(2, "Beta d.o.o.", "0000000000002", "22222222226");
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ISP.ISPLATITELJ = 1;
    ASSERT_EQ(ISPLATE.add(), 0);
    ID1.clear();
    ID1.record().OZNAKA = 1;
    ID1.record().ISPLATITELJ = 2;
    ASSERT_EQ(ID1.add(), 0);
    KRIPOREZ.clear();
    KRP.OZNAKA = 1;
    KRP.ISPLATITELJ = 2;
    ASSERT_EQ(KRIPOREZ.add(), 0);

    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    QTableView* table = w->view()->table();
    ask.answers = {BUTTON_OK, BUTTON_OK, BUTTON_NO};
    QTest::keyClick(table, Qt::Key_Delete);  // Alfa, the first row
    ASSERT_EQ(ask.messages.size(), 3u);
    EXPECT_EQ(ask.messages[1].text,
              "This record is referenced from the file isplate.  This record cannot be deleted while these references exist.");
    EXPECT_EQ(stored(1).NAZIV, "Alfa d.o.o.");

    QTest::keyClick(table, Qt::Key_Down);
    ask.answers = {BUTTON_OK};
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(stored(2).NAZIV, "");
    EXPECT_EQ(ID1.records(), 0);
    EXPECT_EQ(KRIPOREZ.records(), 0);
    EXPECT_EQ(ISPLATE.records(), 1);
    EXPECT_EQ(table->model()->rowCount(), 1);
}

}  // namespace
