#include "forms/RsmIddShared.h"

#include "common/Text.h"
#include "store/Values.h"

namespace marel {

FormPayer readFormPayer(LONG payer) {
    FormPayer p;
    p.record = find<SubjektiFile>(payer).value_or(SUBJEKTI_REC{});
    const SUBJEKTI_REC& s = p.record;
    const MJESTA_REC place = find<MjestaFile>(s.MJESTO).value_or(MJESTA_REC{});
    const ULICE_REC street = find<UliceFile>(s.ULICA).value_or(ULICE_REC{});
    p.address = rtrim(place.NAZIV.str()) + ", " + rtrim(street.NAZIV.str()) + " " + rtrim(s.KUCNIBROJ.str());
    p.identification = s.OIB.empty() ? s.POREZNIBROJ.str() : s.OIB.str();
    return p;
}

}  // namespace marel
