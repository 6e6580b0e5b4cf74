#pragma once
// The checks of the code-list forms, apart from their windows: the IBAN check
// digits of a payer's or recipient's account, and the consistency of an income
// type's JOPPD codes.
#include <string>

#include "store/Layout.h"

namespace marel {

// "HR" + the two IBAN check digits of an account at a bank; empty when the
// bank is not found (the form then changes nothing) or the digits are not digits.
std::string ibanPrefix(USHORT bank, const std::string& account);

// The income type in the VRSTEDOH buffer: its acquirer code, receipt code and
// non-taxable receipt must agree. Shows the form's messages; true when the
// record may be saved (a blank acquirer code may be filled from the code table).
bool KONTROLA_VRSTEDOH();

// Receipt-code lookup of the income-type form: the description of the code in
// VRS:REZSTRINGB (empty when unknown). Fills a blank acquirer code from the
// code table, or warns when the two disagree.
std::string receiptCodeLookup();
// Non-taxable-receipt lookup after the choice: the receipt's description; forces
// the acquirer code "00" and the receipt code "0000". `allowed` is false (and a
// message shown) when the type's codes do not permit a non-taxable receipt.
bool nonTaxableAllowed();
std::string nonTaxableLookup();

}  // namespace marel
