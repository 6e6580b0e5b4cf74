#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <stdexcept>
#include <string>

#include "support/StoreFixture.h"
#include "ui/screens/WindowBuilder.h"

using namespace marel;

namespace {

// Stands for a list or any control that acts on a double click.
class DoubleClickCounter : public QWidget {
public:
    using QWidget::QWidget;
    int acted = 0;

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { ++acted; }
};

// A small window with a whole-number entry, an amount, a text and a button
// whose handler the test decides: the program's own event dispatch runs it.
class InputSafetyTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&MJESTA});
        builder = new WindowBuilder(resource(), &root);
        list = new DoubleClickCounter(&root);
        list->setGeometry(0, 100, 80, 40);
        builder->onAccepted("kvar", [this] {
            fault();
            return true;
        });
        root.show();
        root.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&root));
    }

    WindowResource resource() {
        return {"Proba",
                200,
                80,
                {
                    entry("mjesto", FieldRef(mjesto), "@n-14", {50, 4, 60, 12}),
                    entry("neto", FieldRef(neto), "@N-14.`2", {50, 18, 60, 12}),
                    entry("broj", FieldRef(broj), "@s10", {50, 32, 60, 12}),
                    button("kvar", "Kvar", {150, 60, 40, 14}),
                }};
    }
    QLineEdit* edit(const char* id) { return builder->control<QLineEdit>(id); }
    void type(const char* id, const std::string& text) {
        QLineEdit* e = edit(id);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, QString::fromStdString(text));
    }

    QWidget root;
    WindowBuilder* builder = nullptr;
    DoubleClickCounter* list = nullptr;
    std::function<void()> fault = [] {};
    LONG mjesto = 12;
    Dec<11, 2> neto = Decimal::parse("694.8");
    String<10> broj = "12a";
};

TEST_F(InputSafetyTest, TooManyDigitsAreRefusedLikeAnyOtherTypingMistake) {
    int beeps = 0;
    for (const char* id : {"mjesto", "neto"})
        for (const std::string& typed : {std::string(15, '9'), std::string(30, '9'), "-" + std::string(30, '9')}) {
            SCOPED_TRACE(std::string(id) + " " + typed);
            type(id, typed);
            QTest::keyClick(edit(id), Qt::Key_Tab);
            EXPECT_EQ(ask.beeps, ++beeps);
            EXPECT_EQ(QApplication::focusWidget(), edit(id));
        }
    EXPECT_EQ(mjesto, 12);
    EXPECT_EQ(edit("mjesto")->text().trimmed(), "12");
    EXPECT_EQ(edit("neto")->text().trimmed(), "694,80");
    EXPECT_TRUE(ask.messages.empty());  // a refusal, not an error

    // The entry goes on working.
    type("mjesto", "33");
    QTest::keyClick(edit("mjesto"), Qt::Key_Tab);
    EXPECT_EQ(mjesto, 33);
}

TEST_F(InputSafetyTest, ADoubleClickWaitsForATypedAmountToBeTaken) {
    // "0.5.1" is no amount: as for a single click, the double click does not act.
    type("neto", "0.5.1");
    QTest::mouseDClick(list, Qt::LeftButton);
    EXPECT_EQ(list->acted, 0);
    EXPECT_EQ(ask.beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), edit("neto"));
    EXPECT_EQ(neto.value(), Decimal::parse("694.8"));

    // The keypad's point is taken, and then the double click acts.
    type("neto", "1500.5");
    QTest::mouseDClick(list, Qt::LeftButton);
    EXPECT_EQ(edit("neto")->text().trimmed(), "1.500,50");
    EXPECT_EQ(list->acted, 1);
}

TEST_F(InputSafetyTest, PastedControlCharactersAreRefused) {
    for (const QString& pasted : {QString("1\x01"), QString("ivo\x0B" "a"), QString(QChar(0)) + "a"}) {
        edit("broj")->setFocus();
        edit("broj")->selectAll();
        edit("broj")->insert(pasted);  // as a paste puts it in
        ASSERT_TRUE(edit("broj")->isModified());
        QTest::keyClick(edit("broj"), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), edit("broj"));
        EXPECT_EQ(broj, "12a");
        EXPECT_EQ(edit("broj")->text(), "12a");
    }
    EXPECT_EQ(ask.beeps, 3);
}

TEST_F(InputSafetyTest, AnErrorInAHandlerIsReportedAndWhatItWroteIsUndone) {
    fault = [] {
        ASSERT_EQ(Store::main().begin(), 0);
        MJESTA.clear();
        MJE.OZNAKA = 5;
        MJE.NAZIV = "Zagreb";
        ASSERT_EQ(MJESTA.add(), 0);
        throw std::runtime_error("kvar u obradi");
    };
    QTest::mouseClick(builder->control("kvar"), Qt::LeftButton);
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"Neočekivana greška: kvar u obradi"});
    EXPECT_FALSE(Store::main().inTransaction());
    EXPECT_EQ(MJESTA.records(), 0);

    // Something that is not even an exception class.
    fault = [] { throw 42; };
    QTest::mouseClick(builder->control("kvar"), Qt::LeftButton);
    ASSERT_EQ(ask.texts().size(), 2u);
    EXPECT_EQ(ask.texts()[1], "Neočekivana greška: nepoznata vrsta greške");

    // The program goes on: the window still takes input and its button acts.
    type("mjesto", "7");
    QTest::keyClick(edit("mjesto"), Qt::Key_Tab);
    EXPECT_EQ(mjesto, 7);
    bool pressed = false;
    fault = [&pressed] { pressed = true; };
    QTest::mouseClick(builder->control("kvar"), Qt::LeftButton);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(ask.texts().size(), 2u);
}

}  // namespace
