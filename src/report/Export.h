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

namespace marel {

struct ExportArg {
    std::string name;         // lower case, as typed: "isplata"
    std::string description;  // Croatian, for `marel export --list`
    bool required = true;
};

// The arguments of one call, by name.
class ExportArgs {
public:
    ExportArgs() = default;
    explicit ExportArgs(std::map<std::string, std::string> values) : values_(std::move(values)) {}

    bool has(const std::string& name) const { return values_.count(name) != 0; }
    // The text given, or `fallback` when the argument is absent.
    std::string text(const std::string& name, const std::string& fallback = {}) const;
    // A whole number; nullopt (and `error` set to a message) when absent and
    // required, or not a number.
    std::optional<long> number(const std::string& name, std::string& error, bool required = true,
                               long fallback = 0) const;
    // A year of four digits (blanks around it ignored); nullopt and `error`
    // set when absent or anything else.
    std::optional<std::string> year(const std::string& name, std::string& error) const;
    // The printer kind of `printer=`: 'M' dot-matrix or 'L' laser, `fallback`
    // when absent; 0 and `error` set for anything else.
    char printer(std::string& error, char fallback = 'M') const;
    const std::map<std::string, std::string>& values() const { return values_; }

private:
    std::map<std::string, std::string> values_;
};

// What a call produced: pages, or a message saying why not (one line,
// Croatian). A file export leaves `report` empty and says only whether it
// wrote its file.
struct ExportOutcome {
    std::unique_ptr<Report> report;
    std::string error;

    // The report's pages, or "nothing to print" when it has none.
    static ExportOutcome of(std::unique_ptr<Report> report);
    static ExportOutcome failed(std::string why) {
        ExportOutcome o;
        o.error = std::move(why);
        return o;
    }
};

struct ExportEntry {
    std::string name;         // the procedure's name: "OBRACUNISP"
    std::string description;  // what it prints
    std::vector<ExportArg> args;
    // A report: builds its pages. Exactly one of `pages` and `file` is set.
    std::function<ExportOutcome(const ExportArgs&)> pages;
    // A file (the XML files): writes it to the path given, completely or not
    // at all; returns "" or the reason it could not.
    std::function<std::string(const ExportArgs&, const std::string& target)> file;
    std::string fileSuffix;   // ".xml" for a file export
};

// Registers an export; a second one of the same name replaces the first.
void registerExport(ExportEntry entry);
// Every registered export in name order.
std::vector<const ExportEntry*> registeredExports();
const ExportEntry* findExport(const std::string& name);

// The message for a report that has nothing to print.
inline constexpr const char* NOTHING_TO_PRINT = "Nema stranica za ispis.";

}  // namespace marel
