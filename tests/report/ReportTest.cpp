#include "report/Report.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "common/Prompter.h"
#include "report/Wmf.h"
#include "support/TempFolder.h"

using namespace marel;
namespace fs = std::filesystem;

namespace {

struct Drawn {
    wmf::Text text;
    wmf::LogFont font;
    uint16_t align = 0;
};

// The texts of a page with the font and alignment in effect for each.
std::vector<Drawn> textsOf(const wmf::Metafile& m) {
    std::vector<std::optional<wmf::LogFont>> slots;  // the object table: fonts, or other objects
    std::vector<bool> used;
    auto allocate = [&](std::optional<wmf::LogFont> font) {
        auto free = std::find(used.begin(), used.end(), false);
        size_t at = size_t(free - used.begin());
        if (free == used.end()) {
            used.push_back(true);
            slots.push_back(font);
        } else {
            used[at] = true;
            slots[at] = font;
        }
    };
    std::vector<Drawn> out;
    wmf::LogFont font;
    uint16_t align = 0;
    for (const auto& r : m.records) {
        if (auto f = wmf::fontOf(r)) {
            allocate(f);
        } else if (r.function == wmf::META_CREATEPENINDIRECT || r.function == wmf::META_CREATEBRUSHINDIRECT) {
            allocate(std::nullopt);
        } else if (r.function == wmf::META_DELETEOBJECT) {
            used[size_t(r.word(0))] = false;
        } else if (r.function == wmf::META_SELECTOBJECT && slots[size_t(r.word(0))]) {
            font = *slots[size_t(r.word(0))];
        } else if (r.function == wmf::META_SETTEXTALIGN) {
            align = uint16_t(r.word(0));
        } else if (auto t = wmf::textOf(r)) {
            out.push_back({*t, font, align});
        }
    }
    return out;
}

const Drawn* find(const std::vector<Drawn>& texts, const std::string& cp1250) {
    for (const auto& d : texts)
        if (d.text.text == cp1250) return &d;
    return nullptr;
}

int count(const wmf::Metafile& m, uint16_t function) {
    return int(std::count_if(m.records.begin(), m.records.end(), [&](auto& r) { return r.function == function; }));
}

// A list of 60 lines with a heading and a numbered footer.
std::unique_ptr<Report> listReport(int lines) {
    auto r = std::make_unique<Report>("Popis");
    r->setMargins(500, 500, 500, 500);
    Report& rep = *r;
    r->setPageHeader(400, [](Canvas& c) {
        c.text({0, 0, 3000, 250}, "Općina", Font{.size = 12, .bold = true});
        c.line(0, 350, 7000, 350, 20);
    });
    r->setPageFooter(300, [&rep](Canvas& c) {
        c.text({0, 50, 7268, 200}, "Stranica " + std::to_string(rep.pageNumber()), Font{.italic = true},
               Align::Right);
    });
    for (int i = 1; i <= lines; ++i)
        r->print(250, [i](Canvas& c) {
            c.text({0, 0, 3000, 200}, "Red " + std::to_string(i));
            c.value({3000, 0, 2000, 200}, Picture::parse("@N-14.`2"), Decimal(i * 1000));
        });
    r->close();
    return r;
}

}  // namespace

TEST(Report, PagesCarryTextsFontsAndLinesWhereTheBandsPutThem) {
    auto r = listReport(60);
    // A4 is 11693 high: 11693 - 500 - 500 - 400 - 300 leaves room for 39 lines of 250.
    ASSERT_EQ(r->pages().size(), 2u);
    auto first = r->pages()[0].metafile();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->inch, 1000);
    EXPECT_EQ(first->width(), 8268);
    EXPECT_EQ(first->height(), 11693);

    auto texts = textsOf(*first);
    const Drawn* heading = find(texts, toCp1250("Općina"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text.x, 500);
    EXPECT_EQ(heading->text.y, 500);
    EXPECT_EQ(heading->font.face, "Arial");
    EXPECT_EQ(heading->font.charset, 238);
    EXPECT_EQ(heading->font.height, -167);  // 12 points in thousandths of an inch
    EXPECT_EQ(heading->font.weight, 700);
    // It fits its box: drawn as it is, without a clip.
    EXPECT_FALSE(heading->text.options & wmf::ETO_CLIPPED);

    // The first detail right under the header, the 39th the last on the page.
    const Drawn* row1 = find(texts, "Red 1");
    ASSERT_NE(row1, nullptr);
    EXPECT_EQ(row1->text.y, 900);
    EXPECT_EQ(row1->font.weight, 400);
    EXPECT_EQ(row1->font.height, -139);
    ASSERT_NE(find(texts, "Red 39"), nullptr);
    EXPECT_EQ(find(texts, "Red 39")->text.y, 900 + 38 * 250);
    EXPECT_EQ(find(texts, "Red 40"), nullptr);

    // Numbers are right-aligned at the box's right edge.
    const Drawn* amount = find(texts, "      1.000,00");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->text.x, 5500);
    EXPECT_EQ(amount->align & wmf::TA_CENTER, wmf::TA_RIGHT);

    const Drawn* footer = find(texts, "Stranica 1");
    ASSERT_NE(footer, nullptr);
    EXPECT_TRUE(footer->font.italic);
    EXPECT_EQ(footer->text.y, 11693 - 500 - 300 + 50);

    // The heading rule: a pen of the given width, a move and a line.
    EXPECT_EQ(count(*first, wmf::META_MOVETO), 1);
    for (const auto& rec : first->records) {
        if (auto pen = wmf::penOf(rec)) {
            EXPECT_EQ(pen->width, 20);
        }
        if (rec.function == wmf::META_LINETO) {
            EXPECT_EQ(rec.word(1), 7500);
            EXPECT_EQ(rec.word(0), 850);
        }
    }

    auto second = r->pages()[1].metafile();
    ASSERT_TRUE(second);
    auto texts2 = textsOf(*second);
    ASSERT_NE(find(texts2, "Red 40"), nullptr);
    EXPECT_EQ(find(texts2, "Red 40")->text.y, 900);
    EXPECT_NE(find(texts2, "Stranica 2"), nullptr);
    EXPECT_NE(find(texts2, toCp1250("Općina")), nullptr);
}

// Each text a box cannot hold: a number is drawn whole and smaller, down to
// the smallest legible size, a name is cut after a word; every one is noted.
TEST(Report, TextsWiderThanTheirBoxesAreNeverDrawnOverTheirNeighbours) {
    const struct {
        const char* text;
        int width;
        std::optional<UnfitText::Kind> kind;
        const char* drawn;  // nullptr: as given
        bool clipped;
    } cases[] = {
        {"Ivan Horvat", 2000, std::nullopt, nullptr, false},
        {"5.166.047,91", 600, UnfitText::Shrunk, nullptr, false},
        {"31.12.2014.", 500, UnfitText::Shrunk, nullptr, false},
        {"5.166.047,91", 200, UnfitText::Overflow, nullptr, true},
        {"Obala Hrvatskog narodnog preporoda", 1500, UnfitText::Cut, "Obala Hrvatskog", false},
        {"Prezimenjakovićevski", 600, UnfitText::Cut, "Prezimen", false},
    };
    Report r("Polja");
    for (const auto& c : cases) r.print(250, [&](Canvas& cv) { cv.text({100, 0, c.width, 200}, c.text); });
    r.close();
    ASSERT_EQ(r.pages().size(), 1u);
    auto page = r.pages()[0].metafile();
    ASSERT_TRUE(page);
    const auto texts = textsOf(*page);
    ASSERT_EQ(texts.size(), std::size(cases));
    size_t noted = 0;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.text);
        const Drawn& d = texts[i];
        EXPECT_EQ(d.text.text, c.drawn ? c.drawn : c.text);
        EXPECT_EQ(bool(d.text.options & wmf::ETO_CLIPPED), c.clipped);
        const int height = -d.font.height;
        if (!c.kind) {
            EXPECT_EQ(height, 139);
            continue;
        }
        ASSERT_LT(noted, r.unfit().size());
        const UnfitText& u = r.unfit()[noted++];
        EXPECT_EQ(u.kind, *c.kind);
        EXPECT_EQ(u.text, c.text);
        EXPECT_EQ(u.band, "redak " + std::to_string(i + 1));
        EXPECT_GT(u.needed, c.width);
        // Whatever was drawn unclipped lies inside its box, at the size drawn.
        Font at;
        at.size = 10;
        if (!c.clipped) {
            EXPECT_LE(r.textWidth(d.text.text, at) * height / 139, c.width + 1);
        }
        if (*c.kind == UnfitText::Overflow) {
            EXPECT_EQ(height, 69);  // five points
        }
    }
    EXPECT_EQ(noted, r.unfit().size());
}

// A text too long for its box goes on over the lines it may have, broken
// between words, a line apart; only the last line is cut (after a word).
TEST(Report, TextOverLinesBreaksBetweenWordsAndCutsOnlyTheLast) {
    const std::string name = "Dnevnice za službeni put (neoporezivo)";
    const struct { int width, maxLines; std::vector<std::string> lines; bool cut; } cases[] = {
        {3000, 2, {name}, false},
        {1400, 2, {"Dnevnice za službeni", "put (neoporezivo)"}, false},
        {900, 0, {"Dnevnice za", "službeni put", "(neoporezivo)"}, false},
        {900, 2, {"Dnevnice za", "službeni put"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        Report r("Retci");
        int n = 0;
        r.print(1000, [&](Canvas& cv) { n = cv.textLines({100, 0, c.width, 0}, name, {}, c.maxLines); });
        r.close();
        auto page = r.pages().at(0).metafile();
        ASSERT_TRUE(page);
        std::vector<std::string> drawn;  // each a line under the one before
        for (const Drawn& d : textsOf(*page))
            drawn.push_back(d.text.y == int(drawn.size()) * r.lineHeight({}) ? fromCp1250(d.text.text) : "?");
        EXPECT_EQ(drawn, c.lines);
        EXPECT_EQ(std::pair(n, r.unfit().size()), std::pair(int(c.lines.size()), c.cut ? size_t(1) : size_t(0)));
    }
}

// What the tests of whole pages compare: where a text's letters lie after
// its alignment, from the top of its ascent to the bottom of its descent.
TEST(Report, DrawnTextsAreKeptWhereTheirLettersLie) {
    Report::keepDrawnTexts(true);
    Report r("Polja");
    r.print(300, [&](Canvas& c) {
        for (Align a : {Align::Left, Align::Center, Align::Right}) c.text({1000, 100, 2000, 200}, "1.234,56", {}, a);
    });
    Report::keepDrawnTexts(false);
    const int w = r.textWidth("1.234,56", {}), h = 156;  // 10 points: 0.139 in, ascent and descent 1.117 em
    std::vector<std::array<int, 4>> kept, want = {{1000, 100, w, h}, {2000 - w / 2, 100, w, h}, {3000 - w, 100, w, h}};
    for (const DrawnText& d : r.drawnTexts()) kept.push_back({d.extent.x, d.extent.y, d.extent.width, d.extent.height});
    EXPECT_EQ(kept, want);
}

TEST(Report, MillimetreReportWithCustomPaperBoxesAndOffset) {
    Report r("Uplatnice", Units::Millimetres);
    r.setCustomPaper(2500, 1016);
    r.setOrigin(5, -2);
    r.print(102, [](Canvas& c) {
        c.text({10, 20, 0, 0}, "HR1210010051863000160");
        c.box({10, 30, 100, 8});
        c.fill({120, 30, 20, 8}, 0xC0C0C0);
    });
    r.print(102, [](Canvas& c) { c.text({10, 20, 50, 5}, "druga"); });
    ASSERT_EQ(r.close().size(), 2u);
    auto m = r.pages()[0].metafile();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->inch, 254);  // tenths of a millimetre
    EXPECT_EQ(m->width(), 2500);
    EXPECT_EQ(m->height(), 1016);
    auto texts = textsOf(*m);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text.x, 150);
    EXPECT_EQ(texts[0].text.y, 180);
    EXPECT_EQ(texts[0].text.options, 0);  // no box, no clipping
    std::vector<wmf::Rect16> rects;
    std::vector<wmf::Brush> brushes;
    for (const auto& rec : m->records) {
        if (auto b = wmf::rectangleOf(rec)) rects.push_back(*b);
        if (auto b = wmf::brushOf(rec)) brushes.push_back(*b);
    }
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].left, 150);
    EXPECT_EQ(rects[0].top, 280);
    EXPECT_EQ(rects[0].right, 1150);
    EXPECT_EQ(rects[0].bottom, 360);
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(brushes[0].style, wmf::BS_NULL);
    EXPECT_EQ(brushes[1].colour, 0xC0C0C0u);
}

TEST(Report, ProgressIsShownWhenItChangesAndCancelDropsEveryPage) {
    std::vector<int> shown;
    Report r("Popis");
    r.setProgress([&](int percent) {
        shown.push_back(percent);
        return true;
    });
    for (int done = 1; done <= 7; ++done) EXPECT_TRUE(r.progress(done, 3));
    EXPECT_EQ(shown, (std::vector<int>{33, 66, 100}));

    Report cancelled("Popis");
    cancelled.setProgress([](int percent) { return percent < 50; });
    cancelled.print(100, [](Canvas& c) { c.text({0, 0, 100, 100}, "a"); });
    cancelled.endPage();
    ASSERT_EQ(cancelled.pages().size(), 1u);
    EXPECT_TRUE(cancelled.progress(1, 4));
    EXPECT_FALSE(cancelled.progress(2, 4));
    EXPECT_TRUE(cancelled.cancelled());
    cancelled.print(100, [](Canvas& c) { c.text({0, 0, 100, 100}, "b"); });
    EXPECT_TRUE(cancelled.close().empty());
}

TEST(Report, AnotherProgramReadsThePages) {
    auto r = listReport(5);
    test::TempFolder tmp;
    std::string svg = (tmp.path() / "page.svg").string(), wmf = (tmp.path() / "page.wmf").string();
    ASSERT_TRUE(r->pages()[0].save(wmf));
    std::string command = "wmf2svg -o '" + svg + "' '" + wmf + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(svg);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_NE(content.str().find("Red 5"), std::string::npos);
    EXPECT_NE(content.str().find("Stranica 1"), std::string::npos);
}
