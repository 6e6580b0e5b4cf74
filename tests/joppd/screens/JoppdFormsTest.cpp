#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTableView>

#include <filesystem>

#include "joppd/JoppdFixture.h"
#include "joppd/screens/JoppdForms.h"
#include "frame/Screens.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// The list of JOPPD forms in the running frame: files created from it, forms
// completed and changed through their form.
class JoppdFormsTest : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
        payment(1, Date::fromYmd(2014, 2, 5));
        line(1, 1, 1, AUTHOR, kAuthorFee);
        payment(2, Date::fromYmd(2014, 3, 10));
        line(2, 2, 2, NOCONTRIB, kNoContributions);
        form(1, 1);
    }
    void TearDown() override {
        delete frame;
        JoppdFixture::TearDown();
    }
    ListWindow* open() {
        return openScreen<ListWindow>(*frame, "JOPOOBRASCI");
    }
    static QString cell(ListWindow* w, int row, int column) {
        return w->view()->table()->model()->index(row, column).data().toString();
    }
    static int rows(ListWindow* w) { return w->view()->table()->model()->rowCount(); }
    static QString text(ListWindow* w, const char* id) { return w->builder().control<QLineEdit>(id)->text(); }
    // The stored form record, read afresh.
    static bool stored(LONG number) {
        JOPO.clear();
        JOPO.OZNAKA = number;
        return JOPO.get(JOPO.KEYOZNAKA) == 0;
    }
    static void another(LONG number, LONG payment, BYTE sequence, const char* identifier) {
        JOPO.clear();
        JOPO.OZNAKA = number;
        JOPO.ISPLATA = payment;
        JOPO.RBR = sequence;
        JOPO.IMEAUTORA = "Ana";
        JOPO.PREZIMEAUTORA = "Anić";
        JOPO.EMAIL = "ana.anic@secerana.hr";
        JOPO.UJED = identifier;
        ASSERT_EQ(JOPO.add(), 0);
    }
    size_t xmlFiles() const {
        size_t n = 0;
        for (const auto& e : fs::recursive_directory_iterator(folder.path())) n += e.path().extension() == ".xml";
        return n;
    }
    MAIN* frame = nullptr;
};

TEST_F(JoppdFormsTest, FileIsCreatedFromTheListAndOutlivesItsForm) {
    fs::create_directory(folder.path() / "XML");
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    QTableView* table = w->view()->table();
    EXPECT_EQ(w->windowTitle(), "Pregled JOP obrazaca (koji su kreirani u pregledu isplata)");
    EXPECT_TRUE(w->builder().control("select")->isHidden());  // not a chooser
    ASSERT_EQ(rows(w), 1);
    EXPECT_EQ(cell(w, 0, 1), "14036");  // the payment's designation
    EXPECT_EQ(cell(w, 0, 2), "Šećerana Čađavica, Đakovo d.o.o.");
    EXPECT_EQ(text(w, "ujed"), kIdentifier);
    EXPECT_EQ(text(w, "datoteka"), "");

    // The button writes the file into the XML folder and the path shows at once.
    const fs::path file = folder.path() / "XML" / "JOP_14036_3f2a.xml";
    click(w->builder(), "xml");
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().text.rfind("XML datoteka kreirana:\r\n", 0), 0u);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(text(w, "datoteka").toStdString(), file.string());
    EXPECT_EQ(cell(w, 0, 7).toStdString(), file.string());

    // Alt+X writes it again under the same name; the form keeps its path.
    fs::remove(file);
    ask.messages.clear();
    QTest::keyClick(table, Qt::Key_X, Qt::AltModifier);
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text.rfind("XML datoteka kreirana:\r\n", 0), 0u);
    EXPECT_TRUE(fs::exists(file));
    ASSERT_TRUE(stored(1));
    EXPECT_EQ(JOPO.DATOTEKA.str(), file.string());

    // A second report of the same payment: the newest payments come first.
    another(2, 2, 1, "99bb0000-0000-4000-8000-000000000000");
    another(3, 1, 2, "77aa0000-0000-4000-8000-000000000000");
    w->browser().refresh(true);
    ASSERT_EQ(rows(w), 3);
    EXPECT_EQ(cell(w, 0, 9).trimmed(), "2");  // payment 2 first
    EXPECT_EQ(cell(w, 1, 3).trimmed(), "1");
    EXPECT_EQ(cell(w, 2, 3).trimmed(), "2");  // then payment 1 by sequence number

    // Deleting a form removes the record only; its file stays on disk.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(1, 0)).center());
    EXPECT_EQ(text(w, "ujed"), kIdentifier);
    ask.answers = {BUTTON_OK};
    click(w->builder(), "delete");
    EXPECT_FALSE(stored(1));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(rows(w), 2);
}

TEST_F(JoppdFormsTest, FormsAreCompletedAndDuplicatesNamed) {
    ListWindow* w = open();
    ASSERT_NE(w, nullptr);
    QTableView* table = w->view()->table();

    // Inserted by hand: the next number, no identifier, and the payment's
    // designation and payer beside its number as it is typed.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Adding a jopo Record");
        EXPECT_EQ(f.control<QLineEdit>("oznaka")->text().trimmed(), "2");
        EXPECT_EQ(f.control<QLineEdit>("ujed")->text(), "");
        type(f, "isplata", "2");
        tab(f, "isplata");
        EXPECT_EQ(f.control<QLabel>("rsid")->text(), "14069");
        EXPECT_EQ(f.control<QLabel>("platitelj")->text(), "Šećerana Čađavica, Đakovo d.o.o.");
        type(f, "rbr", "1");
        type(f, "ime", "Marko");
        type(f, "prezime", "Marić");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    ASSERT_TRUE(stored(2));
    EXPECT_EQ(JOPO.ISPLATA, 2);
    EXPECT_EQ(JOPO.PREZIMEAUTORA.str(), "Marić");
    EXPECT_TRUE(JOPO.UJED.empty());

    // Its file is refused until the form has an e-mail and an identifier.
    ASSERT_EQ(rows(w), 2);
    EXPECT_EQ(cell(w, 0, 0).trimmed(), "2");
    ask.messages.clear();
    click(w->builder(), "xml");
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text, "NISU UNESENI SVI PODACI O AUTORU OBRASCA");
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Promjene");
        type(f, "email", "marko@secerana.hr");
        click(f, "ok");
    });
    QTest::keyClick(table, Qt::Key_Return, Qt::ControlModifier);
    click(w->builder(), "xml");
    EXPECT_EQ(ask.last().text, "NIJE FORMIRAN IDENTIFIKATOR XML OBRASCA (HEKSADECIMALNI BROJ)");
    EXPECT_EQ(xmlFiles(), 0u);

    // Changed to the payment and sequence number of the first form: refused
    // with the key's name, and the form stays open until cancelled.
    whenOpen([](WindowBuilder& f) {
        type(f, "isplata", "1");
        type(f, "ujed", "0a1b2c3d-0000-4000-8000-000000000000");
        click(f, "ok");
        EXPECT_EQ(marel::test::activeContent()->windowTitle(), "Promjene");
        click(f, "cancel");
    });
    QTest::keyClick(table, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:JOPO:KeyJedinstvo");
    ASSERT_TRUE(stored(2));
    EXPECT_EQ(JOPO.ISPLATA, 2);

    // The identifier of another form, and another form's number, likewise.
    whenOpen([](WindowBuilder& f) {
        type(f, "ujed", kIdentifier);
        click(f, "ok");
        click(f, "cancel");
    });
    QTest::keyClick(table, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:JOPO:KeyUjed");
    whenOpen([](WindowBuilder& f) {
        type(f, "oznaka", "1");
        type(f, "ujed", kIdentifier);
        click(f, "ok");
        click(f, "cancel");
    });
    QTest::keyClick(table, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:JOPO:KeyOznaka");

    // A fresh identifier is accepted, and the file is written.
    whenOpen([](WindowBuilder& f) {
        type(f, "ujed", "0a1b2c3d-0000-4000-8000-000000000000");
        click(f, "ok");
    });
    QTest::keyClick(table, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(text(w, "ujed"), "0a1b2c3d-0000-4000-8000-000000000000");
    click(w->builder(), "xml");
    EXPECT_EQ(ask.last().text.rfind("XML datoteka kreirana:\r\n", 0), 0u);
    EXPECT_TRUE(fs::exists(folder.path() / "JOP_14069_0a1b.xml"));
    EXPECT_EQ(text(w, "datoteka").toStdString(), (folder.path() / "JOP_14069_0a1b.xml").string());
}

}  // namespace
