#pragma once
// The payer's monthly summary of other income: a grid whose columns are the
// kinds of receipt (columns 3 to 8, chosen by each income type) with their
// total in column 9, and whose rows are the number of income lines, the
// amounts, the contributions and the taxes of the month.
#include <array>
#include <memory>
#include <string>

#include "common/Decimal.h"
#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

struct IddGrid {
    // The rows that carry values, in the order of the form.
    enum Row {
        BROJ,          // 1  income lines
        BRUTO,         // 2  gross
        TROSKOVI,      // 3  non-taxable part and recognised expenses
        OD,            // 4  contribution base
        MOISTUP,       // 5.1 pension pillar I
        MOIISTUP,      // 5.3 pension pillar II
        ZO,            // 5.4 health insurance
        MOUK,          // 6  pension contributions as expenses
        DOHODAK,       // 7  income
        POREZ,         // 8  tax
        PRIREZ,        // 9  surtax
        POREZIPRIREZ,  // 10 tax and surtax
        ROWS
    };
    static constexpr int FIRST_COLUMN = 3, LAST_COLUMN = 8;

    // The cell of a row in column 3..8.
    Decimal& at(Row row, int column) { return cells[row][size_t(column - FIRST_COLUMN)]; }
    const Decimal& at(Row row, int column) const { return cells[row][size_t(column - FIRST_COLUMN)]; }

    std::array<std::array<Decimal, LAST_COLUMN - FIRST_COLUMN + 1>, ROWS> cells{};
    // Column 9: the whole of each row, also of income types whose column
    // the form does not have.
    std::array<Decimal, ROWS> total{};
};

// Sums the income lines of the payer's payments dated in the month of the
// year (both read as numbers; a text that is no number matches no payment).
// False when a read failed; the standard file-error warning has then been
// shown.
bool sumIdd(LONG payer, const std::string& year, const std::string& month, IddGrid& grid);

// The form of the payer for the month, one page. A payer, place or street that
// is not there prints blanks; a month without income lines an empty grid.
// Nothing when the user cancelled.
std::unique_ptr<Report> IDD(LONG payer, const std::string& year, const std::string& month,
                            const ProgressFn& progress = {});

}  // namespace marel
