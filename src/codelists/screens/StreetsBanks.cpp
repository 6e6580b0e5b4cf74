#include "codelists/screens/StreetsBanks.h"

#include "store/Records.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

ULICE::ULICE(QWidget* parent)
    : ListWindow(withButtons({"Pregled ulica",
                              260,
                              190,
                              {sheet("tabs", {4, 4, 196, 160}, {tab("Ulice", {list("list", {8, 20, 188, 140})})}),
                               display("naziv", FieldRef(marel::ULICE, "NAZIV"), "@s25", {8, 170, 120, 10})}},
                             codeListButtons(206, 20)),
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        marel::ULICE, "130L(2)|M~Naziv~@s25@64R(2)|M~Oznaka~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(marel::ULICE, "NAZIV"), ColumnSource::of(marel::ULICE, "OZNAKA")});
    b->addSortOrder({marel::ULICE.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
    b->update = [this](LONG request) { return UPISULICE(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
    onChange = [this] { builder().display("naziv"); };
}

LONG UPISULICE::run(LONG request) {
    UpdateForm form(marel::ULICE, "UPISULICE");
    form.insertTitle = "Upis ulice u šifrarnik";
    form.changeTitle = "Promjena naziva ulice";
    WindowResource r{"", 190, 50,
                     {prompt("&Naziv:", {6, 8, 34, 10}),
                      entry("naziv", FieldRef(marel::ULICE, "NAZIV"), "@s25", {42, 6, 140, 12}).history()}};
    append(r.controls, okCancelButtons(86, 30));
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

BANKE::BANKE(QWidget* parent)
    : ListWindow(withButtons({"Pregled banaka",
                              330,
                              190,
                              {sheet("tabs", {4, 4, 266, 160}, {tab("Banke", {list("list", {8, 20, 258, 140})})}),
                               display("naziv", FieldRef(marel::BANKE, "NAZIV"), "@s40", {8, 170, 200, 10})}},
                             codeListButtons(276, 20)),
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        marel::BANKE, "125L(2)|M~Naziv~@s40@64L(9)|M~Vodeći Broj~L(4)@s7@28R(2)|M~Oznaka~C(0)@n6@",
        std::vector<ColumnSource>{ColumnSource::of(marel::BANKE, "NAZIV"), ColumnSource::of(marel::BANKE, "VODECIBROJ"),
                                  ColumnSource::of(marel::BANKE, "OZNAKA")});
    b->addSortOrder({marel::BANKE.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
    b->update = [this](LONG request) { return UPISBANKE(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
    onChange = [this] { builder().display("naziv"); };
}

LONG UPISBANKE::run(LONG request) {
    UpdateForm form(marel::BANKE, "UPISBANKE");
    form.insertTitle = "Upis banke u šifrarnik";
    form.changeTitle = "Promjena naziva banke";
    WindowResource r{"", 230, 66,
                     {prompt("&Naziv:", {6, 8, 50, 10}),
                      entry("naziv", FieldRef(marel::BANKE, "NAZIV"), "@s40", {58, 6, 166, 12}).history(),
                      prompt("&Vodeći Broj:", {6, 26, 50, 10}),
                      entry("vodeci", FieldRef(marel::BANKE, "VODECIBROJ"), "@s7", {58, 24, 40, 12}).history()}};
    append(r.controls, okCancelButtons(128, 46));
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

}  // namespace marel::screens
