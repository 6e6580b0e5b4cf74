#include "codelists/screens/Recipients.h"

#include "codelists/Recipients.h"
#include "codelists/screens/Municipalities.h"
#include "codelists/screens/StreetsBanks.h"
#include "common/Prompter.h"
#include "store/Records.h"
#include "ui/screens/Runtime.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {


WindowResource listResource() {
    const int bx = 410;
    return {"Pregled primatelja",
            464,
            284,
            {sheet("tabs", {4, 4, 400, 96},
                   {tab("Po pr&ezimenu",
                        {prompt("Prezime:", {12, 26, 34, 10}),
                         entry("locator", FieldRef(OSOBE, "PREZIME"), "@s25", {48, 24, 110, 12}),
                         button("help", "?", {162, 24, 14, 12}).withTip("Uputa za lociranje osobe s liste")}),
                    tab("Po mje&stu", {prompt("Mjesto:", {12, 26, 34, 10}), list("mjesta", {48, 22, 220, 74})})}),
             list("list", {4, 104, 400, 146}),
             display("prezimeIme", FieldRef(), "", {6, 256, 150, 10}),
             display("oib", FieldRef(OSOBE, "OIB"), "@s11", {160, 256, 60, 10}),
             prompt("Kontakt:", {6, 268, 46, 10}),
             display("kucniTel", FieldRef(OSOBE, "KUCNITELEFON"), "@s15", {54, 268, 90, 10}),
             display("telPosao", FieldRef(OSOBE, "TELEFONNAPOSLU"), "@s15", {148, 268, 90, 10}),
             button("select", "O&daberi", {bx, 104, 50, 14}),
             button("insert", "&Unesi", {bx, 124, 50, 14}),
             button("change", "&Mijenjaj", {bx, 140, 50, 14}),
             button("delete", "&Briši", {bx, 156, 50, 14}),
             button("oibCopy", "OIB (Alt+Q)", {bx, 178, 50, 14})
                 .withKey("Alt+Q")
                 .withTip("Kopira OIB označenog primatelja"),
             button("close", "Zatvori", {bx, 236, 50, 14})}};
}

}  // namespace

const char* const kRecipientsFormat =
    "48L(1)|M~Prezime~@s25@46L(1)|M~Ime~@s20@62L(1)|M~OIB~@s11@56L(1)|M~Mjesto~@s25@68L(1)|M~Ulica~@s25@"
    "44L(1)|M~K br~@s5@56R(2)|M~Oznaka~L@n-14@60R(2)|M~Kućni telefon~L@s15@60R(2)|M~Telefon na poslu~L@s15@"
    "64R(2)|M~Oznaka~C(0)@n-14@64R(2)|M~Mjesto~C(0)@n-14@64R(2)|M~Ulica~C(0)@n-14@";

std::vector<ColumnSource> recipientColumns() {
    return {ColumnSource::of(OSOBE, "PREZIME"), ColumnSource::of(OSOBE, "IME"),
            ColumnSource::of(OSOBE, "OIB"),     ColumnSource::of(MJESTA, "NAZIV"),
            ColumnSource::of(ULICE, "NAZIV"),   ColumnSource::of(OSOBE, "KUCNIBROJ"),
            ColumnSource::of(MJESTA, "OZNAKA"), ColumnSource::of(OSOBE, "KUCNITELEFON"),
            ColumnSource::of(OSOBE, "TELEFONNAPOSLU"), ColumnSource::of(OSOBE, "OZNAKA"),
            ColumnSource::of(OSOBE, "MJESTO"),  ColumnSource::of(OSOBE, "ULICA")};
}

OSOBE_SCREEN::OSOBE_SCREEN(QWidget* parent) : ListWindow(listResource(), parent) {
    files_.add(ULICE);

    auto people = std::make_unique<ListBrowser>(
        OSOBE, kRecipientsFormat,
        recipientColumns());
    people->related = readPlaceAndStreet;
    people->addSortOrder({OSOBE.KEYPREZIMEIME, Locator::Incremental, Stops::Letters, {}, {}});
    people->addSortOrder({OSOBE.KEYMJESTO, Locator::None, Stops::None, [this] { return place_; }, {}});
    people->update = [this](LONG request) { return UPISOSOBE(this).run(request); };

    auto places = std::make_unique<ListBrowser>(
        MJESTA, "132L(2)|M~Mjesto~@s25@56R(2)|M~Oznaka~L@n-14@",
        std::vector<ColumnSource>{ColumnSource::of(MJESTA, "NAZIV"), ColumnSource::of(MJESTA, "OZNAKA")});
    places->addSortOrder({MJESTA.KEYNAZIV, Locator::Incremental, Stops::None, {}, {}});
    // The rows of the recipients read places too, so the highlighted place is
    // taken while the places list has it in the buffer, before the recipients
    // follow it.
    ListBrowser* placesList = places.get();
    places->listen([this, placesList] { place_ = placesList->selected() ? int64_t(MJE.OZNAKA) : -1; });
    people->follow(*places);

    add(std::move(people), {"list", "", "tabs", "locator", true});
    add(std::move(places), {"mjesta", "mje.", "", "", false});

    builder().whenAccepted("help", [] { showLocatingHelp(); });
    builder().whenAccepted("oibCopy", [this] { copyRecipientOib(browser(0)); });
    onChange = [this] { showRecipient(); };
}

// The lines under the list show the highlighted recipient. The surname
// locator is left alone: it shows what the user typed.
void OSOBE_SCREEN::showRecipient() {
    const bool any = browser(0).selected() > 0;
    builder().setText("prezimeIme", any ? std::string(utf8Prefix(PREZIMEIME(), 40)) : "");
    for (const char* id : {"oib", "kucniTel", "telPosao"}) builder().display(id);
}

void showLocatingHelp() {
    message("Osobu s liste možete locirati i upisujući prva slova prezimena.\nAko Vam to ne uspjeva kliknite "
            "lijevom tipkom miša na listu s osobama pa opet pokušajte",
            "Uputa za lociranje osobe s liste", Icon::Information);
}

void copyRecipientOib(const ListBrowser& recipients) {
    const ListBrowser::Row* row = recipients.selectedRow();
    if (!row) return;
    // The list reads whole pages through the buffer: the highlighted record counts.
    if (OSOBE.getById(row->id) != 0) return;
    setClipboardText(OSO.OIB.str());
    prompter().beep();
}

// ------------------------------------------------------------------ the form

namespace {

// What the form does beyond its fields and lookups: the municipality the
// place lies in, the account's check digits, the work municipality's code.
class RecipientForm {
public:
    explicit RecipientForm(WindowBuilder& w) : w_(w) {}

    // OK left the form open with the record shown again (another station's
    // version): what it points to is read afresh.
    void shownAgain() {
        w_.refreshLookups();
        refresh();
    }

    void hook() {
        refresh();
        enableWorkMunicipality(worksInOtherMunicipality());
        w_.onAccepted("mjesto", [this] { return refreshed(); });
        w_.onAccepted("banka", [this] { return refreshed(); });
        w_.onAccepted("racun", [this] {
            if (!OSO.RACUN.empty() && KONTROLA_OSOBE()) w_.display("rkont");
            return true;
        });
        w_.onAccepted("fax", [this] {
            const bool other = worksInOtherMunicipality();
            enableWorkMunicipality(other);
            if (other) w_.select("email");
            return true;
        });
    }

private:
    // Every refresh reads what the recipient points to afresh.
    void refresh() {
        readRecipientRelations();
        w_.display();
    }
    bool refreshed() {
        refresh();
        return true;
    }

    void enableWorkMunicipality(bool on) {
        w_.enable("emailPrompt", on);
        w_.enable("email", on);
    }

    WindowBuilder& w_;
};

WindowResource formResource() {
    auto& F = OSOBE;
    auto field = [&F](const char* name) { return FieldRef(F, name); };
    const int x = 74;  // entries after their prompts
    return {"",
            300,
            206,
            {sheet("tabs", {4, 4, 292, 176},
                   {tab("&Opći podaci",
                        {prompt("Ime:", {12, 28, 58, 10}), entry("ime", field("IME"), "@s20", {x, 26, 90, 12}).history(),
                         prompt("Prezime:", {12, 46, 58, 10}),
                         entry("prezime", field("PREZIME"), "@s25", {x, 44, 110, 12}).history(),
                         prompt("JMBG:", {12, 64, 58, 10}), entry("jmbg", field("JMBG"), "@s13", {x, 62, 60, 12}).history(),
                         prompt("OIB:", {12, 82, 58, 10}), entry("oib", field("OIB"), "@s11", {x, 80, 62, 12}).history(),
                         prompt("Mjesto:", {12, 104, 58, 10}),
                         lookup("mjesto", field("MJESTO"), "@n-14", {x, 102, 34, 12},
                                {&MJESTA, MJESTA.KEYOZNAKA, FieldRef(MJESTA, "OZNAKA"), fieldText(MJESTA, "NAZIV"),
                                 chooser<screens::MJESTA_SCREEN>(), 110, "Odabir mjesta"})
                             .history(),
                         prompt("Adresa:", {12, 122, 58, 10}),
                         lookup("ulica", field("ULICA"), "@n-14", {x, 120, 34, 12},
                                {&ULICE, ULICE.KEYOZNAKA, FieldRef(ULICE, "OZNAKA"), fieldText(ULICE, "NAZIV"),
                                 chooser<screens::ULICE_SCREEN>(), 110, "Odabir ulice"})
                             .history(),
                         entry("kucniBroj", field("KUCNIBROJ"), "@s5", {x + 170, 120, 28, 12})
                             .history()
                             .withTip("Kućni broj")}),
                    // Alt+D is the "DA" of the option group worked in.
                    tab("Obračun do&hotka",
                        {option("drugiStup", "Drugi stup", field("DRUGISTUP"), {12, 24, 120, 26},
                                {radio("&DA", "DA", {22, 35, 34, 10}).withId("stupDa"),
                                 radio("&NE", "NE", {64, 35, 34, 10}).withId("stupNe")})
                             .history(),
                         prompt("Stopa prireza:", {150, 30, 56, 10}),
                         display("stopaPrireza", FieldRef(OPCINE, "STOPAPRIREZA"), "@N-10.`2", {206, 30, 40, 10}),
                         prompt("%", {248, 30, 10, 10}),
                         prompt("Faktor osobnog odbitka:", {12, 58, 100, 10}),
                         entry("faktor", field("FAKTORODBITKA"), "@N-6`2", {114, 56, 32, 12}).history(),
                         option("fax", "Općina rada različita od općine prebivališta", field("FAX"), {12, 76, 272, 26},
                                {radio("&DA", "DA", {22, 87, 34, 10}).withId("faxDa"),
                                 radio("&NE", "NE", {64, 87, 34, 10}).withId("faxNe")})
                             .history(),
                         prompt("Šifra općine rada:", {12, 110, 100, 10}).withId("emailPrompt"),
                         entry("email", field("EMAIL"), "@s4", {114, 108, 26, 12}).history(),
                         prompt("Račun poreza:", {12, 134, 58, 10}),
                         display("opcRkont", FieldRef(OPCINE, "RKONT"), "@s4", {x, 134, 28, 10}),
                         prompt("1001005", {x + 30, 134, 40, 10}),
                         display("opcRacun", FieldRef(OPCINE, "RACUNPOREZ"), "@s10", {x + 72, 134, 60, 10}),
                         prompt("Općina:", {12, 150, 58, 10}),
                         display("opcShifra", FieldRef(OPCINE, "SHIFRA"), "@s4", {x, 150, 28, 10}),
                         display("opcNaziv", FieldRef(OPCINE, "NAZIV"), "@s25", {x + 30, 150, 120, 10})}),
                    tab("&Bankovni račun",
                        {prompt("Banka:", {12, 28, 58, 10}),
                         lookup("banka", field("BANKA"), "@n6", {x, 26, 30, 12},
                                {&BANKE, BANKE.KEYOZNAKA, FieldRef(BANKE, "OZNAKA"), fieldText(BANKE, "NAZIV"),
                                 chooser<screens::BANKE_SCREEN>(), 160, "Odabir banke"})
                             .history(),
                         group("Podaci za uplatu", {12, 46, 272, 80},
                               {prompt("Model", {20, 62, 50, 10}),
                                entry("model", field("MODEL"), "@s2", {x, 60, 16, 12}).history(),
                                prompt("IBAN:", {20, 82, 50, 10}),
                                entry("rkont", field("RKONT"), "@s4", {x, 80, 28, 12}).history(),
                                display("vodeci", FieldRef(BANKE, "VODECIBROJ"), "@s7", {x + 32, 82, 42, 10}),
                                entry("racun", field("RACUN"), "@s10", {x + 76, 80, 58, 12}).history(),
                                prompt("Poziv na broj", {20, 102, 50, 10}),
                                entry("poziv", field("RACUNPOZIV"), "@s20", {x, 100, 90, 12}).history()})}),
                    tab("&Kontakt",
                        {prompt("Kućni telefon", {12, 28, 58, 10}),
                         entry("kucniTel", field("KUCNITELEFON"), "@s15", {x, 26, 70, 12}).history(),
                         prompt("Tel. na poslu:", {12, 46, 58, 10}),
                         entry("telPosao", field("TELEFONNAPOSLU"), "@s15", {x, 44, 70, 12}).history()})}),
             button("ok", "OK", {196, 186, 45, 14}).byDefault(),
             button("cancel", "Odustani", {246, 186, 45, 14})}};
}

}  // namespace

LONG UPISOSOBE::run(LONG request) {
    UpdateForm form(OSOBE, "UPISOSOBE");
    form.insertTitle = "Unos novog primatelja";
    form.changeTitle = "Promjene";
    form.otherFiles = {&MJESTA, &ULICE, &BANKE, &OPCINE};
    form.defaults = recipientDefaults;
    form.validate = recipientFormOk;
    UpdateFormView view(form, formResource(), caller_);
    std::unique_ptr<RecipientForm> controls;
    view.onOpen = [&](WindowBuilder& w) {
        controls = std::make_unique<RecipientForm>(w);
        controls->hook();
    };
    view.onRefresh = [&] {
        if (controls) controls->shownAgain();
    };
    return view.exec(request);
}

}  // namespace marel::screens
