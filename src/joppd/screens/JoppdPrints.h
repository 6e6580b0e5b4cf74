#pragma once
// The JOPPD form on paper, started from the payments window.
#include "store/Layout.h"

namespace marel {

// Page A in the simple preview, printed when the user confirms there.
void JOPPDISPIS(LONG payment);
// Page B in the report previewer, which prints it. A payment without income
// lines says there is nothing to print.
void JOPPBSTRANA(LONG payment, char printer);

// Registers both as the payments window's prints "jopa" and "jopb".
void registerJoppdPrints();

}  // namespace marel
