// Windows as a bookkeeper meets them in the frame: always wholly in view,
// usable from a maximized list, Esc as expected, and Exit in one go.
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

#include "codelists/screens/StreetsBanks.h"
#include "store/Records.h"
#include "support/FrameFixture.h"
#include "support/ReferenceData.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/ListWindow.h"

using namespace marel;
using namespace marel::test;

namespace {

class FrameWindowsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        openFiles({&ULICE});
        addStreet(1, "Ilica");
    }
    // The window lies wholly inside the frame's working area.
    void expectInView(QWidget* content) {
        auto* sub = qobject_cast<QMdiSubWindow*>(content->parentWidget());
        ASSERT_NE(sub, nullptr);
        const QRect room(QPoint(0, 0), frame->area()->viewport()->size());
        const QRect g = sub->geometry();
        EXPECT_TRUE(room.contains(g)) << content->windowTitle().toStdString() << " " << g.x() << "," << g.y() << " " << g.width() << "x" << g.height() << " in " << room.width() << "x" << room.height();
    }
    static QMdiSubWindow* subOf(QWidget* content) { return qobject_cast<QMdiSubWindow*>(content->parentWidget()); }
    std::string stored(LONG n) {
        UliceFile other;
        other.open();
        other.OZNAKA = n;
        std::string name = other.get(other.KEYOZNAKA) == 0 ? other.NAZIV.str() : "(none)";
        other.close();
        return name;
    }
};

TEST_F(FrameWindowsTest, AFormBesideAListAtTheEdgeIsMovedIntoViewNotCut) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_NE(streets, nullptr);
    expectInView(streets);
    // The list dragged into the bottom right corner.
    const QSize room = frame->area()->viewport()->size();
    subOf(streets)->move(room.width() - subOf(streets)->width(), room.height() - subOf(streets)->height());
    bool seen = false;
    whenOpen([&](WindowBuilder& f) {
        expectInView(f.root());
        seen = true;
        click(f, "cancel");
    });
    click(streets->builder(), "change");
    EXPECT_TRUE(seen);
}

TEST_F(FrameWindowsTest, AMaximizedListOpensItsFormBesideItAndIsMaximizedAgainAfter) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_NE(streets, nullptr);
    subOf(streets)->showMaximized();
    QApplication::processEvents();
    whenOpen([&](WindowBuilder& f) {
        EXPECT_FALSE(subOf(f.root())->isMaximized());
        EXPECT_FALSE(subOf(streets)->isMaximized());
        expectInView(f.root());
        EXPECT_EQ(f.control<QLineEdit>("naziv")->text(), "Ilica");  // the form shows its record
        type(f, "naziv", "Vlaška");
        click(f, "ok");
    });
    click(streets->builder(), "change");
    QApplication::processEvents();
    EXPECT_TRUE(subOf(streets)->isMaximized());
    EXPECT_EQ(stored(1), "Vlaška");
    EXPECT_EQ(streets->view()->table()->model()->index(0, 0).data().toString(), "Vlaška");
}

TEST_F(FrameWindowsTest, EscCancelsAFormAndLeavesAChooserWithoutAChoice) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_NE(streets, nullptr);
    whenOpen([&](WindowBuilder& f) {
        type(f, "naziv", "Vlaška");
        QTest::keyClick(f.control("naziv"), Qt::Key_Escape);
    });
    click(streets->builder(), "change");
    EXPECT_EQ(stored(1), "Ilica");

    // A chooser answers "cancelled" to Esc.
    auto owned = std::make_unique<screens::ULICE_SCREEN>();
    auto* chooser = owned.get();
    LONG answer = 0;
    QTimer::singleShot(0, [&] { QTest::keyClick(chooser->view()->table(), Qt::Key_Escape); });
    answer = ListWindow::choose(std::move(owned), streets);
    EXPECT_EQ(answer, REQUESTCANCELLED);
}

TEST_F(FrameWindowsTest, ExitWithAFormOpenClosesEveryWindowInOneGo) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    auto* banks = openScreen<ListWindow>(*frame, "BANKE");
    ASSERT_TRUE(streets && banks);
    whenOpen([&](WindowBuilder& f) {
        type(f, "naziv", "Vlaška");
        frame->close();  // File / Exit
    });
    click(streets->builder(), "change");
    for (int i = 0; i < 10 && frame->isVisible(); ++i) QApplication::processEvents();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(frame->area()->subWindowList().isEmpty());
    EXPECT_EQ(stored(1), "Ilica");  // the form answered as its Cancel would
}

}  // namespace
