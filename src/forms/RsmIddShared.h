#pragma once
// What the monthly summary and the R-Sm form have in common: the payer
// block printed at their top.
#include <string>

#include "store/Layout.h"
#include "store/Records.h"

namespace marel {

// The payer as the forms print it. A payer, place or street that is not
// there prints blank.
struct FormPayer {
    SUBJEKTI_REC record{};
    // "place, street number", each part without trailing blanks (the form's
    // field cuts it at a word where it must).
    std::string address;
    // The OIB, or the old tax number of a payer that has none.
    std::string identification;
};
FormPayer readFormPayer(LONG payer);

}  // namespace marel
