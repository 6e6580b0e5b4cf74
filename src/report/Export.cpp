#include "report/Export.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace marel {

namespace {

std::map<std::string, ExportEntry>& registry() {
    static std::map<std::string, ExportEntry> r;
    return r;
}


std::string trimmed(std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

std::optional<long> asNumber(const std::string& s) {
    long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

std::string ExportArgs::text(const std::string& name, const std::string& fallback) const {
    auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

long ExportArgs::number(const std::string& name) const { return asNumber(text(name)).value_or(0); }

std::string ExportArgs::year(const std::string& name) const { return trimmed(text(name)); }

char ExportArgs::printer() const { return char(std::toupper((unsigned char)trimmed(text("printer", "M"))[0])); }

ExportArg numberArg(std::string name, std::string description, bool required, std::string fallback) {
    ExportArg a{std::move(name), std::move(description), required, std::move(fallback)};
    a.check = [n = a.name](const std::string& s) {
        return asNumber(s) ? std::string() : "Argument " + n + "= nije broj: " + s;
    };
    return a;
}

ExportArg yearArg(std::string name, std::string description) {
    ExportArg a{std::move(name), std::move(description)};
    a.check = [](const std::string& s) {
        const std::string y = trimmed(s);
        const bool ok = y.size() == 4 && y.find_first_not_of("0123456789") == std::string::npos;
        return ok ? std::string() : "Godina mora imati četiri znamenke: " + s;
    };
    return a;
}

ExportArg monthArg(std::string name, std::string description) {
    ExportArg a{std::move(name), std::move(description)};
    a.check = [](const std::string& s) {
        const bool digits = !s.empty() && s.size() <= 2 && s.find_first_not_of("0123456789") == std::string::npos;
        const bool ok = digits && std::stoi(s) >= 1 && std::stoi(s) <= 12;
        return ok ? std::string() : "Mjesec mora biti od 1 do 12: " + s;
    };
    return a;
}

ExportArg printerArg(std::string description, char fallback) {
    ExportArg a{"printer", std::move(description), false, std::string(1, fallback)};
    a.check = [](const std::string& s) {
        const std::string p = trimmed(s);
        const bool ok = p == "M" || p == "m" || p == "L" || p == "l";
        return ok ? std::string() : "Vrsta pisača (printer=) mora biti M (matrični) ili L (laserski): " + s;
    };
    return a;
}

ExportArg choiceArg(std::string name, std::string description, std::vector<std::string> allowed,
                    std::string fallback, std::string refusal) {
    ExportArg a{std::move(name), std::move(description), false, std::move(fallback)};
    a.check = [allowed = std::move(allowed), refusal = std::move(refusal)](const std::string& s) {
        const std::string word = lower(trim(s));
        return std::find(allowed.begin(), allowed.end(), word) != allowed.end() ? std::string() : refusal;
    };
    return a;
}

namespace {

std::string missingArgument(const std::vector<ExportArg>& declared, const ExportArgs& args) {
    for (const ExportArg& a : declared)
        if (a.required && !args.has(a.name)) return "Nedostaje argument " + a.name + "= (" + a.description + ")";
    return {};
}

}  // namespace

std::string checkGiven(const ExportEntry& entry, const ExportArgs& args) {
    for (const auto& [key, value] : args.values()) {
        const bool known =
            std::any_of(entry.args.begin(), entry.args.end(), [&](const ExportArg& a) { return a.name == key; });
        if (!known) return "Izvještaj " + entry.name + " ne poznaje argument " + key + "=";
    }
    return missingArgument(entry.args, args);
}

std::string checkArguments(const std::vector<ExportArg>& declared, ExportArgs& args) {
    if (std::string why = missingArgument(declared, args); !why.empty()) return why;
    for (const ExportArg& a : declared)
        if (!args.has(a.name) && !a.fallback.empty()) args.values_[a.name] = a.fallback;
    for (const ExportArg& a : declared)
        if (a.check && args.has(a.name))
            if (std::string why = a.check(args.text(a.name)); !why.empty()) return why;
    for (const ExportArg& a : declared)
        if (a.exists && args.has(a.name) && !a.exists(args.number(a.name)))
            return a.what + " " + std::to_string(args.number(a.name)) + " ne postoji.";
    return {};
}

ExportOutcome runPages(const ExportEntry& entry, ExportArgs args) {
    if (std::string why = checkArguments(entry.args, args); !why.empty()) return ExportOutcome::failed(why);
    return entry.pages(args);
}

std::string runFile(const ExportEntry& entry, ExportArgs args, const std::string& target) {
    if (std::string why = checkArguments(entry.args, args); !why.empty()) return why;
    return entry.file(args, target);
}

ExportOutcome ExportOutcome::of(std::unique_ptr<Report> report, const std::string& why) {
    ExportOutcome o;
    o.report = std::move(report);
    if (!o.report) o.error = why.empty() ? NOTHING_TO_PRINT : why;
    return o;
}

void registerExport(ExportEntry entry) {
    std::string name = entry.name;
    registry()[name] = std::move(entry);
}

std::vector<const ExportEntry*> registeredExports() {
    std::vector<const ExportEntry*> out;
    for (const auto& [name, e] : registry()) out.push_back(&e);
    return out;
}

const ExportEntry* findExport(const std::string& name) {
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : &it->second;
}

}  // namespace marel
