#pragma once
// Payments: the report identifier a payment carries, the date a new payment
// is offered, the reporting month of the payment screen, the JOPPD form row
// of a payment and the copy of a whole payment with its income lines.
//
// The routines work on the record buffers as the payment screens do
// (ISP for the payment, JOPO for the form row); the files must be open.
#include <string>

#include "common/Date.h"
#include "common/Text.h"
#include "store/Layout.h"

namespace marel {

// "YYDDD" of a date: the last two digits of its year and its day of the year
// (1 January = 001). Empty for no date or a year outside 2000..2099, which no
// five-digit identifier can name.
std::string reportDay(Date d);

// LOCDAN: LOC:DAN from ISP:DATUM, and ISP:RSID from it when the date is in
// 2014 or later; payments of earlier years keep the identifier they were
// declared with. Returns LOC:DAN.
std::string LOCDAN();

// A new payment of the payer in ISP:ISPLATITELJ: from `from` on, the first day
// on which this payer has no payment with that day's identifier. Sets
// ISP:DATUM, ISP:RSID and ISP:GODINA to that day and clears ISP:BILJESKE;
// returns LOC:DAN. ISPLATE must be open.
std::string primeNewPayment(Date from);

// Numeric-pad + and - in the reporting month: 12 + 1 is 1 of the next year,
// 1 - 1 is 12 of the year before. A month that is no month of the year
// starts from the nearest one.
void stepMonth(String<2>& month, String<4>& year, int delta);
// + and - in the year.
void stepYear(String<4>& year, int delta);

// UJEDI: a random identifier in the text form of a version-4 UUID,
// "xxxxxxxx-xxxx-4xxx-Yxxx-xxxxxxxxxxxx" with Y one of 8, 9, a, b.
std::string UJEDI();

// The JOPPD form row of payment `payment` with ordinal 1 and a new unique
// identifier; the compiler's name and e-mail carry over from the last row.
// False when the payment has that row already (nothing is added).
bool createJoppdRow(LONG payment, const std::string& ujed);

// The messages of the payment screen's form-row button.
extern const char* const kJoppdRowExists;
extern const char* const kJoppdRowCreated;

// The payment number that follows the last one (1 in an empty file); the
// buffer is left as it was.
LONG nextPaymentNumber();

enum class CopyResult {
    Done,             // the new payment with every line
    PaymentRejected,  // its number or identifier is taken: nothing written
    Failed,           // a line could not be written: nothing written
};

// DUPLIKAT's "NAPRAVI NOVU": a new payment numbered `to` with the payer,
// identifier, date and year in the ISP buffer and empty notes, and a copy of
// every income line of payment `from` (numbered on from the last income
// line, ordinal, recipient, income type and net unchanged) with copies of its
// calculation lines. Payment methods and JOPPD rows stay with the original.
// All or nothing. DOHOCI, ISPLATE and OBRACUN must be open.
CopyResult copyPayment(LONG from, LONG to);

}  // namespace marel
