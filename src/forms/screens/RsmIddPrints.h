#pragma once
// The monthly summary and the R-Sm form in the payments
// window's forms menu.

namespace marel::screens {

// Registers the menu's prints "rsma", "rsmb" and "idd".
void registerRsmIddPrints();

}  // namespace marel::screens
