#include "codelists/screens/StreetsBanks.h"

#include "store/Records.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

ULICE_SCREEN::ULICE_SCREEN(QWidget* parent)
    : ListWindow(withButtons({"Pregled ulica",
                              260,
                              190,
                              {sheet("tabs", {4, 4, 196, 160}, {tab("Ulice", {list("list", {8, 20, 188, 140})})}),
                               display("naziv", FieldRef(ULICE, "NAZIV"), "@s25", {8, 170, 120, 10})}},
                             codeListButtons(206, 20)),
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        ULICE, "130L(2)|M~Naziv~@s25@64R(2)|M~Oznaka~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(ULICE, "NAZIV"), ColumnSource::of(ULICE, "OZNAKA")});
    b->addSortOrder({ULICE.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
    b->update = [this](LONG request) { return UPISULICE(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
    onChange = [this] { builder().display("naziv"); };
}

LONG UPISULICE::run(LONG request) {
    UpdateForm form(ULICE, "UPISULICE");
    form.insertTitle = "Upis ulice u šifrarnik";
    form.changeTitle = "Promjena naziva ulice";
    WindowResource r{"", 190, 50,
                     {prompt("&Naziv:", {6, 8, 34, 10}),
                      entry("naziv", FieldRef(ULICE, "NAZIV"), "@s25", {42, 6, 140, 12}).history()}};
    append(r.controls, okCancelButtons(86, 30));
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

BANKE_SCREEN::BANKE_SCREEN(QWidget* parent)
    : ListWindow(withButtons({"Pregled banaka",
                              330,
                              190,
                              {sheet("tabs", {4, 4, 266, 160}, {tab("Banke", {list("list", {8, 20, 258, 140})})}),
                               display("naziv", FieldRef(BANKE, "NAZIV"), "@s40", {8, 170, 200, 10})}},
                             codeListButtons(276, 20)),
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        BANKE, "125L(2)|M~Naziv~@s40@64L(9)|M~Vodeći Broj~L(4)@s7@28R(2)|M~Oznaka~C(0)@n6@",
        std::vector<ColumnSource>{ColumnSource::of(BANKE, "NAZIV"), ColumnSource::of(BANKE, "VODECIBROJ"),
                                  ColumnSource::of(BANKE, "OZNAKA")});
    b->addSortOrder({BANKE.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
    b->update = [this](LONG request) { return UPISBANKE(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
    onChange = [this] { builder().display("naziv"); };
}

LONG UPISBANKE::run(LONG request) {
    UpdateForm form(BANKE, "UPISBANKE");
    form.insertTitle = "Upis banke u šifrarnik";
    form.changeTitle = "Promjena naziva banke";
    WindowResource r{"", 230, 66,
                     {prompt("&Naziv:", {6, 8, 50, 10}),
                      entry("naziv", FieldRef(BANKE, "NAZIV"), "@s40", {58, 6, 166, 12}).history(),
                      prompt("&Vodeći Broj:", {6, 26, 50, 10}),
                      entry("vodeci", FieldRef(BANKE, "VODECIBROJ"), "@s7", {58, 24, 40, 12}).history()}};
    append(r.controls, okCancelButtons(128, 46));
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

}  // namespace marel::screens
