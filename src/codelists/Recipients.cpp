#include "codelists/Recipients.h"

#include "codelists/Checks.h"
#include "common/CheckDigits.h"
#include "common/Prompter.h"
#include "common/Text.h"
#include "store/Lookup.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

void recipientDefaults() {
    OSO.DRUGISTUP = "DA";
    OSO.FAX = "NE";
}

bool KONTROLA_OSOBE() {
    const std::string prefix = ibanPrefix(OSO.BANKA, OSO.RACUN.str());
    if (prefix.empty()) return false;
    OSO.RKONT = prefix;
    return true;
}

void readRecipientRelations() {
    FileUse uses{&BANKE, &ULICE, &MJESTA, &OPCINE};
    readByNumber(BANKE, OSO.BANKA);
    readByNumber(ULICE, OSO.ULICA);
    readResidence();
}

Residence readResidence() {
    FileUse uses{&MJESTA, &OPCINE};
    if (!readByNumber(MJESTA, OSO.MJESTO)) {
        OPCINE.clear();
        return Residence::NoPlace;
    }
    return readByNumber(OPCINE, MJE.OPCINA) ? Residence::Found : Residence::NoMunicipality;
}

void readPlaceAndStreet() {
    readByNumber(MJESTA, OSO.MJESTO);
    readByNumber(ULICE, OSO.ULICA);
}

bool worksInOtherMunicipality() { return OSO.FAX == "DA"; }

bool oibConfirmed(std::string_view oib) {
    const std::string typed = trim(oib);
    if (typed.empty() || oibValid(typed)) return true;
    return message("OIB nije ispravan. Spremiti svejedno?", "", Icon::Question, BUTTON_YES + BUTTON_NO, BUTTON_NO) ==
           BUTTON_YES;
}

bool recipientFormOk() {
    if (worksInOtherMunicipality() && !municipalityCodeValid(trim(OSO.EMAIL.str()))) {
        message("Šifra općine rada mora imati točno četiri znamenke.", "", Icon::Exclamation);
        return false;
    }
    return oibConfirmed(OSO.OIB.str());
}

std::string PREZIMEIME() {
    std::string s = OSO.PREZIME.str();
    if (!OSO.IME.empty()) s += (s.empty() ? "" : " ") + OSO.IME.str();
    return s;
}

}  // namespace marel
