#include <gtest/gtest.h>

#include <map>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/Prompter.h"
#include "frame/Main.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "support/TempFolder.h"

using namespace marel;

namespace {

// A stand-in screen: a field, a button and a window that may refuse to close.
class Dummy : public QWidget {
public:
    explicit Dummy(const QString& title) {
        setWindowTitle(title);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(field = new QLineEdit);
        layout->addWidget(button = new QPushButton(QStringLiteral("&Potvrdi")));
        connect(button, &QPushButton::clicked, this, [this] { ++clicks; });
    }
    QLineEdit* field;
    QPushButton* button;
    int clicks = 0;
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* e) override { e->setAccepted(!refuseClose); }
};

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        ASSERT_EQ(Store::main().open(folder.str(), ""), 0);
        registerScreen("OSOBE", [this] { return last = new Dummy(QStringLiteral("Primatelji")); });
        frame = new MAIN;
        setWindowHost(frame);
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    }
    void TearDown() override {
        delete frame;
        registerScreen("OSOBE", {});
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Store::main().close();
        setPrompter(nullptr);
    }

    QMenu* menu(const QString& title) {
        for (QAction* a : frame->menuBar()->actions())
            if (a->text() == title) return a->menu();
        return nullptr;
    }
    QAction* item(const QString& menuTitle, const QString& text) {
        for (QAction* a : menu(menuTitle)->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    QList<QMdiSubWindow*> windows() { return frame->area()->subWindowList(); }
    // Lets queued closes and deletions happen.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    test::TempFolder folder;
    ScriptedPrompter ask;
    MAIN* frame = nullptr;
    Dummy* last = nullptr;
};

using Items = std::vector<std::pair<QString, QString>>;

}  // namespace

TEST_F(Frame, MenusOfferEveryCommandWithItsStatusText) {
    EXPECT_EQ(frame->windowTitle(), "MAREL V 2014.4");
    const std::vector<std::pair<QString, Items>> expected = {
        {"&File",
         {{"&Print Setup ...", "Setup printer"},
          {"Inicijalizacija", ""},
          {"Sigurnosna kopija", "Kopija svih podataka u datoteku"},
          {"Vrati iz kopije", "Svi podaci zamijenjeni podacima iz kopije"},
          {"E&xit", "Exit this application"}}},
        {"&Edit",
         {{"Cu&t", "Remove item to Windows Clipboard"},
          {"&Copy", "Copy item to Windows Clipboard"},
          {"&Paste", "Paste contents of Windows Clipboard"}}},
        {"Pa&rametri", {{"Vrste dohotka", ""}, {"Printer", "Browse param"}}},
        {"&Pregledi",
         {{"Općine", "Općine"},
          {"Mjesta", "Mjesta"},
          {"Ulice", "Ulice"},
          {"Banke", "Banke"},
          {"Isplatitelji", "Subjekti"},
          {"Primatelji", "Osobe"}}},
        {"P&oslovi",
         {{"&JOP Obrasci", ""}, {"&Isplate", ""}, {"&Potvrde", ""}, {"ID-1 obrasci", ""}, {"&Krizni porez", ""}}},
        {"Po&moć", {{"&O programu", ""}}},
    };
    QStringList titles;
    for (QAction* a : frame->menuBar()->actions()) titles << a->text();
    ASSERT_EQ(titles.size(), qsizetype(expected.size()));
    for (size_t m = 0; m < expected.size(); ++m) {
        EXPECT_EQ(titles[qsizetype(m)], expected[m].first);
        Items items;
        for (QAction* a : menu(expected[m].first)->actions())
            if (!a->isSeparator()) items.emplace_back(a->text(), a->statusTip());
        EXPECT_EQ(items, expected[m].second) << expected[m].first.toStdString();
    }
}

TEST_F(Frame, ToolBarButtonsCarryTheirAltKeysAndTips) {
    auto* bar = frame->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    Items buttons;
    for (QAction* a : bar->actions()) buttons.emplace_back(a->iconText(), a->toolTip());
    const Items expected = {{"&Isplatitelji", "Brze tipke: istodobno Alt I"},
                            {"Prim&atelji", "Brze tipke: istodobno Alt A"},
                            {"I&splate", "Brze tipke: istodobno Alt S"},
                            {"Potvr&de", "Brze tipke: istodobno Alt D"},
                            {"&JOP obrasci", "Brze tipke: istodobno Alt J"}};
    EXPECT_EQ(buttons, expected);
    for (QAction* a : bar->actions()) EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    QTest::keyClick(frame, Qt::Key_A, Qt::AltModifier);
    ASSERT_EQ(windows().size(), 1);
    EXPECT_EQ(windows()[0]->windowTitle(), "Primatelji");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// A letter means one thing: no menu and no tool-bar button share one, and
// each menu's letter opens that menu, not a screen.
TEST_F(Frame, EveryMenuOpensByItsAltLetterAndNoLetterIsShared) {
    std::map<QKeySequence, QString> taken;
    auto claim = [&](const QString& text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        EXPECT_FALSE(key.isEmpty()) << text.toStdString() << " has no letter";
        if (key.isEmpty()) return;
        auto [at, fresh] = taken.emplace(key, text);
        EXPECT_TRUE(fresh) << text.toStdString() << " shares its letter with " << at->second.toStdString();
    };
    for (QAction* m : frame->menuBar()->actions()) claim(m->text());
    for (QAction* a : frame->findChild<QToolBar*>()->actions()) claim(a->iconText());

    for (QAction* m : frame->menuBar()->actions()) {
        const QKeySequence key = QKeySequence::mnemonic(m->text());
        if (key.isEmpty()) continue;
        QTest::keySequence(frame, key);
        QWidget* popup = QApplication::activePopupWidget();
        EXPECT_EQ(popup, m->menu()) << m->text().toStdString();
        if (popup) popup->close();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    }
    EXPECT_TRUE(windows().empty());
}

// Previews and choosers open their windows through the host, never through
// the frame itself; once the frame has gone they stand on their own.
TEST_F(Frame, WindowsOpenedThroughTheHostGoIntoTheFrameAndStandAloneWithoutIt) {
    ASSERT_EQ(windowHost(), frame);
    QPointer<Dummy> inside = new Dummy(QStringLiteral("Pregled"));
    QWidget* holder = openWindow(inside);
    ASSERT_EQ(windows().size(), 1);
    EXPECT_EQ(holder, windows()[0]);
    EXPECT_EQ(windows()[0]->widget(), inside.data());
    windows()[0]->close();
    settle();
    EXPECT_TRUE(inside.isNull());  // closing the window takes the widget along

    delete frame;
    frame = nullptr;
    EXPECT_EQ(windowHost(), nullptr);
    QPointer<Dummy> alone = new Dummy(QStringLiteral("Pregled"));
    EXPECT_EQ(openWindow(alone), alone.data());
    EXPECT_TRUE(alone->isWindow());
    EXPECT_TRUE(alone->isVisible());
    alone->close();
    settle();
    EXPECT_TRUE(alone.isNull());
}

TEST_F(Frame, CommandsWithoutAScreenAreDisabledUntilOneIsRegistered) {
    ASSERT_EQ(frame->commandsFor("OSOBE").size(), 2);
    for (QAction* a : frame->commandsFor("OSOBE")) EXPECT_TRUE(a->isEnabled());
    registerScreen("ISPLATE", {});
    ASSERT_EQ(frame->commandsFor("ISPLATE").size(), 2);
    for (QAction* a : frame->commandsFor("ISPLATE")) EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(item("P&oslovi", "&Isplate")->isEnabled());
    // Always there: the frame's own commands.
    EXPECT_TRUE(item("&File", "Inicijalizacija")->isEnabled());
    EXPECT_TRUE(item("Po&moć", "&O programu")->isEnabled());

    registerScreen("ISPLATE", [] { return new Dummy(QStringLiteral("Isplate")); });
    for (QAction* a : frame->commandsFor("ISPLATE")) EXPECT_TRUE(a->isEnabled());
    registerScreen("ISPLATE", {});
    for (QAction* a : frame->commandsFor("ISPLATE")) EXPECT_FALSE(a->isEnabled());
}

TEST_F(Frame, EveryCommandOpensAWindowOfItsOwnAndAScreenMayCloseItself) {
    item("&Pregledi", "Primatelji")->trigger();
    Dummy* first = last;
    frame->commandsFor("OSOBE").back()->trigger();  // the tool-bar button
    ASSERT_EQ(windows().size(), 2);
    EXPECT_NE(last, first);
    EXPECT_EQ(windows()[0]->widget(), first);
    EXPECT_EQ(windows()[1]->widget(), last);
    EXPECT_EQ(frame->area()->activeSubWindow(), windows()[1]);

    first->close();
    settle();
    ASSERT_EQ(windows().size(), 1);
    EXPECT_EQ(windows()[0]->widget(), last);
}

TEST_F(Frame, AltKeysOfTheActiveWindowComeBeforeTheToolBar) {
    frame->openScreen("OSOBE");
    last->field->setFocus();
    // "&Potvrdi" of the window, not "&Pregledi" of the menu bar.
    QTest::keyClick(last->field, Qt::Key_P, Qt::AltModifier);
    for (int i = 0; i < 50 && !last->clicks; ++i) QTest::qWait(10);
    EXPECT_EQ(last->clicks, 1);
    EXPECT_EQ(windows().size(), 1);
    // Keys the window does not use still reach the tool bar.
    registerScreen("ISPLATE", [] { return new Dummy(QStringLiteral("Isplate")); });
    QTest::keyClick(last->field, Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(windows().size(), 2);
    EXPECT_EQ(windows()[1]->windowTitle(), "Isplate");
    registerScreen("ISPLATE", {});
}

TEST_F(Frame, EditCommandsWorkOnTheFocusedField) {
    frame->openScreen("OSOBE");
    QLineEdit* field = last->field;
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    field->setText(QStringLiteral("Čakovec"));
    field->selectAll();
    item("&Edit", "&Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "Čakovec");
    item("&Edit", "Cu&t")->trigger();
    EXPECT_EQ(field->text(), "");
    QApplication::clipboard()->setText(QStringLiteral("Đakovo"));
    item("&Edit", "&Paste")->trigger();
    EXPECT_EQ(field->text(), "Đakovo");
}

TEST_F(Frame, InicijalizacijaFromTheMenuRemovesThePayments) {
    ASSERT_EQ(useFile(ISPLATE), 0);
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.add(), 0);
    releaseFile(ISPLATE);
    ask.answers = {1, 1};
    item("&File", "Inicijalizacija")->trigger();
    EXPECT_EQ(ask.texts(), (std::vector<std::string>{"ŽELITE LI STVARNO IZBRISATI SVE ISPLATE?", "JESTE LI SIGURNI?",
                                                     "ISPLATE SU IZBRISANE"}));
    EXPECT_EQ(ISPLATE.open(), kFileNotFound);
}

TEST_F(Frame, AboutBoxShowsTheProgramAndCloses) {
    QString title, texts;
    bool closed = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        for (QLabel* l : box->findChildren<QLabel*>()) texts += l->text() + "\n";
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text() == "&Zatvori") {
                b->click();
                closed = true;
            }
    });
    item("Po&moć", "&O programu")->trigger();
    EXPECT_TRUE(closed);
    EXPECT_EQ(title, "O programu Marel V1.01");
    EXPECT_TRUE(texts.contains("JOPPD obrasce, ispis virmana (HUB3 ili HUB 3A), potvrde na kraju godine.\n"));
    EXPECT_TRUE(texts.contains("Kontakt: "));
}

TEST_F(Frame, ClosingTheFrameClosesItsWindowsUnlessOneRefuses) {
    frame->openScreen("OSOBE");
    last->refuseClose = true;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(windows().size(), 1);
    last->refuseClose = false;
    frame->openScreen("OSOBE");
    EXPECT_TRUE(frame->close());
    settle();
    EXPECT_TRUE(windows().isEmpty());
}
