#include "codelists/Checks.h"

#include "common/CheckDigits.h"
#include "common/Prompter.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {
const char* kMismatch = "Upozorenje - oznake stjecatelja i primitka\nnisu usklađene!";

// The JOPPD code table row of the type's receipt code (its first ten characters).
bool findReceiptCode() {
    VBRAT.clear();
    VBR.SHIFRA = std::string(utf8Prefix(VRS.REZSTRINGB.str(), 10));
    return VBRAT.get(VBRAT.KEYSHIFRA) == 0;
}

// The non-taxable receipt of the type's code. A code outside the table's
// number range is no code of it: it must not wrap round onto another one.
bool findNonTaxable() {
    NEOPOREZ.clear();
    const Decimal code = VRS.REZDECIMALA.value();
    if (code.isZero() || code < Decimal(-32768) || code > Decimal(32767) || code != Decimal(int(code.toInt()))) return false;
    NEO.SHIFRA = SHORT(code.toInt());
    if (NEOPOREZ.get(NEOPOREZ.KEYSHIFRA) == 0) return true;
    NEOPOREZ.clear();
    return false;
}
}  // namespace

std::string ibanPrefix(USHORT bank, const std::string& account) {
    FileUse uses{&BANKE};
    BANKE.clear();
    BAN.OZNAKA = bank;
    if (BANKE.get(BANKE.KEYOZNAKA) != 0) {
        BANKE.clear();
        return "";
    }
    std::string kk = ibanCheckDigits(BAN.VODECIBROJ.str() + account);
    return kk.empty() ? "" : "HR" + kk;
}

bool KONTROLA_VRSTEDOH() {
    FileUse uses{&VBRAT};
    if (VRS.REZSTRINGA == "00") {
        if (VRS.REZDECIMALA.isZero()) {
            message("Oznaka stjecatelja je neoporezivi primitak, a nije odabrana oznaka neoporezivog primitka");
            return false;
        }
        if (std::string(utf8Prefix(VRS.REZSTRINGB.padded(), 4)) != "0000") {
            message("Oznaka stjecatelja je neoporezivi primitak i unesena je oznaka neoporezivog primitka\na oznaka "
                    "primitka nije 0000 !");
            return false;
        }
        return true;
    }
    if (!VRS.REZDECIMALA.isZero()) {
        message("Oznaka stjecatelja nije neoporezivi primitak, a odabrana je oznaka neoporezivog primitka");
        return false;
    }
    if (!findReceiptCode()) {
        message("Nije odabrana oznaka primitka");
        return true;
    }
    if (VRS.REZSTRINGA.empty()) {
        VRS.REZSTRINGA = VBR.REZERVA.str();
        return true;
    }
    if (VRS.REZSTRINGA.str() == VBR.REZERVA.str()) return true;
    message(kMismatch);
    return false;
}

std::string receiptCodeLookup() {
    FileUse uses{&VBRAT};
    if (!findReceiptCode()) return "";
    if (VRS.REZSTRINGA.empty()) VRS.REZSTRINGA = VBR.REZERVA.str();
    else if (VRS.REZSTRINGA.str() != VBR.REZERVA.str()) message(kMismatch);
    return VBR.NAZIV.str();
}

bool receiptCodeKnown() {
    FileUse uses{&VBRAT};
    return findReceiptCode();
}

bool nonTaxableAllowed() {
    if (!VRS.REZSTRINGA.empty() && !(VRS.REZSTRINGA == "00")) {
        message("Oznaka stjecatelja nije ispravna za neoporezivi primitak!");
        return false;
    }
    if (!VRS.REZSTRINGB.empty() && VRS.REZSTRINGB.str().rfind("0000", 0) != 0) {
        message("Oznaka primitka mora biti 0000 za neoporezivi primitak!");
        return false;
    }
    return true;
}

bool nonTaxableKnown() {
    FileUse uses{&NEOPOREZ};
    return findNonTaxable();
}

std::string nonTaxableName() {
    FileUse uses{&NEOPOREZ};
    return findNonTaxable() ? NEO.NAZIV.str() : "";
}

std::string nonTaxableLookup() {
    std::string name = nonTaxableName();
    VRS.REZSTRINGA = "00";
    VRS.REZSTRINGB = "0000";
    return name;
}

}  // namespace marel
