#include "report/PageFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/Text.h"
#include "report/PreviewState.h"
#include "report/Report.h"
#include "report/Wmf.h"
#include "support/TempFolder.h"

using namespace marel;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The texts of a page, in the order drawn.
std::vector<std::string> textsOf(const Page& page) {
    std::vector<std::string> out;
    auto m = page.metafile();
    if (m)
        for (const auto& r : m->records)
            if (auto t = wmf::textOf(r)) out.push_back(t->text);
    return out;
}

}  // namespace

TEST(TextExport, TextsLandOnTheGridOfThePage) {
    // A Letter page, 8500 x 11000: a column is 42.5 units, a line 73.3.
    Report r("Tekst");
    r.setPaper(Paper::Letter);
    Canvas& c = r.page();
    c.text({850, 1100, 0, 0}, "Općina Čakovec");      // column 20, line 15
    c.text({0, 0, 0, 0}, "Vrh");                       // column and line at least 1
    c.text({1700, 1100, 0, 0}, "Xy");                  // column 40 of the same line
    c.text({893, 1100, 0, 0}, "AB");                   // column 21: overwrites "pć"
    c.text({850, 5500, 2000, 300}, "Sredina", Font{.size = 14, .bold = true});  // line 75
    c.text({0, 11000, 0, 0}, "Dno");                   // line 150
    c.text({4250, 3000, 0, 0}, "    ");                // blanks are not drawn at all
    r.close();

    std::vector<std::string> expected = {
        "Vrh",
        std::string(19, ' ') + "OABina Čakovec" + std::string(6, ' ') + "Xy",
        std::string(19, ' ') + "Sredina",
        "Dno",
    };
    EXPECT_EQ(pageText(r.pages()[0]), expected);

    test::TempFolder tmp;
    std::string out = (tmp.path() / "two.txt").string();
    ASSERT_TRUE(SAVEASTEXT(out, {r.pages()[0], Page(), r.pages()[0]}));
    std::string text;
    for (int i = 0; i < 2; ++i)
        for (const auto& line : expected) text += line + "\n";
    EXPECT_EQ(slurp(out), text);  // UTF-8, the empty page without a line
    EXPECT_FALSE(SAVEASTEXT((tmp.path() / "no" / "such.txt").string(), r.pages()));
}

TEST(PageNumbers, PlaceholderBecomesPageOfCountCentred) {
    Report r("Brojevi");
    for (int i = 1; i <= 7; ++i) {
        r.page().text({500, 10000, 3000, 200}, std::string(PAGE_PLACEHOLDER));
        if (i == 5) r.page().text({500, 500, 3000, 200}, std::string(PAGE_PLACEHOLDER));
        r.endPage();
    }
    r.close();
    CHECKFORPAGENUM(r.pages());
    EXPECT_EQ(textsOf(r.pages()[2]), std::vector<std::string>{"    Page 3 of 7    "});
    EXPECT_EQ(textsOf(r.pages()[4]), (std::vector<std::string>(2, "    Page 5 of 7    ")));

    wmf::Writer w(8268, 11693, 1000);
    w.textOut(100, 100, "Bez broja");
    Page plain(w.bytes());
    patchPageNumber(plain, 1, 1);
    EXPECT_EQ(plain.wmf(), w.bytes());
    EXPECT_EQ(pageText(plain).size(), 1u);
}

TEST(PageNumbers, PlaceholderAcrossA256ByteBoundaryIsFound) {
    wmf::Writer w(8268, 11693, 1000);
    // Headers and window records take 60 bytes; a text record is 14 bytes
    // before its text, so this filler puts the placeholder at byte 240.
    w.textOut(100, 100, std::string(152, 'a'));
    w.textOut(100, 10000, PAGE_PLACEHOLDER);
    ASSERT_EQ(w.bytes().find(PAGE_PLACEHOLDER), 240u);
    Page page(w.bytes());
    patchPageNumber(page, 12, 130);
    EXPECT_EQ(textsOf(page)[1], "  Page 12 of 130   ");
    EXPECT_EQ(page.wmf().size(), w.bytes().size());
}

// The page files of an export are each page's bytes as drawn, named in page
// order; a folder that cannot take them says so.
TEST(PageFiles, EachFileHoldsItsPageAsDrawn) {
    Report r("Stranice");
    for (const char* text : {"prva", "druga", "treća"}) {
        r.page().text({500, 500, 0, 0}, text);
        r.endPage();
    }
    r.close();
    test::TempFolder tmp;
    ASSERT_TRUE(savePageFiles(r.pages(), tmp.str()));
    std::vector<std::string> written, drawn;
    for (size_t i = 0; i < r.pages().size(); ++i) {
        written.push_back(slurp((tmp.path() / pageFileName(i + 1)).string()));
        drawn.emplace_back(r.pages()[i].wmf());
    }
    EXPECT_EQ(written, drawn);
    EXPECT_EQ(pageFileName(12), "stranica-0012.wmf");
    EXPECT_FALSE(savePageFiles(r.pages(), (tmp.path() / "nema").string()));
}

TEST(PrintSelection, UnmarkedPagesWithCopiesCollatedOrNot) {
    std::vector<bool> marks(7, false);
    marks[1] = marks[4] = true;  // pages 2 and 5
    auto unmarked = LOADTEMPIMAGEQUEUE(marks, UNMARKEDPAGES, 0, 0);
    EXPECT_EQ(unmarked, (std::vector<int>{1, 3, 4, 6, 7}));
    EXPECT_EQ(SETUPCOPIESCOLLATE(unmarked, 2, true), (std::vector<int>{1, 3, 4, 6, 7, 1, 3, 4, 6, 7}));
    EXPECT_EQ(SETUPCOPIESCOLLATE(unmarked, 2, false), (std::vector<int>{1, 1, 3, 3, 4, 4, 6, 6, 7, 7}));
    EXPECT_EQ(LOADTEMPIMAGEQUEUE(marks, MARKEDPAGES, 0, 0), (std::vector<int>{2, 5}));
    EXPECT_EQ(LOADTEMPIMAGEQUEUE(marks, PAGERANGE, 3, 5), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(LOADTEMPIMAGEQUEUE(marks, ALLPAGES, 3, 5).size(), 7u);
    EXPECT_EQ(SETUPCOPIESCOLLATE({4}, 1, false), std::vector<int>{4});
}

TEST(PreviewPaging, TwelvePagesTwoByTwo) {
    PreviewState s(12);
    s.across = s.down = 2;
    EXPECT_EQ(s.pageText(), "Pages 1-4 of 12");
    EXPECT_FALSE(s.canPrevious());
    EXPECT_FALSE(s.singlePage());
    s.next();
    EXPECT_EQ(s.pageText(), "Pages 5-8 of 12");
    s.next();
    EXPECT_EQ(s.pageText(), "Pages 9-12 of 12");
    EXPECT_FALSE(s.canNext());
    s.next();
    EXPECT_EQ(s.page, 9);
    EXPECT_TRUE(s.canPrevious());
    s.previous();
    EXPECT_EQ(s.page, 5);
    s.jump(11);
    EXPECT_EQ(s.pageText(), "Pages 11-12 of 12");
    EXPECT_EQ(s.pageAt(2), 12);
    EXPECT_EQ(s.pageAt(3), 0);
    s.previous();
    s.previous();
    s.previous();
    EXPECT_EQ(s.page, 1);
    // The last page starts the grid alone.
    s.last();
    EXPECT_EQ(s.pageText(), "Page 12 of 12");

    s.zoomed = true;
    EXPECT_TRUE(s.singlePage());
    EXPECT_TRUE(s.canNext());  // stays enabled, does nothing
    s.next();
    EXPECT_EQ(s.page, 12);
    s.previous();
    EXPECT_EQ(s.pageText(), "Page 11 of 12");
    s.first();
    EXPECT_EQ(s.page, 1);
}

TEST(PreviewPaging, OnePageAndMarks) {
    PreviewState one(1);
    EXPECT_FALSE(one.canNext());
    EXPECT_FALSE(one.canPrevious());
    one.jump(5);
    EXPECT_EQ(one.page, 1);
    EXPECT_EQ(one.pageText(), "Page 1 of 1");

    PreviewState s(5);
    s.jump(2);
    s.toggleMark();
    s.jump(4);
    s.toggleMark();
    s.toggleMark();
    s.toggleMark();
    EXPECT_EQ(s.markedCount(), 2);
    EXPECT_TRUE(s.marked());
    s.removeCurrent();  // page 4 goes; 3 is current
    EXPECT_EQ(s.count(), 4);
    EXPECT_EQ(s.page, 3);
    EXPECT_EQ(s.markedCount(), 1);
    EXPECT_EQ(s.marks(), (std::vector<bool>{false, true, false, false}));
    s.jump(1);
    s.removeCurrent();
    EXPECT_EQ(s.page, 1);
    EXPECT_EQ(s.count(), 3);
}

TEST(PreviewPaging, ThumbnailsKeepThePageShape) {
    // 2 x 2 in 600 x 500: cells at most 297 x 238; an A4 page is taller than that.
    auto cells = thumbnailCells(600, 500, 2, 2, 11693.0 / 8268.0);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].height, 238);
    EXPECT_EQ(cells[0].width, 168);
    EXPECT_EQ(cells[1].x, 1 + 168 + 3);
    EXPECT_EQ(cells[2].y, 1 + 238 + 3);
    EXPECT_EQ(cells[3].x, cells[1].x);
    // A wide page in a tall window is limited by the width.
    auto wide = thumbnailCells(300, 800, 1, 1, 0.5);
    EXPECT_EQ(wide[0].width, 298);
    EXPECT_EQ(wide[0].height, 149);
}
