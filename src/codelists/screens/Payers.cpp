#include "codelists/screens/Payers.h"

#include <QApplication>
#include <QPointer>

#include <memory>

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

// The form's controls, tab by tab. A lookup button ("...") stands right of
// the number it fills, and the name of what the number points to follows it.
WindowResource formResource() {
    auto lookup = [](std::string id, DlgRect at) { return button(std::move(id), "...", at).withTip("Odaberi s liste"); };
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
        entry("mjesto", FieldRef(SUBJEKTI, "MJESTO"), "@n-14", {60, 102, 40, 12}).history(),
        lookup("mjesto.lookup", {102, 102, 16, 12}),
        display("mje.naziv", FieldRef(MJESTA, "NAZIV"), "@s25", {122, 104, 108, 10}),
        prompt("Adresa:", {12, 120, 46, 10}),
        entry("ulica", FieldRef(SUBJEKTI, "ULICA"), "@n-14", {60, 118, 40, 12}).history(),
        lookup("ulica.lookup", {102, 118, 16, 12}),
        display("uli.naziv", FieldRef(ULICE, "NAZIV"), "@s25", {122, 120, 108, 10}),
        entry("kucnibroj", FieldRef(SUBJEKTI, "KUCNIBROJ"), "@s5", {234, 118, 30, 12}).history(),
    };
    std::vector<Control> bank = {
        prompt("Banka:", {12, 24, 46, 10}),
        entry("banka", FieldRef(SUBJEKTI, "BANKA"), "@n6", {60, 22, 32, 12}).history(),
        lookup("banka.lookup", {94, 22, 16, 12}),
        display("ban.naziv", FieldRef(BANKE, "NAZIV"), "@s40", {114, 24, 164, 10}),
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

// What the form does besides showing its fields: the three lookups, the
// names of what the numbers point to, and the account's check digits. The
// window's handlers hold it, so it lives as long as the window does.
class PayerForm : public std::enable_shared_from_this<PayerForm> {
public:
    PayerForm(WindowBuilder& w, const UpdateForm& form) : w_(&w), inserting_(form.request() == INSERTRECORD) {}

    void hook() {
        WindowBuilder& w = *w_;
        auto self = shared_from_this();
        for (const char* link : {"mjesto", "ulica", "banka"})
            w.onAccepted(link, [self] {
                self->refresh();
                return true;
            });
        w.onAccepted("mjesto.lookup", [self] { return self->choosePlace(); });
        w.onAccepted("ulica.lookup", [self] { return self->chooseStreet(); });
        w.onAccepted("banka.lookup", [self] { return self->chooseBank(); });
        w.onAccepted("racun", [self] {
            if (SUB.RACUN.empty()) return true;
            const bool ok = KONTROLA_SUBJEKTI();
            self->refresh();
            return ok;
        });
        // Coming to a number that points nowhere (a new payer's zero) opens its
        // list at once; once only, so that a list the user closed does not
        // come back the moment the focus returns to the number.
        forEachEntry(w.resource().controls, [&w, self](const std::string& id) {
            w.onSelected(id, [self, id] { self->entered(id); });
        });
        refresh();
    }

    // OK left the form open with the record shown again (another station's
    // version): the names beside the numbers are read afresh.
    void shownAgain() { refresh(); }

private:
    // The names beside the numbers, read afresh from the numbers as they are now.
    void refresh() {
        readPayerLinks();
        for (const char* id : {"mjesto", "mje.naziv", "ulica", "uli.naziv", "banka", "ban.naziv", "vodeci", "rkont"})
            w_->display(id);
    }

    template <class F>
    static void forEachEntry(const std::vector<Control>& controls, const F& f) {
        for (const Control& c : controls) {
            if (c.kind == ControlKind::Entry && !c.id.empty()) f(c.id);
            forEachEntry(c.children, f);
        }
    }

    void entered(const std::string& id) {
        // The focus may have moved on (or into a list) before this turn came.
        if (!w_ || choosing_ || w_->acceptingAll() || QApplication::focusWidget() != w_->control(id)) return;
        if (id == lookedUp_) return;
        lookedUp_.clear();
        const PayerLinks found = readPayerLinks();
        const bool missing = (id == "mjesto" && !found.place) || (id == "ulica" && !found.street) ||
                             (id == "banka" && !found.bank);
        if (!missing) return;
        lookedUp_ = id;
        w_->press(id + ".lookup");
    }

    // Runs a list as a chooser opened on the current record; true when one was chosen.
    template <class List>
    bool choose() {
        readPayerLinks();  // the list opens on the record the form points to now
        choosing_ = true;
        const bool chosen = (new List)->exec(w_->root()) == REQUESTCOMPLETED;
        choosing_ = false;
        return chosen && w_;
    }

    bool choosePlace() {
        const bool chosen = choose<screens::MJESTA_SCREEN>();
        if (chosen) SUB.MJESTO = MJE.OZNAKA;
        if (!w_) return true;
        refresh();
        // A new payer's address goes on with the street.
        if (chosen && inserting_ && SUB.ULICA == 0) w_->press("ulica.lookup");
        return true;
    }

    bool chooseStreet() {
        const bool chosen = choose<screens::ULICE_SCREEN>();
        if (chosen) SUB.ULICA = ULI.OZNAKA;
        if (!w_) return true;
        refresh();
        if (chosen) w_->select("kucnibroj");
        return true;
    }

    bool chooseBank() {
        const bool chosen = choose<screens::BANKE_SCREEN>();
        if (chosen) SUB.BANKA = BAN.OZNAKA;
        if (!w_) return true;
        refresh();
        if (chosen && inserting_ && SUB.RACUN.empty()) w_->select("racun");
        return true;
    }

    QPointer<WindowBuilder> w_;
    const bool inserting_;
    bool choosing_ = false;
    std::string lookedUp_;  // the number whose list opened when it got the focus
};

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

LONG UPISSUBJEKTA::run(LONG request) {
    UpdateForm form(SUBJEKTI, "UPISSUBJEKTA");
    form.insertTitle = "Unos isplatitelja";
    form.changeTitle = "Promjena podataka";
    form.otherFiles = {&MJESTA, &ULICE, &BANKE};
    form.defaults = payerDefaults;
    form.validate = payerFormOk;
    UpdateFormView view(form, formResource(), caller_);
    view.onOpen = [&form, &view](WindowBuilder& w) {
        auto payer = std::make_shared<PayerForm>(w, form);
        payer->hook();
        view.onRefresh = [weak = std::weak_ptr<PayerForm>(payer)] {
            if (auto p = weak.lock()) p->shownAgain();
        };
    };
    return view.exec(request);
}

}  // namespace marel::screens
