// Keys and texts a bookkeeper relies on, tried as he meets them: real key
// presses through the X server into the frame under a window manager.
#include <QAbstractItemModel>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

#include "support/Desktop.h"
#include "ui/screens/ListBrowserView.h"

using namespace marel;
using namespace marel::test;

namespace {

class Keys : public DesktopFixture {
protected:
    std::function<bool()> activeIs(QString title) {
        return [this, title] { return activeTitle() == title; };
    }
    // Opens a screen of the frame as its menu command does.
    void open(DesktopScript& s, const char* screen, const char* title) {
        s.then([this, screen] { frame->openScreen(screen); }).waitFor(title, activeIs(QString::fromUtf8(title)));
    }
    // The payment form of the first demo payment, from the payments screen.
    void toPaymentForm(DesktopScript& s) {
        s.key("alt+s").waitFor("Pregled isplata", activeIs("Pregled isplata"));
        s.click("Mijenjaj", inActive("change")).waitFor("Promjene", activeIs("Promjene"));
    }
    QString text(const char* id) const {
        WindowBuilder* b = activeBuilder();
        auto* edit = b ? b->control<QLineEdit>(id) : nullptr;
        return edit ? edit->text() : QStringLiteral("(nema polja)");
    }
};

// Two lists with their own Unesi / Mijenjaj: the letter acts for the list the
// user is working in, whichever list's buttons were made first.
TEST_F(Keys, AnAltLetterTwoListsShareActsForTheListWorkedIn) {
    frameAt(1366, 768);
    struct Row {
        const char* list;  // clicked first: the list worked in
        const char* keys;
        const char* opens;
    };
    const Row rows[] = {
        {"list", "alt+m", "Promjene podataka o općini"},
        {"mje.list", "alt+m", "Promjene - mjesta"},
        {"list", "alt+u", "Unos nove općine"},
        {"mje.list", "alt+u", "Upis mjesta u šifrarnik"},
    };
    // (The lists take turns: xdotool's synchronous move waits for a move,
    // and a second click on the same spot would make none.)
    DesktopScript s;
    open(s, "OPCINE", "Pregled općina");
    for (const Row& r : rows) {
        s.click(r.list, inActive(r.list));
        s.key(r.keys).waitFor(std::string(r.keys) + " u " + r.list + ": " + r.opens,
                              activeIs(QString::fromUtf8(r.opens)));
        s.key("Escape").waitFor("natrag u popisu", activeIs("Pregled općina"));
    }
    EXPECT_TRUE(s.run()) << s.failure();
}

// A letter in an amount, a number or a date is refused as it is typed: a beep
// and nothing in the field, not a refusal only when the field is left.
TEST_F(Keys, ALetterTypedIntoANumberOrADateBeepsAndStaysOut) {
    frameAt(1366, 768);
    struct Row {
        const char* field;
        const char* typed;
        const char* shown;
    };
    const Row rows[] = {
        {"datum", "1.3.2014x", "1.3.2014"},
        {"isplatitelj", "1a", "1"},
    };
    DesktopScript s;
    toPaymentForm(s);
    int beeps = 0;
    for (const Row& r : rows) {
        s.click(r.field, inActive(r.field)).key("ctrl+a").type(r.typed);
        s.waitFor(std::string(r.field) + " pokazuje " + r.shown + " uz jedan zvuk", [this, r, b = ++beeps] {
            return text(r.field) == QLatin1String(r.shown) && ask.beeps == b;
        });
    }
    s.key("Escape").waitFor("natrag u popisu", activeIs("Pregled isplata"));
    EXPECT_TRUE(s.run()) << s.failure();
    EXPECT_EQ(ask.beeps, 2);
}

// Saving a report as PDF asks in Croatian and offers the report's name with
// the designation of what it prints, from either preview.
TEST_F(Keys, TheReportIsSavedAsPdfUnderACroatianDialogAndItsOwnName) {
    frameAt(1366, 768);
    QString rsid;
    auto inPreview = [this](const char* name) -> std::function<QWidget*()> {
        return [this, name] { return active() ? active()->findChild<QToolButton*>(QLatin1String(name)) : nullptr; };
    };
    struct Row {
        const char* button;  // in the payments screen
        const char* preview;
        const char* file;    // the name offered, before the designation
        std::function<void(DesktopScript&)> save;
    };
    const Row rows[] = {
        {"jopb", "JOPPD obrazac - stranica B", "JOPPD-B ",
         [&](DesktopScript& s) { s.click("Spremi sve strane kao PDF", inPreview("pdf")); }},
        {"jopa", "Preview ispisa", "JOPPD-A ",
         [this](DesktopScript& s) {
             s.then([this] { active()->findChild<QAction*>(QStringLiteral("menuPdf"))->trigger(); });
         }},
    };
    std::vector<std::string> offered;
    DesktopScript s;
    s.key("alt+s").waitFor("Pregled isplata", activeIs("Pregled isplata"));
    s.then([&] { rsid = activeBuilder()->control<QLabel>("rsid")->text().trimmed(); });
    size_t asked = 0;
    for (const Row& r : rows) {
        s.click(r.button, inActive(r.button)).waitFor(r.preview, activeIs(QString::fromUtf8(r.preview)));
        r.save(s);
        ++asked;
        s.waitFor("pitanje za PDF", [this, asked] { return ask.fileRequests.size() == asked; });
        s.then([&, r] {
            const FileRequest& f = ask.fileRequests.back();
            EXPECT_EQ(f.title, "Spremi kao PDF…");
            EXPECT_EQ(f.filter, "PDF datoteka|*.pdf");
            EXPECT_TRUE(f.save);
            offered.push_back(f.initial);
            EXPECT_EQ(f.initial, r.file + rsid.toStdString() + ".pdf");
            if (QMdiSubWindow* sub = frame->area()->activeSubWindow()) sub->close();
        });
        s.waitFor("Pregled isplata natrag", activeIs("Pregled isplata"));
    }
    EXPECT_TRUE(s.run()) << s.failure();
    EXPECT_EQ(offered.size(), 2u);
    EXPECT_FALSE(rsid.isEmpty());
}

}  // namespace
