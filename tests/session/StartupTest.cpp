#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

#include "session/Globals.h"
#include "store/OpenInserts.h"
#include "ui/UpdateForm.h"
#include "store/Records.h"
#include "store/Warnings.h"
#include "support/TempFolder.h"
#include <gtest/gtest.h>

using namespace marel;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        setPrompter(&ask);
        Date::fixToday(Date::fromYmd(2014, 3, 10));
    }
    void TearDown() override {
        programEnd();
        for (DataFile* f : allFiles()) {
            f->close();
            f->USED = 0;
        }
        Date::fixToday(Date());
        setPrompter(nullptr);
    }
    // Ends the program and starts it again on the same folder.
    void restart() {
        programEnd();
        programStart(folder.str(), data.str());
    }
    marel::test::TempFolder folder, data;
    ScriptedPrompter ask;
};

}  // namespace

TEST_F(Startup, FirstStartOnAnEmptyFolder) {
    GLO.KONIME = "stari";
    programStart(folder.str(), data.str());
    EXPECT_TRUE(ask.messages.empty());
    EXPECT_EQ(GLO.VRSTADOH, 21);
    EXPECT_TRUE(GLO.KONIME.empty());
    EXPECT_EQ(GLO.DATUMIZVJ, Date::fromYmd(2014, 3, 10));
    // The files start-up needs exist now, empty; the positions stay empty.
    for (DataFile* f : {static_cast<DataFile*>(&DOHOCI), static_cast<DataFile*>(&ID1)}) {
        ASSERT_EQ(f->open(), 0) << f->label();
        EXPECT_EQ(f->records(), 0);
        f->close();
    }
    EXPECT_TRUE(POZICIJE.isOpen());
    EXPECT_EQ(POZICIJE.records(), 0);
}

TEST_F(Startup, PositionsGainCrisisTaxOnceAndGlobalsComeFromTheData) {
    {
        std::ofstream out(data.path() / "POZICIJE.tsv");
        out << "OZNAKA\tNAZIV\n";
        for (int i = 1; i <= 12; ++i) out << i << "\tPozicija " << i << "\n";
    }
    programStart(folder.str(), data.str());
    EXPECT_EQ(POZICIJE.records(), 14);
    POZICIJE.clear();
    POZ.OZNAKA = 14;
    ASSERT_EQ(POZICIJE.get(POZICIJE.KEYOZNAKA), 0);
    EXPECT_EQ(POZ.NAZIV.str(), "Poslije Kriporez");

    {
        FileUse use{&DOHOCI, &ID1};
        for (LONG n : {3, 1}) {  // the highest number decides, not the order of adding
            DOHOCI.clear();
            DOH.OZNAKA = n;
            DOH.VRSTADOHOTKA = BYTE(n == 3 ? 7 : 2);
            ASSERT_EQ(DOHOCI.add(), 0);
        }
        for (LONG n : {1, 2}) {
            ID1.clear();
            ID1.OZNAKA = n;
            ID1.GODINA = n == 1 ? "2015" : "2013";
            ID1.KONIME = n == 1 ? "Ana" : "Iva";
            ID1.KONPOZ1 = USHORT(n);
            ASSERT_EQ(ID1.add(), 0);
        }
    }
    restart();
    EXPECT_EQ(POZICIJE.records(), 14);  // nothing more the second time
    EXPECT_EQ(GLO.VRSTADOH, 7);
    EXPECT_EQ(GLO.KONIME.str(), "Iva");  // added last, whatever its year
    EXPECT_EQ(GLO.KONPOZ1, 2);

    {
        FileUse use{&ID1};
        ID1.clear();
        ID1.OZNAKA = 2;
        ASSERT_EQ(ID1.get(ID1.KEYOZNAKA), 0);
        ASSERT_EQ(ID1.deleteRecord(), 0);
    }
    restart();
    EXPECT_EQ(GLO.KONIME.str(), "Ana");
}

TEST_F(Startup, UnusableDatabaseEndsTheProgramWithItsMessage) {
    std::ofstream(folder.path() / "MAREL.DB") << std::string(1024, 'q');
    setHaltHandler([](const std::string& text) { throw ProgramHalted{text}; });
    try {
        programStart(folder.str(), data.str());
        FAIL() << "the program should have ended";
    } catch (const ProgramHalted& h) {
        EXPECT_EQ(h.closingText, "Datoteka ne valja!");
    }
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.messages[0].caption, "Datoteka ne valja");
    setHaltHandler(nullptr);
}

// A process killed while its insert form was open: the next start of the
// program on this computer removes the record it added and the lines entered
// under it; a form of a process still running keeps its record.
TEST_F(Startup, RecordsOfInsertFormsThatNeverEndedGoAtTheNextStart) {
    programStart(folder.str(), data.str());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Its own connection, as another run of the program would have.
        Store::main().close();
        for (DataFile* f : allFiles()) f->close(), f->USED = 0;
        programStart(folder.str(), data.str());
        auto* form = new UpdateForm(ISPLATE, "T-KILLED");  // never ended
        if (!form->open(INSERTRECORD)) _exit(1);
        FileUse lines{&DOHOCI};
        DOHOCI.clear();
        DOH.OZNAKA = 1;
        DOH.ISPLATA = ISP.OZNAKA;
        _exit(DOHOCI.add() == 0 ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    {
        FileUse files{&ISPLATE, &DOHOCI, &ULICE};
        ASSERT_EQ(ISPLATE.records(), 1);
        ASSERT_EQ(DOHOCI.records(), 1);
        // This process's own form, still open.
        ULICE.clear();
        ASSERT_EQ(ULICE.add(), 0);
        ASSERT_EQ(noteOpenInsert(ULICE, ULICE.currentId()), 0);
        // Notes of the same dead process number: one of another computer,
        // which only that computer may clear; one of ours whose record
        // another station has written since, which is theirs now.
        for (const std::string& host : {std::string("druga-stanica"), stationHost()}) {
            ULICE.clear();
            ULI.OZNAKA = LONG(ULICE.records()) + 1;
            ULI.NAZIV = host;
            ASSERT_EQ(ULICE.add(), 0);
            if (host != "druga-stanica") {
                ASSERT_EQ(ULICE.put(), 0);
            }
            ASSERT_EQ(Store::main().exec("INSERT INTO _INSERTS VALUES('ULICE', " + std::to_string(ULICE.currentId()) +
                                         ", '" + host + "', " + std::to_string(child) + ", '2014-03-10 10:00:00')"),
                      0);
        }
    }
    restart();
    FileUse files{&ISPLATE, &DOHOCI, &ULICE};
    EXPECT_EQ(ISPLATE.records(), 0);
    EXPECT_EQ(DOHOCI.records(), 0);
    EXPECT_EQ(ULICE.records(), 3);
    EXPECT_TRUE(ask.messages.empty());
}
