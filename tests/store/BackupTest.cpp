#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "store/Backup.h"
#include "support/StoreDump.h"
#include "support/StoreFixture.h"

using namespace marel;
namespace fs = std::filesystem;

namespace {

class Backups : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        openFiles({&ULICE});
        for (const char* name : {"Ilica", "Savska", "Čakovečka"}) addStreet(name);
    }
    static void addStreet(const std::string& name) {
        ULICE.clear();
        ULI.OZNAKA = ULICE.records() + 1;
        ULI.NAZIV = name;
        ASSERT_EQ(ULICE.add(), 0) << errorText();
    }
    std::string copyPath(const std::string& name) const { return (copies.path() / name).string(); }
    std::vector<std::string> keptCopies() const { return automaticBackups(folder.str()); }
    test::TempFolder copies;
};

}  // namespace

TEST_F(Backups, ACopyRestoresToIdenticalTablesAndKeepsWhatItReplaced) {
    const std::string before = test::dumpDatabase(Store::main());
    const std::string records = test::dumpTables(Store::main().connection());
    // Another station in the middle of a write: the copy has what was
    // committed, never its half-done change.
    {
        Store other;
        ASSERT_EQ(other.open(folder.str(), ""), 0);
        UliceFile theirs(other);
        ASSERT_EQ(theirs.open(), 0);
        WriteTransaction tx(other);
        ASSERT_TRUE(tx.ok());
        theirs.clear();
        theirs.OZNAKA = 9;
        theirs.NAZIV = "Vlaška";
        ASSERT_EQ(theirs.add(), 0);
        ASSERT_EQ(writeBackup(Store::main(), copyPath("kopija.DB")), "");
        theirs.close();
    }
    EXPECT_EQ(test::dumpCopyLike(Store::main(), copyPath("kopija.DB")), before);

    addStreet("Tratinska");
    ASSERT_EQ(ULICE.deleteRecord(), 0);
    addStreet("Zagorska");
    const int64_t given = ULICE.currentId();
    const std::string changed = test::dumpDatabase(Store::main());
    std::string kept;
    ASSERT_EQ(restoreBackup(Store::main(), copyPath("kopija.DB"), &kept), "");
    // The records as they were; the ids given meanwhile stay given.
    EXPECT_EQ(test::dumpTables(Store::main().connection()), records);
    EXPECT_EQ(test::dumpCopyLike(Store::main(), kept), changed);
    EXPECT_EQ(keptCopies(), std::vector<std::string>{kept});
    // The open file reads the restored records.
    ULICE.set(ULICE.KEYNAZIV);
    ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Čakovečka");
    addStreet("Vlaška");
    EXPECT_GT(ULICE.currentId(), given);
}

TEST_F(Backups, WhatCannotBeDoneSafelyIsRefusedAndChangesNothing) {
    { std::ofstream(copyPath("tekst.DB")) << "nije baza"; }
    {
        sqlite3* foreign = nullptr;
        sqlite3_open(copyPath("tuda.DB").c_str(), &foreign);
        sqlite3_exec(foreign, "CREATE TABLE racuni(x)", nullptr, nullptr, nullptr);
        sqlite3_close(foreign);
        // A table named as one of the program's files, of another shape.
        sqlite3_open(copyPath("slicna.DB").c_str(), &foreign);
        sqlite3_exec(foreign, "CREATE TABLE ULICE(ime, kat)", nullptr, nullptr, nullptr);
        sqlite3_close(foreign);
    }
    const std::string before = test::dumpDatabase(Store::main());
    const std::string live = (folder.path() / "MAREL.DB").string();
    struct Case {
        const char* what;
        std::function<std::string()> run;
        const char* says;
        bool anyEngine = true;  // else only where the data is a file
    };
    const Case cases[] = {
        {"restore from text", [&] { return restoreBackup(Store::main(), copyPath("tekst.DB")); }, "oštećena"},
        {"restore from another program's database", [&] { return restoreBackup(Store::main(), copyPath("tuda.DB")); },
         "nije kopija podataka"},
        {"restore from a table of another shape", [&] { return restoreBackup(Store::main(), copyPath("slicna.DB")); },
         "nije kopija podataka"},
        {"restore from nothing", [&] { return restoreBackup(Store::main(), copyPath("nema.DB")); }, "ne postoji"},
        {"copy over the data itself", [&] { return writeBackup(Store::main(), live); }, "sami podaci", false},
        {"copy into a missing folder", [&] { return writeBackup(Store::main(), copyPath("nema/k.DB")); },
         "mapa ne postoji"},
        {"copy inside a write", [&] {
             WriteTransaction tx;
             return writeBackup(Store::main(), copyPath("usred.DB"));
         }, "u tijeku"},
    };
    for (const Case& c : cases) {
        if (!c.anyEngine && test::onTestServer()) continue;
        EXPECT_NE(c.run().find(c.says), std::string::npos) << c.what;
        EXPECT_EQ(test::dumpDatabase(Store::main()), before) << c.what;
    }
    EXPECT_FALSE(fs::exists(copyPath("usred.DB")));
    EXPECT_TRUE(keptCopies().empty());
    // Nothing half-written is left beside the targets.
    for (const auto& entry : fs::directory_iterator(copies.path()))
        EXPECT_EQ(entry.path().filename().string().find("pisanje"), std::string::npos);
}

TEST_F(Backups, TheLastTenAutomaticCopiesAreKeptAndTheUsersOwnNever) {
    fs::create_directories(folder.path() / kBackupFolder);
    { std::ofstream(folder.path() / kBackupFolder / "MAREL-kopija-2026-01-01.DB") << "moja"; }
    std::vector<std::string> made;
    for (int i = 0; i < 12; ++i) {
        std::string written;
        ASSERT_EQ(automaticBackup(Store::main(), "proba", &written), "");
        made.push_back(written);
    }
    EXPECT_EQ(keptCopies(), std::vector<std::string>(made.begin() + 2, made.end()));
    EXPECT_TRUE(fs::exists(folder.path() / kBackupFolder / "MAREL-kopija-2026-01-01.DB"));
}

TEST_F(Backups, TheAutomaticCopyBeingRestoredFromOutlivesARestoreThatFails) {
    std::vector<std::string> made(kKeptBackups);
    for (std::string& written : made) ASSERT_EQ(automaticBackup(Store::main(), "proba", &written), "");
    // Another station's write stops the restore after the oldest copy's turn to go came.
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    WriteTransaction tx(other);
    ASSERT_NE(restoreBackup(Store::main(), made.front()), "");
    EXPECT_TRUE(fs::exists(made.front()));
}
