#include "ui/artwork.h"

#include <QPixmap>

// The icon's pictures, rendered from its SVG when the program was built
// (there is no SVG renderer in the Windows build): a resource of this static
// library, registered by hand since nothing else refers to it.
static void initIconResource() {
    Q_INIT_RESOURCE(velmoran_icons);
}

namespace velmoran {

QIcon applicationIcon() {
    initIconResource();
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addPixmap(QPixmap(QStringLiteral(":/velmoran/icons/%1.png").arg(size)));
    }
    return icon;
}

} // namespace velmoran
