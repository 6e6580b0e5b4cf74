#include "certificates/screens/Potvrde.h"

#include <QApplication>
#include <QKeyEvent>

#include "certificates/Certificates.h"
#include "certificates/screens/CertificatePrints.h"
#include "common/Prompter.h"
#include "payments/Payments.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "ui/screens/Runtime.h"

namespace marel::screens {

namespace {

const char* const kRecipientsFormat =
    "[51L|M~Prezime~L(2)@s25@50L|M~Ime~L(2)@s20@69L|M~OIB~L(2)@s11@]|M~Djelatnik~L(12)64R(1)|M~Oznaka~C(0)@n-14@"
    "64R(1)|M~Mjesto~C(0)@n-14@64R(1)|M~Ulica~C(0)@n-14@44L|M~Kucni Broj~@s5@28R(1)|M~Banka~C(0)@n6@"
    "44L|M~Racun~@s10@";
const char* const kLinesFormat =
    "[87L|M~Naziv~L(4)@s40@26L|M~RSI d~L(2)@s5@38L|M~Datum~L(2)@d17@67D(12)|M~Neto~L(2)@N-14.`2@]"
    "|M~Isplaćeni dohoci~L(12)56R(1)|M~Djelatnik~L(2)@n-14@56R(1)|M~Isplata~L(2)@n-14@";

// The payment and payer of the income line just read, for its columns.
void readPaymentAndPayer() {
    ISP.OZNAKA = DOH.ISPLATA;
    if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) ISPLATE.clear();
    SUB.OZNAKA = ISP.ISPLATITELJ;
    if (SUB.OZNAKA == 0 || SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
}

}  // namespace

WindowResource POTVRDE::resource(LOC& loc) {
    loc.GODINA = proposedYear(Date::today());
    loc.lastYear = loc.GODINA.str();
    if (GLO.DATUMIZVJ.empty()) GLO.DATUMIZVJ = Date::today();
    return {"Ispis potvrda o isplaćenom dohotku",
            500,
            300,
            {list("list", {4, 4, 492, 118}),
             prompt("Prezime:", {6, 128, 40, 10}),
             entry("locator", FieldRef(OSOBE, "PREZIME"), "@s25", {48, 126, 110, 12}),
             display("ime", FieldRef(OSOBE, "IME"), "@s20", {164, 128, 100, 10}),
             list("lines", {4, 144, 492, 100}),
             display("platitelj", FieldRef(loc.PAYER), "@s40", {6, 248, 220, 10}),
             prompt("Datum Izvještaja:", {4, 266, 84, 10}),
             entry("datum", FieldRef(GLO.DATUMIZVJ), "@d17", {90, 264, 64, 12})
                 .withTip("Brze tipke: + povecava Datum za jedan dan, - umanjuje za datum za jedan dan"),
             prompt("Za godinu:", {160, 266, 56, 10}),
             entry("godina", FieldRef(loc.GODINA), "@s4", {218, 264, 36, 12})
                 .withTip("Brze tipke: + povecava godinu za godinu, - umanjuje godinu za godinu"),
             button("gore", "+", {256, 264, 14, 12}).withTip("Godina više"),
             button("dolje", "-", {272, 264, 14, 12}).withTip("Godina manje"),
             button("ispis", "ISPIS POTVRDE (F12)", {290, 262, 102, 14}).withKey("F12"),
             button("svi", "Ispis svih potvrda", {394, 262, 102, 14})
                 .withTip("Potvrde svih primatelja kojima je isplatitelj isplaćivao u godini"),
             button("close", "Zatvori", {446, 282, 50, 14})}};
}

POTVRDE::POTVRDE(QWidget* parent) : POTVRDE(std::make_unique<LOC>(), parent) {}

POTVRDE::POTVRDE(std::unique_ptr<LOC> loc, QWidget* parent)
    : ListWindow(resource(*loc), parent), loc_(std::move(loc)) {
    files_.add(ISPLATE);
    files_.add(SUBJEKTI);
    files_.add(MJESTA);
    files_.add(ULICE);
    addLists();
    hookControls();
}

void POTVRDE::addLists() {
    auto people = std::make_unique<ListBrowser>(
        OSOBE, kRecipientsFormat,
        std::vector<ColumnSource>{ColumnSource::of(OSOBE, "PREZIME"), ColumnSource::of(OSOBE, "IME"),
                                  ColumnSource::of(OSOBE, "OIB"), ColumnSource::of(OSOBE, "OZNAKA"),
                                  ColumnSource::of(OSOBE, "MJESTO"), ColumnSource::of(OSOBE, "ULICA"),
                                  ColumnSource::of(OSOBE, "KUCNIBROJ"), ColumnSource::of(OSOBE, "BANKA"),
                                  ColumnSource::of(OSOBE, "RACUN")});
    people->addSortOrder({OSOBE.KEYPREZIMEIME, Locator::Incremental, Stops::Letters, {}, {}});

    auto lines = std::make_unique<ListBrowser>(
        DOHOCI, kLinesFormat,
        std::vector<ColumnSource>{ColumnSource::of(SUBJEKTI, "NAZIV"), ColumnSource::of(ISPLATE, "RSID"),
                                  ColumnSource::of(ISPLATE, "DATUM"), ColumnSource::of(DOHOCI, "NETO"),
                                  ColumnSource::of(DOHOCI, "DJELATNIK"), ColumnSource::of(DOHOCI, "ISPLATA")});
    lines->addSortOrder(
        {DOHOCI.KEYDJELATNIK, Locator::None, Stops::None, [this] { return int64_t(recipient_); }, {}});
    lines->related = readPaymentAndPayer;

    ListBrowser& p = *people;
    ListBrowser& l = *lines;
    p.listen([this, &p] { recipient_ = p.selectedRow() ? OSO.OZNAKA : 0; });
    l.listen([this, &l] { payment_ = l.selectedRow() ? DOH.ISPLATA : 0; });
    lines->follow(p);

    add(std::move(people), {"list", "", "", "locator", true});
    add(std::move(lines), {"lines", "d.", "", "", true});
    onChange = [this] { changed(); };
}

void POTVRDE::hookControls() {
    WindowBuilder& b = builder();
    b.whenAccepted("ispis", [this] { printOne(); });
    b.whenAccepted("svi", [this] { printAll(); });
    b.whenAccepted("gore", [this] { stepYearBy(1); });
    b.whenAccepted("dolje", [this] { stepYearBy(-1); });
    b.onAccepted("godina", [this] {
        if (validYear(loc_->GODINA.str())) {
            loc_->lastYear = loc_->GODINA.str();
            return true;
        }
        // Only a year of four digits names a calendar year of payments.
        prompter().beep();
        loc_->GODINA = loc_->lastYear.str();
        builder().display("godina");
        return false;
    });
    b.onKey("godina", [this](QKeyEvent* e) {
        const int step = padStep(e);
        if (!step) return false;
        if (builder().accept("godina")) stepYearBy(step);
        return true;
    });
    b.onKey("datum", [this](QKeyEvent* e) {
        const int step = padStep(e);
        if (!step) return false;
        if (builder().accept("datum")) stepDateBy(step);
        return true;
    });
    // On the print button the arrows walk the window's controls.
    b.onKey("ispis", [this](QKeyEvent* e) {
        const bool back = e->key() == Qt::Key_Left || e->key() == Qt::Key_Up;
        const bool forward = e->key() == Qt::Key_Right || e->key() == Qt::Key_Down;
        if (!back && !forward) return false;
        QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                      back ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::sendEvent(builder().control("ispis"), &tab);
        return true;
    });
}

void POTVRDE::stepYearBy(int delta) {
    stepYear(loc_->GODINA, delta);
    loc_->lastYear = loc_->GODINA.str();
    builder().display("godina");
}

void POTVRDE::stepDateBy(int delta) {
    if (GLO.DATUMIZVJ.empty()) GLO.DATUMIZVJ = Date::today();
    else GLO.DATUMIZVJ = GLO.DATUMIZVJ + delta;
    builder().display("datum");
}

LONG POTVRDE::payer() {
    if (payment_ == 0) return 0;
    ISP.OZNAKA = payment_;
    if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) return 0;
    return ISP.ISPLATITELJ;
}

void POTVRDE::changed() {
    const LONG who = payer();
    loc_->PAYER = "";
    if (who != 0) {
        SUB.OZNAKA = who;
        if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) == 0) loc_->PAYER = SUB.NAZIV.str();
    }
    builder().display("ime");
    builder().display("platitelj");
    builder().enable("ispis", recipient_ != 0 && who != 0);
    builder().enable("svi", who != 0);
}

void POTVRDE::printOne() {
    const LONG who = payer();
    if (recipient_ == 0 || who == 0) {
        prompter().beep();
        return;
    }
    showCertificate(recipient_, who, loc_->GODINA.str());
    reshow();
}

// The reports read recipients and payers through this window's buffers: the
// highlighted records are read again for the displays.
void POTVRDE::reshow() {
    browser(0).refresh(true);
    browser(1).refresh(true);
    changed();
}

void POTVRDE::printAll() {
    const LONG who = payer();
    if (who == 0) {
        prompter().beep();
        return;
    }
    showAllCertificates(who, loc_->GODINA.str());
    reshow();
}

}  // namespace marel::screens
