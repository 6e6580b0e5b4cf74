#include "preview/WmfPlayer.h"

#include <QGlyphRun>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <tuple>

#include "common/Text.h"

namespace marel {

namespace {

// A page's texts are code page 1250 bytes in a handful of fonts: each byte's
// glyph and advance are looked up once per font rather than shaped anew for
// every text, which is most of what a text costs in a PDF of many pages. Our
// pages measure their texts by the same advances, without kerning, so that
// what fits its box on the page fits it when drawn.
struct Glyphs {
    explicit Glyphs(const QFont& font) : raw(QRawFont::fromFont(font)), underline(font.underline()) {}
    QRawFont raw;
    bool underline;
    std::array<quint32, 256> index{};
    std::array<qreal, 256> advance{};
    std::array<bool, 256> known{};

    void look(unsigned char b) {
        if (known[b]) return;
        known[b] = true;
        const char32_t c = cp1250ToUnicode(b);
        QChar ch(c <= 0xFFFF ? char16_t(c) : char16_t(u'?'));
        int n = 1;
        quint32 glyph = 0;
        if (!raw.glyphIndexesForChars(&ch, 1, &glyph, &n) || n != 1) glyph = 0;
        QPointF a;
        raw.advancesForGlyphIndexes(&glyph, &a, 1);
        index[b] = glyph;
        advance[b] = a.x();
    }
};

// The glyph tables of a run of pages: every page creates its fonts anew.
class GlyphCache {
public:
    std::shared_ptr<Glyphs> of(const QFont& font) {
        for (const auto& [f, g] : tables_)
            if (f == font) return g;
        tables_.emplace_back(font, std::make_shared<Glyphs>(font));
        return tables_.back().second;
    }

private:
    std::vector<std::pair<QFont, std::shared_ptr<Glyphs>>> tables_;
};

struct Object {
    enum Kind { None, Font, Pen, Brush } kind = None;
    std::shared_ptr<Glyphs> glyphs;
    QPen pen;
    QBrush brush;
};

QString family(const std::string& face) {
    QString f = QString::fromStdString(face);
    if (f.startsWith(QLatin1String("Arial"), Qt::CaseInsensitive)) return QStringLiteral("Liberation Sans");
    if (f.startsWith(QLatin1String("Times"), Qt::CaseInsensitive)) return QStringLiteral("Liberation Serif");
    if (f.startsWith(QLatin1String("Courier"), Qt::CaseInsensitive)) return QStringLiteral("Liberation Mono");
    return f;
}

QColor colour(uint32_t rgb) { return QColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)); }

QFont qtFont(const wmf::LogFont& f) {
    QFont font(family(f.face));
    font.setPixelSize(std::max(1, std::abs(int(f.height))));
    font.setWeight(f.weight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    // Metrics must scale with the page, not snap to screen pixels.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Plays a page. Texts and lines are gathered and drawn together, texts of
// one font as one run of glyphs and the lines of one pen as one path, where
// collinear pieces that meet (the rules of a table, row after row) are one
// line: a PDF of a thousand pages then holds a few drawing operations a page
// rather than one for every text and rule. Nothing is drawn over anything
// gathered before it, so a filled area (drawn under the texts that follow it)
// first has what was gathered drawn.
class Player {
public:
    Player(QPainter& p, const wmf::Metafile& m, const QRectF& target, GlyphCache& glyphs)
        : p_(p), target_(target), glyphs_(glyphs) {
        org_ = QPointF(m.bounds.left, m.bounds.top);
        ext_ = QSizeF(m.width(), m.height());
        base_ = p.worldTransform();
        current_ = glyphs_.of(qtFont({}));
    }

    void play(const wmf::Record& r) {
        using namespace wmf;
        switch (r.function) {
            case META_SETWINDOWORG:
                flush();
                org_ = QPointF(r.word(1), r.word(0));
                mapped_ = false;
                break;
            case META_SETWINDOWEXT:
                flush();
                ext_ = QSizeF(r.word(1), r.word(0));
                mapped_ = false;
                break;
            case META_SETTEXTALIGN: align_ = uint16_t(r.word(0)); break;
            case META_CREATEFONTINDIRECT:
                if (auto f = fontOf(r)) place({Object::Font, glyphs_.of(qtFont(*f)), {}, {}});
                break;
            case META_CREATEPENINDIRECT:
                if (auto pen = penOf(r)) {
                    QPen q = pen->style == PS_NULL ? QPen(Qt::NoPen) : QPen(colour(pen->colour), pen->width);
                    place({Object::Pen, {}, q, {}});
                }
                break;
            case META_CREATEBRUSHINDIRECT:
                if (auto b = brushOf(r))
                    place({Object::Brush, {}, {}, b->style == BS_NULL ? QBrush() : QBrush(colour(b->colour))});
                break;
            case META_SELECTOBJECT: select(r.word(0)); break;
            case META_DELETEOBJECT:
                if (r.word(0) >= 0 && size_t(r.word(0)) < objects_.size()) objects_[size_t(r.word(0))] = {};
                break;
            case META_MOVETO: pos_ = QPointF(r.word(1), r.word(0)); break;
            case META_LINETO: {
                const QPointF to(r.word(1), r.word(0));
                line(pos_, to);
                pos_ = to;
                break;
            }
            case META_RECTANGLE:
                if (auto rect = rectangleOf(r)) {
                    if (brush_.style() != Qt::NoBrush) flush();
                    map();
                    usePen(pen_);
                    p_.setBrush(brush_);
                    p_.drawRect(QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)));
                }
                break;
            case META_EXTTEXTOUT:
                if (auto t = textOf(r)) text(*t);
                break;
            default: break;
        }
    }

    // Draws what is gathered.
    void flush() {
        if (texts_.empty() && lines_.empty()) return;
        map();
        for (Run& run : texts_) {
            if (run.indexes.isEmpty()) continue;
            usePen(QPen(Qt::black, 0));
            QGlyphRun glyphs;
            glyphs.setRawFont(run.glyphs->raw);
            glyphs.setGlyphIndexes(run.indexes);
            glyphs.setPositions(run.positions);
            glyphs.setUnderline(run.glyphs->underline);
            p_.drawGlyphRun(QPointF(0, 0), glyphs);
        }
        texts_.clear();
        if (!lines_.empty()) {
            usePen(linePen_);
            const QList<QLineF> lines = joined(lines_);
            p_.drawLines(lines.constData(), int(lines.size()));
            lines_.clear();
        }
    }

private:
    struct Run {
        std::shared_ptr<Glyphs> glyphs;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };

    void place(Object o) {
        auto free = std::find_if(objects_.begin(), objects_.end(), [](auto& e) { return e.kind == Object::None; });
        if (free == objects_.end())
            objects_.push_back(std::move(o));
        else
            *free = std::move(o);
    }

    void select(int index) {
        if (index < 0 || size_t(index) >= objects_.size()) return;
        const Object& o = objects_[size_t(index)];
        if (o.kind == Object::Font) current_ = o.glyphs;
        if (o.kind == Object::Pen) pen_ = o.pen;
        if (o.kind == Object::Brush) brush_ = o.brush;
    }

    void usePen(const QPen& pen) {
        if (painterPen_ && *painterPen_ == pen) return;
        p_.setPen(pen);
        painterPen_ = pen;
    }

    // The painter's transform stays the mapped one until the window changes:
    // a page of thousands of texts and lines sets it once.
    void map() {
        if (mapped_ || ext_.width() == 0 || ext_.height() == 0) return;
        mapped_ = true;
        QTransform t = base_;
        t.translate(target_.left(), target_.top());
        t.scale(target_.width() / ext_.width(), target_.height() / ext_.height());
        t.translate(-org_.x(), -org_.y());
        p_.setWorldTransform(t);
    }

    void line(const QPointF& from, const QPointF& to) {
        if (pen_.style() == Qt::NoPen) return;
        if (!lines_.empty() && pen_ != linePen_) flush();
        linePen_ = pen_;
        lines_.append(QLineF(from, to));
    }

    // Horizontal and vertical pieces on one line that meet or overlap become
    // one; the others stay as they are.
    static QList<QLineF> joined(QList<QLineF> lines) {
        auto key = [](const QLineF& l) {
            const bool vertical = l.x1() == l.x2(), horizontal = l.y1() == l.y2();
            return std::tuple(vertical ? 0 : horizontal ? 1 : 2, vertical ? l.x1() : l.y1(),
                              vertical ? std::min(l.y1(), l.y2()) : std::min(l.x1(), l.x2()));
        };
        std::stable_sort(lines.begin(), lines.end(), [&](const QLineF& a, const QLineF& b) { return key(a) < key(b); });
        QList<QLineF> out;
        for (const QLineF& l : lines) {
            const auto [kind, at, from] = key(l);
            const qreal to = kind == 0 ? std::max(l.y1(), l.y2()) : std::max(l.x1(), l.x2());
            if (kind < 2 && !out.isEmpty()) {
                QLineF& last = out.last();
                const auto [lastKind, lastAt, lastFrom] = key(last);
                const qreal lastTo = kind == 0 ? std::max(last.y1(), last.y2()) : std::max(last.x1(), last.x2());
                if (lastKind == kind && lastAt == at && from <= lastTo) {
                    if (to > lastTo) last = kind == 0 ? QLineF(at, lastFrom, at, to) : QLineF(lastFrom, at, to, at);
                    continue;
                }
            }
            out.append(kind == 0 ? QLineF(at, from, at, to) : kind == 1 ? QLineF(from, at, to, at) : l);
        }
        return out;
    }

    void text(const wmf::Text& t) {
        if (!current_ || t.text.empty()) return;
        Glyphs& g = *current_;
        qreal width = 0;
        for (char c : t.text) {
            const auto b = static_cast<unsigned char>(c);
            g.look(b);
            width += g.advance[b];
        }
        qreal x = t.x, y = t.y;
        const uint16_t horizontal = align_ & wmf::TA_CENTER;
        if (horizontal == wmf::TA_CENTER) x -= width / 2;
        else if (horizontal == wmf::TA_RIGHT) x -= width;
        const uint16_t vertical = align_ & wmf::TA_BASELINE;
        if (vertical == wmf::TA_TOP) y += g.raw.ascent();
        else if (vertical == wmf::TA_BOTTOM) y -= g.raw.descent();

        const bool clipped = t.options & wmf::ETO_CLIPPED;
        Run clippedRun{current_, {}, {}};
        Run* run = &clippedRun;
        if (!clipped) {
            auto it = std::find_if(texts_.begin(), texts_.end(), [&](const Run& r) { return r.glyphs == current_; });
            run = it != texts_.end() ? &*it : &texts_.emplace_back(Run{current_, {}, {}});
        }
        for (char c : t.text) {
            const auto b = static_cast<unsigned char>(c);
            run->indexes.append(g.index[b]);
            run->positions.append(QPointF(x, y));
            x += g.advance[b];
        }
        if (!clipped) return;
        // A clipped text is drawn at once, in a state of its own (on the
        // page's mapping, which the state keeps).
        flush();
        map();
        p_.save();
        p_.setClipRect(QRectF(QPointF(t.clip.left, t.clip.top), QPointF(t.clip.right, t.clip.bottom)),
                       Qt::IntersectClip);
        texts_.push_back(std::move(clippedRun));
        painterPen_.reset();
        flush();
        p_.restore();
        painterPen_.reset();
    }

    QPainter& p_;
    QRectF target_;
    GlyphCache& glyphs_;
    QTransform base_;
    QPointF org_;
    QSizeF ext_;
    std::vector<Object> objects_;
    std::shared_ptr<Glyphs> current_;
    bool mapped_ = false;
    std::optional<QPen> painterPen_;  // what the painter holds
    QPen pen_{Qt::black, 0};
    QBrush brush_{Qt::white};
    uint16_t align_ = 0;
    QPointF pos_;
    std::vector<Run> texts_;  // gathered, by font
    QList<QLineF> lines_;     // gathered, all of linePen_
    QPen linePen_;
};

}  // namespace

namespace {

void play(QPainter& painter, const wmf::Metafile& page, const QRectF& target, GlyphCache& glyphs) {
    painter.save();
    Player player(painter, page, target, glyphs);
    for (const auto& r : page.records) player.play(r);
    player.flush();
    painter.restore();
}

}  // namespace

void playMetafile(QPainter& painter, const wmf::Metafile& page, const QRectF& target) {
    GlyphCache glyphs;
    play(painter, page, target, glyphs);
}

QSize naturalSize(const wmf::Metafile& page, double dpi) {
    if (page.inch == 0) return {};
    return QSize(int(page.width() * dpi / page.inch + 0.5), int(page.height() * dpi / page.inch + 0.5));
}

QImage renderPage(const Page& drawn, QSize size) {
    auto page = drawn.metafile();
    if (!page || size.isEmpty()) return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    playMetafile(p, *page, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

namespace {

// The pages onto a paged device already begun on: each page at its own size.
bool playPages(QPagedPaintDevice& device, QPainter& p, const std::vector<Page>& pages) {
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    bool firstSheet = true;
    GlyphCache glyphs;
    for (const Page& drawn : pages) {
        if (!firstSheet && !device.newPage()) return false;
        firstSheet = false;
        auto page = drawn.metafile();
        if (!page || page->inch == 0) continue;
        QSizeF size(page->width() * double(device.logicalDpiX()) / page->inch,
                    page->height() * double(device.logicalDpiY()) / page->inch);
        play(p, *page, QRectF(QPointF(0, 0), size), glyphs);
    }
    return p.end();
}

// The paper of the first page, across when it is wider than high, without margins.
void takePaperOfFirst(QPagedPaintDevice& device, const std::vector<Page>& pages) {
    auto first = pages.front().metafile();
    if (first && first->inch > 0) {
        QSizeF mm(first->width() * 25.4 / first->inch, first->height() * 25.4 / first->inch);
        bool landscape = mm.width() > mm.height();
        device.setPageSize(QPageSize(landscape ? mm.transposed() : mm, QPageSize::Millimeter, QString(),
                                     QPageSize::FuzzyMatch));
        device.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
}

}  // namespace

bool printPages(QPrinter& printer, const std::vector<Page>& pages, const std::string& title) {
    if (pages.empty()) return true;
    takePaperOfFirst(printer, pages);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setDocName(QString::fromStdString(title));
    printer.setCopyCount(1);  // copies are already in the list
    QPainter p;
    if (!p.begin(&printer)) return false;
    return playPages(printer, p, pages);
}

// Written by the PDF writer itself: a printer would first load the print
// support it does not need for a file.
bool savePdf(const std::string& file, const std::vector<Page>& pages, const std::string& title) {
    QPdfWriter writer(QString::fromStdString(file));
    writer.setResolution(1200);
    writer.setTitle(QString::fromStdString(title));
    if (pages.empty()) return true;
    takePaperOfFirst(writer, pages);
    QPainter p;
    if (!p.begin(&writer)) return false;
    return playPages(writer, p, pages);
}

}  // namespace marel
