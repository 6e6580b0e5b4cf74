#include "store/Layout.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace marel {

namespace {

// "ISPLATITELJ, -GODINA" -> {"ISPLATITELJ", "-GODINA"}
std::vector<std::string> componentNames(std::string_view list) {
    std::vector<std::string> names;
    while (!list.empty()) {
        const size_t comma = std::min(list.find(','), list.size());
        std::string name;
        for (char c : list.substr(0, comma))
            if (!std::isspace(static_cast<unsigned char>(c))) name += c;
        names.push_back(std::move(name));
        list.remove_prefix(std::min(comma + 1, list.size()));
    }
    return names;
}

}  // namespace

Layout::Layout(const char* label_, const char* prefix_, int recordBytes_, bool autoNumber_,
               std::vector<FieldDef> fields_, std::vector<KeySource> keys_)
    : label(label_), prefix(*prefix_ ? prefix_ : label_), recordBytes(recordBytes_), autoNumber(autoNumber_),
      fields(std::move(fields_)) {
    for (auto& k : keys_) {
        KeyDef def{k.name, k.kind != KeyKind::DUPLICATE, {}, k.kind == KeyKind::UNIQUE_WHEN_NOT_BLANK};
        for (const std::string& c : componentNames(k.components)) {
            bool desc = !c.empty() && c[0] == '-';
            int f = fieldIndex(desc ? std::string_view(c).substr(1) : std::string_view(c));
            if (f < 0) throw std::logic_error("Unknown key field " + c + " in " + label);
            def.components.push_back({f, desc});
            if (def.uniqueWhenNotBlank && !fields[size_t(f)].isText())
                throw std::logic_error("Key " + std::string(k.name) + " of " + label + " can be blank only in text");
        }
        keys.push_back(std::move(def));
    }
}

int Layout::fieldIndex(std::string_view name) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (name == fields[i].name) return static_cast<int>(i);
    return -1;
}

int Layout::keyIndex(std::string_view name) const {
    for (size_t i = 0; i < keys.size(); ++i)
        if (name == keys[i].name) return static_cast<int>(i);
    return -1;
}

std::string Layout::keyDisplayName(int key) const {
    // Messages name keys as "OSO:KeyOIB": word parts capitalised.
    static const std::pair<const char*, const char*> words[] = {
        {"KEYOIB", "KeyOIB"}, {"KEYPOREZNIBROJ", "KeyPorezniBroj"}, {"KEYRSIDISPLATITELJ", "KeyRSIdIsplatitelj"},
        {"KEYDOHPOZ", "KeyDohPoz"}, {"KEYDOHBROJ", "KeyDohBroj"}, {"KEYPREZIMEIME", "KeyPrezimeIme"},
        {"KEYISPGOD", "KeyIspGod"}, {"KEYJAVOPC", "KeyJavOpc"}, {"KEYJAVNIPRIHOD", "KeyJavniPrihod"},
        {"KEYVRSTADOHOTKA", "KeyVrstaDohotka"}, {"KEYREDNIBROJ", "KeyRedniBroj"}, {"KEYSTUPACIDD", "KeyStupacIDD"},
        {"KEYDOHODAK", "KeyDohodak"},
    };
    const std::string& n = keys.at(static_cast<size_t>(key)).name;
    for (auto [upperName, display] : words)
        if (n == upperName) return prefix + ":" + display;
    // KEYOZNAKA -> KeyOznaka
    std::string out = "Key";
    for (size_t i = 3; i < n.size(); ++i)
        out += i == 3 ? n[i] : static_cast<char>(std::tolower(static_cast<unsigned char>(n[i])));
    return prefix + ":" + out;
}

}  // namespace marel
