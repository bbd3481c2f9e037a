#include "platform/widgets/placement.h"

#include "platform/twips.h"

#include <QWidget>

namespace velmoran {

void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(
        twipsRect(left, top, width, height, widget->logicalDpiX(), widget->logicalDpiY()));
}

void resizeTwips(QWidget* widget, int width, int height) {
    widget->resize(twipsToPixels(width, widget->logicalDpiX()),
                   twipsToPixels(height, widget->logicalDpiY()));
}

} // namespace velmoran
