#pragma once
// The JOPPD report of a payment on paper: page A (heading, submitter, counts
// and the totals laid out by the JOPOZIJE lines) and page B (one printed line
// per income line under the numbered column headings), read straight from
// the payment's income lines; no form record is needed.
#include <memory>
#include <string>

#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

// JOPPDISPIS: page A of payment `payment`. A payment without income lines
// prints its heading with zero counts and blank amounts. Nothing when the
// payment does not exist (`error` says so) or the user cancelled.
std::unique_ptr<Report> joppdPageA(LONG payment, const ProgressFn& progress = {}, std::string* error = nullptr);

// JOPPBSTRANA: page B of payment `payment`, as many pages as its lines take.
// The printer kind ('M' dot-matrix, 'L' laser) does not change the layout.
// Nothing when the payment has no income lines (`error` is NOTHING_TO_PRINT),
// does not exist, cannot be read, or the user cancelled (`error` empty).
std::unique_ptr<Report> joppdPageB(LONG payment, char printer = 'M', const ProgressFn& progress = {},
                                   std::string* error = nullptr);

// The words of `text` in lines of at most `width` characters; a word longer
// than that stands alone on its line.
std::vector<std::string> wrapWords(const std::string& text, size_t width);

// Registers both pages with the command line's exports ("JOPPDISPIS", "JOPPBSTRANA").
void registerJoppdPageExports();

}  // namespace marel
