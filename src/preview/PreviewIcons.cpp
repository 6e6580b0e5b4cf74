#include "preview/PreviewIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace marel::previewIcons {

namespace {

const QColor INK(0x2b, 0x3a, 0x55), ACCENT(0x2f, 0x7d, 0xd1), PAPER(Qt::white), RED(0xc0, 0x39, 0x2b),
    GREEN(0x2e, 0x8b, 0x57);

void sheet(QPainter& p, QRectF r) {
    p.setPen(QPen(INK, 1.2));
    p.setBrush(PAPER);
    p.drawRect(r);
    p.setPen(QPen(QColor(0x9a, 0xa5, 0xb5), 1));
    for (qreal y = r.top() + 4; y < r.bottom() - 2; y += 3) p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void printer(QPainter& p) {
    sheet(p, QRectF(7, 2.5, 10, 8));
    p.setPen(QPen(INK, 1.2));
    p.setBrush(QColor(0xd5, 0xdb, 0xe5));
    p.drawRoundedRect(QRectF(3, 9.5, 18, 8), 2, 2);
    p.setBrush(PAPER);
    p.drawRect(QRectF(7, 15, 10, 6));
    p.setBrush(GREEN);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(18, 12.5), 1.1, 1.1);
}

void triangle(QPainter& p, qreal x, bool right) {
    QPainterPath path;
    if (right) {
        path.moveTo(x, 5);
        path.lineTo(x + 9, 12);
        path.lineTo(x, 19);
    } else {
        path.moveTo(x + 9, 5);
        path.lineTo(x, 12);
        path.lineTo(x + 9, 19);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ACCENT);
    p.drawPath(path);
}

void bar(QPainter& p, qreal x) {
    p.setPen(Qt::NoPen);
    p.setBrush(ACCENT);
    p.drawRect(QRectF(x, 5, 2.5, 14));
}

void disk(QPainter& p, QPointF at) {
    p.setPen(QPen(INK, 1.2));
    p.setBrush(ACCENT);
    p.drawRoundedRect(QRectF(at, QSizeF(14, 14)), 1.5, 1.5);
    p.setBrush(PAPER);
    p.drawRect(QRectF(at + QPointF(3, 1), QSizeF(8, 5)));
    p.setBrush(QColor(0xd5, 0xdb, 0xe5));
    p.drawRect(QRectF(at + QPointF(3, 9), QSizeF(8, 5)));
}

void draw(QPainter& p, Kind kind) {
    switch (kind) {
        case Kind::Print: printer(p); break;
        case Kind::PrintPage:
            printer(p);
            p.setPen(QPen(RED, 1.6));
            p.setFont(QFont(QStringLiteral("Liberation Sans"), 7, QFont::Bold));
            p.drawText(QRectF(7, 14, 10, 8), Qt::AlignCenter, QStringLiteral("1"));
            break;
        case Kind::Leave:
            p.setPen(QPen(INK, 1.4));
            p.setBrush(QColor(0xd5, 0xdb, 0xe5));
            p.drawRect(QRectF(3, 3, 11, 18));
            p.setPen(QPen(RED, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(10, 12), QPointF(21, 12));
            p.drawLine(QPointF(17, 8), QPointF(21, 12));
            p.drawLine(QPointF(17, 16), QPointF(21, 12));
            break;
        case Kind::Jump:
            sheet(p, QRectF(3, 3, 13, 18));
            p.setPen(QPen(ACCENT, 2));
            p.setFont(QFont(QStringLiteral("Liberation Sans"), 9, QFont::Bold));
            p.drawText(QRectF(10, 8, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
            break;
        case Kind::First: bar(p, 4); triangle(p, 8, false); break;
        case Kind::Previous: triangle(p, 7, false); break;
        case Kind::Next: triangle(p, 8, true); break;
        case Kind::Last: triangle(p, 7, true); bar(p, 17.5); break;
        case Kind::Thumbnails:
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 2; ++c) sheet(p, QRectF(3 + c * 10, 2 + r * 11, 8, 9));
            break;
        case Kind::SavePage: disk(p, QPointF(5, 5)); break;
        case Kind::SaveAll: disk(p, QPointF(2, 2)); disk(p, QPointF(8, 8)); break;
        case Kind::Pdf:
            sheet(p, QRectF(4, 2, 16, 20));
            p.setPen(Qt::NoPen);
            p.setBrush(RED);
            p.drawRect(QRectF(2, 12, 20, 8));
            p.setPen(PAPER);
            p.setFont(QFont(QStringLiteral("Liberation Sans"), 5, QFont::Bold));
            p.drawText(QRectF(2, 12, 20, 8), Qt::AlignCenter, QStringLiteral("PDF"));
            break;
        case Kind::Delete:
            sheet(p, QRectF(4, 2, 13, 18));
            p.setPen(QPen(RED, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(12, 12), QPointF(20, 20));
            p.drawLine(QPointF(20, 12), QPointF(12, 20));
            break;
        case Kind::Mark:
            sheet(p, QRectF(4, 2, 13, 18));
            p.setPen(QPen(GREEN, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(10, 15), QPointF(14, 19), QPointF(21, 9)}));
            break;
        case Kind::Zoom:
            p.setPen(QPen(INK, 2));
            p.setBrush(PAPER);
            p.drawEllipse(QPointF(10, 10), 6, 6);
            p.setPen(QPen(INK, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
            p.setPen(QPen(ACCENT, 1.6));
            p.drawLine(QPointF(7, 10), QPointF(13, 10));
            p.drawLine(QPointF(10, 7), QPointF(10, 13));
            break;
    }
}

}  // namespace

QIcon icon(Kind kind) {
    QIcon result;
    for (int size : {24, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 24.0, size / 24.0);
        draw(p, kind);
        p.end();
        result.addPixmap(pm);
    }
    return result;
}

}  // namespace marel::previewIcons
