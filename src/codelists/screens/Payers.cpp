#include "codelists/screens/Payers.h"

#include <QPointer>

#include "codelists/Payers.h"
#include "codelists/screens/Municipalities.h"
#include "codelists/screens/StreetsBanks.h"
#include "store/Records.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

WindowResource listResource() {
    WindowResource r{"Pregled isplatitelja",
                     560,
                     200,
                     {sheet("tabs", {4, 4, 496, 172}, {tab("Po &Nazivu", {list("list", {8, 20, 488, 152})})}),
                      display("naziv", FieldRef(SUBJEKTI, "NAZIV"), "@s40", {8, 182, 200, 10}),
                      button("select", "&Odaberi", {506, 20, 50, 14}),
                      button("insert", "&Unesi", {506, 40, 50, 14}),
                      button("change", "&Mijenjaj", {506, 56, 50, 14}),
                      button("delete", "&Briši", {506, 72, 50, 14}),
                      button("close", "Zatvori", {506, 100, 50, 14})}};
    return r;
}

// The form's controls, tab by tab. The place, the street and the bank are
// numbers with their list ("...") and the name of what they point to beside.
WindowResource formResource() {
    std::vector<Control> general = {
        prompt("Naziv:", {12, 24, 46, 10}),
        entry("naziv", FieldRef(SUBJEKTI, "NAZIV"), "@s40", {60, 22, 170, 12}).history(),
        option("tip", "Tip osobe", FieldRef(SUBJEKTI, "TIP"), {12, 38, 252, 26},
               {radio("&Pravna", "P", {20, 50, 50, 10}), radio("&Fizička", "F", {76, 50, 54, 10}),
                radio("ostale P", "5", {136, 50, 56, 10}), radio("ostale F", "4", {198, 50, 56, 10})})
            .history(),
        prompt("MB/MBG:", {12, 72, 46, 10}),
        entry("porezni", FieldRef(SUBJEKTI, "POREZNIBROJ"), "@s13", {60, 70, 72, 12}).history(),
        prompt("OIB:", {12, 88, 46, 10}),
        entry("oib", FieldRef(SUBJEKTI, "OIB"), "@s11", {60, 86, 62, 12}).history(),
        prompt("Mjesto:", {12, 104, 46, 10}),
        lookup("mjesto", FieldRef(SUBJEKTI, "MJESTO"), "@n-14", {60, 102, 40, 12},
               {&MJESTA, MJESTA.KEYOZNAKA, FieldRef(MJESTA, "OZNAKA"), fieldText(MJESTA, "NAZIV"),
                chooser<screens::MJESTA_SCREEN>(), 108, "Odaberi s liste"})
            .history(),
        prompt("Adresa:", {12, 120, 46, 10}),
        lookup("ulica", FieldRef(SUBJEKTI, "ULICA"), "@n-14", {60, 118, 40, 12},
               {&ULICE, ULICE.KEYOZNAKA, FieldRef(ULICE, "OZNAKA"), fieldText(ULICE, "NAZIV"),
                chooser<screens::ULICE_SCREEN>(), 108, "Odaberi s liste"})
            .history(),
        entry("kucnibroj", FieldRef(SUBJEKTI, "KUCNIBROJ"), "@s5", {234, 118, 30, 12}).history(),
    };
    LookupTarget bankSpec{&BANKE, BANKE.KEYOZNAKA, FieldRef(BANKE, "OZNAKA"), fieldText(BANKE, "NAZIV"),
                        chooser<screens::BANKE_SCREEN>(), 164, "Odaberi s liste"};
    bankSpec.next = "racun";  // past the check digits, which the account gives
    std::vector<Control> bank = {
        prompt("Banka:", {12, 24, 46, 10}),
        lookup("banka", FieldRef(SUBJEKTI, "BANKA"), "@n6", {60, 22, 32, 12}, std::move(bankSpec)).history(),
        prompt("IBAN:", {12, 42, 46, 10}),
        entry("rkont", FieldRef(SUBJEKTI, "RKONT"), "@s4", {60, 40, 28, 12}).history(),
        display("vodeci", FieldRef(BANKE, "VODECIBROJ"), "@s7", {92, 42, 40, 10}),
        entry("racun", FieldRef(SUBJEKTI, "RACUN"), "@s10", {134, 40, 60, 12}).history(),
    };
    std::vector<Control> contact = {
        prompt("Telefon:", {12, 24, 46, 10}),
        entry("telefon", FieldRef(SUBJEKTI, "TELEFON"), "@s15", {60, 22, 72, 12}).history(),
        prompt("Mobitel:", {12, 40, 46, 10}),
        entry("mobitel", FieldRef(SUBJEKTI, "MOBITEL"), "@s15", {60, 38, 72, 12}).history(),
        prompt("Fax:", {12, 56, 46, 10}),
        entry("fax", FieldRef(SUBJEKTI, "FAX"), "@s15", {60, 54, 72, 12}).history(),
        prompt("Email:", {12, 72, 46, 10}),
        entry("email", FieldRef(SUBJEKTI, "EMAIL"), "@s40", {60, 70, 170, 12}).history(),
    };
    return {"",
            290,
            170,
            {sheet("tabs", {4, 4, 282, 140},
                   {tab("&Opći podaci", std::move(general)), tab("&Bankovni račun", std::move(bank)),
                    tab("&Kontakt", std::move(contact))}),
             button("ok", "OK", {186, 150, 45, 14}).byDefault(), button("cancel", "Odustani", {236, 150, 45, 14})}};
}

// Besides the lookups the form shows the bank's leading number and the
// account's check digits, computed when the account is accepted.
void hookPayerForm(WindowBuilder& w) {
    w.whenAccepted("banka", [&w] { w.display("vodeci"); });
    w.onAccepted("racun", [&w] {
        if (SUB.RACUN.empty()) return true;
        const bool ok = KONTROLA_SUBJEKTI();
        w.display("rkont");
        return ok;
    });
}

}  // namespace

SUBJEKTI_SCREEN::SUBJEKTI_SCREEN(QWidget* parent) : ListWindow(listResource(), parent) {
    links_.add(MJESTA);
    links_.add(ULICE);
    links_.add(BANKE);
    auto b = std::make_unique<ListBrowser>(
        SUBJEKTI,
        "92L(1)|M~Naziv~@s40@47L(1)|M~OIB~@s11@59L(1)|M~Mjesto~@s25@72L(1)|M~Ulica~@s25@57L(1)|M~K Br~@s5@"
        "56R(2)|M~Mjesto~L@n-14@56R(2)|M~Ulica~L@n-14@56R(2)|M~Oznaka~L@n-14@",
        std::vector<ColumnSource>{
            ColumnSource::of(SUBJEKTI, "NAZIV"), ColumnSource::of(SUBJEKTI, "OIB"),
            ColumnSource::of(MJESTA, "NAZIV"), ColumnSource::of(ULICE, "NAZIV"),
            ColumnSource::of(SUBJEKTI, "KUCNIBROJ"), ColumnSource::of(SUBJEKTI, "MJESTO"),
            ColumnSource::of(SUBJEKTI, "ULICA"), ColumnSource::of(SUBJEKTI, "OZNAKA")});
    b->addSortOrder({SUBJEKTI.KEYNAZIV, Locator::Step, Stops::None, {}, {}});
    b->related = [] { readPayerLinks(); };
    b->update = [this](LONG request) { return UPISSUBJEKTA(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", false});
    onChange = [this] { builder().display("naziv"); };
}

LookupTarget payerLookup(int textWidth) {
    LookupTarget look{&SUBJEKTI, SUBJEKTI.KEYOZNAKA, FieldRef(SUBJEKTI, "OZNAKA"), fieldText(SUBJEKTI, "NAZIV"),
                    chooser<SUBJEKTI_SCREEN>(), textWidth, "Odabir isplatitelja"};
    look.required = true;
    look.textChars = 40;  // a payer's whole name
    return look;
}

LONG UPISSUBJEKTA::run(LONG request) {
    UpdateForm form(SUBJEKTI, "UPISSUBJEKTA");
    form.insertTitle = "Unos isplatitelja";
    form.changeTitle = "Promjena podataka";
    form.otherFiles = {&MJESTA, &ULICE, &BANKE};
    form.defaults = payerDefaults;
    form.validate = payerFormOk;
    UpdateFormView view(form, formResource(), caller_);
    QPointer<WindowBuilder> builder;
    view.onOpen = [&builder](WindowBuilder& w) {
        builder = &w;
        hookPayerForm(w);
    };
    // OK left the form open with the record shown again (another station's
    // version): what the numbers name is read afresh.
    view.onRefresh = [&builder] {
        if (builder) builder->refreshLookups();
    };
    return view.exec(request);
}

}  // namespace marel::screens
