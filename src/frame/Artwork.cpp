#include "frame/Artwork.h"

#include <QCoreApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <map>
#include <span>
#include <vector>

namespace marel::artwork {

#ifdef MAREL_DRAWN_PICTURES
// Written by the build (frame/artwork/DrawPictures.cpp) with the drawing code
// below: the program starts with the pixels instead of drawing them.
extern const unsigned char drawnPictures[];
#endif

namespace {

// Every picture is drawn on a 64 x 64 grid and rendered at each icon size.
const QColor NAVY(0x1f, 0x4e, 0x79), BLUE(0x2e, 0x75, 0xb6), PALE(0xdb, 0xe9, 0xf7), SKY(0x9d, 0xc3, 0xe6);
const QColor GOLD(0xf2, 0xc1, 0x4e), BRONZE(0xa8, 0x7a, 0x12), GREEN(0x70, 0xad, 0x47), DARKGREEN(0x38, 0x57, 0x23);
const QColor PAPER(0xfd, 0xfd, 0xfb), INK(0x7f, 0x8c, 0x99), RED(0xc0, 0x39, 0x2b);

// One size of a picture, drawn into an image as into a transparent pixmap:
// the same pixels.
QImage render(void (*draw)(QPainter&), int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    draw(p);
    return image;
}

QPen outline(const QColor& c, double width = 2) { return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A sheet of paper with a folded corner, the base of the two form icons.
void page(QPainter& p, const QRectF& r) {
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - 12, r.top());
    sheet.lineTo(r.right(), r.top() + 12);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(outline(INK));
    p.setBrush(PAPER);
    p.drawPath(sheet);
    p.setBrush(PALE);
    p.drawPolygon(QPolygonF{{r.right() - 12, r.top()}, {r.right() - 12, r.top() + 12}, {r.right(), r.top() + 12}});
}

void textLines(QPainter& p, double x, double y, double width, int count) {
    p.setPen(outline(SKY, 2.5));
    for (int i = 0; i < count; ++i) p.drawLine(QPointF(x, y + i * 7), QPointF(x + (i % 3 == 2 ? width * 0.6 : width), y + i * 7));
}

void drawProgram(QPainter& p) {
    QLinearGradient g(0, 4, 0, 60);
    g.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    g.setColorAt(1, NAVY);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    p.setPen(outline(Qt::white, 7));
    p.drawPolyline(QPolygonF{{17, 44}, {17, 18}, {32, 34}, {47, 18}, {47, 44}});
    p.setPen(outline(GOLD, 4));
    p.drawLine(QPointF(17, 52), QPointF(47, 52));
}

void drawPayers(QPainter& p) {
    p.setPen(outline(NAVY));
    p.setBrush(SKY);
    p.drawRect(QRectF(40, 26, 18, 32));
    p.setBrush(BLUE);
    p.drawRect(QRectF(8, 8, 34, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(PALE);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) p.drawRect(QRectF(13 + col * 10, 13 + row * 9, 5, 5));
    for (int row = 0; row < 3; ++row) p.drawRect(QRectF(46, 32 + row * 8, 6, 4));
    p.setBrush(NAVY);
    p.drawRect(QRectF(21, 47, 8, 11));
    p.setPen(outline(NAVY, 3));
    p.drawLine(QPointF(3, 59), QPointF(61, 59));
}

void person(QPainter& p, const QPointF& head, double r, const QColor& fill) {
    p.setPen(outline(NAVY));
    p.setBrush(fill);
    p.save();
    p.setClipRect(QRectF(0, 0, 64, 60));
    p.drawEllipse(QRectF(head.x() - r * 1.9, head.y() + r * 1.25, r * 3.8, r * 4));
    p.restore();
    p.drawEllipse(head, r, r);
}

void drawRecipients(QPainter& p) {
    person(p, {42, 17}, 8, SKY);
    person(p, {24, 25}, 9.5, BLUE);
}

void drawPayments(QPainter& p) {
    p.save();
    p.translate(26, 26);
    p.rotate(-12);
    p.setPen(outline(DARKGREEN));
    p.setBrush(GREEN);
    p.drawRoundedRect(QRectF(-22, -13, 44, 26), 3, 3);
    p.setBrush(QColor(0xc5, 0xe0, 0xb4));
    p.drawEllipse(QPointF(0, 0), 7, 7);
    p.setPen(outline(QColor(0xc5, 0xe0, 0xb4), 2));
    p.drawLine(QPointF(-17, -8), QPointF(-12, -8));
    p.drawLine(QPointF(12, 8), QPointF(17, 8));
    p.restore();
    p.setPen(outline(BRONZE));
    p.setBrush(GOLD);
    for (int i = 0; i < 4; ++i) p.drawEllipse(QRectF(32, 50 - i * 6, 26, 10));
}

void drawCertificates(QPainter& p) {
    page(p, QRectF(10, 4, 40, 54));
    textLines(p, 16, 20, 26, 3);
    p.setPen(outline(RED));
    p.setBrush(RED);
    p.drawPolygon(QPolygonF{{37, 48}, {33, 61}, {38, 58}, {41, 62}, {43, 49}});
    p.drawPolygon(QPolygonF{{45, 48}, {49, 61}, {44, 58}, {41, 62}, {40, 49}});
    p.setPen(outline(BRONZE));
    p.setBrush(GOLD);
    p.drawEllipse(QPointF(41, 44), 9, 9);
    p.setPen(outline(BRONZE, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(41, 44), 5, 5);
}

void drawJoppd(QPainter& p) {
    page(p, QRectF(6, 4, 40, 54));
    p.setPen(Qt::NoPen);
    p.setBrush(BLUE);
    p.drawRect(QRectF(11, 10, 22, 6));
    textLines(p, 11, 23, 28, 3);
    p.setPen(outline(NAVY));
    p.setBrush(NAVY);
    p.drawRoundedRect(QRectF(28, 38, 32, 20), 4, 4);
    p.setPen(outline(Qt::white, 2.5));
    p.drawPolyline(QPolygonF{{37, 43}, {33, 48}, {37, 53}});
    p.drawPolyline(QPolygonF{{51, 43}, {55, 48}, {51, 53}});
    p.drawLine(QPointF(46, 42), QPointF(42, 54));
}

// Every picture at every size its icon offers, in this order, is what the
// build draws ahead.
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr std::span<const int> kIconSizes(kSizes, 5), kProgramSizes(kSizes);

struct Picture {
    void (*draw)(QPainter&);
    std::span<const int> sizes;
};

constexpr Picture pictures[] = {
    {drawProgram, kProgramSizes},   {drawPayers, kIconSizes},   {drawRecipients, kIconSizes},
    {drawPayments, kIconSizes},     {drawCertificates, kIconSizes}, {drawJoppd, kIconSizes},
};

#ifdef MAREL_DRAWN_PICTURES
std::vector<QImage> images(const Picture& picture) {
    const unsigned char* at = drawnPictures;
    for (const Picture& before : pictures) {
        if (&before == &picture) break;
        for (int size : before.sizes) at += std::size_t(size) * size * 4;
    }
    std::vector<QImage> out;
    for (int size : picture.sizes) {
        out.emplace_back(at, size, size, size * 4, QImage::Format_ARGB32_Premultiplied);
        at += std::size_t(size) * size * 4;
    }
    return out;
}
#else
std::vector<QImage> images(const Picture& picture) {
    std::vector<QImage> out;
    for (int size : picture.sizes) out.push_back(render(picture.draw, size));
    return out;
}
#endif

// The icons, made once while the application lives (the frame's menus and
// tool bar and the windows' icons share them).
QIcon drawnOnce(const Picture& picture) {
    struct Made : QObject {
        std::map<const Picture*, QIcon> icons;
    };
    static QPointer<Made> made;
    if (!made) {
        // Goes with the application, before the pixmaps would outlive it.
        made = new Made;
        made->setParent(QCoreApplication::instance());
    }
    auto [at, added] = made->icons.try_emplace(&picture);
    if (added)
        for (const QImage& image : images(picture)) at->second.addPixmap(QPixmap::fromImage(image));
    return at->second;
}

}  // namespace

QIcon program() { return drawnOnce(pictures[0]); }
QIcon payers() { return drawnOnce(pictures[1]); }
QIcon recipients() { return drawnOnce(pictures[2]); }
QIcon payments() { return drawnOnce(pictures[3]); }
QIcon certificates() { return drawnOnce(pictures[4]); }
QIcon joppd() { return drawnOnce(pictures[5]); }

QByteArray drawAll() {
    QByteArray bytes;
    for (const Picture& picture : pictures)
        for (int size : picture.sizes) {
            const QImage image = render(picture.draw, size);
            for (int y = 0; y < size; ++y) bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), size * 4);
        }
    return bytes;
}

void paintBackground(QPainter& p, const QRect& area) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0xf5, 0xf8, 0xfc));
    sky.setColorAt(1, QColor(0xd6, 0xe3, 0xf0));
    p.fillRect(area, sky);

    // The name sits low on the right, where windows seldom cover it.
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    int size = std::clamp(area.width() / 9, 36, 120);
    QFont name(QStringLiteral("Liberation Sans"));
    name.setPixelSize(size);
    name.setBold(true);
    name.setLetterSpacing(QFont::PercentageSpacing, 110);
    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(std::max(13, size / 5));
    QRect box = area.adjusted(0, 0, -size / 2, -size / 2);
    int lineHeight = QFontMetrics(line).height();
    p.setPen(QColor(0x1f, 0x4e, 0x79, 60));
    p.setFont(name);
    p.drawText(box.adjusted(0, 0, 0, -lineHeight - size / 8), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("MAREL"));
    p.setPen(QColor(0x1f, 0x4e, 0x79, 110));
    p.setFont(line);
    p.drawText(box, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Isplate drugog dohotka  ·  JOPPD  ·  potvrde"));
}

}  // namespace marel::artwork
