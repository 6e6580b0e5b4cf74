#pragma once
// The check list run before a JOPPD file is written: every reason the tax
// authority would refuse the file, found at once, so that the user can put
// them all right in one go instead of meeting them one refusal at a time.
#include <string>
#include <vector>

#include "common/Prompter.h"  // kCheckCaption, the caption of the window that lists them
#include "joppd/JoppdPayment.h"
#include "joppd/JoppdRows.h"

namespace marel {

// A form with the records its file names in its heading, read once.
struct JoppdForm {
    JOPO_REC form;
    ISPLATE_REC payment;
    SUBJEKTI_REC payer;
    std::string payerPlace;  // the name of the payer's place
    ULICE_REC street;        // the payer's
};

// Problems of form `f`: the payer, the author, and every income line with its recipient
// and income type. Each problem is named once however many lines share it,
// in the order met. Empty when the file may be built.
// `data`: the payment's lines as read for the file (see JoppdPayment).
std::vector<std::string> PROVJERA(const JoppdForm& f, JoppdPayment& data);

// Amounts of built rows and totals that the file cannot carry: more digits
// than it allows, or negative where it wants none.
std::vector<std::string> amountProblems(const JoppdRows& rows);

}  // namespace marel
