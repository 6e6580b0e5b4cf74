#include "store/Values.h"

#include "support/StoreFixture.h"

namespace marel {
namespace {

// Reading as values must leave the screens' record buffers alone, nest over
// one file, and tell a walk that ended early from one that reached the end.
class ValuesTest : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        openFiles({&MJESTA});
        for (auto [n, name, opcina] : {std::tuple{1, "Zadar", 7}, {2, "Nin", 7}, {3, "Split", 9}}) {
            MJESTA.clear();
            MJE.OZNAKA = n;
            MJE.NAZIV = name;
            MJE.OPCINA = opcina;
            ASSERT_EQ(MJESTA.add(), 0);
        }
        MJESTA.clear();
        MJE.NAZIV = "typed in a window";
    }
};

TEST_F(ValuesTest, FindAndWalksLeaveTheBufferAloneAndNest) {
    ASSERT_TRUE(find<MjestaFile>(2).has_value());
    EXPECT_EQ(find<MjestaFile>(2)->NAZIV.str(), "Nin");
    EXPECT_FALSE(find<MjestaFile>(4).has_value());
    EXPECT_FALSE(find<MjestaFile>(0).has_value());

    std::vector<std::string> pairs;
    Records<MjestaFile> outer(&MjestaFile::KEYOPCINA, 7);
    for (const MJESTA_REC& a : outer)
        for (const MJESTA_REC& b : Records<MjestaFile>(&MjestaFile::KEYOZNAKA))
            if (b.OPCINA != a.OPCINA) pairs.push_back(a.NAZIV.str() + "-" + b.NAZIV.str());
    EXPECT_EQ(pairs, (std::vector<std::string>{"Zadar-Split", "Nin-Split"}));
    EXPECT_EQ(outer.error(), 0);
    EXPECT_EQ(MJE.NAZIV.str(), "typed in a window");
}

TEST_F(ValuesTest, AWalkOverAMissingTableSaysSoAndTheFileMayStillBeRemoved) {
    Records<UliceFile> streets(&UliceFile::KEYOZNAKA);
    EXPECT_EQ(streets.begin(), streets.end());
    EXPECT_NE(streets.error(), 0);

    ASSERT_TRUE(find<MjestaFile>(1).has_value());  // the reading copy is open now
    MJESTA.close();
    MJESTA.USED = 0;
    EXPECT_EQ(MJESTA.remove(), 0) << errorText();
}

TEST_F(ValuesTest, ALookupReadsEachNumberOnceAndGivesBlankForNone) {
    ValueLookup<MjestaFile> places;
    EXPECT_EQ(places.orBlank(3).NAZIV.str(), "Split");
    EXPECT_EQ(places.orBlank(5).NAZIV.str(), "");
    MJESTA.clear();
    MJE.OZNAKA = 3;
    ASSERT_EQ(MJESTA.get(MJESTA.KEYOZNAKA), 0);
    ASSERT_EQ(MJESTA.deleteRecord(), 0);
    EXPECT_NE(places.find(3), nullptr);  // kept from the first read
    EXPECT_FALSE(find<MjestaFile>(3).has_value());
}

}  // namespace
}  // namespace marel
