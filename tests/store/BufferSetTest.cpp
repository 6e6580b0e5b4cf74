#include "store/BufferSet.h"

#include "support/StoreFixture.h"

namespace marel {
namespace {

class BufferSetTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        openFiles({&ULICE});
        for (LONG n : {1, 2, 3}) {
            ULICE.clear();
            ULI.OZNAKA = n;
            ULI.NAZIV = "Ulica " + std::to_string(n);
            ASSERT_EQ(ULICE.add(), 0);
        }
        ULICE.clear();
    }
    static void read(LONG n) {
        ULICE.clear();
        ULI.OZNAKA = n;
        ULICE.watch();
        ASSERT_EQ(ULICE.get(ULICE.KEYOZNAKA), 0);
    }
};

TEST_F(BufferSetTest, EachScreenKeepsItsRecordItsPlaceInTheFileAndItsLastError) {
    auto first = BufferSet::make();
    auto second = BufferSet::make();
    BufferSet::makeCurrent(first);
    ULICE.set(ULICE.KEYOZNAKA);
    ASSERT_EQ(ULICE.next(), 0);
    ULI.NAZIV = "typed in the first window";
    ULI.OZNAKA = 1;
    setError(kRecordNotFound);

    BufferSet::makeCurrent(second);
    EXPECT_EQ(ULI.OZNAKA, 0);  // a new screen starts with blank buffers
    EXPECT_EQ(ULI.NAZIV, "");
    EXPECT_EQ(errorCode(), 0);
    read(3);
    ULICE.set(ULICE.KEYOZNAKA);
    ASSERT_EQ(ULICE.next(), 0);
    ASSERT_EQ(ULICE.next(), 0);
    ASSERT_EQ(ULICE.next(), 0);

    BufferSet::makeCurrent(first);
    EXPECT_EQ(ULI.NAZIV, "typed in the first window");
    EXPECT_EQ(errorCode(), kRecordNotFound);
    ASSERT_EQ(ULICE.next(), 0);  // goes on where this screen's reading stood
    EXPECT_EQ(ULI.OZNAKA, 2);

    BufferSet::makeCurrent(second);
    EXPECT_EQ(ULI.OZNAKA, 3);
    EXPECT_EQ(ULICE.next(), kRecordNotAvailable);
    BufferSet::makeCurrent(BufferSet::program());
}

TEST_F(BufferSetTest, TwoScreensChangingOneRecordNeverOverwriteEachOtherSilently) {
    auto first = BufferSet::make();
    auto second = BufferSet::make();
    {
        BufferScope screen(first);
        read(2);
        ULI.NAZIV = "Prvi";
    }
    {
        BufferScope screen(second);
        read(2);
        ULI.NAZIV = "Drugi";
        ASSERT_EQ(ULICE.put(), 0);
    }
    BufferScope screen(first);
    // The first screen's typing is still there, and its watch still holds the
    // version it read: the save is refused, not written over the second one.
    EXPECT_EQ(ULI.NAZIV, "Prvi");
    EXPECT_EQ(ULICE.put(), kChangedByOther);
    read(2);
    EXPECT_EQ(ULI.NAZIV, "Drugi");
}

TEST_F(BufferSetTest, AScopeGivesBackTheSetThatWasCurrentAndASetOutlivesNoScreen) {
    std::weak_ptr<BufferSet> gone;
    {
        auto set = BufferSet::make();
        gone = set;
        BufferScope outer(set);
        {
            BufferScope inner(BufferSet::make());
            EXPECT_NE(BufferSet::current(), set);
        }
        EXPECT_EQ(BufferSet::current(), set);
    }
    EXPECT_EQ(BufferSet::current(), BufferSet::program());
    EXPECT_TRUE(gone.expired());
}

}  // namespace
}  // namespace marel
