#include <gtest/gtest.h>

#include <set>

#include "certificates/Certificates.h"
#include "codelists/OpcineIspis.h"
#include "common/CheckDigits.h"
#include "forms/CoverLetter.h"
#include "forms/Id1Print.h"
#include "forms/Idd.h"
#include "forms/Rsm.h"
#include "joppd/JoppdPages.h"
#include "payments/Recapitulation.h"
#include "slips/Slips.h"
#include "demo/DemoData.h"
#include "payments/Calculation.h"
#include "payments/Positions.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "support/TempFolder.h"

using namespace marel;

namespace {

// The demo folder as a newcomer opens it: filled by makeDemoData, then
// opened again the way the program opens it.
class DemoData : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        ASSERT_EQ(makeDemoData(folder.str()), "");
        ASSERT_EQ(Store::main().open(folder.str()), 0);
        for (DataFile* f : {(DataFile*)&BANKE, (DataFile*)&DOHOCI, (DataFile*)&ISPLATE, (DataFile*)&JOPO,
                            (DataFile*)&MJESTA, (DataFile*)&OBRACUN, (DataFile*)&OPCINE, (DataFile*)&OSOBE,
                            (DataFile*)&PORSTOPE, (DataFile*)&SUBJEKTI, (DataFile*)&SVASTA, (DataFile*)&ULICE,
                            (DataFile*)&VRSTEDOH})
            ASSERT_EQ(useFile(*f), 0) << f->label();
    }
    void TearDown() override {
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Store::main().close();
        setPrompter(nullptr);
    }
    test::TempFolder folder;
    ScriptedPrompter ask;
};

TEST_F(DemoData, HoldsTheReferenceDataWithValidNumbers) {
    EXPECT_EQ(SUBJEKTI.records(), 1);
    EXPECT_EQ(OSOBE.records(), 10);
    EXPECT_EQ(OPCINE.records(), 3);
    EXPECT_GE(MJESTA.records(), 3);
    EXPECT_GE(ULICE.records(), 3);
    EXPECT_GE(BANKE.records(), 1);
    EXPECT_EQ(ask.messages.size(), 0u) << ask.last().text;

    OSOBE.set(OSOBE.KEYOZNAKA);
    int people = 0;
    while (OSOBE.next() == 0) {
        ++people;
        SCOPED_TRACE(OSO.PREZIME.str());
        EXPECT_EQ(OSO.OIB.str().size(), 11u);
        EXPECT_TRUE(mod11_10Valid(OSO.OIB.str()));
        BANKE.clear();
        BAN.OZNAKA = OSO.BANKA;
        ASSERT_EQ(BANKE.get(BANKE.KEYOZNAKA), 0);
        // The IBAN a payment slip would print must be a valid one.
        EXPECT_EQ("HR" + ibanCheckDigits(BAN.VODECIBROJ.str() + OSO.RACUN.str()), OSO.RKONT.str());
        MJESTA.clear();
        MJE.OZNAKA = OSO.MJESTO;
        ASSERT_EQ(MJESTA.get(MJESTA.KEYOZNAKA), 0);
        OPCINE.clear();
        OPC.OZNAKA = MJE.OPCINA;
        EXPECT_EQ(OPCINE.get(OPCINE.KEYOZNAKA), 0) << "mjesto bez općine";
    }
    EXPECT_EQ(people, 10);

    OPCINE.set(OPCINE.KEYOZNAKA);
    while (OPCINE.next() == 0) {
        EXPECT_EQ(OPC.RACUNPOREZ.str(), municipalityTaxAccount(OPC.SHIFRA.str())) << OPC.NAZIV.str();
        EXPECT_FALSE(OPC.RKONT.empty());
        EXPECT_GT(OPC.STOPAPRIREZA.value(), Decimal(0));
    }
    SUBJEKTI.set(SUBJEKTI.KEYOZNAKA);
    ASSERT_EQ(SUBJEKTI.next(), 0);
    EXPECT_TRUE(mod11_10Valid(SUB.OIB.str()));
    EXPECT_FALSE(SUB.RKONT.empty());
}

// Each income line's stored calculation is what the calculation gives for
// its recipient, income type and net today, to the cent; and the lines of a
// line add up: net plus contributions, tax and surtax is the gross.
TEST_F(DemoData, IncomeLinesAgreeWithTheCalculation) {
    EXPECT_EQ(ISPLATE.records(), 2);
    const std::vector<Bracket> brackets = loadBrackets();
    DOHOCI.set(DOHOCI.KEYOZNAKA);
    int lines = 0;
    std::set<int> types;
    while (DOHOCI.next() == 0) {
        ++lines;
        types.insert(DOH.VRSTADOHOTKA);
        const DOHOCI_REC line = DOH;
        SCOPED_TRACE("dohodak " + std::to_string(line.OZNAKA));
        const CalcInput in = loadCalcInput(line.DJELATNIK, line.VRSTADOHOTKA);
        const CalcResult expected = in.severalRates ? VISESTOPA(line.NETO.value(), in, brackets)
                                                    : IZRACUN(line.NETO.value(), in, Date::today().year());
        ASSERT_TRUE(expected.ok()) << expected.error;
        for (int p = POZ_BRUTO; p <= POZ_ZADNJA_OBRACUNA; ++p) {
            OBRACUN.clear();
            OBR.DOHODAK = line.OZNAKA;
            OBR.POZICIJA = USHORT(p);
            ASSERT_EQ(OBRACUN.get(OBRACUN.KEYDOHPOZ), 0) << "pozicija " << p;
            EXPECT_EQ(OBR.IZNOS.value(), expected.position[p].value()) << "pozicija " << p;
        }
        EXPECT_EQ(expected.net().value(), line.NETO.value());
        EXPECT_GT(expected.gross().value(), Decimal(0));
        DOH = line;
    }
    EXPECT_GE(lines, 8);
    EXPECT_GE(types.size(), 3u) << "several income types";
    // Every line has a payment method, as the JOPPD rows need one.
    EXPECT_EQ(SVASTA.records(), lines);
}

TEST_F(DemoData, FirstPaymentHasItsJoppdForm) {
    ASSERT_EQ(JOPO.records(), 1);
    JOPO.set(JOPO.KEYOZNAKA);
    ASSERT_EQ(JOPO.next(), 0);
    EXPECT_EQ(JOPO.RBR, 1);
    EXPECT_EQ(JOPO.UJED.str().size(), 36u);
    ISPLATE.clear();
    ISP.OZNAKA = JOPO.ISPLATA;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    EXPECT_EQ(ISP.RSID.str(), "14069");  // 10 March 2014
}

// A folder that already holds data is the user's: it is never added to.
TEST_F(DemoData, AFolderWithDataIsLeftAlone) {
    TearDown();
    ASSERT_EQ(makeDemoData(folder.str()), "");
    SetUp();  // fills nothing: the folder is not empty
    EXPECT_EQ(OSOBE.records(), 10);
    EXPECT_EQ(ISPLATE.records(), 2);
}

}  // namespace

namespace {

// A paper saved to a file is offered under its name and the key of what it
// prints, so that a folder of them reads like the drawer they go into.
TEST_F(DemoData, EveryPaperIsOfferedUnderItsNameAndWhatItPrints) {
    ASSERT_EQ(useFile(ID1), 0);
    struct Paper {
        std::function<std::unique_ptr<Report>()> build;
        const char* name;
    };
    const Paper papers[] = {
        {[] { return joppdPageA(1); }, "JOPPD-A 14069"},
        {[] { return joppdPageB(1); }, "JOPPD-B 14069"},
        {[] { return obrIsplateReport(1); }, "Rekapitulacija isplate 14069"},
        {[] { return obracunReport(1); }, "Rekapitulacija dohotka 14069 Ivana Horvat"},
        {[] { return RSMA(1, 'L'); }, "R-Sm-A 14069"},
        {[] { return RSMB(1); }, "R-Sm-B 14069"},
        {[] { return slipsReport({1, SlipForm::Hub3A, 'L', 0, false, SlipProblems::PrintRest}); }, "HUB-3A isplata 1"},
        {[] { return certificateReport(1, 1, "2014", false); }, "Potvrda 2014 Ivana Horvat"},
        {[] { return allCertificatesReport(1, "2014"); }, "Potvrde 2014"},
        {[] { return IDD(1, "2014", "3"); }, "IDD 2014-03"},
        {[] { return id1Report(1, "2014"); }, "ID-1 2014"},
        {[] { return coverLetterReport(1); }, "Popratni dopis ID-1 2014"},
        {[] { return opcineReport(); }, "Popis općina"},
    };
    for (const Paper& p : papers) {
        SCOPED_TRACE(p.name);
        std::unique_ptr<Report> r = p.build();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->fileName(), p.name);
        r->discard();
    }
    // Without a name of its own a report is offered under its title.
    EXPECT_EQ(Report("Obrazac IPP").fileName(), "Obrazac IPP");
}

}  // namespace
