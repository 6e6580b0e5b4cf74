// Several screens open side by side in the frame, worked as a bookkeeper
// works them: each keeps its own records and typing, a save never lands over
// a change made meanwhile elsewhere, and a click never loses what was typed.
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTableView>

#include "frame/Screens.h"
#include "store/BufferSet.h"
#include "store/Records.h"
#include "support/ReferenceData.h"
#include "support/ScreenDriver.h"
#include "support/FrameFixture.h"
#include "ui/screens/Application.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/ListWindow.h"
#include "ui/screens/Runtime.h"
#include "ui/screens/WindowHost.h"

using namespace marel;
using namespace marel::test;

namespace {

class ScreenThreadsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        openFiles({&ULICE, &BANKE, &MJESTA, &OPCINE, &OSOBE, &SUBJEKTI});
        addStreet(1, "Ilica");
        addStreet(2, "Savska");
        addBank(1, "Zagrebačka banka", "2360000");
    }
    static QString text(WindowBuilder& f, const std::string& id) { return f.control<QLineEdit>(id)->text(); }
    // The street as stored, read on a connection of its own.
    std::string storedStreet(LONG n) {
        Store station;
        EXPECT_EQ(station.open(folder.str(), ""), 0);
        UliceFile other(station);
        other.open();
        other.OZNAKA = n;
        std::string name = other.get(other.KEYOZNAKA) == 0 ? other.NAZIV.str() : "(none)";
        other.close();
        return name;
    }
};

TEST_F(ScreenThreadsTest, TwoWindowsChangingOneRecordKeepTheirOwnTypingAndTheSecondSaveIsRefused) {
    auto* first = openScreen<ListWindow>(*frame, "ULICE");
    auto* second = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_TRUE(first && second);
    bool secondSaved = false;
    whenOpen([&](WindowBuilder& prvi) {
        EXPECT_EQ(text(prvi, "naziv"), "Ilica");
        type(prvi, "naziv", "Prvi");
        // The same record from the second window, changed and saved there.
        whenOpen([&](WindowBuilder& drugi) {
            EXPECT_EQ(text(drugi, "naziv"), "Ilica");
            type(drugi, "naziv", "Drugi");
            click(drugi, "ok");
            secondSaved = true;
        });
        click(second->builder(), "change");
        ASSERT_TRUE(secondSaved);
        // Back in the first form: its typing is as the user left it.
        frame->area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(prvi.root()->parentWidget()));
        EXPECT_EQ(text(prvi, "naziv"), "Prvi");
        click(prvi, "ok");
        // Not written over the other save: the other version is shown, the form stays.
        EXPECT_EQ(ask.last().caption, "Record Was Not Updated");
        EXPECT_EQ(text(prvi, "naziv"), "Drugi");
        EXPECT_TRUE(prvi.root()->isVisible());
        click(prvi, "cancel");
    });
    click(first->builder(), "change");
    EXPECT_EQ(storedStreet(1), "Drugi");
    // Each list shows the street as it is now stored.
    QApplication::processEvents();
    EXPECT_EQ(first->view()->table()->model()->index(0, 0).data().toString(), "Drugi");
}

TEST_F(ScreenThreadsTest, AFormKeepsItsRecordThroughOtherWindowsAndStillSeesAnotherStationsChange) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_NE(streets, nullptr);
    whenOpen([&](WindowBuilder& f) {
        type(f, "naziv", "Vlaška");
        // Another window used meanwhile reads other records of the same file.
        auto* other = openScreen<ListWindow>(*frame, "ULICE");
        ASSERT_NE(other, nullptr);
        QTest::keyClick(other->view()->table(), Qt::Key_End, Qt::ControlModifier);
        QApplication::processEvents();
        {
            BufferScope otherScreen(bufferSetOf(other));
            EXPECT_EQ(ULI.NAZIV, "Savska");
        }
        // Another station changes the form's record.
        {
            Store station;
            ASSERT_EQ(station.open(folder.str(), ""), 0);
            UliceFile streetsThere(station);
            streetsThere.open();
            streetsThere.OZNAKA = 1;
            ASSERT_EQ(streetsThere.get(streetsThere.KEYOZNAKA), 0);
            streetsThere.NAZIV = "Trg";
            ASSERT_EQ(streetsThere.put(), 0);
        }
        frame->area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(f.root()->parentWidget()));
        QApplication::processEvents();
        EXPECT_EQ(text(f, "naziv"), "Vlaška");
        click(f, "ok");
        EXPECT_EQ(ask.last().caption, "Record Was Not Updated");
        EXPECT_EQ(text(f, "naziv"), "Trg");
        // The station's version is watched now: the user's second OK saves.
        type(f, "naziv", "Vlaška");
        click(f, "ok");
    });
    click(streets->builder(), "change");
    EXPECT_EQ(storedStreet(1), "Vlaška");
}

TEST_F(ScreenThreadsTest, WhatIsTypedCountsBeforeAClickActsAndARefusedValueStopsTheClick) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_NE(streets, nullptr);
    int runs = 0;
    LONG seen = -1;
    // A window with a number entry and a button, as screens are built.
    auto* content = new QWidget;
    LONG number = 0;
    auto* b = new WindowBuilder({"Probni prozor", 160, 60,
                                 {entry("broj", FieldRef(number), "@n-7", {6, 6, 60, 12}),
                                  button("gumb", "Gumb", {80, 6, 50, 14})}},
                                content);
    b->onAccepted("gumb", [&] {
        ++runs;
        seen = number;
        return true;
    });
    openWindow(content);
    QApplication::processEvents();

    type(*b, "broj", "42");
    click(*b, "gumb");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seen, 42);  // the click acted on the typed value
    // Pressed from the keyboard (its key, Enter) the button takes the typing as well.
    type(*b, "broj", "43");
    static_cast<QAbstractButton*>(b->control("gumb"))->click();
    EXPECT_EQ(seen, 43);

    // A value the picture refuses (more digits than it holds): a beep, the
    // entry keeps the focus, the button does not act.
    type(*b, "broj", "12345678");
    const int beeps = ask.beeps;
    click(*b, "gumb");
    EXPECT_EQ(runs, 2);
    EXPECT_GT(ask.beeps, beeps);
    EXPECT_TRUE(b->control("broj")->hasFocus());
    EXPECT_EQ(number, 43);

    // A click into another window only goes there: the typing waits for the user.
    type(*b, "broj", "7");
    QTest::mouseClick(streets->view()->table()->viewport(), Qt::LeftButton);
    EXPECT_EQ(number, 43);
    EXPECT_EQ(b->control<QLineEdit>("broj")->text(), "7");

    // The frame's menu acts for the window being typed in: the entry is taken first.
    b->control("broj")->setFocus();
    QTest::mouseClick(frame->menuBar(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(number, 7);
}

TEST_F(ScreenThreadsTest, WorkQueuedForAWindowThatClosedMeanwhileNeverRuns) {
    auto* streets = openScreen<ListWindow>(*frame, "ULICE");
    ASSERT_NE(streets, nullptr);
    bool ran = false;
    QPointer<QWidget> form;
    whenOpen([&](WindowBuilder& f) {
        form = f.root();
        later(f.root(), [&] { ran = true; });
        click(f, "cancel");
    });
    click(streets->builder(), "change");
    // The form's window goes while its queued work waits.
    for (int i = 0; i < 5 && form; ++i) QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(form.isNull());
    EXPECT_FALSE(ran);
    // Screens open and close in any order while a form is open, without harm.
    whenOpen([&](WindowBuilder& f) {
        auto* banks = openScreen<ListWindow>(*frame, "BANKE");
        ASSERT_NE(banks, nullptr);
        qobject_cast<QMdiSubWindow*>(banks->parentWidget())->close();
        streets->parentWidget()->close();  // refused: the list waits for its form
        QApplication::processEvents();
        EXPECT_TRUE(streets->isVisible());
        click(f, "ok");
    });
    click(streets->builder(), "change");
    EXPECT_EQ(storedStreet(1), "Ilica");
}

}  // namespace
