#include "shell/screens/Screens.h"

#include "codelists/screens/StreetsBanks.h"
#include "payments/screens/Payments.h"
#include "shell/screens/Main.h"

namespace marel {

void registerAllScreens() {
    registerScreen("ULICE", [] { return new screens::ULICE; });
    registerScreen("BANKE", [] { return new screens::BANKE; });
    registerScreen("ISPLATE", [] { return new screens::ISPLATE; });
}

}  // namespace marel
