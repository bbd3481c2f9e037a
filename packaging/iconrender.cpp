// Renders the program's SVG icon to a square PNG of the size given, for the
// icon theme's fixed-size folders: iconrender SVG PNG SIZE
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool sizeRead = false;
    const int size = args.size() == 4 ? args[3].toInt(&sizeRead) : 0;
    if (!sizeRead || size <= 0) {
        std::fprintf(stderr, "usage: iconrender SVG PNG SIZE\n");
        return 2;
    }
    QSvgRenderer picture(args[1]);
    if (!picture.isValid()) {
        std::fprintf(stderr, "iconrender: %s is not a readable SVG\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.render(&painter);
    painter.end();
    if (!image.save(args[2], "PNG")) {
        std::fprintf(stderr, "iconrender: can't write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
