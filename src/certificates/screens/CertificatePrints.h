#pragma once
// The certificates and the IPP form shown on the screen: each is built under
// the progress window (whose Cancel ends it without output) and handed to its
// preview.
#include <string>

#include "store/Layout.h"

class QWidget;

namespace marel::screens {

// The recipient's certificate for the year in the report previewer: the
// crisis-tax variant for 2009 and 2010. Nothing paid: nothing is shown.
void showCertificate(LONG recipient, LONG payer, const std::string& year);
// Every certificate of the payer's year in one preview; "Nema stranica za
// ispis." when the payer paid nobody that year.
void showAllCertificates(LONG payer, const std::string& year);
// The IPP form in the simple preview, printed when the user says so.
void showCrisisForm(LONG kriporez);

}  // namespace marel::screens
