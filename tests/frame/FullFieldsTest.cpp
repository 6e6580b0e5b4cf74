// Every paper the command line prints, on data as large as the record layouts let it be: names and places
// of real words as long as their fields, rates at all their digits, the amounts of an income line as large
// as every sum a form prints of them (fourteen at most: seven lines, two positions each) lets them be.
// No figure may come out cut, no text lie over another or under a line.
#include <gtest/gtest.h>

#include "common/Prompter.h"
#include "demo/DemoData.h"
#include "frame/ExportCommand.h"
#include "report/Export.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "store/Store.h"
#include "store/Warnings.h"
#include "support/TempFolder.h"

using namespace marel;
using namespace marel::test;

namespace {

// Real words, `length` characters of them, from the `seed`th word on.
std::string words(size_t length, size_t seed) {
    static const char* const kWords[] = {"Međimurska", "Šimunović", "Kovačević", "Magdalena", "Gornja", "Stubica",
                                         "Hrvatskog", "narodnog", "preporoda", "Sveti", "Martin", "Muri"};
    static const char* const kLast[] = {"", "i", "na", "pod", "Luka", "Brela", "Mirjam", "Zadarka", "Markovac",
                                        "Slavonija", "Dubrovačka", "Primorskoga"};
    std::string s;
    for (size_t i = seed; utf8Length(s) + 12 <= length; ++i) s += (s.empty() ? "" : " ") + std::string(kWords[i % 12]);
    return s + (s.empty() ? "" : " ") + kLast[length - utf8Length(s) - (s.empty() ? 0 : 1)];
}

// Written over the demo data: an SQL value, or (none) real words as long
// as the field, different in each record (names are keys). Decimals are
// kept in their smallest unit: 7142857142 lipa is 999.999.999,99 / 14.
constexpr const char* kEmail = "'racunovodstvo.isplate@kulturna-udruga.hr'";
const struct {
    const char *table, *column, *sql = nullptr;
} kFills[] = {
    {"OSOBE", "IME"}, {"OSOBE", "PREZIME"}, {"OSOBE", "KUCNIBROJ", "'115 A'"}, {"SUBJEKTI", "NAZIV"},
    {"SUBJEKTI", "KUCNIBROJ", "'115 A'"}, {"MJESTA", "NAZIV"}, {"ULICE", "NAZIV"}, {"OPCINE", "NAZIV"},
    {"BANKE", "NAZIV"}, {"VRSTEDOH", "NAZIV"}, {"ID1", "KONIME"}, {"ID1", "KONPREZIME"},
    {"OSOBE", "RACUNPOZIV", "'1234567-123456-12345'"}, {"SUBJEKTI", "EMAIL", kEmail}, {"ID1", "KONEMAIL", kEmail},
    {"OPCINE", "STOPAPRIREZA", "9999999"}, {"VRSTEDOH", "NEOPOREZIVIDIO", "99999"}, {"DOHOCI", "NETO", "7142857142"},
    {"VRSTEDOH", "PRIZNATITROSKOVI", "99999"}, {"DOHOCI", "REDNIBROJ", "65535-_id"}, {"OBRACUN", "IZNOS", "7142857142"},
};

size_t fieldLength(const std::string& table, const char* column) {
    for (const Layout* l : allLayouts())
        if (const int i = l->fieldIndex(column); l->label == table && i >= 0) return size_t(l->fields[size_t(i)].size);
    return 12;  // no such field: its UPDATE fails
}

// Each export with the demo data's numbers, after those that draw otherwise with other arguments.
std::vector<std::map<std::string, std::string>> calls() {
    std::vector<std::map<std::string, std::string>> out = {
        {{"", "HUB3"}, {"isplata", "1"}, {"printer", "L"}}, {{"", "HUB3A"}, {"isplata", "1"}, {"papir", "cisti"}},
        {{"", "HUB3A"}, {"isplata", "1"}, {"printer", "M"}}, {{"", "RSMA"}, {"isplata", "1"}, {"printer", "L"}},
        {{"", "ISPISPOTVRDE"}, {"isplatitelj", "1"}, {"godina", "2014"}}};
    const std::map<std::string, std::string> demo = {{"isplata", "1"}, {"dohodak", "1"}, {"isplatitelj", "1"},
        {"primatelj", "1"}, {"godina", "2014"}, {"mjesec", "3"}, {"id1", "1"}, {"kriporez", "1"}};
    for (const ExportEntry* e : registeredExports()) {
        auto& call = out.emplace_back(std::map<std::string, std::string>{{"", e->name}});
        for (const ExportArg& a : e->args)
            if (demo.count(a.name)) call[a.name] = demo.at(a.name);
    }
    return out;
}

bool overlap(const Box& a, const Box& b) {
    return std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x) > 1 &&
           std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y) > 1;
}
// Two texts sharing more than a hair, or a line through the letters of a
// text rather than along them.
bool over(const DrawnText& a, const DrawnText& b) {
    if (a.text.empty() == b.text.empty()) return !a.text.empty() && overlap(a.extent, b.extent);
    const Box &l = a.text.empty() ? a.extent : b.extent, &t = a.text.empty() ? b.extent : a.extent;
    const int m = t.height / 5;  // a line in the top or bottom fifth runs along the text
    return overlap({l.x - 1, l.y - 1, l.width + 2, l.height + 2},
                   {t.x + m, t.y + m, t.width - 2 * m, t.height - 2 * m});
}

class FullFields : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(makeDemoData(data.str()), "");
        registerAllExports();
        setPrompter(&quiet);
        programStart(data.str());
        for (const auto& f : kFills) {
            std::string value = f.sql ? f.sql : "CASE _id % 12";
            for (size_t k = 0; !f.sql && k < 12; ++k)
                value += " WHEN " + std::to_string(k) + " THEN '" + words(fieldLength(f.table, f.column), k + 3) + "'";
            value += f.sql ? "" : " END";
            ASSERT_EQ(Store::main().exec(std::string("UPDATE ") + f.table + " SET " + f.column + " = " + value), 0);
        }
        // The IPP form: four kinds of income, counted up to what a count can hold.
        FileUse use{&KRIPOREZ, &DETKRIP};
        std::string ipp = "DELETE FROM DETKRIP;DELETE FROM KRIPOREZ;INSERT INTO KRIPOREZ (OZNAKA, ISPLATITELJ, GODINA, MJESEC) VALUES (1, 1, '2014', 3)";
        for (char kind : {'1', '2', '3', '4'})
            ipp += std::string(";INSERT INTO DETKRIP (KRIPOREZ, VRSTA, BROJ, OSNOVICA, IZNOS) VALUES (1, ") + kind +
                   ", 8191, 7142857142, 7142857142)";
        ASSERT_EQ(Store::main().exec(ipp), 0);
        Report::keepDrawnTexts(true);
    }
    void TearDown() override {
        Report::keepDrawnTexts(false);
        programEnd();
        setPrompter(nullptr);
    }
    TempFolder data, out;
    ScriptedPrompter quiet;
};

TEST_F(FullFields, EveryFigureWholeAndNoTextOverAnother) {
    for (std::map<std::string, std::string> args : calls()) {
        const ExportEntry* e = findExport(args[""]);
        ASSERT_NE(e, nullptr) << args[""];
        args.erase("");
        std::string what = e->name, faults;
        for (const auto& [k, v] : args) what += " " + k + "=" + v;
        SCOPED_TRACE(what);
        if (e->file) {
            EXPECT_EQ(runFile(*e, ExportArgs(args), (out.path() / "datoteka.xml").string()), "");
            continue;
        }
        ExportOutcome o = runPages(*e, ExportArgs(args));
        ASSERT_NE(o.report, nullptr) << o.error;
        for (const UnfitText& u : o.report->unfit())
            if (u.kind == UnfitText::Overflow) faults += "cut: " + u.text + "\n";
        const std::vector<DrawnText>& d = o.report->drawnTexts();
        for (size_t i = 0; i < d.size(); ++i) {
            if (d[i].text.find("##") != std::string::npos) faults += "hashes: " + fromCp1250(d[i].text) + "\n";
            for (size_t j = i + 1; j < d.size() && d[j].page == d[i].page; ++j)
                if (over(d[i], d[j]))
                    faults += "over each other: '" + fromCp1250(d[i].text) + "', '" + fromCp1250(d[j].text) + "'\n";
        }
        o.report->discard();
        EXPECT_EQ(faults, "");
    }
}

}  // namespace
