#pragma once
// Reports and files produced from the command line (`marel export`). Each
// report registers itself once, by its procedure name, with the arguments it
// takes; the command finds it, hands it its arguments and writes the pages
// (PDF or page files) or the file it produces. Nothing here asks the user:
// what a report would ask in the program is an argument here.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/Report.h"
#include "store/Values.h"

namespace marel {

// One argument of a report, declared once: its name and description for
// `marel export --list`, whether it must be given, the value it takes when it
// is not, how its text is checked and, for a number that names a record,
// whether that record exists. A report's function receives its arguments
// already checked and read through ExportArgs.
struct ExportArg {
    std::string name;         // lower case, as typed: "isplata"
    std::string description;  // Croatian, for `marel export --list`
    bool required = true;
    std::string fallback{};   // the value of an optional argument not given ("" for none)
    // "" when the text is acceptable, otherwise why not (one Croatian line).
    std::function<std::string(const std::string& text)> check{};
    // For a number naming a record: true when it exists; `what` names it
    // in the message ("Isplata 7 ne postoji.").
    std::function<bool(long)> exists{};
    std::string what{};
};

// The kinds of argument the reports take.
ExportArg numberArg(std::string name, std::string description, bool required = true, std::string fallback = {});
ExportArg yearArg(std::string name, std::string description);
ExportArg monthArg(std::string name, std::string description);
// `printer=`: M dot-matrix or L laser, `fallback` when not given.
ExportArg printerArg(std::string description, char fallback = 'M');
// A word from `allowed`, in lower case (the case of what is typed and blanks
// around it do not matter).
ExportArg choiceArg(std::string name, std::string description, std::vector<std::string> allowed,
                    std::string fallback, std::string refusal);
// A number that names a record of `File` by its OZNAKA.
template <class File>
ExportArg recordArg(std::string name, std::string description, std::string what) {
    ExportArg a = numberArg(std::move(name), std::move(description));
    a.exists = [](long n) { return n > 0 && find<File>(n).has_value(); };
    a.what = std::move(what);
    return a;
}

// The arguments of one call, by name, once checked against their declarations.
class ExportArgs {
public:
    ExportArgs() = default;
    explicit ExportArgs(std::map<std::string, std::string> values) : values_(std::move(values)) {}

    bool has(const std::string& name) const { return values_.count(name) != 0; }
    // The text given, or `fallback` when the argument is absent.
    std::string text(const std::string& name, const std::string& fallback = {}) const;
    // A checked number (0 when absent).
    long number(const std::string& name) const;
    // A checked year, without the blanks around it.
    std::string year(const std::string& name) const;
    // The printer kind of `printer=`: 'M' or 'L'.
    char printer() const;
    const std::map<std::string, std::string>& values() const { return values_; }

private:
    friend std::string checkArguments(const std::vector<ExportArg>& declared, ExportArgs& args);
    std::map<std::string, std::string> values_;
};

// Checks the arguments given against the declared ones, in their order: a
// missing one, a text of the wrong kind, then a record that does not exist. Fills in the values of the optional ones not given.
// Returns "" or the first fault.
std::string checkArguments(const std::vector<ExportArg>& declared, ExportArgs& args);

// What a call produced: pages, or a message saying why not (one line,
// Croatian). A file export leaves `report` empty and says only whether it
// wrote its file.
struct ExportOutcome {
    std::unique_ptr<Report> report;
    std::string error;

    // The report's pages; when there are none, `why` the report gave, or
    // "nothing to print".
    static ExportOutcome of(std::unique_ptr<Report> report, const std::string& why = {});
    // The same for a report function that tells why it made nothing through
    // its last argument: `make(&why)`.
    template <class Make>
    static ExportOutcome explained(Make&& make) {
        std::string why;
        auto report = make(&why);
        return of(std::move(report), why);
    }
    static ExportOutcome failed(std::string why) {
        ExportOutcome o;
        o.error = std::move(why);
        return o;
    }
};

struct ExportEntry {
    std::string name;         // the procedure's name: "OBRACUNISP"
    std::string description;  // what it prints
    std::vector<ExportArg> args{};
    // A report: builds its pages from checked arguments (see runPages).
    // Exactly one of `pages` and `file` is set.
    std::function<ExportOutcome(const ExportArgs&)> pages{};
    // A file (the XML files): writes it to the path given, completely or not
    // at all; returns "" or the reason it could not.
    std::function<std::string(const ExportArgs&, const std::string& target)> file{};
    std::string fileSuffix{};  // ".xml" for a file export
};

// What a call shows wrong before any data is read: an argument the export
// does not take, then a required one missing. Returns "" or the first fault.
std::string checkGiven(const ExportEntry& entry, const ExportArgs& args);

// Checks the arguments and builds the pages, or says why not.
ExportOutcome runPages(const ExportEntry& entry, ExportArgs args);
// Checks the arguments and writes the file; "" or why it was not written.
std::string runFile(const ExportEntry& entry, ExportArgs args, const std::string& target);

// Registers an export; a second one of the same name replaces the first.
void registerExport(ExportEntry entry);
// Every registered export in name order.
std::vector<const ExportEntry*> registeredExports();
const ExportEntry* findExport(const std::string& name);

// The message for a report that has nothing to print.
inline constexpr const char* NOTHING_TO_PRINT = "Nema stranica za ispis.";

}  // namespace marel
