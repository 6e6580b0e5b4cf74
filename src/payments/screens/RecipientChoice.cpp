#include "payments/screens/RecipientChoice.h"

#include "codelists/screens/Recipients.h"
#include "common/Prompter.h"
#include "store/Records.h"
#include "ui/screens/Runtime.h"

namespace marel::screens {

namespace {

const char* const kPlacesFormat = "132L(2)|M~Mjesto~@s25@56R(2)|M~Oznaka~L@n-14@";

const char* const kOibTip =
    "Pritiskom na ovo dugme ili kombinacijom tipki Alt i Q\r\nkopirati ćete OIB u memoriju - ako ga želite "
    "koristiti u nekoj\r\ndrugoj aplikaciji";

// The place and street of the recipient in the buffer, for its columns.
void readAddress() {
    const LONG place = OSO.MJESTO;
    MJESTA.clear();
    MJE.OZNAKA = place;
    if (MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
    ULICE.clear();
    ULI.OZNAKA = OSO.ULICA;
    if (ULICE.get(ULICE.KEYOZNAKA) != 0) ULICE.clear();
}

}  // namespace

ODABIROSOBEZADOH::ODABIROSOBEZADOH(QWidget* parent)
    : ListWindow({"Pregled primatelja",
                  570,
                  252,
                  {sheet("tabs", {4, 4, 562, 184},
                         {tab("Po pr&ezimenu", {}),
                          tab("Po mje&stu", {prompt("Mjesto:", {414, 20, 40, 10}), list("mjesta", {414, 32, 148, 150})})}),
                   list("list", {8, 20, 402, 164}),
                   display("prezimeime", FieldRef(), "", {8, 192, 160, 10}),
                   display("oib", FieldRef(OSOBE, "OIB"), "@s11", {172, 192, 64, 10}),
                   prompt("Kontakt:", {242, 192, 44, 10}),
                   display("kucni", FieldRef(OSOBE, "KUCNITELEFON"), "@s15", {288, 192, 84, 10}),
                   display("posao", FieldRef(OSOBE, "TELEFONNAPOSLU"), "@s15", {376, 192, 84, 10}),
                   prompt("Prezime:", {8, 210, 34, 10}),
                   entry("prezime", FieldRef(OSOBE, "PREZIME"), "@s25", {44, 208, 110, 12}),
                   button("select", "&Odaberi", {8, 232, 50, 14}),
                   button("oibcopy", "OIB (Alt+Q)", {62, 232, 56, 14}).withTip(kOibTip).withKey("Alt+Q"),
                   button("insert", "&Unesi", {160, 232, 50, 14}), button("change", "&Mijenjaj", {214, 232, 50, 14}),
                   button("delete", "&Briši", {268, 232, 50, 14}), button("close", "Zatvori", {460, 232, 50, 14}),
                   button("help", "?", {514, 232, 20, 14})}},
                 parent) {
    files_.add(ULICE);

    auto people = std::make_unique<ListBrowser>(
        OSOBE, kRecipientsFormat,
        recipientColumns());
    // Only a recipient with an OIB can be declared, so only those are offered by surname.
    people->addSortOrder(
        {OSOBE.KEYPREZIMEIME, Locator::Incremental, Stops::None, {}, [] { return !OSO.OIB.empty(); }});
    people->addSortOrder({OSOBE.KEYMJESTO, Locator::None, Stops::None, [this] { return int64_t(place_); }, {}});
    people->related = readAddress;
    people->update = [this](LONG request) { return UPISOSOBE(this).run(request); };

    auto places = std::make_unique<ListBrowser>(
        MJESTA, kPlacesFormat,
        std::vector<ColumnSource>{ColumnSource::of(MJESTA, "NAZIV"), ColumnSource::of(MJESTA, "OZNAKA")});
    places->addSortOrder({MJESTA.KEYNAZIV, Locator::Incremental, Stops::None, {}, {}});
    ListBrowser& p = *places;
    p.listen([this, &p] { place_ = p.selectedRow() ? MJE.OZNAKA : 0; });
    people->follow(p);

    add(std::move(people), {"list", "", "tabs", "prezime", true});
    add(std::move(places), {"mjesta", "mje.", "", "", false});
    onChange = [this] {
        prezimeIme_ = browser(0).selectedRow() ? rtrim(OSO.PREZIME.str()) + " " + rtrim(OSO.IME.str()) : "";
        builder().display();
        builder().setText("prezimeime", prezimeIme_);
    };

    builder().whenAccepted("oibcopy", [this] { copyRecipientOib(browser(0)); });
    builder().whenAccepted("help", [] { showLocatingHelp(); });
}

}  // namespace marel::screens
