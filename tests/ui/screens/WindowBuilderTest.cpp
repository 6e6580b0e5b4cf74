#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "common/Prompter.h"
#include "support/StoreFixture.h"
#include "ui/screens/WindowBuilder.h"

using namespace marel;

namespace {

class WindowBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&prompts);
        stopa = Decimal::parse("1234.5");
        datum = Date::fromYmd(2014, 2, 5);
        builder = new WindowBuilder(resource(), &root);
        root.show();
        root.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&root));
    }
    void TearDown() override { setPrompter(nullptr); }

    WindowResource resource() {
        return {"Proba",
                220,
                140,
                {
                    prompt("&Ime:", {4, 4, 40, 10}),
                    entry("ime", FieldRef(ime), "@s20", {50, 4, 80, 12}).history(),
                    prompt("Stopa:", {4, 18, 40, 10}),
                    entry("stopa", FieldRef(stopa), "@N-10.`2", {50, 18, 60, 12}),
                    entry("broj", FieldRef(broj), "@n-14", {50, 32, 60, 12}),
                    entry("datum", FieldRef(datum), "@d17", {50, 46, 60, 12}),
                    sheet("sheet", {4, 62, 200, 50},
                          {
                              tab("&Prvi", {option("drugi", "Drugi stup", FieldRef(drugi), {10, 80, 100, 26},
                                                   {radio("&DA", "DA", {14, 90, 30, 10}),
                                                    radio("&NE", "NE", {50, 90, 30, 10})})
                                                .history()}),
                              tab("D&rugi", {entry("stupac", FieldRef(stupac), "@n3", {10, 84, 30, 12}),
                                             check("kvacica", "Kvačica", FieldRef(kvacica), {50, 84, 60, 10})}),
                          }),
                    button("ok", "OK", {170, 120, 40, 14}).byDefault(),
                }};
    }
    QLineEdit* edit(const char* id) { return builder->control<QLineEdit>(id); }
    // Types into an entry as the user does, starting from an empty field.
    void type(const char* id, const char* text) {
        QLineEdit* e = edit(id);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    ScriptedPrompter prompts;
    String<20> ime;
    Dec<7, 2> stopa;
    LONG broj = 7;
    Date datum;
    String<2> drugi = "DA";
    BYTE stupac = 3;
    LONG kvacica = 0;
    QWidget root;
    WindowBuilder* builder = nullptr;
};

}  // namespace

TEST_F(WindowBuilderTest, ControlsShowTheirVariablesThroughPictures) {
    EXPECT_EQ(root.windowTitle(), "Proba");
    EXPECT_EQ(edit("stopa")->text(), "1.234,50");
    EXPECT_EQ(edit("datum")->text(), "05.02.2014.");
    EXPECT_EQ(edit("broj")->text(), "7");
    // The prompt's key goes to the entry after it.
    auto labels = root.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.first()->buddy(), edit("ime"));

    // Only the current tab's controls are shown.
    EXPECT_TRUE(builder->control("drugi")->isVisible());
    EXPECT_FALSE(edit("stupac")->isVisible());
    builder->control<QTabWidget>("sheet")->setCurrentIndex(1);
    EXPECT_FALSE(builder->control("drugi")->isVisible());
    EXPECT_TRUE(edit("stupac")->isVisible());

    // Code changes the variables, display shows them.
    broj = 12345;
    drugi = "NE";
    builder->display();
    EXPECT_EQ(edit("broj")->text(), "12345");
    auto radios = root.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    EXPECT_FALSE(radios[0]->isChecked());
    EXPECT_TRUE(radios[1]->isChecked());
}

TEST_F(WindowBuilderTest, TypedTextReachesTheVariablesWhenTheEntryIsLeft) {
    type("ime", "Ilica");
    EXPECT_EQ(ime, "");  // not yet accepted
    QTest::keyClick(edit("ime"), Qt::Key_Tab);
    EXPECT_EQ(ime, "Ilica");
    EXPECT_EQ(QApplication::focusWidget(), edit("stopa"));

    type("stopa", "12,5");
    QTest::keyClick(edit("stopa"), Qt::Key_Tab);
    EXPECT_EQ(stopa.value(), Decimal::parse("12.5"));
    EXPECT_EQ(edit("stopa")->text(), "12,50");
    EXPECT_EQ(prompts.beeps, 0);
}

// A key whose character the picture can never read (a letter in a number or
// a date) is refused as it is pressed: a beep, and nothing is inserted.
TEST_F(WindowBuilderTest, AKeyThePictureCannotReadIsRefusedAsItIsPressed) {
    struct Case {
        const char* id;
        const char* typed;
        QString shown;
        int beeps;
    };
    const Case cases[] = {
        {"broj", "12a", "12", 1},          {"broj", "-4x5", "-45", 1},
        {"stopa", "1.500,5%", "1.500,5", 1}, {"stopa", "2e3", "23", 1},
        {"datum", "1.3.2014x", "1.3.2014", 1}, {"datum", "1/3-2014", "1/3-2014", 0},
        {"ime", "12a %", "12a %", 0},  // a text takes every character
    };
    int beeps = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id) + " " + c.typed);
        type(c.id, c.typed);
        EXPECT_EQ(edit(c.id)->text(), c.shown);
        EXPECT_EQ(prompts.beeps, beeps += c.beeps);
        EXPECT_EQ(QApplication::focusWidget(), edit(c.id));
        builder->display(c.id);
    }
    type("broj", "12a");
    QTest::keyClick(edit("broj"), Qt::Key_Tab);
    EXPECT_EQ(broj, 12);
}

// Pasted text is not typed key by key: it is read as a whole on leaving the
// entry, and refused there.
TEST_F(WindowBuilderTest, APastedLetterInANumberIsRefusedOnLeavingAndTheFocusStays) {
    for (const char* pasted : {"12a", "3,5"}) {  // decimals a whole number cannot hold are not rounded
        SCOPED_TRACE(pasted);
        edit("broj")->setFocus();
        edit("broj")->selectAll();
        edit("broj")->insert(QString::fromLatin1(pasted));
        EXPECT_EQ(edit("broj")->text(), pasted);
        QTest::keyClick(edit("broj"), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), edit("broj"));
        EXPECT_EQ(broj, 7);
        EXPECT_EQ(edit("broj")->text(), "7");  // shown again from the variable
    }
    EXPECT_EQ(prompts.beeps, 2);
}

TEST_F(WindowBuilderTest, AnImpossibleDateIsRefused) {
    type("datum", "31.2.2014");
    QTest::keyClick(edit("datum"), Qt::Key_Tab);
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), edit("datum"));
    EXPECT_EQ(datum, Date::fromYmd(2014, 2, 5));

    type("datum", "1.3.2014");
    QTest::keyClick(edit("datum"), Qt::Key_Tab);
    EXPECT_EQ(datum, Date::fromYmd(2014, 3, 1));
    EXPECT_EQ(edit("datum")->text(), "01.03.2014.");
}

TEST_F(WindowBuilderTest, LeavingWithTheMouseChecksTheEntryToo) {
    edit("broj")->setFocus();
    edit("broj")->insert(QStringLiteral("x"));  // pasted
    edit("datum")->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), edit("broj"));
    EXPECT_EQ(broj, 7);
}

TEST_F(WindowBuilderTest, CtrlQuoteRecallsTheHistoryValue) {
    std::vector<std::string> asked;
    builder->setHistory([&](const FieldRef& f) -> std::optional<std::string> {
        asked.push_back(f.name());
        if (f == FieldRef(ime)) return "Vlaška";
        if (f == FieldRef(drugi)) return "NE";
        return std::nullopt;
    });
    edit("ime")->setFocus();
    QTest::keyClick(edit("ime"), Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(ime, "Vlaška");
    EXPECT_EQ(edit("ime")->text(), "Vlaška");

    // Only where the resource asks for it.
    edit("broj")->setFocus();
    QTest::keyClick(edit("broj"), Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(broj, 7);

    // In an option group the group's variable is recalled.
    auto radios = root.findChildren<QRadioButton*>();
    radios[0]->setFocus();
    QTest::keyClick(radios[0], Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(drugi, "NE");
    EXPECT_TRUE(radios[1]->isChecked());
}

TEST_F(WindowBuilderTest, OptionGroupsAndCheckBoxesWriteAtOnce) {
    int accepted = 0;
    builder->onAccepted("drugi", [&] { ++accepted; return true; });
    auto radios = root.findChildren<QRadioButton*>();
    QTest::mouseClick(radios[1], Qt::LeftButton);
    EXPECT_EQ(drugi, "NE");
    EXPECT_EQ(accepted, 1);

    builder->control<QTabWidget>("sheet")->setCurrentIndex(1);
    QTest::mouseClick(builder->control<QCheckBox>("kvacica"), Qt::LeftButton);
    EXPECT_EQ(kvacica, 1);
}

TEST_F(WindowBuilderTest, EnterAcceptsTheEntryAndPressesTheDefaultButton) {
    int pressed = 0;
    std::string nameAtPress;
    builder->onAccepted("ok", [&] { ++pressed; nameAtPress = ime.str(); return true; });
    type("ime", "Savska");
    QTest::keyClick(edit("ime"), Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(nameAtPress, "Savska");
}

TEST_F(WindowBuilderTest, AcceptAllStopsAtTheFirstRefusalEvenOnAHiddenTab) {
    stupac = 0;
    builder->display();
    bool refuse = true;
    builder->onAccepted("broj", [&] { return !refuse; });
    EXPECT_FALSE(builder->acceptAll());
    EXPECT_EQ(QApplication::focusWidget(), edit("broj"));

    refuse = false;
    edit("stupac")->setText("4x");
    edit("stupac")->setModified(true);
    EXPECT_FALSE(builder->acceptAll());
    EXPECT_EQ(builder->control<QTabWidget>("sheet")->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), edit("stupac"));
    EXPECT_EQ(stupac, 0);

    edit("stupac")->setText("4");
    edit("stupac")->setModified(true);
    EXPECT_TRUE(builder->acceptAll());
    EXPECT_EQ(stupac, 4);
}

TEST_F(WindowBuilderTest, HiddenOrDisabledContainersTakeTheirControlsAlong) {
    auto radios = root.findChildren<QRadioButton*>();
    builder->disable("drugi");
    EXPECT_FALSE(radios[0]->isEnabled());
    builder->enable("drugi");
    EXPECT_TRUE(radios[0]->isEnabled());
    builder->hide("drugi");
    EXPECT_FALSE(radios[0]->isVisible());
    builder->show("drugi");
    EXPECT_TRUE(radios[0]->isVisible());
}

TEST_F(WindowBuilderTest, ControlsFollowTheWindowSize) {
    const QRect entry = edit("ime")->geometry();
    const QRect ok = builder->control("ok")->geometry();
    const QSize initial = root.size();
    root.resize(initial.width() * 2, initial.height());
    QApplication::processEvents();
    EXPECT_EQ(edit("ime")->width(), entry.width() * 2);
    EXPECT_EQ(edit("ime")->height(), entry.height());
    EXPECT_EQ(builder->control("ok")->size(), ok.size());
    EXPECT_EQ(root.width() - builder->control("ok")->x(), initial.width() - ok.x());
    root.resize(initial);
    QApplication::processEvents();
    EXPECT_EQ(edit("ime")->geometry(), entry);
    EXPECT_EQ(builder->control("ok")->geometry(), ok);
}

TEST_F(WindowBuilderTest, ADetachedWindowRunsNoHandlerEvenOneQueuedBefore) {
    int selected = 0, accepted = 0;
    builder->onSelected("stopa", [&] { ++selected; });
    builder->onAccepted("ok", [&] { ++accepted; return true; });
    edit("ime")->setFocus();
    edit("stopa")->setFocus();  // queues the selected handler
    builder->detach();
    QApplication::processEvents();
    builder->press("ok");
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(accepted, 0);
}

// ---------------------------------------------------------------- lookups

namespace {

// A street number (2 names a street) as a lookup whose list is a stand-in: it
// notes the number it opened on and chooses `answer` (0: none).
class LookupTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&ULICE});
        ULI.OZNAKA = 2, ULI.NAZIV = "Savska";
        ASSERT_EQ(ULICE.add(), 0);
        auto list = [this](QWidget*) {
            opened.push_back(ULI.OZNAKA);
            if (auto d = std::exchange(during, nullptr)) d();
            return answer != 0 && (ULI.OZNAKA = answer, true);
        };
        LookupTarget streets{&ULICE, ULICE.KEYOZNAKA, FieldRef(ULICE, "OZNAKA"), fieldText(ULICE, "NAZIV"), list, 80, "", true};
        b = new WindowBuilder({"Ulice", 200, 60, {lookup("ulica", FieldRef(ulica), "@n-14", {4, 4, 40, 12}, streets),
                                                  entry("broj", FieldRef(broj), "@s5", {4, 20, 30, 12}),
                                                  button("ok", "OK", {150, 40, 40, 14}).byDefault()}}, &root);
        b->onAccepted("ok", [this] { return ++ok, true; });
        root.show();
        root.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&root));
    }
    // Types a number, then presses a key, the list's button (0) or leaves by the mouse (1).
    void typeThen(const char* text, int how) {
        auto* e = b->control<QLineEdit>("ulica");
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
        if (how == 0) b->press("ulica.lookup");
        else if (how == 1) b->control("broj")->setFocus(Qt::MouseFocusReason);
        else QTest::keyClick(e, Qt::Key(how));
        QApplication::processEvents();
    }
    // Where the focus is, the name beside the number, and whether OK ran.
    std::string seen() {
        return (QApplication::focusWidget() == b->control("broj") ? "broj " : "elsewhere ") +
               b->control<QLabel>("ulica.naziv")->text().toStdString() + (ok ? " OK" : "");
    }
    LONG ulica = 2, answer = 0;  // naming a street: coming into it opens nothing
    String<5> broj;
    std::vector<LONG> opened;
    std::function<void()> during;  // once, while the list is open
    int ok = 0;
    QWidget root;
    WindowBuilder* b = nullptr;
};

}  // namespace

// Once for each number typed that names nothing, on it, however the entry is
// left; not again on coming back to it; never two lists at once.
TEST_F(LookupTest, AListOpensOnceForEachNumberOfNothing) {
    typeThen("7", Qt::Key_Tab);
    b->select("broj");
    b->select("ulica");
    QApplication::processEvents();
    typeThen("8", Qt::Key_Return);
    typeThen("9", 1);
    during = [this] { b->chooseFor("ulica"); };
    typeThen("6", 0);
    EXPECT_EQ(opened, (std::vector<LONG>{7, 8, 9, 6}));
}

// A choice shows its name and moves on; the key that opened the list goes no further.
TEST_F(LookupTest, AChoiceIsNamedAndTheFocusGoesOn) {
    answer = 2;
    for (int key : {Qt::Key_Tab, Qt::Key_Return}) {
        typeThen("7", key);
        EXPECT_EQ(seen(), "broj Savska") << key;
    }
}

TEST_F(LookupTest, TheNameBesideFollowsTheNumber) {
    for (auto [typed, name] : {std::pair{"0", ""}, {"2", "Savska"}}) {
        typeThen(typed, Qt::Key_Tab);
        EXPECT_EQ(b->control<QLabel>("ulica.naziv")->text().toStdString(), name) << typed;
    }
}

// Street 2 is deleted once the form shows it.
TEST_F(LookupTest, OkRefusesARequiredNumberOfNothingOrOfAStreetGoneSince) {
    for (const char* typed : {"2", "9"}) {
        typeThen(typed, Qt::Key_Tab);
        ULI.OZNAKA = 2;
        if (ULICE.get(ULICE.KEYOZNAKA) == 0) {
            ASSERT_EQ(ULICE.deleteRecord(), 0);
        }
        EXPECT_FALSE(b->acceptAll()) << typed;
    }
}

// Two option groups of "&DA" / "&NE", as a form asks two yes-or-no questions:
// Alt+D answers the question being worked on, and the check knows that is no
// clash, while a letter of two unrelated controls is one.
TEST(WindowBuilderKeys, ASharedLetterActsForTheGroupWorkedInAndOnlyRealClashesAreFound) {
    ScriptedPrompter prompts;
    setPrompter(&prompts);
    String<2> prvi = "NE", drugi = "NE";
    auto yesNo = [](int y) {
        return std::vector<Control>{radio("&DA", "DA", {10, y, 30, 10}), radio("&NE", "NE", {50, y, 30, 10})};
    };
    String<20> napomena;
    std::vector<Control> controls{option("prvi", "Prvo pitanje", FieldRef(prvi), {4, 4, 100, 24}, yesNo(14)),
                                  entry("napomena", FieldRef(napomena), "@s20", {110, 4, 80, 12}),
                                  option("drugi", "Drugo pitanje", FieldRef(drugi), {4, 34, 100, 24}, yesNo(44)),
                                  sheet("sheet", {4, 64, 200, 40},
                                        {tab("&Jedan", {button("a", "&Zbroji", {10, 80, 40, 14})}),
                                         tab("D&va", {button("b", "&Zatvori", {10, 80, 40, 14})})})};
    QWidget root;
    WindowBuilder b({"Pitanja", 220, 110, controls}, &root);
    root.show();
    root.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&root));
    const auto radios = root.findChildren<QRadioButton*>();  // DA, NE of the first question, then of the second
    ASSERT_EQ(radios.size(), 4);
    QWidget* note = b.control("napomena");
    struct Step {
        std::vector<QWidget*> focus;  // where the user goes, in turn
        const char* prvi;
        const char* drugi;
    };
    const Step steps[] = {
        {{radios[2]}, "NE", "DA"},
        {{radios[0]}, "DA", "NE"},
        {{radios[2], note}, "NE", "DA"},  // the question last worked on
    };
    for (const Step& s : steps) {
        prvi = drugi = "NE";
        b.display();
        for (QWidget* w : s.focus) w->setFocus();
        auto run = b.altKey(QKeySequence(QStringLiteral("Alt+D")));
        ASSERT_TRUE(run);
        run();
        QTest::qWait(300);  // the click is animated
        EXPECT_EQ(prvi, s.prvi);
        EXPECT_EQ(drugi, s.drugi);
    }

    // "&Zbroji" and "&Zatvori" never show together; the two "&DA" act by the focus.
    EXPECT_TRUE(b.keyClashes().empty()) << ::testing::PrintToString(b.keyClashes());
    b.setText("a", "&Dodaj");  // beside both questions: a letter of two meanings
    EXPECT_EQ(b.keyClashes(), (std::vector<std::string>{"Alt+D: &DA / &Dodaj", "Alt+D: &DA / &Dodaj"}));
    setPrompter(nullptr);
}
