#include "platform/widgets/fixedwindow.h"

#include "platform/widgets/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace velmoran {

void makeFixedWindow(QWidget* window, Qt::WindowFlags flags, int width, int height) {
    window->setWindowFlags(flags | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    resizeTwips(window, width, height);
    window->setFixedSize(window->size());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(), window->size());
        place.moveCenter(screen->availableGeometry().center());
        window->move(place.topLeft());
    }
}

void keepAbove(QWidget* window, QWidget* owner) {
    if (!owner) {
        return;
    }
    window->winId(); // the native windows exist from here on
    owner->winId();
    window->windowHandle()->setTransientParent(owner->windowHandle());
}

} // namespace velmoran
