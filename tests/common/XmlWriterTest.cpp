#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/XmlWriter.h"
#include "support/TempFolder.h"

using namespace marel;
namespace fs = std::filesystem;
using marel::test::readFile;

namespace {

TEST(Prijenos, CroatianLettersStayWhole) {
    EXPECT_EQ(PRIJENOS("Šš Žž Ćć Čč Đđ"), "Šš Žž Ćć Čč Đđ");
    EXPECT_EQ(PRIJENOS("Šećerana Čađavica"), "Šećerana Čađavica");
}

TEST(Prijenos, BlanksAreTidied) {
    EXPECT_EQ(PRIJENOS("Ulica  grada   Vukovara   "), "Ulica grada Vukovara");
    EXPECT_EQ(PRIJENOS("Trg\tbana\r\nJelačića"), "Trg bana Jelačića");
    EXPECT_EQ(PRIJENOS("   "), "");
}

TEST(Prijenos, CutsAtHundredBytesBetweenCharacters) {
    EXPECT_EQ(PRIJENOS(std::string(100, 'a') + "b"), std::string(100, 'a'));
    // The "š" would need bytes 100 and 101.
    EXPECT_EQ(PRIJENOS(std::string(99, 'a') + "šb"), std::string(99, 'a'));
    EXPECT_EQ(PRIJENOS(std::string(98, 'a') + "šb"), std::string(98, 'a') + "š");
    // Blanks collapse before the cut, so more text fits.
    EXPECT_EQ(PRIJENOS("a" + std::string(150, ' ') + "b"), "a b");
}

TEST(Prijenos, MalformedTextBecomesValid) {
    EXPECT_EQ(PRIJENOS("Ma\xC5rko"), "Ma\xEF\xBF\xBDrko");
    EXPECT_EQ(utf8CutBytes("čč", 3), "č");
}

TEST(XmlWriter, WritesNestedElementsWithEscapedTexts) {
    test::TempFolder dir;
    const fs::path path = dir.path() / "a.xml";
    XmlWriter xml;
    ASSERT_TRUE(xml.CREATEXMLFILE(path.string()));
    xml.CREATEPARENT("Root");
    xml.CREATEATTRIBUTE("note", "\"a\" & b");
    xml.ADDPARENT();
    xml.ADDELEMENT("Name  ", "Horvat & sinovi <d.o.o.>  ");
    xml.ADDSTRINGTEXT("<Raw x=\"1\">as is</Raw> ");
    xml.ADDELEMENT("Empty", "");
    xml.CLOSEPARENT();
    ASSERT_TRUE(xml.CLOSEXMLFILE());
    EXPECT_EQ(readFile(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<Root note=\"&quot;a&quot; &amp; b\">\n"
              "  <Name>Horvat &amp; sinovi &lt;d.o.o.&gt;</Name>\n"
              "  <Raw x=\"1\">as is</Raw> \n"
              "  <Empty></Empty>\n"
              "</Root>\n");
}

TEST(XmlWriter, ReplacesTheOldFileOnlyWhenComplete) {
    test::TempFolder dir;
    const fs::path path = dir.path() / "a.xml";
    std::ofstream(path) << "old";
    {
        XmlWriter xml;
        ASSERT_TRUE(xml.CREATEXMLFILE(path.string()));
        xml.CREATEPARENT("Root");
        xml.ADDPARENT();
    }  // abandoned
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    XmlWriter xml;
    EXPECT_FALSE(xml.CREATEXMLFILE((dir.path() / "missing" / "a.xml").string()));
    EXPECT_FALSE(xml.CLOSEXMLFILE());
}

TEST(XmlWriter, ACharacterXmlCannotCarryFailsTheFileAndNamesTheElement) {
    struct Case {
        const char* element;
        std::string text;
        const char* shown;
    };
    const Case cases[] = {
        {"Broj", "1\x01", "U+0001"},
        {"Email", "ivo\x0B@mail.hr", "U+000B"},
        {"Naziv", std::string("Iv\0an", 5), "U+0000"},
        {"Ime", "Ana\xEF\xBF\xBF", "U+FFFF"},
        {"Ulica", "Ilica \xC3", "bajt 0xC3"},    // cut in the middle of a letter
        {"Mjesto", "\xC0\xAF", "bajt 0xC0"},    // an overlong form of '/'
        {"Prezime", "\xED\xA0\x80", "U+D800"},  // a surrogate
    };
    test::TempFolder dir;
    const fs::path path = dir.path() / "a.xml";
    std::ofstream(path) << "old";
    for (const Case& c : cases) {
        XmlWriter xml;
        ASSERT_TRUE(xml.CREATEXMLFILE(path.string()));
        xml.CREATEPARENT("Root");
        xml.ADDPARENT();
        xml.ADDELEMENT("Prvi", "Zagreb");
        xml.ADDELEMENT(c.element, c.text);
        xml.CLOSEPARENT();
        EXPECT_FALSE(xml.CLOSEXMLFILE()) << c.element;
        EXPECT_EQ(xml.error(), std::string("Polje ") + c.element +
                                   " sadrži znak koji XML datoteka ne smije sadržavati (" + c.shown + ").");
        // The old file stays as it was and nothing of the run is left beside it.
        EXPECT_EQ(readFile(path), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }

    // In an attribute and in markup written as it is, too.
    XmlWriter xml;
    ASSERT_TRUE(xml.CREATEXMLFILE(path.string()));
    xml.CREATEPARENT("Root");
    xml.CREATEATTRIBUTE("oznaka", "\x1F");
    EXPECT_EQ(xml.error(), "Polje oznaka sadrži znak koji XML datoteka ne smije sadržavati (U+001F).");
    ASSERT_TRUE(xml.CREATEXMLFILE(path.string()));
    xml.CREATEPARENT("Root");
    xml.ADDPARENT();
    xml.ADDSTRINGTEXT("<Identifikator dc=\"x\">a\x02</Identifikator>");
    EXPECT_FALSE(xml.CLOSEXMLFILE());
    EXPECT_EQ(xml.error(), "Polje Identifikator sadrži znak koji XML datoteka ne smije sadržavati (U+0002).");

    // Tabs, line breaks and letters beyond ASCII are fine.
    EXPECT_EQ(XmlWriter::forbiddenCharacter("a\tb\r\nč€𝄞"), "");
}

}  // namespace
