#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "demo/DemoData.h"
#include "joppd/JoppdXml.h"
#include "support/ExportRun.h"
#include "support/StoreFixture.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// The demo data (a payer, two payments, the JOPPD form of the first), kept
// open here as well, as another workstation on the same folder.
class PaymentPapersExport : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        for (const char* table : {"VRSTEDOH", "POZICIJE", "PORSTOPE", "NEOPOREZ", "VBRAT", "JOPOZIJE"})
            ASSERT_EQ(Store::main().loadTable(table, suppliedDataDir()), 0) << table;
        ASSERT_EQ(fillDemoData(), "");
    }
    ExportRun run(std::vector<std::string> args) {
        args.insert(args.end(), {"--data", folder.str()});
        return runExport(args, out.str());
    }
    std::string text(const std::string& pagesFolder) { return exportedTextJoined((out.path() / pagesFolder).string()); }
    static bool havePdfToText() { return std::system("command -v pdftotext >/dev/null 2>&1") == 0; }

    TempFolder out;
};

}  // namespace

TEST_F(PaymentPapersExport, EveryPaperOfAPaymentBecomesAPdf) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> papers = {
        {{"OBRACUNISP", "dohodak=1"}, "Bruto + Zdravstveno osiguranje"},
        {{"OBRISPLATEISP", "isplata=1"}, "Rekapitulacija za isplatu:"},
        {{"JOPPDISPIS", "isplata=1"}, "OBRAZAC JOPPD"},
        {{"JOPPBSTRANA", "isplata=1", "printer=L"}, "stranica B"},
    };
    for (const auto& [args, says] : papers) {
        const std::string pdf = (out.path() / (args[0] + ".pdf")).string();
        std::vector<std::string> call = args;
        call.insert(call.end(), {"--out", pdf});
        ExportRun r = run(call);
        ASSERT_EQ(r.exitCode, 0) << args[0] << ": " << r.err;
        EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-") << args[0];
        if (!havePdfToText()) continue;
        const std::string txt = pdf + ".txt";
        ASSERT_EQ(std::system(("pdftotext -q '" + pdf + "' '" + txt + "'").c_str()), 0) << args[0];
        EXPECT_NE(readFile(txt).find(says), std::string::npos) << args[0] << "\n" << readFile(txt);
    }
}

TEST_F(PaymentPapersExport, PagesReadBackAgreeWithEachOther) {
    ASSERT_EQ(run({"OBRACUNISP", "dohodak=1", "--out", "obr"}).exitCode, 0);
    ASSERT_EQ(run({"JOPPDISPIS", "isplata=1", "--out", "a"}).exitCode, 0);
    ASSERT_EQ(run({"JOPPBSTRANA", "isplata=1", "--out", "b"}).exitCode, 0);

    // The first line: an author's fee of a net 3500.00 (gross 5,833.33 ...);
    // whatever the figures, its last line is gross plus health insurance.
    const std::string obr = text("obr");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(obr, m, std::regex("\\n *1 +Bruto[^\\n]* ([0-9.]+,[0-9]{2})\\n")) ) << obr;
    const std::string gross = m[1];
    ASSERT_TRUE(std::regex_search(obr, m, std::regex("\\n *11 +[^\\n]* ([0-9.]+,[0-9]{2})\\n"))) << obr;
    const std::string health = m[1];
    ASSERT_TRUE(std::regex_search(obr, m, std::regex("Bruto \\+ Zdravstveno osiguranje +([0-9.]+,[0-9]{2})")));
    auto value = [](std::string s) {
        std::string plain;
        for (char c : s)
            if (c != '.') plain += c == ',' ? '.' : c;
        return Decimal::parse(plain);
    };
    EXPECT_EQ(value(m[1]), value(gross) + value(health)) << obr;

    // Seven lines of seven people on both pages.
    const std::string a = text("a");
    EXPECT_TRUE(std::regex_search(a, std::regex("BROJ OSOBA ZA KOJE SE +7 "))) << a;
    EXPECT_TRUE(std::regex_search(a, std::regex("POJEDINAČNIH +7\\n"))) << a;
    const std::string b = text("b");
    EXPECT_NE(b.find("- stranica B -"), std::string::npos);
    const std::regex row("\\n *[1-7] +[0-9]{11} ");
    EXPECT_EQ(std::distance(std::sregex_iterator(b.begin(), b.end(), row),
                            std::sregex_iterator()),
              7)
        << b;
}

TEST_F(PaymentPapersExport, JoppdFileIsTheOneTheFormListWrites) {
    ExportRun r = run({"JOPPD", "isplata=1", "--out", "jop.xml"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The form list writes the file of the payment's form into the data folder.
    FileUse use{&JOPO};
    JOPO.set(JOPO.KEYOZNAKA);
    ASSERT_EQ(JOPO.next(), 0);
    ASSERT_EQ(JOPO.ISPLATA, 1);
    ASSERT_TRUE(FORMIRAJ(JOPO.OZNAKA));
    ASSERT_EQ(JOPO.get(JOPO.KEYOZNAKA), 0);
    ASSERT_FALSE(JOPO.DATOTEKA.empty());
    // Apart from the moment each was made, byte for byte the same.
    const std::regex moment("<Datum ([^>]*)>[^<]*</Datum>");
    const std::string listed = std::regex_replace(readFile(JOPO.DATOTEKA.str()), moment, "<Datum $1/>");
    const std::string exported = std::regex_replace(readFile(out.path() / "jop.xml"), moment, "<Datum $1/>");
    EXPECT_NE(listed.find("<Datum dc="), std::string::npos);
    EXPECT_EQ(exported, listed);
}

TEST_F(PaymentPapersExport, ListedAndRefusedWithOneLine) {
    ExportRun list = runExport({"--list"});
    ASSERT_EQ(list.exitCode, 0);
    for (const char* name : {"OBRACUNISP", "OBRISPLATEISP", "JOPPDISPIS", "JOPPBSTRANA", "dohodak=", "printer="})
        EXPECT_NE(list.out.find(name), std::string::npos) << name;

    // A payment without income lines.
    openFiles({&ISPLATE});
    ISPLATE.clear();
    ISP.OZNAKA = 9;
    ISP.ISPLATITELJ = 1;
    ISP.DATUM = Date::fromYmd(2014, 6, 2);
    ISP.RSID = "14153";
    ASSERT_EQ(ISPLATE.add(), 0);

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"OBRACUNISP", "dohodak=999", "--out", "x.pdf"}, "Dohodak 999 ne postoji."},
        {{"OBRACUNISP", "--out", "x.pdf"}, "Nedostaje argument dohodak="},
        {{"OBRISPLATEISP", "isplata=77", "--out", "x.pdf"}, "Isplata 77 ne postoji."},
        {{"JOPPDISPIS", "isplata=tri", "--out", "x.pdf"}, "nije broj"},
        {{"JOPPBSTRANA", "isplata=9", "--out", "x.pdf"}, "Nema stranica za ispis."},
        {{"JOPPBSTRANA", "isplata=1", "printer=X", "--out", "x.pdf"}, "Vrsta pisača (printer=) mora biti M (matrični) ili L (laserski): X"},
    };
    for (const auto& [args, says] : cases) {
        ExportRun r = run(args);
        EXPECT_NE(r.exitCode, 0) << says;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_TRUE(fs::is_empty(out.path()));
}

// This station doubles or halves every amount of the first payment, each time
// in one transaction, while another station exports the year's papers: each
// paper shows one of the two states whole, never rows of one with totals of
// the other.
TEST_F(PaymentPapersExport, APaperExportedBesideAWriterShowsOneState) {
    bool doubled = false;
    auto toggle = [&] {
        WriteTransaction tx;
        const std::string by = doubled ? " / 2" : " * 2";
        if (!tx.ok() ||
            Store::main().exec("UPDATE OBRACUN SET IZNOS = IZNOS" + by +
                               " WHERE DOHODAK IN (SELECT OZNAKA FROM DOHOCI WHERE ISPLATA = 1)") != 0 ||
            Store::main().exec("UPDATE DOHOCI SET NETO = NETO" + by + " WHERE ISPLATA = 1") != 0)
            return;
        // A commit refused while the export reads changes nothing.
        if (tx.commit() == 0) doubled = !doubled;
    };
    int n = 0;
    auto exported = [&](const std::vector<std::string>& paper, const std::function<void()>& meanwhile) {
        const std::string name = "p" + std::to_string(++n);
        std::vector<std::string> call = paper;
        call.insert(call.end(), {"--data", folder.str(), "--out", name});
        ExportRun r = runExport(call, out.str(), meanwhile);
        EXPECT_EQ(r.exitCode, 0) << paper[0] << ": " << r.err;
        return text(name);
    };
    const std::vector<std::vector<std::string>> papers = {
        {"ID1", "isplatitelj=1", "godina=2014"},
        {"ISPISPOTVRDE", "isplatitelj=1", "godina=2014"},
        {"IDD", "isplatitelj=1", "godina=2014", "mjesec=3"},
    };
    for (const auto& paper : papers) {
        const std::string plain = exported(paper, {});
        for (int i = 0; i < 20 && !doubled; ++i) toggle();
        ASSERT_TRUE(doubled);
        const std::string twice = exported(paper, {});
        ASSERT_NE(plain, twice) << paper[0];
        for (int run = 0; run < 6; ++run) {
            const std::string seen = exported(paper, toggle);
            EXPECT_TRUE(seen == plain || seen == twice) << paper[0] << ", run " << run << ":\n" << seen;
        }
        for (int i = 0; i < 20 && doubled; ++i) toggle();
        ASSERT_FALSE(doubled);
    }
}
