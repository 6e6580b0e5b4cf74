#pragma once
// The recapitulations of a calculation: the calculation lines of one income
// line, or of a whole payment summed per position, each with its position's
// name and closing with the payer's total cost (gross plus health insurance).
#include <memory>
#include <string>

#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

// OBRACUNISP: the recapitulation of income line `incomeLine` (DOH:OZNAKA).
// Nothing when the line does not exist (`error` says so) or the user
// cancelled. The record buffers of the caller are left as they were.
std::unique_ptr<Report> obracunReport(LONG incomeLine, const ProgressFn& progress = {},
                                      std::string* error = nullptr);

// OBRISPLATEISP: the recapitulation of payment `payment` (ISP:OZNAKA), every
// position summed over its income lines; positions without an amount print
// too, blank. Nothing when the payment does not exist or the user cancelled.
std::unique_ptr<Report> obrIsplateReport(LONG payment, const ProgressFn& progress = {},
                                         std::string* error = nullptr);

// The text of the closing line of both recapitulations.
inline constexpr const char* RECAP_TOTAL = "Bruto + Zdravstveno osiguranje";

// Registers both with the command line's exports ("OBRACUNISP", "OBRISPLATEISP").
void registerPaymentsExports();

}  // namespace marel
