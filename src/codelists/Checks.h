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
// Is VRS:REZSTRINGB (its first ten characters) a code of the JOPPD code table?
bool receiptCodeKnown();

// May the type take a non-taxable receipt? False, with the form's message,
// when its acquirer code or receipt code says it is taxable.
bool nonTaxableAllowed();
// Is VRS:REZDECIMALA a code of the non-taxable receipts table?
bool nonTaxableKnown();
// The description of the non-taxable receipt in VRS:REZDECIMALA, empty when
// there is none; changes nothing else.
std::string nonTaxableName();
// Non-taxable-receipt lookup after the choice: the receipt's description; forces
// the acquirer code "00" and the receipt code "0000".
std::string nonTaxableLookup();

}  // namespace marel
