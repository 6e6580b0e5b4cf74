// A long file is checked in two halves at once: a fault in either half, or
// one that only the whole shows, must still refuse it, named as before.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/JoppdSchema.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using marel::test::readFile;
using marel::test::schemaErrors;

// A golden file with its recipient's row 3,000 times; the row numbered
// `bad` with `from` in it replaced by `to`.
std::string longFile(int bad, const std::string& from, const std::string& to) {
    const std::string one = readFile(fs::path(__FILE__).parent_path() / "golden" / "acquirer02.xml");
    const size_t start = one.find("\n      <P>"), end = one.find("</P>", start) + 4;
    const std::string row = one.substr(start, end - start);
    std::string rows;
    for (int n = 1; n <= 3000; ++n) {
        std::string r = row;
        r.replace(r.find("<P1>1</P1>"), 10, "<P1>" + std::to_string(n) + "</P1>");
        if (n == bad) r.replace(r.find(from), from.size(), to);
        rows += r;
    }
    return one.substr(0, start) + rows + one.substr(end);
}

struct Case {
    int bad;
    std::string from, to;
    std::string named;  // "" when the file is valid
};

void expectNamed(const std::vector<Case>& cases) {
    marel::test::TempFolder dir;
    const std::string path = (dir.path() / "long.xml").string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::ofstream(path, std::ios::binary) << longFile(c.bad, c.from, c.to);
        const std::string said = schemaErrors(path);
        if (c.named.empty()) EXPECT_EQ(said, "");
        else EXPECT_NE(said.find(c.named), std::string::npos) << said;
    }
}

TEST(JoppdSchemaHalves, EveryFaultIsFoundWhereverItIs) {
    expectNamed({
        {0, "", "", ""},
        {2, "<P4>", "<P4>x", "element StranaB/Primatelji/P/P4, vrijednost \"x"},
        {2999, "<P4>", "<P4>x", "element StranaB/Primatelji/P/P4, vrijednost \"x"},
        {1500, "<P61>", "<P61>9", "element StranaB/Primatelji/P/P61"},
        {2999, "</P17>", "</P17><P17>0.00</P17>", "element StranaB/Primatelji/P/P17"},
        {1, "</P>", "", "Datoteka nije ispravan XML dokument"},
        {3000, "</P>", "</P></P>", "Datoteka nije ispravan XML dokument"},
        {2999, "</P>", "</P>x", "element StranaB/Primatelji"},
        {2999, "<P4>", "<P4 a=\"1\">", "element StranaB/Primatelji/P/P4"},
        {2999, "<P4>", "<!-- OIB --><P4>", ""},
    });
}

// Rows whose cells the type tests read instead of the schema: whatever the
// schema refuses must still be refused, wherever the row is.
TEST(JoppdSchemaHalves, TheTestsOfTheCellTypesRefuseWhatTheSchemaRefuses) {
    const std::string p = "element StranaB/Primatelji/P/";
    expectNamed({
        {2999, "<P1>2999<", "<P1>0<", p + "P1"},
        {2999, "<P1>2999<", "<P1>10000000000<", p + "P1"},
        {2999, "<P1>2999<", "<P1>9999999999<", ""},
        {2999, "<P2>04090<", "<P2>0409<", p + "P2"},
        {2999, "<P3>00000<", "<P3>000000<", p + "P3"},
        {2999, "<P4>98765432106<", "<P4>9876543210<", p + "P4"},
        {2999, "<P4>98765432106<", "<P4>987654321060<", p + "P4"},
        {2999, "<P5>Đuro Šimić<", "<P5>Đ<", p + "P5"},
        {2999, "<P5>Đuro Šimić<", "<P5>" + std::string(129, 'a') + "<", p + "P5"},
        {2999, "<P5>Đuro Šimić<", "<P5>" + [] { std::string s; for (int i = 0; i < 128; ++i) s += "Đ"; return s; }() + "<", ""},
        {2999, "<P5>Đuro Šimić<", "<P5>Đuro & Šimić<", "Datoteka nije ispravan XML dokument"},
        {2999, "<P5>Đuro Šimić<", "<P5>Đuro ]]> Šimić<", "Datoteka nije ispravan XML dokument"},
        {2999, "<P5>Đuro Šimić<", "<P5>Đuro \x01Šimić<", "Datoteka nije ispravan XML dokument"},
        {2999, "<P5>Đuro Šimić<", "<P5>Đuro \xED\xA0\x80Šimić<", "Datoteka nije ispravan XML dokument"},
        {2999, "<P11>1000.00<", "<P11>1,000.00<", p + "P11"},
        {2999, "<P11>1000.00<", "<P11>1000.005<", p + "P11"},
        {2999, "<P11>1000.00<", "<P11>-1000.00<", p + "P11"},
        {2999, "<P11>1000.00<", "<P11>12345678901234.56<", p + "P11"},
        {2999, "<P11>1000.00<", "<P11>1234567890123.45<", ""},
        {2999, "<P11>1000.00<", "<P11>1000.0<", ""},
        {2999, "<P134>0.00<", "<P134>-12345678901234.56<", p + "P134"},
        {2999, "<P134>0.00<", "<P134>-0.005<", p + "P134"},
        {2999, "<P134>0.00<", "<P134>-1234567890123.45<", ""},
    });
}
}  // namespace
