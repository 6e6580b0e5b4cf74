#include "payments/screens/IncomeLine.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTableView>

#include <memory>

#include "codelists/Recipients.h"
#include "codelists/screens/IncomeTypes.h"
#include "payments/IncomeLine.h"
#include "payments/screens/RecipientChoice.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "ui/ListBrowser.h"
#include "ui/screens/ListBrowserView.h"
#include "ui/screens/UpdateFormView.h"

namespace marel::screens {

namespace {

int thisYear() { return Date::today().year(); }

// The form's own variables.
struct Loc {
    Amount NETO;                  // the net of the last calculation (crisis tax works on it)
    Amount CUVAJSTARINETO;        // the net as it was when the form opened
    Amount BRUTO;                 // gross: entry, and the total of POZ_BRUTO
    Dec<7, 3> KSTOPA;             // crisis-tax rate in percent
    Amount PIP;                   // tax plus surtax of the line
    SHORT NACINISPLATE = 0;       // payment method 1 to 7
    // What the displays show of the recipient and the income type, kept here
    // so that another window reading those files cannot change them.
    String<4> SHIFRA;             // code of the municipality of residence
    String<4> RADOPCINA;          // municipality-of-work code (OSO:EMAIL)
    Dec<7, 2> STOPAPRIREZA;
    String<2> DRUGISTUP;
};

class IncomeLineForm {
public:
    explicit IncomeLineForm(QWidget* caller) : caller_(caller) {}
    ~IncomeLineForm() {
        // The window may outlive the form by an event or two (it is deleted
        // later): nothing of it may call back into this object any more.
        if (builder_) {
            for (const std::string& id : accepted_) builder_->onAccepted(id, nullptr);
            for (const char* id : {"neto", "bruto"}) builder_->onKey(id, nullptr);
        }
        // The lists' widgets go before the browsers they draw.
        delete methodsView_.data();
        delete linesView_.data();
    }

    LONG run(LONG request) {
        form_.insertTitle = "Unos dohotka";
        form_.changeTitle = "Promjene";
        form_.otherFiles = {&MJESTA, &OBRACUN, &OPCINE, &OSOBE, &PORSTOPE, &POZICIJE, &SVASTA, &VRSTEDOH};
        form_.defaults = [this] {
            DOH.VRSTADOHOTKA = proposedIncomeType(GLO.VRSTADOH);
            addZeroPositions(DOH.OZNAKA);
            basis_ = {DOH.DJELATNIK, DOH.VRSTADOHOTKA, DOH.NETO};
        };
        form_.validate = [this] { return validate(); };
        UpdateFormView view(form_, resource(), caller_);
        view_ = &view;
        view.onOpen = [this](WindowBuilder& b) { opened(b); };
        const LONG answer = view.exec(request);
        view_ = nullptr;
        b_ = nullptr;
        if (answer == REQUESTCOMPLETED && form_.request() != DELETERECORD) GLO.VRSTADOH = DOH.VRSTADOHOTKA;
        // A cancelled change leaves the record as stored: its lines go back to it.
        if (answer != REQUESTCOMPLETED && form_.request() == CHANGERECORD && calculated_)
            recalculateStored(line_, thisYear());
        return answer;
    }

private:
    WindowResource resource() {
        std::vector<Control> radios;
        const char* methods[] = {"Tekući - 1",   "Žiro - 2",    "OBINRSPP-3",    "Gotovina - 4",
                                 "U naravi - 5", "NP u OP - 6", "I putem OP - 7"};
        for (int i = 0; i < 7; ++i)
            radios.push_back(radio(methods[i], std::to_string(i + 1), {292, 124 + i * 12, 90, 10}));
        return {"",
                400,
                272,
                {
                    prompt("Redni Broj:", {6, 8, 52, 10}),
                    entry("rednibroj", FieldRef(DOHOCI, "REDNIBROJ"), "@n6", {62, 6, 34, 12}).history(),
                    entry("oznaka", FieldRef(DOHOCI, "OZNAKA"), "@n-14", {190, 6, 60, 12})
                        .readonly()
                        .history()
                        .withTip("Oznaka dohotka"),
                    prompt("Djelatnik:", {6, 24, 52, 10}),
                    lookup("djelatnik", FieldRef(DOHOCI, "DJELATNIK"), "@n-14", {62, 22, 56, 12},
                           {&OSOBE, OSOBE.KEYOZNAKA, FieldRef(OSOBE, "OZNAKA"), [] { return recipientName(OSO); },
                            chooser<ODABIROSOBEZADOH>(), 130, "Odabir djelatnika"})
                        .history(),
                    entry("isplata", FieldRef(DOHOCI, "ISPLATA"), "@n-14", {62, 38, 56, 12})
                        .readonly()
                        .history()
                        .withTip("Isplata"),
                    prompt("Šifra općine:", {124, 40, 50, 10}),
                    display("sifra", FieldRef(loc_.SHIFRA), "@s4", {176, 40, 22, 10}),
                    prompt("općina rada:", {204, 40, 50, 10}),
                    display("radopcina", FieldRef(loc_.RADOPCINA), "@s4", {256, 40, 22, 10}),
                    prompt("Vrsta doh.:", {6, 56, 52, 10}),
                    lookup("vrsta", FieldRef(DOHOCI, "VRSTADOHOTKA"), "@n3", {62, 54, 24, 12},
                           {&VRSTEDOH, VRSTEDOH.KEYOZNAKA, FieldRef(VRSTEDOH, "OZNAKA"), fieldText(VRSTEDOH, "NAZIV"),
                            chooser<VRSTEDOHOTKA>(), 170, "Odabir vrste dohotka"})
                        .history(),
                    prompt("Stopa prireza:", {6, 72, 62, 10}),
                    display("prirez", FieldRef(loc_.STOPAPRIREZA), "@N-10.`2", {70, 72, 40, 10}),
                    prompt("Drugi stup:", {124, 72, 46, 10}),
                    display("drugistup", FieldRef(loc_.DRUGISTUP), "@s2", {176, 72, 16, 10}),
                    prompt("Neto:", {6, 90, 52, 10}),
                    entry("neto", FieldRef(DOHOCI, "NETO"), "@N-14.`2", {62, 88, 70, 12}).history(),
                    button("izracun", "IZRAČUN", {136, 87, 56, 14}).withTip("Obračun iz neto iznosa"),
                    prompt("Bruto:", {6, 106, 52, 10}),
                    entry("bruto", FieldRef(loc_.BRUTO), "@N-14.`2", {62, 104, 70, 12}),
                    button("izbruta", "IZ BRUTA", {136, 103, 56, 14}).withTip("Obračun iz bruto iznosa"),
                    prompt("Pozicije obračuna:", {6, 124, 80, 10}),
                    list("pozicije", {6, 136, 222, 108}),
                    button("insert", "&Insert", {232, 136, 44, 14}),
                    button("change", "&Change", {232, 154, 44, 14}),
                    button("delete", "&Delete", {232, 172, 44, 14}),
                    button("kriporez", "KRIPOREZ", {288, 6, 60, 14}).withTip("Krizni porez"),
                    prompt("K.stopa", {288, 26, 40, 10}),
                    // No minus: a negative rate would pay tax back.
                    entry("kstopa", FieldRef(loc_.KSTOPA), "@N10.`3", {330, 24, 50, 12}),
                    prompt("P&&P", {288, 42, 40, 10}),
                    display("pip", FieldRef(loc_.PIP), "@N-10.`2B", {330, 42, 50, 10}),
                    list("metode", {288, 58, 92, 40}),
                    option("nacin", "Način isplate", FieldRef(loc_.NACINISPLATE), {288, 104, 98, 114}, radios),
                    button("ubaci", "UBACI", {288, 222, 50, 14}),
                    button("ok", "OK", {280, 252, 50, 14}).byDefault(),
                    button("cancel", "Odustani", {336, 252, 56, 14}),
                }};
    }

    void opened(WindowBuilder& b) {
        b_ = &b;
        builder_ = &b;
        line_ = DOH.OZNAKA;
        if (form_.request() == CHANGERECORD) {
            loc_.CUVAJSTARINETO = DOH.NETO;
            // The crisis tax of a line not recalculated here works on its stored net.
            loc_.NETO = DOH.NETO;
            loc_.NACINISPLATE = paymentMethod(line_);
            basis_ = {DOH.DJELATNIK, DOH.VRSTADOHOTKA, DOH.NETO};
        }
        showRecipient();
        showIncomeType();

        addLists(b);
        hookFields(b);

        methods_->open(0);
        lines_->open(0);
        if (!lines_->isOpen()) return;
        totals();
        lineButtons();
        b.display();
    }

    // The payment methods and the calculation lines of the income line, in
    // lists the form keeps; their widgets are the window's.
    void addLists(WindowBuilder& b) {
        methods_ = std::make_unique<ListBrowser>(SVASTA, "28C|M~Način isplate~L(2)@n-7@",
                                                 std::vector<ColumnSource>{ColumnSource::of(SVASTA, "VRISHORT")});
        methods_->addSortOrder({SVASTA.KEYDOHODAK, Locator::None, Stops::None, [this] { return int64_t(line_); }, {}});
        lines_ = std::make_unique<ListBrowser>(
            OBRACUN,
            "75L(2)|M~Pozicija~L(3)@s20@68R(16)|M~Iznos~C(0)@N-14.`2@72R(13)|M~Dohodak~C(0)@n-14@"
            "36R(2)|M~Pozicija~C(0)@n6@",
            std::vector<ColumnSource>{ColumnSource::of(POZICIJE, "NAZIV"), ColumnSource::of(OBRACUN, "IZNOS"),
                                      ColumnSource::of(OBRACUN, "DOHODAK"), ColumnSource::of(OBRACUN, "POZICIJA")});
        lines_->addSortOrder({OBRACUN.KEYDOHODAK, Locator::None, Stops::None, [this] { return int64_t(line_); }, {}});
        lines_->related = [] {
            POZICIJE.clear();
            POZ.OZNAKA = OBR.POZICIJA;
            if (POZICIJE.get(POZICIJE.KEYOZNAKA) != 0) POZICIJE.clear();
        };
        lines_->update = [this](LONG request) {
            const LONG answer = UPDATEOBRACUN(b_ ? b_->root() : caller_).run(request);
            if (answer == REQUESTCOMPLETED) totals();
            return answer;
        };
        methodsView_ = new ListBrowserView(*methods_, b.root());
        linesView_ = new ListBrowserView(*lines_, b.root());
        b.replace("metode", methodsView_);
        b.replace("pozicije", linesView_);
        // A list that cannot be read closes the form.
        for (ListBrowserView* v : {methodsView_.data(), linesView_.data()})
            QObject::connect(v, &ListBrowserView::closed, v, [this] {
                if (view_) view_->cancelPressed();
            });

        auto hook = [this, &b](const char* id, void (ListBrowser::*press)()) {
            b.whenAccepted(id, [this, press] {
                (lines_.get()->*press)();
                if (linesView_) linesView_->table()->setFocus();
            });
        };
        hook("insert", &ListBrowser::insertRecord);
        hook("change", &ListBrowser::changeRecord);
        hook("delete", &ListBrowser::deleteRecord);
        lines_->listen([this] { lineButtons(); });
    }

    void hookFields(WindowBuilder& b) {
        b.whenAccepted("djelatnik", [this] { showRecipient(); });
        b.whenAccepted("vrsta", [this] { showIncomeType(); });
        b.whenAccepted("neto", [this] {
            // OK re-accepts every field: its own check decides whether the lines need it.
            if (!b_->acceptingAll()) calculate(false);
        });
        // The entry being edited was taken before a button acts.
        b.whenAccepted("izracun", [this] { calculate(false); });
        b.whenAccepted("izbruta", [this] { calculate(true); });
        b.onAccepted("kstopa", [this] {
            // A rate above 100 % is refused where it is typed, and the one
            // before it comes back.
            if (loc_.KSTOPA.value() > Decimal(100)) {
                loc_.KSTOPA = lastRate_;
                if (b_) b_->display("kstopa");
                message(kCrisisRateRange, "", Icon::Exclamation);
                return false;
            }
            lastRate_ = loc_.KSTOPA;
            return true;
        });
        b.whenAccepted("kriporez", [this] { crisisTax(); });
        b.whenAccepted("ubaci", [this] { storeMethod(); });
        // Down in the amounts moves on as Tab does.
        for (const char* id : {"neto", "bruto"})
            b.onKey(id, [this, id](QKeyEvent* e) {
                if (e->key() != Qt::Key_Down || e->modifiers() != Qt::NoModifier) return false;
                QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                QApplication::sendEvent(b_->control(id), &tab);
                return true;
            });
    }

    void lineButtons() {
        if (!b_ || !lines_) return;
        b_->enable("insert", lines_->canInsert());
        b_->enable("change", lines_->canChange());
        b_->enable("delete", lines_->canChange());
    }

    bool recipientExists() {
        OSOBE.clear();
        OSO.OZNAKA = DOH.DJELATNIK;
        return DOH.DJELATNIK != 0 && OSOBE.get(OSOBE.KEYOZNAKA) == 0;
    }
    bool incomeTypeExists() {
        VRSTEDOH.clear();
        VRS.OZNAKA = DOH.VRSTADOHOTKA;
        return DOH.VRSTADOHOTKA != 0 && VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) == 0;
    }

    // The recipient with the place and municipality of residence, for the displays.
    void showRecipient() {
        if (recipientExists()) {
            loc_.RADOPCINA = OSO.EMAIL.str();
            loc_.DRUGISTUP = OSO.DRUGISTUP.str();
            readResidence();
        } else {
            OSOBE.clear();
            OPCINE.clear();
            loc_.RADOPCINA = "";
            loc_.DRUGISTUP = "";
        }
        loc_.SHIFRA = OPC.SHIFRA.str();
        loc_.STOPAPRIREZA = OPC.STOPAPRIREZA;
        if (b_) b_->display();
    }

    void showIncomeType() {
        if (b_) b_->display();
    }

    bool calculate(bool fromGross) {
        const CalcBasis now{DOH.DJELATNIK, DOH.VRSTADOHOTKA, DOH.NETO};
        const LineCalculation c =
            fromGross ? calculateFromGross(line_, now, loc_.BRUTO, thisYear()) : calculateFromNet(line_, now, thisYear());
        if (!c.ok()) {
            message(c.result.error, "", Icon::Exclamation);
            return false;
        }
        DOH.NETO = c.net;
        loc_.NETO = c.net;
        if (c.result.crisisRateSet) lastRate_ = loc_.KSTOPA = c.result.crisisRate;
        basis_ = {DOH.DJELATNIK, DOH.VRSTADOHOTKA, DOH.NETO};
        calculated_ = true;
        showRecipient();
        showIncomeType();
        refreshLines();
        if (!c.notes.empty()) {
            std::string text;
            for (const std::string& n : c.notes) text += (text.empty() ? "" : "\n") + n;
            message(text, "Napomena", Icon::Information);
        }
        return true;
    }

    void refreshLines() {
        if (lines_) lines_->refresh(true);
        totals();
    }

    void totals() {
        LineTotals t;
        if (!lineTotals(line_, t)) {
            STANDARDWARNING(35, "obracun");
            if (view_) view_->cancelPressed();
            return;
        }
        loc_.BRUTO = t.gross;
        loc_.PIP = t.taxAndSurtax;
        if (b_) b_->display();
    }

    void crisisTax() {
        if (b_ && !b_->accept("kstopa")) return;
        CrisisTax written;
        const int rc = storeCrisisTax(line_, loc_.NETO, loc_.KSTOPA, written);
        if (!written.ok()) {
            message(written.error, "", Icon::Exclamation);
            return;
        }
        if (rc != 0) STANDARDWARNING(15, "obracun");
        refreshLines();
    }

    void storeMethod() {
        const int rc = storePaymentMethod(line_, loc_.NACINISPLATE);
        if (rc < 0) message(kNoPaymentMethod, "", Icon::Exclamation);
        else if (rc > 0) STANDARDWARNING(15, "svasta");
        if (methods_) methods_->refresh(true);
    }

    // OK: a line needs its recipient and income type, and lines that match it.
    bool validate() {
        const std::string why = checkIncomeLine(DOH.DJELATNIK, DOH.VRSTADOHOTKA);
        if (!why.empty()) {
            message(why, "", Icon::Exclamation);
            return false;
        }
        const CalcBasis now{DOH.DJELATNIK, DOH.VRSTADOHOTKA, DOH.NETO};
        if (now == basis_) return true;
        // Changed since the last calculation (or re-read after another
        // station's change): the lines follow the record that is saved.
        return calculate(false);
    }

    QWidget* caller_;
    UpdateForm form_{DOHOCI, "UPDATEDOHOCI"};
    UpdateFormView* view_ = nullptr;
    WindowBuilder* b_ = nullptr;
    QPointer<WindowBuilder> builder_;
    std::vector<std::string> accepted_ = {"insert", "change",   "delete", "djelatnik", "djelatnik.lookup", "vrsta",
                                          "vrsta.lookup", "neto", "izracun", "izbruta", "kstopa", "kriporez", "ubaci"};
    Loc loc_;
    Dec<7, 3> lastRate_;  // the crisis rate last accepted
    LONG line_ = 0;
    CalcBasis basis_;
    bool calculated_ = false;
    std::unique_ptr<ListBrowser> methods_, lines_;
    QPointer<ListBrowserView> methodsView_, linesView_;
};

}  // namespace

LONG UPDATEDOHOCI::run(LONG request) { return IncomeLineForm(caller_).run(request); }

LONG UPDATEOBRACUN::run(LONG request) {
    UpdateForm form(OBRACUN, "UPDATEOBRACUN");
    form.insertTitle = "Adding a obracun Record";
    form.changeTitle = "Changing a obracun Record";
    WindowResource r{"",
                     200,
                     96,
                     {sheet("tabs", {4, 4, 192, 66},
                            {tab("General",
                                 {prompt("&Dohodak:", {10, 22, 44, 10}),
                                  entry("dohodak", FieldRef(OBRACUN, "DOHODAK"), "@n-14", {58, 20, 60, 12}).history(),
                                  prompt("&Pozicija:", {10, 38, 44, 10}),
                                  entry("pozicija", FieldRef(OBRACUN, "POZICIJA"), "@n5", {58, 36, 30, 12}).history(),
                                  prompt("&Iznos:", {10, 54, 44, 10}),
                                  entry("iznos", FieldRef(OBRACUN, "IZNOS"), "@N-14.`2", {58, 52, 70, 12}).history()})}),
                      button("ok", "OK", {92, 76, 48, 14}).byDefault(),
                      button("cancel", "Cancel", {146, 76, 48, 14})}};
    UpdateFormView view(form, std::move(r), caller_);
    return view.exec(request);
}

}  // namespace marel::screens
