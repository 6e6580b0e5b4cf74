#include "codelists/screens/PrinterParams.h"

#include <QKeyEvent>

#include "common/Prompter.h"
#include "store/Records.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

// Moves an offset by one step, after reading what was typed into its entry.
// An offset stops at the ends of its range instead of wrapping round.
void nudge(WindowBuilder& b, const char* id, SHORT& offset, int by) {
    if (!b.accept(id)) return;
    const int next = offset + by;
    if (next < -32768 || next > 32767) {
        prompter().beep();
        return;
    }
    offset = SHORT(next);
    b.display(id);
}

}  // namespace

BROWSEPARAM::BROWSEPARAM(QWidget* parent)
    : ListWindow({"Podešavanje ispisa na printeru",
                  432,
                  196,
                  {sheet("tabs", {4, 4, 364, 170}, {tab("Parametri printera", {list("list", {8, 20, 356, 150})})}),
                   display("namjena", FieldRef(PARAM, "MODELPRINTERA"), "@s100", {8, 180, 356, 10}),
                   button("select", "O&daberi", {374, 20, 54, 14}), button("insert", "&Unesi", {374, 40, 54, 14}),
                   button("change", "&Mijenjaj", {374, 56, 54, 14}), button("delete", "&Briši", {374, 72, 54, 14}),
                   button("close", "Zatvori", {374, 100, 54, 14})}},
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        PARAM,
        "30R(2)|M~Oznaka~C(0)@n5@110L(2)|M~Namjena~@s40@44R(2)|M~vodoravno~C(0)@n-7@40R(2)|M~okomito~C(0)@n-7@"
        "56L(2)|M~Oznaka Papira~@s6@36R(2)|M~Duzina~C(0)@n-7@36R(2)|M~Sirina~C(0)@n-7@",
        std::vector<ColumnSource>{ColumnSource::of(PARAM, "OZNAKA"),
                                  ColumnSource::of(PARAM, "MODELPRINTERA"),
                                  ColumnSource::of(PARAM, "XPOS"), ColumnSource::of(PARAM, "YPOS"),
                                  ColumnSource::of(PARAM, "OZNAKAPAPIRA"),
                                  ColumnSource::of(PARAM, "DUZINA"), ColumnSource::of(PARAM, "SIRINA")});
    b->addSortOrder({PARAM.KEYOZNAKA, Locator::Step, Stops::None, {}, {}});
    b->update = [this](LONG request) { return UPDATEPARAM(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
    onChange = [this] { builder().display("namjena"); };
}

LONG UPDATEPARAM::run(LONG request) {
    UpdateForm form(PARAM, "UPDATEPARAM");
    form.insertTitle = "Unos";
    form.changeTitle = "Promjene";
    WindowResource r{
        "",
        236,
        84,
        {prompt("Namjena", {6, 8, 50, 10}),
         entry("namjena", FieldRef(PARAM, "MODELPRINTERA"), "@s100", {58, 6, 172, 12}).history(),
         prompt("VODORAVNO", {6, 26, 58, 10}),
         entry("xpos", FieldRef(PARAM, "XPOS"), "@n-7", {66, 24, 36, 12})
             .history()
             .withTip("Strelica gore dodaje 1, strelica dolje oduzima 1"),
         button("xplus", "+", {106, 23, 16, 14}).withTip("Pomak udesno"),
         button("xminus", "-", {124, 23, 16, 14}).withTip("Pomak ulijevo"),
         prompt("OKOMITO", {6, 44, 58, 10}),
         entry("ypos", FieldRef(PARAM, "YPOS"), "@n-7", {66, 42, 36, 12})
             .history()
             .withTip("Strelica gore dodaje 1, strelica dolje oduzima 1"),
         button("yplus", "+", {106, 41, 16, 14}).withTip("Pomak prema dolje"),
         button("yminus", "-", {124, 41, 16, 14}).withTip("Pomak prema gore"),
         button("ok", "OK", {136, 64, 45, 14}).byDefault(),
         button("cancel", "Odustani", {186, 64, 45, 14})}};
    UpdateFormView view(form, std::move(r), caller_);
    view.onOpen = [](WindowBuilder& b) {
        auto offset = [&b](const char* id, SHORT& value, const char* plus, const char* minus) {
            b.onAccepted(plus, [&b, id, &value] { nudge(b, id, value, +1); return true; });
            b.onAccepted(minus, [&b, id, &value] { nudge(b, id, value, -1); return true; });
            b.onKey(id, [&b, id, &value](QKeyEvent* key) {
                if (key->modifiers() & ~Qt::KeypadModifier) return false;
                if (key->key() == Qt::Key_Up) nudge(b, id, value, +1);
                else if (key->key() == Qt::Key_Down) nudge(b, id, value, -1);
                else return false;
                return true;
            });
        };
        offset("xpos", PAR.XPOS, "xplus", "xminus");
        offset("ypos", PAR.YPOS, "yplus", "yminus");
    };
    return view.exec(request);
}

}  // namespace marel::screens
