#include "forms/screens/Id1Forms.h"

#include <QTableView>

#include "codelists/screens/Payers.h"
#include "forms/CoverLetter.h"
#include "forms/Id1Form.h"
#include "forms/Id1Print.h"
#include "forms/Id1Xml.h"
#include "payments/screens/PaymentPrints.h"
#include "preview/ShowReport.h"
#include "store/Records.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

WindowResource listResource() {
    return {"Browse the id1 File",
            440,
            210,
            {list("list", {4, 4, 432, 170}),
             button("select", "Odaberi", {4, 184, 42, 14}),
             button("dopis", "POPRATNI DOPIS", {50, 184, 70, 14}).withTip("Ispis popratnog dopisa označenog obrasca"),
             button("insert", "unos", {124, 184, 40, 14}),
             button("change", "promjene", {168, 184, 40, 14}),
             button("delete", "briši", {212, 184, 40, 14}),
             button("xml", "FORMIRAJ DATOTEKU", {300, 184, 86, 14}).withTip("Formira XML datoteku označenog obrasca"),
             button("close", "zatvori", {394, 184, 42, 14})}};
}

// The payer of the form just read, for the list's columns; blank when gone.
void readPayer() {
    SUB.OZNAKA = ID1.ISPLATITELJ;
    if (ID1.ISPLATITELJ == 0 || SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
}

}  // namespace

PREGLEDID1OBRAZACA::PREGLEDID1OBRAZACA(QWidget* parent) : ListWindow(listResource(), parent) {
    links_.add(SUBJEKTI);
    auto b = std::make_unique<ListBrowser>(
        ID1,
        "75L(2)|M~Isplatitelj~L(0)@s40@48L(2)|M~OIB~L(0)@s11@28L(2)|M~Godina~@s4@28L(2)|M~Storno~@s5@"
        "[56L(2)|M@s20@60L(2)|M@s25@]|M~Kontakt osoba~L(4)64R(2)|M~Oznaka~C(0)@n-14@"
        "64R(2)|M~Isplatitelj~C(0)@n-14@40R(2)|M~Kon Poz 1~C(0)@n6@44L(2)|M~Kon Tel 1~@s10@"
        "40R(2)|M~Kon Poz 2~C(0)@n6@",
        std::vector<ColumnSource>{
            ColumnSource::of(SUBJEKTI, "NAZIV"), ColumnSource::of(SUBJEKTI, "OIB"), ColumnSource::of(ID1, "GODINA"),
            ColumnSource::of(ID1, "STORNO"), ColumnSource::of(ID1, "KONIME"), ColumnSource::of(ID1, "KONPREZIME"),
            ColumnSource::of(ID1, "OZNAKA"), ColumnSource::of(ID1, "ISPLATITELJ"), ColumnSource::of(ID1, "KONPOZ1"),
            ColumnSource::of(ID1, "KONTEL1"), ColumnSource::of(ID1, "KONPOZ2")});
    // The latest year first.
    b->addSortOrder({ID1.KEYISPGOD, Locator::None, Stops::None, {}, {}});
    b->related = readPayer;
    b->update = [this](LONG request) { return UPISID1OBRASCA(this).run(request); };
    add(std::move(b), {"list", "", "", "", true});
    builder().onAccepted("xml", [this] {
        createFile();
        if (!browser().isClosed()) view()->table()->setFocus();
        return true;
    });
    builder().whenAccepted("dopis", [this] { coverLetter(); });
    onChange = [this] {
        const bool any = browser().canChange();
        builder().enable("xml", any);
        builder().enable("dopis", any);
    };
}

bool PREGLEDID1OBRAZACA::highlighted() {
    const ListBrowser::Row* row = browser().selectedRow();
    // The buffer may hold another form by now (another window read one):
    // the user means the form he sees highlighted.
    return row && ID1.getById(row->id) == 0;
}

void PREGLEDID1OBRAZACA::createFile() {
    if (highlighted()) FORMIRAJDATOTEKU(ID1.OZNAKA);
}

void PREGLEDID1OBRAZACA::coverLetter() {
    if (highlighted()) ISPISPOPRATNOGDOPISA(ID1.OZNAKA);
    if (!browser().isClosed()) browser().refresh(true);
}

LONG UPISID1OBRASCA::run(LONG request) {
    UpdateForm form(ID1, "UPISID1OBRASCA");
    form.insertTitle = "Adding a id1 Record";
    form.changeTitle = "Changing a id1 Record";
    form.otherFiles = {&SUBJEKTI};
    form.defaults = [] { id1Defaults(ID1); };
    form.validate = [] {
        // The next new form proposes the contact person confirmed last.
        rememberId1Contact(ID1);
        return true;
    };

    WindowResource r{
        "Update the id1 File",
        300,
        200,
        {prompt("&Oznaka:", {6, 8, 60, 10}),
         entry("oznaka", FieldRef(ID1, "OZNAKA"), "@n-14", {70, 6, 56, 12}).readonly(),
         prompt("&Isplatitelj:", {6, 25, 60, 10}),
         lookup("isplatitelj", FieldRef(ID1, "ISPLATITELJ"), "@n-14", {70, 23, 80, 12}, payerLookup(124)).history(),
         option("storno", "Storno", FieldRef(ID1, "STORNO"), {6, 40, 120, 24},
                {radio("true", "true", {12, 50, 40, 10}), radio("false", "false", {60, 50, 40, 10})}),
         prompt("Godina:", {140, 50, 40, 10}),
         entry("godina", FieldRef(ID1, "GODINA"), "@s4", {184, 48, 30, 12}).history(),
         group("Odgovorna (kontakt) osoba za sadržaj medija za dostavu", {6, 70, 288, 104},
               {prompt("Ime:", {12, 84, 50, 10}),
                entry("konime", FieldRef(ID1, "KONIME"), "@s20", {66, 82, 90, 12}).history(),
                prompt("Prezime:", {12, 100, 50, 10}),
                entry("konprezime", FieldRef(ID1, "KONPREZIME"), "@s25", {66, 98, 110, 12}).history(),
                prompt("Tel 1:", {12, 116, 50, 10}),
                entry("konpoz1", FieldRef(ID1, "KONPOZ1"), "@n6", {66, 114, 36, 12}).history(),
                entry("kontel1", FieldRef(ID1, "KONTEL1"), "@s10", {106, 114, 50, 12}).history(),
                prompt("Tel 2:", {12, 132, 50, 10}),
                entry("konpoz2", FieldRef(ID1, "KONPOZ2"), "@n6", {66, 130, 36, 12}).history(),
                entry("kontel2", FieldRef(ID1, "KONTEL2"), "@s10", {106, 130, 50, 12}).history(),
                prompt("Email:", {12, 148, 50, 10}),
                entry("konemail", FieldRef(ID1, "KONEMAIL"), "@s40", {66, 146, 176, 12}).history()}),
         button("ok", "OK", {200, 180, 45, 14}).byDefault(),
         button("cancel", "Odustani", {249, 180, 45, 14})}};
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

void ISPISPOPRATNOGDOPISA(LONG form) {
    viewReport([&](const ProgressFn& p) { return coverLetterReport(form, p); }, "Popratni dopis");
}

void ID1ISPIS(LONG payer, const std::string& year) {
    previewToPrint([&](const ProgressFn& p) { return id1Report(payer, year, p); });
}

void registerId1Prints() {
    registerPaymentPrint("id1", [](const PaymentPrintContext& c) {
        if (c.payer == 0) return;
        ID1ISPIS(c.payer, std::to_string(c.year));
    });
}

}  // namespace marel::screens
