#pragma once
// The R-Sm form: one payment's pension contributions by insured
// person for the central register of insured persons: page A with the payer
// and the control totals, pages B with one line per income line.
#include <memory>

#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

// Lines of page B on one sheet.
inline constexpr int RSM_LINES_PER_PAGE = 12;

// Pages B that `lines` income lines take: a payment without lines still
// gets its one page B, with the header and no lines.
int rsmPagesB(int lines);

// Page A of the payment. With printer kind 'M' (dot-matrix) the shaded areas
// of the form are left out: they smear on a ribbon. Nothing when the payment
// is not there or the user cancelled.
std::unique_ptr<Report> RSMA(LONG payment, char printer, const ProgressFn& progress = {});

// Pages B of the payment, one line per income line in the payment's order.
// Missing recipients, places or income types print blanks. Nothing when the
// payment is not there or the user cancelled.
std::unique_ptr<Report> RSMB(LONG payment, const ProgressFn& progress = {});

}  // namespace marel
