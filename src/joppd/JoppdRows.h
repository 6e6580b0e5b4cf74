#pragma once
// The page-B rows of a JOPPD report and the page-A totals, built from the
// income lines of a payment and their calculation lines.
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/Decimal.h"
#include "store/Layout.h"

namespace marel {

// Cells of a page-B row.
inline constexpr int JOPPD_CELLS = 37;

// XML element name of each cell, in cell order.
inline constexpr std::array<std::string_view, JOPPD_CELLS> ELEMENTB = {
    "P1",   "P2",   "P3",   "P4",   "P5",   "P61",  "P62",  "P71",  "P72",  "P8",   "P9",   "P10",  "P101",
    "P102", "P11",  "P12",  "P121", "P122", "P123", "P124", "P125", "P126", "P127", "P128", "P129", "P131",
    "P132", "P133", "P134", "P135", "P141", "P142", "P151", "P152", "P161", "P162", "P17",
};

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

// Builds the rows of the payment of the form in the JOPO buffer, whose record
// is in the ISP buffer. Every income line must name a recipient with an OIB,
// a known place and municipality, and an income type with both JOPPD codes;
// the first line that does not stops the build with its message, and the
// result is false. The rows built before it stay in `rows`.
bool PUNI(JoppdRows& rows);

// An amount as the JOPPD file writes it: a point and two decimals, "0.00".
std::string joppdAmount(const Decimal& value);
// The acquirer code of an income type ("01") in the four digits the form
// wants ("4001"); blank for a code the form does not know.
std::string joppdAcquirer(const std::string& code);

}  // namespace marel
