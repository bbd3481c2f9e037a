#include "platform/widgets/windowcaption.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

namespace velmoran {

namespace {

// Gives the native window the mark whenever the caption is empty: after
// each change of the caption and each time the native window is made.
class EmptyCaption : public QObject {
public:
    explicit EmptyCaption(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::WindowTitleChange:
        case QEvent::WinIdChange:
        case QEvent::Show:
            apply();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

    void apply() {
        QWindow* native = window_->windowHandle();
        if (native && window_->isWindow() && window_->windowTitle().isEmpty()) {
            native->setTitle(QString(QChar(kEmptyCaptionMark)));
        }
    }

private:
    QWidget* window_;
};

} // namespace

void showEmptyCaptionEmpty(QWidget* window) {
    auto* filter = new EmptyCaption(window);
    window->installEventFilter(filter);
    filter->apply();
}

} // namespace velmoran
