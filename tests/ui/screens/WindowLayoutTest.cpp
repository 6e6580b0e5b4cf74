// How the builder lays out a window: what the resource gives a control and
// what the control needs (its caption, its widest value, a list's columns)
// are reconciled when the window is built, and at any size the window can
// take its controls stay apart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <string>
#include <vector>

#include "common/Prompter.h"
#include "ui/screens/WindowBuilder.h"

using namespace marel;

namespace {

// The pixels a caption's text takes, from the caption's left edge.
int textRight(const QLabel* l) {
    return l->x() + l->contentsRect().left() + l->fontMetrics().horizontalAdvance(l->text().remove('&'));
}

// Controls of the window lying over each other, except a control over the
// group it lies in.
std::vector<std::string> overlaps(const WindowBuilder& b) {
    std::vector<std::string> found;
    auto inside = [&](size_t child, size_t frame) {
        for (int p = b.parentAt(child); p >= 0; p = b.parentAt(size_t(p)))
            if (size_t(p) == frame) return true;
        return false;
    };
    for (size_t i = 0; i < b.controlCount(); ++i)
        for (size_t j = i + 1; j < b.controlCount(); ++j) {
            QWidget* a = b.widgetAt(i);
            QWidget* c = b.widgetAt(j);
            if (!a->isVisible() || !c->isVisible() || inside(i, j) || inside(j, i)) continue;
            if (a->geometry().intersects(c->geometry()))
                found.push_back(b.definitionAt(i).id + "/" + b.definitionAt(i).text + " over " + b.definitionAt(j).id +
                                "/" + b.definitionAt(j).text);
        }
    return found;
}

std::vector<std::string> outside(const WindowBuilder& b) {
    std::vector<std::string> found;
    for (size_t i = 0; i < b.controlCount(); ++i) {
        QWidget* w = b.widgetAt(i);
        if (w->isVisible() && !b.root()->rect().contains(w->geometry()))
            found.push_back(b.definitionAt(i).id + "/" + b.definitionAt(i).text);
    }
    return found;
}

class WindowLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { setPrompter(&prompts); }
    void TearDown() override { setPrompter(nullptr); }
    void show(WindowResource r) {
        builder = new WindowBuilder(std::move(r), &root);
        root.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&root));
    }
    ScriptedPrompter prompts;
    LONG broj = 123;
    String<2> vrsta = "I";
    String<100> model = "Virmani HUB-3A, pisač u računovodstvu";
    QWidget root;
    WindowBuilder* builder = nullptr;
};

// A form of a caption per line before its field, a lookup button, a group
// holding a number and a long name, a list and the buttons of a form.
WindowResource form(LONG& broj, String<100>& model, int width = 260) {
    return {"Proba",
            width,
            150,
            {prompt("Oznaka isplatitelja:", {4, 6, 40, 10}),
             entry("broj", FieldRef(broj), "@n-14", {46, 4, 40, 12}),
             button("lookup", "...", {88, 4, 14, 12}),
             group("Pisač", {110, 2, 146, 44},
                   {prompt("Br.:", {114, 14, 16, 10}), entry("par", FieldRef(broj), "@n-7", {132, 12, 30, 12}),
                    display("model", FieldRef(model), "@s100", {114, 30, 138, 10})}),
             list("list", {4, 50, 200, 70}),
             button("insert", "&Unesi", {210, 50, 46, 14}),
             button("ok", "ISPIS OBRAČUNA DOHOTKA (F12)", {110, 130, 146, 14})}};
}

}  // namespace

// "Oznaka isplatitelja:" needs more than the 40 units before its field: the
// field, its lookup button and the group beside them move right, and the
// window grows to hold them.
TEST_F(WindowLayoutTest, ACaptionLongerThanItsRoomMovesItsFieldOn) {
    show(form(broj, model));
    auto* caption = qobject_cast<QLabel*>(builder->widgetAt(0));
    ASSERT_NE(caption, nullptr);
    EXPECT_LT(textRight(caption), builder->control("broj")->x());
    EXPECT_LT(builder->control("broj")->geometry().right(), builder->control("lookup")->x());
    EXPECT_TRUE(overlaps(*builder).empty()) << ::testing::PrintToString(overlaps(*builder));
    EXPECT_TRUE(outside(*builder).empty()) << ::testing::PrintToString(outside(*builder));
}

// Squeezed as far as the window lets it, and grown to twice its size, the
// window keeps every control whole, apart and inside it.
TEST_F(WindowLayoutTest, AtItsSmallestAndLargestNothingOverlaps) {
    show(form(broj, model, 360));
    const QSize built = root.size();
    EXPECT_LT(root.minimumWidth(), built.width());
    for (QSize size : {QSize(1, 1), built * 2, built}) {
        root.resize(size);
        QApplication::processEvents();
        EXPECT_TRUE(overlaps(*builder).empty()) << root.width() << ": " << ::testing::PrintToString(overlaps(*builder));
        EXPECT_TRUE(outside(*builder).empty()) << root.width() << ": " << ::testing::PrintToString(outside(*builder));
        auto* caption = qobject_cast<QLabel*>(builder->widgetAt(0));
        EXPECT_LT(textRight(caption), builder->control("broj")->x()) << root.width();
        // The button keeps room for its caption.
        auto* ok = builder->control("ok");
        EXPECT_GE(ok->width(), ok->fontMetrics().horizontalAdvance(QStringLiteral("ISPIS OBRAČUNA DOHOTKA (F12)")))
            << root.width();
    }
}

// A list put in the place of a List control that needs more width for its
// columns than the resource gives (the payment form's income lines) gets
// it: the control and the window widen, and what stood right of the list
// moves along.
TEST_F(WindowLayoutTest, AListWiderThanItsPlaceWidensItsWindow) {
    class Wide : public QWidget {
    public:
        QSize sizeHint() const override { return {420, 100}; }
    };
    show(form(broj, model));
    const int before = root.width();
    auto* list = new Wide;
    builder->replace("list", list);
    EXPECT_EQ(list->width(), 420);
    EXPECT_GT(root.width(), before);
    EXPECT_GT(builder->control("insert")->x(), list->geometry().right());
    EXPECT_TRUE(overlaps(*builder).empty()) << ::testing::PrintToString(overlaps(*builder));
    EXPECT_TRUE(outside(*builder).empty()) << ::testing::PrintToString(outside(*builder));
}

// A radio button whose caption needs more than the option group it lies in
// gives (the "I" and "P" pairs of the income-type form) takes the group along.
TEST_F(WindowLayoutTest, AControlWiderThanItsGroupWidensTheGroup) {
    show({"Proba",
          120,
          40,
          {option("vrsta", "", FieldRef(vrsta), {4, 4, 40, 16},
                  {radio("I", "I", {8, 7, 16, 10}), radio("Primatelj", "P", {26, 7, 16, 10})})}});
    QWidget* group = builder->control("vrsta");
    const auto radios = group->parentWidget()->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    for (QRadioButton* r : radios) {
        EXPECT_GE(r->width(), r->sizeHint().width()) << r->text().toStdString();
        EXPECT_TRUE(group->geometry().contains(r->geometry())) << r->text().toStdString();
    }
    EXPECT_TRUE(overlaps(*builder).empty()) << ::testing::PrintToString(overlaps(*builder));
}

// The frame of a window being maximized holds back its repaints meanwhile;
// moving the controls then must not leave the window without repaints once
// the frame lets them go again.
TEST_F(WindowLayoutTest, AWindowResizedWhileItsFrameDefersRepaintsRepaintsAfterwards) {
    QWidget frame;
    auto* content = new QWidget(&frame);
    new WindowBuilder(form(broj, model), content);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.setUpdatesEnabled(false);
    content->resize(content->size() * 2);
    QApplication::processEvents();
    frame.setUpdatesEnabled(true);
    EXPECT_TRUE(content->updatesEnabled());
}
