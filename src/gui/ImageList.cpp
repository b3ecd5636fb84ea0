#include "gui/ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

constexpr int kSize = 16;

QIcon drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A rounded tile with a short label: the file-type icons tell the types apart by colour
// and letters.
QIcon badge(const QColor& colour, const QString& label) {
    return drawn([&](QPainter& p) {
        p.setPen(colour.darker(140));
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(0.5, 0.5, kSize - 1, kSize - 1), 3, 3);
        QFont font;
        font.setPixelSize(label.size() > 2 ? 6 : 8);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, label);
    });
}

// A flag of horizontal bands, top to bottom.
QIcon bands(const QList<QColor>& colours, const QList<int>& heights) {
    return drawn([&](QPainter& p) {
        int y = 2;
        for (qsizetype i = 0; i < colours.size(); ++i) {
            p.fillRect(QRect(1, y, kSize - 2, heights[i]), colours[i]);
            y += heights[i];
        }
    });
}

} // namespace

void PaintUnionFlag(QPainter& p, const QRectF& r) {
    const QColor blue(0x01, 0x21, 0x69), red(0xc8, 0x10, 0x2e);
    p.save();
    p.setClipRect(r);
    p.translate(r.topLeft());
    p.scale(r.width() / 60, r.height() / 30); // drawn on the flag's own 60 by 30 grid
    p.fillRect(QRectF(0, 0, 60, 30), blue);
    const auto saltire = [&p] {
        p.drawLine(QLineF(0, 0, 60, 30));
        p.drawLine(QLineF(60, 0, 0, 30));
    };
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::FlatCap));
    saltire();
    // The red saltire lies off the centre of the white, turning clockwise around the flag.
    QPainterPath turn;
    turn.addPolygon(QPolygonF({{30, 15}, {60, 15}, {60, 30}}));
    turn.addPolygon(QPolygonF({{30, 15}, {30, 30}, {0, 30}}));
    turn.addPolygon(QPolygonF({{30, 15}, {0, 15}, {0, 0}}));
    turn.addPolygon(QPolygonF({{30, 15}, {30, 0}, {60, 0}}));
    p.save();
    p.setClipPath(turn, Qt::IntersectClip);
    p.setPen(QPen(red, 4, Qt::SolidLine, Qt::FlatCap));
    saltire();
    p.restore();
    p.fillRect(QRectF(25, 0, 10, 30), Qt::white);
    p.fillRect(QRectF(0, 10, 60, 10), Qt::white);
    p.fillRect(QRectF(27, 0, 6, 30), red);
    p.fillRect(QRectF(0, 12, 60, 6), red);
    p.restore();
}

ImageList::ImageList() {
    blank_ = drawn([](QPainter&) {});
    icons_[Acc] = badge(QColor(0x8e, 0x44, 0xad), QStringLiteral("AAC"));
    icons_[Mp3] = badge(QColor(0x27, 0x6f, 0xbf), QStringLiteral("M"));
    icons_[Wav] = badge(QColor(0x2e, 0x8b, 0x57), QStringLiteral("W"));
    icons_[Mpeg4] = badge(QColor(0xd3, 0x54, 0x00), QStringLiteral("4"));
    icons_[Movie] = badge(QColor(0x55, 0x55, 0x55), QStringLiteral("\u25b6"));

    icons_[Exit] = drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0xb0, 0x20, 0x20), 2));
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
    });
    icons_[StartCopy] = drawn([](QPainter& p) {
        p.setPen(QColor(0x1f, 0x5f, 0x9f));
        p.setBrush(QColor(0xd6, 0xe6, 0xf5));
        p.drawRect(1, 1, 9, 10);
        p.drawRect(5, 4, 9, 10);
    });
    icons_[CopyToPlayer] = drawn([](QPainter& p) {
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.setBrush(QColor(0xee, 0xee, 0xee));
        p.drawRoundedRect(QRectF(4, 1, 8, 14), 2, 2);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 10.5), 2.5, 2.5);
        p.fillRect(QRect(5, 3, 6, 4), QColor(0x7f, 0xb0, 0xe0));
    });
    icons_[LanguageEnglish] =
        drawn([](QPainter& p) { PaintUnionFlag(p, QRectF(1, 3, kSize - 2, 10)); });
    icons_[LanguageGerman] =
        bands({Qt::black, QColor(0xdd, 0x00, 0x00), QColor(0xff, 0xce, 0x00)}, {4, 4, 4});
    icons_[LanguageSpanish] = bands(
        {QColor(0xaa, 0x15, 0x1b), QColor(0xf1, 0xbf, 0x00), QColor(0xaa, 0x15, 0x1b)}, {3, 6, 3});
    icons_[HelpDoc] = badge(QColor(0x1f, 0x7a, 0xc4), QStringLiteral("?"));
    icons_[WebLink] = drawn([](QPainter& p) {
        p.setPen(QColor(0x1f, 0x6f, 0x3f));
        p.setBrush(QColor(0xc9, 0xee, 0xd6));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    });
    icons_[Donate] = drawn([](QPainter& p) {
        QPainterPath heart;
        heart.moveTo(8, 14);
        heart.cubicTo(0, 8, 2, 1, 8, 5);
        heart.cubicTo(14, 1, 16, 8, 8, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd0, 0x30, 0x50));
        p.drawPath(heart);
    });
    icons_[About] = badge(QColor(0x60, 0x70, 0x80), QStringLiteral("i"));
}
