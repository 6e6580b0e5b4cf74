#include "codelists/screens/Municipalities.h"

#include <QKeyEvent>
#include <QTimer>

#include <memory>

#include "codelists/Municipalities.h"
#include "codelists/screens/OpcineIspisScreen.h"
#include "session/Globals.h"
#include "ui/screens/Runtime.h"
#include "store/Records.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

// ---------------------------------------------------------------- municipality forms

// The two municipality forms differ only in the account row: the full IBAN
// (its check digits, the budget bank and the account), or the account alone.
LONG runMunicipalityForm(QWidget* caller, LONG request, bool withIban) {
    UpdateForm form(OPCINE, withIban ? "UPISOPCINE" : "UPISIZODABIRAOPCINE");
    form.insertTitle = "Unos nove općine";
    form.changeTitle = "Promjene podataka o općini";
    // Building the account again on OK tells the user about a code that will
    // not do; a code that is not four digits is not saved at all.
    form.validate = [withIban] {
        if (withIban && !municipalityFormOk()) return false;
        return municipalityCodeOk();
    };

    WindowResource r{"", 214, 106, {}};
    append(r.controls,
           {prompt("&Naziv:", {6, 8, 80, 10}),
            entry("naziv", FieldRef(OPCINE, "NAZIV"), "@s25", {88, 6, 116, 12}).history(),
            prompt(withIban ? "Š&ifra grada/općine:" : "Sh&ifra grada/općine:", {6, 26, 80, 10}),
            entry("shifra", FieldRef(OPCINE, "SHIFRA"), "@s4", {88, 24, 26, 12})
                .withTip("unesite četveroznamenkasti broj")
                .history()});
    if (withIban)
        append(r.controls, {button("iban", "IB&AN:", {6, 43, 40, 14}),
                            entry("rkont", FieldRef(OPCINE, "RKONT"), "@s4", {50, 44, 24, 12}).history(),
                            prompt("1001005", {78, 46, 36, 10}),
                            entry("racun", FieldRef(OPCINE, "RACUNPOREZ"), "@s10", {114, 44, 52, 12}).history()});
    else
        append(r.controls, {button("racunbtn", "&Račun", {6, 43, 40, 14}), prompt("1001005 -", {50, 46, 42, 10}),
                            entry("racun", FieldRef(OPCINE, "RACUNPOREZ"), "@s10", {92, 44, 52, 12}).history()});
    append(r.controls, {prompt("Stopa &Prireza:", {6, 66, 80, 10}),
                        entry("stopa", FieldRef(OPCINE, "STOPAPRIREZA"), "@N-10`2", {88, 64, 44, 12}).history(),
                        button("stopa.up", "▲", {133, 63, 12, 7}).withTip("Povećaj stopu prireza"), button("stopa.down", "▼", {133, 70, 12, 7}).withTip("Smanji stopu prireza")});
    append(r.controls, okCancelButtons(114, 86));

    UpdateFormView view(form, std::move(r), caller);
    view.onOpen = [withIban](WindowBuilder& b) {
        // The rate field takes what was typed into it before it moves a point.
        auto step = [&b](int direction) {
            if (!b.accept("stopa")) return;
            stepSurtaxRate(direction);
            b.display("stopa");
        };
        b.onAccepted("stopa.up", [step] { step(1); return true; });
        b.onAccepted("stopa.down", [step] { step(-1); return true; });
        b.onKey("stopa", [step](QKeyEvent* e) {
            if (e->modifiers() & ~Qt::KeypadModifier) return false;
            if (e->key() == Qt::Key_Up) step(1);
            else if (e->key() == Qt::Key_Down) step(-1);
            else return false;
            return true;
        });

        if (!withIban) {
            b.onAccepted("racunbtn", [&b] {
                b.accept("shifra");
                municipalityAccountRule(MunicipalityAccountRule::AccountOnly);
                b.display();
                return true;
            });
            return;
        }
        // The button reads the code as typed, which accepts the code; that
        // must not run the rule a second time.
        auto inRule = std::make_shared<bool>(false);
        b.onAccepted("iban", [&b, inRule] {
            *inRule = true;
            b.accept("shifra");
            municipalityAccountRule(MunicipalityAccountRule::WithIban);
            *inRule = false;
            b.display();
            return true;
        });
        // A new code without an account yet gets its account at once; on OK
        // the form builds it anyway.
        b.onAccepted("shifra", [&b, inRule] {
            if (!*inRule && !b.acceptingAll() && OPC.RKONT.empty()) b.press("iban");
            return true;
        });
    };
    return view.exec(request);
}

// ---------------------------------------------------------------- place forms

// From the places list the municipality is chosen from its list; from the
// municipality list it is the municipality highlighted there, and the form
// only names it.
LONG runPlaceForm(QWidget* caller, LONG request, bool lookup) {
    UpdateForm form(MJESTA, lookup ? "UPISMJESTA" : "UPISMJESTAIZOPCINE");
    form.insertTitle = "Upis mjesta u šifrarnik";
    form.changeTitle = "Promjene - mjesta";
    form.otherFiles = {&OPCINE};

    WindowResource r{"", 214, 84, {}};
    append(r.controls, {prompt("&Naziv:", {6, 8, 40, 10}),
                        entry("naziv", FieldRef(MJESTA, "NAZIV"), "@s25", {50, 6, 116, 12}).history(),
                        prompt("&Općina:", {6, 26, 40, 10}),
                        marel::lookup("opcina", FieldRef(MJESTA, "OPCINA"), "@n-14", {50, 24, 40, 12},
                                      {&OPCINE, OPCINE.KEYOZNAKA, FieldRef(OPCINE, "OZNAKA"), fieldText(OPCINE, "NAZIV"),
                                       lookup ? chooser<ODABIROPCINE>() : nullptr, 96, "Odabir općine"})
                            .history(),
                        prompt("&Post Broj:", {6, 44, 40, 10}),
                        entry("postbroj", FieldRef(MJESTA, "POSTBROJ"), "@s6", {50, 42, 34, 12}).history()});
    append(r.controls, okCancelButtons(114, 64));

    UpdateFormView view(form, std::move(r), caller);
    view.onOpen = [lookup](WindowBuilder& b) {
        if (lookup) b.onAccepted("opcina", [] { return placeMunicipalityChosen(); });
    };
    return view.exec(request);
}

}  // namespace

LONG UPISOPCINE::run(LONG request) { return runMunicipalityForm(caller_, request, true); }
LONG UPISIZODABIRAOPCINE::run(LONG request) { return runMunicipalityForm(caller_, request, false); }
LONG UPISMJESTA::run(LONG request) { return runPlaceForm(caller_, request, true); }
LONG UPISMJESTAIZOPCINE::run(LONG request) { return runPlaceForm(caller_, request, false); }

// ---------------------------------------------------------------- OPCINE

namespace {

WindowResource opcineResource() {
    WindowResource r{"Pregled općina", 330, 282, {}};
    append(r.controls,
           {sheet("tabs", {4, 4, 262, 140},
                  {tab("Općine [F5]",
                       {list("list", {8, 20, 254, 98}).withKey("F5"),
                        entry("locator", FieldRef(OPCINE, "NAZIV"), "@s25", {8, 124, 116, 12}),
                        prompt("Stopa prireza:", {146, 126, 58, 10}),
                        display("stopa", FieldRef(OPCINE, "STOPAPRIREZA"), "@N-10.`3B", {206, 126, 54, 10})})}),
            prompt("Mjesta u odabranoj općini:", {6, 150, 150, 10}), list("mje.list", {4, 162, 262, 112}),
            button("ispis", "Button 9", {272, 120, 50, 14}).withTip("Ispis popisa općina"),
            button("mje.insert", "&Unesi", {272, 162, 50, 14}), button("mje.change", "&Mijenjaj", {272, 178, 50, 14}),
            button("mje.delete", "&Briši", {272, 194, 50, 14})});
    append(r.controls, codeListButtons(272, 20));
    return r;
}

}  // namespace

OPCINE_SCREEN::OPCINE_SCREEN(QWidget* parent) : ListWindow(opcineResource(), parent) {
    auto towns = std::make_unique<ListBrowser>(
        OPCINE, "78L(2)|M~Naziv~@s25@26L(3)|M~šifra~L(2)@s4@47R(12)|M~% Prireza~L(1)@N10.`3B@64R(2)|M~Oznaka~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(OPCINE, "NAZIV"), ColumnSource::of(OPCINE, "SHIFRA"),
                                  ColumnSource::of(OPCINE, "STOPAPRIREZA"), ColumnSource::of(OPCINE, "OZNAKA")});
    towns->addSortOrder({OPCINE.KEYNAZIV, Locator::None, Stops::None, {}, {}});
    towns->update = [this](LONG request) {
        const LONG answer = UPISOPCINE(this).run(request);
        // A new municipality goes on to its first place once the list shows it.
        const bool inserted = request == INSERTRECORD && answer == REQUESTCOMPLETED;
        GLO.AKCIJA = inserted ? "UnesiMjesto" : "";
        placePending_ = inserted;
        return answer;
    };
    ListBrowser& upper = add(std::move(towns), {"list", "", "tabs", "locator", false});
    // The places below belong to the highlighted municipality; the number is
    // taken before the places list follows the move.
    upper.listen([this, &upper] { opcina_ = upper.selected() ? OPC.OZNAKA : -1; });

    auto places = std::make_unique<ListBrowser>(
        MJESTA, "82L(1)|M~Mjesto~L(3)@s25@58L(5)|M~Post Broj~L(2)@s6@56R|M~Općina~L(2)@n-14@56R|M~Oznaka~L(2)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(MJESTA, "NAZIV"), ColumnSource::of(MJESTA, "POSTBROJ"),
                                  ColumnSource::of(MJESTA, "OPCINA"), ColumnSource::of(MJESTA, "OZNAKA")});
    places->addSortOrder({MJESTA.KEYOPCINA, Locator::None, Stops::None, [this] { return int64_t(opcina_); }, {}});
    places->update = [this](LONG request) {
        const LONG answer = UPISMJESTAIZOPCINE(this).run(request);
        GLO.AKCIJA = "";
        return answer;
    };
    places->follow(upper);
    add(std::move(places), {"mje.list", "mje.", "", "", false});

    upper.listen([this] {
        if (!placePending_) return;
        placePending_ = false;
        if (GLO.AKCIJA == "UnesiMjesto")
            later(this, [this] {
                if (isOpen()) builder().press("mje.insert");
            });
    });
    builder().onAccepted("ispis", [this] {
        OPCINEISPIS();
        // The printout read the file through the same buffer.
        browser(0).refresh(true);
        browser(1).refresh(true);
        return true;
    });
    // The locator shows the highlighted name, so a name typed there and found reads in full.
    onChange = [this] {
        builder().display("stopa");
        builder().display("locator");
    };
}

// ---------------------------------------------------------------- MJESTA

namespace {

WindowResource mjestaResource(String<25>& mjesto) {
    WindowResource r{"Pregled mjesta", 480, 182, {}};
    append(r.controls, {list("list", {4, 4, 412, 152}),
                        entry("locator", FieldRef(MJESTA, "NAZIV"), "@s25", {4, 162, 116, 12}),
                        display("mjesto", FieldRef(mjesto, "LOC:MJESTO"), "@s25", {128, 164, 116, 10})});
    append(r.controls, codeListButtons(424, 4));
    return r;
}

}  // namespace

MJESTA_SCREEN::MJESTA_SCREEN(QWidget* parent) : MJESTA_SCREEN(std::make_unique<String<25>>(), parent) {}

MJESTA_SCREEN::MJESTA_SCREEN(std::unique_ptr<String<25>> mjesto, QWidget* parent)
    : ListWindow(mjestaResource(*mjesto), parent), mjesto_(std::move(mjesto)) {
    // The list reads OPCINE for every row; a caller that has it open is no condition.
    municipalities_.add(OPCINE);
    auto b = std::make_unique<ListBrowser>(
        MJESTA,
        "75L(1)|M~Naziv~@s25@32C(7)|M~Post br.~C(0)@s6@76L(1)|M~Grad / općina~L(2)@s25@26L(3)|M~Shifra~L(1)@s4@"
        "69R(35)|M~Prirez~L(1)@N15.`3B@64R(2)|M~Oznaka~C(0)@n-14@64R(2)|M~Općina~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(MJESTA, "NAZIV"), ColumnSource::of(MJESTA, "POSTBROJ"),
                                  ColumnSource::of(OPCINE, "NAZIV"), ColumnSource::of(OPCINE, "SHIFRA"),
                                  ColumnSource::of(OPCINE, "STOPAPRIREZA"), ColumnSource::of(MJESTA, "OZNAKA"),
                                  ColumnSource::of(MJESTA, "OPCINA")});
    b->addSortOrder({MJESTA.KEYNAZIV, Locator::Incremental, Stops::None, {}, {}});
    b->related = [] { municipalityName(MJE.OPCINA); };
    b->update = [this](LONG request) { return UPISMJESTA(this).run(request); };
    ListBrowser& places = add(std::move(b), {"list", "", "", "locator", true});
    onChange = [this, &places] {
        *mjesto_ = places.selected() ? MJE.NAZIV.str() : std::string();
        builder().display("mjesto");
        builder().display("locator");
    };
}

// ---------------------------------------------------------------- ODABIROPCINE

ODABIROPCINE::ODABIROPCINE(QWidget* parent)
    : ListWindow({"Pregled općina",
                  266,
                  172,
                  [] {
                      std::vector<Control> c{
                          sheet("tabs", {4, 4, 204, 164}, {tab("Općine", {list("list", {8, 20, 196, 144})})})};
                      append(c, codeListButtons(212, 20));
                      return c;
                  }()},
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        OPCINE, "131L(2)|M~Naziv~@s25@64R(2)|M~Oznaka~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(OPCINE, "NAZIV"), ColumnSource::of(OPCINE, "OZNAKA")});
    b->addSortOrder({OPCINE.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
    b->update = [this](LONG request) { return UPISIZODABIRAOPCINE(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
}

}  // namespace marel::screens
