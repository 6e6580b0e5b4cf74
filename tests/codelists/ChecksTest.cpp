#include "codelists/Checks.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {
class IncomeTypeChecks : public marel::test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&VBRAT, &NEOPOREZ, &VRSTEDOH, &BANKE});
        VBRAT.clear();
        VBR.OZNAKA = 1;
        VBR.SHIFRA = "4030";
        VBR.REZERVA = "02";
        VBR.NAZIV = "Ugovor o djelu";
        ASSERT_EQ(VBRAT.add(), 0);
        NEOPOREZ.clear();
        NEO.OZNAKA = 1;
        NEO.SHIFRA = 17;
        NEO.NAZIV = "Dnevnice";
        ASSERT_EQ(NEOPOREZ.add(), 0);
        VRSTEDOH.clear();
    }
};
}  // namespace

TEST_F(IncomeTypeChecks, NonTaxableTypeNeedsItsReceiptAndCode0000) {
    VRS.REZSTRINGA = "00";
    EXPECT_FALSE(KONTROLA_VRSTEDOH());
    EXPECT_EQ(ask.last().text,
              "Oznaka stjecatelja je neoporezivi primitak, a nije odabrana oznaka neoporezivog primitka");
    VRS.REZDECIMALA = 17;
    VRS.REZSTRINGB = "4030";
    EXPECT_FALSE(KONTROLA_VRSTEDOH());
    VRS.REZSTRINGB = "0000";
    EXPECT_TRUE(KONTROLA_VRSTEDOH());
}

TEST_F(IncomeTypeChecks, TaxableTypeTakesOrChecksTheAcquirerOfItsReceiptCode) {
    VRS.REZSTRINGB = "9999";
    EXPECT_TRUE(KONTROLA_VRSTEDOH());  // saved, but the user is told
    EXPECT_EQ(ask.last().text, "Nije odabrana oznaka primitka");
    VRS.REZSTRINGB = "4030";
    EXPECT_TRUE(KONTROLA_VRSTEDOH());
    EXPECT_EQ(VRS.REZSTRINGA.str(), "02");
    VRS.REZSTRINGA = "01";
    EXPECT_FALSE(KONTROLA_VRSTEDOH());
    EXPECT_EQ(ask.last().text, "Upozorenje - oznake stjecatelja i primitka\nnisu usklađene!");
    VRS.REZSTRINGA = "02";
    VRS.REZDECIMALA = 17;
    EXPECT_FALSE(KONTROLA_VRSTEDOH());
}

TEST_F(IncomeTypeChecks, PickingANonTaxableReceiptForcesItsCodes) {
    VRS.REZSTRINGA = "02";
    EXPECT_FALSE(nonTaxableAllowed());
    EXPECT_EQ(ask.last().text, "Oznaka stjecatelja nije ispravna za neoporezivi primitak!");
    VRS.REZSTRINGA = "";
    VRS.REZSTRINGB = "4030";
    EXPECT_FALSE(nonTaxableAllowed());
    VRS.REZSTRINGB = "";
    EXPECT_TRUE(nonTaxableAllowed());
    VRS.REZDECIMALA = 17;
    EXPECT_EQ(nonTaxableLookup(), "Dnevnice");
    EXPECT_EQ(VRS.REZSTRINGA.str(), "00");
    EXPECT_EQ(VRS.REZSTRINGB.str(), "0000");
}

TEST_F(IncomeTypeChecks, IbanCheckDigitsOnlyWhenTheBankExists) {
    BANKE.clear();
    BAN.OZNAKA = 1;
    BAN.VODECIBROJ = "1234567";
    ASSERT_EQ(BANKE.add(), 0);
    EXPECT_EQ(ibanPrefix(1, "1234567890"), "HR35");
    EXPECT_EQ(ibanPrefix(1, "0000000003"), "HR08");
    EXPECT_EQ(ibanPrefix(2, "1234567890"), "");
}

TEST_F(IncomeTypeChecks, ANonTaxableCodeOutsideTheTableIsNoneOfItsCodes) {
    VRS.REZDECIMALA = 17;
    EXPECT_TRUE(nonTaxableKnown());
    EXPECT_EQ(nonTaxableName(), "Dnevnice");
    EXPECT_EQ(VRS.REZSTRINGA.str(), "");  // only looked up, nothing forced
    // 65553 = 65536 + 17: read as a short it would land on receipt 17.
    for (const char* code : {"65553", "18", "0", "-17"}) {
        VRS.REZDECIMALA = Decimal::parse(code);
        EXPECT_FALSE(nonTaxableKnown()) << code;
        EXPECT_EQ(nonTaxableName(), "") << code;
    }
}
