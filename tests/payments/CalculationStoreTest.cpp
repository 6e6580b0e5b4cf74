#include "payments/Calculation.h"
#include "support/StoreFixture.h"

using namespace marel;
using marel::test::StoreFixture;

TEST_F(StoreFixture, RatesComeFromTheRecipientsMunicipalityAndMissingOnesCountAsZero) {
    openFiles({&OSOBE, &MJESTA, &OPCINE, &VRSTEDOH, &OBRACUN});
    OPCINE.clear();
    OPC.OZNAKA = 1;
    OPC.STOPAPRIREZA = Decimal(18);
    ASSERT_EQ(OPCINE.add(), 0);
    MJESTA.clear();
    MJE.OZNAKA = 4;
    MJE.OPCINA = 1;
    ASSERT_EQ(MJESTA.add(), 0);
    OSOBE.clear();
    OSO.OZNAKA = 7;
    OSO.MJESTO = 4;
    OSO.DRUGISTUP = "NE";
    ASSERT_EQ(OSOBE.add(), 0);
    VRSTEDOH.clear();
    VRS.OZNAKA = 2;
    VRS.POREZNASTOPA = Decimal(25);
    VRS.VISESTOPA = "DA";
    ASSERT_EQ(VRSTEDOH.add(), 0);

    CalcInput in = loadCalcInput(7, 2);
    EXPECT_EQ(in.surtaxRate, Decimal(18));
    EXPECT_EQ(in.taxRate, Decimal(25));
    EXPECT_TRUE(in.notInPillarII);
    EXPECT_TRUE(in.severalRates);

    CalcInput none = loadCalcInput(99, 99);
    EXPECT_TRUE(none.surtaxRate.isZero() && none.taxRate.isZero() && !none.notInPillarII);
    EXPECT_TRUE(OSO.OZNAKA == 7 && VRS.OZNAKA == 2);  // read as values: the screens' buffers stay as they were

    // Twelve lines written, then rewritten; the bracket routine only rewrites.
    CalcResult r = IZRACUN(Decimal(100), in, 2014);
    ASSERT_EQ(storePositions(5, r, true), 0);
    ASSERT_EQ(storePositions(5, r, true), 0);
    EXPECT_EQ(OBRACUN.records(), 12);
    ASSERT_EQ(storePositions(6, r, false), 0);
    EXPECT_EQ(OBRACUN.records(), 12);
    OBRACUN.clear();
    OBR.DOHODAK = 5;
    OBR.POZICIJA = POZ_NETO;
    ASSERT_EQ(OBRACUN.get(OBRACUN.KEYDOHPOZ), 0);
    EXPECT_EQ(OBR.IZNOS.value().toString(2), "100.00");
}
