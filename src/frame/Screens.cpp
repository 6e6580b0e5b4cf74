#include "frame/Screens.h"

#include "certificates/screens/CrisisTaxScreens.h"
#include "certificates/screens/Potvrde.h"
#include "codelists/screens/Municipalities.h"
#include "codelists/screens/Payers.h"
#include "codelists/screens/IncomeTypes.h"
#include "codelists/screens/PrinterParams.h"
#include "codelists/screens/Recipients.h"
#include "codelists/screens/StreetsBanks.h"
#include "forms/screens/RsmIddPrints.h"
#include "forms/screens/Id1Forms.h"
#include "joppd/screens/JoppdForms.h"
#include "joppd/screens/JoppdPrints.h"
#include "payments/screens/Payments.h"
#include "slips/screens/SlipPrints.h"
#include "payments/screens/RecapitulationScreens.h"
#include "frame/Main.h"

namespace marel {

void registerAllScreens() {
    registerScreen("OPCINE", [] { return new screens::OPCINE_SCREEN; });
    registerScreen("MJESTA", [] { return new screens::MJESTA_SCREEN; });
    registerScreen("ULICE", [] { return new screens::ULICE_SCREEN; });
    registerScreen("BANKE", [] { return new screens::BANKE_SCREEN; });
    registerScreen("SUBJEKTI", [] { return new screens::SUBJEKTI_SCREEN; });
    registerScreen("JOPOOBRASCI", [] { return new screens::JOPOOBRASCI; });
    registerScreen("ISPLATE", [] { return new screens::ISPLATE_SCREEN; });
    registerScreen("VRSTEDOHOTKA", [] { return new screens::VRSTEDOHOTKA; });
    registerScreen("BROWSEPARAM", [] { return new screens::BROWSEPARAM; });
    registerScreen("OSOBE", [] { return new screens::OSOBE_SCREEN; });
    registerSlipPrints();
    screens::registerRsmIddPrints();
    registerScreen("PREGLEDID1OBRAZACA", [] { return new screens::PREGLEDID1OBRAZACA; });
    screens::registerId1Prints();
    registerScreen("POTVRDE", [] { return new screens::POTVRDE; });
    registerScreen("PREGLEDKRIPOREZ", [] { return new screens::PREGLEDKRIPOREZ; });
    registerPaymentsPrints();
    registerJoppdPrints();
}

}  // namespace marel
