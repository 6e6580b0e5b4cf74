#include "payments/IncomeLine.h"

#include "store/Gathered.h"
#include "store/Values.h"
#include "store/Warnings.h"

namespace marel {

namespace {

LineCalculation refusedLine(const std::string& why) {
    LineCalculation c;
    c.result.error = why;
    return c;
}

const char* kStoreFailed = "Pozicije obračuna nisu zapisane: greška datoteke obracun.";

// Writes the lines of a finished calculation; a file error turns it into a refusal.
void store(LONG incomeLine, LineCalculation& c) {
    if (!c.ok()) return;
    if (storePositions(incomeLine, c.result, !c.severalRates) != 0) c.result.error = kStoreFailed;
}

}  // namespace

LineCalculation calculateFromNet(LONG incomeLine, const CalcBasis& line, int year) {
    if (line.recipient == 0) return refusedLine(kChooseRecipient);
    LineCalculation c;
    const CalcInput in = loadCalcInput(line.recipient, line.incomeType, &c.notes);
    c.severalRates = in.severalRates;
    c.net = line.net;
    c.result = in.severalRates ? VISESTOPA(line.net, in, loadBrackets()) : IZRACUN(line.net, in, year);
    store(incomeLine, c);
    return c;
}

LineCalculation calculateFromGross(LONG incomeLine, const CalcBasis& line, const Decimal& gross, int year) {
    if (line.recipient == 0) return refusedLine(kChooseRecipient);
    LineCalculation c;
    const CalcInput in = loadCalcInput(line.recipient, line.incomeType, &c.notes);
    c.severalRates = in.severalRates;
    if (in.severalRates) {
        c.net = line.net;
        c.result = VISESTOPA(line.net, in, loadBrackets());
    } else {
        c.result = IZBRUTA(gross, in, year, c.net);
    }
    store(incomeLine, c);
    return c;
}

bool recalculateStored(LONG incomeLine, int year) {
    DohociFile stored(Store::main());
    if (stored.open() != 0) return false;
    stored.OZNAKA = incomeLine;
    if (stored.get(stored.KEYOZNAKA) != 0) return false;
    const CalcBasis basis{stored.DJELATNIK, stored.VRSTADOHOTKA, stored.NETO};
    stored.close();
    if (basis.recipient == 0) return true;  // never calculated: nothing to put back
    return calculateFromNet(incomeLine, basis, year).ok();
}

int addZeroPositions(LONG incomeLine) {
    FileUse uses{&OBRACUN};
    for (int p = POZ_BRUTO; p <= POZ_ZADNJA_OBRACUNA; ++p)
        if (int rc = storePosition(incomeLine, Pozicija(p), Decimal(0), true)) return rc;
    return 0;
}

BYTE proposedIncomeType(BYTE usedLast) {
    FileUse uses{&VRSTEDOH};
    VRSTEDOH.clear();
    VRS.OZNAKA = usedLast;
    if (usedLast != 0 && VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) == 0) return usedLast;
    VRSTEDOH.set(VRSTEDOH.KEYOZNAKA);
    const BYTE highest = VRSTEDOH.previous() == 0 ? VRS.OZNAKA : BYTE(0);
    VRSTEDOH.clear();
    return highest;
}

bool lineTotals(LONG incomeLine, LineTotals& out) {
    // Values: the shared buffer belongs to the list of the lines.
    PositionAmounts at;
    if (readPositions(incomeLine, at) != 0) return false;
    try {
        out.gross = at[POZ_BRUTO];
        out.taxAndSurtax = at[POZ_POREZ] + at[POZ_PRIREZ];
    } catch (const DecimalOverflow&) {
        return false;
    }
    return true;
}

int readPositions(LONG incomeLine, PositionAmounts& amounts, Store& store) {
    amounts.fill(Decimal());
    Records<ObracunFile> calc(&ObracunFile::KEYDOHODAK, incomeLine, store);
    for (const OBRACUN_REC& o : calc)
        if (o.POZICIJA >= 1 && o.POZICIJA < amounts.size()) amounts[o.POZICIJA] += o.IZNOS.value();
    return calc.error();
}

int paymentPositions(LONG payment, std::unordered_map<LONG, PositionAmounts>& at, Store& store) {
    at.clear();
    return gatherAll(
        &ObracunFile::KEYDOHODAK,
        namedBy(&ObracunFile::KEYDOHODAK, &DohociFile::KEYISPLATA, payment, &DOHOCI_REC::OZNAKA, store),
        [&](const OBRACUN_REC& o) {
            if (o.POZICIJA >= 1 && o.POZICIJA < PositionAmounts().size()) at[o.DOHODAK][o.POZICIJA] += o.IZNOS.value();
        },
        store);
}

int calculatedLines(LONG payment, std::vector<CalculatedLine>& lines, Store& store) {
    lines.clear();
    Records<DohociFile> income(&DohociFile::KEYISPLATA, payment, store);
    for (const DOHOCI_REC& d : income) lines.push_back({d, {}});
    if (income.error()) return income.error();
    std::unordered_map<LONG, PositionAmounts> at;
    if (int rc = paymentPositions(payment, at, store)) return rc;
    for (CalculatedLine& l : lines)
        if (auto it = at.find(l.line.OZNAKA); it != at.end()) l.at = it->second;
    return 0;
}

const char* forEachLineOfMonth(LONG payer, int year, int month,
                               const std::function<void(const DOHOCI_REC&, const PositionAmounts&)>& each) {
    PositionAmounts amounts;
    Records<IsplateFile> payments(&IsplateFile::KEYISPLATITELJ, payer);
    for (const ISPLATE_REC& p : payments) {
        if (p.DATUM.empty() || p.DATUM.year() != year || p.DATUM.month() != month) continue;
        Records<DohociFile> lines(&DohociFile::KEYISPLATA, p.OZNAKA);
        for (const DOHOCI_REC& line : lines) {
            if (readPositions(line.OZNAKA, amounts) != 0) return "obracun";
            each(line, amounts);
        }
        if (lines.error()) return "dohoci";
    }
    return payments.error() ? "isplate" : nullptr;
}

int storeCrisisTax(LONG incomeLine, const Decimal& net, const Decimal& ratePercent, CrisisTax& written) {
    written = crisisTax(net, ratePercent);
    if (!written.ok()) return -1;
    FileUse uses{&OBRACUN};
    // The tax and the net after it go together or not at all.
    WriteTransaction tx(OBRACUN.store(), 2000, WriteTransaction::Join);
    if (!tx.ok()) return tx.error();
    if (int rc = storePosition(incomeLine, POZ_KRIPOREZ, written.tax.value(), true)) return rc;
    if (int rc = storePosition(incomeLine, POZ_POSLIJEKRIPOREZ, written.after.value(), true)) return rc;
    return tx.commit();
}

SHORT paymentMethod(LONG incomeLine) { return storedPaymentMethod(incomeLine).value_or(SHORT(0)); }

std::optional<SHORT> storedPaymentMethod(LONG incomeLine) {
    const auto stored = findBy<SvastaFile>(&SvastaFile::KEYDOHBROJ, [&](SVASTA_REC& r) {
        r.DOHODAK = incomeLine;
        r.BROJ = 1;
    });
    if (!stored) return std::nullopt;
    return stored->VRISHORT;
}

int storePaymentMethod(LONG incomeLine, SHORT method) {
    if (method < 1 || method > 7) return -1;
    FileUse uses{&SVASTA};
    SVASTA.clear();
    SVA.DOHODAK = incomeLine;
    SVA.BROJ = 1;
    const bool found = SVASTA.get(SVASTA.KEYDOHBROJ) == 0;
    SVA.VRISHORT = method;
    if (found) return SVASTA.put();
    SVA.DOHODAK = incomeLine;
    SVA.BROJ = 1;
    return SVASTA.add();
}

String<30> recipientName(const OSOBE_REC& recipient) {
    return String<30>(rtrim(recipient.IME.str()) + " " + rtrim(recipient.PREZIME.str()));
}

std::string checkIncomeLine(LONG recipient, BYTE incomeType) {
    FileUse uses{&OSOBE, &VRSTEDOH};
    OSOBE.clear();
    OSO.OZNAKA = recipient;
    if (recipient == 0 || OSOBE.get(OSOBE.KEYOZNAKA) != 0) return kChooseRecipient;
    VRSTEDOH.clear();
    VRS.OZNAKA = incomeType;
    if (incomeType == 0 || VRSTEDOH.get(VRSTEDOH.KEYOZNAKA) != 0) return kChooseIncomeType;
    return "";
}

}  // namespace marel
