#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableView>

#include <filesystem>

#include "forms/screens/Id1Forms.h"
#include "frame/Screens.h"
#include "joppd/JoppdFixture.h"
#include "preview/KelReportViewer.h"
#include "preview/ReportPreview.h"
#include "session/Globals.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// The ID-1 forms in the running frame: the list with its file and cover
// letter, the form of one record, and the printed form from the payments.
class Id1FormsTest : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        openFiles({&ID1});
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
        VRS.OZNAKA = AUTHOR;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.RNPOREZ = "1805";
        ASSERT_EQ(VRSTEDOH.put(), 0);
        payment(1, Date::fromYmd(2013, 2, 5));
        line(1, 1, 1, AUTHOR, kAuthorFee);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<KELREPORTVIEWER*>(w) || qobject_cast<REPORTPREVIEW*>(w)) w->close();
        for (QMdiSubWindow* s : frame->area()->subWindowList())
            if (qobject_cast<KELREPORTVIEWER*>(s->widget()) || qobject_cast<REPORTPREVIEW*>(s->widget())) s->close();
        QApplication::processEvents();
        delete frame;
        Date::fixToday(Date());
        initGlobals();
        JoppdFixture::TearDown();
    }
    static void id1Form(LONG n, LONG payer, const char* year) {
        ID1.clear();
        ID1.OZNAKA = n;
        ID1.ISPLATITELJ = payer;
        ID1.STORNO = "false";
        ID1.GODINA = year;
        ID1.KONIME = "Vesna";
        ID1.KONPREZIME = "Tomić";
        ID1.KONPOZ1 = 1;
        ID1.KONTEL1 = "4567890";
        ASSERT_EQ(ID1.add(), 0);
    }
    static QString cell(ListWindow* w, int row, int column) {
        return w->view()->table()->model()->index(row, column).data().toString().trimmed();
    }
    static int rows(ListWindow* w) { return w->view()->table()->model()->rowCount(); }
    static bool stored(LONG number) {
        ID1.clear();
        ID1.OZNAKA = number;
        return ID1.get(ID1.KEYOZNAKA) == 0;
    }
    // A preview of the given kind, wherever it opened.
    template <class P>
    P* preview() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<P*>(w); p && p->isVisible()) return p;
        for (QMdiSubWindow* s : frame->area()->subWindowList())
            if (auto* p = qobject_cast<P*>(s->widget())) return p;
        return nullptr;
    }
    MAIN* frame = nullptr;
};

TEST_F(Id1FormsTest, ListWritesTheFileOfTheHighlightedFormAndPrintsItsCoverLetter) {
    id1Form(1, 1, "2013");
    id1Form(2, 1, "2014");
    auto* w = openScreen<ListWindow>(*frame, "PREGLEDID1OBRAZACA");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Browse the id1 File");
    // The latest year first, each with its payer beside it.
    ASSERT_EQ(rows(w), 2);
    EXPECT_EQ(cell(w, 0, 2), "2014");
    EXPECT_EQ(cell(w, 1, 2), "2013");
    EXPECT_EQ(cell(w, 1, 0), "Šećerana Čađavica, Đakovo d.o.o.");
    EXPECT_EQ(cell(w, 1, 1), "69435151530");

    // The 2013 form: its file lands in the data folder, without a word.
    QTableView* table = w->view()->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(1, 0)).center());
    click(w->builder(), "xml");
    EXPECT_TRUE(ask.messages.empty()) << ask.texts().front();
    const fs::path file = fs::absolute(folder.path()) / "ID-1_69435151530_01.xml";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_NE(readFile(file).find("<IsplataUGodini>2013</IsplataUGodini>"), std::string::npos);
    EXPECT_NE(readFile(file).find("<Ukupno>165.20</Ukupno>"), std::string::npos);

    // Its cover letter opens in the previewer; the list stays as it was.
    click(w->builder(), "dopis");
    QApplication::processEvents();
    auto* letter = preview<KELREPORTVIEWER>();
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ(letter->pages().size(), 1u);
    EXPECT_EQ(rows(w), 2);
    EXPECT_EQ(cell(w, w->view()->table()->currentIndex().row(), 2), "2013");
}

TEST_F(Id1FormsTest, NewFormProposesLastYearAndTheLastContactAndHandsItsContactOn) {
    Date::fixToday(Date::fromYmd(2014, 2, 20));
    GLO.KONIME = "Ana";
    GLO.KONPREZIME = "Anić";
    GLO.KONPOZ1 = 21;
    GLO.KONTEL1 = "123456";
    auto* w = openScreen<ListWindow>(*frame, "PREGLEDID1OBRAZACA");
    ASSERT_NE(w, nullptr);

    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Adding a id1 Record");
        EXPECT_EQ(f.control<QLineEdit>("oznaka")->text().trimmed(), "1");
        EXPECT_EQ(f.control<QLineEdit>("godina")->text(), "2013");
        EXPECT_EQ(f.control<QLineEdit>("konime")->text(), "Ana");
        EXPECT_EQ(f.control<QLineEdit>("kontel1")->text(), "123456");
        type(f, "isplatitelj", "1");
        tab(f, "isplatitelj");
        EXPECT_EQ(f.control<QLabel>("isplatitelj.naziv")->text(), "Šećerana Čađavica, Đakovo d.o.o.");
        type(f, "konime", "Iva");
        type(f, "kontel2", "555123");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    ASSERT_TRUE(stored(1));
    EXPECT_EQ(ID1.ISPLATITELJ, 1);
    EXPECT_EQ(ID1.STORNO.str(), "false");
    EXPECT_EQ(ID1.GODINA.str(), "2013");
    EXPECT_EQ(ID1.KONPREZIME.str(), "Anić");
    EXPECT_EQ(GLO.KONIME.str(), "Iva");
    EXPECT_EQ(GLO.KONTEL2.str(), "555123");

    // A number that names no payer opens the payer list to choose from.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Changing a id1 Record");
        whenOpen([](WindowBuilder& chooser) { click(chooser, "select"); });
        type(f, "isplatitelj", "7");
        tab(f, "isplatitelj");
        EXPECT_EQ(f.control<QLineEdit>("isplatitelj")->text().trimmed(), "1");
        click(f, "ok");
    });
    QTest::keyClick(w->view()->table(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(stored(1));
    EXPECT_EQ(ID1.ISPLATITELJ, 1);
}

TEST_F(Id1FormsTest, PaymentsMenuPrintsTheFormOfTheHighlightedPayerAndTypedYear) {
    auto* w = openScreen<ListWindow>(*frame, "ISPLATE");
    ASSERT_NE(w, nullptr);
    QAction* entry = nullptr;
    for (QAction* a : w->actions())
        if (a->text() == "ID-1") entry = a;
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEnabled());
    EXPECT_EQ(entry->shortcut(), QKeySequence("Ctrl+I"));
    entry->trigger();
    QApplication::processEvents();
    auto* shown = preview<REPORTPREVIEW>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->state().count(), 1);
}

}  // namespace
