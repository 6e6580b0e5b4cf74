#include "session/Initialisation.h"
#include "store/Backup.h"
#include "support/StoreDump.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

const char* const ASK1 = "ŽELITE LI STVARNO IZBRISATI SVE ISPLATE?";
const char* const ASK2 = "JESTE LI SIGURNI?";

class Initialisation : public test::StoreFixture {
protected:
    // One payer with one payment, its income line, calculation lines, payment
    // method and JOPPD form; every file closed again, as between windows.
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        openFiles({&SUBJEKTI, &ISPLATE, &DOHOCI, &OBRACUN, &SVASTA, &JOPO});
        SUBJEKTI.clear();
        SUB.OZNAKA = 1;
        ASSERT_EQ(SUBJEKTI.add(), 0);
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ISP.ISPLATITELJ = 1;
        ASSERT_EQ(ISPLATE.add(), 0);
        DOHOCI.clear();
        DOH.OZNAKA = 1;
        DOH.ISPLATA = 1;
        ASSERT_EQ(DOHOCI.add(), 0);
        for (USHORT position : {1, 10}) {
            OBRACUN.clear();
            OBR.DOHODAK = 1;
            OBR.POZICIJA = position;
            ASSERT_EQ(OBRACUN.add(), 0);
        }
        SVASTA.clear();
        SVA.DOHODAK = 1;
        SVA.BROJ = 1;
        SVA.VRISHORT = 2;
        ASSERT_EQ(SVASTA.add(), 0);
        JOPO.clear();
        JOPO.OZNAKA = 1;
        JOPO.ISPLATA = 1;
        JOPO.RBR = 1;
        JOPO.UJED = "0f8fad5b-d9cb-469f-a165-70867728950e";
        ASSERT_EQ(JOPO.add(), 0);
        for (DataFile* f : std::initializer_list<DataFile*>{&SUBJEKTI, &ISPLATE, &DOHOCI, &OBRACUN, &SVASTA, &JOPO})
            releaseFile(*f);
    }

    // Records of a file, -1 when the file is gone.
    static int64_t count(DataFile& f) {
        if (f.open() != 0) return -1;
        int64_t n = f.records();
        f.close();
        return n;
    }
};

}  // namespace

TEST_F(Initialisation, TwoYesesRemoveThePaymentsAndEverythingHangingOnThem) {
    openFiles({&SVASTA, &JOPO});
    SVASTA.clear();
    SVA.BROJ = 1;
    ASSERT_EQ(SVASTA.add(), 0);
    JOPO.clear();
    JOPO.OZNAKA = 2;
    ASSERT_EQ(JOPO.add(), 0);
    releaseFile(SVASTA);
    releaseFile(JOPO);
    const std::string before = test::dumpDatabase(Store::main());
    ask.answers = {1, 1};
    INICIJALIZACIJA();
    ASSERT_EQ(ask.texts(), (std::vector<std::string>{ASK1, ASK2, "ISPLATE SU IZBRISANE"}));
    // The payments as they were stay in a copy.
    const std::vector<std::string> copies = automaticBackups(folder.str());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(copies[0].find("-inicijalizacija.DB"), std::string::npos);
    EXPECT_EQ(test::dumpCopyLike(Store::main(), copies[0]), before);
    EXPECT_EQ(ask.messages[0].caption, "Inicijalizacija podataka");
    EXPECT_EQ(ask.messages[1].caption, "Potvrda brisanja");
    EXPECT_EQ(ask.messages[0].buttonTexts, "DA|NE");
    EXPECT_EQ(ask.messages[1].buttonTexts, "DA|NE");
    for (DataFile* f : std::initializer_list<DataFile*>{&OBRACUN, &DOHOCI, &ISPLATE})
        EXPECT_EQ(count(*f), -1) << f->label();
    // Their payment methods and JOPPD forms went with them; rows linked to
    // no payment or line stay.
    EXPECT_EQ(count(SVASTA), 1);
    EXPECT_EQ(count(JOPO), 1);
    EXPECT_EQ(count(SUBJEKTI), 1);

    // The next window finds the files empty and numbering starts again.
    openFiles({&ISPLATE});
    EXPECT_EQ(ISPLATE.records(), 0);
}

TEST_F(Initialisation, NoAtEitherQuestionOrEnterTwiceRemovesNothing) {
    // Unscripted answers are the default buttons: "NE" guards against a hasty Enter.
    for (std::deque<int> answers : {std::deque<int>{2}, std::deque<int>{1, 2}, std::deque<int>{}}) {
        ask.messages.clear();
        ask.answers = answers;
        INICIJALIZACIJA();
        EXPECT_EQ(ask.texts().back(), "PODACI NISU BRISANI");
        EXPECT_EQ(ask.messages.size(), answers.empty() ? 2u : answers.size() + 1);
        for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &SVASTA, &JOPO})
            EXPECT_EQ(count(*f), 1) << f->label();
        EXPECT_EQ(count(OBRACUN), 2);
    }
    EXPECT_TRUE(automaticBackups(folder.str()).empty());
}

TEST_F(Initialisation, FilesInUseAreNamedAndNothingIsRemoved) {
    // The income-line list and the JOPPD form list are open in other windows.
    openFiles({&DOHOCI, &JOPO});
    const std::string before = test::dumpDatabase(Store::main());
    ask.answers = {1, 1};
    INICIJALIZACIJA();
    EXPECT_EQ(ask.texts(), (std::vector<std::string>{ASK1, ASK2, "GREŠKA KOD BRISANJA FILE-A DOHOCI Datoteka je već otvorena",
                                                     "GREŠKA KOD BRISANJA FILE-A JOPO Datoteka je već otvorena",
                                                     "PODACI NISU BRISANI"}));
    EXPECT_EQ(test::dumpDatabase(Store::main()), before);
}

TEST_F(Initialisation, BesideAnotherStationHoldingTheDataNothingIsRemoved) {
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    IsplateFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);
    ASSERT_EQ(other.beginRead(), 0);
    theirs.set();
    ASSERT_EQ(theirs.next(), 0);  // their list holds the file while it reads
    ask.answers = {1, 1};
    INICIJALIZACIJA();
    EXPECT_EQ(ask.texts(), (std::vector<std::string>{ASK1, ASK2, DATA_LOCKED_TEXT, "PODACI NISU BRISANI"}));
    other.commitRead();
    theirs.close();
    for (DataFile* f : std::initializer_list<DataFile*>{&DOHOCI, &ISPLATE, &SVASTA, &JOPO})
        EXPECT_EQ(count(*f), 1) << f->label();
    EXPECT_EQ(count(OBRACUN), 2);
}

TEST_F(Initialisation, AWriteFailingAnywhereLeavesEveryFileAsItWas) {
    const std::string before = test::dumpDatabase(Store::main());
    // Each write in turn fails, until there is none left to fail.
    int nth = 1;
    for (; nth < 20; ++nth) {
        ask.messages.clear();
        ask.answers = {1, 1};
        Store::main().injectWriteFailure(nth);
        INICIJALIZACIJA();
        Store::main().injectWriteFailure(0);
        if (ask.texts().back() == "ISPLATE SU IZBRISANE") break;
        EXPECT_EQ(ask.texts().back(), "PODACI NISU BRISANI") << nth;
        EXPECT_EQ(test::dumpDatabase(Store::main()), before) << nth;
    }
    EXPECT_EQ(nth, 6);  // the two linked rows and the three files
}

TEST(InitialisationFresh, FilesNeverCreatedAreNoError) {
    test::TempFolder folder;
    ScriptedPrompter ask;
    setPrompter(&ask);
    ASSERT_EQ(Store::main().open(folder.str(), ""), 0);
    ask.answers = {1, 1};
    INICIJALIZACIJA();
    EXPECT_EQ(ask.texts(), (std::vector<std::string>{ASK1, ASK2, "ISPLATE SU IZBRISANE"}));
    Store::main().close();
    setPrompter(nullptr);
}
