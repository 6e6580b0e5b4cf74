#include <sqlite3.h>

#include "support/StoreFixture.h"
#include "store/BufferSet.h"
#include "ui/UpdateForm.h"

using namespace marel;
using Outcome = UpdateForm::Outcome;

namespace {

class UpdateFormTest : public marel::test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        setPrompter(&prompts);
        // The calling list keeps its files open, as a screen would.
        for (DataFile* f : {(DataFile*)&ULICE, (DataFile*)&OSOBE, (DataFile*)&VRSTEDOH, (DataFile*)&DOHOCI})
            held.add(*f);
    }
    void TearDown() override {
        held.release();
        setPrompter(nullptr);
        StoreFixture::TearDown();
    }
    static void street(LONG n, const std::string& name) {
        ULICE.clear();
        ULI.OZNAKA = n;
        ULI.NAZIV = name;
        ASSERT_EQ(ULICE.add(), 0);
    }
    // The list re-reads the selected record, watched, before it calls the form.
    static void load(LONG n) {
        ULICE.clear();
        ULI.OZNAKA = n;
        ULICE.watch();
        ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    }
    static std::string nameOf(LONG n) {
        UliceFile other;
        other.open();
        other.OZNAKA = n;
        std::string name = other.get(other.KEYOZNAKA) == 0 ? other.NAZIV.str() : "(none)";
        other.close();
        return name;
    }
    static void changeElsewhere(LONG n, const std::string& name) {
        UliceFile other;
        other.open();
        other.OZNAKA = n;
        EXPECT_EQ(other.get(other.KEYOZNAKA), 0);
        other.NAZIV = name;
        EXPECT_EQ(other.put(), 0);
        other.close();
    }

    ScriptedPrompter prompts;
    FileUse held;
};

}  // namespace

TEST_F(UpdateFormTest, NewRecordsAreNumberedFromTheHighestAndAddedAtOnce) {
    {
        ULICE.clear();
        UpdateForm form(ULICE, "T-NUMBER");
        LONG numberSeenByDefaults = -1;
        form.defaults = [&] { numberSeenByDefaults = ULI.OZNAKA; };
        ASSERT_TRUE(form.open(INSERTRECORD));
        EXPECT_EQ(ULI.OZNAKA, 1);
        EXPECT_EQ(numberSeenByDefaults, 1);
        EXPECT_EQ(ULICE.records(), 1);  // there while the user fills the form
        ULI.NAZIV = "Ilica";
        EXPECT_EQ(form.ok(), Outcome::Close);
        EXPECT_EQ(form.close(), REQUESTCOMPLETED);
    }
    EXPECT_EQ(nameOf(1), "Ilica");

    street(41, "Vlaška");
    ULICE.clear();
    UpdateForm form(ULICE, "T-NUMBER");
    ASSERT_TRUE(form.open(INSERTRECORD));
    EXPECT_EQ(ULI.OZNAKA, 42);  // even though 2 to 40 are free
}

TEST_F(UpdateFormTest, TheNumberKeepsWhatTheCallerPutInTheBuffer) {
    FileUse places{&MJESTA};
    MJESTA.clear();
    MJE.OPCINA = 7;  // a new place of the highlighted municipality
    UpdateForm form(MJESTA, "T-PLACE");
    ASSERT_TRUE(form.open(INSERTRECORD));
    EXPECT_EQ(MJE.OZNAKA, 1);
    EXPECT_EQ(MJE.OPCINA, 7);
}

TEST_F(UpdateFormTest, CancelledInsertLeavesNoRecordAndTheNumberIsUsedAgain) {
    street(5, "Ilica");
    for (int round = 0; round < 2; ++round) {
        ULICE.clear();
        UpdateForm form(ULICE, "T-CANCEL");
        ASSERT_TRUE(form.open(INSERTRECORD));
        EXPECT_EQ(ULI.OZNAKA, 6);
        ULI.NAZIV = "Vlaška";
        form.cancel();
        EXPECT_EQ(form.close(), REQUESTCANCELLED);
        EXPECT_EQ(ULICE.records(), 1);
    }
    // Closing without any answer (the window shut) is a cancel too.
    ULICE.clear();
    {
        UpdateForm form(ULICE, "T-CANCEL");
        ASSERT_TRUE(form.open(INSERTRECORD));
    }
    EXPECT_EQ(ULICE.records(), 1);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(UpdateFormTest, CancelledNewPaymentTakesTheLinesEnteredUnderIt) {
    FileUse files{&ISPLATE, &JOPO, &OBRACUN, &SVASTA};
    ISPLATE.clear();
    ISP.ISPLATITELJ = 3;
    UpdateForm form(ISPLATE, "T-PAYMENT");
    ASSERT_TRUE(form.open(INSERTRECORD));
    const LONG payment = ISP.OZNAKA;
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    DOH.ISPLATA = payment;
    ASSERT_EQ(DOHOCI.add(), 0);
    form.cancel();
    form.close();
    EXPECT_EQ(ISPLATE.records(), 0);
    // Left behind, the line would belong to the next payment, which gets the same number.
    EXPECT_EQ(DOHOCI.records(), 0);
}

TEST_F(UpdateFormTest, FailedNumberingAsksAndLeavesNothingBehind) {
    // The caller primes the new recipient with an OIB another one already has,
    // so every add clashes whatever number it gets.
    OSOBE.clear();
    OSO.OZNAKA = 1;
    OSO.OIB = "12345678903";
    ASSERT_EQ(OSOBE.add(), 0);
    prompts.answers = {BUTTON_RETRY, BUTTON_CANCEL};
    OSOBE.clear();
    OSO.MJESTO = 9;
    OSO.OIB = "12345678903";
    UpdateForm form(OSOBE, "T-FAIL");
    EXPECT_FALSE(form.open(INSERTRECORD));
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.last().text, "Attempts to automatically number this record have failed.  Error: "
                                   "Ključ već postoji (40).");
    EXPECT_EQ(prompts.last().caption, "Auto Increment Error");
    EXPECT_EQ(OSOBE.records(), 1);
    EXPECT_EQ(OSO.MJESTO, 9);
    EXPECT_EQ(form.response(), REQUESTCANCELLED);
}

TEST_F(UpdateFormTest, OkOnAnUneditedChangeWritesNothing) {
    street(1, "Ilica");
    load(1);
    UpdateForm form(ULICE, "T-CHANGE");
    ASSERT_TRUE(form.open(CHANGERECORD));
    changeElsewhere(1, "Savska");  // a write by the form would overwrite this
    EXPECT_EQ(form.ok(), Outcome::Close);
    EXPECT_EQ(form.close(), REQUESTCOMPLETED);
    EXPECT_EQ(nameOf(1), "Savska");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(UpdateFormTest, TheScreensCheckCanKeepTheFormOpen) {
    ULICE.clear();
    UpdateForm form(ULICE, "T-CHECK");
    bool pass = false;
    form.validate = [&] { return pass; };
    ASSERT_TRUE(form.open(INSERTRECORD));
    ULI.NAZIV = "Ilica";
    EXPECT_EQ(form.ok(), Outcome::Stay);
    EXPECT_EQ(nameOf(1), "");
    pass = true;
    EXPECT_EQ(form.ok(), Outcome::Close);
    EXPECT_EQ(nameOf(1), "Ilica");
}

TEST_F(UpdateFormTest, DuplicateKeyNamesTheFirstKeyDuplicated) {
    street(1, "Ilica");
    street(2, "Vlaška");
    ULICE.clear();
    UpdateForm form(ULICE, "T-DUP");
    ASSERT_TRUE(form.open(INSERTRECORD));
    ULI.NAZIV = "Ilica";
    EXPECT_EQ(form.ok(), Outcome::FirstField);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.last().text, "Već postoji slog sa ovom vrijednosti za ključ:ULI:KeyNaziv");
    EXPECT_EQ(prompts.last().caption, "Greška dupliciranja");
    EXPECT_EQ(ULICE.records(), 3);  // still open with its record
    // The number comes first in key order.
    ULI.OZNAKA = 2;
    EXPECT_EQ(form.ok(), Outcome::FirstField);
    EXPECT_EQ(prompts.last().text, "Već postoji slog sa ovom vrijednosti za ključ:ULI:KeyOznaka");
    form.cancel();
    form.close();
    EXPECT_EQ(ULICE.records(), 2);

    // A change is refused the same way, and nothing is written.
    load(2);
    UpdateForm change(ULICE, "T-DUP");
    ASSERT_TRUE(change.open(CHANGERECORD));
    ULI.NAZIV = "Ilica";
    EXPECT_EQ(change.ok(), Outcome::FirstField);
    EXPECT_EQ(prompts.last().text, "Već postoji slog sa ovom vrijednosti za ključ:ULI:KeyNaziv");
    EXPECT_EQ(nameOf(2), "Vlaška");
}

TEST_F(UpdateFormTest, DeleteAsksForConfirmationFirst) {
    street(1, "Ilica");
    load(1);
    prompts.answers = {BUTTON_CANCEL};
    {
        UpdateForm form(ULICE, "T-DEL");
        EXPECT_FALSE(form.open(DELETERECORD));  // no window for a delete
        EXPECT_EQ(form.response(), REQUESTCANCELLED);
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.last().text, "Brisati ću odabrani slog.  Pritisnite OK za potvrdu brisanja.");
    EXPECT_EQ(prompts.last().caption, "Potvrda brisanja");
    EXPECT_EQ(prompts.last().buttons, BUTTON_OK | BUTTON_CANCEL);
    EXPECT_EQ(ULICE.records(), 1);

    prompts.answers = {BUTTON_OK};
    UpdateForm form(ULICE, "T-DEL");
    int busy = 0;
    form.busy = [&](bool on) { busy += on ? 1 : -10; };
    EXPECT_FALSE(form.open(DELETERECORD));
    EXPECT_EQ(busy, -9);  // the hourglass on once and off once
    EXPECT_EQ(form.response(), REQUESTCOMPLETED);
    EXPECT_EQ(ULICE.records(), 0);
}

TEST_F(UpdateFormTest, RefusedDeleteOffersToTryAgain) {
    street(1, "Ilica");
    OSOBE.clear();
    OSO.OZNAKA = 1;
    OSO.ULICA = 1;
    ASSERT_EQ(OSOBE.add(), 0);
    load(1);
    prompts.answers = {BUTTON_OK, BUTTON_OK, BUTTON_YES, BUTTON_OK, BUTTON_NO};
    UpdateForm form(ULICE, "T-DEL");
    EXPECT_FALSE(form.open(DELETERECORD));
    ASSERT_EQ(prompts.messages.size(), 5u);
    EXPECT_EQ(prompts.messages[1].caption, "Referential Integrity Delete Error");
    EXPECT_EQ(prompts.messages[2].text,
              "An error was experienced deleting this record.  Do you want to try to save again?");
    EXPECT_EQ(form.response(), REQUESTCANCELLED);
    EXPECT_EQ(ULICE.records(), 1);
}

TEST_F(UpdateFormTest, RestrictedNumberChangeAsksAndSavesTheRestWithTheOldNumber) {
    VRSTEDOH.clear();
    VRS.OZNAKA = 1;
    VRS.NAZIV = "Ugovor o djelu";
    ASSERT_EQ(VRSTEDOH.add(), 0);
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    DOH.VRSTADOHOTKA = 1;
    ASSERT_EQ(DOHOCI.add(), 0);
    VRS.OZNAKA = 1;
    ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);

    UpdateForm form(VRSTEDOH, "T-RI");
    ASSERT_TRUE(form.open(CHANGERECORD));
    VRS.OZNAKA = 5;
    VRS.NAZIV = "Autorski honorar";
    prompts.answers = {BUTTON_OK, BUTTON_CANCEL};  // warning 12, then Cancel on 16: back to the form
    EXPECT_EQ(form.ok(), Outcome::Stay);
    EXPECT_EQ(prompts.last().caption, "Record Update Error");
    EXPECT_EQ(VRS.OZNAKA, 1);  // set back by the integrity rule
    prompts.answers = {BUTTON_YES};
    EXPECT_EQ(form.ok(), Outcome::Close);
    EXPECT_EQ(form.close(), REQUESTCOMPLETED);
    VRSTEDOH.clear();
    VRS.OZNAKA = 1;
    ASSERT_EQ(VRSTEDOH.get(VRSTEDOH.KEYOZNAKA), 0);
    EXPECT_EQ(VRS.NAZIV, "Autorski honorar");
}

TEST_F(UpdateFormTest, ChangedByAnotherStationShowsTheirsAndDittoRecallsOurs) {
    street(1, "Ilica");
    load(1);
    UpdateForm form(ULICE, "T-89");
    ASSERT_TRUE(form.open(CHANGERECORD));
    changeElsewhere(1, "Savska");
    ULI.NAZIV = "Vlaška";
    EXPECT_EQ(form.ok(), Outcome::Stay);
    EXPECT_EQ(prompts.last().caption, "Record Was Not Updated");
    EXPECT_EQ(ULI.NAZIV, "Savska");
    EXPECT_EQ(form.history(FieldRef(ULICE, "NAZIV")), "Vlaška");
    // The other version is watched now: saving again goes through.
    ULI.NAZIV = "Vlaška";
    EXPECT_EQ(form.ok(), Outcome::Close);
    EXPECT_EQ(nameOf(1), "Vlaška");
}

TEST_F(UpdateFormTest, DittoRecallsWhatThisFormSavedLast) {
    ULICE.clear();
    {
        UpdateForm form(ULICE, "T-DITTO");
        ASSERT_TRUE(form.open(INSERTRECORD));
        EXPECT_EQ(form.history(FieldRef(ULICE, "NAZIV")), std::nullopt);  // nothing saved yet
        ULI.NAZIV = "Ilica";
        ASSERT_EQ(form.ok(), Outcome::Close);
    }
    ULICE.clear();
    UpdateForm form(ULICE, "T-DITTO");
    ASSERT_TRUE(form.open(INSERTRECORD));
    EXPECT_EQ(form.history(FieldRef(ULICE, "NAZIV")), "Ilica");
    EXPECT_EQ(form.history(FieldRef(ULICE, "OZNAKA")), "1");
    String<25> local;
    EXPECT_EQ(form.history(FieldRef(local)), std::nullopt);
    UpdateForm other(ULICE, "T-DITTO-OTHER");
    EXPECT_EQ(other.history(FieldRef(ULICE, "NAZIV")), std::nullopt);
}

TEST_F(UpdateFormTest, AnotherScreenReadingMeanwhileDoesNotLeakIntoTheForm) {
    street(1, "Ilica");
    ULICE.clear();
    UpdateForm form(ULICE, "T-PARK");
    ASSERT_TRUE(form.open(INSERTRECORD));
    ULI.NAZIV = "Vlaška";
    {
        BufferScope otherScreen(BufferSet::make());
        load(1);  // a list in another screen reads street 1
        EXPECT_EQ(ULI.NAZIV, "Ilica");
    }
    EXPECT_EQ(ULI.OZNAKA, 2);
    EXPECT_EQ(ULI.NAZIV, "Vlaška");
    EXPECT_EQ(form.ok(), Outcome::Close);
    EXPECT_EQ(nameOf(1), "Ilica");
    EXPECT_EQ(nameOf(2), "Vlaška");
}

namespace {

// Another station on the same data folder: a connection and a file of its own.
struct OtherStation {
    explicit OtherStation(const std::string& folder) {
        EXPECT_EQ(store.open(folder, ""), 0);
        EXPECT_EQ(streets.open(), 0);
    }
    ~OtherStation() { streets.close(); }
    void remove(LONG n) {
        streets.clear();
        streets.OZNAKA = n;
        ASSERT_EQ(streets.get(streets.KEYOZNAKA), 0);
        ASSERT_EQ(streets.deleteRecord(), 0);
    }
    void add(LONG n, const std::string& name) {
        streets.clear();
        streets.OZNAKA = n;
        streets.NAZIV = name;
        ASSERT_EQ(streets.add(), 0);
    }
    void rename(LONG n, const std::string& name) {
        streets.clear();
        streets.OZNAKA = n;
        ASSERT_EQ(streets.get(streets.KEYOZNAKA), 0);
        streets.NAZIV = name;
        ASSERT_EQ(streets.put(), 0);
    }
    Store store;
    UliceFile streets{store};
};

int64_t openInserts() {
    Statement* st = Store::main().statement("SELECT count(*) FROM \"_INSERTS\"");
    int64_t n = st && st->step() == StepResult::Row ? st->columnInt(0) : -1;
    if (st) st->reset();
    return n;
}

}  // namespace

TEST_F(UpdateFormTest, AStaleFormDoesNotWriteOrDeleteTheRecordAddedInPlaceOfItsOwn) {
    street(1, "Ilica");
    street(2, "Savska");
    OtherStation other(folder.str());

    // Change: they delete the record and add another, where the old one was.
    load(2);
    {
        UpdateForm form(ULICE, "T-STALE");
        ASSERT_TRUE(form.open(CHANGERECORD));
        other.remove(2);
        other.add(3, "Vlaška");
        ULI.NAZIV = "Ilirski trg";
        EXPECT_EQ(form.ok(), Outcome::Stay);
        EXPECT_EQ(prompts.last().caption, "Record Was Not Updated");
        form.cancel();
    }
    EXPECT_EQ(nameOf(3), "Vlaška");
    EXPECT_EQ(nameOf(2), "(none)");

    // Delete: confirmed after the same happened, or after they changed it.
    load(3);
    other.remove(3);
    other.add(4, "Tkalčićeva");
    prompts.answers = {BUTTON_OK, BUTTON_OK};
    {
        UpdateForm form(ULICE, "T-STALE");
        EXPECT_FALSE(form.open(DELETERECORD));
        EXPECT_EQ(form.response(), REQUESTCANCELLED);
    }
    EXPECT_EQ(prompts.last().caption, "Delete Operation Error");
    EXPECT_EQ(prompts.last().text, "An error (Slog je promijenila druga radna stanica (89)) was experienced when "
                                   "attempting to delete a record from the file ulice.");
    load(4);
    other.rename(4, "Tkalčićeva ulica");
    prompts.answers = {BUTTON_OK, BUTTON_OK};
    {
        UpdateForm form(ULICE, "T-STALE");
        EXPECT_FALSE(form.open(DELETERECORD));
        EXPECT_EQ(form.response(), REQUESTCANCELLED);
    }
    EXPECT_EQ(prompts.messages.size(), 5u);  // no offer to try again: it is not the record the user chose
    EXPECT_EQ(nameOf(4), "Tkalčićeva ulica");
    EXPECT_EQ(ULICE.records(), 2);
}

TEST_F(UpdateFormTest, ANewRecordChangedElsewhereBeforeOkIsNotOverwritten) {
    OtherStation other(folder.str());
    ULICE.clear();
    UpdateForm form(ULICE, "T-NEW89");
    ASSERT_TRUE(form.open(INSERTRECORD));
    EXPECT_EQ(openInserts(), 1);
    other.rename(1, "Savska");
    ULI.NAZIV = "Ilica";
    EXPECT_EQ(form.ok(), Outcome::Stay);
    EXPECT_EQ(prompts.last().caption, "Record Was Not Updated");
    EXPECT_EQ(ULI.NAZIV, "Savska");
    EXPECT_EQ(nameOf(1), "Savska");
    EXPECT_EQ(openInserts(), 1);  // not ended: a crash now would still leave nothing behind
    // Seen and entered again, it is saved, and the form is no longer an open insert.
    ULI.NAZIV = "Ilica";
    EXPECT_EQ(form.ok(), Outcome::Close);
    EXPECT_EQ(form.close(), REQUESTCOMPLETED);
    EXPECT_EQ(nameOf(1), "Ilica");
    EXPECT_EQ(openInserts(), 0);

    // A cancelled one takes its note with its record.
    ULICE.clear();
    UpdateForm cancelled(ULICE, "T-NEW89");
    ASSERT_TRUE(cancelled.open(INSERTRECORD));
    EXPECT_EQ(openInserts(), 1);
    cancelled.cancel();
    cancelled.close();
    EXPECT_EQ(openInserts(), 0);
    EXPECT_EQ(ULICE.records(), 1);
}

TEST_F(UpdateFormTest, ANewPaymentsNumberChangedBeforeOkTakesItsLinesAlong) {
    FileUse files{&ISPLATE, &JOPO, &OBRACUN, &SVASTA};
    ISPLATE.clear();
    UpdateForm form(ISPLATE, "T-RENUMBER");
    ASSERT_TRUE(form.open(INSERTRECORD));
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    DOH.ISPLATA = ISP.OZNAKA;
    ASSERT_EQ(DOHOCI.add(), 0);
    ISP.OZNAKA = 7;
    EXPECT_EQ(form.ok(), Outcome::Close);
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    ASSERT_EQ(DOHOCI.get(DOHOCI.KEYOZNAKA), 0);
    EXPECT_EQ(DOH.ISPLATA, 7);
}

TEST_F(UpdateFormTest, ACancelledInsertKeepsItsRecordOnceAnotherStationWroteIt) {
    OtherStation other(folder.str());
    {
        ULICE.clear();
        UpdateForm form(ULICE, "T-CANCEL89");
        form.insertTitle = "Upis ulice";
        ASSERT_TRUE(form.open(INSERTRECORD));
        other.rename(1, "Savska");
        ULI.NAZIV = "Ilica";
        EXPECT_EQ(form.ok(), Outcome::Stay);
        form.cancel();
    }
    EXPECT_EQ(nameOf(1), "Savska");
    EXPECT_EQ(prompts.last().text, "Ovaj slog je u međuvremenu promijenila druga radna stanica, pa nije obrisan.");
    EXPECT_EQ(prompts.last().caption, "Upis ulice");
    // Theirs now: no longer an insert that a later start would clear away.
    EXPECT_EQ(openInserts(), 0);
}
