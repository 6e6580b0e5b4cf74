#include "payments/IncomeLine.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

// The supplied reference tables, a town with 18 % surtax and one without,
// two recipients and an income type taxed by the brackets (code 20).
class IncomeLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        ASSERT_EQ(Store::main().open(folder.str(), suppliedDataDir()), 0) << storeErrorText();
        for (DataFile* f : {(DataFile*)&OSOBE, (DataFile*)&MJESTA, (DataFile*)&OPCINE, (DataFile*)&VRSTEDOH,
                            (DataFile*)&OBRACUN, (DataFile*)&SVASTA, (DataFile*)&DOHOCI})
            ASSERT_EQ(useFile(*f), 0);
        town(1, "0133", "18.00");
        town(2, "0000", "0.00");
        recipient(1, "Ivan", "Horvat", 1, "DA");
        recipient(2, "Ana", "Kovač", 2, "NE");
        VRSTEDOH.clear();
        VRS.OZNAKA = 20;
        VRS.NAZIV = "Drugi dohodak po stopama";
        VRS.VISESTOPA = "DA";
        VRS.OSOBNIODBITAK = Decimal::parse("2200.00");
        ASSERT_EQ(VRSTEDOH.add(), 0);
    }
    void TearDown() override {
        setPrompter(nullptr);
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Store::main().close();
    }
    static void town(LONG n, const char* code, const char* surtax) {
        OPCINE.clear();
        OPC.OZNAKA = n;
        OPC.SHIFRA = code;
        OPC.STOPAPRIREZA = Decimal::parse(surtax);
        ASSERT_EQ(OPCINE.add(), 0);
        MJESTA.clear();
        MJE.OZNAKA = n;
        MJE.OPCINA = n;
        ASSERT_EQ(MJESTA.add(), 0);
    }
    static void recipient(LONG n, const char* first, const char* last, LONG place, const char* pillarII) {
        OSOBE.clear();
        OSO.OZNAKA = n;
        OSO.IME = first;
        OSO.PREZIME = last;
        OSO.MJESTO = place;
        OSO.DRUGISTUP = pillarII;
        OSO.OIB = std::to_string(10000000000 + n);
        OSO.FAKTORODBITKA = 1;
        ASSERT_EQ(OSOBE.add(), 0);
    }
    static std::string amount(LONG line, Pozicija position) {
        OBRACUN.clear();
        OBR.DOHODAK = line;
        OBR.POZICIJA = position;
        return OBRACUN.get(OBRACUN.KEYDOHPOZ) == 0 ? OBR.IZNOS.value().toString(2) : "(none)";
    }
    static std::vector<std::string> positions(LONG line) {
        std::vector<std::string> out;
        for (int p = POZ_BRUTO; p <= POZ_ZADNJA_OBRACUNA; ++p) out.push_back(amount(line, Pozicija(p)));
        return out;
    }
    static CalcBasis basis(LONG recipient, BYTE type, const char* net) { return {recipient, type, Decimal::parse(net)}; }

    test::TempFolder folder;
    ScriptedPrompter ask;
};

TEST_F(IncomeLineTest, ANewLineStartsWithTwelveZeroLinesThatTheCalculationRewrites) {
    ASSERT_EQ(addZeroPositions(7), 0);
    EXPECT_EQ(OBRACUN.records(), 12);
    EXPECT_EQ(positions(7), std::vector<std::string>(12, "0.00"));

    // An author's fee in the town with 18 % surtax.
    LineCalculation c = calculateFromNet(7, basis(1, 4, "694.80"), 2014);
    ASSERT_TRUE(c.ok()) << c.result.error;
    EXPECT_TRUE(c.notes.empty());
    EXPECT_EQ(positions(7), (std::vector<std::string>{"1000.00", "0.00", "300.00", "700.00", "105.00", "35.00",
                                                      "560.00", "140.00", "25.20", "694.80", "105.00", "0.00"}));
    EXPECT_EQ(OBRACUN.records(), 12);  // rewritten, not added again
    LineTotals t;
    ASSERT_TRUE(lineTotals(7, t));
    EXPECT_EQ(t.gross.value().toString(2), "1000.00");
    EXPECT_EQ(t.taxAndSurtax.value().toString(2), "165.20");

    // The same from the gross gives the net it pays out.
    c = calculateFromGross(7, basis(1, 4, "0.00"), Decimal::parse("1000.00"), 2014);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.net.value().toString(2), "694.80");
    EXPECT_EQ(amount(7, POZ_NETO), "694.80");

    // Outside pillar II, in a town without surtax: position 6 is 0, pillar I
    // holds both (250.00 + 83.33). Income 1333.34, tax 333.335 -> 333.34, surtax
    // 333.335 - 333.34 -> -0.01 goes into the tax; the gross is rebuilt from the parts.
    c = calculateFromNet(7, basis(2, 1, "1000.00"), 2014);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(positions(7), (std::vector<std::string>{"1666.66", "0.00", "0.00", "1666.66", "333.33", "0.00",
                                                      "1333.33", "333.33", "0.00", "1000.00", "250.00", "0.00"}));
}

TEST_F(IncomeLineTest, TheBracketsOnlyRewriteAndIgnoreAGrossTyped) {
    // Without the twelve lines of a new income line nothing is written.
    LineCalculation c = calculateFromNet(8, basis(1, 20, "6000.00"), 2014);
    ASSERT_TRUE(c.ok());
    EXPECT_TRUE(c.severalRates);
    EXPECT_EQ(OBRACUN.records(), 0);

    ASSERT_EQ(addZeroPositions(8), 0);
    c = calculateFromGross(8, basis(2, 20, "6000.00"), Decimal::parse("99999.00"), 2014);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.net.value().toString(2), "6000.00");
    // No surtax in town 2: as the bracket example, gross 6885.33, allowance 2200.00 used.
    EXPECT_EQ(positions(8), (std::vector<std::string>{"6885.33", "0.00", "0.00", "6885.33", "0.00", "0.00",
                                                      "6885.33", "885.33", "0.00", "6000.00", "0.00", "2200.00"}));

    // At or below the allowance: no tax, the allowance used is the net.
    ASSERT_TRUE(calculateFromNet(8, basis(1, 20, "1800.00"), 2014).ok());
    EXPECT_EQ(amount(8, POZ_OSOBNIODBITAK), "1800.00");
    EXPECT_EQ(amount(8, POZ_POREZ), "0.00");
    EXPECT_EQ(amount(8, POZ_PRIREZ), "0.00");
    EXPECT_EQ(amount(8, POZ_BRUTO), "1800.00");
}

TEST_F(IncomeLineTest, MissingRecordsCountAsZeroWithANoteAndNoRecipientIsRefused) {
    ASSERT_EQ(addZeroPositions(9), 0);
    LineCalculation c = calculateFromNet(9, basis(0, 4, "100.00"), 2014);
    EXPECT_EQ(c.result.error, "Odaberi djelatnika");
    EXPECT_EQ(amount(9, POZ_NETO), "0.00");

    recipient(3, "Marko", "Babić", 99, "");  // a place that is not in the table
    c = calculateFromNet(9, basis(3, 3, "75.00"), 2014);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.notes, std::vector<std::string>{
                           "Mjesto stanovanja djelatnika ne postoji u šifrarniku: prirez je obračunat po stopi 0."});
    EXPECT_EQ(amount(9, POZ_BRUTO), "100.00");  // 25 % tax, no surtax
    EXPECT_EQ(amount(9, POZ_PRIREZ), "0.00");

    c = calculateFromNet(9, basis(44, 77, "75.00"), 2014);
    ASSERT_TRUE(c.ok());
    ASSERT_EQ(c.notes.size(), 2u);
    EXPECT_EQ(c.notes[1], "Vrsta dohotka ne postoji u šifrarniku: sve njezine stope obračunate su kao 0.");
    EXPECT_EQ(amount(9, POZ_BRUTO), "75.00");

    // Amounts that cannot be paid out are refused and leave the lines alone.
    c = calculateFromNet(9, basis(1, 4, "-5.00"), 2014);
    EXPECT_EQ(c.result.error, "Neto iznos ne može biti negativan.");
    c = calculateFromNet(9, basis(1, 4, "999999999.99"), 2014);
    EXPECT_EQ(c.result.error, "Izračun nije moguć: iznos je prevelik.");
    EXPECT_EQ(amount(9, POZ_BRUTO), "75.00");

    EXPECT_EQ(checkIncomeLine(0, 4), "Odaberi djelatnika");
    EXPECT_EQ(checkIncomeLine(1, 77), "Odaberi vrstu dohotka");
    EXPECT_EQ(checkIncomeLine(1, 4), "");
}

TEST_F(IncomeLineTest, CrisisTaxLinesAndPaymentMethodAreAddedOnceThenRewritten) {
    // Position 13 entered by hand first: the button rewrites it.
    ASSERT_EQ(storePosition(5, POZ_KRIPOREZ, Decimal(1)), 0);
    CrisisTax k;
    ASSERT_EQ(storeCrisisTax(5, Decimal::parse("7000.00"), 4, k), 0);
    EXPECT_EQ(OBRACUN.records(), 2);
    EXPECT_EQ(amount(5, POZ_KRIPOREZ), "280.00");
    EXPECT_EQ(amount(5, POZ_POSLIJEKRIPOREZ), "6720.00");
    // A refused rate writes nothing: the lines keep the last good amounts.
    EXPECT_EQ(storeCrisisTax(5, Decimal::parse("7000.00"), -4, k), -1);
    EXPECT_FALSE(k.error.empty());
    EXPECT_EQ(amount(5, POZ_KRIPOREZ), "280.00");
    EXPECT_EQ(amount(5, POZ_POSLIJEKRIPOREZ), "6720.00");
    // The net after the tax failing to be written takes the new tax back with it.
    Store::main().injectWriteFailure(2);
    EXPECT_NE(storeCrisisTax(5, Decimal::parse("5000.00"), 4, k), 0);
    Store::main().injectWriteFailure(0);
    EXPECT_FALSE(Store::main().inTransaction());
    EXPECT_EQ(amount(5, POZ_KRIPOREZ), "280.00");
    EXPECT_EQ(amount(5, POZ_POSLIJEKRIPOREZ), "6720.00");

    EXPECT_EQ(paymentMethod(5), 0);
    EXPECT_EQ(storePaymentMethod(5, 0), -1);
    EXPECT_EQ(SVASTA.records(), 0);
    ASSERT_EQ(storePaymentMethod(5, 3), 0);
    ASSERT_EQ(storePaymentMethod(5, 5), 0);
    EXPECT_EQ(SVASTA.records(), 1);
    EXPECT_EQ(paymentMethod(5), 5);
}

TEST_F(IncomeLineTest, ANewLineProposesTheTypeUsedLastOrTheHighest) {
    EXPECT_EQ(proposedIncomeType(4), 4);
    EXPECT_EQ(proposedIncomeType(33), 20);
    EXPECT_EQ(proposedIncomeType(0), 20);
    OSOBE.clear();
    OSO.IME = "Ivana Marija";
    OSO.PREZIME = "Horvat-Kovačević Babić";
    EXPECT_EQ(recipientName(OSO).str(), "Ivana Marija Horvat-Kovačević");  // 30 characters
}

TEST_F(IncomeLineTest, ACancelledChangeRecalculatesTheLinesAsStored) {
    DOHOCI.clear();
    DOH.OZNAKA = 3;
    DOH.DJELATNIK = 1;
    DOH.VRSTADOHOTKA = 20;
    DOH.NETO = Decimal::parse("6000.00");
    ASSERT_EQ(DOHOCI.add(), 0);
    ASSERT_EQ(addZeroPositions(3), 0);
    // The form calculated a net that was then not saved.
    ASSERT_TRUE(calculateFromNet(3, basis(1, 4, "100.00"), 2014).ok());
    ASSERT_TRUE(recalculateStored(3, 2014));
    EXPECT_EQ(amount(3, POZ_NETO), "6000.00");
    EXPECT_EQ(amount(3, POZ_OSOBNIODBITAK), "2200.00");  // the brackets of the stored type, not the single rate
    EXPECT_FALSE(recalculateStored(4, 2014));
}

}  // namespace
