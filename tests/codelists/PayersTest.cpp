#include "codelists/Payers.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

class PayerRules : public marel::test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&SUBJEKTI, &MJESTA, &ULICE, &BANKE});
        addBank(1, "Hrvatska narodna banka", "1001005");
        addBank(2, "Zagrebačka banka", "2360000");
        addBank(3, "Banka s krivim brojem", "23600");
        MJESTA.clear();
        MJE.OZNAKA = 7;
        MJE.NAZIV = "Zagreb";
        ASSERT_EQ(MJESTA.add(), 0);
        ULICE.clear();
        ULI.OZNAKA = 4;
        ULI.NAZIV = "Ilica";
        ASSERT_EQ(ULICE.add(), 0);
        SUBJEKTI.clear();
    }
    static void addBank(USHORT number, const char* name, const char* leading) {
        BANKE.clear();
        BAN.OZNAKA = number;
        BAN.NAZIV = name;
        BAN.VODECIBROJ = leading;
        ASSERT_EQ(BANKE.add(), 0);
    }
};

}  // namespace

TEST_F(PayerRules, CheckDigitsMakeWholeCroatianIbans) {
    // Accounts whose IBANs are published, and the two cases of the recipient form.
    SUB.BANKA = 1;
    SUB.RACUN = "1863000160";
    EXPECT_TRUE(KONTROLA_SUBJEKTI());
    EXPECT_EQ(SUB.RKONT.str() + BAN.VODECIBROJ.str() + SUB.RACUN.str(), "HR1210010051863000160");
    SUB.BANKA = 2;
    SUB.RACUN = "1101234565";
    EXPECT_TRUE(KONTROLA_SUBJEKTI());
    EXPECT_EQ(SUB.RKONT.str() + BAN.VODECIBROJ.str() + SUB.RACUN.str(), "HR1723600001101234565");
    addBank(4, "Probna banka", "1234567");
    EXPECT_EQ(accountIban(4, "1234567890").rkont, "HR35");
    EXPECT_EQ(accountIban(4, "0000000003").rkont, "HR08");  // a leading zero below ten
    EXPECT_TRUE(ask.messages.empty());
}

TEST_F(PayerRules, AnUnknownBankChangesNothingAndAPartialNumberIsRefused) {
    SUB.RKONT = "HR99";
    SUB.BANKA = 9;
    SUB.RACUN = "1863000160";
    EXPECT_TRUE(KONTROLA_SUBJEKTI());
    EXPECT_EQ(SUB.RKONT, "HR99");
    EXPECT_TRUE(ask.messages.empty());

    // Check digits over a short or mistyped account would fit no account at all.
    SUB.BANKA = 1;
    for (const char* account : {"186300016", "18630001a0", " 863000160"}) {
        SUB.RACUN = account;
        EXPECT_FALSE(KONTROLA_SUBJEKTI()) << account;
        EXPECT_EQ(SUB.RKONT, "HR99") << account;
        EXPECT_EQ(ask.last().text, "Broj računa mora imati točno deset znamenki.");
    }
    SUB.BANKA = 3;
    SUB.RACUN = "1101234565";
    EXPECT_FALSE(KONTROLA_SUBJEKTI());
    EXPECT_EQ(ask.last().text,
              "Vodeći broj banke Banka s krivim brojem nema sedam znamenki.\n"
              "Ispravite ga u pregledu banaka pa ponovno potvrdite račun.");
    EXPECT_EQ(SUB.RKONT, "HR99");
}

TEST_F(PayerRules, LinksAreReadAfreshAndBlankWhenNotFound) {
    payerDefaults();
    EXPECT_EQ(SUB.TIP, "F");
    SUB.MJESTO = 7;
    SUB.ULICA = 4;
    SUB.BANKA = 2;
    PayerLinks found = readPayerLinks();
    EXPECT_TRUE(found.place && found.street && found.bank);
    EXPECT_EQ(MJE.NAZIV, "Zagreb");
    EXPECT_EQ(ULI.NAZIV, "Ilica");
    EXPECT_EQ(BAN.VODECIBROJ, "2360000");
    SUB.ULICA = 5;
    SUB.BANKA = 0;
    found = readPayerLinks();
    EXPECT_TRUE(found.place);
    EXPECT_FALSE(found.street || found.bank);
    EXPECT_TRUE(ULI.NAZIV.empty());
    EXPECT_TRUE(BAN.NAZIV.empty() && BAN.VODECIBROJ.empty());
}

TEST_F(PayerRules, OibInDoubtIsKeptOnlyWhenTheUserInsists) {
    SUB.OIB = "69435151530";
    EXPECT_TRUE(payerFormOk());
    SUB.OIB = "69435151531";
    EXPECT_FALSE(payerFormOk());
    EXPECT_EQ(ask.texts(), std::vector<std::string>{"OIB nije ispravan. Spremiti svejedno?"});
    ask.answers = {BUTTON_YES};
    EXPECT_TRUE(payerFormOk());
}
