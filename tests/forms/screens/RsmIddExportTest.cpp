#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include "demo/DemoData.h"
#include "support/ExportRun.h"
#include "support/TempFolder.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// `marel export` of the forms over the demo data: payer 1 with a payment of
// seven income lines in March 2014 and one of four in April.
class RsmIddExport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(makeDemoData(data.str()), ""); }

    // The text of the pages exported into a new folder; the error when none.
    std::string pages(std::vector<std::string> args) {
        const std::string folder = "stranice-" + std::to_string(++runs);
        args.insert(args.end(), {"--data", data.str(), "--out", folder});
        ExportRun r = runExport(args, out.str());
        if (r.exitCode != 0) return "(failed) " + r.err;
        return exportedTextJoined((out.path() / folder).string());
    }
    static std::vector<std::string> lineAmounts(const std::string& text, const std::string& label) {
        std::istringstream in(text);
        static const std::regex amount(R"([0-9.]+,[0-9]{2})");
        for (std::string l; std::getline(in, l);)
            if (const size_t at = l.find(label); at != std::string::npos) {
                std::vector<std::string> out;
                const std::string rest = l.substr(at + label.size());
                for (std::sregex_iterator it(rest.begin(), rest.end(), amount), end; it != end; ++it)
                    out.push_back(it->str());
                return out;
            }
        return {"(no line)"};
    }

    TempFolder data, out;
    int runs = 0;
};

bool has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

}  // namespace

TEST_F(RsmIddExport, FormsOfThePaymentAndTheMonthExportAndReadBack) {
    const std::string a = pages({"RSMA", "isplata=1", "printer=L"});
    ASSERT_TRUE(has(a, "OBRAZAC R-Sm")) << a;
    EXPECT_TRUE(has(a, "Stranica A")) << a;
    const std::string b = pages({"rsmb", "isplata=1"});
    ASSERT_TRUE(has(b, "Stranica B")) << b;

    // Each total of page A is the sum of its column on page B.
    std::istringstream in(b);
    static const std::regex amount(R"([0-9.]+,[0-9]{2})");
    int lines = 0;
    std::vector<long long> sums(5, 0);
    for (std::string l; std::getline(in, l);) {
        std::vector<std::string> cells;
        for (std::sregex_iterator it(l.begin(), l.end(), amount), end; it != end; ++it) cells.push_back(it->str());
        if (cells.size() != 5) continue;
        ++lines;
        for (size_t k = 0; k < 5; ++k) {
            std::string digits = cells[k];
            std::erase_if(digits, [](char c) { return c == '.' || c == ','; });
            sums[k] += std::stoll(digits);
        }
    }
    EXPECT_EQ(lines, 7);
    auto cents = [](std::vector<std::string> v) {
        if (v.size() != 1) return -1LL;
        std::erase_if(v[0], [](char c) { return c == '.' || c == ','; });
        return std::stoll(v[0]);
    };
    EXPECT_EQ(cents(lineAmounts(a, "Iznos obračunane plaće / naknade / drugog dohotka")), sums[0]);
    EXPECT_EQ(cents(lineAmounts(a, "Iznos osnovice za obračun doprinosa")), sums[1]);
    EXPECT_EQ(cents(lineAmounts(a, "Iznos obračunanog doprinosa za I. stup")), sums[2]);
    EXPECT_EQ(cents(lineAmounts(a, "Iznos obračunanog doprinosa za II. stup")), sums[3]);
    EXPECT_EQ(cents(lineAmounts(a, "Iznos isplaćene plaće / naknade / drugog dohotka")), sums[4]);

    // March has the seven lines of the first payment; April the four of the second.
    const std::string march = pages({"IDD", "isplatitelj=1", "godina=2014", "mjesec=3"});
    ASSERT_TRUE(has(march, "OBRAZAC IDD")) << march;
    EXPECT_TRUE(std::regex_search(march, std::regex(R"(BROJ PRIMATELJA[ 0-9]* 7\n)"))) << march;
    const std::string april = pages({"IDD", "isplatitelj=1", "godina=2014", "mjesec=04", "printer=M"});
    EXPECT_TRUE(std::regex_search(april, std::regex(R"(BROJ PRIMATELJA[ 0-9]* 4\n)"))) << april;
}

TEST_F(RsmIddExport, BadArgumentsAreToldInOneLine) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"IDD", "isplatitelj=1", "godina=14", "mjesec=3"}, "Godina mora imati četiri znamenke: 14"},
        {{"IDD", "isplatitelj=1", "godina=2014", "mjesec=13"}, "Mjesec mora biti od 1 do 12: 13"},
        {{"IDD", "isplatitelj=1", "godina=2014", "mjesec=0"}, "Mjesec mora biti od 1 do 12: 0"},
        {{"IDD", "isplatitelj=9", "godina=2014", "mjesec=3"}, "Isplatitelj 9 ne postoji."},
        {{"IDD", "isplatitelj=1", "godina=2014"}, "Nedostaje argument mjesec="},
        {{"RSMA", "isplata=99"}, "Isplata 99 ne postoji."},
        {{"RSMB", "isplata=1", "printer=X"}, "Vrsta pisača (printer=) mora biti M (matrični) ili L (laserski): X"},
    };
    for (const Case& c : cases) {
        const std::string r = pages(c.args);
        EXPECT_TRUE(has(r, "(failed) ")) << c.says;
        EXPECT_TRUE(has(r, c.says)) << r;
        EXPECT_EQ(std::count(r.begin(), r.end(), '\n'), 1) << r;
    }
    EXPECT_TRUE(fs::is_empty(out.path()));
}
