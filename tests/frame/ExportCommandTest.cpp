#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "demo/DemoData.h"
#include "frame/BackupCommand.h"
#include "frame/TransferCommand.h"
#include "store/Store.h"
#include "store/Warnings.h"
#include "support/ExportRun.h"
#include "support/JoppdSchema.h"
#include "support/StoreDump.h"
#include "support/TempFolder.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// The demo data folder (a payer, two payments, the JOPPD form of the first)
// and a separate folder for what the command writes.
class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(makeDemoData(data.str()), "");
        // What a crash can leave of the data: a file without a single page.
        fs::remove(emptied.path() / "MAREL.conf");
        std::ofstream(emptied.path() / "MAREL.DB").close();
    }

    ExportRun run(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", data.str()});
        return runExport(args, out.str());
    }
    // Nothing but what the command was asked for: no half-written file.
    std::vector<std::string> outputs() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(out.path())) names.push_back(e.path().filename().string());
        return names;
    }

    TempFolder data, out, emptied;
};

TEST_F(ExportCommand, ListNamesEveryExportWithItsArguments) {
    ExportRun r = runExport({"--list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("OPCINEISPIS"), std::string::npos);
    EXPECT_NE(r.out.find("JOPPD"), std::string::npos);
    EXPECT_NE(r.out.find("isplata="), std::string::npos);
}

TEST_F(ExportCommand, WritesReportPagesAsPdfOrPageFilesThatReadBack) {
    ExportRun pdf = run({"OPCINEISPIS", "--out", "opcine.pdf"});
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(pdf.err, "");
    EXPECT_EQ(readFile(out.path() / "opcine.pdf").substr(0, 5), "%PDF-");

    // Report names are not case-sensitive; the page folder is made new.
    ExportRun pages = run({"opcineispis", "--out", "stranice"});
    ASSERT_EQ(pages.exitCode, 0) << pages.err;
    ASSERT_TRUE(fs::exists(out.path() / "stranice" / "stranica-0001.wmf"));
    const std::string text = exportedTextJoined((out.path() / "stranice").string());
    EXPECT_NE(text.find("Grad Zagreb"), std::string::npos) << text;
    EXPECT_NE(text.find("Rijeka"), std::string::npos) << text;
    EXPECT_NE(text.find("Stopa Prireza"), std::string::npos) << text;

    EXPECT_EQ(outputs().size(), 2u);
}

TEST_F(ExportCommand, WritesTheJoppdFileOfAPaymentAsTheSchemaWantsIt) {
    ExportRun r = run({"JOPPD", "isplata=1", "--out", "jop.xml"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(schemaErrors((out.path() / "jop.xml").string()), "");
    EXPECT_EQ(outputs(), std::vector<std::string>{"jop.xml"});
}

TEST_F(ExportCommand, FailsWithOneLineAndLeavesNothingBehind) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"NEPOSTOJECI", "--out", "x.pdf"}, "Nepoznat izvještaj: NEPOSTOJECI"},
        {{"JOPPD", "--out", "x.xml"}, "Nedostaje argument isplata="},
        {{"JOPPD", "isplata=dva", "--out", "x.xml"}, "nije broj"},
        {{"JOPPD", "isplata=99", "--out", "x.xml"}, "Isplata 99 nema JOPPD obrazac."},
        {{"JOPPD", "isplata=1", "godina=2014", "--out", "x.xml"}, "ne poznaje argument godina="},
        {{"OPCINEISPIS"}, "Nedostaje --out"},
    };
    for (const Case& c : cases) {
        ExportRun r = run(c.args);
        EXPECT_NE(r.exitCode, 0) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(outputs().empty()) << c.says;
    }

    // A folder that holds no data is not made into one.
    TempFolder empty;
    ExportRun r = runExport({"OPCINEISPIS", "--data", empty.str(), "--out", "x.pdf"}, out.str());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("nema podataka"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(empty.path() / "MAREL.DB"));

    // Pages never go into a folder that holds other files.
    fs::create_directory(out.path() / "puna");
    { std::ofstream(out.path() / "puna" / "moje.txt") << "x"; }
    r = run({"OPCINEISPIS", "--out", "puna"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(outputs(), std::vector<std::string>{"puna"});
}

// What an export killed half-way left beside its output goes the next time
// an export writes into that folder; what a running one is writing stays.
TEST_F(ExportCommand, PartFilesOfAKilledExportGoThoseOfARunningOneStay) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = ".dio-" + std::to_string(gone), alive = ".dio-" + std::to_string(::getpid());
    { std::ofstream(out.path() / ("stari.pdf" + dead)) << "x"; }
    fs::create_directory(out.path() / ("stranice" + dead));
    { std::ofstream(out.path() / ("stranice" + dead) / "stranica-0001.wmf") << "x"; }
    { std::ofstream(out.path() / ("tekuci.xml" + alive)) << "x"; }

    ExportRun r = run({"OPCINEISPIS", "--out", "opcine.pdf"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> left = outputs();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"opcine.pdf", "tekuci.xml" + alive}));
}

// Another station holding the data is said so, and nothing is written.
TEST_F(ExportCommand, DataHeldByAnotherStationIsSaidSoAndNothingIsWritten) {
    Store other;
    ASSERT_EQ(other.open(data.str(), ""), 0);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), 0);
    for (std::vector<std::string> args : {std::vector<std::string>{"OPCINEISPIS", "--out", "x.pdf"},
                                          std::vector<std::string>{"JOPPD", "isplata=1", "--out", "x.xml"}}) {
        const std::string report = args.front();
        ExportRun r = run(args);
        EXPECT_EQ(r.exitCode, 1) << report;
        EXPECT_EQ(r.err, std::string(DATA_LOCKED_TEXT) + "\n") << report;
        EXPECT_TRUE(outputs().empty()) << report;
    }
    other.exec("ROLLBACK");
}

}  // namespace

TEST_F(ExportCommand, ACopyOfTheDataIsWholeOrNotThere) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    };
    const std::string copy = (out.path() / "kopija.DB").string();
    const Case cases[] = {
        {{"--data", emptied.str(), "--out", copy}, 1, "nema nijedne tablice podataka ovog programa"},
        {{"--data", (data.path() / "nema").string(), "--out", copy}, 1, "nema podataka"},
        {{"--data", data.str()}, 2, "Nedostaje --out"},
        {{"--data", data.str(), "--out"}, 2, "Upotreba: marel kopija"},
        {{"--data", data.str(), "--out", copy}, 0, "Kopija podataka zapisana u"},
    };
    for (const Case& c : cases) {
        std::ostringstream said, err;
        EXPECT_EQ(runBackupCommand(c.args, said, err), c.exitCode) << err.str();
        EXPECT_NE((said.str() + err.str()).find(c.says), std::string::npos) << said.str() << err.str();
        EXPECT_EQ(outputs().size(), c.exitCode == 0 ? 1u : 0u) << c.says;
    }
    EXPECT_EQ(dumpDatabaseFile(copy), dumpDatabaseFile((data.path() / "MAREL.DB").string()));
}

TEST_F(ExportCommand, DataIsCarriedOnlyIntoALocationWithoutData) {
    const std::string target = (out.path() / "novo").string(), missing = (out.path() / "nema").string();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {{"--from", data.str()}, 2, "Upotreba: marel prenesi"},
        {{"--from", missing, "--to", target}, 1, "nema podataka"},
        {{"--from", emptied.str(), "--to", target}, 1, "nema nijedne tablice podataka ovog programa"},
        {{"--from", data.str(), "--to", target}, 0, "Preneseno 21 tablica, 277 slogova iz "},
        {{"--from", data.str(), "--to", target}, 1, "već ima podataka"},
    };
    for (const Case& c : cases) {
        std::ostringstream said, err;
        EXPECT_EQ(runTransferCommand(c.args, said, err), c.exitCode) << err.str();
        EXPECT_NE((said.str() + err.str()).find(c.says), std::string::npos) << said.str() << err.str();
    }
    EXPECT_EQ(outputs(), std::vector<std::string>{"novo"});
}
