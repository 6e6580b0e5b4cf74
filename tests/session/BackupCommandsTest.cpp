#include "session/Backups.h"
#include "store/Backup.h"
#include "support/StoreDump.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

const char* const ASK1 =
    "ŽELITE LI STVARNO ZAMIJENITI SVE PODATKE PODACIMA IZ KOPIJE?\n"
    "Na ostalim računalima program za to vrijeme mora biti zatvoren.";

class BackupCommands : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        if (IsSkipped()) return;
        openFiles({&ULICE});
        addStreet(1, "Ilica");
        releaseFile(ULICE);
        copy = (folder.path() / "moja.DB").string();
        ask.fileAnswers = {copy};
        SIGURNOSNAKOPIJA();
        saved = test::dumpDatabase(Store::main());
        openFiles({&ULICE});
        addStreet(2, "Savska");
        releaseFile(ULICE);
        ask.messages.clear();
        ask.fileRequests.clear();
    }
    static void addStreet(LONG number, const char* name) {
        ULICE.clear();
        ULI.OZNAKA = number;
        ULI.NAZIV = name;
        ASSERT_EQ(ULICE.add(), 0);
    }
    // The streets as the database holds them (the commands may create other
    // files, empty, as any window does).
    static std::string streets(const std::string& dump) {
        const size_t from = dump.find("[ULICE]");
        if (from == std::string::npos) return "";
        const size_t to = dump.find("\n[", from);
        return dump.substr(from, to == std::string::npos ? to : to + 1 - from);
    }
    std::string copy, saved;
};

}  // namespace

TEST_F(BackupCommands, TheCopyIsSavedWhereAskedAndRestoredAfterTwoYeses) {
    ASSERT_EQ(streets(test::dumpCopyLike(Store::main(), copy)), streets(saved));
    ask.fileAnswers = {copy};
    ask.answers = {1, 1};
    VRATIIZKOPIJE();
    ASSERT_EQ(ask.messages.size(), 3u);
    EXPECT_EQ(ask.messages[0].text, ASK1);
    EXPECT_EQ(ask.messages[1].caption, "Potvrda vraćanja");
    const std::vector<std::string> kept = automaticBackups(folder.str());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ask.messages[2].text,
              "Podaci su vraćeni iz kopije " + copy + ".\nZamijenjeni podaci sačuvani su u " + kept[0] + ".");
    EXPECT_EQ(streets(test::dumpDatabase(Store::main())), streets(saved));
}

TEST_F(BackupCommands, NothingIsReplacedWithoutTwoYesesOrWithAnotherWindowOpen) {
    const std::string now = test::dumpDatabase(Store::main());
    for (std::deque<int> answers : {std::deque<int>{2}, std::deque<int>{1, 2}, std::deque<int>{}}) {
        ask.messages.clear();
        ask.fileAnswers = {copy};
        ask.answers = answers;
        VRATIIZKOPIJE();
        EXPECT_EQ(ask.texts().back(), "PODACI NISU VRAĆENI");
    }
    openFiles({&OSOBE});
    ask.messages.clear();
    ask.fileRequests.clear();
    VRATIIZKOPIJE();
    EXPECT_EQ(ask.texts(),
              std::vector<std::string>{"Prije vraćanja podataka iz kopije zatvorite sve ostale prozore programa."});
    EXPECT_TRUE(ask.fileRequests.empty());
    EXPECT_EQ(streets(test::dumpDatabase(Store::main())), streets(now));
    EXPECT_TRUE(automaticBackups(folder.str()).empty());
}
