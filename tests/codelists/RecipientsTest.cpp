#include "codelists/Recipients.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {
class Recipients : public marel::test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        openFiles({&OSOBE, &BANKE, &ULICE, &MJESTA, &OPCINE});
        BANKE.clear();
        BAN.OZNAKA = 5;
        BAN.NAZIV = "Testna banka";
        BAN.VODECIBROJ = "1234567";
        ASSERT_EQ(BANKE.add(), 0);
        OPCINE.clear();
        OPC.OZNAKA = 3;
        OPC.NAZIV = "Zagreb";
        OPC.SHIFRA = "0133";
        OPC.STOPAPRIREZA = Decimal::parse("18");
        ASSERT_EQ(OPCINE.add(), 0);
        MJESTA.clear();
        MJE.OZNAKA = 7;
        MJE.NAZIV = "Sesvete";
        MJE.OPCINA = 3;
        ASSERT_EQ(MJESTA.add(), 0);
        ULICE.clear();
        ULI.OZNAKA = 2;
        ULI.NAZIV = "Ilica";
        ASSERT_EQ(ULICE.add(), 0);
        OSOBE.clear();
    }
};
}  // namespace

TEST_F(Recipients, IbanCheckDigitsComeFromTheBanksLeadingNumberAndTheAccount) {
    OSO.BANKA = 5;
    OSO.RACUN = "1234567890";
    EXPECT_TRUE(KONTROLA_OSOBE());
    EXPECT_EQ(OSO.RKONT.str(), "HR35");
    OSO.RACUN = "0000000003";  // check digits below ten keep their leading zero
    EXPECT_TRUE(KONTROLA_OSOBE());
    EXPECT_EQ(OSO.RKONT.str(), "HR08");

    // An unknown bank or an account that is not a number changes nothing.
    OSO.BANKA = 6;
    OSO.RACUN = "1234567890";
    EXPECT_FALSE(KONTROLA_OSOBE());
    EXPECT_EQ(OSO.RKONT.str(), "HR08");
    OSO.BANKA = 5;
    OSO.RACUN = "12345-7890";
    EXPECT_FALSE(KONTROLA_OSOBE());
    EXPECT_EQ(OSO.RKONT.str(), "HR08");
}

TEST_F(Recipients, NewRecipientIsInPillarTwoAndWorksWhereHeLives) {
    recipientDefaults();
    EXPECT_EQ(OSO.DRUGISTUP.str(), "DA");
    EXPECT_EQ(OSO.FAX.str(), "NE");
    EXPECT_TRUE(OSO.FAKTORODBITKA.isZero());
    EXPECT_FALSE(worksInOtherMunicipality());
    OSO.FAX = "DA";
    EXPECT_TRUE(worksInOtherMunicipality());
}

TEST_F(Recipients, RelatedRecordsAreReadAfreshAndClearedWhenNotFound) {
    OSO.MJESTO = 7;
    OSO.ULICA = 2;
    OSO.BANKA = 5;
    readRecipientRelations();
    EXPECT_EQ(MJE.NAZIV.str(), "Sesvete");
    EXPECT_EQ(OPC.SHIFRA.str(), "0133");  // the municipality of the place
    EXPECT_EQ(ULI.NAZIV.str(), "Ilica");
    EXPECT_EQ(BAN.VODECIBROJ.str(), "1234567");

    OSO.MJESTO = 8;
    OSO.BANKA = 0;
    readRecipientRelations();
    EXPECT_TRUE(MJE.NAZIV.empty());
    EXPECT_TRUE(OPC.NAZIV.empty());  // no place, no municipality
    EXPECT_TRUE(BAN.NAZIV.empty());
    EXPECT_EQ(ULI.NAZIV.str(), "Ilica");

    OSO.MJESTO = 7;
    OSO.ULICA = 9;
    readPlaceAndStreet();
    EXPECT_EQ(MJE.NAZIV.str(), "Sesvete");
    EXPECT_TRUE(ULI.NAZIV.empty());
}

TEST_F(Recipients, ResidenceSaysWhichRecordIsMissingAndLeavesNothingStale) {
    MJESTA.clear();
    MJE.OZNAKA = 8;
    MJE.NAZIV = "Nigdje";
    MJE.OPCINA = 44;  // a municipality that is not in the table
    ASSERT_EQ(MJESTA.add(), 0);

    OSO.MJESTO = 7;
    EXPECT_EQ(readResidence(), Residence::Found);
    EXPECT_EQ(MJE.NAZIV.str(), "Sesvete");
    EXPECT_EQ(OPC.STOPAPRIREZA.value(), Decimal(18));

    // Zagreb's surtax must not survive into a place without a municipality.
    OSO.MJESTO = 8;
    EXPECT_EQ(readResidence(), Residence::NoMunicipality);
    EXPECT_EQ(MJE.NAZIV.str(), "Nigdje");
    EXPECT_TRUE(OPC.STOPAPRIREZA.isZero() && OPC.SHIFRA.empty());

    for (LONG place : {0, 99}) {
        OSO.MJESTO = place;
        EXPECT_EQ(readResidence(), Residence::NoPlace);
        EXPECT_TRUE(MJE.NAZIV.empty());
        EXPECT_TRUE(OPC.NAZIV.empty());
    }
}

TEST_F(Recipients, NameUnderTheListIsSurnameThenFirstName) {
    OSO.PREZIME = "Horvat";
    OSO.IME = "Ivan";
    EXPECT_EQ(PREZIMEIME(), "Horvat Ivan");
    OSO.IME = "";
    EXPECT_EQ(PREZIMEIME(), "Horvat");
}

// An OIB in doubt is kept only when the user says so; the default is No.
TEST_F(Recipients, OibInDoubtIsKeptOnlyWhenTheUserInsists) {
    OSO.OIB = "12345678903";
    EXPECT_TRUE(recipientFormOk());
    EXPECT_TRUE(ask.messages.empty());
    OSO.OIB = "";  // blank is the row build's business, not asked about here
    EXPECT_TRUE(recipientFormOk());
    EXPECT_TRUE(ask.messages.empty());

    for (const char* doubtful : {"1234567890", "12345678904"}) {
        SCOPED_TRACE(doubtful);
        OSO.OIB = doubtful;
        ask.messages.clear();
        EXPECT_FALSE(recipientFormOk());  // unscripted: the default button
        ASSERT_EQ(ask.messages.size(), 1u);
        EXPECT_EQ(ask.last().text, "OIB nije ispravan. Spremiti svejedno?");
        EXPECT_EQ(ask.last().defaultButton, BUTTON_NO);
        ask.answers = {BUTTON_YES};
        EXPECT_TRUE(recipientFormOk());
        EXPECT_EQ(OSO.OIB, doubtful);  // kept as typed
    }
}

TEST_F(Recipients, WorkMunicipalityCodeMustBeFourDigitsWhenAskedFor) {
    OSO.OIB = "12345678903";
    OSO.FAX = "DA";
    for (const char* wrong : {"409", "", "40a0"}) {
        SCOPED_TRACE(wrong);
        OSO.EMAIL = wrong;
        ask.messages.clear();
        EXPECT_FALSE(recipientFormOk());
        EXPECT_EQ(ask.texts(), std::vector<std::string>{"Šifra općine rada mora imati točno četiri znamenke."});
    }
    OSO.EMAIL = "4090";
    EXPECT_TRUE(recipientFormOk());
    // Not asked for: whatever is left in the field does not matter.
    OSO.FAX = "NE";
    OSO.EMAIL = "40";
    EXPECT_TRUE(recipientFormOk());
}
