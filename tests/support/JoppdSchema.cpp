#include "support/JoppdSchema.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstdlib>

namespace marel::test {

std::string schemaErrors(const std::string& path) {
    const char* env = std::getenv("MAREL_JOPPD_SCHEMA");
    // The tax authority's schema lies in the shared folder beside the project.
    const std::string xsd = env ? env : MAREL_SHARED_DIR "/schemas/joppd/ObrazacJOPPD-v1-0.xsd";
    static std::string loaded;
    static xmlSchemaPtr schema = nullptr;
    if (loaded != xsd) {
        loaded = xsd;
        xmlSchemaParserCtxtPtr pc = xmlSchemaNewParserCtxt(xsd.c_str());
        schema = pc ? xmlSchemaParse(pc) : nullptr;
        if (pc) xmlSchemaFreeParserCtxt(pc);
    }
    if (!schema) return "schema not readable: " + xsd;
    xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
    if (!doc) return "not well formed";
    std::string error;
    xmlSchemaValidCtxtPtr vc = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(
        vc, [](void* out, xmlError* e) {
            auto& text = *static_cast<std::string*>(out);
            if (text.empty() && e && e->message) text = e->message;
        },
        &error);
    if (xmlSchemaValidateDoc(vc, doc) != 0 && error.empty()) error = "invalid";
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (error.empty() && (!root || std::string(reinterpret_cast<const char*>(root->name)) != "ObrazacJOPPD"))
        error = "root is not ObrazacJOPPD";
    xmlSchemaFreeValidCtxt(vc);
    xmlFreeDoc(doc);
    return error;
}

}  // namespace marel::test
