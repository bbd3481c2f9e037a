#include "app/workspace.h"

#include "ui/artwork.h"

#include <QPaintEvent>
#include <QPainter>

namespace velmoran {

Workspace::Workspace(QWidget* parent) : QMdiArea(parent), picture_(backgroundPicture()) {
    setObjectName(QStringLiteral("Workspace"));
}

void Workspace::paintEvent(QPaintEvent* event) {
    QMdiArea::paintEvent(event);
    QPainter painter(viewport());
    painter.drawPixmap(0, 0, picture_);
}

} // namespace velmoran
