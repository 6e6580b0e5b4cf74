#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

#include "support/StoreFixture.h"
#include "ui/screens/UpdateFormView.h"

using namespace marel;

namespace {

// A street form opened from a list window of an MDI area, with a second,
// unrelated window beside it.
class UpdateFormViewTest : public marel::test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        setPrompter(&prompts);
        held.add(ULICE);
        list = area.addSubWindow(new QWidget);
        other = area.addSubWindow(new QWidget);
        area.resize(800, 600);
        area.show();
    }
    void TearDown() override {
        held.release();
        setPrompter(nullptr);
        StoreFixture::TearDown();
    }
    static WindowResource resource() {
        return {"", 160, 50,
                {prompt("Naziv:", {4, 6, 30, 10}), entry("naziv", FieldRef(ULICE, "NAZIV"), "@s25", {40, 6, 110, 12}),
                 button("ok", "OK", {60, 30, 40, 14}).byDefault(), button("cancel", "Odustani", {110, 30, 40, 14})}};
    }
    ScriptedPrompter prompts;
    FileUse held;
    QMdiArea area;
    QMdiSubWindow* list = nullptr;
    QMdiSubWindow* other = nullptr;
};

}  // namespace

TEST_F(UpdateFormViewTest, InsertBlocksOnlyItsCaller) {
    ULICE.clear();
    UpdateForm form(ULICE, "T-VIEW");
    form.insertTitle = "Upis ulice u šifrarnik";
    UpdateFormView view(form, resource(), list->widget());
    int answer = 0;
    view.start(INSERTRECORD, [&](int a) { answer = a; });
    ASSERT_NE(view.window(), nullptr);
    EXPECT_EQ(area.subWindowList().size(), 3);
    EXPECT_EQ(view.window()->windowTitle(), "Upis ulice u šifrarnik");
    EXPECT_FALSE(list->widget()->isEnabled());
    EXPECT_TRUE(other->widget()->isEnabled());
    EXPECT_EQ(ULICE.records(), 1);

    // The list cannot close while its form is open.
    list->close();
    EXPECT_TRUE(list->isVisible());

    auto* naziv = view.builder()->control<QLineEdit>("naziv");
    naziv->setFocus();
    QTest::keyClicks(naziv, "Ilica");
    view.builder()->press("ok");
    EXPECT_EQ(answer, REQUESTCOMPLETED);
    EXPECT_TRUE(list->widget()->isEnabled());
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(area.subWindowList().size(), 2);
    ULICE.clear();
    ULI.OZNAKA = 1;
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    EXPECT_EQ(ULI.NAZIV, "Ilica");
}

TEST_F(UpdateFormViewTest, ClosingTheFormWindowCancelsTheInsert) {
    ULICE.clear();
    UpdateForm form(ULICE, "T-VIEW");
    UpdateFormView view(form, resource(), list->widget());
    int answer = 0;
    view.start(INSERTRECORD, [&](int a) { answer = a; });
    ASSERT_NE(view.window(), nullptr);
    view.window()->close();
    EXPECT_EQ(answer, REQUESTCANCELLED);
    EXPECT_EQ(ULICE.records(), 0);
    EXPECT_TRUE(list->widget()->isEnabled());
}

TEST_F(UpdateFormViewTest, ExecWaitsWhileOtherWindowsWork) {
    ULICE.clear();
    ULI.OZNAKA = 1;
    ULI.NAZIV = "Ilica";
    ASSERT_EQ(ULICE.add(), 0);
    ULICE.watch();
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    UpdateForm form(ULICE, "T-VIEW");
    UpdateFormView view(form, resource(), list->widget());
    bool otherWorked = false;
    QTimer::singleShot(0, [&] {
        otherWorked = other->widget()->isEnabled();
        auto* naziv = view.builder()->control<QLineEdit>("naziv");
        naziv->setFocus();
        naziv->selectAll();
        QTest::keyClicks(naziv, "Savska");
        QTest::keyClick(naziv, Qt::Key_Return);  // accepts and presses OK
    });
    EXPECT_EQ(view.exec(CHANGERECORD), REQUESTCOMPLETED);
    EXPECT_TRUE(otherWorked);
    ULICE.clear();
    ULI.OZNAKA = 1;
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    EXPECT_EQ(ULI.NAZIV, "Savska");
}

TEST_F(UpdateFormViewTest, DeleteShowsNoWindow) {
    ULICE.clear();
    ULI.OZNAKA = 1;
    ASSERT_EQ(ULICE.add(), 0);
    prompts.answers = {BUTTON_OK};
    UpdateForm form(ULICE, "T-VIEW");
    UpdateFormView view(form, resource(), list->widget());
    EXPECT_EQ(view.exec(DELETERECORD), REQUESTCOMPLETED);
    EXPECT_EQ(view.window(), nullptr);
    EXPECT_EQ(ULICE.records(), 0);
    EXPECT_EQ(area.subWindowList().size(), 2);
}

TEST_F(UpdateFormViewTest, TypingNotYetAcceptedSurvivesAVisitToAnotherWindow) {
    // A lookup button takes no focus: the user types, clicks it, works in the
    // list it opens and comes back. The typing is still there and OK keeps it.
    ULICE.clear();
    UpdateForm form(ULICE, "T-VIEW");
    UpdateFormView view(form, resource(), list->widget());
    int answer = 0;
    view.start(INSERTRECORD, [&](int a) { answer = a; });
    auto* sub = qobject_cast<QMdiSubWindow*>(view.window());
    ASSERT_NE(sub, nullptr);
    auto* naziv = view.builder()->control<QLineEdit>("naziv");
    naziv->setFocus();
    QTest::keyClicks(naziv, "Ilica");
    area.setActiveSubWindow(other);
    area.setActiveSubWindow(sub);
    EXPECT_EQ(naziv->text(), "Ilica");
    view.builder()->press("ok");
    EXPECT_EQ(answer, REQUESTCOMPLETED);
    ULICE.clear();
    ULI.OZNAKA = 1;
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    EXPECT_EQ(ULI.NAZIV, "Ilica");
}
