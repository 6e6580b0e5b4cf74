#pragma once
// The transfers a payment calls for: the net to each recipient's account,
// the income tax with surtax of each taxed line to the municipality's tax
// account, and the contribution totals to the public accounts. Each transfer
// is one payment slip; the reports only lay them out.
#include <string>
#include <vector>

#include "common/Decimal.h"
#include "store/Layout.h"

namespace marel {

// The two slip forms differ in a few field widths and in the payee's model.
enum class SlipForm { Hub3, Hub3A };

// The payer's side, the same on every slip of a payment.
struct SlipPayer {
    std::string name;
    std::string address;   // street and house number
    std::string place;     // place name
    std::string postcode;  // for the barcode's place line
    std::string iban;
    std::string model = "HR99";
    std::string stub;      // name, place, street and number, for the stub
    std::string oib;       // trimmed
};

struct Transfer {
    enum Kind { Net, Tax, PensionI, PensionII, Health };
    Kind kind = Net;
    // The three payee lines as printed.
    std::string payee1, payee2, payee3;
    // The payee as the barcode names it. On the recipient's slip the first
    // printed line is his bank, which is not the payee.
    std::string payeeName, payeeStreet, payeePlace;
    std::string iban;
    std::string model;
    std::string reference;
    std::string description;
    Decimal amount;
    // Whose slip it is, as the check list names it: the recipient, the tax
    // of a recipient, or the public account.
    std::string whose;
};

struct PaymentSlips {
    LONG payment = 0;
    SlipPayer payer;
    std::vector<Transfer> transfers;
};

// NoneValid: read, but the check list stops every slip.
enum class SlipsRead { Done, NoPayment, ReadError, NoneValid };

// Reads the payment `payment` with its payer and income lines into `out`,
// one transfer per slip in print order. A missing payment gives NoPayment; a
// failed read of the lines has shown the standard warning and gives
// ReadError. A related record that is missing leaves its fields blank.
SlipsRead readPaymentSlips(LONG payment, SlipForm form, PaymentSlips& out);

}  // namespace marel
