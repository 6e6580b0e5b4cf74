#include "common/XmlSchema.h"

#include <libxml/parser.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace marel {

namespace xsdValue {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool allDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), isDigit); }
}  // namespace

bool digits(std::string_view value, size_t count) { return value.size() == count && allDigits(value); }

bool counting(std::string_view value, size_t maxDigits) {
    return !value.empty() && value.size() <= maxDigits && value[0] != '0' && allDigits(value);
}

bool decimal(std::string_view value, size_t places, size_t totalDigits, bool negative) {
    if (negative && value.starts_with('-')) value.remove_prefix(1);
    const size_t point = value.find('.');
    if (places == 0 || point == std::string_view::npos || value.size() - point - 1 != places) return false;
    const std::string_view whole = value.substr(0, point), fraction = value.substr(point + 1);
    // No leading zeros: validators differ in whether they count them.
    if (whole.empty() || whole.size() + places > totalDigits || (whole.size() > 1 && whole[0] == '0')) return false;
    return allDigits(whole) && allDigits(fraction);
}

bool text(std::string_view value, size_t minChars, size_t maxChars) {
    size_t chars = 0;
    const auto byte = [&](size_t i) { return i < value.size() ? static_cast<unsigned char>(value[i]) : 0u; };
    const auto follows = [&](size_t i) { return (byte(i) & 0xC0) == 0x80; };
    for (size_t i = 0; i < value.size(); ++chars) {
        const unsigned b = byte(i);
        if (b >= 0x20 && b < 0x7F && b != '<' && b != '>' && b != '&') i += 1;
        // Two bytes from U+00A0 (no C1 controls), three up to U+EFFF without
        // surrogates; anything rarer is left to the schema.
        else if (b >= 0xC2 && b <= 0xDF && follows(i + 1) && (b > 0xC2 || byte(i + 1) >= 0xA0)) i += 2;
        else if (((b >= 0xE1 && b <= 0xEC) || b == 0xEE) && follows(i + 1) && follows(i + 2)) i += 3;
        else return false;
    }
    return chars >= minChars && chars <= maxChars;
}

}  // namespace xsdValue

namespace {

std::string text(const xmlChar* s) { return s ? reinterpret_cast<const char*>(s) : ""; }

// libxml2 names an element with its namespace in braces; the user knows it
// by its name alone. Braces of anything else (a pattern's "{11}") stay.
std::string withoutNamespaces(std::string s) {
    for (size_t open = 0; (open = s.find('{', open)) != std::string::npos;) {
        const size_t close = s.find('}', open);
        if (close == std::string::npos) break;
        if (s.substr(open, close - open).find("://") != std::string::npos) s.erase(open, close - open + 1);
        else open = close;
    }
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

// The first complaint of a reading or a validation, with the node it is about.
struct FirstError {
    bool set = false;
    std::string message;
    xmlNodePtr node = nullptr;
    int line = 0;
};

void keepFirst(void* out, xmlErrorPtr e) {
    auto& first = *static_cast<FirstError*>(out);
    if (first.set || !e) return;
    first.set = true;
    first.message = e->message ? withoutNamespaces(e->message) : "";
    first.node = static_cast<xmlNodePtr>(e->node);
    first.line = e->line;
}

// "Isplatitelj/KontaktOsoba/Ime": the element by its path below the root, so
// that the contact's first name is not taken for a recipient's.
std::string elementPath(xmlNodePtr element) {
    std::string path;
    for (xmlNodePtr n = element; n && n->type == XML_ELEMENT_NODE && n->parent && n->parent->type == XML_ELEMENT_NODE;
         n = n->parent)
        path = text(n->name) + (path.empty() ? "" : "/" + path);
    return path.empty() && element ? text(element->name) : path;
}

// The element (and attribute) a complaint is about, with its value. libxml2
// gives the element for a complaint about one of its attributes, and names
// the attribute in its message ("Element 'X', attribute 'oib': ...").
std::string where(xmlNodePtr node, const std::string& message, int line) {
    if (!node || node->type != XML_ELEMENT_NODE) return {};
    std::string out = "element " + elementPath(node);
    std::string attribute;
    if (const size_t at = message.find("attribute '"); at != std::string::npos) {
        const size_t from = at + 11, to = message.find('\'', from);
        if (to != std::string::npos) attribute = message.substr(from, to - from);
    }
    xmlChar* value = nullptr;
    if (!attribute.empty()) {
        out += ", atribut " + attribute;
        value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(attribute.c_str()));
    } else {
        bool leaf = true;
        for (xmlNodePtr c = node->children; c; c = c->next) leaf = leaf && c->type != XML_ELEMENT_NODE;
        if (leaf) value = xmlNodeGetContent(node);
    }
    if (value) out += ", vrijednost \"" + text(value) + "\"";
    xmlFree(value);
    const long at = xmlGetLineNo(node);
    if (at > 0 || line > 0) out += " (redak " + std::to_string(at > 0 ? at : line) + ")";
    return out;
}

// The root element the SAX pass met first, by name and namespace.
struct Root {
    bool seen = false;
    std::string name, uri;
};

void noteRoot(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int, const xmlChar**, int, int,
              const xmlChar**) {
    auto& root = *static_cast<Root*>(ctx);
    if (root.seen) return;
    root.seen = true;
    root.name = text(localname);
    root.uri = text(uri);
}

void ignoreError(void*, xmlErrorPtr) {}

// Reads the whole of an open file through its descriptor without moving it:
// the slower readings after it read the same descriptor from the start.
bool readAll(std::FILE* file, std::string& out) {
    const int fd = fileno(file);
    struct stat st {};
    if (fstat(fd, &st) != 0 || st.st_size < 0) return false;
    out.resize(size_t(st.st_size));
    size_t got = 0;
    for (ssize_t n; got < out.size() && (n = pread(fd, out.data() + got, out.size() - got, off_t(got))) > 0;)
        got += size_t(n);
    return got == out.size();
}

// A child of a list item: "<name>value</name>".
struct Child {
    std::string_view name, value;
};

bool isBlank(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }
bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Moves `at` past `what` when it is there.
bool take(std::string_view s, size_t& at, std::string_view what) {
    if (s.substr(at, what.size()) != what) return false;
    at += what.size();
    return true;
}

// One list item as the writer writes it: `open`, children with text and
// nothing else, blanks between them, `close`. Anything else (an attribute,
// a comment, an empty element, a child with children) is not taken.
bool scanItem(std::string_view s, size_t& at, std::string_view open, std::string_view close,
              std::vector<Child>& children) {
    children.clear();
    if (!take(s, at, open)) return false;
    for (;;) {
        while (at < s.size() && isBlank(s[at])) ++at;
        if (take(s, at, close)) return true;
        if (!take(s, at, "<")) return false;
        const size_t name = at;
        while (at < s.size() && isNameChar(s[at])) ++at;
        const std::string_view n = s.substr(name, at - name);
        const size_t end = s.find('<', at + 1);
        if (n.empty() || !take(s, at, ">") || end == std::string_view::npos) return false;
        children.push_back({n, s.substr(at, end - at)});
        at = end;
        if (!take(s, at, "</") || !take(s, at, n) || !take(s, at, ">")) return false;
    }
}

}  // namespace

// A long list is mostly the same few kinds of value over and over: numbers,
// amounts, codes. The schema reads the document with only the items it must:
// the first one, and every one with other children than the first or with a
// value that neither its child's test accepts nor the schema read already in
// that child. An item left out is as valid as one read: the children of an
// item the schema accepted, in the same order, each value one its type
// accepts. False, for the full reading, when the file is not as written here.
bool XmlSchema::quickPasses(std::string_view all) const {
    constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    if (item_.empty() || childTests_.empty() || !all.starts_with(kDeclaration)) return false;
    const std::string open = "<" + item_ + ">", close = "</" + item_ + ">";
    const size_t first = all.find(open), last = all.rfind(close);
    if (first == std::string_view::npos || last == std::string_view::npos || last < first) return false;
    // Items inside a comment, a section or a definition are no items.
    const std::string_view head = all.substr(kDeclaration.size(), first - kDeclaration.size());
    if (head.find("<!") != std::string_view::npos || head.find("<?") != std::string_view::npos) return false;
    const size_t end = last + close.size();
    std::vector<std::string_view> parts{all.substr(0, first)};
    std::vector<Child> model, children;
    std::vector<bool (*)(std::string_view)> tests;
    std::vector<std::unordered_set<std::string_view>> read;
    size_t at = first;
    while (at < end) {
        const size_t from = at;
        while (at < end && isBlank(all[at])) ++at;
        if (!scanItem(all, at, open, close, children)) return false;
        if (from == first) {
            model = children;
            read.resize(model.size());
            for (const Child& c : model) {
                const auto t = std::find_if(childTests_.begin(), childTests_.end(),
                                            [&](const ChildTest& ct) { return ct.first == c.name; });
                tests.push_back(t == childTests_.end() ? nullptr : t->second);
            }
        }
        bool same = from != first && children.size() == model.size(), vouched = same;
        for (size_t i = 0; same && i < children.size(); ++i) {
            const std::string_view v = children[i].value;
            same = children[i].name == model[i].name;
            vouched = vouched && same && ((tests[i] && tests[i](v)) || read[i].contains(v));
        }
        if (vouched) continue;
        if (same || from == first)
            for (size_t i = 0; i < children.size(); ++i) read[i].insert(children[i].value);
        const std::string_view item = all.substr(from, at - from);
        if (parts.back().data() + parts.back().size() == item.data())
            parts.back() = std::string_view(parts.back().data(), parts.back().size() + item.size());
        else parts.push_back(item);
    }
    if (at != end) return false;
    parts.push_back(all.substr(end));
    return accepts(parts);
}

// Whether the document made of `parts` one after the other is well formed,
// starts with the root wanted and the schema accepts it. Read as events: no
// tree is built, and the schema sees the same events a reading of the file
// gives it.
bool XmlSchema::accepts(const std::vector<std::string_view>& parts) const {
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = noteRoot;
    sax.serror = ignoreError;
    Root root;
    xmlParserCtxtPtr parser = xmlCreatePushParserCtxt(&sax, &root, nullptr, 0, nullptr);
    xmlSchemaValidCtxtPtr vc = parser ? xmlSchemaNewValidCtxt(schema_) : nullptr;
    bool valid = false;
    if (vc) {
        xmlCtxtUseOptions(parser, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        FirstError first;
        xmlSchemaSetValidStructuredErrors(vc, keepFirst, &first);
        xmlSchemaSAXPlugPtr plug = xmlSchemaSAXPlug(vc, &parser->sax, &parser->userData);
        if (plug) {
            int rc = 0;
            size_t left = parts.size();
            for (std::string_view part : parts)
                if (rc == 0) rc = xmlParseChunk(parser, part.data(), int(part.size()), --left == 0);
            xmlSchemaSAXUnplug(plug);
            valid = rc == 0 && parser->wellFormed && !first.set && xmlSchemaIsValid(vc) == 1 && root.seen &&
                    root.name == root_ && root.uri == namespace_;
        }
    }
    if (vc) xmlSchemaFreeValidCtxt(vc);
    if (parser) xmlFreeParserCtxt(parser);
    return valid;
}

// The common case, a valid file, checked in one pass. A long list of items
// the schema checks each on its own is checked in two halves at once, each
// half the whole document with half of the items: the file is valid when
// both are. True only when the file is; anything else is looked at again by
// the slow reading, which names the fault.
bool XmlSchema::passes(std::FILE* file) const {
    constexpr size_t kHalvesFrom = 1 << 20;
    std::string bytes;
    if (!readAll(file, bytes)) return false;
    const std::string_view all = bytes;
    if (quickPasses(all)) return true;
    if (item_.empty() || all.size() < kHalvesFrom) return accepts({all});
    const std::string start = "<" + item_ + ">", end = "</" + item_ + ">";
    const size_t first = all.find(start), middle = all.find(start, all.size() / 2), last = all.rfind(end);
    if (first == std::string_view::npos || middle == std::string_view::npos || last == std::string_view::npos ||
        first >= middle || last < middle)
        return accepts({all});
    const std::string_view head = all.substr(0, first), firstHalf = all.substr(0, middle);
    const std::string_view secondHalf = all.substr(middle), tail = all.substr(last + end.size());
    xmlInitParser();
    bool secondPasses = false;
    std::thread second([&] { secondPasses = accepts({head, secondHalf}); });
    const bool firstPasses = accepts({firstHalf, tail});
    second.join();
    return firstPasses && secondPasses;
}

const XmlSchema& XmlSchema::of(const std::string& xsd, std::string_view rootNamespace, std::string_view root,
                               std::string_view listItem, std::vector<ChildTest> childTests) {
    static std::mutex guard;
    static std::map<std::string, std::unique_ptr<XmlSchema>> read;
    std::lock_guard lock(guard);
    std::unique_ptr<XmlSchema>& kept = read[xsd];
    if (!kept) kept.reset(new XmlSchema(xsd, rootNamespace, root, listItem, std::move(childTests)));
    return *kept;
}

XmlSchema::XmlSchema(std::string xsd, std::string_view rootNamespace, std::string_view root, std::string_view listItem,
                     std::vector<ChildTest> childTests)
    : xsd_(std::move(xsd)), namespace_(rootNamespace), root_(root), item_(listItem), childTests_(std::move(childTests)) {
    xmlSchemaParserCtxtPtr pc = xmlSchemaNewParserCtxt(xsd_.c_str());
    if (!pc) return;
    FirstError ignored;  // a schema that cannot be read is reported when a file is checked
    xmlSchemaSetParserStructuredErrors(pc, keepFirst, &ignored);
    schema_ = xmlSchemaParse(pc);
    xmlSchemaFreeParserCtxt(pc);
}

// A report of ten thousand lines is checked while it is read, without
// building its tree; only a file found wrong is read again as a tree, to name
// the element at fault with its value.
std::string XmlSchema::check(const std::string& path) const {
    if (!schema_) return "Shema datoteke se ne može pročitati: " + xsd_;
    // Read from the open file: libxml2 would take the name for a URI, and a
    // folder called "100%" is a folder like any other.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return "Datoteka se ne može pročitati: " + path;
    if (passes(file.get())) return {};
    constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

    FirstError first;
    bool valid = false, rootSeen = false;
    xmlTextReaderPtr reader = xmlReaderForFd(fileno(file.get()), nullptr, nullptr, kOptions);
    xmlSchemaValidCtxtPtr vc = xmlSchemaNewValidCtxt(schema_);
    if (reader && vc) {
        xmlSchemaSetValidStructuredErrors(vc, keepFirst, &first);
        if (xmlTextReaderSchemaValidateCtxt(reader, vc, 0) == 0) {
            int rc;
            while ((rc = xmlTextReaderRead(reader)) == 1 && !first.set) {
                if (rootSeen || xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT) continue;
                rootSeen = true;
                if (text(xmlTextReaderConstLocalName(reader)) != root_ ||
                    text(xmlTextReaderConstNamespaceUri(reader)) != namespace_)
                    break;
            }
            valid = rc == 0 && rootSeen && !first.set && xmlTextReaderIsValid(reader) == 1;
        }
    }
    if (reader) xmlFreeTextReader(reader);
    if (vc) xmlSchemaFreeValidCtxt(vc);
    if (valid) return {};

    std::rewind(file.get());
    xmlDocPtr doc = xmlReadFd(fileno(file.get()), nullptr, nullptr, kOptions);
    if (!doc) return "Datoteka nije ispravan XML dokument: " + path;
    std::string error;
    xmlNodePtr top = xmlDocGetRootElement(doc);
    const std::string topNamespace = top && top->ns ? text(top->ns->href) : "";
    if (!top || text(top->name) != root_ || topNamespace != namespace_) {
        error = "Datoteka ne počinje elementom " + root_ + " (" + namespace_ + ").";
    } else {
        FirstError atNode;
        vc = xmlSchemaNewValidCtxt(schema_);
        if (vc) {
            xmlSchemaSetValidStructuredErrors(vc, keepFirst, &atNode);
            xmlSchemaValidateDoc(vc, doc);
            xmlSchemaFreeValidCtxt(vc);
        }
        // Read as a tree the file may pass where the reading did not (a read
        // failure): the first complaint of either is told.
        const FirstError& told = atNode.set ? atNode : first;
        const std::string at = atNode.set ? where(atNode.node, atNode.message, atNode.line) : "";
        error = "Datoteka ne odgovara propisanoj strukturi" + (at.empty() ? "" : ": " + at) + "." +
                (told.message.empty() ? "" : " " + told.message);
    }
    xmlFreeDoc(doc);
    return error;
}

}  // namespace marel
