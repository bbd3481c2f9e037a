#include "ui/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The icon is a resource of this static library: registered by hand, since
// nothing else refers to it and the linker would leave it out.
static void initIconResource() {
    Q_INIT_RESOURCE(velmoran);
}

namespace velmoran {

QIcon applicationIcon() {
    // The same picture the desktop menu shows: the SVG installed as the
    // program's icon, drawn at each size a window manager asks for.
    initIconResource();
    QSvgRenderer picture(QStringLiteral(":/velmoran/velmoran.svg"));
    QIcon icon;
    for (const int size : kIconSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        picture.render(&p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace velmoran
