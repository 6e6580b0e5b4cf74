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

// With a surtax every bracket's factor is rate * (1 + surtax): 0.1416, 0.2950,
// 0.4720. Kept with fewer places, the tax drifts by whole kunas.
TEST(Calculation, BracketsWithSurtax) {
    CalcInput in;
    in.surtaxRate = 18;
    in.allowance = d("2200.00");
    in.allowanceFactor = 1;
    CalcResult r = VISESTOPA(d("6000.00"), in, k2014);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.gross().value().toString(2), "7111.38");
    EXPECT_EQ(r.position[POZ_POREZ].value().toString(2), "941.85");
    EXPECT_EQ(r.position[POZ_PRIREZ].value().toString(2), "169.53");
    EXPECT_EQ(r.position[POZ_DOHODAK].value().toString(2), "7111.38");
    EXPECT_EQ(r.position[POZ_OSOBNIODBITAK].value().toString(2), "2200.00");
    EXPECT_EQ(r.net().value().toString(2), "6000.00");
}

// Rates each within 0-100 % that together would give a negative gross, base,
// income or contribution are refused, and the message names the rates at fault.
TEST(Calculation, NonsenseRateCombinationsAreRefusedByName) {
    CalcInput taxAll;
    taxAll.taxRate = 100;
    taxAll.surtaxRate = 18;
    CalcInput pillars = contract("0");
    pillars.pillarI = 100;
    pillars.pillarII = 60;
    CalcInput deductions = contract("0");
    deductions.nonTaxable = 80;
    deductions.expenses = 70;
    CalcInput outOfRange = contract("0");
    outOfRange.health = d("100.5");
    CalcInput negativeSurtax = contract("0");
    negativeSurtax.surtaxRate = d("-12.5");
    struct Case {
        const CalcInput* in;
        const char* text;
    };
    const Case cases[] = {
        {&taxAll, "Izračun nije moguć: porezna stopa 100 % s prirezom 18 % uzima cijeli dohodak i više, pa bruto ne može "
                  "isplatiti neto."},
        {&pillars, "Izračun nije moguć: mirovinsko osiguranje I. stup 100 % i II. stup 60 % zajedno prelaze 100 % "
                   "osnovice."},
        {&deductions, "Izračun nije moguć: neoporezivi dio 80 % i priznati troškovi 70 % zajedno prelaze 100 % bruto "
                      "iznosa."},
        {&outOfRange, "Izračun nije moguć: zdravstveno osiguranje (100,5 %) mora biti između 0 i 100 %."},
        {&negativeSurtax, "Izračun nije moguć: stopa prireza (-12,5 %) ne može biti negativna."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CalcResult net = IZRACUN(d("1000.00"), *c.in, 2014);
        EXPECT_EQ(net.error, c.text);
        EXPECT_TRUE(net.gross().isZero());
        // From the gross the same rates are at fault, not a net nobody typed.
        Amount out = d("1.23");
        const CalcResult gross = IZBRUTA(d("1000.00"), *c.in, 2014, out);
        EXPECT_EQ(gross.error, c.text);
        EXPECT_EQ(out.value().toString(2), "1.23");
    }

    CalcInput split = contract("0");
    split.nonTaxable = 50;
    split.expenses = 50;
    EXPECT_EQ(IZRACUN(d("95284.83"), split, 2014).error,
              "Izračun nije moguć: neoporezivi dio 50 % i priznati troškovi 50 % zajedno dosežu 100 % bruto iznosa.");
    // One deduction of the whole gross is a non-taxable receipt, and fine.
    CalcInput receipt;
    receipt.nonTaxable = 100;
    EXPECT_EQ(IZRACUN(d("1600.00"), receipt, 2014).position[POZ_NEOPOREZIVIDIO].value().toString(2), "1600.00");
    // Pillars that take the whole base leave no income, whatever else is deducted.
    CalcInput whole;
    whole.pillarI = 60;
    whole.pillarII = 40;
    whole.expenses = 30;
    EXPECT_EQ(IZRACUN(d("100.00"), whole, 2014).error,
              "Izračun nije moguć: mirovinsko osiguranje I. stup 60 % i II. stup 40 % zajedno dosežu 100 % osnovice, "
              "pa ne ostaje dohodak.");
}

TEST(Calculation, GrossTooSmallForItsDeductionsIsRefusedAsTheGross) {
    CalcInput in = contract("18");
    in.taxRate = 45;
    // Net share 1 - (0.20 + 0.80 * 0.5310) = 0.3752: a gross of 0.01 leaves 0.00.
    Amount net = d("9.99");
    const CalcResult r = IZBRUTA(d("0.01"), in, 2014, net);
    EXPECT_EQ(r.error, "Bruto iznos je premalen: ne pokriva doprinose i poreze ove vrste dohotka.");
    EXPECT_EQ(net.value().toString(2), "9.99");
    // Two cents leave one, and the line is computed.
    const CalcResult two = IZBRUTA(d("0.02"), in, 2014, net);
    ASSERT_TRUE(two.ok()) << two.error;
    EXPECT_EQ(net.value().toString(2), "0.01");
    // A gross of zero is no fault: nothing paid, nothing taken.
    EXPECT_TRUE(IZBRUTA(d("0.00"), in, 2014, net).ok());
}

// On the way to figures that fit a line, the brackets pass through larger
// ones: a base before it is cut to its bracket's width, the allowance before
// it is cut to the net. Only what is stored must fit.
TEST(Calculation, BracketsGiveEveryGrossThatFitsWhateverTheStepsBetween) {
    struct Case {
        const char* surtax;
        const char* net;
        const char* nonTaxable;
        const char* expenses;
        const char* factor;
        const char* allowance;
        const char* gross;  // nullptr: too large for a line, refused
    };
    const Case cases[] = {
        {"0", "200000.00", "99.99", "0", "1", "2200.00", "411487.51"},
        {"0", "200000.00", "0", "99.99", "1", "2200.00", "411487.51"},
        {"18", "700000000.00", "0", "0", "1", "2200.00", "880897631.15"},
        {"18", "5000.00", "0", "0", "999.99", "9999999.99", "6250.00"},
        {"18", "800000000.00", "0", "0", "1", "2200.00", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.net);
        CalcInput in = contract(c.surtax);
        in.nonTaxable = d(c.nonTaxable);
        in.expenses = d(c.expenses);
        in.allowanceFactor = d(c.factor);
        in.allowance = d(c.allowance);
        const CalcResult r = VISESTOPA(d(c.net), in, k2014);
        if (!c.gross) {
            EXPECT_EQ(r.error, "Izračun nije moguć: iznos je prevelik.");
            continue;
        }
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.gross().value().toString(2), c.gross);
    }
}

// Whatever the rates, a calculation that is not refused has no negative part
// and a gross at least the net.
TEST(Calculation, AcceptedRatesNeverGiveNegativeParts) {
    std::mt19937 rng(20261208);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int refusedCount = 0;
    for (int i = 0; i < 20000; ++i) {
        CalcInput in;
        in.surtaxRate = Decimal(pick(0, 5000)) / 100;
        in.nonTaxable = Decimal(pick(0, 100)) ;
        in.expenses = Decimal(pick(0, 100));
        in.pillarI = Decimal(pick(0, 100));
        in.pillarII = Decimal(pick(0, 100));
        in.health = Decimal(pick(0, 100));
        in.taxRate = Decimal(pick(0, 100));
        in.allowance = Decimal(pick(-1000, 400000)) / 100;
        in.allowanceFactor = Decimal(pick(-100, 300)) / 100;
        in.notInPillarII = pick(0, 1) == 1;
        const bool several = pick(0, 1) == 0;
        const Decimal net = Decimal(pick(1, 10000000)) / 100;
        const CalcResult r = several ? VISESTOPA(net, in, k2014) : IZRACUN(net, in, 2014);
        if (!r.ok()) {
            ASSERT_EQ(r.error.rfind("Izračun nije moguć: ", 0), 0u) << r.error;
            ++refusedCount;
            continue;
        }
        for (Pozicija p : {POZ_BRUTO, POZ_NEOPOREZIVIDIO, POZ_PRIZNATITROSKOVI, POZ_OSNOVICA, POZ_MIROVINSKOISTUP,
                           POZ_MIROVINSKOIISTUP, POZ_DOHODAK, POZ_POREZ, POZ_PRIREZ, POZ_ZDRAVSTVENO})
            ASSERT_GE(r.position[p].value().sign(), 0) << "case " << i << " position " << p << " several " << several << " net " << net.toString(2) << " nt "
                << in.nonTaxable.toString() << " exp " << in.expenses.toString() << " p1 " << in.pillarI.toString()
                << " p2 " << in.pillarII.toString() << " tax " << in.taxRate.toString() << " sur "
                << in.surtaxRate.toString() << " amount " << r.position[p].value().toString(2);
        ASSERT_GE(r.gross().value(), r.net().value()) << "case " << i;
    }
    EXPECT_GT(refusedCount, 0);
}

TEST(Calculation, NonsenseBracketInputsAreRefusedByName) {
    CalcInput in;
    in.allowance = d("2200.00");
    in.allowanceFactor = -1;
    EXPECT_EQ(VISESTOPA(d("6000.00"), in, k2014).error,
              "Izračun nije moguć: faktor osobnog odbitka (-1) ne može biti negativan.");
    in.allowanceFactor = 1;
    in.allowance = d("-2200.00");
    EXPECT_EQ(VISESTOPA(d("6000.00"), in, k2014).error,
              "Izračun nije moguć: osobni odbitak (-2200.00) ne može biti negativan.");
    in.allowance = d("2200.00");

    CalcInput pillars = in;
    pillars.pillarI = 100;
    pillars.pillarII = 60;
    EXPECT_EQ(VISESTOPA(d("6000.00"), pillars, k2014).error,
              "Izračun nije moguć: mirovinsko osiguranje I. stup 100 % i II. stup 60 % zajedno dosežu 100 % osnovice, "
              "pa ne ostaje dohodak.");
    CalcInput nonTaxable = in;
    nonTaxable.nonTaxable = 100;
    EXPECT_EQ(VISESTOPA(d("6000.00"), nonTaxable, k2014).error,
              "Izračun nije moguć: neoporezivi dio 100 % i priznati troškovi 0 % ne ostavljaju ništa za oporezivanje.");
    // Here the expenses come out of what the non-taxable part leaves: 80 % and
    // 70 % together deduct 94 %, which is no fault.
    CalcInput deductions = in;
    deductions.nonTaxable = 80;
    deductions.expenses = 70;
    EXPECT_TRUE(VISESTOPA(d("6000.00"), deductions, k2014).ok());

    CalcInput surtax = in;
    surtax.surtaxRate = 18;
    const std::vector<Bracket> steep = {{1, 12, d("2200.00")}, {2, 85, d("8800.00")}, {3, 40, d("9999999.99")}};
    EXPECT_EQ(VISESTOPA(d("6000.00"), surtax, steep).error,
              "Izračun nije moguć: stopa 2. poreznog razreda 85 % s prirezom 18 % uzima cijeli dohodak i više, pa bruto "
              "ne može isplatiti neto.");
    const std::vector<Bracket> falling = {{1, 12, d("2200.00")}, {2, 25, d("1000.00")}, {3, 40, d("9999999.99")}};
    EXPECT_EQ(VISESTOPA(d("6000.00"), in, falling).error,
              "Izračun nije moguć: granica 2. poreznog razreda (1000.00) manja je od granice razreda prije njega.");
    const std::vector<Bracket> negative = {{1, -12, d("2200.00")}};
    EXPECT_EQ(VISESTOPA(d("6000.00"), in, negative).error,
              "Izračun nije moguć: stopa 1. poreznog razreda (-12 %) mora biti između 0 i 100 %.");
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

