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
