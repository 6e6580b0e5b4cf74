#pragma once
// The recapitulations started from the payments window.
#include "store/Layout.h"

namespace marel {

// Builds the recapitulation with its progress window, shows it in the simple
// preview and prints it when the user confirms there. Returns at once when
// the user cancels the progress window.
void OBRACUNISP(LONG incomeLine);
void OBRISPLATEISP(LONG payment);

// Registers both as the payments window's prints "obracundoh" (F12) and "obracun" (F11).
void registerPaymentsPrints();

}  // namespace marel
