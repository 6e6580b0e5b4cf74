#include <sqlite3.h>

#include <set>
#include <string>
#include <vector>

#include "common/Prompter.h"
#include "support/StoreFixture.h"
#include "ui/ListBrowser.h"

using namespace marel;

namespace {

const char* kPeopleFormat = "48L(1)|M~Prezime~@s25@46L(1)|M~Ime~@s20@64R(2)|M~Oznaka~C(0)@n-14@";

class ListBrowserTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        // Nothing here needs to survive a power cut; every record added must not wait for the disk.
        ASSERT_EQ(Store::main().exec("PRAGMA synchronous=OFF"), 0);
        openFiles({&OSOBE, &OPCINE, &MJESTA});
        // The test holds the files too, so that a list closing does not close them.
        for (DataFile* f : {static_cast<DataFile*>(&OSOBE), static_cast<DataFile*>(&OPCINE), static_cast<DataFile*>(&MJESTA)})
            f->USED = 1;
        setPrompter(&prompts);
    }
    void TearDown() override {
        setPrompter(nullptr);
        StoreFixture::TearDown();
    }

    static void addPerson(const std::string& surname, const std::string& name = "Ivan", const std::string& oib = "") {
        OSOBE.clear();
        OSO.OZNAKA = ++lastPerson;
        OSO.PREZIME = surname;
        OSO.IME = name;
        OSO.OIB = oib.empty() ? std::to_string(10000000000LL + lastPerson) : oib;
        ASSERT_EQ(OSOBE.add(), 0) << errorText();
    }
    static void addMunicipality(LONG number, const std::string& name) {
        OPCINE.clear();
        OPC.OZNAKA = number;
        OPC.NAZIV = name;
        ASSERT_EQ(OPCINE.add(), 0);
    }
    static void addPlace(LONG number, const std::string& name, LONG municipality) {
        MJESTA.clear();
        MJE.OZNAKA = number;
        MJE.NAZIV = name;
        MJE.OPCINA = municipality;
        ASSERT_EQ(MJESTA.add(), 0);
    }

    // The recipients by surname, with reads counted through the related-records hook.
    std::unique_ptr<ListBrowser> people(Locator locator = Locator::Incremental, Stops stops = Stops::None) {
        auto b = std::make_unique<ListBrowser>(
            OSOBE, kPeopleFormat,
            std::vector<ColumnSource>{ColumnSource::of(OSOBE, "PREZIME"), ColumnSource::of(OSOBE, "IME"),
                                      ColumnSource::of(OSOBE, "OZNAKA")});
        b->addSortOrder({OSOBE.KEYPREZIMEIME, locator, stops, {}, {}});
        b->related = [this] { ++reads; };
        b->setPageSize(10);
        return b;
    }

    static std::vector<std::string> surnames(const ListBrowser& b) {
        std::vector<std::string> out;
        for (auto& r : b.rows()) out.push_back(r.values[0]);
        return out;
    }
    static std::string selectedSurname(const ListBrowser& b) { return b.selectedRow() ? b.selectedRow()->values[0] : ""; }

    static inline LONG lastPerson = 0;
    ScriptedPrompter prompts;
    int reads = 0;
};

// A form that saves what the test prepares, the way the record update form answers.
LONG completeWith(const std::function<void()>& change) {
    change();
    return REQUESTCOMPLETED;
}

TEST_F(ListBrowserTest, EmptyFileOffersOnlyInsertAndInsertShowsTheNewRecord) {
    auto b = people();
    std::vector<LONG> requests;
    b->update = [&](LONG request) {
        requests.push_back(request);
        return completeWith([&] {
            OSO.OZNAKA = 1;
            OSO.PREZIME = "Horvat";
            ASSERT_EQ(OSOBE.add(), 0);
        });
    };
    b->open(0);
    EXPECT_TRUE(b->rows().empty());
    EXPECT_EQ(b->selected(), 0);
    EXPECT_FALSE(b->canChange());
    EXPECT_FALSE(b->scrollBarVisible());
    EXPECT_EQ(b->popupItems(), "&Unesi|~&Mijenjaj|~&Briši|-|~O&daberi");

    b->changeRecord();
    b->deleteRecord();
    EXPECT_TRUE(requests.empty());

    b->insertRecord();
    EXPECT_EQ(requests, std::vector<LONG>{INSERTRECORD});
    ASSERT_EQ(b->rows().size(), 1u);
    EXPECT_EQ(b->selected(), 1);
    EXPECT_EQ(OSO.PREZIME, "Horvat");
    EXPECT_EQ(b->popupItems(), "&Unesi|&Mijenjaj|&Briši|-|~O&daberi");
}

TEST_F(ListBrowserTest, ShortFileKeepsTheSelectionOnItsLastRow) {
    for (auto s : {"Babić", "Anić", "Cvitan"}) addPerson(s);
    auto b = people();
    b->open(0);
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Anić", "Babić", "Cvitan"}));
    EXPECT_EQ(b->selected(), 1);
    EXPECT_EQ(b->thumb(), 0);
    for (int i = 0; i < 5; ++i) b->down();
    EXPECT_EQ(b->selected(), 3);
    EXPECT_EQ(b->thumb(), 100);
    EXPECT_EQ(OSO.PREZIME, "Cvitan");
    b->pageDown();
    EXPECT_EQ(b->selected(), 3);
    b->up();
    b->pageUp();
    b->up();
    EXPECT_EQ(b->selected(), 1);
    EXPECT_EQ(b->rows().size(), 3u);
    EXPECT_FALSE(b->scrollBarVisible());
}

TEST_F(ListBrowserTest, PagingScrollsByRowsAndPagesAndJumpsToEitherEnd) {
    for (int i = 0; i < 25; ++i) addPerson("P" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    auto b = people();
    b->open(0);
    EXPECT_TRUE(b->scrollBarVisible());
    b->select(3);
    b->pageDown();  // the whole page moves on: the selection stays on its row
    EXPECT_EQ(b->rows().front().values[0], "P10");
    EXPECT_EQ(selectedSurname(*b), "P12");
    b->pageDown();  // only five more: the selection still moves ten records
    EXPECT_EQ(b->rows().front().values[0], "P15");
    EXPECT_EQ(selectedSurname(*b), "P22");
    b->pageDown();
    EXPECT_EQ(selectedSurname(*b), "P24");
    EXPECT_EQ(b->thumb(), 100);

    b->top();
    EXPECT_EQ(selectedSurname(*b), "P00");
    b->up();
    EXPECT_EQ(selectedSurname(*b), "P00");
    b->select(10);
    b->down();
    EXPECT_EQ(b->rows().front().values[0], "P01");
    EXPECT_EQ(selectedSurname(*b), "P10");
    EXPECT_EQ(b->thumb(), 50);
    b->select(1);
    b->up();
    EXPECT_EQ(b->rows().front().values[0], "P00");
    EXPECT_EQ(b->selected(), 1);

    b->bottom();
    EXPECT_EQ(b->rows().front().values[0], "P15");
    EXPECT_EQ(selectedSurname(*b), "P24");
    EXPECT_EQ(OSO.PREZIME, "P24");
    b->pageUp();
    EXPECT_EQ(b->rows().front().values[0], "P05");
    EXPECT_EQ(selectedSurname(*b), "P14");
}

// A row scrolled in is the selected record: what was read for it stays.
TEST_F(ListBrowserTest, ARowScrolledInIsNotReadTwice) {
    for (int i = 0; i < 25; ++i) addPerson("P" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    auto b = people(Locator::Incremental, Stops::Letters);  // the thumb reads no neighbour
    b->open(0);
    b->pageDown();
    b->select(10);
    const int before = reads;
    b->down();
    EXPECT_EQ(std::make_pair(reads - before, OSO.PREZIME.str()), std::make_pair(1, std::string("P20")));
}

// A surname another program stored with a control character shows blanked;
// the list reads on from it by what is stored, both ways.
TEST_F(ListBrowserTest, RowsOfHostileKeysAreSteppedOverBothWays) {
    MAREL_FILE_ENGINE_ONLY();  // a server's columns hold only values of their type
    for (const char* stored : {"'Ba'||char(7)||'bić'", "'Ba'||char(9)||'bić'"}) {
        ASSERT_EQ(Store::main().exec("DELETE FROM OSOBE"), SQLITE_OK);
        for (auto s : {"Anić", "Cvitan"}) addPerson(s);
        ASSERT_EQ(Store::main().exec(std::string("INSERT INTO OSOBE(OZNAKA, PREZIME) VALUES(9, ") + stored + ")"), 0);
        auto b = people();
        b->setPageSize(1);
        b->open(0);
        std::vector<std::string> seen{selectedSurname(*b)};
        for (auto move : {&ListBrowser::down, &ListBrowser::down, &ListBrowser::up, &ListBrowser::up})
            ((*b).*move)(), seen.push_back(selectedSurname(*b));
        EXPECT_EQ(seen, (std::vector<std::string>{"Anić", "Ba bić", "Cvitan", "Ba bić", "Anić"})) << stored;
    }
}

TEST_F(ListBrowserTest, IncrementalLocatorFindsTheNextRecordOrTheLastPage) {
    for (auto s : {"Anić", "Babić", "Dolić", "Dujmović", "Horvat", "Kovač"}) addPerson(s);
    auto b = people();
    b->setPageSize(3);
    b->open(0);
    EXPECT_TRUE(b->typeChar("c"));  // nothing begins with C: the first after it
    EXPECT_EQ(b->locatorText(), "c");
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Dolić", "Dujmović", "Horvat"}));
    EXPECT_EQ(selectedSurname(*b), "Dolić");
    b->backspace();
    b->typeChar("D");
    b->typeChar("u");
    EXPECT_EQ(selectedSurname(*b), "Dujmović");
    EXPECT_EQ(b->rows().front().values[0], "Dujmović");
    b->backspace();
    b->backspace();
    EXPECT_TRUE(b->backspace());  // nothing left to remove
    EXPECT_EQ(b->locatorText(), "");
    EXPECT_EQ(selectedSurname(*b), "Anić");

    b->typeChar("Ž");  // after everything: the last page, its last row
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Dujmović", "Horvat", "Kovač"}));
    EXPECT_EQ(selectedSurname(*b), "Kovač");

    EXPECT_FALSE(b->entryLocate("   "));
    EXPECT_TRUE(b->entryLocate("Babić"));
    EXPECT_EQ(selectedSurname(*b), "Babić");
    EXPECT_EQ(b->locatorText(), "Babić");
}

TEST_F(ListBrowserTest, StepLocatorWalksThroughOneLetterAndComesBack) {
    for (auto s : {"Anić", "Kos", "Kovač", "Kralj", "Lukić"}) addPerson(s);
    auto b = people(Locator::Step);
    b->open(0);
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        b->typeChar("k");
        seen.push_back(selectedSurname(*b));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Kos", "Kovač", "Kralj", "Kos"}));
    EXPECT_FALSE(b->backspace());
    EXPECT_EQ(b->locatorText(), "");
}

TEST_F(ListBrowserTest, InsertedLastRecordIsSelectedBelowThePageBeforeIt) {
    for (auto s : {"Anić", "Babić", "Cvitan", "Dolić", "Horvat"}) addPerson(s);
    auto b = people();
    b->setPageSize(3);
    b->update = [&](LONG) {
        EXPECT_EQ(OSO.PREZIME, "");  // the buffer is cleared for the form
        return completeWith([] {
            OSO.OZNAKA = 99;
            OSO.PREZIME = "Žužić";
            OSO.OIB = "99999999999";
            ASSERT_EQ(OSOBE.add(), 0);
        });
    };
    b->open(0);
    b->insertRecord();
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Dolić", "Horvat", "Žužić"}));
    EXPECT_EQ(b->selected(), 3);

    // A cancelled insert leaves the page and its selection as they were.
    b->update = [](LONG) { return LONG(REQUESTCANCELLED); };
    b->select(2);
    b->insertRecord();
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Dolić", "Horvat", "Žužić"}));
    EXPECT_EQ(selectedSurname(*b), "Horvat");
    EXPECT_EQ(OSO.PREZIME, "Horvat");
}

TEST_F(ListBrowserTest, ChangeRelocatesTheRecordUnderItsNewKey) {
    for (auto s : {"Anić", "Babić", "Cvitan", "Dolić", "Horvat"}) addPerson(s);
    auto b = people();
    b->setPageSize(3);
    b->update = [&](LONG request) {
        EXPECT_EQ(request, CHANGERECORD);
        EXPECT_EQ(OSO.PREZIME, "Babić");  // the selected record, read afresh
        return completeWith([] {
            OSO.PREZIME = "Grgić";
            ASSERT_EQ(OSOBE.put(), 0);
        });
    };
    b->open(0);
    b->select(2);
    prompts.popupAnswers = {2};
    b->popup();
    EXPECT_EQ(prompts.popups.back(), "&Unesi|&Mijenjaj|&Briši|-|~O&daberi");
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Dolić", "Grgić", "Horvat"}));
    EXPECT_EQ(selectedSurname(*b), "Grgić");
}

TEST_F(ListBrowserTest, DeletingKeepsTheRowIndexAndTheLastDeleteEmptiesThePage) {
    for (auto s : {"Anić", "Babić", "Cvitan"}) addPerson(s);
    auto b = people();
    b->update = [](LONG request) {
        EXPECT_EQ(request, DELETERECORD);
        return completeWith([] { ASSERT_EQ(OSOBE.deleteRecord(), 0); });
    };
    b->open(0);
    b->select(2);
    b->deleteRecord();
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Anić", "Cvitan"}));
    EXPECT_EQ(selectedSurname(*b), "Cvitan");
    b->deleteRecord();
    EXPECT_EQ(selectedSurname(*b), "Anić");
    b->deleteRecord();
    EXPECT_TRUE(b->rows().empty());
    EXPECT_FALSE(b->canChange());
    EXPECT_EQ(OSOBE.records(), 0);
    EXPECT_EQ(OSO.PREZIME, "");
}

TEST_F(ListBrowserTest, LetterStopsPlaceTheThumbAndDraggingLocates) {
    for (auto s : {"Anić", "Kovač", "Lončar", "Žagar"}) addPerson(s);
    auto b = people(Locator::Incremental, Stops::Letters);
    b->setPageSize(2);
    b->open(0);
    const auto& stops = b->textStops();
    ASSERT_EQ(stops.size(), 100u);
    EXPECT_EQ(stops[0], "  ");
    EXPECT_EQ(stops[4], "B ");
    EXPECT_EQ(stops[40], "K ");
    EXPECT_EQ(stops[98], "Z ");
    EXPECT_EQ(stops[99], "ZN");
    EXPECT_EQ(std::count(stops.begin(), stops.end(), "QF"), 0);
    EXPECT_EQ(b->thumb(), 4);  // "ANIĆ" lies between "AN" and "AT"
    b->down();
    EXPECT_EQ(b->thumb(), 44);  // "KOVAČ": "KT" is the first stop after it
    b->thumbTo(44);
    EXPECT_EQ(selectedSurname(*b), "Lončar");
    b->thumbTo(100);
    EXPECT_EQ(selectedSurname(*b), "Žagar");
    b->thumbTo(1);
    EXPECT_EQ(selectedSurname(*b), "Anić");
}

TEST_F(ListBrowserTest, ComputedStringStopsSpanTheFirstAndLastKey) {
    addMunicipality(1, "AB");
    addMunicipality(2, "ABA");
    addMunicipality(3, "AC");
    ListBrowser b(OPCINE, "78L(2)|M~Naziv~@s25@", {ColumnSource::of(OPCINE, "NAZIV")});
    b.addSortOrder({OPCINE.KEYNAZIV, Locator::None, Stops::Strings, {}, {}});
    b.open(0);
    const auto& stops = b.textStops();
    ASSERT_EQ(stops.size(), 100u);
    EXPECT_EQ(stops[0], "AB");
    // The last name is filled to the width with the last capital of the code page.
    EXPECT_EQ(stops[99], "ACŢŢŢ");
    // With 66 capitals, base 67: "B" = 2*67^3, step (H - L) / 99 = 6076 = 1*67^2 + 23*67 + 46.
    EXPECT_EQ(stops[1], "ABAWÉ");
    EXPECT_EQ(b.thumb(), 0);
    b.down();
    EXPECT_EQ(b.thumb(), 2);
}

TEST_F(ListBrowserTest, NumericStopsRunFromTheFirstToTheLastValue) {
    ASSERT_EQ(Store::main().begin(), 0);
    for (LONG n = 2; n <= 200; n += 2) addMunicipality(n, "O" + std::to_string(n));
    ASSERT_EQ(Store::main().commit(), 0);
    ListBrowser b(OPCINE, "64R(2)|M~Oznaka~C(0)@n-14@", {ColumnSource::of(OPCINE, "OZNAKA")});
    b.addSortOrder({OPCINE.KEYOZNAKA, Locator::Step, Stops::Numbers, {}, {}});
    b.open(0);
    const auto& stops = b.numberStops();
    ASSERT_EQ(stops.size(), 100u);
    EXPECT_EQ(stops[0], Decimal(2));
    EXPECT_EQ(stops[1], Decimal(4));
    EXPECT_EQ(stops[99], Decimal(200));
    b.thumbTo(60);
    EXPECT_EQ(OPC.OZNAKA, 120);
    EXPECT_EQ(b.thumb(), 60);
    b.typeChar("5");  // step locator on a number: the first record at or after 5
    EXPECT_EQ(OPC.OZNAKA, 6);
    EXPECT_FALSE(b.typeChar("x"));
}

TEST_F(ListBrowserTest, DetailListFollowsTheMasterAndPrimesItsRange) {
    addMunicipality(1, "Grad Split");
    addMunicipality(2, "Grad Zagreb");
    addPlace(1, "Split", 1);
    addPlace(2, "Zagreb", 2);
    addPlace(3, "Sesvete", 2);
    ListBrowser municipalities(OPCINE, "78L(2)|M~Naziv~@s25@", {ColumnSource::of(OPCINE, "NAZIV")});
    municipalities.addSortOrder({OPCINE.KEYNAZIV, Locator::None, Stops::None, {}, {}});
    ListBrowser places(MJESTA, "82L(1)|M~Mjesto~L(3)@s25@", {ColumnSource::of(MJESTA, "NAZIV")});
    places.addSortOrder({MJESTA.KEYOPCINA, Locator::None, Stops::None, [] { return int64_t(OPC.OZNAKA); }, {}});
    places.follow(municipalities);
    places.update = [](LONG) {
        EXPECT_EQ(MJE.OPCINA, 2);
        return completeWith([] {
            MJE.OZNAKA = 4;
            MJE.NAZIV = "Brezovica";
            ASSERT_EQ(MJESTA.add(), 0);
        });
    };
    municipalities.open(0);
    places.open(0);
    EXPECT_EQ(surnames(places), std::vector<std::string>{"Split"});
    municipalities.down();
    EXPECT_EQ(surnames(places), (std::vector<std::string>{"Zagreb", "Sesvete"}));
    places.insertRecord();
    EXPECT_EQ(surnames(places), (std::vector<std::string>{"Zagreb", "Sesvete", "Brezovica"}));
    EXPECT_EQ(selectedSurname(places), "Brezovica");
    EXPECT_EQ(OPC.NAZIV, "Grad Zagreb");  // the master's buffer is left alone
    municipalities.up();
    EXPECT_EQ(surnames(places), std::vector<std::string>{"Split"});
}

TEST_F(ListBrowserTest, TabsSwitchOrderFilterAndRange) {
    addPlace(7, "Zadar", 1);
    addPerson("Anić");
    addPerson("Babić");
    addPerson("Cvitan", "Ana", " ");  // no OIB
    for (LONG n : {1, 2, 3}) {
        OSOBE.clear();
        OSO.OZNAKA = lastPerson - 3 + n;
        ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
        OSO.MJESTO = n == 1 ? 0 : 7;
        ASSERT_EQ(OSOBE.put(), 0);
    }
    auto b = people();
    b->setPageSize(5);
    b->addSortOrder({OSOBE.KEYMJESTO, Locator::None, Stops::None, [] { return int64_t(7); }, {}});
    // Only recipients with an OIB by surname.
    auto byName = SortOrder{OSOBE.KEYPREZIMEIME, Locator::Incremental, Stops::None, {}, [] { return !OSO.OIB.empty(); }};
    b->addSortOrder(byName);
    b->open(0);
    EXPECT_EQ(surnames(*b).size(), 3u);
    b->typeChar("b");
    b->setSortOrder(2);
    EXPECT_EQ(b->locatorText(), "b");
    EXPECT_EQ(b->sortOrder(), 2);
    EXPECT_EQ(b->previousSortOrder(), 1);
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Babić", "Cvitan"}));
    b->setSortOrder(3);
    EXPECT_EQ(b->locatorText(), "");
    EXPECT_EQ(surnames(*b), (std::vector<std::string>{"Anić", "Babić"}));
    EXPECT_EQ(selectedSurname(*b), "Babić");
}

TEST_F(ListBrowserTest, ChooserOpensOnTheCallersValueAndAnswers) {
    for (auto s : {"Anić", "Babić", "Cvitan", "Dolić"}) addPerson(s);
    auto b = people();
    b->setPageSize(2);
    OSOBE.clear();
    OSO.PREZIME = "C";
    b->open(SELECTRECORD);
    EXPECT_EQ(selectedSurname(*b), "Cvitan");
    EXPECT_EQ(b->popupItems(), "~&Unesi|~&Mijenjaj|~&Briši|-|O&daberi");
    b->down();
    b->activate();
    EXPECT_TRUE(b->isClosed());
    EXPECT_EQ(b->response(), REQUESTCOMPLETED);
    EXPECT_EQ(OSO.PREZIME, "Dolić");

    auto plain = people();
    plain->open(0);
    plain->selectRecord();  // not a chooser: Select does nothing
    EXPECT_FALSE(plain->isClosed());
    plain->closeList();
    EXPECT_EQ(plain->response(), REQUESTCANCELLED);
}

TEST_F(ListBrowserTest, ReadErrorWarnsAndClosesTheList) {
    addPerson("Anić");
    addPerson("Babić");
    auto b = people();
    b->open(0);
    OSOBE.close();
    b->pageDown();
    EXPECT_TRUE(b->isClosed());
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.last().caption, "Record Retrieval Error");
    EXPECT_NE(prompts.last().text.find("from the osobe file"), std::string::npos);
}

// What a step reads shares one read transaction; none is held while the form
// or a warning asks the user, nor while the listeners are told, so another
// station can write meanwhile.
TEST_F(ListBrowserTest, AStepReadsInOneTransactionAndHoldsNoneWhileOthersHaveTheirTurn) {
    for (auto s : {"Anić", "Babić", "Cvitan", "Dukić"}) addPerson(s);
    std::set<std::string> seen;
    auto note = [&seen](const std::string& who) {
        seen.insert(who + (!Store::main().connection().inTransaction() ? " free" : " held"));
    };
    struct Watching : ScriptedPrompter {
        std::function<void()> asked;
        int message(const MessageRequest& request) override {
            asked();
            return ScriptedPrompter::message(request);
        }
    } watching;
    watching.asked = [&] { note("warning"); };
    setPrompter(&watching);
    auto b = people();
    b->setPageSize(2);
    b->related = [&] { note("related"); };
    b->update = [&](LONG) {
        note("form");
        return REQUESTCANCELLED;
    };
    b->listen([&] { note("listener"); });
    b->open(0);
    for (auto step : std::vector<std::function<void()>>{[&] { b->pageDown(); }, [&] { b->up(); },
                                                         [&] { b->changeRecord(); }, [&] { b->insertRecord(); },
                                                         [&] { b->refresh(true); }, [&] { b->entryLocate("C"); },
                                                         [&] { OSOBE.close(); b->pageDown(); }})
        step();
    EXPECT_EQ(seen, (std::set<std::string>{"form free", "listener free", "related held", "warning free"}));
}

TEST_F(ListBrowserTest, LargeFileIsReadAPageAtATime) {
    ASSERT_EQ(Store::main().begin(), 0);
    // Five letters for five digits, letters whose order no Croatian digraph upsets.
    auto name = [](int v) {
        std::string s(5, ' ');
        for (int i = 4; i >= 0; --i, v /= 10) s[size_t(i)] = "ABCEFGHIKM"[v % 10];
        return s;
    };
    for (int i = 0; i < 100'000; ++i) {
        MJESTA.clear();
        MJE.OZNAKA = i + 1;
        MJE.NAZIV = name((i * 7919) % 100'000);  // not in key order
        ASSERT_EQ(MJESTA.add(), 0);
    }
    ASSERT_EQ(Store::main().commit(), 0);
    int reads = 0;
    ListBrowser b(MJESTA, "82L(1)|M~Mjesto~L(3)@s25@", {ColumnSource::of(MJESTA, "NAZIV")});
    b.addSortOrder({MJESTA.KEYNAZIV, Locator::Incremental, Stops::Strings, {}, {}});
    b.related = [&] { ++reads; };
    b.setPageSize(20);
    b.open(0);
    EXPECT_EQ(selectedSurname(b), name(0));
    EXPECT_EQ(b.textStops().front(), "AAAA");
    for (int i = 0; i < 10; ++i) b.pageDown();
    EXPECT_EQ(selectedSurname(b), name(200));
    b.bottom();
    EXPECT_EQ(selectedSurname(b), name(99'999));
    b.entryLocate(name(54'321));
    EXPECT_EQ(b.rows().front().values[0], name(54'321));
    b.thumbTo(50);
    EXPECT_GE(b.thumb(), 50);
    EXPECT_LE(b.thumb(), 51);
    // Each step read about a page, never the file.
    EXPECT_LT(reads, 20 * 20);
}

}  // namespace
