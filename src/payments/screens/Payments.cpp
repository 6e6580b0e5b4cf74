#include "payments/screens/Payments.h"
#include "payments/screens/PaymentPrints.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QShortcut>
#include <QTableView>

#include <functional>
#include <memory>

#include "codelists/screens/PrinterParams.h"
#include "common/Picture.h"
#include "common/Prompter.h"
#include "payments/Payments.h"
#include "payments/screens/IncomeLine.h"
#include "store/Records.h"
#include "ui/screens/CallerModal.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/Runtime.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

const char* const kPayersFormat = "160L(2)|M~Isplatitelj~@s40@56R(2)|M~Oznaka~L@n-14@";
const char* const kPaymentsFormat =
    "[25L(2)|M~RS Id~L(1)@s5@27C|M~Godina~@s4@69L(3)|M~Datum~L(1)@d17@]|M~Isplate (F5)~L(2)"
    "64R(2)|M~Oznaka~C(0)@n-14@64R(2)|M~Isplatitelj~C(0)@n-14@";
const char* const kRecipientsFormat =
    "[15R(1)|M~R.br~L(0)@n6@40L(1)|M~Prezime~@s25@39L(1)|M~Ime~@s20@40R(1)|M~Neto~L(2)@N14.`2@"
    "28L(1)|M~Oz.prim.~L(0)@s15@61L(1)|M~Vrsta doh.~@s50@]|M~Primatelji:~L(20)56R(2)|M~Isplata~L@n-14@"
    "56R(2)|M~Oznaka~L@n-14@";
const char* const kLinesFormat =
    "[1R(1)|M~R Br~L(0)@n6@46L(1)|M~Ime~L(2)@s20@54L(1)|M~Prezime~@s25@48L(1)|M~OIB~@s11@"
    "40R(1)|M~Neto~L@N-14.`2@200L(1)|M~Vrsta~@s50@](333)|M~Primatelji~L(8)64R(2)|M~Oznaka~C(0)@n-14@"
    "64R(2)|M~Isplata~C(0)@n-14@64R(2)|M~Djelatnik~C(0)@n-14@56R(2)|M~Vrsta Dohotka~C(0)@n3@";

// The recipient and the income type of the income line in the buffer, for its columns.
void readLineParties() {
    OSOBE.clear();
    OSO.OZNAKA = DOH.DJELATNIK;
    if (OSOBE.get(OSOBE.KEYOZNAKA) != 0) OSOBE.clear();
    VRSTEDOH.clear();
    VRS.OZNAKA = DOH.VRSTADOHOTKA;
    if (VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) != 0) VRSTEDOH.clear();
}

bool padKey(const QKeyEvent* e, int key) { return e->key() == key && (e->modifiers() & Qt::KeypadModifier); }

std::unique_ptr<ListBrowser> incomeLines(const char* format, std::vector<ColumnSource> columns) {
    return std::make_unique<ListBrowser>(DOHOCI, format, std::move(columns));
}

}  // namespace

// ================================================================ ISPLATE

WindowResource ISPLATE_SCREEN::paymentsResource(LOC& loc) {
    const Date today = Date::today();
    loc.MJESEC = std::to_string(today.month());
    loc.GODINA = std::to_string(today.year());
    loc.PRINTER = "M";
    String<2>& month = loc.MJESEC;
    String<4>& year = loc.GODINA;
    String<1>& printer = loc.PRINTER;
    using C = std::vector<Control>;
    C c;
    c.push_back(list("menu", {0, 0, 646, 11}));
    c.push_back(list("payers", {4, 14, 220, 124}));
    c.push_back(list("list", {228, 14, 256, 124}));
    c.push_back(display("naziv", FieldRef(SUBJEKTI, "NAZIV"), "@s40", {4, 142, 220, 10}));
    c.push_back(list("lines", {4, 154, 480, 108}));
    for (Control& b : C{button("insert", "&Unesi", {490, 14, 150, 14}), button("change", "&Mijenjaj", {490, 30, 150, 14}),
                        button("delete", "&Briši", {490, 46, 150, 14}),
                        button("duplikat", "Duplikat(Ctrl2)", {490, 64, 150, 14}),
                        button("select", "&Select", {490, 82, 150, 14})})
        c.push_back(std::move(b));
    c.push_back(group("Obrazac JOP", {490, 100, 150, 46},
                      {prompt("RS Id:", {494, 112, 26, 10}),
                       display("rsid2", FieldRef(ISPLATE, "RSID"), "@s5", {522, 112, 40, 10}),
                       button("jopkreiranje", "JOP kreiranje", {494, 126, 142, 14})
                           .withTip("Priprema podataka za formiranje xml obrasca")}));
    c.push_back(group("Ispis", {490, 150, 150, 126},
                      {prompt("RS Id:", {494, 162, 26, 10}),
                       display("rsid", FieldRef(ISPLATE, "RSID"), "@s5", {522, 162, 40, 10}),
                       button("obracun", "ISPIS OBRAČUNA (F11)", {494, 174, 142, 14}),
                       button("obracundoh", "ISPIS OBRAČUNA DOHOTKA (F12)", {494, 190, 142, 14}),
                       button("jopa", "JOP - A", {494, 206, 142, 14}).withTip("Ispis stranice A obrasca JOPPD"),
                       button("jopb", "JOP - B", {494, 222, 142, 14}).withTip("Ispis stranice B obrasca JOPPD"),
                       button("hub3", "HUB3", {494, 238, 142, 14}).withTip("Ispis naloga za plaćanje HUB3"),
                       button("hub3a", "HUB3A", {494, 254, 142, 14}).withTip("Ispis naloga za plaćanje HUB 3A")}));
    c.push_back(group("Ispis RSm, IDD, ID-1 (u meniju)", {4, 266, 150, 34},
                      {prompt("za mjesec", {8, 281, 42, 10}), entry("mjesec", FieldRef(month), "@s2", {52, 279, 20, 12}),
                       prompt("godinu", {78, 281, 30, 10}), entry("godina", FieldRef(year), "@s4", {110, 279, 30, 12})}));
    c.push_back(option("printer", "Vrsta pisača", FieldRef(printer), {158, 266, 84, 34},
                       {radio("Matrični", "M", {164, 276, 70, 10}), radio("Laserski", "L", {164, 287, 70, 10})}));
    c.push_back(group("Podešenost matričnog pisača", {246, 266, 238, 48},
                      {button("browseparam", "...", {250, 278, 14, 12}).withTip("Parametri pisača"),
                       entry("paroznaka", FieldRef(PARAM, "OZNAKA"), "@n-7", {266, 278, 40, 12}),
                       display("model", FieldRef(PARAM, "MODELPRINTERA"), "@s100", {310, 280, 170, 10}),
                       prompt("vod.:", {250, 298, 24, 10}),
                       display("xpos", FieldRef(PARAM, "XPOS"), "@n-7", {276, 298, 40, 10}),
                       prompt("ok.:", {322, 298, 22, 10}),
                       display("ypos", FieldRef(PARAM, "YPOS"), "@n-7", {346, 298, 40, 10})}));
    c.push_back(button("close", "Zatvori", {490, 300, 150, 14}));
    c.push_back(check("cistipapir", "Ispis na čisti papir", FieldRef(loc.CISTIPAPIR), {494, 290, 142, 8})
                    .withTip("HUB3A: cijeli obrazac na čistom papiru, tri naloga na A4 stranici"));
    return {"Pregled isplata", 646, 320, std::move(c)};
}

ISPLATE_SCREEN::ISPLATE_SCREEN(QWidget* parent) : ISPLATE_SCREEN(std::make_unique<LOC>(), parent) {}

// The screen variables exist before the window is built on them.
ISPLATE_SCREEN::ISPLATE_SCREEN(std::unique_ptr<LOC> loc, QWidget* parent)
    : ListWindow(paymentsResource(*loc), parent), loc_(std::move(loc)) {
    files_.add(JOPO);
    files_.add(OSOBE);
    files_.add(PARAM);
    files_.add(VRSTEDOH);
    files_.add(DOHOCI);
    addLists();
    addMenuAndKeys();
    WindowBuilder& b = builder();
    for (const char* id : {"obracun", "obracundoh", "jopa", "jopb", "hub3", "hub3a"})
        b.whenAccepted(id, [this, id] { print(id); });
    b.whenAccepted("jopkreiranje", [this] { createJoppd(); });
    b.whenAccepted("duplikat", [this] { duplicate(); });
    hookPeriod();
    hookPrinter();
}

void ISPLATE_SCREEN::addLists() {
    auto payers = std::make_unique<ListBrowser>(
        SUBJEKTI, kPayersFormat,
        std::vector<ColumnSource>{ColumnSource::of(SUBJEKTI, "NAZIV"), ColumnSource::of(SUBJEKTI, "OZNAKA")});
    payers->addSortOrder({SUBJEKTI.KEYNAZIV, Locator::Incremental, Stops::None, {}, {}});

    auto payments = std::make_unique<ListBrowser>(
        ISPLATE, kPaymentsFormat,
        std::vector<ColumnSource>{ColumnSource::of(ISPLATE, "RSID"), ColumnSource::of(ISPLATE, "GODINA"),
                                  ColumnSource::of(ISPLATE, "DATUM"), ColumnSource::of(ISPLATE, "OZNAKA"),
                                  ColumnSource::of(ISPLATE, "ISPLATITELJ")});
    payments->addSortOrder(
        {ISPLATE.KEYRSIDISPLATITELJ, Locator::None, Stops::None, [this] { return int64_t(payer_); }, {}});
    payments->update = [this](LONG request) -> LONG {
        // A payment belongs to a payer: without one highlighted there is nothing to add it to.
        if (request == INSERTRECORD && payer_ == 0) {
            prompter().beep();
            return REQUESTCANCELLED;
        }
        return UPISISPLATE(this).run(request);
    };

    auto lines = incomeLines(
        kRecipientsFormat,
        {ColumnSource::of(DOHOCI, "REDNIBROJ"), ColumnSource::of(OSOBE, "PREZIME"),
         ColumnSource::of(OSOBE, "IME"), ColumnSource::of(DOHOCI, "NETO"),
         ColumnSource::of(VRSTEDOH, "REZSTRINGB"), ColumnSource::of(VRSTEDOH, "NAZIV"),
         ColumnSource::of(DOHOCI, "ISPLATA"), ColumnSource::of(DOHOCI, "OZNAKA")});
    lines->addSortOrder(
        {DOHOCI.KEYISPLATA, Locator::Incremental, Stops::None, [this] { return int64_t(payment_); }, {}});
    lines->related = readLineParties;
    lines->update = [this](LONG request) -> LONG {
        if (request == INSERTRECORD && payment_ == 0) {
            prompter().beep();
            return REQUESTCANCELLED;
        }
        return UPDATEDOHOCI(this).run(request);
    };

    // Each list learns its master's record before it follows it.
    ListBrowser& p = *payers;
    ListBrowser& s = *payments;
    p.listen([this, &p] { payer_ = p.selectedRow() ? SUB.OZNAKA : 0; });
    s.listen([this, &s] { payment_ = s.selectedRow() ? ISP.OZNAKA : 0; });
    ListBrowser& l = *lines;
    l.listen([this, &l] { line_ = l.selectedRow() ? DOH.OZNAKA : 0; });
    s.follow(p);
    lines->follow(s);

    // The payments list is the main one: a chooser chooses a payment.
    add(std::move(payments), {"list", "", "", "", true});
    add(std::move(payers), {"payers", "p.", "", "", false});
    add(std::move(lines), {"lines", "r.", "", "", false});
    onChange = [this] { changed(); };

    for (int i = 0; i < 3; ++i) view(size_t(i))->table()->installEventFilter(this);
}

void ISPLATE_SCREEN::addMenuAndKeys() {
    auto* menuBar = new QMenuBar;
    menuBar->setNativeMenuBar(false);
    QMenu* forms = menuBar->addMenu("Ispisi obrazaca");
    static const char* const items[][3] = {
        {"RSm - A", "Ctrl+A", "rsma"}, {"RSm - B", "Ctrl+B", "rsmb"}, {"IDD", "Ctrl+D", "idd"}, {"ID-1", "Ctrl+I", "id1"}};
    for (const auto& item : items) {
        QAction* a = forms->addAction(QString::fromUtf8(item[0]));
        a->setShortcut(QKeySequence(item[1]));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
        const std::string id = item[2];
        a->setEnabled(paymentPrint(id) != nullptr);
        connect(a, &QAction::triggered, this, [this, id] { print(id); });
    }
    builder().replace("menu", menuBar);

    auto shortcut = [this](Qt::Key key, std::function<void()> run) {
        auto* k = new QShortcut(QKeySequence(key), this);
        k->setContext(Qt::WidgetWithChildrenShortcut);
        connect(k, &QShortcut::activated, this, std::move(run));
    };
    for (auto [key, id] : {std::pair{Qt::Key_F11, "obracun"}, std::pair{Qt::Key_F12, "obracundoh"}})
        shortcut(key, [this, id = id] { builder().press(id); });
    shortcut(Qt::Key_F5, [this] { focusList(0); });
}

void ISPLATE_SCREEN::hookPeriod() {
    WindowBuilder& b = builder();
    auto showPeriod = [this] {
        builder().display("mjesec");
        builder().display("godina");
    };
    b.onAccepted("mjesec", [this, showPeriod] {
        const int m = std::atoi(loc_->MJESEC.str().c_str());
        if (m >= 1 && m <= 12 && loc_->MJESEC.str().find_first_not_of("0123456789") == std::string::npos) return true;
        // No such month: the nearest one stands in, and the user sees it.
        prompter().beep();
        stepMonth(loc_->MJESEC, loc_->GODINA, 0);
        showPeriod();
        return false;
    });
    b.onKey("mjesec", [this, showPeriod](QKeyEvent* e) {
        const int step = padStep(e);
        if (!step) return false;
        builder().accept("mjesec");
        stepMonth(loc_->MJESEC, loc_->GODINA, step);
        showPeriod();
        return true;
    });
    b.onAccepted("godina", [this] {
        // The monthly forms name a year of four digits; anything else stays here to be corrected.
        const std::string& y = loc_->GODINA.str();
        if (y.size() == 4 && y.find_first_not_of("0123456789") == std::string::npos) return true;
        prompter().beep();
        return false;
    });
    b.onKey("godina", [this](QKeyEvent* e) {
        const int step = padStep(e);
        if (!step) return false;
        builder().accept("godina");
        stepYear(loc_->GODINA, step);
        builder().display("godina");
        return true;
    });
}

void ISPLATE_SCREEN::hookPrinter() {
    WindowBuilder& b = builder();
    b.whenAccepted("paroznaka", [this] { readPrinter(); });
    auto choosePrinter = [this] {
        choose(std::make_unique<BROWSEPARAM>(), this);
        readPrinter();
    };
    b.onSelected("paroznaka", [choosePrinter] {
        const USHORT code = PAR.OZNAKA;
        PARAM.clear();
        PAR.OZNAKA = code;
        if (PARAM.get(PARAM.KEYOZNAKA) != 0) choosePrinter();
    });
    b.whenAccepted("browseparam", choosePrinter);

    PARAM.clear();
    PAR.OZNAKA = 1;
    readPrinter();
}

void ISPLATE_SCREEN::readPrinter() {
    const USHORT code = PAR.OZNAKA;
    if (PARAM.get(PARAM.KEYOZNAKA) != 0) {
        PARAM.clear();
        PAR.OZNAKA = code;
    }
    for (const char* id : {"paroznaka", "model", "xpos", "ypos"}) builder().display(id);
}

void ISPLATE_SCREEN::changed() {
    // A newly highlighted payment brings its month and year for the monthly forms.
    const ListBrowser::Row* row = browser(0).selectedRow();
    if (row && row->id != shownPayment_ && !ISP.DATUM.empty()) {
        loc_->MJESEC = std::to_string(ISP.DATUM.month());
        loc_->GODINA = std::to_string(ISP.DATUM.year());
    }
    shownPayment_ = row ? row->id : -1;
    for (const char* id : {"naziv", "rsid", "rsid2", "mjesec", "godina"}) builder().display(id);
    builder().enable("duplikat", row != nullptr);
    builder().enable("jopkreiranje", row != nullptr);
    // A print is there once its layer registered it; the income line's
    // recapitulation needs a line, the others a payment.
    for (const char* id : {"obracun", "jopa", "jopb", "hub3", "hub3a"})
        builder().enable(id, row != nullptr && paymentPrint(id));
    builder().enable("obracundoh", row != nullptr && line_ != 0 && paymentPrint("obracundoh"));
}

void ISPLATE_SCREEN::print(const std::string& id) {
    const PaymentPrint* p = paymentPrint(id);
    if (!p) return;
    if (id == "hub3a") {
        // HUB-3A sheets go through a page printer; the window shows the switch.
        loc_->PRINTER = "L";
        builder().display("printer");
    }
    PaymentPrintContext c;
    c.payer = payer_;
    c.payment = payment_;
    c.incomeLine = line_;
    c.month = std::atoi(loc_->MJESEC.str().c_str());
    c.year = std::atoi(loc_->GODINA.str().c_str());
    c.printer = loc_->PRINTER.str() == "L" ? 'L' : 'M';
    c.printerParam = PAR.OZNAKA;
    c.plainPaper = loc_->CISTIPAPIR.str() == "1";
    c.window = this;
    (*p)(c);
}

void ISPLATE_SCREEN::createJoppd() {
    if (payment_ == 0) return;
    loc_->UJED = UJEDI();
    message(createJoppdRow(payment_, loc_->UJED) ? kJoppdRowCreated : kJoppdRowExists);
    view(0)->table()->setFocus();
}

void ISPLATE_SCREEN::duplicate() {
    if (payment_ == 0) return;
    DUPLIKAT(this, payment_).run();
    browser(0).refresh(true);
    browser(0).top();
    view(0)->table()->setFocus();
}

int ISPLATE_SCREEN::listOf(QObject* o) const {
    for (int i = 0; i < 3; ++i)
        if (view(size_t(i))->table() == o) return i;
    return -1;
}

void ISPLATE_SCREEN::focusList(int list) {
    view(size_t(list))->table()->setFocus();
}

bool ISPLATE_SCREEN::eventFilter(QObject* watched, QEvent* event) {
    const int list = listOf(watched);
    if (list < 0 || event->type() != QEvent::KeyPress) return ListWindow::eventFilter(watched, event);
    auto* e = static_cast<QKeyEvent*>(event);
    // Left and Right walk the lists: payers, payments, income lines and round again.
    static const int order[] = {1, 0, 2};  // list number -> place
    static const int byPlace[] = {1, 0, 2};  // place -> list number
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if ((e->key() == Qt::Key_Right || e->key() == Qt::Key_Left) && mods == Qt::NoModifier) {
        const int step = e->key() == Qt::Key_Right ? 1 : 2;
        focusList(byPlace[(order[list] + step) % 3]);
        return true;
    }
    if (padKey(e, Qt::Key_Plus) && mods == Qt::NoModifier) {
        builder().press("insert");
        return true;
    }
    if (padKey(e, Qt::Key_2) && mods == Qt::ControlModifier) {
        builder().press("duplikat");
        return true;
    }
    return false;
}

// ================================================================ UPISISPLATE

namespace {

// The payment form's own variables.
struct PaymentDay {
    String<5> DAN;
    Date computedFor;  // the date LOC:DAN was last computed from
};

WindowResource paymentResource(PaymentDay& loc) {
    return {"",
            440,
            236,
            {prompt("Isplatitelj:", {6, 8, 44, 10}),
             entry("isplatitelj", FieldRef(ISPLATE, "ISPLATITELJ"), "@n-14", {52, 6, 50, 12}).history(),
             display("naziv", FieldRef(SUBJEKTI, "NAZIV"), "@s40", {108, 8, 200, 10}),
             prompt("OIB:", {6, 22, 44, 10}), display("oib", FieldRef(SUBJEKTI, "OIB"), "@s11", {52, 22, 60, 10}),
             prompt("RS Id:", {6, 38, 44, 10}),
             entry("rsid", FieldRef(ISPLATE, "RSID"), "@s5", {52, 36, 36, 12}).history(),
             prompt("Datum:", {6, 54, 44, 10}),
             entry("datum", FieldRef(ISPLATE, "DATUM"), "@d17", {52, 52, 56, 12}).history(),
             button("gore", "gore", {112, 52, 30, 12}), button("dolje", "dolje", {146, 52, 30, 12}),
             display("dan", FieldRef(loc.DAN), "@s5", {182, 54, 36, 10}),
             prompt("Godina:", {6, 70, 44, 10}),
             entry("godina", FieldRef(ISPLATE, "GODINA"), "@s4", {52, 68, 30, 12}).history(),
             list("lines", {6, 88, 362, 120}),
             button("d.insert", "&Unesi", {374, 88, 60, 14}), button("d.change", "&Mijenjaj", {374, 104, 60, 14}),
             button("d.delete", "&Briši", {374, 120, 60, 14}),
             button("ok", "OK", {284, 216, 45, 14}).byDefault(), button("cancel", "Odustani", {334, 216, 45, 14}),
             button("help", "Help", {384, 216, 45, 14}).disable()}};
}

// "gore" and "dolje" move the date a day on or back.
void hookDayButtons(WindowBuilder& b, const std::function<void(int)>& moveDay) {
    b.whenAccepted("gore", [moveDay] { moveDay(1); });
    b.whenAccepted("dolje", [moveDay] { moveDay(-1); });
}

// The payer of the payment in the buffer; false when the file does not hold it.
bool readPayer() {
    SUBJEKTI.clear();
    SUB.OZNAKA = ISP.ISPLATITELJ;
    return SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) == 0;
}

// The date and the identifier that follows it.
void hookPaymentDate(WindowBuilder& b, PaymentDay& loc) {
    b.onAccepted("datum", [&b, &loc] {
        // OK accepts every field again; an identifier the user set by hand
        // stays unless the date itself was changed.
        if (ISP.DATUM == loc.computedFor) return true;
        loc.DAN = LOCDAN();
        loc.computedFor = ISP.DATUM;
        b.display("rsid");
        b.display("dan");
        return true;
    });
    hookDayButtons(b, [&b, &loc](int days) {
        b.accept("datum");
        if (ISP.DATUM.empty()) return;
        ISP.DATUM = ISP.DATUM + days;
        loc.DAN = LOCDAN();
        loc.computedFor = ISP.DATUM;
        for (const char* id : {"datum", "rsid", "dan"}) b.display(id);
    });
    // A date changed by a key stands in the entry as if typed: the
    // identifier follows once the date is accepted.
    b.onKey("datum", [&b](QKeyEvent* e) {
        const int step = padStep(e);
        auto* edit = b.control<QLineEdit>("datum");
        Date shown;
        const Picture picture = Picture::parse("@d17");
        if (!step || !FieldRef(shown).accept(picture, edit->text().toStdString()) || shown.empty()) return false;
        edit->setText(QString::fromStdString(formatAs("@d17", shown + step)));
        edit->setModified(true);
        return true;
    });
    b.onKey("rsid", [&b](QKeyEvent* e) {
        const int step = padStep(e);
        if (!step) return false;
        b.accept("rsid");
        const long n = std::atol(ISP.RSID.str().c_str());
        if (n + step >= 0 && n + step <= 99999) ISP.RSID = std::to_string(n + step);
        b.display("rsid");
        return true;
    });
}

// The payment's income lines, entered while the form is open.
void addPaymentLines(WindowBuilder& b) {
    const LONG payment = ISP.OZNAKA;
    std::unique_ptr<ListBrowser> owned =
        incomeLines(kLinesFormat,
                    {ColumnSource::of(DOHOCI, "REDNIBROJ"), ColumnSource::of(OSOBE, "IME"),
                     ColumnSource::of(OSOBE, "PREZIME"), ColumnSource::of(OSOBE, "OIB"),
                     ColumnSource::of(DOHOCI, "NETO"), ColumnSource::of(VRSTEDOH, "NAZIV"),
                     ColumnSource::of(DOHOCI, "OZNAKA"), ColumnSource::of(DOHOCI, "ISPLATA"),
                     ColumnSource::of(DOHOCI, "DJELATNIK"), ColumnSource::of(DOHOCI, "VRSTADOHOTKA")});
    ListBrowser* lines = owned.get();
    lines->addSortOrder({DOHOCI.KEYISPLATA, Locator::None, Stops::None, [payment] { return int64_t(payment); }, {}});
    lines->related = readLineParties;
    QWidget* form = b.root();
    lines->update = [form](LONG request) { return UPDATEDOHOCI(form).run(request); };
    // The view keeps the list: the form's window may go after the form has returned.
    auto* listView = new ListBrowserView(std::move(owned), form);
    b.replace("lines", listView);
    auto states = [&b, lines] {
        b.enable("d.insert", lines->canInsert());
        b.enable("d.change", lines->canChange());
        b.enable("d.delete", lines->canChange());
    };
    lines->listen(states);
    using Press = void (ListBrowser::*)();
    const std::pair<const char*, Press> buttons[] = {
        {"d.insert", &ListBrowser::insertRecord}, {"d.change", &ListBrowser::changeRecord},
        {"d.delete", &ListBrowser::deleteRecord}};
    for (const auto& [id, press] : buttons)
        b.whenAccepted(id, [lines, listView, press = press] {
            (lines->*press)();
            listView->table()->setFocus();
        });
    lines->open(0);
    states();
}

}  // namespace

LONG UPISISPLATE::run(LONG request) {
    PaymentDay loc;
    FileUse files{&ISPLATE, &SUBJEKTI};
    // A new payment is offered the payer's first free day, before it is numbered.
    if (request == INSERTRECORD) loc.DAN = primeNewPayment(Date::today());

    UpdateForm form(ISPLATE, "UPISISPLATE");
    form.insertTitle = "Unos nove isplate";
    form.changeTitle = "Promjene";
    form.otherFiles = {&DOHOCI, &OBRACUN, &OSOBE, &SUBJEKTI, &VRSTEDOH};

    UpdateFormView view(form, paymentResource(loc), caller_);
    view.onOpen = [&loc](WindowBuilder& b) {
        readPayer();
        loc.DAN = LOCDAN();
        loc.computedFor = ISP.DATUM;
        b.display();
        b.onAccepted("isplatitelj", [&b] {
            // A payment of a payer the file does not hold could never be declared.
            const bool known = readPayer();
            if (!known) prompter().beep();
            b.display("naziv");
            b.display("oib");
            return known;
        });
        hookPaymentDate(b, loc);
        addPaymentLines(b);
    };
    return view.exec(request);
}

// ================================================================ DUPLIKAT

namespace {

// The copy's own variables: the payment copied and the new one's number.
struct DuplicateLoc {
    LONG ISPLATA = 0;
    LONG DUPLIKAT = 0;
    String<5> STARIRSID;
    Date STARIDATUM;
    String<4> STARAGODINA;
    LONG ISPLATITELJ = 0;
    String<5> DAN;
};

WindowResource duplicateResource(DuplicateLoc& loc) {
    return {"Dupliciranje postojeće isplate",
            250,
            190,
            {prompt("Isplatitelj:", {6, 8, 60, 10}),
             display("naziv", FieldRef(SUBJEKTI, "NAZIV"), "@s40", {70, 8, 170, 10}),
             prompt("Rs Id:", {6, 22, 60, 10}), display("starirsid", FieldRef(loc.STARIRSID), "@s5", {70, 22, 40, 10}),
             display("isplata", FieldRef(loc.ISPLATA), "@n-14", {180, 22, 60, 10}),
             prompt("Datum isplate:", {6, 36, 60, 10}),
             display("staridatum", FieldRef(loc.STARIDATUM), "@d17", {70, 36, 60, 10}),
             prompt("Godina:", {6, 50, 60, 10}), display("staragodina", FieldRef(loc.STARAGODINA), "@s4", {70, 50, 40, 10}),
             button("napravi", "NAPRAVI NOVU", {6, 68, 100, 16}),
             display("wait", FieldRef(), "", {114, 72, 120, 10}).hide(),
             prompt("Podaci za novu isplatu:", {6, 94, 100, 10}),
             display("duplikat", FieldRef(loc.DUPLIKAT), "@n-14", {110, 94, 60, 10}),
             prompt("Datum:", {6, 110, 40, 10}),
             entry("datum", FieldRef(ISPLATE, "DATUM"), "@d17", {50, 108, 60, 12}),
             button("gore", "gore", {114, 108, 30, 12}), button("dolje", "dolje", {148, 108, 30, 12}),
             prompt("ID:", {6, 126, 40, 10}), entry("rsid", FieldRef(ISPLATE, "RSID"), "@s5", {50, 124, 36, 12}),
             prompt("Godina:", {6, 142, 40, 10}),
             entry("godina", FieldRef(ISPLATE, "GODINA"), "@s4", {50, 140, 30, 12}),
             button("close", "&Zatvori", {190, 168, 50, 14})}};
}

// NAPRAVI NOVU: the copy under the new number, with the date, identifier and
// year as entered; the line beside the button tells how it went.
void makeCopy(WindowBuilder& w, const DuplicateLoc& loc) {
    if (!w.acceptAll()) return;
    w.setText("wait", "Pričekajte ...");
    w.show("wait");
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ISP.ISPLATITELJ = loc.ISPLATITELJ;
    switch (copyPayment(loc.ISPLATA, loc.DUPLIKAT)) {
        case CopyResult::Done: w.setText("wait", "Gotovo"); break;
        case CopyResult::PaymentRejected:
            message("Ne mogu unijeti novu isplatu s ovim podacima");
            w.hide("wait");
            break;
        case CopyResult::Failed:
            message("Greška");
            w.hide("wait");
            break;
    }
}

void hookDuplicate(WindowBuilder& w, DuplicateLoc& loc, QWidget* content) {
    hookDayButtons(w, [&w, &loc](int days) {
        w.accept("datum");
        if (ISP.DATUM.empty()) return;
        ISP.DATUM = ISP.DATUM + days;
        loc.DAN = LOCDAN();
        for (const char* id : {"datum", "rsid"}) w.display(id);
    });
    // Down and Up walk the fields as Tab and Shift+Tab do.
    for (const char* id : {"datum", "rsid", "godina"})
        w.onKey(id, [](QKeyEvent* e) {
            if ((e->key() != Qt::Key_Down && e->key() != Qt::Key_Up) || e->modifiers() != Qt::NoModifier) return false;
            QKeyEvent tab(QEvent::KeyPress, e->key() == Qt::Key_Down ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget(), &tab);
            return true;
        });
    w.whenAccepted("napravi", [&w, &loc] { makeCopy(w, loc); });
    w.whenAccepted("close", [content] {
        auto* sub = qobject_cast<QMdiSubWindow*>(content->parentWidget());
        if (sub) sub->close();
        else content->close();
    });
}

}  // namespace

LONG DUPLIKAT::run() {
    FileUse files{&DOHOCI, &ISPLATE, &OBRACUN, &SUBJEKTI};
    DuplicateLoc loc;
    loc.ISPLATA = isplata_;
    loc.DUPLIKAT = nextPaymentNumber();
    ISPLATE.clear();
    ISP.OZNAKA = loc.ISPLATA;
    if (ISPLATE.get(ISPLATE.KEYOZNAKA) != 0) return REQUESTCANCELLED;
    SUBJEKTI.clear();
    SUB.OZNAKA = ISP.ISPLATITELJ;
    if (SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) != 0) SUBJEKTI.clear();
    loc.STARIRSID = ISP.RSID;
    loc.STARIDATUM = ISP.DATUM;
    loc.STARAGODINA = ISP.GODINA;
    loc.ISPLATITELJ = ISP.ISPLATITELJ;
    loc.DAN = primeNewPayment(Date::today());

    // The window is Qt's: it goes when it is closed.
    auto* content = new QWidget;
    content->setAttribute(Qt::WA_DeleteOnClose);
    auto* b = new WindowBuilder(duplicateResource(loc), content);
    b->setText("wait", "Pričekajte ...");
    hookDuplicate(*b, loc, content);

    later(content, [b] { b->select("datum"); });  // once the window shows
    waitBesideCaller(content, caller_);
    return REQUESTCANCELLED;
}

}  // namespace marel::screens
