#include "frame/ExportCommand.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>
#include <system_error>

#include "certificates/Certificates.h"
#include "codelists/OpcineIspis.h"
#include "common/Prompter.h"
#include "forms/RsmIddExports.h"
#include "forms/Id1Exports.h"
#include "frame/StartUp.h"
#include "joppd/JoppdPages.h"
#include "joppd/JoppdXml.h"
#include "payments/Recapitulation.h"
#include "store/Engine.h"
#include "preview/WmfPlayer.h"
#include "report/Export.h"
#include "report/PageFiles.h"
#include "slips/Slips.h"
#include "session/Globals.h"
#include "store/Store.h"
#include "store/Warnings.h"

namespace fs = std::filesystem;

namespace marel {

void registerAllExports() {
    registerCodelistsExports();
    registerJoppdExports();
    registerSlipExports();
    registerRsmIddExports();
    registerId1Exports();
    registerCertificateExports();
    registerJoppdPageExports();
    registerPaymentsExports();
}

namespace {

constexpr const char* USAGE =
    "Upotreba: marel export IZVJEŠTAJ --data MAPA|ADRESA --out DATOTEKA [naziv=vrijednost ...] | marel export --list";

// Nobody sits at the command line: a message is kept to be told on the
// error stream, a question gets its "no" and the report ends without pages.
class CommandLinePrompter : public Prompter {
public:
    int message(const MessageRequest& r) override {
        std::string text = r.text;
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        // Doubled blanks from the line breaks go.
        text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
                   text.end());
        said.push_back(text);
        if (!r.buttonTexts.empty()) return int(std::count(r.buttonTexts.begin(), r.buttonTexts.end(), '|')) + 1;
        for (int b : {BUTTON_CANCEL, BUTTON_NO, BUTTON_ABORT, BUTTON_IGNORE, BUTTON_OK, BUTTON_YES})
            if (r.buttons & b) return b;
        return BUTTON_OK;
    }
    int popup(const std::string&) override { return 0; }
    std::optional<std::string> chooseFile(const FileRequest&) override { return std::nullopt; }
    bool printerSetup(const std::string&) override { return false; }

    std::string joined() const {
        std::string s;
        for (const std::string& t : said) s += (s.empty() ? "" : " / ") + t;
        return s;
    }
    std::vector<std::string> said;
};

bool endsWithPdf(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".pdf";
}

constexpr std::string_view kPartMark = ".dio-";

// A name beside the target for writing, renamed to the target when complete.
std::string partName(const std::string& target) {
    return target + std::string(kPartMark) + std::to_string(::getpid());
}

// Part files an export killed half-way left in `folder` go: those whose
// process (the number after the mark) no longer exists. One of a running
// export, ours or another user's, stays.
void removeDeadParts(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const size_t mark = name.rfind(kPartMark);
        if (mark == std::string::npos || mark == 0) continue;
        const std::string digits = name.substr(mark + kPartMark.size());
        long pid = 0;
        auto [end_, err] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
        if (digits.empty() || err != std::errc{} || end_ != digits.data() + digits.size() || pid <= 0 ||
            pid != long(pid_t(pid)))
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        std::error_code removed;
        fs::remove_all(it->path(), removed);
    }
}

void list(std::ostream& out) {
    for (const ExportEntry* e : registeredExports()) {
        out << e->name << (e->file ? " (datoteka " + e->fileSuffix + ")" : std::string()) << "  " << e->description
            << '\n';
        for (const ExportArg& a : e->args)
            out << "    " << a.name << "=  " << a.description << (a.required ? "" : " (neobavezno)") << '\n';
    }
    out << "Zajedničko: --data MAPA|ADRESA (mapa s podacima ili adresa poslužitelja, inače trenutna mapa), --out DATOTEKA (.pdf, ili mapa za WMF "
           "stranice)\n";
}

struct Call {
    std::string name, data, out;
    std::map<std::string, std::string> values;
};

// What ends a call early: one line to say, and the exit code.
struct Refusal {
    int code = 0;
    std::string text;
    explicit operator bool() const { return code != 0; }
};

// A call wrong as typed ends with code 2; "" is no refusal.
Refusal wrongCall(const std::string& why) { return why.empty() ? Refusal{} : Refusal{2, why}; }

// The words of the command, read into a call.
Refusal parse(const std::vector<std::string>& args, Call& call) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--data" || a == "--out") {
            if (i + 1 >= args.size()) return wrongCall(USAGE);
            (a == "--data" ? call.data : call.out) = args[++i];
        } else if (auto eq = a.find('='); eq != std::string::npos && eq > 0) {
            std::string key = a.substr(0, eq);
            std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            call.values[key] = a.substr(eq + 1);
        } else if (call.name.empty() && !a.starts_with("-")) {
            call.name = a;
            std::transform(call.name.begin(), call.name.end(), call.name.begin(),
                           [](unsigned char c) { return char(std::toupper(c)); });
        } else {
            return wrongCall(USAGE);
        }
    }
    return wrongCall(call.name.empty() ? USAGE : "");
}

// The report, the output and the arguments given, checked before any data is read.
Refusal check(const Call& call, const ExportEntry*& entry) {
    entry = findExport(call.name);
    if (!entry) return wrongCall("Nepoznat izvještaj: " + call.name + " (popis: marel export --list)");
    if (call.out.empty()) return wrongCall("Nedostaje --out DATOTEKA");
    return wrongCall(checkGiven(*entry, ExportArgs(call.values)));
}

// Where a call reads and writes; relative paths are taken from where the
// command was started.
struct Place {
    fs::path started, data;
    std::string location;  // the data folder, or the address of a server
    std::string target;
};

Refusal locate(const Call& call, const ExportEntry& entry, Place& where) {
    where.started = fs::current_path();
    const bool server = isServerAddress(call.data);
    where.data = call.data.empty() || server ? where.started : fs::absolute(call.data);
    where.location = server ? call.data : where.data.string();
    where.target = fs::absolute(call.out).string();
    // An export reads data; it never makes a new, empty data folder.
    if (!server && !fs::is_regular_file(where.data / "MAREL.DB") && !fs::is_regular_file(where.data / "MAREL.conf"))
        return {1, "U mapi " + where.data.string() + " nema podataka programa (MAREL.DB)."};
    if (entry.file && fs::is_directory(where.target))
        return wrongCall("Izlaz mora biti datoteka, a ne mapa: " + where.target);
    return {};
}

// The program started on the data folder, with nobody to ask. Returns the
// count of refused reads so far.
uint64_t openData(const Place& where, CommandLinePrompter& quiet, std::ostream& err) {
    setPrompter(&quiet);
    setHaltHandler([&err, target = where.target](const std::string& closingText) {
        std::error_code ignored;
        fs::remove_all(partName(target), ignored);
        err << closingText << std::endl;
        std::exit(1);
    });
    std::error_code ec;
    fs::current_path(where.data, ec);
    programStart(where.location);
    const uint64_t locks = Store::main().lockFailures();
    removeDeadParts(fs::path(where.target).parent_path());
    return locks;
}

void closeData(const Place& where) {
    programEnd();
    std::error_code ec;
    fs::current_path(where.started, ec);
    setPrompter(nullptr);
}

// A read refused because another station held the data may have cut the
// output short: it is not written, and that is the one thing to say. (A
// write of the start-up that found the data held is no reason; a file it
// could not open is.)
bool dataLocked(CommandLinePrompter& quiet, uint64_t locksBefore) {
    if (Store::main().lockFailures() == locksBefore &&
        std::find(quiet.said.begin(), quiet.said.end(), DATA_LOCKED_TEXT) == quiet.said.end())
        return false;
    quiet.said.clear();
    return true;
}

// A text that had to be cut, or a number that did not fit even small, is a
// fault of the page a bookkeeper would want to hear of; a number drawn a
// little smaller to fit is not.
std::vector<std::string> unfitWarnings(const Report& report) {
    std::vector<std::string> lines;
    for (const UnfitText& u : report.unfit()) {
        if (u.kind == UnfitText::Shrunk) continue;
        lines.push_back("Upozorenje: stranica " + std::to_string(u.page) + ", " + u.band + ": \"" + u.text +
                        "\" ne stane u svoje polje (" + std::to_string(u.box.width) + " od potrebnih " +
                        std::to_string(u.needed) + (report.units() == Units::Millimetres ? " mm)" : " tisućinki inča)"));
    }
    return lines;
}

// Writes the pages to `target`, one PDF file or a new folder of page files,
// through a part beside it.
std::string writePages(Report& report, const std::string& target) {
    // Their text is the first the export draws.
    startup::awaitFonts();
    std::vector<Page>& pages = report.pages();
    CHECKFORPAGENUM(pages);
    const std::string part = partName(target);
    std::error_code ec;
    if (endsWithPdf(target)) {
        if (!savePdf(part, pages, report.title()) || !fs::exists(part)) {
            fs::remove(part, ec);
            return "PDF datoteka se ne može kreirati: " + target;
        }
    } else {
        if (fs::exists(target) && !(fs::is_directory(target) && fs::is_empty(target)))
            return "Mapa za stranice već postoji i nije prazna: " + target;
        fs::create_directory(part, ec);
        const bool made = !ec && savePageFiles(pages, part);
        if (made && fs::exists(target)) fs::remove(target, ec);
        if (!made || ec) {
            fs::remove_all(part, ec);
            return "Stranice se ne mogu zapisati u " + target;
        }
    }
    fs::rename(part, target, ec);
    if (ec) {
        fs::remove_all(part, ec);
        return "Izlazna datoteka se ne može kreirati: " + target;
    }
    return {};
}

// What a call made: "" or why it wrote nothing, and the warnings of its pages.
struct Made {
    std::string failure;
    std::vector<std::string> unfit;
};

// Builds the report and writes its pages.
Made makePages(const ExportEntry& entry, const Call& call, const std::string& target,
               const std::function<bool()>& locked) {
    ExportOutcome o;
    {
        // The whole report from one moment of the data, whatever other
        // stations write while it is built.
        ReadTransaction snapshot;
        o = runPages(entry, ExportArgs(call.values));
    }
    if (o.report && o.report->pages().empty()) o.report.reset();
    Made made;
    if (locked()) made.failure = DATA_LOCKED_TEXT;
    else if (!o.report) made.failure = o.error.empty() ? NOTHING_TO_PRINT : o.error;
    else made.failure = writePages(*o.report, target);
    if (o.report) made.unfit = unfitWarnings(*o.report);
    return made;
}

// Builds the file through a part beside the target, renamed to it when complete.
Made makeFile(const ExportEntry& entry, const Call& call, const std::string& target,
              const std::function<bool()>& locked) {
    const std::string part = partName(target);
    Made made;
    {
        ReadTransaction snapshot;
        made.failure = runFile(entry, ExportArgs(call.values), part);
    }
    if (locked()) made.failure = DATA_LOCKED_TEXT;
    if (made.failure.empty() && !fs::is_regular_file(part)) made.failure = "Datoteka nije kreirana: " + target;
    std::error_code ec;
    if (made.failure.empty()) fs::rename(part, target, ec);
    if (made.failure.empty() && ec) made.failure = "Datoteka se ne može kreirati: " + target;
    fs::remove(part, ec);
    return made;
}

// What the report would have told the user says most.
int tell(const Made& made, const CommandLinePrompter& quiet, const std::string& target, std::ostream& out,
         std::ostream& err) {
    if (!made.failure.empty()) {
        err << (quiet.said.empty() ? made.failure : made.failure + " " + quiet.joined()) << std::endl;
        return 1;
    }
    for (const std::string& s : quiet.said) err << "Upozorenje: " << s << std::endl;
    for (const std::string& s : made.unfit) err << s << std::endl;
    out << target << std::endl;
    return 0;
}

}  // namespace

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "--list") {
        list(out);
        return 0;
    }
    Call call;
    const ExportEntry* entry = nullptr;
    Place where;
    Refusal refused = parse(args, call);
    if (!refused) refused = check(call, entry);
    if (!refused) refused = locate(call, *entry, where);
    if (refused) {
        err << refused.text << std::endl;
        return refused.code;
    }
    CommandLinePrompter quiet;
    const uint64_t locksBefore = openData(where, quiet, err);
    auto locked = [&] { return dataLocked(quiet, locksBefore); };
    const Made made = entry->pages ? makePages(*entry, call, where.target, locked)
                                   : makeFile(*entry, call, where.target, locked);
    closeData(where);
    return tell(made, quiet, where.target, out, err);
}

}  // namespace marel
