#pragma once
// A printed report: paper and units, page header and footer bands, detail
// bands that flow down the page with automatic page breaks, and a canvas on
// which each band draws. Every finished page is kept in memory as a
// placeable metafile (report/Page.h); the list of them is the preview queue
// the previews show and print. Nothing is written to the disk.
//
// Positions are in report units: thousandths of an inch, or millimetres for a
// report that says so. Band drawing is relative to the band's top-left corner.
#include <boost/core/noncopyable.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/Picture.h"
#include "common/Text.h"
#include "report/Page.h"
#include "report/Wmf.h"

namespace marel {

enum class Units { Thousandths, Millimetres };
enum class Paper { A4, Letter };
enum class Align { Left, Center, Right };

struct Font {
    std::string face = "Arial";
    int size = 10;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

constexpr uint32_t NO_FILL = 0xFFFFFFFF;

class Report;

// A text that did not fit its box at its font, as the report printed it.
struct UnfitText {
    enum Kind {
        Shrunk,   // a number drawn smaller so that it fits whole
        Cut,      // a name cut after its last word that fits
        Overflow  // a number that does not fit even at the smallest size: the layout is at fault
    };
    Kind kind = Cut;
    int page = 0;
    std::string band;  // "zaglavlje", "podnožje", "redak 12", "stranica"
    std::string text;  // as given
    Box box;           // report units, on the page
    int needed = 0;    // the width the text needs at its font, report units
};

// A text as a page shows it: where its letters lie, from the top of its
// ascent to the bottom of its descent, in report units on the page. A line
// is kept the same way, without a text.
struct DrawnText {
    int page = 0;
    Box extent;
    std::string text;  // as drawn, code page 1250; empty for a line
};

// Pages print in points; an amount shrunk below this is no longer read right.
constexpr int kSmallestNumberTenthsPt = 50;

class Canvas {
public:
    // Text in a box: aligned at the box's left edge, centre or right edge, its
    // top at the box's top. A text wider than its box (width 0: no limit) is
    // never drawn over its neighbours: a number (an amount, a date, a code:
    // one word with a digit) shrinks until it fits, down to the smallest
    // legible size, and is clipped only below that; other text is cut after
    // its last word that fits. Each such text is noted (Report::unfit()).
    void text(const Box& box, std::string_view utf8, const Font& font = {}, Align align = Align::Left);
    void text(const Box& box, const StringField& field, const Font& font = {}, Align align = Align::Left) {
        text(box, std::string_view(field.str()), font, align);
    }
    // Text over as many lines as it needs, broken between words, at most
    // `maxLines` (0: no limit), one under the other from the box's top, a
    // line apart or, in a box higher than that, its height shared evenly by
    // `maxLines`; the last line takes what is left and is cut like any other
    // text. Returns the number of lines drawn.
    int textLines(const Box& box, std::string_view utf8, const Font& font, int maxLines, Align align = Align::Left);
    // A value formatted by its picture (numbers right-aligned by default).
    template <class T>
    void value(const Box& box, const Picture& picture, const T& v, const Font& font = {},
               Align align = Align::Right) {
        if constexpr (std::is_base_of_v<StringField, T>)
            text(box, picture.format(std::string_view(v.str())), font, align);
        else
            text(box, picture.format(v), font, align);
    }
    // Width 0 is the ordinary thin line (a quarter of a millimetre).
    void line(int x1, int y1, int x2, int y2, int width = 0);
    void box(const Box& box, int lineWidth = 0, uint32_t fill = NO_FILL);
    // A filled area without a border.
    void fill(const Box& box, uint32_t rgb);
    // The report drawn on, for measuring texts.
    const Report& report() const { return report_; }

private:
    friend class Report;
    explicit Canvas(Report& report) : report_(report) {}
    Report& report_;
    int x_ = 0, y_ = 0;  // band origin, report units
};

using Band = std::function<void(Canvas&)>;
// Told the percentage done whenever it changes; false cancels the report.
using ProgressFn = std::function<bool(int percent)>;

class Report : private boost::noncopyable {
public:
    explicit Report(std::string title, Units units = Units::Thousandths);
    ~Report();

    // ---- set-up, before the first band
    void setPaper(Paper paper);
    // A paper of its own size (dot-matrix forms), in tenths of a millimetre.
    void setCustomPaper(int widthTenthMm, int heightTenthMm);
    void setLandscape(bool landscape);
    void setMargins(int left, int top, int right, int bottom);
    // Moves everything printed by (x, y) report units (printer offsets).
    void setOrigin(int x, int y);
    void setPageHeader(int height, Band band);
    void setPageFooter(int height, Band band);
    void setProgress(ProgressFn progress) { progress_ = std::move(progress); }

    // ---- printing
    // A detail band at the current line; a new page first when it does not fit.
    void print(int height, const Band& band);
    // The current page for drawing at positions from the paper's top-left.
    Canvas& page();
    // Finishes the current page; the next band starts a new one.
    void endPage();
    // Number of the page being printed (the last one after close).
    int pageNumber() const { return pageNumber_; }
    // Width and height of the paper in report units.
    int paperWidth() const;
    int paperHeight() const;

    // `done` of `total` units of work are done; reports the percentage
    // (whole, at most 100) to the progress function when it changed. Returns
    // false once the report is cancelled: its pages are then gone.
    bool progress(int64_t done, int64_t total);
    bool cancelled() const { return cancelled_; }

    // Texts that did not fit their boxes, in the order printed.
    const std::vector<UnfitText>& unfit() const { return unfit_; }
    // Width of a text at a font, in report units (as printed: code page 1250).
    int textWidth(std::string_view utf8, const Font& font) const;
    // The lines a text breaks into between its words so that each is at most
    // `width` wide (a word wider than that has a line of its own).
    std::vector<std::string> wrap(std::string_view utf8, const Font& font, int width) const;
    // From the top of one line of text to the top of the next, report units.
    int lineHeight(const Font& font) const;

    // Every text and line drawn, in the order drawn: kept only while asked
    // for, for the tests that look for texts drawn over one another. Reports
    // are built deep inside the program, hence one switch for all of them.
    static void keepDrawnTexts(bool keep);
    const std::vector<DrawnText>& drawnTexts() const { return drawn_; }

    // ---- the result
    // Finishes the last page; returns the preview queue (empty when cancelled).
    std::vector<Page>& close();
    // The preview queue: the pages in page order.
    std::vector<Page>& pages() { return pages_; }
    const std::vector<Page>& pages() const { return pages_; }
    // Lets every page go.
    void discard();

    const std::string& title() const { return title_; }
    // The name a file of these pages is offered under: the report's short
    // name and the key of what it prints ("JOPPD-B 14105"); the title when
    // the report gives none.
    void setFileName(const std::string& name, const std::string& key = {});
    const std::string& fileName() const { return fileName_.empty() ? title_ : fileName_; }
    bool landscape() const { return landscape_; }
    Units units() const { return units_; }

private:
    friend class Canvas;
    int16_t lx(int v) const;   // report units to logical, with the origin
    int16_t ly(int v) const;
    int scale() const { return units_ == Units::Millimetres ? 10 : 1; }
    wmf::Writer& writer();
    void beginPage();
    void finishPage();
    void select(const Font& font, int height = 0);  // height: logical, 0 from the font's size
    int fontHeight(const Font& font) const;         // logical units of the em
    void select(const wmf::Pen& pen);
    void select(const wmf::Brush& brush);
    void setAlign(uint16_t align);
    int bottomLimit() const;

    std::string title_;
    std::string fileName_;
    Units units_;
    int paperW_, paperH_;  // logical units, portrait
    bool landscape_ = false;
    int marginL_ = 0, marginT_ = 0, marginR_ = 0, marginB_ = 0;
    int originX_ = 0, originY_ = 0;
    int headerH_ = 0, footerH_ = 0;
    Band header_, footer_;
    ProgressFn progress_;
    int shownPercent_ = -1;
    bool cancelled_ = false;

    Canvas canvas_{*this};
    std::unique_ptr<wmf::Writer> page_;
    int pageNumber_ = 0;
    int y_ = 0;            // next free line, report units from the paper's top
    bool hasDetail_ = false;
    std::vector<UnfitText> unfit_;
    std::vector<DrawnText> drawn_;
    std::string band_;
    int detailBands_ = 0;
    std::vector<std::pair<std::pair<Font, int>, int>> fonts_;
    std::vector<std::pair<wmf::Pen, int>> pens_;
    std::vector<std::pair<wmf::Brush, int>> brushes_;
    int font_ = -1, pen_ = -1, brush_ = -1;
    int align_ = -1;

    std::vector<Page> pages_;
};

}  // namespace marel
