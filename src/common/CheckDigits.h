#pragma once
// Check digits of the numbers the tax office and the banks verify: account
// numbers (ISO 7064 MOD 11,10), Croatian IBANs (ISO 13616, MOD 97), revenue codes
// and municipality codes. A wrong digit here sends money to the wrong account, so
// every function refuses text that is not made of decimal digits instead of
// guessing: the int functions give -1, the text functions "".
#include <string>
#include <string_view>

namespace marel {

// ISO 7064 MOD 11,10 check digit of a run of digits (at least one).
int mod11_10CheckDigit(std::string_view digits);
// The last digit is the MOD 11,10 check digit of the ones before it.
bool mod11_10Valid(std::string_view digitsWithCheck);

// An OIB as the tax authority issues it: eleven digits, the last the
// MOD 11,10 check digit of the ten before it.
bool oibValid(std::string_view oib);
// A municipality code as the data files keep it: exactly four digits.
bool municipalityCodeValid(std::string_view code);

// The two IBAN check digits ("08", "35") of a Croatian basic account number
// (the bank's seven-digit leading number followed by the ten-digit account).
std::string ibanCheckDigits(std::string_view bban);
// "HR" + check digits + bank + account; "" unless 7 and 10 digits are given.
std::string hrIban(std::string_view bank7, std::string_view account10);

// The fourth digit of a revenue code ("194" -> 5 for 1945).
int revenueCodeCheckDigit(std::string_view threeDigits);
// The fifth digit of a municipality code as the JOPPD form writes it ("0133" -> 3).
int municipalityCodeCheckDigit(std::string_view fourDigits);

// The leading number of the bank that keeps the budget accounts.
inline constexpr std::string_view kBudgetBank = "1001005";
// The ten-digit account of a municipality's income tax and surtax:
// "17" + three digits + "1200" + MOD 11,10 check digit.
std::string budgetTaxAccount(std::string_view threeDigits);

// The municipality form's rule for its tax account, from the code the user typed.
enum class MunicipalityAccountRule {
    WithIban,     // UPISOPCINE: at least three digits; the account and its IBAN check digits
    AccountOnly,  // UPISIZODABIRAOPCINE: a value above 99; the account only
};
struct MunicipalityAccount {
    std::string message;  // to show the user; empty when the code is accepted
    std::string account;  // OPC:RACUNPOREZ; empty when refused
    std::string rkont;    // OPC:RKONT ("HR18"); empty when refused or not asked for
    // A refused code is cleared by the form.
    bool accepted() const { return message.empty(); }
};
MunicipalityAccount municipalityAccount(std::string_view code, MunicipalityAccountRule rule);
// The account of a four-digit code under the WithIban rule; "" when refused.
std::string municipalityTaxAccount(std::string_view code4);

}  // namespace marel
