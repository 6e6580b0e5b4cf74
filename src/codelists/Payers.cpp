#include "codelists/Payers.h"

#include <algorithm>

#include "codelists/Recipients.h"
#include "common/CheckDigits.h"
#include "common/Prompter.h"
#include "store/Lookup.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {
bool digitsOnly(std::string_view s, size_t length) {
    return s.size() == length && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void payerDefaults() { SUB.TIP = "F"; }

PayerLinks readPayerLinks() {
    return {readByNumber(MJESTA, SUB.MJESTO), readByNumber(ULICE, SUB.ULICA), readByNumber(BANKE, SUB.BANKA)};
}

AccountIban accountIban(USHORT bank, std::string_view account) {
    FileUse uses{&BANKE};
    if (!readByNumber(BANKE, bank)) return {};
    if (!digitsOnly(account, 10)) return {true, "", "Broj računa mora imati točno deset znamenki."};
    const std::string leading = BAN.VODECIBROJ.str();
    if (!digitsOnly(leading, 7))
        return {true, "",
                "Vodeći broj banke " + BAN.NAZIV.str() +
                    " nema sedam znamenki.\nIspravite ga u pregledu banaka pa ponovno potvrdite račun."};
    return {true, "HR" + ibanCheckDigits(leading + std::string(account)), ""};
}

bool payerFormOk() { return oibConfirmed(SUB.OIB.str()); }

bool KONTROLA_SUBJEKTI() {
    const AccountIban iban = accountIban(SUB.BANKA, SUB.RACUN.str());
    if (!iban.message.empty()) {
        message(iban.message, "", Icon::Exclamation);
        return false;
    }
    if (!iban.rkont.empty()) SUB.RKONT = iban.rkont;
    return true;
}

}  // namespace marel
