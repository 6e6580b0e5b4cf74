#pragma once
// The cover letter that goes with an ID-1 form delivered on a data medium:
// the payer, its tax office, the contact person for the medium and boxes for
// the medium's details, to be signed and stamped.
#include <memory>

#include "report/Report.h"
#include "store/Layout.h"

namespace marel {

// Builds the letter of the ID-1 form numbered `form`. A payer, place,
// municipality or street that is not found prints blank. Nothing when there
// is no such form or the user cancelled.
std::unique_ptr<Report> coverLetterReport(LONG form, const ProgressFn& progress = {});

}  // namespace marel
