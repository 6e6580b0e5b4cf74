#include "shell/screens/Screens.h"

#include "codelists/screens/StreetsBanks.h"
#include "joppd/screens/JoppdForms.h"
#include "shell/screens/Main.h"

namespace marel {

void registerAllScreens() {
    registerScreen("ULICE", [] { return new screens::ULICE; });
    registerScreen("BANKE", [] { return new screens::BANKE; });
    registerScreen("JOPOOBRASCI", [] { return new screens::JOPOOBRASCI; });
}

}  // namespace marel
