#include <gtest/gtest.h>

#include <filesystem>

#include "common/Picture.h"
#include "common/Text.h"
#include "demo/DemoData.h"
#include "support/ExportRun.h"
#include "support/TempFolder.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// The certificates and the IPP form from the command line, on the demo data
// (one payer, ten recipients, all paid in 2014).
class CertificateExport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(makeDemoData(data.str()), ""); }
    ExportRun run(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", data.str()});
        return runExport(args, out.str());
    }
    std::string pages(const std::string& folder) { return exportedTextJoined((out.path() / folder).string()); }
    TempFolder data, out;
};

TEST_F(CertificateExport, EveryRecipientPaidInTheYearGetsHisCertificateInSurnameOrder) {
    ExportRun r = run({"ISPISPOTVRDE", "isplatitelj=1", "godina=2014", "--out", "svi"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = pages("svi");
    EXPECT_EQ(count(text, "SVEUKUPNO"), 10u) << text;
    EXPECT_EQ(count(text, "POTVRDA"), 10u);
    // Each on a page of its own, the first and the last by surname.
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(out.path() / "svi")) files += e.path().extension() == ".wmf";
    EXPECT_EQ(files, 10u);
    EXPECT_LT(text.find("Ana Babić"), text.find("Ivana Horvat"));
    EXPECT_LT(text.find("Đurđica Šimić"), text.find("Tomislav Vuković"));
    // Dated with the report date, today when the program starts.
    EXPECT_NE(text.find(trim(Picture::parse("D17").format(Date::today()))), std::string::npos);

    ExportRun pdf = run({"ISPISPOTVRDE", "isplatitelj=1", "godina=2014", "--out", "svi.pdf"});
    ASSERT_EQ(pdf.exitCode, 0) << pdf.err;
    EXPECT_EQ(readFile(out.path() / "svi.pdf").substr(0, 5), "%PDF-");
}

TEST_F(CertificateExport, OneRecipientsCertificateAndItsCrisisTaxVariant) {
    ExportRun r = run({"ISPISPOTVRDE", "isplatitelj=1", "godina=2014", "primatelj=1", "--out", "jedan"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string text = pages("jedan");
    EXPECT_EQ(count(text, "SVEUKUPNO"), 1u);
    EXPECT_NE(text.find("Ivana Horvat"), std::string::npos);
    // Her two income lines, numbered.
    std::vector<std::string> numbers;
    for (const std::string& line : exportedText((out.path() / "jedan").string())) {
        const std::string t = trim(line);
        if (t.size() > 2 && t[0] >= '1' && t[0] <= '9' && t[1] == '.' && t[2] == ' ') numbers.push_back(t.substr(0, 2));
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"1.", "2."})) << text;

    r = run({"ISPISPOTVRDESKRIPOREZ", "primatelj=1", "isplatitelj=1", "godina=2014", "--out", "kriza"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    text = pages("kriza");
    EXPECT_NE(text.find("Posebni"), std::string::npos) << text;
    EXPECT_EQ(count(text, "SVEUKUPNO"), 1u);

    // A year the payer paid her nothing: her paper with a total of zeros.
    r = run({"ISPISPOTVRDESKRIPOREZ", "primatelj=1", "isplatitelj=1", "godina=2010", "--out", "nula"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(count(pages("nula"), "SVEUKUPNO"), 1u);
}

TEST_F(CertificateExport, RefusesWhatCannotBePrintedWithOneLine) {
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"ISPISPOTVRDE", "isplatitelj=1", "godina=2013"}, "Nema stranica za ispis."},
        {{"ISPISPOTVRDE", "isplatitelj=1", "godina=2014", "primatelj=99"}, "Nema stranica za ispis."},
        {{"ISPISPOTVRDE", "isplatitelj=1", "godina=14"}, "Godina mora imati četiri znamenke: 14"},
        {{"ISPISPOTVRDE", "godina=2014"}, "Nedostaje argument isplatitelj="},
        {{"ISPISPOTVRDESKRIPOREZ", "isplatitelj=1", "godina=2010"}, "Nedostaje argument primatelj="},
        {{"ISPISKRIPOREZ", "kriporez=99"}, "IPP obrazac 99 ne postoji."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--out", "x.pdf"});
        ExportRun r = run(args);
        EXPECT_NE(r.exitCode, 0) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out.path() / "x.pdf"));
    }
}

}  // namespace
