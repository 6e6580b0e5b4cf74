#pragma once
// The structure a file of the program must have before it may be handed to
// the tax authority, read from its XSD. A file that breaks it would only be
// refused there, days later, so the program checks its own files first.
#include <boost/core/noncopyable.hpp>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct _xmlSchema;

namespace marel {

// Tests of a value against a common kind of simple type, written as the
// writers of this program write such values. Each accepts only what the
// schema's type accepts and may refuse more: a value refused here is read by
// the schema itself, so a test never has to be complete, only never wrong.
namespace xsdValue {
// Exactly `count` digits 0-9 (a pattern "[0-9]{count}" or "\d{count}").
bool digits(std::string_view value, size_t count);
// A whole number from 1 with at most `maxDigits` digits, no leading zero
// (an integer type from 1 to at least 10^maxDigits - 1).
bool counting(std::string_view value, size_t maxDigits);
// A decimal "123.45" with exactly `places` decimals and at most
// `totalDigits` digits, a minus only when `negative` numbers are allowed
// (an xsd:decimal with totalDigits and fractionDigits, "minInclusive 0" unless `negative`).
bool decimal(std::string_view value, size_t places, size_t totalDigits, bool negative);
// Printable text of `minChars` to `maxChars` characters in UTF-8, without
// markup characters or line breaks (an xsd:string with minLength and maxLength).
bool text(std::string_view value, size_t minChars, size_t maxChars);
}  // namespace xsdValue

class XmlSchema : private boost::noncopyable {
public:
    // A child of the long list's items with the test its values pass when
    // its type in the schema accepts them (xsdValue).
    using ChildTest = std::pair<std::string_view, bool (*)(std::string_view)>;

    // The schema in the file `xsd` (the schemas it imports lie beside it),
    // whose documents start with the element `root` of `rootNamespace`.
    // Read on first use and kept for the rest of the process: a thousand
    // files cost one reading of the schema.
    // `listItem`: the element of the documents' long list whose items the
    // schema checks each on its own (no key or uniqueness across them, any
    // number of them): the schema reads only the items whose children
    // `childTests` cannot vouch for; a document not written as expected is
    // checked whole, a long one in two halves at once.
    static const XmlSchema& of(const std::string& xsd, std::string_view rootNamespace, std::string_view root,
                               std::string_view listItem = {}, std::vector<ChildTest> childTests = {});

    // "" when the file at `path` is a document of this schema; otherwise one
    // line naming the first element (and attribute) at fault, its value and
    // what is wrong with it.
    std::string check(const std::string& path) const;

private:
    XmlSchema(std::string xsd, std::string_view rootNamespace, std::string_view root, std::string_view listItem,
              std::vector<ChildTest> childTests);

    bool passes(std::FILE* file) const;
    bool quickPasses(std::string_view all) const;
    bool accepts(const std::vector<std::string_view>& parts) const;

    std::string xsd_, namespace_, root_, item_;
    std::vector<ChildTest> childTests_;
    ::_xmlSchema* schema_ = nullptr;  // null when the schema could not be read
};

}  // namespace marel
