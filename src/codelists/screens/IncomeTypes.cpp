#include "codelists/screens/IncomeTypes.h"

#include <QLabel>
#include <QTableView>

#include <memory>

#include "codelists/Checks.h"
#include "common/Prompter.h"
#include "store/Records.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

// A long description shown whole under a list or in a form: wrapped over
// several lines, selectable for copying, never edited.
void multiline(QLabel* label) {
    if (!label) return;
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

// ---------------------------------------------------------------- the list

// The non-taxable share and the expenses may be a whole 100 %, so their
// pictures hold six characters ("100,00"); five would show "####".
const char* kTypesFormat =
    "17R(2)|M~Ozn~L(0)@n3@124L(2)|M~Naziv~@s40@25R(1)|M~Neop.~L@N6@23L(5)|M~OzStj.~L(0)@s2@30L(4)|M~Oz.prim~L(1)@s15@"
    "36R(5)|M~Neop. dio~C(0)@N6.`2@36R(5)|M~% izdat.~C(0)@N6.`2@32R(5)|M~MO I.st.~C(0)@N5`2@32R(5)|M~MO II. st.~C(0)@"
    "N5`2@30R(6)|M~Z.O.~C(0)@N5`2@34R(5)|M~Por.stopa~L(0)@N-7`2@";

WindowResource typesWindow() {
    return {"Pregled vrsta dohotka",
            490,
            214,
            {list("list", {6, 6, 424, 178}),
             prompt("Oznaka:", {6, 194, 34, 10}),
             entry("locator", FieldRef(VRSTEDOH, "OZNAKA"), "@n3", {42, 192, 22, 12})
                 .withTip("Upišite oznaku vrste dohotka i pritisnite Enter"),
             display("naziv", FieldRef(VRSTEDOH, "NAZIV"), "@s50", {70, 194, 300, 10}),
             button("select", "&Odaberi", {436, 6, 50, 14}),
             button("insert", "&Unesi", {436, 26, 50, 14}),
             button("change", "&Mijenjaj", {436, 42, 50, 14}),
             button("delete", "&Briši", {436, 58, 50, 14}),
             button("close", "Zatvori", {436, 86, 50, 14}),
             button("help", "Help", {436, 102, 50, 14})}};
}

// ---------------------------------------------------------------- the form

// One row of the rate grid: a rate, its payment account and on whose OIB it is paid.
void rateRow(std::vector<Control>& c, int y, const char* label, const char* rate, const char* picture,
             const char* account = nullptr, const char* whose = nullptr) {
    c.push_back(prompt(label, {8, y + 2, 92, 10}));
    c.push_back(entry(lower(rate), FieldRef(VRSTEDOH, rate), picture, {100, y, 44, 12}).history());
    if (account)
        c.push_back(entry(lower(account), FieldRef(VRSTEDOH, account), "@s4", {150, y, 30, 12}).history());
    if (whose)
        c.push_back(option(lower(whose), "", FieldRef(VRSTEDOH, whose), {190, y - 2, 44, 16},
                           {radio("I", "I", {194, y + 1, 18, 10}), radio("P", "P", {214, y + 1, 18, 10})})
                        .history());
}

WindowResource typesForm(String<500>& neopstring, String<500>& proza) {
    std::vector<Control> rates{
        prompt("Stopa", {104, 26, 40, 10}),          prompt("Uplatni", {150, 20, 34, 9}),
        prompt("račun", {150, 28, 34, 9}),          prompt("Na OIB", {194, 26, 40, 10}),
        prompt("I - isplatitelja", {236, 20, 56, 9}), prompt("P - primatelja", {236, 28, 56, 9})};
    rates.push_back(prompt("Oznaka:", {8, 44, 92, 10}));
    rates.push_back(entry("oznaka", FieldRef(VRSTEDOH, "OZNAKA"), "@n3", {100, 42, 24, 12}).history());
    rates.push_back(prompt("Naziv:", {8, 60, 92, 10}));
    rates.push_back(entry("naziv", FieldRef(VRSTEDOH, "NAZIV"), "@s40", {100, 58, 188, 12}).history());
    rateRow(rates, 74, "Neoporezivi Dio:", "NEOPOREZIVIDIO", "@N6.`2");
    rateRow(rates, 90, "Priznati Troskovi:", "PRIZNATITROSKOVI", "@N6.`2");
    rateRow(rates, 106, "Mirovinsko I stup:", "MIROVINSKOISTUP", "@N5`2", "RNMOI", "TIPMOI");
    rateRow(rates, 122, "Mirovinsko II stup:", "MIROVINSKOIISTUP", "@N5`2", "RNMOII", "TIPMOII");
    rateRow(rates, 138, "Zdravstv. osiguranje:", "ZDRAVSTVENOOSIGURANJE", "@N5`2", "RNZO", "TIPZO");
    rateRow(rates, 154, "Osobni Odbitak:", "OSOBNIODBITAK", "@N9.`2");
    rateRow(rates, 170, "Porezna Stopa:", "POREZNASTOPA", "@N-7`2", "RNPOREZ", "TIPPOREZ");

    std::vector<Control> idd;
    const char* columns[] = {"stupac 3: Čl. 32. st. 3. Zak. - doprinosi obvezni",
                             "stupac 4: Čl. 32. st. 3. Zak. - ne plaćaju doprinose",
                             "stupac 5: Čl.32. st. 5 Zak. - Autorsko i umj. djelo",
                             "stupac 6: Čl.32. st. 5 Zak. - športaši, umj. i novinari",
                             "stupac 7: Čl.32. st. 5 Zak. - nerezidenti",
                             "stupac 8: primitak učenika i studenata"};
    for (int k = 0; k < 6; ++k) idd.push_back(radio(columns[k], std::to_string(k + 3), {18, 56 + 11 * k, 264, 10}));
    std::vector<Control> old{
        prompt("Osnova Obracuna (RS-B):", {10, 26, 100, 10}),
        entry("osnovaobracuna", FieldRef(VRSTEDOH, "OSNOVAOBRACUNA"), "@s9", {112, 24, 50, 12}).history(),
        option("stupacidd", "Stupac u IDD obrascu", FieldRef(VRSTEDOH, "STUPACIDD"), {10, 42, 278, 86},
               std::move(idd))
            .history(),
        prompt("Zaposljavanje:", {10, 138, 100, 10}),
        entry("zaposljavanje", FieldRef(VRSTEDOH, "ZAPOSLJAVANJE"), "@N5`2", {112, 136, 44, 12}).history(),
        option("visestopa", "Više stopa", FieldRef(VRSTEDOH, "VISESTOPA"), {10, 154, 100, 30},
               {radio("DA", "DA", {18, 168, 30, 10}), radio("NE", "NE", {58, 168, 30, 10})})
            .history()};

    std::vector<Control> nonTaxable{
        button("neoporezivi", "Oznaka neoporez. primitka", {10, 22, 112, 14}),
        entry("rezdecimala", FieldRef(VRSTEDOH, "REZDECIMALA"), "@N-11", {126, 23, 48, 12}).history(),
        button("obrisi", "Obriši", {180, 22, 40, 14}),
        display("neopstring", FieldRef(neopstring, "LOC:NEOPSTRING"), "@s500", {10, 40, 278, 32}),
        prompt("Šifre za JOP obrazac:", {10, 78, 120, 10}),
        option("rezstringa", "Oznaka stjecatelja / osiguranika", FieldRef(VRSTEDOH, "REZSTRINGA"),
               {10, 90, 278, 58},
               {radio("ne postoji obveza doprinosa (4001)", "01", {18, 102, 200, 10}),
                radio("postoji obveza doprinosa (4002)", "02", {18, 113, 200, 10}),
                radio("dohodak od kapitala (1001)", "11", {18, 124, 200, 10}),
                radio("Neoporezivi primitak (0000)", "00", {18, 135, 200, 10})})
            .history(),
        button("primitak", "Oznaka primitka:", {10, 154, 112, 14}),
        entry("rezstringb", FieldRef(VRSTEDOH, "REZSTRINGB"), "@s15", {126, 155, 64, 12}).history(),
        display("proza", FieldRef(proza, "LOC:PROZA"), "@s500", {10, 172, 278, 40})};

    return {"",
            300,
            244,
            {sheet("tabs", {4, 4, 292, 216},
                   {tab("Stope", std::move(rates)), tab("Staro", std::move(old)),
                    tab("Neoporezivi primitak", std::move(nonTaxable))}),
             button("ok", "OK", {198, 226, 45, 14}).byDefault(),
             button("cancel", "Odustani", {248, 226, 45, 14})}};
}

// The non-taxable receipt's code as the table keeps it; 0 when it cannot be one.
SHORT receiptNumber() {
    const Decimal code = VRS.REZDECIMALA.value();
    if (code < Decimal(-32768) || code > Decimal(32767)) return 0;
    return SHORT(code.toInt());
}

}  // namespace

VRSTEDOHOTKA::VRSTEDOHOTKA(QWidget* parent) : ListWindow(typesWindow(), parent) {
    auto b = std::make_unique<ListBrowser>(
        VRSTEDOH, kTypesFormat,
        std::vector<ColumnSource>{
            ColumnSource::of(VRSTEDOH, "OZNAKA"), ColumnSource::of(VRSTEDOH, "NAZIV"),
            ColumnSource::of(VRSTEDOH, "REZDECIMALA"), ColumnSource::of(VRSTEDOH, "REZSTRINGA"),
            ColumnSource::of(VRSTEDOH, "REZSTRINGB"), ColumnSource::of(VRSTEDOH, "NEOPOREZIVIDIO"),
            ColumnSource::of(VRSTEDOH, "PRIZNATITROSKOVI"), ColumnSource::of(VRSTEDOH, "MIROVINSKOISTUP"),
            ColumnSource::of(VRSTEDOH, "MIROVINSKOIISTUP"),
            ColumnSource::of(VRSTEDOH, "ZDRAVSTVENOOSIGURANJE"),
            ColumnSource::of(VRSTEDOH, "POREZNASTOPA")});
    b->addSortOrder({VRSTEDOH.KEYOZNAKA, Locator::None, Stops::Numbers, {}, {}});
    b->update = [this](LONG request) { return UPISVRSTEDOH(this).run(request); };
    add(std::move(b), {"list", "", "", "", false});
    // The code typed below the list finds its type; 0 is no code and leaves the list where it is.
    builder().onAccepted("locator", [this] {
        if (VRS.OZNAKA != 0 && browser().entryLocate(std::to_string(VRS.OZNAKA))) view()->table()->setFocus();
        else builder().display("locator");
        return true;
    });
    builder().onAccepted("help", [] {
        message("Vrsta dohotka nosi stope i šifre po kojima se obračunava i prijavljuje dohodak te vrste.\n"
                "Unesi, Mijenjaj i Briši rade s označenom vrstom; upišite oznaku ispod liste i pritisnite "
                "Enter da biste je pronašli.",
                "Vrste dohotka", Icon::Information);
        return true;
    });
    onChange = [this] {
        builder().display("naziv");
        builder().display("locator");
    };
}

LONG UPISVRSTEDOH::run(LONG request) {
    UpdateForm form(VRSTEDOH, "UPISVRSTEDOH");
    form.insertTitle = "Unos nove vrste dohotka";
    form.changeTitle = "Promjene";
    form.otherFiles = {&VBRAT, &NEOPOREZ};
    form.defaults = [] {
        VRS.TIPMOI = "I";
        VRS.TIPMOII = "I";
        VRS.TIPZO = "I";
        VRS.TIPPOREZ = "P";
        VRS.VISESTOPA = "NE";
        VRS.STUPACIDD = 3;
    };
    form.validate = [] { return KONTROLA_VRSTEDOH(); };
    UpdateFormView view(form, typesForm(LOC.NEOPSTRING, LOC.PROZA), caller_);
    view.onOpen = [this](WindowBuilder& b) { hook(b); };
    return view.exec(request);
}

void UPISVRSTEDOH::hook(WindowBuilder& b) {
    multiline(b.control<QLabel>("neopstring"));
    multiline(b.control<QLabel>("proza"));
    // The cells of the rate grid are radio pairs, not boxes of their own.
    for (const char* id : {"tipmoi", "tipmoii", "tipzo", "tipporez"})
        if (auto* g = b.control<QWidget>(id)) g->setStyleSheet("QGroupBox { border: none; }");

    LOC.PROZA = receiptCodeLookup();
    LOC.NEOPSTRING = nonTaxableName();
    b.display();

    b.whenAccepted("primitak", [this, &b] { receiptCode(b, true); });
    b.onAccepted("rezstringb", [this, &b] {
        if (b.acceptingAll()) return true;
        if (VRS.REZSTRINGB.empty()) {
            // A code wiped out is no code to look for.
            LOC.PROZA = "";
            b.display("proza");
        } else {
            receiptCode(b, !receiptCodeKnown());
        }
        return true;
    });
    b.whenAccepted("neoporezivi", [this, &b] { nonTaxable(b, true); });
    b.onAccepted("rezdecimala", [this, &b] {
        if (b.acceptingAll()) return true;
        if (VRS.REZDECIMALA.isZero()) {
            // Typing 0 takes the receipt away, as Obriši does.
            LOC.NEOPSTRING = "";
            b.display("neopstring");
        } else {
            nonTaxable(b, false);
        }
        return true;
    });
    b.onAccepted("obrisi", [this, &b] {
        VRS.REZDECIMALA = 0;
        LOC.NEOPSTRING = "";
        b.display();
        return true;
    });
}

void UPISVRSTEDOH::receiptCode(WindowBuilder& b, bool choose) {
    if (choose) {
        VBRAT.clear();
        VBR.SHIFRA = std::string(utf8Prefix(VRS.REZSTRINGB.str(), 10));
        if (ListWindow::choose(std::make_unique<ODABIRVELIKOGBRATA>(), b.root()) == REQUESTCOMPLETED) VRS.REZSTRINGB = VBR.SHIFRA.str();
    }
    LOC.PROZA = receiptCodeLookup();
    b.display();
}

void UPISVRSTEDOH::nonTaxable(WindowBuilder& b, bool always) {
    if (!nonTaxableAllowed()) return;
    if (always || !nonTaxableKnown()) {
        NEOPOREZ.clear();
        NEO.SHIFRA = receiptNumber();
        if (ListWindow::choose(std::make_unique<ODABIRNEOPOREZIVOG>(), b.root()) != REQUESTCOMPLETED) {
            // Closed without a choice: the type stays as it was.
            LOC.NEOPSTRING = nonTaxableName();
            b.display();
            return;
        }
        VRS.REZDECIMALA = NEO.SHIFRA;
    }
    LOC.NEOPSTRING = nonTaxableLookup();
    b.display();
}

// ---------------------------------------------------------------- choosers

ODABIRNEOPOREZIVOG::ODABIRNEOPOREZIVOG(QWidget* parent)
    : ListWindow({"Odabir neoporezivog primitka",
                  324,
                  210,
                  {sheet("tabs", {4, 4, 260, 150}, {tab("Neoporezivi primici", {list("list", {8, 20, 252, 130})})}),
                   display("naziv", FieldRef(NEOPOREZ, "NAZIV"), "@s500", {4, 160, 260, 44}),
                   button("select", "Odaberi", {270, 20, 50, 14}), button("close", "Zatvori", {270, 40, 50, 14})}},
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        NEOPOREZ, "21R(2)|M~Shifra~C(0)@n-7@29L(2)|M~Oznaka~L(0)@s20@161L(2)|M~Naziv~@s255@36R(2)|M~Oznaka~C(0)@n-7@",
        std::vector<ColumnSource>{
            ColumnSource::of(NEOPOREZ, "SHIFRA"), ColumnSource::of(NEOPOREZ, "KONTROLA"),
            ColumnSource::of(NEOPOREZ, "NAZIV"), ColumnSource::of(NEOPOREZ, "OZNAKA")});
    b->addSortOrder({NEOPOREZ.KEYSHIFRA, Locator::None, Stops::None, {}, {}});
    add(std::move(b), {"list", "", "tabs", "", true});
    multiline(builder().control<QLabel>("naziv"));
    onChange = [this] { builder().display("naziv"); };
}

ODABIRVELIKOGBRATA::ODABIRVELIKOGBRATA(QWidget* parent)
    : ListWindow({"ODABIR OZNAKE PRIMITKA",
                  410,
                  206,
                  {list("list", {4, 4, 346, 150}),
                   display("naziv", FieldRef(VBRAT, "NAZIV"), "@s500", {4, 158, 346, 44}),
                   button("select", "ODABERI", {356, 4, 50, 14}), button("close", "Zatvori", {356, 24, 50, 14})}},
                 parent) {
    auto b = std::make_unique<ListBrowser>(
        VBRAT, "32L(2)|M~Shifra~@s10@25L(2)|M~Oz.stj.~L(1)@s20@217L(2)|M~Naziv~@s255@64R(2)|M~Oznaka~C(0)@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(VBRAT, "SHIFRA"), ColumnSource::of(VBRAT, "REZERVA"),
                                  ColumnSource::of(VBRAT, "NAZIV"), ColumnSource::of(VBRAT, "OZNAKA")});
    b->addSortOrder({VBRAT.KEYSHIFRA, Locator::Incremental, Stops::None, {}, {}});
    add(std::move(b), {"list", "", "", "", true});
    multiline(builder().control<QLabel>("naziv"));
    onChange = [this] { builder().display("naziv"); };
}

}  // namespace marel::screens
