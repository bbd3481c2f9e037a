#include "platform/widgets/printrecorder.h"

#include <QPainter>

namespace velmoran::Print {

Outcome Recorder::printPage(const Page& page, const QString& title) {
    QImage image;
    if (!page.isNull()) {
        image = QImage(page.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        page.draw(painter, 0);
    }
    pages_.push_back(Recorded{page, image, title});
    return outcome_;
}

} // namespace velmoran::Print
