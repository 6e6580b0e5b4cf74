#include "certificates/screens/CrisisTaxScreens.h"

#include <QTableView>

#include <memory>

#include "certificates/Certificates.h"
#include "certificates/CrisisTax.h"
#include "certificates/screens/CertificatePrints.h"
#include "codelists/screens/Payers.h"
#include "common/Prompter.h"
#include "store/Records.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

const char* const kRecordsFormat =
    "[116L(2)|M@s40@52L(2)|M@s13@](173)|M~ISPLATITELJ~28C|M~Godina~@s4@56R(34)|M~Mjesec~L(3)@n3@"
    "64R(2)|M~Oznaka~C(0)@n-14@64R(2)|M~Isplatitelj~C(0)@n-14@1020R(2)|M~Biljeske~C(0)@s255@";
const char* const kRowsFormat =
    "23L(2)|M~Vrsta~L(0)@n3@28R(2)|M~Broj~L(0)@n-7@56R(2)|M~Osnovica~L@N-14.`2B@56R(8)|M~Iznos~L(2)@N-14.`2B@";

void readPayer() {
    SUB.OZNAKA = KRP.ISPLATITELJ;
    if (SUB.OZNAKA == 0 || SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
}

WindowResource listResource() {
    return {"IPP Obrasci po mjesecima",
            440,
            300,
            {list("list", {4, 4, 370, 120}),
             button("select", "&Odaberi", {380, 4, 56, 14}),
             button("insert", "&Unesi", {380, 24, 56, 14}),
             button("change", "&Mijenjaj", {380, 40, 56, 14}),
             button("delete", "&Briši", {380, 56, 56, 14}),
             prompt("Pozicije u obrascu:", {6, 130, 100, 10}),
             list("d.list", {4, 142, 370, 80}),
             // Alt+U is the records' Unesi; Alt+B deletes in the list working now.
             button("d.insert", "U&nos", {380, 142, 56, 14}),
             button("d.change", "&Otvori", {380, 158, 56, 14}),
             button("d.delete", "&Briši", {380, 174, 56, 14}),
             prompt("Bilješke:", {6, 228, 40, 10}),
             display("biljeske", FieldRef(KRIPOREZ, "BILJESKE"), "@s255", {48, 228, 326, 30}),
             button("azuriranje", "AŽURIRANJE PODATAKA", {4, 264, 110, 14})
                 .withTip("Popunjava poziciju drugog dohotka iz isplata u mjesecu"),
             button("ispis", "ISPIS OBRASCA", {118, 264, 80, 14}),
             button("close", "Zatvori", {380, 282, 56, 14}),
             button("help", "Help", {320, 282, 56, 14}).disable()}};
}

}  // namespace

PREGLEDKRIPOREZ::PREGLEDKRIPOREZ(QWidget* parent)
    : ListWindow(listResource(), parent),
      files_{&DETKRIP, &DOHOCI, &ISPLATE, &KRIPOREZ, &MJESTA, &OBRACUN, &SUBJEKTI, &ULICE} {
    auto records = std::make_unique<ListBrowser>(
        KRIPOREZ, kRecordsFormat,
        std::vector<ColumnSource>{ColumnSource::of(SUBJEKTI, "NAZIV"), ColumnSource::of(SUBJEKTI, "POREZNIBROJ"),
                                  ColumnSource::of(KRIPOREZ, "GODINA"), ColumnSource::of(KRIPOREZ, "MJESEC"),
                                  ColumnSource::of(KRIPOREZ, "OZNAKA"), ColumnSource::of(KRIPOREZ, "ISPLATITELJ"),
                                  ColumnSource::of(KRIPOREZ, "BILJESKE")});
    records->addSortOrder({KRIPOREZ.KEYGLAVNI, Locator::None, Stops::None, {}, {}});
    records->related = readPayer;
    records->update = [this](LONG request) { return UNOSKRIPOREZ(this).run(request); };

    auto rows = std::make_unique<ListBrowser>(
        DETKRIP, kRowsFormat,
        std::vector<ColumnSource>{ColumnSource::of(DETKRIP, "VRSTA"), ColumnSource::of(DETKRIP, "BROJ"),
                                  ColumnSource::of(DETKRIP, "OSNOVICA"), ColumnSource::of(DETKRIP, "IZNOS")});
    rows->addSortOrder({DETKRIP.KEYGLAVNI, Locator::None, Stops::None, [this] { return int64_t(kriporez_); }, {}});
    rows->update = [this](LONG request) -> LONG {
        // A row belongs to an IPP record: without one there is nothing to add it to.
        if (request == INSERTRECORD && kriporez_ == 0) {
            prompter().beep();
            return REQUESTCANCELLED;
        }
        return UNOSDETKRIP(this).run(request);
    };

    ListBrowser& r = *records;
    r.listen([this, &r] { kriporez_ = r.selectedRow() ? KRP.OZNAKA : 0; });
    rows->follow(r);

    add(std::move(records), {"list", "", "", "", true});
    add(std::move(rows), {"d.list", "d.", "", "", true});
    onChange = [this] {
        builder().display("biljeske");
        builder().enable("azuriranje", kriporez_ != 0);
        builder().enable("ispis", kriporez_ != 0);
    };
    builder().whenAccepted("azuriranje", [this] { refresh(); });
    builder().whenAccepted("ispis", [this] { print(); });
}

void PREGLEDKRIPOREZ::refresh() {
    if (kriporez_ == 0) return;
    refreshOtherIncome(kriporez_);
    browser(1).refresh(true);
}

void PREGLEDKRIPOREZ::print() {
    if (kriporez_ == 0) return;
    showCrisisForm(kriporez_);
}

// ---------------------------------------------------------------- the forms

LONG UNOSKRIPOREZ::run(LONG request) {
    UpdateForm form(KRIPOREZ, "UNOSKRIPOREZ");
    form.insertTitle = "Adding a kriporez Record";
    form.changeTitle = "Changing a kriporez Record";
    form.otherFiles = {&SUBJEKTI, &DETKRIP};
    form.defaults = [] {
        const Date today = Date::today();
        KRP.GODINA = std::to_string(today.year());
        KRP.MJESEC = BYTE(today.month());
    };
    // A month of no calendar month is no IPP record (nor is one of a payer
    // the file does not hold: the payer is required).
    form.validate = [] {
        if (!validYear(KRP.GODINA.str()) || KRP.MJESEC < 1 || KRP.MJESEC > 12) {
            prompter().beep();
            return false;
        }
        return true;
    };

    WindowResource r{"",
                     300,
                     120,
                     {prompt("&Isplatitelj:", {6, 9, 48, 10}),
                      lookup("isplatitelj", FieldRef(KRIPOREZ, "ISPLATITELJ"), "@n-14", {58, 7, 50, 12},
                             payerLookup(166))
                          .history(),
                      prompt("&Godina:", {6, 26, 48, 10}),
                      entry("godina", FieldRef(KRIPOREZ, "GODINA"), "@s4", {58, 24, 28, 12}).history(),
                      prompt("&Mjesec:", {6, 42, 48, 10}),
                      entry("mjesec", FieldRef(KRIPOREZ, "MJESEC"), "@n3", {58, 40, 20, 12}).history(),
                      prompt("&Bilješke:", {6, 58, 48, 10}),
                      entry("biljeske", FieldRef(KRIPOREZ, "BILJESKE"), "@s2000", {58, 56, 236, 12}).history(),
                      button("ok", "OK", {148, 100, 45, 14}).byDefault(),
                      button("cancel", "Odustani", {198, 100, 45, 14}),
                      button("help", "Help", {248, 100, 45, 14}).disable()}};

    UpdateFormView view(form, std::move(r), caller_);
    view.onOpen = [](WindowBuilder& b) {
        b.onAccepted("godina", [&b] {
            if (validYear(KRP.GODINA.str())) return true;
            prompter().beep();
            return false;
        });
        b.onAccepted("mjesec", [] {
            if (KRP.MJESEC >= 1 && KRP.MJESEC <= 12) return true;
            prompter().beep();
            return false;
        });
    };
    return view.exec(request);
}

LONG UNOSDETKRIP::run(LONG request) {
    UpdateForm form(DETKRIP, "UNOSDETKRIP");
    form.insertTitle = "Unos pozicija";
    form.changeTitle = "Promjene";
    form.defaults = [] { DKP.VRSTA = KIND_PLACA; };
    form.validate = [] {
        if (DKP.VRSTA >= KIND_PLACA && DKP.VRSTA <= KIND_DIVIDENDE) return true;
        prompter().beep();
        return false;
    };
    WindowResource r{"",
                     250,
                     160,
                     {prompt("IPP obrazac:", {6, 8, 56, 10}),
                      entry("kriporez", FieldRef(DETKRIP, "KRIPOREZ"), "@n-14", {66, 6, 50, 12}).history(),
                      option("vrsta", "Vrsta primitka", FieldRef(DETKRIP, "VRSTA"), {6, 24, 238, 58},
                             {radio("Plaća", "1", {14, 36, 200, 10}), radio("Mirovina", "2", {14, 47, 200, 10}),
                              radio("Drugi dohodak", "3", {14, 58, 200, 10}),
                              radio("Dividende i udjeli", "4", {14, 69, 200, 10})})
                          .history(),
                      prompt("&Broj ljudi:", {6, 90, 56, 10}),
                      entry("broj", FieldRef(DETKRIP, "BROJ"), "@n-7", {66, 88, 40, 12}).history(),
                      prompt("&Osnovica:", {6, 106, 56, 10}),
                      entry("osnovica", FieldRef(DETKRIP, "OSNOVICA"), "@N-14.`2B", {66, 104, 70, 12}).history(),
                      prompt("&Iznos:", {6, 122, 56, 10}),
                      entry("iznos", FieldRef(DETKRIP, "IZNOS"), "@N-14.`2B", {66, 120, 70, 12}).history(),
                      button("ok", "OK", {98, 140, 45, 14}).byDefault(),
                      button("cancel", "Odustani", {148, 140, 45, 14}),
                      button("help", "Help", {198, 140, 45, 14}).disable()}};
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

}  // namespace marel::screens
