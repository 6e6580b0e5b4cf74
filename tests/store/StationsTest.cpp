// Several stations on one data folder, and what the store does when the
// database itself is in the way: an empty or old file, a read-only or full
// one, a write failing half-way.
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "store/Backup.h"
#include "store/Integrity.h"
#include "store/Sql.h"
#include "support/StoreDump.h"
#include "support/StoreFixture.h"

using namespace marel;
using marel::test::StoreFixture;

namespace {

int addStreet(UliceFile& file, LONG number, const std::string& name) {
    file.clear();
    file.OZNAKA = number;
    file.NAZIV = name;
    return file.add();
}

int64_t idOf(UliceFile& file, LONG number) {
    file.clear();
    file.OZNAKA = number;
    return file.get(file.KEYOZNAKA) == 0 ? file.currentId() : 0;
}

}  // namespace

TEST_F(StoreFixture, AStaleWatchMissesNoRecordAddedInTheSlotOfADeletedOne) {
    openFiles({&ULICE});
    ASSERT_EQ(addStreet(ULICE, 1, "Ilica"), 0);
    ASSERT_EQ(addStreet(ULICE, 2, "Savska"), 0);
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    UliceFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);

    // We hold the last record, watched; they delete it and add another.
    ULICE.clear();
    ULI.OZNAKA = 2;
    ULICE.watch();
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    const int64_t ours = ULICE.currentId();
    theirs.OZNAKA = 2;
    ASSERT_EQ(theirs.get(theirs.KEYOZNAKA), 0);
    ASSERT_EQ(theirs.deleteRecord(), 0);
    ASSERT_EQ(addStreet(theirs, 3, "Vlaška"), 0);
    EXPECT_GT(theirs.currentId(), ours);  // the id of a deleted record never returns

    ULI.NAZIV = "Ilirski trg";
    EXPECT_EQ(ULICE.put(), kChangedByOther);
    EXPECT_EQ(ULICE.deleteRecord(), kChangedByOther);
    ASSERT_NE(idOf(theirs, 3), 0);
    EXPECT_EQ(theirs.NAZIV.str(), "Vlaška");

    // A record they changed is not deleted from under a watch either.
    ULI.OZNAKA = 1;
    ULICE.watch();
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    ASSERT_NE(idOf(theirs, 1), 0);
    theirs.NAZIV = "Savska cesta";
    ASSERT_EQ(theirs.put(), 0);
    EXPECT_EQ(ULICE.deleteRecord(), kChangedByOther);
    EXPECT_EQ(ULICE.records(), 2);
    theirs.close();
}

TEST(StoreUpgrade, TablesOfTheOldShapeAreMadeAgainWithEveryRecordAndId) {
    MAREL_FILE_ENGINE_ONLY();
    marel::test::TempFolder folder;
    ScriptedPrompter ask;
    setPrompter(&ask);
    std::string oldTables;
    {
        Store old;
        ASSERT_EQ(old.open(folder.str(), ""), 0);
        // The table as the program made it before ids were kept unique.
        ASSERT_EQ(old.exec("CREATE TABLE \"ULICE\"(\"OZNAKA\" INTEGER NOT NULL DEFAULT 0, \"NAZIV\" TEXT NOT NULL "
                           "DEFAULT '' COLLATE HR, \"_ver\" INTEGER NOT NULL DEFAULT 0)"),
                  SQLITE_OK);
        for (auto& ix : indexSqls(UliceFile::LAYOUT(), sqliteDialect())) ASSERT_EQ(old.exec(ix.sql), SQLITE_OK);
        ASSERT_EQ(old.exec("INSERT INTO ULICE(rowid, OZNAKA, NAZIV, _ver) VALUES(1, 1, 'Ilica', 4), "
                           "(5, 2, 'Savska', 0), (7, 3, 'Čakovečka', 2)"),
                  SQLITE_OK);
        oldTables = test::dumpDatabase(old);
    }
    Store store;
    ASSERT_EQ(store.open(folder.str(), ""), 0) << storeErrorText();
    // The tables as they were stay in a copy.
    const std::vector<std::string> copies = automaticBackups(folder.str());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(test::dumpDatabaseFile(copies[0]), oldTables);
    UliceFile streets(store);
    ASSERT_EQ(streets.open(), 0) << errorText();  // its keys are the layout's
    EXPECT_EQ(streets.records(), 3);
    streets.set(streets.KEYNAZIV);
    std::string seen;
    while (streets.next() == 0)
        seen += std::to_string(streets.currentId()) + ":" + streets.NAZIV.str() + ":" +
                std::to_string(streets.version()) + " ";
    EXPECT_EQ(seen, "7:Čakovečka:2 1:Ilica:4 5:Savska:0 ");

    ASSERT_NE(idOf(streets, 3), 0);
    ASSERT_EQ(streets.deleteRecord(), 0);
    ASSERT_EQ(addStreet(streets, 4, "Vlaška"), 0);
    EXPECT_EQ(streets.currentId(), 8);
    streets.close();
    store.close();
    setPrompter(nullptr);
}

TEST(StoreOpening, AnEmptyDatabaseFileIsKeptAsideAndANewOneGetsTheReferenceTables) {
    MAREL_FILE_ENGINE_ONLY();
    marel::test::TempFolder folder;
    ScriptedPrompter ask;
    setPrompter(&ask);
    const auto db = folder.path() / "MAREL.DB";
    { std::ofstream(db).flush(); }
    ASSERT_EQ(std::filesystem::file_size(db), 0u);
    {
        Store store;
        ASSERT_EQ(store.open(folder.str()), 0) << storeErrorText();
        ASSERT_FALSE(store.keptAside().empty());
        EXPECT_EQ(std::filesystem::path(store.keptAside()).filename().string().rfind("MAREL.DB.prazna-", 0), 0u);
        EXPECT_EQ(std::filesystem::file_size(store.keptAside()), 0u);
        VrstedohFile types(store);
        ASSERT_EQ(types.open(), 0);
        EXPECT_GT(types.records(), 0);
        types.close();
    }
    // A database opened again is not new, and nothing is put aside.
    {
        Store store;
        ASSERT_EQ(store.open(folder.str()), 0);
        EXPECT_TRUE(store.keptAside().empty());
    }
    // Something else that is not a database stays as it is and is refused.
    marel::test::TempFolder other;
    { std::ofstream(other.path() / "MAREL.DB") << "not a database at all, but not empty either........"; }
    Store store;
    EXPECT_EQ(store.open(other.str()), kFileInvalid);
    EXPECT_TRUE(store.damaged());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(other.path()), {}), 1);
    setPrompter(nullptr);
}

TEST_F(StoreFixture, EveryKindOfStoreFailureHasItsOwnCode) {
    MAREL_FILE_ENGINE_ONLY();
    openFiles({&ULICE});
    Store& store = Store::main();
    ASSERT_EQ(addStreet(ULICE, 1, "Ilica"), 0);
    EXPECT_EQ(addStreet(ULICE, 2, "Ilica"), kDuplicateKey);
    EXPECT_EQ(errorText(), "Ključ već postoji");

    // Our tables carry no engine rules of their own; a table that does shows
    // how their failures come out.
    ASSERT_EQ(store.exec("CREATE TABLE T_P(id INTEGER PRIMARY KEY); CREATE TABLE T_C(p INTEGER REFERENCES T_P(id), "
                         "n INTEGER NOT NULL CHECK (n > 0))"),
              SQLITE_OK);
    EXPECT_EQ(store.fail(store.exec("INSERT INTO T_C VALUES(NULL, 0)")), kRuleBroken);
    EXPECT_EQ(errorText(), "Krši pravilo datoteke");
    EXPECT_EQ(store.fail(store.exec("INSERT INTO T_C VALUES(NULL, NULL)")), kRuleBroken);
    ASSERT_EQ(store.exec("PRAGMA foreign_keys=ON"), SQLITE_OK);
    EXPECT_EQ(store.fail(store.exec("INSERT INTO T_C VALUES(9, 1)")), kLinkBroken);
    EXPECT_EQ(errorText(), "Prekida vezu s drugom datotekom");
    ASSERT_EQ(store.exec("PRAGMA foreign_keys=OFF; DROP TABLE T_C; DROP TABLE T_P"), SQLITE_OK);
    store.dropStatements();

    // A full disk: the file may not grow by a single page.
    ASSERT_EQ(store.exec("PRAGMA max_page_count = 1"), SQLITE_OK);  // cut to the pages it has
    int rc = 0;
    {
        WriteTransaction tx;
        for (LONG n = 10; rc == 0 && n < 5000; ++n) rc = addStreet(ULICE, n, "Ulica broj " + std::to_string(n));
    }
    EXPECT_EQ(rc, kDiskFull);
    EXPECT_EQ(warningErrorText(), "Disk je pun (44)");
    ASSERT_EQ(store.exec("PRAGMA max_page_count = 1073741823"), SQLITE_OK);

    // A database this station may only read.
    ASSERT_EQ(store.exec("PRAGMA query_only = 1"), SQLITE_OK);
    EXPECT_EQ(addStreet(ULICE, 9000, "Vlaška"), kAccessDenied);
    EXPECT_EQ(warningErrorText(), "Pristup nije dopušten (5)");
    ASSERT_EQ(store.exec("PRAGMA query_only = 0"), SQLITE_OK);
    if (geteuid() != 0) {  // the file's own permission binds everybody but root
        ULICE.close();
        store.close();
        std::filesystem::permissions(folder.path() / "MAREL.DB", std::filesystem::perms::owner_read |
                                                                     std::filesystem::perms::group_read |
                                                                     std::filesystem::perms::others_read);
        ASSERT_EQ(store.open(folder.str(), ""), 0);
        ASSERT_EQ(ULICE.open(), 0);
        EXPECT_EQ(addStreet(ULICE, 9001, "Vlaška"), kAccessDenied);
        ULICE.close();
        store.close();
        std::filesystem::permissions(folder.path() / "MAREL.DB", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        ASSERT_EQ(store.open(folder.str(), ""), 0);
    }
}

TEST_F(StoreFixture, AFailureInTheMiddleOfACascadeDeleteLeavesEveryFileAsItWas) {
    openFiles({&SUBJEKTI, &ISPLATE, &DOHOCI, &OBRACUN, &SVASTA, &JOPO});
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ISP.ISPLATITELJ = 1;
    ASSERT_EQ(ISPLATE.add(), 0);
    for (LONG line = 1; line <= 3; ++line) {
        DOHOCI.clear();
        DOH.OZNAKA = line;
        DOH.ISPLATA = 1;
        ASSERT_EQ(DOHOCI.add(), 0);
        for (USHORT position = 1; position <= 4; ++position) {
            OBRACUN.clear();
            OBR.DOHODAK = line;
            OBR.POZICIJA = position;
            ASSERT_EQ(OBRACUN.add(), 0);
        }
    }
    const std::string before = marel::test::dumpDatabase(Store::main());
    for (int nth : {1, 4, 9, 16}) {  // the first write, lines, calculations, the payment itself
        ISPLATE.clear();
        ISP.OZNAKA = 1;
        ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
        Store::main().injectWriteFailure(nth);
        EXPECT_EQ(RIDELETE(ISPLATE), 1) << nth;
        Store::main().injectWriteFailure(0);
        EXPECT_EQ(marel::test::dumpDatabase(Store::main()), before) << nth;
        EXPECT_FALSE(Store::main().inTransaction());
    }
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().caption, "Delete Operation Error");
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    EXPECT_EQ(RIDELETE(ISPLATE), 0);
    EXPECT_EQ(OBRACUN.records(), 0);
}

// Two processes add one to the same number as fast as they can for a while,
// each re-reading whenever the other was quicker. Every increment that one
// of them counted as written must be in the final number.
TEST(StationsStress, TwoProcessesLoseNoUpdate) {
    marel::test::TempFolder folder;
    {
        Store store;
        ASSERT_EQ(store.open(folder.str(), ""), 0);
        UliceFile counter(store);
        ASSERT_EQ(counter.create(), 0);
        ASSERT_EQ(counter.open(), 0);
        ASSERT_EQ(addStreet(counter, 1, "0"), 0);
        counter.close();
    }
    const auto run = std::chrono::milliseconds(1500);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] > 0) continue;
        long written = 0, refused = 0, failed = 0;
        Store store;
        if (store.open(folder.str(), "") != 0) _exit(2);
        UliceFile counter(store);
        if (counter.open() != 0) _exit(3);
        const auto end = std::chrono::steady_clock::now() + run;
        while (std::chrono::steady_clock::now() < end) {
            counter.clear();
            counter.OZNAKA = 1;
            counter.watch();
            if (counter.get(counter.KEYOZNAKA) != 0) {
                ++failed;
                continue;
            }
            counter.NAZIV = std::to_string(std::stol(counter.NAZIV.str()) + 1);
            // A user's moment between reading and saving, where the other one gets in.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            switch (counter.put()) {
                case 0: ++written; break;
                case kChangedByOther: ++refused; break;
                default: ++failed; break;
            }
        }
        std::ofstream(folder.path() / ("station" + std::to_string(c))) << written << " " << refused << " " << failed;
        counter.close();
        store.close();
        _exit(0);
    }
    long written = 0, refused = 0, failed = 0;
    for (int c = 0; c < 2; ++c) {
        int status = 0;
        ASSERT_EQ(waitpid(children[c], &status, 0), children[c]);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        long w = 0, r = 0, f = 0;
        std::ifstream(folder.path() / ("station" + std::to_string(c))) >> w >> r >> f;
        EXPECT_GT(w, 0) << "station " << c << " never wrote";
        written += w, refused += r, failed += f;
    }
    Store store;
    ASSERT_EQ(store.open(folder.str(), ""), 0);
    UliceFile counter(store);
    ASSERT_EQ(counter.open(), 0);
    ASSERT_NE(idOf(counter, 1), 0);
    const long total = std::stol(counter.NAZIV.str());
    std::cout << "[ stress ] written " << written << ", refused as changed " << refused << ", failed " << failed
              << ", final " << total << ", lost " << written - total << "\n";
    RecordProperty("written", std::to_string(written));
    RecordProperty("refused", std::to_string(refused));
    EXPECT_EQ(total, written);  // no update lost
    counter.close();
}

// A walking cursor reads on with one query for as long as its read
// transaction lasts; the query it leaves running must not keep the lock from
// another station once the transaction ends.
TEST_F(StoreFixture, AWalkKeepsNoLockPastItsReadTransaction) {
    openFiles({&ULICE});
    for (int n : {1, 2, 3}) ASSERT_EQ(addStreet(ULICE, n, "Ulica " + std::to_string(n)), 0);
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    UliceFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);
    Cursor walk(ULICE, ULICE.KEYOZNAKA.index);
    walk.setWalking(true);
    {
        ReadTransaction reading;
        walk.toStart();
        for (LONG n : {1, 2}) {
            ASSERT_EQ(walk.next(), 0);
            ASSERT_EQ(ULI.OZNAKA, n);
        }
    }
    EXPECT_EQ(addStreet(theirs, 4, "Ulica 4"), 0);
}

namespace {

// The server ends this station's connection, as a restart of the server
// would.
void cutConnection(Store& store) {
    Statement own = store.connection().prepare("SELECT pg_backend_pid()", false);
    ASSERT_EQ(own.step(), StepResult::Row);
    const int64_t pid = own.columnInt(0);
    own.reset();
    Connection admin;
    ASSERT_EQ(admin.open(store.path()), 0);
    ASSERT_EQ(admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")"), 0);
}

}  // namespace

// What a transaction wrote before the server dropped its connection is gone,
// and its commit says so; the operations after it work on a new connection.
TEST_F(StoreFixture, AConnectionTheServerDroppedLosesNoCommitAndTheStationGoesOn) {
    if (!Store::main().onServer()) GTEST_SKIP() << "a server's connection";
    openFiles({&ULICE});
    Store& store = Store::main();
    ASSERT_EQ(addStreet(ULICE, 1, "Ilica"), 0);
    ASSERT_EQ(store.begin(), 0);
    ASSERT_EQ(addStreet(ULICE, 2, "Savska"), 0);
    cutConnection(store);
    EXPECT_NE(addStreet(ULICE, 5, "Jurišićeva"), 0);  // meets the break
    EXPECT_EQ(store.commit(), kStoreFailure);
    EXPECT_EQ(addStreet(ULICE, 3, "Vlaška"), 0);
    ASSERT_EQ(store.begin(), 0);
    cutConnection(store);
    store.rollback();  // meets the break, and ends the transaction all the same
    cutConnection(store);
    ULICE.records();  // meets the break
    ASSERT_EQ(addStreet(ULICE, 4, "Tkalčićeva"), 0);
    ULICE.clear();
    ULI.OZNAKA = 2;
    EXPECT_EQ(ULICE.get(ULICE.KEYOZNAKA), kRecordNotFound);  // nor 5
    EXPECT_EQ(ULICE.records(), 3);
}

// A read the server refuses breaks its write transaction: no commit then.
TEST_F(StoreFixture, ACommitAfterARefusedReadIsNotReportedAsDone) {
    if (!Store::main().onServer()) GTEST_SKIP() << "a server's transaction";
    openFiles({&ULICE});
    ASSERT_EQ(Store::main().begin(), 0);
    ASSERT_EQ(addStreet(ULICE, 2, "Savska"), 0);
    Store::main().connection().prepare("SELECT 1 / 0", false).step();
    EXPECT_NE(Store::main().commit(), 0);
}

// A station whose own files give no password is asked once; a wrong one is
// refused with why, and the right one serves every later connection.
TEST_F(StoreFixture, APasswordNoFileGivesIsAskedOnceForTheProgramsLife) {
    const char* fromEnvironment = std::getenv("PGPASSWORD");
    if (!Store::main().onServer() || !fromEnvironment) GTEST_SKIP() << "a server that asks for a password";
    static std::string password;
    static std::vector<std::string> answers;
    static int asked = 0;
    password = fromEnvironment;
    answers = {"pogrešna", password};
    unsetenv("PGPASSWORD");
    setPasswordAsker([](const std::string&) { return answers[size_t(asked++)]; });
    Store first, second, third;
    EXPECT_EQ(first.open(folder.str(), ""), kAccessDenied);
    EXPECT_NE(storeErrorText().find("nije prihvatio korisnika ili lozinku"), std::string::npos) << storeErrorText();
    EXPECT_EQ(second.open(folder.str(), ""), 0) << storeErrorText();
    EXPECT_EQ(third.open(folder.str(), ""), 0) << storeErrorText();
    EXPECT_EQ(asked, 2);
    setPasswordAsker(nullptr);
    setenv("PGPASSWORD", password.c_str(), 1);
}

// The program's files keep working when their store is opened anew on the
// other engine (a folder, then a server): their SQL is the engine's own.
TEST_F(StoreFixture, FilesFollowTheirStoreFromAFolderOntoAServer) {
    if (!Store::main().onServer()) GTEST_SKIP() << "a server beside a folder";
    marel::test::TempFolder plain;
    std::filesystem::remove(plain.path() / "MAREL.conf");
    for (const std::string& location : {plain.str(), folder.str()}) {
        ULICE.close();
        ULICE.USED = 0;
        ASSERT_EQ(Store::main().open(location, ""), 0) << location;
        openFiles({&ULICE});
        ASSERT_EQ(addStreet(ULICE, 7, "Ilica"), 0) << location;
        EXPECT_NE(idOf(ULICE, 7), 0) << location;
    }
}
