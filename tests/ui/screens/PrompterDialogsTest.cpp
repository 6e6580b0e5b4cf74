#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/screens/QtPrompter.h"

using namespace marel;

namespace {

// Runs `act` on the dialog or menu that the next question opens.
template <class W>
void whenShown(std::function<void(W*)> act) {
    QTimer::singleShot(0, [act] {
        W* target = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && qobject_cast<W*>(w)) target = qobject_cast<W*>(w);
        ASSERT_NE(target, nullptr);
        act(target);
    });
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList out;
    for (QAbstractButton* b : box->buttons()) out << b->text();
    return out;
}

}  // namespace

TEST(PrompterDialogs, OwnButtonsAnswerTheirNumberAndEscapeTheLast) {
    QtPrompter dialogs;
    QStringList seen;
    QString def;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen = buttonTexts(box);
        def = box->defaultButton()->text();
        box->buttons().first()->click();
    });
    EXPECT_EQ(dialogs.message({"JESTE LI SIGURNI?", "Potvrda brisanja", Icon::Question, 0, 2, "DA|NE"}), 1);
    EXPECT_EQ(seen, QStringList({"DA", "NE"}));
    EXPECT_EQ(def, "NE");

    whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.message({"?", "", Icon::None, 0, 0, "Prvi|Drugi|Treći"}), 3);
}

TEST(PrompterDialogs, StandardButtonsAnswerTheirCodes) {
    QtPrompter dialogs;
    bool cancelIsDefault = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        cancelIsDefault = box->defaultButton() == box->button(QMessageBox::Cancel);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialogs.message({"Brisati ću odabrani slog.", "Potvrda brisanja", Icon::Question,
                               BUTTON_OK | BUTTON_CANCEL, BUTTON_CANCEL, ""}),
              BUTTON_OK);
    EXPECT_TRUE(cancelIsDefault);
    whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.message({"?", "", Icon::Exclamation, BUTTON_YES | BUTTON_NO, 0, ""}), BUTTON_NO);
}

TEST(PrompterDialogs, PopupNumbersItemsPastSeparatorsAndDisablesTilde) {
    QtPrompter dialogs;
    bool disabled = false;
    whenShown<QMenu>([&](QMenu* menu) {
        QList<QAction*> items;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) items << a;
        ASSERT_EQ(items.size(), 3);
        disabled = !items[1]->isEnabled() && items[1]->text() == "&Briši";
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(items[2]).center());
    });
    EXPECT_EQ(dialogs.popup("&Dodaj|-|~&Briši|Ispis"), 3);
    EXPECT_TRUE(disabled);
    whenShown<QMenu>([](QMenu* menu) { menu->close(); });
    EXPECT_EQ(dialogs.popup("&Dodaj|Ispis"), 0);

    // "+" ticks an item, "-" before a text leaves it tickable but clear.
    std::vector<std::pair<QString, bool>> seen;
    whenShown<QMenu>([&](QMenu* menu) {
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) seen.emplace_back(a->text(), a->isChecked());
        menu->close();
    });
    dialogs.popup("+No Zoom|-|-50%");
    EXPECT_EQ(seen, (std::vector<std::pair<QString, bool>>{{"No Zoom", true}, {"50%", false}}));
}

TEST(PrompterDialogs, FileFiltersBecomeQtFilters) {
    EXPECT_EQ(qtFileFilter("Tekst|*.txt|Slike stranica|*.wmf;*.emf"), "Tekst (*.txt);;Slike stranica (*.wmf *.emf)");
}
