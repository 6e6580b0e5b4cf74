#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "demo/DemoData.h"
#include "store/Records.h"
#include "store/Sql.h"
#include "store/Transfer.h"
#include "support/StoreDump.h"
#include "support/TempFolder.h"

using namespace marel;
namespace fs = std::filesystem;

namespace {

// The demo data in a plain data folder, carried into `middle`: a schema of
// its own under a server run, another data folder otherwise.
class Transfers : public ::testing::Test {
protected:
    void SetUp() override {
        MAREL_SKIP_WITHOUT_SERVER(middle);
        // Plain data folders even under a server run.
        fs::remove(first.path() / "MAREL.conf");
        fs::remove(last.path() / "MAREL.conf");
        ASSERT_EQ(makeDemoData(first.str()), "");
    }
    static std::string carry(const test::TempFolder& from, const test::TempFolder& to) {
        Store source, target;
        if (source.open(from.str(), "") != 0 || target.open(to.str(), "") != 0) return "open: " + storeErrorText();
        return transferData(source, target);
    }
    static std::string dump(const test::TempFolder& folder) {
        Store store;
        return store.open(folder.str(), "") == 0 ? test::dumpTables(store.connection()) : "";
    }
    test::TempFolder first, middle, last;
};

}  // namespace

TEST_F(Transfers, DataCarriedToTheOtherEngineAndBackIsTheSame) {
    // The street added last is gone; its id must not come back on either side.
    int64_t deleted = 0;
    {
        Store source;
        ASSERT_EQ(source.open(first.str(), ""), 0);
        Statement last = source.connection().prepare("SELECT max(rowid) FROM \"ULICE\"", false);
        ASSERT_EQ(last.step(), StepResult::Row);
        deleted = last.columnInt(0);
        ASSERT_GT(deleted, 0);
        ASSERT_EQ(source.exec("DELETE FROM \"ULICE\" WHERE rowid = " + std::to_string(deleted)), 0);
    }
    ASSERT_EQ(carry(first, middle), "");
    ASSERT_EQ(carry(middle, last), "");
    EXPECT_EQ(dump(last), dump(first));
    Store copy;
    ASSERT_EQ(copy.open(last.str(), ""), 0);
    UliceFile streets(copy);
    ASSERT_EQ(streets.open(), 0);
    streets.clear();
    streets.OZNAKA = 999'999;
    streets.NAZIV = "Nova ulica";
    ASSERT_EQ(streets.add(), 0);
    EXPECT_GT(streets.currentId(), deleted);
}

TEST_F(Transfers, ATargetThatHoldsDataOrAltersItIsLeftAsItWas) {
    ASSERT_EQ(carry(first, middle), "");
    // An engine that changes an amount as it is written (here a trigger of
    // the target's) must not pass for a faithful copy.
    {
        Store target;
        ASSERT_EQ(target.open(last.str(), ""), 0);
        const Layout& lines = **std::find_if(allLayouts().begin(), allLayouts().end(),
                                             [](const Layout* l) { return l->label == "DOHOCI"; });
        ASSERT_EQ(makeTable(target, lines), 0);
        ASSERT_EQ(target.exec("CREATE TRIGGER t AFTER INSERT ON DOHOCI BEGIN UPDATE DOHOCI SET NETO = NETO + 1 "
                              "WHERE _id = new._id; END"), 0);
    }
    const struct {
        const test::TempFolder& target;
        const char* says;
    } cases[] = {{middle, "već ima podataka"}, {last, "zbroj stupca NETO nije isti"}};
    for (const auto& c : cases) {
        const std::string before = dump(c.target);
        EXPECT_NE(carry(first, c.target).find(c.says), std::string::npos) << c.says;
        EXPECT_EQ(dump(c.target), before) << c.says;
    }
}
