// Every window of the program, as a bookkeeper sees it in a frame of
// 1024×768: no value is cut in an entry, a shown field or a list column, and
// no caption is cut. The windows are reached as the user reaches them: each
// registered screen, and the form its Insert opens.
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>

#include <set>

#include "frame/Screens.h"
#include "support/ReferenceData.h"
#include "support/ScreenDriver.h"
#include "support/FrameFixture.h"
#include "ui/ListFormat.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/ListWindow.h"
#include "ui/screens/WindowHost.h"

using namespace marel;
using namespace marel::test;

namespace {

// The resource's controls in the order the builder numbers their widgets,
// and whether each lies in a group or on a tab.
void flatten(const std::vector<Control>& controls, std::vector<const Control*>& out, std::vector<bool>& framed,
             bool inFrame = false) {
    for (const Control& c : controls) {
        out.push_back(&c);
        framed.push_back(inFrame);
        flatten(c.children, out, framed, inFrame || c.kind == ControlKind::Group || c.kind == ControlKind::Tab);
    }
}

// Pixels of the widest text a picture can show: every character its widest
// digit; for a name, that many letters of average width.
int widest(const QFontMetrics& fm, const Picture& p) {
    if (p.kind() == Picture::Kind::String && p.width() > kCodeLength) return p.width() * fm.averageCharWidth();
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c) digit = std::max(digit, fm.horizontalAdvance(QString(p.width(), QLatin1Char(c))));
    return digit;
}

QString caption(QString s) { return s.remove(QLatin1Char('&')); }

// What of a window is cut, one line per control.
std::vector<std::string> cutControls(WindowBuilder& w) {
    std::vector<std::string> cut;
    std::vector<const Control*> defs;
    std::vector<bool> framed;
    flatten(w.resource().controls, defs, framed);
    const std::string where = w.resource().title + ": ";
    for (QWidget* widget : w.root()->findChildren<QWidget*>()) {
        const QVariant item = widget->property("marelItem");
        if (!item.isValid() || item.toInt() >= int(defs.size())) continue;
        const Control& c = *defs[size_t(item.toInt())];
        const std::string name = where + (c.id.empty() ? c.text : c.id);
        const QFontMetrics fm = widget->fontMetrics();
        const int room = widget->contentsRect().width();
        if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && !c.picture.empty()) {
            // The text area of a line edit: inside its frame, less its margins of 2 pixels.
            const int text = room - edit->textMargins().left() - edit->textMargins().right() - 4;
            // Text longer than any window is wide scrolls in its entry.
            const int value = widest(fm, Picture::parse(c.picture));
            if (value > text && value < windowRoomWidth()) cut.push_back(name + " (entry)");
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->pixmap().isNull()) {
            // A display of several lines wraps; a line of it is never cut.
            if (label->wordWrap() && !c.picture.empty()) continue;
            const int shown = c.picture.empty() ? fm.horizontalAdvance(caption(label->text()))
                                                : widest(fm, Picture::parse(c.picture));
            // A long text shown in a group (a printer's model of a hundred
            // letters) has the room its resource gives it and never more than
            // the group holds; the screenshot walk sees that real ones are whole.
            const bool longText = !c.picture.empty() && Picture::parse(c.picture).kind() == Picture::Kind::String &&
                                  Picture::parse(c.picture).width() > kCodeLength;
            if (longText && framed[size_t(item.toInt())]) {
                if (label->width() < w.pixelsX(c.at.width)) cut.push_back(name + " (text)");
                continue;
            }
            if (shown > room) cut.push_back(name + " (text)");
        } else if (auto* b = qobject_cast<QPushButton*>(widget)) {
            const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            if (fm.horizontalAdvance(caption(b->text())) + margin > b->width()) cut.push_back(name + " (button)");
        } else if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            if (widget->sizeHint().width() > widget->width()) cut.push_back(name + " (check)");
        }
    }
    for (auto* view : w.root()->findChildren<ListBrowserView*>()) {
        const ListFormat& format = view->browser().format();
        QHeaderView* header = view->table()->horizontalHeader();
        const QFontMetrics fm = view->table()->fontMetrics();
        const QFontMetrics hm = header->fontMetrics();
        for (size_t i = 0; i < format.columns.size(); ++i) {
            const ListColumn& col = format.columns[i];
            const int indent =
                col.align == ColumnAlign::Center ? 0 : col.indent * view->fontMetrics().averageCharWidth() / 4;
            const int room = header->sectionSize(int(i)) - 5 - indent;
            const std::string name = where + "column \"" + col.title + "\"";
            if (widest(fm, col.picture) > room) cut.push_back(name);
            if (hm.horizontalAdvance(QString::fromStdString(col.title)) > header->sectionSize(int(i)) - 8)
                cut.push_back(name + " heading");
        }
    }
    return cut;
}

// In a frame of 1024 x 768, the size a bookkeeper's small screen gives it.
class WindowWidthsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        openFiles({&ULICE, &BANKE, &MJESTA, &OPCINE, &OSOBE, &SUBJEKTI});
        frame->resize(1024, 768);
    }
};

TEST_F(WindowWidthsTest, NoValueAndNoCaptionIsCutInAnyWindow) {
    std::vector<std::string> cut;
    std::set<std::string> seen;
    std::vector<std::string> outside;
    std::vector<std::string> sideways;
    auto check = [&](WindowBuilder& w) {
        if (!seen.insert(w.resource().title).second) return;
        for (std::string& c : cutControls(w)) cut.push_back(std::move(c));
        // And the window lies wholly inside the frame's working area.
        auto* s = qobject_cast<QMdiSubWindow*>(w.root()->parentWidget());
        if (s && !QRect(QPoint(0, 0), frame->area()->viewport()->size()).contains(s->geometry()))
            outside.push_back(w.root()->windowTitle().toStdString());
        // A list does not scroll sideways while its window could still grow
        // in the frame to show every column.
        for (auto* view : w.root()->findChildren<ListBrowserView*>()) {
            const int missing = view->neededWidth() - view->width();
            if (s && missing > 0 && s->width() + missing + 32 <= frame->area()->viewport()->width())
                sideways.push_back(w.resource().title);
        }
    };
    const std::vector<std::string> screens = registeredScreens();
    ASSERT_FALSE(screens.empty());
    for (const std::string& name : screens) {
        QMdiSubWindow* sub = frame->openScreen(name);
        ASSERT_NE(sub, nullptr) << name;
        QApplication::processEvents();
        WindowBuilder* list = builderOf(sub->widget());
        ASSERT_NE(list, nullptr) << name;
        check(*list);
        // Each Insert of the window opens its form: checked, then cancelled.
        for (QPushButton* b : list->root()->findChildren<QPushButton*>()) {
            if (!b->objectName().endsWith(QLatin1String("insert")) || !b->isVisible() || !b->isEnabled()) continue;
            QTimer::singleShot(0, [&, list] {
                WindowBuilder* form = builderOf(activeContent());
                if (!form || form == list) return;
                check(*form);
                if (auto* cancel = form->control<QPushButton>("cancel")) cancel->click();
                else form->root()->close();
            });
            QTest::mouseClick(b, Qt::LeftButton);
            QApplication::processEvents();
        }
        sub->close();
        QApplication::processEvents();
    }
    EXPECT_GE(seen.size(), screens.size());
    EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
    EXPECT_TRUE(outside.empty()) << ::testing::PrintToString(outside);
    EXPECT_TRUE(sideways.empty()) << ::testing::PrintToString(sideways);
}

}  // namespace
