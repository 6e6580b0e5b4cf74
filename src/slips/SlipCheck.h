#pragma once
// The check list run before slips are printed: every slip a bank would
// refuse or pay wrongly (nothing or less than nothing to pay, an amount
// beyond the barcode's digits, an account that is no account), and every
// name the barcode's code page cannot carry letter for letter, found at once
// and named by slip, so the user can print the rest or put them right first.
#include <string>
#include <vector>

#include "slips/Transfers.h"

namespace marel {

// Caption of the window that lists the problems.
inline constexpr const char* kSlipCheckCaption = "Provjera prije ispisa";

struct SlipProblem {
    // The transfer the problem is on; every slip for the payer's own.
    static constexpr size_t kEverySlip = size_t(-1);
    size_t slip = kEverySlip;
    // The slip is not printed; otherwise it is printed as the text says.
    bool stops = false;
    std::string text;
};

// The problems of the slips in print order, each named once.
std::vector<SlipProblem> checkSlips(const PaymentSlips& slips);

}  // namespace marel
