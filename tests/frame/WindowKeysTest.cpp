// Every window of the program on the demo data, reached as the user reaches
// it (each screen, the forms its Insert and Change open, and theirs): no
// Alt letter means two things, and no amount shows in any but the Croatian
// format.
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <set>

#include "support/FrameFixture.h"
#include "support/ScreenDriver.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

// A number shown with a decimal point ("1724.14"), or a comma without the
// points between thousands ("1724,14"). A date ("05.03.2014.") is neither.
bool foreignAmount(const QString& text) {
    static const QRegularExpression pointed(QStringLiteral("^-?\\d+\\.\\d{1,2}$"));
    static const QRegularExpression ungrouped(QStringLiteral("^-?\\d{4,},\\d+$"));
    const QString t = text.trimmed();
    return pointed.match(t).hasMatch() || ungrouped.match(t).hasMatch();
}

class WindowKeysTest : public DemoFrameFixture {
protected:
    // Looks at a window, then at each window its Insert and Change buttons
    // open (to `depth` levels), each closed again without saving.
    void visit(WindowBuilder& w, int depth) {
        const std::string title = w.root()->windowTitle().toStdString();
        titles.insert(title);
        // Windows of one title ("Promjene") differ in their controls.
        std::string signature = title;
        std::function<void(const std::vector<Control>&)> ids = [&](const std::vector<Control>& controls) {
            for (const Control& c : controls) {
                signature += "|" + c.id;
                ids(c.children);
            }
        };
        ids(w.resource().controls);
        if (!seen.insert(signature).second) return;
        for (const std::string& c : w.keyClashes()) clashes.push_back(title + ": " + c);
        // What the window shows: its entries, its displays and its lists' cells.
        auto look = [&](const QString& shown) {
            if (foreignAmount(shown)) amounts.push_back(title + ": " + shown.trimmed().toStdString());
        };
        for (QLineEdit* e : w.root()->findChildren<QLineEdit*>()) look(e->text());
        for (QLabel* l : w.root()->findChildren<QLabel*>()) look(l->text());
        for (ListBrowserView* v : w.root()->findChildren<ListBrowserView*>()) {
            QAbstractItemModel* m = v->table()->model();
            for (int r = 0; r < m->rowCount(); ++r)
                for (int c = 0; c < m->columnCount(); ++c) look(m->data(m->index(r, c)).toString());
        }
        if (depth == 0) return;
        for (QAbstractButton* b : w.root()->findChildren<QAbstractButton*>()) {
            const QString id = b->objectName();
            if (!(id.endsWith(QLatin1String("insert")) || id.endsWith(QLatin1String("change"))) || !b->isVisible() ||
                !b->isEnabled())
                continue;
            QTimer::singleShot(0, [this, &w, depth] {
                WindowBuilder* opened = builderOf(activeContent());
                if (!opened || opened == &w) return;
                visit(*opened, depth - 1);
                close(opened->root());
            });
            QTest::mouseClick(b, Qt::LeftButton);
            QApplication::processEvents();
        }
    }
    // Cancels `window` and whatever it opened over itself (a chooser), until it has gone.
    static void close(QPointer<QWidget> window) {
        if (!window || !window->isVisible()) return;
        if (WindowBuilder* top = builderOf(activeContent())) {
            if (auto* cancel = top->control<QAbstractButton>("cancel")) cancel->click();
            else top->root()->close();
        }
        QTimer::singleShot(20, [window] { close(window); });
    }

    std::set<std::string> seen, titles;
    std::vector<std::string> clashes;
    std::vector<std::string> amounts;
};

TEST_F(WindowKeysTest, EveryWindowGivesEachAltLetterOneMeaningAndShowsAmountsTheCroatianWay) {
    const std::vector<std::string> screens = registeredScreens();
    ASSERT_FALSE(screens.empty());
    for (const std::string& name : screens) {
        QMdiSubWindow* sub = frame->openScreen(name);
        ASSERT_NE(sub, nullptr) << name;
        ASSERT_TRUE(QTest::qWaitFor([sub] { return sub->widget()->isVisible(); }, 2000)) << name;
        WindowBuilder* list = builderOf(sub->widget());
        ASSERT_NE(list, nullptr) << name;
        visit(*list, 3);
        sub->close();
        QApplication::processEvents();
    }
    // The forms of the lists and those of the forms were reached too.
    for (const char* form : {"Promjene podataka o općini", "Promjene - mjesta", "Promjene", "Changing a obracun Record"})
        EXPECT_TRUE(titles.count(form)) << form;
    EXPECT_TRUE(clashes.empty()) << ::testing::PrintToString(clashes);
    EXPECT_TRUE(amounts.empty()) << ::testing::PrintToString(amounts);
}

}  // namespace
