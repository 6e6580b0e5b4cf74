#include "report/Report.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "common/Text.h"
#include "report/FontWidths.h"

namespace marel {

namespace {

// Code page 1250 bytes of a text; a character the code page lacks prints
// as '?' rather than stopping the report.
std::string pageBytes(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        auto b = unicodeToCp1250(utf8Next(utf8, i));
        out += b ? char(*b) : '?';
    }
    return out;
}

int16_t clamp16(long v) { return int16_t(std::clamp(v, -32768L, 32767L)); }

}  // namespace

// ---- canvas

namespace {

// Width of code page 1250 bytes in 1/2048 of the em.
int64_t emWidth(std::string_view bytes, bool bold) {
    const uint16_t* table = bold ? fontwidths::kBold : fontwidths::kRegular;
    int64_t w = 0;
    for (unsigned char c : bytes) w += table[c];
    return w;
}

// An amount, a date, an account or a code: one word holding a digit. Cutting
// one would print a different number, so it is never cut.
bool numberLike(std::string_view text) {
    const std::string t = trim(text);  // a view of the temporary would outlive it
    bool digit = false;
    for (char c : t) {
        if (c == ' ') return false;
        if (c >= '0' && c <= '9') digit = true;
    }
    return digit;
}

std::atomic<bool> keepDrawn{false};

}  // namespace

void Report::keepDrawnTexts(bool keep) { keepDrawn = keep; }

int Report::fontHeight(const Font& font) const {
    const int inch = units_ == Units::Millimetres ? 254 : 1000;
    return (font.size * inch * 2 + 72) / 144;
}

int Report::textWidth(std::string_view utf8, const Font& font) const {
    const int64_t logical = (emWidth(pageBytes(utf8), font.bold) * fontHeight(font) + fontwidths::kEm - 1) / fontwidths::kEm;
    return int((logical + scale() - 1) / scale());
}

int Report::lineHeight(const Font& font) const {
    const int spacing = fontwidths::kAscent + fontwidths::kDescent + fontwidths::kLineGap;
    const int64_t logical = (int64_t(fontHeight(font)) * spacing + fontwidths::kEm - 1) / fontwidths::kEm;
    return int((logical + scale() - 1) / scale());
}

std::vector<std::string> Report::wrap(std::string_view utf8, const Font& font, int width) const {
    std::vector<std::string> lines;
    std::string line;
    const int space = textWidth(" ", font);
    int used = 0;
    for (size_t at = 0; at < utf8.size();) {
        size_t end = utf8.find(' ', at);
        if (end == std::string_view::npos) end = utf8.size();
        const std::string_view word = utf8.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        const int w = textWidth(word, font);
        if (!line.empty() && used + space + w > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        used = line.empty() ? w : used + space + w;
        if (!line.empty()) line += ' ';
        line += word;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

int Canvas::textLines(const Box& b, std::string_view utf8, const Font& font, int maxLines, Align align) {
    std::vector<std::string> lines = report_.wrap(utf8, font, b.width);
    if (maxLines > 0 && lines.size() > size_t(maxLines)) {
        for (size_t k = size_t(maxLines); k < lines.size(); ++k) lines[size_t(maxLines) - 1] += " " + lines[k];
        lines.resize(size_t(maxLines));
    }
    // Lines a box has more than room for share its height evenly.
    int step = report_.lineHeight(font);
    if (maxLines > 0) step = std::max(step, b.height / maxLines);
    for (size_t i = 0; i < lines.size(); ++i) text({b.x, b.y + int(i) * step, b.width, step}, lines[i], font, align);
    return int(lines.size());
}

void Canvas::text(const Box& b, std::string_view utf8, const Font& font, Align align) {
    if (trim(utf8).empty()) return;
    Report& r = report_;
    std::string bytes = pageBytes(utf8);
    int height = r.fontHeight(font);
    bool clipped = false;
    if (b.width > 0) {
        // Measured in logical units, as the page is drawn.
        const int64_t room = int64_t(b.width) * r.scale();
        const int64_t em = fontwidths::kEm;
        const int64_t need = (emWidth(bytes, font.bold) * height + em - 1) / em;
        if (need > room) {
            UnfitText u{UnfitText::Cut, r.pageNumber_ + (r.page_ ? 0 : 1), r.band_, std::string(utf8),
                        {x_ + b.x, y_ + b.y, b.width, b.height}, int((need + r.scale() - 1) / r.scale())};
            if (numberLike(bytes)) {
                const int inch = r.units_ == Units::Millimetres ? 254 : 1000;
                const int smallest = (kSmallestNumberTenthsPt * inch * 2 + 720) / 1440;
                const int fitting = int(room * em / std::max<int64_t>(1, emWidth(bytes, font.bold)));
                u.kind = fitting >= smallest ? UnfitText::Shrunk : UnfitText::Overflow;
                height = std::max(std::min(fitting, height), smallest);
                clipped = u.kind == UnfitText::Overflow;
            } else {
                // The words that fit; a first word longer than the box, its letters that fit.
                std::string_view t = bytes;
                size_t keep = 0;
                int64_t w = 0;
                const uint16_t* table = font.bold ? fontwidths::kBold : fontwidths::kRegular;
                size_t lastWordEnd = 0;
                for (size_t i = 0; i < t.size(); ++i) {
                    const int64_t next = w + table[(unsigned char)t[i]];
                    if ((next * height + em - 1) / em > room) break;
                    w = next;
                    keep = i + 1;
                    if (t[i] != ' ' && (i + 1 == t.size() || t[i + 1] == ' ')) lastWordEnd = i + 1;
                }
                bytes.resize(lastWordEnd > 0 ? lastWordEnd : keep);
            }
            r.unfit_.push_back(std::move(u));
        }
    }
    r.select(font, height);
    int x = x_ + b.x;
    uint16_t flags = wmf::TA_TOP | wmf::TA_LEFT;
    if (align == Align::Center) {
        x += b.width / 2;
        flags = wmf::TA_TOP | wmf::TA_CENTER;
    } else if (align == Align::Right) {
        x += b.width;
        flags = wmf::TA_TOP | wmf::TA_RIGHT;
    }
    r.setAlign(flags);
    wmf::Rect16 clip{r.lx(x_ + b.x), r.ly(y_ + b.y), r.lx(x_ + b.x + b.width), r.ly(y_ + b.y + b.height)};
    // A text that fits is drawn as it is: a clip would only make the page larger and slower.
    r.writer().textOut(r.lx(x), r.ly(y_ + b.y), bytes, clipped && b.height > 0 ? &clip : nullptr);
    if (!keepDrawn.load(std::memory_order_relaxed)) return;
    // Where its letters lie: a clipped text no further than its box.
    const int s = r.scale(), em = fontwidths::kEm;
    const int w = int(((emWidth(bytes, font.bold) * height + em - 1) / em + s - 1) / s);
    const int h = int(((int64_t(height) * (fontwidths::kAscent + fontwidths::kDescent) + em - 1) / em + s - 1) / s);
    Box e{align == Align::Left ? x : align == Align::Center ? x - w / 2 : x - w, y_ + b.y, w, h};
    if (clipped) {
        const int left = std::max(e.x, x_ + b.x), right = std::min(e.x + e.width, x_ + b.x + b.width);
        e.x = left;
        e.width = std::max(0, right - left);
        if (b.height > 0) e.height = std::min(e.height, b.height);
    }
    r.drawn_.push_back({r.pageNumber_, e, std::move(bytes)});
}

void Canvas::line(int x1, int y1, int x2, int y2, int width) {
    Report& r = report_;
    r.select(wmf::Pen{wmf::PS_SOLID, int16_t(width * r.scale()), 0});
    r.writer().moveTo(r.lx(x_ + x1), r.ly(y_ + y1));
    r.writer().lineTo(r.lx(x_ + x2), r.ly(y_ + y2));
    if (keepDrawn.load(std::memory_order_relaxed))
        r.drawn_.push_back({r.pageNumber_,
                            {x_ + std::min(x1, x2), y_ + std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)}, {}});
}

void Canvas::box(const Box& b, int lineWidth, uint32_t fill) {
    Report& r = report_;
    r.select(wmf::Pen{wmf::PS_SOLID, int16_t(lineWidth * r.scale()), 0});
    r.select(fill == NO_FILL ? wmf::Brush{} : wmf::Brush{wmf::BS_SOLID, fill});
    r.writer().rectangle({r.lx(x_ + b.x), r.ly(y_ + b.y), r.lx(x_ + b.x + b.width), r.ly(y_ + b.y + b.height)});
}

void Canvas::fill(const Box& b, uint32_t rgb) {
    Report& r = report_;
    r.select(wmf::Pen{wmf::PS_NULL, 0, 0});
    r.select(wmf::Brush{wmf::BS_SOLID, rgb});
    r.writer().rectangle({r.lx(x_ + b.x), r.ly(y_ + b.y), r.lx(x_ + b.x + b.width), r.ly(y_ + b.y + b.height)});
}

// ---- report

Report::Report(std::string title, Units units) : title_(std::move(title)), units_(units) { setPaper(Paper::A4); }

void Report::setFileName(const std::string& name, const std::string& key) {
    const std::string k = trim(key);
    fileName_ = k.empty() ? name : name + " " + k;
}

Report::~Report() = default;

void Report::setPaper(Paper paper) {
    if (paper == Paper::A4)
        setCustomPaper(2100, 2970);
    else
        setCustomPaper(2159, 2794);
}

void Report::setCustomPaper(int widthTenthMm, int heightTenthMm) {
    auto logical = [&](int tenths) { return units_ == Units::Millimetres ? tenths : (tenths * 1000 + 127) / 254; };
    paperW_ = logical(widthTenthMm);
    paperH_ = logical(heightTenthMm);
}

void Report::setLandscape(bool landscape) { landscape_ = landscape; }

void Report::setMargins(int left, int top, int right, int bottom) {
    marginL_ = left;
    marginT_ = top;
    marginR_ = right;
    marginB_ = bottom;
}

void Report::setOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
}

void Report::setPageHeader(int height, Band band) {
    headerH_ = height;
    header_ = std::move(band);
}

void Report::setPageFooter(int height, Band band) {
    footerH_ = height;
    footer_ = std::move(band);
}

int Report::paperWidth() const { return (landscape_ ? paperH_ : paperW_) / scale(); }
int Report::paperHeight() const { return (landscape_ ? paperW_ : paperH_) / scale(); }

int16_t Report::lx(int v) const { return clamp16(long(v + originX_) * scale()); }
int16_t Report::ly(int v) const { return clamp16(long(v + originY_) * scale()); }

wmf::Writer& Report::writer() {
    if (!page_) beginPage();
    return *page_;
}

int Report::bottomLimit() const { return paperHeight() - marginB_ - footerH_; }

void Report::beginPage() {
    uint16_t inch = units_ == Units::Millimetres ? 254 : 1000;
    page_ = std::make_unique<wmf::Writer>(clamp16(landscape_ ? paperH_ : paperW_),
                                          clamp16(landscape_ ? paperW_ : paperH_), inch);
    page_->setBkMode(wmf::BK_TRANSPARENT);
    fonts_.clear();
    pens_.clear();
    brushes_.clear();
    font_ = pen_ = brush_ = align_ = -1;
    ++pageNumber_;
    hasDetail_ = false;
    y_ = marginT_;
    if (header_) {
        canvas_.x_ = marginL_;
        canvas_.y_ = y_;
        band_ = "zaglavlje";
        header_(canvas_);
    }
    y_ += headerH_;
}

void Report::finishPage() {
    if (footer_) {
        canvas_.x_ = marginL_;
        canvas_.y_ = paperHeight() - marginB_ - footerH_;
        band_ = "podnožje";
        footer_(canvas_);
    }
    for (auto& [f, h] : fonts_) page_->remove(h);
    for (auto& [p, h] : pens_) page_->remove(h);
    for (auto& [b, h] : brushes_) page_->remove(h);
    auto page = std::move(page_);
    if (!cancelled_) pages_.emplace_back(page->bytes());
}

void Report::select(const Font& font, int height) {
    if (height <= 0) height = fontHeight(font);
    auto it = std::find_if(fonts_.begin(), fonts_.end(),
                           [&](auto& e) { return e.first.first == font && e.first.second == height; });
    if (it == fonts_.end()) {
        wmf::LogFont f;
        f.height = int16_t(-height);
        f.weight = font.bold ? 700 : 400;
        f.italic = font.italic;
        f.underline = font.underline;
        f.face = font.face;
        fonts_.emplace_back(std::pair{font, height}, writer().createFont(f));
        it = fonts_.end() - 1;
    }
    if (font_ != it->second) writer().select(font_ = it->second);
}

void Report::select(const wmf::Pen& pen) {
    wmf::Pen p = pen;
    if (p.style != wmf::PS_NULL && p.width == 0) p.width = units_ == Units::Millimetres ? 2 : 10;
    auto it = std::find_if(pens_.begin(), pens_.end(), [&](auto& e) { return e.first == p; });
    if (it == pens_.end()) {
        pens_.emplace_back(p, writer().createPen(p));
        it = pens_.end() - 1;
    }
    if (pen_ != it->second) writer().select(pen_ = it->second);
}

void Report::select(const wmf::Brush& brush) {
    auto it = std::find_if(brushes_.begin(), brushes_.end(), [&](auto& e) { return e.first == brush; });
    if (it == brushes_.end()) {
        brushes_.emplace_back(brush, writer().createBrush(brush));
        it = brushes_.end() - 1;
    }
    if (brush_ != it->second) writer().select(brush_ = it->second);
}

void Report::setAlign(uint16_t align) {
    if (align_ != align) writer().setTextAlign(align);
    align_ = align;
}

void Report::print(int height, const Band& band) {
    if (cancelled_) return;
    if (page_ && hasDetail_ && y_ + height > bottomLimit()) finishPage();
    if (!page_) beginPage();
    if (cancelled_) return;
    canvas_.x_ = marginL_;
    canvas_.y_ = y_;
    band_ = "redak " + std::to_string(++detailBands_);
    band(canvas_);
    y_ += height;
    hasDetail_ = true;
}

Canvas& Report::page() {
    if (!page_) beginPage();
    canvas_.x_ = canvas_.y_ = 0;
    band_ = "stranica";
    return canvas_;
}

void Report::endPage() {
    if (page_) finishPage();
}

bool Report::progress(int64_t done, int64_t total) {
    if (cancelled_) return false;
    int percent = total > 0 ? int(std::min<int64_t>(100, done * 100 / total)) : 100;
    if (percent == shownPercent_) return true;
    shownPercent_ = percent;
    if (progress_ && !progress_(percent)) {
        cancelled_ = true;
        page_.reset();
        discard();
    }
    return !cancelled_;
}

std::vector<Page>& Report::close() {
    if (page_) finishPage();
    return pages_;
}

void Report::discard() {
    pages_.clear();
    pages_.shrink_to_fit();
}

}  // namespace marel
