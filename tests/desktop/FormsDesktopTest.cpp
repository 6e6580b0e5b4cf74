#include <QMdiArea>
#include <QPointer>
#include <QMdiSubWindow>

#include <QApplication>

#include "support/Desktop.h"

using namespace marel;
using namespace marel::test;

namespace {

// What a bookkeeper does with forms and their choosers, under a window manager.
class Forms : public DesktopFixture {
protected:
    // The active window is `title`, and it is the only window so titled.
    std::function<bool()> activeIs(QString title) {
        return [this, title] { return activeTitle() == title && windowsTitled(title).size() == 1; };
    }
    std::function<bool()> gone(QString title) {
        return [this, title] { return windowsTitled(title).empty(); };
    }
    // The payment form of the first payment, from the payments screen.
    void toPaymentForm(DesktopScript& s) {
        s.key("alt+s").waitFor("Pregled isplata", activeIs("Pregled isplata"));
        s.click("Mijenjaj", inActive("change")).waitFor("Promjene", activeIs("Promjene"));
    }
};

// A number that names nothing, then its chooser: one chooser opens, the form
// is in front once it closes, and OK saves the line and closes the form.
TEST_F(Forms, IncomeLineLookupsOpenOneChooserAndLeaveTheFormWorking) {
    frameAt(1366, 768);
    DesktopScript s;
    toPaymentForm(s);
    s.click("Unesi dohodak", inActive("d.insert")).waitFor("Unos dohotka", activeIs("Unos dohotka"));
    s.click("… djelatnika", inActive("djelatnik.lookup")).waitFor("Pregled primatelja", activeIs("Pregled primatelja"));
    s.key("Return").waitFor("Unos dohotka natrag", activeIs("Unos dohotka"));
    // A number that names nothing typed, then its button: the list opens once.
    const struct {
        const char* entry;
        const char* list;
        const char* bogus;
    } lookups[] = {{"djelatnik", "Pregled primatelja", "999"}, {"vrsta", "Pregled vrsta dohotka", "77"}};
    for (const auto& l : lookups) {
        const std::string entry = l.entry;
        s.click(entry, inActive(entry)).key("ctrl+a").type(l.bogus);
        s.click(entry + " …", inActive(entry + ".lookup"));
        s.waitFor(std::string("jedan ") + l.list, activeIs(l.list)).pause(300);
        s.waitFor(std::string("još uvijek jedan ") + l.list, activeIs(l.list));
        s.key("Return").waitFor("Unos dohotka nakon odabira", activeIs("Unos dohotka"));
        s.waitFor(std::string(l.list) + " zatvoren", gone(l.list));
    }
    s.waitFor("fokus u Neto", [this] { return activeBuilder() && QApplication::focusWidget() == activeBuilder()->control("neto"); });
    s.key("ctrl+a").type("1000");
    s.click("OK", inActive("ok")).waitFor("obrazac zatvoren", gone("Unos dohotka"));
    s.waitFor("Promjene u prvom planu", activeIs("Promjene"));
    EXPECT_TRUE(s.run()) << s.failure();
}

// When a list closes, the form that opened it comes back to the front, not
// another screen that happens to be open.
TEST_F(Forms, AfterAChoiceTheFormIsInFrontNotAnotherScreen) {
    frameAt(1366, 768);
    DesktopScript s;
    s.key("alt+d").waitFor("Potvrde", activeIs("Ispis potvrda o isplaćenom dohotku"));
    s.key("alt+i").waitFor("Isplatitelji", activeIs("Pregled isplatitelja"));
    s.click("Mijenjaj", inActive("change")).waitFor("obrazac isplatitelja", activeIs("Promjena podataka"));
    s.click("Mjesto", inActive("mjesto")).key("ctrl+a").type("99");
    s.click("Mjesto …", inActive("mjesto.lookup")).waitFor("Pregled mjesta", activeIs("Pregled mjesta"));
    s.key("Return").waitFor("Pregled mjesta zatvoren", gone("Pregled mjesta")).pause(300);
    s.waitFor("obrazac isplatitelja u prvom planu", activeIs("Promjena podataka"));
    EXPECT_TRUE(s.run()) << s.failure();
}

// A preview closed: the screen that printed is in front again.
TEST_F(Forms, AfterAPreviewTheScreenThatPrintedIsInFront) {
    frameAt(1366, 768);
    DesktopScript s;
    QPointer<QMdiSubWindow> preview;
    s.key("alt+d").waitFor("Potvrde", activeIs("Ispis potvrda o isplaćenom dohotku"));
    s.key("alt+s").waitFor("Pregled isplata", activeIs("Pregled isplata"));
    s.click("JOP - A", inActive("jopa"));
    s.waitFor("pregled ispisa", [&] {
        preview = frame->area()->activeSubWindow();
        return preview && preview->windowTitle() != "Pregled isplata";
    });
    s.pause(300).then([&] { preview->close(); }).pause(300);
    s.waitFor("isplate u prvom planu", activeIs("Pregled isplata"));
    EXPECT_TRUE(s.run()) << s.failure();
}

// A maximized screen, then another: both are drawn whole, restored or not.
TEST_F(Forms, MaximizedScreenThenAnotherStaysDrawn) {
    frameAt(1366, 768);
    DesktopScript s;
    QPointer<QMdiSubWindow> payments;
    s.key("alt+s").waitFor("Pregled isplata", activeIs("Pregled isplata"));
    s.then([&] {
        payments = frame->area()->activeSubWindow();
        payments->showMaximized();
    });
    s.pause(200).key("alt+a").waitFor("Pregled primatelja", activeIs("Pregled primatelja")).pause(200);
    auto drawn = [](QMdiSubWindow* w) {
        return w && w->widget() && w->widget()->updatesEnabled() && w->widget()->isVisible() &&
               w->widget()->height() > 200;
    };
    s.waitFor("primatelji nacrtani", [&] { return drawn(frame->area()->activeSubWindow()); });
    s.then([&] { frame->area()->activeSubWindow()->showNormal(); }).pause(200);
    s.waitFor("primatelji vraćeni nacrtani", [&] { return drawn(frame->area()->activeSubWindow()); });
    s.then([&] { frame->area()->setActiveSubWindow(payments); }).pause(200);
    s.waitFor("isplate nacrtane", [&] {
        return drawn(payments) && payments->widget()->findChild<QWidget*>("insert")->isVisible();
    });
    // A form of the maximized window, cancelled: the window is maximized and whole again.
    s.then([&] { payments->showMaximized(); }).pause(200);
    s.click("Mijenjaj", inActive("change")).waitFor("Promjene", activeIs("Promjene"));
    s.key("Escape").waitFor("Promjene zatvorene", gone("Promjene")).pause(200);
    s.waitFor("isplate opet povećane i nacrtane", [&] {
        return payments->isMaximized() && activeTitle() == "Pregled isplata" && drawn(payments) &&
               payments->widget()->findChild<QWidget*>("insert")->isVisible();
    });
    EXPECT_TRUE(s.run()) << s.failure();
}

}  // namespace
