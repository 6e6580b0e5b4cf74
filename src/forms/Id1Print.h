#pragma once
// The ID-1 form on paper: one payer's recipients of one year, each with his
// income, expenses, contributions and the tax and surtax by account code.
#include <memory>
#include <string>

#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

// Builds the pages of the form of `payer` for `year` ("2014"), telling
// `progress` the share of the recipients read. Only income of a type whose
// tax code is one of the form's 14 columns is counted, and the net is the
// plain net: the paper form has no crisis-tax column. Nothing when the user
// cancelled.
std::unique_ptr<Report> id1Report(LONG payer, const std::string& year, const ProgressFn& progress = {});

}  // namespace marel
