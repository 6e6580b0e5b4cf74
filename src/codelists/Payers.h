#pragma once
// The rules of the payer form, apart from its window: a new payer's values and
// the IBAN check digits of its account.
#include <string>
#include <string_view>

#include "store/Layout.h"

namespace marel {

// A new payer's values once it has its number: a natural person.
void payerDefaults();

// Reads the place, street and bank the payer in the SUBJEKTI buffer points to
// into their buffers; a buffer whose record is not found is cleared, so what
// shows it goes blank. True for each link that was found. The caller holds
// the three files open.
struct PayerLinks {
    bool place = false, street = false, bank = false;
};
PayerLinks readPayerLinks();

// The IBAN check digits of an account at a bank, as "HR" + two digits.
struct AccountIban {
    bool bankFound = false;
    std::string rkont;    // "HR35"; empty unless the bank is found and both numbers are whole
    std::string message;  // why no check digits could be computed; empty when they could
};
// Reads the bank by its number (the BANKE buffer then holds it, or is cleared).
// The bank's leading number must have seven digits and the account ten, or the
// digits would belong to no account anyone can pay into.
AccountIban accountIban(USHORT bank, std::string_view account);

// The payer in the SUBJEKTI buffer: sets SUB.RKONT from its bank and account.
// A bank that is not found changes nothing. An account or leading number that
// is not whole is shown to the user and refused (false), so no payer is saved
// with check digits that do not fit its account.
bool KONTROLA_SUBJEKTI();
// The payer form's check on OK: an OIB in doubt is kept only when the user insists.
bool payerFormOk();

}  // namespace marel
