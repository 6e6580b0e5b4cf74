#include "preview/WmfPlayer.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <optional>

#include "common/Text.h"

namespace marel {

namespace {

struct Object {
    enum Kind { None, Font, Pen, Brush } kind = None;
    QFont font;
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

class Player {
public:
    Player(QPainter& p, const wmf::Metafile& m, const QRectF& target) : p_(p), target_(target) {
        org_ = QPointF(m.bounds.left, m.bounds.top);
        ext_ = QSizeF(m.width(), m.height());
        base_ = p.worldTransform();
        font_ = qtFont({});
    }

    void play(const wmf::Record& r) {
        using namespace wmf;
        switch (r.function) {
            case META_SETWINDOWORG:
                org_ = QPointF(r.word(1), r.word(0));
                mapped_ = false;
                break;
            case META_SETWINDOWEXT:
                ext_ = QSizeF(r.word(1), r.word(0));
                mapped_ = false;
                break;
            case META_SETTEXTALIGN: align_ = uint16_t(r.word(0)); break;
            case META_CREATEFONTINDIRECT:
                if (auto f = fontOf(r)) place({Object::Font, qtFont(*f), {}, {}});
                break;
            case META_CREATEPENINDIRECT:
                if (auto pen = penOf(r)) {
                    QPen q = pen->style == PS_NULL ? QPen(Qt::NoPen) : QPen(colour(pen->colour), pen->width);
                    place({Object::Pen, {}, q, {}});
                }
                break;
            case META_CREATEBRUSHINDIRECT:
                if (auto b = brushOf(r)) place({Object::Brush, {}, {}, b->style == BS_NULL ? QBrush() : QBrush(colour(b->colour))});
                break;
            case META_SELECTOBJECT: select(r.word(0)); break;
            case META_DELETEOBJECT:
                if (r.word(0) >= 0 && size_t(r.word(0)) < objects_.size()) objects_[size_t(r.word(0))] = {};
                break;
            case META_MOVETO: pos_ = QPointF(r.word(1), r.word(0)); break;
            case META_LINETO: {
                QPointF to(r.word(1), r.word(0));
                map();
                p_.setPen(pen_);
                textPen_ = false;
                p_.drawLine(pos_, to);
                pos_ = to;
                break;
            }
            case META_RECTANGLE:
                if (auto rect = rectangleOf(r)) {
                    map();
                    p_.setPen(pen_);
                    textPen_ = false;
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

private:
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
        if (o.kind == Object::Font) {
            font_ = o.font;
            metrics_.reset();
            fontSet_ = false;
        }
        if (o.kind == Object::Pen) pen_ = o.pen;
        if (o.kind == Object::Brush) brush_ = o.brush;
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

    void text(const wmf::Text& t) {
        map();
        QString s = QString::fromStdString(fromCp1250(t.text));
        if (!metrics_) metrics_.emplace(font_);
        const QFontMetricsF& fm = *metrics_;
        qreal x = t.x, y = t.y;
        uint16_t horizontal = align_ & wmf::TA_CENTER;
        if (horizontal == wmf::TA_CENTER) x -= fm.horizontalAdvance(s) / 2;
        else if (horizontal == wmf::TA_RIGHT) x -= fm.horizontalAdvance(s);
        uint16_t vertical = align_ & wmf::TA_BASELINE;
        if (vertical == wmf::TA_TOP) y += fm.ascent();
        else if (vertical == wmf::TA_BOTTOM) y -= fm.descent();
        // Only a clipped text needs a state of its own; saving and restoring
        // the painter for every text makes a PDF of many pages slow and big.
        const bool clipped = t.options & wmf::ETO_CLIPPED;
        if (clipped) {
            p_.save();
            p_.setClipRect(QRectF(QPointF(t.clip.left, t.clip.top), QPointF(t.clip.right, t.clip.bottom)),
                           Qt::IntersectClip);
        }
        if (!fontSet_ || clipped) p_.setFont(font_);
        if (!textPen_ || clipped) p_.setPen(Qt::black);
        p_.drawText(QPointF(x, y), s);
        if (clipped) {
            p_.restore();
        } else {
            fontSet_ = textPen_ = true;
        }
    }

    QPainter& p_;
    QRectF target_;
    QTransform base_;
    QPointF org_;
    QSizeF ext_;
    std::vector<Object> objects_;
    QFont font_;
    std::optional<QFontMetricsF> metrics_;
    bool mapped_ = false;
    bool fontSet_ = false, textPen_ = false;  // the painter holds the text's font and pen
    QPen pen_{Qt::black, 0};
    QBrush brush_{Qt::white};
    uint16_t align_ = 0;
    QPointF pos_;
};

}  // namespace

void playMetafile(QPainter& painter, const wmf::Metafile& page, const QRectF& target) {
    painter.save();
    Player player(painter, page, target);
    for (const auto& r : page.records) player.play(r);
    painter.restore();
}

QSize naturalSize(const wmf::Metafile& page, double dpi) {
    if (page.inch == 0) return {};
    return QSize(int(page.width() * dpi / page.inch + 0.5), int(page.height() * dpi / page.inch + 0.5));
}

QImage renderPage(const std::string& file, QSize size) {
    auto page = wmf::Metafile::load(file);
    if (!page || size.isEmpty()) return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    playMetafile(p, *page, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

bool printPages(QPrinter& printer, const std::vector<std::string>& pages, const std::string& title) {
    if (pages.empty()) return true;
    auto first = wmf::Metafile::load(pages.front());
    if (first && first->inch > 0) {
        QSizeF mm(first->width() * 25.4 / first->inch, first->height() * 25.4 / first->inch);
        bool landscape = mm.width() > mm.height();
        printer.setPageSize(QPageSize(landscape ? mm.transposed() : mm, QPageSize::Millimeter, QString(),
                                      QPageSize::FuzzyMatch));
        printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setDocName(QString::fromStdString(title));
    printer.setCopyCount(1);  // copies are already in the list
    QPainter p;
    if (!p.begin(&printer)) return false;
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    bool firstSheet = true;
    for (const auto& file : pages) {
        if (!firstSheet && !printer.newPage()) return false;
        firstSheet = false;
        auto page = wmf::Metafile::load(file);
        if (!page || page->inch == 0) continue;
        QSizeF size(page->width() * double(printer.logicalDpiX()) / page->inch,
                    page->height() * double(printer.logicalDpiY()) / page->inch);
        playMetafile(p, *page, QRectF(QPointF(0, 0), size));
    }
    return p.end();
}

bool savePdf(const std::string& file, const std::vector<std::string>& pages, const std::string& title) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file));
    return printPages(printer, pages, title);
}

}  // namespace marel
