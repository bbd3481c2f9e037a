#include "ui/artwork.h"

#include "platform/widgets/fonts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velmoran {

QString makerName() {
    return QStringLiteral("ولمو رانك");
}

namespace {

void paintSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, 380);
    sky.setColorAt(0.0, QColor(0x2f, 0x6f, 0xb8));
    sky.setColorAt(0.6, QColor(0x8e, 0xc3, 0xea));
    sky.setColorAt(1.0, QColor(0xf4, 0xe2, 0xc0));
    p.fillRect(0, 0, kBackgroundWidth, kBackgroundHeight, sky);

    QRadialGradient sun(640, 110, 90);
    sun.setColorAt(0.0, QColor(255, 250, 210));
    sun.setColorAt(0.45, QColor(255, 226, 120));
    sun.setColorAt(0.55, QColor(255, 210, 110, 120));
    sun.setColorAt(1.0, QColor(255, 200, 100, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(640, 110), 90, 90);

    p.setBrush(QColor(255, 255, 255, 200));
    const QPointF clouds[] = {{150, 90}, {190, 80}, {230, 95}, {420, 150}, {455, 140}, {490, 152}};
    for (const QPointF& c : clouds) {
        p.drawEllipse(c, 38, 18);
    }
}

void paintMountains(QPainter& p) {
    QPainterPath far;
    far.moveTo(0, 330);
    far.lineTo(110, 230);
    far.lineTo(190, 290);
    far.lineTo(300, 200);
    far.lineTo(420, 300);
    far.lineTo(540, 220);
    far.lineTo(680, 310);
    far.lineTo(760, 250);
    far.lineTo(826, 290);
    far.lineTo(826, 380);
    far.lineTo(0, 380);
    far.closeSubpath();
    QLinearGradient rock(0, 200, 0, 380);
    rock.setColorAt(0.0, QColor(0x7d, 0x8a, 0xa8));
    rock.setColorAt(1.0, QColor(0xa9, 0xb6, 0xc9));
    p.setBrush(rock);
    p.drawPath(far);

    p.setBrush(QColor(250, 250, 255, 230));
    const QPolygonF caps[] = {
        QPolygonF({QPointF(300, 200), QPointF(278, 220), QPointF(300, 215), QPointF(322, 220)}),
        QPolygonF({QPointF(540, 220), QPointF(520, 238), QPointF(540, 232), QPointF(560, 236)}),
    };
    for (const QPolygonF& cap : caps) {
        p.drawPolygon(cap);
    }
}

// A band of hills from the left edge to the right one, filled to the bottom:
// its left height, two curves through the given points, a green gradient.
struct Hill {
    qreal left;
    QPointF curve[6];
    qreal gradientTop;
    QColor top;
    QColor bottom;
};

const Hill kHills[] = {
    {380,
     {{180, 320}, {360, 400}, {520, 350}, {660, 310}, {760, 350}, {826, 340}},
     320,
     QColor(0x86, 0xb9, 0x5a),
     QColor(0x5b, 0x8f, 0x3c)},
    {470,
     {{200, 420}, {420, 500}, {620, 455}, {720, 435}, {790, 450}, {826, 460}},
     420,
     QColor(0x5f, 0x9e, 0x3e),
     QColor(0x3c, 0x6e, 0x2a)},
};

void paintHills(QPainter& p) {
    for (const Hill& hill : kHills) {
        QPainterPath path;
        path.moveTo(0, hill.left);
        path.cubicTo(hill.curve[0], hill.curve[1], hill.curve[2]);
        path.cubicTo(hill.curve[3], hill.curve[4], hill.curve[5]);
        path.lineTo(kBackgroundWidth, kBackgroundHeight);
        path.lineTo(0, kBackgroundHeight);
        path.closeSubpath();
        QLinearGradient green(0, hill.gradientTop, 0, kBackgroundHeight);
        green.setColorAt(0.0, hill.top);
        green.setColorAt(1.0, hill.bottom);
        p.setBrush(green);
        p.drawPath(path);
    }

    QPainterPath road;
    road.moveTo(262, 420);
    road.cubicTo(250, 480, 330, 520, 300, 590);
    road.lineTo(360, 590);
    road.cubicTo(380, 520, 290, 480, 282, 420);
    road.closeSubpath();
    p.setBrush(QColor(0xe6, 0xd3, 0xa8));
    p.drawPath(road);
}

void paintTree(QPainter& p, QPointF base, qreal size) {
    p.setBrush(QColor(0x6b, 0x47, 0x2c));
    p.drawRect(QRectF(base.x() - size * 0.08, base.y() - size * 0.6, size * 0.16, size * 0.6));
    p.setBrush(QColor(0x2f, 0x6b, 0x2a));
    p.drawEllipse(QPointF(base.x(), base.y() - size * 0.85), size * 0.38, size * 0.42);
    p.setBrush(QColor(0x3f, 0x84, 0x35));
    p.drawEllipse(QPointF(base.x() - size * 0.12, base.y() - size * 0.95), size * 0.22,
                  size * 0.24);
}

void paintHouse(QPainter& p) {
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x26), 2));
    p.setBrush(QColor(0x9a, 0x5b, 0x3c));
    p.drawRect(QRectF(305, 250, 22, 50)); // chimney

    p.setBrush(QColor(0xf3, 0xe3, 0xc3));
    p.drawRect(QRectF(190, 320, 170, 105)); // walls

    QPolygonF roof({QPointF(172, 324), QPointF(275, 250), QPointF(378, 324)});
    p.setBrush(QColor(0xb5, 0x45, 0x2a));
    p.drawPolygon(roof);

    p.setBrush(QColor(0x7a, 0x4a, 0x2a));
    p.drawRect(QRectF(260, 365, 32, 60)); // door
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    p.drawEllipse(QPointF(285, 396), 2.5, 2.5);

    p.setBrush(QColor(0xbf, 0xe3, 0xf7));
    for (const QRectF& window : {QRectF(208, 345, 36, 32), QRectF(308, 345, 36, 32)}) {
        p.drawRect(window);
        p.drawLine(window.center().x(), window.top(), window.center().x(), window.bottom());
        p.drawLine(window.left(), window.center().y(), window.right(), window.center().y());
    }
    p.setPen(Qt::NoPen);
}

void paintName(QPainter& p) {
    QFont font = designFont(QStringLiteral("B Titr"), 40, true);
    font.setPixelSize(64);
    p.setFont(font);
    const QRectF band(440, 470, 360, 96);
    p.setBrush(QColor(20, 40, 20, 110));
    p.drawRoundedRect(band, 18, 18);
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(band.translated(3, 3), Qt::AlignCenter, makerName());
    p.setPen(QColor(0xff, 0xf4, 0xd6));
    p.drawText(band, Qt::AlignCenter, makerName());
    p.setPen(Qt::NoPen);
}

} // namespace

QPixmap backgroundPicture() {
    QPixmap picture(kBackgroundWidth, kBackgroundHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    paintSky(p);
    paintMountains(p);
    paintHills(p);
    paintTree(p, QPointF(110, 440), 120);
    paintTree(p, QPointF(420, 420), 90);
    paintTree(p, QPointF(720, 470), 140);
    paintHouse(p);
    paintName(p);
    p.end();
    return picture;
}

} // namespace velmoran
