#include "codelists/Municipalities.h"

#include "common/CheckDigits.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "store/Records.h"

namespace marel {

bool municipalityAccountRule(MunicipalityAccountRule rule) {
    const MunicipalityAccount r = municipalityAccount(OPC.SHIFRA.str(), rule);
    if (!r.accepted()) {
        message(r.message);
        OPC.SHIFRA = "";
        return false;
    }
    OPC.RACUNPOREZ = r.account;
    if (rule == MunicipalityAccountRule::WithIban) OPC.RKONT = r.rkont;
    return true;
}

bool municipalityFormOk() {
    const bool accepted = municipalityAccountRule(MunicipalityAccountRule::WithIban);
    if (OPC.NAZIV.str().empty()) message("Unesi naziv općine");
    return accepted;
}

bool municipalityCodeOk() {
    if (municipalityCodeValid(trim(OPC.SHIFRA.str()))) return true;
    message("Šifra grada/općine mora imati točno četiri znamenke.", "", Icon::Exclamation);
    return false;
}

void stepSurtaxRate(int direction) {
    Decimal next = Decimal(OPC.STOPAPRIREZA) + Decimal(direction);
    if (next < Decimal(0)) next = Decimal(0);
    // The field holds DECIMAL(7,2): below 100000.
    if (next >= Decimal(100000)) return;
    OPC.STOPAPRIREZA = next;
}

bool placeMunicipalityChosen() {
    if (MJE.OPCINA != 0 && !municipalityName(MJE.OPCINA).empty()) return true;
    message("Morate odabrati općinu");
    return false;
}

std::string municipalityName(LONG number) {
    OPCINE.clear();
    OPC.OZNAKA = number;
    if (number != 0 && OPCINE.get(OPCINE.KEYOZNAKA) == 0) return OPC.NAZIV.str();
    OPCINE.clear();
    return "";
}

}  // namespace marel
