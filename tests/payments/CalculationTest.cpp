#include <random>

#include "payments/Calculation.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

Decimal d(const char* s) { return Decimal::parse(s); }

std::vector<std::string> positions(const CalcResult& r) {
    std::vector<std::string> out;
    for (int p = POZ_BRUTO; p <= POZ_ZADNJA_OBRACUNA; ++p) out.push_back(r.position[size_t(p)].value().toString(2));
    return out;
}

CalcInput contract(const char* surtax) {
    CalcInput in;
    in.surtaxRate = d(surtax);
    in.pillarI = 15;
    in.pillarII = 5;
    in.health = 15;
    in.taxRate = 25;
    return in;
}

const std::vector<Bracket> k2014 = {{1, 12, d("2200.00")}, {2, 25, d("8800.00")}, {3, 40, d("9999999.99")}};

}  // namespace

TEST(Calculation, AuthorsFeeInZagrebFromTheNet) {
    CalcInput in = contract("18");
    in.expenses = 30;
    // I = 1.18, ODQ = 1 - 0 - 0.30 = 0.70, DOHQ = 0.80, PPP = 0.25 * 1.18 = 0.2950
    // gross = 694.80 / (1 - (0.20 + 0.80 * 0.2950) * 0.70) = 694.80 / 0.6948 = 1000.00
    // base 700.00; pillar I 105.00, II 35.00; income 560.00; tax 25 % = 140.00;
    // surtax 560.00 * 0.2950 - 140.00 = 25.20; health 15 % of 700.00 = 105.00
    CalcResult r = IZRACUN(d("694.80"), in, 2014);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(positions(r), (std::vector<std::string>{"1000.00", "0.00", "300.00", "700.00", "105.00", "35.00",
                                                      "560.00", "140.00", "25.20", "694.80", "105.00", "0.00"}));
    EXPECT_EQ(r.crisisRate.value().toString(3), "0.000");

    // The same line entered from the gross gives the same net and lines.
    Amount net;
    CalcResult g = IZBRUTA(d("1000.00"), in, 2014, net);
    EXPECT_EQ(net.value().toString(2), "694.80");
    EXPECT_EQ(positions(g), positions(r));
}

TEST(Calculation, RecipientOutsidePillarTwoPaysBothContributionsToPillarOne) {
    CalcInput in = contract("10");
    in.notInPillarII = true;
    // PPP = 0.25 * 1.10 = 0.2750; gross = 1000.00 / (1 - (0.20 + 0.80 * 0.2750)) = 1000 / 0.58 = 1724.14
    // pillar I 1724.14 * 0.15 = 258.62 and II 1724.14 * 0.05 = 86.21, both to pillar I: 344.83
    // income 1724.14 - 344.83 = 1379.31; tax 344.8275 -> 344.83; surtax 379.31025 - 344.83 -> 34.48
    // gross rebuilt 1000.00 + 344.83 + 0 + 344.83 + 34.48 = 1724.14; health 258.621 -> 258.62
    CalcResult r = IZRACUN(d("1000.00"), in, 2014);
    EXPECT_EQ(positions(r), (std::vector<std::string>{"1724.14", "0.00", "0.00", "1724.14", "344.83", "0.00",
                                                      "1379.31", "344.83", "34.48", "1000.00", "258.62", "0.00"}));
}

TEST(Calculation, NegativeSurtaxResidueWithoutSurtaxMovesIntoTheTax) {
    // Net 0.01: gross 0.01 / 0.60 -> 0.02, income 0.02, tax 0.005 -> 0.01,
    // surtax 0.02 * 0.25 - 0.01 = -0.005 -> -0.01: no surtax here, so the tax drops to 0.00.
    CalcResult r = IZRACUN(d("0.01"), contract("0"), 2014);
    EXPECT_EQ(r.position[POZ_POREZ].value().toString(2), "0.00");
    EXPECT_EQ(r.position[POZ_PRIREZ].value().toString(2), "0.00");
    EXPECT_EQ(r.gross().value().toString(2), "0.01");
}

TEST(Calculation, BracketsWithAllowance) {
    CalcInput in;
    in.allowance = d("2200.00");
    in.allowanceFactor = 1;
    // At or below the allowance nothing is taxed and the allowance used is the net.
    CalcResult low = VISESTOPA(d("1500.00"), in, k2014);
    EXPECT_EQ(low.position[POZ_OSOBNIODBITAK].value().toString(2), "1500.00");
    EXPECT_TRUE(low.position[POZ_POREZ].isZero() && low.position[POZ_PRIREZ].isZero());
    EXPECT_EQ(low.gross().value().toString(2), "1500.00");

    // Net 6000.00 spans two brackets. Bracket 1 (12 %): the base needed is
    // (6000 - 2200 * 0.12) / 0.88 - 2200 = 4318.18, more than its width 2200,
    // so it is filled: tax 264.00, net 2200 + 2200 - 264 = 4136.00; 1864.00 is left.
    // Bracket 2 (25 %): base 1864 / 0.75 = 2485.33, tax 621.33. Bracket 3 gets 0.
    // Tax 885.33, income = gross = 6885.33.
    CalcResult r = VISESTOPA(d("6000.00"), in, k2014);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(positions(r), (std::vector<std::string>{"6885.33", "0.00", "0.00", "6885.33", "0.00", "0.00",
                                                      "6885.33", "885.33", "0.00", "6000.00", "0.00", "2200.00"}));
}

TEST(Calculation, CrisisTaxRateFollowsTheThresholdAndTheYear) {
    CalcInput in = contract("0");
    EXPECT_TRUE(IZRACUN(d("6000.00"), in, 2010).crisisRate.isZero());
    EXPECT_EQ(IZRACUN(d("6000.01"), in, 2010).crisisRate.value().toString(3), "4.000");
    EXPECT_TRUE(IZRACUN(d("6000.01"), in, 2011).crisisRate.isZero());
    auto k = crisisTax(d("7000.00"), 4);
    ASSERT_TRUE(k.ok()) << k.error;
    EXPECT_EQ(k.tax.value().toString(2), "280.00");
    EXPECT_EQ(k.after.value().toString(2), "6720.00");
    k = crisisTax(d("7000.00"), 0);  // the button on a line without a calculation
    EXPECT_TRUE(k.ok());
    EXPECT_TRUE(k.tax.isZero());
    k = crisisTax(d("7000.00"), 100);  // the whole net, the highest rate allowed
    EXPECT_EQ(k.after.value().toString(2), "0.00");
}

TEST(Calculation, CrisisTaxRefusesRatesOutsideAHundredPercentAndAmountsThatDoNotFit) {
    // A negative rate would pay tax back, one above 100 % leave a negative net.
    for (const char* rate : {"-4", "-0.001", "100.001", "9999.999"}) {
        const CrisisTax k = crisisTax(d("7000.00"), d(rate));
        EXPECT_EQ(k.error, "Stopa kriznog poreza mora biti između 0 i 100 %.") << rate;
        EXPECT_TRUE(k.tax.isZero()) << rate;
    }
    // The largest net an income line holds, at the highest rate: fits.
    EXPECT_TRUE(crisisTax(d("999999999.99"), 100).ok());
    // A working net beyond what an amount holds is refused, not an exception.
    const CrisisTax k = crisisTax(d("99999999999999"), 50);
    EXPECT_EQ(k.error, "Izračun nije moguć: iznos je prevelik.");
}

TEST(Calculation, ImpossibleInputsAreRefusedNotComputed) {
    CalcInput in;
    in.taxRate = 100;  // the whole income would go in tax: no gross pays out any net
    EXPECT_FALSE(IZRACUN(d("100.00"), in, 2014).ok());
    EXPECT_FALSE(IZRACUN(d("-1.00"), contract("0"), 2014).ok());
    EXPECT_FALSE(IZRACUN(d("999999999.99"), contract("18"), 2014).ok());  // gross beyond the field
    CalcInput both = contract("0");
    both.pillarI = 60;
    both.pillarII = 40;
    both.severalRates = true;
    EXPECT_FALSE(VISESTOPA(d("100.00"), both, k2014).ok());
    CalcInput zero;
    CalcResult r = IZRACUN(d("0.00"), zero, 2014);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.gross().isZero());
}

// Whatever the rates and the net, the stored parts add up to the gross.
TEST(Calculation, PartsAlwaysAddUpToTheGross) {
    std::mt19937 rng(20140205);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 10000; ++i) {
        CalcInput in;
        in.surtaxRate = Decimal(pick(0, 3000)) / 100;
        in.nonTaxable = Decimal(pick(0, 4) == 0 ? pick(0, 10000) : 0) / 100;
        in.expenses = Decimal(pick(0, 1) ? 3000 : pick(0, 5000)) / 100;
        in.pillarI = Decimal(pick(0, 2000)) / 100;
        in.pillarII = Decimal(pick(0, 500)) / 100;
        in.health = Decimal(pick(0, 1700)) / 100;
        in.taxRate = Decimal(pick(0, 4500)) / 100;
        in.allowance = Decimal(pick(0, 400000)) / 100;
        in.allowanceFactor = Decimal(pick(0, 300)) / 100;
        in.notInPillarII = pick(0, 1) == 1;
        const bool several = pick(0, 3) == 0;
        const Decimal net = Decimal(pick(1, 100000000)) / 100;
        CalcResult r = several ? VISESTOPA(net, in, k2014) : IZRACUN(net, in, 2014);
        if (!r.ok()) continue;  // only impossible rate combinations are refused
        const auto& p = r.position;
        ASSERT_EQ(p[10].value() + p[5].value() + p[6].value() + p[8].value() + p[9].value(), p[1].value())
            << "case " << i << " net " << net.toString(2);
        ASSERT_EQ(p[1].value() - p[2].value() - p[3].value(), p[4].value()) << "case " << i;
        ASSERT_EQ(p[10].value(), net) << "case " << i;
        if (in.notInPillarII) {
            ASSERT_TRUE(p[6].isZero());
        }
        if (in.surtaxRate.isZero()) {
            ASSERT_TRUE(p[9].isZero()) << "case " << i;
        }
    }
}

