#pragma once
// The tax calculation of one income line: from the net paid out (one tax rate,
// or the brackets with a personal allowance) or from a gross amount, down to
// the twelve amounts stored as calculation lines. Every working value keeps
// exactly the places it is declared with, every store rounds half away from
// zero, and the gross is rebuilt from the rounded parts, so that net plus
// contributions plus tax plus surtax is the gross to the cent.
#include <array>
#include <string>
#include <vector>

#include "common/Decimal.h"
#include "payments/Positions.h"
#include "store/Layout.h"

namespace marel {

using Amount = Dec<11, 2>;  // money of the records and working amounts
using Factor = Dec<7, 4>;   // rates / 100 and the factors built from them

// What the calculation needs of the recipient, the municipality of the
// recipient's residence and the income type (rates in percent).
struct CalcInput {
    Decimal surtaxRate;      // OPC:STOPAPRIREZA
    Decimal nonTaxable;      // VRS:NEOPOREZIVIDIO
    Decimal expenses;        // VRS:PRIZNATITROSKOVI
    Decimal pillarI;         // VRS:MIROVINSKOISTUP
    Decimal pillarII;        // VRS:MIROVINSKOIISTUP
    Decimal health;          // VRS:ZDRAVSTVENOOSIGURANJE
    Decimal taxRate;         // VRS:POREZNASTOPA
    Decimal allowance;       // VRS:OSOBNIODBITAK
    Decimal allowanceFactor; // OSO:FAKTORODBITKA
    bool notInPillarII = false;  // OSO:DRUGISTUP = "NE"
    bool severalRates = false;   // VRS:VISESTOPA = "DA"
};

// A tax bracket: rate in percent and the cumulative upper limit of the tax base.
struct Bracket {
    int number;              // POR:OZNAKA, 1, 2, 3 ... without gaps
    Decimal rate;
    Decimal limit;
};

struct CalcResult {
    // The amounts of the calculation lines by position, index 0 unused.
    std::array<Amount, POZ_ZADNJA_OBRACUNA + 1> position{};
    Dec<7, 3> crisisRate;    // LOC:KSTOPA, set by the single-rate routine only
    bool crisisRateSet = false;
    std::string error;       // not empty: nothing computed, this says why
    bool ok() const { return error.empty(); }

    const Amount& gross() const { return position[POZ_BRUTO]; }
    const Amount& net() const { return position[POZ_NETO]; }
};

// One tax rate, from the net. `year` is the year of today's date (crisis tax).
CalcResult IZRACUN(const Decimal& net, const CalcInput& in, int year);
// Several tax rates with the personal allowance, from the net.
CalcResult VISESTOPA(const Decimal& net, const CalcInput& in, const std::vector<Bracket>& brackets);
// One tax rate, from a gross amount: the net it gives (rounded to the cent),
// then IZRACUN from that net. `netOut` receives the net.
CalcResult IZBRUTA(const Decimal& gross, const CalcInput& in, int year, Amount& netOut);

// Crisis tax of a net at a rate in percent and the net after it
// (POZ_KRIPOREZ, POZ_POSLIJEKRIPOREZ). Refused, with nothing computed, for a
// rate outside 0 to 100 % or a net whose amounts do not fit.
struct CrisisTax {
    Amount tax;
    Amount after;
    std::string error;  // not empty: refused, this says why
    bool ok() const { return error.empty(); }
};
CrisisTax crisisTax(const Decimal& net, const Decimal& ratePercent);
inline constexpr const char* kCrisisRateRange = "Stopa kriznog poreza mora biti između 0 i 100 %.";

// ---- the calculation on the data files

// Gathers the rates for an income line: recipient -> place -> municipality,
// and the income type. Whatever is missing counts with rates 0 (and the
// recipient as a member of pillar II); `notes`, when given, receives one
// sentence for the user per missing record.
CalcInput loadCalcInput(LONG recipient, BYTE incomeType, std::vector<std::string>* notes = nullptr);
std::vector<Bracket> loadBrackets();

// Writes the positions the calculation fills (POZ_BRUTO..POZ_ZADNJA_OBRACUNA); `addMissing` adds a line that is
// not there (the several-rates routine only rewrites). Returns 0 or the error.
int storePositions(LONG incomeLine, const CalcResult& r, bool addMissing);
// Adds or rewrites one calculation line.
int storePosition(LONG incomeLine, Pozicija position, const Decimal& amount, bool addMissing = true);

}  // namespace marel
