
#include "store/Integrity.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

// A whole table as text, to show that a refused operation changed nothing.
std::string dump(const std::string& table) {
    std::string out;
    Connection& db = Store::main().connection();
    Statement st = db.prepare("SELECT * FROM \"" + table + "\" ORDER BY " + db.dialect().rowId, false);
    while (st.step() == StepResult::Row) {
        for (int c = 0; c < st.columnCount(); ++c) {
            const std::string_view t = st.columnText(c);
            out += (t.data() ? std::string(t) : "NULL") + "|";
        }
        out += "\n";
    }
    return out;
}

class Integrity : public marel::test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        openFiles({&SUBJEKTI, &ID1, &ISPLATE, &KRIPOREZ, &DETKRIP, &DOHOCI, &OBRACUN, &SVASTA, &JOPO, &VRSTEDOH,
                   &OPCINE, &MJESTA, &UPLATNIRN, &OSOBE});
    }
    static void payer(LONG n) {
        SUBJEKTI.clear();
        SUB.OZNAKA = n;
        SUB.NAZIV = "Isplatitelj " + std::to_string(n);
        SUB.OIB = std::to_string(10000000000 + n);
        SUB.POREZNIBROJ = std::to_string(n);
        ASSERT_EQ(SUBJEKTI.add(), 0);
    }
    static void id1(LONG n, LONG payer) {
        ID1.clear();
        ID1.OZNAKA = n;
        ID1.ISPLATITELJ = payer;
        ASSERT_EQ(ID1.add(), 0);
    }
    static void payment(LONG n, LONG payer) {
        ISPLATE.clear();
        ISP.OZNAKA = n;
        ISP.ISPLATITELJ = payer;
        ISP.GODINA = "2014";
        ISP.RSID = std::to_string(14000 + n);
        ASSERT_EQ(ISPLATE.add(), 0);
    }
    static void incomeLine(LONG n, LONG payment, BYTE type = 1) {
        DOHOCI.clear();
        DOH.OZNAKA = n;
        DOH.ISPLATA = payment;
        DOH.VRSTADOHOTKA = type;
        ASSERT_EQ(DOHOCI.add(), 0);
        for (USHORT p = 1; p <= 3; ++p) {
            OBRACUN.clear();
            OBR.DOHODAK = n;
            OBR.POZICIJA = p;
            ASSERT_EQ(OBRACUN.add(), 0);
        }
        SVASTA.clear();
        SVA.DOHODAK = n;
        SVA.BROJ = 1;
        SVA.VRISHORT = 1;
        ASSERT_EQ(SVASTA.add(), 0);
    }
    template <class F>
    static void load(F& file, LONG n) {
        file.clear();
        file.OZNAKA = n;
        ASSERT_EQ(file.get(file.KEYOZNAKA), 0);
    }
};

}  // namespace

TEST_F(Integrity, PayerWithPaymentsIsNotDeletedAndItsFormsSurvive) {
    payer(1);
    id1(1, 1);
    id1(2, 1);
    payment(1, 1);
    const std::string before = dump("ID1") + dump("SUBJEKTI") + dump("ISPLATE");
    load(SUBJEKTI, 1);
    EXPECT_EQ(RIDELETE(SUBJEKTI), 1);
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text,
              "This record is referenced from the file isplate.  This record cannot be deleted while these "
              "references exist.");
    EXPECT_EQ(ask.last().caption, "Referential Integrity Delete Error");
    EXPECT_EQ(dump("ID1") + dump("SUBJEKTI") + dump("ISPLATE"), before);
}

TEST_F(Integrity, PayerWithOnlyCrisisTaxRecordsGoesWithThemAndTheirRows) {
    payer(1);
    payer(2);
    for (LONG k = 1; k <= 3; ++k) {
        KRIPOREZ.clear();
        KRP.OZNAKA = k;
        KRP.ISPLATITELJ = k == 3 ? 2 : 1;
        KRP.GODINA = "2010";
        KRP.MJESEC = BYTE(k);
        ASSERT_EQ(KRIPOREZ.add(), 0);
        for (BYTE v = 1; v <= 2; ++v) {
            DETKRIP.clear();
            DKP.KRIPOREZ = k;
            DKP.VRSTA = v;
            ASSERT_EQ(DETKRIP.add(), 0);
        }
    }
    load(SUBJEKTI, 1);
    EXPECT_EQ(RIDELETE(SUBJEKTI), 0);
    EXPECT_TRUE(ask.messages.empty());
    EXPECT_EQ(SUBJEKTI.records(), 1);
    EXPECT_EQ(KRIPOREZ.records(), 1);  // the other payer's month stays
    EXPECT_EQ(DETKRIP.records(), 2);
}

TEST_F(Integrity, PayerWithoutPaymentsGoesWithHisId1Forms) {
    payer(1);
    payer(2);
    id1(1, 1);
    id1(2, 2);
    id1(3, 1);
    load(SUBJEKTI, 1);
    EXPECT_EQ(RIDELETE(SUBJEKTI), 0);
    EXPECT_TRUE(ask.messages.empty()) << ask.messages.size();
    EXPECT_EQ(SUBJEKTI.records(), 1);
    ASSERT_EQ(ID1.records(), 1);  // the other payer's form stays
    ID1.clear();
    ID1.OZNAKA = 2;
    EXPECT_EQ(ID1.get(ID1.KEYOZNAKA), 0);
    for (LONG gone : {1, 3}) {
        ID1.clear();
        ID1.OZNAKA = gone;
        EXPECT_NE(ID1.get(ID1.KEYOZNAKA), 0) << gone;
    }
}

TEST_F(Integrity, PaymentGoesWithItsLinesTheirCalculationAndItsJoppdForms) {
    payer(1);
    payment(1, 1);
    payment(2, 1);
    incomeLine(1, 1);
    incomeLine(2, 1);
    incomeLine(3, 2);
    JOPO.clear();
    JOPO.OZNAKA = 1;
    JOPO.ISPLATA = 1;
    JOPO.UJED = "a";
    ASSERT_EQ(JOPO.add(), 0);
    JOPO.OZNAKA = 2;
    JOPO.ISPLATA = 2;
    JOPO.UJED = "b";
    ASSERT_EQ(JOPO.add(), 0);
    load(ISPLATE, 1);
    EXPECT_EQ(RIDELETE(ISPLATE), 0);
    EXPECT_EQ(ISPLATE.records(), 1);
    EXPECT_EQ(DOHOCI.records(), 1);
    EXPECT_EQ(OBRACUN.records(), 3);
    EXPECT_EQ(SVASTA.records(), 1);
    EXPECT_EQ(JOPO.records(), 1);
    load(DOHOCI, 3);  // what remains belongs to the other payment
    EXPECT_EQ(DOH.ISPLATA, 2);
}

TEST_F(Integrity, ChangedCodeOfAnIncomeTypeInUseIsSetBack) {
    VRSTEDOH.clear();
    VRS.OZNAKA = 5;
    VRS.NAZIV = "Ugovor o djelu";
    ASSERT_EQ(VRSTEDOH.add(), 0);
    payment(1, 1);
    incomeLine(1, 1, 5);
    const std::string before = dump("VRSTEDOH") + dump("DOHOCI");
    load(VRSTEDOH, 5);
    RISNAP(VRSTEDOH);
    VRS.OZNAKA = 6;
    VRS.NAZIV = "Ugovor o djelu (novo)";
    EXPECT_EQ(RIUPDATE(VRSTEDOH, true), 1);
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().text,
              "This record is referenced from the file dohoci.  Linking field(s) have been restricted from change "
              "and have been reset to original values.");
    EXPECT_EQ(VRS.OZNAKA, 5);
    EXPECT_EQ(dump("VRSTEDOH") + dump("DOHOCI"), before);
    // Saved again with the old code, the other change goes through.
    EXPECT_EQ(RIUPDATE(VRSTEDOH, true), 0);
    load(VRSTEDOH, 5);
    EXPECT_EQ(VRS.NAZIV.str(), "Ugovor o djelu (novo)");
}

TEST_F(Integrity, ChangedPaymentNumberIsCarriedToItsLines) {
    payment(1, 1);
    incomeLine(1, 1);
    incomeLine(2, 1);
    load(ISPLATE, 1);
    RISNAP(ISPLATE);
    ISP.OZNAKA = 9;
    EXPECT_EQ(RIUPDATE(ISPLATE), 0);
    load(DOHOCI, 1);
    EXPECT_EQ(DOH.ISPLATA, 9);
    load(DOHOCI, 2);
    EXPECT_EQ(DOH.ISPLATA, 9);
}

TEST_F(Integrity, MunicipalityWithPlacesStaysOneWithOnlyAccountsGoesWithThem) {
    for (LONG n = 1; n <= 2; ++n) {
        OPCINE.clear();
        OPC.OZNAKA = n;
        ASSERT_EQ(OPCINE.add(), 0);
        UPLATNIRN.clear();
        UPL.OZNAKA = n;
        UPL.OPCINA = n;
        ASSERT_EQ(UPLATNIRN.add(), 0);
    }
    MJESTA.clear();
    MJE.OZNAKA = 1;
    MJE.OPCINA = 1;
    ASSERT_EQ(MJESTA.add(), 0);

    load(OPCINE, 1);
    EXPECT_EQ(RIDELETE(OPCINE), 1);
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().text,
              "This record is referenced from the file mjesta.  This record cannot be deleted while these "
              "references exist.");
    EXPECT_EQ(UPLATNIRN.records(), 2);

    load(OPCINE, 2);
    EXPECT_EQ(RIDELETE(OPCINE), 0);
    EXPECT_EQ(OPCINE.records(), 1);
    EXPECT_EQ(UPLATNIRN.records(), 1);
}

TEST_F(Integrity, WriteOverAnotherStationsChangeIsRefusedAndTheirValuesShown) {
    payer(1);
    SUBJEKTI.watch();
    load(SUBJEKTI, 1);
    RISNAP(SUBJEKTI);
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    SubjektiFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);
    theirs.OZNAKA = 1;
    ASSERT_EQ(theirs.get(theirs.KEYOZNAKA), 0);
    theirs.NAZIV = "Njihov naziv";
    ASSERT_EQ(theirs.put(), 0);

    SUB.NAZIV = "Moj naziv";
    EXPECT_EQ(RIUPDATE(SUBJEKTI, true), 2);
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().caption, "Record Was Not Updated");
    EXPECT_EQ(SUB.NAZIV.str(), "Njihov naziv");
    // Now that the form shows their values, a second save goes through.
    SUB.NAZIV = "Moj naziv";
    EXPECT_EQ(RIUPDATE(SUBJEKTI, true), 0);
    theirs.close();
}

TEST_F(Integrity, LockedByAnotherStationTheDeleteIsCancelled) {
    payer(1);
    load(SUBJEKTI, 1);
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    ASSERT_EQ(other.begin(), 0);
    EXPECT_EQ(RIDELETE(SUBJEKTI), 1);
    EXPECT_EQ(ask.last().text,
              "Error: (Datoteka je zaključana (32)) attempting to frame the delete transaction on subjekti.  Delete "
              "transaction cancelled.");
    other.rollback();
    EXPECT_EQ(SUBJEKTI.records(), 1);
}

TEST_F(Integrity, FailedSaveOnASecondStoreRollsBackThatOneOnly) {
    // Our own write, still pending on the program's connection.
    ASSERT_EQ(Store::main().begin(), 0);
    payer(1);

    marel::test::TempFolder elsewhere;
    Store second;
    ASSERT_EQ(second.open(elsewhere.str(), ""), 0);
    SubjektiFile theirs(second);
    ASSERT_EQ(theirs.create(), 0);
    ASSERT_EQ(theirs.open(), 0);
    for (LONG n : {1, 2}) {
        theirs.clear();
        theirs.OZNAKA = n;
        theirs.OIB = std::to_string(20000000000 + n);
        ASSERT_EQ(theirs.add(), 0);
    }
    theirs.clear();
    theirs.OZNAKA = 2;
    ASSERT_EQ(theirs.get(theirs.KEYOZNAKA), 0);
    RISNAP(theirs);
    theirs.OIB = "20000000001";
    EXPECT_EQ(RIUPDATE(theirs), 1);
    EXPECT_EQ(ask.last().text,
              "Greška(Ključ već postoji (40)) se pojavila prilikom ažuriranja sloga.  Vjerojatan razlog: "
              "subjekti.");
    EXPECT_FALSE(second.inTransaction());
    // The failure elsewhere did not undo what this connection has pending.
    EXPECT_TRUE(Store::main().inTransaction());
    EXPECT_EQ(SUBJEKTI.records(), 1);
    ASSERT_EQ(Store::main().commit(), 0);
    EXPECT_EQ(SUBJEKTI.records(), 1);
    theirs.close();
}
