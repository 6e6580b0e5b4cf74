#include "joppd/JoppdRows.h"

#include <optional>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "common/Picture.h"
#include "common/Prompter.h"
#include "common/XmlWriter.h"
#include "payments/Positions.h"
#include "store/Lookup.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

std::string joppdAcquirer(const std::string& code) {
    if (code == "01") return "4001";
    if (code == "02") return "4002";
    if (code == "00") return "0000";
    if (code == "11") return "1001";
    return "";
}

namespace {

// The reporting period of a line: the payment's calendar year, or for a
// non-taxable receipt alone the whole month before the payment.
std::pair<Date, Date> period(Date paid, bool nonTaxable) {
    const int y = paid.year(), m = paid.month();
    if (!nonTaxable) return {Date::fromYmd(y, 1, 1), Date::fromYmd(y, 12, 31)};
    const Date first = Date::fromYmd(y, m, 1);
    return {m == 1 ? Date::fromYmd(y - 1, 12, 1) : Date::fromYmd(y, m - 1, 1), first - 1};
}

// What ended a build early: a message of its own, or the standard warning
// for a failed read naming the file.
struct Stop {
    const char* text;
    const char* file = nullptr;
};

std::optional<Stop> buildRows(JoppdRows& rows, std::array<Decimal, 6>& total) {
    static const Picture day = Picture::parse("D10-");
    static const Picture code = Picture::parse("N02");
    RecordLookup people(OSOBE);
    RecordLookup places(MJESTA);
    RecordLookup municipalities(OPCINE);
    RecordLookup types(VRSTEDOH);

    Cursor lines(DOHOCI, DOHOCI.KEYISPLATA.index);
    lines.startAt(JOPO.ISPLATA);
    for (;;) {
        int rc = lines.next();
        if (rc == kRecordNotAvailable) break;
        if (rc != 0) {
            // A report that silently lost lines would be worse than none.
            return Stop{nullptr, "dohoci"};
        }

        if (!people.read(DOH.DJELATNIK)) return Stop{"GREŠKA BR. 1"};
        if (OSO.OIB.empty()) return Stop{"Greška - nije unesen OIB primatelja!"};
        rows.TABLICA1.try_emplace(OSO.OZNAKA, int(rows.TABLICA1.size()) + 1);

        if (!places.read(OSO.MJESTO) || !municipalities.read(MJE.OPCINA)) return Stop{"GREŠKA BR. 2"};

        if (!types.read(DOH.VRSTADOHOTKA)) return Stop{"GREŠKA nije odabrana vrsta dohotka"};
        if (VRS.REZSTRINGA.empty()) return Stop{"GREŠKA nije unesena oznaka stjecatelja"};
        if (VRS.REZSTRINGB.empty()) return Stop{"GREŠKA nije unesena oznaka primitka"};

        const std::string& kind = VRS.REZSTRINGA;
        const bool nonTaxable = kind == "00";
        JoppdRows::Row& row = rows.VRIJEDNOSTB.emplace_back();
        row[0] = std::to_string(rows.VRIJEDNOSTB.size());
        row[1] = "0" + OPC.SHIFRA.str();
        if (!nonTaxable) row[2] = "00000";
        else if (OSO.FAX == "DA") row[2] = "0" + rtrim(utf8Prefix(OSO.EMAIL.str(), 4));
        else row[2] = row[1];
        row[3] = OSO.OIB.str();
        row[4] = utf8CutBytes(PRIJENOS(OSO.IME.str()) + " " + PRIJENOS(OSO.PREZIME.str()), 40);
        row[5] = joppdAcquirer(kind);
        row[6] = utf8Prefix(VRS.REZSTRINGB.str(), 4);
        for (int k = 7; k <= 11; ++k) row[size_t(k)] = "0";
        const auto [from, to] = period(ISP.DATUM, nonTaxable);
        row[12] = day.format(from);
        row[13] = day.format(to);

        // Amount cells by their number 1..37; those not reached stay 0. The
        // row's share of the totals counts only once the row is complete.
        std::array<Decimal, JOPPD_CELLS + 1> cell{};
        std::array<Decimal, 6> share{};
        const bool severalRates = VRS.VISESTOPA == "DA";
        Decimal allowance;
        Cursor calc(OBRACUN, OBRACUN.KEYDOHODAK.index);
        calc.startAt(DOH.OZNAKA);
        for (;;) {
            rc = calc.next();
            if (rc == kRecordNotAvailable) break;
            if (rc != 0) {
                rows.VRIJEDNOSTB.pop_back();
                return Stop{nullptr, "obracun"};
            }
            const Decimal a = OBR.IZNOS.value();
            switch (OBR.POZICIJA) {
                case POZ_BRUTO: cell[15] = nonTaxable ? Decimal() : a; break;
                case POZ_NEOPOREZIVIDIO:
                case POZ_PRIZNATITROSKOVI: cell[26] += a; break;
                case POZ_OSNOVICA: cell[16] = kind == "02" ? a : Decimal(); break;
                case POZ_MIROVINSKOISTUP: cell[17] = a; cell[27] += a; share[1] += a; break;
                case POZ_MIROVINSKOIISTUP: cell[18] = a; cell[27] += a; share[2] += a; break;
                case POZ_DOHODAK: cell[28] = cell[30] = nonTaxable ? Decimal() : a; break;
                case POZ_POREZ:
                case POZ_PRIREZ:
                    cell[OBR.POZICIJA == POZ_POREZ ? 31 : 32] = a;
                    share[kind == "11" ? 5 : 0] += a;
                    break;
                case POZ_NETO:
                    cell[34] = nonTaxable ? a : Decimal();
                    cell[36] = a;
                    if (nonTaxable) share[4] += a;
                    break;
                case POZ_ZDRAVSTVENO: cell[19] = a; share[3] += a; break;
                case POZ_OSOBNIODBITAK: allowance = a; break;
                default: break;  // crisis tax is not reported
            }
        }
        // The brackets tax the income less the allowance used: the row states
        // that base, so that the tax in it is the tax on the base it shows.
        // A single-rate type has no allowance and taxes the whole income.
        if (severalRates && !nonTaxable) {
            cell[29] = allowance;
            cell[30] = cell[28] - allowance;
        }

        // A non-taxable code below 10 keeps its leading zero: " 5" is no code.
        const int64_t receipt = VRS.REZDECIMALA.value().toInt();
        row[32] = nonTaxable && receipt != 0 ? code.format(receipt) : "0";
        SVA.DOHODAK = DOH.OZNAKA;
        SVA.BROJ = 1;
        row[34] = SVASTA.get(SVASTA.KEYDOHBROJ) == 0 ? std::to_string(SVA.VRISHORT) : "2";
        for (int k = 15; k <= JOPPD_CELLS; ++k)
            if (k != 33 && k != 35) row[size_t(k - 1)] = joppdAmount(cell[size_t(k)]);
        for (size_t t = 0; t < total.size(); ++t) total[t] += share[t];
    }
    return std::nullopt;
}

}  // namespace

std::string joppdAmount(const Decimal& value) {
    static const Picture amount = Picture::parse("N_14.2");
    return trim(amount.format(value));
}

bool PUNI(JoppdRows& rows) {
    rows = {};
    // Totals are kept exact and written out only when at least one row exists.
    std::array<Decimal, 6> total{};
    std::optional<Stop> stop;
    {
        // One snapshot of the whole payment: another station changing it
        // meanwhile cannot tear the report, and the reads share one lock
        // instead of taking one each. Ended before any message, so that
        // other windows stay free to write while it is shown.
        ReadTransaction snapshot;
        stop = buildRows(rows, total);
    }
    if (!rows.VRIJEDNOSTB.empty())
        for (size_t t = 0; t < total.size(); ++t) rows.IZNOSA[t] = joppdAmount(total[t]);
    if (!stop) return true;
    if (stop->file) STANDARDWARNING(35, stop->file);
    else message(stop->text);
    return false;
}

}  // namespace marel
