#include "forms/RsmIddShared.h"

#include "common/Text.h"
#include "store/Records.h"

namespace marel {

bool readPayerWithAddress(LONG payer) {
    SUBJEKTI.clear();
    SUB.OZNAKA = payer;
    const bool found = SUBJEKTI.get(SUBJEKTI.KEYOZNAKA) == 0;
    if (!found) SUBJEKTI.clear();
    MJESTA.clear();
    MJE.OZNAKA = SUB.MJESTO;
    if (!found || MJESTA.get(MJESTA.KEYOZNAKA) != 0) MJESTA.clear();
    ULICE.clear();
    ULI.OZNAKA = SUB.ULICA;
    if (!found || ULICE.get(ULICE.KEYOZNAKA) != 0) ULICE.clear();
    return found;
}

std::string payerAddress() {
    return rtrim(MJE.NAZIV.str()) + ", " + rtrim(ULI.NAZIV.str()) + " " + rtrim(SUB.KUCNIBROJ.str());
}

std::string payerIdentification() { return SUB.OIB.empty() ? SUB.POREZNIBROJ.str() : SUB.OIB.str(); }

}  // namespace marel
