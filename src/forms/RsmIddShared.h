#pragma once
// What the monthly summary and the R-Sm form have in common: the payer
// block printed at their top.
#include <array>
#include <string>

#include "common/Decimal.h"
#include "payments/IncomeLine.h"
#include "store/Layout.h"

namespace marel {

// The payer with its place and street in the SUB, MJE and ULI buffers. A
// payer, place or street that is not there leaves its buffer blank: the forms
// then print blanks. False when the payer itself is missing.
bool readPayerWithAddress(LONG payer);

// "place, street number" of the payer in the buffers, each part without
// trailing blanks (the form's field cuts it at a word where it must).
std::string payerAddress();

// The payer's identification on the forms: the OIB, or the old tax number
// of a payer that has none.
std::string payerIdentification();


}  // namespace marel
