#include "report/Export.h"

#include <charconv>

namespace marel {

namespace {
std::map<std::string, ExportEntry>& registry() {
    static std::map<std::string, ExportEntry> r;
    return r;
}
}  // namespace

std::string ExportArgs::text(const std::string& name, const std::string& fallback) const {
    auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

std::optional<long> ExportArgs::number(const std::string& name, std::string& error, bool required,
                                       long fallback) const {
    auto it = values_.find(name);
    if (it == values_.end()) {
        if (!required) return fallback;
        error = "Nedostaje argument " + name + "=";
        return std::nullopt;
    }
    const std::string& s = it->second;
    long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) {
        error = "Argument " + name + "= nije broj: " + s;
        return std::nullopt;
    }
    return v;
}

std::optional<std::string> ExportArgs::year(const std::string& name, std::string& error) const {
    if (!has(name)) {
        error = "Nedostaje argument " + name + "=";
        return std::nullopt;
    }
    std::string y = text(name);
    y.erase(0, y.find_first_not_of(' '));
    y.erase(y.find_last_not_of(' ') + 1);
    if (y.size() != 4 || y.find_first_not_of("0123456789") != std::string::npos) {
        error = "Godina mora imati četiri znamenke: " + text(name);
        return std::nullopt;
    }
    return y;
}

char ExportArgs::printer(std::string& error, char fallback) const {
    std::string p = text("printer", std::string(1, fallback));
    p.erase(0, p.find_first_not_of(' '));
    p.erase(p.find_last_not_of(' ') + 1);
    if (p == "M" || p == "m") return 'M';
    if (p == "L" || p == "l") return 'L';
    error = "Vrsta pisača (printer=) mora biti M (matrični) ili L (laserski): " + text("printer");
    return 0;
}

ExportOutcome ExportOutcome::of(std::unique_ptr<Report> report) {
    ExportOutcome o;
    o.report = std::move(report);
    if (!o.report) o.error = NOTHING_TO_PRINT;
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
