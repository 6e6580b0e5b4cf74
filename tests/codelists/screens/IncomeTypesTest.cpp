#include <QLabel>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "codelists/screens/IncomeTypes.h"
#include "codelists/screens/PrinterParams.h"
#include "frame/Screens.h"
#include "store/Records.h"
#include "support/ScreenDriver.h"
#include "support/StoreFixture.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// The income-type list and form, and the printer offsets, in the running
// frame, with the supplied JOPPD code tables.
class IncomeTypesTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        for (const char* table : {"VBRAT", "NEOPOREZ"})
            ASSERT_EQ(Store::main().loadTable(table, suppliedDataDir()), 0) << table;
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
    }
    void TearDown() override {
        delete frame;
        StoreFixture::TearDown();
    }
    ListWindow* open(const std::string& screen) {
        return openScreen<ListWindow>(*frame, screen);
    }
    // The type as stored, in the buffer; false when there is none.
    static bool stored(int code) {
        VRSTEDOH.clear();
        VRS.OZNAKA = BYTE(code);
        return VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) == 0;
    }
    MAIN* frame = nullptr;
};

void showTab(WindowBuilder& f, int index) { f.control<QTabWidget>("tabs")->setCurrentIndex(index); }

void pickRadio(WindowBuilder& f, const QString& text) {
    for (QRadioButton* r : f.root()->findChildren<QRadioButton*>())
        if (r->text() == text) {
            QTest::mouseClick(r, Qt::LeftButton);
            return;
        }
    ADD_FAILURE() << "no radio " << text.toStdString();
}

QString shown(WindowBuilder& f, const std::string& id) {
    if (auto* e = f.control<QLineEdit>(id)) return e->text();
    if (auto* l = f.control<QLabel>(id)) return l->text();
    return "(none)";
}

TEST_F(IncomeTypesTest, NewTypesAreNumberedWithDefaultsAndCodesFromTheTable) {
    ListWindow* w = open("VRSTEDOHOTKA");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Pregled vrsta dohotka");
    EXPECT_FALSE(w->builder().control("select")->isEnabled());  // not a chooser

    // A receipt code typed and OK pressed at once: the acquirer code comes
    // from the code table when the form is checked.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos nove vrste dohotka");
        // Beside its list the form keeps the size it was laid out in.
        EXPECT_EQ(f.root()->size(), QSize(f.pixelsX(300), f.pixelsY(244)));
        EXPECT_EQ(shown(f, "oznaka").trimmed(), "1");
        type(f, "naziv", "Ugovor o djelu");
        type(f, "mirovinskoistup", "15");
        showTab(f, 2);
        type(f, "rezstringb", "4030");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    ASSERT_TRUE(stored(1));
    EXPECT_EQ(VRS.NAZIV.str(), "Ugovor o djelu");
    EXPECT_EQ(VRS.MIROVINSKOISTUP.value(), Decimal(15));
    EXPECT_EQ(VRS.TIPMOI.str(), "I");
    EXPECT_EQ(VRS.TIPMOII.str(), "I");
    EXPECT_EQ(VRS.TIPZO.str(), "I");
    EXPECT_EQ(VRS.TIPPOREZ.str(), "P");
    EXPECT_EQ(VRS.VISESTOPA.str(), "NE");
    EXPECT_EQ(VRS.STUPACIDD, 3);
    EXPECT_EQ(VRS.REZSTRINGA.str(), "02");
    EXPECT_EQ(VRS.REZSTRINGB.str(), "4030");
    EXPECT_TRUE(ask.messages.empty());

    // An unknown code typed into the entry opens the code table; closing it
    // keeps what was typed, and OK saves after telling the user.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(shown(f, "oznaka").trimmed(), "2");
        EXPECT_EQ(f.control<QTabWidget>("tabs")->count(), 3);
        type(f, "naziv", "Nešto posebno");
        showTab(f, 2);
        whenOpen([](WindowBuilder& c) {
            EXPECT_EQ(title(c), "ODABIR OZNAKE PRIMITKA");
            EXPECT_TRUE(c.control("select")->isVisible());
            click(c, "close");
        });
        type(f, "rezstringb", "9999");
        tab(f, "rezstringb");
        EXPECT_EQ(shown(f, "rezstringb"), "9999");
        EXPECT_EQ(shown(f, "proza"), "");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text, "Nije odabrana oznaka primitka");
    ASSERT_TRUE(stored(2));
    EXPECT_EQ(VRS.REZSTRINGB.str(), "9999");
    EXPECT_EQ(VRS.REZSTRINGA.str(), "");

    // A code that is taken: the standard warning names the key, the form stays.
    whenOpen([](WindowBuilder& f) {
        type(f, "oznaka", "1");
        type(f, "naziv", "Dvojnik");
        click(f, "ok");
        click(f, "cancel");
    });
    click(w->builder(), "insert");
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:VRS:KeyOznaka");
    EXPECT_EQ(VRSTEDOH.records(), 2);

    // The list shows both; the name of the highlighted one is shown whole below.
    QTableView* table = w->view()->table();
    ASSERT_EQ(table->model()->rowCount(), 2);
    EXPECT_EQ(table->model()->index(0, 3).data().toString(), "02");
    EXPECT_EQ(w->builder().control<QLabel>("naziv")->text(), "Nešto posebno");
}

TEST_F(IncomeTypesTest, ReceiptCodesAreChosenFromTheTableAndMustMatchTheAcquirer) {
    ListWindow* w = open("VRSTEDOHOTKA");
    ASSERT_NE(w, nullptr);
    whenOpen([](WindowBuilder& f) {
        type(f, "naziv", "Dividenda");
        showTab(f, 2);
        // The button opens the table on the code typed so far: 1001 is below 4001.
        whenOpen([](WindowBuilder& c) {
            QTableView* t = c.root()->findChild<ListBrowserView*>()->table();
            EXPECT_TRUE(shown(c, "naziv").startsWith("Autorski honorar"));  // 4001, the next code in order
            QTest::keyClick(t, Qt::Key_Up);
            EXPECT_TRUE(shown(c, "naziv").startsWith("Dividende i udjeli"));
            click(c, "select");
        });
        type(f, "rezstringb", "4000");
        click(f, "primitak");
        EXPECT_EQ(shown(f, "rezstringb"), "1001");
        EXPECT_TRUE(shown(f, "proza").startsWith("Dividende i udjeli u dobiti"));

        // An acquirer that does not go with the code: the form will not save.
        pickRadio(f, "postoji obveza doprinosa (4002)");
        click(f, "ok");
        click(f, "cancel");
    });
    click(w->builder(), "insert");
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().text, "Upozorenje - oznake stjecatelja i primitka\nnisu usklađene!");
    EXPECT_EQ(VRSTEDOH.records(), 0);
}

TEST_F(IncomeTypesTest, NonTaxableReceiptsForceTheirCodes) {
    ListWindow* w = open("VRSTEDOHOTKA");
    ASSERT_NE(w, nullptr);
    whenOpen([this](WindowBuilder& f) {
        type(f, "naziv", "Dnevnice");
        showTab(f, 2);

        // The acquirer says "non-taxable" but no receipt is chosen.
        pickRadio(f, "Neoporezivi primitak (0000)");
        click(f, "ok");
        EXPECT_EQ(ask.last().text,
                  "Oznaka stjecatelja je neoporezivi primitak, a nije odabrana oznaka neoporezivog primitka");

        // A taxable acquirer takes no non-taxable receipt.
        pickRadio(f, "ne postoji obveza doprinosa (4001)");
        click(f, "neoporezivi");
        EXPECT_EQ(ask.last().text, "Oznaka stjecatelja nije ispravna za neoporezivi primitak!");
        pickRadio(f, "Neoporezivi primitak (0000)");
        type(f, "rezstringb", "4030");
        // The click takes the typed code first, and its check speaks up; the
        // button acts on the next click, with the code taken.
        click(f, "neoporezivi");
        EXPECT_EQ(ask.last().text, "Upozorenje - oznake stjecatelja i primitka\nnisu usklađene!");
        click(f, "neoporezivi");
        EXPECT_EQ(ask.last().text, "Oznaka primitka mora biti 0000 za neoporezivi primitak!");
        type(f, "rezstringb", "");
        QTest::keyClick(f.control("rezstringb"), Qt::Key_Delete);
        tab(f, "rezstringb");

        // Chosen from the list: the codes follow.
        whenOpen([](WindowBuilder& c) {
            EXPECT_EQ(title(c), "Odabir neoporezivog primitka");
            QTableView* t = c.root()->findChild<ListBrowserView*>()->table();
            QTest::keyClick(t, Qt::Key_Down);
            QTest::keyClick(t, Qt::Key_Down);
            EXPECT_TRUE(shown(c, "naziv").startsWith("Dnevnice za službeno putovanje"));
            click(c, "select");
        });
        click(f, "neoporezivi");
        EXPECT_EQ(shown(f, "rezdecimala").trimmed(), "17");
        EXPECT_EQ(shown(f, "rezstringb"), "0000");
        EXPECT_TRUE(shown(f, "neopstring").startsWith("Dnevnice za službeno putovanje"));

        // Zatvori in the chooser changes nothing.
        whenOpen([](WindowBuilder& c) {
            QTest::keyClick(c.root()->findChild<ListBrowserView*>()->table(), Qt::Key_Down);
            click(c, "close");
        });
        click(f, "neoporezivi");
        EXPECT_EQ(shown(f, "rezdecimala").trimmed(), "17");

        // A code typed into the entry that the table knows needs no list.
        type(f, "rezdecimala", "15");
        tab(f, "rezdecimala");
        EXPECT_TRUE(shown(f, "neopstring").startsWith("Naknada troškova prijevoza"));
        click(f, "ok");
    });
    click(w->builder(), "insert");
    ASSERT_TRUE(stored(1));
    EXPECT_EQ(VRS.REZDECIMALA.value(), Decimal(15));
    EXPECT_EQ(VRS.REZSTRINGA.str(), "00");
    EXPECT_EQ(VRS.REZSTRINGB.str(), "0000");

    // Obriši takes the receipt away again; then the type cannot be saved as non-taxable.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene");
        EXPECT_TRUE(shown(f, "neopstring").startsWith("Naknada troškova prijevoza"));
        click(f, "obrisi");
        EXPECT_EQ(shown(f, "rezdecimala").trimmed(), "0");
        EXPECT_EQ(shown(f, "neopstring"), "");
        click(f, "ok");
        click(f, "cancel");
    });
    click(w->builder(), "change");
    EXPECT_EQ(ask.last().text,
              "Oznaka stjecatelja je neoporezivi primitak, a nije odabrana oznaka neoporezivog primitka");
    ASSERT_TRUE(stored(1));
    EXPECT_EQ(VRS.REZDECIMALA.value(), Decimal(15));
}

TEST_F(IncomeTypesTest, SuppliedTypesAreFoundByCodeChosenAndKeptWhileInUse) {
    ASSERT_EQ(Store::main().loadTable("VRSTEDOH", suppliedDataDir()), 0);
    openFiles({&DOHOCI});
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    DOH.ISPLATA = 1;
    DOH.VRSTADOHOTKA = 7;
    ASSERT_EQ(DOHOCI.add(), 0);

    ListWindow* w = open("VRSTEDOHOTKA");
    ASSERT_NE(w, nullptr);
    QTableView* table = w->view()->table();
    ASSERT_GE(table->model()->rowCount(), 8);
    EXPECT_EQ(table->model()->index(7, 5).data().toString().trimmed(), "100,00");  // a share of 100 % fits
    type(w->builder(), "locator", "7");
    QTest::keyClick(w->builder().control("locator"), Qt::Key_Return);
    EXPECT_EQ(w->builder().control<QLabel>("naziv")->text(), "Dividende i udjeli u dobiti");
    EXPECT_EQ(table->model()->index(table->currentIndex().row(), 0).data().toString().trimmed(), "7");

    // In use by an income line: the delete is refused and the type stays.
    ask.answers = {BUTTON_OK, BUTTON_OK, BUTTON_NO};
    const size_t before = ask.messages.size();
    QTest::keyClick(table, Qt::Key_Delete);
    ASSERT_GE(ask.messages.size(), before + 2);
    EXPECT_EQ(ask.messages[before + 1].text,
              "This record is referenced from the file dohoci.  This record cannot be deleted while these references "
              "exist.");
    EXPECT_TRUE(stored(7));

    // The income-line form's way in: a chooser that opens on the code in the buffer.
    auto owned = std::make_unique<screens::VRSTEDOHOTKA>();
    auto* chooser = owned.get();
    VRSTEDOH.clear();
    VRS.OZNAKA = 4;
    QTimer::singleShot(0, [chooser] {
        EXPECT_TRUE(chooser->builder().control("select")->isEnabled());
        QTest::keyClick(chooser->view()->table(), Qt::Key_Return);
    });
    EXPECT_EQ(ListWindow::choose(std::move(owned), w), REQUESTCOMPLETED);
    EXPECT_EQ(VRS.NAZIV.str(), "Autorski honorar (izdaci 30 %)");
}

TEST_F(IncomeTypesTest, PrinterOffsetsStepWithTheArrowKeysAndButtons) {
    ListWindow* w = open("BROWSEPARAM");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Podešavanje ispisa na printeru");
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos");
        type(f, "namjena", "Matrični u knjigovodstvu");
        auto* x = f.control<QLineEdit>("xpos");
        x->setFocus();
        QTest::keyClick(x, Qt::Key_Down);
        EXPECT_EQ(x->text().trimmed(), "-1");
        QTest::keyClick(x, Qt::Key_Up);
        QTest::keyClick(x, Qt::Key_Up);
        EXPECT_EQ(x->text().trimmed(), "1");
        type(f, "xpos", "40");
        QTest::keyClick(x, Qt::Key_Up);  // what was typed counts
        EXPECT_EQ(x->text().trimmed(), "41");
        click(f, "yminus");
        click(f, "yminus");
        click(f, "yplus");
        EXPECT_EQ(f.control<QLineEdit>("ypos")->text().trimmed(), "-1");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    PARAM.clear();
    PAR.OZNAKA = 1;
    ASSERT_EQ(PARAM.get(PARAM.KEYOZNAKA), 0);
    EXPECT_EQ(PAR.MODELPRINTERA.str(), "Matrični u knjigovodstvu");
    EXPECT_EQ(PAR.XPOS, 41);
    EXPECT_EQ(PAR.YPOS, -1);
    EXPECT_EQ(w->view()->table()->model()->index(0, 2).data().toString().trimmed(), "41");
}

}  // namespace
