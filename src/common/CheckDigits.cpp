#include "common/CheckDigits.h"

#include "common/Text.h"

#include <algorithm>

namespace marel {

namespace {
bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// (11 - weighted sum mod 11) mod 11, with 10 written as 0.
int weightedMod11(std::string_view digits, int firstWeight) {
    int sum = 0, w = firstWeight;
    for (char c : digits) sum += (c - '0') * w--;
    int k = (11 - sum % 11) % 11;
    return k == 10 ? 0 : k;
}
}  // namespace

int mod11_10CheckDigit(std::string_view digits) {
    if (!allDigits(digits)) return -1;
    int p = 10;
    for (char c : digits) {
        int s = (c - '0' + p) % 10;
        if (s == 0) s = 10;
        p = 2 * s % 11;
    }
    return p == 1 ? 0 : 11 - p;
}

bool mod11_10Valid(std::string_view digitsWithCheck) {
    if (digitsWithCheck.size() < 2 || !allDigits(digitsWithCheck)) return false;
    return mod11_10CheckDigit(digitsWithCheck.substr(0, digitsWithCheck.size() - 1)) ==
           digitsWithCheck.back() - '0';
}

bool oibValid(std::string_view oib) { return oib.size() == 11 && mod11_10Valid(oib); }

bool municipalityCodeValid(std::string_view code) { return code.size() == 4 && allDigits(code); }

std::string ibanCheckDigits(std::string_view bban) {
    if (!allDigits(bban)) return "";
    // "1727" stands for the letters HR and "00" for the check digits. The number
    // has more digits than any integer type holds, so it is reduced modulo 97
    // digit by digit, which is exact.
    int r = 0;
    for (char c : bban) r = (r * 10 + (c - '0')) % 97;
    for (char c : std::string_view("172700")) r = (r * 10 + (c - '0')) % 97;
    int kk = 98 - r;
    return {char('0' + kk / 10), char('0' + kk % 10)};
}

std::string hrIban(std::string_view bank7, std::string_view account10) {
    if (bank7.size() != 7 || account10.size() != 10) return "";
    std::string bban = std::string(bank7) + std::string(account10);
    std::string kk = ibanCheckDigits(bban);
    return kk.empty() ? "" : "HR" + kk + bban;
}

int revenueCodeCheckDigit(std::string_view threeDigits) {
    return threeDigits.size() == 3 && allDigits(threeDigits) ? weightedMod11(threeDigits, 4) : -1;
}

int municipalityCodeCheckDigit(std::string_view fourDigits) {
    return fourDigits.size() == 4 && allDigits(fourDigits) ? weightedMod11(fourDigits, 5) : -1;
}

std::string budgetTaxAccount(std::string_view threeDigits) {
    if (threeDigits.size() != 3 || !allDigits(threeDigits)) return "";
    std::string base = "17" + std::string(threeDigits) + "1200";
    return base + char('0' + mod11_10CheckDigit(base));
}

MunicipalityAccount municipalityAccount(std::string_view code, MunicipalityAccountRule rule) {
    const std::string typed = rtrim(code);
    const bool numeric = allDigits(typed);
    const char* tooShort = "Unesi četveroznamenkastu shifru grada ili barem prve tri znamenke";
    if (!numeric) return {typed.empty() ? "Unesi šifru općine/grada" : "Unesi brojčanu šifru", "", ""};
    const size_t significant = typed.size() - std::min(typed.size(), typed.find_first_not_of('0'));
    if (rule == MunicipalityAccountRule::WithIban ? typed.size() < 3 : significant < 3)  // value at most 99
        return {tooShort, "", ""};
    MunicipalityAccount r;
    r.account = budgetTaxAccount(std::string_view(typed).substr(0, 3));
    if (rule == MunicipalityAccountRule::WithIban) r.rkont = "HR" + ibanCheckDigits(std::string(kBudgetBank) + r.account);
    return r;
}

std::string municipalityTaxAccount(std::string_view code4) {
    return municipalityAccount(code4, MunicipalityAccountRule::WithIban).account;
}

}  // namespace marel
