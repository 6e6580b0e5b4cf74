#include "codelists/Municipalities.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

class MunicipalityRules : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&OPCINE, &MJESTA});
        OPCINE.clear();
        MJESTA.clear();
    }
    std::string iban() const { return OPC.RKONT.str() + std::string(kBudgetBank) + OPC.RACUNPOREZ.str(); }
};

}  // namespace

TEST_F(MunicipalityRules, RefusedCodeIsClearedAndTheAccountKept) {
    OPC.RACUNPOREZ = "1712312007";
    OPC.RKONT = "HR18";
    OPC.SHIFRA = "12";
    EXPECT_FALSE(municipalityAccountRule(MunicipalityAccountRule::WithIban));
    EXPECT_EQ(ask.last().text, "Unesi četveroznamenkastu shifru grada ili barem prve tri znamenke");
    EXPECT_EQ(OPC.SHIFRA, "");
    EXPECT_EQ(iban(), "HR1810010051712312007");

    OPC.SHIFRA = "0099";  // four characters, but the value is below 100
    EXPECT_FALSE(municipalityAccountRule(MunicipalityAccountRule::AccountOnly));
    EXPECT_EQ(OPC.SHIFRA, "");
    OPC.SHIFRA = "12a4";
    EXPECT_FALSE(municipalityAccountRule(MunicipalityAccountRule::AccountOnly));
    EXPECT_EQ(ask.last().text, "Unesi brojčanu šifru");
}

TEST_F(MunicipalityRules, SurtaxRateStepsByWholePointsAndNeverBelowZero) {
    OPC.STOPAPRIREZA = Decimal::parse("12.50");
    stepSurtaxRate(1);
    EXPECT_EQ(Decimal(OPC.STOPAPRIREZA), Decimal::parse("13.50"));
    for (int i = 0; i < 14; ++i) stepSurtaxRate(-1);
    EXPECT_EQ(Decimal(OPC.STOPAPRIREZA), Decimal(0));
    OPC.STOPAPRIREZA = Decimal::parse("99999.5");
    stepSurtaxRate(1);  // would not fit the field
    EXPECT_EQ(Decimal(OPC.STOPAPRIREZA), Decimal::parse("99999.5"));
}

TEST_F(MunicipalityRules, PlaceNeedsAMunicipalityThatIsFoundByNumber) {
    MJE.OPCINA = 0;
    EXPECT_FALSE(placeMunicipalityChosen());
    EXPECT_EQ(ask.last().text, "Morate odabrati općinu");
    MJE.OPCINA = 7;
    EXPECT_FALSE(placeMunicipalityChosen());  // no such municipality
    EXPECT_EQ(ask.messages.size(), 2u);

    OPC.OZNAKA = 7;
    OPC.NAZIV = "Samobor";
    ASSERT_EQ(OPCINE.add(), 0);
    EXPECT_TRUE(placeMunicipalityChosen());
    EXPECT_EQ(municipalityName(7), "Samobor");
    EXPECT_EQ(municipalityName(8), "");
    EXPECT_EQ(OPC.NAZIV, "");
}

TEST_F(MunicipalityRules, OnlyAFourDigitCodeIsSaved) {
    for (const char* wrong : {"133", "", "13a3"}) {
        SCOPED_TRACE(wrong);
        OPC.SHIFRA = wrong;
        ask.messages.clear();
        EXPECT_FALSE(municipalityCodeOk());
        EXPECT_EQ(ask.texts(), std::vector<std::string>{"Šifra grada/općine mora imati točno četiri znamenke."});
    }
    OPC.SHIFRA = "0133";
    EXPECT_TRUE(municipalityCodeOk());
}
