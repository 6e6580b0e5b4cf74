#include "slips/SlipCheck.h"

#include <set>

#include "common/Picture.h"
#include "common/Text.h"
#include "slips/Hub3Code.h"

namespace marel {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string shown(const Decimal& amount) {
    static const Picture picture = Picture::parse("@N-24.`2");
    return trim(picture.format(amount));
}

const char* kBadIban = " nije ispravan (21 znak: HR, kontrolni broj, banka i račun, s ispravnim kontrolnim brojem).";

// A text the slip carries otherwise than it is kept: named with what prints.
void checkLetters(std::vector<SlipProblem>& out, std::set<std::string>& seen, size_t slip,
                  const std::string& prefix, const char* what, const std::string& value) {
    bool lost = false;
    const std::string printed = slipText(value, &lost);
    if (!lost || !seen.insert(value).second) return;
    out.push_back({slip, false,
                   prefix + what + " " + quoted(value) +
                       " ima slova kojih nema u kodnoj stranici 2D koda (ISO 8859-2); ispisat će se " +
                       quoted(trim(printed)) + "."});
}

}  // namespace

std::vector<SlipProblem> checkSlips(const PaymentSlips& slips) {
    std::vector<SlipProblem> out;
    const SlipPayer& payer = slips.payer;
    {
        std::set<std::string> seen;
        const std::string prefix = "Isplatitelj: ";
        checkLetters(out, seen, SlipProblem::kEverySlip, prefix, "naziv", payer.name);
        checkLetters(out, seen, SlipProblem::kEverySlip, prefix, "adresa", payer.address);
        checkLetters(out, seen, SlipProblem::kEverySlip, prefix, "mjesto", payer.place);
        // No account at all is a payment in cash at the counter; a wrong one
        // is an order the bank refuses.
        if (!payer.iban.empty() && !payableIban(payer.iban))
            out.push_back({SlipProblem::kEverySlip, true, prefix + "IBAN " + quoted(payer.iban) + kBadIban});
    }
    for (size_t i = 0; i < slips.transfers.size(); ++i) {
        const Transfer& t = slips.transfers[i];
        const std::string prefix = "Nalog " + std::to_string(i + 1) + " (" + t.whose + "): ";
        if (t.amount.sign() <= 0)
            out.push_back({i, true, prefix + "iznos " + shown(t.amount) + " nije veći od nule."});
        else if (!amountFitsBarcode(t.amount))
            out.push_back({i, true, prefix + "iznos " + shown(t.amount) + " ne stane u nalog (najviše 15 znamenki)."});
        if (t.iban.empty()) out.push_back({i, true, prefix + "nije unesen IBAN primatelja."});
        else if (!payableIban(t.iban)) out.push_back({i, true, prefix + "IBAN primatelja " + quoted(t.iban) + kBadIban});
        std::set<std::string> seen;
        const size_t before = out.size();
        for (const std::string* name : {&t.payee1, &t.payee2, &t.payee3, &t.payeeName, &t.payeeStreet, &t.payeePlace})
            checkLetters(out, seen, i, prefix, "primatelj", *name);
        // The description repeats the recipient's name: said once is enough.
        if (out.size() == before) checkLetters(out, seen, i, prefix, "opis plaćanja", t.description);
        checkLetters(out, seen, i, prefix, "poziv na broj", t.reference);
    }
    return out;
}

}  // namespace marel
