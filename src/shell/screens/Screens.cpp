#include "shell/screens/Screens.h"

#include "codelists/screens/IncomeTypes.h"
#include "codelists/screens/PrinterParams.h"
#include "codelists/screens/StreetsBanks.h"
#include "shell/screens/Main.h"

namespace marel {

void registerAllScreens() {
    registerScreen("ULICE", [] { return new screens::ULICE; });
    registerScreen("BANKE", [] { return new screens::BANKE; });
    registerScreen("VRSTEDOHOTKA", [] { return new screens::VRSTEDOHOTKA; });
    registerScreen("BROWSEPARAM", [] { return new screens::BROWSEPARAM; });
}

}  // namespace marel
