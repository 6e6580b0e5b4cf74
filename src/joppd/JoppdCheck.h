#pragma once
// The check list run before a JOPPD file is written: every reason the tax
// authority would refuse the file, found at once, so that the user can put
// them all right in one go instead of meeting them one refusal at a time.
#include <string>
#include <vector>

#include "common/Prompter.h"  // kCheckCaption, the caption of the window that lists them
#include "joppd/JoppdRows.h"

namespace marel {

// Problems of the form in the JOPO buffer, its payment in ISP, its payer in
// SUB and the payer's street in ULI (payerPlace is the name of the payer's
// place): the payer, the author, and every income line with its recipient
// and income type. Each problem is named once however many lines share it,
// in the order met. Empty when the file may be built.
std::vector<std::string> PROVJERA(const std::string& payerPlace);

// Amounts of built rows and totals that the file cannot carry: more digits
// than it allows, or negative where it wants none.
std::vector<std::string> amountProblems(const JoppdRows& rows);

}  // namespace marel
