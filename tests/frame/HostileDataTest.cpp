// Data another program (or an old file, or a careless hand in a database tool)
// may have written: text the program never stores itself and amounts at their
// limits. Every report and file of the command line must still end soon, with
// a complete output or one line saying why not, and leave nothing half-written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/Prompter.h"
#include "demo/DemoData.h"
#include "frame/ExportCommand.h"
#include "report/Export.h"
#include "session/Globals.h"
#include "store/Records.h"
#include "store/Store.h"
#include "support/ExportRun.h"
#include "support/JoppdSchema.h"
#include "support/TempFolder.h"

using namespace marel;
using namespace marel::test;
namespace fs = std::filesystem;

namespace {

// Values as SQL expressions; `_id` keeps unique keys unique.
struct Hostile {
    const char* name;
    std::string sql;
};

std::string longText() {
    std::string s;
    for (int i = 0; i < 500; ++i) s += "Šx";
    return "'" + s + "'";
}

const std::vector<Hostile>& hostileTexts() {
    static const std::vector<Hostile> v = {
        {"NUL i kontrolni znakovi", "'Hor' || char(0) || 'vat' || char(7) || char(10) || _id"},
        {"emoji i ćirilica", "'Ана 😀 Љубић Џ' || _id"},
        {"1000 znakova", longText() + " || _id"},
    };
    return v;
}

// The arguments every export gets: the demo data's payer, payment, line,
// recipient and forms.
std::map<std::string, std::string> argumentsOf(const ExportEntry& e) {
    static const std::map<std::string, std::string> known = {
        {"isplata", "1"}, {"dohodak", "1"}, {"isplatitelj", "1"}, {"primatelj", "1"}, {"godina", "2014"},
        {"mjesec", "3"},  {"id1", "1"},     {"kriporez", "1"},
    };
    std::map<std::string, std::string> args;
    for (const ExportArg& a : e.args)
        if (known.count(a.name)) args[a.name] = known.at(a.name);
    return args;
}

// A case that takes longer than a report on the demo data ever could ends
// the whole test program, naming the case: a hang must not pass unseen nor
// hold the run until its outer time limit.
char hanging[256];
void sayHangingAndEnd(int) {
    (void)!::write(2, hanging, std::strlen(hanging));
    std::_Exit(3);
}
void watch(const std::string& what) {
    std::snprintf(hanging, sizeof hanging, "Ne završava: %s\n", what.c_str());
    std::signal(SIGALRM, sayHangingAndEnd);
    ::alarm(30);
}

class HostileData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(makeDemoData(data.str()), "");
        registerAllExports();
    }
    // Text and decimal columns of the files the demo data fills.
    std::vector<std::pair<std::string, const FieldDef*>> columns(bool text) {
        std::vector<std::pair<std::string, const FieldDef*>> v;
        for (const Layout* l : allLayouts())
            for (const FieldDef& f : l->fields)
                if ((text ? f.isText() : f.type == FieldType::Decimal)) v.emplace_back(l->label, &f);
        return v;
    }
    TempFolder data, out;
};

// One column after another holds each hostile text (the others stay as they
// were, so that no check list refuses before the column is read at all).
TEST_F(HostileData, EveryTextColumnInTurnThroughEveryExport) {
    ScriptedPrompter quiet;
    setPrompter(&quiet);
    setHaltHandler([](const std::string& text) { throw ProgramHalted{text}; });
    programStart(data.str());
    Store& store = Store::main();
    int cases = 0;
    for (const auto& [table, field] : columns(true)) {
        for (const Hostile& h : hostileTexts()) {
            ASSERT_EQ(store.begin(), 0);
            if (store.exec("UPDATE \"" + table + "\" SET \"" + field->name + "\" = " + h.sql) != 0) {
                store.rollback();
                continue;  // a file this data folder does not have
            }
            for (const ExportEntry* e : registeredExports()) {
                const std::string what = table + "." + field->name + " / " + h.name + " / " + e->name;
                watch(what);
                ++cases;
                try {
                    if (e->pages) {
                        ExportOutcome o = runPages(*e, ExportArgs(argumentsOf(*e)));
                        if (o.report) o.report->discard();
                        else EXPECT_EQ(o.error.find('\n'), std::string::npos) << what << ": " << o.error;
                    } else {
                        const fs::path file = out.path() / "datoteka.xml";
                        const std::string why = runFile(*e, ExportArgs(argumentsOf(*e)), file.string());
                        if (why.empty() && e->name == "JOPPD") {
                            EXPECT_EQ(schemaErrors(file.string()), "") << what;
                        }
                        if (!why.empty()) {
                            EXPECT_FALSE(fs::exists(file)) << what << ": " << why;
                        }
                        std::error_code ec;
                        fs::remove(file, ec);
                    }
                } catch (const ProgramHalted&) {
                    // The program's own fatal warning: a refusal, not a hang.
                }
            }
            store.rollback();
        }
    }
    ::alarm(0);
    programEnd();
    setPrompter(nullptr);
    setHaltHandler(nullptr);
    EXPECT_GT(cases, 1000);
}

// The whole command, on data changed for good: every text column hostile at
// once, or every amount at its largest or most negative value.
TEST_F(HostileData, TheCommandWritesAWholeOutputOrOneLineAndNoPartFile) {
    struct State {
        std::string name;
        std::function<std::string(const FieldDef&)> value;
        bool text;
    };
    std::vector<State> states;
    for (const Hostile& h : hostileTexts()) states.push_back({h.name, [&h](const FieldDef&) { return h.sql; }, true});
    auto nines = [](const FieldDef& f) { return std::string(size_t(f.size), '9'); };
    states.push_back({"najveći iznosi", nines, false});
    states.push_back({"negativni iznosi", [&](const FieldDef& f) { return "-" + nines(f); }, false});

    for (const State& s : states) {
        TempFolder folder;
        ASSERT_EQ(makeDemoData(folder.str()), "");
        {
            Store store;
            ASSERT_EQ(store.open(folder.str(), ""), 0);
            for (const auto& [table, field] : columns(s.text))
                store.exec("UPDATE \"" + table + "\" SET \"" + field->name + "\" = " + s.value(*field));
        }
        for (const ExportEntry* e : registeredExports()) {
            std::vector<std::string> args{e->name, "--data", folder.str(), "--out",
                                          e->file ? "izlaz.xml" : "izlaz.pdf"};
            for (const auto& [k, v] : argumentsOf(*e)) args.push_back(k + "=" + v);
            const std::string what = s.name + " / " + e->name;
            ExportRun r = runExport(args, out.str(), {}, 20000);
            std::vector<std::string> written;
            for (const auto& f : fs::directory_iterator(out.path())) written.push_back(f.path().filename().string());
            if (r.exitCode == 0) {
                ASSERT_EQ(written.size(), 1u) << what;
                const std::string body = readFile(out.path() / written[0]);
                if (e->file) {
                    EXPECT_NE(body.find("</"), std::string::npos) << what;
                } else {
                    EXPECT_TRUE(body.starts_with("%PDF-") && body.find("%%EOF") != std::string::npos) << what;
                }
                if (e->name == "JOPPD") {
                    EXPECT_EQ(schemaErrors((out.path() / written[0]).string()), "") << what;
                }
            } else {
                EXPECT_TRUE(written.empty()) << what << ": " << (written.empty() ? "" : written[0]);
                EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
            }
            for (const std::string& w : written) fs::remove_all(out.path() / w);
        }
    }
}

}  // namespace
