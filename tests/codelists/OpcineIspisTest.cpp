#include "codelists/OpcineIspis.h"

#include <gtest/gtest.h>

#include "common/Text.h"
#include "report/PageFiles.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

class OpcineIspis : public test::StoreFixture {
protected:
    void add(const char* shifra, const char* naziv, const char* rate) {
        OPCINE.clear();
        OPC.OZNAKA = ++number_;
        OPC.SHIFRA = shifra;
        OPC.NAZIV = naziv;
        OPC.RKONT = "1001";
        OPC.RACUNPOREZ = "8476812345";
        OPC.STOPAPRIREZA = Decimal::parse(rate);
        ASSERT_EQ(OPCINE.add(), 0) << errorText();
    }
    int number_ = 0;
};

}  // namespace

TEST_F(OpcineIspis, EmptyFileGivesNoReport) {
    int calls = 0;
    EXPECT_EQ(opcineReport([&](int) { return ++calls, true; }), nullptr);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(ask.messages.empty());
    EXPECT_EQ(OPCINE.USED, 0);  // released again
}

TEST_F(OpcineIspis, EveryMunicipalityInNameOrderWithItsRate) {
    openFiles({&OPCINE});
    add("0010", "Zagreb", "18");
    add("0020", "Čakovec", "10");
    add("0030", "Bjelovar", "0");
    add("0040", "Cres", "6.5");
    std::vector<int> shown;
    auto report = opcineReport([&](int percent) {
        shown.push_back(percent);
        return true;
    });
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(shown, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(report->title(), "Report the opcine File");
    ASSERT_EQ(report->pages().size(), 1u);

    auto lines = pageText(report->pages()[0]);
    std::vector<std::string> names;
    for (const auto& line : lines)
        for (const char* n : {"Zagreb", "Čakovec", "Bjelovar", "Cres"})
            if (line.find(n) != std::string::npos) names.push_back(n);
    EXPECT_EQ(names, (std::vector<std::string>{"Bjelovar", "Cres", "Čakovec", "Zagreb"}));
    auto lineOf = [&](const char* name) {
        for (const auto& line : lines)
            if (line.find(name) != std::string::npos) return line;
        return std::string();
    };
    // Rate 0 is blank, others with a decimal comma; the numbers end the line.
    EXPECT_EQ(rtrim(lineOf("Bjelovar")).substr(rtrim(lineOf("Bjelovar")).size() - 10), "8476812345");
    EXPECT_NE(lineOf("Cres").find("6,50"), std::string::npos);
    EXPECT_NE(lineOf("Zagreb").find("18,00"), std::string::npos);
    EXPECT_NE(lineOf("Shifra").find("Stopa Prireza"), std::string::npos);
    EXPECT_NE(lines.back().find("Page    1"), std::string::npos);
}

TEST_F(OpcineIspis, CancelGivesNothingAndLongListsBreakPages) {
    openFiles({&OPCINE});
    for (int i = 0; i < 95; ++i) add("0001", ("Općina " + std::to_string(1000 + i)).c_str(), "1");
    EXPECT_EQ(opcineReport([](int percent) { return percent < 30; }), nullptr);
    auto report = opcineReport();
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->pages().size(), 3u);
    auto last = pageText(report->pages()[2]);
    EXPECT_NE(last.back().find("Page    3"), std::string::npos);
}
