#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTableView>

#include "certificates/Certificates.h"
#include "certificates/CrisisTax.h"
#include "certificates/screens/CrisisTaxScreens.h"
#include "certificates/screens/Potvrde.h"
#include "frame/Screens.h"
#include "joppd/JoppdFixture.h"
#include "preview/KelReportViewer.h"
#include "preview/ReportPreview.h"
#include "report/Export.h"
#include "report/PageFiles.h"
#include "session/Globals.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

template <class P>
std::vector<P*> previews() {
    std::vector<P*> out;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* p = qobject_cast<P*>(w)) out.push_back(p);
    return out;
}

std::string textOf(const std::vector<Page>& pages) {
    std::string all;
    for (const auto& p : pages)
        for (const auto& l : pageText(p)) all += l + "\n";
    return all;
}

// The certificate window and the crisis-tax screens in the running frame.
class CertificateScreens : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        openFiles({&KRIPOREZ, &DETKRIP});
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
        GLO.DATUMIZVJ = Date::fromYmd(2015, 1, 20);
        payment(1, Date::fromYmd(2014, 2, 5));
        line(1, 1, 1, AUTHOR, kAuthorFee);
        line(2, 1, 2, NOCONTRIB, kNoContributions);
    }
    void TearDown() override {
        for (auto* v : previews<KELREPORTVIEWER>()) v->close();
        for (auto* v : previews<REPORTPREVIEW>()) v->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete frame;
        JoppdFixture::TearDown();
    }
    static QString cell(ListWindow* w, size_t list, int row, int column) {
        return w->view(list)->table()->model()->index(row, column).data().toString();
    }
    static int rows(ListWindow* w, size_t list) { return w->view(list)->table()->model()->rowCount(); }
    static QString text(ListWindow* w, const char* id) { return w->builder().control<QLineEdit>(id)->text(); }
    static void padKey(QWidget* w, Qt::Key key) { QTest::keyClick(w, key, Qt::KeypadModifier); }

    bool commandEnabled(const QString& text) const {
        for (QAction* a : frame->findChildren<QAction*>())
            if (a->text() == text) return a->isEnabled();
        return false;
    }

    MAIN* frame = nullptr;
};

TEST_F(CertificateScreens, CertificateWindowProposesAYearStepsDateAndYearAndPrintsWithF12) {
    EXPECT_TRUE(commandEnabled("&Potvrde"));
    EXPECT_TRUE(commandEnabled("Potvr&de"));
    EXPECT_TRUE(commandEnabled("&Krizni porez"));

    auto* w = openScreen<screens::POTVRDE>(*frame, "POTVRDE");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Ispis potvrda o isplaćenom dohotku");
    EXPECT_EQ(text(w, "godina").toStdString(), proposedYear(Date::today()));

    // Recipients by surname; the lines paid to the highlighted one below.
    ASSERT_EQ(rows(w, 0), 2);
    EXPECT_EQ(cell(w, 0, 0, 0), "Horvat");
    ASSERT_EQ(rows(w, 1), 1);
    EXPECT_EQ(cell(w, 1, 0, 0), "Šećerana Čađavica, Đakovo d.o.o.");
    EXPECT_EQ(cell(w, 1, 0, 1), "14036");

    // Keypad + and - step the date by a day and the year by a year.
    QLineEdit* date = w->builder().control<QLineEdit>("datum");
    date->setFocus();
    padKey(date, Qt::Key_Plus);
    EXPECT_EQ(GLO.DATUMIZVJ, Date::fromYmd(2015, 1, 21));
    padKey(date, Qt::Key_Minus);
    padKey(date, Qt::Key_Minus);
    EXPECT_EQ(GLO.DATUMIZVJ, Date::fromYmd(2015, 1, 19));

    type(w->builder(), "godina", "2013");
    QLineEdit* year = w->builder().control<QLineEdit>("godina");
    padKey(year, Qt::Key_Plus);
    EXPECT_EQ(year->text(), "2014");
    padKey(year, Qt::Key_Minus);
    padKey(year, Qt::Key_Minus);
    EXPECT_EQ(year->text(), "2012");
    click(w->builder(), "gore");
    click(w->builder(), "gore");
    EXPECT_EQ(w->year(), "2014");

    // Anything but four digits is refused at the field and the year stays.
    const int beeps = ask.beeps;
    type(w->builder(), "godina", "14");
    tab(w->builder(), "godina");
    EXPECT_GT(ask.beeps, beeps);
    EXPECT_EQ(w->year(), "2014");
    EXPECT_TRUE(year->hasFocus());

    // F12 shows the certificate of the year in the previewer.
    QTest::keyClick(w->view(0)->table(), Qt::Key_F12);
    auto viewers = previews<KELREPORTVIEWER>();
    ASSERT_EQ(viewers.size(), 1u);
    const std::string printed = textOf(viewers[0]->pages());
    EXPECT_NE(printed.find("Ivana Horvat"), std::string::npos) << printed;
    EXPECT_NE(printed.find("U 2014. GODINI"), std::string::npos);
    EXPECT_NE(printed.find("Zagreb, 19.01.2015."), std::string::npos);
    EXPECT_EQ(viewers[0]->zoomName(), "Page Width");

    // A year the payer paid her nothing shows her paper with a total of zeros.
    type(w->builder(), "godina", "2012");
    tab(w->builder(), "godina");
    click(w->builder(), "ispis");
    viewers = previews<KELREPORTVIEWER>();
    ASSERT_EQ(viewers.size(), 2u);
    EXPECT_NE((textOf(viewers[0]->pages()) + textOf(viewers[1]->pages())).find("U 2012. GODINI"), std::string::npos);
    EXPECT_TRUE(ask.messages.empty());
}

TEST_F(CertificateScreens, EveryCertificateOfTheYearInOnePreviewOrSaysThereIsNothing) {
    auto* w = openScreen<screens::POTVRDE>(*frame, "POTVRDE");
    ASSERT_NE(w, nullptr);
    type(w->builder(), "godina", "2014");
    tab(w->builder(), "godina");
    click(w->builder(), "svi");
    auto viewers = previews<KELREPORTVIEWER>();
    ASSERT_EQ(viewers.size(), 1u);
    ASSERT_EQ(viewers[0]->pages().size(), 2u);
    EXPECT_NE(textOf({viewers[0]->pages()[0]}).find("Ivana Horvat"), std::string::npos);
    EXPECT_NE(textOf({viewers[0]->pages()[1]}).find("Đuro Šimić"), std::string::npos);

    // 2009 and 2010 are the years of the certificate with crisis tax.
    payment(2, Date::fromYmd(2010, 3, 1));
    line(3, 2, 1, AUTHOR, kAuthorFee);
    type(w->builder(), "godina", "2010");
    tab(w->builder(), "godina");
    click(w->builder(), "ispis");
    viewers = previews<KELREPORTVIEWER>();
    ASSERT_EQ(viewers.size(), 2u);
    const std::string crisis = textOf(viewers[0]->pages()) + textOf(viewers[1]->pages());
    EXPECT_NE(crisis.find("U 2010. GODINI"), std::string::npos);
    EXPECT_NE(crisis.find("Posebni"), std::string::npos) << crisis;

    type(w->builder(), "godina", "2011");
    tab(w->builder(), "godina");
    click(w->builder(), "svi");
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text, NOTHING_TO_PRINT);
    EXPECT_EQ(previews<KELREPORTVIEWER>().size(), 2u);
}

TEST_F(CertificateScreens, IppRecordIsEnteredRefreshedPrintedAndDeletedWithItsRows) {
    Amounts crisis = kNoContributions;
    crisis[POZ_KRIPOREZ] = "14.10";
    payment(2, Date::fromYmd(2010, 5, 3));
    line(3, 2, 1, NOCONTRIB, crisis);

    auto* w = openScreen<screens::PREGLEDKRIPOREZ>(*frame, "PREGLEDKRIPOREZ");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "IPP Obrasci po mjesecima");
    EXPECT_TRUE(w->builder().control("select")->isHidden());

    // A new record: payer, year and month.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Adding a kriporez Record");
        EXPECT_EQ(f.control<QLineEdit>("godina")->text().toStdString(), std::to_string(Date::today().year()));
        type(f, "isplatitelj", "1");
        tab(f, "isplatitelj");
        type(f, "godina", "2010");
        tab(f, "godina");
        type(f, "mjesec", "5");
        tab(f, "mjesec");
        click(f, "ok");
    });
    click(w->builder(), "insert");
    ASSERT_EQ(KRIPOREZ.records(), 1);
    ASSERT_EQ(rows(w, 0), 1);
    EXPECT_EQ(cell(w, 0, 0, 0), "Šećerana Čađavica, Đakovo d.o.o.");

    // A second record of the same payer and month is refused, and the form stays.
    whenOpen([this](WindowBuilder& f) {
        type(f, "isplatitelj", "1");
        tab(f, "isplatitelj");
        type(f, "godina", "2010");
        tab(f, "godina");
        type(f, "mjesec", "5");
        tab(f, "mjesec");
        click(f, "ok");
        ASSERT_FALSE(ask.messages.empty());
        EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:KRP:KeyGlavni");
        click(f, "cancel");
    });
    click(w->builder(), "insert");
    EXPECT_EQ(KRIPOREZ.records(), 1);
    ask.messages.clear();

    // The refresh fills the row of other income from the month's payments.
    click(w->builder(), "azuriranje");
    ASSERT_EQ(rows(w, 1), 1);
    EXPECT_EQ(cell(w, 1, 0, 0).trimmed(), "3");
    EXPECT_EQ(cell(w, 1, 0, 1).trimmed(), "1");
    EXPECT_EQ(cell(w, 1, 0, 2).trimmed(), "705,00");
    EXPECT_EQ(cell(w, 1, 0, 3).trimmed(), "14,10");

    // A row entered by hand, of its own kind.
    whenOpen([](WindowBuilder& f) {
        EXPECT_EQ(title(f), "Unos pozicija");
        type(f, "broj", "4");
        tab(f, "broj");
        type(f, "osnovica", "1000,00");
        tab(f, "osnovica");
        click(f, "ok");
    });
    click(w->builder(), "d.insert");
    ASSERT_EQ(rows(w, 1), 2);
    EXPECT_EQ(cell(w, 1, 0, 0).trimmed(), "1");
    EXPECT_EQ(cell(w, 1, 0, 3).trimmed(), "");  // blank when zero

    // The form in the simple preview.
    click(w->builder(), "ispis");
    auto shown = previews<REPORTPREVIEW>();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->state().count(), 1);

    // Deleting the record takes its rows with it.
    ask.answers = {BUTTON_OK};
    w->view(0)->table()->setFocus();
    click(w->builder(), "delete");
    EXPECT_EQ(KRIPOREZ.records(), 0);
    EXPECT_EQ(DETKRIP.records(), 0);
}

}  // namespace
