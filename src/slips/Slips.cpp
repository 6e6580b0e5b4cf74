#include "slips/Slips.h"

#include <algorithm>
#include <optional>

#include "common/Picture.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "report/Export.h"
#include "slips/Hub3Code.h"
#include "slips/SlipCheck.h"
#include "store/Records.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

// The forms are measured in millimetres; the report draws in thousandths of
// an inch, fine enough for the barcode's modules. Positions below are in
// tenths of a millimetre.
constexpr int u(int tenthMm) { return (tenthMm * 1000 + (tenthMm >= 0 ? 127 : -127)) / 254; }
constexpr Box mm(int x, int y, int w, int h) { return Box{u(x), u(y), u(w), u(h)}; }

// One barcode module: 12 thousandths (0.30 mm) wide, rows three times as
// high, so that a phone camera reads it from the paper.
constexpr int MODULE = 12, ROW = 3 * MODULE, QUIET = 2 * MODULE;

// Where each print field lies on a form.
struct Layout {
    Box payer[3], payee[3];
    Box currency, amount, payerIban, payerModel, payerReference;
    Box payeeIban, payeeModel, payeeReference, purpose, description, date;
    Box stubPayer[2], stubCurrency, stubAmount, stubIban, stubModel, stubReference, stubDescription[2];
    Box barcode;
    int stubX;  // tenths of a millimetre
};

// The order on the left, its stub on the right.
Layout layoutAt(int stubX) {
    Layout l{};
    for (int i = 0; i < 3; ++i) {
        l.payer[i] = mm(70, 100 + 45 * i, 580, 44);
        l.payee[i] = mm(70, 370 + 45 * i, 580, 44);
    }
    l.currency = mm(730, 125, 130, 45);
    l.amount = mm(910, 125, 520, 45);
    l.payerIban = mm(730, 235, 710, 45);
    l.payerModel = mm(730, 345, 130, 45);
    l.payerReference = mm(910, 345, 520, 45);
    l.payeeIban = mm(730, 455, 710, 45);
    l.payeeModel = mm(730, 565, 130, 45);
    l.payeeReference = mm(910, 565, 520, 45);
    l.description = mm(730, 675, 710, 45);
    l.purpose = mm(730, 785, 130, 45);
    l.date = mm(910, 785, 290, 45);
    l.stubX = stubX;
    const int x = stubX + 10;
    l.stubPayer[0] = mm(x, 95, 530, 40);
    l.stubPayer[1] = mm(x, 135, 530, 40);
    l.stubCurrency = mm(x, 245, 110, 45);
    l.stubAmount = mm(x + 140, 245, 390, 45);
    l.stubIban = mm(x, 355, 530, 45);
    l.stubModel = mm(x, 465, 110, 45);
    l.stubReference = mm(x + 140, 465, 390, 45);
    l.stubDescription[0] = mm(x, 575, 530, 40);
    l.stubDescription[1] = mm(x, 615, 530, 40);
    l.barcode = mm(40, 540, 660, 420);
    return l;
}

// HUB-3A: a third of an A4 sheet; HUB-3: the wide continuous form.
const Layout& layoutOf(SlipForm form) {
    static const Layout hub3a = layoutAt(1510), hub3 = layoutAt(1880);
    return form == SlipForm::Hub3A ? hub3a : hub3;
}

const Font DATA{.size = 9};
const Font SMALL{.size = 7};
const Font CAPTION{.size = 6};
const Font TITLE{.size = 10, .bold = true};

// "**1.234,56": ten positions filled with asterisks. An amount of ten
// million or more does not fit them; it is printed whole, as wide as it
// needs, rather than as a row of hashes nobody can pay.
std::string slipAmount(const Decimal& v) {
    static const Picture ten = Picture::parse("@N*10.`2"), wide = Picture::parse("@N*16.`2"),
                         widest = Picture::parse("@N*40.`2");
    for (const Picture* p : {&ten, &wide}) {
        std::string s = p->format(v);
        if (s.find('#') == std::string::npos) return s;
    }
    // Beyond the sixteen positions: the asterisks of the wide form's width.
    std::string s = widest.format(v);
    const size_t digits = s.find_first_not_of('*');
    return std::string(3, '*') + s.substr(digits == std::string::npos ? 0 : digits);
}

// The frame, captions and boxes of the HUB-3A form, for plain paper.
void drawForm(Canvas& c, const Layout& l, int height) {
    auto caption = [&c](const Box& field, const char* text) {
        c.text({field.x, field.y - u(30), field.width + u(200), u(30)}, text, CAPTION);
    };
    auto frame = [&c](const Box& field) { c.box({field.x - u(10), field.y - u(5), field.width + u(20), field.height + u(5)}); };
    c.text(mm(730, 20, 700, 50), "NALOG ZA PLAĆANJE", TITLE);
    c.text(mm(1200, 920, 240, 40), "Obrazac HUB 3A", CAPTION, Align::Right);
    caption(l.payer[0], "PLATITELJ (naziv/ime i adresa):");
    c.box(mm(60, 95, 600, 145));
    caption(l.payee[0], "PRIMATELJ (naziv/ime i adresa):");
    c.box(mm(60, 365, 600, 145));
    for (const Box* b : {&l.currency, &l.amount, &l.payerIban, &l.payerModel, &l.payerReference, &l.payeeIban,
                         &l.payeeModel, &l.payeeReference, &l.description, &l.purpose, &l.date})
        frame(*b);
    caption(l.currency, "Valuta plaćanja");
    caption(l.amount, "Iznos");
    caption(l.payerIban, "IBAN ili račun platitelja");
    caption(l.payerModel, "Model");
    caption(l.payerReference, "Poziv na broj platitelja");
    caption(l.payeeIban, "IBAN ili račun primatelja");
    caption(l.payeeModel, "Model");
    caption(l.payeeReference, "Poziv na broj primatelja");
    caption(l.description, "Opis plaćanja");
    caption(l.purpose, "Šifra namjene");
    caption(l.date, "Datum izvršenja");
    c.text({l.barcode.x, l.barcode.y - u(30), l.barcode.width, u(30)}, "Prostor za 2D kod", CAPTION);

    // The stub, beyond the line along which it is torn off.
    c.line(u(l.stubX - 30), u(20), u(l.stubX - 30), height - u(20));
    const int x = l.stubX + 10;
    c.text(mm(x, 20, 530, 45), "POTVRDA ZA PLATITELJA", Font{.size = 8, .bold = true});
    c.text(mm(x, 65, 530, 30), "Platitelj (naziv/ime i adresa):", CAPTION);
    c.box(mm(x - 10, 90, 550, 90));
    for (const Box* b : {&l.stubCurrency, &l.stubAmount, &l.stubIban, &l.stubModel, &l.stubReference}) frame(*b);
    caption(l.stubCurrency, "Valuta");
    caption(l.stubAmount, "Iznos");
    caption(l.stubIban, "IBAN ili račun primatelja");
    caption(l.stubModel, "Model");
    caption(l.stubReference, "Poziv na broj primatelja");
    c.text(mm(x, 545, 530, 30), "Opis plaćanja", CAPTION);
    c.box(mm(x - 10, 570, 550, 90));
    // Where the next form of the sheet begins.
    c.line(0, height - 1, u(2100), height - 1);
}

// The symbol in the barcode area, each row's dark runs drawn as one box.
// A box is drawn a unit larger: a borderless rectangle of a metafile loses
// its right and bottom edge in other programs that open the page.
void drawBarcode(Canvas& c, const Box& area, const BarcodeMatrix& m) {
    if (m.empty()) return;
    const int x0 = area.x + QUIET, y0 = area.y + QUIET;
    for (int r = 0; r < m.rows; ++r)
        for (int col = 0; col < m.columns;) {
            if (!m.at(r, col)) {
                ++col;
                continue;
            }
            int end = col;
            while (end < m.columns && m.at(r, end)) ++end;
            c.fill({x0 + col * MODULE, y0 + r * ROW, (end - col) * MODULE + 1, ROW + 1}, 0x000000);
            col = end;
        }
}

void drawSlip(Canvas& c, const SlipRequest& rq, const PaymentSlips& slips, const Transfer& t, bool barcode,
              int height) {
    const Layout& l = layoutOf(rq.form);
    const bool hub3a = rq.form == SlipForm::Hub3A;
    if (rq.plainPaper) drawForm(c, l, height);
    const SlipPayer& p = slips.payer;
    const std::string amount = slipAmount(t.amount);
    // Every text as the barcode carries it, so that paper and code agree.
    auto text = [&c](const Box& box, const std::string& value, const Font& font, Align align = Align::Left) {
        c.text(box, slipText(value), font, align);
    };

    text(l.payer[0], p.name, DATA);
    text(l.payer[1], p.address, DATA);
    text(l.payer[2], p.place, DATA);
    text(l.payee[0], t.payee1, DATA);
    text(l.payee[1], t.payee2, DATA);
    text(l.payee[2], t.payee3, DATA);
    c.text(l.currency, SLIP_CURRENCY, DATA, Align::Center);
    c.text(l.amount, amount, DATA, Align::Right);
    text(l.payerIban, p.iban, DATA);
    text(l.payerModel, p.model, DATA);
    text(l.payeeIban, t.iban, DATA);
    text(l.payeeModel, t.model, DATA);
    text(l.payeeReference, t.reference, DATA);
    // The description on its one line where it fits; a longer one over two
    // in a smaller face, the whole height of its frame.
    const std::string description = slipText(t.description);
    const Box& d = l.description;
    if (c.report().textWidth(description, SMALL) <= d.width) c.text(d, description, SMALL);
    else c.textLines({d.x, d.y - u(5), d.width, d.height + u(5)}, description, CAPTION, 2);

    // The stub repeats what the bank stamps the payer's copy for.
    auto twoLines = [&c](const Box (&lines)[2], const std::string& text) {
        c.textLines({lines[0].x, lines[0].y, lines[0].width, lines[1].y + lines[1].height - lines[0].y}, text, SMALL,
                    2);
    };
    twoLines(l.stubPayer, slipText(p.stub));
    c.text(l.stubCurrency, SLIP_CURRENCY, DATA, Align::Center);
    c.text(l.stubAmount, amount, DATA, Align::Right);
    text(l.stubIban, t.iban, DATA);
    text(l.stubModel, t.model, DATA);
    text(l.stubReference, t.reference, SMALL);
    if (hub3a) twoLines(l.stubDescription, description);
    if (barcode) drawBarcode(c, l.barcode, pdf417(hub3Record(p, t), 8));
}

// The offsets of the printer chosen: HUB-3 by its number, HUB-3A the first
// preset there is. None found: no offset.
std::pair<int, int> offsets(const SlipRequest& rq) {
    std::optional<PARAM_REC> preset;
    if (rq.form == SlipForm::Hub3) {
        preset = find<ParamFile>(rq.param);
    } else {
        // The first in the order they were entered in.
        ParamFile& presets = readingCopy<ParamFile>();
        Cursor first(presets, -1);
        first.toStart();
        if (first.next() == 0) preset = presets.record();
    }
    if (!preset) return {0, 0};
    return {preset->XPOS, preset->YPOS};
}

// Shows the check list and takes the answer; false when nothing is to be
// printed. `printable` slips are left once the stopped ones are out.
bool answerCheck(const std::vector<SlipProblem>& problems, size_t printable, SlipProblems mode) {
    if (problems.empty()) return true;
    if (mode == SlipProblems::PrintRest) {
        for (const SlipProblem& p : problems) message(p.text, kSlipCheckCaption, Icon::Exclamation);
        return printable > 0;
    }
    std::string text;
    bool stops = false;
    for (const SlipProblem& p : problems) {
        text += (text.empty() ? "" : "\r\n") + p.text;
        stops = stops || p.stops;
    }
    if (printable == 0) {
        message(text + "\r\n\r\nNijedan nalog se ne može ispisati.", kSlipCheckCaption, Icon::Exclamation);
        return false;
    }
    if (stops)
        return askButtons(text + "\r\n\r\nNalozi s greškom neće se ispisati. Ispisati ostale naloge?",
                          kSlipCheckCaption, "Ispiši ostale|Odustani", Icon::Exclamation) == 1;
    return askButtons(text + "\r\n\r\nIspisati naloge?", kSlipCheckCaption, "Ispiši|Odustani", Icon::Exclamation) ==
           1;
}

}  // namespace

const char* slipsTitle(SlipForm form) {
    return form == SlipForm::Hub3A ? "Nalozi za plaćanje HUB 3A" : "Nalozi za plaćanje HUB3";
}

std::unique_ptr<Report> slipsReport(const SlipRequest& request, const ProgressFn& progress, SlipsRead* read) {
    SlipRequest rq = request;
    if (rq.plainPaper) {
        // A blank sheet goes through a page printer; the form is drawn whole.
        rq.form = SlipForm::Hub3A;
        rq.printer = 'L';
    }
    PaymentSlips slips;
    const SlipsRead outcome = readPaymentSlips(rq.payment, rq.form, slips);
    if (read) *read = outcome;
    if (outcome != SlipsRead::Done || slips.transfers.empty()) return nullptr;

    // A slip the bank would refuse or pay wrongly is not printed at all.
    const std::vector<SlipProblem> problems = checkSlips(slips);
    std::vector<bool> stopped(slips.transfers.size(), false);
    for (const SlipProblem& p : problems) {
        if (!p.stops) continue;
        if (p.slip == SlipProblem::kEverySlip) stopped.assign(stopped.size(), true);
        else stopped[p.slip] = true;
    }
    std::vector<Transfer> printed;
    for (size_t i = 0; i < slips.transfers.size(); ++i)
        if (!stopped[i]) printed.push_back(std::move(slips.transfers[i]));
    slips.transfers = std::move(printed);
    if (!answerCheck(problems, slips.transfers.size(), rq.problems)) {
        if (read && slips.transfers.empty()) *read = SlipsRead::NoneValid;
        return nullptr;
    }

    auto report = std::make_unique<Report>(slipsTitle(rq.form));
    report->setFileName(rq.form == SlipForm::Hub3A ? "HUB-3A isplata" : "HUB-3 isplata", std::to_string(rq.payment));
    report->setProgress(progress);
    int height;
    if (rq.printer == 'M') {
        // Continuous forms: each slip a page of its own size, the whole print
        // moved by the printer's offsets (millimetres).
        report->setCustomPaper(2500, 1016);
        const auto [x, y] = offsets(rq);
        report->setOrigin(u(x * 10), u(y * 10));
        height = report->paperHeight();
    } else if (rq.form == SlipForm::Hub3) {
        // The wide form lies across an A4 sheet, two to a sheet.
        report->setPaper(Paper::A4);
        report->setLandscape(true);
        height = report->paperHeight() / 2;
    } else {
        report->setPaper(Paper::A4);
        height = report->paperHeight() / 3;
    }
    // The barcode needs a page printer's resolution.
    const bool barcode = rq.form == SlipForm::Hub3A || rq.printer == 'L';
    const int64_t total = int64_t(slips.transfers.size());
    int64_t done = 0;
    for (const Transfer& t : slips.transfers) {
        report->print(height, [&](Canvas& c) { drawSlip(c, rq, slips, t, barcode, height); });
        if (!report->progress(++done, total)) return nullptr;
    }
    report->close();
    if (report->pages().empty()) return nullptr;
    return report;
}

void registerSlipExports() {
    auto run = [](SlipForm form, const ExportArgs& args) {
        SlipRequest rq;
        rq.form = form;
        rq.payment = LONG(args.number("isplata"));
        rq.printer = args.printer();
        rq.param = USHORT(args.number("param"));
        rq.plainPaper = lower(trim(args.text("papir", "obrazac"))) != "obrazac";
        rq.problems = SlipProblems::PrintRest;
        SlipsRead read = SlipsRead::Done;
        ExportOutcome o;
        o.report = slipsReport(rq, {}, &read);
        if (read == SlipsRead::NoneValid) return ExportOutcome::failed("Nijedan nalog se ne može ispisati.");
        if (read == SlipsRead::NoPayment) return ExportOutcome::failed("Isplata " + std::to_string(rq.payment) + " ne postoji.");
        if (!o.report) o.error = read == SlipsRead::ReadError ? "Isplata se ne može pročitati." : NOTHING_TO_PRINT;
        return o;
    };
    const ExportArg payment = numberArg("isplata", "broj isplate (ISP:OZNAKA)");
    ExportArg param = numberArg("param", "oznaka podešenosti matričnog pisača (PAR:OZNAKA), zadano 1", false, "1");
    param.check = [number = param.check](const std::string& s) {
        if (std::string why = number(s); !why.empty()) return why;
        const long v = std::stol(s);
        return v >= 0 && v <= 65535 ? std::string() : std::string("Neispravna oznaka pisača (param=).");
    };
    registerExport({.name = "HUB3",
                    .description = "Nalozi za plaćanje HUB3 isplate (neto primateljima, porez i prirez, doprinosi)",
                    .args = {payment, printerArg("vrsta pisača: M matrični (zadano), L laserski", 'M'), param},
                    .pages = [run](const ExportArgs& args) { return run(SlipForm::Hub3, args); }});
    registerExport(
        {.name = "HUB3A",
         .description = "Nalozi za plaćanje HUB 3A isplate, s 2D kodom; na tiskanim obrascima ili čistom papiru",
         .args = {payment, printerArg("vrsta pisača: L laserski (zadano), M matrični", 'L'),
                  choiceArg("papir", "obrazac (tiskani obrasci, zadano) ili cisti (cijeli obrazac na čistom papiru)",
                            {"obrazac", "cisti", "čisti"}, "obrazac", "Papir (papir=) mora biti obrazac ili cisti.")},
         .pages = [run](const ExportArgs& args) { return run(SlipForm::Hub3A, args); }});
}

}  // namespace marel
