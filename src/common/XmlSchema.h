#pragma once
// The structure a file of the program must have before it may be handed to
// the tax authority, read from its XSD. A file that breaks it would only be
// refused there, days later, so the program checks its own files first.
#include <boost/core/noncopyable.hpp>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

struct _xmlSchema;

namespace marel {

class XmlSchema : private boost::noncopyable {
public:
    // The schema in the file `xsd` (the schemas it imports lie beside it),
    // whose documents start with the element `root` of `rootNamespace`.
    // Read on first use and kept for the rest of the process: a thousand
    // files cost one reading of the schema.
    // `listItem`: the element of the documents' long list whose items the
    // schema checks each on its own (no key or uniqueness across them, any
    // number of them): a long document is checked in two halves at once.
    static const XmlSchema& of(const std::string& xsd, std::string_view rootNamespace, std::string_view root,
                               std::string_view listItem = {});

    // "" when the file at `path` is a document of this schema; otherwise one
    // line naming the first element (and attribute) at fault, its value and
    // what is wrong with it.
    std::string check(const std::string& path) const;

private:
    XmlSchema(std::string xsd, std::string_view rootNamespace, std::string_view root, std::string_view listItem);

    bool passes(std::FILE* file) const;
    bool accepts(std::initializer_list<std::string_view> parts) const;

    std::string xsd_, namespace_, root_, item_;
    ::_xmlSchema* schema_ = nullptr;  // null when the schema could not be read
};

}  // namespace marel
