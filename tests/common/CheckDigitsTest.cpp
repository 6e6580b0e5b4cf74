#include "common/CheckDigits.h"

#include <gtest/gtest.h>

using namespace marel;

TEST(Mod11_10, CheckDigitOfBudgetAccounts) {
    EXPECT_EQ(mod11_10CheckDigit("171231200"), 7);
    EXPECT_EQ(mod11_10CheckDigit("170131200"), 2);
    EXPECT_EQ(mod11_10CheckDigit("171091200"), 0);  // 11 - p is 10 here
    EXPECT_TRUE(mod11_10Valid("1712312007"));
    EXPECT_FALSE(mod11_10Valid("1712312008"));
    EXPECT_EQ(mod11_10CheckDigit("17a"), -1);
    EXPECT_EQ(mod11_10CheckDigit(""), -1);
    EXPECT_FALSE(mod11_10Valid("7"));
}

TEST(HrIban, CheckDigitsOfBankAndAccount) {
    EXPECT_EQ(hrIban("1234567", "1234567890"), "HR3512345671234567890");
    EXPECT_EQ(ibanCheckDigits("12345670000000003"), "08");  // leading zero kept
    EXPECT_EQ(hrIban("1001005", "1712312007"), "HR1810010051712312007");
    EXPECT_EQ(ibanCheckDigits("1234567123456789O"), "");  // a letter O, not a zero
    EXPECT_EQ(hrIban("123456", "1234567890"), "");
    EXPECT_EQ(hrIban("1234567", "12345"), "");
}

TEST(RevenueAndMunicipalityCodes, CheckDigits) {
    for (const char* code : {"1945", "1910", "8176", "2291", "8540", "1880", "8168", "2283", "8486", "8753"})
        EXPECT_EQ(revenueCodeCheckDigit(std::string_view(code).substr(0, 3)), code[3] - '0') << code;
    for (const char* code : {"01333", "04090", "03123", "03735", "00884", "00019", "00027", "05509"})
        EXPECT_EQ(municipalityCodeCheckDigit(std::string_view(code).substr(0, 4)), code[4] - '0') << code;
    EXPECT_EQ(revenueCodeCheckDigit("19"), -1);
    EXPECT_EQ(municipalityCodeCheckDigit("01x3"), -1);
}

TEST(BudgetTaxAccount, ReproducesPublishedMunicipalityIbans) {
    struct Known {
        const char* digits;
        const char* iban;
    };
    for (auto [digits, iban] : {Known{"133", "HR1110010051713312009"}, Known{"001", "HR1910010051700112008"},
                                Known{"409", "HR2710010051740912004"}, Known{"002", "HR8410010051700212009"},
                                Known{"550", "HR8710010051755012008"}}) {
        std::string account = budgetTaxAccount(digits);
        EXPECT_EQ(hrIban(kBudgetBank, account), iban) << digits;
    }
    EXPECT_EQ(budgetTaxAccount("13"), "");
}

TEST(MunicipalityAccount, BuildsAccountAndIbanFromTheTypedCode) {
    auto r = municipalityAccount("1234", MunicipalityAccountRule::WithIban);
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(r.account, "1712312007");
    EXPECT_EQ(r.rkont, "HR18");

    r = municipalityAccount("0133", MunicipalityAccountRule::WithIban);
    EXPECT_EQ(r.rkont + std::string(kBudgetBank) + r.account, "HR2410010051701312002");
    r = municipalityAccount("1095", MunicipalityAccountRule::WithIban);
    EXPECT_EQ(r.rkont + std::string(kBudgetBank) + r.account, "HR8310010051710912000");
    EXPECT_EQ(municipalityTaxAccount("012"), "1701212003");  // three digits are enough here
}

TEST(MunicipalityAccount, RefusesCodesWithTheFormsMessages) {
    const std::string tooShort = "Unesi četveroznamenkastu shifru grada ili barem prve tri znamenke";
    auto full = [](std::string_view code) { return municipalityAccount(code, MunicipalityAccountRule::WithIban); };
    EXPECT_EQ(full("").message, "Unesi šifru općine/grada");
    EXPECT_EQ(full("   ").message, "Unesi šifru općine/grada");
    EXPECT_EQ(full("12a4").message, "Unesi brojčanu šifru");
    EXPECT_EQ(full("12").message, tooShort);
    EXPECT_EQ(full("12").account, "");
    EXPECT_EQ(full("0099").account, "1700912001");  // four digits pass here
    EXPECT_EQ(municipalityTaxAccount("12"), "");

    // The chooser's form asks for a value above 99 and builds the account only.
    auto chooser = [](std::string_view code) { return municipalityAccount(code, MunicipalityAccountRule::AccountOnly); };
    EXPECT_EQ(chooser("0099").message, tooShort);
    EXPECT_EQ(chooser("012").message, tooShort);
    EXPECT_EQ(chooser("").message, "Unesi šifru općine/grada");
    EXPECT_EQ(chooser("x").message, "Unesi brojčanu šifru");
    auto r = chooser("0100");
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(r.account, "1701012009");
    EXPECT_EQ(r.rkont, "");  // left as it was
    EXPECT_EQ(chooser("100").account, "1710012003");
}

TEST(Oib, ElevenDigitsWithTheirCheckDigit) {
    EXPECT_TRUE(oibValid("69435151530"));
    EXPECT_TRUE(oibValid("12345678903"));
    EXPECT_FALSE(oibValid("12345678904"));   // one digit mistyped
    EXPECT_FALSE(oibValid("21345678903"));   // two digits swapped
    EXPECT_FALSE(oibValid("1234567890"));    // ten digits
    EXPECT_FALSE(oibValid("123456789030"));  // twelve
    EXPECT_FALSE(oibValid("1234567890a"));
    EXPECT_FALSE(oibValid(""));
}

TEST(MunicipalityCode, ExactlyFourDigits) {
    EXPECT_TRUE(municipalityCodeValid("0133"));
    EXPECT_FALSE(municipalityCodeValid("133"));
    EXPECT_FALSE(municipalityCodeValid("01333"));
    EXPECT_FALSE(municipalityCodeValid("13a3"));
    EXPECT_FALSE(municipalityCodeValid(""));
}
