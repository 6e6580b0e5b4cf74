#include <QMdiArea>
#include <QMdiSubWindow>

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
    s.click("Neto", inActive("neto")).key("ctrl+a").type("1000");
    s.click("OK", inActive("ok")).waitFor("obrazac zatvoren", gone("Unos dohotka"));
    s.waitFor("Promjene u prvom planu", activeIs("Promjene"));
    EXPECT_TRUE(s.run()) << s.failure();
}

}  // namespace
