#include "screens/info/infoartwork.h"

#include "platform/widgets/fonts.h"
#include "ui/artwork.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velmoran {

namespace {

const QColor kNavy(0x1d, 0x3b, 0x6e);
const QColor kGold(0xd9, 0xa4, 0x2b);
const QColor kCream(0xfb, 0xf6, 0xe9);

// A key lying across, its bow at `bow`, its length `length`.
void paintKey(QPainter& p, QPointF bow, qreal length, const QColor& colour) {
    p.setPen(QPen(colour, length * 0.08, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(bow, length * 0.16, length * 0.16);
    const QPointF shaftStart(bow.x() + length * 0.16, bow.y());
    const QPointF shaftEnd(bow.x() + length * 0.9, bow.y());
    p.drawLine(shaftStart, shaftEnd);
    p.drawLine(QPointF(shaftEnd.x() - length * 0.02, bow.y()),
               QPointF(shaftEnd.x() - length * 0.02, bow.y() + length * 0.14));
    p.drawLine(QPointF(shaftEnd.x() - length * 0.16, bow.y()),
               QPointF(shaftEnd.x() - length * 0.16, bow.y() + length * 0.1));
}

// A letter: an envelope with its flap.
void paintEnvelope(QPainter& p, const QRectF& r, const QColor& paper, const QColor& line) {
    p.setPen(QPen(line, std::max<qreal>(1.0, r.width() / 40)));
    p.setBrush(paper);
    p.drawRect(r);
    p.drawPolyline(QPolygonF(
        {r.topLeft(), QPointF(r.center().x(), r.top() + r.height() * 0.55), r.topRight()}));
}

void paintHouse(QPainter& p, const QRectF& r, const QColor& walls, const QColor& roof) {
    p.setPen(Qt::NoPen);
    p.setBrush(walls);
    p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.45, r.width() * 0.7,
                      r.height() * 0.55));
    p.setBrush(roof);
    p.drawPolygon(
        QPolygonF({QPointF(r.left(), r.top() + r.height() * 0.5), QPointF(r.center().x(), r.top()),
                   QPointF(r.right(), r.top() + r.height() * 0.5)}));
    p.setBrush(roof.darker(140));
    p.drawRect(QRectF(r.center().x() - r.width() * 0.1, r.top() + r.height() * 0.7, r.width() * 0.2,
                      r.height() * 0.3));
}

} // namespace

QPixmap makerLogotype() {
    QPixmap logo(kLogotypeWidth, kLogotypeHeight);
    logo.fill(kCream);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);

    // A gold frame with rounded corners.
    p.setPen(QPen(kGold, 6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8, 8, kLogotypeWidth - 16, kLogotypeHeight - 16), 24, 24);

    // The roof over the key.
    p.setPen(QPen(kNavy, 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(88, 118), QPointF(183, 40), QPointF(278, 118)}));
    p.setPen(QPen(kNavy, 10, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(238, 58), QPointF(238, 86)); // chimney
    paintKey(p, QPointF(130, 112), 120, kGold);

    // The maker's name, in Persian and beneath it in Latin letters.
    QFont name = designFont(QStringLiteral("B Titr"), 30, true);
    name.setPixelSize(54);
    p.setFont(name);
    p.setPen(kNavy);
    p.drawText(QRectF(16, 140, kLogotypeWidth - 32, 80), Qt::AlignCenter, makerName());
    QFont latin = designFont(QStringLiteral("Arial"), 14, true);
    latin.setPixelSize(22);
    latin.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    p.setFont(latin);
    p.setPen(kGold.darker(130));
    p.drawText(QRectF(16, 222, kLogotypeWidth - 32, 36), Qt::AlignCenter,
               QStringLiteral("VELMORAN"));
    p.end();
    return logo;
}

QPixmap aboutIcon() {
    // Drawn without smoothing in colours of the 16-colour palette, then kept
    // to those 16 colours.
    QImage image(kAboutIconSize, kAboutIconSize, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 128));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawRect(0, 24, 32, 8);
    paintHouse(p, QRectF(4, 4, 24, 24), QColor(255, 255, 255), QColor(255, 0, 0));
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(24, 3, 4, 4); // a star over the roof
    p.end();
    QList<QRgb> palette;
    for (int i = 0; i < 16; ++i) {
        const int high = (i & 8) ? 255 : 128;
        palette << qRgb((i & 4) ? high : 0, (i & 2) ? high : 0, (i & 1) ? high : 0);
    }
    palette[7] = qRgb(192, 192, 192);
    palette[8] = qRgb(128, 128, 128);
    return QPixmap::fromImage(
        image.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither));
}

QPixmap contactPicture() {
    QPixmap picture(kContactPictureWidth, kContactPictureHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 0, kContactPictureHeight);
    band.setColorAt(0.0, QColor(0x3a, 0x7b, 0xd5));
    band.setColorAt(1.0, kNavy);
    p.fillRect(picture.rect(), band);

    paintEnvelope(p, QRectF(25, 24, 100, 64), kCream, kNavy);

    p.setPen(QPen(kGold, 4));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QPointF(75, 138), 34, 34);
    QFont at = designFont(QStringLiteral("Arial"), 30, true);
    at.setPixelSize(48);
    p.setFont(at);
    p.setPen(kCream);
    p.drawText(QRectF(41, 104, 68, 68), Qt::AlignCenter, QStringLiteral("@"));

    paintHouse(p, QRectF(35, 188, 80, 56), kCream, kGold);
    p.end();
    return picture;
}

QIcon contactIcon() {
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3a, 0x7b, 0xd5));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    paintEnvelope(p, QRectF(5, 9, 22, 14), kCream, kNavy);
    p.end();
    return QIcon(icon);
}

} // namespace velmoran
