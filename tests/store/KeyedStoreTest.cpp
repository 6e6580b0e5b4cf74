#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/StoreFixture.h"

using namespace marel;
using marel::test::StoreFixture;

namespace {

int addStreet(const std::string& name) {
    ULICE.clear();
    ULI.NAZIV = name;
    // The highest number plus one, as new records are numbered.
    ULICE.set(ULICE.KEYOZNAKA);
    LONG next = ULICE.previous() == 0 ? ULI.OZNAKA + 1 : 1;
    ULICE.clear();
    ULI.NAZIV = name;
    ULI.OZNAKA = next;
    return ULICE.add();
}

std::vector<std::string> readAll(DataFile& f, const Key& key, StringField& field, bool forward = true) {
    std::vector<std::string> out;
    f.set(key);
    while ((forward ? f.next() : f.previous()) == 0) out.push_back(field.str());
    return out;
}

}  // namespace

TEST(Layouts, EveryFileHasItsFieldsAndKeys) {
    ASSERT_EQ(allLayouts().size(), 22u);
    for (const Layout* l : allLayouts()) {
        // The documented record width is the sum of the fixed fields.
        int bytes = 0;
        for (auto& f : l->fields) {
            switch (f.type) {
                case FieldType::String: bytes += f.size; break;
                case FieldType::Decimal: bytes += (f.size + 1) / 2; break;
                case FieldType::Memo: break;
                case FieldType::Long:
                case FieldType::Date: bytes += 4; break;
                case FieldType::Short:
                case FieldType::UShort: bytes += 2; break;
                case FieldType::Byte: bytes += 1; break;
            }
        }
        EXPECT_EQ(bytes, l->recordBytes) << l->label;
        EXPECT_FALSE(l->keys.empty()) << l->label;
    }
    EXPECT_EQ(findLayout("UPLATNIRN")->diskName(), "UPLATNIR");
    const Layout& isp = IsplateFile::LAYOUT();
    const KeyDef& k = isp.keys[size_t(isp.keyIndex("KEYRSIDISPLATITELJ"))];
    ASSERT_EQ(k.components.size(), 3u);
    EXPECT_TRUE(k.unique);
    EXPECT_FALSE(k.components[0].desc);
    EXPECT_TRUE(k.components[1].desc);
    EXPECT_TRUE(k.components[2].desc);
    EXPECT_EQ(JopoFile::LAYOUT().keyDisplayName(JOPO.KEYJEDINSTVO.index), "JOPO:KeyJedinstvo");
    EXPECT_EQ(ParamFile::LAYOUT().keyDisplayName(0), "PAR:KeyOznaka");
    EXPECT_EQ(SubjektiFile::LAYOUT().keyDisplayName(SUBJEKTI.KEYPOREZNIBROJ.index), "SUB:KeyPorezniBroj");
    EXPECT_EQ(OsobeFile::LAYOUT().keyDisplayName(OSOBE.KEYOIB.index), "OSO:KeyOIB");
    EXPECT_EQ(IsplateFile::LAYOUT().keyDisplayName(ISPLATE.KEYRSIDISPLATITELJ.index), "ISP:KeyRSIdIsplatitelj");
}

TEST_F(StoreFixture, EveryFileCanBeCreatedOpenedAndRemoved) {
    for (DataFile* f : allFiles()) {
        EXPECT_EQ(f->open(), kFileNotFound) << f->label();
        EXPECT_EQ(f->create(), 0) << f->label() << storeErrorText();
        EXPECT_EQ(f->open(), 0) << f->label();
        EXPECT_EQ(f->open(), kAlreadyOpen) << f->label();
        EXPECT_EQ(f->records(), 0);
        // A file in use is not removed.
        EXPECT_EQ(f->remove(), kAlreadyOpen);
        f->close();
        EXPECT_EQ(f->remove(), 0);
        EXPECT_EQ(f->open(), kFileNotFound);
    }
}

TEST_F(StoreFixture, ARemoveThatCannotReadTheDatabaseReportsWhyNotAMissingFile) {
    MAREL_FILE_ENGINE_ONLY();  // a server's readers never wait
    ASSERT_EQ(OSOBE.create(), 0);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Store::main().path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    // A wait that has just run out: the remove fails at once instead of waiting again.
    EXPECT_EQ(Store::main().begin(10), kFileLocked);
    EXPECT_EQ(OSOBE.remove(), kFileLocked);
    sqlite3_close(other);
}

TEST_F(StoreFixture, TextKeysFollowCroatianOrderIgnoringCase) {
    openFiles({&OSOBE});
    int n = 0;
    for (const char* s : {"Đurić", "dabić", "Čulić", "Džaja", "Cvitan", "Ćosić", "Zorić", "Šimić", "Sabol", "Ana"}) {
        OSOBE.clear();
        OSO.OZNAKA = ++n;
        OSO.PREZIME = s;
        OSO.OIB = std::to_string(10000000000 + n);
        ASSERT_EQ(OSOBE.add(), 0);
    }
    EXPECT_EQ(readAll(OSOBE, OSOBE.KEYPREZIMEIME, OSO.PREZIME),
              (std::vector<std::string>{"Ana", "Cvitan", "Čulić", "Ćosić", "dabić", "Džaja", "Đurić", "Sabol",
                                        "Šimić", "Zorić"}));
}

TEST_F(StoreFixture, UniqueKeysRefuseDuplicatesAndWriteNothing) {
    openFiles({&ULICE, &OSOBE, &ISPLATE});
    ASSERT_EQ(addStreet("Ilica"), 0);
    EXPECT_EQ(addStreet("ILICA"), kDuplicateKey);  // case does not make a new name
    EXPECT_EQ(errorCode(), kDuplicateKey);
    EXPECT_EQ(ULICE.records(), 1);
    // A name longer than the field keeps its first 25 characters.
    ASSERT_EQ(addStreet("Ulica kneza Branimira Trpimirovića"), 0);
    ULICE.clear();
    ULI.OZNAKA = 2;
    ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Ulica kneza Branimira Trp");

    OSOBE.clear();
    OSO.OZNAKA = 1;
    OSO.OIB = "12345678903";
    ASSERT_EQ(OSOBE.add(), 0);
    EXPECT_FALSE(OSOBE.duplicate(OSOBE.KEYOIB));  // a record does not clash with itself
    OSO.OZNAKA = 2;
    OSO.OIB = "98765432106";
    ASSERT_EQ(OSOBE.add(), 0);
    OSO.OIB = "12345678903";  // the second recipient given the first one's OIB
    EXPECT_TRUE(OSOBE.duplicate(OSOBE.KEYOIB));
    EXPECT_EQ(OSOBE.firstDuplicateKey(), OSOBE.KEYOIB.index);
    EXPECT_EQ(OSOBE.put(), kDuplicateKey);
    OSO.OZNAKA = 3;
    EXPECT_EQ(OSOBE.add(), kDuplicateKey);
    EXPECT_EQ(OSOBE.records(), 2);

    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ISP.ISPLATITELJ = 7;
    ISP.GODINA = "2014";
    ISP.RSID = "14036";
    ASSERT_EQ(ISPLATE.add(), 0);
    ISP.OZNAKA = 2;
    EXPECT_EQ(ISPLATE.add(), kDuplicateKey);
    ISP.ISPLATITELJ = 8;  // another payer may use the same identifier
    EXPECT_EQ(ISPLATE.add(), 0);
    EXPECT_EQ(ISPLATE.records(), 2);
}

TEST_F(StoreFixture, BlankIdentifiersMayRepeatButFilledOnesMayNot) {
    openFiles({&OSOBE, &SUBJEKTI});
    // Recipients whose OIB is not known yet (and the blank record an insert
    // form adds at once) do not clash with each other.
    for (LONG n : {1, 2, 3}) {
        OSOBE.clear();
        OSO.OZNAKA = n;
        OSO.PREZIME = "Horvat";
        EXPECT_FALSE(OSOBE.duplicate(OSOBE.KEYOIB));
        ASSERT_EQ(OSOBE.add(), 0) << n;
        EXPECT_EQ(OSOBE.firstDuplicateKey(), -1);
    }
    OSO.OIB = "12345678903";
    ASSERT_EQ(OSOBE.put(), 0);
    OSOBE.clear();
    OSO.OZNAKA = 2;
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    OSO.OIB = "12345678903";
    EXPECT_EQ(OSOBE.firstDuplicateKey(), OSOBE.KEYOIB.index);
    EXPECT_EQ(OsobeFile::LAYOUT().keyDisplayName(OSOBE.firstDuplicateKey()), "OSO:KeyOIB");
    EXPECT_EQ(OSOBE.put(), kDuplicateKey);

    // Looking up by OIB finds the one that has it, and blanks in key order.
    OSOBE.clear();
    OSO.OIB = "12345678903";
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOIB), 0);
    EXPECT_EQ(OSO.OZNAKA, 3);
    EXPECT_EQ(readAll(OSOBE, OSOBE.KEYOIB, OSO.OIB), (std::vector<std::string>{"", "", "12345678903"}));
    // ... through an index, not by reading the whole file (a server plans
    // by its statistics of the file, which a test's three records do not
    // make).
    if (Store::main().onServer()) return;
    sqlite3_stmt* plan = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(Store::main().db(),
                                 "EXPLAIN QUERY PLAN SELECT rowid FROM \"OSOBE\" WHERE \"OIB\" IS ? ORDER BY rowid LIMIT 1",
                                 -1, &plan, nullptr),
              SQLITE_OK);
    std::string detail;
    while (sqlite3_step(plan) == SQLITE_ROW) detail += reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
    sqlite3_finalize(plan);
    EXPECT_NE(detail.find("INDEX"), std::string::npos) << detail;

    // A payer's registration number and OIB likewise.
    for (LONG n : {1, 2}) {
        SUBJEKTI.clear();
        SUB.OZNAKA = n;
        ASSERT_EQ(SUBJEKTI.add(), 0) << n;
    }
    SUB.POREZNIBROJ = "0123456";
    ASSERT_EQ(SUBJEKTI.put(), 0);
    SUBJEKTI.clear();
    SUB.OZNAKA = 1;
    ASSERT_EQ(SUBJEKTI.get(SUBJEKTI.KEYOZNAKA), 0);
    SUB.POREZNIBROJ = "0123456";
    EXPECT_EQ(SubjektiFile::LAYOUT().keyDisplayName(SUBJEKTI.firstDuplicateKey()), "SUB:KeyPorezniBroj");
    EXPECT_EQ(SUBJEKTI.put(), kDuplicateKey);
}

TEST_F(StoreFixture, DescendingKeyGivesNewestYearThenHighestIdentifierPerPayer) {
    openFiles({&ISPLATE});
    struct P { LONG payer; const char* year; const char* rsid; };
    int n = 0;
    for (P p : {P{1, "2013", "13360"}, P{1, "2014", "14036"}, P{2, "2015", "15001"}, P{1, "2014", "14100"},
                P{1, "2012", "12001"}, P{1, "2014", "14002"}}) {
        ISPLATE.clear();
        ISP.OZNAKA = ++n;
        ISP.ISPLATITELJ = p.payer;
        ISP.GODINA = p.year;
        ISP.RSID = p.rsid;
        ASSERT_EQ(ISPLATE.add(), 0);
    }
    ISPLATE.set(ISPLATE.KEYRSIDISPLATITELJ);
    std::vector<std::string> got;
    while (ISPLATE.next() == 0)
        if (ISP.ISPLATITELJ == 1) got.push_back(ISP.RSID.str());
    EXPECT_EQ(got, (std::vector<std::string>{"14100", "14036", "14002", "13360", "12001"}));
    // Positioned on a value between records: lower identifiers follow in this order.
    ISPLATE.clear();
    ISP.ISPLATITELJ = 1;
    ISP.GODINA = "2014";
    ISP.RSID = "14050";
    ISPLATE.setFrom(ISPLATE.KEYRSIDISPLATITELJ);
    ASSERT_EQ(ISPLATE.next(), 0);
    EXPECT_EQ(ISP.RSID.str(), "14036");

    // The same order through a cursor limited to one payer, read from both ends.
    Cursor view(ISPLATE, ISPLATE.KEYRSIDISPLATITELJ.index);
    view.startAt(1);
    ASSERT_EQ(view.previous(), 0);
    EXPECT_EQ(ISP.RSID.str(), "12001");
    ASSERT_EQ(view.previous(), 0);
    EXPECT_EQ(ISP.RSID.str(), "13360");
    view.toStart();
    ASSERT_EQ(view.next(), 0);
    EXPECT_EQ(ISP.RSID.str(), "14100");
    EXPECT_EQ(view.previous(), kRecordNotAvailable);
}

TEST_F(StoreFixture, ReadingPastEitherEndAndPositioningBetweenRecords) {
    openFiles({&ULICE});
    EXPECT_EQ(readAll(ULICE, ULICE.KEYNAZIV, ULI.NAZIV), std::vector<std::string>{});
    ULICE.set(ULICE.KEYNAZIV);
    EXPECT_EQ(ULICE.next(), kRecordNotAvailable);
    for (const char* s : {"Vukovarska", "Ilica", "Savska", "Zagrebačka"}) ASSERT_EQ(addStreet(s), 0);

    ULICE.set(ULICE.KEYNAZIV);
    ASSERT_EQ(ULICE.previous(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Zagrebačka");
    EXPECT_EQ(readAll(ULICE, ULICE.KEYNAZIV, ULI.NAZIV, false),
              (std::vector<std::string>{"Zagrebačka", "Vukovarska", "Savska", "Ilica"}));

    ULICE.set(ULICE.KEYNAZIV);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULICE.next(), kRecordNotAvailable);
    EXPECT_EQ(ULICE.next(), kRecordNotAvailable);

    // A value between records: the next one read is the first after it.
    ULICE.clear();
    ULI.NAZIV = "Ra";
    ULICE.setFrom(ULICE.KEYNAZIV);
    ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Savska");
    ULI.NAZIV = "Ra";
    ULICE.setFrom(ULICE.KEYNAZIV);
    ASSERT_EQ(ULICE.previous(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Ilica");
    // An exact value is read itself.
    ULI.NAZIV = "savska";
    ULICE.setFrom(ULICE.KEYNAZIV);
    ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Savska");
}

TEST_F(StoreFixture, PositionSurvivesOtherRecordsComingAndGoing) {
    openFiles({&ULICE});
    for (const char* s : {"Avenija", "Braće Radić", "Cvjetna", "Dubrava"}) ASSERT_EQ(addStreet(s), 0);
    ULICE.clear();
    ULI.NAZIV = "Cvjetna";
    ASSERT_EQ(ULICE.get(ULICE.KEYNAZIV), 0);
    std::string pos = ULICE.position(ULICE.KEYNAZIV);
    LONG id = ULI.OZNAKA;

    ULICE.clear();
    ULI.NAZIV = "Braće Radić";
    ASSERT_EQ(ULICE.get(ULICE.KEYNAZIV), 0);
    ASSERT_EQ(ULICE.deleteRecord(), 0);
    ASSERT_EQ(addStreet("Banjavčićeva"), 0);
    ASSERT_EQ(addStreet("Cesarčeva"), 0);

    ULICE.clear();
    ASSERT_EQ(ULICE.reget(ULICE.KEYNAZIV, pos), 0);
    EXPECT_EQ(ULI.OZNAKA, id);
    ASSERT_EQ(ULICE.reset(ULICE.KEYNAZIV, pos), 0);
    ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Cvjetna");
    ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Dubrava");
    ASSERT_EQ(ULICE.reset(ULICE.KEYNAZIV, pos), 0);
    ASSERT_EQ(ULICE.previous(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Cvjetna");
    ASSERT_EQ(ULICE.previous(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Cesarčeva");

    // The positioned record itself deleted: reget fails, reset lands on its neighbour.
    ULICE.clear();
    ASSERT_EQ(ULICE.reget(pos), 0);
    ASSERT_EQ(ULICE.deleteRecord(), 0);
    EXPECT_EQ(ULICE.reget(pos), kRecordNotAvailable);
    ASSERT_EQ(ULICE.reset(ULICE.KEYNAZIV, pos), 0);
    ASSERT_EQ(ULICE.next(), 0);
    EXPECT_EQ(ULI.NAZIV.str(), "Dubrava");
}

TEST_F(StoreFixture, RolledBackTransactionLeavesEveryFileAsBefore) {
    openFiles({&ISPLATE, &DOHOCI, &OBRACUN});
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.add(), 0);
    ASSERT_EQ(Store::main().begin(), 0);
    ISP.RSID = "14001";
    ASSERT_EQ(ISPLATE.put(), 0);
    DOHOCI.clear();
    DOH.OZNAKA = 1;
    DOH.ISPLATA = 1;
    DOH.NETO = Decimal::parse("1000.00");
    ASSERT_EQ(DOHOCI.add(), 0);
    OBRACUN.clear();
    OBR.DOHODAK = 1;
    OBR.POZICIJA = 10;
    ASSERT_EQ(OBRACUN.add(), 0);
    EXPECT_EQ(OBRACUN.add(), kDuplicateKey);  // a failure inside leaves the rest pending
    ASSERT_EQ(Store::main().rollback(), 0);

    EXPECT_EQ(DOHOCI.records(), 0);
    EXPECT_EQ(OBRACUN.records(), 0);
    ISPLATE.clear();
    ISP.OZNAKA = 1;
    ASSERT_EQ(ISPLATE.get(ISPLATE.KEYOZNAKA), 0);
    EXPECT_EQ(ISP.RSID.str(), "");
}

TEST_F(StoreFixture, WriteTransactionKeepsOnlyWhatIsCommitted) {
    openFiles({&ULICE});
    Store& store = Store::main();
    {
        WriteTransaction tx;
        ASSERT_TRUE(tx.ok());
        ASSERT_EQ(addStreet("Ilica"), 0);
    }  // left without commit: undone
    EXPECT_FALSE(store.inTransaction());
    EXPECT_EQ(ULICE.records(), 0);

    {
        WriteTransaction tx;
        ASSERT_EQ(addStreet("Savska"), 0);
        EXPECT_EQ(tx.commit(), 0);
        // Ended: neither a second commit nor a rollback pretends anything.
        EXPECT_EQ(tx.commit(), kStoreFailure);
        tx.rollback();
    }
    EXPECT_EQ(ULICE.records(), 1);

    {
        WriteTransaction tx;
        ASSERT_EQ(addStreet("Vlaška"), 0);
        tx.rollback();
        EXPECT_EQ(tx.commit(), kStoreFailure);  // a rolled-back write is never reported as written
    }
    EXPECT_EQ(ULICE.records(), 1);

    EXPECT_THROW(
        {
            WriteTransaction tx;
            ASSERT_EQ(addStreet("Zagorska"), 0);
            throw std::runtime_error("interrupted");
        },
        std::runtime_error);
    EXPECT_FALSE(store.inTransaction());
    EXPECT_EQ(ULICE.records(), 1);
}

TEST_F(StoreFixture, WriteTransactionThatCannotBeginSaysSoAndTouchesNothing) {
    openFiles({&ULICE});
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    ASSERT_EQ(other.begin(), 0);
    {
        WriteTransaction tx(Store::main(), 100);
        EXPECT_FALSE(tx.ok());
        EXPECT_EQ(tx.error(), kFileLocked);
        EXPECT_EQ(tx.commit(), kFileLocked);
    }
    // Their transaction is theirs: our failed scope did not end it.
    EXPECT_TRUE(other.inTransaction());
    other.rollback();

    // One already open is refused, unless the scope joins it; a joined
    // scope leaves the ending to the one who began it.
    ASSERT_EQ(Store::main().begin(), 0);
    {
        WriteTransaction own;
        EXPECT_EQ(own.error(), kStoreFailure);
    }
    EXPECT_TRUE(Store::main().inTransaction());
    {
        WriteTransaction joined(Store::main(), 2000, WriteTransaction::Join);
        ASSERT_TRUE(joined.ok());
        ASSERT_EQ(addStreet("Ilica"), 0);
    }
    EXPECT_TRUE(Store::main().inTransaction());
    ASSERT_EQ(Store::main().commit(), 0);
    EXPECT_EQ(ULICE.records(), 1);

    Store closed;
    WriteTransaction none(closed);
    EXPECT_EQ(none.error(), kFileNotOpen);
}

TEST_F(StoreFixture, AnotherStationsChangeIsNotOverwritten) {
    openFiles({&OSOBE});
    OSOBE.clear();
    OSO.OZNAKA = 1;
    OSO.PREZIME = "Horvat";
    OSO.OIB = "11111111111";
    ASSERT_EQ(OSOBE.add(), 0);

    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    OsobeFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);

    OSOBE.watch();
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    theirs.OZNAKA = 1;
    ASSERT_EQ(theirs.get(theirs.KEYOZNAKA), 0);
    theirs.IME = "Ivan";
    ASSERT_EQ(theirs.put(), 0);

    OSO.IME = "Marko";
    EXPECT_EQ(OSOBE.put(), kChangedByOther);
    OSOBE.clear();
    OSO.OZNAKA = 1;
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    EXPECT_EQ(OSO.IME.str(), "Ivan");
    // Re-read and watched again, the write goes through.
    OSOBE.watch();
    ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
    OSO.IME = "Marko";
    EXPECT_EQ(OSOBE.put(), 0);
    theirs.close();
}

TEST_F(StoreFixture, LockOfAnotherStationFailsTheTransactionAfterTwoSeconds) {
    openFiles({&ULICE});
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    ASSERT_EQ(other.begin(), 0);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Store::main().begin(), kFileLocked);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(waited, 1.5);
    EXPECT_LT(waited, 6.0);
    other.rollback();
    EXPECT_EQ(Store::main().begin(), 0);
    Store::main().rollback();
}

TEST_F(StoreFixture, DroppedIndexIsReportedAndRebuilt) {
    openFiles({&OSOBE});
    OSOBE.close();
    ASSERT_EQ(Store::main().exec("DROP INDEX \"OSOBE_KEYOIB\""), SQLITE_OK);
    EXPECT_EQ(OSOBE.open(), kKeysInvalid);
    EXPECT_EQ(OSOBE.build(), 0);
    EXPECT_EQ(OSOBE.open(), 0);
}

TEST_F(StoreFixture, BadValuesAreRefusedNotMangled) {
    openFiles({&DOHOCI, &ULICE});
    DOHOCI.clear();
    EXPECT_THROW(DOH.NETO = Decimal::parse("123456789012.00"), DecimalOverflow);
    EXPECT_TRUE(DOH.NETO.isZero());
    DOH.NETO = Decimal::parse("999999999.99");
    EXPECT_EQ(DOH.NETO.value().toString(2), "999999999.99");
    ULI.NAZIV = "Ilica";
    EXPECT_THROW(ULI.NAZIV = "Ulica 日本", EncodingError);
    EXPECT_EQ(ULI.NAZIV.str(), "Ilica");
}

TEST(StoreFiles, DamagedDatabaseIsReportedAs47) {
    MAREL_FILE_ENGINE_ONLY();
    marel::test::TempFolder folder;
    {
        std::ofstream out(folder.path() / "MAREL.DB");
        out << std::string(4096, 'x');
    }
    Store s;
    EXPECT_EQ(s.open(folder.str(), ""), kFileInvalid);
    EXPECT_TRUE(s.damaged());
    OsobeFile f(s);
    EXPECT_EQ(f.open(), kFileInvalid);
}

TEST(StoreFiles, NewDatabaseReceivesSuppliedTables) {
    marel::test::TempFolder folder, data;
    {
        std::ofstream out(data.path() / "POZICIJE.tsv");
        out << "# test\nOZNAKA\tNAZIV\n1\tBruto\n2\tPriznati troškovi\n";
    }
    Store s;
    ASSERT_EQ(s.open(folder.str(), data.str()), 0) << storeErrorText();
    PozicijeFile poz(s);
    ASSERT_EQ(poz.open(), 0);
    EXPECT_EQ(poz.records(), 2);
    poz.OZNAKA = 2;
    ASSERT_EQ(poz.get(poz.KEYOZNAKA), 0);
    EXPECT_EQ(poz.NAZIV.str(), "Priznati troškovi");
    // Only a new database is filled: opening again adds nothing.
    poz.close();
    s.close();
    ASSERT_EQ(s.open(folder.str(), data.str()), 0);
    ASSERT_EQ(poz.open(), 0);
    EXPECT_EQ(poz.records(), 2);
    // A file not supplied is simply absent, to be created empty when opened.
    VbratFile vbr(s);
    EXPECT_EQ(vbr.open(), kFileNotFound);
}

TEST_F(StoreFixture, ReadTransactionNestsAndGivesWayToWrites) {
    openFiles({&ULICE});
    Store& store = Store::main();
    ASSERT_EQ(addStreet("Ilica"), 0);
    Store other;
    ASSERT_EQ(other.open(folder.str(), ""), 0);
    UliceFile theirs(other);
    ASSERT_EQ(theirs.open(), 0);
    auto theyAdd = [&](LONG number, const char* name) {
        if (other.begin(100) != 0) return false;
        theirs.clear();
        theirs.OZNAKA = number;
        theirs.NAZIV = name;
        return theirs.add() == 0 && other.commit() == 0;
    };

    // Nested reads: the inner end keeps the transaction, the outer one ends it.
    ASSERT_EQ(store.beginRead(), 0);
    ASSERT_EQ(store.beginRead(), 0);
    EXPECT_EQ(ULICE.records(), 1);
    ASSERT_EQ(store.commitRead(), 0);
    EXPECT_TRUE(store.inReadTransaction());
    EXPECT_FALSE(!store.connection().inTransaction());

    // A write begun meanwhile is on disk at its commit, for every station,
    // and the reading that goes on sees it.
    ASSERT_EQ(store.begin(), 0);
    ASSERT_EQ(addStreet("Savska"), 0);
    ASSERT_EQ(store.commit(), 0);
    EXPECT_EQ(theirs.records(), 2);
    EXPECT_FALSE(!store.connection().inTransaction());
    EXPECT_EQ(ULICE.records(), 2);
    // Paused while the user answers a question, a read holds no lock:
    // another station writes meanwhile, and the reading goes on after it.
    {
        ReadPause asking;
        ASSERT_TRUE(theyAdd(3, "Vlaška"));
    }
    EXPECT_TRUE(store.inReadTransaction());
    EXPECT_EQ(ULICE.records(), 3);
    ASSERT_EQ(store.commitRead(), 0);
    EXPECT_FALSE(store.inReadTransaction());
    EXPECT_TRUE(!store.connection().inTransaction());
    // Ended, it holds no lock: another station writes at once.
    ASSERT_TRUE(theyAdd(4, "Vukovarska"));

    // Inside a write transaction a read joins it: ending the read ends
    // nothing, and the write can still be rolled back.
    ASSERT_EQ(store.begin(), 0);
    ASSERT_EQ(addStreet("Zagorska"), 0);
    ASSERT_EQ(store.beginRead(), 0);
    EXPECT_EQ(ULICE.records(), 5);
    ASSERT_EQ(store.commitRead(), 0);
    EXPECT_TRUE(store.inTransaction());
    ASSERT_EQ(store.rollback(), 0);
    EXPECT_EQ(ULICE.records(), 4);
    EXPECT_TRUE(!store.connection().inTransaction());
    theirs.close();
}

// Values another program stored: text read whole, its control characters as
// blanks, and a walk by that key passes each record once and ends. A value
// the key order cannot place ends the walk with an error.
TEST_F(StoreFixture, HostileStoredValuesReadBlankAndEveryWalkEnds) {
    MAREL_FILE_ENGINE_ONLY();  // a server's columns hold only values of their type
    struct Case {
        const char* sql;    // the stored surname
        const char* reads;  // as the buffer shows it
        bool last;          // a blob sorts after every text
    };
    const Case cases[] = {
        {"'Hor'||char(0)||'vat'", "Hor vat", false},
        {"'Ko'||char(7)||'vač'||char(10)", "Ko vač", false},
        {"'Ba'||char(127)||'bić'||char(133)", "Ba bić", false},
        {"CAST('Horvat' AS BLOB)", "Horvat", true},
    };
    openFiles({&OSOBE});
    auto walk = [](const Key& key, bool forward, int& rc) {
        std::vector<std::string> read;
        OSOBE.set(key);
        while (read.size() < 10 && (rc = forward ? OSOBE.next() : OSOBE.previous()) == 0)
            read.push_back(OSO.PREZIME.str());
        return read;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        ASSERT_EQ(Store::main().exec("DELETE FROM OSOBE"), SQLITE_OK);
        for (const char* name : {"Anić", "Zorić"}) {
            OSOBE.clear();
            OSO.OZNAKA = int(OSOBE.records()) + 1;
            OSO.PREZIME = name;
            ASSERT_EQ(OSOBE.add(), 0);
        }
        ASSERT_EQ(Store::main().exec(std::string("INSERT INTO OSOBE(OZNAKA, PREZIME) VALUES(3, ") + c.sql + ")"),
                  SQLITE_OK);
        for (bool forward : {true, false}) {
            int rc = 0;
            std::vector<std::string> expected{"Anić", c.reads, "Zorić"};
            if (c.last) std::swap(expected[1], expected[2]);
            if (!forward) std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(walk(OSOBE.KEYPREZIMEIME, forward, rc), expected);
            EXPECT_EQ(rc, kRecordNotAvailable);
        }
    }
    // A number the engine cannot give back exactly would be met again.
    ASSERT_EQ(Store::main().exec("UPDATE OSOBE SET OZNAKA = 0.1 + 0.2 WHERE OZNAKA = 3"), SQLITE_OK);
    int rc = 0;
    EXPECT_LT(walk(OSOBE.KEYOZNAKA, true, rc).size(), 10u);
    EXPECT_EQ(rc, kKeysInvalid);

    // The program itself stores none.
    for (const std::string& text : {std::string("Hor\tvat"), std::string("Hor\0vat", 7)})
        EXPECT_FALSE(OSOBE.setFieldText(OSOBE.layout().fieldIndex("PREZIME"), text));
    EXPECT_TRUE(ISPLATE.setFieldText(ISPLATE.layout().fieldIndex("BILJESKE"), "prvi red\r\ndrugi red"));
}
