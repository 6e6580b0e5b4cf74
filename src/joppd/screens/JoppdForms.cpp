#include "joppd/screens/JoppdForms.h"

#include <QTableView>

#include "joppd/JoppdXml.h"
#include "store/Records.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

WindowResource listResource() {
    return {"Pregled JOP obrazaca (koji su kreirani u pregledu isplata)",
            420,
            212,
            {sheet("tabs", {4, 4, 412, 150}, {tab("Po isplatama", {list("list", {8, 20, 404, 130})})}),
             prompt("Datoteka:", {8, 160, 56, 10}),
             entry("datoteka", FieldRef(JOPO, "DATOTEKA"), "@s128", {66, 158, 346, 12}).readonly(),
             prompt("Identifikator:", {8, 174, 56, 10}),
             entry("ujed", FieldRef(JOPO, "UJED"), "@s36", {66, 172, 180, 12}).readonly(),
             button("select", "&Select", {8, 192, 42, 14}),
             button("insert", "&Insert", {54, 192, 42, 14}),
             button("change", "promjene", {100, 192, 42, 14}),
             button("delete", "briši", {146, 192, 42, 14}),
             button("xml", "KREIRAJ XML DATOTEKU (Alt X)", {200, 192, 130, 14})
                 .withKey("Alt+X")
                 .withTip("Kreira XML datoteku označenog obrasca"),
             button("close", "zatvori", {370, 192, 42, 14})}};
}

// The payment and payer of the form just read, for the list's columns;
// blank when they are gone.
void readPaymentAndPayer() {
    ISP.OZNAKA = JOPO.ISPLATA;
    if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) ISPLATE.clear();
    SUB.OZNAKA = ISP.ISPLATITELJ;
    if (SUB.OZNAKA == 0 || SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
}

}  // namespace

JOPOOBRASCI::JOPOOBRASCI(QWidget* parent)
    : ListWindow(listResource(), parent),
      files_{&DOHOCI, &ISPLATE, &JOPO, &JOPOZIJE, &MJESTA, &OBRACUN, &OPCINE,
             &OSOBE,  &SUBJEKTI, &SVASTA, &ULICE, &VBRAT, &VRSTEDOH} {
    auto b = std::make_unique<ListBrowser>(
        JOPO,
        "23R(2)|M~Oznaka~L(0)@n-14@30C|M~Ident~L@s5@80L(1)|M~Isplatitelj~L(0)@s40@16R(2)|M~Rbr~C(0)@n3@"
        "40L(1)|M~Ime autora~L(0)@s30@51L(1)|M~Prezime autora~L(0)@s30@82L(1)|M~Email~L(0)@s50@"
        "512L(1)|M~Datoteka~L(0)@s128@176L(2)|M~Ujed~@s36@64R(2)|M~Isplata~C(0)@n-14@",
        std::vector<ColumnSource>{
            ColumnSource::of(JOPO, "OZNAKA"), ColumnSource::of(ISPLATE, "RSID"),
            ColumnSource::of(SUBJEKTI, "NAZIV"), ColumnSource::of(JOPO, "RBR"),
            ColumnSource::of(JOPO, "IMEAUTORA"), ColumnSource::of(JOPO, "PREZIMEAUTORA"),
            ColumnSource::of(JOPO, "EMAIL"), ColumnSource::of(JOPO, "DATOTEKA"),
            ColumnSource::of(JOPO, "UJED"), ColumnSource::of(JOPO, "ISPLATA")});
    // Newest payments first.
    b->addSortOrder({JOPO.KEYJEDINSTVO, Locator::None, Stops::None, {}, {}});
    b->related = readPaymentAndPayer;
    b->update = [this](LONG request) { return JOPOPROMJENEOBR(this).run(request); };
    add(std::move(b), {"list", "", "tabs", "", true});
    builder().onAccepted("xml", [this] {
        createFile();
        if (!browser().isClosed()) view()->table()->setFocus();
        return true;
    });
    onChange = [this] {
        builder().display("datoteka");
        builder().display("ujed");
        builder().enable("xml", browser().canChange());
    };
}

void JOPOOBRASCI::createFile() {
    const ListBrowser::Row* row = browser().selectedRow();
    if (!row) return;
    // The buffer may hold another form by now (another window read one):
    // the file is written for the form the user sees highlighted.
    if (JOPO.getById(row->id) == 0) FORMIRAJ(JOPO.OZNAKA);
    // The new path shows at once (or the form is gone from the list).
    browser().refresh(true);
}

LONG JOPOPROMJENEOBR::run(LONG request) {
    UpdateForm form(JOPO, "JOPOPROMJENEOBR");
    form.insertTitle = "Adding a jopo Record";
    form.changeTitle = "Promjene";
    form.otherFiles = {&ISPLATE, &SUBJEKTI};

    // The payment's report designation and payer beside its number.
    String<5> designation;
    String<40> payer;
    auto lookUp = [&] {
        designation = "";
        payer = "";
        ISP.OZNAKA = JOPO.ISPLATA;
        if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) return;
        designation = ISP.RSID.str();
        SUB.OZNAKA = ISP.ISPLATITELJ;
        if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) == 0) payer = SUB.NAZIV.str();
    };

    WindowResource r{
        "",
        312,
        150,
        {prompt("&Identifikator:", {6, 8, 68, 10}),
         entry("ujed", FieldRef(JOPO, "UJED"), "@s36", {78, 6, 180, 12}).history(),
         prompt("I&splata:", {6, 24, 68, 10}),
         entry("isplata", FieldRef(JOPO, "ISPLATA"), "@n-14", {78, 22, 56, 12}).history(),
         display("rsid", FieldRef(designation), "@s5", {140, 24, 30, 10}),
         display("platitelj", FieldRef(payer), "@s40", {172, 24, 134, 10}),
         prompt("&Rbr:", {6, 40, 68, 10}),
         entry("rbr", FieldRef(JOPO, "RBR"), "@n3", {78, 38, 20, 12}).history(),
         prompt("I&me Autora:", {6, 56, 68, 10}),
         entry("ime", FieldRef(JOPO, "IMEAUTORA"), "@s30", {78, 54, 124, 12}).history(),
         prompt("&Prezime Autora:", {6, 72, 68, 10}),
         entry("prezime", FieldRef(JOPO, "PREZIMEAUTORA"), "@s30", {78, 70, 124, 12}).history(),
         prompt("&Email:", {6, 88, 68, 10}),
         entry("email", FieldRef(JOPO, "EMAIL"), "@s50", {78, 86, 200, 12}).history(),
         prompt("&Datoteka:", {6, 104, 68, 10}),
         entry("datoteka", FieldRef(JOPO, "DATOTEKA"), "@s128", {78, 102, 228, 12}).history(),
         prompt("&Oznaka:", {6, 120, 68, 10}),
         entry("oznaka", FieldRef(JOPO, "OZNAKA"), "@n-14", {78, 118, 56, 12}).history(),
         button("ok", "OK", {212, 132, 45, 14}).byDefault(),
         button("cancel", "Odustani", {261, 132, 45, 14})}};
    UpdateFormView view(form, std::move(r), caller_);
    view.onOpen = [&](WindowBuilder& w) {
        lookUp();
        w.display("rsid");
        w.display("platitelj");
        w.onAccepted("isplata", [&] {
            lookUp();
            w.display("rsid");
            w.display("platitelj");
            return true;
        });
    };
    return view.exec(request);
}

}  // namespace marel::screens
