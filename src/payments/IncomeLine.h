#pragma once
// One income line of a payment on the data files: its calculation lines
// written from a calculation, the zero lines of a new income line, the totals
// shown beside its lines, the crisis-tax lines and the payment method. The
// form of the income line gathers the input and shows what these return.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "payments/Calculation.h"
#include "store/Records.h"

namespace marel {

inline constexpr const char* kChooseRecipient = "Odaberi djelatnika";
inline constexpr const char* kChooseIncomeType = "Odaberi vrstu dohotka";
inline constexpr const char* kNoPaymentMethod = "NISTE ODABRALI NAČIN ISPLATE";

// What the calculation lines of an income line were computed from: when the
// record no longer matches it, its lines are out of date.
struct CalcBasis {
    LONG recipient = 0;
    BYTE incomeType = 0;
    Amount net;
    friend bool operator==(const CalcBasis& a, const CalcBasis& b) {
        return a.recipient == b.recipient && a.incomeType == b.incomeType && a.net.value() == b.net.value();
    }
};

struct LineCalculation {
    CalcResult result;               // refused: result.error says why, nothing was written
    std::vector<std::string> notes;  // records that were missing and counted with rates 0
    bool severalRates = false;       // the brackets were used
    Amount net;                      // the net the lines hold (from the gross: the net it gives)
    bool ok() const { return result.ok(); }
};

// Calculates income line `incomeLine` from its net with the routine its income
// type calls for and rewrites the calculated positions (the single-rate routine adds
// a missing line, the brackets only rewrite). Refused without a recipient.
LineCalculation calculateFromNet(LONG incomeLine, const CalcBasis& line, int year);
// From a gross amount: the single-rate routine works back from the net the
// gross gives; an income type taxed by the brackets ignores the gross and
// calculates from the line's net.
LineCalculation calculateFromGross(LONG incomeLine, const CalcBasis& line, const Decimal& gross, int year);
// Recalculates the lines from the income line as it is stored (a change that
// was cancelled after its lines had been recalculated). False when the
// record is gone.
bool recalculateStored(LONG incomeLine, int year);

// The positions the calculation fills, with amount 0, for a new income line. Returns 0 or the error.
int addZeroPositions(LONG incomeLine);

// The income type a new line starts with: the one used last if it still
// exists, else the one with the highest code (0 when there is none).
BYTE proposedIncomeType(BYTE usedLast);

// Beside the lines: the gross and tax plus surtax.
struct LineTotals {
    Amount gross;
    Amount taxAndSurtax;
};
// Returns false on a file error.
bool lineTotals(LONG incomeLine, LineTotals& out);

// The amounts of one income line's calculation lines, indexed by position.
using PositionAmounts = std::array<Decimal, POZ_POSLIJEKRIPOREZ + 1>;
// Reads the calculation lines of `incomeLine` into `amounts` (zero first;
// positions beyond the known ones are left out). Returns 0, or the store's
// error code of a failed read. Reads as values: no record buffer changes.
int readPositions(LONG incomeLine, PositionAmounts& amounts, Store& store = Store::main());

// An income line with the amounts of its calculation, as values.
struct CalculatedLine {
    DOHOCI_REC line;
    PositionAmounts at{};
    const Decimal& operator[](Pozicija p) const { return at[p]; }
};
// The amounts of every income line of a payment, by the line's number, read
// in one query (a line without calculation lines has none here). Returns 0,
// or the store's error code of a failed read.
int paymentPositions(LONG payment, std::unordered_map<LONG, PositionAmounts>& at, Store& store = Store::main());
// The income lines of a payment in the order of their key, each with its
// amounts. Returns 0, or the store's error code of a failed read (`lines`
// then holds what was read before it, which must not pass for complete).
int calculatedLines(LONG payment, std::vector<CalculatedLine>& lines, Store& store = Store::main());
// Every income line of the payments `payer` made in one month, with the
// amounts of its calculation, handed to `each`. Returns nullptr, or the name
// of the file whose read failed ("isplate", "dohoci", "obracun").
const char* forEachLineOfMonth(LONG payer, int year, int month,
                               const std::function<void(const DOHOCI_REC&, const PositionAmounts&)>& each);

// Crisis tax of the net at a rate in percent and the net after it into their
// positions (added when missing). Returns 0 or the file error; `written` receives the two amounts.
// A calculation the routine refuses writes nothing and returns -1 (`written.error` says why).
int storeCrisisTax(LONG incomeLine, const Decimal& net, const Decimal& ratePercent, CrisisTax& written);

// The payment method (1 to 7) of an income line; 0 when none is stored.
SHORT paymentMethod(LONG incomeLine);
// The payment method as stored, whatever its value; nullopt when none is
// stored or it cannot be read. Reads as values.
std::optional<SHORT> storedPaymentMethod(LONG incomeLine);
// Stores it as item 1 of the line's SVASTA records. 0, or -1 when no method
// was chosen, or the file error.
int storePaymentMethod(LONG incomeLine, SHORT method);

// "Ime Prezime" of the recipient in the buffer, at most 30 characters.
String<30> recipientName(const OSOBE_REC& recipient);

// Whether the recipient and the income type of a line exist; the message for
// the user when one does not ("" when both do). Reads them into their buffers.
std::string checkIncomeLine(LONG recipient, BYTE incomeType);

}  // namespace marel
