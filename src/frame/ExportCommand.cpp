#include "frame/ExportCommand.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <system_error>

#include "certificates/Certificates.h"
#include "codelists/OpcineIspis.h"
#include "common/Prompter.h"
#include "forms/RsmIddExports.h"
#include "forms/Id1Exports.h"
#include "joppd/JoppdPages.h"
#include "joppd/JoppdXml.h"
#include "payments/Recapitulation.h"
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
    "Upotreba: marel export IZVJEŠTAJ --data MAPA --out DATOTEKA [naziv=vrijednost ...] | marel export --list";

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
    out << "Zajedničko: --data MAPA (mapa s podacima, inače trenutna), --out DATOTEKA (.pdf, ili mapa za WMF "
           "stranice)\n";
}

struct Call {
    std::string name, data, out;
    std::map<std::string, std::string> values;
};

std::string parse(const std::vector<std::string>& args, Call& call) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--data" || a == "--out") {
            if (i + 1 >= args.size()) return USAGE;
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
            return USAGE;
        }
    }
    if (call.name.empty()) return USAGE;
    return {};
}

// Writes the pages to `target`: one PDF file, or a new folder of page files.
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

std::string writePages(Report& report, const std::string& target) {
    std::vector<std::string>& pages = report.pages();
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
        for (size_t i = 0; !ec && i < pages.size(); ++i) {
            char name[48];
            std::snprintf(name, sizeof name, "stranica-%04zu.wmf", i + 1);
            fs::copy_file(pages[i], fs::path(part) / name, ec);
        }
        if (!ec && fs::exists(target)) fs::remove(target, ec);
        if (ec) {
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

}  // namespace

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "--list") {
        list(out);
        return 0;
    }
    Call call;
    if (std::string why = parse(args, call); !why.empty()) {
        err << why << std::endl;
        return 2;
    }
    const ExportEntry* entry = findExport(call.name);
    if (!entry) {
        err << "Nepoznat izvještaj: " << call.name << " (popis: marel export --list)" << std::endl;
        return 2;
    }
    if (call.out.empty()) {
        err << "Nedostaje --out DATOTEKA" << std::endl;
        return 2;
    }
    for (const auto& [key, value] : call.values) {
        bool known = std::any_of(entry->args.begin(), entry->args.end(), [&](const ExportArg& a) { return a.name == key; });
        if (!known) {
            err << "Izvještaj " << entry->name << " ne poznaje argument " << key << "=" << std::endl;
            return 2;
        }
    }
    for (const ExportArg& a : entry->args)
        if (a.required && !call.values.count(a.name)) {
            err << "Nedostaje argument " << a.name << "= (" << a.description << ")" << std::endl;
            return 2;
        }
    // Relative paths are taken from where the command was started.
    const fs::path started = fs::current_path();
    const fs::path data = call.data.empty() ? started : fs::absolute(call.data);
    const std::string target = fs::absolute(call.out).string();
    // An export reads data; it never makes a new, empty data folder.
    if (!fs::is_regular_file(data / "MAREL.DB")) {
        err << "U mapi " << data.string() << " nema podataka programa (MAREL.DB)." << std::endl;
        return 1;
    }
    if (entry->file && fs::is_directory(target)) {
        err << "Izlaz mora biti datoteka, a ne mapa: " << target << std::endl;
        return 2;
    }

    CommandLinePrompter quiet;
    setPrompter(&quiet);
    setHaltHandler([&err, &target](const std::string& closingText) {
        std::error_code ignored;
        fs::remove_all(partName(target), ignored);
        err << closingText << std::endl;
        std::exit(1);
    });
    std::error_code ec;
    fs::current_path(data, ec);
    programStart(data.string());
    const uint64_t locksBefore = Store::main().lockFailures();

    removeDeadParts(fs::path(target).parent_path());

    // A read refused because another station held the data may have cut the
    // output short: it is not written, and that is the one thing to say. (A
    // write of the start-up that found the data held is no reason; a file it
    // could not open is.)
    auto locked = [&] {
        if (Store::main().lockFailures() == locksBefore &&
            std::find(quiet.said.begin(), quiet.said.end(), DATA_LOCKED_TEXT) == quiet.said.end())
            return false;
        quiet.said.clear();
        return true;
    };
    std::string failure;
    std::vector<std::string> unfit;
    if (entry->pages) {
        ExportOutcome o;
        {
            // The whole report from one moment of the data, whatever other
            // stations write while it is built.
            ReadTransaction snapshot;
            o = runPages(*entry, ExportArgs(call.values));
        }
        if (o.report && o.report->pages().empty()) o.report.reset();
        if (locked()) failure = DATA_LOCKED_TEXT;
        else if (!o.report) failure = o.error.empty() ? NOTHING_TO_PRINT : o.error;
        else failure = writePages(*o.report, target);
        if (o.report) unfit = unfitWarnings(*o.report);
        if (o.report) o.report->discard();
    } else {
        const std::string part = partName(target);
        {
            ReadTransaction snapshot;
            failure = runFile(*entry, ExportArgs(call.values), part);
        }
        if (locked()) failure = DATA_LOCKED_TEXT;
        if (failure.empty() && !fs::is_regular_file(part)) failure = "Datoteka nije kreirana: " + target;
        if (failure.empty()) fs::rename(part, target, ec);
        if (failure.empty() && ec) failure = "Datoteka se ne može kreirati: " + target;
        fs::remove(part, ec);
    }
    programEnd();
    fs::current_path(started, ec);
    setPrompter(nullptr);

    if (!failure.empty()) {
        // What the report would have told the user says most.
        err << (quiet.said.empty() ? failure : failure + " " + quiet.joined()) << std::endl;
        return 1;
    }
    for (const std::string& s : quiet.said) err << "Upozorenje: " << s << std::endl;
    for (const std::string& s : unfit) err << s << std::endl;
    out << target << std::endl;
    return 0;
}

}  // namespace marel
