#include "shell/screens/Screens.h"

#include "codelists/screens/Recipients.h"
#include "codelists/screens/StreetsBanks.h"
#include "shell/screens/Main.h"

namespace marel {

void registerAllScreens() {
    registerScreen("ULICE", [] { return new screens::ULICE; });
    registerScreen("BANKE", [] { return new screens::BANKE; });
    registerScreen("OSOBE", [] { return new screens::OSOBE; });
}

}  // namespace marel
