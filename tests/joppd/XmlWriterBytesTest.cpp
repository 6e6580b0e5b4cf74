// The writer writes its markup itself: every document must come out byte for
// byte as libxml2's text writer, which it replaced, wrote it (the statutory
// files compared with earlier runs depend on it).
#include <gtest/gtest.h>
#include <libxml/xmlwriter.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/Text.h"
#include "common/XmlWriter.h"
#include "support/TempFolder.h"

using namespace marel;

namespace {

// One step of a document: 'P' a parent, 'A' an attribute, 'D' ADDPARENT,
// 'E' an element, 'R' markup, 'C' CLOSEPARENT.
struct Step {
    char op;
    std::string name, text;
};

// The same steps through libxml2's writer, as the writer used to call it.
std::string throughLibxml(const std::vector<Step>& steps) {
    xmlBufferPtr buf = xmlBufferCreate();
    xmlTextWriterPtr w = xmlNewTextWriter(xmlOutputBufferCreateBuffer(buf, nullptr));
    auto x = [](const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); };
    auto line = [&](int depth) { xmlTextWriterWriteRaw(w, x("\n" + std::string(size_t(depth) * 2, ' '))); };
    xmlTextWriterStartDocument(w, "1.0", "UTF-8", nullptr);
    int depth = 0;
    for (const Step& s : steps) {
        switch (s.op) {
            case 'P':
                if (depth > 0) line(depth);
                xmlTextWriterStartElement(w, x(rtrim(s.name)));
                break;
            case 'A': xmlTextWriterWriteAttribute(w, x(rtrim(s.name)), x(rtrim(s.text))); break;
            case 'D': ++depth; break;
            case 'E':
                line(depth);
                xmlTextWriterWriteElement(w, x(rtrim(s.name)), x(rtrim(s.text)));
                break;
            case 'R':
                line(depth);
                xmlTextWriterWriteRaw(w, x(s.text));
                break;
            case 'C':
                if (depth == 0) break;
                line(--depth);
                xmlTextWriterEndElement(w);
                break;
        }
    }
    xmlTextWriterEndDocument(w);
    xmlFreeTextWriter(w);
    std::string out(reinterpret_cast<const char*>(xmlBufferContent(buf)), size_t(xmlBufferLength(buf)));
    xmlBufferFree(buf);
    return out;
}

std::string throughWriter(const std::vector<Step>& steps, const std::string& path) {
    XmlWriter xml;
    EXPECT_TRUE(xml.CREATEXMLFILE(path, "1.0", "UTF-8"));
    for (const Step& s : steps) {
        switch (s.op) {
            case 'P': xml.CREATEPARENT(s.name); break;
            case 'A': xml.CREATEATTRIBUTE(s.name, s.text); break;
            case 'D': xml.ADDPARENT(); break;
            case 'E': xml.ADDELEMENT(s.name, s.text); break;
            case 'R': xml.ADDSTRINGTEXT(s.text); break;
            case 'C': xml.CLOSEPARENT(); break;
        }
    }
    EXPECT_TRUE(xml.CLOSEXMLFILE());
    return marel::test::readFile(path);
}

TEST(XmlWriterBytes, AsLibxmlWroteThem) {
    const std::vector<std::vector<Step>> documents = {
        // Texts with markup characters, a carriage return, blanks at the end, nothing at all.
        {{'P', "Root", ""}, {'A', "xmlns", "http://example.hr/a?b=1&c=<2>"}, {'A', "v", "1.0  "}, {'D', "", ""},
         {'E', "Naziv", "Horvat & sinovi <d.o.o.> \"Đakovo\"  "}, {'E', "Ret", "a\rb\tc\nd"}, {'E', "Prazno", ""},
         {'E', "Blank", "   "}, {'C', "", ""}},
        // Nested parents, one without children, raw markup, elements with trailing blanks in names.
        {{'P', "A", ""}, {'D', "", ""}, {'P', "B  ", ""}, {'A', "x", "Šećer\t\"ć\"\r\n"}, {'D', "", ""},
         {'R', "", "<M dc=\"t\">Čađavica</M> "}, {'P', "Empty", ""}, {'D', "", ""}, {'C', "", ""}, {'C', "", ""},
         {'E', "P1 ", "1"}, {'C', "", ""}},
        // Parents left open at the end, and a close too many.
        {{'P', "A", ""}, {'D', "", ""}, {'P', "B", ""}, {'D', "", ""}, {'E', "C", "x"}, {'P', "NoChildren", ""}},
        {{'P', "A", ""}, {'C', "", ""}, {'C', "", ""}},
    };
    marel::test::TempFolder dir;
    const std::string path = (dir.path() / "doc.xml").string();
    for (size_t d = 0; d < documents.size(); ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(throughWriter(documents[d], path), throughLibxml(documents[d]));
    }
}

}  // namespace
