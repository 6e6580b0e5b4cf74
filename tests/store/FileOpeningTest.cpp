#include <sqlite3.h>

#include <chrono>
#include <fstream>

#include "store/Integrity.h"
#include "support/StoreFixture.h"

using namespace marel;
using marel::test::StoreFixture;

TEST_F(StoreFixture, MissingFileIsCreatedSilentlyAndSharedByItsUsers) {
    {
        FileUse first{&OSOBE};
        EXPECT_TRUE(OSOBE.isOpen());
        EXPECT_TRUE(ask.messages.empty());
        {
            FileUse second{&OSOBE};
            EXPECT_EQ(OSOBE.USED, 2);
        }
        // The first user still has it.
        EXPECT_TRUE(OSOBE.isOpen());
        EXPECT_EQ(OSOBE.USED, 1);
    }
    EXPECT_FALSE(OSOBE.isOpen());
    // Opened again elsewhere (already open) counts as success.
    ASSERT_EQ(OSOBE.open(), 0);
    EXPECT_EQ(CHECKOPEN(OSOBE), 0);
    OSOBE.close();
}

TEST_F(StoreFixture, InvalidKeysAreRebuiltOnYesAndEndTheProgramOnNo) {
    openFiles({&ULICE});
    ULICE.close();
    ASSERT_EQ(Store::main().exec("DROP INDEX \"ULICE_KEYNAZIV\""), SQLITE_OK);
    ask.answers = {BUTTON_YES};
    EXPECT_EQ(CHECKOPEN(ULICE), 0);
    EXPECT_TRUE(ULICE.isOpen());
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text, "ULICE key file is invalid.  Do you want to rebuild the key?");
    EXPECT_EQ(ask.last().caption, "Invalid Key");
    EXPECT_EQ(ask.last().buttons, BUTTON_YES | BUTTON_NO);
    EXPECT_EQ(ask.last().defaultButton, BUTTON_YES);
    EXPECT_EQ(ask.last().icon, Icon::Question);
    ULICE.close();

    ASSERT_EQ(Store::main().exec("DROP INDEX \"ULICE_KEYNAZIV\""), SQLITE_OK);
    ask.answers = {BUTTON_NO};
    try {
        CHECKOPEN(ULICE);
        FAIL() << "the program should have ended";
    } catch (const ProgramHalted& h) {
        EXPECT_EQ(h.closingText, "Invalid Key!");
    }
    EXPECT_FALSE(Store::main().isOpen());
}

TEST(FileOpening, DamagedDatabaseEndsTheProgramWithWarning1) {
    MAREL_FILE_ENGINE_ONLY();
    marel::test::TempFolder folder;
    std::ofstream(folder.path() / "MAREL.DB") << std::string(2048, 'z');
    ScriptedPrompter ask;
    setPrompter(&ask);
    setHaltHandler([](const std::string& text) { throw ProgramHalted{text}; });
    ASSERT_EQ(Store::main().open(folder.str(), ""), kFileInvalid);
    try {
        CHECKOPEN(OSOBE);
        FAIL() << "the program should have ended";
    } catch (const ProgramHalted& h) {
        EXPECT_EQ(h.closingText, "Datoteka ne valja!");
    }
    ASSERT_EQ(ask.messages.size(), 1u);
    EXPECT_EQ(ask.last().text,
              "Greška: (Neispravna datoteka podataka (47)) otvaram OSOBE.  Pritisni OK da zatvoriš aplikaciju.");
    EXPECT_EQ(ask.last().caption, "Datoteka ne valja");
    setPrompter(nullptr);
    setHaltHandler(nullptr);
}

TEST_F(StoreFixture, WarningTextsCarryTheErrorAndTheStoreDetail) {
    setError(kFileNotFound);
    EXPECT_THROW(STANDARDWARNING(4, "OSOBE"), ProgramHalted);
    // Messages only accumulate: once one is there, last() stays safe below.
    ASSERT_FALSE(ask.messages.empty());
    EXPECT_EQ(ask.last().text, "Error: (Datoteka nije pronađena (2)) creating OSOBE.  Press OK to end this application.");
    ASSERT_EQ(Store::main().open(folder.str(), ""), 0);  // the halt closed it
    setError(kStoreFailure, 13, "database or disk is full");
    STANDARDWARNING(14);
    EXPECT_EQ(ask.last().text,
              "An error was experienced during the update of record.  Error: database or disk is full (13).");
    setError(kDuplicateKey);
    STANDARDWARNING(15, "osobe");
    EXPECT_EQ(ask.last().text,
              "Greška(Ključ već postoji (40)) se pojavila prilikom ažuriranja sloga.  Vjerojatan razlog: osobe.");
    EXPECT_EQ(ask.last().caption, "Greška prilikom ažuriranja");
    setError(kChangedByOther);
    STANDARDWARNING(15, "osobe");
    EXPECT_EQ(ask.last().text, "This record was changed by another station.");
    EXPECT_EQ(ask.last().caption, "Update Operation Error");
    // The saved error wins over what happened since, and is used once.
    setError(kFileLocked);
    RISAVEERROR();
    setError(0);
    STANDARDWARNING(34, "isplate", "Delete");
    EXPECT_EQ(ask.last().text,
              "Error: (Datoteka je zaključana (32)) attempting to frame the delete transaction on isplate.  Delete "
              "transaction cancelled.");
    EXPECT_EQ(STANDARDWARNING(32), BUTTON_CANCEL);  // the default of the delete confirmation
    EXPECT_EQ(ask.last().text, "Brisati ću odabrani slog.  Pritisnite OK za potvrdu brisanja.");
    EXPECT_EQ(ask.last().buttons, BUTTON_OK | BUTTON_CANCEL);
    STANDARDWARNING(24, "OSO:KeyOib");
    EXPECT_EQ(ask.last().text, "Već postoji slog sa ovom vrijednosti za ključ:OSO:KeyOib");
}
