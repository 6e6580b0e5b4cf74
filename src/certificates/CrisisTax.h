#pragma once
// The crisis tax: the monthly IPP record of a payer (KRIPOREZ) with its rows
// per kind of receipt (DETKRIP), the row of other income filled from the
// crisis-tax lines of the month's payments, and the printed IPP form.
#include <array>
#include <memory>
#include <string>

#include "common/Decimal.h"
#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

// Kinds of receipt, the rows of an IPP form.
enum CrisisKind : BYTE { KIND_PLACA = 1, KIND_MIROVINA = 2, KIND_DRUGI = 3, KIND_DIVIDENDE = 4 };
// The name of a kind on the printed form ("Dividende i udjeli u kapitalu").
const char* crisisKindName(int kind);

// What a refresh found: the income lines bearing crisis tax, the sum of
// their nets (the base) and of their crisis tax.
struct CrisisTotals {
    SHORT count = 0;
    Decimal base;
    Decimal tax;
};

// The crisis tax of `payer`'s payments in month `month` of `year`: every
// income line with crisis tax above 0 counts, its net being the base.
// False when a file could not be read (after the standard warning).
bool crisisTotals(LONG payer, int year, int month, CrisisTotals& out);

// AŽURIRANJE PODATAKA: writes the row of other income of IPP record
// `kriporez` from its month's payments, adding it when it is missing, in one
// transaction. 0 written; otherwise the warning was shown and nothing changed.
int refreshOtherIncome(LONG kriporez, CrisisTotals* written = nullptr);

// "u 5. mjesecu 2010. godine ".
std::string crisisMonthText(int month, const std::string& year);

// ISPISKRIPOREZ: the IPP form of record `kriporez`; nullptr when the record
// does not exist or the user cancelled.
std::unique_ptr<Report> ISPISKRIPOREZ(LONG kriporez, const ProgressFn& progress = {});

}  // namespace marel
