#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMdiSubWindow>
#include <QTableView>

#include <map>

#include "forms/screens/RsmIddPrints.h"
#include "frame/Screens.h"
#include "joppd/JoppdFixture.h"
#include "payments/screens/Payments.h"
#include "preview/KelReportViewer.h"
#include "report/PageFiles.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/Runtime.h"

using namespace marel;
using namespace marel::test;

namespace {

// The payments window over a payment of two income lines, with the frame as
// the host of the previews it opens.
class RsmIddPrints : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        Date::fixToday(Date::fromYmd(2014, 5, 20));
        VRS.OZNAKA = AUTHOR;
        ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
        VRS.STUPACIDD = 5;
        ASSERT_EQ(VRSTEDOH.put(), 0);
        payment(1, Date::fromYmd(2014, 3, 14));
        line(1, 1, 1, AUTHOR, kAuthorFee);
        line(2, 1, 2, NOCONTRIB, kNoContributions);
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1200, 800);
        frame->show();
    }
    void TearDown() override {
        setWindowHost(nullptr);
        delete frame;
        Date::fixToday(Date());
        JoppdFixture::TearDown();
    }
    KELREPORTVIEWER* viewer() const {
        const auto all = frame->findChildren<KELREPORTVIEWER*>();
        return all.size() == 1 ? all.front() : nullptr;
    }
    // The text of the one open viewer's pages; its window is closed again.
    std::string previewed(const QString& title) {
        KELREPORTVIEWER* v = viewer();
        if (!v) return "(no preview)";
        EXPECT_EQ(v->windowTitle(), title);
        std::string text;
        for (const Page& page : v->pages())
            for (const std::string& l : pageText(page)) text += l + "\n";
        v->close();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return text;
    }
    MAIN* frame = nullptr;
};

bool has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

}  // namespace

TEST_F(RsmIddPrints, MenuEntriesPreviewTheFormsOfTheHighlightedPayment) {
    auto* w = openScreen<screens::ISPLATE_SCREEN>(*frame, "ISPLATE");
    ASSERT_NE(w, nullptr);
    std::map<QString, QAction*> actions;
    for (QAction* a : w->findChildren<QAction*>()) actions[a->text()] = a;
    for (auto [text, keys] : {std::pair{"RSm - A", "Ctrl+A"}, {"RSm - B", "Ctrl+B"}, {"IDD", "Ctrl+D"}}) {
        ASSERT_TRUE(actions.count(text)) << text;
        EXPECT_TRUE(actions[text]->isEnabled()) << text;
        EXPECT_EQ(actions[text]->shortcut(), QKeySequence(keys)) << text;
    }
    EXPECT_EQ(w->month(), "3");  // from the highlighted payment
    EXPECT_EQ(w->year(), "2014");

    // The keys work in the payments window, which gets the focus back after each preview.
    QTableView* payments = w->view(0)->table();
    auto press = [&](Qt::Key key) {
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
        frame->area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
        payments->setFocus();
        QTest::keyClick(payments, key, Qt::ControlModifier);
    };
    press(Qt::Key_A);
    std::string text = previewed("Obrazac R-Sm - stranica A");
    EXPECT_TRUE(has(text, "Broj osiguranika za koje se podnosi Obrazac R-Sm")) << text;
    EXPECT_TRUE(has(text, "14073")) << text;
    EXPECT_TRUE(has(text, "1.399,80")) << text;  // 694.80 + 705.00 paid

    press(Qt::Key_B);
    text = previewed("Obrazac R-Sm - stranica B");
    EXPECT_TRUE(has(text, "Horvat Ivana")) << text;
    EXPECT_TRUE(has(text, "Šimić Đuro")) << text;

    // IDD: the payer of the payment for the month and year of the window.
    press(Qt::Key_D);
    text = previewed("Obrazac IDD");
    EXPECT_TRUE(has(text, "3.  2014.")) << text;
    EXPECT_TRUE(has(text, "2.000,00")) << text;
    EXPECT_TRUE(has(text, "Šećerana Čađavica, Đakovo d.o.o.")) << text;

    // The menu entry does what its key does.
    actions["RSm - B"]->trigger();
    EXPECT_NE(previewed("Obrazac R-Sm - stranica B"), "(no preview)");
}

TEST_F(RsmIddPrints, YearOfOtherThanFourDigitsIsRefusedAtItsField) {
    auto* w = openScreen<screens::ISPLATE_SCREEN>(*frame, "ISPLATE");
    ASSERT_NE(w, nullptr);
    type(w->builder(), "godina", "14");
    tab(w->builder(), "godina");
    EXPECT_EQ(ask.beeps, 1);
    EXPECT_TRUE(w->builder().control("godina")->hasFocus());
    // Whatever the field holds, the form is not made for year 14.
    QTest::keyClick(w->builder().control("godina"), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_GE(ask.beeps, 2);

    type(w->builder(), "godina", "2014");
    tab(w->builder(), "godina");
    EXPECT_EQ(w->year(), "2014");
    QTest::keyClick(w->view(0)->table(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_NE(previewed("Obrazac IDD"), "(no preview)");
}
