#pragma once
// The page-B rows of a JOPPD report and the page-A totals, built from the
// income lines of a payment and their calculation lines.
#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/Date.h"
#include "common/Decimal.h"
#include "payments/IncomeLine.h"
#include "store/Layout.h"

namespace marel {

class JoppdPayment;

// Cells of a page-B row.
inline constexpr int JOPPD_CELLS = 37;

// XML element name of each cell, in cell order.
inline constexpr std::array<std::string_view, JOPPD_CELLS> ELEMENTB = {
    "P1",   "P2",   "P3",   "P4",   "P5",   "P61",  "P62",  "P71",  "P72",  "P8",   "P9",   "P10",  "P101",
    "P102", "P11",  "P12",  "P121", "P122", "P123", "P124", "P125", "P126", "P127", "P128", "P129", "P131",
    "P132", "P133", "P134", "P135", "P141", "P142", "P151", "P152", "P161", "P162", "P17",
};

// The cells of a page-B row by their column, in the order of ELEMENTB.
enum JoppdCell : size_t {
    C1, C2, C3, C4, C5, C61, C62, C71, C72, C8, C9, C10, C101, C102, C11, C12, C121, C122, C123, C124, C125,
    C126, C127, C128, C129, C131, C132, C133, C134, C135, C141, C142, C151, C152, C161, C162, C17,
};

// What of an income type decides the amounts of its row.
struct JoppdKind {
    bool nonTaxable = false;        // a non-taxable receipt alone: no taxable income, no base
    bool contributionBase = false;  // the type pays contributions: the row states their base
    bool severalRates = false;      // taxed by the brackets: the row states the allowance used
    bool capital = false;           // tax on capital: counted in a total of its own
    // As the JOPPD file reads a type: from its acquirer code and its brackets flag.
    static JoppdKind of(const VRSTEDOH_REC& type);
};

// The amounts of one income line's row and its share of the six totals
// (in the order of JoppdRows::IZNOSA).
struct JoppdAmounts {
    std::array<Decimal, JOPPD_CELLS> cell{};
    std::array<Decimal, 6> total{};
};
// The amounts of a row from the line's calculation: the file, page A and
// page B read them all from here.
JoppdAmounts joppdAmounts(const PositionAmounts& at, const JoppdKind& kind);

// The reporting period of a line: the payment's calendar year, or for a
// non-taxable receipt alone the whole month before the payment.
std::pair<Date, Date> joppdPeriod(Date paid, bool nonTaxable);

// The payment method a row states: the line's own, or 2 when none is stored.
std::string joppdPaymentMethod(LONG incomeLine);

// What one build produces; nothing of it is stored.
struct JoppdRows {
    using Row = std::array<std::string, JOPPD_CELLS>;
    std::vector<Row> VRIJEDNOSTB;  // one row per income line, in the payment's order
    std::map<LONG, int> TABLICA1;  // each recipient met, with its running number
    // Totals 1 to 6 ("1234.50"): tax and surtax, pension pillar I, pillar II,
    // health insurance, non-taxable receipts, tax and surtax on capital.
    // Blank when no row was built.
    std::array<std::string, 6> IZNOSA;

    int BRREDAKA() const { return int(VRIJEDNOSTB.size()); }
    int brojOsoba() const { return int(TABLICA1.size()); }
};

// Builds the rows of payment `payment`. Every income line must name a recipient with an OIB,
// a known place and municipality, and an income type with both JOPPD codes;
// the first line that does not stops the build with its message, and the
// result is false. The rows built before it stay in `rows`.
bool PUNI(JoppdRows& rows, const ISPLATE_REC& payment);
// The same from the payment read already (the lines of `payment`);
// `beforeMessage` runs before anything is said (it ends the caller's snapshot).
bool PUNI(JoppdRows& rows, const ISPLATE_REC& payment, JoppdPayment& data,
          const std::function<void()>& beforeMessage = {});

// An amount as the JOPPD file writes it: a point and two decimals, "0.00".
std::string joppdAmount(const Decimal& value);
// The acquirer code of an income type ("01") in the four digits the form
// wants ("4001"); blank for a code the form does not know.
std::string joppdAcquirer(const std::string& code);

}  // namespace marel
